// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "settings/place.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "settings/atomic_file.h"

namespace {

// A file (or a folder) the settings store could write.
bool Writable(const std::string& path, bool folder) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) == folder &&
           profile::Writable(path, st);
}

// The folders a system installs programs into. The superuser can write in them, but a game
// run by the superuser keeps its settings in the superuser's own folder all the same.
bool SystemFolder(const std::string& folder) {
    for (const char* system : {"/bin", "/sbin", "/usr/bin", "/usr/sbin", "/usr/games",
                               "/usr/local/bin", "/usr/local/sbin", "/usr/local/games"}) {
        if (folder == system) {
            return true;
        }
    }
    return false;
}

bool Absolute(const char* path) {
    return path != nullptr && path[0] == '/';
}

}  // namespace

SettingsPlace ChooseSettingsPlace(const std::string& programFolder, const char* xdgConfigHome,
                                  const char* home, bool shared) {
    const bool system = shared || SystemFolder(programFolder);
    if (Writable(programFolder + "/data.ini", false) ||
        (Writable(programFolder, true) && !system)) {
        return {programFolder, false};
    }
    if (Absolute(xdgConfigHome)) {
        return {std::string(xdgConfigHome) + "/kelvo-snake", true};
    }
    if (Absolute(home)) {
        return {std::string(home) + "/.config/kelvo-snake", true};
    }
    return {system ? "" : programFolder, false};
}

const char* HomeFolder() {
    if (const char* home = std::getenv("HOME"); Absolute(home)) {
        return home;
    }
    const passwd* user = ::getpwuid(::geteuid());
    return user != nullptr && Absolute(user->pw_dir) ? user->pw_dir : nullptr;
}

bool CreateFolder(const std::string& folder) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) == 0) {
        return S_ISDIR(st.st_mode);
    }
    const size_t slash = folder.rfind('/');
    if (slash != std::string::npos && slash > 0 && !CreateFolder(folder.substr(0, slash))) {
        return false;
    }
    return ::mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST;
}
