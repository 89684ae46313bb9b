#include "instrument/commands.h"
#include "link/frame.h"

#include <QtTest>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

// A control-change payload with one byte of the block set.
QByteArray controlPayload(quint16 mask, int byteIndex, quint8 value)
{
    QByteArray p = hex("43") + QByteArray(2, '\0') + QByteArray(13, '\0');
    p[1] = char(mask >> 8);
    p[2] = char(mask & 0xFF);
    p[3 + byteIndex] = char(value);
    return p;
}

QByteArray channelPayload(quint8 mask, int byteIndex, quint8 value)
{
    QByteArray p = hex("44 00") + QByteArray(9, '\0');
    p[2] = char(mask);
    p[3 + byteIndex] = char(value);
    return p;
}

} // namespace

class TestCommands : public QObject
{
    Q_OBJECT

private slots:
    void exampleFrames_data();
    void exampleFrames();
    void singleByteQueries();
    void setTime();
    void readBlocksLimit_data();
    void readBlocksLimit();
    void controlSettings_data();
    void controlSettings();
    void intervalIsBigEndian();
    void channelType_data();
    void channelType();
    void channelOffset_data();
    void channelOffset();
    void answerLengthTable();
    void parseCommands();
    void parseRejectsWrongLengthOrCode();
    void applyControlChangeTouchesMaskedFieldsOnly();
    void applyChannelChangeTouchesMaskedFieldsOnly();
    void answerPayloads();
    void blockAnswer();
};

void TestCommands::exampleFrames_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QByteArray>("frame");
    QTest::newRow("device information query")
        << cmdDeviceInfoQuery() << hex("AA 55 00 03 30 01 32");
    QTest::newRow("abort transfer") << cmdAbortTransfer() << hex("AA 55 00 04 42 24 01 69");
    QTest::newRow("read blocks 0 to 2")
        << cmdReadBlocks(0, 3) << hex("AA 55 00 07 32 00 00 00 03 01 3B");
    // The unit sits at byte 10 of the control block.
    QTest::newRow("unit Fahrenheit")
        << cmdSetUnit(1)
        << hex("AA 55 00 12 43 00 80 00 00 00 00 00 00 00 00 00 00 01 00 00 01 D5");
    QTest::newRow("T1 type N") << cmdSetChannelType(1, TypeN)
                               << hex("AA 55 00 0D 44 00 01 06 00 00 00 00 00 00 00 01 57");
    QTest::newRow("recording started")
        << cmdNotifyRecording(true) << hex("AA 55 00 04 45 01 01 49");
}

void TestCommands::exampleFrames()
{
    QFETCH(QByteArray, payload);
    QFETCH(QByteArray, frame);
    QCOMPARE(encodeFrame(payload), frame);
}

void TestCommands::singleByteQueries()
{
    QCOMPARE(cmdStoredCountQuery(), hex("33"));
    QCOMPARE(cmdErase(), hex("34"));
    QCOMPARE(cmdConfigQuery35(), hex("35"));
    QCOMPARE(cmdConfigQuery37(), hex("37"));
    QCOMPARE(cmdResetSettings(), hex("3B"));
    QCOMPARE(cmdNotifyRecording(false), hex("45 00"));
}

void TestCommands::setTime()
{
    QCOMPARE(cmdSetTime(QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7, 999))),
             hex("31 1A 03 04 05 06 07"));
    QCOMPARE(cmdSetTime(QDateTime(QDate(2000, 1, 1), QTime(0, 0, 0))), hex("31 00 01 01 00 00 00"));
    QCOMPARE(cmdSetTime(QDateTime(QDate(2099, 12, 31), QTime(23, 59, 59))),
             hex("31 63 0C 1F 17 3B 3B"));
}

void TestCommands::readBlocksLimit_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("count");
    QTest::addColumn<QByteArray>("payload");
    QTest::newRow("0 + 2500") << 0 << 2500 << hex("32 00 00 09 C4");
    QTest::newRow("2499 + 1") << 2499 << 1 << hex("32 09 C3 00 01");
    QTest::newRow("258 + 0") << 258 << 0 << hex("32 01 02 00 00");
    QTest::newRow("0 + 2501") << 0 << 2501 << QByteArray();
    QTest::newRow("2500 + 1") << 2500 << 1 << QByteArray();
    QTest::newRow("1 + 2500") << 1 << 2500 << QByteArray();
    QTest::newRow("negative start") << -1 << 3 << QByteArray();
    QTest::newRow("negative count") << 3 << -1 << QByteArray();
    QTest::newRow("sum overflows int") << 10 << std::numeric_limits<int>::max() << QByteArray();
}

void TestCommands::readBlocksLimit()
{
    QFETCH(int, start);
    QFETCH(int, count);
    QFETCH(QByteArray, payload);
    QCOMPARE(cmdReadBlocks(start, count), payload);
}

void TestCommands::controlSettings_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("hold on") << cmdSetHold(true) << controlPayload(0x0002, 1, 1);
    QTest::newRow("hold off") << cmdSetHold(false) << controlPayload(0x0002, 1, 0);
    QTest::newRow("bluetooth on") << cmdSetBluetooth(true) << controlPayload(0x0004, 2, 1);
    QTest::newRow("power-off on") << cmdSetAutoPowerOff(true) << controlPayload(0x0008, 3, 1);
    QTest::newRow("mode average") << cmdSetMeasuringMode(3) << controlPayload(0x0040, 9, 3);
    QTest::newRow("mode 4 -> 0") << cmdSetMeasuringMode(4) << controlPayload(0x0040, 9, 0);
    QTest::newRow("mode -1 -> 0") << cmdSetMeasuringMode(-1) << controlPayload(0x0040, 9, 0);
    QTest::newRow("unit Kelvin") << cmdSetUnit(2) << controlPayload(0x0080, 10, 2);
    QTest::newRow("unit 3 -> 0") << cmdSetUnit(3) << controlPayload(0x0080, 10, 0);
    QTest::newRow("unit 255 -> 0") << cmdSetUnit(255) << controlPayload(0x0080, 10, 0);
    QTest::newRow("difference T4") << cmdSetDifferenceMode(4) << controlPayload(0x0100, 11, 4);
    QTest::newRow("difference 5 -> 0") << cmdSetDifferenceMode(5) << controlPayload(0x0100, 11, 0);
    QTest::newRow("60 Hz") << cmdSetFrequency(true) << controlPayload(0x0200, 12, 1);
    QTest::newRow("50 Hz") << cmdSetFrequency(false) << controlPayload(0x0200, 12, 0);
}

void TestCommands::controlSettings()
{
    QFETCH(QByteArray, payload);
    QFETCH(QByteArray, expected);
    QCOMPARE(payload, expected);
}

void TestCommands::intervalIsBigEndian()
{
    QCOMPARE(cmdSetInterval(86400), hex("43 00 20 00 00 00 00 00 00 01 51 80 00 00 00 00"));
    QCOMPARE(cmdSetInterval(0x12345678), hex("43 00 20 00 00 00 00 00 12 34 56 78 00 00 00 00"));
}

void TestCommands::channelType_data()
{
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("payload");
    QTest::newRow("T1 N") << 1 << 6 << channelPayload(0x01, 0, 6);
    QTest::newRow("T2 J") << 2 << 1 << channelPayload(0x02, 1, 1);
    QTest::newRow("T3 K") << 3 << 0 << channelPayload(0x04, 2, 0);
    QTest::newRow("T4 S") << 4 << 5 << channelPayload(0x08, 3, 5);
    QTest::newRow("T1 code 7 -> 0") << 1 << 7 << channelPayload(0x01, 0, 0);
    QTest::newRow("T4 code 200 -> 0") << 4 << 200 << channelPayload(0x08, 3, 0);
    QTest::newRow("channel 5") << 5 << 1 << QByteArray();
    QTest::newRow("channel 0") << 0 << 1 << QByteArray();
}

void TestCommands::channelType()
{
    QFETCH(int, channel);
    QFETCH(int, code);
    QFETCH(QByteArray, payload);
    QCOMPARE(cmdSetChannelType(channel, code), payload);
}

void TestCommands::channelOffset_data()
{
    QTest::addColumn<int>("channel");
    QTest::addColumn<int>("tenths");
    QTest::addColumn<QByteArray>("payload");
    QTest::newRow("T1 +50") << 1 << 50 << channelPayload(0x10, 4, 0x32);
    QTest::newRow("T2 -50") << 2 << -50 << channelPayload(0x20, 5, 0xCE);
    QTest::newRow("T3 -1") << 3 << -1 << channelPayload(0x40, 6, 0xFF);
    QTest::newRow("T4 0") << 4 << 0 << channelPayload(0x80, 7, 0);
    QTest::newRow("T1 +51") << 1 << 51 << QByteArray();
    QTest::newRow("T1 -51") << 1 << -51 << QByteArray();
    QTest::newRow("T4 +256") << 4 << 256 << QByteArray();
    QTest::newRow("channel 5") << 5 << 10 << QByteArray();
}

void TestCommands::channelOffset()
{
    QFETCH(int, channel);
    QFETCH(int, tenths);
    QFETCH(QByteArray, payload);
    QCOMPARE(cmdSetChannelOffset(channel, tenths), payload);
}

void TestCommands::answerLengthTable()
{
    const int expected[] = {23, 50, 1027, 6, 1, 5, 17, 9, -1, 2, -1};
    for (int type = 0; type <= 10; ++type)
        QCOMPARE(answerPayloadLength(quint8(type)), expected[type]);
    QCOMPARE(answerPayloadLength(0x30), -1);
    QCOMPARE(answerPayloadLength(0xFF), -1);
}

void TestCommands::parseCommands()
{
    _T_TIME t;
    QVERIFY(parseSetTime(hex("31 1A 03 04 05 06 07"), &t));
    QCOMPARE(timeToBytes(t), hex("1A 03 04 05 06 07"));

    quint16 start = 0, count = 0;
    QVERIFY(parseReadBlocks(hex("32 09 C3 00 01"), &start, &count));
    QCOMPARE(start, quint16(2499));
    QCOMPARE(count, quint16(1));

    ControlChange cc;
    QVERIFY(parseControlChange(cmdSetInterval(86400), &cc));
    QCOMPARE(cc.mask, quint16(CtrlMaskInterval));
    QCOMPARE(ctrlInterval(cc.block), quint32(86400));
    QVERIFY(parseControlChange(cmdSetUnit(1), &cc));
    QCOMPARE(cc.mask, quint16(CtrlMaskUnit));
    QCOMPARE(cc.block.unit, quint8(1));

    ChannelChange ch;
    QVERIFY(parseChannelChange(cmdSetChannelOffset(3, -7), &ch));
    QCOMPARE(ch.mask, quint16(0x40));
    QCOMPARE(ch.block.offset[2], qint8(-7));

    bool started = false;
    QVERIFY(parseRecordingFlag(hex("45 01"), &started));
    QVERIFY(started);
    QVERIFY(parseRecordingFlag(hex("45 00"), &started));
    QVERIFY(!started);
}

void TestCommands::parseRejectsWrongLengthOrCode()
{
    _T_TIME t;
    QVERIFY(!parseSetTime(hex("31 1A 03 04 05 06"), &t));
    QVERIFY(!parseSetTime(hex("32 1A 03 04 05 06 07"), &t));
    quint16 a, b;
    QVERIFY(!parseReadBlocks(hex("32 00 00 00 03 00"), &a, &b));
    ControlChange cc;
    QVERIFY(!parseControlChange(cmdSetUnit(1).left(15), &cc));
    QVERIFY(!parseControlChange(cmdSetChannelType(1, 1), &cc));
    ChannelChange ch;
    QVERIFY(!parseChannelChange(cmdSetChannelType(1, 1) + '\0', &ch));
    bool started;
    QVERIFY(!parseRecordingFlag(QByteArray(), &started));
}

void TestCommands::applyControlChangeTouchesMaskedFieldsOnly()
{
    const QByteArray before = hex("11 01 01 01 44 00 00 00 3C 01 01 01 01 AB CD EF");
    _T_CTRL_CONFIG cfg = ctrlConfigFromBytes(before);

    ControlChange cc;
    QVERIFY(parseControlChange(cmdSetInterval(0x01020304), &cc));
    applyControlChange(cc, &cfg);
    QCOMPARE(ctrlConfigToBytes(cfg), hex("11 01 01 01 44 01 02 03 04 01 01 01 01 AB CD EF"));

    QVERIFY(parseControlChange(cmdSetHold(false), &cc));
    applyControlChange(cc, &cfg);
    QVERIFY(parseControlChange(cmdSetDifferenceMode(3), &cc));
    applyControlChange(cc, &cfg);
    QCOMPARE(ctrlConfigToBytes(cfg), hex("11 00 01 01 44 01 02 03 04 01 01 03 01 AB CD EF"));

    // Two fields under one mask.
    QVERIFY(parseControlChange(hex("43 02 80 00 00 00 00 00 00 00 00 00 00 02 00 00"), &cc));
    applyControlChange(cc, &cfg);
    QCOMPARE(ctrlConfigToBytes(cfg), hex("11 00 01 01 44 01 02 03 04 01 02 03 00 AB CD EF"));
}

void TestCommands::applyChannelChangeTouchesMaskedFieldsOnly()
{
    _T_CH_CONFIG cfg = chConfigFromBytes(hex("01 02 03 04 05 06 07 08"));
    ChannelChange ch;
    QVERIFY(parseChannelChange(cmdSetChannelType(2, TypeN), &ch));
    applyChannelChange(ch, &cfg);
    QVERIFY(parseChannelChange(cmdSetChannelOffset(4, -50), &ch));
    applyChannelChange(ch, &cfg);
    QCOMPARE(chConfigToBytes(cfg), hex("01 06 03 04 05 06 07 CE"));
}

void TestCommands::answerPayloads()
{
    QCOMPARE(ansDeviceInfo("KX740D", 1, 5),
             hex("00") + QByteArray("KX740D") + QByteArray(14, '\0') + hex("01 05"));
    const QByteArray longName("ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    QCOMPARE(ansDeviceInfo(longName, 2, 0), hex("00") + longName.left(20) + hex("02 00"));

    _T_PRINT_OUT_DATA reading;
    reading.value[0] = 20.5f;
    reading.mode = 2;
    const QByteArray live = ansLiveReading(reading);
    QCOMPARE(live.size(), 50);
    QCOMPARE(live.left(5), hex("01 00 00 A4 41"));
    QCOMPARE(live.at(49), '\x02');

    QCOMPARE(ansProgress(2500, 0x0102), hex("03 09 C4 01 02 00"));
    QCOMPARE(ansEnd(), hex("04"));
    QCOMPARE(ansStoredCount(80000), hex("05 00 01 38 80"));

    _T_CTRL_CONFIG ctrl;
    ctrl.unit = 1;
    setCtrlInterval(ctrl, 60);
    QCOMPARE(ansCtrlConfig(ctrl), hex("06 00 00 00 00 00 00 00 00 3C 00 01 00 00 00 00 00"));

    _T_CH_CONFIG chc;
    chc.type[3] = TypeB;
    chc.offset[0] = -3;
    QCOMPARE(ansChConfig(chc), hex("07 00 00 00 07 FD 00 00 00"));
    QCOMPARE(ansStatus(0x5A), hex("09 5A"));
}

void TestCommands::blockAnswer()
{
    const quint8 type[4] = {0, 1, 2, 3};
    const quint8 state[4] = {0, 0, 0, 3};
    const _T_TIME time = timeFromDateTime(QDateTime(QDate(2026, 1, 2), QTime(3, 4, 5)));
    QVector<_T_EE_TEST_DATA> records;
    for (int i = 0; i < 3; ++i) {
        const float value[4] = {float(i), 1.5f, -2.0f, 0.0f};
        records << makeStoredRecord(type, state, time, value);
    }
    const QByteArray p = ansBlock(2499, records);
    QCOMPARE(p.size(), 1027);
    QCOMPARE(p.left(3), hex("02 09 C3"));
    for (int i = 0; i < 3; ++i) {
        const char *r = p.constData() + 3 + 32 * i;
        QVERIFY(recordChecksumValid(r));
        QCOMPARE(eeTestDataFromBytes(r), records.at(i));
    }
    // Missing records are zero bytes, which do not pass the record check.
    QVERIFY(!recordChecksumValid(p.constData() + 3 + 32 * 3));
    QCOMPARE(p.mid(3 + 32 * 3), QByteArray(1027 - 3 - 32 * 3, '\0'));
}

QTEST_GUILESS_MAIN(TestCommands)
#include "tst_commands.moc"
