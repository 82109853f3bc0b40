#include "app/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

std::optional<int> HandleCommandLine(const QStringList& arguments, const ProgramPlaces& places) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Kelvo Snake: a snake game. Pick a screen size, a level and the colours,\n"
                       "then steer the snake with the arrow keys; Esc asks \"Exit?\".\n\n"
                       "Settings and the high score: %1/data.ini\nMusic: %2")
            .arg(QString::fromStdString(places.settings.folder),
                 QString::fromStdString(places.music)));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QString name = QCoreApplication::applicationName();
    if (!parser.parse(arguments)) {
        std::fprintf(stderr, "%s: %s Try --help.\n", qPrintable(name),
                     qPrintable(parser.errorText()));
        return 2;
    }
    if (parser.isSet(help) || parser.isSet(QStringLiteral("help-all"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
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
