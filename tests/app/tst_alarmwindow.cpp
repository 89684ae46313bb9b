// The window's alarms: strip, marked tile, desktop notification (a stand-in
// service on a bus of the test's own) and acknowledgement.
#include "app/alarmcontrol.h"
#include "app/alarmpage.h"
#include "app/mainwindow.h"
#include "app/recordingpage.h"
#include "instrument/commands.h"
#include "instrument/temperature.h"
#include "resources/initresources.h"
#include "tests/app/windowtest.h"
#include "tests/notify/notificationservice.h"
#include "tests/notify/privatebus.h"
#include "ui_mainwindow.h"
#include "widgets/alarmstrip.h"
#include "widgets/bash.h"
#include "widgets/formsetting.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSoundEffect>
#include <QSpinBox>
#include <QtTest>

class TestAlarmWindow : public WindowTest
{
    Q_OBJECT

    PrivateBus m_bus;
    NotificationService m_service;

    static _T_PRINT_OUT_DATA readingOf(float t1)
    {
        _T_PRINT_OUT_DATA r;
        r.value[0] = t1;
        r.status[0] = statusByte(TypeK, StateValue);
        return r;
    }

    // T1's high limit at 20 °C switched on, alarms raised after `delay`
    // seconds, the monitor on the test's clock `now`.
    static void alarmAbove20(MainWindow &w, qint64 &now, int delay = 0)
    {
        w.alarms()->monitor().setClock([&now] { return now; });
        w.settingsWindow()
            ->findChild<QSpinBox *>(QStringLiteral("spinBox_alarm_delay"))
            ->setValue(delay);
        Ui::MainWindow *ui = w.form();
        ui->doubleSpinBox_hi_limit_T1->setValue(20.0);
        w.recordingPage()->on_doubleSpinBox_hi_limit_T1_editingFinished();
        ui->pb_limit_enable_T1->setChecked(true);
        w.recordingPage()->on_pb_limit_enable_T1_clicked(true);
    }

    static void feed(MainWindow &w, qint64 &now, float t1)
    {
        w.device().codeDeal(ansLiveReading(readingOf(t1)));
        now += 1000;
    }

private slots:
    void initTestCase()
    {
        kxInitResources();
        QVERIFY(m_bus.start());
        QVERIFY(m_service.registerOn(QDBusConnection::sessionBus()));
    }
    void init() { QVERIFY(setUpWindowTest()); }
    void cleanup() { tearDownWindowTest(); }

    // A high limit below the reading raises one alarm once the delay has
    // passed: a strip line, the tile marked, a notification while the window
    // is not in front. Its button acknowledges it; back inside the limit by
    // the hysteresis the alarm is over and leaves the strip.
    void limitBelowTheReadingRaisesOneAlarm()
    {
        MainWindow w;
        qint64 now = 1'700'000'000'000;
        alarmAbove20(w, now, 5);
        const auto feed = [&](float t1) { TestAlarmWindow::feed(w, now, t1); };
        for (int s = 0; s < 5; ++s)
            feed(25.0f);
        QVERIFY(w.alarmStrip()->isHidden());
        for (int s = 0; s < 10; ++s)
            feed(25.0f);
        QCOMPARE(w.alarmStrip()->texts().size(), 1);
        QVERIFY2(w.alarmStrip()->texts()[0].startsWith(QStringLiteral("告警：T1 高于上限")),
                 qPrintable(w.alarmStrip()->texts()[0]));
        QVERIFY(w.dashboard()->isChannelAlarmed(0));
        QTRY_COMPARE(m_service.shown.size(), 1);
        QCOMPARE(m_service.notifyCalls, 1);

        // Pressed until the window has the service's answer with the id.
        const uint id = m_service.shown[0].id;
        QTRY_VERIFY(
            (m_service.press(id, QStringLiteral("acknowledge")), m_service.shown.isEmpty()));
        QVERIFY(!w.alarmStrip()->findChild<QPushButton *>(QStringLiteral("pushButton_alarm_ack")));
        QCOMPARE(w.alarmStrip()->texts().size(), 1); // still active

        feed(19.7f); // inside, but within the hysteresis
        QVERIFY(w.dashboard()->isChannelAlarmed(0));
        feed(19.4f);
        QVERIFY(!w.dashboard()->isChannelAlarmed(0));
        QTRY_VERIFY(w.alarmStrip()->isHidden());
        feed(25.0f); // a new episode waits for the delay again
        QVERIFY(w.alarmStrip()->isHidden());
    }

    // Raised while the window was not in front (a message box of its own had
    // the focus), the notification goes when the alarm clears, though the
    // window is in front by then.
    void notificationGoesWhenItsAlarmClears()
    {
        MainWindow w;
        qint64 now = 1'700'000'000'000;
        alarmAbove20(w, now);
        feed(w, now, 25.0f);
        QTRY_COMPARE(m_service.shown.size(), 1);

        w.show();
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        feed(w, now, 19.0f);
        QTRY_VERIFY(m_service.shown.isEmpty());
        QCOMPARE(w.alarmStrip()->texts().size(), 1); // over, waiting for acknowledgement
    }

    // A sound that cannot be played is said under the sound switch instead
    // of failing silently; the note goes with the sound switched off.
    void soundThatCannotPlayIsSaid()
    {
        MainWindow w;
        qint64 now = 1'700'000'000'000;
        alarmAbove20(w, now);
        AlarmPage *page = w.alarms()->page();
        auto *sound = page->findChild<QCheckBox *>(QStringLiteral("checkBox_alarm_sound"));
        auto *note = page->findChild<QLabel *>(QStringLiteral("label_alarm_sound_problem"));
        QVERIFY(sound && note);
        sound->setChecked(true);
        feed(w, now, 25.0f);
        auto *effect = w.alarms()->findChild<QSoundEffect *>();
        QVERIFY(effect);
        effect->setSource(QUrl(QStringLiteral("qrc:/sounds/missing.wav")));
        QTRY_COMPARE(note->text(), QStringLiteral("告警提示音无法加载，告警时不会发出声音。"));
        QVERIFY(note->isVisibleTo(page));

        sound->setChecked(false);
        QVERIFY(!note->isVisibleTo(page));
    }
};

QTEST_MAIN(TestAlarmWindow)
#include "tst_alarmwindow.moc"
