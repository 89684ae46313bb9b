#include "store/recordclipboard.h"

#include <set>

bool collectRecords(const QVector<_T_EE_TEST_DATA> *records, const QList<SelectedRows> &ranges,
                    QVector<_T_EE_TEST_DATA> &clipboard)
{
    clipboard.clear();
    for (const SelectedRows &range : ranges) {
        // Bottom up: the newest-first view lists the smallest number lowest.
        for (int i = range.numbers.size() - 1; i >= 0; --i) {
            const int number = range.numbers.at(i);
            if (number <= 0)
                return false;
            if (records && number - 1 < records->size())
                clipboard.append(records->at(number - 1));
        }
    }
    return true;
}

QVector<int> selectedRecordIndexes(const QList<SelectedRows> &ranges, int recordCount)
{
    std::set<int> chosen;
    for (const SelectedRows &range : ranges) {
        for (int number : range.numbers) {
            if (number > 0 && number <= recordCount)
                chosen.insert(number - 1);
        }
    }
    return QVector<int>(chosen.begin(), chosen.end());
}

int insertionIndex(const QList<SelectedRows> &ranges, int recordCount, bool above)
{
    if (ranges.isEmpty())
        return recordCount == 0 ? 0 : -1;
    const SelectedRows *chosen = &ranges.first();
    for (const SelectedRows &range : ranges) {
        if (above ? range.topRow < chosen->topRow : range.bottomRow() > chosen->bottomRow())
            chosen = &range;
    }
    if (chosen->numbers.isEmpty())
        return -1;
    const int number = above ? chosen->numbers.first() : chosen->numbers.last();
    if (number <= 0 || number > recordCount)
        return -1;
    return above ? number : number - 1;
}

QVector<_T_EE_TEST_DATA> takeRecords(QVector<_T_EE_TEST_DATA> &records, const QVector<int> &indexes)
{
    QVector<_T_EE_TEST_DATA> taken;
    QVector<_T_EE_TEST_DATA> kept;
    taken.reserve(indexes.size());
    kept.reserve(records.size() - indexes.size());
    int next = 0;
    for (int i = 0; i < records.size(); ++i) {
        if (next < indexes.size() && indexes.at(next) == i) {
            taken.append(records.at(i));
            ++next;
        } else {
            kept.append(records.at(i));
        }
    }
    records = std::move(kept);
    return taken;
}

void putRecordsBack(QVector<_T_EE_TEST_DATA> &records, const QVector<int> &indexes,
                    const QVector<_T_EE_TEST_DATA> &taken)
{
    QVector<_T_EE_TEST_DATA> merged;
    merged.reserve(records.size() + taken.size());
    int from = 0;
    for (int k = 0; k < taken.size(); ++k) {
        // indexes.at(k) is the place in the merged measurement.
        while (merged.size() < indexes.at(k))
            merged.append(records.at(from++));
        merged.append(taken.at(k));
    }
    while (from < records.size())
        merged.append(records.at(from++));
    records = std::move(merged);
}
