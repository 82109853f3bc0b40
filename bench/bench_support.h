// What the benchmarks share: clocks, stand-ins for the seams a benchmark does not measure, and
// percentiles.
#pragma once

#include <sys/resource.h>

#include <algorithm>
#include <ctime>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace bench {

inline double NowMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

inline double CpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto ms = [](const timeval& t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

class Answers : public platform::MessageBoxes {
  public:
    bool AskYesNo(const std::string&, const std::string&) override { return true; }
    void Inform(const std::string&, const std::string&) override {}
};

class Silence : public platform::Sound {
  public:
    void PlayLooping(const std::string&) override {}
    void Stop() override {}
    void SetMuted(bool) override {}
};

// Ending a run closes the game window instead of the process.
class RunEnd : public platform::Process {
  public:
    std::string AppPath() override { return folder; }
    void End() override { ended = true; }
    bool Ended() override { return ended; }
    std::string folder;
    bool ended = false;
};

class FixedRandom : public platform::Random {
  public:
    void Randomize() override {}
    double Rnd() override { return 0.5; }
};

inline double Percentile(std::vector<double> v, double p) {
    if (v.empty()) {
        return 0;
    }
    std::sort(v.begin(), v.end());
    const auto index = static_cast<size_t>(p * static_cast<double>(v.size() - 1) + 0.5);
    return v[std::min(index, v.size() - 1)];
}

}  // namespace bench
