#include "measurement/recordingsession.h"

#include "instrument/devkx740d.h"
#include "link/serialhandle.h"
#include "measurement/recordingrules.h"
#include "store/datafile.h"

#include <QFile>
#include <QFileInfo>
#include <QTimer>

namespace {
constexpr int kInstrumentBaudRate = 115200;
// Polled from the loss of the port on; the instrument is usually back on
// the same name (a udev symlink, or the same ttyUSB number).
constexpr int kReopenIntervalMs = 500;
} // namespace

RecordingSession::RecordingSession(DevKX740D &device, SerialHandle &link, QObject *parent)
    : QObject(parent), m_device(device), m_link(link), m_reopenTimer(new QTimer(this))
{
    m_reopenTimer->setInterval(kReopenIntervalMs);
    connect(m_reopenTimer, &QTimer::timeout, this, &RecordingSession::tryReopen);
    connect(&m_device, &DevKX740D::continueTime, this, &RecordingSession::continueTime);
    connect(&m_link, &SerialHandle::updateCOMInfo, this, &RecordingSession::linkStateChanged);
}

void RecordingSession::setContinuousTime(bool enabled, int seconds)
{
    m_continuousEnabled = enabled;
    m_continuousSeconds = seconds;
    m_device.setContinue(enabled);
}

bool RecordingSession::isRunning() const
{
    return m_device.isRecording();
}

void RecordingSession::start()
{
    m_device.clearRecorded();
    m_device.setHold(false);
    m_device.setRecording(true);
    m_device.notifyRecording(true);
    m_device.setRunningTime(0);
    m_journalCount = 0;
    m_reportedCount = 0;
    m_journalFailureReported = false;
}

QVector<_T_EE_TEST_DATA> RecordingSession::stop()
{
    m_device.setRecording(false);
    m_device.notifyRecording(false);
    m_reopenTimer->stop();
    return m_device.recordedCount() > 0 ? m_device.recordedAsTestData()
                                        : QVector<_T_EE_TEST_DATA>();
}

bool RecordingSession::clearJournal()
{
    m_journalCount = 0;
    m_journalFailureReported = false;
    if (m_journalFile.isEmpty())
        return true;
    QFile file(m_journalFile);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return true;
    reportJournalFailure();
    m_journalFailureReported = false;
    return false;
}

// The readings not yet in the journal are appended and the counts in the
// file rewritten, so the file is readable at every moment and one update
// costs the same however long the recording is. A journal that does not
// have the expected size is written anew in full.
void RecordingSession::tick()
{
    if (!isRunning())
        return;
    const int count = m_device.recordedCount();
    if (count != m_reportedCount) {
        m_reportedCount = count;
        emit readingsStored(count);
    }
    if (!m_journalEnabled || m_journalFile.isEmpty() || count == m_journalCount)
        return;
    if (m_journalCount > 0 && count > m_journalCount) {
        QVector<_T_EE_TEST_DATA> added;
        for (const RecordedReading &r : m_device.lastRecorded(count - m_journalCount))
            added << storedRecordFromReading(r.first, r.second);
        if (appendToBackupFile(m_journalFile, quint32(m_journalCount), added)) {
            m_journalCount = count;
            return;
        }
    }
    QFile file(m_journalFile);
    const QByteArray bytes = backupFileToBytes(m_device.recordedAsTestData());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size() || !file.flush()) {
        m_journalCount = 0;
        reportJournalFailure();
        return;
    }
    m_journalCount = count;
}

void RecordingSession::reportJournalFailure()
{
    if (m_journalFailureReported)
        return;
    m_journalFailureReported = true;
    emit journalFailed(m_journalFile);
}

// Counted by the driver once a second while recording with the continuous
// time switched on, from 0 at each start.
void RecordingSession::continueTime(uint64_t count)
{
    if (!isRunning() || !m_continuousEnabled)
        return;
    if (continuousTimeReached(count, m_continuousSeconds))
        emit timeUp();
    else
        emit remainingTime(quint64(m_continuousSeconds) - count);
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
    if (!QFileInfo::exists(m_port))
        return;
    if (m_link.openPort(m_port, kInstrumentBaudRate) && m_link.isOpen()) {
        m_reopenTimer->stop();
        m_device.setLink(&m_link);
        m_device.notifyRecording(true);
        emit portReopened(m_port);
    }
}
