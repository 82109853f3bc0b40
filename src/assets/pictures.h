// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The pixels of every picture in the catalogue, drawn in code.
#pragma once

#include <QColor>
#include <QCursor>
#include <QIcon>
#include <QImage>

#include "assets/catalog.h"

namespace assets {

// The orange of the game's lettering, frames and glow, and the dimmed orange of what cannot be
// chosen.
inline const QColor kOrange{255, 128, 0};
inline const QColor kDimOrange{110, 55, 0};

// The picture at its catalogue size, drawn once and then shared. Formats: ARGB32 premultiplied
// where the picture has a transparent ground, RGB32 otherwise. With a device pixel ratio above
// 1, lettering, the apple, the logo and the contact picture are drawn afresh at that ratio (the
// image's devicePixelRatio says so); blocks, strips, the icon and the cursor are pixel art and
// stay at their own size, to be enlarged by whole pixels.
const QImage& Image(Picture picture, qreal ratio = 1);

// The window icon and the invisible mouse pointer of the game window.
QIcon WindowIcon();
QCursor BlankCursor();

}  // namespace assets
