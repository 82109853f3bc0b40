// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "game/game_scene.h"

#include <QFontMetricsF>
#include <algorithm>

#include "assets/font.h"
#include "assets/pictures.h"
#include "views/qt_view.h"

namespace {

struct LabelLook {
    qreal points;
    Qt::Alignment align;
};

LabelLook LookOf(Label id) {
    switch (id) {
        case Label::lblf2:
            return {17.25, Qt::AlignHCenter | Qt::AlignTop};
        case Label::lblscore:
            return {21, Qt::AlignLeft | Qt::AlignTop};
        default:
            return {30, Qt::AlignHCenter | Qt::AlignTop};
    }
}

// Paints a label's caption in its box. A label puts the top of its text's line at the top of
// its box, but the bundled font's line is deeper than Impact's (its descent alone is
// a third of its size), which cut the descenders of "Spacebar" and "Length" off at the box's
// bottom. So the baseline rises as far as the font's descenders need to end inside the box;
// the line's empty top, above the capitals, is what gives way.
void PaintCaption(QPainter& painter, const QRect& box, Label id, const std::string& caption) {
    const LabelLook look = LookOf(id);
    const QFont font = assets::GameFont(look.points);
    const QFontMetricsF metrics(font, painter.device());
    const qreal descenders = metrics.tightBoundingRect(QStringLiteral("gjpqy")).bottom();
    const qreal raise = std::max<qreal>(0, metrics.ascent() + descenders - box.height());
    painter.setFont(font);
    painter.setPen(assets::kOrange);
    painter.drawText(QRectF(box.left(), box.top() - raise, box.width(), box.height() + raise),
                     static_cast<int>(look.align), QString::fromStdString(caption));
}

// Pairs before[i] with after[i + offset] for the items from `from` on.
struct Pairing {
    const std::vector<SceneItem>& before;
    const std::vector<SceneItem>& after;
    size_t from;
    size_t offset;

    bool Paired(size_t i) const {
        return i + offset < after.size() && before[i].LooksLike(after[i + offset]);
    }
    size_t Count() const {
        size_t count = 0;
        for (size_t i = from; i < before.size(); ++i) {
            count += Paired(i);
        }
        return count;
    }
    // Adds the places of the items that have no partner.
    void AddUnpaired(QRegion& region) const {
        for (size_t i = from; i < before.size(); ++i) {
            if (before[i].Draws() && !Paired(i)) {
                region += before[i].rect;
            }
        }
        for (size_t j = from; j < after.size(); ++j) {
            const bool paired =
                j >= from + offset && j - offset < before.size() && Paired(j - offset);
            if (after[j].Draws() && !paired) {
                region += after[j].rect;
            }
        }
    }
};

}  // namespace

bool SceneItem::Draws() const {
    return visible && (label >= 0 || picture != static_cast<int>(assets::Picture::None));
}

bool SceneItem::LooksLike(const SceneItem& other) const {
    if (!Draws() || !other.Draws()) {
        return Draws() == other.Draws();
    }
    return rect == other.rect && picture == other.picture && label == other.label &&
           caption == other.caption && backdrop == other.backdrop;
}

void SceneOf(const Sn::Controls& c, float twipsPerPixelX, float twipsPerPixelY, Scene& scene) {
    scene.items.clear();
    auto pixels = [&](const Box& box) {
        return views::PixelRect(box.Left, box.Top, box.Width, box.Height, twipsPerPixelX,
                                twipsPerPixelY);
    };
    auto picture = [&](const PictureControl& p, bool backdrop) {
        scene.items.push_back(
            {pixels(p.box), p.Visible, static_cast<int>(p.Picture), -1, {}, backdrop});
    };
    for (const Label id : c.labelOrder) {
        const LabelControl& label = c.label(id);
        scene.items.push_back(
            {pixels(label.box), label.Visible, 0, static_cast<int>(id), label.Caption, true});
    }
    for (const PictureControl* wall : {&c.ltop, &c.lleft, &c.lbottom, &c.lright}) {
        picture(*wall, false);
    }
    picture(c.pban, true);
    scene.segmentsFrom = scene.items.size();
    for (const PictureControl& segment : c.s) {
        picture(segment, false);
    }
}

QRegion ChangedBetween(const Scene& before, const Scene& after) {
    QRegion changed;
    // Everything but the snake keeps its place in the list.
    const size_t fixed = std::min(before.segmentsFrom, after.segmentsFrom);
    for (size_t i = 0; i < fixed; ++i) {
        if (!before.items[i].LooksLike(after.items[i])) {
            if (before.items[i].Draws()) {
                changed += before.items[i].rect;
            }
            if (after.items[i].Draws()) {
                changed += after.items[i].rect;
            }
        }
    }
    if (before.segmentsFrom != after.segmentsFrom) {
        // A scene of another shape: everything of both counts.
        for (const Scene* scene : {&before, &after}) {
            for (size_t i = fixed; i < scene->items.size(); ++i) {
                if (scene->items[i].Draws()) {
                    changed += scene->items[i].rect;
                }
            }
        }
        return changed;
    }
    const Pairing inPlace{before.items, after.items, fixed, 0};
    const Pairing stepped{before.items, after.items, fixed, 1};
    (stepped.Count() > inPlace.Count() ? stepped : inPlace).AddUnpaired(changed);
    return changed;
}

void PaintScene(QPainter& painter, const Scene& scene, const QRect& area, int enlargement) {
    painter.fillRect(area, Qt::black);
    const qreal ratio = painter.device()->devicePixelRatioF() * enlargement;
    for (const SceneItem& item : scene.items) {
        if (!item.Draws() || !item.rect.intersects(area)) {
            continue;
        }
        if (item.backdrop) {
            painter.fillRect(item.rect, Qt::black);
        }
        if (item.label >= 0) {
            PaintCaption(painter, item.rect, static_cast<Label>(item.label), item.caption);
            continue;
        }
        const QImage& image = assets::Image(static_cast<assets::Picture>(item.picture), ratio);
        if (image.devicePixelRatio() == 1.0) {
            // Pixel art, cut off at the box and enlarged by whole pixels on a dense screen.
            painter.drawImage(item.rect.topLeft(), image, QRect(QPoint(0, 0), item.rect.size()));
        } else {
            painter.save();
            painter.setClipRect(item.rect, Qt::IntersectClip);
            painter.drawImage(item.rect.topLeft(), image);
            painter.restore();
        }
    }
}
