// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The music, played through SDL's audio (PipeWire, PulseAudio or ALSA, whichever the desktop
// has): the WAV file is loaded once and looped without a gap by the device's own callback.
#pragma once

#include <QObject>
#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace platform {

// The music plays while it has been started, is not muted and the program is the active one:
// it pauses while the player is in another program, and plays on when they come back. The
// sound device is opened only when there is something to play, and closed when the music
// stops or is muted. Without a device, or with a file that is not a WAV SDL can play, the
// game is silent and one line says why; a missing file is silence, unreported.
class SdlSound : public Sound {
  public:
    SdlSound();
    ~SdlSound() override;
    SdlSound(const SdlSound&) = delete;
    SdlSound& operator=(const SdlSound&) = delete;

    void PlayLooping(const std::string& path) override;
    void Stop() override;
    void SetMuted(bool muted) override;
    bool Muted() const override { return muted_; }
    // Whether a sound device is held, for tests.
    bool DeviceOpen() const { return device_ != 0; }

  private:
    void Apply();
    bool Open();
    void Close();
    // Fills the device's buffer from the loaded file, from its start again at its end.
    static void Fill(void* self, std::uint8_t* stream, int length);

    QObject lifetime_;  // the context of its connections, which end with it
    std::string path_;
    bool started_ = false;
    bool muted_ = false;
    bool active_ = true;
    bool audioReady_ = false;
    std::string loaded_;  // the file whose samples are loaded
    // The loaded file's samples, as SDL describes them (rate, sample format, channels).
    int rate_ = 0;
    std::uint16_t format_ = 0;
    std::uint8_t channels_ = 0;
    std::uint8_t* samples_ = nullptr;
    std::uint32_t length_ = 0;
    std::uint32_t position_ = 0;  // touched by the device's thread while it is open
    std::uint32_t device_ = 0;    // SDL's audio device, 0 while none is open
};

}  // namespace platform
