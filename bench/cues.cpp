// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// How soon a play-by-ear cue is heard: the program's own sound object, cues on, sounds an apple
// cue now and then, at random moments as the steps fall, and times each. Pushed to the sound
// server, a cue is written within PlayCue and heard after what the server holds ahead of it, as
// the server reports it for the stream. On SDL's device, it waits for the device's next buffer
// and is heard after the server's buffer and sink latency for that stream (from pactl).
//
// Usage: kelvo-bench-cues [CUES]
// Prints "path pushed" or "path sdl", then per cue "cue WAIT_MS SERVER_MS". A sound server's
// idle sink may sleep a while before it takes a new stream: pushed, "first MS" is how long the
// first cue after the stream opened took to be heard, and the cues timed after it come once
// that has passed; on SDL's device, "start MS" is the time from opening the device until three
// cues in a row waited less than 10 ms.
#include <QGuiApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>

#include "platform/sdl_sound.h"

namespace {

using Clock = std::chrono::steady_clock;
const platform::Cue kApple{platform::Cue::Kind::Apple, 0, 0, 0};

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// On SDL's device: milliseconds from PlayCue to the first buffer that holds the cue.
double WaitForBuffer(platform::SdlSound& sound) {
    const std::uint64_t before = sound.CueBuffersSounded();
    const auto start = Clock::now();
    sound.PlayCues({kApple});
    while (sound.CueBuffersSounded() == before && MsSince(start) < 3000) {
        std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
    return MsSince(start);
}

// The server's buffer and sink latency of the cues' stream, from pactl's list, in ms.
double PactlLatencyMs() {
    FILE* list = popen("pactl list sink-inputs 2>/dev/null", "r");
    if (list == nullptr) {
        return -1;
    }
    double buffer = -1, sink = -1, found = -1;
    char line[512];
    while (std::fgets(line, sizeof line, list) != nullptr) {
        const std::string text = line;
        double us = 0;
        if (text.find("Sink Input #") != std::string::npos) {
            buffer = sink = -1;  // a new stream's block
        } else if (std::sscanf(line, " Buffer Latency: %lf usec", &us) == 1) {
            buffer = us / 1000;
        } else if (std::sscanf(line, " Sink Latency: %lf usec", &us) == 1) {
            sink = us / 1000;
        } else if (text.find("media.name = \"Play-by-ear cues\"") != std::string::npos &&
                   buffer >= 0 && sink >= 0) {
            found = buffer + sink;
        }
    }
    pclose(list);
    return found;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    const int cues = argc > 1 ? std::atoi(argv[1]) : 200;
    platform::SdlSound sound;
    const auto opened = Clock::now();
    sound.SetCues(true);
    if (!sound.CueDeviceOpen()) {
        return 1;
    }
    const bool pushed = sound.CuesPushed();
    std::printf("path %s\n", pushed ? "pushed" : "sdl");
    if (pushed) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        const auto start = Clock::now();
        sound.PlayCues({kApple});
        const double wait = MsSince(start);
        std::printf("first %.3f\n", wait + sound.CueServerLatencyMs().value_or(0));
        std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    } else {
        auto steady = opened;
        for (int fast = 0; fast < 3 && MsSince(opened) < 10000;) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));  // the last cue ends
            const auto probe = Clock::now();
            if (WaitForBuffer(sound) < 10) {
                steady = fast++ == 0 ? probe : steady;
            } else {
                fast = 0;
            }
        }
        std::printf("start %.3f\n",
                    std::chrono::duration<double, std::milli>(steady - opened).count());
    }
    std::mt19937 random(7);
    std::uniform_int_distribution<int> gap(80, 160);
    std::vector<std::pair<double, double>> timed;
    for (int i = 0; i < cues; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(gap(random)));
        if (pushed) {
            const auto start = Clock::now();
            sound.PlayCues({kApple});
            const double wait = MsSince(start);
            timed.emplace_back(wait, sound.CueServerLatencyMs().value_or(-1));
        } else {
            timed.emplace_back(WaitForBuffer(sound), -1);
        }
    }
    const double server = pushed ? 0 : PactlLatencyMs();
    for (const auto& [wait, latency] : timed) {
        std::printf("cue %.3f %.3f\n", wait, pushed ? latency : server);
    }
    return 0;
}
