#include "platform/shutdown.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QProcess>

bool ShutdownComputer()
{
    QDBusInterface logind(QStringLiteral("org.freedesktop.login1"),
                          QStringLiteral("/org/freedesktop/login1"),
                          QStringLiteral("org.freedesktop.login1.Manager"), QDBusConnection::systemBus());
    if (logind.isValid()) {
        const QDBusReply<void> reply = logind.call(QStringLiteral("PowerOff"), false);
        if (reply.isValid())
            return true;
    }
    return QProcess::startDetached(QStringLiteral("systemctl"), {QStringLiteral("poweroff")});
}
