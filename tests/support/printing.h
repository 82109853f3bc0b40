// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Lets QCOMPARE print std::string values when a comparison fails.
#pragma once

#include <QTest>
#include <string>

namespace std {
inline char* toString(const std::string& s) {
    return QTest::toString(QString::fromStdString(s));
}
}  // namespace std
