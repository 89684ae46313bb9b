#pragma once

#include "alarm/alarmrules.h"
#include "export/exportsource.h"
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

// The figures of a source (exportsource.h): those of each of its
// measurements, and the largest spread between any two of its channels with
// a value at one time (in one row of its table). In a group the spread's
// channels count on through the measurements (measurement * 4 + channel)
// and its record is the row; the measurement's own spread otherwise.
struct SourceFigures
{
    QVector<LimitedFigures> measurements;
    SpreadFigure spread;
};
SourceFigures sourceFigures(const ExportSource &source, const std::optional<AlarmSettings> &alarms);

// One row per channel with readings, in the order of the header: texts,
// readings and seconds as qint64, temperatures as double in `unit` (the
// standard deviation scaled only, it has no offset); a null QVariant for a
// limit that is not set. The channel is named as ExportSource::channelName.
QVector<QVariantList> statisticsRows(const ExportSource &source, const SourceFigures &f, int unit);
// The cells of the largest spread: source name, spread in `unit` (scaled
// only), time (QDateTime), highest and lowest channel; only the name when
// no time had two values.
QVariantList spreadCells(const ExportSource &source, const SourceFigures &f, int unit);
