#pragma once

#include "instrument/records.h"

#include <QList>
#include <QPair>
#include <QVector>

// Paging of a measurement in the data table. Pages are numbered from 0, the
// oldest, and share the records evenly: their sizes differ by one at most
// (the newer pages hold the extra record), so one record more than a page
// gives two half pages, never a page of one row. A page never shows rows
// without a record, and every page lists its records newest first.

constexpr int kRowsPerPage = 1000;

// Pages for `recordCount` records: at least 1, and exactly enough to hold
// them (1000 records are one page, 1001 two).
int pageCountFor(int recordCount, int rowsPerPage = kRowsPerPage);

// Records shown on one page: the index of the record in the top row (the
// newest of the page) and the number of rows. Row r shows record
// `topIndex - r`.
struct PageRows
{
    int topIndex = -1;
    int rows = 0;
};
// `page` is clamped to 0 .. pageCountFor(recordCount) - 1.
PageRows pageRows(int recordCount, int page, int rowsPerPage = kRowsPerPage);

// The page to show after an edit changed the record count from
// `recordsBefore` to `recordsAfter` while `page` was shown. Pages are counted
// from the newest records, so the page as far from the newest one as before
// still holds the rows around the edit; the oldest page once there are fewer
// pages than that.
int pageAfterEdit(int page, int recordsBefore, int recordsAfter, int rowsPerPage = kRowsPerPage);

// The records of the live view of a recording: the last `rowsPerPage`
// readings (all when fewer), oldest first, converted as the instrument driver
// stores them. The table shows them newest first and adds one empty row.
QVector<_T_EE_TEST_DATA> liveRecords(const QList<QPair<_T_PRINT_OUT_DATA, _T_TIME>> &readings,
                                     int rowsPerPage = kRowsPerPage);
