// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/game_pads.h"

#include "platform/keys.h"

namespace platform {
namespace {

constexpr std::int16_t kP = 'P';  // pauses the game
constexpr std::int16_t kN = 'N';  // answers No
constexpr std::int16_t kH = 'H';  // with Ctrl, shows the high score in the menu

std::optional<PadKey> Direction(PadButton button) {
    switch (button) {
        case PadButton::Up:
            return PadKey{key::Up};
        case PadButton::Down:
            return PadKey{key::Down};
        case PadButton::Left:
            return PadKey{key::Left};
        case PadButton::Right:
            return PadKey{key::Right};
        default:
            return std::nullopt;
    }
}

}  // namespace

std::optional<PadKey> KeyForPad(PadButton button, PadPlace place) {
    const bool isA = button == PadButton::A;
    const bool isB = button == PadButton::B || button == PadButton::Back;
    const bool isStart = button == PadButton::Start;
    const bool isUpOrDown = button == PadButton::Up || button == PadButton::Down;
    switch (place) {
        case PadPlace::GameWaiting:
        case PadPlace::GamePlaying:
            if (isB) {
                return PadKey{key::Escape};
            }
            if (isStart && place == PadPlace::GamePlaying) {
                return PadKey{kP};
            }
            if (isA || isStart) {
                return PadKey{key::Space};
            }
            return Direction(button);
        case PadPlace::GameOver:
            if (isB) {
                return PadKey{key::Escape};
            }
            if (isA || isStart) {
                return PadKey{key::F2};
            }
            return std::nullopt;
        case PadPlace::Chooser:
        case PadPlace::Menu:
            // Up and down walk the controls as Tab does; left and right change the one in focus.
            if (isUpOrDown) {
                return PadKey{.key = key::Tab, .shift = button == PadButton::Up};
            }
            // A goes on from every control. The chooser's Enter does that only in the window
            // and on the sizes, not on its check box, which is where a player is after ticking
            // it: a pad's Enter goes to the window itself there.
            if (isA || isStart) {
                return PadKey{.key = key::Return, .toWindow = place == PadPlace::Chooser};
            }
            if (button == PadButton::Y && place == PadPlace::Menu) {
                return PadKey{.key = kH, .control = true};
            }
            // B, the second most used button, never ends the program at once as Esc does in
            // the menu; Back keeps Esc's meaning.
            if (button == PadButton::Back) {
                return PadKey{key::Escape};
            }
            return Direction(button);
        case PadPlace::Question:
        case PadPlace::Notice:
            // Left and right move between the buttons; A presses the one in focus.
            if (button == PadButton::Left || button == PadButton::Right) {
                return Direction(button);
            }
            if (isA) {
                return PadKey{key::Space};
            }
            if (isB) {
                return PadKey{place == PadPlace::Question ? kN : key::Escape};
            }
            return std::nullopt;
    }
    return std::nullopt;
}

}  // namespace platform
