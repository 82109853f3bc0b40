// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The play-by-ear cues' sounds, made in code: no sample files. Plain C++, so that what a cue
// sounds like is tested without a sound device.
#pragma once

#include <array>
#include <map>
#include <vector>

#include "platform/platform.h"

namespace platform {

// Renders cues as interleaved stereo float samples (left, right, left, ...). A cue replaces the
// one still sounding in its own voice (the apple's tone, the danger warning, the turn's click,
// the events' sounds), so that cues at every step never pile up. Each sound is made once, the
// first time it is asked for, and kept: a cue then costs only its panned copy.
class CueSynth {
  public:
    explicit CueSynth(int rate) : rate_(rate) {}

    void Start(const Cue& cue);
    // Adds what sounds to `frames` frames of `out` and moves time on by as much. Returns whether
    // anything sounded.
    bool Render(float* out, int frames);
    // Moves time on by `frames`: what has played meanwhile.
    void Advance(int frames);
    // Everything still to sound, from now to the end of the last cue, in place of what `out`
    // held; time does not move.
    void RenderRest(std::vector<float>& out) const;
    // Milliseconds until the last cue has ended.
    int RemainingMs() const;

  private:
    struct Voice {
        const std::vector<float>* sound = nullptr;  // mono, from its start
        float left = 0, right = 0;
        int age = 0;  // frames played so far
    };
    const std::vector<float>& Sound(const Cue& cue);
    int Remaining() const;
    static void Add(const Voice& voice, float* out, int frames);

    int rate_;
    std::array<Voice, 4> voices_{};
    std::map<int, std::vector<float>> sounds_;  // by kind, urgency and pitch
};

}  // namespace platform
