#include "store/recordingoutbox.h"

#include "store/atomicfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTimer>

#include <unistd.h>

namespace {

// Readings handed to the sink ahead of its acknowledgements: enough to keep
// a publisher's in-flight window full, small enough that memory stays flat
// whatever the backlog on the disk.
constexpr int kHandOverWindow = 500;
constexpr int kSaveDelayMs = 1000;

QString idText(const QUuid &id)
{
    return id.toString(QUuid::WithoutBraces);
}

} // namespace

RecordingOutbox::RecordingOutbox(const QString &base, QObject *parent)
    : QObject(parent), m_base(base), m_saveTimer(new QTimer(this))
{
    m_saveTimer->setSingleShot(true);
    m_saveTimer->setInterval(kSaveDelayMs);
    connect(m_saveTimer, &QTimer::timeout, this, &RecordingOutbox::save);
}

RecordingOutbox::~RecordingOutbox()
{
    if (m_dirty)
        save();
}

void RecordingOutbox::setSink(Sink sink, Pending pending)
{
    m_sink = std::move(sink);
    m_pending = std::move(pending);
}

QStringList RecordingOutbox::outboxFiles() const
{
    const QFileInfo base(m_base);
    const QString pattern = base.fileName() + QStringLiteral(".*.outbox");
    QStringList names = base.dir().entryList({pattern}, QDir::Files, QDir::Name);
    for (QString &name : names)
        name = base.dir().filePath(name);
    return names;
}

QString RecordingOutbox::nextOutboxName() const
{
    static const QRegularExpression number(QStringLiteral("\\.(\\d+)\\.outbox$"));
    int last = 0;
    for (const QString &name : outboxFiles())
        last = qMax(last, number.match(name).captured(1).toInt());
    return m_base + QStringLiteral(".%1.outbox").arg(last + 1, 6, 10, QLatin1Char('0'));
}

void RecordingOutbox::open()
{
    QFile ledger(ledgerFile());
    if (ledger.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> lines = ledger.readAll().split('\n');
        for (const QByteArray &line : lines) {
            const QList<QByteArray> f = line.simplified().split(' ');
            if (f.size() == 2) {
                m_ackedId = QString::fromLatin1(f[0]);
                m_ackedSeq = f[1].toUInt();
            } else if (f.size() == 3 && f[0] == "hw") {
                m_highWater.insert(QString::fromLatin1(f[1]), f[2].toUInt());
            } else if (f.size() == 3 && f[0] == "out") {
                m_written.insert(QString::fromLatin1(f[1]), f[2].toUInt());
            }
        }
    }
    m_sources.clear();
    for (const QString &path : outboxFiles()) {
        Source source;
        source.path = path;
        openSource(source);
        m_sources.push_back(std::move(source));
    }
    if (m_sink)
        dropDelivered();
    pump();
}

void RecordingOutbox::openSource(Source &source)
{
    JournalReader count(source.path);
    if (count.open()) {
        count.skipToEnd();
        source.id = idText(count.header().id);
        source.firstSeq = count.header().firstSeq;
        source.lastSeq = count.lastSeq();
    }
    source.reader = std::make_unique<JournalReader>(source.path);
    source.reader->setFollowing(source.live);
    source.reader->open();
}

void RecordingOutbox::follow(const QString &journal)
{
    Source source;
    source.path = journal;
    source.live = true;
    openSource(source);
    // What the file holds when it is taken up is synced by the store.
    m_durableSeq = source.lastSeq;
    m_sources.push_back(std::move(source));
    pump();
}

void RecordingOutbox::setDurable(quint32 seq)
{
    m_durableSeq = seq;
    pump();
}

// A new start of the sink (a publisher started again) lost what it was
// handed and had not acknowledged: the files are read again from the start,
// and what was acknowledged is stepped over.
void RecordingOutbox::start()
{
    m_started = true;
    m_handedId.clear();
    m_handedSeq = 0;
    for (Source &source : m_sources) {
        source.reader = std::make_unique<JournalReader>(source.path);
        source.reader->setFollowing(source.live);
        source.reader->open();
        source.held = false;
    }
    pump();
}

void RecordingOutbox::pump()
{
    if (!m_sink || !m_started)
        return;
    for (Source &source : m_sources) {
        if (source.reader->format() == JournalReader::Format::Missing && source.live)
            source.reader->open();
        const QString id = idText(source.reader->header().id);
        source.id = id;
        JournalReading r;
        while (m_pending() < kHandOverWindow) {
            if (source.held) {
                r = source.ahead;
            } else if (!source.reader->next(&r)) {
                break;
            }
            // A reading not yet on the disk for sure waits: a power cut
            // could take it, and its number would then name another one.
            if (source.live && r.seq > m_durableSeq) {
                source.held = true;
                source.ahead = r;
                break;
            }
            source.held = false;
            source.lastSeq = qMax(source.lastSeq, r.seq);
            // Already acknowledged, or handed over from an earlier file of
            // the same recording (a journal started anew keeps its last
            // readings).
            if ((id == m_ackedId && r.seq <= m_ackedSeq) ||
                (id == m_handedId && r.seq <= m_handedSeq))
                continue;
            m_sink(id, r.seq, r.record);
            m_handedId = id;
            m_handedSeq = r.seq;
            noteHandedOut(source.reader->header().id, r.seq);
        }
        if (m_pending() >= kHandOverWindow || source.live || source.held)
            return;
    }
}

void RecordingOutbox::noteHandedOut(const QUuid &id, quint32 seq)
{
    quint32 &hw = m_highWater[idText(id)];
    if (seq > hw) {
        hw = seq;
        markDirty();
    }
}

quint32 RecordingOutbox::writtenUpTo(const QUuid &id) const
{
    return m_written.value(idText(id), 0);
}

void RecordingOutbox::noteWritten(const QUuid &id, quint32 seq)
{
    m_written[idText(id)] = seq;
    save();
}

quint32 RecordingOutbox::highWater(const QUuid &id) const
{
    return m_highWater.value(idText(id), 0);
}

void RecordingOutbox::markDirty()
{
    m_dirty = true;
    if (!m_saveTimer->isActive())
        m_saveTimer->start();
}

void RecordingOutbox::acknowledged(const QString &recordingId, quint32 seq)
{
    m_ackedId = recordingId;
    m_ackedSeq = seq;
    markDirty();
    dropDelivered();
    pump();
}

// Readings are acknowledged in the order they were handed over: the files
// in front of the one holding the last acknowledged reading are delivered,
// and so is that one when its last reading was acknowledged. Files of one
// recording (a journal started anew) are told apart by their numbers.
void RecordingOutbox::dropDelivered()
{
    size_t at = m_sources.size();
    size_t lastOfId = m_sources.size();
    for (size_t i = 0; i < m_sources.size(); ++i) {
        const Source &s = m_sources[i];
        if (s.id != m_ackedId)
            continue;
        lastOfId = i;
        if (s.live || s.lastSeq >= m_ackedSeq) {
            at = i;
            break;
        }
    }
    if (at == m_sources.size()) {
        if (lastOfId == m_sources.size())
            return;
        at = lastOfId + 1;
    } else if (covers(m_sources[at])) {
        ++at;
    }
    size_t dropped = 0;
    while (dropped < at && !m_sources.front().live) {
        QFile::remove(m_sources.front().path);
        m_sources.pop_front();
        ++dropped;
    }
    if (dropped > 0)
        syncFolderOf(m_base);
}

bool RecordingOutbox::covers(const Source &source) const
{
    return !source.live && source.id == m_ackedId && source.lastSeq <= m_ackedSeq;
}

bool RecordingOutbox::delivered(const QString &path) const
{
    if (!m_sink)
        return true;
    JournalReader count(path);
    if (!count.open())
        return true;
    count.skipToEnd();
    if (count.readingCount() == 0)
        return true;
    return idText(count.header().id) == m_ackedId && count.lastSeq() <= m_ackedSeq;
}

bool RecordingOutbox::keep(const QString &path, bool link)
{
    const QString kept = nextOutboxName();
    const QByteArray from = QFile::encodeName(path);
    const QByteArray to = QFile::encodeName(kept);
    if ((link ? ::link(from.constData(), to.constData())
              : ::rename(from.constData(), to.constData())) != 0)
        return false;
    syncFolderOf(kept);
    // Delivered in the order recorded: in front of the journal that goes on.
    auto live = m_sources.begin();
    while (live != m_sources.end() && !live->live)
        ++live;
    Source source;
    source.path = kept;
    for (auto it = m_sources.begin(); it != m_sources.end(); ++it) {
        if (it->live && it->path == path) {
            // The reader keeps its place: what it handed over is not
            // handed over again.
            source = std::move(*it);
            source.path = kept;
            source.live = false;
            source.reader->setFollowing(false);
            if (source.held) {
                source.held = false;
                m_handedSeq = qMin(m_handedSeq, source.ahead.seq - 1);
            }
            m_sources.erase(it);
            live = m_sources.begin();
            while (live != m_sources.end() && !live->live)
                ++live;
            JournalReader count(kept);
            if (count.open()) {
                count.skipToEnd();
                source.lastSeq = count.lastSeq();
            }
            m_sources.insert(live, std::move(source));
            return true;
        }
    }
    openSource(source);
    m_sources.insert(live, std::move(source));
    pump();
    return true;
}

void RecordingOutbox::unfollow(const QString &path)
{
    for (auto it = m_sources.begin(); it != m_sources.end(); ++it) {
        if (it->live && it->path == path) {
            m_sources.erase(it);
            return;
        }
    }
}

bool RecordingOutbox::save()
{
    m_saveTimer->stop();
    if (m_ackedId.isEmpty() && m_highWater.isEmpty() && m_written.isEmpty())
        return true;
    QByteArray text;
    if (!m_ackedId.isEmpty())
        text = m_ackedId.toLatin1() + ' ' + QByteArray::number(m_ackedSeq) + '\n';
    // Only recordings whose files are still there can be gone on with.
    QSet<QString> ids;
    for (const Source &source : m_sources)
        ids.insert(source.id);
    const auto keep = [&](QHash<QString, quint32> &marks, const QByteArray &tag) {
        for (auto it = marks.begin(); it != marks.end();) {
            if (ids.contains(it.key())) {
                text +=
                    tag + ' ' + it.key().toLatin1() + ' ' + QByteArray::number(it.value()) + '\n';
                ++it;
            } else {
                it = marks.erase(it);
            }
        }
    };
    keep(m_highWater, "hw");
    keep(m_written, "out");
    if (!writeFileAtomically(ledgerFile(), text))
        return false;
    m_dirty = false;
    return true;
}

quint64 RecordingOutbox::waitingCount() const
{
    if (!m_sink)
        return 0;
    quint64 waiting = 0;
    for (const Source &source : m_sources) {
        quint32 last = source.lastSeq;
        if (source.live)
            last = qMax(last, m_durableSeq);
        const quint32 from = source.id == m_ackedId ? m_ackedSeq + 1 : source.firstSeq;
        if (last >= from)
            waiting += last - from + 1;
    }
    return waiting;
}
