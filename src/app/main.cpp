// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Kelvo Snake: a snake game for the Linux desktop.
#include <QApplication>
#include <QStringList>
#include <QStyleFactory>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <utility>

#include "app/command_line.h"
#include "app/main_cycle.h"
#include "app/program_windows.h"
#include "assets/font.h"
#include "assets/pictures.h"
#include "platform/qt_platform.h"
#include "platform/screen_reader.h"
#include "platform/sdl_game_pads.h"
#include "settings/ini.h"
#include "settings/keys.h"
#include "views/pad_router.h"
#include "views/qt_view.h"

namespace {

// What Qt says while it connects to the display, held back until it has connected.
QStringList& StartupMessages() {
    static QStringList messages;
    return messages;
}

// The command line as QApplication leaves it: it takes its own options out as it starts.
struct {
    int* argc = nullptr;
    char** argv = nullptr;
} startupArguments;

// When the window system cannot start, Qt prints a few lines and then aborts. A wrong command
// line is said first, as in any other run (status 2). Without a display the program says so in
// one line; for any other reason (a plugin that cannot be loaded, say) it shows what Qt said.
// Either way it exits with status 1.
void StartupMessageHandler(QtMsgType type, const QMessageLogContext& context,
                           const QString& message) {
    if (type != QtFatalMsg) {
        StartupMessages() << qFormatLogMessage(type, context, message);
        return;
    }
    if (const auto status = JudgedApart(*startupArguments.argc, startupArguments.argv)) {
        std::_Exit(*status);
    }
    // Qt names the X display it could not connect to, if it was given one.
    const QLatin1String noX("could not connect to display");
    QString display;
    const bool noDisplay =
        std::any_of(StartupMessages().begin(), StartupMessages().end(), [&](const QString& line) {
            if (const qsizetype at = line.indexOf(noX); at >= 0) {
                display = line.mid(at + noX.size()).trimmed();
                return true;
            }
            return line.contains(QLatin1String("Failed to create wl_display"));
        });
    if (noDisplay && !display.isEmpty()) {
        std::fprintf(stderr, "kelvo-snake: cannot open the display %s\n", qPrintable(display));
    } else if (noDisplay) {
        std::fputs(
            "kelvo-snake: cannot open a display (set DISPLAY or WAYLAND_DISPLAY, or start it "
            "from a desktop session)\n",
            stderr);
    } else {
        std::fputs("kelvo-snake: cannot start the window system. Qt says:\n", stderr);
        for (const QString& line : StartupMessages()) {
            std::fprintf(stderr, "%s\n", qPrintable(line));
        }
        std::fprintf(stderr, "%s\n", qPrintable(message.trimmed()));
    }
    std::_Exit(1);
}

// Sound mixers list the music under the game's name and icon, as a game's stream. The sound
// library reads these from the environment when it connects; a player's own settings hold.
void NameTheMusicStream() {
    const std::pair<const char*, const char*> properties[] = {
        {"PULSE_PROP_OVERRIDE_application.name", "Kelvo Snake"},
        {"PULSE_PROP_OVERRIDE_application.icon_name", "io.github.kelvo.Snake"},
        {"PULSE_PROP_OVERRIDE_media.role", "game"},
    };
    for (const auto& [name, value] : properties) {
        if (!qEnvironmentVariableIsSet(name)) {
            qputenv(name, value);
        }
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication::setApplicationName(QStringLiteral("kelvo-snake"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KELVO_VERSION));
    // --help and --version work without a display: answered before any window system.
    if (OnlyAnswersCommandLine(argc, argv)) {
        return AnswerCommandLine(argc, argv);
    }
    const bool choosesStyle = ChoosesStyle(argc, argv);
    // Under X, Qt hands each repaint to the server in shared memory and is woken again when the
    // server has copied it. A game repaints two 16-pixel blocks per tick, so those wake-ups
    // cost more than sending the few bytes over the socket: about a fifth of the CPU in play.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) {
        qputenv("QT_XCB_NO_MITSHM", "1");
    }
    // The desktop entry's name: under Wayland the windows carry it as their app id.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.kelvo.Snake"));
    NameTheMusicStream();
    startupArguments = {&argc, argv};
    const QtMessageHandler previous = qInstallMessageHandler(StartupMessageHandler);
    QApplication app(argc, argv);
    qInstallMessageHandler(previous);
    for (const QString& message : StartupMessages()) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
    }
    // What is left of the command line once Qt has taken its own options is the game's.
    if (const auto status = HandleCommandLine(QCoreApplication::arguments())) {
        return *status;
    }
    const bool usesGamePads = UsesGamePads(QCoreApplication::arguments());
    views::KeepDesignedDirection();
    // Fusion draws the chooser's and the menu's controls visibly on black; a style the player
    // asks for (-style, QT_STYLE_OVERRIDE) holds over it.
    if (!choosesStyle && !qEnvironmentVariableIsSet("QT_STYLE_OVERRIDE")) {
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    }
    QApplication::setWindowIcon(assets::WindowIcon());
    assets::InstallGameFont();

    platform::QtPlatform qt;
    // The player's M of an earlier run holds: the music stays off.
    const std::string settingsFile = platform::SettingsFile(qt.process);
    qt.sound.SetMuted(setting::ReadFlag(settingsFile, setting::kMute));
    // The play-by-ear cues: as the player chose with S, in this run or an earlier one; unchosen,
    // on while a screen reader runs. Their sound device opens once the first window is up.
    platform::ScreenReaderWatch screenReader;
    const auto applyCues = [&qt, &settingsFile, &screenReader] {
        qt.sound.SetCues(
            setting::ReadChoice(settingsFile, setting::kCues).value_or(screenReader.Running()));
    };
    QObject::connect(&screenReader, &platform::ScreenReaderWatch::changed, &app, applyCues);
    QTimer::singleShot(200, &app, applyCues);
    // Game pads play every window, as the keys they stand for. They are looked for once the
    // first window is up: that takes about 10 ms, which the start need not wait for.
    std::optional<platform::SdlGamePads> pads;
    std::optional<views::PadRouter> padRouter;
    if (usesGamePads) {
        QTimer::singleShot(200, &app, [&pads, &padRouter] {
            pads.emplace();
            padRouter.emplace(*pads);
        });
    }
    SharedState shared;
    ProgramWindows windows(qt.bundle, shared);
    Main(shared, qt.process, windows);
    FinishWrites();
    return 0;
}
