// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The play-by-ear cues pushed to the desktop's sound server (PulseAudio, or PipeWire through its
// PulseAudio service) at the moment of the step, from the game's own thread: each cue is written
// once, to be played at once, and between cues the stream lies idle. Nothing runs or wakes in
// between, where a stream fed by a device callback would wake every few milliseconds to hand
// over silence.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

struct pa_context;
struct pa_mainloop;
struct pa_stream;

namespace platform {

class PulseCues {
  public:
    PulseCues() = default;
    ~PulseCues();
    PulseCues(const PulseCues&) = delete;
    PulseCues& operator=(const PulseCues&) = delete;

    // Connects and opens the stream, waiting at most half a second; false where there is no
    // server (or it does not answer), and nothing is held then.
    bool Open(const std::string& appName, const std::string& streamName);
    // Plays these interleaved stereo frames (float, 48 kHz) from now, in place of whatever of
    // the last ones is still to play. False once the server has gone.
    bool Play(const float* frames, std::size_t count);
    // The server's estimate, in milliseconds, of how long a frame played now takes to be heard
    // (for the benchmark: it asks the server and waits for the answer).
    std::optional<double> LatencyMs();

  private:
    // Runs the server connection's events until `done` holds, or the deadline; false if not.
    template <typename Done>
    bool RunUntil(Done done, int timeoutMs);
    void Close();

    pa_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;
};

}  // namespace platform
