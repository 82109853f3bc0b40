// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The settings store: what reads give back, how writes change the file, and that a write is all
// or nothing.
#include <sys/stat.h>
#include <unistd.h>

#include <QTest>
#include <cstdlib>
#include <filesystem>

#include "settings/ini.h"
#include "settings/place.h"
#include "settings/profile.h"
#include "support/printing.h"
#include "support/temp_folder.h"

namespace {

std::string Read(const std::string& file, const std::string& key, const std::string& def = "?") {
    return ReadIni(file, "data", key, def);
}

int TemporaryFilesIn(const std::string& folder) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().filename().string().find(".tmp.") != std::string::npos) {
            ++count;
        }
    }
    return count;
}

}  // namespace

class TestSettings : public QObject {
    Q_OBJECT
  private slots:
    void missingFileSectionOrKeyGivesTheDefault() {
        TempFolder dir;
        const std::string file = dir.File("data.ini");
        QCOMPARE(Read(file, "lvl", "1"), std::string("1"));
        WriteFile(file, "[other]\nlvl=5\n");
        QCOMPARE(Read(file, "lvl", "1"), std::string("1"));
        WriteFile(file, "[data]\nscore=5\n");
        QCOMPARE(Read(file, "lvl", "1"), std::string("1"));
        QCOMPARE(Read(file, "score", ""), std::string("5"));
    }

    void presentEmptyKeyGivesEmptyNotDefault() {
        TempFolder dir;
        WriteFile(dir.File("data.ini"), "[data]\nscore=\n");
        QCOMPARE(Read(dir.File("data.ini"), "score", "0"), std::string(""));
    }

    void firstWriteCreatesFileAndSection() {
        TempFolder dir;
        const std::string file = dir.File("data.ini");
        WriteIni(file, "data", "res", "1");
        WriteIni(file, "data", "ask", "1");
        QCOMPARE(ReadFile(file), std::string("[data]\nres=1\nask=1\n"));
    }

    void theFirstRunExampleKeepsWriteOrder() {
        TempFolder dir;
        const std::string file = dir.File("data.ini");
        for (const auto& [k, v] : {std::pair{"res", "1"},
                                   {"ask", "1"},
                                   {"lvl", "1"},
                                   {"scolor", "0"},
                                   {"bcolor", "0"},
                                   {"score", "50"}}) {
            WriteIni(file, "data", k, v);
        }
        WriteIni(file, "data", "lvl", "1");  // a second Next changes lines in place
        QCOMPARE(ReadFile(file),
                 std::string("[data]\nres=1\nask=1\nlvl=1\nscolor=0\nbcolor=0\nscore=50\n"));
    }

    void rewriteChangesTheValueInPlace() {
        TempFolder dir;
        const std::string file = dir.File("data.ini");
        WriteFile(file, "; kept\n[data]\n  LVL = 3 ; not a comment\nscore=10\n[x]\nlvl=9\n");
        WriteIni(file, "data", "lvl", "10");
        QCOMPARE(ReadFile(file), std::string("; kept\n[data]\n  LVL =10\nscore=10\n[x]\nlvl=9\n"));
        QCOMPARE(Read(file, "lvl"), std::string("10"));
    }

    void newKeyGoesAfterTheLastKeyOfItsSection() {
        TempFolder dir;
        const std::string file = dir.File("data.ini");
        WriteFile(file, "top text\n[data]\nres=2\n\n; note\n[other]\nk=v");
        WriteIni(file, "data", "ask", "0");
        QCOMPARE(ReadFile(file),
                 std::string("top text\n[data]\nres=2\nask=0\n\n; note\n[other]\nk=v"));
        WriteIni(file, "new", "a", "b");
        QCOMPARE(ReadFile(file), std::string("top text\n[data]\nres=2\nask=0\n\n; note\n"
                                             "[other]\nk=v\n[new]\na=b\n"));
        WriteFile(file, "[data]\n");
        WriteIni(file, "data", "lvl", "4");
        QCOMPARE(ReadFile(file), std::string("[data]\nlvl=4\n"));
    }

    void namesMatchWithoutRegardToCaseAndKeepTheirSpelling() {
        TempFolder dir;
        const std::string file = dir.File("data.ini");
        WriteFile(file, "[Data]\nScore=70\n");
        QCOMPARE(ReadIni(file, "DATA", "score", "0"), std::string("70"));
        WriteIni(file, "data", "SCORE", "80");
        QCOMPARE(ReadFile(file), std::string("[Data]\nScore=80\n"));
    }

    void blanksQuotesAndCommentsFollowTheReadingRules() {
        TempFolder dir;
        const std::string file = dir.File("data.ini");
        WriteFile(file,
                  "lvl=7\n"  // before the first section: not read
                  "[ data ]\n"
                  ";lvl=8\n"
                  "   ;scolor=3\n"
                  "no equals sign\n"
                  "\t lvl \t=\t 5 \t\n"
                  "lvl=6\n"
                  "q1=\"quoted\"\n"
                  "q2=' single '\n"
                  "q3=\"mismatched'\n"
                  "q4=\"\n"
                  "[data]\n"
                  "bcolor=4\n");
        QCOMPARE(Read(file, "lvl"), std::string("5"));
        QCOMPARE(Read(file, "scolor"), std::string("?"));
        QCOMPARE(Read(file, "no equals sign"), std::string("?"));
        QCOMPARE(Read(file, "q1"), std::string("quoted"));
        QCOMPARE(Read(file, "q2"), std::string(" single "));
        QCOMPARE(Read(file, "q3"), std::string("\"mismatched'"));
        QCOMPARE(Read(file, "q4"), std::string("\""));
        QCOMPARE(Read(file, "bcolor"), std::string("?"));  // only the first [data] is searched
    }

    void everyLineEndReadsTheSameAndIsKept() {
        TempFolder dir;
        const std::string file = dir.File("data.ini");
        for (const std::string eol : {"\r\n", "\n", "\r"}) {
            WriteFile(file, "\xEF\xBB\xBF[data]" + eol + "lvl=3" + eol + "score=20");
            QCOMPARE(Read(file, "lvl"), std::string("3"));
            QCOMPARE(Read(file, "score"), std::string("20"));
            WriteIni(file, "data", "ask", "1");
            QCOMPARE(ReadFile(file),
                     "\xEF\xBB\xBF[data]" + eol + "lvl=3" + eol + "score=20" + eol + "ask=1" + eol);
        }
    }

    void valuesAreCutTo254Characters() {
        TempFolder dir;
        const std::string file = dir.File("data.ini");
        const std::string longValue(300, 'x');
        WriteIni(file, "data", "score", longValue);
        QCOMPARE(Read(file, "score"), std::string(254, 'x'));
        QCOMPARE(ReadIni(file, "data", "none", std::string(400, 'd')), std::string(254, 'd'));
        WriteIni(file, "data", "lvl", "10");
        QCOMPARE(Read(file, "lvl"), std::string("10"));
    }

    void lineBreaksAreWrittenAsBlanks() {
        TempFolder dir;
        const std::string file = dir.File("data.ini");
        WriteIni(file, "data", "score", "1\r\n2\n3\r");
        QCOMPARE(ReadFile(file), std::string("[data]\nscore=1  2 3 \n"));
        QCOMPARE(Read(file, "score"), std::string("1  2 3"));
    }

    void everyReadSeesTheFileAsItIsNow() {
        TempFolder dir;
        const std::string file = dir.File("data.ini");
        WriteFile(file, "[data]\nlvl=2\n");
        QCOMPARE(Read(file, "lvl"), std::string("2"));
        WriteFile(file, "[data]\nlvl=9\n");
        QCOMPARE(Read(file, "lvl"), std::string("9"));
    }

    void writeReplacesTheFileAtomicallyAndLeavesNoTemporaryFile() {
        TempFolder dir;
        const std::string file = dir.File("data.ini");
        WriteFile(file, "[data]\nscore=100\n");
        ::chmod(file.c_str(), 0640);
        struct stat before {};
        ::stat(file.c_str(), &before);
        WriteIni(file, "data", "score", "120");
        struct stat after {};
        ::stat(file.c_str(), &after);
        QVERIFY(before.st_ino != after.st_ino);  // a new file took the old one's place
        QCOMPARE(after.st_mode & 0777, 0640u);
        QCOMPARE(TemporaryFilesIn(dir.path()), 0);
        QCOMPARE(Read(file, "score"), std::string("120"));
    }

    void symbolicLinkStaysALink() {
        TempFolder dir;
        WriteFile(dir.File("real.ini"), "[data]\nlvl=1\n");
        QCOMPARE(::symlink("real.ini", dir.File("data.ini").c_str()), 0);
        WriteIni(dir.File("data.ini"), "data", "lvl", "2");
        QVERIFY(std::filesystem::is_symlink(dir.File("data.ini")));
        QCOMPARE(ReadFile(dir.File("real.ini")), std::string("[data]\nlvl=2\n"));
    }

    void failedWriteChangesNothingAndSaysWhy() {
        TempFolder dir;
        std::string error;
        // A folder named data.ini.
        std::filesystem::create_directory(dir.File("data.ini"));
        QVERIFY(
            !profile::WritePrivateProfileString("data", "lvl", "1", dir.File("data.ini"), &error));
        QVERIFY(!error.empty());
        QCOMPARE(Read(dir.File("data.ini"), "lvl", "d"), std::string("d"));
        // A read-only file.
        const std::string file = dir.File("ro.ini");
        WriteFile(file, "[data]\nscore=5\n");
        ::chmod(file.c_str(), 0444);
        QVERIFY(!profile::WritePrivateProfileString("data", "score", "9", file, &error));
        QCOMPARE(ReadFile(file), std::string("[data]\nscore=5\n"));
        // A folder that does not exist.
        QVERIFY(
            !profile::WritePrivateProfileString("data", "k", "v", dir.File("no/data.ini"), &error));
        QCOMPARE(TemporaryFilesIn(dir.path()), 0);
        // A read-only folder, even for the superuser: no new file in it, but its writable file is
        // written in place, as the platform's own write would.
        const std::string locked = dir.File("locked");
        std::filesystem::create_directory(locked);
        WriteFile(locked + "/data.ini", "[data]\nscore=5\n");
        ::chmod(locked.c_str(), 0555);
        QVERIFY(
            profile::WritePrivateProfileString("data", "score", "9", locked + "/data.ini", &error));
        QVERIFY(!profile::WritePrivateProfileString("data", "k", "v", locked + "/new.ini", &error));
        ::chmod(locked.c_str(), 0755);
        QCOMPARE(ReadFile(locked + "/data.ini"), std::string("[data]\nscore=9\n"));
        QCOMPARE(TemporaryFilesIn(locked), 0);
        QVERIFY(!std::filesystem::exists(locked + "/new.ini"));
        // Through WriteIni the failure is one line on stderr and no exception.
        WriteIni(file, "data", "score", "9");
        QCOMPARE(Read(file, "score"), std::string("5"));
    }

    // A write changes the file's contents, not the file: its mode, its hard links and, written by
    // the superuser, its owner stay; a new file gets the mode the umask allows.
    void aWriteKeepsTheFileItself() {
        TempFolder dir;
        const std::string file = dir.File("data.ini");
        WriteFile(file, "[data]\nlvl=1\nscore=1000\n");
        ::chmod(file.c_str(), 0640);
        const std::string secondName = dir.File("second-name.ini");
        QCOMPARE(::link(file.c_str(), secondName.c_str()), 0);
        WriteIni(file, "data", "lvl", "2");
        QCOMPARE(ReadIni(secondName, "data", "lvl", ""), std::string("2"));
        WriteIni(file, "data", "score", "0");  // shorter, in place: nothing of the old is left
        QCOMPARE(ReadFile(secondName), std::string("[data]\nlvl=2\nscore=0\n"));
        struct stat st {};
        QCOMPARE(::stat(file.c_str(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0640u);
        QCOMPARE(st.st_nlink, nlink_t{2});
        const mode_t mask = ::umask(027);
        WriteIni(dir.File("new.ini"), "data", "lvl", "1");
        ::umask(mask);
        QCOMPARE(::stat(dir.File("new.ini").c_str(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0640u);
        if (::geteuid() != 0) {
            QSKIP("another user's file: needs the superuser");
        }
        const std::string theirs = dir.File("theirs.ini");
        WriteFile(theirs, "[data]\n");
        QCOMPARE(::chown(theirs.c_str(), 65534, 65534), 0);
        WriteIni(theirs, "data", "score", "10");
        QCOMPARE(::stat(theirs.c_str(), &st), 0);
        QCOMPARE(st.st_uid, uid_t{65534});
        QCOMPARE(st.st_gid, gid_t{65534});
        QCOMPARE(ReadIni(theirs, "data", "score", ""), std::string("10"));
    }

    // A link that dangles gets its target made; a file of another user that this one may write,
    // in a folder where it may not create files, is written in place.
    void writesGoWhereThePlatformsOwnWouldGo() {
        TempFolder dir;
        const std::string link = dir.File("data.ini");
        QCOMPARE(::symlink("target.ini", link.c_str()), 0);
        WriteIni(link, "data", "lvl", "3");
        QVERIFY(std::filesystem::is_symlink(link));
        QCOMPARE(ReadFile(dir.File("target.ini")), std::string("[data]\nlvl=3\n"));
        if (::geteuid() != 0) {
            QSKIP("writing as another user: needs the superuser");
        }
        // The folder and the file are the superuser's; the file is open to all, the folder not.
        const std::string shared = dir.File("shared.ini");
        WriteFile(shared, "[data]\nscore=5\n");
        ::chmod(shared.c_str(), 0666);
        ::chmod(dir.path().c_str(), 0755);
        const std::string writer =
            QCoreApplication::applicationDirPath().toStdString() + "/ini_writer";
        const std::string asNobody = "setpriv --reuid=nobody --regid=nogroup --clear-groups " +
                                     writer + " " + shared + " --key score 3 >/dev/null";
        QCOMPARE(std::system(asNobody.c_str()), 0);
        QCOMPARE(ReadIni(shared, "data", "score", ""), std::string("3"));
        struct stat st {};
        QCOMPARE(::stat(shared.c_str(), &st), 0);
        QCOMPARE(st.st_uid, uid_t{0});
    }

    // Anything but a regular file named like the settings reads as missing and takes no write,
    // and never blocks (a FIFO's open would wait for a writer).
    void anOddFileNeitherBlocksNorTakesWrites() {
        TempFolder dir;
        const std::string fifo = dir.File("data.ini");
        QCOMPARE(::mkfifo(fifo.c_str(), 0644), 0);
        QCOMPARE(ReadIni(fifo, "data", "lvl", "1"), std::string("1"));
        std::string error;
        QVERIFY(!profile::WritePrivateProfileString("data", "lvl", "2", fifo, &error));
        struct stat st {};
        QCOMPARE(::stat(fifo.c_str(), &st), 0);
        QVERIFY(S_ISFIFO(st.st_mode));
    }

    void theDefaultLosesItsTrailingBlanks() {
        TempFolder dir;
        QCOMPARE(ReadIni(dir.File("data.ini"), "data", "lvl", "  7 \t "), std::string("  7"));
    }

    void namesThatCannotBeStoredAreRefused() {
        TempFolder dir;
        const std::string file = dir.File("data.ini");
        std::string error;
        for (const std::string key : {"a=b", ";key", "[key", "k\ny", "", "  "}) {
            QVERIFY2(!profile::WritePrivateProfileString("data", key, "v", file, &error),
                     key.c_str());
        }
        for (const std::string section : {"a]b", "s\r", ""}) {
            QVERIFY(!profile::WritePrivateProfileString(section, "k", "v", file, &error));
        }
        QVERIFY(!std::filesystem::exists(file));
        QVERIFY(profile::WritePrivateProfileString("data", "a;b[c]", "v", file, &error));
        QCOMPARE(Read(file, "a;b[c]"), std::string("v"));
    }

    // Beside the program when the player can write there; else the per-user folder.
    void settingsLiveWhereThePlayerCanWrite() {
        TempFolder dir;
        const std::string program = dir.File("program");
        std::filesystem::create_directory(program);
        const std::string home = dir.File("home");
        auto place = [&](const char* xdg) {
            return ChooseSettingsPlace(program, xdg, home.c_str()).folder;
        };
        QCOMPARE(place(nullptr), program);  // a portable copy
        ::chmod(program.c_str(), 0555);     // installed where the player cannot write
        QCOMPARE(place(nullptr), home + "/.config/kelvo-snake");
        QCOMPARE(place("/xdg"), std::string("/xdg/kelvo-snake"));
        QCOMPARE(place("relative"), home + "/.config/kelvo-snake");
        QVERIFY(ChooseSettingsPlace(program, nullptr, home.c_str()).perUser);
        ::chmod(program.c_str(), 0755);
        WriteFile(program + "/data.ini", "[data]\n");
        ::chmod(program.c_str(), 0555);
        QCOMPARE(place(nullptr), program);  // a data.ini the player can write, in place
        ::chmod((program + "/data.ini").c_str(), 0444);
        QCOMPARE(place(nullptr), home + "/.config/kelvo-snake");
        ::chmod(program.c_str(), 0755);
        // Not a system folder, even for the superuser, who can write there; with no home
        // folder either, nothing is kept.
        QCOMPARE(ChooseSettingsPlace("/usr/bin", nullptr, home.c_str()).folder,
                 home + "/.config/kelvo-snake");
        QCOMPARE(ChooseSettingsPlace("/usr/games", nullptr, nullptr).folder, std::string());
        const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
        ::unsetenv("HOME");
        const char* fromUserDatabase = HomeFolder();
        QVERIFY(fromUserDatabase != nullptr && fromUserDatabase[0] == '/');
        ::setenv("HOME", savedHome.c_str(), 1);
        // Where nothing is kept, reads give the default and writes do nothing.
        WriteIni("", "data", "lvl", "3");
        QCOMPARE(ReadIni("", "data", "lvl", "1"), std::string("1"));
    }

    // The per-user folder comes with the first write, not with a read.
    void theFirstWriteMakesThePerUserFolder() {
        TempFolder dir;
        const std::string folder = dir.File("home/.config/kelvo-snake");
        AllowFolderCreation(folder);
        QCOMPARE(Read(folder + "/data.ini", "res", "1"), std::string("1"));
        QVERIFY(!std::filesystem::exists(folder));
        WriteIni(folder + "/data.ini", "data", "res", "2");
        QCOMPARE(Read(folder + "/data.ini", "res"), std::string("2"));
        struct stat st {};
        QCOMPARE(::stat(folder.c_str(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0700u);
        // Any other missing folder still refuses the write.
        WriteIni(dir.File("elsewhere/data.ini"), "data", "res", "2");
        QVERIFY(!std::filesystem::exists(dir.File("elsewhere")));
        AllowFolderCreation("");
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
