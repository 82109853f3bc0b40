// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "assets/pictures.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QRadialGradient>
#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <memory>

#include "assets/font.h"

namespace assets {
namespace {

QColor ToQColor(Rgb c) {
    return QColor(c.r, c.g, c.b);
}

// A mix of a colour with another, t = 0 giving a and t = 1 giving b.
QColor Mix(const QColor& a, const QColor& b, double t) {
    auto ch = [t](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * t)); };
    return QColor(ch(a.red(), b.red()), ch(a.green(), b.green()), ch(a.blue(), b.blue()));
}

// A transparent image of a picture's size in pixels of the given device pixel ratio.
QImage Transparent(Size size, qreal ratio = 1) {
    QImage image(qRound(size.width * ratio), qRound(size.height * ratio),
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QImage Opaque(Size size, qreal ratio, const QColor& ground) {
    QImage image(qRound(size.width * ratio), qRound(size.height * ratio), QImage::Format_RGB32);
    image.fill(ground);
    return image;
}

// --- blocks ----------------------------------------------------------------------------------

// A bevelled tile: pale outer rim, dark shadow band along the inner top and left edges, the solid
// colour in the middle and a lighter inner bottom-right edge.
QImage DrawBlock(Colour colour) {
    const QColor base = ToQColor(BlockCentre(colour));
    const QColor rim = Mix(base, Qt::white, 0.55);
    const QColor shadow = Mix(base, Qt::black, 0.55);
    const QColor light = Mix(base, Qt::white, 0.35);
    QImage image(16, 16, QImage::Format_RGB32);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            QColor c = base;
            if (x == 0 || y == 0 || x == 15 || y == 15) {
                c = rim;
            } else if (x == 1 || y == 1) {
                c = shadow;
            } else if (x == 14 || y == 14) {
                c = light;
            }
            image.setPixel(x, y, c.rgb());
        }
    }
    return image;
}

// --- strips ----------------------------------------------------------------------------------

std::uint32_t Hash(std::uint32_t x, std::uint32_t y, std::uint32_t seed) {
    std::uint32_t h = x * 0x8da6b343u ^ y * 0xd8163841u ^ seed * 0xcb1ab31fu;
    h ^= h >> 15;
    h *= 0x2c1b3c6du;
    h ^= h >> 12;
    h *= 0x297a2d39u;
    h ^= h >> 15;
    return h;
}

double Unit(std::uint32_t h) {
    return (h >> 8) * (1.0 / 16777216.0);
}

// Smooth value noise with lattice spacing `scale`, in [0, 1).
double ValueNoise(int x, int y, int scale, std::uint32_t seed) {
    const int gx = x / scale;
    const int gy = y / scale;
    const double fx = static_cast<double>(x % scale) / scale;
    const double fy = static_cast<double>(y % scale) / scale;
    auto smooth = [](double t) { return t * t * (3 - 2 * t); };
    auto at = [&](int i, int j) {
        return Unit(Hash(static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(j), seed));
    };
    const double sx = smooth(fx);
    const double sy = smooth(fy);
    const double top = at(gx, gy) + (at(gx + 1, gy) - at(gx, gy)) * sx;
    const double bottom = at(gx, gy + 1) + (at(gx + 1, gy + 1) - at(gx, gy + 1)) * sx;
    return top + (bottom - top) * sy;
}

// A mottled, stone-like texture whose average is the colour's strip average. The noise comes
// from a hash of the position, so it has no repeating period along the strip.
QImage DrawStrip(Colour colour, bool vertical) {
    const Size size = vertical ? Size{14, 1024} : Size{1024, 14};
    const Rgb target = StripAverage(colour);
    const std::array<double, 3> goal{double(target.r), double(target.g), double(target.b)};
    const auto seed = static_cast<std::uint32_t>(colour) * 2 + (vertical ? 1 : 0);
    const int count = size.width * size.height;
    std::vector<std::array<double, 3>> pixels(static_cast<size_t>(count));
    for (int y = 0; y < size.height; ++y) {
        for (int x = 0; x < size.width; ++x) {
            // Noise along the strip and across it, the same for both orientations.
            const int along = vertical ? y : x;
            const int across = vertical ? x : y;
            const double n = 0.45 * ValueNoise(along, across, 5, seed) +
                             0.35 * ValueNoise(along, across, 2, seed + 101) +
                             0.20 * Unit(Hash(along, across, seed + 202));
            const double t = n - 0.5;
            auto& p = pixels[static_cast<size_t>(y * size.width + x)];
            for (int c = 0; c < 3; ++c) {
                p[c] = goal[c] + (goal[c] * 0.9 + 20.0) * t;
            }
        }
    }
    // Rounding to whole levels and clamping shift the average: move every pixel back by whole
    // levels while that helps, then spread the last fraction of a level as single steps over
    // evenly spaced pixels, so that the strip averages its colour to well within half a level.
    for (int round = 0; round < 8; ++round) {
        std::array<double, 3> sum{0, 0, 0};
        for (auto& p : pixels) {
            for (int c = 0; c < 3; ++c) {
                p[c] = std::clamp(std::round(p[c]), 0.0, 255.0);
                sum[c] += p[c];
            }
        }
        bool done = true;
        for (int c = 0; c < 3; ++c) {
            const double offset = std::round(goal[c] - sum[c] / count);
            if (offset != 0) {
                done = false;
                for (auto& p : pixels) {
                    p[c] += offset;
                }
            }
        }
        if (done) {
            break;
        }
    }
    for (int c = 0; c < 3; ++c) {
        double sum = 0;
        for (const auto& p : pixels) {
            sum += p[c];
        }
        const long long steps = std::llround(goal[c] * count - sum);
        const double sign = steps < 0 ? -1 : 1;
        const long long wanted = std::llabs(steps);
        for (long long k = 0, i = 0; k < wanted && i < count; ++k) {
            // The next pixel at or after its even spacing that can take the step.
            i = std::max(i, k * count / wanted);
            while (i < count && (pixels[static_cast<size_t>(i)][c] + sign < 0 ||
                                 pixels[static_cast<size_t>(i)][c] + sign > 255)) {
                ++i;
            }
            if (i < count) {
                pixels[static_cast<size_t>(i++)][c] += sign;
            }
        }
    }
    QImage image(size.width, size.height, QImage::Format_RGB32);
    for (int y = 0; y < size.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width; ++x) {
            const auto& p = pixels[static_cast<size_t>(y * size.width + x)];
            line[x] = qRgb(static_cast<int>(p[0]), static_cast<int>(p[1]), static_cast<int>(p[2]));
        }
    }
    return image;
}

// --- the apple -------------------------------------------------------------------------------

QImage DrawFood(qreal ratio) {
    QImage image = Transparent(PictureSize(Picture::Food), ratio);
    QPainter p(&image);
    p.scale(ratio, ratio);
    p.setRenderHint(QPainter::Antialiasing);
    // Body: two overlapping rounds make the apple's shoulders.
    QPainterPath body;
    body.addEllipse(QRectF(1.0, 6.5, 12.5, 18.5));
    body.addEllipse(QRectF(9.5, 6.5, 12.5, 18.5));
    body.addEllipse(QRectF(3.0, 9.0, 17.0, 16.5));
    body.setFillRule(Qt::WindingFill);
    QRadialGradient shade(QPointF(8.5, 12.0), 14.0);
    shade.setColorAt(0.0, QColor(255, 80, 70));
    shade.setColorAt(0.55, QColor(214, 16, 24));
    shade.setColorAt(1.0, QColor(118, 0, 8));
    p.fillPath(body.simplified(), shade);
    // Stem and leaf.
    p.setPen(QPen(QColor(110, 62, 20), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(11.5, 8.0), QPointF(12.8, 2.2));
    p.save();
    p.translate(16.0, 3.6);
    p.rotate(-25);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(46, 170, 40));
    p.drawEllipse(QRectF(-4.0, -1.8, 8.0, 3.6));
    p.restore();
    // Highlight.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 230));
    p.drawEllipse(QRectF(5.0, 10.0, 3.2, 4.6));
    return image;
}

// --- lettering -------------------------------------------------------------------------------

// One pass of a box blur along a line of `count` values `stride` apart, edges repeated: the
// window's sum moves along instead of being summed afresh at every place.
void BoxBlurLine(const int* in, int* out, int count, int stride, int radius) {
    auto at = [&](int i) {
        return in[static_cast<ptrdiff_t>(std::clamp(i, 0, count - 1)) * stride];
    };
    const int width = 2 * radius + 1;
    int sum = 0;
    for (int d = -radius; d <= radius; ++d) {
        sum += at(d);
    }
    for (int i = 0; i < count; ++i) {
        out[static_cast<ptrdiff_t>(i) * stride] = sum / width;
        sum += at(i + radius + 1) - at(i - radius);
    }
}

// Blurs the alpha of an image with two passes of a box blur, as an orange glow.
QImage BlurredAlpha(const QImage& source, int radius) {
    const QImage argb = source.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int w = argb.width();
    const int h = argb.height();
    std::vector<int> alpha(static_cast<size_t>(w * h));
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            alpha[static_cast<size_t>(y * w + x)] = qAlpha(line[x]);
        }
    }
    std::vector<int> tmp(alpha.size());
    for (int pass = 0; pass < 2; ++pass) {
        for (int y = 0; y < h; ++y) {
            BoxBlurLine(&alpha[static_cast<size_t>(y * w)], &tmp[static_cast<size_t>(y * w)], w, 1,
                        radius);
        }
        for (int x = 0; x < w; ++x) {
            BoxBlurLine(&tmp[static_cast<size_t>(x)], &alpha[static_cast<size_t>(x)], h, w, radius);
        }
    }
    QImage glow = Transparent({w, h});
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(glow.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const int a = std::min(255, alpha[static_cast<size_t>(y * w + x)] * 3 / 4);
            line[x] = qPremultiply(qRgba(kOrange.red(), kOrange.green(), kOrange.blue(), a));
        }
    }
    return glow;
}

struct Lettering {
    QString text;
    bool underline = false;
    bool triangle = false;
};

// Orange, softly glowing letters on a transparent ground, as large as fit the picture.
QImage DrawLettering(Size size, const Lettering& lettering, qreal ratio) {
    const double margin = 2.0;
    const double underlineSpace = lettering.underline ? 5.0 : 0.0;
    const double triangleWidth = lettering.triangle ? size.height * 0.55 : 0.0;
    QFont font = GameFont(10);
    double pixelSize = size.height - 2 * margin - underlineSpace;
    QRectF bounds;
    for (;; pixelSize -= 0.5) {
        font.setPixelSize(std::max(1, static_cast<int>(pixelSize)));
        bounds = QFontMetricsF(font).tightBoundingRect(lettering.text);
        const double width = bounds.width() + (lettering.triangle ? triangleWidth + 4 : 0);
        if ((width <= size.width - 2 * margin &&
             bounds.height() <= size.height - 2 * margin - underlineSpace) ||
            pixelSize <= 4) {
            break;
        }
    }
    QImage letters = Transparent(size, ratio);
    {
        QPainter p(&letters);
        p.scale(ratio, ratio);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.setFont(font);
        p.setPen(kOrange);
        const double textWidth = bounds.width() + (lettering.triangle ? triangleWidth + 4 : 0);
        const double left = (size.width - textWidth) / 2 - bounds.left();
        const double top = (size.height - underlineSpace - bounds.height()) / 2 - bounds.top();
        p.drawText(QPointF(left, top), lettering.text);
        if (lettering.underline) {
            const double y = top + bounds.bottom() + 3.0;
            p.fillRect(QRectF(left + bounds.left(), y, bounds.width(), 1.5), kOrange);
        }
        if (lettering.triangle) {
            const double x = left + bounds.right() + 4;
            const double cy = top + bounds.center().y();
            const double half = std::min(triangleWidth, bounds.height()) / 2;
            QPolygonF arrow{QPointF(x, cy - half), QPointF(x + triangleWidth, cy),
                            QPointF(x, cy + half)};
            p.setPen(Qt::NoPen);
            p.setBrush(kOrange);
            p.drawPolygon(arrow);
        }
    }
    QImage image = BlurredAlpha(letters, qMax(1, qRound(2 * ratio)));
    QPainter p(&image);
    p.drawImage(0, 0, letters);
    return image;
}

// --- logo, contact picture, icon -------------------------------------------------------------

QImage DrawLogo(qreal ratio) {
    QImage image = Opaque(PictureSize(Picture::Logo), ratio, QColor(14, 12, 10));
    QPainter p(&image);
    p.scale(ratio, ratio);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(228, 222, 210);
    QFont script(QStringLiteral("DejaVu Serif"));
    script.setItalic(true);
    script.setPixelSize(25);
    p.setFont(script);
    p.setPen(ink);
    p.save();
    p.translate(52, 43);
    p.rotate(-9);
    p.drawText(QRectF(-50, -34, 100, 30), Qt::AlignCenter, QStringLiteral("Kelvo"));
    script.setPixelSize(21);
    p.setFont(script);
    p.drawText(QRectF(-44, -6, 96, 28), Qt::AlignCenter, QStringLiteral("Snake"));
    p.restore();
    // The flourish under the signature.
    QPainterPath flourish;
    flourish.moveTo(10, 74);
    flourish.cubicTo(30, 62, 55, 84, 78, 68);
    flourish.cubicTo(88, 61, 96, 64, 94, 70);
    p.setPen(QPen(ink, 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(flourish);
    return image;
}

QImage DrawComment(qreal ratio) {
    const Size size = PictureSize(Picture::Comment);
    QImage image = Opaque(size, ratio, Qt::black);
    QPainter p(&image);
    p.scale(ratio, ratio);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setPen(kOrange);
    QFont title = GameFont(10);
    title.setPixelSize(30);
    p.setFont(title);
    p.drawText(QRectF(0, 4, size.width, 40), Qt::AlignCenter, QStringLiteral("Kelvo Snake"));
    QFont line = GameFont(10);
    line.setPixelSize(17);
    p.setFont(line);
    p.drawText(QRectF(0, 46, size.width, 24), Qt::AlignCenter,
               QStringLiteral("Made with C++ and Qt"));
    p.setPen(Mix(kOrange, Qt::black, 0.3));
    line.setPixelSize(14);
    p.setFont(line);
    p.drawText(QRectF(0, 70, size.width, 22), Qt::AlignCenter,
               QStringLiteral("Free software for the Linux desktop"));
    return image;
}

// The sixteen colours of the classic palette; the icon uses no others.
QVector<QRgb> SixteenColours() {
    return {qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
            qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
            qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
            qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255)};
}

QImage DrawIcon() {
    const Size size = PictureSize(Picture::Icon);
    QImage canvas(size.width, size.height, QImage::Format_RGB32);
    canvas.fill(Qt::black);
    QPainter p(&canvas);
    // A red snake of square blocks bending around the words.
    const QColor red(255, 0, 0);
    auto block = [&](int col, int row) { p.fillRect(col * 8 + 2, row * 8 + 2, 7, 7, red); };
    for (int col = 0; col < 8; ++col) {
        block(col, 0);  // along the top
    }
    for (int row = 1; row < 8; ++row) {
        block(0, row);  // down the left side
    }
    for (int col = 1; col < 6; ++col) {
        block(col, 8);  // along the bottom, heading for the morsel
    }
    p.fillRect(8 * 7 + 3, 8 * 8 + 3, 5, 5, QColor(255, 255, 0));  // the morsel
    QFont caps(QStringLiteral("DejaVu Sans"));
    caps.setBold(true);
    caps.setItalic(true);
    caps.setPixelSize(15);
    p.setFont(caps);
    p.setPen(QColor(0, 0, 255));
    p.drawText(QRect(10, 14, 60, 22), Qt::AlignCenter, QStringLiteral("KELVO"));
    p.drawText(QRect(10, 36, 60, 22), Qt::AlignCenter, QStringLiteral("SNAKE"));
    p.end();
    return canvas.convertToFormat(QImage::Format_Indexed8, SixteenColours(), Qt::ThresholdDither)
        .convertToFormat(QImage::Format_RGB32);
}

// Pixel art is drawn once at its own size and enlarged by whole pixels; everything else is
// drawn afresh at the screen's device pixel ratio.
bool IsPixelArt(Picture picture) {
    return picture < Picture::Food || picture == Picture::Icon || picture == Picture::Cursor;
}

QImage Draw(Picture picture, qreal ratio) {
    const int id = static_cast<int>(picture);
    const int first = static_cast<int>(Picture::BlockFirst);
    if (id >= first && id < static_cast<int>(Picture::Food)) {
        const int group = (id - first) / kColourCount;
        const auto colour = static_cast<Colour>((id - first) % kColourCount);
        return group == 0 ? DrawBlock(colour) : DrawStrip(colour, group == 1);
    }
    const Size size = PictureSize(picture);
    switch (picture) {
        case Picture::Food:
            return DrawFood(ratio);
        case Picture::Logo:
            return DrawLogo(ratio);
        case Picture::Comment:
            return DrawComment(ratio);
        case Picture::TextOptions:
            return DrawLettering(size, {"OPTIONS", true, false}, ratio);
        case Picture::TextLevel:
            return DrawLettering(size, {"Level :", false, false}, ratio);
        case Picture::TextLevelHint:
            return DrawLettering(
                size, {"1 is the Easiest, 10 is the most Difficult.", false, false}, ratio);
        case Picture::TextSnakeColour:
            return DrawLettering(size, {"Snake's color :", false, false}, ratio);
        case Picture::TextBorderColour:
            return DrawLettering(size, {"Border color :", false, false}, ratio);
        case Picture::TextHighScore:
            return DrawLettering(size, {"HighScore", true, false}, ratio);
        case Picture::TextNext:
            return DrawLettering(size, {"Next", false, true}, ratio);
        case Picture::Icon:
            return DrawIcon();
        case Picture::Cursor:
            return Transparent(size);
        default:
            return QImage();
    }
}

}  // namespace

const QImage& Image(Picture picture, qreal ratio) {
    if (IsPixelArt(picture) || ratio <= 0) {
        ratio = 1;
    }
    static std::map<std::pair<int, int>, QImage> cache;
    const std::pair<int, int> key{static_cast<int>(picture), qRound(ratio * 100)};
    auto found = cache.find(key);
    if (found == cache.end()) {
        QImage image = Draw(picture, ratio);
        image.setDevicePixelRatio(ratio);
        found = cache.emplace(key, std::move(image)).first;
    }
    return found->second;
}

QIcon WindowIcon() {
    return QIcon(QPixmap::fromImage(Image(Picture::Icon)));
}

QCursor BlankCursor() {
    return QCursor(QPixmap::fromImage(Image(Picture::Cursor)), 0, 0);
}

}  // namespace assets
