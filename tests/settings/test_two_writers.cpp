// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Two programs writing one settings file at once lose nothing: every write reads back as
// written, every last value stays, and of two games ending at once the higher score stays.
#include <QTest>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "settings/ini.h"
#include "settings_rounds.h"
#include "support/printing.h"
#include "support/temp_folder.h"

namespace {

std::string Writer() {
    return QCoreApplication::applicationDirPath().toStdString() + "/ini_writer ";
}

std::string Output(FILE* pipe) {
    std::string out;
    char chunk[256];
    while (std::fgets(chunk, sizeof chunk, pipe) != nullptr) {
        out += chunk;
    }
    pclose(pipe);
    while (!out.empty() && out.back() == '\n') {
        out.pop_back();
    }
    return out;
}

// Starts both writers at once and returns what each printed.
std::pair<std::string, std::string> RunTogether(const std::string& first,
                                                const std::string& second) {
    FILE* a = popen((Writer() + first).c_str(), "r");
    FILE* b = popen((Writer() + second).c_str(), "r");
    return {Output(a), Output(b)};
}

}  // namespace

class TestTwoWriters : public QObject {
    Q_OBJECT
  private slots:
    void twoWritersOfTheirOwnKeysLoseNothing() {
        TempFolder dir;
        const std::string file = dir.File("data.ini");
        const auto [lostA, lostB] = RunTogether(file + " --key lvl 300", file + " --key score 300");
        QCOMPARE(lostA, std::string("0"));  // every read-back saw its own write
        QCOMPARE(lostB, std::string("0"));
        QCOMPARE(ReadIni(file, "data", "lvl", ""), std::string("300"));
        QCOMPARE(ReadIni(file, "data", "score", ""), std::string("300"));
    }

    // Eight at once: each waits in line for the lock, none gives up on it, nothing is lost.
    void eightWritersWaitInLineAndLoseNothing() {
        TempFolder dir;
        const std::string file = dir.File("data.ini");
        std::vector<FILE*> writers;
        for (int k = 0; k < 8; ++k) {
            const std::string command = Writer() + file + " --key " + WriterKey(k) + " 200 2>&1";
            writers.push_back(popen(command.c_str(), "r"));
        }
        for (FILE* writer : writers) {
            QCOMPARE(Output(writer), std::string("0"));  // no other line: no lock given up
        }
        for (int k = 0; k < 8; ++k) {
            QCOMPARE(ReadIni(file, "data", WriterKey(k), ""), std::string("200"));
        }
    }

    void ofTwoGamesEndingAtOnceTheHigherScoreStays() {
        TempFolder dir;
        const std::string file = dir.File("data.ini");
        // One ends games with the even scores up to 600, the other with the odd ones up to 599.
        RunTogether(file + " --score 2 2 300", file + " --score 1 2 300");
        QCOMPARE(ReadIni(file, "data", "score", ""), std::string("600"));
    }
};

QTEST_GUILESS_MAIN(TestTwoWriters)
#include "test_two_writers.moc"
