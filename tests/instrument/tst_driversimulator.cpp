// The driver against the simulated instrument, through the real serial
// layer, reader thread and link manager over a pseudo-terminal.

#include "instrument/commands.h"
#include "instrument/devkx740d.h"
#include "instrument/temperature.h"
#include "link/serialhandle.h"
#include "sim/instrumentmodel.h"
#include "sim/instrumentsimulator.h"

#include <QtTest>

namespace {

// Simulator, link and driver wired as the main window wires them.
struct Rig
{
    explicit Rig(const SimulatorOptions &options) : sim(options), link(QStringLiteral("port_1")) {}

    bool connectAll()
    {
        if (!sim.start() || !link.openPort(sim.portPath(), 115200))
            return false;
        QObject::connect(&link, &SerialHandle::codeDeal, &dev, &DevKX740D::codeDeal);
        dev.setLink(&link);
        return true;
    }

    InstrumentSimulator sim;
    SerialHandle link;
    DevKX740D dev;
};

SimulatorOptions quietOptions()
{
    SimulatorOptions o;
    o.liveRate = 0;
    o.statusIntervalMs = 0;
    return o;
}

} // namespace

class TestDriverSimulator : public QObject
{
    Q_OBJECT

private slots:
    void handshakeAndLiveReadings();
    void recordingFromLiveReadings();
    void download_data();
    void download();
    void eraseEndsWithCountZero();
    void stopTransAbortsTheTransfer();
};

void TestDriverSimulator::handshakeAndLiveReadings()
{
    SimulatorOptions o;
    o.statusIntervalMs = 0;
    Rig rig(o);
    const QDateTime clock(QDate(2030, 6, 15), QTime(8, 30, 0));
    rig.dev.setClock([&] { return clock; });
    QSignalSpy info(&rig.dev, &DevKX740D::deviceInfo);
    QSignalSpy ctrl(&rig.dev, &DevKX740D::ctrl_setting);
    QSignalSpy ch(&rig.dev, &DevKX740D::ch_setting);
    QSignalSpy count(&rig.dev, &DevKX740D::flash_used_num_update);
    QSignalSpy live(&rig.dev, &DevKX740D::live_data);
    QVERIFY(rig.connectAll());

    QTRY_COMPARE(count.size(), 1);
    QCOMPARE(info.size(), 1);
    QCOMPARE(info.at(0), (QList<QVariant>{QStringLiteral("KX740D"), QStringLiteral("1.5")}));
    QVERIFY(rig.dev.isIdentified());
    QCOMPARE(ctrl.size(), 1);
    QCOMPARE(ctrl.at(0).at(0).value<_T_CTRL_CONFIG>(), rig.sim.controlConfig());
    QCOMPARE(rig.dev.interval(), ctrlInterval(rig.sim.controlConfig()));
    QCOMPARE(ch.size(), 1);
    QCOMPARE(ch.at(0).at(0).value<_T_CH_CONFIG>(), rig.sim.channelConfig());
    QCOMPARE(count.at(0).at(0).toInt(), 3000);
    QCOMPARE(rig.dev.storedRecordCount(), quint32(3000));
    // The set-time command carried the driver's clock.
    QVERIFY(qAbs(rig.sim.instrumentClock().secsTo(clock)) <= 2);

    QTRY_VERIFY(live.size() >= 2);
    const auto reading = live.last().at(0).value<_T_PRINT_OUT_DATA>();
    QCOMPARE(statusState(reading.status[0]), quint8(StateValue));
    QCOMPARE(statusState(reading.status[3]), quint8(StateNoReading)); // T4 not attached
    QVERIFY(reading.value[0] > -50 && reading.value[0] < 500);
}

// The factory interval of 1 s stores about one live reading a second.
void TestDriverSimulator::recordingFromLiveReadings()
{
    SimulatorOptions o = quietOptions();
    o.liveRate = 10;
    Rig rig(o);
    QSignalSpy stats(&rig.dev, &DevKX740D::max_min_avg_info);
    QSignalSpy live(&rig.dev, &DevKX740D::live_data);
    QVERIFY(rig.connectAll());
    QTRY_COMPARE(rig.dev.interval(), quint32(1));
    rig.dev.setRecording(true);
    QTRY_VERIFY_WITH_TIMEOUT(rig.dev.recordedCount() >= 2, 4000);
    rig.dev.setRecording(false);
    const QList<RecordedReading> readings = rig.dev.lastRecorded(0, true);
    QCOMPARE(stats.size(), readings.size());
    QVERIFY(live.size() > readings.size());
    const QDateTime first = dateTimeFromTime(readings.at(0).second);
    const QDateTime second = dateTimeFromTime(readings.at(1).second);
    QVERIFY(first.secsTo(second) >= 1);
    QVERIFY(qAbs(first.secsTo(QDateTime::currentDateTime())) <= 5);
    QCOMPARE(stats.last().at(0).value<QList<QList<QString>>>().at(0).at(3),
             QStringLiteral("--\\--")); // T4 has no reading
}

void TestDriverSimulator::download_data()
{
    QTest::addColumn<int>("stored");
    QTest::addColumn<double>("badRate");
    QTest::newRow("all good") << 3000 << 0.0;
    QTest::newRow("bad checksums") << 4000 << 0.02;
}

// Every good record arrives once, in store order, with its checksum intact;
// records the instrument stored with a wrong checksum are exactly the ones
// missing.
void TestDriverSimulator::download()
{
    QFETCH(int, stored);
    QFETCH(double, badRate);
    SimulatorOptions o = quietOptions();
    o.paced = false;
    o.storedRecords = stored;
    o.badRecordRate = badRate;
    o.seed = 5;
    Rig rig(o);
    QSignalSpy progress(&rig.dev, &DevKX740D::progressBar_range_update);
    QSignalSpy end(&rig.dev, &DevKX740D::trans_end);
    QVERIFY(rig.connectAll());
    QTRY_COMPARE(rig.dev.storedRecordCount(), quint32(stored));

    const int blocks = stored / 32 + (stored % 32 ? 1 : 0);
    rig.dev.readStoredBlocks(0, blocks);
    QTRY_COMPARE_WITH_TIMEOUT(end.size(), 1, 20000);
    QCOMPARE(progress.last(), (QList<QVariant>{blocks, 0}));

    const InstrumentModel model(o, QDateTime::currentDateTime());
    QList<quint32> expected;
    for (int p = 0; p < stored; ++p) {
        if (!model.recordIsBad(p))
            expected << quint32(p);
    }
    QVERIFY(badRate == 0 ? expected.size() == stored : expected.size() < stored - 20);

    QList<quint32> positions;
    for (const DownloadedRecord &r : rig.dev.downloadList())
        positions << r.position;
    QCOMPARE(positions, expected);

    const QVector<_T_EE_TEST_DATA> records = rig.dev.takeDownloadedRecords();
    QCOMPARE(records.size(), expected.size());
    for (int i = 0; i < records.size(); ++i) {
        QVERIFY(recordChecksumValid(records.at(i)));
        if (i > 0) {
            // The simulated store holds one record a second.
            const qint64 gap =
                dateTimeFromRecord(records.at(i - 1)).secsTo(dateTimeFromRecord(records.at(i)));
            QCOMPARE(gap, qint64(expected.at(i) - expected.at(i - 1)));
        }
    }
}

void TestDriverSimulator::eraseEndsWithCountZero()
{
    SimulatorOptions o = quietOptions();
    o.storedRecords = 500;
    o.eraseDelayMs = 100;
    Rig rig(o);
    QSignalSpy end(&rig.dev, &DevKX740D::trans_end);
    QSignalSpy count(&rig.dev, &DevKX740D::flash_used_num_update);
    QVERIFY(rig.connectAll());
    QTRY_COMPARE(rig.dev.storedRecordCount(), quint32(500));

    rig.dev.eraseStoredRecords();
    QTRY_COMPARE(end.size(), 1);
    rig.dev.queryStoredRecordCount();
    QTRY_COMPARE(count.size(), 2);
    QCOMPARE(count.last().at(0).toInt(), 0);
    QCOMPARE(rig.dev.storedRecordCount(), quint32(0));
}

void TestDriverSimulator::stopTransAbortsTheTransfer()
{
    SimulatorOptions o = quietOptions(); // paced at 115200 baud
    o.storedRecords = 80000;
    Rig rig(o);
    QSignalSpy end(&rig.dev, &DevKX740D::trans_end);
    QSignalSpy received(&rig.sim, &InstrumentSimulator::commandReceived);
    QVERIFY(rig.connectAll());

    rig.dev.readStoredBlocks(0, 2500);
    QTRY_VERIFY(rig.dev.downloadList().size() >= 64);
    rig.dev.stopTrans();
    QTRY_VERIFY(!received.isEmpty() &&
                received.last().at(0).toByteArray() == QByteArray::fromHex("4224"));
    // Blocks on their way when it was aborted still come in, as slowly as a
    // loaded machine passes them on; then nothing more does.
    int afterAbort = -1;
    for (QDeadlineTimer deadline(20000);
         afterAbort != rig.dev.downloadList().size() && !deadline.hasExpired();) {
        afterAbort = rig.dev.downloadList().size();
        QTest::qWait(500);
    }
    QCOMPARE(rig.dev.downloadList().size(), afterAbort);
    QVERIFY(afterAbort < 32 * 20);
    QCOMPARE(end.size(), 0);
    // What arrived before the abort stays available.
    QCOMPARE(rig.dev.takeDownloadedRecords().size(), afterAbort);
}

QTEST_GUILESS_MAIN(TestDriverSimulator)
#include "tst_driversimulator.moc"
