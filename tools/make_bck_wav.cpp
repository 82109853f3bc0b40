// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Synthesises the game's background music: a short arpeggio loop in A minor, 16-bit mono PCM.
// Every note dies away to silence within its own slot, so the loop joins without a click.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRate = 22050;
constexpr double kNoteSeconds = 0.25;
constexpr double kPi = 3.14159265358979323846;

double Frequency(int midi) {
    return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

void AddNote(std::vector<double>& out, size_t start, size_t length, int midi, double volume) {
    const double f = Frequency(midi);
    for (size_t i = 0; i < length && start + i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double attack = std::min(1.0, t / 0.006);
        const double release = std::min(1.0, static_cast<double>(length - i) / (0.02 * kRate));
        const double envelope = attack * release * std::exp(-3.5 * t);
        const double tone = std::sin(2 * kPi * f * t) + 0.3 * std::sin(4 * kPi * f * t) +
                            0.12 * std::sin(6 * kPi * f * t);
        out[start + i] += volume * envelope * tone;
    }
}

void Put16(std::FILE* f, std::uint16_t v) {
    const unsigned char b[2] = {static_cast<unsigned char>(v), static_cast<unsigned char>(v >> 8)};
    std::fwrite(b, 1, 2, f);
}

void Put32(std::FILE* f, std::uint32_t v) {
    Put16(f, static_cast<std::uint16_t>(v));
    Put16(f, static_cast<std::uint16_t>(v >> 16));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_bck_wav OUTPUT.wav\n");
        return 2;
    }
    // Am, F, C, G: four bars of four eighth-note arpeggio steps.
    const int chords[4][4] = {
        {57, 60, 64, 69}, {53, 57, 60, 65}, {48, 52, 55, 60}, {55, 59, 62, 67}};
    const auto slot = static_cast<size_t>(kNoteSeconds * kRate);
    std::vector<double> mix(slot * 16, 0.0);
    for (int bar = 0; bar < 4; ++bar) {
        for (int step = 0; step < 4; ++step) {
            const size_t at = static_cast<size_t>(bar * 4 + step) * slot;
            AddNote(mix, at, slot, chords[bar][step] + 12, 0.16);
        }
        AddNote(mix, static_cast<size_t>(bar * 4) * slot, slot * 4, chords[bar][0] - 12, 0.22);
    }
    std::FILE* f = std::fopen(argv[1], "wb");
    if (f == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    const auto dataBytes = static_cast<std::uint32_t>(mix.size() * 2);
    std::fwrite("RIFF", 1, 4, f);
    Put32(f, 36 + dataBytes);
    std::fwrite("WAVEfmt ", 1, 8, f);
    Put32(f, 16);
    Put16(f, 1);  // PCM
    Put16(f, 1);  // mono
    Put32(f, kRate);
    Put32(f, kRate * 2);
    Put16(f, 2);
    Put16(f, 16);
    std::fwrite("data", 1, 4, f);
    Put32(f, dataBytes);
    for (const double s : mix) {
        const double clipped = std::max(-1.0, std::min(1.0, s));
        Put16(f, static_cast<std::uint16_t>(static_cast<std::int16_t>(clipped * 32000)));
    }
    return std::fclose(f) == 0 ? 0 : 1;
}
