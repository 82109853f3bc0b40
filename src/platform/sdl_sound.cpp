// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/sdl_sound.h"

#include <SDL.h>

#include <QFileInfo>
#include <QGuiApplication>
#include <algorithm>
#include <cstring>

#include "settings/report.h"

namespace platform {

using profile::SayOnce;  // each trouble in one line, once a run

SdlSound::SdlSound() {
    QObject::connect(qApp, &QGuiApplication::applicationStateChanged, &lifetime_,
                     [this](Qt::ApplicationState state) {
                         active_ = state == Qt::ApplicationActive;
                         Apply();
                     });
}

SdlSound::~SdlSound() {
    Close();
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
    if (device_ == 0 && !Open()) {
        return;
    }
    SDL_PauseAudioDevice(device_, active_ ? 0 : 1);
}

bool SdlSound::Open() {
    if (!audioReady_) {
        // Mixers list the music under the game's name, as a game's stream. A player's own
        // settings of these (SDL's environment variables) hold.
        SDL_SetHint(SDL_HINT_APP_NAME, "Kelvo Snake");
        SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Kelvo Snake");
        SDL_SetHint(SDL_HINT_AUDIO_DEVICE_STREAM_NAME, "Music");
        SDL_SetHint(SDL_HINT_AUDIO_DEVICE_STREAM_ROLE, "game");
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
            SayOnce("kelvo-snake: no sound: %s\n", SDL_GetError());
            return false;
        }
        audioReady_ = true;
    }
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
    SDL_AudioSpec wanted{};
    wanted.freq = rate_;
    wanted.format = format_;
    wanted.channels = channels_;
    wanted.samples = 2048;
    wanted.callback = &SdlSound::Fill;
    wanted.userdata = this;
    position_ = 0;
    device_ = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
    if (device_ == 0) {
        SayOnce("kelvo-snake: no sound device: %s\n", SDL_GetError());
        return false;
    }
    return true;
}

void SdlSound::Close() {
    if (device_ != 0) {
        SDL_CloseAudioDevice(device_);
        device_ = 0;
    }
}

void SdlSound::Fill(void* self, std::uint8_t* stream, int length) {
    auto& sound = *static_cast<SdlSound*>(self);
    auto wanted = static_cast<Uint32>(std::max(length, 0));
    while (wanted > 0) {
        const Uint32 run = std::min(wanted, sound.length_ - sound.position_);
        std::memcpy(stream, sound.samples_ + sound.position_, run);
        stream += run;
        wanted -= run;
        sound.position_ = sound.position_ + run == sound.length_ ? 0 : sound.position_ + run;
    }
}

}  // namespace platform
