// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Play by ear: the cues carry enough to play. A bot that hears only the cues (kind, pan, pitch,
// urgency), never the field, steers to the apples at level 1; a bot that hears nothing does
// not. Also what each cue says, against a field set up by hand.
#include <QTest>
#include <map>
#include <random>

#include "game/sn.h"
#include "platform/keys.h"
#include "support/fake_platform.h"
#include "support/rules_fixture.h"
#include "support/rules_host.h"

using platform::Cue;

namespace {

struct Game : RulesFixture<Sn> {
    RulesHost<Sn> host{rules};

    Game(unsigned seed, bool cues, int level = 1) {
        shared = fake::GameChoices(level);
        std::mt19937 random(seed);
        std::uniform_real_distribution<double> draw(0.0, 1.0);
        for (int i = 0; i < 4000; ++i) {
            fake.random.values.push_back(draw(random));
        }
        fake.sound.cuesOn = cues;
        rules.CreateControls(host);
        rules.Form_Load();
    }
    int Apples() const { return rules.score / 10; }
    // Ends a game that goes on this long: the bots are judged on the apples before.
    void Limit(std::int64_t ms) {
        fake.pump.After(ms, [this] { rules.clockOn = false; });
    }
};

enum Heading { Right, Left, Up, Down };
constexpr std::int16_t kKeys[] = {platform::key::Right, platform::key::Left, platform::key::Up,
                                  platform::key::Down};
constexpr Heading kReverse[] = {Left, Right, Down, Up};

// Hears the cues of each step, then, a player's reaction later, presses an arrow or not. It
// knows only what it heard and which way it last sent the snake (a game starts heading right).
class ListeningBot {
  public:
    explicit ListeningBot(Game& game) : game_(game) {
        game.fake.sound.onCue = [this](const Cue& cue) { Hear(cue); };
    }

  private:
    void Hear(const Cue& cue) {
        if (cue.kind == Cue::Kind::Apple) {
            apple_ = cue;
            danger_ = false;
            if (!deciding_) {
                deciding_ = true;  // the step's other cues come with it; decide after them
                game_.fake.pump.After(60, [this] { Decide(); });
            }
        } else if (cue.kind == Cue::Kind::Danger) {
            danger_ = true;
        }
    }

    void Decide() {
        deciding_ = false;
        // Towards the apple scores; going on scores a little; danger ahead rules going on out.
        const bool towards[] = {apple_.pan > 0, apple_.pan<0, apple_.pitch> 0, apple_.pitch < 0};
        Heading best = heading_;
        double bestScore = -1e9;
        for (const Heading h : {heading_, Right, Left, Up, Down}) {
            if (h == kReverse[heading_]) {
                continue;
            }
            double score = (towards[h] ? 2 : 0) + (h == heading_ ? 0.5 : 0);
            if (h == heading_ && danger_) {
                score -= 10;
            }
            if (score > bestScore) {
                best = h;
                bestScore = score;
            }
        }
        if (best != heading_) {
            heading_ = best;
            game_.rules.Form_KeyDown(kKeys[best], 0);
        }
    }

    Game& game_;
    Cue apple_;
    bool danger_ = false;
    bool deciding_ = false;
    Heading heading_ = Right;
};

// Hears nothing: now and then turns a random way, as a player guessing would.
class DeafBot {
  public:
    DeafBot(Game& game, unsigned seed) : game_(game), random_(seed) { Next(); }

  private:
    void Next() {
        game_.fake.pump.After(400, [this] {
            game_.rules.Form_KeyDown(kKeys[random_() % 4], 0);
            Next();
        });
    }
    Game& game_;
    std::mt19937 random_;
};

constexpr std::int64_t kGameLimitMs = 120000;

}  // namespace

class TestPlayByEar : public QObject {
    Q_OBJECT
  private slots:
    void aBotThatHearsOnlyTheCuesEatsApplesAndOneThatHearsNothingDoesNot() {
        int heardGames = 0, heardApples = 0, deafGames = 0, deafApples = 0;
        QString scores;
        for (unsigned seed = 1; seed <= 10; ++seed) {
            Game heard(seed, true);
            ListeningBot listener(heard);
            heard.Limit(kGameLimitMs);
            heard.rules.Form_KeyDown(platform::key::Space, 0);
            heardApples += heard.Apples();
            heardGames += heard.Apples() >= 5 ? 1 : 0;

            Game deaf(seed, false);
            DeafBot guesser(deaf, seed);
            deaf.Limit(kGameLimitMs);
            deaf.rules.Form_KeyDown(platform::key::Space, 0);
            QVERIFY(deaf.fake.sound.cues.empty());  // cues off: not one is sounded
            deafApples += deaf.Apples();
            deafGames += deaf.Apples() >= 5 ? 1 : 0;
            scores += QStringLiteral(" %1/%2").arg(heard.Apples()).arg(deaf.Apples());
        }
        qInfo("apples per seed, listening/deaf:%s", qPrintable(scores));
        QVERIFY2(heardGames >= 8, qPrintable(scores));
        QVERIFY2(deafGames < heardGames && deafApples < heardApples, qPrintable(scores));
    }

    void theStepsForeseenSoundOnTimeAndSaveMostPushes() {
        // Level 5, 35 ms a step: turns, apples perhaps, the wall at last. Each push replaces
        // what waited; what is heard at each step must be that step's own cues.
        Game game(4, true, 5);
        std::map<std::int64_t, std::vector<Cue>> heard, truth;
        game.fake.sound.onPlay = [&](const std::vector<Cue>& played) {
            const std::int64_t now = game.fake.clock.time;
            heard.erase(heard.lower_bound(now), heard.end());
            for (Cue cue : played) {
                const std::int64_t at = now + cue.delayMs;
                cue.delayMs = 0;
                heard[at].push_back(cue);
            }
        };
        SegPos last{game.rules.controls.s[0].box.Left, game.rules.controls.s[0].box.Top};
        game.host.onRefresh = [&] {
            const Box& head = game.rules.controls.s[0].box;
            if (!game.rules.IsOver() && (head.Left != last.left || head.Top != last.top)) {
                last = {head.Left, head.Top};
                truth[game.fake.clock.time] = *game.rules.CuesAhead(0);
            }
        };
        game.fake.pump.After(200, [&] { game.rules.Form_KeyDown(platform::key::Down, 0); });
        game.fake.pump.After(600, [&] { game.rules.Form_KeyDown(platform::key::Left, 0); });
        game.fake.pump.After(1100, [&] { game.rules.Form_KeyDown(platform::key::Up, 0); });
        game.Limit(20000);
        game.rules.Form_KeyDown(platform::key::Space, 0);
        QVERIFY2(truth.size() > 40, qPrintable(QString::number(truth.size())));
        for (const auto& [at, cues] : truth) {
            std::vector<Cue> steps;  // the apple and danger heard then, without the events
            for (const Cue& cue : heard[at]) {
                if (cue.kind == Cue::Kind::Apple || cue.kind == Cue::Kind::Danger) {
                    steps.push_back(cue);
                }
            }
            QVERIFY2(steps == cues, qPrintable(QStringLiteral("at %1 ms").arg(at)));
        }
        qInfo("%zu pushes for %zu steps", game.fake.sound.batches.size(), truth.size());
        QVERIFY2(game.fake.sound.batches.size() * 2 < truth.size(),
                 qPrintable(QStringLiteral("%1 pushes for %2 steps")
                                .arg(game.fake.sound.batches.size())
                                .arg(truth.size())));
    }

    void eachCueSaysWhereTheAppleAndTheDangerAre() {
        Game game(1, true);
        Sn& sn = game.rules;
        Sn::Controls& c = sn.controls;
        std::vector<Cue>& cues = game.fake.sound.cues;
        // 640 by 480: the head at 4800,1080, heading right; a step is 24 pixels (360 twips).
        const Box head = c.s[0].box;
        auto step = [&](float foodLeft, float foodTop) {
            c.s[0].box = head;
            c.pban.box.Left = foodLeft;
            c.pban.box.Top = foodTop;
            cues.clear();
            sn.CueStep();
            sn.SoundCues();
            return cues.front();
        };
        Cue apple = step(head.Left - 2000, head.Top);  // left, in the head's row
        QVERIFY(apple.kind == Cue::Kind::Apple && apple.pan < -0.2f && apple.pitch == 0);
        apple = step(210, head.Top);  // at the left wall
        QCOMPARE(apple.pan, -1.0f);
        apple = step(head.Left + 100, 5000);  // below, the head's right edge over it
        QVERIFY(apple.pan == 0 && apple.pitch < 0);
        apple = step(head.Left + 3000, 210);  // right and above, at the top wall
        QVERIFY(apple.pan > 0 && apple.pitch == 1.0f);
        QCOMPARE(cues.size(), size_t(1));  // nothing in the way

        // The right wall two steps ahead (the head's 16 pixels would pass it), then one.
        c.s[0].box.Left = head.Left + 11 * 360;
        cues.clear();
        sn.CueStep();
        sn.SoundCues();
        QCOMPARE(cues.size(), size_t(2));
        QVERIFY(cues[1].kind == Cue::Kind::Danger && cues[1].urgency == 1 && cues[1].pan == 1);
        c.s[0].box.Left += 360;
        cues.clear();
        sn.CueStep();
        sn.SoundCues();
        QVERIFY(cues[1].kind == Cue::Kind::Danger && cues[1].urgency == 2);

        // Its own body the next step up: the second block, put above the head.
        c.s[0].box = head;
        c.s[0].box.Top = 3000;
        sn.direction = "Y-";
        c.s[2].box = Box{head.Left, 3000 - 360, head.Width, head.Height};
        cues.clear();
        sn.CueStep();
        sn.SoundCues();
        QVERIFY(cues.back().kind == Cue::Kind::Danger && cues.back().pitch == 1 &&
                cues.back().urgency == 2);
    }
};

QTEST_APPLESS_MAIN(TestPlayByEar)
#include "test_play_by_ear.moc"
