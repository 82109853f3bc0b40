// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Game over, the high score, and closing the window.
#include <algorithm>
#include <atomic>
#include <limits>
#include <memory>

#include "game/sn.h"
#include "settings/keys.h"
#include "settings/values.h"

namespace {

// The stored high score for the comparison: a whole number in the 32-bit range, else 0.
std::int32_t StoredScore(const std::string& file, const std::string& text) {
    const auto number = WholeNumber(text);
    if (!number || *number < std::numeric_limits<std::int32_t>::min() ||
        *number > std::numeric_limits<std::int32_t>::max()) {
        setting::ReportIgnored(file, setting::kScore, text);
        return 0;
    }
    return static_cast<std::int32_t>(*number);
}

}  // namespace

void Sn::SendToBack(Label id) {
    auto& order = controls.labelOrder;
    order.erase(std::remove(order.begin(), order.end(), id), order.end());
    order.insert(order.begin(), id);
}

void Sn::BringToFront(Label id) {
    auto& order = controls.labelOrder;
    order.erase(std::remove(order.begin(), order.end(), id), order.end());
    order.push_back(id);
}

void Sn::Game_Over() {
    clockOn = false;
    // A second hit in the same check, or a tick right after the arrow key that ended the game,
    // changes nothing more: the first call's lines and stored score stand.
    if (IsOver()) {
        return;
    }
    CueEvent(platform::Cue::Kind::Over);
    const Box& prompt = controls.label(Label::lblspace).box;
    LabelControl& scoreLine = controls.label(Label::lblscend);
    scoreLine.Visible = true;
    scoreLine.box.Top = prompt.Top;
    scoreLine.box.Left = prompt.Left;
    scoreLine.Caption = "Your Score Is: " + std::to_string(score);
    SendToBack(Label::lblscend);

    LabelControl& high = controls.label(Label::lblHigh);
    high.Visible = true;
    const std::string file = SettingsFile();
    // Reading the stored score, comparing and storing are one step, so that another copy of the
    // game ending at the same moment cannot put a lower score over a higher one.
    // Where another program holds the lock, the comparison is made again when the store lands,
    // later and on another thread: it holds its own copies of what it needs.
    const auto beaten = std::make_shared<std::atomic<bool>>(false);
    setting::Update(file, setting::kScore,
                    [beaten, file,
                     finalScore = score](const std::string& stored) -> std::optional<std::string> {
                        const bool higher = finalScore > StoredScore(file, stored);
                        *beaten = higher;
                        return higher ? std::optional(std::to_string(finalScore)) : std::nullopt;
                    });
    if (*beaten) {
        high.Caption = "Congrats! High Score";
    } else {
        high.Caption = "High Score Is: " + setting::Shown(file, setting::kScore);
    }
    high.box.Top = prompt.Top - high.box.Height;
    high.box.Left = prompt.Left;
    SendToBack(Label::lblHigh);

    LabelControl& hint = controls.label(Label::lblf2);
    hint.Visible = true;
    hint.box.Top = prompt.Top + scoreLine.box.Height;
    hint.box.Left = prompt.Left;
    SendToBack(Label::lblf2);
    Refresh();
}

void Sn::Form_Unload(std::int16_t& Cancel) {
    // F2 after a game closes the window without asking; anything else asks "Exit?" first.
    const bool playing = !IsOver();
    if (!playing && restartPressed && !escPressed) {
        return;
    }
    clockOn = false;
    if (platform_.boxes.AskYesNo("Exit?", "Kelvo Snake")) {
        EndProgram();
        return;
    }
    Cancel = -1;
    if (playing) {  // No: the game goes on
        clockOn = true;
        Check_Timer();
    }
    escPressed = false;
}

void Sn::EndProgram() {
    shared_.KeepRunning = false;
    platform_.sound.Stop();
    platform_.process.End();
}
