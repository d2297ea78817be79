// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/DesktopNotice.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace bootdisk {

void NotifyDesktop(const QString& summary, const QString& body) {
    auto call = QDBusMessage::createMethodCall("org.freedesktop.Notifications", "/org/freedesktop/Notifications",
                                               "org.freedesktop.Notifications", "Notify");
    call << QString("bootdisk-wizard") << 0u << QString("media-removable") << summary << body << QStringList()
         << QVariantMap() << -1;
    // No session bus or no notification service: the window's own request for attention stays.
    QDBusConnection::sessionBus().call(call, QDBus::NoBlock);
}

}  // namespace bootdisk
