// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// ASCII text helpers: stored settings, their names and the colour names are ASCII, and a
// comparison that ignores case must not depend on the player's locale.
#pragma once

#include <string>
#include <string_view>

// A blank, as the settings file and the stored numbers allow around a name or value.
constexpr bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The text without the blanks and tabs at its ends.
std::string_view TrimBlanks(std::string_view text);

// Letters A to Z made small, or a to z made capital; every other byte stays.
char LowerAscii(char c);
std::string LowerAscii(std::string text);
std::string UpperAscii(std::string text);

// Whether two texts are equal when ASCII letters are compared without their case.
bool SameIgnoringCase(std::string_view a, std::string_view b);
