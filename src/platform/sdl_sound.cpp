// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/sdl_sound.h"

#include <SDL.h>
#include <pulse/pulseaudio.h>

#include <QFileInfo>
#include <QGuiApplication>
#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "settings/report.h"

namespace platform {

using profile::SayOnce;  // each trouble in one line, once a run

namespace {

std::int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

SdlSound::SdlSound() {
    topUp_.setInterval(500);
    QObject::connect(&topUp_, &QTimer::timeout, &lifetime_, [this] { TopUpMusic(); });
    QObject::connect(qApp, &QGuiApplication::applicationStateChanged, &lifetime_,
                     [this](Qt::ApplicationState state) {
                         active_ = state == Qt::ApplicationActive;
                         Apply();
                         SetCues(cuesOn_);
                     });
}

SdlSound::~SdlSound() {
    Close();
    CloseCues();
    if (samples_ != nullptr) {
        SDL_FreeWAV(samples_);
    }
    if (audioReady_) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

void SdlSound::PlayLooping(const std::string& path) {
    path_ = path;
    started_ = true;
    music_.reset();  // from its beginning again, as below
    topUp_.stop();
    if (device_ != 0) {
        SDL_LockAudioDevice(device_);
        position_ = 0;  // from its beginning again
        SDL_UnlockAudioDevice(device_);
    }
    Apply();
}

void SdlSound::Stop() {
    started_ = false;
    Apply();
}

void SdlSound::SetMuted(bool muted) {
    muted_ = muted;
    Apply();
}

void SdlSound::Apply() {
    if (!started_ || muted_ || !QFileInfo(QString::fromStdString(path_)).isFile()) {
        Close();  // nothing to play: no device is held
        return;
    }
    if (music_ == nullptr && device_ == 0 && !OpenMusic() && !Open()) {
        return;
    }
    if (music_ != nullptr) {
        music_->Pause(!active_);
    } else {
        SDL_PauseAudioDevice(device_, active_ ? 0 : 1);
    }
}

bool SdlSound::ServerAllowed() {
    // Unless the player has told SDL to use another way.
    const char* driver = std::getenv("SDL_AUDIODRIVER");
    const std::string named = driver != nullptr ? driver : "";
    return named.empty() || named.find("pulse") != std::string::npos ||
           named.find("pipewire") != std::string::npos;
}

bool SdlSound::OpenMusic() {
    if (!ServerAllowed() || !Load()) {
        return false;
    }
    int sample = -1;
    switch (format_) {
        case AUDIO_U8:
            sample = PA_SAMPLE_U8;
            break;
        case AUDIO_S16LSB:
            sample = PA_SAMPLE_S16LE;
            break;
        case AUDIO_S16MSB:
            sample = PA_SAMPLE_S16BE;
            break;
        case AUDIO_S32LSB:
            sample = PA_SAMPLE_S32LE;
            break;
        case AUDIO_F32LSB:
            sample = PA_SAMPLE_FLOAT32LE;
            break;
        default:
            return false;  // one the server does not take: SDL converts it
    }
    music_ = std::make_unique<PulseStream>();
    if (!music_->Open("Music", {sample, rate_, channels_}, PulseStream::Use::Music)) {
        music_.reset();
        return false;
    }
    position_ = 0;
    musicLowered_ = false;
    TopUpMusic();
    topUp_.start();
    return true;
}

void SdlSound::TopUpMusic() {
    if (music_ == nullptr) {
        return;
    }
    // Lower while cues sound, full again a little after.
    const bool lowered = NowMs() < cuesUntil_.load() + 250;
    if (lowered != musicLowered_) {
        musicLowered_ = lowered;
        music_->SetVolume(lowered ? 0.375 : 1.0);
    }
    std::size_t room = music_->Room();
    while (room > 0) {
        const std::size_t run = std::min<std::size_t>(room, length_ - position_);
        if (!music_->Append(samples_ + position_, run)) {
            // The server has gone: the music goes on through SDL.
            music_.reset();
            topUp_.stop();
            Apply();
            return;
        }
        room -= run;
        position_ = position_ + run == length_ ? 0 : static_cast<std::uint32_t>(position_ + run);
    }
}

void SdlSound::SetCues(bool on) {
    cuesOn_ = on;
    if (!on) {
        CloseCues();
        return;
    }
    if (pulse_ == nullptr && cueDevice_ == 0) {
        synth_.Prepare();
        // Pushed to the sound server where it speaks PulseAudio's protocol.
        if (ServerAllowed()) {
            pulse_ = std::make_unique<PulseStream>();
            if (!pulse_->Open("Play-by-ear cues", {PA_SAMPLE_FLOAT32NE, kCueRate, 2},
                              PulseStream::Use::Cues)) {
                pulse_.reset();
            }
        }
        if (pulse_ == nullptr && !OpenCueDevice()) {
            return;
        }
    }
    if (cueDevice_ != 0) {
        SDL_PauseAudioDevice(cueDevice_, active_ ? 0 : 1);
    }
}

bool SdlSound::OpenCueDevice() {
    if (!AudioReady()) {
        return false;
    }
    // Float stereo made as it plays, in a buffer of about 5 ms: the device is held while the
    // cues are on, so that a cue waits for no device to open.
    SDL_AudioSpec wanted{};
    wanted.freq = kCueRate;
    wanted.format = AUDIO_F32SYS;
    wanted.channels = 2;
    wanted.samples = kCueFrames;
    wanted.callback = &SdlSound::FillCues;
    wanted.userdata = this;
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_STREAM_NAME, "Play-by-ear cues");
    cueDevice_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (cueDevice_ == 0) {
        SayOnce("kelvo-snake: no sound device for the cues: %s\n", SDL_GetError());
        return false;
    }
    return true;
}

void SdlSound::CloseCues() {
    pulse_.reset();
    if (cueDevice_ != 0) {
        SDL_CloseAudioDevice(cueDevice_);
        cueDevice_ = 0;
    }
}

void SdlSound::PlayCues(const std::vector<Cue>& cues) {
    if (pulse_ != nullptr) {
        PushCues(cues);
    } else if (cueDevice_ != 0) {
        SDL_LockAudioDevice(cueDevice_);
        synth_.Start(cues);
        SDL_UnlockAudioDevice(cueDevice_);
    }
}

void SdlSound::PushCues(const std::vector<Cue>& cues) {
    // What has played since the last push, by the clock: each push starts where the server
    // reads, as the last one did, so the two stay in step.
    const auto now = std::chrono::steady_clock::now();
    synth_.Advance(std::chrono::duration_cast<std::chrono::microseconds>(now - pushed_).count() *
                   48 / 1000);
    pushed_ = now;
    synth_.Start(cues);
    synth_.RenderRest(mix_);
    // As long as what the last push left to play, so that all of it is replaced.
    const long frames = std::max(static_cast<long>(mix_.size() / 2), pushedUntil_ - synth_.Now());
    mix_.resize(2 * static_cast<size_t>(frames), 0.0f);
    pushedUntil_ = synth_.Now() + frames;
    if (!pulse_->Play(mix_.data(), mix_.size() * sizeof(float))) {
        // The server has gone: the cues go on through SDL, as wherever there is none.
        pulse_.reset();
        if (OpenCueDevice()) {
            SDL_PauseAudioDevice(cueDevice_, active_ ? 0 : 1);
        }
        return;
    }
    cuesUntil_ = NowMs() + synth_.RemainingMs();
    if (music_ != nullptr && !musicLowered_) {
        TopUpMusic();  // lowered at once
    }
}

bool SdlSound::AudioReady() {
    if (!audioReady_) {
        // Mixers list the sounds under the game's name, as a game's streams. A player's own
        // settings of these (SDL's environment variables) hold.
        SDL_SetHint(SDL_HINT_APP_NAME, "Kelvo Snake");
        SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Kelvo Snake");
        SDL_SetHint(SDL_HINT_AUDIO_DEVICE_STREAM_ROLE, "game");
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            SayOnce("kelvo-snake: no sound: %s\n", SDL_GetError());
            return false;
        }
        audioReady_ = true;
    }
    return true;
}

bool SdlSound::Load() {
    if (loaded_ != path_) {
        if (samples_ != nullptr) {
            SDL_FreeWAV(samples_);
            samples_ = nullptr;
        }
        loaded_.clear();
        SDL_AudioSpec wav{};
        if (SDL_LoadWAV(path_.c_str(), &wav, &samples_, &length_) == nullptr) {
            SayOnce("kelvo-snake: cannot play %s\n", path_ + ": " + SDL_GetError());
            return false;
        }
        rate_ = wav.freq;
        format_ = wav.format;
        channels_ = wav.channels;
        // Whole sample frames only, so that the loop never shifts the channels.
        const Uint32 frame = SDL_AUDIO_BITSIZE(format_) / 8 * channels_;
        length_ -= frame != 0 ? length_ % frame : length_;
        if (length_ == 0) {
            SayOnce("kelvo-snake: cannot play %s: it holds no sound\n", path_);
            return false;
        }
        loaded_ = path_;
    }
    return true;
}

bool SdlSound::Open() {
    if (!AudioReady() || !Load()) {
        return false;
    }
    SDL_AudioSpec wanted{};
    wanted.freq = rate_;
    wanted.format = format_;
    wanted.channels = channels_;
    // A long buffer (about 190 ms of the music as built): the music wakes the program seldom,
    // and a pause or the lowering under the cues comes no later than that.
    wanted.samples = 4096;
    wanted.callback = &SdlSound::Fill;
    wanted.userdata = this;
    position_ = 0;
    volume_ = SDL_MIX_MAXVOLUME;
    SDL_SetHint(SDL_HINT_AUDIO_DEVICE_STREAM_NAME, "Music");
    SDL_AudioSpec obtained{};
    device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    silence_ = obtained.silence;
    if (device_ == 0) {
        SayOnce("kelvo-snake: no sound device: %s\n", SDL_GetError());
        return false;
    }
    return true;
}

void SdlSound::Close() {
    music_.reset();
    topUp_.stop();
    if (device_ != 0) {
        SDL_CloseAudioDevice(device_);
        device_ = 0;
    }
}

void SdlSound::Fill(void* self, std::uint8_t* stream, int length) {
    auto& sound = *static_cast<SdlSound*>(self);
    // Lower (to 3/8) while a cue has sounded in the last quarter second, eased over a few
    // buffers so that the change makes no click.
    const bool cueSounding = NowMs() < sound.cuesUntil_.load() + 250;
    const int target = cueSounding ? SDL_MIX_MAXVOLUME * 3 / 8 : SDL_MIX_MAXVOLUME;
    sound.volume_ += std::clamp(target - sound.volume_, -20, 20);
    auto wanted = static_cast<Uint32>(std::max(length, 0));
    if (sound.volume_ < SDL_MIX_MAXVOLUME) {
        std::memset(stream, sound.silence_, wanted);
    }
    while (wanted > 0) {
        const Uint32 run = std::min(wanted, sound.length_ - sound.position_);
        if (sound.volume_ < SDL_MIX_MAXVOLUME) {
            SDL_MixAudioFormat(stream, sound.samples_ + sound.position_, sound.format_, run,
                               sound.volume_);
        } else {
            std::memcpy(stream, sound.samples_ + sound.position_, run);
        }
        stream += run;
        wanted -= run;
        sound.position_ = sound.position_ + run == sound.length_ ? 0 : sound.position_ + run;
    }
}

void SdlSound::FillCues(void* self, std::uint8_t* stream, int length) {
    auto& sound = *static_cast<SdlSound*>(self);
    std::memset(stream, 0, static_cast<size_t>(std::max(length, 0)));
    const int frames = length / static_cast<int>(2 * sizeof(float));
    if (sound.synth_.Render(reinterpret_cast<float*>(stream), frames)) {
        sound.cuesUntil_ = NowMs();
        ++sound.cueBuffers_;
    }
}

}  // namespace platform
