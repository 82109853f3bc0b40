// Kelvo Snake: a snake game for the Linux desktop.
#include <QApplication>
#include <QStyleFactory>

#include "app/main_cycle.h"
#include "app/program_windows.h"
#include "assets/font.h"
#include "assets/pictures.h"
#include "platform/qt_platform.h"

int main(int argc, char* argv[]) {
    // Under X, Qt hands each repaint to the server in shared memory and is woken again when the
    // server has copied it. A game repaints two 16-pixel blocks per tick, so those wake-ups
    // cost more than sending the few bytes over the socket: about a fifth of the CPU in play.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) {
        qputenv("QT_XCB_NO_MITSHM", "1");
    }
    QApplication app(argc, argv);
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QApplication::setWindowIcon(assets::WindowIcon());
    assets::InstallGameFont();

    platform::QtPlatform qt;
    SharedState shared;
    ProgramWindows windows(qt.bundle, shared);
    Main(shared, qt.process, windows);
    return 0;
}
