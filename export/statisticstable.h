#pragma once

#include "alarm/alarmrules.h"
#include "stats/measurementstatistics.h"
#include "store/data_list_t.h"

#include <QString>
#include <QStringList>
#include <QVariantList>

#include <optional>

// The statistics of the workbook's sheet and of the report's page: the
// figures of `kx740d-export --stats` per measurement and channel, with each
// channel's alarm limits of the export as its high and low limit.

// The translated texts of the statistics sheet and page.
struct StatisticsTexts
{
    QString title;            // "统计": the sheet's name, the page's heading
    QStringList header;       // measurement, channel, readings, min, max, mean,
                              // stddev, MKT, seconds above, seconds below
    QStringList spreadHeader; // measurement, largest spread, time, highest, lowest channel
};

// The figures of one measurement; a channel's times above and below count
// only where its limit is switched on.
struct LimitedFigures
{
    StatisticsFigures figures;
    bool hasHigh[kChannelCount] = {};
    bool hasLow[kChannelCount] = {};
};
LimitedFigures limitedFigures(const Data_List_T &measurement,
                              const std::optional<AlarmSettings> &alarms);

// The header with the unit after the temperature columns, e.g. "最低(℃)".
QStringList statisticsHeader(const StatisticsTexts &texts, int unit);

// The cells of channel `channel` (0-based) in the order of the header:
// texts, readings and seconds as qint64, temperatures as double in `unit`
// (the standard deviation scaled only, it has no offset); a null QVariant
// for a limit that is not set.
QVariantList statisticsCells(const QString &measurement, int channel, const LimitedFigures &f,
                             int unit);
// The cells of the largest spread: measurement, spread in `unit` (scaled
// only), time (QDateTime), highest and lowest channel ("T1"); only the
// measurement when no record had two values.
QVariantList spreadCells(const QString &measurement, const LimitedFigures &f, int unit);
