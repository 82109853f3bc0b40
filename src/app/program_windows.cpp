#include "app/program_windows.h"

#include "start/start_window.h"

void ProgramWindows::ShowStart() {
    if (!frmStart) {
        frmStart.emplace(platform_, shared_);
    }
    ShowStartModal(*frmStart, platform_);
}

void ProgramWindows::ShowMenu() {
    // The menu window is not built yet: the run ends after the chooser.
    shared_.KeepRunning = false;
}

void ProgramWindows::ShowGame() {}
