// Lines on stderr about a settings file's trouble, each said once a run.
#pragma once

#include <string>

namespace profile {

// Prints format (a printf format with one %s, the path) on stderr, the first time this
// format is given for this path in the run.
void SayOnce(const char* format, const std::string& path);

}  // namespace profile
