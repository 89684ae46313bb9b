#include "instrument/channelstatistics.h"

#include "instrument/temperature.h"

#include <cstring>

namespace {

// States 4 to 15 carry no value, like state 3.
quint8 effectiveState(quint8 state)
{
    return state > StateNoReading ? quint8(StateNoReading) : state;
}

quint32 bitsOf(float v)
{
    quint32 bits;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
}

} // namespace

void ChannelStatistics::add(quint8 state, float value)
{
    if (m_readings++ == 0) {
        m_max = {value, state};
        m_min = {value, state};
    }
    const quint8 s = effectiveState(state);
    const quint8 maxState = effectiveState(m_max.state);
    const quint8 minState = effectiveState(m_min.state);

    if (s == StateValue) {
        // On a tie the current value stays: of 0.0 and -0.0 the first seen is kept.
        if (maxState == StateValue || maxState == StateAboveRange) {
            if (value > m_max.value)
                m_max.value = value;
        } else {
            m_max = {value, StateValue};
        }

        if (minState == StateValue) {
            if (value < m_min.value)
                m_min.value = value;
        } else if (minState != StateBelowRange) {
            m_min = {value, StateValue}; // below range stays, the value is not taken
        }

        m_sum += value;
        ++m_count;
    } else if (s == StateAboveRange) {
        m_max = {value, StateAboveRange};
    } else if (s == StateBelowRange) {
        m_min = {value, StateBelowRange};
    }
}

QString ChannelStatistics::maximumText(int unit) const
{
    return valueText(m_max.value, m_max.state, unit);
}

QString ChannelStatistics::minimumText(int unit) const
{
    return valueText(m_min.value, m_min.state, unit);
}

QString ChannelStatistics::averageText(int unit) const
{
    if (m_count == 0)
        return noReadingText();
    return valueText(m_sum / float(m_count), StateValue, unit);
}

void RecordingStatistics::add(const quint8 (&states)[kChannelCount],
                              const float (&values)[kChannelCount])
{
    for (int ch = 0; ch < kChannelCount; ++ch)
        m_channels[ch].add(states[ch], values[ch]);
}

void RecordingStatistics::clear()
{
    for (int ch = 0; ch < kChannelCount; ++ch) {
        m_channels[ch].clear();
        for (auto &kind : m_cache)
            kind[ch] = CachedText();
    }
}

QList<QList<QString>> RecordingStatistics::texts(int unit)
{
    QList<QList<QString>> out;
    for (int kind = 0; kind < 3; ++kind) {
        QList<QString> row;
        row.reserve(kChannelCount);
        for (int ch = 0; ch < kChannelCount; ++ch) {
            const ChannelStatistics &stats = m_channels[ch];
            quint32 bits;
            quint64 key;
            if (kind == 0) {
                bits = bitsOf(stats.maximum().value);
                key = stats.maximum().state;
            } else if (kind == 1) {
                bits = bitsOf(stats.minimum().value);
                key = stats.minimum().state;
            } else {
                bits = bitsOf(stats.sum());
                key = stats.count();
            }
            CachedText &c = m_cache[kind][ch];
            if (!c.valid || c.unit != unit || c.valueBits != bits || c.key != key) {
                c.text = kind == 0   ? stats.maximumText(unit)
                         : kind == 1 ? stats.minimumText(unit)
                                     : stats.averageText(unit);
                c.valid = true;
                c.unit = unit;
                c.valueBits = bits;
                c.key = key;
            }
            row << c.text;
        }
        out << row;
    }
    return out;
}
