#pragma once

#include "store/data_list_t.h"

#include <QVector>

// The rows of the table of measurements recorded together, side by side on
// one time column: a row per time, holding the record of that second of
// every measurement that has one, in time order. The records of each
// measurement keep their order, so one measurement gives a row per record;
// a record without a valid time makes a row of its own where it stands.
class GroupRows
{
public:
    explicit GroupRows(const QVector<Data_List_T> &measurements);

    int rowCount() const { return m_rows; }
    // Index of the record of measurement `measurement` in row `row`; -1 when
    // that measurement has none at the row's time.
    int record(int row, int measurement) const
    {
        return m_records[row * m_measurements + measurement];
    }
    // The record whose date and time the row shows: its first one.
    const _T_EE_TEST_DATA &timeRecord(const QVector<Data_List_T> &measurements, int row) const;
    // The 0-based row of every record of every measurement.
    QVector<QVector<double>> rowOfRecords() const;

private:
    int m_measurements = 0;
    int m_rows = 0;
    QVector<int> m_records; // rows x measurements
    QVector<int> m_sizes;
};
