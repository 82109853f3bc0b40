// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Play by ear: what a player who cannot see the field hears of it after each step. The cues
// are worked out from the same values and by the same tests as the collisions, so that "in the
// head's column" means that going straight up or down eats the apple.
#include <algorithm>
#include <cmath>

#include "game/sn.h"
#include "settings/text.h"

namespace {

using platform::Cue;

// The pitch's steps from the head's row to a wall: few enough to tell apart by ear.
constexpr float kPitchSteps = 6;
// The least pan of an apple off the head's column, so that it is never heard as centred.
constexpr float kLeastPan = 0.25f;

// Whether one of the head's two edges lies strictly inside the food's span, as check_coll
// tests its corners: the head eats the food by moving along the other axis.
bool EdgeInside(float start, float size, float foodStart, float foodSize) {
    const float end = start + size;
    const float foodEnd = foodStart + foodSize;
    return (foodStart < start && start < foodEnd) || (foodStart < end && end < foodEnd);
}

// Where the apple's centre `target` lies from `from`, as a share of the way to the farthest it
// can lie on that side (against the wall, `half` its size from it): -1 against the near wall,
// 1 against the far one.
float Share(float target, float from, float nearWall, float farWall, float half) {
    const float room = target < from ? from - (nearWall + half) : (farWall - half) - from;
    const float share = room > 0 ? (target - from) / room : (target < from ? -1.0f : 1.0f);
    return std::clamp(share, -1.0f, 1.0f);
}

// The field inside the walls, as check_coll bounds it.
struct Field {
    float left, right, top, bottom;
};

bool HitsWall(const Box& head, const Field& field) {
    return head.Left < field.left || head.Left + head.Width > field.right ||
           head.Top < field.top || head.Top + head.Height > field.bottom;
}

}  // namespace

void Sn::CueEvent(Cue::Kind kind) {
    if (platform_.sound.CuesOn()) {
        cues_.push_back(Cue{kind, 0, 0, 0});
    }
}

void Sn::SoundCues() {
    if (!cues_.empty()) {
        platform_.sound.PlayCues(cues_);
        cues_.clear();
    }
}

void Sn::CueStep() {
    if (!platform_.sound.CuesOn() || IsOver() || controls.s.empty()) {
        return;
    }
    const Controls& c = controls;
    const Box head = c.s[0].box;
    const Field field{c.window.Left + c.lleft.box.Width, c.window.Width - c.lright.box.Width,
                      c.window.Top + c.ltop.box.Height, c.window.Height - c.lbottom.box.Height};
    const float headX = head.Left + head.Width / 2;
    const float headY = head.Top + head.Height / 2;

    // The apple: across by the stereo position, up or down by the pitch; the head's own column
    // and row are exactly the centre and the middle pitch.
    const Box food = c.pban.box;
    Cue apple{Cue::Kind::Apple, 0, 0, 0};
    if (!EdgeInside(head.Left, head.Width, food.Left, food.Width)) {
        const float half = food.Width / 2;
        const float share = Share(food.Left + half, headX, field.left, field.right, half);
        apple.pan = std::copysign(std::max(std::abs(share), kLeastPan), share);
    }
    if (!EdgeInside(head.Top, head.Height, food.Top, food.Height)) {
        // Up the screen is up the scale.
        const float half = food.Height / 2;
        const float share = -Share(food.Top + half, headY, field.top, field.bottom, half);
        apple.pitch = std::copysign(std::ceil(std::abs(share) * kPitchSteps) / kPitchSteps, share);
    }
    cues_.push_back(apple);

    // Danger: the place the next step takes the head to, then the one after, against the walls
    // and the blocks still there by then (the tail moves on meanwhile).
    const std::string heading = UpperAscii(direction);
    const float dx = heading == "X+" ? 1.0f : heading == "X-" ? -1.0f : 0.0f;
    const float dy = heading == "Y+" ? 1.0f : heading == "Y-" ? -1.0f : 0.0f;
    const auto stepX = static_cast<float>(StepTwips(platform_.screen.TwipsPerPixelX()));
    const auto stepY = static_cast<float>(StepTwips(platform_.screen.TwipsPerPixelY()));
    for (int ahead = 1; ahead <= 2 && (dx != 0 || dy != 0); ++ahead) {
        Box next = head;
        next.Left = head.Left + dx * stepX * static_cast<float>(ahead);
        next.Top = head.Top + dy * stepY * static_cast<float>(ahead);
        bool hit = HitsWall(next, field);
        const size_t stays = c.s.size() > static_cast<size_t>(ahead)
                                 ? c.s.size() - static_cast<size_t>(ahead)
                                 : 0;
        for (size_t i = 1; i < stays && !hit; ++i) {
            hit = next.Left == c.s[i].box.Left && next.Top == c.s[i].box.Top;
        }
        if (hit) {
            cues_.push_back(Cue{Cue::Kind::Danger, dx, -dy, 3 - ahead});
            break;
        }
    }
}
