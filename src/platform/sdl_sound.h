// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The music and the play-by-ear cues, written to the desktop's sound server (PulseAudio, or
// PipeWire's PulseAudio service; pulse_stream.h): the WAV file is loaded once and looped without
// a gap, two seconds ahead, topped up twice a second; the cues are pushed at the moment of their
// step. Where there is no such server, or SDL_AUDIODRIVER names another driver, both play
// through SDL's audio instead (ALSA, say): the music on a device fed by its callback, the cues
// on a second device with a 5 ms buffer, which costs a wake-up every 5 ms while they are on.
#pragma once

#include <QObject>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/cue_synth.h"
#include "platform/platform.h"
#include "platform/pulse_stream.h"

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
    void SetCues(bool on) override;
    bool CuesOn() const override { return cuesOn_; }
    void PlayCues(const std::vector<Cue>& cues) override;
    // Whether a sound device is held, for tests: the music's, the cues' (a stream of the sound
    // server's, or an SDL device).
    bool DeviceOpen() const { return device_ != 0 || music_ != nullptr; }
    bool CueDeviceOpen() const { return cueDevice_ != 0 || pulse_ != nullptr; }
    // For the benchmark: whether the cues are pushed to the sound server; the server's estimate
    // of how soon they are heard; how many of the SDL device's buffers have held a sounding cue.
    bool CuesPushed() const { return pulse_ != nullptr; }
    std::optional<double> CueServerLatencyMs() {
        return pulse_ ? pulse_->LatencyMs() : std::nullopt;
    }
    std::uint64_t CueBuffersSounded() const { return cueBuffers_.load(); }
    // The cues' device buffer, in sample frames at 48 kHz.
    static constexpr int kCueFrames = 256;
    static constexpr int kCueRate = 48000;

  private:
    void Apply();
    static bool ServerAllowed();
    bool Load();
    bool OpenMusic();
    void TopUpMusic();
    bool AudioReady();
    bool Open();
    void Close();
    bool OpenCueDevice();
    void CloseCues();
    void PushCues(const std::vector<Cue>& cues);
    // Fills the device's buffer from the loaded file, from its start again at its end; lower
    // while cues sound.
    static void Fill(void* self, std::uint8_t* stream, int length);
    static void FillCues(void* self, std::uint8_t* stream, int length);

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
    std::uint8_t silence_ = 0;  // the byte of silence in that format
    std::uint8_t* samples_ = nullptr;
    std::uint32_t length_ = 0;
    std::uint32_t position_ = 0;  // touched by the device's thread while it is open
    std::uint32_t device_ = 0;    // SDL's audio device, 0 while none is open
    int volume_ = 128;            // the music's, of SDL's 128; the music's device thread's

    bool cuesOn_ = false;
    std::unique_ptr<PulseStream> music_;  // while the music is written to the server
    QTimer topUp_;
    bool musicLowered_ = false;
    std::unique_ptr<PulseStream> pulse_;            // while the cues are pushed to the server
    std::vector<float> mix_;                        // what is pushed
    std::chrono::steady_clock::time_point pushed_;  // when it was
    long pushedUntil_ = 0;                          // where it ends, on the synthesiser's clock
    std::uint32_t cueDevice_ = 0;                   // or SDL's device, while the cues are on
    CueSynth synth_{kCueRate};                      // the device's thread's, or under its lock
    // Milliseconds on the steady clock until which cues sound; the music is lower until then.
    std::atomic<std::int64_t> cuesUntil_{0};
    std::atomic<std::uint64_t> cueBuffers_{0};
};

}  // namespace platform
