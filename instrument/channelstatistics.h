#pragma once

#include "instrument/records.h"

#include <QList>
#include <QString>
#include <QtGlobal>

// Maximum, minimum and average of one channel over the readings recorded so
// far, updated one reading at a time: add() costs the same after a million
// readings as after ten, and the results equal a fold over the whole list.
//
// The first reading seeds maximum and minimum with its own value and state
// and is then folded like every other one. The maximum follows over-range
// readings: once one is seen it stays "above range" (its value is the
// largest seen since). The minimum mirrors that for under-range readings.
// Readings without a value (state 3, and states 4 to 15 which the instrument
// does not send) change neither, and only readings with a value (state 0)
// enter the average, summed in single precision in arrival order.
class ChannelStatistics
{
public:
    struct Extreme
    {
        float value = 0;
        quint8 state = 3; // reading state; 3 until a reading arrives
    };

    void add(quint8 state, float value);
    void clear() { *this = ChannelStatistics(); }

    Extreme maximum() const { return m_max; }
    Extreme minimum() const { return m_min; }
    float sum() const { return m_sum; }
    quint64 count() const { return m_count; }
    quint64 readings() const { return m_readings; }

    // Texts in `unit` (see valueText): the extremes as value texts, the
    // average with one decimal (none above 1000), "--\--" while no reading
    // with a value was seen.
    QString maximumText(int unit) const;
    QString minimumText(int unit) const;
    QString averageText(int unit) const;

private:
    Extreme m_max;
    Extreme m_min;
    float m_sum = 0;
    quint64 m_count = 0;    // readings with a value
    quint64 m_readings = 0; // all readings
};

// Statistics of the four channels and their texts, the way the dashboard
// takes them: [maximum T1-T4], [minimum T1-T4], [average T1-T4]. The texts of
// a channel are made again only when its results or the unit changed.
class RecordingStatistics
{
public:
    void add(const quint8 (&states)[kChannelCount], const float (&values)[kChannelCount]);
    void clear();

    const ChannelStatistics &channel(int index) const { return m_channels[index]; }
    QList<QList<QString>> texts(int unit);

private:
    // One text and the results it was made from, compared bit for bit (so
    // -0.0 and 0.0, which print differently, are told apart).
    struct CachedText
    {
        bool valid = false;
        int unit = 0;
        quint32 valueBits = 0;
        quint64 key = 0; // state of an extreme, count of the average
        QString text;
    };
    ChannelStatistics m_channels[kChannelCount];
    CachedText m_cache[3][kChannelCount]; // maximum, minimum, average
};
