// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/fake_platform.h"

#include <algorithm>

namespace fake {

std::int64_t Pump::Unwrapped(std::uint32_t tick) const {
    // Ticks are taken relative to the clock so that scripts may cross the 32-bit wrap.
    return clock_.time + platform::TicksBetween(clock_.Now(), tick);
}

void Pump::At(std::uint32_t tick, std::function<void()> action) {
    script_.emplace(Unwrapped(tick), std::move(action));
}

void Pump::DoEvents() {
    ++doEventsCalls;
    const std::int64_t now = clock_.time;
    while (!script_.empty() && script_.begin()->first <= now) {
        auto action = std::move(script_.begin()->second);
        script_.erase(script_.begin());
        action();
    }
}

bool Pump::WaitUntil(std::uint32_t deadline) {
    ++waits;
    const std::int64_t now = clock_.time;
    std::int64_t target = Unwrapped(deadline);
    // With a coarse counter the reading reaches the deadline at the next step at or after it.
    const std::int64_t g = clock_.granularity;
    const std::int64_t phase = ((target % g) + g) % g;
    if (phase != 0) {
        target += g - phase;
    }
    target = std::max(target, now + 1);
    if (!script_.empty() && script_.begin()->first < target) {
        target = std::max(script_.begin()->first, now + 1);
    }
    clock_.time = target;
    return false;  // scripted actions run in DoEvents only
}

bool Boxes::AskYesNo(const std::string& text, const std::string& title) {
    shown.push_back({text, title, true});
    ++open;
    if (whileOpen) {
        whileOpen();
    }
    --open;
    if (answers.empty()) {
        return true;
    }
    const bool yes = answers.front();
    answers.pop_front();
    return yes;
}

void Boxes::Inform(const std::string& text, const std::string& title) {
    shown.push_back({text, title, false});
    ++open;
    if (whileOpen) {
        whileOpen();
    }
    --open;
}

}  // namespace fake
