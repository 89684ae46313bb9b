#pragma once

#include "instrument/records.h"

#include <QDateTime>
#include <QString>
#include <QVector>

// One measurement: its readings oldest first, the name the tree shows and
// the local time it was made. A plain value, copied freely.
struct Data_List_T
{
    QVector<_T_EE_TEST_DATA> records;
    QString name;
    QDateTime created;
};

// A measurement made now, holding `records`, named `name`, or "新建测量"
// (translated) when `name` is empty.
Data_List_T newMeasurement(const QVector<_T_EE_TEST_DATA> &records = {},
                           const QString &name = QString());

// A measurement of readings taken earlier (downloaded from the instrument,
// recorded): it dates from its first record's time, or from now when there
// is none or that is no valid time.
Data_List_T measurementOfRecords(const QVector<_T_EE_TEST_DATA> &records, const QString &name);

// Name of the measurement that a download of the instrument's stored
// records makes: the download's time as "yyyyMMdd hhmmss", then
// "_KX740D数据记录" (translated).
QString downloadedMeasurementName(const QDateTime &downloadTime);
