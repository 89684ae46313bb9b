#include "app/recordingpage.h"
#include "instrument/temperature.h"
#include "link/serialhandle.h"
#include "resources/initresources.h"
#include "sim/instrumentsimulator.h"
#include "ui_mainwindow.h"
#include "windowtest.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

// A recording outlives a pulled cable: the instrument's port (a symlink that
// points at a new pseudo-terminal each time the simulated instrument returns,
// as a udev by-id link does) is opened again by itself.
class TestReconnect : public WindowTest
{
    Q_OBJECT

    QDateTime m_now;
    QList<QByteArray> m_commands;

    std::unique_ptr<InstrumentSimulator> startSimulator()
    {
        SimulatorOptions options;
        options.paced = false;
        options.liveRate = 10;
        options.linkPath = m_dir->filePath(QStringLiteral("ttyKX740D"));
        options.reopenAfterMs = 300;
        auto sim = std::make_unique<InstrumentSimulator>(options);
        if (!sim->start())
            return nullptr;
        connect(sim.get(), &InstrumentSimulator::commandReceived, this,
                [this](const QByteArray &payload) { m_commands << payload; });
        m_ports = QStringList{options.linkPath};
        return sim;
    }

    void nextSecond(MainWindow &w)
    {
        m_now = m_now.addSecs(1);
        w.device().handleTimeOut();
    }

    bool connectByClick(MainWindow &w)
    {
        m_now = QDateTime(QDate(2026, 3, 4), QTime(10, 0, 0));
        w.device().setClock([this] { return m_now; });
        w.device().handleTimeOut();
        w.form()->pb_connect->click();
        return QTest::qWaitFor([&] {
            return w.device().isIdentified() &&
                   w.windowTitle() == QStringLiteral("KX740D  已连接设备");
        });
    }

    int recordingAnnouncements() const { return m_commands.count(QByteArray::fromHex("4501")); }

private slots:
    void initTestCase() { kxInitResources(); }
    void init()
    {
        QVERIFY(setUpWindowTest());
        m_commands.clear();
    }
    void cleanup() { tearDownWindowTest(); }

    void recordingGoesOnAfterTheInstrumentReturns()
    {
        auto sim = startSimulator();
        QVERIFY(sim);
        MainWindow w;
        QVERIFY(connectByClick(w));
        w.form()->pb_continue_enable->setChecked(false);
        w.recordingPage()->on_pb_continue_enable_clicked(false);
        w.form()->pb_start->click();
        QTRY_COMPARE(recordingAnnouncements(), 1);

        int expected = 0;
        QSignalSpy returned(sim.get(), &InstrumentSimulator::portOpened);
        for (int cycle = 1; cycle <= 3; ++cycle) {
            for (int k = 0; k < 3; ++k) {
                nextSecond(w);
                ++expected;
                QTRY_COMPARE(w.device().recordedCount(), expected);
            }
            sim->disconnectPort();
            QTRY_COMPARE(w.windowTitle(),
                         QStringLiteral("KX740D  与仪器的连接已断开：记录等待仪器重新连接后继续"));
            // Two seconds without the instrument: nothing is recorded.
            nextSecond(w);
            nextSecond(w);
            QTRY_COMPARE(returned.count(), cycle);
            QElapsedTimer sinceReturn;
            sinceReturn.start();
            QCOMPARE(w.device().recordedCount(), expected);
            QVERIFY(QTest::qWaitFor([&] { return w.serialHandle()->isOpen(); }, 5000));
            QVERIFY2(sinceReturn.elapsed() < 2000,
                     qPrintable(QString::number(sinceReturn.elapsed())));
            QTRY_COMPARE(w.windowTitle(), QStringLiteral("KX740D  已连接设备"));
            // Handshake and the recording announced again; the reading due in
            // the current second is the first one after the return.
            QTRY_VERIFY(w.device().isIdentified());
            QTRY_COMPARE(recordingAnnouncements(), cycle + 1);
            ++expected;
            QTRY_COMPARE(w.device().recordedCount(), expected);
        }
        // A manual connect is still refused while recording.
        const int asked = m_asked.size();
        w.form()->pb_connect->click();
        QCOMPARE(m_asked.size(), asked + 1);
        QVERIFY(w.serialHandle()->isOpen());

        w.form()->pb_start->click();
        const QVector<_T_EE_TEST_DATA> &records = w.currentMeasurement()->records;
        QCOMPARE(records.size(), expected);
        for (int i = 1; i < records.size(); ++i)
            QVERIFY(dateTimeFromRecord(records[i - 1]) < dateTimeFromRecord(records[i]));
        QCOMPARE(w.archive().lists.size(), 1);
    }

    void nothingReconnectsOutsideARecording()
    {
        auto sim = startSimulator();
        QVERIFY(sim);
        MainWindow w;
        QVERIFY(connectByClick(w));
        QSignalSpy returned(sim.get(), &InstrumentSimulator::portOpened);
        sim->disconnectPort();
        QTRY_COMPARE(w.windowTitle(), QStringLiteral("KX740D  未连接设备"));
        QTRY_COMPARE(returned.count(), 1);
        QTest::qWait(2000);
        QVERIFY(!w.serialHandle()->isOpen());

        // Nor after a recording that the user ended while the port was gone.
        QVERIFY(connectByClick(w));
        w.form()->pb_start->click();
        sim->disconnectPort();
        QTRY_COMPARE(w.windowTitle(),
                     QStringLiteral("KX740D  与仪器的连接已断开：记录等待仪器重新连接后继续"));
        w.form()->pb_start->click();
        QCOMPARE(w.windowTitle(), QStringLiteral("KX740D  未连接设备"));
        QTRY_COMPARE(returned.count(), 2);
        QTest::qWait(2000);
        QVERIFY(!w.serialHandle()->isOpen());
    }
};

QTEST_MAIN(TestReconnect)
#include "tst_reconnect.moc"
