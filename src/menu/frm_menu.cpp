// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "menu/frm_menu.h"

#include <algorithm>
#include <cstdio>

#include "assets/catalog.h"
#include "platform/keys.h"
#include "settings/keys.h"
#include "settings/values.h"

namespace {

// Reads a list position from the settings, a whole number in the key's range from its lowest
// (the first item); any other value selects the first item and says so on stderr.
int StoredPosition(const std::string& file, const setting::Key& key) {
    const std::string text = setting::Read(file, key);
    const auto number = WholeNumber(text);
    if (number && *number >= key.lowest && *number <= key.highest) {
        return static_cast<int>(*number - key.lowest);
    }
    setting::ReportIgnored(file, key, text);
    return 0;
}

// The rows of the level, snake colour and border colour lines as shares of the menu's height,
// as designed: 101, 133 and 165 of its 558 parts.
constexpr double kLevelRow = 0.181003584229391;
constexpr double kSnakeColourRow = 0.238351254480287;
constexpr double kBorderColourRow = 0.295698924731183;
// The rule across the middle spans this share of the width.
constexpr double kRuleWidth = 0.6;

// A single-precision result of double-precision arithmetic, as the layout stores each value.
float Single(double value) {
    return static_cast<float>(value);
}

}  // namespace

std::vector<std::string> FrmMenu::ColourList() {
    std::vector<std::string> names(assets::kColourNames.begin(), assets::kColourNames.end());
    std::sort(names.begin(), names.end());
    return names;
}

void FrmMenu::CreateControls(platform::WindowHost& host) {
    host_ = &host;
    controls = Controls{};
}

void FrmMenu::Form_Load() {
    // Cleared at every showing, so that a close without Next ends the program every time.
    nextChosen = false;
    Arrange_Menu();
    Load_Options();
}

void FrmMenu::Arrange_Menu() {
    Controls& c = controls;
    // The window's own place is taken as the origin of the frame: the top-left corner.
    const double x0 = 0;
    const double y0 = 0;
    const double W = Single(double(platform_.screen.TwipsPerPixelX()) * shared_.ResWidth);
    const double H = Single(double(platform_.screen.TwipsPerPixelY()) * shared_.ResHeight);
    c.window.Width = Single(W);
    c.window.Height = Single(H);

    c.ltop.Left = Single(x0);
    c.ltop.Width = Single(W);
    c.ltop.Top = Single(y0);

    c.lleft.Top = Single(y0);
    c.lleft.Height = Single(H);
    c.lleft.Left = Single(x0);

    c.lbottom.Left = Single(x0);
    c.lbottom.Width = Single(W);
    c.lbottom.Top = Single(H - c.lbottom.Height);

    c.lright.Top = Single(y0);
    c.lright.Height = Single(H);
    c.lright.Left = Single(W - c.lright.Width);

    c.Logo.Left = Single(double(c.lleft.Width) + x0);
    c.Logo.Top = Single(double(c.ltop.Height) + y0);

    c.lblopt.Top = Single(double(c.ltop.Height) + y0);
    c.lblopt.Left = Single(W / 2 - double(c.lblopt.Width) / 2);

    c.lbllvl.Top = Single(H * kLevelRow);
    c.lblscolor.Top = Single(H * kSnakeColourRow);
    c.lblbcolor.Top = Single(H * kBorderColourRow);
    c.lblclvl.Top = c.lbllvl.Top;

    c.lin.Width = Single(W * kRuleWidth);
    c.lin.Left = Single(W / 2 - double(c.lin.Width) / 2);
    c.lin.Top = Single(H / 2 - double(c.lin.Height) / 2);

    c.comment.Left = Single(W / 2 - double(c.comment.Width) / 2);
    c.comment.Top =
        Single(H - (double(c.lin.Top) + c.lin.Height) / 2 - double(c.comment.Height) / 2);

    c.lblNext.Top = Single(H - (double(c.lbottom.Height) + c.lblNext.Height));
    c.lblNext.Left = Single(W - (double(c.lright.Width) + c.lblNext.Width));

    c.chBox.Top = c.lblNext.Top;
    c.cmbscolorBox.Top = c.lblscolor.Top;
    c.cmbbcolorBox.Top = c.lblbcolor.Top;
    c.cmblvlBox.Top = c.lbllvl.Top;

    c.lblHighsc.Top = Single(H - (double(c.lbottom.Height) + c.lblHighsc.Height));
    c.lblHighsc.Left = c.lblopt.Left;
}

void FrmMenu::Load_Options() {
    const std::string file = SettingsFile();
    controls.cmblvl.ListIndex = StoredPosition(file, setting::kLvl);
    controls.cmbscolor.ListIndex = StoredPosition(file, setting::kScolor);
    controls.cmbbcolor.ListIndex = StoredPosition(file, setting::kBcolor);
}

void FrmMenu::Save_Options() {
    const std::string file = SettingsFile();
    setting::Write(file, setting::kLvl, controls.cmblvl.Text());
    setting::Write(file, setting::kScolor, std::to_string(controls.cmbscolor.ListIndex));
    setting::Write(file, setting::kBcolor, std::to_string(controls.cmbbcolor.ListIndex));
}

void FrmMenu::lblNext_Click() {
    shared_.Level = controls.cmblvl.ListIndex + 1;
    shared_.SnakeColor = controls.cmbscolor.Text();
    shared_.BorderColor = controls.cmbbcolor.Text();
    if (controls.ch == 1) {
        setting::Write(SettingsFile(), setting::kAsk, "0");
    }
    nextChosen = true;
    Save_Options();
    if (host_ != nullptr) {
        host_->Unload();
    }
}

void FrmMenu::lblHighsc_Click() {
    const std::string score = setting::Shown(SettingsFile(), setting::kScore);
    platform_.boxes.Inform("HighScore is : " + score, "Kelvo Snake");
}

void FrmMenu::KeyDown(std::int16_t KeyCode) {
    if (KeyCode == platform::key::Escape) {
        shared_.KeepRunning = false;
        platform_.process.End();
        return;
    }
    if (KeyCode == platform::key::Return) {
        lblNext_Click();
    }
}

void FrmMenu::Form_Unload(std::int16_t& /*Cancel*/) {
    if (!nextChosen) {
        shared_.KeepRunning = false;
        platform_.process.End();
    }
}
