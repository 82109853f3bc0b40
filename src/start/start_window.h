// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The chooser's Qt view: real option buttons, check box and a "Next!" label placed from
// FrmStart's twips, forwarding clicks, keys, timer ticks and close requests to FrmStart.
#pragma once

#include <QTimer>
#include <array>

#include "platform/platform.h"
#include "start/frm_start.h"
#include "views/modal_window.h"

class QCheckBox;
class QLabel;
class QRadioButton;

class StartWindow : public views::ModalWindow {
    Q_OBJECT
  public:
    StartWindow(FrmStart& rules, platform::Platform& platform);

    // Shows the rules' control state in the widgets.
    void ShowControls();
    platform::PadPlace PadPlace() const override { return platform::PadPlace::Chooser; }

    // The widgets, for tests.
    QRadioButton* option(int index) const { return options_[static_cast<size_t>(index)]; }
    QCheckBox* check1() const { return check1_; }
    QLabel* label1() const { return label1_; }

  protected:
    void FormUnload(std::int16_t& cancel) override { rules_.Form_Unload(cancel); }
    // The window gets keys only while no control holds the focus; the check box has no key
    // handler, so its Enter ends there and does nothing.
    void FormKeyDown(std::int16_t keyCode) override { rules_.Form_KeyDown(keyCode, 0); }
    int PictureAt(const QPoint& at) const override;
    void PictureClicked(int id) override;
    void ShowRulesState() override { ShowControls(); }
    void Closing() override { timer1_.stop(); }

  private:
    FrmStart& rules_;
    std::array<QRadioButton*, 3> options_{};
    QCheckBox* check1_ = nullptr;
    QLabel* label1_ = nullptr;
    QTimer timer1_;
};

// Shows the chooser modally: its controls are made afresh, Form_Load runs, and the call returns
// once the window has unloaded.
void ShowStartModal(FrmStart& rules, platform::Platform& platform);
