#include "app/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <algorithm>
#include <cstdio>
#include <iterator>

namespace {

// The options that QApplication takes for itself, on every platform or on X11.
struct QtOption {
    const char* name;
    const char* value;  // what follows it, or nullptr for a plain switch
    const char* description;
};

constexpr QtOption kQtOptions[] = {
    {"platform", "name[:options]", "The window system plugin: xcb, wayland, offscreen …"},
    {"platformpluginpath", "path", "Where to look for window system plugins."},
    {"platformtheme", "name", "The platform theme."},
    {"plugin", "name", "Loads an extra input plugin."},
    {"qwindowgeometry", "geometry", "The first window's geometry (WIDTHxHEIGHT+X+Y)."},
    {"qwindowicon", "icon", "The windows' icon."},
    {"qwindowtitle", "title", "The first window's title."},
    {"reverse", nullptr, "Lays the windows out from right to left."},
    {"session", "id", "The session to restore."},
    {"style", "style", "The widget style: Fusion, Windows …"},
    {"stylesheet", "file", "A style sheet for the widgets."},
    {"widgetcount", nullptr, "Prints how many widgets were left at the end."},
    {"display", "display", "X11: the display to connect to."},
    {"geometry", "geometry", "X11: the same as -qwindowgeometry."},
    {"name", "name", "X11: the instance name of the windows' class."},
    {"nograb", nullptr, "X11: never grabs the mouse or the keyboard."},
    {"dograb", nullptr, "X11: grabs even under a debugger."},
    {"qmljsdebugger", "port:N", "Given as -qmljsdebugger=…: starts the QML debugger."},
};

// The Qt option an argument names (-name, --name or -name=value), if it is one.
const QtOption* QtOptionOf(const QString& argument, bool* valueAttached) {
    if (!argument.startsWith(QLatin1Char('-')) || argument == QLatin1String("--")) {
        return nullptr;
    }
    QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
    const qsizetype equals = name.indexOf(QLatin1Char('='));
    *valueAttached = equals >= 0;
    name.truncate(equals >= 0 ? equals : name.size());
    const auto found =
        std::find_if(std::begin(kQtOptions), std::end(kQtOptions),
                     [&](const QtOption& o) { return name == QLatin1String(o.name); });
    return found == std::end(kQtOptions) ? nullptr : found;
}

// The arguments without Qt's own options and their values, which QApplication takes later.
QStringList WithoutQtOptions(const QStringList& arguments) {
    QStringList ours;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        bool valueAttached = false;
        const QtOption* option = i > 0 ? QtOptionOf(arguments[i], &valueAttached) : nullptr;
        if (option == nullptr) {
            ours << arguments[i];
        } else if (option->value != nullptr && !valueAttached) {
            ++i;  // its value
        }
    }
    return ours;
}

QString QtOptionsHelp() {
    QString help = QStringLiteral("\nQt options (the ones every Qt program takes):\n");
    for (const QtOption& option : kQtOptions) {
        const QString synopsis = QStringLiteral("-%1%2").arg(
            QLatin1String(option.name),
            option.value ? QStringLiteral(" <%1>").arg(QLatin1String(option.value)) : QString());
        help += QStringLiteral("  %1  %2\n")
                    .arg(synopsis.leftJustified(34), QString::fromUtf8(option.description));
    }
    return help;
}

}  // namespace

std::optional<int> HandleCommandLine(const QStringList& arguments, const ProgramPlaces& places) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Kelvo Snake: a snake game. Pick a screen size, a level and the colours,\n"
                       "then steer the snake with the arrow keys or a game controller; Esc asks\n"
                       "\"Exit?\".\n\n"
                       "Settings and the high score: %1\nMusic: %2")
            .arg(places.settings.folder.empty()
                     ? QStringLiteral("not kept (no home folder)")
                     : QString::fromStdString(places.settings.folder) + "/data.ini",
                 QString::fromStdString(places.music)));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addOption(QCommandLineOption(
        QStringLiteral("no-gamepad"),
        QStringLiteral("Leaves game controllers alone: only the keyboard and mouse play.")));
    const QString name = QCoreApplication::applicationName();
    if (!parser.parse(WithoutQtOptions(arguments))) {
        std::fprintf(stderr, "%s: %s Try --help.\n", qPrintable(name),
                     qPrintable(parser.errorText()));
        return 2;
    }
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        QString text = parser.helpText();
        if (parser.isSet(QStringLiteral("help-all"))) {
            text += QtOptionsHelp();
        }
        std::fputs(qPrintable(text), stdout);
        return 0;
    }
    if (parser.isSet(version)) {
        std::printf("%s %s\n", qPrintable(name),
                    qPrintable(QCoreApplication::applicationVersion()));
        return 0;
    }
    if (!parser.positionalArguments().isEmpty()) {
        std::fprintf(stderr, "%s: takes no arguments, but was given \"%s\". Try --help.\n",
                     qPrintable(name), qPrintable(parser.positionalArguments().first()));
        return 2;
    }
    return std::nullopt;
}

bool UsesGamePads(const QStringList& arguments) {
    return !WithoutQtOptions(arguments).contains(QStringLiteral("--no-gamepad"));
}

bool ChoosesStyle(const QStringList& arguments) {
    return std::any_of(arguments.begin() + std::min<qsizetype>(1, arguments.size()),
                       arguments.end(), [](const QString& argument) {
                           bool valueAttached = false;
                           const QtOption* option = QtOptionOf(argument, &valueAttached);
                           return option != nullptr && QLatin1String(option->name) == "style";
                       });
}
