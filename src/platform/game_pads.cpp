#include "platform/game_pads.h"

#include "platform/keys.h"

namespace platform {
namespace {

constexpr std::int16_t kP = 'P';  // pauses the game
constexpr std::int16_t kN = 'N';  // answers No

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
        case PadPlace::Controls:
            // Up and down walk the controls as Tab does; left and right change the one in focus.
            if (button == PadButton::Up || button == PadButton::Down) {
                return PadKey{key::Tab, button == PadButton::Up};
            }
            if (isA || isStart) {
                return PadKey{key::Return};
            }
            if (isB) {
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
