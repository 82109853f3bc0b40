// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The settings store: reads and writes one value of an INI file. An empty file name stands for
// a run that keeps nothing: every read gives the default, and writes do nothing.
#pragma once

#include <functional>
#include <optional>
#include <string>

// The value stored under key in section of file, or defaultValue when the file, the section or
// the key is missing. A stored value longer than 254 characters comes back cut to 254.
std::string ReadIni(const std::string& file, const std::string& section, const std::string& key,
                    const std::string& defaultValue);

// Stores value under key in section of file; carriage returns and line feeds in the value are
// written as blanks. A write that cannot be made changes nothing and prints one line on stderr
// naming the file and the reason, once per file. Where another program holds the file's lock,
// the write is kept and made as soon as the lock is free (pending_writes.h): the call never
// waits, and reads see the value at once.
void WriteIni(const std::string& file, const std::string& section, const std::string& key,
              const std::string& value);

// Reads the value under key (or defaultValue, as ReadIni does) and, with no other program's
// write between, stores what `decide` returns for it, if anything. True when a value was
// stored (or will be, where the write waits for the lock as WriteIni's do: it then asks `decide`
// again once it is made, on another thread: it must hold its own copies of what it uses); a
// store that cannot be made says so in one line, as WriteIni does.
bool UpdateIni(const std::string& file, const std::string& section, const std::string& key,
               const std::string& defaultValue,
               const std::function<std::optional<std::string>(const std::string&)>& decide);

// Gives the writes that wait for a lock up to 2 s more, then says which keys were not kept.
// For the end of the program.
void FinishWrites();

// Lets the first write into `folder` create it (with its missing parents): the per-user
// settings folder comes into being with the first setting stored, not before. Writes into any
// other missing folder fail as before.
void AllowFolderCreation(const std::string& folder);
