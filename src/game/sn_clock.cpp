// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The game clock and the keyboard.
#include "game/sn.h"
#include "platform/keys.h"

void Sn::StartTimer(std::int32_t& interval) {
    tickStart = Now();
    clockOn = true;
    tickInterval = interval;
}

// Kept because the design names it; nothing calls it, as Game_Over clears clockOn itself.
void Sn::EndTimer() {
    clockOn = false;
}

void Sn::Check_Timer() {
    // Asked for while it runs (space during play, No on the exit prompt): the running loop goes
    // on with the caller's updates already applied.
    if (loopRunning) {
        return;
    }
    loopRunning = true;
    bool eventsJustRan = false;
    while (clockOn && !Ended()) {
        // Pending events run here; a wait that has just let them run stands for this step.
        if (!eventsJustRan) {
            platform_.pump.DoEvents();
        }
        eventsJustRan = false;
        if (Ended()) {
            break;
        }
        const std::int32_t elapsed = platform::TicksBetween(tickStart, Now());
        if (elapsed > tickInterval) {
            tickStart = Now() - static_cast<std::uint32_t>(tickInterval);  // late: re-base
        }
        if (platform::TicksBetween(tickStart, Now()) == tickInterval) {
            tickStart = Now();
            ExeTimer();
        } else if (clockOn) {
            // Nothing is due: sleep until the next tick or the next event instead of spinning.
            eventsJustRan =
                platform_.pump.WaitUntil(tickStart + static_cast<std::uint32_t>(tickInterval));
        }
    }
    loopRunning = false;
}

void Sn::ExeTimer() {
    if (IsWaiting()) {
        return;
    }
    check_coll();
    if (!keyMoved) {
        fMove();
        CueStep();
    }
    keyMoved = false;
    SoundCues();
    Refresh();
}

void Sn::Form_KeyDown(std::int16_t KeyCode, std::int16_t /*Shift*/) {
    if (KeyCode == platform::key::Escape) {
        escPressed = true;
        Unload();
        return;
    }
    if (IsOver()) {
        if (KeyCode == platform::key::F2) {
            restartPressed = true;
            Unload();
        }
        return;
    }
    if (KeyCode == platform::key::Space) {
        controls.label(Label::lblspace).Visible = false;
        tickStart = Now();
        Refresh();
        Check_Timer();
        return;
    }
    if (!IsWaiting()) {
        Turn(KeyCode);
    }
}

void Sn::Turn(std::int16_t KeyCode) {
    struct Heading {
        std::int16_t key;
        const char* refused;
        const char* heading;
    };
    static constexpr Heading kHeadings[] = {{platform::key::Up, "Y+", "Y-"},
                                            {platform::key::Down, "Y-", "Y+"},
                                            {platform::key::Right, "X-", "X+"},
                                            {platform::key::Left, "X+", "X-"}};
    for (const Heading& turn : kHeadings) {
        if (KeyCode == turn.key && direction != turn.refused) {
            if (direction != turn.heading) {
                CueEvent(platform::Cue::Kind::Turn);
            }
            direction = turn.heading;
            check_coll();
            fMove();
            CueStep();
            keyMoved = true;
            SoundCues();
            Refresh();
            return;
        }
    }
}

void Sn::Pause() {
    if (IsWaiting() || IsOver()) {
        return;
    }
    controls.label(Label::lblspace).Visible = true;
    CancelForeseenCues();
    Refresh();
}

void Sn::Timer2_Timer() {
    controls.Timer2Enabled = false;
    controls.label(Label::lblscore).Visible = false;
    Refresh();
}

void Sn::Unload() {
    if (host_ != nullptr) {
        host_->Unload();
    }
}

void Sn::Refresh() {
    if (host_ != nullptr) {
        host_->Refresh();
    }
}
