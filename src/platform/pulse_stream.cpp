// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/pulse_stream.h"

#include <pulse/pulseaudio.h>

#include <chrono>
#include <vector>

namespace platform {

PulseStream::~PulseStream() {
    Close();
}

template <typename Done>
bool PulseStream::RunUntil(Done done, int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        const auto left = std::chrono::duration_cast<std::chrono::microseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0 || pa_mainloop_prepare(loop_, static_cast<int>(left.count())) < 0 ||
            pa_mainloop_poll(loop_) < 0 || pa_mainloop_dispatch(loop_) < 0) {
            return false;
        }
    }
    return true;
}

bool PulseStream::Open(const std::string& name, const Format& format, Use use) {
    loop_ = pa_mainloop_new();
    // The program's name, icon and role come from its PULSE_PROP_OVERRIDE settings, which
    // every stream of the program takes; the player's own PULSE_PROP settings hold.
    context_ = pa_context_new(pa_mainloop_get_api(loop_), "Kelvo Snake");
    if (context_ == nullptr ||
        pa_context_connect(context_, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0 ||
        !RunUntil(
            [this] {
                const pa_context_state_t state = pa_context_get_state(context_);
                return state == PA_CONTEXT_READY || !PA_CONTEXT_IS_GOOD(state);
            },
            500) ||
        pa_context_get_state(context_) != PA_CONTEXT_READY) {
        Close();
        return false;
    }
    const pa_sample_spec sampling{static_cast<pa_sample_format_t>(format.sample),
                                  static_cast<std::uint32_t>(format.rate),
                                  static_cast<std::uint8_t>(format.channels)};
    if (!pa_sample_spec_valid(&sampling)) {
        Close();
        return false;
    }
    pa_proplist* properties = pa_proplist_new();
    pa_proplist_sets(properties, PA_PROP_MEDIA_ROLE, "game");
    stream_ = pa_stream_new_with_proplist(context_, name.c_str(), &sampling, nullptr, properties);
    pa_proplist_free(properties);
    const auto second = static_cast<std::uint32_t>(pa_bytes_per_second(&sampling));
    pa_buffer_attr buffer{};
    buffer.minreq = static_cast<std::uint32_t>(-1);
    buffer.fragsize = static_cast<std::uint32_t>(-1);
    pa_stream_flags_t flags = PA_STREAM_NOFLAGS;
    if (use == Use::Cues) {
        // Room for the longest cue and the steps foreseen; the server asked for 10 ms, so that
        // one without rewinds (PipeWire) also plays a cue within a few ms; no prebuffering: a
        // cue plays as soon as it is written, and the stream running dry between cues is
        // nothing to wait out.
        buffer.maxlength = second;
        buffer.tlength = static_cast<std::uint32_t>(pa_usec_to_bytes(10000, &sampling));
        buffer.prebuf = 0;
        flags = PA_STREAM_ADJUST_LATENCY;
    } else {
        // Two seconds ahead, filled before it starts.
        buffer.maxlength = 2 * second;
        buffer.tlength = 2 * second;
        buffer.prebuf = static_cast<std::uint32_t>(-1);
    }
    if (stream_ == nullptr ||
        pa_stream_connect_playback(stream_, nullptr, &buffer, flags, nullptr, nullptr) < 0 ||
        !RunUntil(
            [this] {
                const pa_stream_state_t state = pa_stream_get_state(stream_);
                return state == PA_STREAM_READY || !PA_STREAM_IS_GOOD(state);
            },
            500) ||
        pa_stream_get_state(stream_) != PA_STREAM_READY) {
        Close();
        return false;
    }
    if (use == Use::Cues) {
        // A moment of silence now: a server whose sink has been idle may take a second or two
        // to start a new stream, which is better spent before the first cue than on it.
        const std::vector<std::uint8_t> silence(pa_usec_to_bytes(10000, &sampling), 0);
        return Play(silence.data(), silence.size());
    }
    return true;
}

bool PulseStream::Good() const {
    return stream_ != nullptr && pa_context_get_state(context_) == PA_CONTEXT_READY &&
           pa_stream_get_state(stream_) == PA_STREAM_READY;
}

bool PulseStream::Write(const void* data, std::size_t bytes, int seek) {
    if (!Good()) {
        return false;
    }
    if (bytes > 0 &&
        pa_stream_write(stream_, data, bytes, nullptr, 0, static_cast<pa_seek_mode_t>(seek)) < 0) {
        return false;
    }
    // Sends it now, and takes whatever the server said meanwhile, without waiting for anything.
    pa_mainloop_iterate(loop_, 0, nullptr);
    return true;
}

bool PulseStream::Play(const void* data, std::size_t bytes) {
    // Written where the server reads now: what was still to play of the last cues is replaced.
    return Write(data, bytes, PA_SEEK_RELATIVE_ON_READ);
}

bool PulseStream::Append(const void* data, std::size_t bytes) {
    return Write(data, bytes, PA_SEEK_RELATIVE);
}

std::size_t PulseStream::Room() {
    if (!Good()) {
        return 0;
    }
    pa_mainloop_iterate(loop_, 0, nullptr);
    const std::size_t room = pa_stream_writable_size(stream_);
    return room == static_cast<std::size_t>(-1) ? 0 : room;
}

void PulseStream::Pause(bool paused) {
    if (Good()) {
        if (pa_operation* cork = pa_stream_cork(stream_, paused ? 1 : 0, nullptr, nullptr)) {
            pa_operation_unref(cork);
        }
        pa_mainloop_iterate(loop_, 0, nullptr);
    }
}

void PulseStream::SetVolume(double share) {
    if (!Good()) {
        return;
    }
    pa_cvolume volume;
    pa_cvolume_set(&volume, pa_stream_get_sample_spec(stream_)->channels,
                   pa_sw_volume_from_linear(share));
    if (pa_operation* set = pa_context_set_sink_input_volume(context_, pa_stream_get_index(stream_),
                                                             &volume, nullptr, nullptr)) {
        pa_operation_unref(set);
    }
    pa_mainloop_iterate(loop_, 0, nullptr);
}

std::optional<double> PulseStream::LatencyMs() {
    if (!Good()) {
        return std::nullopt;
    }
    bool answered = false;
    pa_operation* update = pa_stream_update_timing_info(
        stream_, [](pa_stream*, int, void* done) { *static_cast<bool*>(done) = true; }, &answered);
    if (update == nullptr) {
        return std::nullopt;
    }
    RunUntil([&answered] { return answered; }, 500);
    pa_operation_unref(update);
    const pa_timing_info* timing = pa_stream_get_timing_info(stream_);
    if (!answered || timing == nullptr) {
        return std::nullopt;
    }
    return static_cast<double>(timing->sink_usec + timing->transport_usec) / 1000;
}

void PulseStream::Close() {
    if (stream_ != nullptr) {
        pa_stream_disconnect(stream_);
        pa_stream_unref(stream_);
        stream_ = nullptr;
    }
    if (context_ != nullptr) {
        pa_context_disconnect(context_);
        pa_context_unref(context_);
        context_ = nullptr;
    }
    if (loop_ != nullptr) {
        pa_mainloop_free(loop_);
        loop_ = nullptr;
    }
}

}  // namespace platform
