// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The play-by-ear cues' sounds, made in code: no sample files. Plain C++, so that what a cue
// sounds like is tested without a sound device.
#pragma once

#include <array>

#include "platform/platform.h"

namespace platform {

// Renders cues as interleaved stereo float samples. A cue replaces the one still sounding in
// its own voice (the apple's tone, the danger warning, the turn's click, the events' sounds),
// so that cues at every step never pile up.
class CueSynth {
  public:
    explicit CueSynth(int rate) : rate_(rate) {}

    void Start(const Cue& cue);
    // Adds what sounds to `frames` stereo frames of `out` (left, right, left, ...), advancing
    // time by as much. Returns whether anything sounded.
    bool Render(float* out, int frames);

  private:
    struct Voice {
        Cue cue;
        int age = 0;     // frames rendered so far
        int length = 0;  // frames in all; 0 while silent
        double phase = 0;
    };
    // One frame of a voice's sound, before it is panned; advances the voice's phase.
    float Sample(Voice& voice);

    int rate_;
    std::array<Voice, 4> voices_{};
};

}  // namespace platform
