// The MQTT page in the main window's settings window.
#include "app/mainwindow.h"
#include "app/mqttconfig.h"
#include "app/mqttcontrol.h"
#include "instrument/commands.h"
#include "mqtt/mqttconnecterror.h"
#include "resources/initresources.h"
#include "store/recordingjournal.h"
#include "tests/app/fakerecording.h"
#include "tests/app/windowtest.h"
#include "tests/mqtt/testbroker.h"
#include "ui_mainwindow.h"
#include "widgets/formsetting.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

class TestMqttWindow : public WindowTest
{
    Q_OBJECT

private:
    template <typename T> static T *control(MainWindow &w, const char *name)
    {
        return w.settingsWindow()->findChild<T *>(QLatin1String(name));
    }

    static QByteArray fileBytes(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // The darkest grey of the text in the left half of a line edit (the
    // clear button sits on the right), inside its frame.
    static int darkestText(QLineEdit *edit)
    {
        const QImage image = edit->grab().toImage();
        int darkest = 255;
        for (int y = 4; y < image.height() - 4; ++y)
            for (int x = 6; x < image.width() / 2; ++x)
                darkest = qMin(darkest, qGray(image.pixel(x, y)));
        return darkest;
    }

private slots:
    void initTestCase()
    {
        kxInitResources();
        qputenv(kNoSecretStoreVariable, "1");
    }
    void init() { QVERIFY(setUpWindowTest()); }
    void cleanup() { tearDownWindowTest(); }
    // A line edit's clear button fades in with an animation of its own that
    // deletes itself when it ends (160 ms), also after the window is gone;
    // the event loop lets the last ones end before the leak check.
    void cleanupTestCase() { QTest::qWait(300); }

    void settingsSurviveARestartAndLeaveConfigAlone()
    {
        QByteArray configBefore;
        {
            MainWindow w;
            w.form()->pb_sys_setting->click();
            auto *tabs = control<QTabWidget>(w, "tabWidget");
            QCOMPARE(tabs->count(), 3); // instrument, MQTT, alarms
            QVERIFY(tabs->tabBar()->isVisible());
            w.settingsWindow()->on_pb_win_close_clicked();
            configBefore = fileBytes(QStringLiteral("config.cfg"));
            QVERIFY(!configBefore.isEmpty());

            w.form()->pb_sys_setting->click();
            tabs->setCurrentIndex(1);
            QTest::keyClicks(control<QLineEdit>(w, "lineEdit_mqtt_url"),
                             QStringLiteral("mqtt://broker.lab"));
            QTest::keyClicks(control<QLineEdit>(w, "lineEdit_mqtt_user"), QStringLiteral("anna"));
            QTest::keyClicks(control<QLineEdit>(w, "lineEdit_mqtt_password"),
                             QStringLiteral("s3cret"));
            control<QCheckBox>(w, "checkBox_mqtt_discovery")->click();
            w.settingsWindow()->on_pb_win_close_clicked();

            QCOMPARE(fileBytes(QStringLiteral("config.cfg")), configBefore);
            QVERIFY(fileBytes(QStringLiteral("mqtt.json")).contains("s3cret"));
            QCOMPARE(
                QFileInfo(QStringLiteral("mqtt.json")).permissions() &
                    (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther),
                QFile::Permissions());
            QVERIFY(!control<QLabel>(w, "label_mqtt_password_note")->isHidden());
        }

        MainWindow again;
        QCOMPARE(control<QLineEdit>(again, "lineEdit_mqtt_url")->text(),
                 QStringLiteral("mqtt://broker.lab"));
        QCOMPARE(control<QLineEdit>(again, "lineEdit_mqtt_user")->text(), QStringLiteral("anna"));
        QCOMPARE(control<QLineEdit>(again, "lineEdit_mqtt_password")->text(),
                 QStringLiteral("s3cret"));
        QVERIFY(control<QCheckBox>(again, "checkBox_mqtt_discovery")->isChecked());
        QVERIFY(!control<QCheckBox>(again, "checkBox_mqtt_enabled")->isChecked());
        QCOMPARE(fileBytes(QStringLiteral("config.cfg")), configBefore);
    }

    void unusableBrokerAddressIsExplainedAndNotApplied()
    {
        MainWindow w;
        w.form()->pb_sys_setting->click();
        QTest::keyClicks(control<QLineEdit>(w, "lineEdit_mqtt_url"),
                         QStringLiteral("http://broker.lab"));
        control<QCheckBox>(w, "checkBox_mqtt_enabled")->click();

        BrokerAddress address;
        QString why;
        QVERIFY(!parseBrokerUrl(QStringLiteral("http://broker.lab"), &address, &why));
        QCOMPARE(control<QLabel>(w, "label_mqtt_status")->text(), why);
        QCOMPARE(w.mqtt()->state(), MqttPublisher::State::Off);
        w.settingsWindow()->on_pb_win_close_clicked();
        QCOMPARE(control<QLabel>(w, "label_mqtt_status")->text(), why);
        QCOMPARE(w.mqtt()->state(), MqttPublisher::State::Off);
    }

    // The style sheet colours the text of line edits; an example shown in an
    // empty box must still not look like a value.
    void placeholderIsLighterThanAValue()
    {
        MainWindow w;
        w.form()->pb_sys_setting->click();
        auto *url = control<QLineEdit>(w, "lineEdit_mqtt_url");
        url->clearFocus();
        QVERIFY(url->text().isEmpty() && !url->placeholderText().isEmpty());
        const int example = darkestText(url);
        url->setText(url->placeholderText());
        const int value = darkestText(url);
        QVERIFY2(example > value + 60,
                 qPrintable(QStringLiteral("placeholder %1, value %2").arg(example).arg(value)));
    }

    // A port nobody listens on fails at once; the test and publishing say so
    // at once (well within the test's time-out of 10 s) rather than
    // "connecting" until a time-out.
    void refusedPortIsExplainedAtOnce()
    {
        const QString url = QStringLiteral("mqtt://127.0.0.1:%1").arg(freeLoopbackPort());
        const QString refused = connectErrorText(MOSQ_ERR_ERRNO, ECONNREFUSED);
        MainWindow w;
        w.form()->pb_sys_setting->click();
        auto *status = control<QLabel>(w, "label_mqtt_status");
        QTest::keyClicks(control<QLineEdit>(w, "lineEdit_mqtt_url"), url);
        QTest::keyClicks(control<QLineEdit>(w, "lineEdit_mqtt_prefix"), QStringLiteral("lab/oven"));

        control<QPushButton>(w, "pushButton_mqtt_test")->click();
        QTRY_VERIFY2_WITH_TIMEOUT(status->text().contains(refused), qPrintable(status->text()),
                                  5000);

        // The publisher may have failed before the click returns: only what
        // the line ends up saying counts, and it is not the test's answer.
        const QString testAnswer = status->text();
        control<QCheckBox>(w, "checkBox_mqtt_enabled")->click();
        QTRY_VERIFY2_WITH_TIMEOUT(status->text().contains(refused) && status->text() != testAnswer,
                                  qPrintable(status->text()), 5000);
        QCOMPARE(w.mqtt()->state(), MqttPublisher::State::Connecting);
    }

    // Switched on before any instrument is connected, the window waits for
    // the instrument's name and then publishes its live readings under it.
    void publishesUnderTheInstrumentsNameOnceKnown()
    {
        REQUIRE_BROKER();
        TestBroker broker;
        QVERIFY2(broker.start(), qPrintable(broker.error()));
        TestSubscriber subscriber;
        QVERIFY(subscriber.start(broker.port(), "kx740d/#"));
        QTRY_COMPARE(subscriber.subscriptions(), 1);

        MainWindow w;
        w.form()->pb_sys_setting->click();
        QTest::keyClicks(control<QLineEdit>(w, "lineEdit_mqtt_url"), broker.url());
        control<QPushButton>(w, "pushButton_mqtt_test")->click();
        QTRY_COMPARE_WITH_TIMEOUT(control<QLabel>(w, "label_mqtt_status")->text(),
                                  MqttPublisher::tr("已连接"), 10000);
        control<QCheckBox>(w, "checkBox_mqtt_enabled")->click();
        w.settingsWindow()->on_pb_win_close_clicked();
        QCOMPARE(w.mqtt()->state(), MqttPublisher::State::Off);

        w.device().codeDeal(ansDeviceInfo("OVEN-1", 1, 0));
        QTRY_COMPARE_WITH_TIMEOUT(w.mqtt()->state(), MqttPublisher::State::Connected, 10000);
        _T_PRINT_OUT_DATA reading;
        reading.value[0] = 123.4f;
        w.device().codeDeal(ansLiveReading(reading));

        QTRY_VERIFY_WITH_TIMEOUT(!subscriber.payloads("kx740d/OVEN-1/live").isEmpty(), 10000);
        const QJsonObject live =
            QJsonDocument::fromJson(subscriber.payloads("kx740d/OVEN-1/live").constFirst())
                .object();
        QCOMPARE(live.value(QStringLiteral("channels"))
                     .toArray()
                     .at(0)
                     .toObject()
                     .value(QStringLiteral("value")),
                 QJsonValue(123.4));
        for (const TestSubscriber::Message &m : subscriber.messages())
            QVERIFY2(m.topic.startsWith("kx740d/OVEN-1/"), m.topic.constData());
    }

    // Every recording's readings go out under its own id, numbered from 1,
    // also after a recording of a single reading; while the broker is away
    // the page counts the readings that wait.
    void eachRecordingIsNumberedFromOne()
    {
        REQUIRE_BROKER();
        TestBroker broker;
        QVERIFY2(broker.start(), qPrintable(broker.error()));
        TestSubscriber subscriber;
        QVERIFY(subscriber.start(broker.port(), "kx740d/OVEN-1/record"));
        QTRY_COMPARE(subscriber.subscriptions(), 1);

        IdlePort port;
        MainWindow w;
        w.device().codeDeal(ansDeviceInfo("OVEN-1", 1, 0));
        w.form()->pb_sys_setting->click();
        QTest::keyClicks(control<QLineEdit>(w, "lineEdit_mqtt_url"), broker.url());
        control<QCheckBox>(w, "checkBox_mqtt_enabled")->click();
        w.settingsWindow()->on_pb_win_close_clicked();
        QTRY_COMPARE_WITH_TIMEOUT(w.mqtt()->state(), MqttPublisher::State::Connected, 10000);

        FakeRecording recording(w, port, QDateTime(QDate(2026, 6, 1), QTime(8, 0, 0)));
        for (int readings : {1, 2}) {
            recording.start();
            for (int i = 0; i < readings; ++i)
                recording.record(_T_PRINT_OUT_DATA());
            recording.start(); // the same button stops
            QVERIFY(!w.device().isRecording());
        }

        QTRY_COMPARE_WITH_TIMEOUT(subscriber.count(), 3, 10000);
        QVector<QJsonObject> got;
        for (const QByteArray &p : subscriber.payloads("kx740d/OVEN-1/record"))
            got << QJsonDocument::fromJson(p).object();
        QCOMPARE(got[0].value("seq").toInt(), 1);
        QCOMPARE(got[1].value("seq").toInt(), 1);
        QCOMPARE(got[2].value("seq").toInt(), 2);
        QVERIFY(got[1].value("recording_id") != got[0].value("recording_id"));
        QCOMPARE(got[2].value("recording_id"), got[1].value("recording_id"));
        QCOMPARE(got[2].value("time").toString().left(19), QStringLiteral("2026-06-01T08:00:03"));

        broker.stop();
        recording.start();
        recording.record(_T_PRINT_OUT_DATA());
        recording.record(_T_PRINT_OUT_DATA());
        QLabel *queue = control<QLabel>(w, "label_mqtt_queue");
        QTRY_VERIFY_WITH_TIMEOUT(queue->text().startsWith(QLatin1String("2 ")), 3000);
        QVERIFY(!queue->isHidden());
    }

    // A window that ended during a recording (a crash) with readings the
    // broker had not taken: the next window restores the measurement, sends
    // those readings under their own recording id and numbers, and its next
    // Start into that measurement goes on with the same recording. The
    // journal goes once the archive and the broker have every reading.
    void crashedRecordingReachesTheBrokerAndGoesOn()
    {
        REQUIRE_BROKER();
        TestBroker broker;
        QVERIFY2(broker.start(), qPrintable(broker.error()));
        TestSubscriber subscriber;
        QVERIFY(subscriber.start(broker.port(), "crash/record"));
        QTRY_COMPARE(subscriber.subscriptions(), 1);
        {
            MainWindow w;
            w.form()->pb_sys_setting->click();
            QTest::keyClicks(control<QLineEdit>(w, "lineEdit_mqtt_url"), broker.url());
            QTest::keyClicks(control<QLineEdit>(w, "lineEdit_mqtt_prefix"), "crash");
            control<QCheckBox>(w, "checkBox_mqtt_enabled")->click();
            w.settingsWindow()->on_pb_win_close_clicked();
        }
        JournalHeader header;
        header.id = QUuid::createUuid();
        header.started = QDateTime::currentDateTime();
        JournalWriter journal;
        QVERIFY(journal.create(QStringLiteral("auto_backup.bak"), header,
                               {{1, _T_EE_TEST_DATA()}, {2, _T_EE_TEST_DATA()}}));
        journal.close();

        const auto recordsOf = [&] {
            QMap<QString, QVector<int>> got;
            for (const QByteArray &p : subscriber.payloads("crash/record")) {
                const QJsonObject o = QJsonDocument::fromJson(p).object();
                got[o.value("recording_id").toString()] << o.value("seq").toInt();
            }
            return got;
        };
        const QString id = header.id.toString(QUuid::WithoutBraces);
        {
            IdlePort port;
            MainWindow w;
            QTRY_COMPARE_WITH_TIMEOUT(subscriber.count(), 2, 10000);
            QCOMPARE(recordsOf().value(id), (QVector<int>{1, 2}));
            Data_List_T *restored = w.currentMeasurement();
            QCOMPARE(restored->name, QStringLiteral("auto_backup"));

            FakeRecording recording(w, port, QDateTime(QDate(2026, 6, 1), QTime(8, 0, 0)));
            recording.start();
            recording.record(_T_PRINT_OUT_DATA());
            recording.start(); // the same button stops
            QCOMPARE(restored->records.size(), 3);
            QTRY_COMPARE_WITH_TIMEOUT(subscriber.count(), 3, 10000);
            QCOMPARE(recordsOf().value(id), (QVector<int>{1, 2, 3}));
            QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(QStringLiteral("auto_backup.bak")) &&
                                         QDir().entryList({QStringLiteral("*.outbox")}).isEmpty(),
                                     10000);
        }
    }

    // A broker that refuses the readings while a recording runs is reported
    // once; the recording goes on.
    void refusalDuringARecordingIsReportedOnce()
    {
        REQUIRE_BROKER();
        TestBroker broker;
        TestBroker::Options options;
        options.user = QStringLiteral("logger");
        options.password = QStringLiteral("right");
        QVERIFY2(broker.start(options), qPrintable(broker.error()));

        IdlePort port;
        MainWindow w;
        w.form()->pb_sys_setting->click();
        QTest::keyClicks(control<QLineEdit>(w, "lineEdit_mqtt_url"), broker.url());
        QTest::keyClicks(control<QLineEdit>(w, "lineEdit_mqtt_user"), QStringLiteral("logger"));
        QTest::keyClicks(control<QLineEdit>(w, "lineEdit_mqtt_password"), QStringLiteral("wrong"));
        control<QCheckBox>(w, "checkBox_mqtt_enabled")->click();
        w.settingsWindow()->on_pb_win_close_clicked();
        FakeRecording recording(w, port, QDateTime(QDate(2026, 6, 1), QTime(8, 0, 0)));
        recording.start();
        QVERIFY(w.device().isRecording());

        // The instrument tells its name: publishing starts, and is refused.
        w.device().codeDeal(ansDeviceInfo("OVEN-1", 1, 0));
        QTRY_COMPARE_WITH_TIMEOUT(w.mqtt()->state(), MqttPublisher::State::Refused, 10000);
        QTRY_COMPARE(m_asked.size(), 1);
        QVERIFY2(m_asked[0].text.contains(QLatin1String("not authorised")),
                 qPrintable(m_asked[0].text));
        recording.record(_T_PRINT_OUT_DATA());
        QVERIFY(w.device().isRecording());
        QCOMPARE(m_asked.size(), 1);
    }
};

QTEST_MAIN(TestMqttWindow)
#include "tst_mqttwindow.moc"
