// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "start/frm_start.h"

#include <cstdio>

#include "platform/keys.h"
#include "settings/keys.h"
#include "settings/values.h"

namespace {

struct Resolution {
    const char* code;
    std::int32_t width;
    std::int32_t height;
    const char* name;
};

constexpr std::array<Resolution, 3> kResolutions{{
    {"1", 640, 480, "640 * 480"},
    {"2", 800, 600, "800 * 600"},
    {"3", 1024, 768, "1024 * 768"},
}};

}  // namespace

void FrmStart::CreateControls(platform::WindowHost& host) {
    host_ = &host;
    controls = Controls{};
}

void FrmStart::SelectOption(int index) {
    if (index < 0 || index >= static_cast<int>(controls.Option.size()) ||
        !controls.Enabled[static_cast<size_t>(index)]) {
        return;
    }
    for (size_t i = 0; i < controls.Option.size(); ++i) {
        controls.Option[i] = static_cast<int>(i) == index;
    }
}

void FrmStart::Form_Load() {
    const std::string res = setting::Read(SettingsFile(), setting::kRes);
    bool known = false;
    for (size_t i = 0; i < kResolutions.size(); ++i) {
        if (res == kResolutions[i].code) {
            SelectOption(static_cast<int>(i));
            known = true;
        }
    }
    if (!known) {
        setting::ReportIgnored(SettingsFile(), setting::kRes, res);
    }
    OfferSizesThatFit();
    // The ask key is read at every tick of the timer; an odd value is reported once per showing.
    if (const std::string ask = setting::Read(SettingsFile(), setting::kAsk);
        ask != "0" && ask != "1") {
        setting::ReportIgnored(SettingsFile(), setting::kAsk, ask);
    }
    controls.Timer1Enabled = true;
}

void FrmStart::OfferSizesThatFit() {
    standIn_ = -1;
    int selected = 0;
    int largestFitting = -1;
    for (size_t i = 0; i < kResolutions.size(); ++i) {
        controls.Enabled[i] = platform_.screen.Fits(kResolutions[i].width, kResolutions[i].height);
        if (controls.Enabled[i]) {
            largestFitting = static_cast<int>(i);
        }
        if (controls.Option[i]) {
            selected = static_cast<int>(i);
        }
    }
    if (largestFitting < 0) {
        controls.Enabled[0] = true;  // the smallest all the same, where none fits
        return;
    }
    if (!controls.Enabled[static_cast<size_t>(selected)]) {
        std::fprintf(stderr, "kelvo-snake: %s does not fit this screen; playing %s this time\n",
                     kResolutions[static_cast<size_t>(selected)].name,
                     kResolutions[static_cast<size_t>(largestFitting)].name);
        SelectOption(largestFitting);
        standIn_ = largestFitting;
    }
}

void FrmStart::Timer1_Timer() {
    if (setting::Read(SettingsFile(), setting::kAsk) == "1") {
        Label1_Click();
    }
}

void FrmStart::Label1_Click() {
    for (size_t i = 0; i < kResolutions.size(); ++i) {
        if (controls.Option[i]) {
            shared_.ResWidth = kResolutions[i].width;
            shared_.ResHeight = kResolutions[i].height;
            // A size that stands in for a stored one that does not fit is not stored.
            if (static_cast<int>(i) != standIn_) {
                setting::Write(SettingsFile(), setting::kRes, kResolutions[i].code);
            }
        }
    }
    if (controls.Check1) {
        setting::Write(SettingsFile(), setting::kAsk, "1");
    }
    nextChosen = true;
    // The timer belongs to the controls, which go with the window.
    controls.Timer1Enabled = false;
    if (host_ != nullptr) {
        host_->Unload();
    }
}

void FrmStart::Form_KeyDown(std::int16_t KeyCode, std::int16_t /*Shift*/) {
    if (KeyCode == platform::key::Return) {
        Label1_Click();
    }
}

void FrmStart::Form_Unload(std::int16_t& /*Cancel*/) {
    if (!nextChosen) {
        shared_.KeepRunning = false;
    }
}
