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

// Stands in for a window: Unload runs Form_Unload and closes unless it cancels.
template <typename Window>
struct RulesHost : platform::WindowHost {
    explicit RulesHost(Window& w) : window(w) {}
    void Unload() override {
        std::int16_t cancel = 0;
        window.Form_Unload(cancel);
        closed = closed || cancel == 0;
    }
    Window& window;
    bool closed = false;
};

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
        if (!start) {
            start.emplace(bundle, shared);
        }
        RulesHost<FrmStart> host(*start);
        start->CreateControls(host);
        start->Form_Load();
        while (!host.closed && !fake_.process.Ended()) {
            player_.InStart(*this, *start, host);
        }
    }

    void ShowMenu() override {
        if (!menu) {
            menu.emplace(bundle, shared);
        }
        RulesHost<FrmMenu> host(*menu);
        menu->CreateControls(host);
        menu->Form_Load();
        while (!host.closed && !fake_.process.Ended()) {
            player_.InMenu(*this, *menu, host);
        }
    }

    void ShowGame() override {
        if (!game) {
            game.emplace(bundle, shared);
        }
        RulesHost<Sn> host(*game);
        game->CreateControls(host);
        game->Form_Load();
        pump.onEvents = [&] { player_.InGame(*this, *game, host); };
        while (!host.closed && !fake_.process.Ended()) {
            player_.InGame(*this, *game, host);
        }
        pump.onEvents = nullptr;
    }

    fake::Platform& fake() { return fake_; }

    SharedState shared;
    std::optional<FrmStart> start;
    std::optional<FrmMenu> menu;
    std::optional<Sn> game;
    PlayerPump pump{fake_.clock};
    // The fake platform with the player's pump in place of the scripted one.
    platform::Platform bundle{fake_.clock,   pump,         fake_.boxes, fake_.sound,
                              fake_.process, fake_.screen, fake_.random};
};
