#include "sim/instrumentmodel.h"

#include "instrument/commands.h"

#include <QVector>

#include <algorithm>
#include <cmath>

namespace {

// Measuring range of each thermocouple type in degrees Celsius (K J T E R S N B).
struct Range
{
    float low;
    float high;
};
constexpr Range kTypeRanges[8] = {
    {-200, 1372}, {-210, 1200}, {-250, 400},  {-150, 1000},
    {0, 1767},    {0, 1767},    {-200, 1300}, {0, 1820},
};

// Longest recording interval the instrument accepts, one day.
constexpr quint32 kMaxIntervalSeconds = 86400;

quint64 mix(quint64 x)
{
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

// Calendar fields of `secs` seconds since 1970 in a zone `utcOffset` seconds
// ahead of UTC (days-to-civil after H. Hinnant), without a time-zone lookup per
// record.
_T_TIME timeFields(qint64 secs, int utcOffset)
{
    const qint64 local = secs + utcOffset;
    qint64 days = local / 86400;
    qint64 rem = local % 86400;
    if (rem < 0) {
        rem += 86400;
        --days;
    }
    days += 719468;
    const qint64 era = (days >= 0 ? days : days - 146096) / 146097;
    const qint64 doe = days - era * 146097;
    const qint64 yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const qint64 doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const qint64 mp = (5 * doy + 2) / 153;
    const qint64 day = doy - (153 * mp + 2) / 5 + 1;
    const qint64 month = mp < 10 ? mp + 3 : mp - 9;
    const qint64 year = yoe + era * 400 + (month <= 2 ? 1 : 0);

    _T_TIME t;
    t.year = yearByte(int(year));
    t.month = quint8(month);
    t.day = quint8(day);
    t.hour = quint8(rem / 3600);
    t.minute = quint8(rem / 60 % 60);
    t.second = quint8(rem % 60);
    return t;
}

_T_EE_TEST_DATA erasedRecord()
{
    return eeTestDataFromBytes(QByteArray(kEeTestDataSize, char(0xFF)));
}

} // namespace

InstrumentModel::InstrumentModel(const SimulatorOptions &options, const QDateTime &startTime)
    : m_options(options), m_curves(options.seed), m_startMs(startTime.toMSecsSinceEpoch()),
      m_ctrl(factoryControl(options.bluetoothOn)), m_ch(factoryChannels()),
      m_storedCount(quint32(qBound(0, options.storedRecords, kMaxStoredRecords)))
{
    m_storeStartMs = m_startMs - qint64(m_storedCount) * kStoreIntervalSeconds * 1000;
}

_T_CTRL_CONFIG InstrumentModel::factoryControl(bool bluetooth)
{
    _T_CTRL_CONFIG c;
    c.bluetooth = bluetooth ? 1 : 0;
    c.autoPowerOff = 1;
    setCtrlInterval(c, 1);
    return c;
}

_T_CH_CONFIG InstrumentModel::factoryChannels()
{
    return _T_CH_CONFIG(); // type K, no offset on every channel
}

bool InstrumentModel::channelConnected(int channel) const
{
    return channel < kChannelCount - 1 || m_options.allChannelsConnected;
}

quint8 InstrumentModel::status() const
{
    return quint8((m_recording ? 0x01 : 0) | (m_ctrl.hold ? 0x02 : 0) |
                  (m_ctrl.bluetooth ? 0x04 : 0));
}

QDateTime InstrumentModel::instrumentClock(const QDateTime &now) const
{
    return now.addMSecs(m_clockOffsetMs);
}

void InstrumentModel::resetModeStats()
{
    for (ModeStats &s : m_stats)
        s = ModeStats();
}

InstrumentModel::Reaction InstrumentModel::handleCommand(const QByteArray &payload,
                                                         const QDateTime &now)
{
    Reaction r;
    if (payload.isEmpty())
        return r;
    const quint8 code = quint8(payload.at(0));
    if (payload.size() != commandPayloadLength(code))
        return r;

    switch (code) {
    case kCmdDeviceInfo:
        r.answers << ansDeviceInfo(m_options.deviceName, kFirmwareMajor, kFirmwareMinor);
        break;
    case kCmdSetTime: {
        _T_TIME t;
        parseSetTime(payload, &t);
        const QDateTime set = dateTimeFromTime(t);
        if (set.isValid())
            m_clockOffsetMs = set.toMSecsSinceEpoch() - now.toMSecsSinceEpoch();
        break;
    }
    case kCmdReadBlocks: {
        quint16 start = 0;
        quint16 count = 0;
        parseReadBlocks(payload, &start, &count);
        r.action = Action::StartDownload;
        r.firstBlock = start;
        r.blockCount = start >= kMaxBlocks ? 0 : quint16(qMin<int>(count, kMaxBlocks - start));
        break;
    }
    case kCmdStoredCount:
        r.answers << ansStoredCount(m_storedCount);
        break;
    case kCmdErase:
        m_storedCount = 0;
        r.action = Action::Erase;
        break;
    case kCmdConfigQuery35:
        r.answers << ansCtrlConfig(m_ctrl);
        break;
    case kCmdConfigQuery37:
        r.answers << ansChConfig(m_ch);
        break;
    case kCmdResetSettings:
        m_ctrl = factoryControl(m_options.bluetoothOn);
        m_ch = factoryChannels();
        m_haveHeld = false;
        resetModeStats();
        r.answers << ansCtrlConfig(m_ctrl) << ansChConfig(m_ch);
        break;
    case kCmdAbort:
        if (quint8(payload.at(1)) == kAbortArgument)
            r.action = Action::AbortDownload;
        break;
    case kCmdControl:
        applyControl(payload);
        r.answers << ansCtrlConfig(m_ctrl);
        break;
    case kCmdChannel:
        applyChannels(payload);
        r.answers << ansChConfig(m_ch);
        break;
    case kCmdRecording:
        parseRecordingFlag(payload, &m_recording);
        r.answers << ansStatus(status());
        break;
    default:
        break;
    }
    return r;
}

void InstrumentModel::applyControl(const QByteArray &payload)
{
    ControlChange change;
    if (!parseControlChange(payload, &change))
        return;
    // The instrument keeps its own bytes 0 and 4.
    change.mask &= quint16(~(CtrlMaskReserved0 | CtrlMaskReserved4));
    _T_CTRL_CONFIG c = m_ctrl;
    applyControlChange(change, &c);

    const auto keepIfAbove = [](quint8 &field, quint8 old, int limit) {
        if (field > limit)
            field = old;
    };
    keepIfAbove(c.hold, m_ctrl.hold, 1);
    keepIfAbove(c.bluetooth, m_ctrl.bluetooth, 1);
    keepIfAbove(c.autoPowerOff, m_ctrl.autoPowerOff, 1);
    keepIfAbove(c.frequency, m_ctrl.frequency, 1);
    keepIfAbove(c.measuringMode, m_ctrl.measuringMode, 3);
    keepIfAbove(c.unit, m_ctrl.unit, 2);
    keepIfAbove(c.differenceMode, m_ctrl.differenceMode, 4);
    if (ctrlInterval(c) > kMaxIntervalSeconds)
        setCtrlInterval(c, ctrlInterval(m_ctrl));

    if (c.measuringMode != m_ctrl.measuringMode)
        resetModeStats();
    if (c.hold && !m_ctrl.hold) {
        m_held = m_last;
        m_haveHeld = m_haveLast;
    } else if (!c.hold) {
        m_haveHeld = false;
    }
    m_ctrl = c;
}

void InstrumentModel::applyChannels(const QByteArray &payload)
{
    ChannelChange change;
    if (!parseChannelChange(payload, &change))
        return;
    _T_CH_CONFIG c = m_ch;
    applyChannelChange(change, &c);
    for (int ch = 0; ch < kChannelCount; ++ch) {
        if (c.type[ch] > TypeB)
            c.type[ch] = m_ch.type[ch];
        if (c.offset[ch] < kMinOffsetTenths || c.offset[ch] > kMaxOffsetTenths)
            c.offset[ch] = m_ch.offset[ch];
    }
    if (!(c == m_ch)) {
        resetModeStats();
        m_haveHeld = false; // a new type or offset shows at once, even on hold
    }
    m_ch = c;
}

_T_PRINT_OUT_DATA InstrumentModel::liveReading(double seconds)
{
    _T_PRINT_OUT_DATA r;
    const bool holding = m_ctrl.hold && m_haveHeld;
    for (int ch = 0; ch < kChannelCount; ++ch) {
        const quint8 type = m_ch.type[ch] & 0x07;
        quint8 state = StateNoReading;
        float value = 0;
        if (holding) {
            value = m_held.value[ch];
            state = statusState(m_held.status[ch]);
        } else if (channelConnected(ch)) {
            const Range range = kTypeRanges[type];
            value = m_curves.channel(ch, seconds) + float(m_ch.offset[ch]) / 10.0f;
            state = StateValue;
            if (value < range.low) {
                state = StateBelowRange;
                value = range.low;
            } else if (value > range.high) {
                state = StateAboveRange;
                value = range.high;
            }
        }
        r.value[ch] = value;
        r.status[ch] = statusByte(type, state);

        ModeStats &s = m_stats[ch];
        if (state == StateValue && !holding && m_ctrl.measuringMode != 0) {
            s.max = s.count == 0 ? value : std::max(s.max, value);
            s.min = s.count == 0 ? value : std::min(s.min, value);
            s.sum += value;
            ++s.count;
        }
        switch (m_ctrl.measuringMode) {
        case 1:
            r.modeValue[ch] = s.max;
            break;
        case 2:
            r.modeValue[ch] = s.min;
            break;
        case 3:
            r.modeValue[ch] = s.count ? float(s.sum / s.count) : 0.0f;
            break;
        default:
            break;
        }
        if (m_ctrl.measuringMode == 0)
            r.modeState[ch] = StateNoReading;
        else
            r.modeState[ch] = s.count ? quint8(StateValue) : state;
    }
    r.ambient = m_curves.ambient(seconds);
    r.mode = m_ctrl.measuringMode;
    m_last = r;
    m_haveLast = true;
    return r;
}

bool InstrumentModel::recordIsBad(int position) const
{
    if (m_options.badRecordRate <= 0)
        return false;
    const quint64 h = mix(mix(quint64(m_options.seed) ^ 0xB4D5EEDULL) ^ quint64(position));
    return double(h >> 11) / double(1ULL << 53) < m_options.badRecordRate;
}

_T_EE_TEST_DATA InstrumentModel::storedRecord(int position) const
{
    const qint64 ms = m_storeStartMs + qint64(position) * kStoreIntervalSeconds * 1000;
    return storedRecordAt(position, QDateTime::fromMSecsSinceEpoch(ms).offsetFromUtc());
}

_T_EE_TEST_DATA InstrumentModel::storedRecordAt(int position, int utcOffset) const
{
    const qint64 ms = m_storeStartMs + qint64(position) * kStoreIntervalSeconds * 1000;
    const double t = double(ms - m_startMs) / 1000.0;
    quint8 type[kChannelCount] = {};
    quint8 state[kChannelCount] = {};
    float value[kChannelCount] = {};
    for (int ch = 0; ch < kChannelCount; ++ch) {
        type[ch] = TypeK;
        state[ch] = channelConnected(ch) ? StateValue : StateNoReading;
        value[ch] = channelConnected(ch) ? m_curves.channel(ch, t) : 0.0f;
    }
    _T_EE_TEST_DATA rec = makeStoredRecord(type, state, timeFields(ms / 1000, utcOffset), value);
    if (recordIsBad(position))
        rec.checksum = quint16(rec.checksum + 1);
    return rec;
}

QByteArray InstrumentModel::blockAnswer(quint16 block) const
{
    static const _T_EE_TEST_DATA erased = erasedRecord();
    QVector<_T_EE_TEST_DATA> records(kRecordsPerBlock, erased);
    const int first = int(block) * kRecordsPerBlock;
    if (first < int(m_storedCount)) {
        // One zone lookup per block; a block spans only half a minute.
        const qint64 ms = m_storeStartMs + qint64(first) * kStoreIntervalSeconds * 1000;
        const int utcOffset = QDateTime::fromMSecsSinceEpoch(ms).offsetFromUtc();
        for (int i = 0; i < kRecordsPerBlock && first + i < int(m_storedCount); ++i)
            records[i] = storedRecordAt(first + i, utcOffset);
    }
    return ansBlock(block, records);
}
