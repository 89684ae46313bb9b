#pragma once

#include <QHash>
#include <QObject>
#include <QSet>
#include <QString>

class QDBusPendingCallWatcher;

// Notifications through the desktop's notification service
// (org.freedesktop.Notifications on the session bus), each under a key of
// the caller's (an alarm's id). Calls never wait for the service: without
// one, or with one that does not answer, nothing is shown and nothing
// blocks. A notification shown again under the same key replaces the one
// shown before.
class DesktopNotifier : public QObject
{
    Q_OBJECT

public:
    // `appName` names the program in the desktop's list of notifications.
    explicit DesktopNotifier(const QString &appName, QObject *parent = nullptr);

    // `actionText` labels a button that emits acknowledged(key); empty for
    // none. Urgency critical keeps the notification until it is closed.
    void show(const QString &key, const QString &summary, const QString &body,
              const QString &actionText = QString());
    // Takes the notification of `key` away, if it is still shown.
    void withdraw(const QString &key);

signals:
    // The user pressed the notification's button.
    void acknowledged(const QString &key);

private slots:
    void onActionInvoked(uint id, const QString &action);
    void onClosed(uint id, uint reason);

private:
    struct Content
    {
        QString summary;
        QString body;
        QString actionText;
    };

    void send(const QString &key, const Content &content);
    void shown(QDBusPendingCallWatcher *watcher, const QString &key);
    void close(uint id);

    QString m_appName;
    // The service's ids of the notifications on screen.
    QHash<QString, uint> m_ids;
    // Keys whose notification is on its way (its id not known yet), with
    // what is to replace it once it is known, or whether it is to go.
    QSet<QString> m_sending;
    QHash<QString, Content> m_next;
    QSet<QString> m_withdrawn;
};
