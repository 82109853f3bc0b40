// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "x11_session.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <dirent.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "bench_support.h"

namespace bench::x11 {

Display* display = nullptr;

bool Open() {
    display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "no X display\n");
        return false;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XFlush(display);
    return true;
}

Game Launch(const std::string& programDir, const std::string& settings,
            const std::vector<std::string>& arguments) {
    char pattern[] = "/tmp/kelvo-bench-XXXXXX";
    Game game;
    game.folder = ::mkdtemp(pattern);
    const std::string copy =
        "cp '" + programDir + "/kelvo-snake' '" + programDir + "/bck.wav' '" + game.folder + "/'";
    if (std::system(copy.c_str()) != 0) {
        std::exit(1);
    }
    std::ofstream(game.folder + "/data.ini") << settings;
    game.startedMs = bench::NowMs();
    game.pid = fork();
    if (game.pid == 0) {
        if (chdir(game.folder.c_str()) != 0) {
            _exit(127);
        }
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        (void)!freopen("/dev/null", "w", stderr);  // the program's chatter is not the figures
        std::vector<char*> argv{const_cast<char*>("./kelvo-snake")};
        for (const std::string& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        execv("./kelvo-snake", argv.data());
        _exit(127);
    }
    return game;
}

void Finish(Game& game) {
    kill(game.pid, SIGKILL);
    waitpid(game.pid, nullptr, 0);
    const std::string remove = "rm -rf '" + game.folder + "'";
    (void)!std::system(remove.c_str());
}

namespace {

std::string NameOf(Window window) {
    char* name = nullptr;
    std::string result;
    if (XFetchName(display, window, &name) && name != nullptr) {
        result = name;
        XFree(name);
    }
    return result;
}

std::string ClassOf(Window window) {
    XClassHint hint{};
    std::string result;
    if (XGetClassHint(display, window, &hint) != 0) {
        result = hint.res_class != nullptr ? hint.res_class : "";
        XFree(hint.res_name);
        XFree(hint.res_class);
    }
    return result;
}

// Waits until a window that `wanted` accepts maps; returns it, or 0 after 10 s.
template <typename Wanted>
Window WaitForMapOf(Wanted wanted) {
    const double until = bench::NowMs() + 10000;
    while (bench::NowMs() < until) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && wanted(event.xmap.window)) {
                return event.xmap.window;
            }
        }
        usleep(200);
    }
    return 0;
}

}  // namespace

Window WaitForMap(const std::string& name) {
    return WaitForMapOf([&name](Window window) { return NameOf(window) == name; });
}

Window WaitForMapOfClass(const std::string& resClass) {
    return WaitForMapOf([&resClass](Window window) { return ClassOf(window) == resClass; });
}

void Key(KeySym symbol) {
    const KeyCode code = XKeysymToKeycode(display, symbol);
    XTestFakeKeyEvent(display, code, True, 0);
    XTestFakeKeyEvent(display, code, False, 0);
    XFlush(display);
}

double CpuMsOf(pid_t pid) {
    double ns = 0;
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    if (DIR* dir = opendir(tasks.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            if (entry->d_name[0] == '.') {
                continue;
            }
            std::ifstream stat(tasks + "/" + entry->d_name + "/schedstat");
            double running = 0;
            stat >> running;
            ns += running;
        }
        closedir(dir);
    }
    return ns / 1e6;
}

long PeakRssKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::atol(line.c_str() + 6);
        }
    }
    return 0;
}

}  // namespace bench::x11
