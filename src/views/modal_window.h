// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// What the program's three windows share as Qt views: each is shown modally and hands its rules
// every close request, key and click, then shows what the rules changed. M switches the music
// off and on in every one of them.
//
// A close request from the window system is queued and handed to the rules from the event loop,
// never from inside Qt's close handling: Form_Unload may run a game's clock loop (No on "Exit?"
// resumes the game), and Qt takes a close request that arrives while an earlier close event is
// still being handled as already accepted, destroying the window behind the rules' back.
#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <vector>

#include "platform/game_pads.h"
#include "platform/platform.h"
#include "platform/window_host.h"

namespace views {

class Announcement;

class ModalWindow : public QDialog, public platform::WindowHost {
    Q_OBJECT
  public:
    explicit ModalWindow(platform::Platform& platform);

    // Shows the window and returns once it has unloaded or the program has ended.
    void ShowModal();
    // The rules' own close request (Next, Esc, F2): Form_Unload runs at once and may cancel.
    void Unload() override;
    // Where a game pad's press lands here, which says the key it stands for.
    virtual platform::PadPlace PadPlace() const = 0;
    // A game pad was pulled out.
    virtual void PadUnplugged() {}
    // A game pad's key for the window itself, handled as when none of its controls holds the
    // focus, whichever does.
    void WindowKey(std::int16_t keyCode);

  protected:
    // The rules' close handler; a non-zero cancel keeps the window open.
    virtual void FormUnload(std::int16_t& cancel) = 0;
    // A key that reached the window itself, while none of its controls holds the focus.
    virtual void FormKeyDown(std::int16_t keyCode) = 0;
    // Hands the key presses of a control to its own key handler. The keys in `handlerOnly` end
    // there; every other key then gets the control's own handling too (arrows move a list).
    void RouteKeys(QWidget* control, std::function<void(std::int16_t)> handler,
                   std::initializer_list<std::int16_t> handlerOnly);
    // Pictures that act as buttons: the id of the one at a point of the window, or -1. A
    // picture acts on a left click, press and release both on it.
    virtual int PictureAt(const QPoint& at) const;
    virtual void PictureClicked(int id);
    // The same picture as a push button to assistive technology (a screen reader's Press acts
    // as a click), drawn by the window as before: it paints nothing, takes no focus and lets
    // the mouse through. The caller places it over the picture.
    QWidget* PictureButton(const QString& name, int id);
    // Shows the rules' state after one of their handlers has run.
    virtual void ShowRulesState() {}
    // The window is about to close: stop its timers.
    virtual void Closing() {}

    // Runs after every handler of the rules: ends the showing when the program has ended,
    // otherwise shows what the handler changed.
    void AfterHandler();
    // Whether a message box is up: the window then takes no key, click or close request of its
    // own, so that a second box never stands over the first (a box drawn inside the window
    // leaves the window's shortcuts and close button live).
    bool BoxUp() const { return platform_.boxes.Showing(); }

    void closeEvent(QCloseEvent* event) final;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override {}  // Esc belongs to the rules' key handlers

  private:
    // M, in every window: the music off or on, kept in data.ini (setting::kMute); S: the
    // play-by-ear cues off or on (setting::kCues). True where the key was one of them.
    bool SwitchSound(const QKeyEvent* event);

    struct KeyRoute {
        QObject* control;
        std::function<void(std::int16_t)> handler;
        std::vector<std::int16_t> handlerOnly;
    };

    void RequestClose();
    void Finish(int result);

    platform::Platform& platform_;
    // Says "Music off", "Sound cues on" and the like to a screen reader; the screen shows
    // nothing of it.
    Announcement* music_;
    std::vector<KeyRoute> routes_;
    bool focusShown_ = false;
    bool closing_ = false;
    bool closeQueued_ = false;
    int pressedPicture_ = -1;
};

}  // namespace views
