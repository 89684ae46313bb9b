#include "instrument/devkx740d.h"

#include "instrument/commands.h"
#include "link/serialhandle.h"

namespace {

bool validChannel(int channel)
{
    return channel >= 1 && channel <= kChannelCount;
}

QDateTime systemClock()
{
    return QDateTime::currentDateTime();
}

// Reading states of the four channels add up to this only when every one is
// "no reading" (the instrument sends states 0 to 3).
constexpr int kAllChannelsWithoutReading = 4 * StateNoReading;

} // namespace

DevKX740D::DevKX740D(QObject *parent) : QObject(parent), m_clock(systemClock)
{
    registerRecordMetaTypes();
    m_timer.setInterval(kTickIntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &DevKX740D::handleTimeOut);
    m_timer.start();
}

void DevKX740D::setOwnTick(bool on)
{
    if (on)
        m_timer.start();
    else
        m_timer.stop();
}

void DevKX740D::setClock(Clock clock)
{
    m_clock = clock ? std::move(clock) : Clock(systemClock);
}

void DevKX740D::setLink(SerialHandle *link)
{
    m_link = link;
    if (link) {
        handshake();
        return;
    }
    m_deviceName.clear();
    m_firmwareVersion.clear();
    m_identified = false;
}

void DevKX740D::handshake()
{
    if (!m_link || !m_link->isOpen()) {
        m_identified = false;
        return;
    }
    send(cmdDeviceInfoQuery());
    send(cmdSetTime(m_clock()));
    send(cmdConfigQuery35());
    send(cmdConfigQuery37());
    send(cmdStoredCountQuery());
}

void DevKX740D::send(const QByteArray &payload)
{
    if (m_link && !payload.isEmpty())
        m_link->sendFrame(payload);
}

qint8 DevKX740D::channelOffset(int channel) const
{
    return validChannel(channel) ? m_offsets[channel - 1] : 0;
}

int DevKX740D::channelType(int channel) const
{
    return validChannel(channel) ? m_types[channel - 1] : 0;
}

void DevKX740D::setHold(bool on)
{
    send(cmdSetHold(on));
}

void DevKX740D::setBluetooth(bool on)
{
    send(cmdSetBluetooth(on));
}

void DevKX740D::setAutoPowerOff(bool on)
{
    send(cmdSetAutoPowerOff(on));
}

void DevKX740D::setInterval(quint32 seconds)
{
    send(cmdSetInterval(seconds));
}

void DevKX740D::setMeasuringMode(int mode)
{
    send(cmdSetMeasuringMode(mode));
}

void DevKX740D::setUnit(int unit)
{
    send(cmdSetUnit(unit));
}

void DevKX740D::setDifferenceMode(int mode)
{
    send(cmdSetDifferenceMode(mode));
}

void DevKX740D::setFrequency(bool sixtyHertz)
{
    send(cmdSetFrequency(sixtyHertz));
}

void DevKX740D::setChannelType(int channel, int typeCode)
{
    send(cmdSetChannelType(channel, typeCode));
}

void DevKX740D::setChannelOffset(int channel, int tenths)
{
    if (!validChannel(channel))
        return;
    m_offsets[channel - 1] = qint8(tenths);
    send(cmdSetChannelOffset(channel, tenths));
}

void DevKX740D::queryConfig35()
{
    send(cmdConfigQuery35());
}

void DevKX740D::queryConfig37()
{
    send(cmdConfigQuery37());
}

void DevKX740D::resetSettings()
{
    send(cmdResetSettings());
}

void DevKX740D::readStoredBlocks(int startBlock, int blockCount)
{
    const QByteArray command = cmdReadBlocks(startBlock, blockCount);
    if (command.isEmpty())
        return;
    m_download.clear();
    m_downloadBlocks = 0;
    m_download.reserve(blockCount * kRecordsPerBlock);
    send(command);
}

QVector<_T_EE_TEST_DATA> DevKX740D::takeDownloadedRecords() const
{
    QVector<_T_EE_TEST_DATA> out;
    out.reserve(m_download.size());
    for (const DownloadedRecord &entry : m_download)
        out.append(entry.record);
    return out;
}

void DevKX740D::eraseStoredRecords()
{
    send(cmdErase());
}

void DevKX740D::queryStoredRecordCount()
{
    send(cmdStoredCountQuery());
}

void DevKX740D::stopTrans()
{
    send(cmdAbortTransfer());
}

void DevKX740D::notifyRecording(bool started)
{
    send(cmdNotifyRecording(started));
}

void DevKX740D::clearRecorded()
{
    m_recorded.clear();
    m_recordedCount = 0;
    m_haveRecordedTime = false;
    m_statistics.clear();
}

QList<RecordedReading> DevKX740D::lastRecorded(int n, bool all) const
{
    if (all || n >= m_recorded.size())
        return m_recorded;
    if (n <= 0)
        return QList<RecordedReading>();
    return m_recorded.mid(m_recorded.size() - n);
}

QVector<_T_EE_TEST_DATA> DevKX740D::recordedAsTestData() const
{
    QVector<_T_EE_TEST_DATA> out;
    out.reserve(m_recorded.size());
    for (const RecordedReading &r : m_recorded)
        out.append(storedRecordFromReading(r.first, r.second));
    return out;
}

void DevKX740D::handleTimeOut()
{
    const int second = m_clock().time().second();
    if (second != m_lastSecond) {
        ++m_secondCounter;
        if (m_recording) {
            m_recordDue = true;
            if (m_continue) {
                ++m_runningTime;
                emit continueTime(m_runningTime);
            }
        }
    }
    m_lastSecond = second;
}

void DevKX740D::codeDeal(const QByteArray &s)
{
    if (s.isEmpty())
        return;
    const quint8 type = quint8(s.at(0));
    if (s.size() != answerPayloadLength(type))
        return;
    const char *p = s.constData();
    switch (type) {
    case kAnsDeviceInfo:
        decodeDeviceInfo(p);
        break;
    case kAnsLiveReading:
        decodeLiveReading(p);
        break;
    case kAnsBlock:
        decodeBlock(p);
        break;
    case kAnsProgress:
        emit progressBar_range_update(readU16BE(p + 1), readU16BE(p + 3));
        break;
    case kAnsEnd:
        emit trans_end();
        break;
    case kAnsStoredCount:
        m_storedCount = readU32BE(p + 1);
        emit flash_used_num_update(int(m_storedCount));
        break;
    case kAnsCtrlConfig:
        m_ctrlConfig = ctrlConfigFromBytes(p + 1);
        m_interval = ctrlInterval(m_ctrlConfig);
        emit ctrl_setting(m_ctrlConfig);
        break;
    case kAnsChConfig:
        decodeChConfig(p);
        break;
    case kAnsStatus:
        m_statusByte = quint8(p[1]);
        break;
    default:
        break;
    }
}

void DevKX740D::decodeDeviceInfo(const char *p)
{
    const char *name = p + 1;
    m_deviceName = QString::fromUtf8(name, int(qstrnlen(name, kDeviceNameSize)));
    m_firmwareVersion =
        QString::number(quint8(p[21])) + QLatin1Char('.') + QString::number(quint8(p[22]));
    m_identified = true;
    emit deviceInfo(m_deviceName, m_firmwareVersion);
}

void DevKX740D::decodeChConfig(const char *p)
{
    m_chConfig = chConfigFromBytes(p + 1);
    for (int ch = 0; ch < kChannelCount; ++ch) {
        m_offsets[ch] = m_chConfig.offset[ch];
        m_types[ch] = m_chConfig.type[ch] & 7;
    }
    emit ch_setting(m_chConfig);
}

bool DevKX740D::shouldStore(const _T_PRINT_OUT_DATA &reading) const
{
    if (!m_recording || m_interval == 0 || m_secondCounter % m_interval != 0 || !m_recordDue)
        return false;
    int states = 0;
    for (quint8 status : reading.status)
        states += statusState(status);
    return states != kAllChannelsWithoutReading;
}

void DevKX740D::decodeLiveReading(const char *p)
{
    const _T_PRINT_OUT_DATA reading = printOutFromBytes(p + 1);
    m_ambient = reading.ambient;
    emit getTmp_e(m_ambient);
    const _T_TIME now = timeFromDateTime(m_clock());

    // At most one reading per second of the clock: when this tick's events
    // were held up past the next second (a busy machine), the reading that
    // is due waits for that second's turn instead of sharing a time stamp.
    const bool secondTaken = m_haveRecordedTime && m_lastRecordedTime == now;
    if (shouldStore(reading) && !secondTaken) {
        if (m_keepRecorded)
            m_recorded.append(qMakePair(reading, now));
        ++m_recordedCount;
        m_lastRecordedTime = now;
        m_haveRecordedTime = true;
        quint8 states[kChannelCount];
        for (int ch = 0; ch < kChannelCount; ++ch)
            states[ch] = statusState(reading.status[ch]);
        m_statistics.add(states, reading.value);
        m_recordDue = false;
        emit readingRecorded(reading, now);
        emit max_min_avg_info(m_statistics.texts(m_ctrlConfig.unit));
    }
    emit live_data(reading);
}

void DevKX740D::decodeBlock(const char *p)
{
    const quint32 block = readU16BE(p + 1);
    const char *records = p + 3;
    for (int i = 0; i < kRecordsPerBlock; ++i) {
        const char *r = records + kEeTestDataSize * i;
        if (!recordChecksumValid(r))
            continue;
        const quint32 position = block * kRecordsPerBlock + quint32(i);
        if (position < quint32(kMaxStoredRecords))
            m_download.append({eeTestDataFromBytes(r), position});
    }
    ++m_downloadBlocks;
    emit storedBlockReceived();
}
