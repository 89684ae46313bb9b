#pragma once

#include "instrument/records.h"

#include <QDateTime>
#include <QString>
#include <QVector>

#include <functional>

// Data files handled without holding their records in memory: a year of
// readings in one file is copied and extended a chunk at a time.

// What one measurement of a data file is, read from its first bytes.
struct StoredMeasurementInfo
{
    qint64 offset = 0; // of its byte-array length in the file
    qint64 size = 0;   // of the byte array, length field included
    QString name;
    QDateTime created;
    quint32 count = 0;
    bool hasFirst = false;
    _T_EE_TEST_DATA first;
};

struct DataFileIndex
{
    qint64 headOffset = 4; // archive name and time start here...
    qint64 headSize = 0;   // ...and end before the measurement count
    QVector<StoredMeasurementInfo> measurements;
};

// Checks the structure of the data file at `path` (every length in its
// place, the whole file used) and lists its measurements. False with the
// reason in `error` when it cannot be read or is not a data file.
bool scanDataFile(const QString &path, DataFileIndex *index, QString *error);

// Gives the next record of a measurement being written; false at the end.
using RecordSource = std::function<bool(_T_EE_TEST_DATA *record)>;

// Writes the data file `out` anew with its measurements as they are plus
// one more named `name` from `created`, whose records come from `source`.
// A measurement of `out` with the same name, time and first record and no
// more records than the new one is the same recording written before (a
// run stopped between writing the file and dropping its journal): it is
// replaced, not repeated. A missing `out` becomes a new archive. The file
// is replaced only when the new one is whole on the disk; otherwise `out`
// is as it was and `error`/`errorCode` give the system's reason.
bool writeMeasurementToFile(const QString &out, const QString &name, const QDateTime &created,
                            const RecordSource &source, QString *error, int *errorCode = nullptr);
