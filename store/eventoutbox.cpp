#include "store/eventoutbox.h"

#include "store/atomicfile.h"
#include "store/recordingjournal.h"

#include <QFile>
#include <QTimer>
#include <QtEndian>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

const QByteArray kMagic = QByteArrayLiteral("KXEVTS01");
constexpr int kHeaderSize = 8;     // length, checksum
constexpr quint32 kMinPayload = 9; // kind, id
// Far above any event: a larger length is damage.
constexpr quint32 kMaxPayload = 65536;
constexpr qint64 kReadChunk = 64 * 1024;
constexpr int kRetryMs = 10000;

enum Kind : quint8
{
    KindEvent = 1,
    KindAcknowledged = 2
};

QByteArray encodeEntry(quint8 kind, quint64 id, const QByteArray &message = QByteArray())
{
    QByteArray bytes(kHeaderSize + int(kMinPayload), Qt::Uninitialized);
    qToBigEndian(quint32(kMinPayload + message.size()), bytes.data());
    bytes[kHeaderSize] = char(kind);
    qToBigEndian(id, bytes.data() + kHeaderSize + 1);
    bytes += message;
    const quint32 crc = crc32c(bytes.constData() + kHeaderSize, bytes.size() - kHeaderSize,
                               crc32c(bytes.constData(), 4));
    qToBigEndian(crc, bytes.data() + 4);
    return bytes;
}

} // namespace

EventOutbox::EventOutbox(const QString &path, Sink sink, QObject *parent)
    : QObject(parent), m_path(path), m_sink(std::move(sink)), m_retry(new QTimer(this))
{
    m_retry->setSingleShot(true);
    m_retry->setInterval(kRetryMs);
    connect(m_retry, &QTimer::timeout, this, [this] {
        writeUnwritten();
        pump();
    });
}

EventOutbox::~EventOutbox()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool EventOutbox::fail(int code)
{
    m_reason = QString::fromLocal8Bit(std::strerror(code));
    return false;
}

bool EventOutbox::open()
{
    m_fd = ::open(QFile::encodeName(m_path).constData(), O_RDWR | O_CLOEXEC);
    if (m_fd < 0) {
        if (errno == ENOENT)
            return true;
        m_unusable = true;
        fail(errno);
        m_error = tr("无法打开告警事件文件 %1：%2；告警事件只保存在内存中。").arg(m_path, m_reason);
        return false;
    }
    // Shorter than its magic: made by a run killed at once; it holds nothing.
    if (!cover(0, kMagic.size())) {
        removeFile();
        return true;
    }
    if (!m_buffer.startsWith(kMagic)) {
        ::close(m_fd);
        m_fd = -1;
        m_unusable = true;
        m_error = tr("%1 不是告警事件文件，未改动它；告警事件只保存在内存中。").arg(m_path);
        return false;
    }
    qint64 pos = kMagic.size();
    m_size = pos;
    Entry e;
    while (readEntry(&pos, &e)) {
        m_size = pos;
        if (e.kind == KindEvent)
            m_lastId = qMax(m_lastId, e.id);
        else if (e.kind == KindAcknowledged)
            m_ackedId = qMax(m_ackedId, e.id);
    }
    if (m_ackedId >= m_lastId) {
        removeFile();
        return true;
    }
    // The torn tail goes, so that the next entry follows a whole one. Should
    // that fail, the next entry is written over it all the same.
    if (::ftruncate(m_fd, m_size) != 0)
        fail(errno);
    m_handedId = m_ackedId;
    m_readPos = kMagic.size();
    pump();
    return true;
}

// Makes m_buffer hold the file's bytes from `at` to `at` + `size`; false
// when the file ends before.
bool EventOutbox::cover(qint64 at, qint64 size)
{
    const qint64 end = m_bufferAt + m_buffer.size();
    if (at >= m_bufferAt && at + size <= end)
        return true;
    QByteArray bytes(int(qMax(kReadChunk, size)), Qt::Uninitialized);
    qint64 got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::pread(m_fd, bytes.data() + got, size_t(bytes.size() - got), at + got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += n;
    }
    bytes.truncate(int(got));
    m_buffer = bytes;
    m_bufferAt = at;
    return got >= size;
}

// The next whole entry at or after `pos` whose checksum holds, and `pos`
// behind it; false at the end of the file. Bytes that make no such entry
// are stepped over one at a time.
bool EventOutbox::readEntry(qint64 *pos, Entry *entry)
{
    for (qint64 at = *pos;; ++at) {
        if (!cover(at, kHeaderSize))
            return false;
        const quint32 length = qFromBigEndian<quint32>(m_buffer.constData() + (at - m_bufferAt));
        if (length < kMinPayload || length > kMaxPayload || !cover(at, kHeaderSize + length))
            continue;
        const char *p = m_buffer.constData() + (at - m_bufferAt);
        if (crc32c(p + kHeaderSize, length, crc32c(p, 4)) != qFromBigEndian<quint32>(p + 4))
            continue;
        entry->kind = quint8(p[kHeaderSize]);
        entry->id = qFromBigEndian<quint64>(p + kHeaderSize + 1);
        entry->payload = QByteArray(p + kHeaderSize + kMinPayload, int(length - kMinPayload));
        *pos = at + kHeaderSize + length;
        return true;
    }
}

// A new file's name must survive a power cut as well as its bytes.
bool EventOutbox::createFile()
{
    m_fd =
        ::open(QFile::encodeName(m_path).constData(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (m_fd < 0)
        return fail(errno);
    m_size = 0;
    const bool made = append(kMagic, true) && (syncFolderOf(m_path) || fail(errno ? errno : EIO));
    if (!made) {
        removeFile();
        return false;
    }
    m_readPos = m_size;
    return true;
}

// At the end of the last whole entry. Should the write fail, the next one
// goes to the same place, over what this one left.
bool EventOutbox::append(const QByteArray &bytes, bool sync)
{
    m_buffer.clear();
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t n =
            ::pwrite(m_fd, bytes.constData() + done, size_t(bytes.size() - done), m_size + done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return fail(n < 0 ? errno : ENOSPC);
        done += n;
    }
    if (sync && ::fdatasync(m_fd) != 0)
        return fail(errno);
    m_size += bytes.size();
    return true;
}

bool EventOutbox::writeUnwritten()
{
    while (!m_unwritten.empty()) {
        if (m_fd < 0 && !createFile())
            break;
        if (!append(encodeEntry(KindEvent, m_lastId + 1, m_unwritten.front()), true))
            break;
        ++m_lastId;
        m_unwritten.pop_front();
    }
    if (m_unwritten.empty())
        return true;
    m_error =
        tr("无法写入告警事件文件 %1：%2；告警事件暂存在内存中，稍后重试。").arg(m_path, m_reason);
    m_retry->start();
    return false;
}

bool EventOutbox::add(const QByteArray &payload)
{
    if (m_unusable) {
        // Nothing waits in the file: handed over at once, the order holds.
        // open() has said why.
        m_handedId = ++m_lastId;
        m_sink(m_lastId, payload);
        return true;
    }
    m_unwritten.push_back(payload);
    const bool kept = writeUnwritten();
    pump();
    return kept;
}

void EventOutbox::acknowledged(quint64 id)
{
    if (id <= m_ackedId)
        return;
    m_ackedId = id;
    if (m_ackedId >= m_lastId) {
        removeFile();
        return;
    }
    // Not synced: lost to a power cut, the events go once more.
    if (m_fd >= 0)
        append(encodeEntry(KindAcknowledged, id), false);
    pump();
}

void EventOutbox::pump()
{
    Entry e;
    while (m_fd >= 0 && m_handedId - m_ackedId < quint64(kWindow) && readEntry(&m_readPos, &e)) {
        if (e.kind != KindEvent || e.id <= m_handedId)
            continue;
        m_handedId = e.id;
        m_sink(e.id, e.payload);
    }
}

void EventOutbox::removeFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_buffer.clear();
    m_size = 0;
    if (!m_unusable)
        QFile::remove(m_path);
}
