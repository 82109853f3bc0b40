// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/pulse_cues.h"

#include <pulse/pulseaudio.h>

#include <chrono>
#include <vector>

namespace platform {

namespace {

constexpr int kRate = 48000;
constexpr std::uint32_t kFrameBytes = 2 * sizeof(float);

}  // namespace

PulseCues::~PulseCues() {
    Close();
}

template <typename Done>
bool PulseCues::RunUntil(Done done, int timeoutMs) {
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

bool PulseCues::Open(const std::string& appName, const std::string& streamName) {
    loop_ = pa_mainloop_new();
    // The player's own PULSE_PROP settings hold, as for any program of theirs.
    pa_proplist* properties = pa_proplist_new();
    pa_proplist_sets(properties, PA_PROP_APPLICATION_NAME, appName.c_str());
    context_ = pa_context_new_with_proplist(pa_mainloop_get_api(loop_), appName.c_str(),
                                            properties);
    pa_proplist_free(properties);
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
    const pa_sample_spec spec{PA_SAMPLE_FLOAT32NE, kRate, 2};
    pa_proplist* streamProperties = pa_proplist_new();
    pa_proplist_sets(streamProperties, PA_PROP_MEDIA_ROLE, "game");
    stream_ = pa_stream_new_with_proplist(context_, streamName.c_str(), &spec, nullptr,
                                          streamProperties);
    pa_proplist_free(streamProperties);
    // Room for the longest cue and the steps foreseen. A target of 20 ms: short enough that a
    // server without rewinds (PipeWire) plays a cue within about 10 ms, long enough that the
    // server does not run every other stream of the desktop (the music) in tiny pieces. No
    // prebuffering: a cue plays as soon as it is written, and the stream running dry between
    // cues is nothing to wait out.
    pa_buffer_attr buffer{};
    buffer.maxlength = kRate * kFrameBytes;
    buffer.tlength = kRate / 100 * kFrameBytes;
    buffer.prebuf = 0;
    buffer.minreq = static_cast<std::uint32_t>(-1);
    buffer.fragsize = static_cast<std::uint32_t>(-1);
    if (stream_ == nullptr ||
        pa_stream_connect_playback(stream_, nullptr, &buffer, PA_STREAM_ADJUST_LATENCY, nullptr,
                                   nullptr) < 0 ||
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
    // A moment of silence now: a server whose sink has been idle may take a second or two to
    // start a new stream, which is better spent before the first cue than on it.
    const std::vector<float> silence(2 * kRate / 100, 0.0f);
    return Play(silence.data(), silence.size() / 2);
}

bool PulseCues::Play(const float* frames, std::size_t count) {
    if (stream_ == nullptr || pa_context_get_state(context_) != PA_CONTEXT_READY ||
        pa_stream_get_state(stream_) != PA_STREAM_READY) {
        return false;
    }
    // Written where the server reads now: what was still to play of the last cues is replaced
    // (the frames hold it, mixed with the new cue).
    if (count > 0 && pa_stream_write(stream_, frames, count * kFrameBytes, nullptr, 0,
                                     PA_SEEK_RELATIVE_ON_READ) < 0) {
        return false;
    }
    // Sends it now, and takes whatever the server said meanwhile, without waiting for anything.
    pa_mainloop_iterate(loop_, 0, nullptr);
    return true;
}

std::optional<double> PulseCues::LatencyMs() {
    if (stream_ == nullptr) {
        return std::nullopt;
    }
    bool answered = false;
    pa_operation* update = pa_stream_update_timing_info(
        stream_, [](pa_stream*, int, void* done) { *static_cast<bool*>(done) = true; },
        &answered);
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

void PulseCues::Close() {
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
