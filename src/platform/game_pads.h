// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Game controllers as the windows see them: presses of the buttons of the standard layout, each
// standing for the key a keyboard player would press in that window. The windows' rules never
// learn that a pad was used.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

namespace platform {

// A pad's buttons by their place in the standard layout, whatever is printed on them: A is the
// bottom face button, B the right one, Y the top one; Back and Start flank Guide (Home). The
// d-pad and the left stick both give the four directions.
enum class PadButton : std::uint8_t { Up, Down, Left, Right, A, B, Y, Back, Start, Guide };

// What the pads did: a button pressed, or a pad pulled out.
struct PadEvent {
    enum class Kind : std::uint8_t { Pressed, Unplugged };
    Kind kind = Kind::Pressed;
    PadButton button = PadButton::A;
};

// Every pad that is plugged in, at any moment, as one source of presses.
class GamePads {
  public:
    virtual ~GamePads() = default;
    // Every press and every pad pulled out goes to `handler`, in order.
    virtual void SetHandler(std::function<void(const PadEvent&)> handler) = 0;
    // The pads are read only while the program is the active one; what they did meanwhile is
    // dropped, as keys typed into another program are.
    virtual void SetActive(bool active) = 0;
    // The pads plugged in.
    virtual int Count() const = 0;
};

// Where a press lands: a moment of the game, a window of controls (the chooser, the menu), the
// "Exit?" question, or a box with only OK.
enum class PadPlace : std::uint8_t {
    GameWaiting,
    GamePlaying,
    GameOver,
    Chooser,
    Menu,
    Question,
    Notice
};

// A key of keys.h, with Shift for a move backwards through the controls or Ctrl for a window's
// shortcut; sent to the control in focus, or to the window itself as when no control holds it.
struct PadKey {
    std::int16_t key = 0;
    bool shift = false;
    bool control = false;
    bool toWindow = false;
    bool operator==(const PadKey&) const = default;
};

// The key a press stands for at a place; none where the button does nothing there.
std::optional<PadKey> KeyForPad(PadButton button, PadPlace place);

}  // namespace platform
