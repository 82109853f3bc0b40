// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Game pads: how long a turn on a pad takes to show in the real game window, beside a key pressed
// the same way, and how often the program wakes with a pad lying untouched. The pads are made
// inside the process (SDL's virtual controllers) and read by the program's own pad code. A FIFO
// stands in for a pad's device node, written once at each press as a pad reports; a pad without
// one is read once per screen refresh. Keys are posted to the window as the window system's
// events are.
//
// Usage: kelvo-bench-pad [turns, default 100] [seconds of each wake-up count, default 5]
// Prints, for levels 5 and 10 and a pad with a node and one without:
//   "pad LEVEL NODE MEDIAN P90 P99 N" and "key LEVEL NODE MEDIAN P90 P99 N"
//   (ms from the press to the painted turn; turns alternate between pad and key, ten steps
//   apart, round a rectangle);
// then "wakeups PLACE PAD PER_SECOND" for the idle menu and a paused game with no pad, a quiet
// pad with a node, and a quiet pad without one (the main thread's sleeps that ended);
// then "refresh MS".
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QRandomGenerator>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "assets/font.h"
#include "game/game_window.h"
#include "menu/menu_window.h"
#include "platform/qt_platform.h"
#include "platform/sdl_game_pads.h"
#include "views/pad_router.h"

#include "bench_support.h"
#include "support/fake_platform.h"
#include "support/virtual_pad.h"

namespace {

using bench::NowMs;

// The game window, telling when it has painted.
class MeasuredWindow : public GameWindow {
  public:
    using GameWindow::GameWindow;
    std::function<void()> painted;

  protected:
    void paintEvent(QPaintEvent* event) override {
        GameWindow::paintEvent(event);
        if (painted) {
            painted();
        }
    }
};

struct Turn {
    SDL_GameControllerButton button;
    int key;
    const char* heading;
};
constexpr std::array<Turn, 4> kRectangle{{
    {SDL_CONTROLLER_BUTTON_DPAD_DOWN, Qt::Key_Down, "Y+"},
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, Qt::Key_Left, "X-"},
    {SDL_CONTROLLER_BUTTON_DPAD_UP, Qt::Key_Up, "Y-"},
    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, Qt::Key_Right, "X+"},
}};

void Post(QWidget* window, int key) {
    QCoreApplication::postEvent(window, new QKeyEvent(QEvent::KeyPress, key, Qt::NoModifier));
    QCoreApplication::postEvent(window, new QKeyEvent(QEvent::KeyRelease, key, Qt::NoModifier));
}

// The main thread's sleeps that ended so far: each is a wake-up.
long WakeUps() {
    QFile status(QStringLiteral("/proc/thread-self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("voluntary_ctxt_switches:")) {
            return line.mid(line.indexOf(':') + 1).trimmed().toLong();
        }
    }
    return 0;
}

// The program's pads with one virtual pad plugged in before they start, as a pad lying on the
// desk is, or none; with a FIFO standing in for its node, or none.
class Pads {
  public:
    Pads(const std::string& folder, bool plugged, bool withNode) : node_(folder + "/node") {
        ::mkfifo(node_.c_str(), 0600);
        report_ = ::open(node_.c_str(), O_RDWR | O_NONBLOCK);
        SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
        if (plugged) {
            pad.emplace(folder + "/devices");
        }
        pads_.emplace(folder + "/devices",
                      [this, withNode](std::int32_t) { return withNode ? node_ : std::string(); });
        router_.emplace(*pads_);
        pads_->SetActive(true);
    }
    ~Pads() {
        router_.reset();
        pad.reset();  // before SDL ends with the pads
        pads_.reset();
        ::close(report_);
        ::unlink(node_.c_str());
    }
    Pads(const Pads&) = delete;
    Pads& operator=(const Pads&) = delete;

    // The pad reports: its node becomes readable.
    void Report() { (void)!::write(report_, "r", 1); }

    std::optional<VirtualPad> pad;

  private:
    std::string node_;
    int report_ = -1;
    std::optional<platform::SdlGamePads> pads_;
    std::optional<views::PadRouter> router_;
};

void PrintLatency(const char* who, int level, bool node, const std::vector<double>& ms) {
    std::printf("%s %d %s %.2f %.2f %.2f %zu\n", who, level, node ? "node" : "polled",
                bench::Percentile(ms, 0.5), bench::Percentile(ms, 0.9), bench::Percentile(ms, 0.99),
                ms.size());
}

void MeasureLatency(const std::string& folder, int level, bool node, size_t turns) {
    std::filesystem::create_directories(folder + "/devices");
    Pads pads(folder, true, node);
    VirtualPad& pad = *pads.pad;
    fake::Platform fake(folder);
    platform::QtTickCounter clock;
    platform::QtEventPump pump;
    platform::Platform bundle{clock,        pump,        fake.boxes, fake.sound,
                              fake.process, fake.screen, fake.random};
    SharedState shared = fake::GameChoices(level);
    Sn rules(bundle, shared);

    std::vector<double> padMs;
    std::vector<double> keyMs;
    while (padMs.size() + keyMs.size() < turns && !fake.process.Ended()) {
        MeasuredWindow window(rules, bundle);
        size_t next = 0;
        double pressedAt = -1;
        const char* awaited = nullptr;
        bool byPad = false;
        window.painted = [&] {
            if (awaited != nullptr && rules.direction == awaited) {
                (byPad ? padMs : keyMs).push_back(NowMs() - pressedAt);
                awaited = nullptr;
            }
        };
        QTimer turner;
        turner.setTimerType(Qt::PreciseTimer);
        turner.setSingleShot(true);
        QObject::connect(&turner, &QTimer::timeout, [&] {
            // Ten steps a side, so the snake goes round a rectangle well inside the walls.
            const int turnEveryMs = 10 * rules.tickInterval;
            if (padMs.size() + keyMs.size() >= turns) {
                fake.process.End();  // stops the game where it stands
                return;
            }
            if (rules.IsOver()) {
                Post(&window, Qt::Key_F2);
                return;
            }
            const Turn& turn = kRectangle[next % kRectangle.size()];
            byPad = (padMs.size() + keyMs.size()) % 2 == 0;
            awaited = turn.heading;
            pressedAt = NowMs();
            if (byPad) {
                pad.Set(turn.button, true);
                pads.Report();
                QTimer::singleShot(turnEveryMs / 2, [&pad, &pads, turn] {
                    pad.Set(turn.button, false);
                    pads.Report();
                });
            } else {
                Post(&window, turn.key);
            }
            ++next;
            // A press comes at any moment of a step and of a refresh, as a player's does.
            turner.start(turnEveryMs + static_cast<int>(QRandomGenerator::global()->bounded(17)));
        });
        QTimer::singleShot(300, [&window] { Post(&window, Qt::Key_Space); });
        QTimer::singleShot(400, [&turner] { turner.start(0); });
        ShowGameModal(rules, bundle, window);
    }
    PrintLatency("pad", level, node, padMs);
    PrintLatency("key", level, node, keyMs);
}

// Wake-ups a second over `seconds` in the idle menu or in a paused game.
double CountWakeUps(const std::string& folder, bool inGame, bool plugged, bool node, int seconds) {
    std::filesystem::create_directories(folder + "/devices");
    Pads pads(folder, plugged, node);
    fake::Platform fake(folder);
    platform::QtTickCounter clock;
    platform::QtEventPump pump;
    platform::Platform bundle{clock,        pump,        fake.boxes, fake.sound,
                              fake.process, fake.screen, fake.random};
    SharedState shared = fake::GameChoices(5);
    long before = 0;
    double startedAt = 0;
    double perSecond = 0;
    auto measure = [&] {
        before = WakeUps();
        startedAt = NowMs();
        QTimer::singleShot(seconds * 1000, [&] {
            perSecond = 1000.0 * static_cast<double>(WakeUps() - before) / (NowMs() - startedAt);
            fake.process.End();
            if (QWidget* window = QApplication::activeModalWidget()) {
                window->close();  // the menu has no clock loop to see the end
            }
        });
    };
    if (inGame) {
        Sn rules(bundle, shared);
        GameWindow window(rules, bundle);
        QTimer::singleShot(300, [&window] { Post(&window, Qt::Key_Space); });
        QTimer::singleShot(500, [&window] { Post(&window, Qt::Key_P); });
        QTimer::singleShot(1000, measure);
        ShowGameModal(rules, bundle, window);
    } else {
        FrmMenu rules(bundle, shared);
        QTimer::singleShot(1000, measure);
        ShowMenuModal(rules, bundle);
    }
    return perSecond;
}

}  // namespace

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IOLBF, 0);  // each figure as soon as it is measured
    QApplication app(argc, argv);
    assets::InstallGameFont();
    const size_t turns = argc > 1 ? static_cast<size_t>(std::max(2, std::atoi(argv[1]))) : 100;
    const int seconds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    QTemporaryDir dir;
    int run = 0;
    auto folder = [&dir, &run] { return dir.path().toStdString() + "/" + std::to_string(++run); };
    for (const int level : {5, 10}) {
        for (const bool node : {true, false}) {
            MeasureLatency(folder(), level, node, turns);
        }
    }
    for (const bool inGame : {false, true}) {
        const char* place = inGame ? "paused" : "menu";
        std::printf("wakeups %s none %.1f\n", place,
                    CountWakeUps(folder(), inGame, false, false, seconds));
        std::printf("wakeups %s quiet-node %.1f\n", place,
                    CountWakeUps(folder(), inGame, true, true, seconds));
        std::printf("wakeups %s quiet-polled %.1f\n", place,
                    CountWakeUps(folder(), inGame, true, false, seconds));
    }
    const QScreen* screen = QGuiApplication::primaryScreen();
    std::printf("refresh %.2f\n", screen != nullptr && screen->refreshRate() > 1
                                      ? 1000.0 / screen->refreshRate()
                                      : 16.0);
    return 0;
}
