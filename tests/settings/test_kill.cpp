// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// A writer killed at random instants never leaves a damaged settings file: after each kill the
// file reads back whole, and every key holds either the value it had before or one the writer
// was storing.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTest>
#include <filesystem>
#include <map>
#include <random>

#include "settings/atomic_file.h"
#include "settings/ini.h"
#include "settings_rounds.h"
#include "support/printing.h"
#include "support/temp_folder.h"

namespace {

using Values = std::map<std::string, std::string>;

Values ReadAll(const std::string& file) {
    Values values;
    for (const char* key : kRoundKeys) {
        values[key] = ReadIni(file, "data", key, "<missing>");
    }
    return values;
}

long RoundOf(const std::string& value) {
    return std::atol(value.c_str());
}

int TemporaryFiles(const std::string& folder) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        count += entry.path().filename().string().find(".tmp.") != std::string::npos;
    }
    return count;
}

}  // namespace

class TestKill : public QObject {
    Q_OBJECT
  private slots:
    void killsAtRandomInstantsLeaveOldOrNewValues() {
        TempFolder dir;
        const std::string file = dir.File("data.ini");
        for (int k = 0; k < kRoundKeyCount; ++k) {
            WriteIni(file, "data", kRoundKeys[k], RoundValue(0, k));
        }
        const unsigned seed = std::random_device{}();
        std::mt19937 random(seed);
        const std::string writer =
            QCoreApplication::applicationDirPath().toStdString() + "/ini_writer";
        int kills = 0;
        int changed = 0;
        constexpr int kKills = 200;
        for (; kills < kKills; ++kills) {
            const Values before = ReadAll(file);
            long next = 0;
            for (const auto& [key, value] : before) {
                next = std::max(next, RoundOf(value) + 1);
            }
            int ready[2];
            QVERIFY(pipe(ready) == 0);
            const pid_t pid = fork();
            if (pid == 0) {
                dup2(ready[1], 1);
                close(ready[0]);
                const std::string first = std::to_string(next);
                execl(writer.c_str(), writer.c_str(), file.c_str(), first.c_str(), nullptr);
                _exit(127);
            }
            QVERIFY(pid > 0);
            close(ready[1]);
            char byte = 0;
            (void)!read(ready[0], &byte, 1);  // its first write is done; the next are under way
            close(ready[0]);
            std::uniform_int_distribution<int> delay(0, 4000);
            usleep(static_cast<useconds_t>(delay(random)));
            kill(pid, SIGKILL);
            int status = 0;
            waitpid(pid, &status, 0);
            QVERIFY2(WIFSIGNALED(status), "the writer ended by itself");

            // The file is whole: the header and six key lines, nothing else.
            const std::string contents = ReadFile(file);
            QVERIFY2(contents.rfind("[data]\n", 0) == 0, qPrintable(QString::number(seed)));
            QCOMPARE(std::count(contents.begin(), contents.end(), '\n'), 7);
            const Values after = ReadAll(file);
            for (int k = 0; k < kRoundKeyCount; ++k) {
                const std::string& value = after.at(kRoundKeys[k]);
                const bool old = value == before.at(kRoundKeys[k]);
                const long round = RoundOf(value);
                const bool fresh = round >= next && value == RoundValue(round, k);
                QVERIFY2(old || fresh, qPrintable(QString("seed %1, kill %2, %3=%4")
                                                      .arg(seed)
                                                      .arg(kills)
                                                      .arg(kRoundKeys[k])
                                                      .arg(QString::fromStdString(value))));
            }
            changed += after != before;
        }
        qInfo("%d kills, %d of them after the file had changed, seed %u", kills, changed, seed);
        QVERIFY(changed > kKills * 4 / 5);  // the kills really fell during writing
        // Temporaries a kill left behind are harmless; once stale, the next write removes them.
        for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
            if (entry.path().filename().string().find(".tmp.") != std::string::npos) {
                std::filesystem::last_write_time(
                    entry.path(), std::filesystem::file_time_type::clock::now() -
                                      std::chrono::seconds(profile::kStaleSeconds + 5));
            }
        }
        WriteIni(file, "data", "lvl", "1");
        QCOMPARE(TemporaryFiles(dir.path()), 0);
    }
};

QTEST_GUILESS_MAIN(TestKill)
#include "test_kill.moc"
