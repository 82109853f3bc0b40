// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/program_windows.h"

#include "game/game_window.h"
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
    if (!sn) {
        sn.emplace(platform_, shared_);
    }
    ShowGameModal(*sn, platform_);
}
