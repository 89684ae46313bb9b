#include "store/datafilestream.h"

#include "store/atomicfile.h"
#include "store/data_list_t.h"
#include "store/data_table_t.h"
#include "store/datafile.h"
#include "store/updatelock.h"

#include <QCoreApplication>
#include <QFile>
#include <QtEndian>

#include <cerrno>

namespace {

constexpr quint32 kNullLength = 0xFFFFFFFFu;
constexpr qint64 kDateTimeSize = 13; // Julian day, ms of the day, time spec
constexpr qint64 kElementSize = 4 + kEeTestDataSize;
constexpr qint64 kCopyChunk = 1 << 20;

QByteArray u32Bytes(quint32 v)
{
    QByteArray b(4, '\0');
    qToBigEndian(v, b.data());
    return b;
}

bool readAt(QFile &file, qint64 offset, qint64 size, QByteArray *out)
{
    if (!file.seek(offset))
        return false;
    *out = file.read(size);
    return out->size() == size;
}

bool readU32At(QFile &file, qint64 offset, quint32 *value)
{
    QByteArray b;
    if (!readAt(file, offset, 4, &b))
        return false;
    *value = qFromBigEndian<quint32>(b.constData());
    return true;
}

// Size of a stream string at `offset`, its length field included.
bool stringSizeAt(QFile &file, qint64 offset, qint64 end, qint64 *size)
{
    quint32 length = 0;
    if (!readU32At(file, offset, &length))
        return false;
    const qint64 bytes = length == kNullLength ? 0 : qint64(length);
    if (bytes % 2 != 0 || offset + 4 + bytes > end)
        return false;
    *size = 4 + bytes;
    return true;
}

// Name, time, count and first record of the measurement blob at `offset`;
// checks that its records fill it exactly. A blob of another element size
// (never written by this program) is read whole to check it.
bool readMeasurementInfo(QFile &file, StoredMeasurementInfo *info)
{
    const qint64 blob = info->offset + 4;
    const qint64 end = info->offset + info->size;
    qint64 nameSize = 0;
    if (!stringSizeAt(file, blob, end, &nameSize))
        return false;
    const qint64 countAt = blob + nameSize + kDateTimeSize;
    QByteArray head;
    if (countAt + 4 > end || !readAt(file, blob, countAt - blob, &head) ||
        !readU32At(file, countAt, &info->count))
        return false;
    const Data_List_T m = measurementFromBytes(head);
    info->name = m.name;
    info->created = m.created;
    if (end - (countAt + 4) == qint64(info->count) * kElementSize) {
        QByteArray first;
        if (info->count > 0 && readAt(file, countAt + 4, kElementSize, &first) &&
            qFromBigEndian<quint32>(first.constData()) == quint32(kEeTestDataSize)) {
            info->hasFirst = true;
            info->first = eeTestDataFromBytes(first.constData() + 4);
        }
        return true;
    }
    QByteArray whole;
    bool ok = false;
    return readAt(file, blob, end - blob, &whole) && (measurementFromBytes(whole, &ok), ok);
}

bool copyRange(QFile &from, qint64 offset, qint64 size, AtomicFile &to)
{
    if (!from.seek(offset))
        return false;
    while (size > 0) {
        const QByteArray chunk = from.read(qMin(size, kCopyChunk));
        if (chunk.isEmpty() || !to.write(chunk))
            return false;
        size -= chunk.size();
    }
    return true;
}

bool sameRecording(const StoredMeasurementInfo &m, const QString &name, const QDateTime &created,
                   const _T_EE_TEST_DATA &first)
{
    return m.hasFirst && m.name == name && m.created == created &&
           eeTestDataToBytes(m.first) == eeTestDataToBytes(first);
}

} // namespace

namespace {

bool scanOpenFile(QFile &file, DataFileIndex *index, QString *error)
{
    const qint64 size = file.size();
    *index = DataFileIndex();
    quint32 outer = 0;
    qint64 nameSize = 0;
    quint32 count = 0;
    const bool headOk = readU32At(file, 0, &outer) && qint64(outer) == size - 4 &&
                        stringSizeAt(file, 4, size, &nameSize) &&
                        4 + nameSize + kDateTimeSize + 4 <= size;
    const qint64 countAt = 4 + nameSize + kDateTimeSize;
    if (!headOk || !readU32At(file, countAt, &count)) {
        *error = QCoreApplication::translate("Recorder", "不是有效的数据文件");
        return false;
    }
    index->headSize = nameSize + kDateTimeSize;
    qint64 at = countAt + 4;
    for (quint32 i = 0; i < count; ++i) {
        StoredMeasurementInfo info;
        quint32 length = 0;
        if (!readU32At(file, at, &length) || length == kNullLength || at + 4 + length > size) {
            *error = QCoreApplication::translate("Recorder", "不是有效的数据文件");
            return false;
        }
        info.offset = at;
        info.size = 4 + qint64(length);
        if (!readMeasurementInfo(file, &info)) {
            *error = QCoreApplication::translate("Recorder", "不是有效的数据文件");
            return false;
        }
        index->measurements.append(info);
        at += info.size;
    }
    if (at != size) {
        *error = QCoreApplication::translate("Recorder", "不是有效的数据文件");
        return false;
    }
    return true;
}

// The records of a measurement whose elements are all 32 bytes long, read a
// chunk at a time; false when one is not (then the blob is read whole).
bool readPlainRecords(QFile &file, qint64 offset, quint32 count, QVector<_T_EE_TEST_DATA> *records)
{
    constexpr qint64 kChunkElements = kCopyChunk / kElementSize;
    records->reserve(int(count));
    if (!file.seek(offset))
        return false;
    for (qint64 left = count; left > 0;) {
        const qint64 elements = qMin(left, kChunkElements);
        const QByteArray chunk = file.read(elements * kElementSize);
        if (chunk.size() != elements * kElementSize)
            return false;
        for (const char *e = chunk.constData(); e < chunk.constData() + chunk.size();
             e += kElementSize) {
            if (qFromBigEndian<quint32>(e) != quint32(kEeTestDataSize))
                return false;
            records->append(eeTestDataFromBytes(e + 4));
        }
        left -= elements;
    }
    return true;
}

// One measurement of a scanned file, checked as measurementFromBytes checks it.
bool readStoredMeasurement(QFile &file, const StoredMeasurementInfo &info, Data_List_T *m)
{
    bool ok = false;
    const qint64 records = qint64(info.count) * kElementSize;
    const qint64 countAt = info.offset + info.size - records - 4;
    QByteArray head;
    if (info.hasFirst || info.count == 0) {
        // Name and time, then a count of 0 in place of the records.
        if (readAt(file, info.offset + 4, countAt - info.offset - 4, &head))
            *m = measurementFromBytes(head + u32Bytes(0), &ok);
        if (ok && readPlainRecords(file, countAt + 4, info.count, &m->records))
            return true;
    }
    QByteArray whole;
    if (!readAt(file, info.offset + 4, info.size - 4, &whole))
        return false;
    *m = measurementFromBytes(whole, &ok);
    return ok;
}

} // namespace

bool scanDataFile(const QString &path, DataFileIndex *index, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return false;
    }
    return scanOpenFile(file, index, error);
}

bool dataFileFromFile(QFile &file, Data_table_T &archive)
{
    DataFileIndex index;
    QString error;
    QByteArray head;
    if (!scanOpenFile(file, &index, &error) ||
        !readAt(file, index.headOffset, index.headSize, &head))
        return false;
    bool ok = false;
    // The archive's name and time, followed by no measurements.
    Data_table_T read = archiveFromBytes(head + u32Bytes(0), &ok);
    for (const StoredMeasurementInfo &info : qAsConst(index.measurements)) {
        Data_List_T m;
        if (!ok || !readStoredMeasurement(file, info, &m))
            return false;
        read.lists.append(new Data_List_T(std::move(m)));
    }
    if (!ok)
        return false;
    archive = std::move(read);
    return true;
}

bool writeMeasurementToFile(const QString &out, const QString &name, const QDateTime &created,
                            const RecordSource &source, QString *error, int *errorCode)
{
    const auto failed = [&](const QString &why, int code) {
        *error = why;
        if (errorCode)
            *errorCode = code;
        return false;
    };
    _T_EE_TEST_DATA first;
    const bool hasFirst = source(&first);

    // From the read to the replace, so another program's measurement
    // written meanwhile is not lost.
    const UpdateLock lock(out);
    if (!lock.isLocked())
        return failed(lock.errorString(), lock.errorCode());
    DataFileIndex index;
    QFile old(out);
    QByteArray head;
    if (old.exists()) {
        if (!scanDataFile(out, &index, error))
            return failed(*error, EINVAL);
        if (!old.open(QIODevice::ReadOnly) || !readAt(old, index.headOffset, index.headSize, &head))
            return failed(old.errorString(), EIO);
    } else {
        head = archiveToBytes(newArchive());
        head.chop(4); // the measurement count, written below
    }

    AtomicFile file(out);
    if (!file.open())
        return failed(file.errorString(), file.errorCode());
    quint32 count = 0;
    file.write(u32Bytes(0));
    file.write(head);
    const qint64 countAt = file.size();
    file.write(u32Bytes(0));
    for (const StoredMeasurementInfo &m : qAsConst(index.measurements)) {
        if (hasFirst && m.count > 0 && sameRecording(m, name, created, first))
            continue;
        if (!copyRange(old, m.offset, m.size, file) && file.errorCode() == 0)
            return failed(old.errorString(), EIO);
        ++count;
    }
    if (hasFirst) {
        Data_List_T header;
        header.name = name;
        header.created = created;
        QByteArray blobHead = measurementToBytes(header);
        blobHead.chop(4); // the record count, known at the end
        const qint64 blobAt = file.size();
        file.write(u32Bytes(0));
        file.write(blobHead);
        const qint64 recordCountAt = file.size();
        file.write(u32Bytes(0));
        quint32 records = 0;
        QByteArray chunk;
        char element[kElementSize];
        qToBigEndian(quint32(kEeTestDataSize), element);
        _T_EE_TEST_DATA record = first;
        do {
            eeTestDataToBytes(record, element + 4);
            chunk.append(element, kElementSize);
            ++records;
            if (chunk.size() >= kCopyChunk) {
                file.write(chunk);
                chunk.clear();
            }
        } while (source(&record));
        file.write(chunk);
        file.writeAt(recordCountAt, u32Bytes(records));
        file.writeAt(blobAt, u32Bytes(quint32(file.size() - blobAt - 4)));
        ++count;
    }
    file.writeAt(countAt, u32Bytes(count));
    file.writeAt(0, u32Bytes(quint32(file.size() - 4)));
    if (!file.commit())
        return failed(file.errorString(), file.errorCode());
    return true;
}
