// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/main_cycle.h"

void Main(SharedState& shared, platform::Process& process, WindowCycle& windows) {
    shared.KeepRunning = true;
    windows.ShowStart();
    while (shared.KeepRunning) {
        windows.ShowMenu();
        windows.ShowGame();
    }
    process.End();
}
