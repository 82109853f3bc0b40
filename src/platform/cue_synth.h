// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The play-by-ear cues' sounds, made in code: no sample files. Plain C++, so that what a cue
// sounds like is tested without a sound device.
#pragma once

#include <map>
#include <vector>

#include "platform/platform.h"

namespace platform {

// Renders cues as interleaved stereo float samples (left, right, left, ...), on a clock of its
// own counted in frames. A cue cuts short the one before it in its own voice (the apple's tone,
// the danger warning, the turn's click, the events' sounds), so that cues at every step never
// pile up. Each sound is made once, the first time it is asked for, and kept: a cue then costs
// only its panned copy. The apple's pitch is heard in steps of 1/Cue::kPitchSteps.
class CueSynth {
  public:
    explicit CueSynth(int rate) : rate_(rate) {}

    // Makes every sound now (about 2 ms), so that no cue in play waits for its sound.
    void Prepare();
    // Schedules the cues, each after its delay, in place of any still waiting to begin.
    void Start(const std::vector<Cue>& cues);
    // Adds what sounds to `frames` frames of `out` and moves the clock on by as much. Returns
    // whether anything sounded.
    bool Render(float* out, int frames);
    // Moves the clock on by `frames`: what has played meanwhile.
    void Advance(long frames);
    // Everything still to sound, from now to the end of the last cue, in place of what `out`
    // held; the clock does not move.
    void RenderRest(std::vector<float>& out) const;
    long Now() const { return now_; }
    // Milliseconds until the last cue has ended.
    int RemainingMs() const;

  private:
    // One cue's sound on the clock, from start to end, unless the next in its voice cuts it
    // short (EndOf).
    struct Part {
        const std::vector<float>* sound;  // mono, from its start
        float left, right;
        int voice;
        long start, end;
    };
    const std::vector<float>& Sound(const Cue& cue);
    long EndOf(const Part& part) const;
    long End() const;
    // Adds the part's frames from `from` to `to` (clock frames), up to `end`, to out, which
    // starts at `from0`.
    static void Add(const Part& part, long end, float* out, long from0, long from, long to);

    int rate_;
    long now_ = 0;
    std::vector<Part> parts_;
    std::map<int, std::vector<float>> sounds_;  // by kind, urgency and pitch
};

}  // namespace platform
