// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "settings/report.h"

#include <cstdio>
#include <mutex>
#include <set>
#include <utility>

namespace profile {

namespace {

std::mutex& SaidGuard() {
    static auto* guard = new std::mutex;  // never destroyed: the writing thread may outlive main
    return *guard;
}

}  // namespace

void SayOnce(const char* format, const std::string& path) {
    static auto* said = new std::set<std::pair<const char*, std::string>>;
    const std::lock_guard<std::mutex> lock(SaidGuard());
    if (said->insert({format, path}).second) {
        std::fprintf(stderr, format, path.c_str());
    }
}

void ReportFailedWrite(const std::string& file, const std::string& reason) {
    static auto* said = new std::set<std::string>;
    const std::lock_guard<std::mutex> lock(SaidGuard());
    if (reason.empty() || !said->insert(file).second) {
        return;
    }
    std::fprintf(stderr, "kelvo-snake: cannot write %s: %s\n", file.c_str(), reason.c_str());
}

}  // namespace profile
