// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/program_places.h"

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string_view>

#ifndef KELVO_DATA_FROM_BIN
#define KELVO_DATA_FROM_BIN "../share/kelvo-snake"
#endif

namespace {

bool IsFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool SameFolder(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

// A folder of programs rather than the game's own: one on PATH, or an installed bin or games
// folder, beside the share folder that holds the game's data (a player's ~/.local install).
bool SharedFolder(const std::string& programFolder, const std::filesystem::path& installedMusic) {
    const std::string name = std::filesystem::path(programFolder).filename().string();
    if ((name == "bin" || name == "games") && IsFile(installedMusic.string())) {
        return true;
    }
    const char* path = std::getenv("PATH");
    std::string_view rest = path != nullptr ? path : "";
    while (!rest.empty()) {
        const size_t colon = rest.find(':');
        const std::string entry(rest.substr(0, colon));
        if (!entry.empty() && entry.front() == '/' && SameFolder(entry, programFolder)) {
            return true;
        }
        rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    }
    return false;
}

}  // namespace

ProgramPlaces FindProgramPlaces(const std::string& programFolder) {
    ProgramPlaces places;
    places.programFolder = programFolder;
    const std::string beside = programFolder + "/bck.wav";
    const std::filesystem::path installed =
        (std::filesystem::path(programFolder) / KELVO_DATA_FROM_BIN / "bck.wav").lexically_normal();
    places.settings = ChooseSettingsPlace(programFolder, std::getenv("XDG_CONFIG_HOME"),
                                          HomeFolder(), SharedFolder(programFolder, installed));
    places.music = IsFile(beside) ? beside : installed.lexically_normal().string();
    return places;
}
