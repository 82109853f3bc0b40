// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The game's rules with a fake clock, a scripted event pump and scripted answers: set-up
// numbers, the clock, keys, movement, collisions, food, game over and closing.
#include <QTest>
#include <limits>

#include "game/sn.h"
#include "platform/keys.h"
#include "settings/ini.h"
#include "support/fake_platform.h"
#include "support/printing.h"
#include "support/rules_fixture.h"
#include "support/rules_host.h"
#include "support/temp_folder.h"

using assets::Colour;

namespace {

struct Fixture : RulesFixture<Sn> {
    Sn& game = rules;
    RulesHost<Sn> host{game};
    // Every move of the head, as the refreshes show it: its places and the counter's readings.
    std::vector<SegPos> heads;
    std::vector<std::uint32_t> moveTicks;

    explicit Fixture(int width = 640, int height = 480, int level = 1) {
        shared.KeepRunning = true;
        shared.ResWidth = width;
        shared.ResHeight = height;
        shared.Level = level;
        shared.SnakeColor = "Blue";
        shared.BorderColor = "Blue";
        fake.random.fallback = 0.0;  // the food at the top-left corner, out of the snake's way
        host.onRefresh = [this] {
            const Box& head = Head();
            if (heads.empty() || heads.back().left != head.Left || heads.back().top != head.Top) {
                heads.push_back({head.Left, head.Top});
                moveTicks.push_back(fake.clock.GetTickCount());
            }
        };
    }
    void Load() {
        game.CreateControls(host);
        game.Form_Load();
        moveTicks.clear();  // only moves after the set-up count
    }
    Box& Head() { return game.controls.s[0].box; }
    bool Over() const { return game.controls.label(Label::lblscend).Visible; }
    std::string High() const { return game.controls.label(Label::lblHigh).Caption; }
    std::string Stored() const { return ReadIni(fake.SettingsFile(), "data", "score", "none"); }
    void Store(const std::string& score) { WriteIni(fake.SettingsFile(), "data", "score", score); }
    // Puts the food out of reach, far from where tests steer the head.
    void FoodAway() {
        game.controls.pban.box.Left = 210;
        game.controls.pban.box.Top = 6500;
    }
};

bool SameBox(const Box& b, float left, float top, float width, float height) {
    return b.Left == left && b.Top == top && b.Width == width && b.Height == height;
}

}  // namespace

class TestSn : public QObject {
    Q_OBJECT
  private slots:
    // --- set-up ------------------------------------------------------------------------------

    void setUpAt640x480() {
        Fixture f;
        f.Load();
        const Sn::Controls& c = f.game.controls;
        QVERIFY(SameBox(c.window, 0, 0, 9600, 7200));
        QVERIFY(SameBox(c.ltop.box, 0, 0, 9600, 210));
        QVERIFY(SameBox(c.lleft.box, 0, 0, 210, 7200));
        QVERIFY(SameBox(c.lbottom.box, 0, 6990, 9600, 210));
        QVERIFY(SameBox(c.lright.box, 9390, 0, 210, 7200));
        const float lefts[] = {4800, 4440, 4080, 3720, 3360, 3000, 2640};
        QCOMPARE(c.s.size(), size_t{7});
        for (size_t i = 0; i < 7; ++i) {
            QVERIFY(SameBox(c.s[i].box, lefts[i], 1080, 240, 240));
            QVERIFY(c.s[i].Visible);
            QVERIFY(c.s[i].Picture == assets::Block(Colour::Blue));
        }
        QCOMPARE(c.label(Label::lblspace).box.Left, 1312.5f);
        QCOMPARE(c.label(Label::lblspace).box.Top, 3232.5f);
        QVERIFY(c.label(Label::lblspace).Visible);
        QVERIFY(!c.label(Label::lblscend).Visible);
        QVERIFY(c.ltop.Picture == assets::HorizontalStrip(Colour::Blue));
        QVERIFY(c.lleft.Picture == assets::VerticalStrip(Colour::Blue));
        QCOMPARE(f.game.direction, std::string("X+"));
        QCOMPARE(f.game.snakeLength, 7);
        QCOMPARE(f.game.score, 0);
        QCOMPARE(f.game.tickInterval, 200);
        QVERIFY(f.game.clockOn);
        QCOMPARE(f.game.tickStart, f.fake.clock.GetTickCount());
        QCOMPARE(f.fake.sound.playing, f.dir.path() + "/bck.wav");
    }

    void snakeStartsInTheMiddleAt1024x768() {
        Fixture f(1024, 768);
        f.Load();
        QCOMPARE(f.Head().Left, 7680.0f);
        QCOMPARE(f.game.controls.s.back().box.Left, 5520.0f);
    }

    void stepIsTwentyFourPixelsRoundedHalfToEven_data() {
        QTest::addColumn<float>("twipsPerPixel");
        QTest::addColumn<int>("step");
        QTest::newRow("15 twips a pixel") << 15.0f << 360;
        QTest::newRow("12 twips a pixel") << 12.0f << 288;
        QTest::newRow("10.5 twips a pixel") << 10.5f << 252;
        QTest::newRow("337.5 rounds to even") << 14.0625f << 338;
    }
    void stepIsTwentyFourPixelsRoundedHalfToEven() {
        QFETCH(float, twipsPerPixel);
        QFETCH(int, step);
        QCOMPARE(StepTwips(twipsPerPixel), static_cast<std::int16_t>(step));
    }

    void twelveTwipsAPixelLayOutTheField() {
        Fixture g;
        g.fake.screen.x = g.fake.screen.y = 12.0f;
        g.Load();
        QCOMPARE(g.game.controls.window.Width, 7680.0f);
        QCOMPARE(g.Head().Left, 3840.0f);
        QCOMPARE(g.game.controls.s[1].box.Left, 3552.0f);
        QCOMPARE(g.Head().Width, 192.0f);  // the block sizes itself to its 16 pixels
    }

    void twelveTwipsAPixelMoveTheHeadByItsStep() {
        Fixture g;
        g.fake.screen.x = g.fake.screen.y = 12.0f;
        g.Load();
        g.game.fMove();
        QCOMPARE(g.Head().Left, 4128.0f);
    }

    void colourLookupIgnoresCaseAndKeepsThePictureForUnknownNames() {
        Fixture f;
        f.Load();
        for (const char* name : {"RED", "Red", "red"}) {
            f.game.controls.str2colorpic.Picture = assets::Picture::None;
            f.game.Get_ColorPic(name, assets::ColourKind::Block);
            QVERIFY(f.game.controls.str2colorpic.Picture == assets::Block(Colour::Red));
        }
        f.game.Get_ColorPic("violet", assets::ColourKind::VerticalStrip);
        QVERIFY(f.game.controls.str2colorpic.Picture == assets::VerticalStrip(Colour::Violet));
        for (const char* name : {"", "pink", "Purple "}) {
            f.game.Get_ColorPic(name, assets::ColourKind::HorizontalStrip);
            QVERIFY(f.game.controls.str2colorpic.Picture == assets::VerticalStrip(Colour::Violet));
        }
        f.game.Get_ColorPic("green", 3);  // not a kind
        QVERIFY(f.game.controls.str2colorpic.Picture == assets::VerticalStrip(Colour::Violet));
    }

    void unknownColoursFallBackToWhateverTheHolderHad() {
        Fixture f;
        f.shared.BorderColor = "pink";
        f.Load();
        QVERIFY(f.game.controls.ltop.Picture == assets::Picture::None);
        Fixture g;
        g.shared.SnakeColor = "pink";
        g.Load();
        // The segments take the right wall's strip and size themselves to it.
        QVERIFY(g.game.controls.s[3].Picture == assets::VerticalStrip(Colour::Blue));
        QCOMPARE(g.game.controls.s[3].box.Height, 15360.0f);
    }

    void levelTable_data() {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("interval");
        const int intervals[] = {200, 100, 70, 50, 35, 25, 16, 15, 12, 10};
        for (int level = 1; level <= 10; ++level) {
            QTest::addRow("level %d", level) << level << intervals[level - 1];
        }
    }
    void levelTable() {
        QFETCH(int, level);
        QFETCH(int, interval);
        Fixture f(640, 480, level);
        f.Load();
        QCOMPARE(f.game.tickInterval, interval);
    }

    void levelsOutsideTheTableKeepThePreviousInterval() {
        Fixture f(640, 480, 0);
        f.Load();
        QCOMPARE(f.game.tickInterval, 0);  // first game of the run
        f.shared.Level = 4;
        f.Load();
        f.shared.Level = 11;
        f.Load();
        QCOMPARE(f.game.tickInterval, 50);  // the previous game's interval
    }

    // --- the clock ---------------------------------------------------------------------------

    void levelOneWithACoarseCounterTicksEvery208Milliseconds() {
        Fixture f(1024, 768, 1);
        f.fake.clock.granularity = 16;
        f.fake.clock.time = 16 * 1000;
        f.Load();
        f.FoodAway();
        f.game.Form_KeyDown(platform::key::Space, 0);  // runs until the snake meets the right wall
        QVERIFY(f.Over());
        QVERIFY(f.moveTicks.size() >= 15);
        for (size_t i = 1; i < f.moveTicks.size(); ++i) {
            const auto gap = platform::TicksBetween(f.moveTicks[i - 1], f.moveTicks[i]);
            QVERIFY(gap >= 200);
            QCOMPARE(gap, 208);
        }
        // The loop slept between ticks instead of spinning on the counter.
        QVERIFY(f.fake.pump.waits < 3 * static_cast<long>(f.moveTicks.size()));
    }

    void ticksKeepTheirPaceAcrossTheCounterWrap() {
        Fixture f(1024, 768, 5);
        f.fake.clock.time = 0xFFFFFFFFll - 100;  // the counter wraps during the game
        f.Load();
        f.FoodAway();
        f.game.Form_KeyDown(platform::key::Space, 0);
        QVERIFY(f.Over());
        QVERIFY(f.fake.clock.time > 0xFFFFFFFFll);
        for (size_t i = 1; i < f.moveTicks.size(); ++i) {
            QCOMPARE(platform::TicksBetween(f.moveTicks[i - 1], f.moveTicks[i]), 35);
        }
    }

    void lostTimeIsNotMadeUpAndSpaceRebasesTheClock() {
        Fixture f(1024, 768, 2);  // 100 ms
        f.Load();
        f.FoodAway();
        const std::uint32_t start = f.fake.clock.Now();
        // A handler that takes 250 ms between two passes, then space twice during play.
        f.fake.pump.After(150, [&] { f.fake.clock.Advance(250); });
        f.fake.pump.After(900, [&] { f.game.Form_KeyDown(platform::key::Space, 0); });
        f.fake.pump.After(950, [&] { f.game.Form_KeyDown(platform::key::Space, 0); });
        f.game.Form_KeyDown(platform::key::Space, 0);
        const auto at = [&](size_t i) { return platform::TicksBetween(start, f.moveTicks[i]); };
        QCOMPARE(at(0), 100);
        QCOMPARE(at(1), 400);  // late, and the next interval counts from here
        QCOMPARE(at(2), 500);
        QCOMPARE(at(5), 800);
        QCOMPARE(at(6), 1050);  // no tick at 900: one full interval after the last space
        QCOMPARE(at(7), 1150);
        QVERIFY(!f.game.loopRunning);
    }

    // Pause puts a running game back to waiting: no tick acts, arrows do nothing, and Space
    // goes on with the next step one full interval later. Waiting, it changes nothing.
    void pauseWaitsForSpaceLikeTheStartOfAGame() {
        Fixture f(1024, 768, 2);  // 100 ms
        f.Load();
        f.FoodAway();
        f.game.Pause();  // waiting already
        QVERIFY(f.game.controls.label(Label::lblspace).Visible);
        const std::uint32_t start = f.fake.clock.Now();
        float pausedAt = 0;
        f.fake.pump.After(250, [&] {
            f.game.Pause();
            pausedAt = f.Head().Left;
        });
        f.fake.pump.After(1000, [&] {
            QVERIFY(f.game.controls.label(Label::lblspace).Visible);
            f.game.Form_KeyDown(platform::key::Up, 0);
            QCOMPARE(f.Head().Left, pausedAt);  // nothing moved while paused
            QCOMPARE(f.game.direction, std::string("X+"));
            f.game.Form_KeyDown(platform::key::Space, 0);
        });
        f.fake.pump.After(1150, [&] { f.game.Form_KeyDown(platform::key::Escape, 0); });
        f.game.Form_KeyDown(platform::key::Space, 0);
        QCOMPARE(platform::TicksBetween(start, f.moveTicks.at(1)), 200);
        QCOMPARE(platform::TicksBetween(start, f.moveTicks.at(2)), 1100);
        QCOMPARE(f.moveTicks.size(), size_t{3});
    }

    // --- keys --------------------------------------------------------------------------------

    void arrowKeysTurnAndStepAtOnceAndTheNextTickOnlyChecks() {
        Fixture f;
        f.Load();
        f.FoodAway();
        std::vector<float> lefts, tops;
        f.fake.pump.After(50, [&] {
            f.game.Form_KeyDown(platform::key::Left, 0);  // the reverse of "X+": refused
            QCOMPARE(f.Head().Left, 4800.0f);
            f.game.Form_KeyDown(platform::key::Right, 0);  // the present heading: an extra step
            QCOMPARE(f.Head().Left, 5160.0f);
            f.game.Form_KeyDown(platform::key::Up, 0);
            QCOMPARE(f.game.direction, std::string("Y-"));
            QCOMPARE(f.Head().Top, 720.0f);
            QVERIFY(f.game.keyMoved);
        });
        f.fake.pump.After(201, [&] {  // the tick at 200 checked but did not move
            QCOMPARE(f.Head().Top, 720.0f);
            QVERIFY(!f.game.keyMoved);
        });
        f.game.Form_KeyDown(platform::key::Space, 0);  // runs until the head meets the top wall
        QVERIFY(f.Over());
        QCOMPARE(f.Head().Left, 5160.0f);
        QCOMPARE(f.Head().Top, -360.0f);  // found in the wall at 0, then moved once more
    }

    void keysDoNothingWhileWaitingOrAfterTheGame() {
        Fixture f;
        f.Load();
        for (const std::int16_t key : {platform::key::Up, platform::key::Down, platform::key::Left,
                                       platform::key::Right, platform::key::F2}) {
            f.game.Form_KeyDown(key, 0);
        }
        QCOMPARE(f.Head().Left, 4800.0f);
        QCOMPARE(f.game.direction, std::string("X+"));
        QCOMPARE(f.host.closes, 0);
        f.game.Game_Over();
        const Box before = f.Head();
        f.game.Form_KeyDown(platform::key::Down, 0);
        f.game.Form_KeyDown(platform::key::Space, 0);
        QVERIFY(SameBox(f.Head(), before.Left, before.Top, before.Width, before.Height));
        QVERIFY(!f.game.loopRunning);
    }

    // --- movement ----------------------------------------------------------------------------

    void movementFollowsTheHeadOnTheLattice() {
        Fixture f;
        f.Load();
        f.game.direction = "y+";  // the heading's case does not matter
        f.game.fMove();
        QCOMPARE(f.Head().Top, 1440.0f);
        QCOMPARE(f.game.controls.s[1].box.Left, 4800.0f);
        QCOMPARE(f.game.controls.s[1].box.Top, 1080.0f);
        QCOMPARE(f.game.controls.s[6].box.Left, 3000.0f);
        QCOMPARE(f.game.oldPos.size(), size_t{7});
        f.game.direction = "x-";
        for (int i = 0; i < 9; ++i) {
            f.game.fMove();
            QCOMPARE(std::fmod(f.Head().Left - 4800.0f, 360.0f), 0.0f);
        }
        QCOMPARE(f.Head().Left, 4800.0f - 9 * 360);  // nothing keeps it inside the walls
        f.game.direction = "Z+";
        for (int i = 0; i < 6; ++i) {
            f.game.fMove();
        }
        for (const PictureControl& segment : f.game.controls.s) {
            QCOMPARE(segment.box.Left, f.Head().Left);
            QCOMPARE(segment.box.Top, f.Head().Top);
        }
    }

    void growthAddsASegmentOnTheTailThatFollowsAfterTheNextMove() {
        Fixture f;
        f.Load();
        const Box tail = f.game.controls.s[6].box;
        f.game.Elongate_Snake();
        QCOMPARE(f.game.controls.s.size(), size_t{8});
        QVERIFY(SameBox(f.game.controls.s[7].box, tail.Left, tail.Top, 240, 240));
        f.game.check_coll();  // the last two share a place: no hit
        QVERIFY(!f.Over());
        f.game.fMove();
        QCOMPARE(f.game.controls.s[7].box.Left, tail.Left);
        QCOMPARE(f.game.controls.s[6].box.Left, tail.Left + 360);
    }

    void eachGrowthScoresTenAndAddsOneBlock() {
        Fixture f;
        f.Load();
        for (int i = 0; i < 3; ++i) {
            f.game.Elongate_Snake();
        }
        QCOMPARE(f.game.score, 30);
        QCOMPARE(f.game.snakeLength, 10);
        QCOMPARE(f.game.controls.s.size(), size_t{10});
    }

    void growthFlashesTheScoreInFrontUntilTheSecondTimer() {
        Fixture f;
        f.Load();
        f.game.Elongate_Snake();
        QCOMPARE(f.game.controls.label(Label::lblscore).Caption,
                 std::string("Score : 10   Snake Length : 8"));
        QVERIFY(f.game.controls.label(Label::lblscore).Visible);
        QVERIFY(f.game.controls.labelOrder.back() == Label::lblscore);
        QVERIFY(f.game.controls.Timer2Enabled);
        f.game.Timer2_Timer();
        QVERIFY(!f.game.controls.label(Label::lblscore).Visible);
        QVERIFY(!f.game.controls.Timer2Enabled);
    }

    void scoreAndLengthStopAtTheThirtyTwoBitLimit() {
        Fixture f;
        f.Load();
        const std::int32_t limit = std::numeric_limits<std::int32_t>::max();
        f.game.score = limit - 5;
        f.game.snakeLength = limit;
        f.game.Elongate_Snake();
        QCOMPARE(f.game.score, limit - 5);
        QCOMPARE(f.game.snakeLength, limit);
        QCOMPARE(
            f.game.controls.label(Label::lblscore).Caption,
            "Score : " + std::to_string(limit - 5) + "   Snake Length : " + std::to_string(limit));
    }

    // --- collisions --------------------------------------------------------------------------

    void wallEdges_data() {
        QTest::addColumn<float>("left");
        QTest::addColumn<float>("top");
        QTest::addColumn<bool>("hit");
        QTest::newRow("inside the right limit 9390") << 9120.0f << 1080.0f << false;
        QTest::newRow("past the right limit") << 9480.0f << 1080.0f << true;
        QTest::newRow("right edge exactly on the limit") << 9150.0f << 1080.0f << false;
        QTest::newRow("right edge a twip past it") << 9151.0f << 1080.0f << true;
        QTest::newRow("on the left limit 210") << 210.0f << 1080.0f << false;
        QTest::newRow("a twip past the left limit") << 209.0f << 1080.0f << true;
        QTest::newRow("inside the top limit 210") << 4800.0f << 360.0f << false;
        QTest::newRow("past the top limit") << 4800.0f << 0.0f << true;
        QTest::newRow("bottom edge on the limit 6990") << 4800.0f << 6750.0f << false;
        QTest::newRow("bottom edge a twip past it") << 4800.0f << 6751.0f << true;
        QTest::newRow("a corner: one game over") << 0.0f << 0.0f << true;
    }
    void wallEdges() {
        QFETCH(float, left);
        QFETCH(float, top);
        QFETCH(bool, hit);
        Fixture f;
        f.Load();
        f.FoodAway();
        f.Head() = Box{left, top, 240, 240};
        f.game.check_coll();
        QCOMPARE(f.Over(), hit);
        QCOMPARE(f.game.clockOn, !hit);
    }

    void bodyHitsNeedTheSameTopLeftCorner() {
        Fixture f;
        f.Load();
        f.FoodAway();
        f.game.controls.s[3].box.Left = f.Head().Left;  // same Left, other Top
        f.game.controls.s[3].box.Top = f.Head().Top + 360;
        f.game.check_coll();
        QVERIFY(!f.Over());
        f.game.controls.s[4].box.Left = f.Head().Left + 1;  // overlapping, other corner
        f.game.controls.s[4].box.Top = f.Head().Top;
        f.game.check_coll();
        QVERIFY(!f.Over());
        f.Store("5");
        f.game.score = 20;
        f.game.controls.s[5].box = f.Head();
        f.game.controls.s[6].box = f.Head();  // two segments on the head
        f.game.check_coll();
        QVERIFY(f.Over());
        QCOMPARE(f.High(), std::string("Congrats! High Score"));  // acted once
        QCOMPARE(f.Stored(), std::string("20"));
    }

    void foodIsEatenOnlyWithAPositiveOverlap() {
        Fixture f;
        f.Load();
        f.game.controls.pban.box = Box{6000, 3000, 345, 390};
        f.fake.random.values = {0.5, 0.5};
        f.Head() = Box{5760, 3000, 240, 240};  // touches the food's left edge
        f.game.check_coll();
        QCOMPARE(f.game.score, 0);
        f.Head().Left = 5761;  // one twip in
        f.game.check_coll();
        QCOMPARE(f.game.score, 10);
        QCOMPARE(f.game.controls.s.size(), size_t{8});
        QCOMPARE(f.game.controls.pban.box.Left, 4627.0f);  // 0.5 × 8835 + 210, rounded down
        QCOMPARE(f.fake.random.reseeds, 4);  // twice for the set-up's food, twice for this one
        // Each corner alone is enough.
        for (const auto& [x, y] :
             {std::pair{5900.f, 2900.f}, {6200.f, 2900.f}, {6200.f, 3300.f}, {5900.f, 3300.f}}) {
            f.game.controls.pban.box = Box{6000, 3000, 345, 390};
            f.Head() = Box{x, y, 240, 240};
            const int before = f.game.score;
            f.game.check_coll();
            QCOMPARE(f.game.score, before + 10);
        }
    }

    void foodRangeAt640x480() {
        Fixture f;
        f.Load();
        f.fake.random.values = {0.0, 0.0, 0.9999999999, 0.9999999999};
        f.game.Put_Banana();
        QCOMPARE(f.game.controls.pban.box.Left, 210.0f);
        QCOMPARE(f.game.controls.pban.box.Top, 210.0f);
        f.game.Put_Banana();
        QCOMPARE(f.game.controls.pban.box.Left, 9044.0f);
        QCOMPARE(f.game.controls.pban.box.Top, 6599.0f);
        QCOMPARE(f.game.controls.pban.box.Width, 345.0f);
        QCOMPARE(f.game.controls.pban.box.Height, 390.0f);
    }

    void aWallHitOnTheFoodEndsTheGameWithoutEating() {
        Fixture f;
        f.Load();
        f.game.controls.pban.box = Box{9300, 3000, 345, 390};
        f.Head() = Box{9400, 3000, 240, 240};
        f.game.check_coll();
        QVERIFY(f.Over());
        QCOMPARE(f.game.score, 0);
        QCOMPARE(f.game.controls.label(Label::lblscend).Caption, std::string("Your Score Is: 0"));
    }

    // --- game over ---------------------------------------------------------------------------

    void gameOverComparesWithTheStoredScore_data() {
        QTest::addColumn<bool>("isStored");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("score");
        QTest::addColumn<QString>("high");
        QTest::addColumn<QString>("after");
        QTest::newRow("beaten") << true << "100" << 120 << "Congrats! High Score"
                                << "120";
        QTest::newRow("equalled") << true << "100" << 100 << "High Score Is: 100"
                                  << "100";
        QTest::newRow("none stored, 0") << false << "" << 0 << "High Score Is: "
                                        << "none";
        QTest::newRow("none stored, 30") << false << "" << 30 << "Congrats! High Score"
                                         << "30";
        QTest::newRow("leading zero") << true << "0100" << 90 << "High Score Is: 0100"
                                      << "0100";
        QTest::newRow("not a number") << true << "abc" << 0 << "High Score Is: abc"
                                      << "abc";
        QTest::newRow("past 32 bits") << true << "99999999999" << 10 << "Congrats! High Score"
                                      << "10";
        QTest::newRow("negative") << true << "-5" << 0 << "Congrats! High Score"
                                  << "0";
    }
    void gameOverComparesWithTheStoredScore() {
        QFETCH(bool, isStored);
        QFETCH(QString, stored);
        QFETCH(int, score);
        QFETCH(QString, high);
        QFETCH(QString, after);
        Fixture f;
        if (isStored) {
            f.Store(stored.toStdString());
        }
        f.Load();
        f.game.score = score;
        f.game.Game_Over();
        QCOMPARE(f.High(), high.toStdString());
        QCOMPARE(f.Stored(), after.toStdString());
        const Sn::Controls& ctl = f.game.controls;
        QCOMPARE(ctl.label(Label::lblscend).Caption, "Your Score Is: " + std::to_string(score));
        // Stacked at the prompt's place, with the prompt's left edge.
        QCOMPARE(ctl.label(Label::lblscend).box.Top, 3232.5f);
        QCOMPARE(ctl.label(Label::lblHigh).box.Top, 3232.5f - 855);
        QCOMPARE(ctl.label(Label::lblf2).box.Top, 3232.5f + 855);
        QCOMPARE(ctl.label(Label::lblf2).box.Left, 1312.5f);
        QVERIFY(ctl.label(Label::lblf2).Visible);
        QVERIFY(!f.game.clockOn);
    }

    void aTickRightAfterTheArrowKeyThatEndedTheGameChangesNothing() {
        Fixture f;
        f.Load();
        f.FoodAway();
        f.Head() = Box{9480, 1080, 240, 240};  // already in the right wall
        f.game.score = 40;
        // Right finds the hit; the tick due in the same pass checks again.
        f.fake.pump.After(200, [&] { f.game.Form_KeyDown(platform::key::Right, 0); });
        f.game.Form_KeyDown(platform::key::Space, 0);
        QVERIFY(f.Over());
        QCOMPARE(f.High(), std::string("Congrats! High Score"));
        QCOMPARE(f.Stored(), std::string("40"));
    }

    // --- closing -----------------------------------------------------------------------------

    void escWhileWaitingNoKeepsThePromptYesEnds() {
        Fixture f;
        f.Load();
        f.fake.boxes.answers = {false};
        // After No a loop runs whose ticks do nothing; space then starts the game.
        f.fake.pump.After(500, [&] {
            QVERIFY(f.game.controls.label(Label::lblspace).Visible);
            QCOMPARE(f.Head().Left, 4800.0f);
            f.game.Form_KeyDown(platform::key::Space, 0);
        });
        f.FoodAway();
        f.game.Form_KeyDown(platform::key::Escape, 0);
        QCOMPARE(f.fake.boxes.shown.size(), size_t{1});
        QCOMPARE(f.fake.boxes.shown[0].text, std::string("Exit?"));
        QCOMPARE(f.fake.boxes.shown[0].title, std::string("Kelvo Snake"));
        QVERIFY(f.Over());  // the game ran to its end inside the loop
        QVERIFY(!f.game.escPressed);
        QCOMPARE(f.host.closes, 0);
        f.fake.boxes.answers = {true};
        f.game.Form_KeyDown(platform::key::Escape, 0);
        QCOMPARE(f.fake.process.endCalls, 1);
        QVERIFY(!f.shared.KeepRunning);
        QCOMPARE(f.fake.sound.calls.back(), std::string("stop"));
    }

    void escDuringPlayNoGoesOnWithAnImmediateTick() {
        Fixture f(1024, 768, 1);
        f.Load();
        f.FoodAway();
        const std::uint32_t start = f.fake.clock.Now();
        f.fake.boxes.answers = {false, true};
        f.fake.boxes.whileOpen = [&] { f.fake.clock.Advance(1000); };  // the player thinks
        f.fake.pump.After(450, [&] { f.game.Form_KeyDown(platform::key::Escape, 0); });
        f.fake.pump.After(2000, [&] { f.game.Form_KeyDown(platform::key::Escape, 0); });
        f.game.Form_KeyDown(platform::key::Space, 0);
        QCOMPARE(f.fake.process.endCalls, 1);
        const auto at = [&](size_t i) { return platform::TicksBetween(start, f.moveTicks[i]); };
        QCOMPARE(at(0), 200);
        QCOMPARE(at(1), 400);
        QCOMPARE(at(2), 1450);  // right after the prompt closed
        QCOMPARE(at(3), 1650);
        QVERIFY(!f.game.loopRunning);
    }

    void closingAGameOverScreen() {
        // Esc asks; No keeps the screen; then F2 goes back to the menu without asking.
        Fixture f;
        f.Load();
        f.game.Game_Over();
        f.fake.boxes.answers = {false};
        f.game.Form_KeyDown(platform::key::Escape, 0);
        QCOMPARE(f.fake.boxes.shown.size(), size_t{1});
        QCOMPARE(f.host.closes, 0);
        QVERIFY(!f.game.escPressed);
        f.game.Form_KeyDown(platform::key::F2, 0);
        QCOMPARE(f.fake.boxes.shown.size(), size_t{1});
        QCOMPARE(f.host.closes, 1);
        QVERIFY(f.shared.KeepRunning);
        // The next game starts with fresh flags: a close by the window system asks again.
        f.Load();
        QVERIFY(!f.game.restartPressed);
        f.game.Game_Over();
        f.fake.boxes.answers = {false};
        std::int16_t cancel = 0;
        f.game.Form_Unload(cancel);
        QCOMPARE(cancel, std::int16_t{-1});
        QCOMPARE(f.fake.boxes.shown.size(), size_t{2});
        f.fake.boxes.answers = {true};
        f.game.Form_KeyDown(platform::key::Escape, 0);
        QCOMPARE(f.fake.process.endCalls, 1);
    }
};

QTEST_APPLESS_MAIN(TestSn)
#include "test_sn.moc"
