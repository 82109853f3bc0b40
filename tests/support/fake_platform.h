// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Fakes of the platform seams: a clock the test sets, an event pump that runs a script, scripted
// message-box answers, a recorded sound, and an End that only records the call.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/game_pads.h"
#include "platform/platform.h"
#include "platform/shared_state.h"

namespace fake {

// A counter that moves only when the test (or the fake pump) moves it. With a granularity above
// 1 it reads in steps, like a coarse system counter.
class Clock : public platform::TickCounter {
  public:
    std::uint32_t GetTickCount() override {
        ++reads;
        return static_cast<std::uint32_t>(time - time % granularity);
    }
    void Advance(std::int64_t ms) { time += ms; }
    std::uint32_t Now() const { return static_cast<std::uint32_t>(time); }

    std::int64_t time = 1000;  // milliseconds, never wrapping; the counter shows its low 32 bits
    std::int64_t granularity = 1;
    long reads = 0;
};

// Runs scripted actions when the clock reaches their time. DoEvents runs the actions that are
// due; WaitUntil moves the clock on until its reading reaches the deadline, or to the next
// action if that comes first, and always by at least 1 ms, as real time would.
class Pump : public platform::EventPump {
  public:
    explicit Pump(Clock& clock) : clock_(clock) {}

    // Schedules an action at an absolute tick; actions at the same tick run in the given order.
    void At(std::uint32_t tick, std::function<void()> action);
    // Schedules an action `ms` after the clock's present reading.
    void After(std::int64_t ms, std::function<void()> action) {
        script_.emplace(clock_.time + ms, std::move(action));
    }
    bool Idle() const { return script_.empty(); }

    void DoEvents() override;
    bool WaitUntil(std::uint32_t deadline) override;

    long doEventsCalls = 0;
    long waits = 0;

  private:
    Clock& clock_;
    std::multimap<std::int64_t, std::function<void()>> script_;  // key: the clock's time
    std::int64_t Unwrapped(std::uint32_t tick) const;
};

struct Box {
    std::string text;
    std::string title;
    bool yesNo;
};

class Boxes : public platform::MessageBoxes {
  public:
    bool AskYesNo(const std::string& text, const std::string& title) override;
    void Inform(const std::string& text, const std::string& title) override;
    bool Showing() const override { return open > 0; }

    int open = 0;              // boxes up now
    std::deque<bool> answers;  // next answers to Yes/No questions; empty means Yes
    std::vector<Box> shown;
    std::function<void()> whileOpen;  // runs while a box is open, if set
};

class Sound : public platform::Sound {
  public:
    void PlayLooping(const std::string& path) override {
        playing = path;
        calls.push_back("play " + path);
    }
    void Stop() override {
        playing.clear();
        calls.push_back("stop");
    }
    void SetMuted(bool on) override { muted = on; }
    bool Muted() const override { return muted; }
    void SetCues(bool on) override { cuesOn = on; }
    bool CuesOn() const override { return cuesOn; }
    void PlayCues(const std::vector<platform::Cue>& together) override {
        batches.push_back(together);
        if (onPlay) {
            onPlay(together);
        }
        for (const platform::Cue& cue : together) {
            cues.push_back(cue);
            if (onCue) {
                onCue(cue);
            }
        }
    }
    std::string playing;
    bool muted = false;
    bool cuesOn = false;
    std::vector<platform::Cue> cues;                  // every cue sounded, in order
    std::vector<std::vector<platform::Cue>> batches;  // as they were played together
    std::function<void(const platform::Cue&)> onCue;  // hears each cue as it is played, if set
    std::function<void(const std::vector<platform::Cue>&)> onPlay;  // and each batch
    std::vector<std::string> calls;
};

class Process : public platform::Process {
  public:
    explicit Process(std::string folder) : folder(std::move(folder)) {}
    std::string AppPath() override { return folder; }
    // The real End never returns, so a call after the first cannot happen there; here it
    // changes nothing.
    void End() override { endCalls = 1; }
    bool Ended() override { return endCalls > 0; }

    std::string folder;
    int endCalls = 0;  // 1 once the program has ended
};

class Screen : public platform::Screen {
  public:
    float TwipsPerPixelX() override { return x; }
    float TwipsPerPixelY() override { return y; }
    bool Fits(std::int32_t width, std::int32_t height) override {
        return width <= availableWidth && height <= availableHeight;
    }
    float x = 15.0f;
    float y = 15.0f;
    std::int32_t availableWidth = 1920;
    std::int32_t availableHeight = 1080;
};

// Draws scripted values, then a fixed one; counts the reseeds.
class Random : public platform::Random {
  public:
    void Randomize() override { ++reseeds; }
    double Rnd() override {
        if (values.empty()) {
            return fallback;
        }
        const double v = values.front();
        values.pop_front();
        return v;
    }
    std::deque<double> values;
    double fallback = 0.5;
    int reseeds = 0;
};

// Pads pressed by the test itself: each press reaches the handler at once, while active.
class GamePads : public platform::GamePads {
  public:
    void SetHandler(std::function<void(const platform::PadEvent&)> h) override {
        handler = std::move(h);
    }
    void SetActive(bool on) override { active = on; }
    int Count() const override { return 1; }
    void Press(platform::PadButton button) {
        if (handler && active) {
            handler({platform::PadEvent::Kind::Pressed, button});
        }
    }
    std::function<void(const platform::PadEvent&)> handler;
    bool active = true;
};

// Every fake, wired together; `bundle` is what the rules take.
struct Platform {
    explicit Platform(const std::string& folder) : process(folder) {}
    Clock clock;
    Pump pump{clock};
    Boxes boxes;
    Sound sound;
    Process process;
    Screen screen;
    Random random;
    platform::Platform bundle{clock, pump, boxes, sound, process, screen, random};
    std::string SettingsFile() const { return process.folder + "/data.ini"; }
};

// What the menu hands a game: a 640 by 480 field at that level, a red snake in cyan walls.
inline SharedState GameChoices(std::int32_t level) {
    SharedState shared;
    shared.KeepRunning = true;
    shared.ResWidth = 640;
    shared.ResHeight = 480;
    shared.Level = level;
    shared.SnakeColor = "Red";
    shared.BorderColor = "Cyan";
    return shared;
}

}  // namespace fake
