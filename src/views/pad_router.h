// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Hands the game pads' presses to the program's windows as the keys they stand for, sent to
// the control in focus as a keyboard's would be: the windows' rules and Qt's own handling (Tab
// through the controls, arrows in a list) take them exactly as keys.
#pragma once

#include <QObject>

#include "platform/game_pads.h"

class QWidget;

namespace views {

class PadRouter : public QObject {
    Q_OBJECT
  public:
    // Listens to `pads`, and tells them whether the program is the active one.
    explicit PadRouter(platform::GamePads& pads);
    ~PadRouter() override;
    PadRouter(const PadRouter&) = delete;
    PadRouter& operator=(const PadRouter&) = delete;

  private:
    void Pressed(platform::PadButton button);
    void Unplugged();

    platform::GamePads& pads_;
};

// Sends a key press and its release to a widget, as the keyboard does to the one in focus.
void SendKey(QWidget* target, int qtKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

}  // namespace views
