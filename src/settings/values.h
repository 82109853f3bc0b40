// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Reading whole numbers from stored settings text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The whole number a stored text holds: optional blanks and tabs around it, an optional sign,
// then decimal digits (leading zeros allowed, so "05" is 5). Anything else, or a number beyond
// 64 bits, gives nullopt.
std::optional<std::int64_t> WholeNumber(std::string_view text);

// Says on stderr, in one line, that a stored value was not used and why.
void ReportIgnored(const std::string& file, const char* key, const std::string& value,
                   const char* wanted);
