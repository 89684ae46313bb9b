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

// Removes exactly the records shown in the selected rows, whatever the order
// of the ranges. Returns true when a range was processed (the measurement had
// records), which marks the archive modified.
bool removeSelectedRecords(QVector<_T_EE_TEST_DATA> &records, const QList<SelectedRows> &ranges);

// Inserts the clipboard above the top-most selected row (after its record in
// storage order) or below the bottom-most one (before its record). With
// nothing selected the clipboard fills an empty measurement only. Returns
// true when records were inserted.
bool insertRecords(QVector<_T_EE_TEST_DATA> &records, const QList<SelectedRows> &ranges,
                   const QVector<_T_EE_TEST_DATA> &clipboard, bool above);
