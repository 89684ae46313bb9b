#pragma once

#include "instrument/records.h"

#include <QObject>
#include <QString>
#include <QVector>

class DevKX740D;
class QTimer;
class SerialHandle;

// One recording of the instrument's live readings, without any window: the
// driver stores a reading every interval while the session runs; the
// session keeps a journal file (the backup format) up to date with every
// stored reading, ends the recording when the continuous time has run out,
// and reopens a lost port by itself so that the recording goes on. The
// window and the headless recorder both drive it and only react to its
// signals.
//
// Nothing here stops a recording because a file cannot be written: a
// journal that fails is reported once per recording and the readings stay
// in memory.
class RecordingSession : public QObject
{
    Q_OBJECT

public:
    RecordingSession(DevKX740D &device, SerialHandle &link, QObject *parent = nullptr);

    // The journal file; empty: none is kept.
    void setJournalFile(const QString &path) { m_journalFile = path; }
    QString journalFile() const { return m_journalFile; }
    void setJournalEnabled(bool on) { m_journalEnabled = on; }
    // The recording ends by itself once `seconds` have passed when enabled.
    void setContinuousTime(bool enabled, int seconds);
    // The port the instrument was connected on: reopened after a loss while
    // the session runs. Empty after the user disconnected.
    void setPort(const QString &port) { m_port = port; }
    QString port() const { return m_port; }

    bool isRunning() const;
    // Starts a new recording: the driver forgets what it recorded before.
    void start();
    // Ends the recording and returns its readings as stored records. The
    // journal is left as it is until clearJournal(), so the caller empties
    // it only once the readings are safe elsewhere.
    QVector<_T_EE_TEST_DATA> stop();
    // Empties the journal; false (and reported) when it cannot be written.
    bool clearJournal();

    // Once a second: brings the journal up to the stored readings. Every
    // call that finds new readings emits readingsStored().
    void tick();
    // Readings of this recording already in the journal.
    int journalCount() const { return m_journalCount; }

    // The driver's count of seconds since the start (while the continuous
    // time is switched on): reports the time left, or that it ran out.
    void continueTime(uint64_t count);

signals:
    void readingsStored(int count);
    // Seconds of the continuous time still to run.
    void remainingTime(quint64 seconds);
    // The continuous time has run out; the owner stops the recording.
    void timeUp();
    // The journal could not be written; once per recording.
    void journalFailed(const QString &file);
    void portReopened(const QString &port);

private:
    void linkStateChanged(int open);
    void tryReopen();
    void reportJournalFailure();

    DevKX740D &m_device;
    SerialHandle &m_link;
    QTimer *m_reopenTimer;
    QString m_journalFile;
    QString m_port;
    bool m_journalEnabled = true;
    bool m_continuousEnabled = false;
    int m_continuousSeconds = 0;
    int m_journalCount = 0;
    int m_reportedCount = 0;
    bool m_journalFailureReported = false;
};
