// The command line. The game takes one option of its own (--no-gamepad) and no arguments; like
// any desktop program it answers --help, --help-all and --version, without a display, passes
// Qt's own options (-platform, -style …) on to Qt, and refuses what it does not know.
#pragma once

#include <QStringList>
#include <optional>

#include "platform/program_places.h"

// The exit status when the command line ends the run here (help or version shown: 0; an
// unknown option or an argument: one line on stderr, 2), or nothing to go on and play.
std::optional<int> HandleCommandLine(const QStringList& arguments, const ProgramPlaces& places);

// Whether game controllers are used (not with --no-gamepad).
bool UsesGamePads(const QStringList& arguments);

// Whether the command line chooses a widget style (Qt's -style), which then holds over ours.
bool ChoosesStyle(const QStringList& arguments);
