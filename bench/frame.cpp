// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Two in-process figures: one frame of the game window at 1024x768 painted into an image, with
// 7 and with 1,000 segments (500 frames each), and ReadIni of one key in a file of six keys
// (10,000 reads). Prints one line per figure: name, median, minimum, maximum, unit.
#include <QApplication>
#include <QDir>
#include <chrono>
#include <cstdio>

#include "assets/font.h"
#include "bench_support.h"
#include "game/game_window.h"
#include "platform/qt_platform.h"
#include "settings/ini.h"
#include "support/fake_platform.h"

namespace {

using Clock = std::chrono::steady_clock;

void Report(const char* name, std::vector<double> samples, const char* unit) {
    std::sort(samples.begin(), samples.end());
    std::printf("%s %.4f %.4f %.4f %s\n", name, bench::Percentile(samples, 0.5), samples.front(),
                samples.back(), unit);
}

// Paints frames of a game with `segments` blocks laid in rows across the field.
std::vector<double> PaintFrames(int segments, int frames) {
    platform::QtTickCounter clock;
    platform::QtEventPump pump;
    fake::Boxes answers;  // every question answered Yes
    fake::Sound silence;
    fake::Process end(QDir::tempPath().toStdString());
    platform::QtScreen screen;
    fake::Random random;  // always 0.5
    platform::Platform bundle{clock, pump, answers, silence, end, screen, random};
    SharedState shared;
    shared.ResWidth = 1024;
    shared.ResHeight = 768;
    shared.Level = 5;
    shared.SnakeColor = "Green";
    shared.BorderColor = "Blue";
    Sn rules(bundle, shared);
    GameWindow window(rules, bundle);
    rules.CreateControls(window);
    rules.Form_Load();
    window.setFixedSize(1024, 768);
    while (static_cast<int>(rules.controls.s.size()) < segments) {
        rules.Elongate_Snake();
    }
    rules.controls.label(Label::lblscore).Visible = true;  // text in the frame as well
    const float step = 360;
    const int perRow = 40;
    for (int i = 0; i < segments; ++i) {
        Box& box = rules.controls.s[static_cast<size_t>(i)].box;
        box.Left = 300 + step * static_cast<float>(i % perRow);
        box.Top = 300 + step * static_cast<float>(i / perRow);
    }
    std::vector<double> ms;
    for (int f = 0; f < frames; ++f) {
        const auto start = Clock::now();
        const QImage image = window.Render();
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    return ms;
}

std::vector<double> ReadKeys(int reads) {
    const std::string file = QDir::tempPath().toStdString() + "/kelvo-bench-data.ini";
    for (const auto& [key, value] : {std::pair{"res", "3"},
                                     {"ask", "1"},
                                     {"lvl", "5"},
                                     {"scolor", "2"},
                                     {"bcolor", "5"},
                                     {"score", "120"}}) {
        WriteIni(file, "data", key, value);
    }
    std::vector<double> us;
    for (int i = 0; i < reads; ++i) {
        const auto start = Clock::now();
        const std::string value = ReadIni(file, "data", "score", "0");
        us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        if (value != "120") {
            std::fprintf(stderr, "unexpected value %s\n", value.c_str());
            return {};
        }
    }
    QFile::remove(QString::fromStdString(file));
    return us;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    assets::InstallGameFont();
    Report("paint7", PaintFrames(7, 500), "ms");
    Report("paint1000", PaintFrames(1000, 500), "ms");
    Report("settings", ReadKeys(10000), "us");
    return 0;
}
