// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The menu as a real window, offscreen: size, focus, keys, clicks and closing.
#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "assets/font.h"
#include "menu/menu_window.h"
#include "settings/ini.h"
#include "support/drive_modal.h"
#include "support/fake_platform.h"
#include "support/printing.h"
#include "support/rules_fixture.h"
#include "support/temp_folder.h"

namespace {

struct Fixture : RulesFixture<FrmMenu> {
    Fixture() {
        shared.KeepRunning = true;
        shared.ResWidth = 800;
        shared.ResHeight = 600;
    }
    // Runs `steps` once the menu is up and active, then shows it modally.
    void Drive(std::function<void(MenuWindow*)> steps) {
        DriveModal<MenuWindow>(steps, [this] { ShowMenuModal(rules, fake.bundle); });
    }
};

}  // namespace

class TestMenuWindow : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { assets::InstallGameFont(); }

    void arrowsThenEnterInTheLevelListGoOn() {
        Fixture f;
        WriteFile(f.fake.SettingsFile(), "[data]\nlvl=4\nscolor=2\n");
        f.Drive([](MenuWindow* w) {
            QCOMPARE(w->windowTitle(), QStringLiteral("Snake Menu"));
            QCOMPARE(w->size(), QSize(800, 600));
            QVERIFY(w->windowFlags() & Qt::FramelessWindowHint);
            QCOMPARE(QApplication::focusWidget(), w->cmblvl());
            QCOMPARE(w->cmblvl()->currentText(), QStringLiteral("4"));
            QCOMPARE(w->cmbscolor()->currentText(), QStringLiteral("Green"));
            QCOMPARE(w->cmblvl()->count(), 10);
            QCOMPARE(QFontInfo(w->cmblvl()->font()).family(), assets::GameFontFamily());
            QTest::keyClick(w->cmblvl(), Qt::Key_Down);
            QTest::keyClick(w->cmblvl(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), w->cmbscolor());
            QTest::keyClick(w->cmbscolor(), Qt::Key_Up);
            QTest::keyClick(w->cmbscolor(), Qt::Key_Return);
        });
        QCOMPARE(f.shared.Level, 5);
        QCOMPARE(f.shared.SnakeColor, std::string("Cyan"));
        QCOMPARE(ReadFile(f.fake.SettingsFile()),
                 std::string("[data]\nlvl=5\nscolor=1\nbcolor=0\n"));
        QCOMPARE(f.fake.process.endCalls, 0);
    }

    void escInTheCheckBoxEndsAndWritesNothing() {
        Fixture f;
        f.Drive([](MenuWindow* w) {
            w->ch()->setFocus();
            QTest::keyClick(w->ch(), Qt::Key_Space);
            QVERIFY(w->ch()->isChecked());
            QTest::keyClick(w->ch(), Qt::Key_Escape);
        });
        QCOMPARE(f.fake.process.endCalls, 1);
        QVERIFY(!f.shared.KeepRunning);
        QCOMPARE(ReadFile(f.fake.SettingsFile()), std::string());
    }

    void clicksOnThePicturesShowTheHighScoreAndGoOn() {
        Fixture f;
        WriteFile(f.fake.SettingsFile(), "[data]\nscore=70\n");
        f.Drive([](MenuWindow* w) {
            w->ch()->setChecked(true);
            QTest::mouseClick(w, Qt::LeftButton, {}, w->HighScoreRect().center());
            QVERIFY(w->isVisible());
            QTest::mouseClick(w, Qt::LeftButton, {}, w->NextRect().center());
        });
        QCOMPARE(f.fake.boxes.shown.size(), size_t{1});
        QCOMPARE(f.fake.boxes.shown[0].text, std::string("HighScore is : 70"));
        QCOMPARE(ReadFile(f.fake.SettingsFile()),
                 std::string("[data]\nscore=70\nask=0\nlvl=1\nscolor=0\nbcolor=0\n"));
    }

    // Whole captions and list entries, at this screen's density (the suite runs at two).
    void captionsFitTheirControls() {
        Fixture f;
        f.Drive([](MenuWindow* w) {
            for (QWidget* control : std::initializer_list<QWidget*>{w->cmblvl(), w->cmbscolor(),
                                                                    w->cmbbcolor(), w->ch()}) {
                QVERIFY2(control->sizeHint().width() <= control->width(),
                         qPrintable(QStringLiteral("%1 wide in %2")
                                        .arg(control->sizeHint().width())
                                        .arg(control->width())));
                QVERIFY(control->fontMetrics().height() <= control->height());
            }
            QCOMPARE(w->ch()->font().family(), QApplication::font().family());
            w->close();
        });
    }

    // The open lists keep the menu's black and orange, the chosen entry orange with black text.
    void openListsKeepTheMenusLook() {
        Fixture f;
        f.Drive([](MenuWindow* w) {
            w->cmbscolor()->showPopup();
            QWidget* popup = w->cmbscolor()->view()->window();
            QVERIFY(QTest::qWaitForWindowExposed(popup));
            const QImage shot = popup->grab().toImage();
            w->cmbscolor()->hidePopup();
            int black = 0, orange = 0, other = 0;
            for (int y = 0; y < shot.height(); ++y) {
                for (int x = 0; x < shot.width(); ++x) {
                    const QColor c = shot.pixelColor(x, y);
                    if (c.red() < 40 && c.green() < 40 && c.blue() < 40) {
                        ++black;
                    } else if (c.red() > 200 && c.green() > 90 && c.green() < 160 &&
                               c.blue() < 60) {
                        ++orange;
                    } else if (std::abs(c.red() - c.blue()) < 40 && c.green() > 60) {
                        ++other;  // grey, white or blue: a look of its own
                    }
                }
            }
            const int all = shot.width() * shot.height();
            QVERIFY2(black > all / 2 && orange > all / 20 && other < all / 50,
                     qPrintable(QStringLiteral("black %1, orange %2, other %3 of %4")
                                    .arg(black)
                                    .arg(orange)
                                    .arg(other)
                                    .arg(all)));
            w->close();
        });
    }

    // The level list holds the focus when the menu opens, and shows it as Tab would.
    void theFirstListShowsItsFocusFromTheStart() {
        Fixture f;
        f.Drive([](MenuWindow* w) {
            const QImage atStart = w->cmblvl()->grab().toImage();
            for (int i = 0; i < 4; ++i) {  // round the tab order and back
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            }
            QCOMPARE(QApplication::focusWidget(), w->cmblvl());
            QCOMPARE(atStart, w->cmblvl()->grab().toImage());
            w->close();
        });
    }

    // Like a button: a left press and release both on the picture. A press dragged onto it, or
    // a right click, does nothing.
    void picturesActOnlyOnALeftClickOnThemselves() {
        Fixture f;
        f.Drive([&f](MenuWindow* w) {
            QTest::mousePress(w, Qt::LeftButton, {}, QPoint(400, 300));
            QTest::mouseRelease(w, Qt::LeftButton, {}, w->NextRect().center());
            QTest::mouseClick(w, Qt::RightButton, {}, w->NextRect().center());
            QTest::mousePress(w, Qt::LeftButton, {}, w->NextRect().center());
            QTest::mouseRelease(w, Qt::LeftButton, {}, w->HighScoreRect().center());
            QVERIFY(f.fake.boxes.shown.empty());
            QVERIFY(!f.rules.nextChosen);
            w->close();
        });
    }

    // M switches the music off and on, in a list as anywhere, and data.ini keeps it.
    void mSwitchesTheMusicAndDataIniKeepsIt() {
        Fixture f;
        f.Drive([&f](MenuWindow* w) {
            QTest::keyClick(w->cmblvl(), Qt::Key_M);
            QVERIFY(f.fake.sound.muted);
            QCOMPARE(ReadIni(f.fake.SettingsFile(), "data", "mute", ""), std::string("1"));
            QCOMPARE(w->cmblvl()->currentText(), QStringLiteral("1"));
            QTest::keyClick(w->cmblvl(), Qt::Key_M);
            QVERIFY(!f.fake.sound.muted);
            QCOMPARE(ReadIni(f.fake.SettingsFile(), "data", "mute", ""), std::string("0"));
            w->close();
        });
    }

    // Where data.ini cannot be written, M still switches the music off and on.
    void mSwitchesTheMusicWhereDataIniCannotBeWritten() {
        Fixture f;
        QVERIFY(std::filesystem::create_directory(f.fake.SettingsFile()));
        f.Drive([&f](MenuWindow* w) {
            QTest::keyClick(w->cmblvl(), Qt::Key_M);
            QVERIFY(f.fake.sound.muted);
            QTest::keyClick(w->cmblvl(), Qt::Key_M);
            QVERIFY(!f.fake.sound.muted);
            w->close();
        });
    }

    // Under a player's style sheet the words that stand for pictures stay unseen.
    void theUnseenWordsStayUnseenUnderAStyleSheet() {
        QImage plain;
        for (const char* sheet :
             {"", "QLabel, QPushButton { background: red; border: 2px solid red; }"}) {
            qApp->setStyleSheet(QString::fromLatin1(sheet));
            Fixture f;
            f.Drive([&plain](MenuWindow* w) {
                const QImage shown = w->grab().toImage();
                if (plain.isNull()) {
                    plain = shown;
                }
                QVERIFY(shown == plain);
                w->close();
            });
        }
        qApp->setStyleSheet(QString());
    }

    // While the HighScore box is up, no request opens another or ends the menu behind it.
    void whileABoxIsUpNothingAsksForAnother() {
        Fixture f;
        f.Drive([&f](MenuWindow* w) {
            f.fake.boxes.whileOpen = [&f, w] {
                f.fake.boxes.whileOpen = nullptr;
                QTest::keyClick(w->cmblvl(), Qt::Key_H, Qt::ControlModifier);
                QTest::keyClick(w->cmblvl(), Qt::Key_Escape);
                w->close();
                QCoreApplication::processEvents();
            };
            QTest::keyClick(w->cmblvl(), Qt::Key_H, Qt::ControlModifier);
            QCoreApplication::processEvents();
            QCOMPARE(f.fake.boxes.shown.size(), size_t{1});
            QCOMPARE(f.fake.process.endCalls, 0);
            QVERIFY(w->isVisible());
            w->close();
        });
        QCOMPARE(f.fake.process.endCalls, 1);
    }

    void closeByTheWindowSystemEndsTheProgram() {
        Fixture f;
        f.Drive([](MenuWindow* w) { w->close(); });
        QCOMPARE(f.fake.process.endCalls, 1);
        QVERIFY(!f.shared.KeepRunning);
    }
};

QTEST_MAIN(TestMenuWindow)
#include "test_menu_window.moc"
