#include "measurement/recordingsession.h"

#include "instrument/devkx740d.h"
#include "instrument/temperature.h"
#include "link/serialhandle.h"
#include "measurement/recordingrules.h"
#include "store/recordinglock.h"

#include <QFile>
#include <QFileInfo>
#include <QTimer>

namespace {
constexpr int kInstrumentBaudRate = 115200;
// Polled from the loss of the port on; the instrument is usually back on
// the same name (a udev symlink, or the same ttyUSB number).
constexpr int kReopenIntervalMs = 500;
// A reading reaches the disk at most this long after it was stored.
constexpr int kSyncPeriodMs = 1000;
// Readings waiting for a full disk: 11 days at one a second. Beyond that the
// oldest go, so a disk that never comes back cannot take all memory.
constexpr int kMaxPending = 1000000;
constexpr qint64 kMaxWaitOutMs = 2000;
} // namespace

RecordingSession::RecordingSession(DevKX740D &device, SerialHandle &link, QObject *parent)
    : QObject(parent), m_device(device), m_link(link), m_reopenTimer(new QTimer(this)),
      m_syncTimer(new QTimer(this)), m_endTimer(new QTimer(this))
{
    m_reopenTimer->setInterval(kReopenIntervalMs);
    connect(m_reopenTimer, &QTimer::timeout, this, &RecordingSession::tryReopen);
    m_syncTimer->setSingleShot(true);
    connect(m_syncTimer, &QTimer::timeout, this, &RecordingSession::tick);
    m_endTimer->setSingleShot(true);
    connect(m_endTimer, &QTimer::timeout, this, [this] {
        if (isRunning())
            emit timeUp();
    });
    connect(&m_device, &DevKX740D::continueTime, this, &RecordingSession::continueTime);
    connect(&m_device, &DevKX740D::readingRecorded, this, &RecordingSession::stored);
    connect(&m_device, &DevKX740D::ctrl_setting, this, &RecordingSession::checkInterval);
    connect(&m_link, &SerialHandle::updateCOMInfo, this, &RecordingSession::linkStateChanged);
}

RecordingSession::~RecordingSession()
{
    m_journal.close();
}

void RecordingSession::setJournalFile(const QString &path)
{
    if (path != m_journalFile)
        m_journal.close();
    m_journalFile = path;
}

bool RecordingSession::lockJournal(QString *holder)
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

void RecordingSession::setKeepReadings(bool keep)
{
    m_device.setKeepRecorded(keep);
}

void RecordingSession::setContinuousTime(bool enabled, int seconds)
{
    m_continuousEnabled = enabled;
    m_continuousSeconds = seconds;
    m_device.setContinue(enabled);
}

void RecordingSession::setPort(const QString &port)
{
    m_port = port;
    m_portDescription = port.isEmpty() ? SerialPortDescription() : describePort(port);
}

bool RecordingSession::isRunning() const
{
    return m_device.isRecording();
}

void RecordingSession::start(const QString &name)
{
    m_device.clearRecorded();
    m_header = JournalHeader();
    m_header.id = QUuid::createUuid();
    m_header.firstSeq = 1;
    m_header.started = m_device.now();
    m_header.name = name;
    m_resumeSize = -1;
    m_seq = 0;
    m_pending.clear();
    m_journalFailureReported = false;
    m_endTimer->stop();
    if (journalWanted() && !m_journal.create(m_journalFile, m_header))
        reportJournalFailure();
    beginInDriver();
}

bool RecordingSession::resume(const JournalReader &journal)
{
    m_device.clearRecorded();
    if (journal.readingCount() > 0)
        m_device.setLastRecordedTime(timeFromDateTime(dateTimeFromRecord(journal.lastRecord())));
    m_header = journal.header();
    m_seq = journal.lastSeq();
    m_resumeSize = journal.validSize();
    m_pending.clear();
    m_journalFailureReported = false;
    m_endTimer->stop();
    if (!m_journal.reopen(m_journalFile, m_resumeSize)) {
        reportJournalFailure();
        return false;
    }
    beginInDriver();
    return true;
}

void RecordingSession::beginInDriver()
{
    m_sinceSync.start();
    m_device.setHold(false);
    m_device.setRecording(true);
    m_device.notifyRecording(true);
    m_device.setRunningTime(0);
    emit started(m_header.id);
}

QVector<_T_EE_TEST_DATA> RecordingSession::stop()
{
    const bool wasRunning = isRunning();
    m_device.setRecording(false);
    m_device.notifyRecording(false);
    m_reopenTimer->stop();
    m_endTimer->stop();
    if (wasRunning) {
        writePending();
        if (m_journal.isOpen() && m_pending.isEmpty() && !m_journal.appendStop(m_seq))
            reportJournalFailure();
        m_journal.close();
        emit finished();
    }
    return m_device.keepsRecorded() && m_device.recordedCount() > 0 ? m_device.recordedAsTestData()
                                                                    : QVector<_T_EE_TEST_DATA>();
}

void RecordingSession::abandon()
{
    m_device.setRecording(false);
    m_reopenTimer->stop();
    m_endTimer->stop();
    writePending();
    m_journal.close();
}

bool RecordingSession::rotateJournal(const QVector<JournalReading> &readings)
{
    writePending();
    if (!m_pending.isEmpty())
        return false;
    JournalHeader header = m_header;
    header.firstSeq = readings.isEmpty() ? m_seq + 1 : readings.first().seq;
    if (!m_journal.create(m_journalFile, header, readings)) {
        reportJournalFailure();
        // The old journal is still whole: go on appending to it.
        m_journal.reopen(m_journalFile, QFileInfo(m_journalFile).size());
        return false;
    }
    m_header = header;
    m_resumeSize = -1;
    return true;
}

bool RecordingSession::clearJournal()
{
    m_journal.close();
    m_pending.clear();
    m_journalFailureReported = false;
    if (m_journalFile.isEmpty() || !QFile::exists(m_journalFile))
        return true;
    if (QFile::remove(m_journalFile))
        return true;
    reportJournalFailure();
    m_journalFailureReported = false;
    return false;
}

void RecordingSession::stored(const _T_PRINT_OUT_DATA &reading, const _T_TIME &time)
{
    if (!isRunning())
        return;
    const JournalReading r{++m_seq, storedRecordFromReading(reading, time)};
    if (journalWanted()) {
        if (m_pending.size() >= kMaxPending)
            m_pending.removeFirst();
        m_pending.append(r);
        writePending();
    }
    emit readingStored(r.seq, r.record);
}

// Readings go to the file in order, each once: what waits goes first.
void RecordingSession::writePending()
{
    if (m_pending.isEmpty() || !journalWanted())
        return;
    if (!m_journal.isOpen()) {
        // A journal that could not be made at the start is made now with
        // every reading since; one being resumed is never made anew.
        m_header.firstSeq = m_resumeSize >= 0 ? m_header.firstSeq : m_pending.first().seq;
        const bool opened = m_resumeSize >= 0 ? m_journal.reopen(m_journalFile, m_resumeSize)
                                              : m_journal.create(m_journalFile, m_header);
        if (!opened) {
            reportJournalFailure();
            return;
        }
    }
    if (!m_journal.appendReadings(m_pending)) {
        reportJournalFailure();
        return;
    }
    m_pending.clear();
    if (m_journalFailureReported) {
        m_journalFailureReported = false;
        emit journalRecovered(m_journalFile);
    }
    syncSoon();
}

void RecordingSession::syncSoon()
{
    if (!m_sinceSync.isValid() || m_sinceSync.elapsed() >= kSyncPeriodMs) {
        tick();
    } else if (!m_syncTimer->isActive()) {
        m_syncTimer->start(int(kSyncPeriodMs - m_sinceSync.elapsed()));
    }
}

void RecordingSession::tick()
{
    if (!isRunning())
        return;
    writePending();
    if (m_journal.isOpen() && m_journal.isDirty()) {
        if (!m_journal.sync())
            reportJournalFailure();
        m_sinceSync.start();
    }
    // Readings waiting for a full disk are tried again every second.
    if (!m_pending.isEmpty() && !m_syncTimer->isActive())
        m_syncTimer->start(kSyncPeriodMs);
}

void RecordingSession::reportJournalFailure()
{
    if (m_journalFailureReported)
        return;
    m_journalFailureReported = true;
    emit journalFailed(m_journalFile, m_journal.errorString());
}

// Counted by the driver once a second while recording with the continuous
// time switched on, from 0 at each start. The driver counts changes of the
// clock's second, so its count can run out up to a second before the time
// has really passed; the rest is waited for.
void RecordingSession::continueTime(uint64_t count)
{
    if (!isRunning() || !m_continuousEnabled)
        return;
    if (!continuousTimeReached(count, m_continuousSeconds)) {
        emit remainingTime(quint64(m_continuousSeconds) - count);
        return;
    }
    const qint64 passed = m_header.started.msecsTo(m_device.now());

    // The count runs ahead by up to a second and a tick; more than that is
    // a clock that was set back, which must not hold the recording open.
    const qint64 left =
        qBound<qint64>(0, qint64(m_continuousSeconds) * 1000 - passed, kMaxWaitOutMs);
    if (left > 0)
        m_endTimer->start(int(left));
    else
        emit timeUp();
}

// Storing set to 0 s on the instrument's keys (or by a setting): nothing
// more would be stored.
void RecordingSession::checkInterval()
{
    if (isRunning() && m_device.interval() == 0)
        emit instrumentStopped();
}

void RecordingSession::linkStateChanged(int open)
{
    if (!open && isRunning() && !m_port.isEmpty() && !m_reopenTimer->isActive())
        m_reopenTimer->start();
}

// A failed attempt is silent. The handshake runs again, and the instrument
// is told once more that a recording runs, as it may have been switched off
// in between.
void RecordingSession::tryReopen()
{
    if (!isRunning() || m_port.isEmpty() || m_link.isOpen()) {
        m_reopenTimer->stop();
        return;
    }
    const bool exists = QFileInfo::exists(portDevicePath(m_port));
    const QString port =
        findReturningPort(m_port, m_portDescription,
                          exists || !m_portDescription.hasVendor ? QList<SerialPortDescription>()
                                                                 : systemSerialPorts(),
                          exists);
    if (port.isEmpty())
        return;
    if (m_link.openPort(port, kInstrumentBaudRate) && m_link.isOpen()) {
        m_reopenTimer->stop();
        if (port != m_port)
            setPort(port);
        m_device.setLink(&m_link);
        m_device.notifyRecording(true);
        emit portReopened(port);
    }
}
