#pragma once

#include "instrument/records.h"

#include <QByteArray>
#include <QDateTime>
#include <QVector>

// Payloads exchanged with the KX740D, without the frame around them
// (encodeFrame in link/frame.h adds it). A command payload starts with its
// command code, an answer payload with its answer type. Numbers in command
// bodies and answer headers are big-endian.

// ---- Command codes (computer to instrument) ----

constexpr quint8 kCmdDeviceInfo = 0x30;
constexpr quint8 kCmdSetTime = 0x31;
constexpr quint8 kCmdReadBlocks = 0x32;
constexpr quint8 kCmdStoredCount = 0x33;
constexpr quint8 kCmdErase = 0x34;
// The two configuration queries; which one the instrument answers with the
// control and which with the channel configuration is the instrument's choice.
constexpr quint8 kCmdConfigQuery35 = 0x35;
constexpr quint8 kCmdConfigQuery37 = 0x37;
constexpr quint8 kCmdResetSettings = 0x3B;
constexpr quint8 kCmdAbort = 0x42;
constexpr quint8 kAbortArgument = 0x24;
constexpr quint8 kCmdControl = 0x43;
constexpr quint8 kCmdChannel = 0x44;
constexpr quint8 kCmdRecording = 0x45;

// Payload length of each command, code included; -1 for an unknown code.
int commandPayloadLength(quint8 code);

// ---- Answer types (instrument to computer) and their exact payload lengths ----

constexpr quint8 kAnsDeviceInfo = 0;
constexpr quint8 kAnsLiveReading = 1;
constexpr quint8 kAnsBlock = 2;
constexpr quint8 kAnsProgress = 3;
constexpr quint8 kAnsEnd = 4;
constexpr quint8 kAnsStoredCount = 5;
constexpr quint8 kAnsCtrlConfig = 6;
constexpr quint8 kAnsChConfig = 7;
constexpr quint8 kAnsStatus = 9;

constexpr int kAnsDeviceInfoLength = 23; // type, name (20), firmware major, minor
constexpr int kAnsLiveReadingLength = 1 + kPrintOutWireSize;
constexpr int kAnsBlockLength = 1027; // type, block number (2), 32 records
// type, maximum (2), current (2) and a last byte the computer does not read
constexpr int kAnsProgressLength = 6;
constexpr int kAnsEndLength = 1;
constexpr int kAnsStoredCountLength = 5; // type, count (4)
constexpr int kAnsCtrlConfigLength = 1 + kCtrlConfigSize;
constexpr int kAnsChConfigLength = 1 + kChConfigSize;
constexpr int kAnsStatusLength = 2;

constexpr int kDeviceNameSize = 20;

// Payload length an answer of `type` must have, type byte included; -1 for a
// type the computer does not accept.
int answerPayloadLength(quint8 type);

// ---- Stored-record store limits ----

constexpr int kRecordsPerBlock = 32;
// Blocks one read request may reach: start + count may not exceed this.
constexpr int kMaxBlocks = 2500;
constexpr int kMaxStoredRecords = kMaxBlocks * kRecordsPerBlock; // 80000

// ---- Control block (command 0x43, control configuration bytes 0-12) ----

enum ControlMask : quint16
{
    CtrlMaskReserved0 = 0x0001,
    CtrlMaskHold = 0x0002,
    CtrlMaskBluetooth = 0x0004,
    CtrlMaskAutoPowerOff = 0x0008,
    CtrlMaskReserved4 = 0x0010,
    CtrlMaskInterval = 0x0020,
    CtrlMaskMeasuringMode = 0x0040,
    CtrlMaskUnit = 0x0080,
    CtrlMaskDifferenceMode = 0x0100,
    CtrlMaskFrequency = 0x0200,
};

// Values at or above these limits are sent as 0.
constexpr int kMeasuringModeCount = 4;  // normal, maximum, minimum, average
constexpr int kUnitCount = 3;           // Celsius, Fahrenheit, Kelvin
constexpr int kDifferenceModeCount = 5; // normal, relative to T1..T4

// ---- Channel block (command 0x44, channel configuration) ----

// Mask bit of channel `channel` (1..4) for its type code and for its offset.
constexpr quint16 channelTypeMask(int channel)
{
    return quint16(0x01 << (channel - 1));
}
constexpr quint16 channelOffsetMask(int channel)
{
    return quint16(0x10 << (channel - 1));
}

// Type codes at or above this are sent as 0 (type K).
constexpr int kTypeCodeCount = 7;
// Offsets are tenths of a degree Celsius; others are not sent.
constexpr int kMinOffsetTenths = -50;
constexpr int kMaxOffsetTenths = 50;

// ---- Command builders ----
//
// Each returns the payload to frame and send, or an empty QByteArray when the
// arguments make a command that must not be sent.

QByteArray cmdDeviceInfoQuery();
// 31 yy mo dd hh mi ss from the local date and time in `now`.
QByteArray cmdSetTime(const QDateTime &now);
// Empty when start or count is negative or start + count > kMaxBlocks.
QByteArray cmdReadBlocks(int start, int count);
QByteArray cmdStoredCountQuery();
QByteArray cmdErase();
QByteArray cmdConfigQuery35();
QByteArray cmdConfigQuery37();
QByteArray cmdResetSettings();
QByteArray cmdAbortTransfer();

// Control change carrying bytes 0-12 of `block` under `mask`, as given.
QByteArray cmdControlChange(quint16 mask, const _T_CTRL_CONFIG &block);
// One control setting each; the rest of the block is 0. Out-of-range
// measuring mode, unit and difference mode (negative included) are sent as 0.
QByteArray cmdSetHold(bool on);
QByteArray cmdSetBluetooth(bool on);
QByteArray cmdSetAutoPowerOff(bool on);
QByteArray cmdSetInterval(quint32 seconds);
QByteArray cmdSetMeasuringMode(int mode);
QByteArray cmdSetUnit(int unit);
QByteArray cmdSetDifferenceMode(int mode);
QByteArray cmdSetFrequency(bool sixtyHertz);

// Channel change carrying `block` under `mask`, as given.
QByteArray cmdChannelChange(quint16 mask, const _T_CH_CONFIG &block);
// Channel 1..4, otherwise empty. A type code outside 0..6 is sent as 0.
QByteArray cmdSetChannelType(int channel, int typeCode);
// Channel 1..4 and an offset of -50..+50 tenths, otherwise empty.
QByteArray cmdSetChannelOffset(int channel, int tenths);

QByteArray cmdNotifyRecording(bool started);

// ---- Reading commands (the instrument's side) ----
//
// Each takes a whole command payload, code included, and fails unless code
// and length match.

bool parseSetTime(const QByteArray &payload, _T_TIME *time);
bool parseReadBlocks(const QByteArray &payload, quint16 *start, quint16 *count);

struct ControlChange
{
    quint16 mask = 0;
    _T_CTRL_CONFIG block; // bytes 13-15 are 0
};
bool parseControlChange(const QByteArray &payload, ControlChange *change);
// Copies every field named by the mask into `cfg`; other bytes stay.
void applyControlChange(const ControlChange &change, _T_CTRL_CONFIG *cfg);

struct ChannelChange
{
    quint16 mask = 0;
    _T_CH_CONFIG block;
};
bool parseChannelChange(const QByteArray &payload, ChannelChange *change);
void applyChannelChange(const ChannelChange &change, _T_CH_CONFIG *cfg);

bool parseRecordingFlag(const QByteArray &payload, bool *started);

// ---- Answer builders (the instrument's side) ----

// `name` is cut or zero-padded to 20 bytes.
QByteArray ansDeviceInfo(const QByteArray &name, quint8 firmwareMajor, quint8 firmwareMinor);
QByteArray ansLiveReading(const _T_PRINT_OUT_DATA &reading);
// The records are written as given (checksums not recomputed); missing records
// up to 32 are zero bytes, which fail the record checksum; extra ones are left
// out.
QByteArray ansBlock(quint16 block, const QVector<_T_EE_TEST_DATA> &records);
QByteArray ansProgress(quint16 maximum, quint16 current);
QByteArray ansEnd();
QByteArray ansStoredCount(quint32 count);
QByteArray ansCtrlConfig(const _T_CTRL_CONFIG &cfg);
QByteArray ansChConfig(const _T_CH_CONFIG &cfg);
QByteArray ansStatus(quint8 status);
