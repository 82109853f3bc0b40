// The catalogue of pictures: which pictures exist, their sizes and their defining colours. The
// pixels themselves are drawn by pictures.h; the rules only need ids and sizes.
#pragma once

#include <cstdint>

namespace assets {

// The eight colours in the order the colour lookup tries them.
enum class Colour : std::uint8_t { Red, Green, Yellow, Blue, Cyan, Violet, Orange, Purple };
constexpr int kColourCount = 8;

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

Size PictureSize(Picture picture);

// The colour of a block's centre pixel, exactly.
Rgb BlockCentre(Colour colour);
// The average colour of a strip.
Rgb StripAverage(Colour colour);

}  // namespace assets
