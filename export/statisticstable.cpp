#include "export/statisticstable.h"

#include "instrument/temperature.h"

#include <cmath>

namespace {

double temperatureInUnit(double celsius, int unit)
{
    switch (unit) {
    case UnitFahrenheit:
        return celsius * 1.8 + 32.0;
    case UnitKelvin:
        return celsius + 273.15;
    default:
        return celsius;
    }
}

// A difference of temperatures: the scale applies, the offset does not.
double differenceInUnit(double celsius, int unit)
{
    return unit == UnitFahrenheit ? celsius * 1.8 : celsius;
}

} // namespace

LimitedFigures limitedFigures(const Data_List_T &measurement,
                              const std::optional<AlarmSettings> &alarms)
{
    LimitedFigures out;
    out.figures = measurementStatistics(measurement);
    if (!alarms)
        return out;
    // The limits differ by channel; a channel with one is counted again with
    // its own.
    for (int ch = 0; ch < kChannelCount; ++ch) {
        const ChannelLimits &c = alarms->channels[ch];
        if (!c.hasHigh && !c.hasLow)
            continue;
        StatisticsLimits limits;
        if (c.hasHigh)
            limits.high = c.high;
        if (c.hasLow)
            limits.low = c.low;
        out.figures.channel[ch] = measurementStatistics(measurement, limits).channel[ch];
        out.hasHigh[ch] = c.hasHigh;
        out.hasLow[ch] = c.hasLow;
    }
    return out;
}

QStringList statisticsHeader(const StatisticsTexts &texts, int unit)
{
    QStringList header = texts.header;
    const QString suffix = QLatin1Char('(') + unitSymbol(unit) + QLatin1Char(')');
    for (int i = 3; i <= 7 && i < header.size(); ++i)
        header[i] += suffix;
    return header;
}

SourceFigures sourceFigures(const ExportSource &source, const std::optional<AlarmSettings> &alarms)
{
    SourceFigures out;
    for (const Data_List_T &m : source.measurements)
        out.measurements << limitedFigures(m, alarms);
    if (!source.isGroup()) {
        if (!out.measurements.isEmpty())
            out.spread = out.measurements.first().figures.spread;
        return out;
    }
    // The same rule as within a record: the largest spread first found, ties
    // naming the first channel as highest and the last as lowest.
    const GroupRows rows(source.measurements);
    const int count = source.measurements.size();
    for (int row = 0; row < rows.rowCount(); ++row) {
        int values = 0;
        float high = 0;
        float low = 0;
        int highChannel = -1;
        int lowChannel = -1;
        for (int m = 0; m < count; ++m) {
            const int index = rows.record(row, m);
            if (index < 0)
                continue;
            const _T_EE_TEST_DATA &r = source.measurements[m].records[index];
            for (int ch = 0; ch < kChannelCount; ++ch) {
                if (r.state[ch] != StateValue || !std::isfinite(r.value[ch]))
                    continue;
                const float v = r.value[ch];
                if (values == 0 || v > high) {
                    high = v;
                    highChannel = m * kChannelCount + ch;
                }
                if (values == 0 || v <= low) {
                    low = v;
                    lowChannel = m * kChannelCount + ch;
                }
                ++values;
            }
        }
        const double spread = double(high) - double(low);
        if (values < 2 || (out.spread.record >= 0 && !(spread > out.spread.spread)))
            continue;
        out.spread.spread = spread;
        out.spread.measurement = 0;
        out.spread.record = row;
        out.spread.time = dateTimeFromRecord(rows.timeRecord(source.measurements, row));
        out.spread.highChannel = highChannel;
        out.spread.lowChannel = lowChannel;
    }
    return out;
}

QVector<QVariantList> statisticsRows(const ExportSource &source, const SourceFigures &f, int unit)
{
    QVector<QVariantList> out;
    for (int m = 0; m < f.measurements.size(); ++m) {
        const LimitedFigures &l = f.measurements[m];
        for (int ch = 0; ch < kChannelCount; ++ch) {
            const ChannelFigures &c = l.figures.channel[ch];
            if (c.readings == 0)
                continue;
            out << QVariantList{source.name,
                                source.channelName(m, ch),
                                c.readings,
                                temperatureInUnit(c.min, unit),
                                temperatureInUnit(c.max, unit),
                                temperatureInUnit(c.mean, unit),
                                differenceInUnit(c.stddev, unit),
                                temperatureInUnit(c.mkt, unit),
                                l.hasHigh[ch] ? QVariant(c.aboveSeconds) : QVariant(),
                                l.hasLow[ch] ? QVariant(c.belowSeconds) : QVariant()};
        }
    }
    return out;
}

QVariantList spreadCells(const ExportSource &source, const SourceFigures &f, int unit)
{
    const SpreadFigure &s = f.spread;
    if (s.measurement < 0)
        return {source.name};
    // A group's channels count on through its measurements.
    const auto name = [&](int channel) {
        return source.isGroup()
                   ? source.channelName(channel / kChannelCount, channel % kChannelCount)
                   : source.channelName(0, channel);
    };
    return {source.name, differenceInUnit(s.spread, unit), s.time, name(s.highChannel),
            name(s.lowChannel)};
}
