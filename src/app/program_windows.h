// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The program's three windows, each one object for the whole run, created at its first showing.
#pragma once

#include <optional>

#include "app/main_cycle.h"
#include "game/sn.h"
#include "menu/frm_menu.h"
#include "start/frm_start.h"

class ProgramWindows : public WindowCycle {
  public:
    ProgramWindows(platform::Platform& platform, SharedState& shared)
        : platform_(platform), shared_(shared) {}

    void ShowStart() override;
    void ShowMenu() override;
    void ShowGame() override;

    std::optional<FrmStart> frmStart;
    std::optional<FrmMenu> frmMenu;
    std::optional<Sn> sn;

  private:
    platform::Platform& platform_;
    SharedState& shared_;
};
