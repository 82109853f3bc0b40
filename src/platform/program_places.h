// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Where this run finds its files, decided once at start-up: beside the program, as designed, or
// where an installed program's files are.
#pragma once

#include <string>

#include "settings/place.h"

struct ProgramPlaces {
    std::string programFolder;
    SettingsPlace settings;
    // bck.wav in the program's folder when it is there, else the installed copy, found from the
    // program's folder (bin/ beside share/kelvo-snake/), so that an installed tree works
    // wherever it is unpacked.
    std::string music;
};

// Reads XDG_CONFIG_HOME and the home folder (HOME, or the user database) for the per-user
// settings folder.
ProgramPlaces FindProgramPlaces(const std::string& programFolder);
