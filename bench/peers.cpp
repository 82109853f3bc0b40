// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Kelvo Snake beside a peer a Linux player has (KDE's KSnakeDuel in its single-player snake
// mode), measured the same way from outside: time from exec to the first window mapped, peak
// memory, CPU per snake step, and the time from a turn key to the screen showing the turn. The
// snake is found on the screen by what changes as it moves, so nothing of either program's
// drawing is assumed but that its head steps from cell to cell.
//
// Usage: kelvo-bench-peers kelvo PROGRAM_DIR SECONDS TURNS
//        kelvo-bench-peers ksnakeduel SECONDS TURNS     (needs DBUS_SESSION_BUS_ADDRESS)
// Prints "start MS", one "latency MS" per turn key, and "summary RSS_MB CPU_US_PER_STEP STEPS".
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench_support.h"
#include "x11_session.h"

namespace {

using bench::x11::display;

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
};

std::vector<unsigned long> Grab(const Rect& r) {
    std::vector<unsigned long> pixels;
    XImage* image =
        XGetImage(display, DefaultRootWindow(display), r.x, r.y, r.w, r.h, AllPlanes, ZPixmap);
    if (image == nullptr) {
        return pixels;
    }
    pixels.reserve(static_cast<size_t>(r.w) * r.h);
    for (int y = 0; y < r.h; ++y) {
        for (int x = 0; x < r.w; ++x) {
            pixels.push_back(XGetPixel(image, x, y) & 0xFFFFFF);
        }
    }
    XDestroyImage(image);
    return pixels;
}

unsigned long PixelAt(int x, int y) {
    XImage* image = XGetImage(display, DefaultRootWindow(display), x, y, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr) {
        return 0;
    }
    const unsigned long p = XGetPixel(image, 0, 0) & 0xFFFFFF;
    XDestroyImage(image);
    return p;
}

// Where the head is, how far it steps, found from three steps of the snake heading right: the
// changed pixels' right edge moves on by one step each time.
struct Head {
    int x = 0, y = 0;  // the middle of the head's block on the screen
    int step = 0;      // pixels per step
};

bool FindHead(const Rect& area, Head& head) {
    std::vector<int> rights;
    std::vector<unsigned long> before = Grab(area), changedAt;
    std::vector<char> changed;
    const double until = bench::NowMs() + 3000;
    while (rights.size() < 4 && bench::NowMs() < until) {
        usleep(1000);
        std::vector<unsigned long> now = Grab(area);
        if (now.size() != before.size() || now == before) {
            continue;
        }
        int right = -1;
        changed.assign(now.size(), 0);
        for (size_t i = 0; i < now.size(); ++i) {
            if (now[i] != before[i]) {
                changed[i] = 1;
                right = std::max(right, static_cast<int>(i % static_cast<size_t>(area.w)));
            }
        }
        rights.push_back(right);
        before.swap(now);
    }
    if (rights.size() < 4 || rights[3] - rights[2] <= 0 ||
        rights[3] - rights[2] != rights[2] - rights[1]) {
        return false;
    }
    head.step = rights[3] - rights[2];
    // The head's rows: the changed pixels in the last step's right-most column; its width: the
    // changed run leftwards from there.
    int top = area.h, bottom = -1;
    for (int y = 0; y < area.h; ++y) {
        if (changed[static_cast<size_t>(y * area.w + rights[3])]) {
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    if (bottom < 0) {
        return false;
    }
    const int row = (top + bottom) / 2;
    int left = rights[3];
    while (left > 0 && rights[3] - left < head.step &&
           changed[static_cast<size_t>(row * area.w + left - 1)]) {
        --left;
    }
    head.x = area.x + (left + rights[3]) / 2;
    head.y = area.y + row;
    return true;
}

struct Dir {
    int dx, dy;
    KeySym key;
};
constexpr Dir kRight{1, 0, XK_Right}, kDown{0, 1, XK_Down}, kLeft{-1, 0, XK_Left},
    kUp{0, -1, XK_Up};

pid_t Spawn(const std::vector<std::string>& command, const std::string& folder) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (!folder.empty() && chdir(folder.c_str()) != 0) {
            _exit(127);
        }
        (void)!freopen("/dev/null", "w", stderr);  // the program's chatter is not the figures
        std::vector<char*> args;
        for (const std::string& part : command) {
            args.push_back(const_cast<char*>(part.c_str()));
        }
        args.push_back(nullptr);
        execv(args[0], args.data());
        _exit(127);
    }
    return pid;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string which = argc > 1 ? argv[1] : "";
    const bool kelvo = which == "kelvo";
    if ((kelvo && argc != 5) || (!kelvo && (which != "ksnakeduel" || argc != 4))) {
        std::fprintf(stderr,
                     "usage: %s kelvo PROGRAM_DIR SECONDS TURNS | ksnakeduel SECONDS TURNS\n",
                     argv[0]);
        return 2;
    }
    if (!bench::x11::Open()) {
        return 2;
    }
    const double seconds = std::atof(argv[kelvo ? 3 : 2]);
    const long turnsWanted = std::atol(argv[kelvo ? 4 : 3]);

    // Start, and time exec to the first window mapped.
    bench::x11::Game game;
    Window window = 0;
    if (kelvo) {
        // Level 2: a step every 100 ms, as the peer's.
        game = bench::x11::Launch(argv[2], "[data]\nres=3\nask=1\nfull=1\nlvl=2\n");
        window = bench::x11::WaitForMapOfClass("kelvo-snake");  // the chooser, passing by
        std::printf("start %.1f\n", bench::NowMs() - game.startedMs);
        window = bench::x11::WaitForMap("Snake Menu");
    } else {
        game.startedMs = bench::NowMs();
        game.pid = Spawn({"/usr/games/ksnakeduel", "--snake"}, "");
        window = bench::x11::WaitForMapOfClass("ksnakeduel");
    }
    if (window == 0) {
        bench::x11::Finish(game);
        return 1;
    }
    if (!kelvo) {
        std::printf("start %.1f\n", bench::NowMs() - game.startedMs);
    }
    usleep(kelvo ? 200000 : 1500000);
    if (kelvo) {
        bench::x11::Key(XK_Return);
        window = bench::x11::WaitForMap("Kelvo Snake");
        usleep(400000);
    } else {
        XSetInputFocus(display, window, RevertToParent, CurrentTime);
        XSync(display, False);
        usleep(200000);
    }
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, window, &attributes);
    Window child = 0;
    Rect area;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &area.x, &area.y,
                          &child);
    area.w = attributes.width;
    area.h = attributes.height;
    bench::x11::Key(kelvo ? XK_space : XK_Right);  // both start heading right

    Head head;
    if (!FindHead(area, head)) {
        std::fprintf(stderr, "the snake's head was not found\n");
        bench::x11::Finish(game);
        return 1;
    }
    // Round a square of five steps a side, clockwise, turning at random moments of a step.
    const Dir order[] = {kRight, kDown, kLeft, kUp};
    int heading = 0, along = 0;
    long turns = 0, steps = 0;
    const double cpuStart = bench::x11::CpuMsOf(game.pid);
    const double start = bench::NowMs();
    std::srand(static_cast<unsigned>(start));
    double pressAt = -1, pressedAt = -1;
    int target = heading;
    auto cell = [&](const Dir& d, int n) {
        return PixelAt(head.x + d.dx * head.step * n, head.y + d.dy * head.step * n);
    };
    unsigned long aheadWas = cell(order[heading], 1);
    unsigned long turnWas = 0;
    double lastMove = start;
    while (bench::NowMs() - start < seconds * 1000 && turns < turnsWanted) {
        const double now = bench::NowMs();
        if (now - lastMove > 2000) {
            break;  // the game is over
        }
        if (pressAt >= 0 && now >= pressAt) {
            target = (heading + 1) % 4;
            turnWas = cell(order[target], 1);
            pressedAt = bench::NowMs();
            bench::x11::Key(order[target].key);
            pressAt = -1;
        }
        if (pressedAt >= 0 && cell(order[target], 1) != turnWas) {
            std::printf("latency %.3f\n", bench::NowMs() - pressedAt);
            head.x += order[target].dx * head.step;
            head.y += order[target].dy * head.step;
            heading = target;
            along = 1;
            pressedAt = -1;
            ++turns;
            ++steps;
            lastMove = now;
            aheadWas = cell(order[heading], 1);
            continue;
        }
        if (cell(order[heading], 1) != aheadWas) {
            head.x += order[heading].dx * head.step;
            head.y += order[heading].dy * head.step;
            ++along;
            ++steps;
            lastMove = now;
            aheadWas = cell(order[heading], 1);
            if (pressedAt >= 0) {
                turnWas = cell(order[target], 1);  // a step came first: the turn is from here
            } else if (pressAt < 0 && along >= 4) {
                pressAt = now + 90.0 * std::rand() / RAND_MAX;
            }
        }
        usleep(100);
    }
    const double cpuMs = bench::x11::CpuMsOf(game.pid) - cpuStart;
    const long rss = bench::x11::PeakRssKb(game.pid);
    if (kelvo) {
        bench::x11::Finish(game);
    } else {
        kill(game.pid, SIGKILL);
        waitpid(game.pid, nullptr, 0);
    }
    std::printf("summary %.1f %.1f %ld\n", rss / 1024.0, steps > 0 ? cpuMs * 1000.0 / steps : 0.0,
                steps);
    return 0;
}
