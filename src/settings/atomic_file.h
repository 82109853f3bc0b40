// Replacing a file's contents so that a crash or a kill at any instant leaves either the old
// contents or the new ones, never a mix or an empty file.
#pragma once

#include <string>

namespace profile {

// Writes contents to a temporary file beside path, flushes it to disk and renames it over path.
// A symbolic link at path is followed, so the link stays and its target is replaced. Refuses a
// path that is a folder, a file without write permission, or in a folder without write
// permission (checked on the permission bits too, so that it holds even for the superuser). On
// failure nothing at path changes, no temporary file is left, and error (if given) receives the
// reason.
bool ReplaceFileAtomically(const std::string& path, const std::string& contents,
                           std::string* error);

// Removes temporary files that an interrupted write to path left behind (a crash or a kill
// between creating one and renaming it), once they are older than kStaleSeconds, so that a
// write in progress elsewhere is never touched. ReplaceFileAtomically calls it after each write.
constexpr int kStaleSeconds = 60;
void RemoveStaleTemporaries(const std::string& path);

// The prefix of the temporary files that ReplaceFileAtomically makes for path.
std::string TemporaryPrefix(const std::string& path);

}  // namespace profile
