// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "assets/catalog.h"

#include <array>
#include <cstddef>

#include "settings/text.h"

namespace assets {
namespace {

constexpr std::array<Rgb, kColourCount> kBlockCentres{{
    {251, 5, 17},   // red
    {30, 255, 0},   // green
    {246, 255, 0},  // yellow
    {12, 0, 255},   // blue
    {0, 240, 255},  // cyan
    {162, 0, 255},  // violet
    {255, 180, 0},  // orange
    {255, 0, 210},  // purple
}};

constexpr std::array<Rgb, kColourCount> kStripAverages{{
    {154, 61, 62},
    {59, 155, 61},
    {155, 154, 56},
    {66, 59, 155},
    {59, 155, 154},
    {123, 59, 155},
    {155, 127, 56},
    {154, 59, 155},
}};

}  // namespace

Size PictureSize(Picture picture) {
    const int id = static_cast<int>(picture);
    if (id >= static_cast<int>(Picture::BlockFirst) &&
        id < static_cast<int>(Picture::VStripFirst)) {
        return {16, 16};
    }
    if (id >= static_cast<int>(Picture::VStripFirst) &&
        id < static_cast<int>(Picture::HStripFirst)) {
        return {14, 1024};
    }
    if (id >= static_cast<int>(Picture::HStripFirst) && id < static_cast<int>(Picture::Food)) {
        return {1024, 14};
    }
    switch (picture) {
        case Picture::Food:
            return {23, 26};
        case Picture::Logo:
            return {104, 86};
        case Picture::Comment:
            return {417, 98};
        case Picture::TextOptions:
            return {128, 40};
        case Picture::TextLevel:
            return {125, 22};
        case Picture::TextLevelHint:
            return {328, 22};
        case Picture::TextSnakeColour:
            return {141, 23};
        case Picture::TextBorderColour:
            return {125, 23};
        case Picture::TextHighScore:
            return {128, 40};
        case Picture::TextNext:
            return {125, 33};
        case Picture::Icon:
            return {72, 72};
        case Picture::Cursor:
            return {32, 32};
        default:
            return {0, 0};
    }
}

std::optional<Colour> ColourNamed(std::string_view name) {
    for (std::size_t i = 0; i < kColourNames.size(); ++i) {
        if (SameIgnoringCase(name, kColourNames[i])) {
            return static_cast<Colour>(i);
        }
    }
    return std::nullopt;
}

Rgb BlockCentre(Colour colour) {
    return kBlockCentres[static_cast<std::size_t>(colour)];
}

Rgb StripAverage(Colour colour) {
    return kStripAverages[static_cast<std::size_t>(colour)];
}

}  // namespace assets
