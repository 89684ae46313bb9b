#include "instrument/records.h"

#include <QtTest>

#include <cmath>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

// Stored record with checksum EE AD: types K J N B, states 0 1 2 3,
// 2026-03-04 05:06:07, readings 20.5, -1.0, 1234.5, 0.0.
const char *const kStoredRecordHex = "EE AD 00 01 06 07 00 01 02 03 1A 03 04 05 06 07"
                                     " 00 00 A4 41 00 00 80 BF 00 50 9A 44 00 00 00 00";

} // namespace

class TestRecords : public QObject
{
    Q_OBJECT

private slots:
    void liveReadingFromWire();
    void liveReadingRoundTrip();
    void timeStamp();
    void controlConfiguration();
    void channelConfiguration();
    void storedRecordFromWire();
    void storedRecordRoundTrip();
    void recordChecksumRule();
    void recordChecksumRejectsAnyFlippedBit();
    void builtRecordsCarryValidChecksum();
    void readingToStoredRecord();
};

void TestRecords::liveReadingFromWire()
{
    const QByteArray wire = hex("00 00 A4 41  00 00 80 BF  00 50 9A 44  00 00 C8 41" // T1..T4
                                "06 10 21 37"                                        // status
                                "00 00 C8 42  00 00 20 C2  00 60 96 43  00 00 48 C1" // mode values
                                "00 01 02 03"                                        // mode states
                                "00 00 BA 41"                                        // ambient
                                "DE AD BE EF"                                        // carried
                                "03");                                               // mode
    QCOMPARE(wire.size(), 49);

    const _T_PRINT_OUT_DATA r = printOutFromBytes(wire);
    QCOMPARE(r.value[0], 20.5f);
    QCOMPARE(r.value[1], -1.0f);
    QCOMPARE(r.value[2], 1234.5f);
    QCOMPARE(r.value[3], 25.0f);
    QCOMPARE(r.status[0], quint8(0x06));
    QCOMPARE(r.status[3], quint8(0x37));
    QCOMPARE(r.modeValue[0], 100.0f);
    QCOMPARE(r.modeValue[1], -40.0f);
    QCOMPARE(r.modeValue[2], 300.75f);
    QCOMPARE(r.modeValue[3], -12.5f);
    QCOMPARE(r.modeState[2], quint8(2));
    QCOMPARE(r.ambient, 23.25f);
    QCOMPARE(r.carried[0], quint8(0xDE));
    QCOMPARE(r.carried[3], quint8(0xEF));
    QCOMPARE(r.mode, quint8(3));
    QCOMPARE(r.zero[0] | r.zero[1] | r.zero[2], 0);

    // Reading from an unaligned position inside a larger payload.
    const QByteArray payload = QByteArray(1, '\x01') + wire;
    QVERIFY(printOutFromBytes(payload.constData() + 1) == r);
}

void TestRecords::liveReadingRoundTrip()
{
    QByteArray wire(49, '\0');
    for (int i = 0; i < wire.size(); ++i)
        wire[i] = char(i * 7 + 3);
    QCOMPARE(printOutToBytes(printOutFromBytes(wire)), wire);

    // A NaN reading survives bit for bit.
    QByteArray nan = wire;
    nan.replace(0, 4, hex("01 00 C0 7F"));
    QCOMPARE(printOutToBytes(printOutFromBytes(nan)), nan);
    QVERIFY(std::isnan(printOutFromBytes(nan).value[0]));
}

void TestRecords::timeStamp()
{
    QCOMPARE(yearByte(2026), quint8(26));
    QCOMPARE(yearByte(2000), quint8(0));
    QCOMPARE(yearByte(2099), quint8(99));

    const QDateTime when(QDate(2026, 3, 4), QTime(5, 6, 7, 890));
    const _T_TIME t = timeFromDateTime(when);
    QCOMPARE(timeToBytes(t), hex("1A 03 04 05 06 07"));
    QVERIFY(timeFromBytes(hex("1A 03 04 05 06 07").constData()) == t);
    QCOMPARE(dateTimeFromTime(t), QDateTime(QDate(2026, 3, 4), QTime(5, 6, 7)));

    const _T_TIME y2k = timeFromDateTime(QDateTime(QDate(2000, 12, 31), QTime(23, 59, 59)));
    QCOMPARE(timeToBytes(y2k), hex("00 0C 1F 17 3B 3B"));
}

void TestRecords::controlConfiguration()
{
    // hold on, Bluetooth on, power-off off, interval 86400, average, Kelvin,
    // relative to T4, 60 Hz; bytes 0, 4 and 13-15 carried as received.
    const QByteArray wire = hex("11 01 01 00 44 00 01 51 80 03 02 04 01 AB CD EF");
    const _T_CTRL_CONFIG c = ctrlConfigFromBytes(wire);
    QCOMPARE(c.reserved0, quint8(0x11));
    QCOMPARE(c.hold, quint8(1));
    QCOMPARE(c.bluetooth, quint8(1));
    QCOMPARE(c.autoPowerOff, quint8(0));
    QCOMPARE(c.reserved4, quint8(0x44));
    QCOMPARE(ctrlInterval(c), quint32(86400));
    QCOMPARE(c.measuringMode, quint8(3));
    QCOMPARE(c.unit, quint8(2));
    QCOMPARE(c.differenceMode, quint8(4));
    QCOMPARE(c.frequency, quint8(1));
    QCOMPARE(c.carried[2], quint8(0xEF));
    QCOMPARE(ctrlConfigToBytes(c), wire);

    _T_CTRL_CONFIG d = c;
    setCtrlInterval(d, 0x01020304);
    QCOMPARE(ctrlConfigToBytes(d), hex("11 01 01 00 44 01 02 03 04 03 02 04 01 AB CD EF"));
}

void TestRecords::channelConfiguration()
{
    const QByteArray wire = hex("00 06 07 03 CE 32 FF 00");
    const _T_CH_CONFIG c = chConfigFromBytes(wire);
    QCOMPARE(c.type[1], quint8(TypeN));
    QCOMPARE(c.type[2], quint8(TypeB));
    QCOMPARE(c.offset[0], qint8(-50));
    QCOMPARE(c.offset[1], qint8(50));
    QCOMPARE(c.offset[2], qint8(-1));
    QCOMPARE(c.offset[3], qint8(0));
    QCOMPARE(chConfigToBytes(c), wire);
}

void TestRecords::storedRecordFromWire()
{
    const QByteArray wire = hex(kStoredRecordHex);
    const _T_EE_TEST_DATA r = eeTestDataFromBytes(wire);
    QCOMPARE(r.checksum, quint16(0xADEE));
    QCOMPARE(r.type[0], quint8(TypeK));
    QCOMPARE(r.type[1], quint8(TypeJ));
    QCOMPARE(r.type[2], quint8(TypeN));
    QCOMPARE(r.type[3], quint8(TypeB));
    QCOMPARE(r.state[1], quint8(StateBelowRange));
    QCOMPARE(r.state[3], quint8(StateNoReading));
    QCOMPARE(r.year, quint8(26));
    QCOMPARE(r.month, quint8(3));
    QCOMPARE(r.day, quint8(4));
    QCOMPARE(r.hour, quint8(5));
    QCOMPARE(r.minute, quint8(6));
    QCOMPARE(r.second, quint8(7));
    QCOMPARE(r.value[0], 20.5f);
    QCOMPARE(r.value[1], -1.0f);
    QCOMPARE(r.value[2], 1234.5f);
    QCOMPARE(r.value[3], 0.0f);
}

void TestRecords::storedRecordRoundTrip()
{
    const QByteArray wire = hex(kStoredRecordHex);
    QCOMPARE(eeTestDataToBytes(eeTestDataFromBytes(wire)), wire);

    // Written into a buffer at an odd offset.
    QByteArray buffer(40, '\x5A');
    eeTestDataToBytes(eeTestDataFromBytes(wire), buffer.data() + 3);
    QCOMPARE(buffer.mid(3, 32), wire);
    QCOMPARE(buffer.at(2), '\x5A');
    QCOMPARE(buffer.at(35), '\x5A');
}

void TestRecords::recordChecksumRule()
{
    const QByteArray good = hex(kStoredRecordHex);
    QCOMPARE(recordChecksum(good.constData()), quint16(0xADEE));
    QVERIFY(recordChecksumValid(good.constData()));
    QVERIFY(recordChecksumValid(eeTestDataFromBytes(good)));

    // Bytes 2-31 all zero: the checksum is the seed, stored as 55 AA.
    QByteArray empty(32, '\0');
    QVERIFY(!recordChecksumValid(empty.constData()));
    empty[0] = '\x55';
    empty[1] = '\xAA';
    QVERIFY(recordChecksumValid(empty.constData()));

    // The checksum bytes stored big-endian instead do not match.
    QByteArray swapped = good;
    swapped[0] = good[1];
    swapped[1] = good[0];
    QVERIFY(!recordChecksumValid(swapped.constData()));

    // All 0xFF: 0xAA55 + 30 * 255 = 0xC837.
    QByteArray full(32, '\xFF');
    QCOMPARE(recordChecksum(full.constData()), quint16(0xC837));
}

void TestRecords::recordChecksumRejectsAnyFlippedBit()
{
    const QByteArray good = hex(kStoredRecordHex);
    for (int byte = 0; byte < 32; ++byte) {
        for (int bit = 0; bit < 8; ++bit) {
            QByteArray bad = good;
            bad[byte] = char(bad[byte] ^ (1 << bit));
            QVERIFY2(!recordChecksumValid(bad.constData()),
                     qPrintable(QStringLiteral("byte %1 bit %2").arg(byte).arg(bit)));
        }
    }
}

void TestRecords::builtRecordsCarryValidChecksum()
{
    const quint8 type[4] = {TypeK, TypeJ, TypeN, TypeB};
    const quint8 state[4] = {0, 1, 2, 3};
    const _T_TIME time = timeFromBytes(hex("1A 03 04 05 06 07").constData());
    const float value[4] = {20.5f, -1.0f, 1234.5f, 0.0f};
    const _T_EE_TEST_DATA r = makeStoredRecord(type, state, time, value);
    QCOMPARE(eeTestDataToBytes(r), hex(kStoredRecordHex));
    QVERIFY(recordChecksumValid(r));

    _T_EE_TEST_DATA bad = r;
    bad.value[2] = 1234.25f;
    QVERIFY(!recordChecksumValid(bad));
}

void TestRecords::readingToStoredRecord()
{
    _T_PRINT_OUT_DATA reading;
    reading.value[0] = 20.5f;
    reading.value[3] = -12.5f;
    reading.status[0] = statusByte(TypeN, StateValue);
    reading.status[1] = statusByte(TypeJ, StateAboveRange);
    reading.status[2] = 0x10;
    reading.status[3] = 0x37;
    reading.modeValue[0] = 99.0f;
    reading.ambient = 23.25f;
    reading.mode = 1;
    const _T_TIME time = timeFromBytes(hex("1A 0C 1F 17 3B 3B").constData());

    const QByteArray expected = hex("00 00 06 01 00 07 00 02 01 03 1A 0C 1F 17 3B 3B"
                                    "00 00 A4 41 00 00 00 00 00 00 00 00 00 00 48 C1");
    QCOMPARE(eeTestDataToBytes(storedRecordFromReading(reading, time)), expected);
}

QTEST_GUILESS_MAIN(TestRecords)
#include "tst_records.moc"
