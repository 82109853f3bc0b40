// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The real program on the X server in DISPLAY, as the benchmarks drive it: started in a fresh
// folder, its windows watched as they map, keys typed with XTest, its CPU and memory read from
// /proc.
#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <string>
#include <vector>

namespace bench::x11 {

extern Display* display;

// Opens DISPLAY and watches windows mapping; false (and one line) without a display.
bool Open();

struct Game {
    pid_t pid = -1;
    std::string folder;
    double startedMs = 0;  // when it was started (fork and exec), after its folder was made
};

// Copies the program and its music into a fresh folder with that data.ini, and starts it with
// those arguments.
Game Launch(const std::string& programDir, const std::string& settings,
            const std::vector<std::string>& arguments = {});
// Kills it and removes its folder.
void Finish(Game& game);

// Waits until a window of that name maps; returns it, or 0 after 10 s.
Window WaitForMap(const std::string& name);
// The same for a window of that class (WM_CLASS), for programs that name their windows later.
Window WaitForMapOfClass(const std::string& resClass);

// Presses and releases a key, as a keyboard does.
void Key(KeySym symbol);

// CPU time of all the process's threads, in milliseconds.
double CpuMsOf(pid_t pid);
// The process's peak resident memory, in kB.
long PeakRssKb(pid_t pid);

}  // namespace bench::x11
