#include "support/fake_platform.h"

namespace fake {

std::int64_t Pump::Unwrapped(std::uint32_t tick) const {
    // Ticks are taken relative to the clock so that scripts may cross the 32-bit wrap.
    return static_cast<std::int64_t>(clock_.now) + platform::TicksBetween(clock_.now, tick);
}

void Pump::At(std::uint32_t tick, std::function<void()> action) {
    script_.emplace(Unwrapped(tick), std::move(action));
}

void Pump::DoEvents() {
    ++doEventsCalls;
    const std::int64_t now = clock_.now;
    while (!script_.empty() && script_.begin()->first <= now) {
        auto action = std::move(script_.begin()->second);
        script_.erase(script_.begin());
        action();
    }
}

void Pump::WaitUntil(std::uint32_t deadline) {
    ++waits;
    std::int64_t target = Unwrapped(deadline);
    if (!script_.empty() && script_.begin()->first < target) {
        target = script_.begin()->first;
    }
    if (target > clock_.now) {
        clock_.now = static_cast<std::uint32_t>(target);
    }
}

bool Boxes::AskYesNo(const std::string& text, const std::string& title) {
    shown.push_back({text, title, true});
    if (whileOpen) {
        whileOpen();
    }
    if (answers.empty()) {
        return true;
    }
    const bool yes = answers.front();
    answers.pop_front();
    return yes;
}

void Boxes::Inform(const std::string& text, const std::string& title) {
    shown.push_back({text, title, false});
    if (whileOpen) {
        whileOpen();
    }
}

}  // namespace fake
