// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// A stream to the desktop's sound server (PulseAudio, or PipeWire through its PulseAudio
// service), written from the program's own thread and never waited on: nothing runs between
// writes, and what the server says meanwhile is taken at the next one. The play-by-ear cues
// are pushed at the moment of their step, to be heard at once; the music is written in long
// stretches, topped up now and then. Either way the program is not woken every few
// milliseconds to hand over sound, as a device fed by a callback is.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

struct pa_context;
struct pa_mainloop;
struct pa_stream;

namespace platform {

class PulseStream {
  public:
    enum class Use {
        Cues,   // short writes heard at once: the server is asked for 10 ms
        Music,  // a long buffer, seldom topped up
    };
    // PulseAudio's sample format (pa_sample_format_t), rate and channels.
    struct Format {
        int sample;
        int rate;
        int channels;
    };

    PulseStream() = default;
    ~PulseStream();
    PulseStream(const PulseStream&) = delete;
    PulseStream& operator=(const PulseStream&) = delete;

    // Connects and opens the stream, waiting at most half a second; false where there is no
    // server (or it does not answer), and nothing is held then.
    bool Open(const std::string& name, const Format& format, Use use);
    // Plays these bytes from now, in place of whatever of the last ones is still to play.
    // False once the server has gone.
    bool Play(const void* data, std::size_t bytes);
    // Adds these bytes after those already written.
    bool Append(const void* data, std::size_t bytes);
    // How many bytes the stream has room for now.
    std::size_t Room();
    void Pause(bool paused);
    // The stream's volume, as a share of full.
    void SetVolume(double share);
    // The server's estimate, in milliseconds, of how long a frame played now takes to be heard
    // (for the benchmark: it asks the server and waits for the answer).
    std::optional<double> LatencyMs();

  private:
    // Runs the server connection's events until `done` holds, or the deadline; false if not.
    template <typename Done>
    bool RunUntil(Done done, int timeoutMs);
    bool Good() const;
    bool Write(const void* data, std::size_t bytes, int seek);
    void Close();

    pa_mainloop* loop_ = nullptr;
    pa_context* context_ = nullptr;
    pa_stream* stream_ = nullptr;
};

}  // namespace platform
