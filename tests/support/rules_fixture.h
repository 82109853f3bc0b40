// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// What the tests of every window start from: a fresh folder, the fakes, the shared variables and
// the window's rules on them.
#pragma once

#include "platform/shared_state.h"
#include "support/fake_platform.h"
#include "support/temp_folder.h"

template <typename Rules>
struct RulesFixture {
    TempFolder dir;
    fake::Platform fake{dir.path()};
    SharedState shared;
    Rules rules{fake.bundle, shared};
};
