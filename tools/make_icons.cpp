// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Writes the desktop's icons of the game: a snake of square blocks bending towards an apple, on
// a transparent ground, as hicolor theme icons FOLDER/<n>x<n>/apps/io.github.kelvo.Snake.png and
// the scalable FOLDER/scalable/apps/io.github.kelvo.Snake.svg. Every size is laid out afresh on
// whole pixels, so the blocks keep hard edges and the smallest sizes stay readable; the SVG is
// the 256 pixel layout. Usage: make_icons FOLDER
#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

namespace {

const char* const kName = "io.github.kelvo.Snake";
const QColor kRim(11, 93, 30);
const QColor kSnake(60, 176, 67);
const QColor kEye(0, 0, 0);
const QColor kApple(224, 32, 27);
const QColor kStem(60, 176, 67);

struct Box {
    int x, y, w, h;
    QColor colour;
};

// The icon at SIZE pixels: a 4 by 4 grid of cells, each holding a block with a gap after it.
// The top right cell stays empty.
std::vector<Box> Layout(int size) {
    const int pitch = size / 4;
    const int gap = std::max(1, pitch / 4);
    const int block = pitch - gap;
    // An odd pixel left over goes to the left, away from the empty top right corner, so that
    // every corner of even the smallest icon stays transparent.
    const int spare = size - (4 * pitch - gap);
    const int left = (spare + 1) / 2;
    const int top = spare / 2;
    std::vector<Box> boxes;
    auto cell = [&](int col, int row) { return std::pair{left + col * pitch, top + row * pitch}; };
    // From the tail, bottom left, to the head, top left, looking right at the apple.
    const std::pair<int, int> snake[] = {{0, 3}, {1, 3}, {2, 3}, {3, 3}, {3, 2},
                                         {3, 1}, {2, 1}, {1, 1}, {0, 1}, {0, 0}};
    // Large blocks get a darker rim, so that neighbours and the ground stay apart.
    const int rim = block >= 6 ? std::max(1, block / 8) : 0;
    for (const auto& [col, row] : snake) {
        const auto [x, y] = cell(col, row);
        if (rim > 0) {
            boxes.push_back({x, y, block, block, kRim});
        }
        boxes.push_back({x + rim, y + rim, block - 2 * rim, block - 2 * rim, kSnake});
    }
    if (block >= 4) {
        const auto [x, y] = cell(0, 0);
        const int eye = std::max(1, block / 4);
        boxes.push_back({x + block - 2 * eye, y + eye, eye, eye, kEye});
    }
    // The apple: a red body with its corners cut where there is room, under a green stem.
    const auto [x, y] = cell(2, 0);
    const int stem = std::max(1, block / 4);
    const int cut = block / 6;
    boxes.push_back({x + (block - stem) / 2, y, stem, stem, kStem});
    boxes.push_back({x + cut, y + stem, block - 2 * cut, block - stem, kApple});
    boxes.push_back({x, y + stem + cut, block, block - stem - 2 * cut, kApple});
    return boxes;
}

QImage Draw(int size) {
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    for (const Box& box : Layout(size)) {
        painter.fillRect(box.x, box.y, box.w, box.h, box.colour);
    }
    return image;
}

QByteArray Svg(int size) {
    QByteArray svg = QStringLiteral(
                         "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" "
                         "height=\"%1\" viewBox=\"0 0 %1 %1\" "
                         "shape-rendering=\"crispEdges\">\n")
                         .arg(size)
                         .toUtf8();
    for (const Box& box : Layout(size)) {
        svg +=
            QStringLiteral("  <rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" fill=\"%5\"/>\n")
                .arg(box.x)
                .arg(box.y)
                .arg(box.w)
                .arg(box.h)
                .arg(box.colour.name())
                .toUtf8();
    }
    return svg + "</svg>\n";
}

bool Write(const QString& folder, const QString& file, const QByteArray& bytes) {
    QFile out(folder + QLatin1Char('/') + file);
    return QDir().mkpath(folder) && out.open(QIODevice::WriteOnly) &&
           out.write(bytes) == bytes.size() && out.flush();
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLatin1(kName);
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(root).arg(size);
        if (!QDir().mkpath(folder) || !Draw(size).save(folder + QLatin1Char('/') + name + ".png")) {
            std::fprintf(stderr, "%s: cannot write the %d pixel icon in %s\n", argv[0], size,
                         qPrintable(folder));
            return 1;
        }
    }
    if (!Write(root + QStringLiteral("/scalable/apps"), name + ".svg", Svg(256))) {
        std::fprintf(stderr, "%s: cannot write the scalable icon in %s\n", argv[0],
                     qPrintable(root));
        return 1;
    }
    return 0;
}
