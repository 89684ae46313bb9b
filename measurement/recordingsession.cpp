#include "measurement/recordingsession.h"

#include "instrument/devkx740d.h"
#include "instrument/temperature.h"
#include "link/serialhandle.h"
#include "measurement/recordingrules.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

namespace {
constexpr int kInstrumentBaudRate = 115200;
// Polled from the loss of the port on; the instrument is usually back on
// the same name (a udev symlink, or the same ttyUSB number).
constexpr int kReopenIntervalMs = 500;
constexpr qint64 kMaxWaitOutMs = 2000;
} // namespace

RecordingSession::RecordingSession(DevKX740D &device, SerialHandle &link, QObject *parent)
    : QObject(parent), m_device(device), m_link(link), m_reopenTimer(new QTimer(this)),
      m_endTimer(new QTimer(this))
{
    m_reopenTimer->setInterval(kReopenIntervalMs);
    connect(m_reopenTimer, &QTimer::timeout, this, &RecordingSession::tryReopen);
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

RecordingSession::~RecordingSession() = default;

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

QString RecordingSession::instrumentIdentity() const
{
    // A port without USB identifiers (a pseudo-terminal) has no place that
    // stays the same from one run to the next.
    const QString place = m_portDescription.hasVendor ? portPlace(m_port) : QString();
    return ::instrumentIdentity(m_device.deviceName(), m_portDescription.serialNumber, place);
}

void RecordingSession::start(const QString &name)
{
    m_device.clearRecorded();
    m_header = JournalHeader();
    m_header.id = QUuid::createUuid();
    m_header.firstSeq = 1;
    m_header.started = m_device.now();
    m_header.name = name;
    m_header.instrument = instrumentIdentity();
    m_seq = 0;
    m_finish = RecordingStore::Finish();
    m_endTimer->stop();
    if (m_store)
        m_store->begin(m_header);
    beginInDriver();
}

bool RecordingSession::resume()
{
    if (!m_store)
        return false;
    m_device.clearRecorded();
    m_finish = RecordingStore::Finish();
    m_endTimer->stop();
    const RecordingStore::Recovery found = m_store->found();
    if (!m_store->resume())
        return false;
    m_header = m_store->header();
    m_seq = m_store->resumeSeq();
    if (found.readingCount > 0)
        m_device.setLastRecordedTime(timeFromDateTime(dateTimeFromRecord(found.lastRecord)));
    beginInDriver();
    return true;
}

void RecordingSession::beginInDriver()
{
    m_device.setHold(false);
    m_device.setRecording(true);
    m_device.notifyRecording(true);
    m_device.setRunningTime(0);
    emit started(m_header.id);
}

QVector<_T_EE_TEST_DATA> RecordingSession::stop(int deadlineMs)
{
    const bool wasRunning = isRunning();
    m_device.setRecording(false);
    m_device.notifyRecording(false);
    m_reopenTimer->stop();
    m_endTimer->stop();
    if (wasRunning) {
        if (m_store)
            m_finish = m_store->finish(m_seq, deadlineMs);
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
    if (m_store)
        m_store->abandon();
}

void RecordingSession::tick()
{
    if (m_store && isRunning())
        m_store->tick();
}

int RecordingSession::pendingCount() const
{
    return m_store ? m_store->pendingCount() : 0;
}

void RecordingSession::stored(const _T_PRINT_OUT_DATA &reading, const _T_TIME &time)
{
    if (!isRunning())
        return;
    const JournalReading r{++m_seq, storedRecordFromReading(reading, time)};
    if (m_store)
        m_store->append(r.seq, r.record);
    emit readingStored(r.seq, r.record);
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
