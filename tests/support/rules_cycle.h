// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// A whole run of the program over the windows' rules, without Qt: the real cycle of windows
// (Main), the real FrmStart, FrmMenu and Sn, the fake platform, and a Player that decides what
// happens in each window, one event at a time.
#pragma once

#include <functional>
#include <optional>

#include "app/main_cycle.h"
#include "game/sn.h"
#include "menu/frm_menu.h"
#include "start/frm_start.h"
#include "support/fake_platform.h"
#include "support/rules_host.h"

class RulesCycle;

// Decides the events. Each call makes one event happen in the open window (or does nothing);
// the cycle calls it until that window closes or the program ends.
struct Player {
    virtual ~Player() = default;
    virtual void InStart(RulesCycle& cycle, FrmStart& w, RulesHost<FrmStart>& host) = 0;
    virtual void InMenu(RulesCycle& cycle, FrmMenu& w, RulesHost<FrmMenu>& host) = 0;
    virtual void InGame(RulesCycle& cycle, Sn& w, RulesHost<Sn>& host) = 0;
};

// The game clock's loop asks this pump for events: it hands them to the player.
class PlayerPump : public platform::EventPump {
  public:
    explicit PlayerPump(fake::Clock& clock) : clock_(clock) {}
    void DoEvents() override {
        if (onEvents) {
            onEvents();
        }
    }
    bool WaitUntil(std::uint32_t deadline) override {
        const std::int32_t ahead = platform::TicksBetween(clock_.GetTickCount(), deadline);
        clock_.Advance(ahead > 0 ? ahead : 1);
        return false;
    }
    std::function<void()> onEvents;

  private:
    fake::Clock& clock_;
};

class RulesCycle : public WindowCycle {
    // First, as the members below are built from them.
    fake::Platform& fake_;
    Player& player_;

  public:
    RulesCycle(fake::Platform& fake, Player& player) : fake_(fake), player_(player) {}

    // One run of the program, from Main's start to its end; the windows are new for each run.
    void Run() {
        shared = SharedState{};
        start.reset();
        menu.reset();
        game.reset();
        fake_.process.endCalls = 0;
        Main(shared, fake_.process, *this);
    }

    void ShowStart() override {
        ShowModal(start,
                  [this](FrmStart& w, RulesHost<FrmStart>& h) { player_.InStart(*this, w, h); });
    }
    void ShowMenu() override {
        ShowModal(menu, [this](FrmMenu& w, RulesHost<FrmMenu>& h) { player_.InMenu(*this, w, h); });
    }
    // The game's clock loop asks the pump for events: those are the player's too.
    void ShowGame() override {
        ShowModal(
            game, [this](Sn& w, RulesHost<Sn>& h) { player_.InGame(*this, w, h); }, true);
    }

    fake::Platform& fake() { return fake_; }

    // Makes the window on its first showing, loads it afresh, and lets the player act until it
    // closes or the program ends. After the end it shows nothing.
    template <typename Window, typename Act>
    void ShowModal(std::optional<Window>& window, Act act, bool playerPumpsEvents = false) {
        if (fake_.process.Ended()) {
            return;  // an ended program shows no further window
        }
        if (!window) {
            window.emplace(bundle, shared);
        }
        RulesHost<Window> host(*window);
        window->CreateControls(host);
        window->Form_Load();
        if (playerPumpsEvents) {
            pump.onEvents = [&] { act(*window, host); };
        }
        while (!host.closed() && !fake_.process.Ended()) {
            act(*window, host);
        }
        pump.onEvents = nullptr;
    }

    SharedState shared;
    std::optional<FrmStart> start;
    std::optional<FrmMenu> menu;
    std::optional<Sn> game;
    PlayerPump pump{fake_.clock};
    // The fake platform with the player's pump in place of the scripted one.
    platform::Platform bundle{fake_.clock,   pump,         fake_.boxes, fake_.sound,
                              fake_.process, fake_.screen, fake_.random};
};
