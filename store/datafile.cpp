#include "store/datafile.h"

#include <QFile>

#include <QtEndian>

#include <cstring>

namespace {

constexpr quint32 kNullLength = 0xFFFFFFFFu;
constexpr quint32 kMsecsPerDay = 86400000u;
constexpr qint8 kLocalTimeSpec = 0;

// Appends big-endian stream items to a byte array.
class Writer
{
public:
    explicit Writer(QByteArray &out) : m_out(out) {}

    void u32(quint32 v)
    {
        char b[4];
        qToBigEndian(v, b);
        m_out.append(b, 4);
    }

    void i64(qint64 v)
    {
        char b[8];
        qToBigEndian(v, b);
        m_out.append(b, 8);
    }

    void i8(qint8 v) { m_out.append(char(v)); }

    void bytes(const QByteArray &ba)
    {
        if (ba.isNull()) {
            u32(kNullLength);
            return;
        }
        u32(quint32(ba.size()));
        m_out.append(ba);
    }

    void string(const QString &s)
    {
        if (s.isNull()) {
            u32(kNullLength);
            return;
        }
        const int units = s.size();
        u32(quint32(units) * 2);
        const int at = m_out.size();
        m_out.resize(at + units * 2);
        qToBigEndian<quint16>(s.utf16(), units, m_out.data() + at);
    }

    // Always written as local time, so a date-time reads back the same
    // whatever spec it was held in.
    void dateTime(const QDateTime &dt)
    {
        const QDateTime local = dt.isValid() ? dt.toLocalTime() : dt;
        const QTime t = local.time();
        i64(local.date().toJulianDay());
        u32(t.isValid() ? quint32(t.msecsSinceStartOfDay()) : kNullLength);
        i8(kLocalTimeSpec);
    }

private:
    QByteArray &m_out;
};

// Reads big-endian stream items from a byte array without ever passing its
// end. After the first failure every read yields the empty value.
class Reader
{
public:
    explicit Reader(const QByteArray &in) : m_pos(in.constData()), m_end(m_pos + in.size()) {}

    bool failed() const { return m_failed; }
    bool atEnd() const { return m_pos == m_end; }
    qint64 remaining() const { return m_end - m_pos; }
    void fail() { m_failed = true; }

    quint32 u32()
    {
        if (!take(4))
            return 0;
        return qFromBigEndian<quint32>(m_pos - 4);
    }

    qint64 i64()
    {
        if (!take(8))
            return 0;
        return qFromBigEndian<qint64>(m_pos - 8);
    }

    qint8 i8()
    {
        if (!take(1))
            return 0;
        return qint8(m_pos[-1]);
    }

    // The content of a byte array as a pointer into the input; `isNull` tells
    // the null marker apart from an empty array.
    bool bytes(const char *&data, int &size, bool *isNull = nullptr)
    {
        data = nullptr;
        size = 0;
        if (isNull)
            *isNull = false;
        const quint32 len = u32();
        if (m_failed)
            return false;
        if (len == kNullLength) {
            if (isNull)
                *isNull = true;
            return true;
        }
        if (!take(len))
            return false;
        data = m_pos - len;
        size = int(len);
        return true;
    }

    // A byte array pointing into the input, not a copy: valid while the
    // input lives.
    QByteArray rawByteArray()
    {
        const char *data;
        int size;
        bool isNull;
        if (!bytes(data, size, &isNull) || isNull)
            return QByteArray();
        return QByteArray::fromRawData(data, size);
    }

    QString string()
    {
        const quint32 len = u32();
        if (m_failed || len == kNullLength)
            return QString();
        if (len % 2 != 0) {
            fail();
            return QString();
        }
        if (!take(len))
            return QString();
        QString s(int(len / 2), Qt::Uninitialized);
        qFromBigEndian<quint16>(m_pos - len, len / 2, s.data());
        return s;
    }

    QDateTime dateTime()
    {
        const qint64 jd = i64();
        const quint32 ms = u32();
        const qint8 spec = i8();
        if (m_failed)
            return QDateTime();
        if (spec != kLocalTimeSpec || (ms != kNullLength && ms >= kMsecsPerDay)) {
            fail();
            return QDateTime();
        }
        const QTime t = ms == kNullLength ? QTime() : QTime::fromMSecsSinceStartOfDay(int(ms));
        return QDateTime(QDate::fromJulianDay(jd), t, Qt::LocalTime);
    }

    // A list count; each element takes at least the 4 bytes of its length,
    // so a count beyond remaining() / 4 cannot be genuine.
    quint32 count()
    {
        const quint32 n = u32();
        if (!m_failed && n > quint64(remaining()) / 4)
            fail();
        return m_failed ? 0 : n;
    }

private:
    bool take(quint64 n)
    {
        if (m_failed || n > quint64(m_end - m_pos)) {
            m_failed = true;
            return false;
        }
        m_pos += n;
        return true;
    }

    const char *m_pos;
    const char *m_end;
    bool m_failed = false;
};

_T_EE_TEST_DATA recordFromElement(const char *data, int size)
{
    if (size >= kEeTestDataSize)
        return eeTestDataFromBytes(data);
    char padded[kEeTestDataSize] = {};
    if (size > 0)
        std::memcpy(padded, data, size_t(size));
    return eeTestDataFromBytes(padded);
}

void writeRecords(QByteArray &out, const QVector<_T_EE_TEST_DATA> &records)
{
    const int at = out.size();
    out.resize(at + 4 + records.size() * kBackupElementSize);
    char *p = out.data() + at;
    qToBigEndian(quint32(records.size()), p);
    p += 4;
    for (const _T_EE_TEST_DATA &rec : records) {
        qToBigEndian(quint32(kEeTestDataSize), p);
        eeTestDataToBytes(rec, p + 4);
        p += kBackupElementSize;
    }
}

// A list whose reading fails is empty as a whole.
QVector<_T_EE_TEST_DATA> readRecords(Reader &in)
{
    QVector<_T_EE_TEST_DATA> records;
    const quint32 n = in.count();
    records.reserve(int(n));
    for (quint32 i = 0; i < n; ++i) {
        const char *data;
        int size;
        if (!in.bytes(data, size))
            return {};
        records.append(recordFromElement(data, size));
    }
    return records;
}

Data_List_T readMeasurement(Reader &in)
{
    Data_List_T m;
    m.name = in.string();
    m.created = in.dateTime();
    m.records = readRecords(in);
    return m;
}

void setOk(bool *ok, const Reader &in)
{
    if (ok)
        *ok = !in.failed() && in.atEnd();
}

} // namespace

QByteArray recordsToBytes(const QVector<_T_EE_TEST_DATA> &records)
{
    QByteArray out;
    writeRecords(out, records);
    return out;
}

QVector<_T_EE_TEST_DATA> recordsFromBytes(const QByteArray &bytes, bool *ok)
{
    Reader in(bytes);
    QVector<_T_EE_TEST_DATA> records = readRecords(in);
    setOk(ok, in);
    return records;
}

QByteArray measurementToBytes(const Data_List_T &measurement)
{
    QByteArray out;
    out.reserve(measurement.name.size() * 2 + 4 + 13 + 4 +
                measurement.records.size() * kBackupElementSize);
    Writer w(out);
    w.string(measurement.name);
    w.dateTime(measurement.created);
    writeRecords(out, measurement.records);
    return out;
}

Data_List_T measurementFromBytes(const QByteArray &bytes, bool *ok)
{
    Reader in(bytes);
    Data_List_T m = readMeasurement(in);
    setOk(ok, in);
    return m;
}

QByteArray archiveToBytes(const Data_table_T &archive)
{
    QByteArray out;
    Writer w(out);
    w.string(archive.name);
    w.dateTime(archive.created);
    w.u32(quint32(archive.lists.size()));
    for (const Data_List_T *m : archive.lists)
        w.bytes(measurementToBytes(*m));
    return out;
}

Data_table_T archiveFromBytes(const QByteArray &bytes, bool *ok)
{
    Reader in(bytes);
    Data_table_T archive;
    archive.name = in.string();
    archive.created = in.dateTime();

    // The blobs are all read before any is parsed: a list that fails to read
    // yields no measurement at all. They point into `bytes`, which outlives
    // them: a month's readings are not copied once more.
    QVector<QByteArray> blobs;
    const quint32 n = in.count();
    blobs.reserve(int(n));
    for (quint32 i = 0; i < n && !in.failed(); ++i)
        blobs.append(in.rawByteArray());
    if (in.failed())
        blobs.clear();

    bool allOk = !in.failed() && in.atEnd();
    for (const QByteArray &blob : qAsConst(blobs)) {
        bool blobOk = false;
        archive.append(measurementFromBytes(blob, &blobOk));
        allOk = allOk && blobOk;
    }
    if (ok)
        *ok = allOk;
    return archive;
}

QByteArray dataFileToBytes(const Data_table_T &archive)
{
    QByteArray out;
    Writer(out).bytes(archiveToBytes(archive));
    return out;
}

bool dataFileFromBytes(const QByteArray &file, Data_table_T &archive)
{
    Reader in(file);
    const char *data;
    int size;
    bool isNull;
    if (!in.bytes(data, size, &isNull) || isNull || !in.atEnd())
        return false;
    bool ok = false;
    Data_table_T read = archiveFromBytes(QByteArray::fromRawData(data, size), &ok);
    if (!ok)
        return false;
    archive = std::move(read);
    return true;
}

QByteArray backupFileToBytes(const QVector<_T_EE_TEST_DATA> &records)
{
    QByteArray out;
    out.reserve(8 + records.size() * kBackupElementSize);
    out.resize(4);
    writeRecords(out, records);
    qToBigEndian(quint32(out.size() - 4), out.data());
    return out;
}

QVector<_T_EE_TEST_DATA> backupFileFromBytes(const QByteArray &file)
{
    // The outer length and the count may lag behind the elements already
    // appended, or promise more than a cut-short file holds: whatever complete
    // elements both the length and the file cover are taken.
    Reader outer(file);
    const quint32 len = outer.u32();
    if (outer.failed() || len == kNullLength)
        return {};
    const int size = int(qMin<quint64>(len, quint64(outer.remaining())));
    Reader in(QByteArray::fromRawData(file.constData() + 4, size));

    const quint32 n = in.u32();
    QVector<_T_EE_TEST_DATA> records;
    records.reserve(int(qMin<quint64>(n, quint64(in.remaining()) / 4)));
    for (quint32 i = 0; i < n; ++i) {
        const char *data;
        int elementSize;
        if (!in.bytes(data, elementSize))
            break;
        records.append(recordFromElement(data, elementSize));
    }
    return records;
}

QByteArray backupFileElement(const _T_EE_TEST_DATA &record)
{
    QByteArray out(kBackupElementSize, Qt::Uninitialized);
    qToBigEndian(quint32(kEeTestDataSize), out.data());
    eeTestDataToBytes(record, out.data() + 4);
    return out;
}

QByteArray backupFileCount(quint32 value)
{
    QByteArray out(4, Qt::Uninitialized);
    qToBigEndian(value, out.data());
    return out;
}

bool appendToBackupFile(const QString &path, quint32 storedCount,
                        const QVector<_T_EE_TEST_DATA> &added)
{
    QFile file(path);
    const qint64 expectedSize = 8 + qint64(storedCount) * kBackupElementSize;
    if (storedCount == 0 || file.size() != expectedSize || !file.open(QIODevice::ReadWrite))
        return false;
    QByteArray tail;
    tail.reserve(added.size() * kBackupElementSize);
    for (const _T_EE_TEST_DATA &record : added)
        tail += backupFileElement(record);
    const quint32 count = storedCount + quint32(added.size());
    return file.seek(expectedSize) && file.write(tail) == tail.size() && file.flush() &&
           file.seek(kBackupLengthOffset) &&
           file.write(backupFileCount(quint32(expectedSize + tail.size() - 4))) == 4 &&
           file.flush() && file.seek(kBackupCountOffset) &&
           file.write(backupFileCount(count)) == 4 && file.flush();
}
