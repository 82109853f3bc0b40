// Kelvo Snake: a snake game for the Linux desktop.
#include <QApplication>
#include <QStringList>
#include <QStyleFactory>
#include <cstdio>
#include <cstdlib>

#include "app/command_line.h"
#include "app/main_cycle.h"
#include "app/program_windows.h"
#include "assets/font.h"
#include "assets/pictures.h"
#include "platform/qt_platform.h"
#include "settings/values.h"

namespace {

// What Qt says while it connects to the display, held back until it has connected.
QStringList& StartupMessages() {
    static QStringList messages;
    return messages;
}

// Without a display Qt prints a few lines and then aborts; the program says so in one line
// instead and exits with status 1.
void StartupMessageHandler(QtMsgType type, const QMessageLogContext& context,
                           const QString& message) {
    if (type == QtFatalMsg) {
        std::fputs(
            "kelvo-snake: cannot open a display (set DISPLAY or WAYLAND_DISPLAY, or start it "
            "from a desktop session)\n",
            stderr);
        std::_Exit(1);
    }
    StartupMessages() << qFormatLogMessage(type, context, message);
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication::setApplicationName(QStringLiteral("kelvo-snake"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KELVO_VERSION));
    {
        // --help and --version work without a display: answered before any window system.
        const QCoreApplication commandLine(argc, argv);
        const ProgramPlaces places =
            FindProgramPlaces(QCoreApplication::applicationDirPath().toStdString());
        if (const auto status = HandleCommandLine(QCoreApplication::arguments(), places)) {
            return *status;
        }
    }
    // Under X, Qt hands each repaint to the server in shared memory and is woken again when the
    // server has copied it. A game repaints two 16-pixel blocks per tick, so those wake-ups
    // cost more than sending the few bytes over the socket: about a fifth of the CPU in play.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) {
        qputenv("QT_XCB_NO_MITSHM", "1");
    }
    // The desktop entry's name: under Wayland the windows carry it as their app id.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.kelvo.Snake"));
    const QtMessageHandler previous = qInstallMessageHandler(StartupMessageHandler);
    QApplication app(argc, argv);
    qInstallMessageHandler(previous);
    for (const QString& message : StartupMessages()) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
    }
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setWindowIcon(assets::WindowIcon());
    assets::InstallGameFont();

    platform::QtPlatform qt;
    // The player's M of an earlier run holds: the music stays off.
    qt.sound.SetMuted(ReadFlag(platform::SettingsFile(qt.process), "mute", false));
    SharedState shared;
    ProgramWindows windows(qt.bundle, shared);
    Main(shared, qt.process, windows);
    return 0;
}
