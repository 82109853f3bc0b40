// Game controllers through SDL's game-controller layer, whose mapping database knows nearly every
// pad by its layout. Only SDL's joystick and controller parts run (no video, no sound, no
// signal handlers), driven from Qt's event loop:
// - with no pad plugged in, nothing polls: a pad plugged in or pulled out changes the device
//   folder, which inotify reports, and only then does SDL look (a few times over the next
//   seconds, as the device becomes readable once the system has set it up);
// - with a pad plugged in, SDL is read once per screen refresh while the program is active,
//   and not at all while it is not.
#pragma once

#include <QSocketNotifier>
#include <QTimer>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "platform/game_pads.h"

namespace platform {

class SdlGamePads : public GamePads {
  public:
    // Watches `deviceFolder` for pads coming and going; the pads present are found at once.
    explicit SdlGamePads(std::string deviceFolder = "/dev/input");
    ~SdlGamePads() override;
    SdlGamePads(const SdlGamePads&) = delete;
    SdlGamePads& operator=(const SdlGamePads&) = delete;

    void SetHandler(std::function<void(const PadEvent&)> handler) override;
    void SetActive(bool active) override;
    int Count() const override { return static_cast<int>(pads_.size()); }

    // Whether SDL is read on a timer (a pad is plugged in and the program is active).
    bool Polling() const { return poll_.isActive(); }
    // Looks for pads plugged in or pulled out, as when the device folder changes.
    void Rescan();

  private:
    // A pad's left stick, turned into one direction per push.
    struct Stick {
        std::optional<PadButton> held;
        int x = 0;
        int y = 0;
    };

    void WatchDevices();
    void DevicesChanged();
    // Reads SDL's events; presses reach the handler only when `deliver`.
    void Look(bool deliver);
    void UpdatePolling();
    // The direction a stick's move pushes, if it starts a push.
    static std::optional<PadButton> Pushed(Stick& stick);

    bool ready_ = false;
    bool active_ = true;
    std::string deviceFolder_;
    int inotifyFd_ = -1;
    int folderWatch_ = -1;
    std::unique_ptr<QSocketNotifier> deviceNotifier_;
    QTimer poll_;
    QTimer settle_;  // the looks that follow a change of the device folder
    int settleStep_ = 0;
    std::map<std::int32_t, Stick> pads_;  // by SDL's instance id
    std::function<void(const PadEvent&)> handler_;
};

}  // namespace platform
