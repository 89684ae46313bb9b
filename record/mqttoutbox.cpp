#include "record/mqttoutbox.h"

#include "store/atomicfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTimer>

#include <unistd.h>

namespace {

// Readings handed to the publisher ahead of its acknowledgements: enough to
// keep its in-flight window full, small enough that memory stays flat
// whatever the backlog on the disk.
constexpr int kHandOverWindow = 500;
constexpr int kSaveDelayMs = 1000;

QString idText(const QUuid &id)
{
    return id.toString(QUuid::WithoutBraces);
}

} // namespace

MqttOutbox::MqttOutbox(const QString &out, Sink sink, Pending pending, QObject *parent)
    : QObject(parent), m_out(out), m_sink(std::move(sink)), m_pending(std::move(pending)),
      m_saveTimer(new QTimer(this))
{
    m_saveTimer->setSingleShot(true);
    m_saveTimer->setInterval(kSaveDelayMs);
    connect(m_saveTimer, &QTimer::timeout, this, &MqttOutbox::save);
}

MqttOutbox::~MqttOutbox()
{
    if (m_dirty)
        save();
}

QStringList MqttOutbox::outboxFiles() const
{
    const QFileInfo out(m_out);
    const QString pattern = out.fileName() + QStringLiteral(".*.outbox");
    QStringList names = out.dir().entryList({pattern}, QDir::Files, QDir::Name);
    for (QString &name : names)
        name = out.dir().filePath(name);
    return names;
}

QString MqttOutbox::nextOutboxName() const
{
    static const QRegularExpression number(QStringLiteral("\\.(\\d+)\\.outbox$"));
    int last = 0;
    for (const QString &name : outboxFiles())
        last = qMax(last, number.match(name).captured(1).toInt());
    return m_out + QStringLiteral(".%1.outbox").arg(last + 1, 6, 10, QLatin1Char('0'));
}

void MqttOutbox::open()
{
    QFile cursor(cursorFile());
    if (cursor.open(QIODevice::ReadOnly)) {
        const QList<QByteArray> fields = cursor.readAll().simplified().split(' ');
        if (fields.size() == 2) {
            m_ackedId = QString::fromLatin1(fields[0]);
            m_ackedSeq = fields[1].toUInt();
        }
    }
    for (const QString &path : outboxFiles()) {
        Source source;
        source.path = path;
        openSource(source);
        m_sources.push_back(std::move(source));
    }
    dropDeliveredOutboxes();
}

void MqttOutbox::openSource(Source &source)
{
    JournalReader count(source.path);
    if (count.open()) {
        count.skipToEnd();
        source.lastSeq = count.lastSeq();
    }
    source.reader = std::make_unique<JournalReader>(source.path);
    source.reader->setFollowing(source.live);
    source.reader->open();
}

void MqttOutbox::follow(const QString &journal)
{
    Source source;
    source.path = journal;
    source.live = true;
    openSource(source);
    m_sources.push_back(std::move(source));
    pump();
}

void MqttOutbox::pump()
{
    for (Source &source : m_sources) {
        if (source.reader->format() == JournalReader::Format::Missing && source.live)
            source.reader->open();
        const QString id = idText(source.reader->header().id);
        JournalReading r;
        while (m_pending() < kHandOverWindow && source.reader->next(&r)) {
            // Already with the broker, or handed over from an earlier file of
            // the same recording (a journal started anew keeps its last
            // readings).
            if ((id == m_ackedId && r.seq <= m_ackedSeq) ||
                (id == m_handedId && r.seq <= m_handedSeq))
                continue;
            m_sink(id, r.seq, r.record);
            m_handedId = id;
            m_handedSeq = r.seq;
        }
        if (m_pending() >= kHandOverWindow || source.live)
            return;
    }
}

void MqttOutbox::acknowledged(const QString &recordingId, quint32 seq)
{
    m_ackedId = recordingId;
    m_ackedSeq = seq;
    m_dirty = true;
    if (!m_saveTimer->isActive())
        m_saveTimer->start();
    dropDeliveredOutboxes();
    pump();
}

// Readings are acknowledged in the order they were handed over, so every
// outbox file before the one the last acknowledgement belongs to is with
// the broker.
void MqttOutbox::dropDeliveredOutboxes()
{
    auto acked = m_sources.end();
    for (auto it = m_sources.begin(); it != m_sources.end(); ++it)
        if (idText(it->reader->header().id) == m_ackedId)
            acked = it;
    if (acked == m_sources.end())
        return;
    if (!acked->live && acked->lastSeq <= m_ackedSeq)
        ++acked;
    while (m_sources.begin() != acked && !m_sources.front().live) {
        QFile::remove(m_sources.front().path);
        m_sources.pop_front();
    }
}

// The running recording's journal leaves the outbox when the broker has all
// of it; otherwise it stays as an outbox file, under a new name
// (a rename, or with `keepJournal` a second name beside the journal that
// goes on).
bool MqttOutbox::release(const QString &journal, bool keepJournal)
{
    for (auto it = m_sources.begin(); it != m_sources.end(); ++it) {
        if (!it->live || it->path != journal)
            continue;
        JournalReader count(journal);
        count.open();
        count.skipToEnd();
        if (idText(count.header().id) == m_ackedId && count.lastSeq() <= m_ackedSeq) {
            m_sources.erase(it);
            return keepJournal || QFile::remove(journal);
        }
        const QString kept = nextOutboxName();
        const QByteArray from = QFile::encodeName(journal);
        const QByteArray to = QFile::encodeName(kept);
        const bool named = keepJournal ? ::link(from.constData(), to.constData()) == 0
                                       : ::rename(from.constData(), to.constData()) == 0;
        if (!named) {
            if (keepJournal)
                m_sources.erase(it);
            return false;
        }
        it->path = kept;
        it->live = false;
        it->lastSeq = count.lastSeq();
        it->reader->setFollowing(false);
        return true;
    }
    return keepJournal || QFile::remove(journal);
}

bool MqttOutbox::retire(const QString &journal)
{
    return release(journal, false);
}

// A second name for the same file: the journal started anew replaces only
// the first.
void MqttOutbox::keepBeforeRotation(const QString &journal)
{
    release(journal, true);
}

void MqttOutbox::save()
{
    m_saveTimer->stop();
    if (m_ackedId.isEmpty())
        return;
    const QByteArray text = m_ackedId.toLatin1() + ' ' + QByteArray::number(m_ackedSeq) + '\n';
    if (writeFileAtomically(cursorFile(), text))
        m_dirty = false;
}

quint64 MqttOutbox::waitingCount(quint32 liveLastSeq) const
{
    quint64 waiting = 0;
    for (const Source &source : m_sources) {
        const JournalHeader &h = source.reader->header();
        quint32 last = source.lastSeq;
        if (source.live)
            last = qMax(last, liveLastSeq);
        const quint32 from = idText(h.id) == m_ackedId ? m_ackedSeq + 1 : h.firstSeq;
        if (last >= from)
            waiting += last - from + 1;
    }
    return waiting;
}
