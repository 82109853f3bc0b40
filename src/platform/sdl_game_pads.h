// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Game controllers through SDL's game-controller layer, whose mapping database knows nearly every
// pad by its layout. Only SDL's joystick and controller parts run (no video, no sound, no
// signal handlers), driven from Qt's event loop:
// - with no pad plugged in, nothing polls: a pad plugged in or pulled out changes the device
//   folder, which inotify reports, and only then does SDL look (a few times over the next
//   seconds, as the device becomes readable once the system has set it up);
// - a plugged-in pad wakes the program only when it reports something: its device node is
//   watched, and SDL looks once it speaks (at most once per screen refresh, for pads that
//   stream reports); a pad without a node that can be watched is looked at once per refresh;
// - during play, the pads are also looked at right before each step of the game's clock, so
//   that no turn waits for a later step;
// - while the program is not active, none of this: what the pads did meanwhile is dropped.
#pragma once

#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/game_pads.h"

namespace platform {

class SdlGamePads : public GamePads {
  public:
    // Where a pad's device node is, by SDL's instance id: SDL's own path by default, which
    // virtual pads lack; tests give stand-ins.
    using NodeOf = std::function<std::string(std::int32_t)>;

    // Watches `deviceFolder` for pads coming and going; the pads present are found at once.
    explicit SdlGamePads(std::string deviceFolder = "/dev/input", NodeOf nodeOf = {});
    ~SdlGamePads() override;
    SdlGamePads(const SdlGamePads&) = delete;
    SdlGamePads& operator=(const SdlGamePads&) = delete;

    void SetHandler(std::function<void(const PadEvent&)> handler) override;
    void SetActive(bool active) override;
    int Count() const override { return static_cast<int>(pads_.size()); }

    // Whether SDL is read on a timer (a pad without a watched node is plugged in and the
    // program is active).
    bool Polling() const { return poll_.isActive(); }
    // How many times SDL has been read.
    int Looks() const { return looks_; }
    // Looks for pads plugged in or pulled out, as when the device folder changes.
    void Rescan();

  private:
    // A pad's left stick, turned into one direction per push.
    struct Stick {
        std::optional<PadButton> held;
        int x = 0;
        int y = 0;
    };
    // An open pad: its stick, and its device node where it is watched.
    struct Pad {
        Stick stick;
        int node = -1;
        std::unique_ptr<QSocketNotifier> spoke;
    };

    void WatchDevices();
    void DevicesChanged();
    // Reads SDL's events; presses reach the handler only when `deliver`. True when some did.
    bool Look(bool deliver);
    void UpdatePolling();
    void WatchNode(std::int32_t id, Pad& pad);
    void ClosePad(std::int32_t id);
    // A watched pad reported something: SDL looks now, or a refresh after the last look at a
    // report, for a pad that streams them.
    void NodeSpoke(Pad& pad);
    // Right before a step of the game's clock: true when presses were handed on.
    bool LookBeforeStep();
    // The direction a stick's move pushes, if it starts a push.
    static std::optional<PadButton> Pushed(Stick& stick);

    bool ready_ = false;
    bool active_ = true;
    std::string deviceFolder_;
    int inotifyFd_ = -1;
    int folderWatch_ = -1;
    std::unique_ptr<QSocketNotifier> deviceNotifier_;
    NodeOf nodeOf_;
    QTimer poll_;
    QTimer coalesce_;                // a look at a report put off to the next refresh
    QElapsedTimer sinceReportLook_;  // since the last look at a report
    int looks_ = 0;
    QTimer settle_;  // the looks that follow a change of the device folder
    int settleStep_ = 0;
    std::map<std::int32_t, Pad> pads_;  // by SDL's instance id
    std::function<void(const PadEvent&)> handler_;
};

}  // namespace platform
