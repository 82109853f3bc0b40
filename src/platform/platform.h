// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The seams between the program's rules and the outside world. Each has a Qt implementation
// (qt_platform.h) and a fake for tests, so every window can run with a scripted clock, scripted
// answers and an "end" that does not stop the test process.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Milliseconds since some fixed moment, monotonic, as a 32-bit value that wraps around.
class TickCounter {
  public:
    virtual ~TickCounter() = default;
    virtual std::uint32_t GetTickCount() = 0;
};

// Milliseconds from `since` to `now` on a wrapping 32-bit counter, as signed 32-bit arithmetic.
inline std::int32_t TicksBetween(std::uint32_t since, std::uint32_t now) {
    return static_cast<std::int32_t>(now - since);
}

// Lets the program's pending window events run from inside a handler.
class EventPump {
  public:
    virtual ~EventPump() = default;
    // Runs every pending event (keys, timers, close requests) to its end, then returns.
    virtual void DoEvents() = 0;
    // Sleeps until an event arrives or the tick counter reaches deadline, whichever is first.
    // Returns true when it let the pending events run on waking, as DoEvents would have.
    virtual bool WaitUntil(std::uint32_t deadline) = 0;
};

// Modal message boxes, above every window of the program.
class MessageBoxes {
  public:
    virtual ~MessageBoxes() = default;
    // Yes and No buttons (Yes the default) and an exclamation icon. True means Yes.
    virtual bool AskYesNo(const std::string& text, const std::string& title) = 0;
    // An OK button and an information icon.
    virtual void Inform(const std::string& text, const std::string& title) = 0;
    // Whether a box is up. While one is, the windows take no request that would open another
    // (a close request, Esc, Ctrl+H): one question at a time, whatever the window system lets
    // through.
    virtual bool Showing() const = 0;
};

// A short sound that tells a player who cannot see the field what happens on it.
struct Cue {
    enum class Kind : std::uint8_t {
        Apple,   // at every step: where the apple is from the head
        Danger,  // a wall or the body in the next step or the one after
        Turn,    // the snake has turned
        Eat,     // an apple eaten
        Over,    // the game is over
    };
    Kind kind = Kind::Apple;
    float pan = 0;  // where across: -1 full left, 0 the head's column, 1 full right
    // Where up or down: 1 highest (the top), 0 the head's row, -1 lowest; heard in steps of
    // 1/kPitchSteps, few enough to tell apart by ear.
    float pitch = 0;
    int urgency = 0;  // a danger's: 2 the next step, 1 the step after
    int delayMs = 0;  // sounds this long after it is played: a step still to come

    static constexpr int kPitchSteps = 6;

    bool operator==(const Cue&) const = default;
};

// Asynchronous looping playback of a wave file, and the play-by-ear cues.
class Sound {
  public:
    virtual ~Sound() = default;
    // Starts playing the file from its beginning, looping, and returns at once. A missing or
    // unplayable file plays nothing and is not reported.
    virtual void PlayLooping(const std::string& path) = 0;
    virtual void Stop() = 0;
    // Switches the music off and on (the player's M); a muted music neither plays nor loads.
    virtual void SetMuted(bool muted) = 0;
    virtual bool Muted() const = 0;
    // The cues have their own switch; while they are off a cue is dropped unheard and costs
    // nothing. The music plays lower while cues sound.
    virtual void SetCues(bool on) = 0;
    virtual bool CuesOn() const = 0;
    // Sounds the cues of one moment together, each after its delay, over any that still sound;
    // cues still waiting from before are dropped (an empty list only drops them).
    virtual void PlayCues(const std::vector<Cue>& cues) = 0;
};

// The running process.
class Process {
  public:
    virtual ~Process() = default;
    // The folder that holds the program, without a trailing slash.
    virtual std::string AppPath() = 0;
    // The folder that holds data.ini, decided once per run: the program's folder as designed,
    // or the player's own configuration folder for a program installed where they cannot write.
    virtual std::string SettingsFolder() { return AppPath(); }
    // The background music: bck.wav in the program's folder as designed, or the installed copy.
    virtual std::string MusicFile() { return AppPath() + "/bck.wav"; }
    // Stops the program at once: no further window is shown and no further event runs. The fake
    // records the call and returns; callers return straight after it.
    virtual void End() = 0;
    // Whether End has been called (only ever true in tests, whose End returns). A handler that
    // ends the program runs from the event pump, so an end takes effect only inside the pump's
    // calls: only the code that calls the pump (the game's clock loop) and the views' shared
    // modal window ask, to stop there.
    virtual bool Ended() = 0;
};

// The screen's conversion from pixels to twips (1/1440 inch).
class Screen {
  public:
    virtual ~Screen() = default;
    virtual float TwipsPerPixelX() = 0;
    virtual float TwipsPerPixelY() = 0;
    // Whether a window of that many pixels fits the screen's area for windows (without panels,
    // at the desktop's scale).
    virtual bool Fits(std::int32_t width, std::int32_t height) = 0;
};

// A pseudo-random generator drawing uniform values in [0, 1).
class Random {
  public:
    virtual ~Random() = default;
    // Reseeds the generator from the system clock.
    virtual void Randomize() = 0;
    virtual double Rnd() = 0;
};

// Everything a window's rules may call, handed to them by reference.
struct Platform {
    TickCounter& clock;
    EventPump& pump;
    MessageBoxes& boxes;
    Sound& sound;
    Process& process;
    Screen& screen;
    Random& random;
};

// The settings file, built anew for each access; empty where nothing is kept.
inline std::string SettingsFile(Process& process) {
    const std::string folder = process.SettingsFolder();
    return folder.empty() ? std::string() : folder + "/data.ini";
}

}  // namespace platform
