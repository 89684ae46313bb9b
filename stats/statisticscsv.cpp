#include "stats/statisticscsv.h"

#include "store/csvtext.h"

#include <cmath>

namespace {

QString temperatureField(double celsius)
{
    if (!std::isfinite(celsius))
        return QString();
    const QString text = QString::number(celsius, 'f', 2);
    // A small negative rounding to zero is written as zero.
    return text == QLatin1String("-0.00") ? QStringLiteral("0.00") : text;
}

QString secondsField(bool set, qint64 seconds)
{
    return set ? QString::number(seconds) : QString();
}

} // namespace

QString statisticsCsvHeader()
{
    return QStringLiteral(
        "measurement,channel,readings,min,max,mean,stddev,mkt,above_s,below_s,band_s");
}

QStringList statisticsCsvLines(const QString &measurement, const StatisticsFigures &figures,
                               const StatisticsLimits &limits)
{
    QStringList lines;
    for (int i = 0; i < kChannelCount; ++i) {
        const ChannelFigures &c = figures.channel[i];
        if (c.readings == 0)
            continue;
        lines << csvLine({measurement, QStringLiteral("T%1").arg(i + 1),
                          QString::number(c.readings), temperatureField(c.min),
                          temperatureField(c.max), temperatureField(c.mean),
                          temperatureField(c.stddev), temperatureField(c.mkt),
                          secondsField(limits.high.has_value(), c.aboveSeconds),
                          secondsField(limits.low.has_value(), c.belowSeconds),
                          secondsField(limits.bandLow && limits.bandHigh, c.bandSeconds)});
    }
    return lines;
}
