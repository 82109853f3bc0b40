// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The game's Qt view: paints Sn's controls (labels beneath pictures) and hands it keys, timer
// events and close requests. After each change it repaints only the places that changed.
//
// The window covers the whole screen, black, as a game window does on a screen switched to the
// chosen size; the field (the chosen size in pixels, every place in twips as designed)
// stands in its middle, enlarged by the largest whole factor that fits. F11 switches between
// that and a window of just the field's size, and the choice is kept in data.ini (setting::kFull).
#pragma once

#include <QElapsedTimer>
#include <QRegion>
#include <QTimer>
#include <string>
#include <vector>

#include "game/game_scene.h"
#include "game/sn.h"
#include "platform/platform.h"
#include "views/modal_window.h"

namespace views {
class Announcement;
}

class GameWindow : public views::ModalWindow {
    Q_OBJECT
  public:
    GameWindow(Sn& rules, platform::Platform& platform);

    void Refresh() override;

    // Paints the field into an image, as it shows on a screen of the given device pixel ratio.
    QImage Render(qreal ratio = 1);

    // Covers the screen, borderless, or stands as a window of the field's size, with the
    // desktop's frame, in the middle of it.
    void SetFullScreen(bool full);
    // Whether a window of the field's size fits the screen's area for windows.
    bool FieldFits() const;
    // Where the field stands in the window, enlarged.
    QRect FieldRect() const { return QRect(origin_, FieldSize() * enlargement_); }

    platform::PadPlace PadPlace() const override;
    // A pad pulled out pauses the game, as the player going to another program does.
    void PadUnplugged() override;

  protected:
    void FormUnload(std::int16_t& cancel) override { rules_.Form_Unload(cancel); }
    void FormKeyDown(std::int16_t keyCode) override { rules_.Form_KeyDown(keyCode, 0); }
    void Closing() override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void SetFrameless(bool frameless);
    // Centres the window of the field's size on the screen, with its frame where known.
    void PlaceWindowed();
    // Looks whether the window manager has framed the window of the field's size yet.
    void CheckFrame();
    // Once it has: a frame that does not fit on the screen with the field sends the game back
    // to the whole screen, and one that fits is centred, frame and all.
    void FrameKnown();
    Scene CurrentScene() const;
    QSize FieldSize() const;
    // A region of the field as the window's pixels.
    QRegion OnWindow(const QRegion& field) const;
    void PaintPending();
    // Tells assistive technology what the screen says, when that changes.
    void SayScreenText();

    Sn& rules_;
    platform::Platform& platform_;
    int enlargement_ = 1;
    QPoint origin_;
    QTimer timer2_;
    // What the screen says (the prompt, the score, the game-over lines) as text, announced to
    // screen readers at each change.
    views::Announcement* said_;
    std::string saidText_;
    bool played_ = false;       // the game has left its first wait
    bool askedWindow_ = false;  // F11 asked for the window that the frame may not let fit
    QTimer frameWatch_;
    int frameChecks_ = 0;
    // Changes are painted at most once per refresh interval of the screen, in whole
    // milliseconds as Qt's timers count (16 at 60 Hz, so that 16 ms ticks all show); faster
    // ticks than the screen shows would only cost CPU. What waits is painted when the interval
    // ends.
    QRegion pending_;
    QElapsedTimer sincePaint_;
    QTimer latePaint_;
    int frameMs_ = 16;
    Scene shown_;  // what the screen shows once the pending region is painted
    Scene next_;   // kept for its storage
    // The screen's twips per pixel, read once: painting converts every control's place.
    float twipsPerPixelX_;
    float twipsPerPixelY_;
};

// Shows the game modally: its controls are made afresh, Form_Load runs, and the call returns
// once the window has unloaded.
void ShowGameModal(Sn& rules, platform::Platform& platform);
// The same in a window the caller made for this one showing.
void ShowGameModal(Sn& rules, platform::Platform& platform, GameWindow& window);
