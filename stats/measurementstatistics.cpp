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

void MeasurementStatistics::addMkt(Lanes &l, int c, float value, double weight) const
{
    if (value != l.lastValue[c]) {
        // A steady channel repeats its value and so its exponent. A moving
        // one stays near the last exact exponent and takes it times e^d:
        // std::exp on every reading would double the time of the whole.
        const double kelvin = double(value) + kZeroCelsius;
        if (kelvin <= 0) // no thermometer reads that; it would divide by zero
            return;
        const double a = -m_limits.mktActivation / kelvin;
        if (l.plainExp[c] == 0 || a > l.aMax[c]) {
            const double scale = l.plainExp[c] == 0 ? 0 : std::exp(l.aMax[c] - a);
            l.weightedExp[c] *= scale;
            l.plainExp[c] *= scale;
            l.aMax[c] = a;
            l.anchorA[c] = a;
            l.anchorExp[c] = 1;
            l.lastExp[c] = 1;
        } else if (const double d = a - l.anchorA[c]; std::abs(d) < kNearStep) {
            l.lastExp[c] = l.anchorExp[c] * expNear(d);
        } else {
            l.anchorA[c] = a;
            l.anchorExp[c] = std::exp(a - l.aMax[c]);
            l.lastExp[c] = l.anchorExp[c];
        }
        l.lastValue[c] = value;
    }
    l.weightedExp[c] += weight * l.lastExp[c];
    l.plainExp[c] += l.lastExp[c];
    l.weight[c] += weight;
}

void MeasurementStatistics::addRecords(Lanes &lanes, const _T_EE_TEST_DATA *records,
                                       const qint64 *weights, int first, int count, int measurement)
{
    // One pass over the records with the four channels side by side and
    // without branches where it can: a reading without a value adds 0, which
    // leaves every sum exactly as it was, and ±infinity to the extremes. Each
    // channel is summed in the same order as on its own, so every figure
    // comes out the same to the last bit.
    Lanes l = lanes; // summed in a local copy, so the sums stay in registers
    const double activation = m_limits.mktActivation;
    for (int i = 0; i < count; ++i) {
        const _T_EE_TEST_DATA &record = records[i];
        const qint64 weight = weights[i];
        const double w = double(weight);
        bool ok[4];
        float v[4];
        int values = 0;
        for (int c = 0; c < 4; ++c) {
            ok[c] = record.state[c] == StateValue && std::isfinite(record.value[c]);
            v[c] = ok[c] ? record.value[c] : 0.0f;
            values += ok[c];
        }
        if (values == 0)
            continue;
        for (int c = 0; c < 4; ++c) {
            l.shift[c] = ok[c] && l.readings[c] == 0 ? double(v[c]) : l.shift[c];
            l.min[c] = std::min(l.min[c], ok[c] ? v[c] : kInf);
            l.max[c] = std::max(l.max[c], ok[c] ? v[c] : -kInf);
            l.readings[c] += ok[c];
            const double d = ok[c] ? double(v[c]) - l.shift[c] : 0.0;
            l.sum[c] += d;
            l.squares[c] += d * d;
            l.above[c] += ok[c] && v[c] > m_high ? weight : 0;
            l.below[c] += ok[c] && v[c] < m_low ? weight : 0;
            l.band[c] += ok[c] && v[c] >= m_bandLow && v[c] <= m_bandHigh ? weight : 0;
        }

        // The usual reading repeats its value or lies near the last exact
        // exponent: all four lanes at once. Anything else, lane by lane.
        bool changed[4];
        double d[4];
        bool usual = true;
        for (int c = 0; c < 4; ++c) {
            changed[c] = ok[c] && v[c] != l.lastValue[c];
            const double kelvin = double(v[c]) + kZeroCelsius;
            const double a = -activation / kelvin;
            d[c] = a - l.anchorA[c];
            usual = usual && (!changed[c] || (kelvin > 0 && l.plainExp[c] != 0 &&
                                              !(a > l.aMax[c]) && std::abs(d[c]) < kNearStep));
        }
        if (usual) {
            for (int c = 0; c < 4; ++c) {
                l.lastExp[c] = changed[c] ? l.anchorExp[c] * expNear(d[c]) : l.lastExp[c];
                l.lastValue[c] = changed[c] ? v[c] : l.lastValue[c];
                const double e = ok[c] ? l.lastExp[c] : 0.0;
                l.weightedExp[c] += ok[c] ? w * e : 0.0;
                l.plainExp[c] += e;
                l.weight[c] += ok[c] ? w : 0.0;
            }
        } else {
            for (int c = 0; c < 4; ++c) {
                if (ok[c])
                    addMkt(l, c, v[c], w);
            }
        }

        if (values < 2)
            continue;
        float high = -kInf;
        float low = kInf;
        for (int c = 0; c < 4; ++c) {
            high = std::max(high, ok[c] ? v[c] : -kInf);
            low = std::min(low, ok[c] ? v[c] : kInf);
        }
        const double spread = double(high) - double(low);
        if (m_spread.record >= 0 && !(spread > m_spread.spread))
            continue;
        m_spread.spread = spread;
        m_spread.measurement = measurement;
        m_spread.record = first + i;
        m_spreadRecord = record;
        // Ties name the first channel as highest and the last as lowest, so
        // two channels are named whenever two have a value.
        for (int c = 3; c >= 0; --c) {
            if (ok[c] && v[c] == high)
                m_spread.highChannel = c;
        }
        for (int c = 0; c < 4; ++c) {
            if (ok[c] && v[c] == low)
                m_spread.lowChannel = c;
        }
    }
    lanes = l;
}

void MeasurementStatistics::addRange(const QVector<_T_EE_TEST_DATA> &records, int first, int last,
                                     qint64 spacing, int measurement)
{
    first = std::max(first, 0);
    last = std::min(last, int(records.size()) - 1);
    if (first > last)
        return;
    // The times of a block of records, then the block's figures.
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
        addRecords(m_lanes, r + start, weights, start, count, measurement);
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
    const Lanes &l = m_lanes;
    for (int i = 0; i < kChannelCount; ++i) {
        ChannelFigures &out = f.channel[i];
        out.readings = l.readings[i];
        if (l.readings[i] == 0)
            continue;
        const double n = double(l.readings[i]);
        const double mean = l.sum[i] / n;
        out.min = l.min[i];
        out.max = l.max[i];
        out.mean = l.shift[i] + mean;
        out.stddev = std::sqrt(std::max(0.0, l.squares[i] / n - mean * mean));
        out.aboveSeconds = l.above[i];
        out.belowSeconds = l.below[i];
        out.bandSeconds = l.band[i];
        if (l.plainExp[i] > 0) {
            // Σw·exp(a)/Σw = exp(aMax)·(Σw·exp(a - aMax)/Σw).
            const double scaled = l.weight[i] > 0 ? l.weightedExp[i] / l.weight[i]
                                                  : l.plainExp[i] / double(l.readings[i]);
            out.mkt = -m_limits.mktActivation / (l.aMax[i] + std::log(scaled)) - kZeroCelsius;
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
