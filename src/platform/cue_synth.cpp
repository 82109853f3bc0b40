// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/cue_synth.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace platform {

namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

// Each kind's voice and length in milliseconds.
int VoiceOf(Cue::Kind kind) {
    switch (kind) {
        case Cue::Kind::Apple:
            return 0;
        case Cue::Kind::Danger:
            return 1;
        case Cue::Kind::Turn:
            return 2;
        case Cue::Kind::Eat:
        case Cue::Kind::Over:
            return 3;
    }
    return 3;
}

double LengthMs(const Cue& cue) {
    switch (cue.kind) {
        case Cue::Kind::Apple:
            return 70;
        case Cue::Kind::Danger:
            return cue.urgency >= 2 ? 110 : 45;
        case Cue::Kind::Turn:
            return 8;
        case Cue::Kind::Eat:
            return 260;
        case Cue::Kind::Over:
            return 700;
    }
    return 0;
}

// A rise of 3 ms and a fall over the last part, so that no cue starts or ends with a click
// (but the turn's, which is one).
double Envelope(double t, double length, double fall) {
    const double rise = std::min(1.0, t / 3.0);
    const double left = length - t;
    return rise * std::clamp(left / fall, 0.0, 1.0);
}

}  // namespace

void CueSynth::Start(const Cue& cue) {
    Voice& voice = voices_[static_cast<size_t>(VoiceOf(cue.kind))];
    voice.cue = cue;
    voice.age = 0;
    voice.length = static_cast<int>(LengthMs(cue) * rate_ / 1000);
    voice.phase = 0;
}

float CueSynth::Sample(Voice& voice) {
    const Cue& cue = voice.cue;
    const double t = 1000.0 * voice.age / rate_;  // milliseconds into the cue
    const double length = 1000.0 * voice.length / rate_;
    double frequency = 0;
    double value = 0;
    switch (cue.kind) {
        case Cue::Kind::Apple:
            // One octave up at the top wall, one down at the bottom: a plain tone.
            frequency = 660 * std::exp2(static_cast<double>(cue.pitch));
            value = 0.22 * std::sin(voice.phase) * Envelope(t, length, 40);
            break;
        case Cue::Kind::Danger: {
            // A buzz (odd harmonics), unlike any other cue: two short pulses when the next
            // step hits, one softer and lower when the step after does.
            const bool near = cue.urgency >= 2;
            frequency = near ? 1200 : 850;
            const double pulse = near ? (t < 45 ? t : t - 65) : t;
            const double shape = (pulse >= 0 && pulse < 45) ? Envelope(pulse, 45, 10) : 0;
            const double buzz = std::sin(voice.phase) + std::sin(3 * voice.phase) / 3 +
                                std::sin(5 * voice.phase) / 5;
            value = (near ? 0.2 : 0.12) * buzz * shape;
            break;
        }
        case Cue::Kind::Turn:
            frequency = 2500;
            value = 0.12 * std::sin(voice.phase) * std::exp(-t / 2);
            break;
        case Cue::Kind::Eat:
            // A chime: two bell-like notes a fifth apart.
            frequency = t < 90 ? 988 : 1480;
            value = 0.22 * std::sin(voice.phase) * std::exp(-std::fmod(t, 90.0) / 60) *
                    Envelope(t, length, 30);
            break;
        case Cue::Kind::Over:
            // A low fall, from 330 to 110 Hz.
            frequency = 330 * std::exp2(-std::log2(3.0) * t / length);
            value = 0.3 * std::sin(voice.phase) * Envelope(t, length, 200);
            break;
    }
    voice.phase = std::fmod(voice.phase + kTwoPi * frequency / rate_, kTwoPi);
    return static_cast<float>(value);
}

bool CueSynth::Render(float* out, int frames) {
    bool sounded = false;
    for (Voice& voice : voices_) {
        if (voice.age >= voice.length) {
            continue;
        }
        sounded = true;
        // Equal-power panning: the tone keeps its loudness wherever it is placed.
        const double angle = (std::clamp(static_cast<double>(voice.cue.pan), -1.0, 1.0) + 1) *
                             std::numbers::pi / 4;
        const auto left = static_cast<float>(std::cos(angle));
        const auto right = static_cast<float>(std::sin(angle));
        const int run = std::min(frames, voice.length - voice.age);
        for (int i = 0; i < run; ++i) {
            const float value = Sample(voice);
            out[2 * i] += value * left;
            out[2 * i + 1] += value * right;
            ++voice.age;
        }
    }
    return sounded;
}

}  // namespace platform
