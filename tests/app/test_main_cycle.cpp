// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The cycle of windows: the chooser once, then menu and game until the run stops.
#include <QTest>
#include <string>
#include <vector>

#include "app/main_cycle.h"
#include "support/fake_platform.h"

namespace {

// Windows that record their showings and act as a script says. As in the real program, no
// window shows once the program has ended.
struct ScriptedWindows : WindowCycle {
    ScriptedWindows(SharedState& s, fake::Process& p) : shared(s), process(p) {}
    void ShowStart() override {
        log.push_back("start");
        if (!startNext) {
            shared.KeepRunning = false;
        }
    }
    void ShowMenu() override {
        if (process.Ended()) {
            return;
        }
        log.push_back("menu");
        if (++menus == menuEndsAt) {
            shared.KeepRunning = false;
            process.End();
        }
    }
    void ShowGame() override {
        if (process.Ended()) {
            return;
        }
        log.push_back("game");
        if (++games == gameEndsAt) {
            shared.KeepRunning = false;
            process.End();
        }
    }
    SharedState& shared;
    fake::Process& process;
    bool startNext = true;
    int menus = 0, games = 0, menuEndsAt = -1, gameEndsAt = -1;
    std::vector<std::string> log;
};

using Log = std::vector<std::string>;

}  // namespace

class TestMainCycle : public QObject {
    Q_OBJECT
  private slots:
    void chooserClosedWithoutNextEndsBeforeTheMenu() {
        SharedState shared;
        fake::Process process("/nowhere");
        ScriptedWindows windows(shared, process);
        windows.startNext = false;
        Main(shared, process, windows);
        QCOMPARE(windows.log, (Log{"start"}));
        QCOMPARE(process.endCalls, 1);
    }

    void menuAndGameAlternateAndTheChooserIsShownOnce() {
        SharedState shared;
        fake::Process process("/nowhere");
        ScriptedWindows windows(shared, process);
        windows.gameEndsAt = 3;
        Main(shared, process, windows);
        QCOMPARE(windows.log, (Log{"start", "menu", "game", "menu", "game", "menu", "game"}));
        QCOMPARE(process.endCalls, 1);
    }

    void escInTheFirstMenuEndsWithoutAGame() {
        SharedState shared;
        fake::Process process("/nowhere");
        ScriptedWindows windows(shared, process);
        windows.menuEndsAt = 1;
        Main(shared, process, windows);
        QCOMPARE(windows.log, (Log{"start", "menu"}));
        QVERIFY(!shared.KeepRunning);
        QCOMPARE(process.endCalls, 1);
    }
};

QTEST_APPLESS_MAIN(TestMainCycle)
#include "test_main_cycle.moc"
