// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The program's start-up procedure: the chooser once, then menu and game over and over.
#pragma once

#include "platform/platform.h"
#include "platform/shared_state.h"

// Shows each window modally; each call returns when that window has unloaded.
class WindowCycle {
  public:
    virtual ~WindowCycle() = default;
    virtual void ShowStart() = 0;
    virtual void ShowMenu() = 0;
    virtual void ShowGame() = 0;
};

void Main(SharedState& shared, platform::Process& process, WindowCycle& windows);
