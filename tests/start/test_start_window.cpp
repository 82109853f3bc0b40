// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The chooser as a real window, offscreen: what it shows and how keys, clicks and closing reach
// its rules.
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <cmath>

#include "assets/font.h"
#include "settings/ini.h"
#include "start/start_window.h"
#include "support/drive_modal.h"
#include "support/fake_platform.h"
#include "support/printing.h"
#include "support/rules_fixture.h"
#include "support/temp_folder.h"
#include "views/qt_view.h"

namespace {

struct Fixture : RulesFixture<FrmStart> {
    Fixture() { shared.KeepRunning = true; }

    // Runs `steps` against the open chooser once it is up, then shows it modally.
    void Drive(std::function<void(StartWindow*)> steps) {
        DriveModal<StartWindow>(steps, [this] { ShowStartModal(rules, fake.bundle); });
    }
};

}  // namespace

class TestStartWindow : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { assets::InstallGameFont(); }

    void showsTheDesignedControls() {
        Fixture f;
        f.Drive([](StartWindow* w) {
            QCOMPARE(w->windowTitle(), QStringLiteral("Select Resolution :"));
            QCOMPARE(w->size(), QSize(209, 171));
            QCOMPARE(w->option(0)->text(), QStringLiteral("640 * 480"));
            QCOMPARE(w->option(2)->text(), QStringLiteral("1024 * 768"));
            QVERIFY(w->option(0)->isChecked());
            QVERIFY(w->check1()->isChecked());
            QCOMPARE(w->check1()->text(), QStringLiteral("Don't ask me again."));
            QCOMPARE(w->label1()->text(), QStringLiteral("Next!"));
            QCOMPARE(QRect(w->option(1)->mapTo(w, QPoint(0, 0)), w->option(1)->size()),
                     QRect(16, 48, 153, 33));
            QCOMPARE(w->label1()->geometry(), QRect(144, 144, 57, 25));
            QCOMPARE(QFontInfo(w->option(0)->font()).family(), assets::GameFontFamily());
            QCOMPARE(w->palette().color(QPalette::WindowText), QColor(255, 128, 0));
            w->close();
        });
        QVERIFY(!f.shared.KeepRunning);
    }

    // The focus starts on the stored size, and every control marks it from the first show
    // with at least 3:1 against the black.
    void theFocusStartsOnTheChosenSizeAndIsMarked() {
        Fixture f;
        WriteFile(f.fake.SettingsFile(), "[data]\nres=2\n");
        f.Drive([](StartWindow* w) {
            QCOMPARE(QApplication::focusWidget(), w->option(1));
            for (QWidget* control : std::initializer_list<QWidget*>{w->option(1), w->check1()}) {
                control->setFocus();
                const QImage marked = control->grab().toImage();
                w->label1()->setFocus();  // takes no focus: the window keeps it
                w->setFocus();
                const QImage unmarked = control->grab().toImage();
                auto linear = [](double v) {
                    return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
                };
                auto bright = [&linear](const QImage& image, int x, int y) {  // 3:1 on black
                    const QColor c = image.pixelColor(x, y);
                    const double luminance = 0.2126 * linear(c.redF()) +
                                             0.7152 * linear(c.greenF()) +
                                             0.0722 * linear(c.blueF());
                    return (luminance + 0.05) / 0.05 >= 3;
                };
                int mark = 0;  // pixels that only the focus makes bright
                for (int y = 0; y < marked.height(); ++y) {
                    for (int x = 0; x < marked.width(); ++x) {
                        mark += bright(marked, x, y) && !bright(unmarked, x, y);
                    }
                }
                QVERIFY2(mark > 40, qPrintable(QString::number(mark)));
            }
            QTest::keyClick(w->option(1), Qt::Key_Return);
        });
        QCOMPARE(f.shared.ResWidth, 800);
    }

    // Told to lay out right to left (Qt's -reverse), the chooser stays as designed.
    void aReversedLayoutLeavesTheChooserAsDesigned() {
        QImage designed;
        for (const auto direction : {Qt::LeftToRight, Qt::RightToLeft}) {
            QGuiApplication::setLayoutDirection(direction);
            views::KeepDesignedDirection();  // as the program does once Qt has started
            Fixture f;
            f.Drive([&designed](StartWindow* w) {
                const QImage shown = w->grab().toImage();
                if (designed.isNull()) {
                    designed = shown;
                }
                QVERIFY(shown == designed);
                w->close();
            });
        }
    }

    // Whole captions, at this screen's density (the suite runs at two).
    void captionsFitTheirControls() {
        Fixture f;
        f.Drive([](StartWindow* w) {
            for (QWidget* control : std::initializer_list<QWidget*>{
                     w->option(0), w->option(1), w->option(2), w->check1(), w->label1()}) {
                QVERIFY(control->sizeHint().width() <= control->width());
                QVERIFY(control->fontMetrics().height() <= control->height());
            }
            w->close();
        });
    }

    void enterOnAnOptionActsAsNext() {
        Fixture f;
        f.Drive([](StartWindow* w) {
            w->option(2)->setFocus();
            QTest::keyClick(w->option(2), Qt::Key_Down);    // arrows move within the group
            QTest::keyClick(w->option(0), Qt::Key_Escape);  // no effect
            QVERIFY(w->isVisible());
            w->option(1)->click();
            QTest::keyClick(w->option(1), Qt::Key_Return);
        });
        QVERIFY(f.shared.KeepRunning);
        QCOMPARE(f.shared.ResWidth, 800);
        QCOMPARE(ReadFile(f.fake.SettingsFile()), std::string("[data]\nres=2\nask=1\n"));
    }

    void enterOnTheCheckBoxDoesNothingAndAClickOnNextGoesOn() {
        Fixture f;
        f.Drive([](StartWindow* w) {
            w->check1()->setFocus();
            QTest::keyClick(w->check1(), Qt::Key_Space);  // unticks it
            QTest::keyClick(w->check1(), Qt::Key_Return);
            QVERIFY(w->isVisible());
            QTest::mouseClick(w->label1(), Qt::LeftButton);
        });
        QCOMPARE(ReadFile(f.fake.SettingsFile()), std::string("[data]\nres=1\n"));
    }

    // "Next!" acts like a button: a left press and release both on it.
    void nextActsOnlyOnALeftClickOnItself() {
        Fixture f;
        f.Drive([&f](StartWindow* w) {
            QTest::mouseClick(w->label1(), Qt::RightButton);
            QTest::mousePress(w, Qt::LeftButton, {}, QPoint(5, 5));
            QTest::mouseRelease(w->label1(), Qt::LeftButton);
            QTest::mousePress(w->label1(), Qt::LeftButton);
            QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(5, 5));
            QVERIFY(!f.rules.nextChosen);
            QTest::mouseClick(w->label1(), Qt::LeftButton);
        });
        QVERIFY(f.rules.nextChosen);
    }

    void askOneClosesTheWindowByItself() {
        Fixture f;
        WriteFile(f.fake.SettingsFile(), "[data]\nres=3\nask=1\n");
        QElapsedTimer elapsed;
        elapsed.start();
        ShowStartModal(f.rules, f.fake.bundle);
        QVERIFY(elapsed.elapsed() < 2000);
        QCOMPARE(f.shared.ResWidth, 1024);
        QCOMPARE(f.shared.ResHeight, 768);
        QVERIFY(f.shared.KeepRunning);
    }
};

QTEST_MAIN(TestStartWindow)
#include "test_start_window.moc"
