// Pad to screen: how long a turn on a game pad takes to show in the real game window, beside a
// key pressed the same way. The pad is made inside the process (SDL's virtual controller) and
// read by the program's own pad code, one look per screen refresh; the keys are posted to the
// window as the window system's events are. Turns alternate between the two, going round a
// rectangle at level 1, one every 400 to 416 ms; a game that ends is played again.
//
// Usage: kelvo-bench-pad [turns, default 100]
// Prints "pad MEDIAN P90 MAX", "key MEDIAN P90 MAX" (ms from the press to the painted turn),
// "refresh MS" (a screen refresh) and "idle-cpu WITH WITHOUT" (% of a core over 5 s with nothing
// happening, a pad plugged in and read, then none).
#include <QApplication>
#include <QKeyEvent>
#include <QRandomGenerator>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "assets/font.h"
#include "game/game_window.h"
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

void Print(const char* name, const std::vector<double>& ms) {
    std::printf("%s %.2f %.2f %.2f %zu\n", name, bench::Percentile(ms, 0.5),
                bench::Percentile(ms, 0.9), bench::Percentile(ms, 1.0), ms.size());
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    assets::InstallGameFont();
    const size_t turns = argc > 1 ? static_cast<size_t>(std::max(2, std::atoi(argv[1]))) : 100;
    QTemporaryDir dir;
    const std::string devices = dir.path().toStdString();
    platform::SdlGamePads pads(devices);
    views::PadRouter router(pads);
    VirtualPad pad(devices);

    fake::Platform fake(devices);
    platform::QtTickCounter clock;
    platform::QtEventPump pump;
    platform::Platform bundle{clock,        pump,        fake.boxes, fake.sound,
                              fake.process, fake.screen, fake.random};
    SharedState shared = fake::GameChoices(1);
    Sn rules(bundle, shared);

    std::vector<double> padMs;
    std::vector<double> keyMs;
    while (padMs.size() + keyMs.size() < turns) {
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
            if (padMs.size() + keyMs.size() >= turns) {
                turner.stop();
                fake.process.End();  // stops the game where it stands
                return;
            }
            if (rules.IsOver()) {
                turner.stop();
                Post(&window, Qt::Key_F2);
                return;
            }
            const Turn& turn = kRectangle[next % kRectangle.size()];
            byPad = (padMs.size() + keyMs.size()) % 2 == 0;
            awaited = turn.heading;
            pressedAt = NowMs();
            if (byPad) {
                pad.Set(turn.button, true);
                QTimer::singleShot(60, [&pad, turn] { pad.Set(turn.button, false); });
            } else {
                Post(&window, turn.key);
            }
            ++next;
            // A press comes at any moment of the pads' look interval, as a player's does.
            turner.start(400 + static_cast<int>(QRandomGenerator::global()->bounded(17)));
        });
        // The turns fall between the game's steps (every 200 ms): a paint follows the one before
        // by a screen refresh at the least, and a turn just after a step would wait for that.
        QTimer::singleShot(300, [&window] { Post(&window, Qt::Key_Space); });
        QTimer::singleShot(400, [&turner] { turner.start(400); });
        ShowGameModal(rules, bundle, window);
    }
    // What the looks cost while a pad is plugged in and nothing happens, beside none plugged in.
    auto idleCpu = [] {
        const double cpu = bench::CpuMs();
        const double wall = NowMs();
        VirtualPad::Wait(5000);
        return 100.0 * (bench::CpuMs() - cpu) / (NowMs() - wall);
    };
    pads.SetActive(true);
    const double withPad = idleCpu();
    pad.Unplug();
    VirtualPad::Wait(100);
    const double withoutPad = pads.Polling() ? -1 : idleCpu();
    std::printf("pad-latency, level 1, %s, %zu turns\n",
                qPrintable(QGuiApplication::platformName()), turns);
    Print("pad", padMs);
    Print("key", keyMs);
    const QScreen* screen = QGuiApplication::primaryScreen();
    std::printf("refresh %.2f\n", screen != nullptr && screen->refreshRate() > 1
                                      ? 1000.0 / screen->refreshRate()
                                      : 16.0);
    std::printf("idle-cpu %.3f %.3f\n", withPad, withoutPad);
    return 0;
}
