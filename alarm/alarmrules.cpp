#include "alarm/alarmrules.h"

#include "instrument/temperature.h"

#include <QHash>

#include <algorithm>
#include <cmath>

QString alarmKindToken(AlarmKind kind)
{
    switch (kind) {
    case AlarmKind::High:
        return QStringLiteral("high");
    case AlarmKind::Low:
        return QStringLiteral("low");
    case AlarmKind::Open:
        return QStringLiteral("open");
    case AlarmKind::OverRange:
        return QStringLiteral("over-range");
    case AlarmKind::UnderRange:
        return QStringLiteral("under-range");
    case AlarmKind::LinkLost:
        return QStringLiteral("link-lost");
    }
    return QString();
}

QString alarmChannelToken(int channel)
{
    if (channel < 0 || channel >= kChannelCount)
        return QStringLiteral("link");
    return QStringLiteral("T%1").arg(channel + 1);
}

void AlarmSettings::setConfigLimits(const std::array<float, kChannelCount> &high,
                                    const std::array<float, kChannelCount> &low,
                                    const std::array<bool, kChannelCount> &enabled)
{
    for (int ch = 0; ch < kChannelCount; ++ch) {
        channels[ch].hasHigh = channels[ch].hasLow = enabled[ch];
        channels[ch].high = high[ch];
        channels[ch].low = low[ch];
    }
}

AlarmCondition::Step AlarmCondition::step(bool holds, bool gone, qint64 nowMs, qint64 delayMs)
{
    if (active) {
        if (!gone)
            return Step::None;
        active = false;
        return Step::Clear;
    }
    if (!holds) {
        pending = false;
        return Step::None;
    }
    if (!pending) {
        pending = true;
        sinceMs = nowMs;
    }
    if (nowMs - sinceMs < delayMs)
        return Step::None;
    pending = false;
    active = true;
    return Step::Raise;
}

AlarmRules::AlarmRules(const AlarmSettings &settings) : m_settings(settings)
{
    for (int ch = 0; ch < kChannelCount; ++ch) {
        m_entries[ch * SlotsPerChannel + HighSlot].alarm.kind = AlarmKind::High;
        m_entries[ch * SlotsPerChannel + LowSlot].alarm.kind = AlarmKind::Low;
        m_entries[ch * SlotsPerChannel + ProbeSlot].alarm.kind = AlarmKind::Open;
        for (int slot = 0; slot < SlotsPerChannel; ++slot)
            m_entries[ch * SlotsPerChannel + slot].alarm.channel = ch;
    }
    m_entries[kLinkSlot].alarm.kind = AlarmKind::LinkLost;
}

void AlarmRules::apply(Entry &e, AlarmCondition::Step step, qint64 nowMs,
                       std::vector<AlarmChange> *out)
{
    if (step == AlarmCondition::Step::None)
        return;
    Alarm &a = e.alarm;
    if (step == AlarmCondition::Step::Raise) {
        a.id = m_nextId++;
        a.sinceMs = e.condition.sinceMs;
        a.raisedMs = nowMs;
        a.clearedMs = 0;
        a.extreme = a.value;
        a.acknowledged = false;
    } else {
        a.clearedMs = nowMs;
    }
    out->push_back({step == AlarmCondition::Step::Raise, a});
}

void AlarmRules::setSettings(const AlarmSettings &settings, qint64 nowMs,
                             std::vector<AlarmChange> *out)
{
    m_settings = settings;
    for (int ch = 0; ch < kChannelCount; ++ch) {
        const ChannelLimits &limits = settings.channels[ch];
        const bool on[SlotsPerChannel] = {limits.hasHigh, limits.hasLow, settings.probe};
        for (int slot = 0; slot < SlotsPerChannel; ++slot) {
            Entry &e = m_entries[ch * SlotsPerChannel + slot];
            if (!on[slot]) {
                e.alarm.value = kNoAlarmValue;
                apply(e, e.condition.step(false, true, nowMs, 0), nowMs, out);
            }
        }
    }
    evaluateLink(nowMs, out);
}

void AlarmRules::limitReading(Entry &e, bool high, const ChannelLimits &limits, float value,
                              qint64 nowMs, std::vector<AlarmChange> *out)
{
    if (!(high ? limits.hasHigh : limits.hasLow))
        return;
    const float limit = high ? limits.high : limits.low;
    const float hysteresis = m_settings.hysteresis;
    const bool holds = high ? value > limit : value < limit;
    const bool gone = high ? value <= limit - hysteresis : value >= limit + hysteresis;
    const AlarmCondition::Step step = e.condition.step(holds, gone, nowMs, m_settings.delayMs);
    if (step == AlarmCondition::Step::None) {
        if (e.condition.active && (high ? value > e.alarm.extreme : value < e.alarm.extreme))
            e.alarm.extreme = value;
        return;
    }
    if (step == AlarmCondition::Step::Raise)
        e.alarm.limit = limit;
    e.alarm.value = value;
    apply(e, step, nowMs, out);
}

void AlarmRules::reading(const float *values, const quint8 *states, qint64 nowMs,
                         std::vector<AlarmChange> *out)
{
    for (int ch = 0; ch < kChannelCount; ++ch) {
        Entry *e = &m_entries[ch * SlotsPerChannel];
        const quint8 state = states[ch];
        const float value = values[ch];
        if (state == StateValue && std::isfinite(value)) {
            m_measured[ch] = true;
            const ChannelLimits &limits = m_settings.channels[ch];
            limitReading(e[HighSlot], true, limits, value, nowMs, out);
            limitReading(e[LowSlot], false, limits, value, nowMs, out);
        }
        if (!m_settings.probe || !m_measured[ch])
            continue;
        Entry &probe = e[ProbeSlot];
        const bool fault = state != StateValue;
        const AlarmCondition::Step step =
            probe.condition.step(fault, !fault, nowMs, m_settings.delayMs);
        if (step == AlarmCondition::Step::Raise)
            probe.alarm.kind = state == StateAboveRange   ? AlarmKind::OverRange
                               : state == StateBelowRange ? AlarmKind::UnderRange
                                                          : AlarmKind::Open;
        apply(probe, step, nowMs, out);
    }
}

void AlarmRules::reading(const _T_PRINT_OUT_DATA &reading, qint64 nowMs,
                         std::vector<AlarmChange> *out)
{
    quint8 states[kChannelCount];
    for (int ch = 0; ch < kChannelCount; ++ch)
        states[ch] = statusState(reading.status[ch]);
    this->reading(reading.value, states, nowMs, out);
}

void AlarmRules::setLinkUp(bool up, qint64 nowMs, std::vector<AlarmChange> *out)
{
    if (up == m_linkUp)
        return;
    m_linkUp = up;
    m_linkDownMs = nowMs;
    evaluateLink(nowMs, out);
}

void AlarmRules::setWatching(bool watching, qint64 nowMs, std::vector<AlarmChange> *out)
{
    if (watching == m_watching)
        return;
    m_watching = watching;
    // A link already down counts from now: before, nobody expected it up.
    if (watching && !m_linkUp)
        m_linkDownMs = nowMs;
    evaluateLink(nowMs, out);
}

void AlarmRules::tick(qint64 nowMs, std::vector<AlarmChange> *out)
{
    evaluateLink(nowMs, out);
}

qint64 AlarmRules::nextLinkCheckMs() const
{
    const Entry &e = m_entries[kLinkSlot];
    if (e.condition.active || m_linkUp || !m_watching || m_settings.linkLostMs <= 0)
        return -1;
    return m_linkDownMs + m_settings.linkLostMs;
}

void AlarmRules::evaluateLink(qint64 nowMs, std::vector<AlarmChange> *out)
{
    Entry &e = m_entries[kLinkSlot];
    const bool on = m_watching && m_settings.linkLostMs > 0;
    const bool down = on && !m_linkUp;
    const bool holds = down && nowMs - m_linkDownMs >= m_settings.linkLostMs;
    e.condition.sinceMs = m_linkDownMs;
    e.condition.pending = down;
    apply(e, e.condition.step(holds, !down, nowMs, 0), nowMs, out);
}

QVector<Alarm> AlarmRules::active() const
{
    QVector<Alarm> alarms;
    for (const Entry &e : m_entries) {
        if (e.condition.active)
            alarms.append(e.alarm);
    }
    std::sort(alarms.begin(), alarms.end(),
              [](const Alarm &a, const Alarm &b) { return a.id < b.id; });
    return alarms;
}

QVector<AlarmEpisode> alarmEpisodes(const QVector<_T_EE_TEST_DATA> &records,
                                    const AlarmSettings &settings)
{
    AlarmRules rules(settings);
    QVector<AlarmEpisode> episodes;
    QHash<quint64, int> open; // alarm id -> its episode
    std::vector<AlarmChange> changes;
    for (const _T_EE_TEST_DATA &r : records) {
        changes.clear();
        rules.reading(r.value, r.state, dateTimeFromRecord(r).toMSecsSinceEpoch(), &changes);
        for (const AlarmChange &c : changes) {
            const Alarm &a = c.alarm;
            if (c.raised) {
                open.insert(a.id, episodes.size());
                episodes.append({a.channel, a.kind, QDateTime::fromMSecsSinceEpoch(a.sinceMs),
                                 QDateTime(), a.extreme});
            } else {
                AlarmEpisode &e = episodes[open.take(a.id)];
                e.to = QDateTime::fromMSecsSinceEpoch(a.clearedMs);
                e.extreme = a.extreme;
            }
        }
    }
    for (auto it = open.cbegin(); it != open.cend(); ++it) {
        for (const Alarm &a : rules.active()) {
            if (a.id == it.key())
                episodes[it.value()].extreme = a.extreme;
        }
    }
    return episodes;
}
