#pragma once

#include "store/data_list_t.h"

#include <QDateTime>
#include <QList>
#include <QString>

// The archive: every measurement of the session in tree order, with the
// archive's own name and creation time. The archive owns the measurements
// that `lists` points to; whoever takes one out of the list deletes it.
// Copies are deep, so a copy handed elsewhere (an export, a file being
// written) shares nothing with the archive.
struct Data_table_T
{
    QList<Data_List_T *> lists;
    QString name;
    QDateTime created;

    Data_table_T() = default;
    Data_table_T(const Data_table_T &other);
    Data_table_T(Data_table_T &&other) noexcept;
    Data_table_T &operator=(const Data_table_T &other);
    Data_table_T &operator=(Data_table_T &&other) noexcept;
    ~Data_table_T();

    // Adds a copy of `measurement` at the end and returns the archive's copy.
    Data_List_T *append(const Data_List_T &measurement);
    // Deletes every measurement.
    void clear();
};

// An empty archive made now, named "新建档案" (translated).
Data_table_T newArchive();

// Name for a new, empty measurement of `archive`: "新建测量" (translated)
// while no measurement has it, else the first free of "新建测量 2",
// "新建测量 3" …, so new measurements can be told apart in the tree.
QString newMeasurementName(const Data_table_T &archive);
