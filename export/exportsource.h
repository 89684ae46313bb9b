#pragma once

#include "store/data_list_t.h"
#include "store/data_table_t.h"
#include "store/grouprows.h"

#include <QString>
#include <QStringList>
#include <QVector>

// What one report or one sheet of a workbook shows: a measurement, or the
// measurements of a recording made with several instruments at once (see
// store/measurementgroups.h), side by side on one time column.
struct ExportSource
{
    QString name; // title, sheet and file name: the measurement's or the recording's
    QVector<Data_List_T> measurements; // in archive order; copies share their records
    QStringList labels; // the instruments' labels of a group; empty for one measurement

    bool isGroup() const { return !labels.isEmpty(); }
    // "T1" of one measurement, "<label> T1" in a group; `channel` is 0-based.
    QString channelName(int measurement, int channel) const;
};

// One measurement as it is.
ExportSource singleSource(const Data_List_T &measurement);
// The group of measurement `index` of `archive` (the measurement alone when
// it was recorded by one instrument).
ExportSource exportSource(const Data_table_T &archive, int index);
// The whole archive, a group where measurements were recorded together.
QVector<ExportSource> exportSources(const Data_table_T &archive);

// Record `index` of a group's measurement where there is one, otherwise a
// record holding no reading on any channel (no type letter either), which
// the tables show as they show a channel without a value.
_T_EE_TEST_DATA recordOrGap(const ExportSource &source, int measurement, int index);
