// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Writes that wait for their file's lock on a thread of their own, so that the program never
// waits for a lock that another program holds (a second copy of the game, a sync tool): a write
// that cannot take the lock at once is kept here and made, under the lock, as soon as it is
// free. Reads see the program's own pending writes at once.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace pending {

using Decide = std::function<std::optional<std::string>(const std::string&)>;

struct Write {
    std::string file;
    std::string section;
    std::string key;
    std::string defaultValue;
    // Says what to store for the value stored when the write is made (a compare-and-store,
    // such as the high score's), or nothing.
    Decide decide;
    // A plain value: a later plain write to the same key takes its place.
    std::optional<std::string> value;
};

// Whether writes to the file wait for its lock: a new write then waits behind them.
bool Waiting(const std::string& file);

// Keeps the write until the file's lock is free, then makes it, after the ones kept before.
void Keep(Write write);

// The value that `read` gives from the file, as this program's pending writes to that key will
// leave it.
std::string AsPending(const std::string& file, const std::string& section, const std::string& key,
                      const std::function<std::string()>& read);

// Gives the pending writes up to `limit` to be made, then says in one line which keys were not
// kept. For the end of the program.
void Finish(std::chrono::milliseconds limit);

}  // namespace pending
