// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The game window's scene: which pixels a change repaints, and that repainting only those gives
// the same picture as painting everything afresh.
#include <QGuiApplication>
#include <QTest>
#include <random>

#include "assets/font.h"
#include "game/game_scene.h"
#include "support/fake_platform.h"
#include "support/printing.h"
#include "support/rules_fixture.h"
#include "support/rules_host.h"
#include "support/temp_folder.h"

namespace {

struct Fixture : RulesFixture<Sn> {
    Sn& game = rules;
    RulesHost<Sn> host{game};

    Fixture() {
        shared = fake::GameChoices(5);
        fake.random.fallback = 0.0;
        game.CreateControls(host);
        game.Form_Load();
    }
    Scene Now() {
        Scene scene;
        SceneOf(game.controls, fake.screen.TwipsPerPixelX(), fake.screen.TwipsPerPixelY(), scene);
        return scene;
    }
};

QImage Painted(const Scene& scene, qreal ratio) {
    QImage image(QSize(640, 480) * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    QPainter painter(&image);
    PaintScene(painter, scene, QRect(0, 0, 640, 480));
    return image;
}

// The shade of a letter's edge pixels depends on what text Qt drew before it: an unchanged
// label painted after other text has changed can differ from a fresh paint by up to about 20
// levels there. A missed repaint leaves whole blocks or letters, which differ by far more.
constexpr int kTextTolerance = 48;

int LargestDifference(const QImage& a, const QImage& b) {
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto* p = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const auto* q = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            largest = std::max({largest, std::abs(qRed(p[x]) - qRed(q[x])),
                                std::abs(qGreen(p[x]) - qGreen(q[x])),
                                std::abs(qBlue(p[x]) - qBlue(q[x]))});
        }
    }
    return largest;
}

// The box around the pixels of a label's lettering, in device pixels.
QRect Ink(const QImage& image) {
    QRect ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qRed(image.pixel(x, y)) > 40) {
                ink |= QRect(x, y, 1, 1);
            }
        }
    }
    return ink;
}

// Repaints the screen where the region says, as the window does.
void Repaint(QImage& screen, const Scene& scene, const QRegion& region) {
    QPainter painter(&screen);
    for (const QRect& rect : region) {
        painter.setClipRect(rect);
        PaintScene(painter, scene, rect);
    }
}

QRegion Region(std::initializer_list<QRect> rects) {
    QRegion region;
    for (const QRect& rect : rects) {
        region += rect;
    }
    return region;
}

// One random change to the controls, of any kind the game or a careless future change could
// make: steps, growth, food, labels shown, hidden, re-captioned and reordered, segments recoloured,
// hidden, moved off the lattice (overlapping others) and removed.
void Change(Sn& game, fake::Random& random, std::mt19937& rng) {
    Sn::Controls& c = game.controls;
    auto pick = [&rng](size_t n) { return static_cast<size_t>(rng() % n); };
    const char* headings[] = {"X+", "X-", "Y+", "Y-"};
    switch (rng() % 12) {
        case 0:
        case 1:
        case 2:
        case 3:
            game.direction = headings[pick(4)];
            game.fMove();
            break;
        case 4:
            game.Elongate_Snake();
            break;
        case 5:
            random.fallback = std::uniform_real_distribution<double>(0, 1)(rng);
            game.Put_Banana();
            break;
        case 6: {
            LabelControl& label = c.labels[pick(static_cast<size_t>(Label::Count))];
            label.Visible = !label.Visible;
            label.Caption = "Score : " + std::to_string(pick(1000));
            break;
        }
        case 7:
            std::rotate(c.labelOrder.begin(), c.labelOrder.begin() + 1, c.labelOrder.end());
            break;
        case 8:
            c.s[pick(c.s.size())].Picture = assets::Block(static_cast<assets::Colour>(pick(8)));
            break;
        case 9:
            c.s[pick(c.s.size())].Visible ^= true;
            break;
        case 10: {
            Box& box = c.s[pick(c.s.size())].box;
            box.Left = static_cast<float>(210 + pick(9000));
            box.Top = static_cast<float>(210 + pick(6500));
            break;
        }
        default:
            if (c.s.size() > 1) {
                c.s.pop_back();
            }
            break;
    }
}

}  // namespace

class TestGameScene : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { assets::InstallGameFont(); }

    void aStepRepaintsTheNewHeadAndTheOldTailOnly() {
        Fixture f;
        const Scene before = f.Now();
        const QRect oldHead = before.items[before.segmentsFrom].rect;
        const QRect oldTail = before.items.back().rect;
        f.game.direction = "X+";
        f.game.fMove();
        const Scene after = f.Now();
        const QRect newHead = after.items[after.segmentsFrom].rect;
        QCOMPARE(newHead, oldHead.translated(24, 0));
        QCOMPARE(ChangedBetween(before, after), Region({newHead, oldTail}));
        QCOMPARE(ChangedBetween(after, after), QRegion());
    }

    void growthAndLabelsRepaintWhatTheyTouch() {
        Fixture f;
        const Scene before = f.Now();
        f.game.Elongate_Snake();  // a segment on the tail, and the score line shown
        const Scene after = f.Now();
        const QRect tail = after.items.back().rect;
        const QRect score = after.items[static_cast<size_t>(Label::lblscore)].rect;
        QCOMPARE(after.items.size(), before.items.size() + 1);
        QCOMPARE(ChangedBetween(before, after), Region({tail, score}));
        // Reordering overlapping labels changes their overlap, though no label changed.
        Fixture g;
        g.game.controls.label(Label::lblscend).Visible = true;
        g.game.controls.label(Label::lblscend).Caption = "Your Score Is: 0";
        const Scene shown = g.Now();
        std::swap(g.game.controls.labelOrder[0], g.game.controls.labelOrder[1]);
        QVERIFY(!ChangedBetween(shown, g.Now()).isEmpty());
    }

    void labelsShowTheirLetteringWhole_data() {
        QTest::addColumn<int>("label");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<qreal>("ratio");
        const std::pair<Label, const char*> captions[] = {
            {Label::lblspace, "Press Spacebar TO Start . . ."},
            {Label::lblscend, "Your Score Is: 70"},
            {Label::lblHigh, "Congrats! High Score"},
            {Label::lblf2, " Press F2 To Restart !"},
            {Label::lblscore, "Score : 10   Snake Length : 8"},
        };
        for (const auto& [label, caption] : captions) {
            for (const qreal ratio : {1.0, 1.5, 2.0}) {
                QTest::addRow("%s at %g", caption, ratio)
                    << static_cast<int>(label) << QString::fromLatin1(caption) << ratio;
            }
        }
    }

    // The lettering in the label's box is all of it: as much as in a box that leaves it room.
    void labelsShowTheirLetteringWhole() {
        QFETCH(int, label);
        QFETCH(QString, caption);
        QFETCH(qreal, ratio);
        Fixture f;
        for (PictureControl* picture :
             {&f.game.controls.ltop, &f.game.controls.lleft, &f.game.controls.lbottom,
              &f.game.controls.lright, &f.game.controls.pban}) {
            picture->Visible = false;
        }
        f.game.controls.s.clear();
        for (LabelControl& each : f.game.controls.labels) {
            each.Visible = false;
        }
        LabelControl& shown = f.game.controls.label(static_cast<Label>(label));
        shown.Visible = true;
        shown.Caption = caption.toStdString();
        const QRect inBox = Ink(Painted(f.Now(), ratio));
        shown.box.Height += 1500;
        const QRect roomy = Ink(Painted(f.Now(), ratio));
        QVERIFY(!roomy.isEmpty());
        QVERIFY2(std::abs(inBox.height() - roomy.height()) <= 1 &&
                     std::abs(inBox.width() - roomy.width()) <= 1,
                 qPrintable(QStringLiteral("%1 pixels of lettering high in its box, %2 in room")
                                .arg(inBox.height())
                                .arg(roomy.height())));
    }

    void repaintingWhatChangedMatchesAFreshPaint_data() {
        QTest::addColumn<qreal>("ratio");
        QTest::addColumn<int>("changes");
        QTest::newRow("ratio 1") << qreal(1) << 400;
        QTest::newRow("ratio 2") << qreal(2) << 100;
        QTest::newRow("ratio 1.5") << qreal(1.5) << 100;
    }

    void repaintingWhatChangedMatchesAFreshPaint() {
        QFETCH(qreal, ratio);
        QFETCH(int, changes);
        for (const unsigned seed : {1u, 2u, 3u}) {
            Fixture f;
            std::mt19937 rng(seed);
            Scene shown = f.Now();
            QImage screen = Painted(shown, ratio);
            for (int i = 0; i < changes; ++i) {
                Change(f.game, f.fake.random, rng);
                const Scene next = f.Now();
                Repaint(screen, next, ChangedBetween(shown, next));
                shown = next;
                const QImage fresh = Painted(shown, ratio);
                if (screen != fresh && LargestDifference(screen, fresh) > kTextTolerance) {
                    QFAIL(qPrintable(QStringLiteral("seed %1, change %2: the screen differs from "
                                                    "a fresh paint")
                                         .arg(seed)
                                         .arg(i)));
                }
            }
        }
    }
};

QTEST_MAIN(TestGameScene)
#include "test_game_scene.moc"
