#include "instrument/records.h"

#include <QList>
#include <QString>
#include <QVector>

#include <cstdint>

namespace {

template <typename T> bool sameBytes(const T &a, const T &b)
{
    return std::memcmp(&a, &b, sizeof(T)) == 0;
}

// Copies `bytes` into a zeroed buffer of `size` bytes, so short input reads as
// zero-filled.
QByteArray padded(const QByteArray &bytes, int size)
{
    QByteArray out(size, '\0');
    std::memcpy(out.data(), bytes.constData(), size_t(qMin(size, int(bytes.size()))));
    return out;
}

} // namespace

bool operator==(const _T_PRINT_OUT_DATA &a, const _T_PRINT_OUT_DATA &b)
{
    return sameBytes(a, b);
}
bool operator==(const _T_TIME &a, const _T_TIME &b)
{
    return sameBytes(a, b);
}
bool operator==(const _T_CTRL_CONFIG &a, const _T_CTRL_CONFIG &b)
{
    return sameBytes(a, b);
}
bool operator==(const _T_CH_CONFIG &a, const _T_CH_CONFIG &b)
{
    return sameBytes(a, b);
}
bool operator==(const _T_EE_TEST_DATA &a, const _T_EE_TEST_DATA &b)
{
    return sameBytes(a, b);
}

_T_PRINT_OUT_DATA printOutFromBytes(const char *bytes)
{
    _T_PRINT_OUT_DATA rec;
    for (int ch = 0; ch < kChannelCount; ++ch) {
        rec.value[ch] = readFloatLE(bytes + 4 * ch);
        rec.status[ch] = quint8(bytes[16 + ch]);
        rec.modeValue[ch] = readFloatLE(bytes + 20 + 4 * ch);
        rec.modeState[ch] = quint8(bytes[36 + ch]);
    }
    rec.ambient = readFloatLE(bytes + 40);
    std::memcpy(rec.carried, bytes + 44, sizeof rec.carried);
    rec.mode = quint8(bytes[48]);
    return rec;
}

_T_PRINT_OUT_DATA printOutFromBytes(const QByteArray &bytes)
{
    return printOutFromBytes(padded(bytes, kPrintOutWireSize).constData());
}

void printOutToBytes(const _T_PRINT_OUT_DATA &rec, char *out)
{
    for (int ch = 0; ch < kChannelCount; ++ch) {
        writeFloatLE(out + 4 * ch, rec.value[ch]);
        out[16 + ch] = char(rec.status[ch]);
        writeFloatLE(out + 20 + 4 * ch, rec.modeValue[ch]);
        out[36 + ch] = char(rec.modeState[ch]);
    }
    writeFloatLE(out + 40, rec.ambient);
    std::memcpy(out + 44, rec.carried, sizeof rec.carried);
    out[48] = char(rec.mode);
}

QByteArray printOutToBytes(const _T_PRINT_OUT_DATA &rec)
{
    char bytes[kPrintOutWireSize];
    printOutToBytes(rec, bytes);
    return QByteArray(bytes, kPrintOutWireSize);
}

_T_TIME timeFromBytes(const char *bytes)
{
    _T_TIME t;
    t.year = quint8(bytes[0]);
    t.month = quint8(bytes[1]);
    t.day = quint8(bytes[2]);
    t.hour = quint8(bytes[3]);
    t.minute = quint8(bytes[4]);
    t.second = quint8(bytes[5]);
    return t;
}

QByteArray timeToBytes(const _T_TIME &t)
{
    const char bytes[6] = {char(t.year), char(t.month),  char(t.day),
                           char(t.hour), char(t.minute), char(t.second)};
    return QByteArray(bytes, 6);
}

// The configurations consist of single bytes only (the interval is kept as its
// big-endian bytes), so their memory image is their wire image.

namespace {

template <typename Config> Config configFromImage(const char *bytes)
{
    Config cfg;
    std::memcpy(&cfg, bytes, sizeof(Config));
    return cfg;
}

template <typename Config> QByteArray configImage(const Config &cfg)
{
    return QByteArray(reinterpret_cast<const char *>(&cfg), int(sizeof(Config)));
}

} // namespace

_T_CTRL_CONFIG ctrlConfigFromBytes(const char *bytes)
{
    return configFromImage<_T_CTRL_CONFIG>(bytes);
}

_T_CTRL_CONFIG ctrlConfigFromBytes(const QByteArray &bytes)
{
    return ctrlConfigFromBytes(padded(bytes, kCtrlConfigSize).constData());
}

QByteArray ctrlConfigToBytes(const _T_CTRL_CONFIG &cfg)
{
    return configImage(cfg);
}

_T_CH_CONFIG chConfigFromBytes(const char *bytes)
{
    return configFromImage<_T_CH_CONFIG>(bytes);
}

_T_CH_CONFIG chConfigFromBytes(const QByteArray &bytes)
{
    return chConfigFromBytes(padded(bytes, kChConfigSize).constData());
}

QByteArray chConfigToBytes(const _T_CH_CONFIG &cfg)
{
    return configImage(cfg);
}

_T_EE_TEST_DATA eeTestDataFromBytes(const char *bytes)
{
    _T_EE_TEST_DATA rec;
    rec.checksum = readU16LE(bytes);
    for (int ch = 0; ch < kChannelCount; ++ch) {
        rec.type[ch] = quint8(bytes[2 + ch]);
        rec.state[ch] = quint8(bytes[6 + ch]);
        rec.value[ch] = readFloatLE(bytes + 16 + 4 * ch);
    }
    rec.year = quint8(bytes[10]);
    rec.month = quint8(bytes[11]);
    rec.day = quint8(bytes[12]);
    rec.hour = quint8(bytes[13]);
    rec.minute = quint8(bytes[14]);
    rec.second = quint8(bytes[15]);
    return rec;
}

_T_EE_TEST_DATA eeTestDataFromBytes(const QByteArray &bytes)
{
    return eeTestDataFromBytes(padded(bytes, kEeTestDataSize).constData());
}

void eeTestDataToBytes(const _T_EE_TEST_DATA &rec, char *out)
{
    writeU16LE(out, rec.checksum);
    for (int ch = 0; ch < kChannelCount; ++ch) {
        out[2 + ch] = char(rec.type[ch]);
        out[6 + ch] = char(rec.state[ch]);
        writeFloatLE(out + 16 + 4 * ch, rec.value[ch]);
    }
    out[10] = char(rec.year);
    out[11] = char(rec.month);
    out[12] = char(rec.day);
    out[13] = char(rec.hour);
    out[14] = char(rec.minute);
    out[15] = char(rec.second);
}

QByteArray eeTestDataToBytes(const _T_EE_TEST_DATA &rec)
{
    char bytes[kEeTestDataSize];
    eeTestDataToBytes(rec, bytes);
    return QByteArray(bytes, kEeTestDataSize);
}

quint32 ctrlInterval(const _T_CTRL_CONFIG &cfg)
{
    return readU32BE(reinterpret_cast<const char *>(cfg.interval));
}

void setCtrlInterval(_T_CTRL_CONFIG &cfg, quint32 seconds)
{
    writeU32BE(reinterpret_cast<char *>(cfg.interval), seconds);
}

_T_TIME timeFromDateTime(const QDateTime &dt)
{
    const QDate d = dt.date();
    const QTime t = dt.time();
    _T_TIME out;
    out.year = yearByte(d.year());
    out.month = quint8(d.month());
    out.day = quint8(d.day());
    out.hour = quint8(t.hour());
    out.minute = quint8(t.minute());
    out.second = quint8(t.second());
    return out;
}

QDateTime dateTimeFromTime(const _T_TIME &t)
{
    return QDateTime(QDate(2000 + t.year, t.month, t.day), QTime(t.hour, t.minute, t.second, 0));
}

quint16 recordChecksum(const char *record32)
{
    quint32 sum = kRecordChecksumSeed;
    for (int i = 2; i < kEeTestDataSize; ++i)
        sum += quint8(record32[i]);
    return quint16(sum & 0xFFFF);
}

quint16 recordChecksum(const _T_EE_TEST_DATA &rec)
{
    char bytes[kEeTestDataSize];
    eeTestDataToBytes(rec, bytes);
    return recordChecksum(bytes);
}

bool recordChecksumValid(const char *record32)
{
    return readU16LE(record32) == recordChecksum(record32);
}

bool recordChecksumValid(const _T_EE_TEST_DATA &rec)
{
    return rec.checksum == recordChecksum(rec);
}

_T_EE_TEST_DATA makeStoredRecord(const quint8 (&type)[kChannelCount],
                                 const quint8 (&state)[kChannelCount], const _T_TIME &time,
                                 const float (&value)[kChannelCount])
{
    _T_EE_TEST_DATA rec;
    for (int ch = 0; ch < kChannelCount; ++ch) {
        rec.type[ch] = type[ch];
        rec.state[ch] = state[ch];
        rec.value[ch] = value[ch];
    }
    rec.year = time.year;
    rec.month = time.month;
    rec.day = time.day;
    rec.hour = time.hour;
    rec.minute = time.minute;
    rec.second = time.second;
    rec.checksum = recordChecksum(rec);
    return rec;
}

_T_EE_TEST_DATA storedRecordFromReading(const _T_PRINT_OUT_DATA &reading, const _T_TIME &time)
{
    _T_EE_TEST_DATA rec;
    for (int ch = 0; ch < kChannelCount; ++ch) {
        rec.type[ch] = statusTypeCode(reading.status[ch]);
        rec.state[ch] = statusState(reading.status[ch]);
        rec.value[ch] = reading.value[ch];
    }
    rec.year = time.year;
    rec.month = time.month;
    rec.day = time.day;
    rec.hour = time.hour;
    rec.minute = time.minute;
    rec.second = time.second;
    return rec;
}

void registerRecordMetaTypes()
{
    qRegisterMetaType<_T_PRINT_OUT_DATA>("_T_PRINT_OUT_DATA");
    qRegisterMetaType<_T_TIME>("_T_TIME");
    qRegisterMetaType<_T_CTRL_CONFIG>("_T_CTRL_CONFIG");
    qRegisterMetaType<_T_CH_CONFIG>("_T_CH_CONFIG");
    qRegisterMetaType<_T_EE_TEST_DATA>("_T_EE_TEST_DATA");
    qRegisterMetaType<QPair<_T_PRINT_OUT_DATA, _T_TIME>>("QPair<_T_PRINT_OUT_DATA,_T_TIME>");
    qRegisterMetaType<QVector<_T_EE_TEST_DATA>>("QVector<_T_EE_TEST_DATA>");
    qRegisterMetaType<QList<QList<QString>>>("QList<QList<QString> >");
    qRegisterMetaType<uint64_t>("uint64_t");
}
