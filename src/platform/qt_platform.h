// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The platform seams as the running program uses them, on Qt and Linux.
#pragma once

#include <QObject>
#include <QSize>
#include <functional>
#include <memory>
#include <random>

#include "platform/platform.h"
#include "platform/program_places.h"
#include "platform/sdl_sound.h"

class QMessageBox;
class QWidget;
class QSocketNotifier;

namespace platform {

// CLOCK_MONOTONIC in whole milliseconds, cut to 32 bits.
class QtTickCounter : public TickCounter {
  public:
    std::uint32_t GetTickCount() override;
};

// Qt's event loop. Waiting uses a timerfd on the monotonic clock, so a deadline wakes the loop
// within microseconds instead of Qt timers' whole milliseconds.
class QtEventPump : public EventPump {
  public:
    QtEventPump();
    ~QtEventPump() override;
    void DoEvents() override;
    bool WaitUntil(std::uint32_t deadline) override;

    // A look at something the event loop does not watch closely enough, made right before
    // the game's clock may take a step (the pads hang theirs here); it returns true when it
    // posted events, which then run before the step. One at a time; nullptr takes it away.
    static void SetBeforeStep(std::function<bool()> look);

  private:
    int timerFd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
};

// Message boxes centred over the window that asks. Where the window system places windows as
// it likes (Wayland: a compositor put "Exit?" beside the game), a box is drawn inside that
// window instead, over a cover that takes the clicks, with the window's controls disabled.
class QtMessageBoxes : public MessageBoxes {
  public:
    QtMessageBoxes();
    explicit QtMessageBoxes(bool insideWindows) : insideWindows_(insideWindows) {}
    bool AskYesNo(const std::string& text, const std::string& title) override;
    void Inform(const std::string& text, const std::string& title) override;
    bool Showing() const override { return open_ > 0; }

  private:
    int Run(QMessageBox& box, QWidget* parent);

    bool insideWindows_;
    int open_ = 0;
};

// The running program. Where its settings and music are is decided when it is made, once per
// run; the per-user settings folder is then made by the first write into it.
class QtProcess : public Process {
  public:
    explicit QtProcess(Sound& sound);
    std::string AppPath() override { return places_.programFolder; }
    std::string SettingsFolder() override { return places_.settings.folder; }
    std::string MusicFile() override { return places_.music; }
    [[noreturn]] void End() override;
    bool Ended() override { return false; }

  private:
    Sound& sound_;
    ProgramPlaces places_;
};

// The area for windows is the screen's available area, which leaves out the desktop's panels.
// Under Wayland Qt cannot see them (its available area is the whole output); there the area is
// the size the compositor gives a maximised window, asked once when this is made.
class QtScreen : public Screen {
  public:
    QtScreen();
    float TwipsPerPixelX() override;
    float TwipsPerPixelY() override;
    bool Fits(std::int32_t width, std::int32_t height) override;

  private:
    QSize maximised_;  // empty where not asked, or not told
};

// std::mt19937_64, reseeded from the real-time clock's nanoseconds.
class QtRandom : public Random {
  public:
    void Randomize() override;
    double Rnd() override;

  private:
    std::mt19937_64 engine_;
};

// All real seams in one place; build it after the QApplication.
struct QtPlatform {
    QtTickCounter clock;
    QtEventPump pump;
    QtMessageBoxes boxes;
    SdlSound sound;
    QtProcess process{sound};
    QtScreen screen;
    QtRandom random;
    Platform bundle{clock, pump, boxes, sound, process, screen, random};
};

}  // namespace platform
