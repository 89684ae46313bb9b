#include "record/servicenotifier.h"

#include <systemd/sd-daemon.h>

void ServiceNotifier::ready(int stored, qint64 waiting)
{
    send(QStringLiteral("READY=1\nSTATUS=") + statusText(stored, waiting));
}

void ServiceNotifier::alive(int stored, qint64 waiting)
{
    send(QStringLiteral("WATCHDOG=1\nSTATUS=") + statusText(stored, waiting));
}

void ServiceNotifier::stopping()
{
    send(QStringLiteral("STOPPING=1\nSTATUS=") + tr("正在停止记录并写入测量"));
}

QString ServiceNotifier::statusText(int stored, qint64 waiting)
{
    if (waiting < 0)
        return tr("已存储 %1 个读数").arg(stored);
    return tr("已存储 %1 个读数，%2 个待发送到代理").arg(stored).arg(waiting);
}

void ServiceNotifier::send(const QString &state)
{
    // Without NOTIFY_SOCKET sd_notify returns 0 and sends nothing; a
    // failure to send is nothing the recording could mend.
    sd_notify(0, state.toUtf8().constData());
}
