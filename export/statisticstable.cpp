#include "export/statisticstable.h"

#include "instrument/temperature.h"

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

QString channelName(int channel)
{
    return QStringLiteral("T%1").arg(channel + 1);
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

QVariantList statisticsCells(const QString &measurement, int channel, const LimitedFigures &f,
                             int unit)
{
    const ChannelFigures &c = f.figures.channel[channel];
    return {measurement,
            channelName(channel),
            c.readings,
            temperatureInUnit(c.min, unit),
            temperatureInUnit(c.max, unit),
            temperatureInUnit(c.mean, unit),
            differenceInUnit(c.stddev, unit),
            temperatureInUnit(c.mkt, unit),
            f.hasHigh[channel] ? QVariant(c.aboveSeconds) : QVariant(),
            f.hasLow[channel] ? QVariant(c.belowSeconds) : QVariant()};
}

QVariantList spreadCells(const QString &measurement, const LimitedFigures &f, int unit)
{
    const SpreadFigure &s = f.figures.spread;
    if (s.measurement < 0)
        return {measurement};
    return {measurement, differenceInUnit(s.spread, unit), s.time, channelName(s.highChannel),
            channelName(s.lowChannel)};
}
