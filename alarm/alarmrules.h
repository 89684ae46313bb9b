#pragma once

#include "instrument/records.h"

#include <QDateTime>
#include <QVector>

#include <array>
#include <limits>
#include <vector>

// The alarm rules, without any clock or signal: what is raised and cleared
// when a reading comes, the link changes or time passes. Temperatures are in
// degrees Celsius; times are milliseconds since the epoch, given by the
// caller, so a test or a stored measurement can play any history.

enum class AlarmKind
{
    High,       // above the high limit
    Low,        // below the low limit
    Open,       // a probe that was measuring gives no reading
    OverRange,  // ... reads above its type's range
    UnderRange, // ... reads below its type's range
    LinkLost,   // the instrument's link has been down too long
};

// The channel of the link alarm; channels are 0 to kChannelCount - 1.
constexpr int kAlarmLinkChannel = -1;

constexpr float kNoAlarmValue = std::numeric_limits<float>::quiet_NaN();

// The word a program, a log or a subscriber reads: "high", "low", "open",
// "over-range", "under-range", "link-lost". Not translated.
QString alarmKindToken(AlarmKind kind);
// "T1" to "T4", or "link".
QString alarmChannelToken(int channel);

struct ChannelLimits
{
    bool hasHigh = false;
    float high = 100.0f;
    bool hasLow = false;
    float low = 0.0f;
};

struct AlarmSettings
{
    std::array<ChannelLimits, kChannelCount> channels{};
    // How far back inside its limit a value must come before a high or low
    // alarm clears, so a noisy probe at the limit does not flap.
    float hysteresis = 0.5f;
    // How long a condition must hold before its alarm is raised.
    qint64 delayMs = 0;
    // Probe alarms on every channel that has been measuring.
    bool probe = true;
    // How long the link may be down while watched before its alarm is
    // raised; 0 or less: never.
    qint64 linkLostMs = 30000;

    // The limits of config.cfg: both limits of every channel switched on.
    void setConfigLimits(const std::array<float, kChannelCount> &high,
                         const std::array<float, kChannelCount> &low,
                         const std::array<bool, kChannelCount> &enabled);
};

struct Alarm
{
    quint64 id = 0; // unique within one AlarmRules, never 0
    int channel = kAlarmLinkChannel;
    AlarmKind kind = AlarmKind::LinkLost;
    float limit = kNoAlarmValue;   // the limit crossed (high, low), else NaN
    float value = kNoAlarmValue;   // the reading at the raise or the clear (high, low)
    float extreme = kNoAlarmValue; // the furthest beyond the limit while raised (high, low)
    qint64 sinceMs = 0;            // the condition began
    qint64 raisedMs = 0;           // it had held for the delay
    qint64 clearedMs = 0;          // 0 while raised
    bool acknowledged = false;     // kept by AlarmMonitor
};

struct AlarmChange
{
    bool raised = true; // else cleared
    Alarm alarm;
};

// One condition's progress: raised once it has held `delayMs` without a
// break, cleared once when `gone`. Neither `holds` nor `gone` (a value in
// the hysteresis band, a channel without a reading) keeps an alarm as it is
// and ends a wait for the delay.
struct AlarmCondition
{
    enum class Step
    {
        None,
        Raise,
        Clear
    };
    bool active = false;
    bool pending = false;
    qint64 sinceMs = 0;

    Step step(bool holds, bool gone, qint64 nowMs, qint64 delayMs);
};

class AlarmRules
{
public:
    explicit AlarmRules(const AlarmSettings &settings = AlarmSettings());

    const AlarmSettings &settings() const { return m_settings; }
    // Alarms whose rule was switched off are cleared at once; changed limits
    // count from the next reading.
    void setSettings(const AlarmSettings &settings, qint64 nowMs, std::vector<AlarmChange> *out);

    // One reading: values in degrees Celsius with their reading states
    // (0 value, 1 below range, 2 above range, other none). High and low
    // alarms follow values only; probe alarms follow the states.
    void reading(const float *values, const quint8 *states, qint64 nowMs,
                 std::vector<AlarmChange> *out);
    void reading(const _T_PRINT_OUT_DATA &reading, qint64 nowMs, std::vector<AlarmChange> *out);

    // The link's alarm counts only while someone watches the instrument
    // (monitoring or recording): a link ended on purpose raises nothing.
    void setLinkUp(bool up, qint64 nowMs, std::vector<AlarmChange> *out);
    void setWatching(bool watching, qint64 nowMs, std::vector<AlarmChange> *out);
    // Raises the link alarm once its time is up.
    void tick(qint64 nowMs, std::vector<AlarmChange> *out);
    // When tick() has something to do next, or -1.
    qint64 nextLinkCheckMs() const;

    // The raised alarms, oldest first.
    QVector<Alarm> active() const;
    // Alarms are numbered from `first` on (never 0), so the alarms of
    // several instruments can share one list without two of the same id.
    void setFirstId(quint64 first) { m_nextId = qMax<quint64>(first, 1); }

private:
    enum Slot
    {
        HighSlot,
        LowSlot,
        ProbeSlot,
        SlotsPerChannel
    };
    static constexpr int kLinkSlot = kChannelCount * SlotsPerChannel;

    struct Entry
    {
        AlarmCondition condition;
        Alarm alarm;
    };

    void apply(Entry &e, AlarmCondition::Step step, qint64 nowMs, std::vector<AlarmChange> *out);
    void limitReading(Entry &e, bool high, const ChannelLimits &limits, float value, qint64 nowMs,
                      std::vector<AlarmChange> *out);
    void evaluateLink(qint64 nowMs, std::vector<AlarmChange> *out);

    AlarmSettings m_settings;
    std::array<Entry, kLinkSlot + 1> m_entries{};
    std::array<bool, kChannelCount> m_measured{}; // the channel has given a value
    bool m_linkUp = true;
    bool m_watching = false;
    qint64 m_linkDownMs = 0; // since when, counted from the start of watching
    quint64 m_nextId = 1;
};

// One alarm of a stored measurement, from its readings and the limits.
struct AlarmEpisode
{
    int channel = 0;
    AlarmKind kind = AlarmKind::High;
    QDateTime from;                // the first reading of the condition
    QDateTime to;                  // the reading that cleared it; invalid when it lasted to the end
    float extreme = kNoAlarmValue; // degrees Celsius (high, low); NaN for a probe
};

// The high, low and probe episodes of `records` in the order raised, the
// records taken in order with the time each carries.
QVector<AlarmEpisode> alarmEpisodes(const QVector<_T_EE_TEST_DATA> &records,
                                    const AlarmSettings &settings);
