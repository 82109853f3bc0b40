// The values the kill test's writer stores: round n gives every key a value that starts with n
// and grows and shrinks from round to round.
#pragma once

#include <string>

constexpr int kRoundKeyCount = 6;
constexpr const char* kRoundKeys[kRoundKeyCount] = {"lvl",   "scolor", "bcolor",
                                                    "score", "ask",    "res"};

inline std::string RoundValue(long round, int key) {
    const auto padding = static_cast<size_t>((round * 37 + key * 11) % 120);
    return std::to_string(round) + ":" + std::string(padding, static_cast<char>('a' + key));
}
