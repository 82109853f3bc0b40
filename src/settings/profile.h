// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Private-profile (INI) file access, the two operations the settings store is built on.
//
// Reading follows the usual private-profile rules: names match without regard to case, blanks
// and tabs around names and values are ignored, one pair of matching quotes around a value is
// dropped, ';' starts a comment line, keys before the first section are not read, the first of
// duplicate keys (and of duplicate sections) wins, CRLF, LF and CR line ends all work.
//
// Writing keeps every line it does not need to change byte for byte and stores the file as
// atomic_file.h says (as a rule atomically, so an interrupted write leaves either the old file or
// the new one). Every write is one read-modify-write under an exclusive lock (store_lock.h), so
// that two programs writing at once lose nothing; a read takes a shared one where it is free. A
// file larger than 1 MiB reads as missing and is never written.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace profile {

// Copies the value of key in section of file into buffer, or defaultValue when the file, the
// section or the key is missing, cut to at most size - 1 bytes and ended by a NUL. Returns the
// number of bytes copied without the NUL (0 when size is 0 or less).
int GetPrivateProfileString(const std::string& section, const std::string& key,
                            const std::string& defaultValue, char* buffer, int size,
                            const std::string& file);

// Creates or updates the line key=value in section of file, creating the file and the section as
// needed. Returns false when the write could not be made; then the file is unchanged and, if
// error is given, it receives the reason (empty where a line has said it already: a file larger
// than any settings file, which is never written).
bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& file,
                               std::string* error = nullptr);

// Reads the value of key in section of file (or defaultValue) and, under the same lock, stores
// what `decide` returns for it, if anything: a compare-and-store that no other program's write
// can come between. Returns false when a store was wanted and could not be made; stored tells
// whether one was made. With `busy` given, the lock is only tried: where another program holds
// it, nothing is done and *busy is set; without, it is waited for as long as it takes.
bool UpdatePrivateProfileString(
    const std::string& section, const std::string& key, const std::string& defaultValue,
    const std::function<std::optional<std::string>(const std::string&)>& decide,
    const std::string& file, bool* stored, std::string* error = nullptr, bool* busy = nullptr);

// The value as reading gives it back: surrounding blanks and tabs dropped, then one pair of
// matching double or single quotes removed.
std::string NormaliseValue(const std::string& raw);

// Whether a section or key name can be stored so that it reads back as itself.
bool IsStorableName(const std::string& name, bool isSection);

}  // namespace profile
