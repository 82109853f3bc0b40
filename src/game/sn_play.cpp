// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Moving the snake, checking what the head ran into, food and growth.
#include <cmath>
#include <limits>

#include "game/sn.h"
#include "settings/text.h"

namespace {

constexpr size_t kMaxSegments = 32768;  // segment indexes are 16-bit

// A 32-bit count grown by a step, or left as it is where the step would pass the count's limit:
// a score or a length that large stops growing instead of overflowing.
std::int32_t GrownBy(std::int32_t count, std::int32_t step) {
    return count > std::numeric_limits<std::int32_t>::max() - step ? count : count + step;
}

}  // namespace

bool OnFood(const Box& head, const Box& food) {
    const float right = static_cast<float>(head.Left + head.Width);
    const float bottom = static_cast<float>(head.Top + head.Height);
    const float foodRight = static_cast<float>(food.Left + food.Width);
    const float foodBottom = static_cast<float>(food.Top + food.Height);
    auto inside = [&](float x, float y) {
        return food.Left < x && x < foodRight && food.Top < y && y < foodBottom;
    };
    return inside(head.Left, head.Top) || inside(right, bottom) || inside(right, head.Top) ||
           inside(head.Left, bottom);
}

void Sn::fMove() {
    std::vector<PictureControl>& s = controls.s;
    const size_t count = s.size();
    oldPos.assign(count, SegPos{0, 0});
    for (size_t i = 0; i < count; ++i) {
        oldPos[i].left = s[i].box.Left;
        oldPos[i].top = s[i].box.Top;
    }
    const auto horizontal = static_cast<float>(StepTwips(platform_.screen.TwipsPerPixelX()));
    const auto vertical = static_cast<float>(StepTwips(platform_.screen.TwipsPerPixelY()));
    const std::string heading = UpperAscii(direction);
    Box& head = s[0].box;
    if (heading == "X+") {
        head.Left = head.Left + horizontal;
    } else if (heading == "X-") {
        head.Left = head.Left - horizontal;
    } else if (heading == "Y+") {
        head.Top = head.Top + vertical;
    } else if (heading == "Y-") {
        head.Top = head.Top - vertical;
    }
    for (size_t i = 1; i < count; ++i) {
        s[i].box.Left = oldPos[i - 1].left;
        s[i].box.Top = oldPos[i - 1].top;
    }
}

void Sn::check_coll() {
    const Controls& c = controls;
    const Box head = c.s[0].box;
    // Every limit and every edge is a single-precision sum, compared strictly.
    const bool inLeft = head.Left < static_cast<float>(c.window.Left + c.lleft.box.Width);
    const bool inRight = static_cast<float>(head.Left + head.Width) >
                         static_cast<float>(c.window.Width - c.lright.box.Width);
    const bool inTop = head.Top < static_cast<float>(c.window.Top + c.ltop.box.Height);
    const bool inBottom = static_cast<float>(head.Top + head.Height) >
                          static_cast<float>(c.window.Height - c.lbottom.box.Height);
    if (inLeft || inRight || inTop || inBottom) {
        Game_Over();
    }

    const size_t last = c.s.size();
    for (size_t i = 1; i < last; ++i) {
        if (head.Left == controls.s[i].box.Left && head.Top == controls.s[i].box.Top) {
            Game_Over();
        }
    }

    // Once the game is over, food is no longer eaten: the score stays the one shown and stored.
    if (OnFood(head, controls.pban.box) && !IsOver()) {
        Put_Banana();
        Elongate_Snake();
    }
}

void Sn::Put_Banana() {
    Controls& c = controls;
    platform_.random.Randomize();
    double r = platform_.random.Rnd();
    c.pban.box.Left = static_cast<float>(std::floor(
        r * (double(c.window.Width) - c.pban.box.Width - c.lright.box.Width - c.lleft.box.Width) +
        c.lleft.box.Width));
    platform_.random.Randomize();
    r = platform_.random.Rnd();
    c.pban.box.Top =
        static_cast<float>(std::floor(r * (double(c.window.Height) - c.pban.box.Height -
                                           c.lbottom.box.Height - c.ltop.box.Height) +
                                      c.ltop.box.Height));
}

void Sn::Elongate_Snake() {
    std::vector<PictureControl>& s = controls.s;
    if (s.size() >= kMaxSegments) {
        return;  // no room for another index; the field never holds this many
    }
    PictureControl segment = NewSegment(s.back().box);
    s.push_back(segment);
    score = GrownBy(score, 10);
    snakeLength = GrownBy(snakeLength, 1);
    controls.Timer2Enabled = true;
    CueEvent(platform::Cue::Kind::Eat);
    LabelControl& flash = controls.label(Label::lblscore);
    flash.Caption =
        "Score : " + std::to_string(score) + "   Snake Length : " + std::to_string(snakeLength);
    flash.Visible = true;
    BringToFront(Label::lblscore);
}
