// Replacing a file's contents so that a crash or a kill at any instant leaves either the old
// contents or the new ones, never a mix or an empty file.
#pragma once

#include <string>

namespace profile {

// Writes contents to a temporary file beside path, flushes it to disk and renames it over path.
// A symbolic link at path is followed, so the link stays and its target is replaced. Refuses a
// path that is a folder or a file without write permission. On failure nothing at path changes,
// no temporary file is left, and error (if given) receives the reason.
bool ReplaceFileAtomically(const std::string& path, const std::string& contents,
                           std::string* error);

// The prefix of the temporary files that ReplaceFileAtomically makes for path.
std::string TemporaryPrefix(const std::string& path);

}  // namespace profile
