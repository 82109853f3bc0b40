// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "assets/font.h"

#include <QFontDatabase>
#include <QStringList>

namespace assets {
namespace {

QString& ResolvedFamily() {
    static QString family;
    return family;
}

}  // namespace

void InstallGameFont() {
    // fontconfig answers a request for "Impact" with whatever it likes best (on Debian a
    // dingbats font), so only a family that is really called Impact counts as the system's.
    if (QFontDatabase::families().contains(QStringLiteral("Impact"))) {
        ResolvedFamily() = QStringLiteral("Impact");
        return;
    }
    const int id = QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/Anton-Regular.ttf"));
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    ResolvedFamily() = families.isEmpty() ? QStringLiteral("Anton") : families.first();
    QFont::insertSubstitution(QStringLiteral("Impact"), ResolvedFamily());
}

QString GameFontFamily() {
    if (ResolvedFamily().isEmpty()) {
        InstallGameFont();
    }
    return ResolvedFamily();
}

QFont GameFont(qreal pointSize) {
    QFont font;
    font.setFamilies({GameFontFamily()});
    font.setPointSizeF(pointSize);
    font.setWeight(QFont::Normal);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

}  // namespace assets
