// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// What the game window shows, as a list of drawn controls in painting order, and the two things
// the window does with it: tell which pixels two scenes differ in, and paint a part of one.
#pragma once

#include <QPainter>
#include <QRect>
#include <QRegion>
#include <string>
#include <vector>

#include "game/sn.h"

// One control as drawn: a picture, or a label's caption on its black box.
struct SceneItem {
    QRect rect;
    bool visible = false;
    int picture = 0;  // an assets::Picture
    int label = -1;   // a Label, for a label's caption
    std::string caption;
    bool backdrop =
        false;  // the box is filled black first: a label's, and the food's round the apple

    bool Draws() const;
    // Whether the two leave the same pixels on the screen.
    bool LooksLike(const SceneItem& other) const;
};

struct Scene {
    // Back to front: the labels in their drawing order, the walls, the food, then the snake.
    std::vector<SceneItem> items;
    size_t segmentsFrom = 0;  // the snake's segments are items[segmentsFrom..]
};

// The controls of a game in whole pixels, into `scene` (its storage is reused).
void SceneOf(const Sn::Controls& controls, float twipsPerPixelX, float twipsPerPixelY,
             Scene& scene);

// The pixels that may differ between the two scenes. Items are paired in order, so a pair
// keeps its place in the stack; the snake is also paired one segment along, as a step moves
// every segment into the place of the one before it, and then only the new head and the old
// tail count as changed.
QRegion ChangedBetween(const Scene& before, const Scene& after);

// Paints the scene within `area`, which the painter is expected to be clipped to. With an
// enlargement above 1 the painter is scaled by that whole factor: pixel art is enlarged by
// whole pixels and everything else is drawn afresh at the finer pitch.
void PaintScene(QPainter& painter, const Scene& scene, const QRect& area, int enlargement = 1);
