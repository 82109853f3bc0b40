// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The music through SDL's audio, on its dummy driver: a device is held only while there is
// something to play, and a file that cannot be played is silence and one line. The cues' own
// device and what their sounds say.
#include <SDL.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>

#include "platform/cue_synth.h"
#include "platform/sdl_sound.h"
#include "support/printing.h"
#include "support/temp_folder.h"

namespace {

// A second of 8-bit mono silence at 8 kHz, as a WAV file.
std::string SilentWav() {
    const std::uint32_t samples = 8000;
    std::string wav = "RIFF";
    auto word = [&wav](std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            wav += static_cast<char>((v >> (8 * i)) & 0xff);
        }
    };
    word(36 + samples, 4);
    wav += "WAVEfmt ";
    word(16, 4);
    word(1, 2);     // PCM
    word(1, 2);     // mono
    word(8000, 4);  // rate
    word(8000, 4);  // bytes per second
    word(1, 2);     // bytes per frame
    word(8, 2);     // bits
    wav += "data";
    word(samples, 4);
    wav += std::string(samples, static_cast<char>(0x80));
    return wav;
}

struct Heard {
    double left = 0, right = 0;  // energy in each channel
    int crossings = 0;           // of the left channel through zero: the pitch
};

// Energy of the left and right channels of interleaved frames [from, to).
std::pair<double, double> Energy(const std::vector<float>& out, size_t from, size_t to) {
    double left = 0, right = 0;
    for (size_t i = from; i < to; ++i) {
        left += out[2 * i] * out[2 * i];
        right += out[2 * i + 1] * out[2 * i + 1];
    }
    return {left, right};
}

// The first 60 ms of a cue, as the synthesiser makes it at 48 kHz.
Heard Hear(const platform::Cue& cue) {
    platform::CueSynth synth(48000);
    synth.Start({cue});
    std::vector<float> out(2 * 2880, 0.0f);
    synth.Render(out.data(), 2880);
    Heard heard;
    for (size_t i = 0; i < out.size(); i += 2) {
        heard.left += out[i] * out[i];
        heard.right += out[i + 1] * out[i + 1];
        heard.crossings += i >= 2 && (out[i - 2] < 0) != (out[i] < 0) ? 1 : 0;
    }
    return heard;
}

}  // namespace

class TestSdlSound : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { qputenv("SDL_AUDIODRIVER", "dummy"); }

    void aDeviceIsHeldOnlyWhileThereIsSomethingToPlay() {
        TempFolder dir;
        const std::string music = dir.File("bck.wav");
        WriteFile(music, SilentWav());
        platform::SdlSound sound;
        sound.PlayLooping(dir.File("missing.wav"));
        QVERIFY(!sound.DeviceOpen());
        QCOMPARE(SDL_WasInit(SDL_INIT_AUDIO), Uint32{0});  // nothing to play: SDL not even started
        sound.PlayLooping(music);
        QVERIFY(sound.DeviceOpen());
        sound.SetMuted(true);
        QVERIFY(!sound.DeviceOpen());
        sound.SetMuted(false);
        QVERIFY(sound.DeviceOpen());
        sound.Stop();
        QVERIFY(!sound.DeviceOpen());
    }

    void aFileThatIsNoWavIsSilenceAndOneLine() {
        TempFolder dir;
        const std::string music = dir.File("bck.wav");
        WriteFile(music, "not a wave file");
        platform::SdlSound sound;
        std::fflush(stderr);
        char name[] = "/tmp/kelvo-stderr-XXXXXX";
        const int capture = ::mkstemp(name);
        const int saved = ::dup(2);
        ::dup2(capture, 2);
        sound.PlayLooping(music);
        sound.PlayLooping(music);
        std::fflush(stderr);
        ::dup2(saved, 2);
        ::close(saved);
        ::close(capture);
        const std::string said = ReadFile(name);
        ::unlink(name);
        QVERIFY(!sound.DeviceOpen());
        QCOMPARE(std::count(said.begin(), said.end(), '\n'), std::ptrdiff_t{1});
        QVERIFY2(said.find("cannot play " + music) != std::string::npos, said.c_str());
    }

    void theCuesHaveTheirOwnDeviceWhileTheyAreOnAndTheMusicsDoesNotCount() {
        platform::SdlSound sound;
        sound.PlayCues({{platform::Cue::Kind::Eat, 0, 0, 0}});  // off: dropped, nothing opened
        QVERIFY(!sound.CueDeviceOpen());
        sound.SetMuted(true);
        sound.SetCues(true);
        QVERIFY(sound.CueDeviceOpen() && !sound.DeviceOpen());
        sound.PlayCues({{platform::Cue::Kind::Eat, 0, 0, 0}});
        sound.SetCues(false);
        QVERIFY(!sound.CueDeviceOpen());
    }

    void aCuesPanAndPitchAreHeard() {
        using Kind = platform::Cue::Kind;
        const Heard left = Hear({Kind::Apple, -1, 0, 0});
        const Heard right = Hear({Kind::Apple, 0.5f, 0, 0});
        const Heard centre = Hear({Kind::Apple, 0, 0, 0});
        QVERIFY(left.left > 0.01 && left.right < left.left / 1000);
        QVERIFY(right.right > 2 * right.left);
        QVERIFY(std::abs(centre.left - centre.right) < centre.left / 1000);
        // Higher above the head, lower below: an octave each way at the walls.
        const int middle = centre.crossings;
        QVERIFY(Hear({Kind::Apple, 0, 1, 0}).crossings > 1.8 * middle);
        QVERIFY(Hear({Kind::Apple, 0, -0.5f, 0}).crossings < middle);
        // A danger next step is louder than one the step after.
        QVERIFY(Hear({Kind::Danger, 0, 0, 2}).left > 1.5 * Hear({Kind::Danger, 0, 0, 1}).left);
    }

    void aCueWaitsForItsStepAndANewPlayDropsTheWaitingOnes() {
        using Kind = platform::Cue::Kind;
        platform::CueSynth synth(48000);
        // A tone on the left now; the next step's, 50 ms on, on the right, cuts it short.
        synth.Start({{Kind::Apple, -1, 0, 0, 0}, {Kind::Apple, 1, 0, 0, 50}});
        std::vector<float> rest;
        synth.RenderRest(rest);
        QCOMPARE(rest.size(), size_t{2 * 48 * 120});
        const auto [nowLeft, nowRight] = Energy(rest, 0, 48 * 50);
        const auto [laterLeft, laterRight] = Energy(rest, 48 * 50, 48 * 120);
        QVERIFY(nowLeft > 1 && nowRight < 1e-6 && laterRight > 1 && laterLeft < 1e-6);
        // 10 ms on, the snake stops: what waits is dropped, what sounds plays out.
        synth.Advance(480);
        synth.Start({});
        synth.RenderRest(rest);
        QCOMPARE(rest.size(), size_t{2 * 48 * 60});
        QVERIFY(Energy(rest, 0, 48 * 60).second < 1e-6);
    }
};

QTEST_MAIN(TestSdlSound)
#include "test_sdl_sound.moc"
