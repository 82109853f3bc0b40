// The pixels of every picture in the catalogue, drawn in code.
#pragma once

#include <QCursor>
#include <QIcon>
#include <QImage>

#include "assets/catalog.h"

namespace assets {

// The picture at its catalogue size, drawn once and then shared. Formats: ARGB32 premultiplied
// where the picture has a transparent ground, RGB32 otherwise.
const QImage& Image(Picture picture);

// The window icon and the invisible mouse pointer of the game window.
QIcon WindowIcon();
QCursor BlankCursor();

}  // namespace assets
