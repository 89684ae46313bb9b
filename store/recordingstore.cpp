#include "store/recordingstore.h"

#include "instrument/temperature.h"
#include "store/atomicfile.h"
#include "store/recordinglock.h"
#include "store/recordingoutbox.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QThread>
#include <QTimer>

namespace {
// A reading reaches the disk at most this long after it was stored.
constexpr int kSyncPeriodMs = 1000;
// Readings waiting for a full disk: 11 days at one a second. Beyond that the
// oldest go, so a disk that never comes back cannot take all memory.
constexpr size_t kMaxPending = 1000000;
constexpr int kFinishRetryMs = 200;
constexpr size_t kWriteSlice = 4096;

QString recoveredName(const QDateTime &first)
{
    return QCoreApplication::translate("RecordingStore", "恢复 %1")
        .arg(first.toString(QStringLiteral("yyyyMMdd hh_mm_ss")));
}
} // namespace

RecordingStore::RecordingStore(const QString &journal, const QString &base, QObject *parent)
    : QObject(parent), m_journalFile(journal), m_base(base), m_spillFolders(defaultSpillFolders()),
      m_outbox(new RecordingOutbox(base, this)), m_syncTimer(new QTimer(this))
{
    m_syncTimer->setSingleShot(true);
    connect(m_syncTimer, &QTimer::timeout, this, &RecordingStore::tick);
}

RecordingStore::~RecordingStore()
{
    m_journal.close();
}

QStringList RecordingStore::defaultSpillFolders()
{
    QStringList folders;
    // systemd names several folders separated by ':'; the first is ours.
    for (const char *name : {"STATE_DIRECTORY", "RUNTIME_DIRECTORY"}) {
        const QString dirs = qEnvironmentVariable(name);
        if (!dirs.isEmpty())
            folders << dirs.split(QLatin1Char(':')).first();
    }
    folders << QDir::tempPath();
    return folders;
}

void RecordingStore::setDelivery(Sink sink, Pending pending)
{
    m_outbox->setSink(std::move(sink), std::move(pending));
}

void RecordingStore::startDelivery()
{
    m_outbox->start();
}

bool RecordingStore::lock(QString *holder)
{
    QString output = m_journalFile;
    if (output.endsWith(QLatin1String(".journal")))
        output.chop(8);
    m_lock = std::make_unique<RecordingLock>(output);
    if (m_lock->tryLock())
        return true;
    *holder = m_lock->holder();
    return false;
}

// ---- What an earlier run left ----

RecordingStore::Recovery RecordingStore::open(const QString &instrument, bool mayResume)
{
    Recovery r;
    m_outbox->open();
    if (!settleSpills(&r))
        return r;
    JournalReader journal(m_journalFile);
    journal.open();
    switch (journal.format()) {
    case JournalReader::Format::Missing:
        return r;
    case JournalReader::Format::Unknown:
        r.ok = false;
        r.notAJournal = true;
        return r;
    case JournalReader::Format::Backup:
    case JournalReader::Format::Journal:
        break;
    }
    journal.skipToEnd();
    if (journal.format() == JournalReader::Format::Backup || journal.headerDamaged()) {
        if (!repair(journal, &r))
            return r;
        return finishLeft(&r) ? r : r;
    }
    if (journal.damagedBytes() > 0)
        r.notes << tr("日志 %1 有 %2 个字节已损坏并被跳过；其中完整的 %3 个读数保留。")
                       .arg(m_journalFile)
                       .arg(journal.damagedBytes())
                       .arg(journal.readingCount());
    if (!journal.stopped()) {
        const bool same = sameInstrument(journal.header().instrument, instrument);
        if (mayResume && same) {
            r.interrupted = true;
            r.header = journal.header();
            r.lastSeq = journal.lastSeq();
            r.readingCount = journal.readingCount();
            if (journal.readingCount() > 0)
                r.lastRecord = journal.lastRecord();
            m_resumeSize = journal.validSize();
            m_found = r;
            // Followed from now on, so its numbers handed out are kept.
            m_outbox->follow(m_journalFile);
            return r;
        }
        if (!same)
            r.notes
                << tr("日志中的记录“%1”来自另一台仪器；它作为单独的测量写入，新的记录重新开始。")
                       .arg(journal.header().name);
        JournalWriter writer;
        if (!writer.reopen(m_journalFile, journal.validSize()) ||
            !writer.appendStop(journal.lastSeq())) {
            r.ok = false;
            r.errorCode = writer.errorCode();
            r.error = writer.errorString();
            return r;
        }
    }
    finishLeft(&r);
    return r;
}

RecordingStore::Recovery RecordingStore::closeFound()
{
    Recovery r;
    if (!m_found.interrupted)
        return r;
    const Recovery found = m_found;
    const qint64 validSize = m_resumeSize;
    m_found = Recovery();
    m_resumeSize = -1;
    JournalWriter writer;
    if (!writer.reopen(m_journalFile, validSize) || !writer.appendStop(found.lastSeq)) {
        r.ok = false;
        r.errorCode = writer.errorCode();
        r.error = writer.errorString();
        return r;
    }
    writer.close();
    finishLeft(&r);
    return r;
}

// Readings the journal's disk refused at a stop, with the stop itself:
// appended to their journal (or made its journal when it is gone).
bool RecordingStore::settleSpills(Recovery *r)
{
    for (const QString &path : spillFiles()) {
        JournalReader spill(path);
        if (!spill.open() || spill.format() != JournalReader::Format::Journal)
            continue;
        JournalReader journal(m_journalFile);
        journal.open();
        journal.skipToEnd();
        const bool missing = journal.format() == JournalReader::Format::Missing;
        if (!missing && (journal.format() != JournalReader::Format::Journal ||
                         journal.header().id != spill.header().id)) {
            r->notes << tr("暂存文件 %1 不属于日志 %2，保留不动。").arg(path, m_journalFile);
            continue;
        }
        QVector<JournalReading> readings;
        for (JournalReading reading; spill.next(&reading);)
            if (missing || reading.seq > journal.lastSeq())
                readings << reading;
        const quint32 last = qMax(spill.lastSeq(), missing ? 0u : journal.lastSeq());
        JournalWriter writer;
        const bool written = missing ? writer.create(m_journalFile, spill.header(), readings)
                                     : writer.reopen(m_journalFile, journal.validSize()) &&
                                           writer.appendReadings(readings);
        if (!written || !writer.appendStop(last)) {
            r->ok = false;
            r->errorCode = writer.errorCode();
            r->error = writer.errorString();
            return false;
        }
        writer.close();
        QFile::remove(path);
        r->notes << tr("暂存在 %1 的 %2 个读数已取回日志 %3。")
                        .arg(path)
                        .arg(readings.size())
                        .arg(m_journalFile);
    }
    return true;
}

// A journal of the older backup format, or whose Start entry is damaged: its
// readings become a recording of their own, under a new id, rewritten
// whole beside it and stopped.
bool RecordingStore::repair(JournalReader &journal, Recovery *r)
{
    JournalReader again(m_journalFile);
    again.open();
    QVector<JournalReading> readings;
    quint32 seq = 0;
    for (JournalReading reading; again.next(&reading);)
        readings.append({++seq, reading.record});
    if (readings.isEmpty() && journal.format() == JournalReader::Format::Journal) {
        // Nothing of it can be read: kept aside for whoever wants to look.
        const QString aside = m_journalFile + QStringLiteral(".damaged");
        QFile::remove(aside);
        QFile::rename(m_journalFile, aside);
        r->notes
            << tr("日志 %1 已损坏，其中没有可读的读数；已改名为 %2。").arg(m_journalFile, aside);
        return false;
    }
    JournalHeader header;
    header.id = QUuid::createUuid();
    const QDateTime first = readings.isEmpty() ? QDateTime::currentDateTime()
                                               : dateTimeFromRecord(readings.first().record);
    header.started = first;
    header.name = recoveredName(first);
    JournalWriter writer;
    if (!writer.create(m_journalFile, header, readings) ||
        !writer.appendStop(quint32(readings.size()))) {
        r->ok = false;
        r->errorCode = writer.errorCode();
        r->error = writer.errorString();
        return false;
    }
    writer.close();
    if (journal.headerDamaged())
        r->notes << tr("日志 %1 的开头已损坏；其后的 %2 个读数作为新的记录“%3”恢复。")
                        .arg(m_journalFile)
                        .arg(readings.size())
                        .arg(header.name);
    return true;
}

// A stopped journal: written into the output (again, when a run ended
// between writing and releasing: a measurement written twice is in the
// file once), then released.
bool RecordingStore::finishLeft(Recovery *r)
{
    if (m_writer) {
        const OutputResult result = m_writer(m_journalFile, QDate());
        r->written = result.written;
        if (!result.ok) {
            r->ok = false;
            r->errorCode = result.errorCode;
            r->error = result.error;
            return false;
        }
    }
    if (!releaseJournal(m_journalFile)) {
        r->ok = false;
        r->error = tr("无法删除日志 %1。").arg(m_journalFile);
        return false;
    }
    return true;
}

// The one place a journal leaves the disk: its readings are in the output,
// and the delivery has them all; otherwise it waits as an outbox file.
bool RecordingStore::releaseJournal(const QString &path)
{
    m_outbox->unfollow(path);
    if (!QFile::exists(path))
        return true;
    if (!m_outbox->delivered(path))
        return m_outbox->keep(path, false);
    if (!QFile::remove(path))
        return false;
    syncFolderOf(path);
    return true;
}

// ---- The running recording ----

void RecordingStore::begin(const JournalHeader &header)
{
    m_header = header;
    m_recording = true;
    m_resumeSize = -1;
    m_found = Recovery();
    m_pending.clear();
    m_unsynced.clear();
    m_durableSeq = header.firstSeq - 1;
    m_failureReported = false;
    m_sinceSync.start();
    if (!m_journalEnabled)
        return;
    if (m_journal.create(m_journalFile, m_header))
        m_outbox->follow(m_journalFile);
    else
        reportFailure();
}

bool RecordingStore::resume()
{
    if (!m_found.interrupted)
        return false;
    m_header = m_found.header;
    m_recording = true;
    m_pending.clear();
    m_unsynced.clear();
    m_failureReported = false;
    m_sinceSync.start();
    if (!m_journal.reopen(m_journalFile, m_resumeSize) || !m_journal.sync()) {
        reportFailure();
        return false;
    }
    m_durableSeq = m_found.lastSeq;
    m_found = Recovery();
    return true;
}

quint32 RecordingStore::resumeSeq() const
{
    return qMax(m_found.interrupted ? m_found.lastSeq : m_durableSeq,
                m_outbox->highWater(m_header.id.isNull() ? m_found.header.id : m_header.id));
}

void RecordingStore::append(quint32 seq, const _T_EE_TEST_DATA &record)
{
    if (!m_journalEnabled) {
        m_durableSeq = seq;
        emit durable(seq, record);
        return;
    }
    if (m_pending.size() >= kMaxPending)
        m_pending.pop_front();
    m_pending.push_back({seq, record});
    // While the disk refuses, the waiting readings are tried once a second
    // (tick), not at every new one.
    if (!m_failureReported)
        writePending();
    else if (!m_syncTimer->isActive())
        m_syncTimer->start(kSyncPeriodMs);
}

// Readings go to the file in order, each once: what waits goes first.
void RecordingStore::writePending()
{
    if (m_pending.empty() || !m_journalEnabled)
        return;
    if (!m_journal.isOpen()) {
        // A journal that could not be made at the start is made now with
        // every reading since; one being resumed is never made anew.
        if (m_resumeSize < 0)
            m_header.firstSeq = qMin(m_header.firstSeq, m_pending.front().seq);
        const bool opened = m_resumeSize >= 0 ? m_journal.reopen(m_journalFile, m_resumeSize)
                                              : m_journal.create(m_journalFile, m_header);
        if (!opened) {
            reportFailure();
            return;
        }
        if (m_resumeSize < 0)
            m_outbox->follow(m_journalFile);
    }
    // In slices, so a long wait for the disk is not copied whole at once.
    while (!m_pending.empty()) {
        const size_t n = qMin<size_t>(m_pending.size(), kWriteSlice);
        const QVector<JournalReading> batch(m_pending.begin(), m_pending.begin() + long(n));
        if (!m_journal.appendReadings(batch)) {
            reportFailure();
            return;
        }
        m_unsynced += batch;
        m_pending.erase(m_pending.begin(), m_pending.begin() + long(n));
    }
    if (m_failureReported) {
        m_failureReported = false;
        emit journalRecovered(m_journalFile);
    }
    syncSoon();
}

void RecordingStore::syncSoon()
{
    if (!m_sinceSync.isValid() || m_sinceSync.elapsed() >= kSyncPeriodMs)
        tick();
    else if (!m_syncTimer->isActive())
        m_syncTimer->start(int(kSyncPeriodMs - m_sinceSync.elapsed()));
}

void RecordingStore::tick()
{
    if (!m_recording)
        return;
    writePending();
    if (m_journal.isOpen() && m_journal.isDirty()) {
        if (!m_journal.sync())
            reportFailure();
        m_sinceSync.start();
    }
    if (m_journal.isOpen() && !m_journal.isDirty())
        handOnDurable();
    // Readings waiting for a full disk are tried again every second.
    if (!m_pending.empty() && !m_syncTimer->isActive())
        m_syncTimer->start(kSyncPeriodMs);
}

void RecordingStore::handOnDurable()
{
    if (m_unsynced.isEmpty())
        return;
    const QVector<JournalReading> synced = std::move(m_unsynced);
    m_unsynced.clear();
    m_durableSeq = synced.last().seq;
    for (const JournalReading &r : synced)
        emit durable(r.seq, r.record);
    m_outbox->setDurable(m_durableSeq);
}

void RecordingStore::reportFailure()
{
    if (m_failureReported)
        return;
    m_failureReported = true;
    emit journalFailed(m_journalFile, m_journal.errorString());
}

RecordingStore::Finish RecordingStore::finish(quint32 lastSeq, int deadlineMs)
{
    Finish f;
    if (!m_recording)
        return f;
    m_recording = false;
    m_syncTimer->stop();
    if (!m_journalEnabled)
        return f;
    QElapsedTimer waited;
    waited.start();
    bool stopped = false;
    for (;;) {
        writePending();
        if (m_pending.empty() && m_journal.isOpen() && m_journal.appendStop(lastSeq)) {
            stopped = true;
            break;
        }
        if (waited.elapsed() >= deadlineMs)
            break;
        QThread::msleep(kFinishRetryMs);
    }
    f.error = m_journal.errorString();
    if (stopped) {
        handOnDurable();
        m_journal.close();
        return f;
    }
    // What the disk would not take, and the end of the recording, go to
    // another place; the journal keeps what it has.
    if (m_journal.isOpen() && m_journal.sync())
        handOnDurable();
    m_journal.close();
    f.ok = false;
    const int waiting = int(m_pending.size());
    QString spillError;
    f.spillFile = spill(lastSeq, &spillError);
    if (f.spillFile.isEmpty())
        f.lost = waiting;
    else
        f.spilled = waiting;
    m_pending.clear();
    return f;
}

QString RecordingStore::spillKey() const
{
    const QString canonical = QFileInfo(m_journalFile).absoluteFilePath();
    return QString::fromLatin1(
        QCryptographicHash::hash(QFile::encodeName(canonical), QCryptographicHash::Sha1)
            .toHex()
            .left(16));
}

QStringList RecordingStore::spillFiles() const
{
    QStringList files;
    const QString pattern = QStringLiteral("kx740d-%1*.spill").arg(spillKey());
    for (const QString &folder : m_spillFolders) {
        const QDir dir(folder);
        for (const QString &name : dir.entryList({pattern}, QDir::Files, QDir::Name))
            files << dir.filePath(name);
    }
    return files;
}

QString RecordingStore::spill(quint32 lastSeq, QString *error)
{
    JournalHeader header = m_header;
    header.firstSeq = m_pending.empty() ? lastSeq + 1 : m_pending.front().seq;
    const QVector<JournalReading> readings(m_pending.begin(), m_pending.end());
    for (const QString &folder : qAsConst(m_spillFolders)) {
        QDir().mkpath(folder);
        const QString path =
            QDir(folder).filePath(QStringLiteral("kx740d-%1-%2.spill")
                                      .arg(spillKey(), header.id.toString(QUuid::WithoutBraces)));
        JournalWriter writer;
        if (writer.create(path, header, readings) && writer.appendStop(lastSeq))
            return path;
        *error = writer.errorString();
        QFile::remove(path);
    }
    return QString();
}

void RecordingStore::abandon()
{
    if (!m_recording)
        return;
    m_recording = false;
    m_syncTimer->stop();
    writePending();
    if (m_journal.isOpen() && m_journal.sync())
        handOnDurable();
    m_journal.close();
    m_outbox->save();
}

OutputResult RecordingStore::writeOut()
{
    OutputResult result;
    if (m_writer)
        result = m_writer(m_journalFile, QDate());
    if (result.ok && !releaseJournal(m_journalFile)) {
        result.ok = false;
        result.error = tr("无法删除日志 %1。").arg(m_journalFile);
    }
    return result;
}

bool RecordingStore::release()
{
    // Readings a full disk put elsewhere belong to the journal first.
    Recovery r;
    return settleSpills(&r) && releaseJournal(m_journalFile);
}

OutputResult RecordingStore::rollOver(const QDate &today)
{
    writePending();
    OutputResult result;
    if (!m_pending.empty() || !m_writer) {
        result.ok = m_pending.empty();
        return result;
    }
    // The periods written read what the disk has: sync first.
    if (m_journal.isOpen() && m_journal.sync())
        handOnDurable();
    result = m_writer(m_journalFile, today);
    if (!result.ok || result.written.isEmpty())
        return result;
    // The journal's readings are in their files; those the delivery lacks
    // stay under a second name while the journal is started anew.
    if (!m_outbox->delivered(m_journalFile) && !m_outbox->keep(m_journalFile, true)) {
        result.ok = false;
        result.error = tr("无法保留日志 %1 以待发送。").arg(m_journalFile);
        return result;
    }
    m_outbox->unfollow(m_journalFile);
    JournalHeader header = m_header;
    header.firstSeq = result.carry.isEmpty() ? m_durableSeq + 1 : result.carry.first().seq;
    const bool created = m_journal.create(m_journalFile, header, result.carry);
    if (!created) {
        reportFailure();
        // The old journal is still whole: go on appending to it.
        m_journal.reopen(m_journalFile, QFileInfo(m_journalFile).size());
    } else {
        m_header = header;
        m_resumeSize = -1;
    }
    m_outbox->follow(m_journalFile);
    m_outbox->setDurable(m_durableSeq);
    if (!created) {
        result.ok = false;
        result.error = m_journal.errorString();
        result.errorCode = m_journal.errorCode();
    }
    return result;
}

// ---- Delivery ----

void RecordingStore::acknowledged(const QString &recordingId, quint32 seq)
{
    m_outbox->acknowledged(recordingId, seq);
}

quint64 RecordingStore::waitingCount() const
{
    return m_outbox->waitingCount();
}

bool RecordingStore::saveLedger()
{
    return m_outbox->save();
}

QStringList RecordingStore::outboxFiles() const
{
    return m_outbox->outboxFiles();
}

QString RecordingStore::ledgerFile() const
{
    return m_outbox->ledgerFile();
}

quint32 RecordingStore::writtenUpTo(const QUuid &id) const
{
    return m_outbox->writtenUpTo(id);
}

void RecordingStore::noteWritten(const QUuid &id, quint32 seq)
{
    m_outbox->noteWritten(id, seq);
}

void RecordingStore::noteHandedOut(quint32 seq)
{
    m_outbox->noteHandedOut(m_header.id, seq);
}
