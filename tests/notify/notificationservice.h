#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

// A stand-in for the desktop's notification service: keeps what it is asked
// to show, and presses a notification's button on request.
class NotificationService : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Shown
    {
        uint id = 0;
        QString summary;
        QString body;
        QStringList actions;
        QVariantMap hints;
    };

    bool registerOn(QDBusConnection bus)
    {
        return bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), this,
                                  QDBusConnection::ExportAllSlots) &&
               bus.registerService(QStringLiteral("org.freedesktop.Notifications"));
    }

    // On screen now, in the order shown.
    QList<Shown> shown;
    int notifyCalls = 0;

    void press(uint id, const QString &action)
    {
        QDBusMessage signal = QDBusMessage::createSignal(
            QStringLiteral("/org/freedesktop/Notifications"),
            QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("ActionInvoked"));
        signal << id << action;
        QDBusConnection::sessionBus().send(signal);
    }

public slots:
    uint Notify(const QString &, uint replacesId, const QString &, const QString &summary,
                const QString &body, const QStringList &actions, const QVariantMap &hints, int)
    {
        ++notifyCalls;
        for (Shown &s : shown) {
            if (s.id == replacesId) {
                s.summary = summary;
                s.body = body;
                return s.id;
            }
        }
        shown.append({++m_lastId, summary, body, actions, hints});
        return m_lastId;
    }

    void CloseNotification(uint id)
    {
        for (int i = 0; i < shown.size(); ++i)
            if (shown[i].id == id)
                shown.removeAt(i);
    }

private:
    uint m_lastId = 0;
};
