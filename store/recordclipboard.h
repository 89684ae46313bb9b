#pragma once

#include "instrument/records.h"

#include <QList>
#include <QVector>

// Edits of a measurement through the rows selected in the data table. A row
// names its record by the 1-based number in its "编号" column (record index =
// number - 1); a row without a number (the empty last row of the live view or
// of an empty table) is given as 0.

struct SelectedRows
{
    int topRow = 0;
    QVector<int> numbers; // numbers of the rows top to bottom, 0 = no number

    int bottomRow() const { return topRow + numbers.size() - 1; }
};

// Records of the selected rows for the record clipboard, each range's in
// ascending order. Returns false, with `clipboard` holding what was taken so
// far, when a row without a number stops the collection. `records` may be
// null (no current measurement): nothing is taken then.
bool collectRecords(const QVector<_T_EE_TEST_DATA> *records, const QList<SelectedRows> &ranges,
                    QVector<_T_EE_TEST_DATA> &clipboard);

// Indexes of the records shown in the selected rows, ascending and each once,
// whatever the order of the ranges; only those below `recordCount`.
QVector<int> selectedRecordIndexes(const QList<SelectedRows> &ranges, int recordCount);

// Where the clipboard goes into a measurement of `recordCount` records: above
// the top-most selected row (after its record in storage order) or below the
// bottom-most one (before its record). With nothing selected only an empty
// measurement is filled (index 0). -1 when nothing is to be inserted.
int insertionIndex(const QList<SelectedRows> &ranges, int recordCount, bool above);

// Takes the records at `indexes` (ascending) out of `records` and returns
// them in order; putRecordsBack() undoes it. Both run in one pass over the
// measurement, so a selection of many rows costs no more than one.
QVector<_T_EE_TEST_DATA> takeRecords(QVector<_T_EE_TEST_DATA> &records,
                                     const QVector<int> &indexes);
void putRecordsBack(QVector<_T_EE_TEST_DATA> &records, const QVector<int> &indexes,
                    const QVector<_T_EE_TEST_DATA> &taken);
