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

// One cue's sound, unpanned, `t` milliseconds into it; `phase` is its oscillator's, moved on.
double Sample(const Cue& cue, double t, double length, double& phase, int rate) {
    double frequency = 0;
    double value = 0;
    switch (cue.kind) {
        case Cue::Kind::Apple:
            // One octave up at the top wall, one down at the bottom: a plain tone.
            frequency = 660 * std::exp2(static_cast<double>(cue.pitch));
            value = 0.22 * std::sin(phase) * Envelope(t, length, 40);
            break;
        case Cue::Kind::Danger: {
            // A buzz (odd harmonics), unlike any other cue: two short pulses when the next
            // step hits, one softer and lower when the step after does.
            const bool near = cue.urgency >= 2;
            frequency = near ? 1200 : 850;
            const double pulse = near ? (t < 45 ? t : t - 65) : t;
            const double shape = (pulse >= 0 && pulse < 45) ? Envelope(pulse, 45, 10) : 0;
            const double buzz =
                std::sin(phase) + std::sin(3 * phase) / 3 + std::sin(5 * phase) / 5;
            value = (near ? 0.2 : 0.12) * buzz * shape;
            break;
        }
        case Cue::Kind::Turn:
            frequency = 2500;
            value = 0.12 * std::sin(phase) * std::exp(-t / 2);
            break;
        case Cue::Kind::Eat:
            // A chime: two bell-like notes a fifth apart.
            frequency = t < 90 ? 988 : 1480;
            value = 0.22 * std::sin(phase) * std::exp(-std::fmod(t, 90.0) / 60) *
                    Envelope(t, length, 30);
            break;
        case Cue::Kind::Over:
            // A low fall, from 330 to 110 Hz.
            frequency = 330 * std::exp2(-std::log2(3.0) * t / length);
            value = 0.3 * std::sin(phase) * Envelope(t, length, 200);
            break;
    }
    phase = std::fmod(phase + kTwoPi * frequency / rate, kTwoPi);
    return value;
}

}  // namespace

const std::vector<float>& CueSynth::Sound(const Cue& cue) {
    const int key = static_cast<int>(cue.kind) * 100000 + (cue.urgency >= 2 ? 10000 : 0) +
                    static_cast<int>(std::lround(std::clamp(cue.pitch, -1.0f, 1.0f) * 600)) +
                    600;
    auto [place, made] = sounds_.try_emplace(key);
    if (made) {
        const double length = LengthMs(cue);
        std::vector<float>& sound = place->second;
        sound.resize(static_cast<size_t>(length * rate_ / 1000));
        double phase = 0;
        for (size_t i = 0; i < sound.size(); ++i) {
            sound[i] = static_cast<float>(Sample(cue, 1000.0 * static_cast<double>(i) / rate_,
                                                 length, phase, rate_));
        }
    }
    return place->second;
}

void CueSynth::Start(const Cue& cue) {
    Voice& voice = voices_[static_cast<size_t>(VoiceOf(cue.kind))];
    voice.sound = &Sound(cue);
    // Equal-power panning: the tone keeps its loudness wherever it is placed.
    const double angle =
        (std::clamp(static_cast<double>(cue.pan), -1.0, 1.0) + 1) * std::numbers::pi / 4;
    voice.left = static_cast<float>(std::cos(angle));
    voice.right = static_cast<float>(std::sin(angle));
    voice.age = 0;
}

void CueSynth::Add(const Voice& voice, float* out, int frames) {
    const float* sound = voice.sound->data() + voice.age;
    for (int i = 0; i < frames; ++i) {
        out[2 * i] += sound[i] * voice.left;
        out[2 * i + 1] += sound[i] * voice.right;
    }
}

bool CueSynth::Render(float* out, int frames) {
    bool sounded = false;
    for (Voice& voice : voices_) {
        const int left = voice.sound != nullptr ? static_cast<int>(voice.sound->size()) - voice.age : 0;
        if (left <= 0) {
            continue;
        }
        sounded = true;
        const int run = std::min(frames, left);
        Add(voice, out, run);
        voice.age += run;
    }
    return sounded;
}

void CueSynth::Advance(int frames) {
    for (Voice& voice : voices_) {
        if (voice.sound != nullptr) {
            voice.age = std::min(voice.age + frames, static_cast<int>(voice.sound->size()));
        }
    }
}

int CueSynth::Remaining() const {
    int longest = 0;
    for (const Voice& voice : voices_) {
        if (voice.sound != nullptr) {
            longest = std::max(longest, static_cast<int>(voice.sound->size()) - voice.age);
        }
    }
    return longest;
}

int CueSynth::RemainingMs() const {
    return Remaining() * 1000 / rate_;
}

void CueSynth::RenderRest(std::vector<float>& out) const {
    const int frames = Remaining();
    out.assign(2 * static_cast<size_t>(frames), 0.0f);
    for (const Voice& voice : voices_) {
        const int left = voice.sound != nullptr ? static_cast<int>(voice.sound->size()) - voice.age : 0;
        if (left > 0) {
            Add(voice, out.data(), left);
        }
    }
}

}  // namespace platform
