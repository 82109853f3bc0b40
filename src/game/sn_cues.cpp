// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Play by ear: what a player who cannot see the field hears of it after each step. The cues
// are worked out from the same values and by the same tests as the collisions, so that "in the
// head's column" means that going straight up or down eats the apple.
#include <algorithm>
#include <cmath>
#include <optional>

#include "game/sn.h"
#include "settings/text.h"

namespace {

using platform::Cue;

// How far ahead a push of cues foresees the steps.
constexpr int kForeseenMs = 150;
constexpr auto kPitchSteps = static_cast<float>(Cue::kPitchSteps);
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

Field InsideWalls(const Sn::Controls& c) {
    return {c.window.Left + c.lleft.box.Width, c.window.Width - c.lright.box.Width,
            c.window.Top + c.ltop.box.Height, c.window.Height - c.lbottom.box.Height};
}

bool HitsWall(const Box& head, const Field& field) {
    return head.Left < field.left || head.Left + head.Width > field.right || head.Top < field.top ||
           head.Top + head.Height > field.bottom;
}

}  // namespace

// The head `later` steps straight on from where it is.
Box Sn::HeadAhead(int later) const {
    const std::string heading = UpperAscii(direction);
    Box head = controls.s[0].box;
    const auto steps = static_cast<float>(later);
    if (heading == "X+" || heading == "X-") {
        const auto step = static_cast<float>(StepTwips(platform_.screen.TwipsPerPixelX()));
        head.Left = head.Left + (heading == "X+" ? step : -step) * steps;
    } else if (heading == "Y+" || heading == "Y-") {
        const auto step = static_cast<float>(StepTwips(platform_.screen.TwipsPerPixelY()));
        head.Top = head.Top + (heading == "Y+" ? step : -step) * steps;
    }
    return head;
}

// Whether a head at that place, `later` steps on, ends the game: a wall, or a block of the
// body still there then (blocks 1 to the last but `later`: the tail moves on meanwhile; the
// ones the head leaves behind it on the way lie behind it).
bool Sn::HitAhead(const Box& head, int later) const {
    const Controls& c = controls;
    if (HitsWall(head, InsideWalls(c))) {
        return true;
    }
    const auto count = static_cast<long>(c.s.size());
    for (long i = 1; i < count - later; ++i) {
        if (head.Left == c.s[static_cast<size_t>(i)].box.Left &&
            head.Top == c.s[static_cast<size_t>(i)].box.Top) {
            return true;
        }
    }
    return false;
}

std::optional<std::vector<Cue>> Sn::CuesAhead(int later) const {
    const Controls& c = controls;
    // Steps that eat or end the game on the way change what follows: it is not known yet.
    for (int on = 0; on < later; ++on) {
        const Box head = HeadAhead(on);
        if (HitAhead(head, on) || OnFood(head, c.pban.box)) {
            return std::nullopt;
        }
    }
    std::vector<Cue> cues;
    const Box head = HeadAhead(later);
    const Field field = InsideWalls(c);
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
    cues.push_back(apple);

    // Danger: the place the next step takes the head to, then the one after, panned to where it
    // lies (and pitched, going up or down).
    const Box one = HeadAhead(later + 1);
    const float dx = one.Left > head.Left ? 1.0f : one.Left < head.Left ? -1.0f : 0.0f;
    const float dy = one.Top > head.Top ? 1.0f : one.Top < head.Top ? -1.0f : 0.0f;
    for (int ahead = 1; ahead <= 2 && (dx != 0 || dy != 0); ++ahead) {
        if (HitAhead(HeadAhead(later + ahead), later + ahead)) {
            cues.push_back(Cue{Cue::Kind::Danger, dx, -dy, 3 - ahead});
            break;
        }
    }
    return cues;
}

void Sn::CueEvent(Cue::Kind kind) {
    if (platform_.sound.CuesOn()) {
        cues_.push_back(Cue{kind, 0, 0, 0});
    }
}

void Sn::CueStep() {
    if (!platform_.sound.CuesOn() || IsOver() || controls.s.empty()) {
        return;
    }
    if (auto here = CuesAhead(0)) {
        cues_.insert(cues_.end(), here->begin(), here->end());
    }
}

void Sn::SoundCues() {
    if (cues_.empty()) {
        return;
    }
    // A plain step whose cues were foreseen at the last push is already sounding, on time.
    const bool plainStep = std::all_of(cues_.begin(), cues_.end(), [](const Cue& cue) {
        return cue.kind == Cue::Kind::Apple || cue.kind == Cue::Kind::Danger;
    });
    if (plainStep && !foreseen_.empty() && foreseen_.front() == cues_) {
        foreseen_.pop_front();
        cues_.clear();
        return;
    }
    // Otherwise these, and the steps straight on for about 150 ms, as they will sound unless a
    // key, an apple or the end comes first: the next pushes are saved while nothing changes.
    foreseen_.clear();
    std::vector<Cue> played = cues_;
    // The next move comes with the next tick, or the one after where a key has just moved the
    // snake (that tick moves nothing).
    const std::int32_t first =
        platform::TicksBetween(Now(), tickStart) + tickInterval * (keyMoved ? 2 : 1);
    for (int step = 1; !IsOver() && first + (step - 1) * tickInterval <= kForeseenMs; ++step) {
        auto ahead = CuesAhead(step);
        if (!ahead || tickInterval <= 0) {
            break;
        }
        foreseen_.push_back(*ahead);
        for (Cue cue : *ahead) {
            cue.delayMs = first + (step - 1) * tickInterval;
            played.push_back(cue);
        }
    }
    platform_.sound.PlayCues(played);
    cues_.clear();
}

void Sn::CancelForeseenCues() {
    if (!foreseen_.empty()) {
        foreseen_.clear();
        platform_.sound.PlayCues({});
    }
}
