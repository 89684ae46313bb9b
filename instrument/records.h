#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QMetaType>
#include <QPair>
#include <QtEndian>

#include <cstddef>
#include <cstring>

// Records exchanged with the KX740D. Inside them every multi-byte number is
// little-endian and temperatures are IEEE 754 single-precision degrees
// Celsius, while the command bodies around them are big-endian. The structs
// hold host values; the *FromBytes / *ToBytes functions convert between them
// and the exact byte images, so nothing depends on host byte order or
// alignment.

constexpr int kChannelCount = 4;

// Byte helpers over unaligned memory.

inline quint16 readU16LE(const char *p)
{
    return qFromLittleEndian<quint16>(p);
}
inline void writeU16LE(char *p, quint16 v)
{
    qToLittleEndian<quint16>(v, p);
}
inline quint16 readU16BE(const char *p)
{
    return qFromBigEndian<quint16>(p);
}
inline void writeU16BE(char *p, quint16 v)
{
    qToBigEndian<quint16>(v, p);
}
inline quint32 readU32BE(const char *p)
{
    return qFromBigEndian<quint32>(p);
}
inline void writeU32BE(char *p, quint32 v)
{
    qToBigEndian<quint32>(v, p);
}
inline float readFloatLE(const char *p)
{
    const quint32 bits = qFromLittleEndian<quint32>(p);
    float v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
}
inline void writeFloatLE(char *p, float v)
{
    quint32 bits;
    std::memcpy(&bits, &v, sizeof bits);
    qToLittleEndian<quint32>(bits, p);
}

// Thermocouple type codes (low three bits used by the instrument).
enum ThermocoupleType : quint8
{
    TypeK = 0,
    TypeJ = 1,
    TypeT = 2,
    TypeE = 3,
    TypeR = 4,
    TypeS = 5,
    TypeN = 6,
    TypeB = 7,
};

// Reading states. Any value above 2 means the channel has no reading
// (no thermocouple attached).
enum ReadingState : quint8
{
    StateValue = 0,
    StateBelowRange = 1,
    StateAboveRange = 2,
    StateNoReading = 3,
};

// Status byte of a live reading: type code in the low nibble, reading state in
// the high nibble.
constexpr quint8 statusByte(quint8 typeCode, quint8 state)
{
    return quint8(((state & 0x0F) << 4) | (typeCode & 0x0F));
}
constexpr quint8 statusTypeCode(quint8 status)
{
    return status & 0x0F;
}
constexpr quint8 statusState(quint8 status)
{
    return status >> 4;
}

// One live reading (answer type 1). 49 bytes on the wire; in memory the three
// bytes after the measuring mode are zero padding.
struct _T_PRINT_OUT_DATA
{
    float value[kChannelCount] = {};      // 0: readings of T1..T4
    quint8 status[kChannelCount] = {};    // 16: see statusByte()
    float modeValue[kChannelCount] = {};  // 20: instrument's max, min or average per `mode`
    quint8 modeState[kChannelCount] = {}; // 36: reading state of each mode value
    float ambient = 0;                    // 40: ambient temperature
    quint8 carried[4] = {};               // 44: kept as received
    quint8 mode = 0;                      // 48: measuring mode 0 normal, 1 max, 2 min, 3 average
    quint8 zero[3] = {};                  // 49: never transmitted
};
static_assert(sizeof(_T_PRINT_OUT_DATA) == 52, "live reading is 52 bytes in memory");
static_assert(offsetof(_T_PRINT_OUT_DATA, status) == 16, "status bytes at 16");
static_assert(offsetof(_T_PRINT_OUT_DATA, modeValue) == 20, "mode values at 20");
static_assert(offsetof(_T_PRINT_OUT_DATA, modeState) == 36, "mode states at 36");
static_assert(offsetof(_T_PRINT_OUT_DATA, ambient) == 40, "ambient at 40");
static_assert(offsetof(_T_PRINT_OUT_DATA, mode) == 48, "measuring mode at 48");

constexpr int kPrintOutWireSize = 49;

// Time stamp of a live reading: year - 2000, month, day, hour, minute, second.
struct _T_TIME
{
    quint8 year = 0;
    quint8 month = 0;
    quint8 day = 0;
    quint8 hour = 0;
    quint8 minute = 0;
    quint8 second = 0;
};
static_assert(sizeof(_T_TIME) == 6, "time stamp is 6 bytes");
static_assert(sizeof(QPair<_T_PRINT_OUT_DATA, _T_TIME>) == 60,
              "recorded reading is 60 bytes in memory");

// Control configuration (answer type 6). Bytes 0 to 12 are the control block
// that command 0x43 carries.
struct _T_CTRL_CONFIG
{
    quint8 reserved0 = 0;      // 0: the instrument's own
    quint8 hold = 0;           // 1: 0 off, 1 on
    quint8 bluetooth = 0;      // 2: 0 off, 1 on
    quint8 autoPowerOff = 0;   // 3: 0 off, 1 on
    quint8 reserved4 = 0;      // 4: the instrument's own
    quint8 interval[4] = {};   // 5: recording interval in seconds, big-endian
    quint8 measuringMode = 0;  // 9: 0 normal, 1 maximum, 2 minimum, 3 average
    quint8 unit = 0;           // 10: 0 Celsius, 1 Fahrenheit, 2 Kelvin
    quint8 differenceMode = 0; // 11: 0 normal, 1..4 relative to T1..T4
    quint8 frequency = 0;      // 12: line rejection, 0 = 50 Hz, 1 = 60 Hz
    quint8 carried[3] = {};    // 13: the instrument's own
};
static_assert(sizeof(_T_CTRL_CONFIG) == 16, "control configuration is 16 bytes");
static_assert(offsetof(_T_CTRL_CONFIG, interval) == 5, "interval at 5");
static_assert(offsetof(_T_CTRL_CONFIG, unit) == 10, "unit at 10");

constexpr int kCtrlConfigSize = 16;
constexpr int kControlBlockSize = 13;

// Channel configuration (answer type 7), the same layout as the channel block
// of command 0x44.
struct _T_CH_CONFIG
{
    quint8 type[kChannelCount] = {};  // type codes of T1..T4
    qint8 offset[kChannelCount] = {}; // offsets of T1..T4 in tenths of a degree Celsius
};
static_assert(sizeof(_T_CH_CONFIG) == 8, "channel configuration is 8 bytes");

constexpr int kChConfigSize = 8;

// One stored record, as the instrument keeps it and as measurements and data
// files hold it.
struct _T_EE_TEST_DATA
{
    quint16 checksum = 0;             // 0: see recordChecksum(); 0 for live readings
    quint8 type[kChannelCount] = {};  // 2: type codes of T1..T4
    quint8 state[kChannelCount] = {}; // 6: reading states of T1..T4
    quint8 year = 0;                  // 10: year - 2000
    quint8 month = 0;                 // 11
    quint8 day = 0;                   // 12
    quint8 hour = 0;                  // 13
    quint8 minute = 0;                // 14
    quint8 second = 0;                // 15
    float value[kChannelCount] = {};  // 16: readings of T1..T4
};
static_assert(sizeof(_T_EE_TEST_DATA) == 32, "stored record is 32 bytes");
static_assert(offsetof(_T_EE_TEST_DATA, year) == 10, "date at 10");
static_assert(offsetof(_T_EE_TEST_DATA, value) == 16, "readings at 16");

constexpr int kEeTestDataSize = 32;

// Equality compares the byte images, so a NaN reading equals its own copy.
bool operator==(const _T_PRINT_OUT_DATA &a, const _T_PRINT_OUT_DATA &b);
bool operator==(const _T_TIME &a, const _T_TIME &b);
bool operator==(const _T_CTRL_CONFIG &a, const _T_CTRL_CONFIG &b);
bool operator==(const _T_CH_CONFIG &a, const _T_CH_CONFIG &b);
bool operator==(const _T_EE_TEST_DATA &a, const _T_EE_TEST_DATA &b);
inline bool operator!=(const _T_PRINT_OUT_DATA &a, const _T_PRINT_OUT_DATA &b)
{
    return !(a == b);
}
inline bool operator!=(const _T_TIME &a, const _T_TIME &b)
{
    return !(a == b);
}
inline bool operator!=(const _T_CTRL_CONFIG &a, const _T_CTRL_CONFIG &b)
{
    return !(a == b);
}
inline bool operator!=(const _T_CH_CONFIG &a, const _T_CH_CONFIG &b)
{
    return !(a == b);
}
inline bool operator!=(const _T_EE_TEST_DATA &a, const _T_EE_TEST_DATA &b)
{
    return !(a == b);
}

// Conversions to and from byte images. The readers take a pointer to at least
// the record's wire size; the QByteArray overloads read the first bytes of
// `bytes` and treat missing bytes as zero.

_T_PRINT_OUT_DATA printOutFromBytes(const char *bytes); // 49 bytes
_T_PRINT_OUT_DATA printOutFromBytes(const QByteArray &bytes);
QByteArray printOutToBytes(const _T_PRINT_OUT_DATA &rec); // 49 bytes
void printOutToBytes(const _T_PRINT_OUT_DATA &rec, char *out);

_T_TIME timeFromBytes(const char *bytes); // 6 bytes
QByteArray timeToBytes(const _T_TIME &t);

_T_CTRL_CONFIG ctrlConfigFromBytes(const char *bytes); // 16 bytes
_T_CTRL_CONFIG ctrlConfigFromBytes(const QByteArray &bytes);
QByteArray ctrlConfigToBytes(const _T_CTRL_CONFIG &cfg); // 16 bytes

_T_CH_CONFIG chConfigFromBytes(const char *bytes); // 8 bytes
_T_CH_CONFIG chConfigFromBytes(const QByteArray &bytes);
QByteArray chConfigToBytes(const _T_CH_CONFIG &cfg); // 8 bytes

_T_EE_TEST_DATA eeTestDataFromBytes(const char *bytes); // 32 bytes
_T_EE_TEST_DATA eeTestDataFromBytes(const QByteArray &bytes);
QByteArray eeTestDataToBytes(const _T_EE_TEST_DATA &rec); // 32 bytes
void eeTestDataToBytes(const _T_EE_TEST_DATA &rec, char *out);

// Recording interval of a control configuration (bytes 5-8, big-endian).
quint32 ctrlInterval(const _T_CTRL_CONFIG &cfg);
void setCtrlInterval(_T_CTRL_CONFIG &cfg, quint32 seconds);

// Year byte of the instrument's dates: year - 2000, computed as the low byte
// of year + 48 (2000 gives 0, 2026 gives 26).
constexpr quint8 yearByte(int year)
{
    return quint8((year + 48) & 0xFF);
}

// Local date and time as a time stamp, and back (milliseconds dropped / 0).
_T_TIME timeFromDateTime(const QDateTime &dt);
QDateTime dateTimeFromTime(const _T_TIME &t);

// Stored-record checksum: (0xAA55 + sum of bytes 2 to 31) modulo 65536, kept
// little-endian in bytes 0-1.
constexpr quint16 kRecordChecksumSeed = 0xAA55;
quint16 recordChecksum(const char *record32);
quint16 recordChecksum(const _T_EE_TEST_DATA &rec);
bool recordChecksumValid(const char *record32);
bool recordChecksumValid(const _T_EE_TEST_DATA &rec);

// A stored record as the instrument would hold it: fields from the arguments,
// checksum computed over them.
_T_EE_TEST_DATA makeStoredRecord(const quint8 (&type)[kChannelCount],
                                 const quint8 (&state)[kChannelCount], const _T_TIME &time,
                                 const float (&value)[kChannelCount]);

// A live reading and its time stamp as a stored record: checksum 0, type codes
// and states from the status nibbles, the time bytes and the four readings.
// Mode values, ambient temperature and measuring mode are not carried over.
_T_EE_TEST_DATA storedRecordFromReading(const _T_PRINT_OUT_DATA &reading, const _T_TIME &time);

Q_DECLARE_METATYPE(_T_PRINT_OUT_DATA)
Q_DECLARE_METATYPE(_T_TIME)
Q_DECLARE_METATYPE(_T_CTRL_CONFIG)
Q_DECLARE_METATYPE(_T_CH_CONFIG)
Q_DECLARE_METATYPE(_T_EE_TEST_DATA)

// Registers the records, their lists and the driver's other signal argument
// types with the meta-type system, so they travel through queued
// connections. Safe to call any number of times.
void registerRecordMetaTypes();
