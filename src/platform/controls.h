// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Plain-value stand-ins for the controls the windows' rules work on.
#pragma once

#include <string>
#include <vector>

// A control's place and size in twips, single precision as the layouts compute them.
struct Box {
    float Left = 0;
    float Top = 0;
    float Width = 0;
    float Height = 0;
};

// A selection-only drop-down list.
struct DropDownList {
    std::vector<std::string> items;
    int ListIndex = -1;  // the selected position, counted from 0; -1 for none

    std::string Text() const {
        return ListIndex >= 0 && ListIndex < static_cast<int>(items.size())
                   ? items[static_cast<size_t>(ListIndex)]
                   : std::string();
    }
};
