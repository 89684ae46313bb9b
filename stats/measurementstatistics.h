#pragma once

#include "instrument/records.h"
#include "store/data_list_t.h"

#include <QDateTime>
#include <QList>
#include <QVector>

#include <limits>
#include <optional>

// Figures of stored measurements per channel, the way cold-chain records and
// furnace surveys are judged. Temperatures are degrees Celsius, times whole
// seconds.
//
// Which readings count: a channel's reading enters a figure only when its
// state is a value (StateValue) and the value is finite; below or above the
// range and no reading are left out of every figure, and the time they stand
// for is counted in none of the times.
//
// Time rules. A record's time is its date and time as the table shows it,
// counted without time zone or daylight saving as the instrument's clock
// runs (a clock put forward shows as a stop, one put back as a clock set
// back). The usual spacing of a measurement is the median of the positive
// steps between consecutive records (the lower middle one of an even count). A reading stands for
// the time until the next record, except:
//   - a step longer than twice the usual spacing (logger stopped, file
//     joined from two runs), a clock set back, or a next record without a
//     valid time: the reading stands for one usual spacing and the rest of
//     the step, whose temperature nobody knows, counts nowhere;
//   - the last record stands for one usual spacing;
//   - a record without a valid date or time stands for no time.
// So a cold room whose logger stopped overnight is not charged with the night
// above its limit, and the reading before the stop still counts as long as
// any other.
//
// Readings, minimum, maximum, mean and standard deviation are plain figures
// per reading, as they are checked by hand; the standard deviation is the
// population one (divided by the number of readings, Excel's STDEV.P). Mean
// kinetic temperature is weighted by the time each reading stands for
// (readings of equal weight when none stands for any time, as a single
// reading). Limits are compared at the readings' single precision, so a
// reading shown as 8.1 is not above a high limit of 8.1.

// ΔH/R of the mean kinetic temperature in kelvin by default: ΔH = 83.144 kJ/mol.
constexpr double kDefaultMktActivation = 10000.0;
// ΔH/R in kelvin for an activation energy ΔH in kJ/mol.
double mktActivationFromKiloJoules(double kiloJoulesPerMole);

struct StatisticsLimits
{
    std::optional<double> high;                   // time strictly above
    std::optional<double> low;                    // time strictly below
    std::optional<double> bandLow;                // band [bandLow, bandHigh], both ends included;
    std::optional<double> bandHigh;               // set both or neither
    double mktActivation = kDefaultMktActivation; // ΔH/R, kelvin
};

struct ChannelFigures
{
    qint64 readings = 0; // the other figures mean something only when > 0
    double min = 0;
    double max = 0;
    double mean = 0;
    double stddev = 0;
    double mkt = 0;
    qint64 aboveSeconds = 0; // 0 when the limit is not set
    qint64 belowSeconds = 0;
    qint64 bandSeconds = 0;
};

// The largest difference between two channels with a value in one record.
struct SpreadFigure
{
    double spread = 0;
    int measurement = -1; // position in the group; -1 while no record had two values
    int record = -1;      // index in that measurement's records
    QDateTime time;       // that record's time
    int highChannel = -1; // 0-based channels holding the highest and lowest value
    int lowChannel = -1;
};

struct StatisticsFigures
{
    ChannelFigures channel[kChannelCount];
    SpreadFigure spread;
};

// Median step between consecutive records first..last (seconds), as
// described above; 0 when no step is positive.
qint64 usualSpacing(const QVector<_T_EE_TEST_DATA> &records, int first, int last);

// Collects the figures of any number of measurements (a group, each added
// with its position) or ranges of records (the chart's range in view).
// Adding costs one pass over the records and allocates nothing per record;
// addMeasurement() adds one more over the times for the usual spacing.
class MeasurementStatistics
{
public:
    explicit MeasurementStatistics(const StatisticsLimits &limits = StatisticsLimits());

    // Adds records first..last (inclusive) of one measurement with its usual
    // spacing (usualSpacing() over the whole measurement, which a view may
    // keep). The last record of the range stands for the step to the record
    // after it when there is one, so adjacent ranges add up to the whole.
    // `measurement` is what the spread reports as its position.
    void addRange(const QVector<_T_EE_TEST_DATA> &records, int first, int last, qint64 spacing,
                  int measurement = 0);
    // The whole measurement with its own usual spacing.
    void addMeasurement(const Data_List_T &measurement, int position = 0);

    StatisticsFigures figures() const;

private:
    struct Channel
    {
        qint64 readings = 0;
        float min = 0;
        float max = 0;
        // Sums of (value - shift) and its square, the shift being the first
        // value, so a furnace at 1000 °C keeps the digits of its spread.
        double shift = 0;
        double sum = 0;
        double squares = 0;
        // Σ w·exp(a - aMax) and Σ exp(a - aMax) with a = -ΔH/(R·T): scaled
        // by the largest exponent so far, so no ΔH or temperature overflows.
        double aMax = 0;
        double weightedExp = 0;
        double plainExp = 0;
        double weight = 0;
        // exp(a - aMax) of the last value, and an exponent computed exactly
        // that later ones near it start from.
        float lastValue = std::numeric_limits<float>::quiet_NaN();
        double lastExp = 0;
        double anchorA = 0;
        double anchorExp = 0;
        qint64 above = 0;
        qint64 below = 0;
        qint64 band = 0;
    };
    void addChannel(Channel &channel, int index, const _T_EE_TEST_DATA *records,
                    const qint64 *weights, int count) const;
    void addSpread(const _T_EE_TEST_DATA *records, int first, int count, int measurement);

    StatisticsLimits m_limits;
    float m_high, m_low, m_bandLow, m_bandHigh; // limits at reading precision
    Channel m_channels[kChannelCount];
    SpreadFigure m_spread;
    _T_EE_TEST_DATA m_spreadRecord; // its time is made once, when asked for
};

// The figures of one measurement.
StatisticsFigures measurementStatistics(const Data_List_T &measurement,
                                        const StatisticsLimits &limits = StatisticsLimits());
