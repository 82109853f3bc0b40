// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Process-level figures of the real program on the X server in DISPLAY (Xvfb): it starts
// build/kelvo-snake in a fresh folder, watches its windows map through X events, types with
// XTest, and reads the process's memory and CPU time from /proc.
//
// Usage: kelvo-bench-session PROGRAM_DIR start [ARG ...]
//                                                   startup times: ms to the menu, to the game
//        kelvo-bench-session PROGRAM_DIR memory S   peak RSS in MB after S seconds of play
//        kelvo-bench-session PROGRAM_DIR cpu L S    % of a core over S seconds of play at level L
//                                                   with an arrow key every 300 ms
//        kelvo-bench-session PROGRAM_DIR menu S [ARG ...]
//                                                   % of a core over S seconds in the idle menu,
//                                                   the program started with those arguments
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <dirent.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "bench_support.h"
#include "x11_session.h"

namespace {

using namespace bench::x11;

bool NotBlack(Window window, int x, int y) {
    XImage* image = XGetImage(display, window, x, y, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr) {
        return false;
    }
    const bool lit = (XGetPixel(image, 0, 0) & 0xFFFFFF) != 0;
    XDestroyImage(image);
    return lit;
}

// Orange text of the game-over lines in the middle of a 1024x768 game window.
bool GameOver(Window window) {
    XImage* image = XGetImage(display, window, 280, 362, 460, 50, AllPlanes, ZPixmap);
    if (image == nullptr) {
        return false;
    }
    bool found = false;
    for (int y = 0; y < 50 && !found; y += 2) {
        for (int x = 0; x < 460 && !found; ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            found = ((p >> 16) & 0xFF) > 200 && ((p >> 8) & 0xFF) > 90 && ((p >> 8) & 0xFF) < 170 &&
                    (p & 0xFF) < 60;
        }
    }
    XDestroyImage(image);
    return found;
}

int Start(const std::string& programDir, const std::vector<std::string>& arguments) {
    const double t0 = bench::NowMs();
    Game game = Launch(programDir, "[data]\nres=1\nask=1\nlvl=1\n", arguments);
    if (WaitForMap("Snake Menu") == 0) {
        Finish(game);
        return 1;
    }
    const double menu = bench::NowMs() - game.startedMs;
    usleep(20000);  // the menu takes the focus as it maps
    Key(XK_Return);
    const Window window = WaitForMap("Kelvo Snake");
    // The game covers the screen, the 640 by 480 field in its middle, enlarged by a whole factor.
    XWindowAttributes attributes{};
    if (window != 0) {
        XGetWindowAttributes(display, window, &attributes);
    }
    const int k = std::max(1, std::min(attributes.width / 640, attributes.height / 480));
    const int wallX = (attributes.width - 640 * k) / 2 + 5 * k;
    const int wallY = (attributes.height - 480 * k) / 2 + 100 * k;
    while (window != 0 && !NotBlack(window, wallX, wallY) && bench::NowMs() - t0 < 10000) {
        usleep(200);
    }
    const double frame = bench::NowMs() - game.startedMs;
    Finish(game);
    std::printf("%.1f %.1f\n", menu, frame);
    return 0;
}

// Plays at 1024x768: space, then an arrow key every 300 ms, going round a square; a game that
// ends is restarted (F2, Enter, space). At level 10 a turn every 300 ms is 30 steps, more than
// the field is high, so games end often there: CPU is counted over the time in play only, not
// over the menus between games. Prints the figure the mode asks for.
int Play(const std::string& programDir, int level, double seconds, bool memory) {
    Game game = Launch(programDir, "[data]\nres=3\nask=1\nlvl=" + std::to_string(level) + "\n");
    if (WaitForMap("Snake Menu") == 0) {
        Finish(game);
        return 1;
    }
    usleep(100000);
    Key(XK_Return);
    Window window = WaitForMap("Kelvo Snake");
    usleep(200000);
    Key(XK_space);
    const KeySym turns[] = {XK_Down, XK_Left, XK_Up, XK_Right};
    int restarts = 0;
    double cpuInPlay = 0;
    double wallInPlay = 0;
    double cpuStart = CpuMsOf(game.pid);
    double wallStart = bench::NowMs();
    const double start = wallStart;
    for (int i = 0; bench::NowMs() - start < seconds * 1000; ++i) {
        usleep(300000);
        if (GameOver(window)) {
            cpuInPlay += CpuMsOf(game.pid) - cpuStart;
            wallInPlay += bench::NowMs() - wallStart;
            ++restarts;
            Key(XK_F2);
            WaitForMap("Snake Menu");
            usleep(50000);
            Key(XK_Return);
            window = WaitForMap("Kelvo Snake");
            usleep(50000);
            Key(XK_space);
            cpuStart = CpuMsOf(game.pid);
            wallStart = bench::NowMs();
            continue;
        }
        Key(turns[i % 4]);
    }
    const double cpu = cpuInPlay + CpuMsOf(game.pid) - cpuStart;
    const double wall = wallInPlay + bench::NowMs() - wallStart;
    const long rss = PeakRssKb(game.pid);
    Finish(game);
    if (memory) {
        std::printf("%.1f\n", rss / 1024.0);
    } else {
        std::printf("%.3f %d\n", 100.0 * cpu / wall, restarts);
    }
    return 0;
}

// The menu left alone: what the program costs while a player reads it.
int Menu(const std::string& programDir, double seconds, const std::vector<std::string>& arguments) {
    Game game = Launch(programDir, "[data]\nres=1\nask=1\n", arguments);
    if (WaitForMap("Snake Menu") == 0) {
        Finish(game);
        return 1;
    }
    usleep(1000000);  // past the start's own work
    const double cpuStart = CpuMsOf(game.pid);
    const double wallStart = bench::NowMs();
    usleep(static_cast<useconds_t>(seconds * 1e6));
    const double cpu = CpuMsOf(game.pid) - cpuStart;
    const double wall = bench::NowMs() - wallStart;
    Finish(game);
    std::printf("%.4f\n", 100.0 * cpu / wall);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(
            stderr, "usage: %s PROGRAM_DIR start [ARG ...]|memory S|cpu LEVEL S|menu S [ARG ...]\n",
            argv[0]);
        return 2;
    }
    if (!Open()) {
        return 2;
    }
    const std::string programDir = argv[1];
    const std::string mode = argv[2];
    if (mode == "start") {
        return Start(programDir, std::vector<std::string>(argv + 3, argv + argc));
    }
    if (mode == "memory" && argc == 4) {
        return Play(programDir, 1, std::atof(argv[3]), true);
    }
    if (mode == "menu" && argc >= 4) {
        return Menu(programDir, std::atof(argv[3]),
                    std::vector<std::string>(argv + 4, argv + argc));
    }
    if (mode == "cpu" && argc == 5) {
        return Play(programDir, std::atoi(argv[3]), std::atof(argv[4]), false);
    }
    return 2;
}
