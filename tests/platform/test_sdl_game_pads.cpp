// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Game pads through SDL as the program reads them, with pads made inside the test process:
// plugged in and out, several at once, the stick, and no reading while nothing needs it.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QTest>
#include <optional>
#include <vector>

#include "platform/sdl_game_pads.h"
#include "support/temp_folder.h"
#include "support/virtual_pad.h"

using platform::PadButton;
using platform::PadEvent;

namespace {

struct Fixture {
    TempFolder devices;
    platform::SdlGamePads pads{devices.path()};
    std::vector<PadEvent> events;
    Fixture() {
        pads.SetHandler([this](const PadEvent& event) { events.push_back(event); });
    }
    std::vector<PadButton> Presses() const {
        std::vector<PadButton> presses;
        for (const PadEvent& event : events) {
            if (event.kind == PadEvent::Kind::Pressed) {
                presses.push_back(event.button);
            }
        }
        return presses;
    }
};

}  // namespace

class TestSdlGamePads : public QObject {
    Q_OBJECT
  private slots:
    void padsComeAndGoAndAllPlayWithoutPollingWhileNoneIsThere() {
        Fixture f;
        QCOMPARE(f.pads.Count(), 0);
        QVERIFY(!f.pads.Polling());
        {
            VirtualPad one(f.devices.path());
            QTRY_COMPARE(f.pads.Count(), 1);
            QVERIFY(f.pads.Polling());
            VirtualPad two(f.devices.path());
            QTRY_COMPARE(f.pads.Count(), 2);
            one.Tap(SDL_CONTROLLER_BUTTON_A);
            two.Tap(SDL_CONTROLLER_BUTTON_START);
            one.Tap(SDL_CONTROLLER_BUTTON_DPAD_LEFT);
            QCOMPARE(f.Presses(),
                     (std::vector<PadButton>{PadButton::A, PadButton::Start, PadButton::Left}));
            two.Unplug();
            QTRY_COMPARE(f.pads.Count(), 1);
            QCOMPARE(f.events.back().kind, PadEvent::Kind::Unplugged);
        }
        QTRY_COMPARE(f.pads.Count(), 0);
        QVERIFY(!f.pads.Polling());
    }

    void theStickTurnsOncePerPushAndTheStrongerAxisWins() {
        Fixture f;
        VirtualPad pad(f.devices.path());
        QTRY_COMPARE(f.pads.Count(), 1);
        pad.Stick(-12000, 0);       // in the dead zone
        pad.Stick(-20000, 9000);    // a push to the left
        pad.Stick(-32000, 15000);   // the same push, further
        pad.Stick(-12000, 4000);    // eased off, short of rest
        pad.Stick(-25000, 0);       // and pushed again: still the same push
        pad.Stick(-20000, -26000);  // turned up without resting
        pad.Stick(3000, -3000);     // at rest
        pad.Stick(2000, 30000);     // down
        pad.Stick(0, 0);
        pad.Stick(20000, 30000);  // from rest straight to a diagonal: the stronger axis only
        pad.Stick(30000, 20000);  // turned right without resting
        pad.Stick(0, 0);          // and let go from a diagonal: nothing
        QCOMPARE(f.Presses(),
                 (std::vector<PadButton>{PadButton::Left, PadButton::Up, PadButton::Down,
                                         PadButton::Down, PadButton::Right}));
    }

    void anInactiveProgramReadsNoPadAndDropsWhatWasPressedMeanwhile() {
        Fixture f;
        f.pads.SetActive(false);
        VirtualPad pad(f.devices.path());
        QTRY_COMPARE(f.pads.Count(), 1);  // plugging in is still seen
        QVERIFY(!f.pads.Polling());
        // Held as the program becomes active, with no look between: the press is first seen
        // then, and was made while another program was active.
        pad.Set(SDL_CONTROLLER_BUTTON_A, true);
        f.pads.SetActive(true);
        QVERIFY(f.pads.Polling());
        QTest::qWait(50);
        pad.Set(SDL_CONTROLLER_BUTTON_A, false);
        pad.Tap(SDL_CONTROLLER_BUTTON_B);
        QCOMPARE(f.Presses(), std::vector<PadButton>{PadButton::B});
    }

    // A pad whose device node is watched costs nothing while it is quiet, and is read once when
    // it reports something. A FIFO stands in for the node.
    void aQuietPadIsNotLookedAtAndOneThatSpeaksIsLookedAtOnce() {
        TempFolder devices;
        TempFolder nodes;
        const std::string node = nodes.File("event-node");
        QVERIFY(::mkfifo(node.c_str(), 0600) == 0);
        const int report = ::open(node.c_str(), O_RDWR | O_NONBLOCK);  // keeps it open
        QVERIFY(report >= 0);
        std::optional<platform::SdlGamePads> pads;
        SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);  // the pad is there before the program
        VirtualPad pad(devices.path());
        pads.emplace(devices.path(), [&node](std::int32_t) { return node; });
        std::vector<PadButton> presses;
        pads->SetHandler([&presses](const PadEvent& event) { presses.push_back(event.button); });
        QCOMPARE(pads->Count(), 1);
        QVERIFY(!pads->Polling());
        const int looks = pads->Looks();
        QTest::qWait(100);  // six screen refreshes
        QCOMPARE(pads->Looks(), looks);
        pad.Set(SDL_CONTROLLER_BUTTON_A, true);
        QCOMPARE(::write(report, "r", 1), ssize_t{1});
        QTRY_COMPARE(presses, std::vector<PadButton>{PadButton::A});
        QTest::qWait(50);
        QCOMPARE(pads->Looks(), looks + 1);
        ::close(report);
    }
};

QTEST_MAIN(TestSdlGamePads)
#include "test_sdl_game_pads.moc"
