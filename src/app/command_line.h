// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The command line. The game takes one option of its own (--no-gamepad) and no arguments; like
// any desktop program it answers --help, --help-all and --version, without a display. Qt's own
// options (-platform, -style, -title …) are Qt's: QApplication takes from argv the ones it
// knows, and the game judges only what it leaves.
#pragma once

#include <QStringList>
#include <optional>

// Whether this run only answers the command line: --help, --help-all or --version (or their
// short forms) anywhere in it, or a run that JudgedApart started.
bool OnlyAnswersCommandLine(int argc, char** argv);

// Answers the command line with Qt started on no display ("offscreen"), so that Qt takes and
// lists its own options as in a real run; returns the exit status (help or version shown,
// nothing wrong: 0; anything wrong: one line on stderr, 2).
int AnswerCommandLine(int argc, char** argv);

// For a run whose window system could not start: judges the arguments that Qt left, in a run of
// this program apart (on no display, where Qt takes the rest of its options), and returns 2
// where they are wrong (that run has said why, in one line), else nothing.
std::optional<int> JudgedApart(int argc, char** argv);

// Judges the arguments that QApplication left. The exit status where they end the run here
// (help or version shown: 0; an unknown option or an argument: one line on stderr, 2), or
// nothing to go on and play.
std::optional<int> HandleCommandLine(const QStringList& arguments);

// Whether game controllers are used (not with --no-gamepad), of the arguments Qt left.
bool UsesGamePads(const QStringList& arguments);

// Whether the command line chooses a widget style (Qt's -style), which then holds over ours.
bool ChoosesStyle(int argc, char** argv);
