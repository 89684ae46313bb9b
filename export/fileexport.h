#pragma once

#include "export/exportsource.h"
#include "export/statisticstable.h"
#include "export/workbookrules.h"
#include "store/data_list_t.h"
#include "store/data_table_t.h"
#include "store/tablerows.h"

#include <QString>

// The workbook and CSV writers. Each returns true when the whole file was
// written, and otherwise false with a reason in `error` (no partial file is
// left in place of a CSV; a workbook is moved into place only when complete).

// The statistics sheet of a workbook: its texts and the limits in use.
struct StatisticsSheet
{
    StatisticsTexts texts;
    std::optional<AlarmSettings> alarms; // none: the limit columns stay empty
};

// The whole archive, one sheet per measurement (more for a measurement
// beyond `recordsPerSheet` records), values in `unit`; with `statistics`
// then a sheet of the figures of every measurement with records (see
// statisticstable.h) and the largest spread of each.
bool writeWorkbook(const Data_table_T &archive, const QString &fileName, int unit,
                   const TableHeaderWords &words, QString *error,
                   int recordsPerSheet = kRecordsPerSheet,
                   const StatisticsSheet *statistics = nullptr);
// The same for sources (exportsource.h): one sheet (or more) per source, a
// group's on one time column with the channel columns of each instrument
// named "<label> T1 ...", rows as GroupRows gives them; its statistics one
// row per "<label> T1" and the spread across all its channels. The archive
// is written as exportSources() gives it.
bool writeWorkbook(const QVector<ExportSource> &sources, const QString &fileName, int unit,
                   const TableHeaderWords &words, QString *error,
                   int recordsPerSheet = kRecordsPerSheet,
                   const StatisticsSheet *statistics = nullptr);

// One measurement as UTF-8 text: a header line with the workbook's column
// texts, then one line per record (see csvRecordFields); lines end in "\n".
bool writeCsv(const Data_List_T &measurement, const QString &fileName, int unit,
              const TableHeaderWords &words, QString *error);
