#include "stats/measurementstatistics.h"

#include "instrument/temperature.h"

#include <QDate>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace {

constexpr qint64 kNoTime = std::numeric_limits<qint64>::min();
constexpr double kZeroCelsius = 273.15;      // kelvin
constexpr double kGasConstant = 8.314462618; // J/(mol·K)
constexpr float kInfinity = std::numeric_limits<float>::infinity();
// e^d for |d| < kNearStep by its series to d^6 (error below 3e-16),
// in an order that keeps the chain of dependent operations short.
constexpr double kNearStep = 0.02;
double expNear(double d)
{
    const double d2 = d * d;
    return (1 + d) + d2 * ((1.0 / 2 + d * (1.0 / 6)) +
                           d2 * ((1.0 / 24 + d * (1.0 / 120)) + d2 * (1.0 / 720)));
}

// Seconds of records' date and time as written in them, counted without time
// zone or daylight saving: the instrument's clock knows neither. Records
// come in time order, so the date is converted once per day of records.
class RecordClock
{
public:
    qint64 seconds(const _T_EE_TEST_DATA &r)
    {
        if (r.hour > 23 || r.minute > 59 || r.second > 59)
            return kNoTime;
        const quint32 key = quint32(r.year) | quint32(r.month) << 8 | quint32(r.day) << 16;
        if (!m_known || key != m_key) {
            const QDate date(2000 + r.year, r.month, r.day);
            m_day = date.isValid() ? date.toJulianDay() * 86400 : kNoTime;
            m_key = key;
            m_known = true;
        }
        return m_day == kNoTime ? kNoTime : m_day + r.hour * 3600 + r.minute * 60 + r.second;
    }

private:
    bool m_known = false;
    quint32 m_key = 0;
    qint64 m_day = kNoTime;
};

bool hasValue(const _T_EE_TEST_DATA &r, int channel)
{
    return r.state[channel] == StateValue && std::isfinite(r.value[channel]);
}

} // namespace

double mktActivationFromKiloJoules(double kiloJoulesPerMole)
{
    return kiloJoulesPerMole * 1000.0 / kGasConstant;
}

qint64 usualSpacing(const QVector<_T_EE_TEST_DATA> &records, int first, int last)
{
    first = std::max(first, 0);
    last = std::min(last, int(records.size()) - 1);
    if (first >= last)
        return 0;
    // Steps are whole seconds: counted per length up to an hour and more,
    // the few longer ones kept aside.
    constexpr qint64 kCounted = 4096;
    std::vector<quint32> counts(kCounted, 0);
    std::vector<qint64> longer;
    qint64 steps = 0;
    RecordClock clock;
    const _T_EE_TEST_DATA *r = records.constData();
    qint64 previous = clock.seconds(r[first]);
    for (int i = first + 1; i <= last; ++i) {
        const qint64 t = clock.seconds(r[i]);
        if (previous != kNoTime && t != kNoTime && t > previous) {
            const qint64 step = t - previous;
            if (step < kCounted)
                ++counts[size_t(step)];
            else
                longer.push_back(step);
            ++steps;
        }
        previous = t;
    }
    if (steps == 0)
        return 0;
    const qint64 middle = (steps - 1) / 2; // the lower middle of an even count
    qint64 below = 0;
    for (qint64 step = 1; step < kCounted; ++step) {
        below += counts[size_t(step)];
        if (below > middle)
            return step;
    }
    const auto nth = longer.begin() + (middle - below);
    std::nth_element(longer.begin(), nth, longer.end());
    return *nth;
}

MeasurementStatistics::MeasurementStatistics(const StatisticsLimits &limits)
    : m_limits(limits), m_high(limits.high ? float(*limits.high) : kInfinity),
      m_low(limits.low ? float(*limits.low) : -kInfinity),
      m_bandLow(limits.bandLow && limits.bandHigh ? float(*limits.bandLow) : kInfinity),
      m_bandHigh(limits.bandLow && limits.bandHigh ? float(*limits.bandHigh) : -kInfinity)
{
}

void MeasurementStatistics::addChannel(Channel &channel, int index, const _T_EE_TEST_DATA *records,
                                       const qint64 *weights, int count) const
{
    // Summed in a local copy, so the sums stay in registers.
    Channel c = channel;
    for (int i = 0; i < count; ++i) {
        const _T_EE_TEST_DATA &record = records[i];
        if (!hasValue(record, index))
            continue;
        const float value = record.value[index];
        const qint64 weight = weights[i];
        if (c.readings == 0) {
            c.min = c.max = value;
            c.shift = value;
        }
        c.min = std::min(c.min, value);
        c.max = std::max(c.max, value);
        ++c.readings;
        const double d = double(value) - c.shift;
        c.sum += d;
        c.squares += d * d;

        if (value > m_high)
            c.above += weight;
        if (value < m_low)
            c.below += weight;
        if (value >= m_bandLow && value <= m_bandHigh)
            c.band += weight;

        if (value != c.lastValue) {
            // A steady channel repeats its value and so its exponent. A
            // moving one stays near the last exact exponent and takes it
            // times e^d: std::exp on every reading would double the time of
            // the whole.
            const double kelvin = double(value) + kZeroCelsius;
            if (kelvin <= 0) // no thermometer reads that; it would divide by zero
                continue;
            const double a = -m_limits.mktActivation / kelvin;
            if (c.plainExp == 0 || a > c.aMax) {
                const double scale = c.plainExp == 0 ? 0 : std::exp(c.aMax - a);
                c.weightedExp *= scale;
                c.plainExp *= scale;
                c.aMax = a;
                c.anchorA = a;
                c.anchorExp = 1;
                c.lastExp = 1;
            } else if (const double d = a - c.anchorA; std::abs(d) < kNearStep) {
                c.lastExp = c.anchorExp * expNear(d);
            } else {
                c.anchorA = a;
                c.anchorExp = std::exp(a - c.aMax);
                c.lastExp = c.anchorExp;
            }
            c.lastValue = value;
        }
        c.weightedExp += double(weight) * c.lastExp;
        c.plainExp += c.lastExp;
        c.weight += double(weight);
    }
    channel = c;
}

void MeasurementStatistics::addSpread(const _T_EE_TEST_DATA *records, int first, int count,
                                      int measurement)
{
    for (int i = 0; i < count; ++i) {
        const _T_EE_TEST_DATA &record = records[i];
        float high = -kInfinity;
        float low = kInfinity;
        int values = 0;
        for (int c = 0; c < kChannelCount; ++c) {
            if (!hasValue(record, c))
                continue;
            high = std::max(high, record.value[c]);
            low = std::min(low, record.value[c]);
            ++values;
        }
        const double spread = double(high) - double(low);
        if (values < 2 || (m_spread.record >= 0 && !(spread > m_spread.spread)))
            continue;
        m_spread.spread = spread;
        m_spread.measurement = measurement;
        m_spread.record = first + i;
        m_spreadRecord = record;
        // Ties name the first channel as highest and the last as lowest, so
        // two channels are named whenever two have a value.
        for (int c = kChannelCount - 1; c >= 0; --c) {
            if (hasValue(record, c) && record.value[c] == high)
                m_spread.highChannel = c;
        }
        for (int c = 0; c < kChannelCount; ++c) {
            if (hasValue(record, c) && record.value[c] == low)
                m_spread.lowChannel = c;
        }
    }
}

void MeasurementStatistics::addRange(const QVector<_T_EE_TEST_DATA> &records, int first, int last,
                                     qint64 spacing, int measurement)
{
    first = std::max(first, 0);
    last = std::min(last, int(records.size()) - 1);
    if (first > last)
        return;
    // Blocks small enough to stay in the cache while each channel goes over
    // them once.
    constexpr int kBlock = 2048;
    qint64 weights[kBlock];
    RecordClock clock;
    const _T_EE_TEST_DATA *r = records.constData();
    qint64 t = clock.seconds(r[first]);
    for (int start = first; start <= last; start += kBlock) {
        const int count = std::min(kBlock, last - start + 1);
        for (int i = 0; i < count; ++i) {
            const int next = start + i + 1;
            const qint64 nextTime = next < records.size() ? clock.seconds(r[next]) : kNoTime;
            qint64 weight = 0;
            if (t != kNoTime) {
                const qint64 step = nextTime == kNoTime ? -1 : nextTime - t;
                weight = step < 0 || step > 2 * spacing ? spacing : step;
            }
            weights[i] = weight;
            t = nextTime;
        }
        for (int c = 0; c < kChannelCount; ++c)
            addChannel(m_channels[c], c, r + start, weights, count);
        addSpread(r + start, start, count, measurement);
    }
}

void MeasurementStatistics::addMeasurement(const Data_List_T &measurement, int position)
{
    const int last = measurement.records.size() - 1;
    addRange(measurement.records, 0, last, usualSpacing(measurement.records, 0, last), position);
}

StatisticsFigures MeasurementStatistics::figures() const
{
    StatisticsFigures f;
    for (int i = 0; i < kChannelCount; ++i) {
        const Channel &c = m_channels[i];
        ChannelFigures &out = f.channel[i];
        out.readings = c.readings;
        if (c.readings == 0)
            continue;
        const double n = double(c.readings);
        const double mean = c.sum / n;
        out.min = c.min;
        out.max = c.max;
        out.mean = c.shift + mean;
        out.stddev = std::sqrt(std::max(0.0, c.squares / n - mean * mean));
        out.aboveSeconds = c.above;
        out.belowSeconds = c.below;
        out.bandSeconds = c.band;
        if (c.plainExp > 0) {
            // Σw·exp(a)/Σw = exp(aMax)·(Σw·exp(a - aMax)/Σw).
            const double scaled =
                c.weight > 0 ? c.weightedExp / c.weight : c.plainExp / double(c.readings);
            out.mkt = -m_limits.mktActivation / (c.aMax + std::log(scaled)) - kZeroCelsius;
        } else {
            out.mkt = std::numeric_limits<double>::quiet_NaN();
        }
    }
    f.spread = m_spread;
    if (m_spread.record >= 0)
        f.spread.time = dateTimeFromRecord(m_spreadRecord);
    return f;
}

StatisticsFigures measurementStatistics(const Data_List_T &measurement,
                                        const StatisticsLimits &limits)
{
    MeasurementStatistics s(limits);
    s.addMeasurement(measurement);
    return s.figures();
}
