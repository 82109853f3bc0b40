// Lets QCOMPARE print std::string values when a comparison fails.
#pragma once

#include <QTest>
#include <string>

namespace std {
inline char* toString(const std::string& s) {
    return QTest::toString(QString::fromStdString(s));
}
}  // namespace std
