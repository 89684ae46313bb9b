#pragma once

#include <QCoreApplication>
#include <QString>

// Tells systemd how a service of Type=notify is doing (sd_notify): ready
// once it records, alive with each second of the recording (the watchdog:
// a hung event loop stops the pings and systemd restarts the service), a
// short status for `systemctl status`, and that it is stopping. Does
// nothing when the program was not started by such a service (no
// NOTIFY_SOCKET in its environment).
class ServiceNotifier
{
    Q_DECLARE_TR_FUNCTIONS(ServiceNotifier)
public:
    // `waiting` is the number of readings the broker has not taken yet, -1
    // when nothing is published.
    void ready(int stored, qint64 waiting);
    void alive(int stored, qint64 waiting);
    void stopping();

private:
    static QString statusText(int stored, qint64 waiting);
    static void send(const QString &state);
};
