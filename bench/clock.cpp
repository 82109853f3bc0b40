// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The game clock's benchmark: plays a steered game in the real game window (offscreen) at levels
// 1, 5 and 10, first with the program's sleeping clock loop and then with a literal busy-polling
// one, and prints per run the tick intervals, the lateness of each tick after the moment it was
// due, and the CPU time spent, as a share of one core.
//
// Usage: kelvo-bench-clock [seconds per run, default 10] [level ...]
// With levels named, only the sleeping clock runs, at those levels (for profiling).
//        kelvo-bench-clock SECONDS floor MS ...   only the bare timerfd loop, at those steps
#include <sys/resource.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "assets/font.h"
#include "game/game_window.h"
#include "platform/keys.h"
#include "platform/qt_platform.h"

#include "bench_support.h"
#include "support/fake_platform.h"

namespace {

using namespace bench;

// The baseline: a pump that never sleeps, as a loop that polls the counter without pausing.
class BusyPump : public platform::EventPump {
  public:
    void DoEvents() override { QCoreApplication::processEvents(QEventLoop::AllEvents); }
    bool WaitUntil(std::uint32_t) override { return false; }
};

struct Tick {
    std::uint32_t reading;  // the counter when the tick fired
    double at;              // milliseconds, monotonic
};

// The game window, steering the snake round a rectangle inside the walls after every tick, and
// keeping the food in the middle, off the snake's way.
class SteeredWindow : public GameWindow {
  public:
    SteeredWindow(Sn& rules, platform::Platform& platform, double seconds)
        : GameWindow(rules, platform), rules_(rules), seconds_(seconds) {}

    void Refresh() override {
        if (rules_.loopRunning && rules_.tickStart != lastTickStart_) {
            lastTickStart_ = rules_.tickStart;
            ticks.push_back({rules_.tickStart, NowMs()});
            Steer();
            if (ticks.front().at + seconds_ * 1000 < ticks.back().at) {
                rules_.clockOn = false;  // the run is over; the loop ends
            }
        }
        GameWindow::Refresh();
    }

    std::vector<Tick> ticks;

  private:
    void Steer() {
        const Sn::Controls& c = rules_.controls;
        const Box& head = c.s[0].box;
        const float step = 360;
        const float left = 210 + step, top = 210 + step;
        const float right = c.window.Width - 210 - step - 240;
        const float bottom = c.window.Height - 210 - step - 240;
        const std::string& d = rules_.direction;
        if (d == "X+" && head.Left + step > right) {
            rules_.direction = "Y+";
        } else if (d == "Y+" && head.Top + step > bottom) {
            rules_.direction = "X-";
        } else if (d == "X-" && head.Left - step < left) {
            rules_.direction = "Y-";
        } else if (d == "Y-" && head.Top - step < top) {
            rules_.direction = "X+";
        }
        rules_.controls.pban.box.Left = c.window.Width / 2;
        rules_.controls.pban.box.Top = c.window.Height / 2;
    }

    Sn& rules_;
    double seconds_;
    std::uint32_t lastTickStart_ = 0;
};

struct Result {
    int level = 0;
    int interval = 0;
    size_t ticks = 0;
    double minMs = 0, medianMs = 0, p99Ms = 0, maxMs = 0;
    std::int32_t minReading = 0;
    double lateMedian = 0, lateP99 = 0;
    double cpuPercent = 0;
};

Result Run(int level, bool busy, double seconds, const std::string& folder) {
    platform::QtTickCounter clock;
    platform::QtEventPump sleeping;
    BusyPump spinning;
    fake::Boxes answers;  // every question answered Yes
    fake::Sound silence;
    fake::Process end(folder);
    platform::QtScreen screen;
    fake::Random random;  // always 0.5
    platform::EventPump& pump = busy ? static_cast<platform::EventPump&>(spinning) : sleeping;
    platform::Platform bundle{clock, pump, answers, silence, end, screen, random};
    SharedState shared = fake::GameChoices(level);
    shared.ResWidth = 1024;
    shared.ResHeight = 768;
    shared.SnakeColor = "Green";
    shared.BorderColor = "Orange";
    Sn rules(bundle, shared);
    SteeredWindow window(rules, bundle, seconds);
    double cpuStart = 0;
    double wallStart = 0;
    double cpuEnd = 0;
    double wallEnd = 0;
    QTimer::singleShot(50, &window, [&] {
        cpuStart = CpuMs();
        wallStart = NowMs();
        rules.Form_KeyDown(platform::key::Space, 0);  // plays until the steering ends the run
        cpuEnd = CpuMs();
        wallEnd = NowMs();
        rules.Form_KeyDown(platform::key::Escape, 0);  // "Exit?" answered Yes: the window closes
    });
    ShowGameModal(rules, bundle, window);

    Result r;
    r.level = level;
    r.interval = rules.tickInterval;
    r.ticks = window.ticks.size();
    std::vector<double> intervals, lateness;
    r.minReading = INT32_MAX;
    for (size_t i = 1; i < window.ticks.size(); ++i) {
        const Tick& a = window.ticks[i - 1];
        const Tick& b = window.ticks[i];
        intervals.push_back(b.at - a.at);
        r.minReading = std::min(r.minReading, platform::TicksBetween(a.reading, b.reading));
        // Due when the counter reached the previous tick's reading plus the interval: the
        // start of that millisecond, which lies up to 1 ms after a's sub-millisecond time.
        const double dueAt = (a.at - std::fmod(a.at, 1.0)) + r.interval;
        lateness.push_back(std::max(0.0, b.at - dueAt));
    }
    if (!intervals.empty()) {
        r.minMs = *std::min_element(intervals.begin(), intervals.end());
        r.maxMs = *std::max_element(intervals.begin(), intervals.end());
    }
    r.medianMs = Percentile(intervals, 0.5);
    r.p99Ms = Percentile(intervals, 0.99);
    r.lateMedian = Percentile(lateness, 0.5);
    r.lateP99 = Percentile(lateness, 0.99);
    r.cpuPercent = wallEnd > wallStart ? 100.0 * (cpuEnd - cpuStart) / (wallEnd - wallStart) : 0;
    return r;
}

// The machine's own floor: a bare timerfd loop waking at each interval, without Qt or the game.
Result Floor(int level, int interval, double seconds) {
    const int fd = timerfd_create(CLOCK_MONOTONIC, 0);
    Result r;
    r.level = level;
    r.interval = interval;
    std::vector<double> intervals, lateness;
    const double cpuStart = CpuMs();
    const double wallStart = NowMs();
    double previous = wallStart;
    while (NowMs() - wallStart < seconds * 1000) {
        const double due = std::floor(previous) + interval;
        itimerspec wake{};
        wake.it_value.tv_sec = static_cast<time_t>(due / 1000);
        wake.it_value.tv_nsec = static_cast<long>(std::fmod(due, 1000.0) * 1e6);
        timerfd_settime(fd, TFD_TIMER_ABSTIME, &wake, nullptr);
        std::uint64_t expirations = 0;
        if (read(fd, &expirations, sizeof expirations) < 0) {
            break;
        }
        const double now = NowMs();
        intervals.push_back(now - previous);
        lateness.push_back(now - due);
        previous = now;
    }
    r.cpuPercent = 100.0 * (CpuMs() - cpuStart) / (NowMs() - wallStart);
    close(fd);
    r.ticks = intervals.size();
    r.minMs = *std::min_element(intervals.begin(), intervals.end());
    r.maxMs = *std::max_element(intervals.begin(), intervals.end());
    r.medianMs = Percentile(intervals, 0.5);
    r.p99Ms = Percentile(intervals, 0.99);
    r.minReading = interval;
    r.lateMedian = Percentile(lateness, 0.5);
    r.lateP99 = Percentile(lateness, 0.99);
    return r;
}

void Print(const char* clock, const Result& r) {
    std::printf("%-8s %5d %6d %6zu %7.2f %7.2f %7.2f %7.2f %7d %8.3f %8.3f %7.2f\n", clock, r.level,
                r.interval, r.ticks, r.minMs, r.medianMs, r.p99Ms, r.maxMs, r.minReading,
                r.lateMedian, r.lateP99, r.cpuPercent);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    assets::InstallGameFont();
    const double seconds = argc > 1 ? std::max(1.0, std::atof(argv[1])) : 10.0;
    const std::string folder = QDir::tempPath().toStdString();
    std::printf("Game clock, %.0f s per run, 1024x768, real game window (%s)\n", seconds,
                qPrintable(QGuiApplication::platformName()));
    std::printf("%-8s %5s %6s %6s %7s %7s %7s %7s %7s %8s %8s %7s\n", "clock", "level", "ms",
                "ticks", "min", "median", "p99", "max", "min-ctr", "late-med", "late-p99", "cpu%");
    std::vector<std::pair<Result, Result>> pairs;
    if (argc > 3 && std::string(argv[2]) == "floor") {
        for (int i = 3; i < argc; ++i) {
            Print("floor", Floor(0, std::atoi(argv[i]), seconds));
        }
        return 0;
    }
    if (argc > 2) {
        for (int i = 2; i < argc; ++i) {
            Print("sleeping", Run(std::atoi(argv[i]), false, seconds, folder));
        }
        return 0;
    }
    for (const int level : {1, 5, 10}) {
        const Result sleeping = Run(level, false, seconds, folder);
        Print("sleeping", sleeping);
        std::fflush(stdout);
        const Result busy = Run(level, true, seconds, folder);
        Print("busy", busy);
        Print("floor", Floor(level, sleeping.interval, seconds));
        std::fflush(stdout);
        pairs.emplace_back(sleeping, busy);
    }
    std::printf(
        "\nIntervals and lateness in ms; min-ctr is the shortest interval as the counter reads "
        "it.\n"
        "sleeping: the game's clock loop; busy: the same loop polling without pause; floor: a "
        "bare\n"
        "timerfd wait on this machine, the least lateness any sleeping clock can have here.\n"
        "Targets: min-ctr >= ms; late-med <= 0.3; late-p99 <= 2; cpu%% <= 2 at level 10.\n\n"
        "CPU, busy polling / sleeping:\n");
    for (const auto& [sleeping, busy] : pairs) {
        std::printf("  level %2d: %6.2f %% / %5.2f %% = %.0fx\n", sleeping.level, busy.cpuPercent,
                    sleeping.cpuPercent,
                    sleeping.cpuPercent > 0 ? busy.cpuPercent / sleeping.cpuPercent : 0.0);
    }
    return 0;
}
