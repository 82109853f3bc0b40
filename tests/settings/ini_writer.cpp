// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// A writer of settings files, started by the tests as a second program.
// Usage: ini_writer FILE FIRST_ROUND
//          Rewrites all six keys in a tight loop until it is killed: the kill test's victim. It
//          writes one byte on standard output once its first write is done, so that the kills
//          fall while it writes rather than while it starts.
//        ini_writer FILE --key KEY COUNT
//          Writes KEY = 1 to COUNT, reading each value back after its write; prints how many
//          read-backs did not give the value just written. With KELVO_WRITERS_START_NS set (a
//          CLOCK_REALTIME time in nanoseconds), the first write waits for that moment.
//        ini_writer FILE --score FIRST STEP COUNT
//          Ends COUNT games with the scores FIRST, FIRST + STEP, ... as a game ends: the stored
//          score is replaced by a strictly higher one, in one step.
#include <time.h>
#include <unistd.h>

#include <cerrno>

#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <string>

#include "settings/ini.h"
#include "settings_rounds.h"

namespace {

// Waits for the moment in KELVO_WRITERS_START_NS (CLOCK_REALTIME), if given, so that writers
// started one after the other make their first writes together.
void WaitForTheStart() {
    if (const char* start = std::getenv("KELVO_WRITERS_START_NS")) {
        const long long ns = std::atoll(start);
        const timespec at{static_cast<time_t>(ns / 1'000'000'000),
                          static_cast<long>(ns % 1'000'000'000)};
        while (::clock_nanosleep(CLOCK_REALTIME, TIMER_ABSTIME, &at, nullptr) == EINTR) {
        }
    }
}

int WriteAndReadBack(const std::string& file, const std::string& key, long count) {
    WaitForTheStart();
    long lost = 0;
    for (long i = 1; i <= count; ++i) {
        WriteIni(file, "data", key, std::to_string(i));
        lost += ReadIni(file, "data", key, "") != std::to_string(i);
    }
    FinishWrites();
    std::printf("%ld\n", lost);
    return 0;
}

int EndGames(const std::string& file, long first, long step, long count) {
    for (long i = 0; i < count; ++i) {
        const long score = first + i * step;
        UpdateIni(file, "data", "score", "0", [score](const std::string& stored) {
            return score > std::atol(stored.c_str()) ? std::optional(std::to_string(score))
                                                     : std::nullopt;
        });
    }
    FinishWrites();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[2]) == "--key") {
        return WriteAndReadBack(argv[1], argv[3], std::atol(argv[4]));
    }
    if (argc == 6 && std::string(argv[2]) == "--score") {
        return EndGames(argv[1], std::atol(argv[3]), std::atol(argv[4]), std::atol(argv[5]));
    }
    if (argc != 3) {
        return 2;
    }
    const std::string file = argv[1];
    bool told = false;
    for (long round = std::atol(argv[2]);; ++round) {
        for (int k = 0; k < kRoundKeyCount; ++k) {
            WriteIni(file, "data", kRoundKeys[k], RoundValue(round, k));
            if (!told) {
                told = ::write(1, "w", 1) == 1;
            }
        }
    }
}
