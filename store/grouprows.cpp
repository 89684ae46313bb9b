#include "store/grouprows.h"

#include <QDate>

#include <limits>

namespace {

constexpr qint64 kNoTime = std::numeric_limits<qint64>::min();

// Seconds of a record's date and time as written in it, without time zone:
// the instruments' clocks know none.
qint64 recordSeconds(const _T_EE_TEST_DATA &r)
{
    const QDate date(2000 + r.year, r.month, r.day);
    if (!date.isValid() || r.hour > 23 || r.minute > 59 || r.second > 59)
        return kNoTime;
    return date.toJulianDay() * 86400 + r.hour * 3600 + r.minute * 60 + r.second;
}

} // namespace

GroupRows::GroupRows(const QVector<Data_List_T> &measurements) : m_measurements(measurements.size())
{
    for (const Data_List_T &m : measurements)
        m_sizes << m.records.size();
    if (m_measurements == 1) { // nothing to match
        m_rows = m_sizes.first();
        m_records.resize(m_rows);
        for (int i = 0; i < m_rows; ++i)
            m_records[i] = i;
        return;
    }
    // Merged like sorted lists: each row takes the next record of every
    // measurement whose next record has the earliest time.
    QVector<int> next(m_measurements, 0);
    QVector<qint64> times(m_measurements);
    for (;;) {
        bool any = false;
        qint64 earliest = 0;
        int without = -1; // a measurement whose next record has no valid time
        for (int m = 0; m < m_measurements; ++m) {
            if (next[m] >= m_sizes[m])
                continue;
            times[m] = recordSeconds(measurements[m].records[next[m]]);
            if (times[m] == kNoTime) {
                without = m;
                break;
            }
            if (!any || times[m] < earliest)
                earliest = times[m];
            any = true;
        }
        if (without < 0 && !any)
            break;
        for (int m = 0; m < m_measurements; ++m) {
            const bool taken =
                without >= 0 ? m == without : next[m] < m_sizes[m] && times[m] == earliest;
            m_records << (taken ? next[m]++ : -1);
        }
        ++m_rows;
    }
}

const _T_EE_TEST_DATA &GroupRows::timeRecord(const QVector<Data_List_T> &measurements,
                                             int row) const
{
    for (int m = 0; m < m_measurements; ++m) {
        if (record(row, m) >= 0)
            return measurements[m].records[record(row, m)];
    }
    static const _T_EE_TEST_DATA none;
    return none; // every row holds a record; this is not reached
}

QVector<QVector<double>> GroupRows::rowOfRecords() const
{
    QVector<QVector<double>> out(m_measurements);
    for (int m = 0; m < m_measurements; ++m)
        out[m].resize(m_sizes[m]);
    for (int row = 0; row < m_rows; ++row) {
        for (int m = 0; m < m_measurements; ++m) {
            if (record(row, m) >= 0)
                out[m][record(row, m)] = row;
        }
    }
    return out;
}
