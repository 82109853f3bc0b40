// Writes the hicolor theme icons of the desktop entry, drawn from the game's own window icon:
// FOLDER/<n>x<n>/apps/io.github.kelvo.Snake.png for each size. Usage: make_icons FOLDER
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <cstdio>

#include "assets/pictures.h"

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    // The icon's lettering needs fonts, not a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QGuiApplication app(argc, argv);
    const QImage icon = assets::Image(assets::Picture::Icon);
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        // Larger sizes first take whole-pixel steps, so the blocks keep their hard edges.
        const int whole = std::max(1, size / icon.width());
        const QImage enlarged = icon.scaled(icon.size() * whole);
        const QImage scaled =
            enlarged.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(argv[1]).arg(size);
        if (!QDir().mkpath(folder) ||
            !scaled.save(folder + QStringLiteral("/io.github.kelvo.Snake.png"))) {
            std::fprintf(stderr, "%s: cannot write the %d pixel icon in %s\n", argv[0], size,
                         qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
