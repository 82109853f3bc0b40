// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Storing a file's new contents so that nothing the platform's own write would keep is lost:
// normally replaced atomically (a crash or a kill at any instant leaves either the old contents
// or the new ones), and updated in place where replacing it would lose the file itself.
#pragma once

#include <sys/stat.h>

#include <string>

namespace profile {

// The folder part of a path ("." for a bare name).
std::string FolderOf(const std::string& path);

// Writable as the store judges it: write permission in the mode bits, which bind the superuser
// too, and for this user. `st` is the path's stat.
bool Writable(const std::string& path, const struct stat& st);

// The file that a write to path really changes: the target of a symbolic link (also of one
// that dangles, which the write then creates), else path.
std::string ResolveTarget(const std::string& path);

// Stores contents as the file at path (a symbolic link is followed and stays a link).
// - Normally: writes a temporary file beside it, flushes it to disk and renames it over the
//   file, with the old file's group, mode and extended attributes (ACLs among them), and as the
//   superuser its owner too; a new file gets the mode the umask allows.
// - In place (claim the space, write, truncate, flush) where a new file could not take the old
//   one's place: in a folder that takes no new files but whose file may be written, for a file
//   with more than one hard link, one owned by another user, or one whose group or attributes
//   the new file could not be given. A full disk fails such a write before it changes a byte;
//   a crash in the middle of it can leave it half written: that is what the platform's own
//   write gives there too.
// Refuses anything but a regular file, a folder, a file without write permission, and a new
// file in a folder without write permission (the permission bits bind the superuser too). On
// failure nothing at path changes, no temporary file is left, and error (if given) receives
// the reason.
bool StoreFile(const std::string& path, const std::string& contents, std::string* error);

// Removes temporary files that an interrupted write to path left behind (a crash or a kill
// between creating one and renaming it), once they are older than kStaleSeconds, so that a
// write in progress elsewhere is never touched. StoreFile calls it after each write.
constexpr int kStaleSeconds = 60;
void RemoveStaleTemporaries(const std::string& path);

// The prefix of the temporary files that StoreFile makes for path.
std::string TemporaryPrefix(const std::string& path);

}  // namespace profile
