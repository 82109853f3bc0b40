// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Setting up a game: window, walls, prompt, the seven-block snake, the first food, the clock.
#include <array>
#include <cmath>

#include "game/sn.h"
#include "settings/keys.h"

namespace {

constexpr std::array<std::int32_t, setting::kLevelCount> kTickIntervals{200, 100, 70, 50, 35,
                                                                        25,  16,  15, 12, 10};

}  // namespace

std::int16_t StepTwips(float twipsPerPixel) {
    return static_cast<std::int16_t>(std::nearbyint(static_cast<double>(twipsPerPixel) * 24));
}

void Sn::CreateControls(platform::WindowHost& host) {
    host_ = &host;
    controls = Controls{};
    // Element 0 of the segment array exists from the start, showing a green block.
    controls.s.assign(
        1,
        PictureControl{{3480, 1080, 240, 240}, true, assets::Block(assets::Colour::Green), true});
}

void Sn::AssignPicture(PictureControl& control, assets::Picture picture) {
    control.Picture = picture;
    if (control.AutoSize && picture != assets::Picture::None) {
        const assets::Size size = assets::PictureSize(picture);
        control.box.Width = static_cast<float>(size.width) * platform_.screen.TwipsPerPixelX();
        control.box.Height = static_cast<float>(size.height) * platform_.screen.TwipsPerPixelY();
    }
}

void Sn::Form_Load() {
    Controls& c = controls;
    platform_.sound.PlayLooping(platform_.process.MusicFile());

    c.window.Left = 0;
    c.window.Width = platform_.screen.TwipsPerPixelX() * static_cast<float>(shared_.ResWidth);
    c.window.Height = platform_.screen.TwipsPerPixelY() * static_cast<float>(shared_.ResHeight);
    const float W = c.window.Width;
    const float H = c.window.Height;

    c.ltop.box.Left = 0;
    c.ltop.box.Top = 0;
    c.ltop.box.Width = W;
    c.lleft.box.Left = 0;
    c.lleft.box.Top = 0;
    c.lleft.box.Height = H;
    c.lbottom.box.Left = 0;
    c.lbottom.box.Width = W;
    c.lbottom.box.Top = H - c.lbottom.box.Height;
    c.lright.box.Top = 0;
    c.lright.box.Height = H;
    c.lright.box.Left = W - c.lright.box.Width;

    Get_ColorPic(shared_.BorderColor, assets::ColourKind::HorizontalStrip);
    AssignPicture(c.ltop, c.str2colorpic.Picture);
    Get_ColorPic(shared_.BorderColor, assets::ColourKind::VerticalStrip);
    AssignPicture(c.lleft, c.str2colorpic.Picture);
    Get_ColorPic(shared_.BorderColor, assets::ColourKind::HorizontalStrip);
    AssignPicture(c.lbottom, c.str2colorpic.Picture);
    Get_ColorPic(shared_.BorderColor, assets::ColourKind::VerticalStrip);
    AssignPicture(c.lright, c.str2colorpic.Picture);

    Box& prompt = c.label(Label::lblspace).box;
    prompt.Left = static_cast<float>(double(W) / 2 - double(prompt.Width) / 2);
    prompt.Top = static_cast<float>(double(H) / 2 - double(prompt.Height) / 2);

    Build_Snake();
    Put_Banana();
    direction = "X+";
    snakeLength = 7;
    score = 0;
    if (shared_.Level >= 1 && shared_.Level <= setting::kLevelCount) {
        tickInterval = kTickIntervals[static_cast<size_t>(shared_.Level - 1)];
    }
    // A new game starts with fresh flags.
    keyMoved = false;
    escPressed = false;
    restartPressed = false;
    clockOn = true;
    StartTimer(tickInterval);
    Refresh();
}

void Sn::Get_ColorPic(const std::string& name, std::int16_t kind) {
    // An unknown name or kind leaves the holder's picture as it was.
    const auto colour = assets::ColourNamed(name);
    const assets::Picture picture =
        colour ? assets::ColourPicture(*colour, kind) : assets::Picture::None;
    if (picture != assets::Picture::None) {
        controls.str2colorpic.Picture = picture;
    }
}

void Sn::Build_Snake() {
    Controls& c = controls;
    const std::int16_t step = StepTwips(platform_.screen.TwipsPerPixelX());
    const double W = c.window.Width;
    auto at = [&c](double left) {
        return Box{static_cast<float>(left), c.s1.box.Top, c.s1.box.Width, c.s1.box.Height};
    };
    c.s[0] = NewSegment(at(W / 2));
    for (std::int32_t i = 1; i <= 6; ++i) {
        c.s.push_back(NewSegment(at(W / 2 - static_cast<std::int32_t>(i * step))));
    }
}

PictureControl Sn::NewSegment(const Box& place) {
    PictureControl segment = controls.s[0];
    segment.box = place;
    Get_ColorPic(shared_.SnakeColor, assets::ColourKind::Block);
    AssignPicture(segment, controls.str2colorpic.Picture);
    segment.Visible = true;
    return segment;
}
