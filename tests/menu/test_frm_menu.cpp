// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The menu's rules: the layout at the three resolutions, the stored options, Next, Esc, closing
// and the high-score box.
#include <QTest>
#include <cmath>

#include "menu/frm_menu.h"
#include "platform/keys.h"
#include "settings/ini.h"
#include "support/fake_platform.h"
#include "support/printing.h"
#include "support/rules_fixture.h"
#include "support/rules_host.h"
#include "support/temp_folder.h"

namespace {

struct Fixture : RulesFixture<FrmMenu> {
    FrmMenu& window = rules;
    RulesHost<FrmMenu> host{window};

    explicit Fixture(int width = 640, int height = 480) {
        shared.KeepRunning = true;
        shared.ResWidth = width;
        shared.ResHeight = height;
    }
    void Show() {
        window.CreateControls(host);
        window.Form_Load();
    }
    std::string File() const { return ReadFile(fake.SettingsFile()); }
    void Store(const std::string& contents) { WriteFile(fake.SettingsFile(), contents); }
};

// Equal to two decimals, as the layout table gives its values.
bool Near(float value, double expected) {
    return std::abs(value - expected) < 0.005;
}

struct Row {
    int width, height;
    double W, H, lbottomTop, lrightLeft, optLeft, level, snake, border, linLeft, linTop, linWidth,
        commentLeft, commentTop, nextLeft, nextTop, highLeft, highTop;
};

}  // namespace

class TestFrmMenu : public QObject {
    Q_OBJECT
  private slots:
    void arrangeMenuMatchesTheTableAtEachResolution() {
        const Row rows[] = {
            {640, 480, 9600, 7200, 6990, 9390, 3840, 1303.23, 1716.13, 2129.03, 1920, 3577.5, 5760,
             1672.5, 4653.75, 7515, 6495, 3840, 6390},
            {800, 600, 12000, 9000, 8790, 11790, 5040, 1629.03, 2145.16, 2661.29, 2400, 4477.5,
             7200, 2872.5, 6003.75, 9915, 8295, 5040, 8190},
            {1024, 768, 15360, 11520, 11310, 15150, 6720, 2085.16, 2745.81, 3406.45, 3072, 5737.5,
             9216, 4552.5, 7893.75, 13275, 10815, 6720, 10710},
        };
        for (const Row& r : rows) {
            Fixture f(r.width, r.height);
            f.Show();
            f.Show();  // a second load starts again from the laid-out values
            const FrmMenu::Controls& c = f.window.controls;
            QVERIFY(Near(c.window.Width, r.W) && Near(c.window.Height, r.H));
            QVERIFY(Near(c.ltop.Left, 0) && Near(c.ltop.Top, 0) && Near(c.ltop.Width, r.W));
            QVERIFY(Near(c.lleft.Height, r.H) && Near(c.lleft.Top, 0));
            QVERIFY(Near(c.lbottom.Top, r.lbottomTop) && Near(c.lbottom.Width, r.W));
            QVERIFY(Near(c.lright.Left, r.lrightLeft) && Near(c.lright.Height, r.H));
            QVERIFY(Near(c.Logo.Left, 210) && Near(c.Logo.Top, 210));
            QVERIFY(Near(c.lblopt.Left, r.optLeft) && Near(c.lblopt.Top, 210));
            for (const float top : {c.lbllvl.Top, c.lblclvl.Top, c.cmblvlBox.Top}) {
                QVERIFY(Near(top, r.level));
            }
            QVERIFY(Near(c.lblscolor.Top, r.snake) && Near(c.cmbscolorBox.Top, r.snake));
            QVERIFY(Near(c.lblbcolor.Top, r.border) && Near(c.cmbbcolorBox.Top, r.border));
            QVERIFY(Near(c.lin.Left, r.linLeft) && Near(c.lin.Top, r.linTop) &&
                    Near(c.lin.Width, r.linWidth) && Near(c.lin.Height, 45));
            QVERIFY(Near(c.comment.Left, r.commentLeft) && Near(c.comment.Top, r.commentTop));
            QVERIFY(Near(c.lblNext.Left, r.nextLeft) && Near(c.lblNext.Top, r.nextTop));
            QVERIFY(Near(c.chBox.Top, r.nextTop) && Near(c.chBox.Left, 480));
            QVERIFY(Near(c.lblHighsc.Left, r.highLeft) && Near(c.lblHighsc.Top, r.highTop));
            // Never moved: the Left of the captions, the hint and the lists; every size.
            QVERIFY(Near(c.lbllvl.Left, 1680) && Near(c.lblclvl.Left, 5760) &&
                    Near(c.cmbscolorBox.Left, 3840) && Near(c.cmblvlBox.Width, 1455));
        }
    }

    void withoutASettingsFileTheDefaultsGoToTheGameAndTheFile() {
        Fixture f;
        f.Show();
        QCOMPARE(f.window.controls.cmblvl.Text(), std::string("1"));
        QCOMPARE(f.window.controls.cmbscolor.Text(), std::string("Blue"));
        QCOMPARE(f.window.controls.cmbbcolor.Text(), std::string("Blue"));
        QCOMPARE(f.window.controls.ch, 0);
        f.window.lblNext_Click();
        QCOMPARE(f.host.unloads, 1);
        QCOMPARE(f.shared.Level, 1);
        QCOMPARE(f.shared.SnakeColor, std::string("Blue"));
        QCOMPARE(f.shared.BorderColor, std::string("Blue"));
        QVERIFY(f.shared.KeepRunning);
        QCOMPARE(f.fake.process.endCalls, 0);
        QCOMPARE(f.File(), std::string("[data]\nlvl=1\nscolor=0\nbcolor=0\n"));
    }

    void storedOptionsRoundTrip() {
        Fixture f;
        f.Store("[data]\nres=1\nask=1\nlvl=10\nscolor=7\nbcolor=5\n");
        f.Show();
        QCOMPARE(f.window.controls.cmblvl.Text(), std::string("10"));
        QCOMPARE(f.window.controls.cmbscolor.Text(), std::string("Yellow"));
        QCOMPARE(f.window.controls.cmbbcolor.Text(), std::string("Red"));
        f.window.lblNext_Click();
        QCOMPARE(f.shared.Level, 10);
        QCOMPARE(f.shared.SnakeColor, std::string("Yellow"));
        QCOMPARE(f.shared.BorderColor, std::string("Red"));
        QCOMPARE(f.File(), std::string("[data]\nres=1\nask=1\nlvl=10\nscolor=7\nbcolor=5\n"));
        // The next showing presents what this Next saved.
        f.window.controls.cmbscolor.ListIndex = 3;  // Orange
        f.window.lblNext_Click();
        QCOMPARE(ReadIni(f.fake.SettingsFile(), "data", "scolor", ""), std::string("3"));
        f.Show();
        QCOMPARE(f.window.controls.cmbscolor.Text(), std::string("Orange"));
    }

    void checkBoxWritesAskZeroOnlyWhenCheckedAndBeforeTheOptions() {
        Fixture f;
        f.Store("[data]\nres=1\nask=1\n");
        f.Show();
        f.window.lblNext_Click();
        QCOMPARE(ReadIni(f.fake.SettingsFile(), "data", "ask", ""), std::string("1"));
        Fixture g;
        g.Show();
        g.window.controls.ch = 1;
        g.window.lblNext_Click();
        QCOMPARE(g.File(), std::string("[data]\nask=0\nlvl=1\nscolor=0\nbcolor=0\n"));
        g.Show();
        QCOMPARE(g.window.controls.ch, 0);  // unchecked at every load
    }

    void escEndsAtOnceAndWritesNothing() {
        Fixture f;
        f.Store("[data]\nlvl=3\n");
        f.Show();
        f.window.controls.cmblvl.ListIndex = 8;
        f.window.cmbscolor_KeyDown(platform::key::Escape, 0);
        QVERIFY(!f.shared.KeepRunning);
        QCOMPARE(f.fake.process.endCalls, 1);
        QCOMPARE(f.host.unloads, 0);
        QCOMPARE(f.File(), std::string("[data]\nlvl=3\n"));
    }

    void enterInAnyListOrTheCheckBoxActsAsNext() {
        for (int target = 0; target < 5; ++target) {
            Fixture f;
            f.Show();
            f.window.controls.cmbbcolor.ListIndex = 6;
            auto press = [&](std::int16_t key) {
                switch (target) {
                    case 0:
                        f.window.cmblvl_KeyDown(key, 0);
                        break;
                    case 1:
                        f.window.cmbscolor_KeyDown(key, 0);
                        break;
                    case 2:
                        f.window.cmbbcolor_KeyDown(key, 0);
                        break;
                    case 3:
                        f.window.ch_KeyDown(key, 0);
                        break;
                    default:
                        f.window.Form_KeyDown(key, 0);
                        break;
                }
            };
            press(40);
            press(32);
            QCOMPARE(f.host.unloads, 0);
            press(13);
            QCOMPARE(f.host.unloads, 1);
            QCOMPARE(f.shared.BorderColor, std::string("Violet"));
            QCOMPARE(f.fake.process.endCalls, 0);
        }
    }

    void closingWithoutNextEndsTheProgramOnEveryShowing() {
        Fixture f;
        f.Show();
        f.window.lblNext_Click();
        QCOMPARE(f.fake.process.endCalls, 0);
        f.Show();  // the second showing: nextChosen starts false again
        std::int16_t cancel = 0;
        f.window.Form_Unload(cancel);
        QCOMPARE(cancel, std::int16_t{0});
        QVERIFY(!f.shared.KeepRunning);
        QCOMPARE(f.fake.process.endCalls, 1);
    }

    void badStoredValuesShowTheDefaults() {
        const char* bad[] = {"abc", "", "0", "11", "-1", "1e3", "5.4", "99999999999", "0x5"};
        for (const char* value : bad) {
            Fixture f;
            const std::string v = value;
            f.Store("[data]\nlvl=" + v + "\nscolor=" + v + "\nbcolor=8\n");
            f.Show();
            QCOMPARE(f.window.controls.cmblvl.Text(), std::string("1"));
            QCOMPARE(f.window.controls.cmbbcolor.Text(), std::string("Blue"));
            QCOMPARE(f.window.controls.cmbscolor.Text(), std::string("Blue"));
        }
        Fixture f;
        f.Store("[data]\nlvl= 05 \nscolor=007\nbcolor=\t2\n");
        f.Show();
        QCOMPARE(f.window.controls.cmblvl.Text(), std::string("5"));
        QCOMPARE(f.window.controls.cmbscolor.Text(), std::string("Yellow"));
        QCOMPARE(f.window.controls.cmbbcolor.Text(), std::string("Green"));
    }

    void highScoreBoxShowsTheStoredText() {
        Fixture f;
        f.Show();
        f.window.lblHighsc_Click();
        f.Store("[data]\nscore=0120\n");
        f.window.lblHighsc_Click();
        QCOMPARE(f.fake.boxes.shown.size(), size_t{2});
        QCOMPARE(f.fake.boxes.shown[0].text, std::string("HighScore is : "));
        QCOMPARE(f.fake.boxes.shown[1].text, std::string("HighScore is : 0120"));
        QCOMPARE(f.fake.boxes.shown[1].title, std::string("Kelvo Snake"));
        QVERIFY(!f.fake.boxes.shown[1].yesNo);
        QCOMPARE(f.host.unloads, 0);
    }
};

QTEST_APPLESS_MAIN(TestFrmMenu)
#include "test_frm_menu.moc"
