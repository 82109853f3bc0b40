// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The key codes that the windows' key handlers receive: the window system's virtual-key numbers.
// Letters and digits have the codes of their capitals ('A' is 65, '0' is 48).
#pragma once

#include <cstdint>

namespace platform::key {

constexpr std::int16_t Tab = 9;
constexpr std::int16_t Return = 13;
constexpr std::int16_t Escape = 27;
constexpr std::int16_t Space = 32;
constexpr std::int16_t Left = 37;
constexpr std::int16_t Up = 38;
constexpr std::int16_t Right = 39;
constexpr std::int16_t Down = 40;
constexpr std::int16_t F2 = 113;

}  // namespace platform::key
