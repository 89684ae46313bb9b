#pragma once

#include "instrument/records.h"
#include "link/portdiscovery.h"
#include "store/recordingjournal.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QUuid>
#include <QVector>

#include <memory>

class DevKX740D;
class RecordingLock;
class QTimer;
class SerialHandle;

// One recording of the instrument's live readings, without any window, for
// the window and the headless recorder alike: the driver stores a reading
// every interval while the session runs; the session numbers it, writes it
// to its journal at once (synced at most a second later), reports it,
// ends the recording when the continuous time has run out or the
// instrument was set to store nothing, and reopens a lost port by itself.
// After a kill the same journal resumes the same recording: same id, the
// numbers go on.
//
// Nothing here stops a recording because a file cannot be written: a
// journal that fails is reported once and the readings wait in memory
// until it can be written again.
class RecordingSession : public QObject
{
    Q_OBJECT

public:
    RecordingSession(DevKX740D &device, SerialHandle &link, QObject *parent = nullptr);
    ~RecordingSession() override;

    // The journal file; empty: none is kept.
    void setJournalFile(const QString &path);
    QString journalFile() const { return m_journalFile; }
    void setJournalEnabled(bool on) { m_journalEnabled = on; }
    // Keeps every other program using this class away from the journal
    // until the session is destroyed. False when another one holds it;
    // `holder` then names it ("kx740d-record, process 1234 on host"). The
    // recording is that of the output the journal belongs to (its name
    // without ".journal"), whatever name the output is given.
    bool lockJournal(QString *holder);
    // After lockJournal(): why it failed when `holder` was left empty.
    const RecordingLock *journalLock() const { return m_lock.get(); }
    // Readings kept in the driver's memory as well (the window shows them).
    void setKeepReadings(bool keep);
    // The recording ends by itself once `seconds` have passed when enabled.
    void setContinuousTime(bool enabled, int seconds);
    // The port the instrument was connected on: reopened after a loss while
    // the session runs, also when it comes back under another name. Empty
    // after the user disconnected.
    void setPort(const QString &port);
    QString port() const { return m_port; }

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
    // Goes on with the recording a journal left behind (read to its end by
    // `journal`); false (and journalFailed) when it cannot be appended to.
    bool resume(const JournalReader &journal);
    // Ends the recording: the journal gets its end and is synced. Returns
    // the readings as stored records when the driver keeps them. The
    // journal is left as it is until clearJournal(), so the caller empties
    // it only once the readings are safe elsewhere.
    QVector<_T_EE_TEST_DATA> stop();
    // Starts the journal anew, holding only `readings` (the ones not yet
    // written elsewhere, in order, ending with the last one stored): a
    // recording of months keeps a journal of days. The old journal is
    // replaced only once the new one is on the disk.
    bool rotateJournal(const QVector<JournalReading> &readings);
    // Removes the journal; false (and reported) when it cannot be removed.
    bool clearJournal();
    // Closes the journal without ending the recording in it (a program
    // ending on a failure): the next start resumes it.
    void abandon();

    // Brings the journal's sync and any readings waiting for the disk up
    // to date; also runs by itself.
    void tick();
    // Readings of this recording waiting for the journal (a full disk).
    int pendingCount() const { return m_pending.size(); }
    int journalCount() const { return int(m_seq) - m_pending.size(); }

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
    // The journal could not be written; once until it works again.
    void journalFailed(const QString &file, const QString &reason);
    void journalRecovered(const QString &file);
    void portReopened(const QString &port);

private:
    void beginInDriver();
    void stored(const _T_PRINT_OUT_DATA &reading, const _T_TIME &time);
    void writePending();
    void syncSoon();
    void linkStateChanged(int open);
    void tryReopen();
    void reportJournalFailure();
    void checkInterval();
    bool journalWanted() const { return m_journalEnabled && !m_journalFile.isEmpty(); }

    DevKX740D &m_device;
    SerialHandle &m_link;
    QTimer *m_reopenTimer;
    QTimer *m_syncTimer;
    QTimer *m_endTimer;
    QString m_journalFile;
    std::unique_ptr<RecordingLock> m_lock;
    JournalWriter m_journal;
    JournalHeader m_header;
    QVector<JournalReading> m_pending;
    QElapsedTimer m_sinceSync;
    QString m_port;
    SerialPortDescription m_portDescription;
    bool m_journalEnabled = true;
    bool m_continuousEnabled = false;
    int m_continuousSeconds = 0;
    quint32 m_seq = 0;
    qint64 m_resumeSize = -1; // of the journal being resumed; -1: a new one
    bool m_journalFailureReported = false;
};
