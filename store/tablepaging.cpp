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
    out.topIndex = recordCount - 1 - (pages - 1 - page) * rowsPerPage;
    out.rows = page == 0 ? recordCount - (pages - 1) * rowsPerPage : rowsPerPage;
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
