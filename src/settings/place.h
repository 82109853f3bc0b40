// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Where a run keeps its settings file, decided once at start-up.
#pragma once

#include <string>

// The program's folder when the player can keep settings there: it holds a data.ini they can
// write, or they can write in the folder itself (a portable copy, and every build folder) and
// it is not one of the system's program folders (/usr/bin and the like, which the superuser
// can write) or another folder of programs (`shared` below).
// Otherwise, as for a program installed into a system folder, the per-user configuration folder:
// $XDG_CONFIG_HOME/kelvo-snake, or ~/.config/kelvo-snake when that variable is unset or not an
// absolute path. Without either, the program's folder all the same (writes then fail and say
// so), except a system program folder: then nothing is kept.
struct SettingsPlace {
    std::string folder;    // empty: nothing is kept in this run
    bool perUser = false;  // the per-user folder, which the first write creates
};

// `shared`: the program's folder holds other programs too, as a folder on PATH or an installed
// bin or games folder does (a player's own ~/.local/bin): it is treated as a system folder.
SettingsPlace ChooseSettingsPlace(const std::string& programFolder, const char* xdgConfigHome,
                                  const char* home, bool shared = false);

// The home folder: HOME, else the user database's entry for this user; nullptr where neither
// names an absolute path.
const char* HomeFolder();

// Creates a folder and its missing parents (mode 0700, as the per-user configuration folders
// are made). True when the folder exists afterwards.
bool CreateFolder(const std::string& folder);
