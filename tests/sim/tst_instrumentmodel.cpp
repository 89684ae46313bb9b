// The simulated instrument's answers and state, without a port: command
// payloads in, answer payloads out.

#include "instrument/commands.h"
#include "instrument/records.h"
#include "sim/instrumentmodel.h"

#include <QtTest>

#include <cmath>

namespace {

const QDateTime kStart(QDate(2026, 3, 4), QTime(10, 0, 0));

QByteArray bytes(std::initializer_list<int> list)
{
    QByteArray out;
    for (int b : list)
        out.append(char(b));
    return out;
}

QByteArray single(const InstrumentModel::Reaction &r)
{
    return r.answers.size() == 1 ? r.answers.first() : QByteArray();
}

_T_CH_CONFIG chOf(const QByteArray &answer)
{
    return chConfigFromBytes(answer.mid(1));
}

SimulatorOptions allChannels()
{
    SimulatorOptions o;
    o.allChannelsConnected = true;
    return o;
}

} // namespace

class TestInstrumentModel : public QObject
{
    Q_OBJECT

private slots:
    void deviceInformation();
    void configurationQueries();
    void malformedCommandsAreIgnored_data();
    void malformedCommandsAreIgnored();
    void controlChange_data();
    void controlChange();
    void unsupportedControlValuesKeepTheSetting();
    void channelChange();
    void resetRestoresFactorySettings();
    void setTimeSetsTheClock();
    void recordingFlagAndStatusByte();
    void storedCountAndErase();
    void readRequestIsCutAtTheLastBlock();
    void blocksCarryTheStoreInOrder();
    void fullStoreEndsAtPosition79999();
    void badRecordFault();
    void liveReadingChannels();
    void liveReadingsAreCelsiusWithOffset();
    void outOfRangeReading();
    void readingsChangeSmoothly();
    void measuringModeValues();
    void holdFreezesReadings();
};

void TestInstrumentModel::deviceInformation()
{
    InstrumentModel m(SimulatorOptions(), kStart);
    const QByteArray a = single(m.handleCommand(cmdDeviceInfoQuery(), kStart));
    QCOMPARE(a.size(), 23);
    QCOMPARE(quint8(a.at(0)), kAnsDeviceInfo);
    QCOMPARE(a.mid(1, 20), QByteArray("KX740D") + QByteArray(14, '\0'));
    QCOMPARE(quint8(a.at(21)), quint8(1)); // firmware 1.5
    QCOMPARE(quint8(a.at(22)), quint8(5));
}

void TestInstrumentModel::configurationQueries()
{
    SimulatorOptions o;
    o.bluetoothOn = true;
    InstrumentModel m(o, kStart);

    const QByteArray ctrl = single(m.handleCommand(bytes({0x35}), kStart));
    QCOMPARE(ctrl.size(), 17);
    QCOMPARE(quint8(ctrl.at(0)), kAnsCtrlConfig);
    // Factory: Bluetooth as the option says, automatic power-off on, 1 s interval.
    QCOMPARE(ctrl.mid(1), bytes({0, 0, 1, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0}));

    const QByteArray ch = single(m.handleCommand(bytes({0x37}), kStart));
    QCOMPARE(ch.size(), 9);
    QCOMPARE(quint8(ch.at(0)), kAnsChConfig);
    QCOMPARE(ch.mid(1), QByteArray(8, '\0'));
}

void TestInstrumentModel::malformedCommandsAreIgnored_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("0x30 too long") << bytes({0x30, 0x00});
    QTest::newRow("0x35 too long") << bytes({0x35, 0x35});
    QTest::newRow("0x32 short") << bytes({0x32, 0, 0, 0});
    QTest::newRow("0x31 short") << bytes({0x31, 26, 3, 4, 5, 6});
    QTest::newRow("abort without argument") << bytes({0x42});
    QTest::newRow("abort, wrong argument") << bytes({0x42, 0x25});
    QTest::newRow("0x43 short") << cmdSetUnit(1).left(15);
    QTest::newRow("0x44 long") << cmdSetChannelType(1, 6) + char(0);
    QTest::newRow("unknown 0x36") << bytes({0x36});
    QTest::newRow("answer type 0") << bytes({0x00});
}

void TestInstrumentModel::malformedCommandsAreIgnored()
{
    QFETCH(QByteArray, payload);
    InstrumentModel m(SimulatorOptions(), kStart);
    const _T_CTRL_CONFIG ctrl = m.controlConfig();
    const InstrumentModel::Reaction r = m.handleCommand(payload, kStart);
    QVERIFY(r.answers.isEmpty());
    QVERIFY(r.action == InstrumentModel::Action::None);
    QCOMPARE(m.controlConfig(), ctrl);
}

void TestInstrumentModel::controlChange_data()
{
    QTest::addColumn<QByteArray>("command");
    QTest::addColumn<int>("byte"); // control byte expected to change
    QTest::addColumn<QByteArray>("value");

    // The corrected "unit Fahrenheit" frame: its 01 at control byte 10.
    QTest::newRow("unit Fahrenheit, literal")
        << bytes({0x43, 0x00, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0}) << 10 << bytes({1});
    QTest::newRow("hold") << cmdSetHold(true) << 1 << bytes({1});
    QTest::newRow("Bluetooth") << cmdSetBluetooth(true) << 2 << bytes({1});
    QTest::newRow("power-off off") << cmdSetAutoPowerOff(false) << 3 << bytes({0});
    QTest::newRow("interval 86400") << cmdSetInterval(86400) << 5 << bytes({0, 1, 0x51, 0x80});
    QTest::newRow("interval 0") << cmdSetInterval(0) << 5 << bytes({0, 0, 0, 0});
    QTest::newRow("mode average") << cmdSetMeasuringMode(3) << 9 << bytes({3});
    QTest::newRow("unit Kelvin") << cmdSetUnit(2) << 10 << bytes({2});
    QTest::newRow("difference T4") << cmdSetDifferenceMode(4) << 11 << bytes({4});
    QTest::newRow("60 Hz") << cmdSetFrequency(true) << 12 << bytes({1});
}

void TestInstrumentModel::controlChange()
{
    QFETCH(QByteArray, command);
    QFETCH(int, byte);
    QFETCH(QByteArray, value);

    InstrumentModel m(SimulatorOptions(), kStart);
    const QByteArray before = ctrlConfigToBytes(m.controlConfig());
    const QByteArray answer = single(m.handleCommand(command, kStart));
    QCOMPARE(answer.size(), 17);
    QCOMPARE(quint8(answer.at(0)), kAnsCtrlConfig);

    QByteArray expected = before;
    expected.replace(byte, value.size(), value);
    QCOMPARE(answer.mid(1), expected);
    QCOMPARE(ctrlConfigToBytes(m.controlConfig()), expected);
}

void TestInstrumentModel::unsupportedControlValuesKeepTheSetting()
{
    InstrumentModel m(SimulatorOptions(), kStart);
    const _T_CTRL_CONFIG factory = m.controlConfig();

    _T_CTRL_CONFIG block;
    block.unit = 3;
    block.measuringMode = 4;
    block.differenceMode = 5;
    block.hold = 2;
    setCtrlInterval(block, 86401);
    m.handleCommand(cmdControlChange(CtrlMaskUnit | CtrlMaskMeasuringMode | CtrlMaskDifferenceMode |
                                         CtrlMaskHold | CtrlMaskInterval,
                                     block),
                    kStart);
    QCOMPARE(m.controlConfig(), factory);

    // Bytes 0 and 4 are the instrument's own.
    _T_CTRL_CONFIG own;
    own.reserved0 = 7;
    own.reserved4 = 9;
    m.handleCommand(cmdControlChange(CtrlMaskReserved0 | CtrlMaskReserved4, own), kStart);
    QCOMPARE(m.controlConfig(), factory);

    // Two fields under one mask are both applied; fields outside it are not.
    _T_CTRL_CONFIG two;
    two.unit = 1;
    two.frequency = 1;
    two.bluetooth = 1;
    m.handleCommand(cmdControlChange(CtrlMaskUnit | CtrlMaskFrequency, two), kStart);
    QCOMPARE(m.controlConfig().unit, quint8(1));
    QCOMPARE(m.controlConfig().frequency, quint8(1));
    QCOMPARE(m.controlConfig().bluetooth, quint8(0));
}

void TestInstrumentModel::channelChange()
{
    InstrumentModel m(SimulatorOptions(), kStart);
    // The "T1 to type N" example frame's payload.
    QByteArray a =
        single(m.handleCommand(bytes({0x44, 0x00, 0x01, 6, 0, 0, 0, 0, 0, 0, 0}), kStart));
    QCOMPARE(a.size(), 9);
    QCOMPARE(quint8(a.at(0)), kAnsChConfig);
    QCOMPARE(a.mid(1), bytes({6, 0, 0, 0, 0, 0, 0, 0}));

    a = single(m.handleCommand(cmdSetChannelOffset(3, -50), kStart));
    QCOMPARE(chOf(a).offset[2], qint8(-50));
    QCOMPARE(chOf(a).type[0], quint8(6));

    // Type B is the instrument's own; codes above it and offsets beyond
    // +-5.0 degrees are not taken.
    _T_CH_CONFIG block;
    block.type[1] = 7;
    block.type[2] = 8;
    block.offset[3] = 51;
    a = single(m.handleCommand(
        cmdChannelChange(channelTypeMask(2) | channelTypeMask(3) | channelOffsetMask(4), block),
        kStart));
    QCOMPARE(a.mid(1), bytes({6, 7, 0, 0, 0, 0, -50, 0}));
    QCOMPARE(m.channelConfig(), chOf(a));
}

void TestInstrumentModel::resetRestoresFactorySettings()
{
    InstrumentModel m(SimulatorOptions(), kStart);
    const _T_CTRL_CONFIG ctrl = m.controlConfig();
    const _T_CH_CONFIG ch = m.channelConfig();
    m.handleCommand(cmdSetUnit(1), kStart);
    m.handleCommand(cmdSetInterval(60), kStart);
    m.handleCommand(cmdSetChannelType(2, 3), kStart);
    m.handleCommand(cmdSetChannelOffset(1, 12), kStart);
    QVERIFY(m.controlConfig() != ctrl);

    const InstrumentModel::Reaction r = m.handleCommand(cmdResetSettings(), kStart);
    QCOMPARE(r.answers.size(), 2);
    QCOMPARE(r.answers.at(0), QByteArray(1, char(kAnsCtrlConfig)) + ctrlConfigToBytes(ctrl));
    QCOMPARE(r.answers.at(1), QByteArray(1, char(kAnsChConfig)) + chConfigToBytes(ch));
    QCOMPARE(m.controlConfig(), ctrl);
    QCOMPARE(m.channelConfig(), ch);
}

void TestInstrumentModel::setTimeSetsTheClock()
{
    InstrumentModel m(SimulatorOptions(), kStart);
    const QDateTime now(QDate(2024, 1, 1), QTime(0, 0, 0));
    const InstrumentModel::Reaction r = m.handleCommand(bytes({0x31, 26, 3, 4, 5, 6, 7}), now);
    QVERIFY(r.answers.isEmpty());
    QCOMPARE(m.instrumentClock(now), QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7)));
    QCOMPARE(m.instrumentClock(now.addSecs(90)), QDateTime(QDate(2026, 3, 4), QTime(5, 7, 37)));

    // An impossible date leaves the clock alone.
    m.handleCommand(bytes({0x31, 26, 13, 40, 5, 6, 7}), now);
    QCOMPARE(m.instrumentClock(now), QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7)));
}

void TestInstrumentModel::recordingFlagAndStatusByte()
{
    InstrumentModel m(SimulatorOptions(), kStart);
    QCOMPARE(single(m.handleCommand(cmdNotifyRecording(true), kStart)), bytes({9, 0x01}));
    QVERIFY(m.recordingFlag());
    m.handleCommand(cmdSetHold(true), kStart);
    m.handleCommand(cmdSetBluetooth(true), kStart);
    QCOMPARE(m.status(), quint8(0x07));
    QCOMPARE(single(m.handleCommand(cmdNotifyRecording(false), kStart)), bytes({9, 0x06}));
    QVERIFY(!m.recordingFlag());
}

void TestInstrumentModel::storedCountAndErase()
{
    SimulatorOptions o;
    o.storedRecords = 3000;
    InstrumentModel m(o, kStart);
    QCOMPARE(single(m.handleCommand(cmdStoredCountQuery(), kStart)),
             bytes({5, 0x00, 0x00, 0x0B, 0xB8}));

    const InstrumentModel::Reaction r = m.handleCommand(cmdErase(), kStart);
    QVERIFY(r.action == InstrumentModel::Action::Erase);
    QVERIFY(r.answers.isEmpty()); // the end comes when the erase is done
    // Emptied at once, so a count query during the erase already reads 0.
    QCOMPARE(single(m.handleCommand(cmdStoredCountQuery(), kStart)), bytes({5, 0, 0, 0, 0}));
    // Afterwards every record reads as erased flash.
    const QByteArray block = m.blockAnswer(0);
    for (int i = 0; i < 32; ++i)
        QVERIFY(!recordChecksumValid(block.constData() + 3 + 32 * i));
}

void TestInstrumentModel::readRequestIsCutAtTheLastBlock()
{
    InstrumentModel m(SimulatorOptions(), kStart);
    const auto request = [&](int start, int count) {
        const InstrumentModel::Reaction r = m.handleCommand(
            bytes({0x32, start >> 8, start & 0xFF, count >> 8, count & 0xFF}), kStart);
        return qMakePair(r.action == InstrumentModel::Action::StartDownload,
                         qMakePair(int(r.firstBlock), int(r.blockCount)));
    };
    QCOMPARE(request(0, 3), qMakePair(true, qMakePair(0, 3)));
    QCOMPARE(request(0, 2500), qMakePair(true, qMakePair(0, 2500)));
    QCOMPARE(request(2499, 5), qMakePair(true, qMakePair(2499, 1)));
    QCOMPARE(request(2500, 1), qMakePair(true, qMakePair(2500, 0)));
    QCOMPARE(request(0xFFFF, 0xFFFF), qMakePair(true, qMakePair(0xFFFF, 0)));

    QVERIFY(m.handleCommand(cmdAbortTransfer(), kStart).action ==
            InstrumentModel::Action::AbortDownload);
}

void TestInstrumentModel::blocksCarryTheStoreInOrder()
{
    SimulatorOptions o;
    o.storedRecords = 100;
    InstrumentModel m(o, kStart);

    QDateTime previous;
    for (int b = 0; b < 4; ++b) {
        const QByteArray a = m.blockAnswer(quint16(b));
        QCOMPARE(a.size(), 1027);
        QCOMPARE(quint8(a.at(0)), kAnsBlock);
        QCOMPARE(int(readU16BE(a.constData() + 1)), b);
        for (int i = 0; i < 32; ++i) {
            const int position = b * 32 + i;
            const char *raw = a.constData() + 3 + 32 * i;
            if (position >= 100) {
                QVERIFY2(!recordChecksumValid(raw), qPrintable(QString::number(position)));
                QCOMPARE(QByteArray(raw, 32), QByteArray(32, char(0xFF)));
                continue;
            }
            QVERIFY2(recordChecksumValid(raw), qPrintable(QString::number(position)));
            const _T_EE_TEST_DATA rec = eeTestDataFromBytes(raw);
            QCOMPARE(rec, m.storedRecord(position));
            // One record a second, the last one just before the start.
            _T_TIME t{rec.year, rec.month, rec.day, rec.hour, rec.minute, rec.second};
            const QDateTime at = dateTimeFromTime(t);
            QCOMPARE(at, kStart.addSecs(position - 100));
            if (previous.isValid())
                QCOMPARE(previous.secsTo(at), qint64(1));
            previous = at;
            for (int ch = 0; ch < 4; ++ch)
                QCOMPARE(rec.type[ch], quint8(TypeK));
            for (int ch = 0; ch < 3; ++ch) {
                QCOMPARE(rec.state[ch], quint8(StateValue));
                QVERIFY(rec.value[ch] > -50 && rec.value[ch] < 300);
            }
            QCOMPARE(rec.state[3], quint8(StateNoReading)); // T4 not connected
        }
    }
}

void TestInstrumentModel::fullStoreEndsAtPosition79999()
{
    SimulatorOptions o;
    o.storedRecords = 80000;
    InstrumentModel m(o, kStart);
    const QByteArray last = m.blockAnswer(2499);
    QCOMPARE(int(readU16BE(last.constData() + 1)), 2499);
    for (int i = 0; i < 32; ++i)
        QVERIFY(recordChecksumValid(last.constData() + 3 + 32 * i));
    const QByteArray beyond = m.blockAnswer(2500);
    QVERIFY(!recordChecksumValid(beyond.constData() + 3));
}

void TestInstrumentModel::badRecordFault()
{
    SimulatorOptions o;
    o.storedRecords = 80000;
    o.badRecordRate = 0.2;
    InstrumentModel m(o, kStart);
    int bad = 0;
    for (int b = 0; b < 50; ++b) {
        const QByteArray a = m.blockAnswer(quint16(b));
        QCOMPARE(a, m.blockAnswer(quint16(b))); // the same cells fail every time
        for (int i = 0; i < 32; ++i) {
            const bool valid = recordChecksumValid(a.constData() + 3 + 32 * i);
            QCOMPARE(valid, !m.recordIsBad(b * 32 + i));
            bad += valid ? 0 : 1;
        }
    }
    QVERIFY2(bad > 1600 * 0.12 && bad < 1600 * 0.28, qPrintable(QString::number(bad)));

    o.badRecordRate = 0;
    InstrumentModel clean(o, kStart);
    for (int i = 0; i < 32; ++i)
        QVERIFY(recordChecksumValid(clean.blockAnswer(7).constData() + 3 + 32 * i));
}

void TestInstrumentModel::liveReadingChannels()
{
    InstrumentModel m(SimulatorOptions(), kStart);
    _T_PRINT_OUT_DATA r = m.liveReading(1.0);
    for (int ch = 0; ch < 3; ++ch) {
        QCOMPARE(statusState(r.status[ch]), quint8(StateValue));
        QCOMPARE(statusTypeCode(r.status[ch]), quint8(TypeK));
    }
    QCOMPARE(statusState(r.status[3]), quint8(StateNoReading));
    QVERIFY(r.ambient > 15 && r.ambient < 35);
    QCOMPARE(ansLiveReading(r).size(), 50);

    InstrumentModel all(allChannels(), kStart);
    r = all.liveReading(1.0);
    QCOMPARE(statusState(r.status[3]), quint8(StateValue));
    QVERIFY(r.value[3] < 0); // the freezer channel

    // Channels sit at clearly different levels.
    QVERIFY(std::abs(r.value[0] - r.value[1]) > 10);
    QVERIFY(std::abs(r.value[1] - r.value[2]) > 10);

    // A type change shows in the status byte's low nibble.
    all.handleCommand(cmdSetChannelType(2, TypeJ), kStart);
    QCOMPARE(statusTypeCode(all.liveReading(2.0).status[1]), quint8(TypeJ));
}

void TestInstrumentModel::liveReadingsAreCelsiusWithOffset()
{
    InstrumentModel plain(allChannels(), kStart);
    InstrumentModel shown(allChannels(), kStart);
    shown.handleCommand(cmdSetUnit(1), kStart);
    shown.handleCommand(cmdSetChannelOffset(2, 25), kStart);
    shown.handleCommand(cmdSetChannelOffset(4, -50), kStart);
    for (double t : {0.0, 12.5, 300.0}) {
        const _T_PRINT_OUT_DATA a = plain.liveReading(t);
        const _T_PRINT_OUT_DATA b = shown.liveReading(t);
        QCOMPARE(b.value[0], a.value[0]); // Fahrenheit on the display only
        QCOMPARE(b.value[1], a.value[1] + 2.5f);
        QCOMPARE(b.value[2], a.value[2]);
        QCOMPARE(b.value[3], a.value[3] - 5.0f);
        QCOMPARE(b.ambient, a.ambient);
    }
}

void TestInstrumentModel::outOfRangeReading()
{
    InstrumentModel m(allChannels(), kStart);
    // Type R starts at 0 degrees; the freezer channel is below it.
    m.handleCommand(cmdSetChannelType(4, TypeR), kStart);
    const _T_PRINT_OUT_DATA r = m.liveReading(5.0);
    QCOMPARE(r.status[3], statusByte(TypeR, StateBelowRange));
    QCOMPARE(r.value[3], 0.0f);
}

void TestInstrumentModel::readingsChangeSmoothly()
{
    InstrumentModel m(allChannels(), kStart);
    _T_PRINT_OUT_DATA previous = m.liveReading(0);
    float lowest[4], highest[4];
    for (int ch = 0; ch < 4; ++ch)
        lowest[ch] = highest[ch] = previous.value[ch];
    for (int i = 1; i <= 2 * 3600; ++i) { // an hour at two readings a second
        const _T_PRINT_OUT_DATA r = m.liveReading(i * 0.5);
        for (int ch = 0; ch < 4; ++ch) {
            QVERIFY2(std::abs(r.value[ch] - previous.value[ch]) < 1.0f,
                     qPrintable(QStringLiteral("T%1 at %2 s").arg(ch + 1).arg(i * 0.5)));
            lowest[ch] = std::min(lowest[ch], r.value[ch]);
            highest[ch] = std::max(highest[ch], r.value[ch]);
        }
        QVERIFY(std::abs(r.ambient - previous.ambient) < 0.2f);
        previous = r;
    }
    // They do move, by more than the noise.
    for (int ch = 0; ch < 4; ++ch)
        QVERIFY2(highest[ch] - lowest[ch] > 1.5f, qPrintable(QString::number(ch)));
}

void TestInstrumentModel::measuringModeValues()
{
    InstrumentModel m(SimulatorOptions(), kStart);
    _T_PRINT_OUT_DATA r = m.liveReading(0);
    QCOMPARE(r.mode, quint8(0));
    for (int ch = 0; ch < 4; ++ch)
        QCOMPARE(r.modeState[ch], quint8(StateNoReading));

    for (int mode = 1; mode <= 3; ++mode) {
        m.handleCommand(cmdSetMeasuringMode(mode), kStart);
        float high = -1e9f, low = 1e9f;
        double sum = 0;
        for (int i = 0; i < 40; ++i) {
            r = m.liveReading(100.0 * mode + i * 7.3);
            high = std::max(high, r.value[1]);
            low = std::min(low, r.value[1]);
            sum += r.value[1];
        }
        QCOMPARE(r.mode, quint8(mode));
        QCOMPARE(r.modeState[1], quint8(StateValue));
        QCOMPARE(r.modeState[3], quint8(StateNoReading)); // no thermocouple, no statistics
        const float expected = mode == 1 ? high : mode == 2 ? low : float(sum / 40);
        QVERIFY2(
            std::abs(r.modeValue[1] - expected) < 1e-3f,
            qPrintable(
                QStringLiteral("mode %1: %2 vs %3").arg(mode).arg(r.modeValue[1]).arg(expected)));
    }
}

void TestInstrumentModel::holdFreezesReadings()
{
    InstrumentModel m(SimulatorOptions(), kStart);
    const _T_PRINT_OUT_DATA before = m.liveReading(10);
    m.handleCommand(cmdSetHold(true), kStart);
    const _T_PRINT_OUT_DATA held = m.liveReading(400);
    for (int ch = 0; ch < 4; ++ch) {
        QCOMPARE(held.value[ch], before.value[ch]);
        QCOMPARE(held.status[ch], before.status[ch]);
    }
    QVERIFY(held.ambient != before.ambient);
    m.handleCommand(cmdSetHold(false), kStart);
    QVERIFY(m.liveReading(400).value[0] != before.value[0]);
}

QTEST_GUILESS_MAIN(TestInstrumentModel)
#include "tst_instrumentmodel.moc"
