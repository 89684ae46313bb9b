#include "store/recordclipboard.h"

#include <algorithm>
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

bool removeSelectedRecords(QVector<_T_EE_TEST_DATA> &records, const QList<SelectedRows> &ranges)
{
    std::set<int> doomed;
    bool processed = false;
    for (const SelectedRows &range : ranges) {
        if (records.isEmpty())
            break;
        processed = true;
        for (int number : range.numbers) {
            if (number > 0 && number <= records.size())
                doomed.insert(number - 1);
        }
    }
    // From the highest index down, so the indices still to go stay valid.
    for (auto it = doomed.rbegin(); it != doomed.rend(); ++it)
        records.remove(*it);
    return processed;
}

bool insertRecords(QVector<_T_EE_TEST_DATA> &records, const QList<SelectedRows> &ranges,
                   const QVector<_T_EE_TEST_DATA> &clipboard, bool above)
{
    if (clipboard.isEmpty())
        return false;
    if (ranges.isEmpty()) {
        if (!records.isEmpty())
            return false;
        records = clipboard;
        return true;
    }
    const SelectedRows *chosen = &ranges.first();
    for (const SelectedRows &range : ranges) {
        if (above ? range.topRow < chosen->topRow : range.bottomRow() > chosen->bottomRow())
            chosen = &range;
    }
    if (chosen->numbers.isEmpty())
        return false;
    const int number = above ? chosen->numbers.first() : chosen->numbers.last();
    if (number <= 0 || number > records.size())
        return false;
    const int at = above ? number : number - 1;
    QVector<_T_EE_TEST_DATA> merged;
    merged.reserve(records.size() + clipboard.size());
    merged << records.mid(0, at) << clipboard << records.mid(at);
    records = std::move(merged);
    return true;
}
