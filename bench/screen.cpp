// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// What the player sees, and when: the real program at 1024x768 on the X server in DISPLAY
// (Xvfb, the game covering the screen), steered round a small square by XTest keys while this
// program polls the screen around the snake's head, a few pixels at a time, thousands of times
// a second.
//
// Usage: kelvo-bench-screen PROGRAM_DIR LEVEL SECONDS [TURNS [SETTING]]
// SETTING: one more line for data.ini, such as "cues=1".
// Prints one line per turn key, "latency MS": from sending the key to the first screen showing
// the head in the new direction. A player's key comes at any moment between two steps, so each
// turn is sent at a random moment of the step in which the head reaches a corner. Last, "summary
// UPDATES_PER_S MULTI_STEP_SHARE CPU_US_PER_STEP STEPS RESTARTS POLLS_PER_S". Stops after SECONDS,
// or once TURNS keys are measured.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench_support.h"
#include "x11_session.h"

namespace {

using bench::x11::display;

// The field covers the 1024x768 screen: the head starts at 512,72 and steps 24 pixels.
constexpr int kHeadX = 512, kHeadY = 72, kStep = 24, kBlock = 16;

struct Cell {
    int i = 0, j = 0;
    Cell operator+(const Cell& o) const { return {i + o.i, j + o.j}; }
    bool operator==(const Cell& o) const { return i == o.i && j == o.j; }
};

// Whether a block of the snake (blue, the default colour) shows at a lattice cell.
bool SnakeAt(const Cell& cell) {
    const int x = kHeadX + kStep * cell.i + kBlock / 2;
    const int y = kHeadY + kStep * cell.j + kBlock / 2;
    XImage* image = XGetImage(display, DefaultRootWindow(display), x, y, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr) {
        return false;
    }
    const unsigned long p = XGetPixel(image, 0, 0);
    XDestroyImage(image);
    const int r = static_cast<int>((p >> 16) & 0xFF), g = static_cast<int>((p >> 8) & 0xFF),
              b = static_cast<int>(p & 0xFF);
    return r < 40 && g < 30 && b > 220;
}

// From a lit cell, how many more lit cells follow in that direction (up to 3): the steps that
// one screen update showed at once.
int LitAhead(Cell& cell, const Cell& direction) {
    int more = 0;
    while (more < 3 && SnakeAt(cell + direction)) {
        cell = cell + direction;
        ++more;
    }
    return more;
}

// The square the autopilot drives round, clockwise: columns 0 to 3, rows 0 to 3. At each corner
// it turns with a key, which also steps at once.
struct Turn {
    Cell heading;
    KeySym key;
};
constexpr Cell kRight{1, 0}, kDown{0, 1}, kLeft{-1, 0}, kUp{0, -1};

bool TurnDue(const Cell& head, const Cell& heading, Turn& turn) {
    if (heading == kRight && head.i >= 3) {
        turn = {kDown, XK_Down};
    } else if (heading == kDown && head.j >= 3) {
        turn = {kLeft, XK_Left};
    } else if (heading == kLeft && head.i <= 0) {
        turn = {kUp, XK_Up};
    } else if (heading == kUp && head.j <= 0) {
        turn = {kRight, XK_Right};
    } else {
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s PROGRAM_DIR LEVEL SECONDS [TURNS [SETTING]]\n", argv[0]);
        return 2;
    }
    if (!bench::x11::Open()) {
        return 2;
    }
    const int level = std::atoi(argv[2]);
    const double seconds = std::atof(argv[3]);
    const long turnsWanted = argc > 4 ? std::atol(argv[4]) : 1L << 30;
    const int interval[] = {200, 100, 70, 50, 35, 25, 16, 15, 12, 10};
    const double tickMs = interval[std::max(1, std::min(level, 10)) - 1];

    bench::x11::Game game = bench::x11::Launch(
        argv[1], "[data]\nres=3\nask=1\nfull=1\nlvl=" + std::to_string(level) + "\n" +
                     (argc > 5 ? std::string(argv[5]) + "\n" : std::string()));
    auto startGame = [&] {
        if (bench::x11::WaitForMap("Snake Menu") == 0) {
            return false;
        }
        usleep(100000);
        bench::x11::Key(XK_Return);
        if (bench::x11::WaitForMap("Kelvo Snake") == 0) {
            return false;
        }
        usleep(300000);
        bench::x11::Key(XK_space);
        return true;
    };
    if (!startGame()) {
        bench::x11::Finish(game);
        return 1;
    }

    Cell head{0, 0}, heading = kRight;
    long updates = 0, multiSteps = 0, steps = 0, turns = 0, polls = 0;
    int restarts = 0;
    bool pending = false;
    Turn turn{};
    double pressedAt = 0;
    double pressAt = -1;  // when the next turn key is sent, once the head is at a corner
    std::srand(static_cast<unsigned>(bench::NowMs()));
    const double start = bench::NowMs();
    double lastMove = start, cpuStart = bench::x11::CpuMsOf(game.pid), playMs = 0, cpuMs = 0;
    double playStart = start;
    while (bench::NowMs() - start < seconds * 1000 && turns < turnsWanted) {
        ++polls;
        const double now = bench::NowMs();
        if (pressAt >= 0 && now >= pressAt && TurnDue(head, heading, turn)) {
            pressedAt = bench::NowMs();
            bench::x11::Key(turn.key);
            pending = true;
            pressAt = -1;
        }
        if (pending && SnakeAt(head + turn.heading)) {
            std::printf("latency %.3f\n", bench::NowMs() - pressedAt);
            head = head + turn.heading;
            heading = turn.heading;
            const int n = 1 + LitAhead(head, heading);
            pending = false;
            ++turns;
            ++updates;
            steps += n;
            multiSteps += n > 1;
            lastMove = now;
            continue;
        }
        if (SnakeAt(head + heading)) {
            // A screen update moved the head on; it may show more than one step at once.
            head = head + heading;
            const int n = 1 + LitAhead(head, heading);
            ++updates;
            steps += n;
            multiSteps += n > 1;
            lastMove = now;
            if (!pending && pressAt < 0 && TurnDue(head, heading, turn)) {
                pressAt = now + tickMs * 0.9 * std::rand() / RAND_MAX;
            }
            continue;
        }
        // No step for a while: the game is over. Restart it and start again from the middle.
        if (now - lastMove > 600 + 10 * tickMs) {
            cpuMs += bench::x11::CpuMsOf(game.pid) - cpuStart;
            playMs += now - playStart;
            ++restarts;
            bench::x11::Key(XK_F2);
            if (!startGame()) {
                break;
            }
            head = {0, 0};
            heading = kRight;
            pending = false;
            pressAt = -1;
            cpuStart = bench::x11::CpuMsOf(game.pid);
            playStart = lastMove = bench::NowMs();
        }
    }
    const double end = bench::NowMs();
    cpuMs += bench::x11::CpuMsOf(game.pid) - cpuStart;
    playMs += end - playStart;
    bench::x11::Finish(game);
    std::printf("summary %.2f %.4f %.1f %ld %d %.0f\n", updates * 1000.0 / playMs,
                updates > 0 ? static_cast<double>(multiSteps) / updates : 0.0,
                steps > 0 ? cpuMs * 1000.0 / steps : 0.0, steps, restarts,
                polls * 1000.0 / (end - start));
    return 0;
}
