// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The program's settings in data.ini, in one table. Every key lives in the one section "data";
// each entry says what a read gives where the file has no value, which values the program uses
// (any other is reported once and read as the fallback), and who stores it.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace setting {

struct Key {
    const char* name;
    const char* fallback;  // what a read gives where the file has no value
    const char* accepted;  // the values used, as said when another is ignored; for a whole
                           // number in a range, nullptr and the range below
    const char* writer;    // who stores it, and when
    int lowest = 0;
    int highest = -1;
};

inline constexpr char kSection[] = "data";

// The colours the menu offers for the snake and the walls, stored by their place in its lists.
inline constexpr int kColourCount = 8;
inline constexpr int kLevelCount = 10;

inline constexpr Key kRes{"res", "1", "1, 2 or 3",
                          "the chooser, on Next: the size (640, 800, 1024)"};
inline constexpr Key kAsk{"ask", "0", "0 or 1",
                          "the chooser, on Next with \"Don't ask me again.\" (1); the menu, on "
                          "Next with \"Show Select Resolution Window at StartUp\" (0)"};
inline constexpr Key kLvl{"lvl", "1", nullptr, "the menu, on Next", 1, kLevelCount};
inline constexpr Key kScolor{
    "scolor", "0",
    nullptr,  "the menu, on Next: the snake's colour, its place in the list",
    0,        kColourCount - 1};
inline constexpr Key kBcolor{
    "bcolor",        "0", nullptr, "the menu, on Next: the walls' colour, its place in the list", 0,
    kColourCount - 1};
inline constexpr Key kScore{"score", "0", "a whole number; counting it as 0",
                            "the game, at its end, when the score beats the stored one"};
inline constexpr Key kMute{"mute", "0", "0 or 1", "M, in every window"};
inline constexpr Key kFull{"full", "1", "0 or 1", "F11, in the game"};
// The play-by-ear cues; with no value they sound while a screen reader runs.
inline constexpr Key kCues{"cues", "", "0 or 1", "S, in every window"};

// The stored value, or the key's fallback where the file has none.
std::string Read(const std::string& file, const Key& key);
// The stored text as it stands, empty where the file has none: what a window shows of it.
std::string Shown(const std::string& file, const Key& key);
void Write(const std::string& file, const Key& key, const std::string& value);
// Reads and stores in one step, as UpdateIni does, with the key's fallback.
bool Update(const std::string& file, const Key& key,
            const std::function<std::optional<std::string>(const std::string&)>& decide);
// Says on stderr that a stored value of the key was not used.
void ReportIgnored(const std::string& file, const Key& key, const std::string& value);

// A yes-or-no key ("1" or "0"); any other text reads as the fallback, said once on stderr.
bool ReadFlag(const std::string& file, const Key& key);
void WriteFlag(const std::string& file, const Key& key, bool on);
// A yes-or-no key the player may have left unchosen: nothing where the file has no value (or
// one that is neither, said once on stderr).
std::optional<bool> ReadChoice(const std::string& file, const Key& key);

}  // namespace setting
