// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The menu: level, snake colour and border colour, the high score on request, and the way on to
// the game or out of the program.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "platform/platform.h"
#include "platform/shared_state.h"
#include "platform/window_host.h"

class FrmMenu {
  public:
    // The colour names in alphabetical order, as both colour lists offer them.
    static std::vector<std::string> ColourList();

    // The window and its controls as designed; made afresh at every showing and then placed
    // by Arrange_Menu.
    struct Controls {
        Box window{0, 0, 11625, 8400};
        Box ltop{2265, 0, 1620, 210};
        Box lleft{0, 2130, 210, 1470};
        Box lbottom{5175, 6690, 1620, 210};
        Box lright{10455, 3180, 210, 1470};
        Box lin{3285, 4110, 5055, 45};
        Box Logo{120, 120, 1560, 1275};
        Box lblopt{4560, 240, 1920, 600};
        Box lbllvl{1680, 1920, 1875, 330};
        Box lblscolor{1680, 2400, 2115, 345};
        Box lblbcolor{1680, 2880, 1875, 345};
        Box lblclvl{5760, 1920, 4920, 330};
        Box comment{2685, 4800, 6255, 1470};
        Box lblNext{9600, 7440, 1875, 495};
        Box lblHighsc{4800, 7320, 1920, 600};
        Box cmblvlBox{3840, 1920, 1455, 360};
        Box cmbscolorBox{3840, 2400, 1455, 360};
        Box cmbbcolorBox{3840, 2880, 1455, 360};
        Box chBox{480, 7680, 3900, 255};

        DropDownList cmblvl{{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}};
        DropDownList cmbscolor{ColourList()};
        DropDownList cmbbcolor{cmbscolor};
        int ch = 0;  // 0 unchecked, 1 checked
    };

    FrmMenu(platform::Platform& platform, SharedState& shared)
        : platform_(platform), shared_(shared) {}

    void CreateControls(platform::WindowHost& host);

    void Form_Load();
    void Arrange_Menu();
    void Load_Options();
    void Save_Options();
    void lblNext_Click();
    void lblHighsc_Click();
    // The window and each of its controls handle keys alike: Esc ends, Enter goes on.
    void Form_KeyDown(std::int16_t KeyCode, std::int16_t /*Shift*/) { KeyDown(KeyCode); }
    void cmblvl_KeyDown(std::int16_t KeyCode, std::int16_t /*Shift*/) { KeyDown(KeyCode); }
    void cmbscolor_KeyDown(std::int16_t KeyCode, std::int16_t /*Shift*/) { KeyDown(KeyCode); }
    void cmbbcolor_KeyDown(std::int16_t KeyCode, std::int16_t /*Shift*/) { KeyDown(KeyCode); }
    void ch_KeyDown(std::int16_t KeyCode, std::int16_t /*Shift*/) { KeyDown(KeyCode); }
    void Form_Unload(std::int16_t& Cancel);

    Controls controls;
    bool nextChosen = false;

  private:
    void KeyDown(std::int16_t KeyCode);
    std::string SettingsFile() { return platform::SettingsFile(platform_.process); }

    platform::Platform& platform_;
    SharedState& shared_;
    platform::WindowHost* host_ = nullptr;
};
