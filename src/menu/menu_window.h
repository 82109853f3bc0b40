// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The menu's Qt view: the frame strips, logo and rule as picture boxes, the words as pictures
// drawn on the window, real drop-down lists and a check box, all placed from FrmMenu's twips.
#pragma once

#include <array>

#include "menu/frm_menu.h"
#include "platform/platform.h"
#include "views/modal_window.h"

class QCheckBox;
class QComboBox;
class QLabel;

namespace views {
class PictureBox;
}

class MenuWindow : public views::ModalWindow {
    Q_OBJECT
  public:
    MenuWindow(FrmMenu& rules, platform::Platform& platform);

    // The captions drawn as pictures: "OPTIONS", the three lists' and the level hint.
    static constexpr size_t kCaptionCount = 5;

    // Places and fills the widgets from the rules' controls.
    void ShowControls();
    platform::PadPlace PadPlace() const override { return platform::PadPlace::Menu; }

    QComboBox* cmblvl() const { return cmblvl_; }
    QComboBox* cmbscolor() const { return cmbscolor_; }
    QComboBox* cmbbcolor() const { return cmbbcolor_; }
    QCheckBox* ch() const { return ch_; }
    // Where the Next and HighScore pictures are, in pixels of the window.
    QRect NextRect() const;
    QRect HighScoreRect() const;

  protected:
    void FormUnload(std::int16_t& cancel) override { rules_.Form_Unload(cancel); }
    void FormKeyDown(std::int16_t keyCode) override { rules_.Form_KeyDown(keyCode, 0); }
    int PictureAt(const QPoint& at) const override;
    void PictureClicked(int id) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    QRect Pixels(const Box& box) const;
    QRect ImageRect(const Box& box, int picture) const;

    FrmMenu& rules_;
    platform::Platform& platform_;
    views::PictureBox* ltop_;
    views::PictureBox* lleft_;
    views::PictureBox* lbottom_;
    views::PictureBox* lright_;
    views::PictureBox* lin_;
    views::PictureBox* logo_;
    QWidget* nextButton_;
    QWidget* highScoreButton_;
    QComboBox* cmblvl_;
    QComboBox* cmbscolor_;
    QComboBox* cmbbcolor_;
    QCheckBox* ch_;
    std::array<QLabel*, kCaptionCount> captions_{};
};

// Shows the menu modally: its controls are made afresh, Form_Load runs, and the call returns
// once the window has unloaded.
void ShowMenuModal(FrmMenu& rules, platform::Platform& platform);
