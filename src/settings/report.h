// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Lines on stderr about a settings file's trouble, each said once a run.
#pragma once

#include <string>

namespace profile {

// Prints format (a printf format with one %s, the path) on stderr, the first time this
// format is given for this path in the run.
void SayOnce(const char* format, const std::string& path);

// "cannot write FILE: REASON", once per file and run: a file that cannot be written stays so,
// and every key the player changes would repeat the line. An empty reason has been said.
void ReportFailedWrite(const std::string& file, const std::string& reason);

}  // namespace profile
