#pragma once

#include "instrument/channelstatistics.h"
#include "instrument/records.h"

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QTimer>
#include <QVector>

#include <cstdint>
#include <functional>

class SerialHandle;

// One recorded reading: the live reading and the local time it was decoded.
using RecordedReading = QPair<_T_PRINT_OUT_DATA, _T_TIME>;

// A stored record taken from a download and its position in the
// instrument's store (block number * 32 + index in the block).
struct DownloadedRecord
{
    _T_EE_TEST_DATA record;
    quint32 position = 0;
};

// The KX740D driver. It decodes every answer payload the link delivers
// (codeDeal) into the shared records and typed signals, keeps the
// instrument's last reported state, records live readings while a recording
// runs and keeps their maximum, minimum and average, collects downloaded
// stored records, and sends every command. Answers are never paired with
// commands: each is handled whenever it arrives, and malformed ones (unknown
// type, wrong length) are ignored.
//
// Timing: a 200 ms tick (handleTimeOut) watches the wall-clock second. Each
// change of the second counts one second; while recording it makes a reading
// due, and with the continue flag set it also counts the running time. A live
// reading is stored when recording, the interval is not 0, the second count is
// a multiple of the interval, a reading is due and not all four channels lack
// a reading; so at most one reading a second, only in every interval-th
// second.
//
// The date and time come from a replaceable clock, and handleTimeOut can be
// called directly, so tests and benchmarks run hours of recording without
// waiting. Everything runs on the thread the object lives on; no locking.
class DevKX740D : public QObject
{
    Q_OBJECT

public:
    static constexpr int kTickIntervalMs = 200;
    using Clock = std::function<QDateTime()>;

    explicit DevKX740D(QObject *parent = nullptr);

    // Local date and time used for time stamps, the set-time command and the
    // tick. An empty function restores the system clock.
    void setClock(Clock clock);

    // The link commands go through; not owned. A link runs the connection
    // handshake (device information, set time, both configuration queries,
    // stored-record count) when its port is open; on a closed port it only
    // clears the identified flag. Null forgets name, firmware and the
    // identified flag. Commands go nowhere while the link is null.
    void setLink(SerialHandle *link);
    SerialHandle *link() const { return m_link; }

    // ---- The instrument's last reported state ----
    bool isIdentified() const { return m_identified; }
    QString deviceName() const { return m_deviceName; }
    QString firmwareVersion() const { return m_firmwareVersion; }
    float ambientTemperature() const { return m_ambient; }
    // Channel 1 to 4; 0 for other channels. Offsets in tenths of a degree.
    qint8 channelOffset(int channel) const;
    int channelType(int channel) const;
    quint32 storedRecordCount() const { return m_storedCount; }
    // Recording interval in seconds from the last control configuration.
    quint32 interval() const { return m_interval; }
    _T_CTRL_CONFIG ctrlConfig() const { return m_ctrlConfig; }
    _T_CH_CONFIG chConfig() const { return m_chConfig; }
    quint8 statusByte() const { return m_statusByte; }

    // ---- Settings commands (one field each) ----
    void setHold(bool on);
    void setBluetooth(bool on);
    void setAutoPowerOff(bool on);
    void setInterval(quint32 seconds);
    // Out-of-range values (negative included) are sent as 0.
    void setMeasuringMode(int mode);
    void setUnit(int unit);
    void setDifferenceMode(int mode);
    void setFrequency(bool sixtyHertz);
    // Channel 1 to 4, otherwise nothing is sent; a code of 7 or more is sent
    // as 0 (type K).
    void setChannelType(int channel, int typeCode);
    // Keeps the offset of channel 1 to 4 (as a signed byte) and sends it only
    // when it lies within -50..+50 tenths.
    void setChannelOffset(int channel, int tenths);
    // The two configuration queries (0x35, 0x37).
    void queryConfig35();
    void queryConfig37();
    // The instrument's settings back to factory values; stored records stay.
    void resetSettings();

    // ---- Stored records ----
    // Asks for `blockCount` blocks of 32 records from `startBlock` on and
    // empties the download list. A request reaching past block 2500 (or
    // with a negative argument) does nothing at all.
    void readStoredBlocks(int startBlock, int blockCount);
    // The records of the download list in arrival order. The list stays
    // until the next readStoredBlocks.
    QVector<_T_EE_TEST_DATA> takeDownloadedRecords() const;
    const QVector<DownloadedRecord> &downloadList() const { return m_download; }
    // Blocks of the download that arrived, whatever their records' checksums.
    int downloadedBlockCount() const { return m_downloadBlocks; }
    void eraseStoredRecords();
    void queryStoredRecordCount();

    // ---- Recording ----
    void setRecording(bool on) { m_recording = on; }
    bool isRecording() const { return m_recording; }
    // Tells the instrument that a recording started or stopped (0x45).
    void notifyRecording(bool started);
    void setContinue(bool on) { m_continue = on; }
    bool isContinue() const { return m_continue; }
    void setRunningTime(quint64 seconds) { m_runningTime = seconds; }
    quint64 runningTime() const { return m_runningTime; }
    quint64 secondCounter() const { return m_secondCounter; }
    // Several drivers ticked by one clock store in the same seconds when
    // they count them alike: a driver added later takes the others' count.
    void setSecondCounter(quint64 count) { m_secondCounter = count; }
    // Whether the driver's own 200 ms tick runs (the default). Off, its owner
    // calls handleTimeOut() itself, as a recorder of several instruments
    // does for all of them at once.
    void setOwnTick(bool on);
    bool isRecordDue() const { return m_recordDue; }

    // Forgets the recorded readings and their statistics.
    void clearRecorded();
    // Whether stored readings are also kept in the list below (the
    // default). A program that records for months keeps them on disk
    // instead, takes each from readingRecorded() and keeps none here: the
    // count and the statistics still go on.
    void setKeepRecorded(bool keep) { m_keepRecorded = keep; }
    bool keepsRecorded() const { return m_keepRecorded; }
    // Goes on with a recording whose last reading was stored at `time`
    // (by an earlier run): no second reading is stored in that second.
    void setLastRecordedTime(const _T_TIME &time)
    {
        m_lastRecordedTime = time;
        m_haveRecordedTime = true;
    }
    // The local date and time of the driver's clock.
    QDateTime now() const { return m_clock(); }
    // The last `n` recorded readings (none for n <= 0); all of them when
    // `all` is set or n covers the whole list.
    QList<RecordedReading> lastRecorded(int n, bool all = false) const;
    // Readings stored since the last clearRecorded(), kept or not.
    int recordedCount() const { return m_recordedCount; }
    // Recorded reading `i` (0 <= i < recordedCount()) while readings are
    // kept, without a copy.
    const RecordedReading &recordedAt(int i) const { return m_recorded.at(i); }
    // The recorded readings as stored records (checksum 0), in order.
    QVector<_T_EE_TEST_DATA> recordedAsTestData() const;
    const RecordingStatistics &statistics() const { return m_statistics; }

signals:
    void deviceInfo(QString dev_name, QString fw_ver);
    void live_data(_T_PRINT_OUT_DATA s);
    void getTmp_e(float s);
    void ctrl_setting(_T_CTRL_CONFIG ctrl_code);
    void ch_setting(_T_CH_CONFIG ch_code);
    // Transfer progress: `now` counts the blocks still to come.
    void progressBar_range_update(int max, int now);
    // A block of stored records arrived (whatever its records' checksums).
    void storedBlockReceived();
    // End of a transfer or of an erase (not told apart).
    void trans_end();
    void flash_used_num_update(int mun);
    // [maximum T1-T4], [minimum T1-T4], [average T1-T4] after each stored reading.
    void max_min_avg_info(QList<QList<QString>> info_sss);
    // One reading stored while recording, sent before max_min_avg_info.
    void readingRecorded(const _T_PRINT_OUT_DATA &reading, const _T_TIME &time);
    void continueTime(uint64_t cnt);

public slots:
    // Decodes one answer payload (type byte first).
    void codeDeal(const QByteArray &s);
    // The 200 ms tick.
    void handleTimeOut();
    // Aborts a stored-record transfer (0x42 0x24).
    void stopTrans();

private:
    void send(const QByteArray &payload);
    void handshake();
    void decodeDeviceInfo(const char *p);
    void decodeLiveReading(const char *p);
    void decodeBlock(const char *p);
    void decodeChConfig(const char *p);
    bool shouldStore(const _T_PRINT_OUT_DATA &reading) const;

    SerialHandle *m_link = nullptr;
    Clock m_clock;
    QTimer m_timer;

    QString m_deviceName;
    QString m_firmwareVersion;
    bool m_identified = false;
    float m_ambient = 0;
    qint8 m_offsets[kChannelCount] = {};
    int m_types[kChannelCount] = {};
    quint32 m_storedCount = 0;
    QVector<DownloadedRecord> m_download;
    int m_downloadBlocks = 0;
    _T_CTRL_CONFIG m_ctrlConfig;
    _T_CH_CONFIG m_chConfig;
    quint8 m_statusByte = 0;

    bool m_recording = false;
    quint32 m_interval = 0;
    quint64 m_secondCounter = 0;
    int m_lastSecond = 0;
    bool m_recordDue = false;
    quint64 m_runningTime = 0;
    bool m_continue = false;
    QList<RecordedReading> m_recorded;
    bool m_keepRecorded = true;
    int m_recordedCount = 0;
    _T_TIME m_lastRecordedTime;
    bool m_haveRecordedTime = false;
    RecordingStatistics m_statistics;
};
