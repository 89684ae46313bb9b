#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>

// A session bus of the test's own (dbus-daemon), so that nothing reaches the
// desktop of whoever runs the tests. Start it before the first use of
// QDBusConnection::sessionBus().
class PrivateBus
{
public:
    ~PrivateBus()
    {
        m_daemon.kill();
        m_daemon.waitForFinished(2000);
    }

    bool start()
    {
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--session"), QStringLiteral("--nofork"),
                        QStringLiteral("--print-address=1")});
        if (!m_daemon.waitForStarted(5000))
            return false;
        QByteArray address;
        while (!address.contains('\n') && m_daemon.waitForReadyRead(5000))
            address += m_daemon.readAllStandardOutput();
        address = address.trimmed();
        if (address.isEmpty())
            return false;
        qputenv("DBUS_SESSION_BUS_ADDRESS", address);
        return true;
    }

private:
    QProcess m_daemon;
};
