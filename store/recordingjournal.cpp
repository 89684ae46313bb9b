#include "store/recordingjournal.h"

#include "store/atomicfile.h"
#include "store/datafile.h"

#include <QtEndian>

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

const QByteArray kJournalMagic = QByteArrayLiteral("KXJRNL01");

namespace {

enum EntryType : quint8
{
    EntryStart = 1,
    EntryReading = 2,
    EntryStop = 3
};

// Large enough for any entry: a Start's name is cut to fit.
constexpr int kMaxPayload = 4096;
constexpr qint64 kReadChunk = 64 * 1024;

std::array<quint32, 256> makeCrcTable()
{
    std::array<quint32, 256> table{};
    for (quint32 i = 0; i < 256; ++i) {
        quint32 c = i;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? (c >> 1) ^ 0x82F63B78u : c >> 1;
        table[i] = c;
    }
    return table;
}

void appendU16(QByteArray &out, quint16 v)
{
    char b[2];
    qToBigEndian(v, b);
    out.append(b, 2);
}

void appendU32(QByteArray &out, quint32 v)
{
    char b[4];
    qToBigEndian(v, b);
    out.append(b, 4);
}

void appendI64(QByteArray &out, qint64 v)
{
    char b[8];
    qToBigEndian(v, b);
    out.append(b, 8);
}

QByteArray entry(quint8 type, const QByteArray &payload)
{
    QByteArray out;
    out.reserve(kJournalEntryHeaderSize + payload.size());
    out.append(char(type));
    appendU16(out, quint16(payload.size()));
    out.append(4, '\0');
    out.append(payload);
    quint32 crc = crc32c(out.constData(), 3);
    crc = crc32c(payload.constData(), payload.size(), crc);
    qToBigEndian(crc, out.data() + 3);
    return out;
}

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

} // namespace

quint32 crc32c(const char *data, qint64 size, quint32 crc)
{
    static const std::array<quint32, 256> table = makeCrcTable();
    crc = ~crc;
    for (qint64 i = 0; i < size; ++i)
        crc = table[(crc ^ quint8(data[i])) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

QByteArray journalStartEntry(const JournalHeader &header)
{
    QByteArray payload = header.id.toRfc4122();
    appendU32(payload, header.firstSeq);
    appendI64(payload, header.started.toMSecsSinceEpoch());
    QByteArray tail = header.name.toUtf8();
    tail.replace('\0', ' ');
    if (!header.instrument.isEmpty())
        tail += '\0' + header.instrument.toUtf8();
    payload.append(tail.left(kMaxPayload - payload.size()));
    return entry(EntryStart, payload);
}

QByteArray journalReadingEntry(quint32 seq, const _T_EE_TEST_DATA &record)
{
    QByteArray payload;
    payload.reserve(4 + kEeTestDataSize);
    appendU32(payload, seq);
    payload.append(eeTestDataToBytes(record));
    return entry(EntryReading, payload);
}

QByteArray journalStopEntry(quint32 lastSeq)
{
    QByteArray payload;
    appendU32(payload, lastSeq);
    return entry(EntryStop, payload);
}

QString instrumentIdentity(const QString &name, const QString &serial, const QString &location)
{
    if (name.isEmpty() && serial.isEmpty() && location.isEmpty())
        return QString();
    return QStringList{name, serial, location}.join(QChar(0x1f));
}

bool sameInstrument(const QString &a, const QString &b)
{
    const QStringList x = a.split(QChar(0x1f));
    const QStringList y = b.split(QChar(0x1f));
    if (a.isEmpty() || b.isEmpty() || x.size() != 3 || y.size() != 3)
        return true;
    const auto differ = [&](int i) { return !x[i].isEmpty() && !y[i].isEmpty() && x[i] != y[i]; };
    if (differ(0) || differ(1))
        return false;
    // The same serial number wherever it is plugged in; without one, the
    // place is all that tells two units of one model apart.
    if (!x[1].isEmpty() && x[1] == y[1])
        return true;
    return !differ(2);
}

// ---- Reader ----

JournalReader::JournalReader(const QString &path) : m_file(path)
{
}

bool JournalReader::open()
{
    m_format = Format::Missing;
    if (!m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered) || m_file.size() == 0)
        return false;
    if (!fill(kJournalMagic.size()) || m_buffer.left(kJournalMagic.size()) != kJournalMagic) {
        m_file.close();
        return readBackup();
    }
    m_bufferStart = kJournalMagic.size();
    m_validSize = kJournalMagic.size();
    m_format = Format::Journal;
    // The Start entry is the first one; when it is damaged the readings
    // behind it are still read (the header stays empty).
    const qint64 first = m_validSize;
    quint8 type = 0;
    QByteArray payload;
    if (!nextEntry(&type, &payload) || type != EntryStart || payload.size() < 28) {
        m_headerDamaged = true;
        m_atEnd = false;
        m_file.seek(first);
        m_buffer.clear();
        m_bufferPos = first;
        m_bufferStart = 0;
        m_validSize = first;
        m_damaged = 0;
        m_lastSeq = 0;
        return true;
    }
    m_header.id = QUuid::fromRfc4122(payload.left(16));
    m_header.firstSeq = qFromBigEndian<quint32>(payload.constData() + 16);
    m_header.started =
        QDateTime::fromMSecsSinceEpoch(qFromBigEndian<qint64>(payload.constData() + 20));
    const QByteArray tail = payload.mid(28);
    const int nul = tail.indexOf('\0');
    m_header.name = QString::fromUtf8(nul < 0 ? tail : tail.left(nul));
    if (nul >= 0)
        m_header.instrument = QString::fromUtf8(tail.mid(nul + 1));
    m_lastSeq = m_header.firstSeq - 1;
    return true;
}

// The older format is small enough (it was rewritten whole) to be read at once.
bool JournalReader::readBackup()
{
    if (!m_file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = m_file.readAll();
    m_file.close();
    m_backup = backupFileFromBytes(bytes);
    if (m_backup.isEmpty() && backupFileToBytes({}) != bytes) {
        m_format = Format::Unknown;
        return false;
    }
    m_format = Format::Backup;
    m_header.id = QUuid::createUuid();
    m_header.firstSeq = 1;
    m_validSize = bytes.size();
    m_damaged = bytes.size() - backupFileToBytes(m_backup).size();
    return true;
}

bool JournalReader::fill(qint64 need)
{
    if (m_bufferStart > 0 && m_bufferStart >= m_buffer.size() / 2) {
        m_bufferPos += m_bufferStart;
        m_buffer.remove(0, int(m_bufferStart));
        m_bufferStart = 0;
    }
    while (m_buffer.size() - m_bufferStart < need) {
        const QByteArray more = m_file.read(qMax(kReadChunk, need));
        if (more.isEmpty())
            return false;
        m_buffer.append(more);
    }
    return true;
}

// One whole entry whose checksum holds. A bad one is stepped over a byte at
// a time until an entry holds again; what could not be read is counted as
// damaged.
bool JournalReader::nextEntry(quint8 *type, QByteArray *payload)
{
    while (!m_atEnd) {
        if (!fill(kJournalEntryHeaderSize)) {
            if (m_following)
                return false; // the next entry is still being written
            break;
        }
        const char *p = m_buffer.constData() + m_bufferStart;
        const quint16 length = qFromBigEndian<quint16>(p + 1);
        const quint8 t = quint8(p[0]);
        const bool plausible = t >= EntryStart && t <= EntryStop && length <= kMaxPayload;
        const bool whole = plausible && fill(kJournalEntryHeaderSize + length);
        if (plausible && !whole && m_following)
            return false;
        if (whole) {
            p = m_buffer.constData() + m_bufferStart;
            quint32 crc = crc32c(p, 3);
            crc = crc32c(p + kJournalEntryHeaderSize, length, crc);
            if (crc == qFromBigEndian<quint32>(p + 3)) {
                *type = t;
                *payload = QByteArray(p + kJournalEntryHeaderSize, length);
                const qint64 entryStart = m_bufferPos + m_bufferStart;
                m_damaged += entryStart - m_validSize;
                m_bufferStart += kJournalEntryHeaderSize + length;
                m_validSize = m_bufferPos + m_bufferStart;
                return true;
            }
        }
        ++m_bufferStart;
    }
    m_atEnd = true;
    m_damaged += m_file.size() - m_validSize;
    return false;
}

bool JournalReader::next(JournalReading *reading)
{
    if (m_format == Format::Backup) {
        if (m_backupIndex >= m_backup.size()) {
            m_atEnd = true;
            return false;
        }
        reading->seq = quint32(++m_backupIndex);
        reading->record = m_backup.at(m_backupIndex - 1);
        m_lastSeq = reading->seq;
        m_count = quint32(m_backupIndex);
        m_lastRecord = reading->record;
        return true;
    }
    if (m_format != Format::Journal)
        return false;
    quint8 type = 0;
    QByteArray payload;
    while (nextEntry(&type, &payload)) {
        if (type == EntryStop && payload.size() == 4) {
            m_stopped = true;
        } else if (type == EntryReading && payload.size() == 4 + kEeTestDataSize) {
            const quint32 seq = qFromBigEndian<quint32>(payload.constData());
            // A reading already seen (a write repeated after a failure) is
            // read once.
            if (seq <= m_lastSeq && m_count > 0)
                continue;
            m_stopped = false;
            reading->seq = seq;
            reading->record = eeTestDataFromBytes(payload.constData() + 4);
            m_lastSeq = seq;
            ++m_count;
            m_lastRecord = reading->record;
            return true;
        }
    }
    return false;
}

void JournalReader::skipToEnd()
{
    JournalReading r;
    while (next(&r)) {
    }
}

QVector<_T_EE_TEST_DATA> readJournalRecords(const QString &path)
{
    JournalReader reader(path);
    QVector<_T_EE_TEST_DATA> records;
    if (reader.open())
        for (JournalReading r; reader.next(&r);)
            records << r.record;
    return records;
}

// ---- Writer ----

JournalWriter::~JournalWriter()
{
    close();
}

bool JournalWriter::fail(int code)
{
    m_errno = code;
    m_error = systemError(code);
    return false;
}

bool JournalWriter::create(const QString &path, const JournalHeader &header,
                           const QVector<JournalReading> &readings)
{
    close();
    QByteArray bytes = kJournalMagic + journalStartEntry(header);
    for (const JournalReading &r : readings)
        bytes += journalReadingEntry(r.seq, r.record);
    AtomicFile file(path);
    if (!file.open() || !file.write(bytes) || !file.commit())
        return fail(file.errorCode());
    return reopen(path, bytes.size());
}

bool JournalWriter::reopen(const QString &path, qint64 validSize)
{
    close();
    m_path = path;
    m_fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC);
    if (m_fd < 0)
        return fail(errno);
    if (::ftruncate(m_fd, off_t(validSize)) != 0 ||
        ::lseek(m_fd, off_t(validSize), SEEK_SET) != off_t(validSize)) {
        const int code = errno;
        close();
        return fail(code);
    }
    m_size = validSize;
    m_errno = 0;
    m_error.clear();
    return true;
}

void JournalWriter::close()
{
    if (m_fd < 0)
        return;
    if (m_dirty)
        ::fdatasync(m_fd);
    ::close(m_fd);
    m_fd = -1;
    m_dirty = false;
}

bool JournalWriter::appendBytes(const QByteArray &bytes)
{
    if (m_fd < 0)
        return fail(EBADF);
    const char *p = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(m_fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int code = n < 0 ? errno : ENOSPC;
            // No half entry stays in front of the ones written later.
            if (::ftruncate(m_fd, off_t(m_size)) == 0)
                ::lseek(m_fd, off_t(m_size), SEEK_SET);
            return fail(code);
        }
        p += n;
        left -= n;
    }
    m_size += bytes.size();
    m_dirty = true;
    m_errno = 0;
    m_error.clear();
    return true;
}

bool JournalWriter::appendReading(quint32 seq, const _T_EE_TEST_DATA &record)
{
    return appendBytes(journalReadingEntry(seq, record));
}

bool JournalWriter::appendReadings(const QVector<JournalReading> &readings)
{
    QByteArray bytes;
    bytes.reserve(readings.size() * kJournalReadingEntrySize);
    for (const JournalReading &r : readings)
        bytes += journalReadingEntry(r.seq, r.record);
    return appendBytes(bytes);
}

bool JournalWriter::appendStop(quint32 lastSeq)
{
    return appendBytes(journalStopEntry(lastSeq)) && sync();
}

bool JournalWriter::sync()
{
    if (m_fd < 0)
        return fail(EBADF);
    if (!m_dirty)
        return true;
    if (::fdatasync(m_fd) != 0)
        return fail(errno);
    m_dirty = false;
    return true;
}
