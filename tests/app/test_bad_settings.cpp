// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Whatever is in data.ini, a whole run neither crashes nor loses data: each odd value falls back
// to its default with one line on stderr and leaves the rest of the file as it was; a settings
// file that is a folder, huge, without a section or random bytes is survived; an unwritable
// program folder plays the whole cycle with one line on stderr per failed write.
#include <sys/stat.h>
#include <unistd.h>

#include <QTest>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <random>

#include "platform/keys.h"
#include "settings/ini.h"
#include "support/printing.h"
#include "support/rules_cycle.h"
#include "support/temp_folder.h"

namespace {

// Collects what the code under test writes on stderr.
class StderrCapture {
  public:
    StderrCapture() {
        std::fflush(stderr);
        saved_ = ::dup(2);
        file_ = std::tmpfile();
        ::dup2(::fileno(file_), 2);
    }
    ~StderrCapture() {
        Stop();
        std::fclose(file_);
    }
    std::string Stop() {
        if (saved_ >= 0) {
            std::fflush(stderr);
            ::dup2(saved_, 2);
            ::close(saved_);
            saved_ = -1;
            std::rewind(file_);
            char buffer[4096];
            size_t n = 0;
            while ((n = std::fread(buffer, 1, sizeof buffer, file_)) > 0) {
                text_.append(buffer, n);
            }
        }
        return text_;
    }
    int Lines() {
        const std::string text = Stop();
        return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    }

  private:
    int saved_ = -1;
    std::FILE* file_ = nullptr;
    std::string text_;
};

// Plays one short game: Next in the chooser when it waits, then Next or Esc in the menu, and in
// the game space, the wall, and Esc with Yes.
struct ScriptedPlayer : Player {
    bool escapeInMenu = false;
    int startTicks = 0;
    int menuLevel = -1, menuSnake = -1, menuBorder = -1;
    std::string highLine;

    void InStart(RulesCycle& cycle, FrmStart& w, RulesHost<FrmStart>&) override {
        cycle.fake().clock.Advance(40);
        w.Timer1_Timer();
        if (++startTicks == 3) {
            w.Form_KeyDown(platform::key::Return, 0);
        }
    }
    void InMenu(RulesCycle&, FrmMenu& w, RulesHost<FrmMenu>&) override {
        menuLevel = w.controls.cmblvl.ListIndex;
        menuSnake = w.controls.cmbscolor.ListIndex;
        menuBorder = w.controls.cmbbcolor.ListIndex;
        w.cmblvl_KeyDown(escapeInMenu ? platform::key::Escape : platform::key::Return, 0);
    }
    void InGame(RulesCycle&, Sn& w, RulesHost<Sn>&) override {
        if (w.controls.label(Label::lblscend).Visible) {
            highLine = w.controls.label(Label::lblHigh).Caption;
            w.Form_KeyDown(platform::key::Escape, 0);  // the fake answers Yes
        } else if (w.controls.label(Label::lblspace).Visible) {
            w.Form_KeyDown(platform::key::Space, 0);
        }
    }
};

// One whole run of the program over a settings folder of its own, with the scripted player and
// stderr collected while it plays.
struct WholeRun {
    TempFolder dir;
    fake::Platform fake{dir.path()};
    ScriptedPlayer player;
    RulesCycle cycle{fake, player};
    StderrCapture err;

    // Plays over a data.ini that holds `contents`.
    void Play(const std::string& contents, bool escapeInMenu = false) {
        WriteFile(fake.SettingsFile(), contents);
        PlayAsItIs(escapeInMenu);
    }
    // Plays over the folder as the test left it.
    void PlayAsItIs(bool escapeInMenu = false) {
        player.escapeInMenu = escapeInMenu;
        cycle.Run();
    }
    std::string Stored() const { return ReadFile(fake.SettingsFile()); }
};

const char kBase[] = "[data]\nres=1\nask=1\nlvl=4\nscolor=2\nbcolor=3\nscore=40\n";

// The base file with one key's line holding a raw value.
std::string WithValue(const std::string& key, const std::string& value) {
    std::string file = kBase;
    const size_t at = file.find("\n" + key + "=") + 1;
    const size_t end = file.find('\n', at);
    return file.substr(0, at) + key + "=" + value + file.substr(end);
}

// A stored text, what the row that tries it is called, and the whole number it holds, if any.
struct Odd {
    const char* name;
    std::string raw;
    std::optional<long long> number;
};

std::vector<Odd> OddValues() {
    std::string low;
    for (int c = 1; c < 0x20; ++c) {
        if (c != '\r' && c != '\n') {
            low += static_cast<char>(c);
        }
    }
    std::string high;
    for (int c = 0x80; c <= 0xFF; ++c) {
        high += static_cast<char>(c);
    }
    return {{"empty", "", {}},
            {"abc", "abc", {}},
            {"-1", "-1", -1},
            {"0", "0", 0},
            {"11", "11", 11},
            {"8", "8", 8},
            {"4", "4", 4},
            {"99999999999", "99999999999", 99999999999},
            {"blanks around 5", " 5 ", 5},
            {"05", "05", 5},
            {"+3", "+3", 3},
            {"1e3", "1e3", {}},
            {"0x2", "0x2", {}},
            {"1.0", "1.0", {}},
            {"300 sevens", std::string(300, '7'), {}},
            {"control bytes", low, {}},
            {"bytes above 127", high, {}},
            {"a NUL inside",
             std::string("5\0"
                         "5",
                         3),
             {}}};
}

// One row for each odd value of a key, named for the value.
void AddOddValueRows(const char* key) {
    for (const Odd& odd : OddValues()) {
        QTest::addRow("%s=%s", key, odd.name) << odd;
    }
}

}  // namespace

Q_DECLARE_METATYPE(Odd)

class TestBadSettings : public QObject {
    Q_OBJECT
  private slots:
    void oddListValuesFallBackWithOneLineAndChangeNothing_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<Odd>("odd");
        for (const char* key : {"lvl", "scolor", "bcolor"}) {
            for (const Odd& odd : OddValues()) {
                QTest::addRow("%s=%s", key, odd.name) << QString(key) << odd;
            }
        }
    }
    void oddListValuesFallBackWithOneLineAndChangeNothing() {
        QFETCH(QString, key);
        QFETCH(Odd, odd);
        // The whole numbers that select a list entry, and the entry the menu showed.
        const bool level = key == "lvl";
        const long long low = level ? 1 : 0;
        const long long high = level ? 10 : 7;
        const std::string contents = WithValue(key.toStdString(), odd.raw);
        WholeRun run;
        run.Play(contents, true);
        const int shown = level             ? run.player.menuLevel
                          : key == "scolor" ? run.player.menuSnake
                                            : run.player.menuBorder;
        const bool valid = odd.number && *odd.number >= low && *odd.number <= high;
        QCOMPARE(shown, valid ? *odd.number - low : 0);
        QCOMPARE(run.err.Lines(), valid ? 0 : 1);
        QVERIFY(run.Stored() == contents);
        QCOMPARE(run.fake.process.endCalls, 1);
    }

    void oddScoresCountAsZeroAndAreShownAsStored_data() {
        QTest::addColumn<Odd>("odd");
        AddOddValueRows("score");
    }
    void oddScoresCountAsZeroAndAreShownAsStored() {
        QFETCH(Odd, odd);
        const std::string contents = WithValue("score", odd.raw);
        WholeRun run;
        run.Play(contents);
        const bool inRange = odd.number && *odd.number >= INT32_MIN && *odd.number <= INT32_MAX;
        const bool beaten = inRange && *odd.number < 0;  // a game of 0 beats -1
        QCOMPARE(run.err.Lines(), inRange ? 0 : 1);
        QVERIFY(run.Stored() == (beaten ? WithValue("score", "0") : contents));
        // Not beaten, the file is as it was: the high score line shows what it stores.
        const std::string read = ReadIni(run.fake.SettingsFile(), "data", "score", "");
        QCOMPARE(run.player.highLine, beaten ? "Congrats! High Score" : "High Score Is: " + read);
    }

    void oddResolutionsKeepTheFirstChoice_data() {
        QTest::addColumn<Odd>("odd");
        AddOddValueRows("res");
    }
    void oddResolutionsKeepTheFirstChoice() {
        QFETCH(Odd, odd);
        WholeRun run;
        run.Play(WithValue("res", odd.raw), true);
        // None is exactly "1", "2" or "3": the first choice stands, and Next stores it.
        QCOMPARE(run.err.Lines(), 1);
        QCOMPARE(run.cycle.shared.ResWidth, 640);
        QCOMPARE(run.player.startTicks, 1);  // ask=1 still skipped the window
        QCOMPARE(run.Stored(), std::string(kBase));
    }

    void oddAskValuesShowTheChooser_data() {
        QTest::addColumn<Odd>("odd");
        AddOddValueRows("ask");
    }
    void oddAskValuesShowTheChooser() {
        QFETCH(Odd, odd);
        WholeRun run;
        run.Play(WithValue("ask", odd.raw), true);
        QCOMPARE(run.err.Lines(), odd.raw == "0" ? 0 : 1);
        QCOMPARE(run.player.startTicks, 3);  // only "1" skips the window; Enter went on
        QCOMPARE(run.Stored(), std::string(kBase));
    }

    void strangeSettingsFilesAreSurvived_data() {
        QTest::addColumn<QByteArray>("contents");
        // What the run adds at the end, when known (null where not; empty where nothing).
        QTest::addColumn<QByteArray>("added");
        std::mt19937 random(7);
        QByteArray bytes(4096, '\0');
        for (char& c : bytes) {
            c = static_cast<char>(random());
        }
        QByteArray huge;
        while (huge.size() < 10'000'000) {
            huge += "filler" + QByteArray::number(huge.size()) + "=" + QByteArray(60, 'x') + "\n";
        }
        huge += "[data]\nlvl=3\n";
        QTest::newRow("no section")
            << QByteArray("lvl=5\nscore=9\n")
            << QByteArray("[data]\nres=1\nask=1\nlvl=1\nscolor=0\nbcolor=0\n");
        QTest::newRow("random bytes") << bytes << QByteArray();
        // Larger than any settings file: it reads as missing and is never written.
        QTest::newRow("ten megabytes") << huge << QByteArray("");
    }
    void strangeSettingsFilesAreSurvived() {
        QFETCH(QByteArray, contents);
        QFETCH(QByteArray, added);
        WholeRun run;
        run.Play(contents.toStdString());
        QCOMPARE(run.fake.process.endCalls, 1);
        QVERIFY(!run.player.highLine.empty());  // a game was played to its end
        // What was in the file is still there, byte for byte, before the new lines.
        const std::string after = run.Stored();
        QVERIFY(after.compare(0, static_cast<size_t>(contents.size()), contents.toStdString()) ==
                0);
        if (!added.isNull()) {
            QVERIFY(after == (contents + added).toStdString());
        }
    }

    void aSettingsFileThatIsAFolderIsSurvived() {
        WholeRun run;
        std::filesystem::create_directory(run.fake.SettingsFile());
        run.PlayAsItIs();
        // res and ask, then lvl, scolor and bcolor: each write refused, said once.
        QCOMPARE(run.err.Lines(), 1);
        QCOMPARE(run.cycle.shared.Level, 1);
        QCOMPARE(run.cycle.shared.SnakeColor, std::string("Blue"));
        QVERIFY(std::filesystem::is_directory(run.fake.SettingsFile()));
    }

    void anUnwritableFolderPlaysTheWholeCycle() {
        WholeRun run;
        WriteFile(run.fake.SettingsFile(), "[data]\nlvl=2\n");
        // Neither the folder nor the file can be written (a writable file would be written in
        // place).
        ::chmod(run.fake.SettingsFile().c_str(), 0444);
        ::chmod(run.dir.path().c_str(), 0555);
        // The first food lies in the snake's way, so the game scores 10.
        run.fake.random.values = {0.644, 0.1236};
        run.PlayAsItIs();
        const std::string text = run.err.Stop();
        ::chmod(run.dir.path().c_str(), 0755);
        // res and ask, then lvl, scolor and bcolor, then the high score: six refused writes,
        // said once.
        QCOMPARE(static_cast<int>(std::count(text.begin(), text.end(), '\n')), 1);
        QCOMPARE(run.player.highLine, std::string("Congrats! High Score"));
        QCOMPARE(run.cycle.shared.Level, 2);
        QCOMPARE(run.Stored(), std::string("[data]\nlvl=2\n"));
        QCOMPARE(run.fake.boxes.shown.size(), size_t{1});  // only "Exit?"
    }
};

QTEST_APPLESS_MAIN(TestBadSettings)
#include "test_bad_settings.moc"
