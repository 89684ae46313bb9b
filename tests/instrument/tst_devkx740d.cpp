#include "instrument/commands.h"
#include "instrument/devkx740d.h"
#include "link/frame.h"
#include "link/serialhandle.h"
#include "sim/pseudoterminal.h"

#include <QtTest>

#include <functional>
#include <memory>
#include <poll.h>
#include <unistd.h>
#include <vector>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

QByteArray liveFrame(const quint8 (&states)[kChannelCount], const float (&values)[kChannelCount],
                     float ambient = 21.5f)
{
    _T_PRINT_OUT_DATA r;
    for (int ch = 0; ch < kChannelCount; ++ch) {
        r.value[ch] = values[ch];
        r.status[ch] = statusByte(quint8(ch + 1), states[ch]);
        r.modeValue[ch] = 99.0f;
    }
    r.ambient = ambient;
    r.mode = 1;
    return ansLiveReading(r);
}

QByteArray liveFrame()
{
    return liveFrame({0, 0, 0, 3}, {20.0f, 21.0f, 22.0f, 0.0f});
}

QByteArray ctrlAnswer(quint32 interval, quint8 unit = 0)
{
    _T_CTRL_CONFIG cfg;
    setCtrlInterval(cfg, interval);
    cfg.unit = unit;
    return ansCtrlConfig(cfg);
}

// 32 valid stored records whose T1 readings count up from `first`.
QVector<_T_EE_TEST_DATA> goodRecords(int first)
{
    QVector<_T_EE_TEST_DATA> out;
    for (int i = 0; i < kRecordsPerBlock; ++i) {
        const _T_TIME t = timeFromDateTime(QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)));
        out << makeStoredRecord({0, 1, 2, 3}, {0, 0, 1, 3}, t,
                                {float(first + i), 1.0f, 2.0f, 3.0f});
    }
    return out;
}

QList<quint32> positionsOf(const DevKX740D &dev)
{
    QList<quint32> out;
    for (const DownloadedRecord &r : dev.downloadList())
        out << r.position;
    return out;
}

// Bytes written by the driver, read on the master side of the pseudo-terminal.
QByteArray readWire(int fd, int wanted, int ms)
{
    QByteArray out;
    QElapsedTimer clock;
    clock.start();
    while (out.size() < wanted && clock.elapsed() < ms) {
        pollfd p{fd, POLLIN, 0};
        ::poll(&p, 1, 10);
        char buf[4096];
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n > 0)
            out.append(buf, int(n));
    }
    return out;
}

} // namespace

class TestDevKX740D : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void decodesEachAnswer();
    void deviceName();
    void wrongLengthsAndUnknownTypesAreIgnored();
    void liveReadingSignals();
    void intervalFiveStoresOncePerFifthSecond();
    void storingConditions();
    void heldUpTickStoresOncePerSecond();
    void tickCountsChangesOfTheSecond();
    void hourOfRecordingWithRunningTime();
    void statisticsAfterEachStoredReading();
    void recordedReadings();
    void storedBlocks();
    void readRequestLimitAndList();
    void handshakeAndCommandsOnTheWire();
    void linkStates();
    void signalsTravelQueued();

private:
    // Moves the clock on by 200 ms and runs one tick.
    void tick(DevKX740D &dev)
    {
        m_now = m_now.addMSecs(DevKX740D::kTickIntervalMs);
        dev.handleTimeOut();
    }
    // One second of ticks, each followed by a live frame.
    void second(DevKX740D &dev, const QByteArray &frame)
    {
        for (int t = 0; t < 5; ++t) {
            tick(dev);
            dev.codeDeal(frame);
        }
    }
    void useFakeClock(DevKX740D &dev)
    {
        dev.setClock([this] { return m_now; });
    }

    QDateTime m_now;
};

void TestDevKX740D::init()
{
    m_now = QDateTime(QDate(2026, 3, 1), QTime(12, 0, 0));
}

void TestDevKX740D::decodesEachAnswer()
{
    DevKX740D dev;
    QSignalSpy info(&dev, &DevKX740D::deviceInfo);
    QSignalSpy progress(&dev, &DevKX740D::progressBar_range_update);
    QSignalSpy end(&dev, &DevKX740D::trans_end);
    QSignalSpy count(&dev, &DevKX740D::flash_used_num_update);
    QSignalSpy ctrl(&dev, &DevKX740D::ctrl_setting);
    QSignalSpy ch(&dev, &DevKX740D::ch_setting);

    dev.codeDeal(ansDeviceInfo("KX740D", 1, 5));
    QCOMPARE(info.size(), 1);
    QCOMPARE(info.at(0).at(0).toString(), QStringLiteral("KX740D"));
    QCOMPARE(info.at(0).at(1).toString(), QStringLiteral("1.5"));
    QVERIFY(dev.isIdentified());
    dev.codeDeal(ansDeviceInfo("A", 12, 0));
    QCOMPARE(dev.firmwareVersion(), QStringLiteral("12.0"));

    dev.codeDeal(hex("03 01 2C 00 FA 00"));
    QCOMPARE(progress.size(), 1);
    QCOMPARE(progress.at(0), (QList<QVariant>{300, 250}));

    dev.codeDeal(hex("04"));
    QCOMPARE(end.size(), 1);

    dev.codeDeal(hex("05 00 01 38 80"));
    QCOMPARE(count.size(), 1);
    QCOMPARE(count.at(0).at(0).toInt(), 80000);
    QCOMPARE(dev.storedRecordCount(), quint32(80000));

    const QByteArray ctrlBytes = hex("00 01 01 00 00 00 01 51 80 03 02 04 01 AB CD EF");
    dev.codeDeal(QByteArray(1, 6) + ctrlBytes);
    QCOMPARE(ctrl.size(), 1);
    QCOMPARE(ctrl.at(0).at(0).value<_T_CTRL_CONFIG>(), ctrlConfigFromBytes(ctrlBytes));
    QCOMPARE(dev.interval(), quint32(86400));
    QCOMPARE(dev.ctrlConfig().unit, quint8(2));

    // Type codes keep their low three bits; offsets are signed tenths.
    const QByteArray chBytes = hex("00 0E 05 07 CE 32 00 FF");
    dev.codeDeal(QByteArray(1, 7) + chBytes);
    QCOMPARE(ch.size(), 1);
    QCOMPARE(ch.at(0).at(0).value<_T_CH_CONFIG>(), chConfigFromBytes(chBytes));
    const int types[] = {0, 6, 5, 7};
    const int offsets[] = {-50, 50, 0, -1};
    for (int c = 1; c <= 4; ++c) {
        QCOMPARE(dev.channelType(c), types[c - 1]);
        QCOMPARE(int(dev.channelOffset(c)), offsets[c - 1]);
    }

    dev.codeDeal(hex("09 A5"));
    QCOMPARE(dev.statusByte(), quint8(0xA5));
}

void TestDevKX740D::deviceName()
{
    DevKX740D dev;
    const QByteArray full = "ABCDEFGHIJKLMNOPQRST"; // 20 bytes, no zero byte
    dev.codeDeal(ansDeviceInfo(full, 2, 7));
    QCOMPARE(dev.deviceName(), QString::fromLatin1(full));

    const QByteArray utf8 = QStringLiteral("测温仪").toUtf8() + QByteArray("\0XYZ", 4);
    dev.codeDeal(ansDeviceInfo(utf8, 1, 0));
    QCOMPARE(dev.deviceName(), QStringLiteral("测温仪"));
}

void TestDevKX740D::wrongLengthsAndUnknownTypesAreIgnored()
{
    DevKX740D dev;
    useFakeClock(dev);
    dev.codeDeal(ctrlAnswer(1));
    dev.setRecording(true);
    tick(dev);
    m_now = m_now.addSecs(1);
    dev.handleTimeOut(); // a reading is due

    std::vector<std::unique_ptr<QSignalSpy>> spies;
    for (const char *sig :
         {SIGNAL(deviceInfo(QString, QString)), SIGNAL(live_data(_T_PRINT_OUT_DATA)),
          SIGNAL(getTmp_e(float)), SIGNAL(ctrl_setting(_T_CTRL_CONFIG)),
          SIGNAL(ch_setting(_T_CH_CONFIG)), SIGNAL(progressBar_range_update(int, int)),
          SIGNAL(trans_end()), SIGNAL(flash_used_num_update(int)),
          SIGNAL(max_min_avg_info(QList<QList<QString>>))}) {
        spies.emplace_back(new QSignalSpy(&dev, sig));
        QVERIFY(spies.back()->isValid());
    }

    // Every accepted answer one byte short and one byte long.
    _T_CH_CONFIG chCfg;
    chCfg.offset[0] = 9;
    const QByteArray valid[] = {ansDeviceInfo("KX740D", 1, 5),
                                liveFrame(),
                                ansBlock(0, goodRecords(0)),
                                ansProgress(9, 9),
                                ansEnd(),
                                ansStoredCount(12),
                                ctrlAnswer(7),
                                ansChConfig(chCfg),
                                ansStatus(5)};
    for (const QByteArray &payload : valid) {
        QCOMPARE(payload.size(), answerPayloadLength(quint8(payload.at(0))));
        if (payload.size() > 1)
            dev.codeDeal(payload.left(payload.size() - 1));
        dev.codeDeal(payload + '\0');
    }
    dev.codeDeal(hex("08 00"));
    dev.codeDeal(QByteArray());
    QVERIFY(!dev.isIdentified());
    QCOMPARE(dev.statusByte(), quint8(0));
    QCOMPARE(dev.interval(), quint32(1));
    QCOMPARE(dev.recordedCount(), 0);
    QVERIFY(dev.downloadList().isEmpty());
    QCOMPARE(int(dev.channelOffset(1)), 0);

    for (const auto &spy : spies)
        QVERIFY2(spy->isEmpty(), spy->signal().constData());
}

void TestDevKX740D::liveReadingSignals()
{
    DevKX740D dev;
    QStringList order;
    float ambientSeen = 0;
    _T_PRINT_OUT_DATA seen;
    connect(&dev, &DevKX740D::getTmp_e, this, [&](float t) {
        order << "getTmp_e";
        ambientSeen = t;
    });
    connect(&dev, &DevKX740D::live_data, this, [&](const _T_PRINT_OUT_DATA &r) {
        order << "live_data";
        seen = r;
    });
    const QByteArray frame = liveFrame({0, 1, 2, 3}, {1.5f, -210.0f, 1372.0f, 0.0f}, -3.25f);
    dev.codeDeal(frame);
    QCOMPARE(order, (QStringList{"getTmp_e", "live_data"}));
    QCOMPARE(ambientSeen, -3.25f);
    QCOMPARE(dev.ambientTemperature(), -3.25f);
    QCOMPARE(seen, printOutFromBytes(frame.mid(1)));
    QCOMPARE(seen.zero[0] | seen.zero[1] | seen.zero[2], 0);
}

// A reading is stored only in seconds whose count is a multiple of 5, once
// per such second although a frame follows every 200 ms tick.
void TestDevKX740D::intervalFiveStoresOncePerFifthSecond()
{
    DevKX740D dev;
    useFakeClock(dev);
    dev.codeDeal(ctrlAnswer(5));
    dev.setRecording(true);
    QMap<quint64, int> storedInSecond;
    for (int t = 0; t < 5 * 31; ++t) {
        tick(dev);
        for (int f = 0; f < 2; ++f) {
            const int before = dev.recordedCount();
            dev.codeDeal(liveFrame());
            storedInSecond[dev.secondCounter()] += dev.recordedCount() - before;
        }
    }
    QCOMPARE(dev.secondCounter(), quint64(31));
    for (quint64 s = 0; s <= 31; ++s)
        QCOMPARE(storedInSecond.value(s), (s > 0 && s % 5 == 0) ? 1 : 0);
    // Stamped with the clock: 12:00:05, 12:00:10, ...
    const QList<RecordedReading> all = dev.lastRecorded(0, true);
    QCOMPARE(all.size(), 6);
    for (int i = 0; i < all.size(); ++i) {
        QCOMPARE(int(all.at(i).second.second), 5 * (i + 1));
        QCOMPARE(int(all.at(i).second.year), 26);
    }
}

void TestDevKX740D::storingConditions()
{
    DevKX740D dev;
    useFakeClock(dev);
    dev.codeDeal(ctrlAnswer(1));

    // Not recording: nothing is due and nothing stored.
    second(dev, liveFrame());
    QVERIFY(!dev.isRecordDue());
    QCOMPARE(dev.recordedCount(), 0);

    dev.setRecording(true);
    second(dev, liveFrame({3, 3, 3, 3}, {1, 2, 3, 4}));
    QCOMPARE(dev.recordedCount(), 0);
    QVERIFY(dev.isRecordDue()); // still due: the reading without values did not use it
    dev.codeDeal(liveFrame({3, 3, 3, 2}, {1, 2, 3, 4}));
    QCOMPARE(dev.recordedCount(), 1);
    QVERIFY(!dev.isRecordDue());

    // Interval 0 stores nothing.
    dev.codeDeal(ctrlAnswer(0));
    for (int s = 0; s < 5; ++s)
        second(dev, liveFrame());
    QCOMPARE(dev.recordedCount(), 1);
}

// A busy machine: the reading due in one second is handled only in the next,
// where the tick makes the next one due. No two readings share a second.
void TestDevKX740D::heldUpTickStoresOncePerSecond()
{
    DevKX740D dev;
    useFakeClock(dev);
    dev.codeDeal(ctrlAnswer(1));
    dev.setRecording(true);
    m_now = m_now.addMSecs(900);
    dev.handleTimeOut(); // 12:00:00.900: due
    m_now = m_now.addMSecs(300);
    dev.codeDeal(liveFrame()); // handled at 12:00:01.200
    dev.handleTimeOut();       // 12:00:01: due again
    dev.codeDeal(liveFrame());
    QCOMPARE(dev.recordedCount(), 1);
    m_now = m_now.addSecs(1);
    dev.handleTimeOut();
    dev.codeDeal(liveFrame());
    const QList<RecordedReading> stored = dev.lastRecorded(0, true);
    QCOMPARE(stored.size(), 2);
    QCOMPARE(dateTimeFromTime(stored[0].second).secsTo(dateTimeFromTime(stored[1].second)), 1);
}

void TestDevKX740D::tickCountsChangesOfTheSecond()
{
    DevKX740D dev;
    useFakeClock(dev);
    dev.handleTimeOut(); // second 0, as remembered at the start
    QCOMPARE(dev.secondCounter(), quint64(0));
    m_now = m_now.addSecs(60); // the same second of the next minute
    dev.handleTimeOut();
    QCOMPARE(dev.secondCounter(), quint64(0));
    m_now = m_now.addSecs(17); // a jump counts once
    dev.handleTimeOut();
    dev.handleTimeOut();
    QCOMPARE(dev.secondCounter(), quint64(1));
    m_now = m_now.addSecs(-3);
    dev.handleTimeOut();
    QCOMPARE(dev.secondCounter(), quint64(2));
}

// One hour of recording with interval 60 and the continue flag, driven by
// the fake clock in a moment.
void TestDevKX740D::hourOfRecordingWithRunningTime()
{
    DevKX740D dev;
    useFakeClock(dev);
    QSignalSpy running(&dev, &DevKX740D::continueTime);
    dev.codeDeal(ctrlAnswer(60));
    dev.setContinue(true);
    second(dev, liveFrame()); // continue without recording counts nothing
    QCOMPARE(running.size(), 0);

    dev.setRecording(true);
    dev.setRunningTime(100);
    for (int s = 0; s < 3600; ++s)
        second(dev, liveFrame());
    QCOMPARE(dev.runningTime(), quint64(3700));
    QCOMPARE(running.size(), 3600);
    QCOMPARE(running.first().at(0).value<uint64_t>(), uint64_t(101));
    QCOMPARE(running.last().at(0).value<uint64_t>(), uint64_t(3700));
    QCOMPARE(dev.recordedCount(), 60);
    QCOMPARE(dateTimeFromTime(dev.lastRecorded(1).at(0).second),
             QDateTime(QDate(2026, 3, 1), QTime(13, 0, 0)));

    dev.setContinue(false);
    second(dev, liveFrame());
    QCOMPARE(dev.runningTime(), quint64(3700));
}

void TestDevKX740D::statisticsAfterEachStoredReading()
{
    DevKX740D dev;
    useFakeClock(dev);
    QSignalSpy stats(&dev, &DevKX740D::max_min_avg_info);
    dev.codeDeal(ctrlAnswer(1));
    dev.setRecording(true);
    const QByteArray frames[] = {liveFrame({0, 3, 3, 1}, {20.0f, 0, 0, -300.0f}),
                                 liveFrame({2, 3, 3, 0}, {30.0f, 0, 0, 10.0f}),
                                 liveFrame({0, 3, 3, 0}, {25.0f, 0, 0, 20.0f})};
    for (const QByteArray &f : frames)
        second(dev, f);
    QCOMPARE(dev.recordedCount(), 3);
    QCOMPARE(stats.size(), 3);
    const auto texts = stats.last().at(0).value<QList<QList<QString>>>();
    const QString none = QStringLiteral("--\\--");
    QCOMPARE(texts.at(0), (QList<QString>{"OL", none, none, "20.0"}));
    QCOMPARE(texts.at(1), (QList<QString>{"20.0", none, none, "-OL"}));
    QCOMPARE(texts.at(2), (QList<QString>{"22.5", none, none, "15.0"}));

    // Texts follow the unit of the last control configuration.
    dev.codeDeal(ctrlAnswer(1, 1));
    second(dev, frames[2]);
    QCOMPARE(stats.last().at(0).value<QList<QList<QString>>>().at(2).at(0),
             QStringLiteral("74.0")); // (20 + 25 + 25) / 3 = 23.33 C

    // A new recording starts its statistics afresh.
    dev.clearRecorded();
    second(dev, frames[1]);
    QCOMPARE(stats.last().at(0).value<QList<QList<QString>>>().at(0).at(0), QStringLiteral("OL"));
    QCOMPARE(stats.last().at(0).value<QList<QList<QString>>>().at(2).at(0), none);
}

void TestDevKX740D::recordedReadings()
{
    DevKX740D dev;
    useFakeClock(dev);
    dev.codeDeal(ctrlAnswer(1));
    dev.setRecording(true);
    for (int i = 0; i < 5; ++i)
        second(dev, liveFrame({0, 1, 2, 5}, {float(i), 0, 0, 0}));
    QCOMPARE(dev.recordedCount(), 5);
    QCOMPARE(dev.lastRecorded(2).size(), 2);
    QCOMPARE(dev.lastRecorded(2).at(0).first.value[0], 3.0f);
    QCOMPARE(dev.lastRecorded(5).size(), 5);
    QCOMPARE(dev.lastRecorded(9).size(), 5);
    QCOMPARE(dev.lastRecorded(0).size(), 0);
    QCOMPARE(dev.lastRecorded(0, true).size(), 5);

    const QVector<_T_EE_TEST_DATA> records = dev.recordedAsTestData();
    QCOMPARE(records.size(), 5);
    const _T_EE_TEST_DATA &r = records.at(4);
    QCOMPARE(eeTestDataToBytes(r).toHex(' '),
             QByteArray("00 00 01 02 03 04 00 01 02 05 1a 03 01 0c 00 05 "
                        "00 00 80 40 00 00 00 00 00 00 00 00 00 00 00 00"));

    dev.clearRecorded();
    QCOMPARE(dev.recordedCount(), 0);
}

void TestDevKX740D::storedBlocks()
{
    DevKX740D dev;
    dev.codeDeal(ansBlock(2499, goodRecords(0)));
    QCOMPARE(dev.downloadList().size(), 32);
    QCOMPARE(dev.downloadList().last().position, quint32(79999));
    dev.codeDeal(ansBlock(2500, goodRecords(0)));
    QCOMPARE(dev.downloadList().size(), 32);

    // A record of zeros with the checksum 0xAA55 (55 AA) passes; zeros alone do not.
    QByteArray zeros = ansBlock(7, {});
    zeros[3 + 32 * 5] = char(0x55);
    zeros[3 + 32 * 5 + 1] = char(0xAA);
    dev.codeDeal(zeros);
    QCOMPARE(dev.downloadList().size(), 33);
    QCOMPARE(dev.downloadList().last().position, quint32(7 * 32 + 5));
    QCOMPARE(dev.downloadList().last().record, _T_EE_TEST_DATA{0xAA55});

    // One flipped bit drops only its record; a block arriving twice counts twice.
    QByteArray flipped = ansBlock(1, goodRecords(100));
    flipped[3 + 32 * 9 + 20] = char(flipped[3 + 32 * 9 + 20] ^ 0x10);
    dev.codeDeal(flipped);
    dev.codeDeal(flipped);
    QList<quint32> expected;
    for (int i = 0; i < 32; ++i)
        expected << quint32(2499 * 32 + i);
    expected << 7 * 32 + 5;
    for (int copy = 0; copy < 2; ++copy) {
        for (int i = 0; i < 32; ++i) {
            if (i != 9)
                expected << quint32(32 + i);
        }
    }
    QCOMPARE(positionsOf(dev), expected);

    const QVector<_T_EE_TEST_DATA> taken = dev.takeDownloadedRecords();
    QCOMPARE(taken.size(), expected.size());
    QCOMPARE(taken.at(34), goodRecords(100).at(1));
    QCOMPARE(dev.downloadList().size(), expected.size()); // taking leaves the list
}

void TestDevKX740D::readRequestLimitAndList()
{
    DevKX740D dev;
    dev.codeDeal(ansBlock(0, goodRecords(0)));
    dev.readStoredBlocks(0, 2501);
    dev.readStoredBlocks(2500, 1);
    dev.readStoredBlocks(-1, 1);
    QCOMPARE(dev.downloadList().size(), 32);
    dev.readStoredBlocks(0, 2500);
    QCOMPARE(dev.downloadList().size(), 0);
}

void TestDevKX740D::handshakeAndCommandsOnTheWire()
{
    PseudoTerminal pty;
    QVERIFY2(pty.open(), qPrintable(pty.errorString()));
    SerialHandle link(QStringLiteral("port_1"));
    QVERIFY(link.openPort(pty.slavePath(), 115200));
    DevKX740D dev;
    useFakeClock(dev);

    dev.setLink(&link);
    QByteArray expected = encodeFrame(hex("30")) + encodeFrame(hex("31 1A 03 01 0C 00 00")) +
                          encodeFrame(hex("35")) + encodeFrame(hex("37")) + encodeFrame(hex("33"));
    QCOMPARE(readWire(pty.masterFd(), expected.size(), 2000).toHex(' '), expected.toHex(' '));

    const QByteArray ctrl = hex("43 0000 00 00 00 00 00 00000000 00 00 00 00");
    const QByteArray ch = hex("44 0000 00 00 00 00 00 00 00 00");
    auto with = [](QByteArray p, int maskHigh, int maskLow, int byte, quint8 value) {
        p[1] = char(maskHigh);
        p[2] = char(maskLow);
        p[3 + byte] = char(value);
        return p;
    };
    const QList<QPair<std::function<void()>, QByteArray>> steps = {
        {[&] { dev.setHold(true); }, with(ctrl, 0, 0x02, 1, 1)},
        {[&] { dev.setBluetooth(true); }, with(ctrl, 0, 0x04, 2, 1)},
        {[&] { dev.setAutoPowerOff(true); }, with(ctrl, 0, 0x08, 3, 1)},
        {[&] { dev.setInterval(86400); }, hex("43 0020 00 00 00 00 00 00015180 00 00 00 00")},
        {[&] { dev.setMeasuringMode(3); }, with(ctrl, 0, 0x40, 9, 3)},
        {[&] { dev.setMeasuringMode(4); }, with(ctrl, 0, 0x40, 9, 0)},
        {[&] { dev.setUnit(1); }, with(ctrl, 0, 0x80, 10, 1)},
        {[&] { dev.setUnit(3); }, with(ctrl, 0, 0x80, 10, 0)},
        {[&] { dev.setDifferenceMode(4); }, with(ctrl, 1, 0x00, 11, 4)},
        {[&] { dev.setDifferenceMode(5); }, with(ctrl, 1, 0x00, 11, 0)},
        {[&] { dev.setFrequency(true); }, with(ctrl, 2, 0x00, 12, 1)},
        {[&] { dev.setChannelType(3, 6); }, with(ch, 0, 0x04, 2, 6)},
        {[&] { dev.setChannelType(1, 7); }, with(ch, 0, 0x01, 0, 0)},
        {[&] { dev.setChannelType(5, 1); }, QByteArray()},
        {[&] { dev.setChannelOffset(4, -50); }, with(ch, 0, 0x80, 7, 0xCE)},
        {[&] { dev.setChannelOffset(2, 51); }, QByteArray()},
        {[&] { dev.queryConfig35(); }, hex("35")},
        {[&] { dev.queryConfig37(); }, hex("37")},
        {[&] { dev.resetSettings(); }, hex("3B")},
        {[&] { dev.eraseStoredRecords(); }, hex("34")},
        {[&] { dev.queryStoredRecordCount(); }, hex("33")},
        {[&] { dev.notifyRecording(true); }, hex("45 01")},
        {[&] { dev.notifyRecording(false); }, hex("45 00")},
        {[&] { dev.readStoredBlocks(2499, 1); }, hex("32 09C3 0001")},
        {[&] { dev.readStoredBlocks(2500, 1); }, QByteArray()},
    };
    expected.clear();
    for (const auto &step : steps) {
        step.first();
        if (!step.second.isEmpty())
            expected += encodeFrame(step.second);
    }
    dev.stopTrans();
    expected += hex("AA 55 00 04 42 24 01 69");
    QCOMPARE(readWire(pty.masterFd(), expected.size() + 1, 300).toHex(' '), expected.toHex(' '));
    QCOMPARE(int(dev.channelOffset(2)), 51); // kept although not sent
    QCOMPARE(int(dev.channelOffset(4)), -50);
}

void TestDevKX740D::linkStates()
{
    DevKX740D dev;
    dev.stopTrans(); // no link: nothing happens
    dev.codeDeal(ansDeviceInfo("KX740D", 1, 5));
    SerialHandle closed(QStringLiteral("port_1"));
    dev.setLink(&closed);
    QVERIFY(!dev.isIdentified());
    QCOMPARE(dev.deviceName(), QStringLiteral("KX740D"));

    dev.codeDeal(ansDeviceInfo("KX740D", 1, 5));
    dev.setLink(nullptr);
    QVERIFY(!dev.isIdentified());
    QVERIFY(dev.deviceName().isEmpty());
    QVERIFY(dev.firmwareVersion().isEmpty());
    QCOMPARE(dev.link(), nullptr);
}

// Queued delivery needs every argument type registered with the meta-type system.
void TestDevKX740D::signalsTravelQueued()
{
    DevKX740D dev;
    useFakeClock(dev);
    QObject receiver;
    int live = 0, stats = 0, ctrl = 0;
    uint64_t running = 0;
    const auto queued = Qt::QueuedConnection;
    connect(
        &dev, &DevKX740D::live_data, &receiver,
        [&](_T_PRINT_OUT_DATA r) { live += r.ambient == 21.5f; }, queued);
    connect(
        &dev, &DevKX740D::max_min_avg_info, &receiver,
        [&](QList<QList<QString>> t) { stats += t.size(); }, queued);
    connect(
        &dev, &DevKX740D::continueTime, &receiver, [&](uint64_t n) { running += n; }, queued);
    connect(
        &dev, &DevKX740D::ctrl_setting, &receiver,
        [&](_T_CTRL_CONFIG c) { ctrl += ctrlInterval(c); }, queued);
    dev.codeDeal(ctrlAnswer(1));
    dev.setRecording(true);
    dev.setContinue(true);
    second(dev, liveFrame());
    QCOMPARE(live, 0);
    QTRY_COMPARE(live, 5);
    QCOMPARE(stats, 3);
    QCOMPARE(running, uint64_t(1));
    QCOMPARE(ctrl, 1);
}

QTEST_GUILESS_MAIN(TestDevKX740D)
#include "tst_devkx740d.moc"
