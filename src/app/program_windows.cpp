#include "app/program_windows.h"

#include "menu/menu_window.h"
#include "start/start_window.h"

void ProgramWindows::ShowStart() {
    if (!frmStart) {
        frmStart.emplace(platform_, shared_);
    }
    ShowStartModal(*frmStart, platform_);
}

void ProgramWindows::ShowMenu() {
    if (!frmMenu) {
        frmMenu.emplace(platform_, shared_);
    }
    ShowMenuModal(*frmMenu, platform_);
}

void ProgramWindows::ShowGame() {
    // The game window is not built yet: the run ends after the menu's Next.
    shared_.KeepRunning = false;
}
