// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The variables through which the windows hand their results on to one another.
#pragma once

#include <cstdint>
#include <string>

struct SharedState {
    std::int32_t ResWidth = 0;   // chosen screen width in pixels: 640, 800 or 1024
    std::int32_t ResHeight = 0;  // chosen screen height: 480, 600 or 768
    std::int32_t Level = 0;      // 1 to 10, from the menu
    std::string SnakeColor;      // a colour list text, such as "Blue"
    std::string BorderColor;
    bool KeepRunning = false;  // the menu-and-game cycle goes on while true
};
