#pragma once

#include "instrument/records.h"
#include "sim/simulatoroptions.h"
#include "sim/temperaturecurves.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>

// The simulated instrument's state and its answers, without any I/O or
// timing: commands go in as verified frame payloads, answer payloads come
// out. The engine around it frames and paces the answers and drives the
// parts that take time (downloads, erase, live readings).
//
// Behaviour chosen for the instrument where the protocol leaves it open:
// - 0x35 is answered with the control configuration (type 6), 0x37 with the
//   channel configuration (type 7).
// - 0x43 / 0x44 apply each field named by the mask whose value the
//   instrument supports (hold, Bluetooth, power-off and frequency 0 or 1,
//   interval 0 to 86400 s, measuring mode 0-3, unit 0-2, difference mode
//   0-4, type codes 0-7, offsets -50 to +50 tenths); other fields, and
//   control bytes 0 and 4, stay. The full configuration is sent back.
// - 0x3B restores the factory settings and sends both configurations.
// - 0x31 sets the instrument's clock; 0x45 keeps the recording flag and is
//   answered with the status byte.
// - Status byte (type 9): bit 0 recording flag, bit 1 hold, bit 2 Bluetooth.
// - 0x34 empties the store at once; the end answer follows after the erase
//   time. 0x32 beyond block 2500 is cut at block 2500.
// - Live readings are always in degrees Celsius with the channel's offset
//   added; the unit setting only changes what the instrument's own display
//   (and the computer) shows. A reading outside the thermocouple type's range
//   is reported below/above range with the range limit as its value. With
//   hold on, the channel readings stay those of the moment hold was set.
// - The mode values follow the measuring mode: maximum, minimum or average
//   of the valid readings since the mode, a channel setting or the factory
//   settings last changed; in normal mode they are 0 with "no reading".
class InstrumentModel
{
public:
    static constexpr quint8 kFirmwareMajor = 1;
    static constexpr quint8 kFirmwareMinor = 5;
    // Time between two records of the simulated store.
    static constexpr int kStoreIntervalSeconds = 1;

    enum class Action
    {
        None,
        StartDownload,
        AbortDownload,
        Erase
    };

    struct Reaction
    {
        QList<QByteArray> answers; // to send now, in order
        Action action = Action::None;
        quint16 firstBlock = 0; // StartDownload
        quint16 blockCount = 0; // StartDownload, already cut at block 2500
    };

    // `startTime` is when the simulator started; the stored records end there.
    InstrumentModel(const SimulatorOptions &options, const QDateTime &startTime);

    // One command payload (code first). Unknown codes and wrong lengths give
    // an empty reaction.
    Reaction handleCommand(const QByteArray &payload, const QDateTime &now);

    // The live reading at `seconds` after the start; also advances the
    // measuring-mode statistics.
    _T_PRINT_OUT_DATA liveReading(double seconds);

    // Stored record at `position` (0-based, below the stored count), with its
    // checksum (a wrong one when the bad-record fault picks it).
    _T_EE_TEST_DATA storedRecord(int position) const;
    // Answer type 2 for block `block`; positions at or past the stored count
    // read as erased flash (all bytes 0xFF), which fails the record checksum.
    QByteArray blockAnswer(quint16 block) const;
    // Whether the bad-record fault gives the record at `position` a wrong checksum.
    bool recordIsBad(int position) const;

    quint8 status() const;
    _T_CTRL_CONFIG controlConfig() const { return m_ctrl; }
    _T_CH_CONFIG channelConfig() const { return m_ch; }
    quint32 storedRecordCount() const { return m_storedCount; }
    bool recordingFlag() const { return m_recording; }
    QDateTime instrumentClock(const QDateTime &now) const;

    static _T_CTRL_CONFIG factoryControl(bool bluetooth);
    static _T_CH_CONFIG factoryChannels();

private:
    struct ModeStats
    {
        int count = 0;
        double sum = 0;
        float max = 0;
        float min = 0;
    };

    void applyControl(const QByteArray &payload);
    void applyChannels(const QByteArray &payload);
    void resetModeStats();
    _T_EE_TEST_DATA storedRecordAt(int position, int utcOffset) const;
    bool channelConnected(int channel) const;

    SimulatorOptions m_options;
    TemperatureCurves m_curves;
    qint64 m_startMs;
    qint64 m_storeStartMs; // time of the record at position 0
    _T_CTRL_CONFIG m_ctrl;
    _T_CH_CONFIG m_ch;
    quint32 m_storedCount;
    bool m_recording = false;
    qint64 m_clockOffsetMs = 0;
    ModeStats m_stats[kChannelCount];
    _T_PRINT_OUT_DATA m_last;
    bool m_haveLast = false;
    _T_PRINT_OUT_DATA m_held; // readings frozen by hold
    bool m_haveHeld = false;
};
