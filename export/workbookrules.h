#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// Rules of the exported workbook that do not depend on the file writer: sheet
// names, how measurements are spread over sheets, the column widths. The
// column texts it shares with the CSV text are in store/csvtext.h.

// A sheet has 1 048 576 rows; the first holds the column headers.
constexpr int kSheetRowLimit = 1048576;
constexpr int kRecordsPerSheet = kSheetRowLimit - 1;
// Workbook readers refuse sheet names longer than this (in characters).
constexpr int kSheetNameLimit = 31;

// `name` made acceptable as a sheet name: the characters []:*?/\ become "_",
// so does an apostrophe at either end, and the name is cut to 31 characters;
// an empty name becomes "Sheet".
QString validSheetName(const QString &name);

// The sheet name for a measurement named `name` when `existing` are taken:
// the name itself, or, while that is taken, the name followed by "(counter)"
// (again for every further clash, e.g. "A(2)(2)"), cut so the whole stays
// within 31 characters. Names clash when they are equal ignoring case, as
// workbook readers compare them.
QString uniqueSheetName(const QString &name, const QStringList &existing, int counter);

// One sheet of the workbook: which records of which measurement it holds.
struct SheetPart
{
    QString name;
    int measurement = 0; // index in the archive
    int firstRecord = 0; // index of its first record in the measurement
    int recordCount = 0; // rows below the header
};

// The sheets for measurements named `names` holding `recordCounts` records,
// in order: one per measurement, and further ones for a measurement with
// more than `recordsPerSheet` records (each with its own header row). The
// counter of uniqueSheetName starts at 1 and advances once per sheet.
QVector<SheetPart> workbookSheets(const QStringList &names, const QVector<int> &recordCounts,
                                  int recordsPerSheet = kRecordsPerSheet);

// Widths of columns A..J in character units.
QVector<double> workbookColumnWidths();
