#pragma once

#include "instrument/records.h"

#include <QVector>

#include <qcustomplot.h>

// The stored records the chart shows, ready to be drawn at any zoom without
// a graph holding every reading: a month at one second is 2.6 million
// readings per channel, which QCustomPlot would keep as 160 MB of points and
// walk at every redraw.
//
// Keys are as for storedSeries(): the position, or the local time stamp in
// seconds in date-time mode; values are in the unit given, and a channel
// whose state is not 0 has none at that reading. The records are shared with
// the measurement they came from, not copied. With a `keyOrigin` the
// date-time keys are seconds since that time (an overlay's aligned axis).
class ChartTrace
{
public:
    ChartTrace(const QVector<_T_EE_TEST_DATA> &records, int unit, bool dateTimeKeys,
               double keyOrigin = 0);

    int size() const { return m_records.size(); }
    const _T_EE_TEST_DATA &record(int reading) const { return m_records.at(reading); }
    // NaN for a reading whose time stamp names no date, in date-time mode.
    double key(int reading) const;
    // False when the channel has no value at that reading.
    bool value(int reading, int channel, double *value) const;

    // The extent of the keys and values of one channel's readings that have
    // a value; `found` false when it has none.
    QCPRange keyRange(int channel, bool *found) const;
    QCPRange valueRange(int channel, bool *found) const;

    // The first and last reading whose keys lie within `keys` (first > last
    // when none do); all readings when keys are out of order.
    QPair<int, int> readingsWithin(const QCPRange &keys) const;

    // The reading whose key lies nearest to `key`, found by binary search;
    // -1 without readings.
    int readingAt(double key) const;

    // The points of one channel's graph for the keys in `shown` drawn over
    // `columns` pixel columns, with the readings just outside so the line
    // runs to the edges. Up to a few readings per column the readings
    // themselves; beyond, per column the first and last reading and the
    // lowest and highest value between, which draws the same pixels. A NaN
    // point marks each break of the line (lineBreaks()). Readings out of key
    // order (a clock set back) or without a key are all given, sorted by key.
    QVector<QCPGraphData> points(int channel, const QCPRange &shown, int columns) const;

private:
    // Readings [begin, end) of one channel as at most four points.
    void appendColumn(QVector<QCPGraphData> *out, int channel, int begin, int end) const;
    void appendReadings(QVector<QCPGraphData> *out, int channel, int begin, int end) const;
    // The column envelopes of readings [begin, end) of every channel.
    void appendEnvelopes(QVector<QCPGraphData> (&out)[kChannelCount], const QCPRange &shown,
                         int columns, int begin, int end) const;
    // First reading whose key is not below `key`, among the sorted keys.
    int lowerBound(double key) const;
    // The same, knowing that reading `from` lies below `key`.
    int lowerBoundAfter(double key, int from) const;
    double shownValue(float celsius) const;

    QVector<_T_EE_TEST_DATA> m_records;
    int m_unit = 0;
    bool m_dateTimeKeys = false;
    // Date-time mode only; in index mode the key is the position.
    QVector<double> m_keys;
    // Keys never decrease and none is NaN: binary search and envelopes work.
    bool m_ordered = true;
    QVector<int> m_breaks;
    // Lowest and highest Celsius value of each block of readings per
    // channel, NaN for a block without values: an envelope column spanning
    // many blocks reads a block at a time.
    QVector<float> m_blockLow[kChannelCount];
    QVector<float> m_blockHigh[kChannelCount];
    QCPRange m_keyRange[kChannelCount];
    bool m_hasValues[kChannelCount] = {};
    // The envelopes last made, for the other channels of the same view. A
    // trace is drawn from the window's thread only.
    struct Envelopes
    {
        QCPRange range;
        int columns = -1;
        QVector<QCPGraphData> points[kChannelCount];
    };
    mutable Envelopes m_envelopes;
};
