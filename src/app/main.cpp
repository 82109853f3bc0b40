// Kelvo Snake: a snake game for the Linux desktop.
#include <QApplication>
#include <QStyleFactory>

#include "app/main_cycle.h"
#include "app/program_windows.h"
#include "assets/font.h"
#include "assets/pictures.h"
#include "platform/qt_platform.h"

int main(int argc, char* argv[]) {
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
