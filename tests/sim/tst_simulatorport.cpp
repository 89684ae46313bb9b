// The simulator on its pseudo-terminal, driven through a second descriptor
// on the slave side with plain POSIX calls: what goes over the line, frame by
// frame and byte by byte.

#include "instrument/commands.h"
#include "instrument/records.h"
#include "portclient.h"
#include "sim/instrumentsimulator.h"

#include <QtTest>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

SimulatorOptions quiet()
{
    SimulatorOptions o;
    o.liveRate = 0;
    o.statusIntervalMs = 0;
    return o;
}

bool hasType(const QList<QByteArray> &payloads, quint8 type)
{
    return !ofType(payloads, type).isEmpty();
}

int countOf(const QList<QByteArray> &payloads, quint8 type)
{
    return ofType(payloads, type).size();
}

} // namespace

class TestSimulatorPort : public QObject
{
    Q_OBJECT

private slots:
    void answersOnThePort();
    void download_data();
    void download();
    void abortStopsTheDownload();
    void eraseEmptiesTheStore();
    void settingsChangeTheReportedConfiguration();
    void liveReadingsAtTheChosenRate_data();
    void liveReadingsAtTheChosenRate();
    void pacedLineKeepsTo115200Baud();
    void fastLineIsNotPaced();
    void corruptedFramesAreDroppedByTheAssembler();
    void badRecordChecksums();
    void disconnectOptionClosesThePort();
    void clientMayCloseAndReopen();
    void runsInTheCallersEventLoop();
};

void TestSimulatorPort::answersOnThePort()
{
    InstrumentSimulator sim(quiet());
    QVERIFY2(sim.start(), qPrintable(sim.errorString()));
    QVERIFY(sim.portPath().startsWith(QStringLiteral("/dev/")));
    QSignalSpy received(&sim, &InstrumentSimulator::commandReceived);

    PortClient port;
    QVERIFY(port.open(sim.portPath()));
    const QList<QByteArray> commands = {cmdDeviceInfoQuery(), cmdConfigQuery35(),
                                        cmdConfigQuery37(), cmdStoredCountQuery()};
    for (const QByteArray &c : commands)
        port.sendFrame(c);
    const QList<QByteArray> answers =
        port.collect(3000, [](const QList<QByteArray> &p) { return p.size() >= 4; });

    QCOMPARE(answers.size(), 4);
    QCOMPARE(answers.at(0).size(), 23);
    QCOMPARE(answers.at(0).left(7), QByteArray::fromRawData("\0KX740D", 7));
    QCOMPARE(answers.at(0).right(2), hex("0105"));
    QCOMPARE(quint8(answers.at(1).at(0)), kAnsCtrlConfig);
    QCOMPARE(answers.at(1).size(), 17);
    QCOMPARE(quint8(answers.at(2).at(0)), kAnsChConfig);
    QCOMPARE(answers.at(2).size(), 9);
    QCOMPARE(answers.at(3), hex("0500000bb8")); // 3000 records

    QTRY_COMPARE(received.size(), 4);
    for (int i = 0; i < 4; ++i)
        QCOMPARE(received.at(i).at(0).toByteArray(), commands.at(i));
}

void TestSimulatorPort::download_data()
{
    QTest::addColumn<int>("records");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("paced");
    QTest::newRow("33 records, 2 blocks, paced") << 33 << 0 << 2 << true;
    QTest::newRow("3000 records, blocks 10-29") << 3000 << 10 << 20 << false;
    QTest::newRow("full store, last 5 blocks") << 80000 << 2495 << 5 << false;
    QTest::newRow("empty store, 0 blocks") << 0 << 0 << 0 << false;
}

void TestSimulatorPort::download()
{
    QFETCH(int, records);
    QFETCH(int, start);
    QFETCH(int, count);
    QFETCH(bool, paced);

    SimulatorOptions o = quiet();
    o.storedRecords = records;
    o.paced = paced;
    o.liveRate = 20; // live readings interleave with the blocks
    InstrumentSimulator sim(o);
    QVERIFY(sim.start());
    PortClient port;
    QVERIFY(port.open(sim.portPath()));
    port.sendFrame(cmdReadBlocks(start, count));
    QList<QByteArray> got =
        port.collect(10000, [](const QList<QByteArray> &p) { return hasType(p, kAnsEnd); });

    // Progress, blocks and end; live readings may come in between.
    QList<QByteArray> transfer;
    for (const QByteArray &p : got) {
        if (quint8(p.at(0)) != kAnsLiveReading)
            transfer << p;
        else
            QCOMPARE(p.size(), 50);
    }
    QVERIFY(transfer.size() >= 2);
    QCOMPARE(transfer.first().size(), 6);
    QCOMPARE(int(readU16BE(transfer.first().constData() + 1)), count);
    QCOMPARE(int(readU16BE(transfer.first().constData() + 3)), count);
    QCOMPARE(transfer.last(), hex("04"));
    if (count > 0)
        QCOMPARE(transfer.at(transfer.size() - 2), ansProgress(quint16(count), 0));

    int nextBlock = start;
    int lastRemaining = count;
    QDateTime lastTime;
    for (const QByteArray &p : transfer) {
        const quint8 type = quint8(p.at(0));
        if (type == kAnsProgress) {
            QCOMPARE(p.size(), 6);
            QCOMPARE(int(readU16BE(p.constData() + 1)), count);
            const int remaining = readU16BE(p.constData() + 3);
            QVERIFY(remaining <= lastRemaining);
            QCOMPARE(remaining, count - (nextBlock - start)); // blocks still to come
            lastRemaining = remaining;
            continue;
        }
        if (type == kAnsEnd)
            continue;
        QCOMPARE(type, kAnsBlock);
        QCOMPARE(p.size(), 1027);
        QCOMPARE(int(readU16BE(p.constData() + 1)), nextBlock);
        for (int i = 0; i < 32; ++i) {
            const int position = nextBlock * 32 + i;
            const char *raw = p.constData() + 3 + 32 * i;
            QCOMPARE(recordChecksumValid(raw), position < records);
            if (position >= records)
                continue;
            const _T_EE_TEST_DATA rec = eeTestDataFromBytes(raw);
            const QDateTime at = dateTimeFromTime(
                _T_TIME{rec.year, rec.month, rec.day, rec.hour, rec.minute, rec.second});
            if (lastTime.isValid())
                QVERIFY(lastTime < at);
            lastTime = at;
        }
        ++nextBlock;
    }
    QCOMPARE(nextBlock, start + count);
}

void TestSimulatorPort::abortStopsTheDownload()
{
    SimulatorOptions o = quiet();
    o.storedRecords = 80000;
    // Paced at the real line speed, so the whole store cannot be on its way
    // before the abort arrives, however slow the machine is.
    o.paced = true;
    InstrumentSimulator sim(o);
    QVERIFY(sim.start());
    PortClient port;
    QVERIFY(port.open(sim.portPath()));
    port.sendFrame(cmdReadBlocks(0, 2500));
    QList<QByteArray> got =
        port.collect(3000, [](const QList<QByteArray> &p) { return hasType(p, kAnsBlock); });
    QVERIFY(hasType(got, kAnsBlock));
    port.sendFrame(cmdAbortTransfer());
    QTest::qSleep(200); // the abort arrives while the line is still full
    got += port.collect(600);

    const int blocks = countOf(got, kAnsBlock);
    QVERIFY2(blocks < 200, qPrintable(QString::number(blocks)));
    QVERIFY(!hasType(got, kAnsEnd)); // an aborted transfer has no end

    // The instrument keeps answering.
    port.sendFrame(cmdStoredCountQuery());
    got =
        port.collect(2000, [](const QList<QByteArray> &p) { return hasType(p, kAnsStoredCount); });
    QCOMPARE(ofType(got, kAnsStoredCount).value(0), hex("0500013880"));
    QCOMPARE(countOf(got, kAnsBlock), 0);
}

void TestSimulatorPort::eraseEmptiesTheStore()
{
    SimulatorOptions o = quiet();
    o.eraseDelayMs = 300;
    InstrumentSimulator sim(o);
    QVERIFY(sim.start());
    PortClient port;
    QVERIFY(port.open(sim.portPath()));

    QElapsedTimer clock;
    clock.start();
    port.sendFrame(cmdErase());
    QList<QByteArray> got =
        port.collect(3000, [](const QList<QByteArray> &p) { return hasType(p, kAnsEnd); });
    QCOMPARE(got, QList<QByteArray>{hex("04")});
    QVERIFY(clock.elapsed() >= 250);
    QCOMPARE(sim.storedRecordCount(), 0u);

    port.sendFrame(cmdStoredCountQuery());
    port.sendFrame(cmdReadBlocks(0, 1));
    got = port.collect(3000, [](const QList<QByteArray> &p) { return hasType(p, kAnsEnd); });
    QCOMPARE(ofType(got, kAnsStoredCount), QList<QByteArray>{hex("0500000000")});
    const QByteArray block = ofType(got, kAnsBlock).value(0);
    QCOMPARE(block.size(), 1027);
    for (int i = 0; i < 32; ++i)
        QVERIFY(!recordChecksumValid(block.constData() + 3 + 32 * i));
}

void TestSimulatorPort::settingsChangeTheReportedConfiguration()
{
    InstrumentSimulator sim(quiet());
    QVERIFY(sim.start());
    PortClient port;
    QVERIFY(port.open(sim.portPath()));
    const auto answerOf = [&](quint8 type) {
        return ofType(port.collect(2000,
                                   [type](const QList<QByteArray> &p) { return hasType(p, type); }),
                      type)
            .value(0);
    };

    // Unit Fahrenheit, as the computer sends it, byte for byte.
    port.sendRaw(hex("aa55001243008000000000000000000000010000"
                     "01d5"));
    QCOMPARE(ctrlConfigFromBytes(answerOf(kAnsCtrlConfig).mid(1)).unit, quint8(1));
    QCOMPARE(sim.controlConfig().unit, quint8(1));
    port.sendFrame(cmdConfigQuery35());
    QCOMPARE(ctrlConfigFromBytes(answerOf(kAnsCtrlConfig).mid(1)).unit, quint8(1));

    // T1 to type N.
    port.sendRaw(hex("aa55000d4400010600000000000000"
                     "0157"));
    QCOMPARE(answerOf(kAnsChConfig), hex("0706000000"
                                         "00000000"));
    QCOMPARE(sim.channelConfig().type[0], quint8(TypeN));

    port.sendFrame(cmdSetInterval(3600));
    QCOMPARE(ctrlInterval(ctrlConfigFromBytes(answerOf(kAnsCtrlConfig).mid(1))), 3600u);

    // Recording started: kept, answered with the status byte.
    port.sendRaw(hex("aa550004450101"
                     "49"));
    QCOMPARE(answerOf(kAnsStatus), hex("0901"));
    QVERIFY(sim.recordingFlag());

    // The clock follows 0x31.
    const QDateTime set(QDate(2026, 1, 2), QTime(3, 4, 5));
    port.sendFrame(cmdSetTime(set));
    QTRY_VERIFY(qAbs(sim.instrumentClock().secsTo(set)) <= 2);

    // Factory settings again: both configurations follow.
    port.sendFrame(cmdResetSettings());
    const QList<QByteArray> reset = port.collect(2000, [](const QList<QByteArray> &p) {
        return hasType(p, kAnsCtrlConfig) && hasType(p, kAnsChConfig);
    });
    QCOMPARE(ctrlConfigFromBytes(ofType(reset, kAnsCtrlConfig).value(0).mid(1)).unit, quint8(0));
    QCOMPARE(ofType(reset, kAnsChConfig).value(0), hex("07"
                                                       "0000000000000000"));
    QCOMPARE(sim.controlConfig().unit, quint8(0));
}

void TestSimulatorPort::liveReadingsAtTheChosenRate_data()
{
    QTest::addColumn<double>("rate");
    QTest::addColumn<int>("windowMs");
    QTest::newRow("default, twice a second") << 2.0 << 3000;
    QTest::newRow("ten a second") << 10.0 << 1500;
}

void TestSimulatorPort::liveReadingsAtTheChosenRate()
{
    QFETCH(double, rate);
    QFETCH(int, windowMs);
    SimulatorOptions o;
    o.liveRate = rate;
    o.statusIntervalMs = 0;
    InstrumentSimulator sim(o);
    QVERIFY(sim.start());
    PortClient port;
    QVERIFY(port.open(sim.portPath()));
    // Start counting at the first reading, so the window holds whole periods.
    QList<QByteArray> got =
        port.collect(2000, [](const QList<QByteArray> &p) { return hasType(p, kAnsLiveReading); });
    QVERIFY(hasType(got, kAnsLiveReading));
    got = port.collect(windowMs);

    const QList<QByteArray> live = ofType(got, kAnsLiveReading);
    const int expected = int(rate * windowMs / 1000);
    QVERIFY2(qAbs(live.size() - expected) <= 1 + expected / 10,
             qPrintable(QStringLiteral("%1 readings, expected %2").arg(live.size()).arg(expected)));
    QCOMPARE(live.size(), got.size()); // nothing else is sent unasked
    for (const QByteArray &p : live) {
        QCOMPARE(p.size(), 50);
        const _T_PRINT_OUT_DATA r = printOutFromBytes(p.mid(1));
        QCOMPARE(statusState(r.status[0]), quint8(StateValue));
        QCOMPARE(statusState(r.status[3]), quint8(StateNoReading)); // T4 has no thermocouple
        QCOMPARE(r.mode, quint8(0));
    }
}

void TestSimulatorPort::pacedLineKeepsTo115200Baud()
{
    SimulatorOptions o = quiet();
    InstrumentSimulator sim(o);
    QVERIFY(sim.start());
    PortClient port;
    QVERIFY(port.open(sim.portPath()));

    port.sendFrame(cmdReadBlocks(0, 12));
    QByteArray first = port.readRaw(2000, 1);
    QVERIFY(!first.isEmpty());
    QElapsedTimer clock;
    clock.start();
    // 12 blocks, 4 progress frames and the end, less what already came.
    const int total = 12 * 1033 + 4 * 12 + 7;
    const QByteArray rest = port.readRaw(5000, total - first.size());
    const qint64 ms = clock.elapsed();
    QCOMPARE(first.size() + rest.size(), total);
    // The line may run ahead by about 10 ms worth of bytes, never faster.
    const double bytesAfterFirst = rest.size() - 0.01 * 11520;
    QVERIFY2(bytesAfterFirst / (ms / 1000.0) <= 11520 * 1.02,
             qPrintable(QStringLiteral("%1 bytes in %2 ms").arg(rest.size()).arg(ms)));
    QVERIFY2(ms < 2500, qPrintable(QStringLiteral("%1 ms").arg(ms)));
}

void TestSimulatorPort::fastLineIsNotPaced()
{
    SimulatorOptions o = quiet();
    o.paced = false;
    InstrumentSimulator sim(o);
    QVERIFY(sim.start());
    PortClient port;
    QVERIFY(port.open(sim.portPath()));

    QElapsedTimer clock;
    clock.start();
    port.sendFrame(cmdReadBlocks(0, 94)); // every stored record
    const QList<QByteArray> got =
        port.collect(8000, [](const QList<QByteArray> &p) { return hasType(p, kAnsEnd); });
    QCOMPARE(countOf(got, kAnsBlock), 94);
    // At 115200 baud the same transfer takes 8.5 s.
    QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
}

void TestSimulatorPort::corruptedFramesAreDroppedByTheAssembler()
{
    SimulatorOptions o = quiet();
    o.corruptFrameRate = 0.3;
    o.noiseRate = 0.5;
    o.seed = 7;
    InstrumentSimulator sim(o);
    QVERIFY(sim.start());
    PortClient port;
    QVERIFY(port.open(sim.portPath()));

    const int n = 60;
    for (int i = 0; i < n; ++i)
        port.sendFrame(cmdDeviceInfoQuery());
    const QByteArray raw = port.readRaw(3000, n * 29 + 200);

    // Every answer left with an intact header; check each frame's sum here.
    const QByteArray header = hex("aa550019");
    int frames = 0;
    int intact = 0;
    for (int at = raw.indexOf(header); at >= 0; at = raw.indexOf(header, at + 1)) {
        ++frames;
        const QByteArray frame = raw.mid(at, 29);
        quint16 sum = 0;
        for (int i = 0; i < 27; ++i)
            sum = quint16(sum + quint8(frame.at(i)));
        intact += sum == readU16BE(frame.constData() + 27) ? 1 : 0;
    }
    QCOMPARE(frames, n);
    QVERIFY2(intact > n / 3 && intact < n, qPrintable(QString::number(intact)));
    QVERIFY(raw.size() > n * 29); // noise between frames

    FrameAssembler assembler;
    const QList<QByteArray> payloads = assembler.feed(raw);
    QCOMPARE(payloads.size(), intact);
    for (const QByteArray &p : payloads)
        QCOMPARE(p, ansDeviceInfo("KX740D", 1, 5));
}

void TestSimulatorPort::badRecordChecksums()
{
    SimulatorOptions o = quiet();
    o.badRecordRate = 0.3;
    o.paced = false;
    InstrumentSimulator sim(o);
    QVERIFY(sim.start());
    PortClient port;
    QVERIFY(port.open(sim.portPath()));
    port.sendFrame(cmdReadBlocks(0, 10));
    const QList<QByteArray> blocks =
        ofType(port.collect(3000, [](const QList<QByteArray> &p) { return hasType(p, kAnsEnd); }),
               kAnsBlock);
    QCOMPARE(blocks.size(), 10);
    int bad = 0;
    for (const QByteArray &b : blocks) {
        for (int i = 0; i < 32; ++i)
            bad += recordChecksumValid(b.constData() + 3 + 32 * i) ? 0 : 1;
    }
    QVERIFY2(bad > 320 * 0.15 && bad < 320 * 0.45, qPrintable(QString::number(bad)));
}

void TestSimulatorPort::disconnectOptionClosesThePort()
{
    SimulatorOptions o;
    o.liveRate = 20;
    o.disconnectAfterMs = 400;
    o.reopenAfterMs = 100;
    InstrumentSimulator sim(o);
    QSignalSpy closed(&sim, &InstrumentSimulator::portClosed);
    QSignalSpy opened(&sim, &InstrumentSimulator::portOpened);
    QVERIFY(sim.start());
    const QString first = sim.portPath();

    PortClient port;
    QVERIFY(port.open(first));
    const QList<QByteArray> before = port.collect(3000);
    QVERIFY(port.hungUp());
    QVERIFY(countOf(before, kAnsLiveReading) >= 4); // it was streaming until then
    QTRY_COMPARE(closed.size(), 1);

    QTRY_COMPARE(opened.size(), 1);
    const QString second = opened.at(0).at(0).toString();
    QCOMPARE(sim.portPath(), second);
    QVERIFY(!second.isEmpty());
    port.close();

    PortClient again;
    QVERIFY(again.open(second));
    again.sendFrame(cmdDeviceInfoQuery());
    const QList<QByteArray> got =
        again.collect(2000, [](const QList<QByteArray> &p) { return hasType(p, kAnsDeviceInfo); });
    QCOMPARE(ofType(got, kAnsDeviceInfo).value(0).size(), 23);
}

void TestSimulatorPort::clientMayCloseAndReopen()
{
    SimulatorOptions o = quiet();
    o.paced = false;
    InstrumentSimulator sim(o);
    QVERIFY(sim.start());
    PortClient port;
    QVERIFY(port.open(sim.portPath()));
    // A download fills the line while nobody reads; then the client leaves.
    port.sendFrame(cmdReadBlocks(0, 94));
    QTest::qWait(200);
    port.close();
    QTest::qWait(100);

    // The next client gets neither the old bytes nor the rest of the old
    // transfer, and the instrument answers it.
    QVERIFY(port.open(sim.portPath()));
    QCOMPARE(port.readRaw(300), QByteArray());
    port.sendFrame(cmdStoredCountQuery());
    QCOMPARE(port.collect(2000, [](const QList<QByteArray> &p) { return !p.isEmpty(); }),
             QList<QByteArray>{ansStoredCount(3000)});
}

void TestSimulatorPort::runsInTheCallersEventLoop()
{
    SimulatorOptions o = quiet();
    o.ownThread = false;
    InstrumentSimulator sim(o);
    QVERIFY(sim.start());
    PortClient port;
    QVERIFY(port.open(sim.portPath()));
    port.sendFrame(cmdDeviceInfoQuery());

    // Nothing happens while this thread does not run its event loop ...
    QVERIFY(port.readWithoutEvents(300).isEmpty());
    // ... and the answer comes once it does.
    const QList<QByteArray> got =
        port.collect(2000, [](const QList<QByteArray> &p) { return hasType(p, kAnsDeviceInfo); });
    QCOMPARE(ofType(got, kAnsDeviceInfo).size(), 1);
}

QTEST_GUILESS_MAIN(TestSimulatorPort)
#include "tst_simulatorport.moc"
