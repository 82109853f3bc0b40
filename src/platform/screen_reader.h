// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Whether a screen reader runs, as the desktop's accessibility bus says (AT-SPI's
// ScreenReaderEnabled, which Orca sets while it runs).
#pragma once

#include <QObject>
#include <QStringList>
#include <QVariantMap>

namespace platform {

// Asks once, without waiting for the answer, and follows the changes: a screen reader started
// or stopped while the game runs. Without a session bus, or with no accessibility bus on it, no
// screen reader is known and nothing is started to ask.
class ScreenReaderWatch : public QObject {
    Q_OBJECT

  public:
    ScreenReaderWatch();
    bool Running() const { return running_; }

  signals:
    void changed(bool running);

  private slots:
    void StatusChanged(const QString& interface, const QVariantMap& properties,
                       const QStringList& invalidated);

  private:
    void Take(bool running);

    bool running_ = false;
};

}  // namespace platform
