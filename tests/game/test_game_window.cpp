// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The game as a real window, offscreen, on the real clock and event pump: what it paints, and a
// short game played with keys.
#include <QApplication>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <set>

#include "assets/font.h"
#include "game/game_window.h"
#include "platform/qt_platform.h"
#include "settings/ini.h"
#include "support/drive_modal.h"
#include "support/fake_platform.h"
#include "support/printing.h"
#include "support/temp_folder.h"

namespace {

// Real clock and pump; scripted answers and a recorded end.
struct Fixture {
    TempFolder dir;
    fake::Platform fake{dir.path()};
    platform::QtTickCounter clock;
    platform::QtEventPump pump;
    platform::Platform bundle{clock,        pump,        fake.boxes, fake.sound,
                              fake.process, fake.screen, fake.random};
    SharedState shared;
    Sn rules{bundle, shared};

    explicit Fixture(int level = 10) : shared(fake::GameChoices(level)) {
        fake.random.fallback = 0.0;
    }
    void Drive(std::function<void(GameWindow*)> steps) {
        DriveModal<GameWindow>(steps, [this] { ShowGameModal(rules, bundle); });
    }
};

QColor At(const QImage& image, int x, int y) {
    return QColor(image.pixel(x, y));
}

bool HasOrange(const QImage& image, const QRect& area) {
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = At(image, x, y);
            if (c.red() > 200 && c.green() > 90 && c.green() < 160 && c.blue() < 60) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

class TestGameWindow : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { assets::InstallGameFont(); }

    void paintsWallsSnakeFoodAndPrompt() {
        Fixture f;
        f.Drive([&f](GameWindow* w) {
            // The whole screen (800 by 800 offscreen), the field in its middle.
            QCOMPARE(w->geometry(), QGuiApplication::primaryScreen()->geometry());
            QCOMPARE(w->FieldRect(), QRect(80, 160, 640, 480));
            QCOMPARE(w->windowTitle(), QStringLiteral("Kelvo Snake"));
            QCOMPARE(w->cursor().shape(), Qt::BitmapCursor);
            const QImage shot = w->Render();
            // Walls 14 pixels thick in the cyan strip's colours; black inside.
            QVERIFY(At(shot, 320, 5).blue() > 80 && At(shot, 320, 5).red() < 140);
            QVERIFY(At(shot, 5, 240).green() > 80);
            QCOMPARE(At(shot, 320, 14), QColor(Qt::black));
            QCOMPARE(At(shot, 625, 240), QColor(Qt::black));
            QVERIFY(At(shot, 626, 240) != QColor(Qt::black));
            // Seven red blocks from x = 320 leftwards, 24 pixels apart, at y = 72.
            for (int i = 0; i < 7; ++i) {
                QCOMPARE(At(shot, 328 - 24 * i, 80), QColor(251, 5, 17));
            }
            QCOMPARE(At(shot, 340, 80), QColor(Qt::black));
            // The food at the top-left corner inside the walls; the prompt in the middle.
            QVERIFY(At(shot, 14 + 14, 14 + 18).red() > 150);
            QVERIFY(HasOrange(shot, QRect(100, 216, 440, 40)));
            f.fake.boxes.answers = {true};
            QTest::keyClick(w, Qt::Key_Escape);
        });
        QCOMPARE(f.fake.boxes.shown.size(), size_t{1});
        QCOMPARE(f.fake.process.endCalls, 1);
    }

    void f11SwitchesToAWindowOfTheFieldsSizeAndBackAndIsRemembered() {
        Fixture f;
        f.Drive([&f](GameWindow* w) {
            QTest::keyClick(w, Qt::Key_F11);
            QTRY_COMPARE(w->geometry(), QRect(80, 160, 640, 480));
            QCOMPARE(w->FieldRect(), QRect(0, 0, 640, 480));
            QCOMPARE(ReadIni(f.fake.SettingsFile(), "data", "full", ""), std::string("0"));
            QTest::keyClick(w, Qt::Key_F11);
            QTRY_COMPARE(w->geometry(), QGuiApplication::primaryScreen()->geometry());
            QCOMPARE(ReadIni(f.fake.SettingsFile(), "data", "full", ""), std::string("1"));
            f.fake.boxes.answers = {true};
            QTest::keyClick(w, Qt::Key_Escape);
        });
        QCOMPARE(f.fake.process.endCalls, 1);
    }

    // Where the field's window would not fit the area for windows, F11 keeps covering the
    // screen, and a stored window plays covering it.
    void f11OffersAWindowOnlyWhereTheFieldFits() {
        Fixture f;
        f.fake.screen.availableHeight = 460;
        WriteIni(f.fake.SettingsFile(), "data", "full", "0");
        f.Drive([&f](GameWindow* w) {
            QTRY_COMPARE(w->geometry(), QGuiApplication::primaryScreen()->geometry());
            QTest::keyClick(w, Qt::Key_F11);
            QTest::qWait(50);
            QCOMPARE(w->geometry(), QGuiApplication::primaryScreen()->geometry());
            QCOMPARE(ReadIni(f.fake.SettingsFile(), "data", "full", ""), std::string("0"));
            f.fake.boxes.answers = {true};
            QTest::keyClick(w, Qt::Key_Escape);
        });
    }

    void atRatioTwoBlocksStayHardAndTextIsDrawnAfresh() {
        Fixture f;
        f.Drive([&f](GameWindow* w) {
            const QImage one = w->Render(1);
            const QImage two = w->Render(2);
            QCOMPARE(two.size(), QSize(1280, 960));
            // The head block, 16 pixels from x = 320: every device pixel of the 32 by 32 block
            // is a colour the block has at ratio 1, the edge included.
            std::set<QRgb> blockColours;
            for (int y = 72; y < 88; ++y) {
                for (int x = 320; x < 336; ++x) {
                    blockColours.insert(one.pixel(x, y));
                }
            }
            for (int y = 144 - 2; y < 176 + 2; ++y) {
                for (int x = 640 - 2; x < 672 + 2; ++x) {
                    const QRgb p = two.pixel(x, y);
                    QVERIFY(blockColours.count(p) == 1 || p == qRgb(0, 0, 0));
                    QCOMPARE(p, one.pixel(x / 2, y / 2));
                }
            }
            // The prompt's letters: drawn at the finer pitch, not enlarged, so many 2 by 2
            // groups of device pixels are not of one colour.
            int mixed = 0;
            for (int y = 432; y < 520; y += 2) {
                for (int x = 200; x < 1080; x += 2) {
                    const QRgb p = two.pixel(x, y);
                    mixed += p != two.pixel(x + 1, y) || p != two.pixel(x, y + 1) ||
                             p != two.pixel(x + 1, y + 1);
                }
            }
            QVERIFY(mixed > 200);
            f.fake.boxes.answers = {true};
            QTest::keyClick(w, Qt::Key_Escape);
        });
    }

    void aGameRunsIntoTheWallThenF2ClosesWithoutAsking() {
        Fixture f;
        WriteIni(f.fake.SettingsFile(), "data", "score", "0");
        f.Drive([&f](GameWindow* w) {
            QTimer::singleShot(600, w, [w, &f] {
                QVERIFY(f.rules.controls.label(Label::lblscend).Visible);
                const QImage shot = w->Render();
                QVERIFY(HasOrange(shot, QRect(100, 160, 440, 140)));  // the game-over lines
                QTest::keyClick(w, Qt::Key_F2);
            });
            QTest::keyClick(w, Qt::Key_Space);  // returns when the game is over
        });
        QVERIFY(f.fake.boxes.shown.empty());
        QCOMPARE(f.fake.process.endCalls, 0);
        QVERIFY(f.shared.KeepRunning);
        QCOMPARE(f.rules.controls.label(Label::lblHigh).Caption, std::string("High Score Is: 0"));
    }

    void escDuringPlayAndNoGoesOn() {
        Fixture f(5);
        f.fake.boxes.answers = {false, true};
        f.Drive([&f](GameWindow* w) {
            QTimer::singleShot(100, w, [w, &f] {
                const float before = f.rules.controls.s[0].box.Left;
                QTest::keyClick(w, Qt::Key_Escape);  // No: the game goes on
                QTimer::singleShot(150, w, [w, &f, before] {
                    QVERIFY(f.rules.controls.s[0].box.Left > before);
                    QTest::keyClick(w, Qt::Key_Escape);  // Yes
                });
            });
            QTest::keyClick(w, Qt::Key_Space);
        });
        QCOMPARE(f.fake.boxes.shown.size(), size_t{2});
        QCOMPARE(f.fake.process.endCalls, 1);
        QVERIFY(!f.rules.controls.label(Label::lblscend).Visible);
    }

    // While "Exit?" is up, a close request, Esc, P and F11 do nothing; after No the game waits.
    void whileExitIsUpNothingAsksAgain() {
        Fixture f(1);
        f.fake.boxes.answers = {false, true};
        f.Drive([&f](GameWindow* w) {
            const bool full = w->isFullScreen();
            f.fake.boxes.whileOpen = [&f, w] {
                f.fake.boxes.whileOpen = nullptr;
                w->close();
                QCoreApplication::processEvents();
                for (const auto key : {Qt::Key_Escape, Qt::Key_P, Qt::Key_F11}) {
                    QTest::keyClick(w, key);
                }
            };
            // No starts the clock loop that the keys run inside: the checks wait for it.
            QTimer::singleShot(50, w, [w, &f, full] {
                QCOMPARE(f.fake.boxes.shown.size(), size_t{1});
                QCOMPARE(w->isFullScreen(), full);
                QVERIFY(f.rules.IsWaiting());
                QTest::keyClick(w, Qt::Key_Escape);
            });
            QTest::keyClick(w, Qt::Key_Escape);
        });
        QCOMPARE(f.fake.boxes.shown.size(), size_t{2});
        QCOMPARE(f.fake.process.endCalls, 1);
    }

    void escWhileWaitingThenNoThenSpaceAndEscAsksAgain() {
        Fixture f(1);
        f.fake.boxes.answers = {false, true};
        f.Drive([&f](GameWindow* w) {
            QTimer::singleShot(50, w, [w, &f] {
                QVERIFY(f.rules.loopRunning);  // the loop that No started
                QTest::keyClick(w, Qt::Key_Space);
                QTimer::singleShot(250, w, [w] { QTest::keyClick(w, Qt::Key_Escape); });
            });
            QTest::keyClick(w, Qt::Key_Escape);
        });
        QCOMPARE(f.fake.boxes.shown.size(), size_t{2});
        QCOMPARE(f.fake.process.endCalls, 1);
    }
};

QTEST_MAIN(TestGameWindow)
#include "test_game_window.moc"
