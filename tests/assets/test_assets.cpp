// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The picture catalogue: sizes, the colours the tables fix, transparency, and the font.
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPainter>
#include <QTest>
#include <cmath>
#include <set>

#include "assets/catalog.h"
#include "assets/font.h"
#include "assets/pictures.h"

using assets::Colour;
using assets::Picture;

namespace {

std::array<double, 3> Average(const QImage& image) {
    std::array<double, 3> sum{0, 0, 0};
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            sum[0] += qRed(p);
            sum[1] += qGreen(p);
            sum[2] += qBlue(p);
        }
    }
    const double n = image.width() * image.height();
    return {sum[0] / n, sum[1] / n, sum[2] / n};
}

// The pixels of a text rendered in a font, as an image to compare shapes with.
QImage Render(const QFont& font, const QString& text) {
    QImage image(200, 60, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter p(&image);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, 200, 60), Qt::AlignCenter, text);
    return image;
}

}  // namespace

class TestAssets : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { assets::InstallGameFont(); }

    void everyPictureHasItsCatalogueSize() {
        for (int id = 1; id < static_cast<int>(Picture::Count); ++id) {
            const auto picture = static_cast<Picture>(id);
            const assets::Size size = assets::PictureSize(picture);
            QVERIFY2(size.width > 0, qPrintable(QString::number(id)));
            QCOMPARE(assets::Image(picture).size(), QSize(size.width, size.height));
        }
        QCOMPARE(assets::Image(assets::Block(Colour::Red)).size(), QSize(16, 16));
        QCOMPARE(assets::Image(assets::VerticalStrip(Colour::Blue)).size(), QSize(14, 1024));
        QCOMPARE(assets::Image(assets::HorizontalStrip(Colour::Cyan)).size(), QSize(1024, 14));
        QCOMPARE(assets::Image(Picture::Food).size(), QSize(23, 26));
        QCOMPARE(assets::Image(Picture::TextLevelHint).size(), QSize(328, 22));
        QCOMPARE(assets::Image(Picture::Icon).size(), QSize(72, 72));
    }

    void blocksHaveTheTableColourAtTheCentreAndABevel() {
        for (int c = 0; c < assets::kColourCount; ++c) {
            const auto colour = static_cast<Colour>(c);
            const QImage& block = assets::Image(assets::Block(colour));
            const assets::Rgb centre = assets::BlockCentre(colour);
            QCOMPARE(QColor(block.pixel(8, 8)), QColor(centre.r, centre.g, centre.b));
            const int rim = qGray(block.pixel(0, 8));
            const int shadow = qGray(block.pixel(1, 8));
            const int middle = qGray(block.pixel(8, 8));
            QVERIFY(rim > shadow);
            QVERIFY(middle > shadow);
            QVERIFY(qGray(block.pixel(14, 8)) >= middle);
        }
        QCOMPARE(assets::BlockCentre(Colour::Orange), (assets::Rgb{255, 180, 0}));
    }

    void stripsAverageTheirColourAndAreMottledWithoutPeriod() {
        for (int c = 0; c < assets::kColourCount; ++c) {
            const auto colour = static_cast<Colour>(c);
            const assets::Rgb want = assets::StripAverage(colour);
            for (const Picture picture :
                 {assets::VerticalStrip(colour), assets::HorizontalStrip(colour)}) {
                const QImage& strip = assets::Image(picture);
                const auto avg = Average(strip);
                // Rounds to the catalogue's colour, channel by channel.
                QVERIFY2(std::abs(avg[0] - want.r) <= 0.5, qPrintable(QString::number(avg[0])));
                QVERIFY2(std::abs(avg[1] - want.g) <= 0.5, qPrintable(QString::number(avg[1])));
                QVERIFY2(std::abs(avg[2] - want.b) <= 0.5, qPrintable(QString::number(avg[2])));
                // Mottled: many distinct colours. No period: no shift along the strip up to 512
                // pixels maps the first 512 pixels onto themselves.
                const bool vertical = strip.width() == 14;
                std::set<QRgb> distinct;
                std::vector<QRgb> line;
                for (int i = 0; i < 1024; ++i) {
                    const QRgb p = vertical ? strip.pixel(6, i) : strip.pixel(i, 6);
                    distinct.insert(p);
                    line.push_back(p);
                }
                QVERIFY(distinct.size() > 100);
                for (int period = 1; period <= 512; ++period) {
                    bool repeats = true;
                    for (int i = 0; i + period < 1024 && repeats; ++i) {
                        repeats =
                            line[static_cast<size_t>(i)] == line[static_cast<size_t>(i + period)];
                    }
                    QVERIFY(!repeats);
                }
            }
        }
    }

    void foodIsARedAppleWithATransparentSurround() {
        const QImage& food = assets::Image(Picture::Food);
        QCOMPARE(qAlpha(food.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(food.pixel(22, 25)), 0);
        const QColor middle = QColor::fromRgba(food.pixel(14, 18));
        QCOMPARE(middle.alpha(), 255);
        QVERIFY(middle.red() > 150 && middle.green() < 80);
    }

    void letteringIsOrangeOnTransparent() {
        for (const Picture picture :
             {Picture::TextOptions, Picture::TextLevel, Picture::TextLevelHint, Picture::TextNext,
              Picture::TextSnakeColour, Picture::TextBorderColour, Picture::TextHighScore}) {
            const QImage& image = assets::Image(picture);
            QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
            int solid = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    const QColor p = QColor::fromRgba(qUnpremultiply(image.pixel(x, y)));
                    if (p.alpha() == 255) {
                        ++solid;
                        QVERIFY(p.red() >= 250 && std::abs(p.green() - 128) <= 4 && p.blue() <= 4);
                    }
                }
            }
            QVERIFY(solid > 30);  // letters, not an empty picture
        }
    }

    void iconUsesAtMostSixteenColoursAndCursorIsInvisible() {
        const QImage& icon = assets::Image(Picture::Icon);
        std::set<QRgb> colours;
        for (int y = 0; y < icon.height(); ++y) {
            for (int x = 0; x < icon.width(); ++x) {
                colours.insert(icon.pixel(x, y));
            }
        }
        QVERIFY(colours.size() <= 16);
        QVERIFY(colours.count(qRgb(255, 0, 0)) == 1);
        QVERIFY(colours.count(qRgb(0, 0, 255)) == 1);
        const QImage& cursor = assets::Image(Picture::Cursor);
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                QCOMPARE(qAlpha(cursor.pixel(x, y)), 0);
            }
        }
        QCOMPARE(assets::BlankCursor().hotSpot(), QPoint(0, 0));
    }

    void atRatioTwoDrawnPicturesAreDrawnAfreshAndPixelArtStays() {
        for (const Picture picture :
             {Picture::TextOptions, Picture::TextNext, Picture::Food, Picture::Logo}) {
            const QImage& one = assets::Image(picture, 1);
            const QImage& two = assets::Image(picture, 2);
            QCOMPARE(two.size(), one.size() * 2);
            QCOMPARE(two.devicePixelRatio(), 2.0);
            // An enlargement would repeat each pixel in a 2 by 2 group; fresh drawing does not.
            int mixed = 0;
            for (int y = 0; y + 1 < two.height(); y += 2) {
                for (int x = 0; x + 1 < two.width(); x += 2) {
                    const QRgb p = two.pixel(x, y);
                    mixed += p != two.pixel(x + 1, y) || p != two.pixel(x, y + 1) ||
                             p != two.pixel(x + 1, y + 1);
                }
            }
            QVERIFY2(mixed > 40, qPrintable(QString::number(static_cast<int>(picture))));
        }
        const QImage& block = assets::Image(assets::Block(Colour::Red), 2);
        QCOMPARE(block.size(), QSize(16, 16));
        QCOMPARE(block.devicePixelRatio(), 1.0);
    }

    void theGameFontDrawsLettersNotSymbols() {
        const QString family = assets::GameFontFamily();
        QVERIFY(family == "Impact" || family == "Anton");
        QCOMPARE(QFontInfo(assets::GameFont(30)).family(), family);
        // A plain request for Impact now lands on the same letters.
        QFont impact(QStringLiteral("Impact"));
        impact.setPointSize(30);
        QCOMPARE(Render(impact, "Score"), Render(assets::GameFont(30), "Score"));
        // And they differ from a dingbats font's symbols.
        QFont dingbats(QStringLiteral("D050000L"));
        dingbats.setPointSize(30);
        if (QFontInfo(dingbats).family() == QStringLiteral("D050000L")) {
            QVERIFY(Render(dingbats, "Score") != Render(assets::GameFont(30), "Score"));
        }
    }
};

QTEST_MAIN(TestAssets)
#include "test_assets.moc"
