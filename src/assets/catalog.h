// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The catalogue of pictures: which pictures exist, their sizes and their defining colours. The
// pixels themselves are drawn by pictures.h; the rules only need ids and sizes.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "settings/keys.h"

namespace assets {

// The eight colours in the order the colour lookup tries them.
enum class Colour : std::uint8_t { Red, Green, Yellow, Blue, Cyan, Violet, Orange, Purple };
constexpr int kColourCount = setting::kColourCount;  // the ones the settings may name
// Their names, in the same order: what the menu's lists offer and the game looks up.
constexpr std::array<std::string_view, kColourCount> kColourNames{
    "Red", "Green", "Yellow", "Blue", "Cyan", "Violet", "Orange", "Purple"};
// The colour of a name, its letters compared without case; nullopt for any other text.
std::optional<Colour> ColourNamed(std::string_view name);

enum class Picture : std::uint8_t {
    None,
    // Blocks (16 by 16), vertical strips (14 by 1024) and horizontal strips (1024 by 14), each
    // in Colour order.
    BlockFirst,
    VStripFirst = BlockFirst + kColourCount,
    HStripFirst = VStripFirst + kColourCount,
    Food = HStripFirst + kColourCount,  // the apple, 23 by 26, transparent surround
    Logo,                               // 104 by 86
    Comment,                            // 417 by 98, contact text
    TextOptions,                        // "OPTIONS", underlined
    TextLevel,                          // "Level :"
    TextLevelHint,                      // "1 is the Easiest, 10 is the most Difficult."
    TextSnakeColour,                    // "Snake's color :"
    TextBorderColour,                   // "Border color :"
    TextHighScore,                      // "HighScore", underlined
    TextNext,                           // "Next" and a right-pointing triangle
    Icon,                               // 72 by 72 window icon
    Cursor,                             // 32 by 32, every pixel transparent
    Count
};

struct Size {
    int width;
    int height;
};

struct Rgb {
    std::uint8_t r, g, b;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

constexpr Picture Block(Colour c) {
    return static_cast<Picture>(static_cast<int>(Picture::BlockFirst) + static_cast<int>(c));
}
constexpr Picture VerticalStrip(Colour c) {
    return static_cast<Picture>(static_cast<int>(Picture::VStripFirst) + static_cast<int>(c));
}
constexpr Picture HorizontalStrip(Colour c) {
    return static_cast<Picture>(static_cast<int>(Picture::HStripFirst) + static_cast<int>(c));
}

// The pictures each colour comes in, numbered as the game asks for them.
struct ColourKind {
    static constexpr std::int16_t Block = 0;
    static constexpr std::int16_t VerticalStrip = 1;
    static constexpr std::int16_t HorizontalStrip = 2;
};
// The colour's picture of that kind; None for a number that is not a kind.
constexpr Picture ColourPicture(Colour c, std::int16_t kind) {
    switch (kind) {
        case ColourKind::Block:
            return Block(c);
        case ColourKind::VerticalStrip:
            return VerticalStrip(c);
        case ColourKind::HorizontalStrip:
            return HorizontalStrip(c);
        default:
            return Picture::None;
    }
}

Size PictureSize(Picture picture);

// The colour of a block's centre pixel, exactly.
Rgb BlockCentre(Colour colour);
// The average colour of a strip.
Rgb StripAverage(Colour colour);

}  // namespace assets
