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
            const double buzz = std::sin(phase) + std::sin(3 * phase) / 3 + std::sin(5 * phase) / 5;
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

void CueSynth::Prepare() {
    for (int step = -Cue::kPitchSteps; step <= Cue::kPitchSteps; ++step) {
        Sound({Cue::Kind::Apple, 0, static_cast<float>(step) / Cue::kPitchSteps, 0});
    }
    for (const Cue::Kind kind : {Cue::Kind::Turn, Cue::Kind::Eat, Cue::Kind::Over}) {
        Sound({kind, 0, 0, 0});
    }
    Sound({Cue::Kind::Danger, 0, 0, 1});
    Sound({Cue::Kind::Danger, 0, 0, 2});
}

const std::vector<float>& CueSynth::Sound(const Cue& cue) {
    // The pitch in its steps; the apple's only: the other sounds have one each.
    const long pitch = cue.kind == Cue::Kind::Apple
                           ? std::lround(std::clamp(cue.pitch, -1.0f, 1.0f) * Cue::kPitchSteps)
                           : 0;
    const int key = static_cast<int>(cue.kind) * 1000 + (cue.urgency >= 2 ? 100 : 0) +
                    static_cast<int>(pitch) + Cue::kPitchSteps;
    auto [place, made] = sounds_.try_emplace(key);
    if (made) {
        Cue heard = cue;
        heard.pitch = static_cast<float>(pitch) / Cue::kPitchSteps;
        const double length = LengthMs(heard);
        std::vector<float>& sound = place->second;
        sound.resize(static_cast<size_t>(length * rate_ / 1000));
        double phase = 0;
        for (size_t i = 0; i < sound.size(); ++i) {
            sound[i] = static_cast<float>(
                Sample(heard, 1000.0 * static_cast<double>(i) / rate_, length, phase, rate_));
        }
    }
    return place->second;
}

void CueSynth::Start(const std::vector<Cue>& cues) {
    std::erase_if(parts_, [this](const Part& part) { return part.start > now_; });
    for (const Cue& cue : cues) {
        const int voice = VoiceOf(cue.kind);
        const long start = now_ + static_cast<long>(std::max(cue.delayMs, 0)) * rate_ / 1000;
        std::erase_if(parts_,
                      [&](const Part& part) { return part.voice == voice && part.start >= start; });
        // Equal-power panning: the tone keeps its loudness wherever it is placed.
        const double angle =
            (std::clamp(static_cast<double>(cue.pan), -1.0, 1.0) + 1) * std::numbers::pi / 4;
        const std::vector<float>& sound = Sound(cue);
        parts_.push_back({&sound, static_cast<float>(std::cos(angle)),
                          static_cast<float>(std::sin(angle)), voice, start,
                          start + static_cast<long>(sound.size())});
    }
}

long CueSynth::EndOf(const Part& part) const {
    long end = part.end;
    for (const Part& next : parts_) {
        if (next.voice == part.voice && next.start > part.start) {
            end = std::min(end, next.start);
        }
    }
    return end;
}

void CueSynth::Add(const Part& part, long end, float* out, long from0, long from, long to) {
    const long first = std::max(from, part.start);
    const long last = std::min(to, end);
    if (last <= first) {
        return;
    }
    const float* sound = part.sound->data() + (first - part.start);
    float* into = out + 2 * (first - from0);
    for (long i = 0; i < last - first; ++i) {
        into[2 * i] += sound[i] * part.left;
        into[2 * i + 1] += sound[i] * part.right;
    }
}

bool CueSynth::Render(float* out, int frames) {
    const long to = now_ + frames;
    bool sounded = false;
    for (const Part& part : parts_) {
        const long end = EndOf(part);
        if (part.start < to && end > now_) {
            Add(part, end, out, now_, now_, to);
            sounded = true;
        }
    }
    Advance(frames);
    return sounded;
}

void CueSynth::Advance(long frames) {
    now_ += frames;
    std::erase_if(parts_, [this](const Part& part) { return EndOf(part) <= now_; });
}

long CueSynth::End() const {
    long end = now_;
    for (const Part& part : parts_) {
        end = std::max(end, EndOf(part));
    }
    return end;
}

int CueSynth::RemainingMs() const {
    return static_cast<int>((End() - now_) * 1000 / rate_);
}

void CueSynth::RenderRest(std::vector<float>& out) const {
    const long end = End();
    out.assign(2 * static_cast<size_t>(end - now_), 0.0f);
    for (const Part& part : parts_) {
        Add(part, EndOf(part), out.data(), now_, now_, end);
    }
}

}  // namespace platform
