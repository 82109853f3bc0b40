// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/command_line.h"

#include <spawn.h>
#include <sys/wait.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "platform/program_places.h"

extern char** environ;

namespace {

// Set for a run that JudgedApart starts.
constexpr char kJudgeOnly[] = "KELVO_SNAKE_JUDGE_COMMAND_LINE";

bool AsksForHelpOrVersion(std::string_view argument) {
    return argument == "-h" || argument == "--help" || argument == "-?" ||
           argument == "--help-all" || argument == "-v" || argument == "--version";
}

// Whether this run was started by JudgedApart, whose caller says why Qt could not start.
bool judgingApart = false;

// Qt's warnings about a run on no display are nothing the player needs.
void QuietMessageHandler(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg) {
        if (!judgingApart) {
            std::fprintf(stderr, "kelvo-snake: %s\n", qPrintable(message));
        }
        std::_Exit(1);
    }
}

QString Description() {
    const ProgramPlaces places =
        FindProgramPlaces(QCoreApplication::applicationDirPath().toStdString());
    return QStringLiteral(
               "Kelvo Snake: a snake game. Pick a screen size, a level and the colours,\n"
               "then steer the snake with the arrow keys or a game controller; Esc asks\n"
               "\"Exit?\".\n\n"
               "Settings and the high score: %1\nMusic: %2")
        .arg(places.settings.folder.empty()
                 ? QStringLiteral("not kept (no home folder)")
                 : QString::fromStdString(places.settings.folder) + "/data.ini",
             QString::fromStdString(places.music));
}

}  // namespace

bool OnlyAnswersCommandLine(int argc, char** argv) {
    return qEnvironmentVariableIsSet(kJudgeOnly) ||
           std::any_of(argv + std::min(argc, 1), argv + argc, AsksForHelpOrVersion);
}

int AnswerCommandLine(int argc, char** argv) {
    judgingApart = qEnvironmentVariableIsSet(kJudgeOnly);
    qunsetenv(kJudgeOnly);
    qInstallMessageHandler(QuietMessageHandler);
    // The last -platform holds, so this one wins over the player's.
    std::vector<char*> arguments(argv, argv + argc);
    char platformOption[] = "-platform";
    char offscreen[] = "offscreen";
    arguments.insert(arguments.end(), {platformOption, offscreen});
    int count = static_cast<int>(arguments.size());
    arguments.push_back(nullptr);
    const QApplication app(count, arguments.data());
    return HandleCommandLine(QCoreApplication::arguments()).value_or(0);
}

std::optional<int> JudgedApart(int argc, char** argv) {
    if (argc <= 1) {
        return std::nullopt;  // nothing to judge
    }
    std::vector<char*> arguments(argv, argv + argc);
    arguments.push_back(nullptr);
    ::setenv(kJudgeOnly, "1", 1);
    pid_t pid = 0;
    int status = 0;
    const bool judged =
        ::posix_spawn(&pid, "/proc/self/exe", nullptr, nullptr, arguments.data(), environ) == 0 &&
        ::waitpid(pid, &status, 0) == pid;
    ::unsetenv(kJudgeOnly);
    if (judged && WIFEXITED(status) && WEXITSTATUS(status) == 2) {
        return 2;
    }
    return std::nullopt;
}

std::optional<int> HandleCommandLine(const QStringList& arguments) {
    QCommandLineParser parser;
    const QCommandLineOption help = parser.addHelpOption();  // and --help-all
    const QCommandLineOption version = parser.addVersionOption();
    parser.addOption(QCommandLineOption(
        QStringLiteral("no-gamepad"),
        QStringLiteral("Leaves game controllers alone: only the keyboard and mouse play.")));
    const bool parsed = parser.parse(arguments);
    // Help and the version are answered whatever else the command line holds.
    if (parser.isSet(QStringLiteral("help-all"))) {
        // Qt's own parser lists Qt's options beside ours, as Qt knows them; Qt 6.4 leaves out
        // those of its widgets and of X11, so they are named here.
        parser.setApplicationDescription(
            Description() +
            QStringLiteral("\n\nQt's options are taken with one dash or two. Beside those listed "
                           "below,\nQt's widgets take -style <style> and -stylesheet <file>, and "
                           "Qt on X11\n-display <display>, -title <title> and -geometry "
                           "<geometry>.\nThe game places and names its windows itself and "
                           "writes left to right:\n-geometry, -qwindowgeometry, -title, "
                           "-qwindowtitle and -reverse are taken\nbut change nothing."));
        parser.process(QStringList{arguments.value(0), QStringLiteral("--help-all")});
    }
    if (parser.isSet(help)) {
        parser.setApplicationDescription(Description());
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("%s %s\n", qPrintable(QCoreApplication::applicationName()),
                    qPrintable(QCoreApplication::applicationVersion()));
        return 0;
    }
    const QString name = QCoreApplication::applicationName();
    if (!parsed) {
        std::fprintf(stderr, "%s: %s Try --help.\n", qPrintable(name),
                     qPrintable(parser.errorText()));
        return 2;
    }
    if (!parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "%s: takes no arguments, but was given \"%s\". Try --help.\n",
                     qPrintable(name), qPrintable(parser.positionalArguments().first()));
        return 2;
    }
    return std::nullopt;
}

bool UsesGamePads(const QStringList& arguments) {
    return !arguments.contains(QStringLiteral("--no-gamepad"));
}

bool ChoosesStyle(int argc, char** argv) {
    // Qt takes -style and --style, with the name after it or after "=".
    return std::any_of(argv + std::min(argc, 1), argv + argc, [](const char* argument) {
        std::string_view name(argument);
        name.remove_prefix(name.starts_with("--") ? 2 : name.starts_with('-') ? 1 : name.size());
        return name == "style" || name.starts_with("style=");
    });
}
