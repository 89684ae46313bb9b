#include "chart/charttrace.h"

#include "chart/chartseries.h"
#include "instrument/temperature.h"

#include <algorithm>
#include <cmath>

namespace {

// Readings per block of the value envelope: a column of the chart reads at
// most two partial blocks reading by reading.
constexpr int kBlock = 16;
// Up to this many readings in view, or this many per pixel column, the
// graph gets the readings themselves; drawing them costs well under a
// millisecond and markers sit on real readings.
constexpr int kDirectReadings = 20000;
constexpr int kReadingsPerColumn = 4;

bool hasValue(const _T_EE_TEST_DATA &r, int channel)
{
    return r.state[channel] == 0 && !std::isnan(r.value[channel]);
}

} // namespace

ChartTrace::ChartTrace(const QVector<_T_EE_TEST_DATA> &records, int unit, bool dateTimeKeys,
                       double keyOrigin)
    : m_records(records), m_unit(unit), m_dateTimeKeys(dateTimeKeys)
{
    const int n = records.size();
    const int blocks = (n + kBlock - 1) / kBlock;
    float *low[kChannelCount];
    float *high[kChannelCount];
    double firstKey[kChannelCount];
    double lastKey[kChannelCount];
    for (int ch = 0; ch < kChannelCount; ++ch) {
        m_blockLow[ch].fill(qQNaN(), blocks);
        m_blockHigh[ch].fill(qQNaN(), blocks);
        low[ch] = m_blockLow[ch].data();
        high[ch] = m_blockHigh[ch].data();
        firstKey[ch] = qInf();
        lastKey[ch] = -qInf();
    }
    // One pass over the records: a month of them is far larger than the
    // caches, and reading them is most of the cost.
    QVector<double> seconds;
    seconds.reserve(n);
    const _T_EE_TEST_DATA *r = records.constData();
    for (int i = 0; i < n; ++i, ++r) {
        double time = qQNaN();
        if (epochSeconds(r->year, r->month, r->day, r->hour, r->minute, r->second, &time))
            time -= keyOrigin;
        seconds.append(time);
        const double k = dateTimeKeys ? time : double(i);
        if (std::isnan(k)) {
            m_ordered = false;
            continue;
        }
        if (dateTimeKeys && i > 0 && !(time >= seconds.at(i - 1)))
            m_ordered = false;
        const int b = i / kBlock;
        for (int ch = 0; ch < kChannelCount; ++ch) {
            if (!hasValue(*r, ch))
                continue;
            const float v = r->value[ch];
            // NaN at the start of a block, so the first value is taken.
            if (!(v >= low[ch][b]))
                low[ch][b] = v;
            if (!(v <= high[ch][b]))
                high[ch][b] = v;
            firstKey[ch] = std::min(firstKey[ch], k);
            lastKey[ch] = std::max(lastKey[ch], k);
        }
    }
    m_breaks = lineBreaks(seconds);
    if (dateTimeKeys)
        m_keys = std::move(seconds);
    for (int ch = 0; ch < kChannelCount; ++ch) {
        m_hasValues[ch] = firstKey[ch] <= lastKey[ch];
        m_keyRange[ch] = QCPRange(firstKey[ch], lastKey[ch]);
    }
}

double ChartTrace::key(int reading) const
{
    return m_dateTimeKeys ? m_keys.at(reading) : double(reading);
}

double ChartTrace::shownValue(float celsius) const
{
    return double(celsiusToUnit(celsius, m_unit));
}

bool ChartTrace::value(int reading, int channel, double *value) const
{
    const _T_EE_TEST_DATA &r = m_records.at(reading);
    if (!hasValue(r, channel))
        return false;
    *value = shownValue(r.value[channel]);
    return true;
}

QCPRange ChartTrace::keyRange(int channel, bool *found) const
{
    *found = m_hasValues[channel];
    return m_keyRange[channel];
}

QCPRange ChartTrace::valueRange(int channel, bool *found) const
{
    // The units are increasing functions of Celsius, so the extremes stay
    // extremes.
    const auto low = std::min_element(m_blockLow[channel].cbegin(), m_blockLow[channel].cend(),
                                      [](float a, float b) { return a < b || std::isnan(b); });
    const auto high = std::max_element(m_blockHigh[channel].cbegin(), m_blockHigh[channel].cend(),
                                       [](float a, float b) { return a < b || std::isnan(a); });
    *found = m_hasValues[channel];
    if (!*found)
        return QCPRange();
    return QCPRange(shownValue(*low), shownValue(*high));
}

int ChartTrace::lowerBound(double k) const
{
    if (m_dateTimeKeys)
        return int(std::lower_bound(m_keys.cbegin(), m_keys.cend(), k) - m_keys.cbegin());
    if (!(k > 0))
        return 0;
    return k >= size() ? size() : int(std::ceil(k));
}

int ChartTrace::lowerBoundAfter(double k, int from) const
{
    if (!m_dateTimeKeys)
        return qMax(from, lowerBound(k));
    // Galloping from `from`: a column's end lies a column's readings ahead,
    // found in a few steps where a search of all keys takes twenty.
    const int n = m_keys.size();
    int low = from;
    int step = 1;
    int high = from + 1;
    while (high < n && m_keys.at(high) < k) {
        low = high;
        step *= 2;
        high = from + step;
    }
    high = qMin(high, n);
    return int(std::lower_bound(m_keys.cbegin() + low, m_keys.cbegin() + high, k) -
               m_keys.cbegin());
}

QPair<int, int> ChartTrace::readingsWithin(const QCPRange &keys) const
{
    if (!m_ordered)
        return qMakePair(0, size() - 1);
    int last = lowerBound(keys.upper);
    while (last < size() && key(last) <= keys.upper)
        ++last;
    return qMakePair(lowerBound(keys.lower), last - 1);
}

int ChartTrace::readingAt(double k) const
{
    const int n = size();
    if (!m_ordered) {
        int nearest = -1;
        for (int i = 0; i < n; ++i) {
            if (!std::isnan(key(i)) &&
                (nearest < 0 || std::abs(key(i) - k) < std::abs(key(nearest) - k)))
                nearest = i;
        }
        return nearest;
    }
    if (n == 0)
        return -1;
    const int i = lowerBound(k);
    if (i == 0)
        return 0;
    if (i == n)
        return n - 1;
    return k - key(i - 1) <= key(i) - k ? i - 1 : i;
}

void ChartTrace::appendReadings(QVector<QCPGraphData> *out, int channel, int begin, int end) const
{
    auto nextBreak = std::upper_bound(m_breaks.cbegin(), m_breaks.cend(), begin);
    bool breakDue = false;
    for (int i = begin; i < end; ++i) {
        if (nextBreak != m_breaks.cend() && *nextBreak == i) {
            breakDue = true;
            ++nextBreak;
        }
        double v;
        const double k = key(i);
        if (std::isnan(k) || !value(i, channel, &v))
            continue;
        if (breakDue && !out->isEmpty())
            out->append(QCPGraphData((out->constLast().key + k) / 2, qQNaN()));
        breakDue = false;
        out->append(QCPGraphData(k, v));
    }
}

void ChartTrace::appendColumn(QVector<QCPGraphData> *out, int channel, int begin, int end) const
{
    int first = begin;
    while (first < end && !hasValue(m_records.at(first), channel))
        ++first;
    int last = end - 1;
    while (last > first && !hasValue(m_records.at(last), channel))
        --last;
    if (first >= end)
        return;
    float low = qQNaN();
    float high = qQNaN();
    for (int i = first; i <= last;) {
        float blockLow, blockHigh;
        if (i % kBlock == 0 && i + kBlock <= last + 1) {
            blockLow = m_blockLow[channel].at(i / kBlock);
            blockHigh = m_blockHigh[channel].at(i / kBlock);
            i += kBlock;
        } else {
            const _T_EE_TEST_DATA &r = m_records.at(i++);
            if (!hasValue(r, channel))
                continue;
            blockLow = blockHigh = r.value[channel];
        }
        if (!(blockLow >= low))
            low = blockLow;
        if (!(blockHigh <= high))
            high = blockHigh;
    }
    const double firstKey = key(first);
    double firstValue;
    value(first, channel, &firstValue);
    out->append(QCPGraphData(firstKey, firstValue));
    if (last == first)
        return;
    const double lastKey = key(last);
    double lastValue;
    value(last, channel, &lastValue);
    const double middle = (firstKey + lastKey) / 2;
    out->append(QCPGraphData(middle, shownValue(low)));
    out->append(QCPGraphData(middle, shownValue(high)));
    out->append(QCPGraphData(lastKey, lastValue));
}

QVector<QCPGraphData> ChartTrace::points(int channel, const QCPRange &shown, int columns) const
{
    QVector<QCPGraphData> out;
    if (channel < 0 || channel >= kChannelCount || !m_hasValues[channel])
        return out;
    if (!m_ordered) {
        appendReadings(&out, channel, 0, size());
        std::stable_sort(out.begin(), out.end(), qcpLessThanSortKey<QCPGraphData>);
        return out;
    }
    columns = qMax(columns, 1);
    const int begin = qMax(0, lowerBound(shown.lower) - 1);
    int end = lowerBound(shown.upper);
    while (end < size() && key(end) <= shown.upper)
        ++end;
    end = qMin(size(), end + 1);
    if (end - begin <= qMax(kDirectReadings, kReadingsPerColumn * columns)) {
        appendReadings(&out, channel, begin, end);
        return out;
    }

    // The four channels' envelopes are made together, at the first
    // channel's asking: the columns' bounds are the same for all of them
    // and their records are read while they are in the cache.
    if (!(m_envelopes.range == shown) || m_envelopes.columns != columns) {
        m_envelopes.range = shown;
        m_envelopes.columns = columns;
        appendEnvelopes(m_envelopes.points, shown, columns, begin, end);
    }
    return m_envelopes.points[channel];
}

void ChartTrace::appendEnvelopes(QVector<QCPGraphData> (&out)[kChannelCount], const QCPRange &shown,
                                 int columns, int begin, int end) const
{
    const double width = shown.size() / columns;
    for (int ch = 0; ch < kChannelCount; ++ch) {
        out[ch].clear();
        if (m_hasValues[ch])
            out[ch].reserve(columns * 4 + 16);
    }
    auto nextBreak = std::upper_bound(m_breaks.cbegin(), m_breaks.cend(), begin);
    for (int start = begin; start < end;) {
        const int stop = nextBreak != m_breaks.cend() && *nextBreak < end ? *nextBreak++ : end;
        for (int i = start; i < stop;) {
            const double column = std::floor((key(i) - shown.lower) / width);
            const int next =
                qBound(i + 1, lowerBoundAfter(shown.lower + (column + 1) * width, i), stop);
            for (int ch = 0; ch < kChannelCount; ++ch)
                if (m_hasValues[ch])
                    appendColumn(&out[ch], ch, i, next);
            i = next;
        }
        for (int ch = 0; ch < kChannelCount; ++ch)
            if (stop < end && !out[ch].isEmpty())
                out[ch].append(QCPGraphData((key(stop - 1) + key(stop)) / 2, qQNaN()));
        start = stop;
    }
}
