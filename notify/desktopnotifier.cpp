#include "notify/desktopnotifier.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
const QString kAcknowledge = QStringLiteral("acknowledge");
constexpr quint8 kUrgencyCritical = 2;
} // namespace

DesktopNotifier::DesktopNotifier(const QString &appName, QObject *parent)
    : QObject(parent), m_appName(appName)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                SLOT(onActionInvoked(uint, QString)));
    bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                SLOT(onClosed(uint, uint)));
}

void DesktopNotifier::show(const QString &key, const QString &summary, const QString &body,
                           const QString &actionText)
{
    if (!QDBusConnection::sessionBus().isConnected())
        return;
    m_withdrawn.remove(key);
    // What replaces a notification needs its id: it waits for the answer.
    if (m_sending.contains(key))
        m_next.insert(key, {summary, body, actionText});
    else
        send(key, {summary, body, actionText});
}

void DesktopNotifier::send(const QString &key, const Content &content)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    QStringList actions;
    if (!content.actionText.isEmpty())
        actions << kAcknowledge << content.actionText;
    QVariantMap hints;
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue(kUrgencyCritical));
    call << m_appName << m_ids.value(key, 0u) << QString() << content.summary << content.body
         << actions << hints << -1;
    m_sending.insert(key);
    auto *watcher =
        new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, key](QDBusPendingCallWatcher *w) {
                shown(w, key);
                w->deleteLater();
            });
}

void DesktopNotifier::shown(QDBusPendingCallWatcher *watcher, const QString &key)
{
    m_sending.remove(key);
    const QDBusPendingReply<uint> reply = *watcher;
    if (!reply.isError())
        m_ids.insert(key, reply.value());
    if (m_withdrawn.remove(key)) {
        m_next.remove(key);
        withdraw(key);
    } else if (m_next.contains(key)) {
        send(key, m_next.take(key));
    }
}

void DesktopNotifier::withdraw(const QString &key)
{
    if (m_sending.contains(key)) {
        m_withdrawn.insert(key);
        return;
    }
    const auto it = m_ids.find(key);
    if (it == m_ids.end())
        return;
    close(it.value());
    m_ids.erase(it);
}

void DesktopNotifier::close(uint id)
{
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface,
                                                       QStringLiteral("CloseNotification"));
    call << id;
    QDBusConnection::sessionBus().asyncCall(call);
}

void DesktopNotifier::onActionInvoked(uint id, const QString &action)
{
    if (action != kAcknowledge)
        return;
    const QString key = m_ids.key(id);
    if (!key.isEmpty())
        emit acknowledged(key);
}

void DesktopNotifier::onClosed(uint id, uint)
{
    const QString key = m_ids.key(id);
    if (!key.isEmpty())
        m_ids.remove(key);
}
