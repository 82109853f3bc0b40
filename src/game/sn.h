// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The game window's rules: the walls, the snake, the food, the clock and the keys, as plain values
// in twips. A Qt view (game_window.h) paints these controls and hands on keys and close requests.
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "assets/catalog.h"
#include "platform/controls.h"
#include "platform/platform.h"
#include "platform/shared_state.h"
#include "platform/window_host.h"

// A picture box: a place, a picture shown unscaled from its top-left corner, and whether it
// resizes itself to its picture.
struct PictureControl {
    Box box;
    bool Visible = true;
    assets::Picture Picture = assets::Picture::None;
    bool AutoSize = false;
};

struct LabelControl {
    Box box;
    bool Visible = true;
    std::string Caption;
};

// The labels, in the order their ids index Controls::labels.
enum class Label : std::uint8_t { lblspace, lblscend, lblHigh, lblf2, lblscore, Count };

// A segment's position before a move.
struct SegPos {
    float left;
    float top;
};

// The snake's step of 24 pixels in twips, rounded half to even to a 16-bit whole number.
std::int16_t StepTwips(float twipsPerPixel);
// Whether a head at that place eats the food: one of its corners lies strictly inside it.
bool OnFood(const Box& head, const Box& food);

class Sn {
  public:
    // The window's controls as designed; made afresh at every showing.
    struct Controls {
        Box window{0, 0, 12000, 9000};
        std::vector<PictureControl> s;  // s[0] is the head, the last the tail
        PictureControl s1{
            {4080, 1080, 240, 240}, false, assets::Block(assets::Colour::Green), true};
        PictureControl str2colorpic{{8280, 720, 735, 615}, false, assets::Picture::None, false};
        PictureControl ltop{
            {0, 0, 12000, 210}, true, assets::HorizontalStrip(assets::Colour::Orange)};
        PictureControl lbottom{
            {0, 8790, 12000, 210}, true, assets::HorizontalStrip(assets::Colour::Orange)};
        PictureControl lleft{
            {0, 0, 210, 9000}, true, assets::VerticalStrip(assets::Colour::Orange)};
        PictureControl lright{
            {11790, 0, 210, 9000}, true, assets::VerticalStrip(assets::Colour::Orange)};
        PictureControl pban{{7560, 4680, 345, 390}, true, assets::Picture::Food, true};
        LabelControl labels[static_cast<int>(Label::Count)] = {
            {{2280, 2640, 6975, 735}, true, "Press Spacebar TO Start . . ."},
            {{3480, 4560, 6975, 855}, false, "$"},
            {{3120, 3480, 6495, 855}, false, "$"},
            {{3360, 5520, 6975, 495}, false, " Press F2 To Restart !"},
            {{360, 360, 11895, 495}, false, ""},
        };
        // Drawing order of the labels, back to front.
        std::vector<Label> labelOrder{Label::lblspace, Label::lblscend, Label::lblHigh,
                                      Label::lblf2, Label::lblscore};
        bool Timer2Enabled = false;
        int Timer2Interval = 1000;

        LabelControl& label(Label id) { return labels[static_cast<int>(id)]; }
        const LabelControl& label(Label id) const { return labels[static_cast<int>(id)]; }
    };

    Sn(platform::Platform& platform, SharedState& shared) : platform_(platform), shared_(shared) {}

    void CreateControls(platform::WindowHost& host);

    // Set-up.
    void Form_Load();
    // Puts the named colour's picture of a kind (assets::ColourKind) into str2colorpic.
    void Get_ColorPic(const std::string& name, std::int16_t kind);
    void Build_Snake();
    // Clock and keys.
    void StartTimer(std::int32_t& interval);
    void EndTimer();
    void Check_Timer();
    void ExeTimer();
    void Form_KeyDown(std::int16_t KeyCode, std::int16_t Shift);
    void Timer2_Timer();
    // Back to the waiting state during play (P, the Pause key, or the player going to another
    // program): the prompt shows, no tick acts and arrows do nothing until Space goes on as it
    // starts a game. Does nothing while waiting or after the game.
    void Pause();
    // Movement, collisions, food.
    void fMove();
    void check_coll();
    void Put_Banana();
    void Elongate_Snake();
    // Game over and closing.
    void Game_Over();
    void Form_Unload(std::int16_t& Cancel);
    // Play by ear: after a step, where the apple is and any danger ahead; and the events' cues.
    // Nothing is worked out while the cues are off. A step's cues sound together, once it is
    // over (SoundCues).
    void CueStep();
    void CueEvent(platform::Cue::Kind kind);
    void SoundCues();
    // The cues of the step `later` steps straight on from here (0: this one), or nothing where
    // a step before it would eat or end the game.
    std::optional<std::vector<platform::Cue>> CuesAhead(int later) const;

    // The game has ended: the score lines show, and only Esc and F2 act.
    bool IsOver() const { return controls.label(Label::lblscend).Visible; }
    // The prompt shows: no tick acts and the arrows do nothing until Space.
    bool IsWaiting() const { return controls.label(Label::lblspace).Visible; }

    Controls controls;

    // The game state record.
    std::int32_t score = 0;
    std::int32_t snakeLength = 0;
    std::string direction;
    std::vector<SegPos> oldPos;
    std::int32_t tickInterval = 0;
    std::uint32_t tickStart = 0;
    bool clockOn = false;
    bool keyMoved = false;
    bool escPressed = false;
    bool restartPressed = false;

    // Whether the clock loop is running; a second request only applies its caller's updates.
    bool loopRunning = false;

  private:
    void AssignPicture(PictureControl& control, assets::Picture picture);
    // A segment like the head, at that place, in the snake's colour: what Build_Snake and
    // Elongate_Snake add.
    PictureControl NewSegment(const Box& place);
    void SendToBack(Label id);
    void BringToFront(Label id);
    void EndProgram();
    // Whether the program has ended; only the clock loop asks, as ends take effect in its calls
    // to the event pump.
    bool Ended() { return platform_.process.Ended(); }
    void Turn(std::int16_t KeyCode);
    void Unload();
    void Refresh();
    std::uint32_t Now() { return platform_.clock.GetTickCount(); }
    std::string SettingsFile() { return platform::SettingsFile(platform_.process); }

    platform::Platform& platform_;
    SharedState& shared_;
    platform::WindowHost* host_ = nullptr;

    // Play by ear.
    Box HeadAhead(int later) const;
    bool HitAhead(const Box& head, int later) const;
    // Drops the foreseen steps' cues, once the snake stops (a pause).
    void CancelForeseenCues();
    std::vector<platform::Cue> cues_;                  // this step's, still to sound
    std::deque<std::vector<platform::Cue>> foreseen_;  // the next steps', already sounding
};
