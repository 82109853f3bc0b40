// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The music through SDL's audio, on its dummy driver: a device is held only while there is
// something to play, and a file that cannot be played is silence and one line.
#include <SDL.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QTest>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

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
};

QTEST_MAIN(TestSdlSound)
#include "test_sdl_sound.moc"
