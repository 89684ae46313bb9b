#pragma once

#include "instrument/records.h"
#include "link/portdiscovery.h"
#include "store/recordingstore.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QUuid>
#include <QVector>

#include <memory>

class DevKX740D;
class QTimer;
class SerialHandle;

// One recording of the instrument's live readings, without any window, for
// the window and the headless recorder alike: the driver stores a reading
// every interval while the session runs; the session numbers it, hands it
// to the recording's store (which writes it to the journal at once and
// syncs it at most a second later), reports it, ends the recording when the
// continuous time has run out or the instrument was set to store nothing,
// and reopens a lost port by itself. After a kill the store offers the same
// recording again: same id, the numbers go on.
//
// Nothing here stops a recording because a file cannot be written: the
// store reports a journal that fails, and the readings wait in memory until
// it can be written again.
class RecordingSession : public QObject
{
    Q_OBJECT

public:
    RecordingSession(DevKX740D &device, SerialHandle &link, QObject *parent = nullptr);
    ~RecordingSession() override;

    // Where the recording's readings go; not owned. Without one nothing is
    // kept on the disk.
    void setStore(RecordingStore *store) { m_store = store; }
    RecordingStore *store() const { return m_store; }
    // Readings kept in the driver's memory as well (the window shows them).
    void setKeepReadings(bool keep);
    // The recording ends by itself once `seconds` have passed when enabled.
    void setContinuousTime(bool enabled, int seconds);
    // The port the instrument was connected on: reopened after a loss while
    // the session runs, also when it comes back under another name. Empty
    // after the user disconnected.
    void setPort(const QString &port);
    QString port() const { return m_port; }
    // Who is recorded: the instrument's name, serial number and place
    // (instrumentIdentity()).
    QString instrumentIdentity() const;

    bool isRunning() const;
    QUuid recordingId() const { return m_header.id; }
    QString name() const { return m_header.name; }
    // When the recording began (local time), also when it was resumed.
    QDateTime startTime() const { return m_header.started; }
    // Sequence number of the last reading stored; numbers count from 1.
    quint32 lastSeq() const { return m_seq; }

    // Starts a new recording named `name`: the driver forgets what it
    // recorded before.
    void start(const QString &name = QString());
    // Goes on with the interrupted recording the store found; false when
    // its journal cannot be appended to.
    bool resume();
    // Ends the recording: the store gets its end, readings the disk still
    // refuses are tried until `deadlineMs` and then put elsewhere. Returns
    // the readings as stored records when the driver keeps them.
    QVector<_T_EE_TEST_DATA> stop(int deadlineMs = 0);
    // What the store said of the last stop.
    const RecordingStore::Finish &finishResult() const { return m_finish; }
    // Closes the journal without ending the recording in it (a program
    // ending on a failure): the next start resumes it.
    void abandon();

    // Brings the journal's sync and any readings waiting for the disk up
    // to date; also runs by itself.
    void tick();
    // Readings of this recording waiting for the journal (a full disk).
    int pendingCount() const;

    // The driver's count of seconds since the start (while the continuous
    // time is switched on): reports the time left, or that it ran out.
    void continueTime(uint64_t count);

signals:
    void started(const QUuid &id);
    void readingStored(quint32 seq, const _T_EE_TEST_DATA &record);
    // Seconds of the continuous time still to run.
    void remainingTime(quint64 seconds);
    // The continuous time has run out, or the instrument was set to store
    // nothing; the owner stops the recording.
    void timeUp();
    void instrumentStopped();
    void finished();
    void portReopened(const QString &port);

private:
    void beginInDriver();
    void stored(const _T_PRINT_OUT_DATA &reading, const _T_TIME &time);
    void linkStateChanged(int open);
    void tryReopen();
    void checkInterval();

    DevKX740D &m_device;
    SerialHandle &m_link;
    RecordingStore *m_store = nullptr;
    QTimer *m_reopenTimer;
    QTimer *m_endTimer;
    JournalHeader m_header;
    RecordingStore::Finish m_finish;
    QString m_port;
    SerialPortDescription m_portDescription;
    bool m_continuousEnabled = false;
    int m_continuousSeconds = 0;
    quint32 m_seq = 0;
};
