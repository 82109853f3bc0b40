// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The resolution chooser: offers 640 by 480, 800 by 600 and 1024 by 768, stores the choice
// (setting::kRes), and skips itself when the player said not to ask again (setting::kAsk).
#pragma once

#include <array>
#include <cstdint>

#include "platform/platform.h"
#include "platform/shared_state.h"
#include "platform/window_host.h"

class FrmStart {
  public:
    // The controls' state, as designed; made afresh at every showing.
    struct Controls {
        std::array<bool, 3> Option{true, false, false};  // Option1 to Option3, one selected
        std::array<bool, 3> Enabled{true, true, true};   // the sizes whose windows fit
        bool Check1 = true;                              // "Don't ask me again."
        bool Timer1Enabled = false;
        int Timer1Interval = 40;  // milliseconds
    };

    FrmStart(platform::Platform& platform, SharedState& shared)
        : platform_(platform), shared_(shared) {}

    // Makes the controls afresh, as laid out; the window's own variables stay.
    void CreateControls(platform::WindowHost& host);

    void Form_Load();
    void Timer1_Timer();
    void Label1_Click();
    // Enter acts as Next, in the window and on each option button alike.
    void Form_KeyDown(std::int16_t KeyCode, std::int16_t Shift);
    void Option1_KeyDown(std::int16_t KeyCode, std::int16_t Shift) { Form_KeyDown(KeyCode, Shift); }
    void Option2_KeyDown(std::int16_t KeyCode, std::int16_t Shift) { Form_KeyDown(KeyCode, Shift); }
    void Option3_KeyDown(std::int16_t KeyCode, std::int16_t Shift) { Form_KeyDown(KeyCode, Shift); }
    void Form_Unload(std::int16_t& Cancel);

    // The option group: selecting one button clears the others.
    void SelectOption(int index);

    Controls controls;
    bool nextChosen = false;

  private:
    // Offers only the sizes whose windows fit the screen; a stored size that does not fit is
    // replaced, for this run only, by the largest that does.
    void OfferSizesThatFit();
    std::string SettingsFile() { return platform::SettingsFile(platform_.process); }

    platform::Platform& platform_;
    SharedState& shared_;
    platform::WindowHost* host_ = nullptr;
    // The size this run uses in place of a stored one that does not fit; -1 when none is.
    int standIn_ = -1;
};
