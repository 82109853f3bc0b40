// SPDX-FileCopyrightText: 2026 The Kelvo Snake developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/screen_reader.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace platform {

namespace {

const QString kService = QStringLiteral("org.a11y.Bus");
const QString kPath = QStringLiteral("/org/a11y/bus");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kStatus = QStringLiteral("org.a11y.Status");
const QString kScreenReader = QStringLiteral("ScreenReaderEnabled");

}  // namespace

ScreenReaderWatch::ScreenReaderWatch() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return;
    }
    bus.connect(kService, kPath, kProperties, QStringLiteral("PropertiesChanged"), this,
                SLOT(StatusChanged(QString, QVariantMap, QStringList)));
    QDBusMessage ask =
        QDBusMessage::createMethodCall(kService, kPath, kProperties, QStringLiteral("Get"));
    ask << kStatus << kScreenReader;
    // A desktop without the accessibility bus running has no screen reader: it is not started
    // just to ask.
    ask.setAutoStartService(false);
    auto* answer = new QDBusPendingCallWatcher(bus.asyncCall(ask), this);
    connect(answer, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* call) {
                const QDBusPendingReply<QDBusVariant> reply = *call;
                if (reply.isValid()) {
                    Take(reply.value().variant().toBool());
                }
                call->deleteLater();
            });
}

void ScreenReaderWatch::StatusChanged(const QString& interface, const QVariantMap& properties,
                                      const QStringList& /*invalidated*/) {
    if (interface == kStatus && properties.contains(kScreenReader)) {
        Take(properties.value(kScreenReader).toBool());
    }
}

void ScreenReaderWatch::Take(bool running) {
    if (running != running_) {
        running_ = running;
        emit changed(running);
    }
}

}  // namespace platform
