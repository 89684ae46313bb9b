#pragma once

#include "instrument/records.h"

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QString>
#include <QUuid>

// The journal of one recording: an append-only file that holds every stored
// reading the moment it is made, so a kill or a power cut loses nothing.
//
//   file    := magic "KXJRNL01" entry*
//   entry   := type (u8), payload length (u16), CRC-32C (u32) of type,
//              length and payload, payload; all integers big-endian
//   Start   (1): recording id (16 bytes, RFC 4122 order), sequence number of
//                the first reading that follows (u32), start of the
//                recording (i64 ms since the epoch, UTC), name (UTF-8),
//                optionally a NUL and the instrument recorded (UTF-8,
//                instrumentIdentity())
//   Reading (2): sequence number (u32), the 32-byte stored record
//   Stop    (3): sequence number of the last reading (u32)
//
// The first entry is a Start. Sequence numbers count from 1 per recording
// and go on across restarts; a journal rotated (--split) starts with a Start
// of the same recording. A reader drops a torn tail (an entry cut short by a
// kill) and steps over a damaged entry to the next one whose checksum holds.

struct JournalHeader
{
    QUuid id;
    quint32 firstSeq = 1;
    QDateTime started; // local time
    QString name;
    QString instrument; // instrumentIdentity(); empty when not known
};

// Who a journal's readings come from: the name the instrument reports, its
// USB serial number and where it is plugged in (either may be empty: most
// bridges have no serial number, and a pseudo-terminal has no place).
QString instrumentIdentity(const QString &name, const QString &serial, const QString &location);
// Whether two identities may be the same instrument: false only when what
// both tell differs (an unknown identity matches any).
bool sameInstrument(const QString &a, const QString &b);

struct JournalReading
{
    quint32 seq = 0;
    _T_EE_TEST_DATA record;
};

// CRC-32C (Castagnoli) of `size` bytes, continuing from `crc` (0 to begin).
quint32 crc32c(const char *data, qint64 size, quint32 crc = 0);

// Reads a journal front to back with a small buffer: memory does not grow
// with its length. Also reads the older backup format (a QDataStream list
// of records, no checksums), whose readings get sequence numbers from 1.
class JournalReader
{
public:
    enum class Format
    {
        Missing, // no file, or an empty one
        Journal,
        Backup, // the older backup format
        Unknown // neither: left alone by everyone
    };

    explicit JournalReader(const QString &path);

    // Reads the header. False (with Missing or Unknown) when there is no
    // journal to read.
    bool open();
    Format format() const { return m_format; }
    const JournalHeader &header() const { return m_header; }

    // The next reading; false at the end.
    bool next(JournalReading *reading);
    // Following a journal that is still being written: at its end next()
    // returns false and tries again at the next call, where the readings
    // appended meanwhile are.
    void setFollowing(bool on) { m_following = on; }
    // Reads to the end; then the following tell what the journal held.
    void skipToEnd();
    bool stopped() const { return m_stopped; }
    // The journal's Start entry was damaged: the header is empty (null id)
    // and the readings are those found behind it.
    bool headerDamaged() const { return m_headerDamaged; }
    quint32 lastSeq() const { return m_lastSeq; }
    quint32 readingCount() const { return m_count; }
    // The last reading read (valid when readingCount() > 0).
    const _T_EE_TEST_DATA &lastRecord() const { return m_lastRecord; }
    // Bytes up to the end of the last good entry: appending goes on there.
    qint64 validSize() const { return m_validSize; }
    // Bytes that did not make an entry: a torn tail or damaged entries.
    qint64 damagedBytes() const { return m_damaged; }
    QString errorString() const { return m_file.errorString(); }

private:
    bool fill(qint64 need);
    bool nextEntry(quint8 *type, QByteArray *payload);
    bool readBackup();

    QFile m_file;
    Format m_format = Format::Missing;
    JournalHeader m_header;
    QByteArray m_buffer;
    qint64 m_bufferPos = 0;   // file offset of m_buffer[0]
    qint64 m_bufferStart = 0; // index in m_buffer of the next unread byte
    QVector<_T_EE_TEST_DATA> m_backup;
    int m_backupIndex = 0;
    bool m_stopped = false;
    quint32 m_lastSeq = 0;
    quint32 m_count = 0;
    _T_EE_TEST_DATA m_lastRecord;
    qint64 m_validSize = 0;
    qint64 m_damaged = 0;
    bool m_atEnd = false;
    bool m_following = false;
    bool m_headerDamaged = false;
};

// Appends to a journal. Each entry goes to the file with one write(), so
// the kernel has it at once; sync() makes it survive a power cut. A failed
// write (a full disk) cuts the file back to its last whole entry, so the
// journal never holds a half entry followed by good ones.
class JournalWriter
{
public:
    JournalWriter() = default;
    ~JournalWriter();
    JournalWriter(const JournalWriter &) = delete;
    JournalWriter &operator=(const JournalWriter &) = delete;

    // A new journal at `path` holding `header` and `readings`, synced. An
    // existing file is replaced only once the new one is on the disk.
    bool create(const QString &path, const JournalHeader &header,
                const QVector<JournalReading> &readings = {});
    // Goes on appending to the journal at `path` after its first
    // `validSize` bytes (what a reader found whole); the rest is cut off.
    bool reopen(const QString &path, qint64 validSize);
    bool isOpen() const { return m_fd >= 0; }
    void close();

    bool appendReading(quint32 seq, const _T_EE_TEST_DATA &record);
    bool appendStop(quint32 lastSeq);
    // Appends several readings with one write; all or none.
    bool appendReadings(const QVector<JournalReading> &readings);
    bool sync();
    bool isDirty() const { return m_dirty; }
    qint64 size() const { return m_size; }

    QString errorString() const { return m_error; }
    int errorCode() const { return m_errno; }

private:
    bool appendBytes(const QByteArray &bytes);
    bool fail(int code);

    int m_fd = -1;
    QString m_path;
    qint64 m_size = 0;
    bool m_dirty = false;
    int m_errno = 0;
    QString m_error;
};

// Every reading of the journal (or older backup) at `path`, in order.
QVector<_T_EE_TEST_DATA> readJournalRecords(const QString &path);

// The bytes of one entry, and of a whole journal's header part.
QByteArray journalStartEntry(const JournalHeader &header);
QByteArray journalReadingEntry(quint32 seq, const _T_EE_TEST_DATA &record);
QByteArray journalStopEntry(quint32 lastSeq);
extern const QByteArray kJournalMagic;
constexpr int kJournalEntryHeaderSize = 7;
constexpr int kJournalReadingEntrySize = kJournalEntryHeaderSize + 4 + kEeTestDataSize;
