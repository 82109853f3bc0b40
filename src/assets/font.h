// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The game's one typeface: Impact where the system really has it, else the bundled Anton.
#pragma once

#include <QFont>
#include <QString>

namespace assets {

// Registers the bundled font with Qt. Call once after the QApplication exists.
void InstallGameFont();

// The family every window's text uses.
QString GameFontFamily();

// The game font at a size in points, regular weight.
QFont GameFont(qreal pointSize);

}  // namespace assets
