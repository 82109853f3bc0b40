// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// A game controller made inside the test process, which SDL's game-controller layer takes for a
// real one (the machines that run the tests have no input devices). A test plugs it in, moves
// its buttons and stick, and pulls it out; the pads under test read it as they read any pad.
#pragma once

#include <SDL.h>

#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <string>

class VirtualPad {
  public:
    // Plugs the pad in and tells the pads watching `deviceFolder`, as the system does by making
    // a device there.
    explicit VirtualPad(const std::string& deviceFolder) : folder_(deviceFolder) {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
        desc.naxes = SDL_CONTROLLER_AXIS_MAX;
        desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
        desc.name = "Virtual pad";
        joystick_ = SDL_JoystickOpen(SDL_JoystickAttachVirtualEx(&desc));
        id_ = SDL_JoystickInstanceID(joystick_);
        Touch("event" + std::to_string(id_));
    }
    ~VirtualPad() { Unplug(); }
    VirtualPad(const VirtualPad&) = delete;
    VirtualPad& operator=(const VirtualPad&) = delete;

    // Holds a button down or lets go of it, and moves the left stick; each returns at once.
    void Set(SDL_GameControllerButton button, bool down) {
        SDL_JoystickSetVirtualButton(joystick_, button, down ? 1 : 0);
    }
    void SetStick(int x, int y) {
        SDL_JoystickSetVirtualAxis(joystick_, SDL_CONTROLLER_AXIS_LEFTX, static_cast<Sint16>(x));
        SDL_JoystickSetVirtualAxis(joystick_, SDL_CONTROLLER_AXIS_LEFTY, static_cast<Sint16>(y));
    }
    // The same, each held for several screen refreshes, long enough to be read.
    void Tap(SDL_GameControllerButton button) {
        Set(button, true);
        Wait(kHoldMs);
        Set(button, false);
        Wait(kHoldMs);
    }
    void Stick(int x, int y) {
        SetStick(x, y);
        Wait(kHoldMs);
    }
    void Unplug() {
        if (joystick_ == nullptr) {
            return;
        }
        SDL_JoystickClose(joystick_);
        joystick_ = nullptr;
        for (int i = 0; i < SDL_NumJoysticks(); ++i) {
            if (SDL_JoystickGetDeviceInstanceID(i) == id_) {
                SDL_JoystickDetachVirtual(i);
            }
        }
        QFile::remove(QString::fromStdString(folder_ + "/event" + std::to_string(id_)));
    }

    // Lets the event loop run for a while.
    static void Wait(int ms) {
        QEventLoop loop;
        QTimer::singleShot(ms, &loop, &QEventLoop::quit);
        loop.exec();
    }

  private:
    static constexpr int kHoldMs = 60;  // several screen refreshes

    void Touch(const std::string& name) {
        QFile device(QString::fromStdString(folder_ + "/" + name));
        (void)device.open(QIODevice::WriteOnly);
    }

    std::string folder_;
    SDL_Joystick* joystick_ = nullptr;
    SDL_JoystickID id_ = -1;
};
