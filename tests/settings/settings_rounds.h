// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The keys and values the settings tests' writers store: round n gives every key a value that
// starts with n and grows and shrinks from round to round; writer k of several stores key "kK".
#pragma once

#include <string>

constexpr int kRoundKeyCount = 6;
constexpr const char* kRoundKeys[kRoundKeyCount] = {"lvl",   "scolor", "bcolor",
                                                    "score", "ask",    "res"};

inline std::string RoundValue(long round, int key) {
    const auto padding = static_cast<size_t>((round * 37 + key * 11) % 120);
    return std::to_string(round) + ":" + std::string(padding, static_cast<char>('a' + key));
}

// Appended rather than written "k" + std::to_string(k): GCC 12 at -O3 takes that for an
// overlapping copy (-Wrestrict, a false alarm).
inline std::string WriterKey(int k) {
    return std::string("k").append(std::to_string(k));
}
