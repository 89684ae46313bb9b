#pragma once

#include "stats/measurementstatistics.h"

#include <QString>
#include <QStringList>

// The statistics as CSV text, as kx740d-export --stats prints them. Column
// names are fixed, for scripts; temperatures in °C with two decimals,
// times in whole seconds, '.' as decimal point in every locale.

// "measurement,channel,readings,min,max,mean,stddev,mkt,above_s,below_s,band_s"
QString statisticsCsvHeader();

// One line per channel with readings, channel named T1..T4; the name quoted
// when it needs it. A time whose limit or band `limits` lacks is left empty.
QStringList statisticsCsvLines(const QString &measurement, const StatisticsFigures &figures,
                               const StatisticsLimits &limits);
