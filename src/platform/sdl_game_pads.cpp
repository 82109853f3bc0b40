// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/sdl_game_pads.h"

#include <SDL.h>
#include <fcntl.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <set>
#include <vector>

#include "platform/qt_platform.h"

namespace platform {
namespace {

// The left stick: a push counts once it is past half way, and ends once the stick is back
// within a quarter of its travel, so that a stick resting near the edge of the dead zone does not
// repeat.
constexpr int kPush = 16384;
constexpr int kRest = 8192;

// After the device folder changes: the looks that follow, each this many ms after the one
// before. A new device is readable only once the system has set its permissions up.
constexpr std::array<int, 3> kSettleMs{100, 400, 1500};

constexpr std::uint32_t kDeviceChanges =
    IN_CREATE | IN_DELETE | IN_ATTRIB | IN_MOVED_TO | IN_MOVED_FROM;

std::optional<PadButton> ButtonOf(std::uint8_t button) {
    switch (button) {
        case SDL_CONTROLLER_BUTTON_DPAD_UP:
            return PadButton::Up;
        case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
            return PadButton::Down;
        case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
            return PadButton::Left;
        case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
            return PadButton::Right;
        case SDL_CONTROLLER_BUTTON_A:
            return PadButton::A;
        case SDL_CONTROLLER_BUTTON_B:
            return PadButton::B;
        case SDL_CONTROLLER_BUTTON_Y:
            return PadButton::Y;
        case SDL_CONTROLLER_BUTTON_BACK:
            return PadButton::Back;
        case SDL_CONTROLLER_BUTTON_START:
            return PadButton::Start;
        case SDL_CONTROLLER_BUTTON_GUIDE:
            return PadButton::Guide;
        default:
            return std::nullopt;
    }
}

// Whole milliseconds, rounded up: never more than one look per refresh (17 ms at 60 Hz).
int RefreshIntervalMs() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    const qreal rate = screen != nullptr && screen->refreshRate() > 1 ? screen->refreshRate() : 60;
    return std::max(1, static_cast<int>(std::ceil(1000.0 / rate)));
}

}  // namespace

SdlGamePads::SdlGamePads(std::string deviceFolder, NodeOf nodeOf)
    : deviceFolder_(std::move(deviceFolder)), nodeOf_(std::move(nodeOf)) {
    if (!nodeOf_) {
        nodeOf_ = [](std::int32_t id) {
            const char* path = SDL_GameControllerPath(SDL_GameControllerFromInstanceID(id));
            return std::string(path != nullptr ? path : "");
        };
    }
    poll_.setTimerType(Qt::PreciseTimer);
    poll_.setInterval(RefreshIntervalMs());
    QObject::connect(&poll_, &QTimer::timeout, [this] { Look(true); });
    coalesce_.setTimerType(Qt::PreciseTimer);
    coalesce_.setSingleShot(true);
    QObject::connect(&coalesce_, &QTimer::timeout, [this] {
        sinceReportLook_.restart();
        Look(active_);
    });
    sinceReportLook_.start();
    settle_.setSingleShot(true);
    QObject::connect(&settle_, &QTimer::timeout, [this] {
        Rescan();
        if (++settleStep_ < static_cast<int>(kSettleMs.size())) {
            settle_.start(kSettleMs[static_cast<size_t>(settleStep_)]);
        }
    });
    // SDL would turn Ctrl+C into an event of its own; the program keeps the system's handling.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    ready_ = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    if (!ready_) {
        return;
    }
    WatchDevices();
    Look(false);  // opens the pads already plugged in
    QtEventPump::SetBeforeStep([this] { return LookBeforeStep(); });
}

SdlGamePads::~SdlGamePads() {
    QtEventPump::SetBeforeStep(nullptr);
    poll_.stop();
    coalesce_.stop();
    settle_.stop();
    deviceNotifier_.reset();
    if (inotifyFd_ >= 0) {
        ::close(inotifyFd_);
    }
    if (!ready_) {
        return;
    }
    for (auto& [id, pad] : pads_) {
        pad.spoke.reset();
    }
    while (!pads_.empty()) {
        ClosePad(pads_.begin()->first);
    }
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    SDL_Quit();
}

void SdlGamePads::SetHandler(std::function<void(const PadEvent&)> handler) {
    handler_ = std::move(handler);
}

void SdlGamePads::SetActive(bool active) {
    if (active == active_) {
        return;
    }
    active_ = active;
    for (auto& [id, pad] : pads_) {
        if (pad.spoke) {
            pad.spoke->setEnabled(active_);
        }
    }
    if (active_) {
        Look(false);  // what the pads did while the program was not active is dropped
    }
    UpdatePolling();
}

void SdlGamePads::WatchNode(std::int32_t id, Pad& pad) {
    const std::string node = nodeOf_(id);
    if (node.empty()) {
        return;
    }
    pad.node = ::open(node.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (pad.node < 0) {
        return;  // looked at once per refresh instead
    }
    pad.spoke = std::make_unique<QSocketNotifier>(pad.node, QSocketNotifier::Read);
    pad.spoke->setEnabled(active_);
    QObject::connect(pad.spoke.get(), &QSocketNotifier::activated,
                     [this, &pad] { NodeSpoke(pad); });
}

void SdlGamePads::NodeSpoke(Pad& pad) {
    // The reports read here are this descriptor's own copies; SDL reads its own.
    char buffer[4096];
    ssize_t got = 0;
    while ((got = ::read(pad.node, buffer, sizeof buffer)) > 0) {
    }
    if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR)) {
        pad.spoke->setEnabled(false);  // gone: the device folder says so, and SDL then
        return;                        // closes the pad
    }
    // A pad that streams reports is read at most once per refresh; any other at once.
    const qint64 wait = poll_.interval() - sinceReportLook_.elapsed();
    if (wait <= 0) {
        sinceReportLook_.restart();
        Look(true);
    } else if (!coalesce_.isActive()) {
        coalesce_.start(static_cast<int>(wait));
    }
}

void SdlGamePads::ClosePad(std::int32_t id) {
    const auto found = pads_.find(id);
    if (found == pads_.end()) {
        return;
    }
    if (found->second.spoke) {
        // It may be the notifier whose report led here.
        found->second.spoke->setEnabled(false);
        found->second.spoke.release()->deleteLater();
    }
    if (found->second.node >= 0) {
        ::close(found->second.node);
    }
    pads_.erase(found);
    SDL_GameControllerClose(SDL_GameControllerFromInstanceID(id));
}

bool SdlGamePads::LookBeforeStep() {
    return active_ && !pads_.empty() && Look(true);
}

// The device folder is watched with inotify; where it does not exist yet (no input device at
// all), its parent is watched for it to appear.
void SdlGamePads::WatchDevices() {
    inotifyFd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (inotifyFd_ < 0) {
        return;
    }
    folderWatch_ = inotify_add_watch(inotifyFd_, deviceFolder_.c_str(), kDeviceChanges);
    if (folderWatch_ < 0) {
        const std::string parent = deviceFolder_.substr(0, deviceFolder_.find_last_of('/'));
        inotify_add_watch(inotifyFd_, parent.empty() ? "/" : parent.c_str(),
                          IN_CREATE | IN_MOVED_TO);
    }
    deviceNotifier_ = std::make_unique<QSocketNotifier>(inotifyFd_, QSocketNotifier::Read);
    QObject::connect(deviceNotifier_.get(), &QSocketNotifier::activated, [this] {
        alignas(inotify_event) char buffer[4096];
        while (::read(inotifyFd_, buffer, sizeof buffer) > 0) {
        }
        if (folderWatch_ < 0) {
            folderWatch_ = inotify_add_watch(inotifyFd_, deviceFolder_.c_str(), kDeviceChanges);
        }
        DevicesChanged();
    });
}

void SdlGamePads::DevicesChanged() {
    Rescan();
    settleStep_ = 0;
    settle_.start(kSettleMs[0]);
}

void SdlGamePads::Rescan() {
    Look(active_);
}

bool SdlGamePads::Look(bool deliver) {
    if (!ready_) {
        return false;
    }
    ++looks_;
    std::vector<PadEvent> events;
    std::set<std::int32_t> moved;  // the pads whose stick moved
    SDL_GameControllerUpdate();
    SDL_Event event;
    while (SDL_PeepEvents(&event, 1, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT) > 0) {
        switch (event.type) {
            case SDL_CONTROLLERDEVICEADDED:
                if (SDL_GameController* pad = SDL_GameControllerOpen(event.cdevice.which)) {
                    const SDL_JoystickID id =
                        SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad));
                    if (const auto [opened, added] = pads_.try_emplace(id); added) {
                        WatchNode(id, opened->second);
                    } else {
                        SDL_GameControllerClose(pad);  // already open: one reference is enough
                    }
                }
                break;
            case SDL_CONTROLLERDEVICEREMOVED:
                if (pads_.count(event.cdevice.which) > 0) {
                    ClosePad(event.cdevice.which);
                    events.push_back({PadEvent::Kind::Unplugged, PadButton::A});
                }
                break;
            case SDL_CONTROLLERBUTTONDOWN:
                if (const auto button = ButtonOf(event.cbutton.button)) {
                    events.push_back({PadEvent::Kind::Pressed, *button});
                }
                break;
            case SDL_CONTROLLERAXISMOTION: {
                const auto pad = pads_.find(event.caxis.which);
                if (pad == pads_.end()) {
                    break;
                }
                Stick& stick = pad->second.stick;
                if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTX) {
                    stick.x = event.caxis.value;
                } else if (event.caxis.axis == SDL_CONTROLLER_AXIS_LEFTY) {
                    stick.y = event.caxis.value;
                } else {
                    break;
                }
                moved.insert(pad->first);
                break;
            }
            default:
                break;
        }
    }
    // A stick is judged once both of its axes are read: SDL reports X before Y, and X judged
    // against the Y before it would give a second direction for one push.
    for (const std::int32_t id : moved) {
        const auto pad = pads_.find(id);
        if (pad == pads_.end()) {
            continue;  // pulled out in the same look
        }
        if (const auto pushed = Pushed(pad->second.stick)) {
            events.push_back({PadEvent::Kind::Pressed, *pushed});
        }
    }
    UpdatePolling();
    if (!deliver || events.empty()) {
        return false;
    }
    // Each event is handed on from the event loop, on its own: a handler may run for long (a
    // key that starts the game returns when it ends), and Qt never runs a timer's handler
    // again while it is still running, which would leave the pads unread meanwhile.
    for (const PadEvent& padEvent : events) {
        QMetaObject::invokeMethod(
            &poll_,
            [this, padEvent] {
                if (handler_) {
                    handler_(padEvent);
                }
            },
            Qt::QueuedConnection);
    }
    return true;
}

// One direction per push: the stronger axis once the stick is past the push mark, given again
// only after the stick has rested or turned to another direction.
std::optional<PadButton> SdlGamePads::Pushed(Stick& stick) {
    const int ax = std::abs(stick.x);
    const int ay = std::abs(stick.y);
    std::optional<PadButton> direction = stick.held;
    if (std::max(ax, ay) < kRest) {
        direction.reset();
    } else if (std::max(ax, ay) >= kPush) {
        direction = ax >= ay ? (stick.x < 0 ? PadButton::Left : PadButton::Right)
                             : (stick.y < 0 ? PadButton::Up : PadButton::Down);
    }
    if (direction == stick.held) {
        return std::nullopt;
    }
    stick.held = direction;
    return direction;
}

void SdlGamePads::UpdatePolling() {
    const bool unwatched = std::any_of(pads_.begin(), pads_.end(),
                                       [](const auto& entry) { return !entry.second.spoke; });
    const bool wanted = ready_ && active_ && unwatched;
    if (wanted && !poll_.isActive()) {
        poll_.start();
    } else if (!wanted && poll_.isActive()) {
        poll_.stop();
    }
}

}  // namespace platform
