// Desktop notifications against a stand-in notification service on a bus
// of the test's own.
#include "notify/desktopnotifier.h"
#include "tests/notify/notificationservice.h"
#include "tests/notify/privatebus.h"

#include <QSignalSpy>
#include <QtTest>

class TestDesktopNotifier : public QObject
{
    Q_OBJECT

    PrivateBus m_bus;
    NotificationService m_service;

private slots:
    void initTestCase()
    {
        QVERIFY(m_bus.start());
        QVERIFY(m_service.registerOn(QDBusConnection::sessionBus()));
    }
    void init()
    {
        m_service.shown.clear();
        m_service.notifyCalls = 0;
    }

    // Shown again under the same key, a notification replaces the one on
    // screen; its button acknowledges that key; withdrawn, it goes away.
    void showReplaceAcknowledgeWithdraw()
    {
        DesktopNotifier notifier(QStringLiteral("kx740d"));
        QSignalSpy acknowledged(&notifier, &DesktopNotifier::acknowledged);
        notifier.show(QStringLiteral("T1-high"), QStringLiteral("T1 high"),
                      QStringLiteral("101.0 °C"), QStringLiteral("Acknowledge"));
        QTRY_COMPARE(m_service.shown.size(), 1);
        notifier.show(QStringLiteral("T1-high"), QStringLiteral("T1 high"),
                      QStringLiteral("103.5 °C"), QStringLiteral("Acknowledge"));
        notifier.show(QStringLiteral("link"), QStringLiteral("Instrument lost"), QString());
        QTRY_COMPARE(m_service.notifyCalls, 3);
        QCOMPARE(m_service.shown.size(), 2);
        QCOMPARE(m_service.shown[0].body, QStringLiteral("103.5 °C"));
        QCOMPARE(m_service.shown[0].actions,
                 QStringList({QStringLiteral("acknowledge"), QStringLiteral("Acknowledge")}));
        QCOMPARE(m_service.shown[0].hints.value(QStringLiteral("urgency")).toInt(), 2);

        m_service.press(m_service.shown[0].id, QStringLiteral("acknowledge"));
        QTRY_COMPARE(acknowledged.size(), 1);
        QCOMPARE(acknowledged[0][0].toString(), QStringLiteral("T1-high"));

        notifier.withdraw(QStringLiteral("T1-high"));
        QTRY_COMPARE(m_service.shown.size(), 1);
        QCOMPARE(m_service.shown[0].summary, QStringLiteral("Instrument lost"));
    }

    // Withdrawn before the service answered, a notification does not stay.
    void withdrawnBeforeTheAnswerGoesAway()
    {
        DesktopNotifier notifier(QStringLiteral("kx740d"));
        notifier.show(QStringLiteral("T2-open"), QStringLiteral("T2 open"), QString());
        notifier.withdraw(QStringLiteral("T2-open"));
        QTRY_COMPARE(m_service.notifyCalls, 1);
        QTRY_VERIFY(m_service.shown.isEmpty());
    }
};

QTEST_MAIN(TestDesktopNotifier)
#include "tst_desktopnotifier.moc"
