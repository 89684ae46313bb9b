#include "store/tablepaging.h"

#include <algorithm>

int pageCountFor(int recordCount, int rowsPerPage)
{
    if (recordCount <= 0 || rowsPerPage <= 0)
        return 1;
    return (recordCount + rowsPerPage - 1) / rowsPerPage;
}

PageRows pageRows(int recordCount, int page, int rowsPerPage)
{
    PageRows out;
    if (recordCount <= 0 || rowsPerPage <= 0)
        return out;
    const int pages = pageCountFor(recordCount, rowsPerPage);
    page = std::clamp(page, 0, pages - 1);
    const int base = recordCount / pages;
    // The newest `longer` pages hold base + 1 records.
    const int longer = recordCount % pages;
    const int shorter = pages - longer;
    const int first = page < shorter ? page * base : shorter * base + (page - shorter) * (base + 1);
    out.rows = page < shorter ? base : base + 1;
    out.topIndex = first + out.rows - 1;
    return out;
}

int pageAfterEdit(int page, int recordsBefore, int recordsAfter, int rowsPerPage)
{
    const int pagesBefore = pageCountFor(recordsBefore, rowsPerPage);
    const int fromNewest = pagesBefore - 1 - std::clamp(page, 0, pagesBefore - 1);
    return std::max(0, pageCountFor(recordsAfter, rowsPerPage) - 1 - fromNewest);
}

QVector<_T_EE_TEST_DATA> liveRecords(const QList<QPair<_T_PRINT_OUT_DATA, _T_TIME>> &readings,
                                     int rowsPerPage)
{
    const int m = readings.size();
    const int first = std::max(0, m - std::max(0, rowsPerPage));
    QVector<_T_EE_TEST_DATA> out;
    out.reserve(m - first);
    for (int i = first; i < m; ++i)
        out.append(storedRecordFromReading(readings.at(i).first, readings.at(i).second));
    return out;
}
