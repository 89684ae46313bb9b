#include "instrument/commands.h"

namespace {

QByteArray single(quint8 code)
{
    return QByteArray(1, char(code));
}

// `value` when it lies in 0..count-1, else 0 (the setting's first entry).
quint8 inTableOrZero(int value, int count)
{
    return (value >= 0 && value < count) ? quint8(value) : 0;
}

struct ControlField
{
    quint16 mask;
    int first; // byte in the control block
    int size;
};
constexpr ControlField kControlFields[] = {
    {CtrlMaskReserved0, 0, 1},     {CtrlMaskHold, 1, 1},      {CtrlMaskBluetooth, 2, 1},
    {CtrlMaskAutoPowerOff, 3, 1},  {CtrlMaskReserved4, 4, 1}, {CtrlMaskInterval, 5, 4},
    {CtrlMaskMeasuringMode, 9, 1}, {CtrlMaskUnit, 10, 1},     {CtrlMaskDifferenceMode, 11, 1},
    {CtrlMaskFrequency, 12, 1},
};

QByteArray controlWith(quint16 mask, int byteIndex, quint8 value)
{
    _T_CTRL_CONFIG block;
    reinterpret_cast<quint8 *>(&block)[byteIndex] = value;
    return cmdControlChange(mask, block);
}

bool validChannel(int channel)
{
    return channel >= 1 && channel <= kChannelCount;
}

bool hasCode(const QByteArray &payload, quint8 code)
{
    return payload.size() == commandPayloadLength(code) && quint8(payload.at(0)) == code;
}

} // namespace

int commandPayloadLength(quint8 code)
{
    switch (code) {
    case kCmdDeviceInfo:
    case kCmdStoredCount:
    case kCmdErase:
    case kCmdConfigQuery35:
    case kCmdConfigQuery37:
    case kCmdResetSettings:
        return 1;
    case kCmdSetTime:
        return 7;
    case kCmdReadBlocks:
        return 5;
    case kCmdAbort:
    case kCmdRecording:
        return 2;
    case kCmdControl:
        return 3 + kControlBlockSize;
    case kCmdChannel:
        return 3 + kChConfigSize;
    default:
        return -1;
    }
}

int answerPayloadLength(quint8 type)
{
    switch (type) {
    case kAnsDeviceInfo:
        return kAnsDeviceInfoLength;
    case kAnsLiveReading:
        return kAnsLiveReadingLength;
    case kAnsBlock:
        return kAnsBlockLength;
    case kAnsProgress:
        return kAnsProgressLength;
    case kAnsEnd:
        return kAnsEndLength;
    case kAnsStoredCount:
        return kAnsStoredCountLength;
    case kAnsCtrlConfig:
        return kAnsCtrlConfigLength;
    case kAnsChConfig:
        return kAnsChConfigLength;
    case kAnsStatus:
        return kAnsStatusLength;
    default:
        return -1;
    }
}

QByteArray cmdDeviceInfoQuery()
{
    return single(kCmdDeviceInfo);
}

QByteArray cmdSetTime(const QDateTime &now)
{
    return single(kCmdSetTime) + timeToBytes(timeFromDateTime(now));
}

QByteArray cmdReadBlocks(int start, int count)
{
    if (start < 0 || count < 0 || start > kMaxBlocks - count)
        return QByteArray();
    QByteArray out(5, '\0');
    out[0] = char(kCmdReadBlocks);
    writeU16BE(out.data() + 1, quint16(start));
    writeU16BE(out.data() + 3, quint16(count));
    return out;
}

QByteArray cmdStoredCountQuery()
{
    return single(kCmdStoredCount);
}

QByteArray cmdErase()
{
    return single(kCmdErase);
}

QByteArray cmdConfigQuery35()
{
    return single(kCmdConfigQuery35);
}

QByteArray cmdConfigQuery37()
{
    return single(kCmdConfigQuery37);
}

QByteArray cmdResetSettings()
{
    return single(kCmdResetSettings);
}

QByteArray cmdAbortTransfer()
{
    QByteArray out(2, '\0');
    out[0] = char(kCmdAbort);
    out[1] = char(kAbortArgument);
    return out;
}

QByteArray cmdControlChange(quint16 mask, const _T_CTRL_CONFIG &block)
{
    QByteArray out(3, '\0');
    out[0] = char(kCmdControl);
    writeU16BE(out.data() + 1, mask);
    out += ctrlConfigToBytes(block).left(kControlBlockSize);
    return out;
}

QByteArray cmdSetHold(bool on)
{
    return controlWith(CtrlMaskHold, 1, on ? 1 : 0);
}

QByteArray cmdSetBluetooth(bool on)
{
    return controlWith(CtrlMaskBluetooth, 2, on ? 1 : 0);
}

QByteArray cmdSetAutoPowerOff(bool on)
{
    return controlWith(CtrlMaskAutoPowerOff, 3, on ? 1 : 0);
}

QByteArray cmdSetInterval(quint32 seconds)
{
    _T_CTRL_CONFIG block;
    setCtrlInterval(block, seconds);
    return cmdControlChange(CtrlMaskInterval, block);
}

QByteArray cmdSetMeasuringMode(int mode)
{
    return controlWith(CtrlMaskMeasuringMode, 9, inTableOrZero(mode, kMeasuringModeCount));
}

QByteArray cmdSetUnit(int unit)
{
    return controlWith(CtrlMaskUnit, 10, inTableOrZero(unit, kUnitCount));
}

QByteArray cmdSetDifferenceMode(int mode)
{
    return controlWith(CtrlMaskDifferenceMode, 11, inTableOrZero(mode, kDifferenceModeCount));
}

QByteArray cmdSetFrequency(bool sixtyHertz)
{
    return controlWith(CtrlMaskFrequency, 12, sixtyHertz ? 1 : 0);
}

QByteArray cmdChannelChange(quint16 mask, const _T_CH_CONFIG &block)
{
    QByteArray out(3, '\0');
    out[0] = char(kCmdChannel);
    writeU16BE(out.data() + 1, mask);
    out += chConfigToBytes(block);
    return out;
}

QByteArray cmdSetChannelType(int channel, int typeCode)
{
    if (!validChannel(channel))
        return QByteArray();
    _T_CH_CONFIG block;
    block.type[channel - 1] = inTableOrZero(typeCode, kTypeCodeCount);
    return cmdChannelChange(channelTypeMask(channel), block);
}

QByteArray cmdSetChannelOffset(int channel, int tenths)
{
    if (!validChannel(channel) || tenths < kMinOffsetTenths || tenths > kMaxOffsetTenths)
        return QByteArray();
    _T_CH_CONFIG block;
    block.offset[channel - 1] = qint8(tenths);
    return cmdChannelChange(channelOffsetMask(channel), block);
}

QByteArray cmdNotifyRecording(bool started)
{
    QByteArray out(2, '\0');
    out[0] = char(kCmdRecording);
    out[1] = started ? 1 : 0;
    return out;
}

bool parseSetTime(const QByteArray &payload, _T_TIME *time)
{
    if (!hasCode(payload, kCmdSetTime))
        return false;
    *time = timeFromBytes(payload.constData() + 1);
    return true;
}

bool parseReadBlocks(const QByteArray &payload, quint16 *start, quint16 *count)
{
    if (!hasCode(payload, kCmdReadBlocks))
        return false;
    *start = readU16BE(payload.constData() + 1);
    *count = readU16BE(payload.constData() + 3);
    return true;
}

bool parseControlChange(const QByteArray &payload, ControlChange *change)
{
    if (!hasCode(payload, kCmdControl))
        return false;
    change->mask = readU16BE(payload.constData() + 1);
    change->block = ctrlConfigFromBytes(payload.mid(3));
    return true;
}

void applyControlChange(const ControlChange &change, _T_CTRL_CONFIG *cfg)
{
    const auto *from = reinterpret_cast<const quint8 *>(&change.block);
    auto *to = reinterpret_cast<quint8 *>(cfg);
    for (const ControlField &field : kControlFields) {
        if (change.mask & field.mask)
            std::memcpy(to + field.first, from + field.first, size_t(field.size));
    }
}

bool parseChannelChange(const QByteArray &payload, ChannelChange *change)
{
    if (!hasCode(payload, kCmdChannel))
        return false;
    change->mask = readU16BE(payload.constData() + 1);
    change->block = chConfigFromBytes(payload.constData() + 3);
    return true;
}

void applyChannelChange(const ChannelChange &change, _T_CH_CONFIG *cfg)
{
    for (int ch = 1; ch <= kChannelCount; ++ch) {
        if (change.mask & channelTypeMask(ch))
            cfg->type[ch - 1] = change.block.type[ch - 1];
        if (change.mask & channelOffsetMask(ch))
            cfg->offset[ch - 1] = change.block.offset[ch - 1];
    }
}

bool parseRecordingFlag(const QByteArray &payload, bool *started)
{
    if (!hasCode(payload, kCmdRecording))
        return false;
    *started = payload.at(1) != 0;
    return true;
}

QByteArray ansDeviceInfo(const QByteArray &name, quint8 firmwareMajor, quint8 firmwareMinor)
{
    QByteArray out(kAnsDeviceInfoLength, '\0');
    out[0] = char(kAnsDeviceInfo);
    std::memcpy(out.data() + 1, name.constData(), size_t(qMin(int(name.size()), kDeviceNameSize)));
    out[21] = char(firmwareMajor);
    out[22] = char(firmwareMinor);
    return out;
}

QByteArray ansLiveReading(const _T_PRINT_OUT_DATA &reading)
{
    return QByteArray(1, char(kAnsLiveReading)) + printOutToBytes(reading);
}

QByteArray ansBlock(quint16 block, const QVector<_T_EE_TEST_DATA> &records)
{
    QByteArray out(kAnsBlockLength, '\0');
    out[0] = char(kAnsBlock);
    writeU16BE(out.data() + 1, block);
    const int n = qMin(int(records.size()), kRecordsPerBlock);
    for (int i = 0; i < n; ++i)
        eeTestDataToBytes(records.at(i), out.data() + 3 + kEeTestDataSize * i);
    return out;
}

QByteArray ansProgress(quint16 maximum, quint16 current)
{
    QByteArray out(kAnsProgressLength, '\0');
    out[0] = char(kAnsProgress);
    writeU16BE(out.data() + 1, maximum);
    writeU16BE(out.data() + 3, current);
    return out;
}

QByteArray ansEnd()
{
    return single(kAnsEnd);
}

QByteArray ansStoredCount(quint32 count)
{
    QByteArray out(kAnsStoredCountLength, '\0');
    out[0] = char(kAnsStoredCount);
    writeU32BE(out.data() + 1, count);
    return out;
}

QByteArray ansCtrlConfig(const _T_CTRL_CONFIG &cfg)
{
    return QByteArray(1, char(kAnsCtrlConfig)) + ctrlConfigToBytes(cfg);
}

QByteArray ansChConfig(const _T_CH_CONFIG &cfg)
{
    return QByteArray(1, char(kAnsChConfig)) + chConfigToBytes(cfg);
}

QByteArray ansStatus(quint8 status)
{
    QByteArray out(kAnsStatusLength, '\0');
    out[0] = char(kAnsStatus);
    out[1] = char(status);
    return out;
}
