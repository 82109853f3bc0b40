// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Every window played with a game pad alone, offscreen: pads made inside the test process, read
// by the program's own pad code and handed to the windows as the keys they stand for.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <optional>
#include <vector>

#include "assets/font.h"
#include "game/game_window.h"
#include "menu/menu_window.h"
#include "platform/qt_platform.h"
#include "platform/sdl_game_pads.h"
#include "settings/ini.h"
#include "start/start_window.h"
#include "support/drive_modal.h"
#include "support/fake_platform.h"
#include "support/temp_folder.h"
#include "support/virtual_pad.h"
#include "views/pad_router.h"

using platform::PadButton;

namespace {

// The program's pads and their router, watching a device folder of the test's own, with a pad
// plugged in; and the fakes for the windows' rules.
struct Fixture {
    TempFolder devices;
    platform::SdlGamePads pads{devices.path()};
    views::PadRouter router{pads};
    std::optional<VirtualPad> pad{std::in_place, devices.path()};
    TempFolder dir;
    fake::Platform fake{dir.path()};
};

// Steps run from the event loop one after another, each once its condition holds, and never
// block: a pad's press may start the game's clock loop, which returns only when the game stops.
class Script {
  public:
    struct Step {
        std::function<bool()> ready;
        std::function<void()> act;
    };
    explicit Script(std::vector<Step> steps) : steps_(std::move(steps)) {
        timer_.setInterval(30);  // longer than a screen refresh: each press is read
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (next_ < steps_.size() && steps_[next_].ready()) {
                steps_[next_++].act();
            }
        });
    }
    void Start() { timer_.start(); }
    size_t done() const { return next_; }
    size_t size() const { return steps_.size(); }

  private:
    std::vector<Step> steps_;
    size_t next_ = 0;
    QTimer timer_;
};

bool Always() {
    return true;
}

// The question box that is up, as a window or inside one.
QMessageBox* OpenBox() {
    for (QWidget* widget = QApplication::focusWidget(); widget != nullptr;
         widget = widget->parentWidget()) {
        if (auto* box = qobject_cast<QMessageBox*>(widget)) {
            return box;
        }
    }
    return nullptr;
}

}  // namespace

class TestPadRouter : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { assets::InstallGameFont(); }

    void theChooserWalksItsControlsAndAGoesOn() {
        Fixture f;
        VirtualPad& pad = *f.pad;
        SharedState shared;
        FrmStart rules{f.fake.bundle, shared};
        DriveModal<StartWindow>(
            [&](StartWindow* w) {
                w->option(0)->setFocus();
                pad.Tap(SDL_CONTROLLER_BUTTON_DPAD_DOWN);  // to the check box
                QCOMPARE(QApplication::focusWidget(), w->check1());
                pad.Tap(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);  // unticks it
                QVERIFY(!w->check1()->isChecked());
                pad.Tap(SDL_CONTROLLER_BUTTON_DPAD_UP);
                pad.Tap(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);  // the next size

                QVERIFY(w->option(1)->isChecked());
                pad.Tap(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
                QCOMPARE(QApplication::focusWidget(), w->check1());
                pad.Tap(SDL_CONTROLLER_BUTTON_A);  // goes on from the check box too
            },
            [&] { ShowStartModal(rules, f.fake.bundle); });
        QVERIFY(rules.nextChosen);
        QCOMPARE(ReadFile(f.fake.SettingsFile()), std::string("[data]\nres=2\n"));
    }

    void theMenuChangesEachListAndTheCheckBoxThenAGoesOn() {
        Fixture f;
        VirtualPad& pad = *f.pad;
        SharedState shared;
        shared.ResWidth = 800;
        shared.ResHeight = 600;
        FrmMenu rules{f.fake.bundle, shared};
        DriveModal<MenuWindow>(
            [&](MenuWindow* w) {
                pad.Tap(SDL_CONTROLLER_BUTTON_DPAD_RIGHT);  // level 2
                pad.Tap(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
                QCOMPARE(QApplication::focusWidget(), w->cmbscolor());
                pad.Stick(30000, 0);  // the stick steps the list as the d-pad does
                pad.Stick(0, 0);
                pad.Tap(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
                pad.Tap(SDL_CONTROLLER_BUTTON_DPAD_DOWN);
                QCOMPARE(QApplication::focusWidget(), w->ch());
                pad.Tap(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
                QVERIFY(w->ch()->isChecked());
                pad.Tap(SDL_CONTROLLER_BUTTON_DPAD_UP);
                QCOMPARE(QApplication::focusWidget(), w->cmbbcolor());
                pad.Tap(SDL_CONTROLLER_BUTTON_B);  // never ends the program at once
                QVERIFY(w->isVisible());
                pad.Tap(SDL_CONTROLLER_BUTTON_Y);  // HighScore
                QCOMPARE(f.fake.boxes.shown.size(), size_t{1});
                pad.Tap(SDL_CONTROLLER_BUTTON_A);
            },
            [&] { ShowMenuModal(rules, f.fake.bundle); });
        QVERIFY(rules.nextChosen);
        QCOMPARE(shared.Level, 2);
        QCOMPARE(shared.SnakeColor, rules.controls.cmbscolor.items[1]);
        QCOMPARE(ReadIni(f.fake.SettingsFile(), "data", "ask", ""), std::string("0"));
    }

    // What only a mouse opens: the HighScore box and a list's open drop-down.
    void theHighScoreBoxAndAnOpenListTakeThePad() {
        fake::GamePads pads;
        views::PadRouter router(pads);
        TempFolder dir;
        fake::Platform fake{dir.path()};
        platform::QtMessageBoxes boxes(false);
        platform::Platform bundle{fake.clock,   fake.pump,   boxes,      fake.sound,
                                  fake.process, fake.screen, fake.random};
        SharedState shared;
        shared.ResWidth = 800;
        shared.ResHeight = 600;
        FrmMenu rules{bundle, shared};
        bool boxSeen = false;
        DriveModal<MenuWindow>(
            [&](MenuWindow* w) {
                QTimer::singleShot(50, [&] {
                    boxSeen = OpenBox() != nullptr;
                    pads.Press(PadButton::B);  // closes it
                });
                QTest::mouseClick(w, Qt::LeftButton, {}, w->HighScoreRect().center());
                QVERIFY(boxSeen);
                QVERIFY(OpenBox() == nullptr);
                w->cmbbcolor()->setFocus();
                w->cmbbcolor()->showPopup();
                pads.Press(PadButton::Down);
                pads.Press(PadButton::A);  // chooses the item and closes the list
                QVERIFY(QApplication::activePopupWidget() == nullptr);
                QCOMPARE(w->cmbbcolor()->currentIndex(), 1);
                QVERIFY(!rules.nextChosen);
                pads.Press(PadButton::A);
            },
            [&] { ShowMenuModal(rules, bundle); });
        QVERIFY(rules.nextChosen);
        QCOMPARE(shared.BorderColor, rules.controls.cmbbcolor.items[1]);
    }

    void aWholeGamePlayedWithPadsAlone_data() {
        QTest::addColumn<bool>("boxInside");
        QTest::newRow("Exit? as a window") << false;
        QTest::newRow("Exit? inside the game, as under Wayland") << true;
    }

    // Start, a turn with the d-pad and one with the stick, pause and go on, "Exit?" answered No
    // with the focused button and with B, a pad pulled out and another plugged in, and the
    // restart after the game.
    void aWholeGamePlayedWithPadsAlone() {
        QFETCH(bool, boxInside);
        Fixture f;
        std::optional<VirtualPad>& pad = f.pad;
        fake::Platform& fake = f.fake;
        platform::QtTickCounter clock;
        platform::QtEventPump pump;
        platform::QtMessageBoxes boxes(boxInside);
        platform::Platform bundle{clock,        pump,        boxes,      fake.sound,
                                  fake.process, fake.screen, fake.random};
        SharedState shared = fake::GameChoices(4);
        fake.random.fallback = 0.0;
        Sn rules{bundle, shared};
        auto press = [&pad](SDL_GameControllerButton button) {
            return std::vector<Script::Step>{{Always, [&pad, button] { pad->Set(button, true); }},
                                             {Always, [&pad, button] { pad->Set(button, false); }}};
        };
        auto when = [](std::function<bool()> ready) { return Script::Step{ready, [] {}}; };
        auto playing = [&rules] { return !rules.IsWaiting() && !rules.IsOver() && !OpenBox(); };
        std::vector<Script::Step> steps;
        auto add = [&steps](std::vector<Script::Step> more) {
            steps.insert(steps.end(), more.begin(), more.end());
        };
        add(press(SDL_CONTROLLER_BUTTON_START));
        add({when(playing)});
        add(press(SDL_CONTROLLER_BUTTON_DPAD_DOWN));
        add({when([&rules] { return rules.direction == "Y+"; })});
        add({{Always, [&pad] { pad->SetStick(-30000, 0); }},
             {[&rules] { return rules.direction == "X-"; }, [&pad] { pad->SetStick(0, 0); }}});
        add(press(SDL_CONTROLLER_BUTTON_START));
        add({when([&rules] { return rules.IsWaiting(); })});
        add(press(SDL_CONTROLLER_BUTTON_A));
        add({when(playing)});
        add(press(SDL_CONTROLLER_BUTTON_B));
        add({when([] { return OpenBox() != nullptr; })});
        add(press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT));  // from Yes to No
        add({when([] {
            return OpenBox() && QApplication::focusWidget() == OpenBox()->button(QMessageBox::No);
        })});
        add(press(SDL_CONTROLLER_BUTTON_A));
        add({when(playing)});
        add(press(SDL_CONTROLLER_BUTTON_BACK));
        add({when([] { return OpenBox() != nullptr; })});
        add(press(SDL_CONTROLLER_BUTTON_B));
        add({when(playing)});
        add({{Always, [&pad] { pad.reset(); }}});
        add({when([&rules] { return rules.IsWaiting(); })});
        add({{Always, [&f] { f.pad.emplace(f.devices.path()); }}});
        add({when([&f] { return f.pads.Count() == 1; })});
        add(press(SDL_CONTROLLER_BUTTON_A));
        add({when([&rules] { return rules.IsOver(); })});
        add({{Always, [&pad] { pad->Set(SDL_CONTROLLER_BUTTON_A, true); }}});  // restarts
        Script script(std::move(steps));
        // A game that stops short of the script ends the program, as nothing else would.
        QTimer::singleShot(30000, [&fake] { fake.process.End(); });
        DriveModal<GameWindow>([&script](GameWindow*) { script.Start(); },
                               [&] { ShowGameModal(rules, bundle); });
        QCOMPARE(script.done(), script.size());
        QVERIFY(rules.restartPressed);
        QCOMPARE(fake.process.endCalls, 0);
    }
};

QTEST_MAIN(TestPadRouter)
#include "test_pad_router.moc"
