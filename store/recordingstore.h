#pragma once

#include "store/recordingjournal.h"
#include "store/recordingoutput.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <memory>

class RecordingLock;
class QTimer;
class RecordingOutbox;

// The one owner of a recording's files, from its first reading to its last
// delivery: the journal (`journal`), the ledger and outbox files made from
// `base` (`<base>.mqtt`, `<base>.<n>.outbox`), readings spilled elsewhere
// when the journal's disk was full at the stop, and the lock. Nothing else
// creates, rewrites or deletes them.
//
// Life of a recording: begin() (or resume() of one a kill interrupted),
// append() each reading (written at once, synced at most a second later,
// then handed on: durable() and the delivery), finish() with a Stop entry,
// writeOut() into the output, and release: a journal leaves the disk only
// in release(), and only once the output holds it and the delivery has
// every reading of it; until then it stays, as an outbox file when a new
// recording needs the journal's name.
//
// open() settles what an earlier run left, once, before anything else:
// spilled readings go back into their journal, a journal whose Start entry
// was damaged is rewritten under a new recording id, a stopped journal is
// written to the output and released, and a journal of a recording that
// was not stopped is offered for resuming when it comes from the same
// instrument; otherwise it is finished as its own recording.
class RecordingStore : public QObject
{
    Q_OBJECT

public:
    using Sink =
        std::function<void(const QString &recordingId, quint32 seq, const _T_EE_TEST_DATA &record)>;
    using Pending = std::function<int()>;
    // Puts the readings of the finished journal at `journal` into the
    // output; with a valid `before` only those of periods before it (a file
    // per period), returning the rest in `carry`.
    using OutputWriter = std::function<OutputResult(const QString &journal, const QDate &before)>;

    RecordingStore(const QString &journal, const QString &base, QObject *parent = nullptr);
    ~RecordingStore() override;

    QString journalFile() const { return m_journalFile; }
    // Without a journal (switched off) readings are handed on at once and
    // nothing reaches the disk.
    void setJournalEnabled(bool on) { m_journalEnabled = on; }
    bool journalEnabled() const { return m_journalEnabled; }
    void setOutputWriter(OutputWriter writer) { m_writer = std::move(writer); }
    // Recorded readings go to `sink` from the disk, in order, once durable;
    // acknowledged() moves the ledger on.
    void setDelivery(Sink sink, Pending pending);
    // The sink can take readings now: what waits goes first, in order.
    void startDelivery();
    // Where readings the journal's disk refused at the stop go, in order of
    // preference; by default the service's state and runtime folders
    // ($STATE_DIRECTORY, $RUNTIME_DIRECTORY) and the temporary folder.
    void setSpillFolders(const QStringList &folders) { m_spillFolders = folders; }
    static QStringList defaultSpillFolders();

    // Keeps every other program away from this recording's files until the
    // store is destroyed: the lock belongs to the output the journal is
    // kept for (its name without ".journal"), under whatever name it is
    // given. False with `holder` naming the program that holds it, or an
    // empty `holder` and recordingLock()'s reason when none could be made.
    bool lock(QString *holder);
    const RecordingLock *recordingLock() const { return m_lock.get(); }

    struct Recovery
    {
        bool ok = true; // false: what was left could not be settled
        int errorCode = 0;
        QString error;
        bool notAJournal = false; // the journal's name holds another file
        QStringList notes;        // what was found and done, to be told
        QVector<QPair<QString, quint32>> written;
        // A recording that was not stopped, of the same instrument: resume()
        // goes on with it.
        bool interrupted = false;
        JournalHeader header;
        quint32 lastSeq = 0;
        quint32 readingCount = 0;
        _T_EE_TEST_DATA lastRecord;
    };
    // `instrument`: the identity of the instrument to be recorded (empty:
    // not known yet). With `mayResume` false an interrupted recording is
    // finished and written out like a stopped one.
    Recovery open(const QString &instrument, bool mayResume = true);
    // The interrupted recording open() found, until resumed.
    const Recovery &found() const { return m_found; }
    // Ends the interrupted recording open() found without going on with it
    // (another instrument answered): stopped, written out and released.
    Recovery closeFound();

    // A new recording: its journal is made now (or, when the disk refuses,
    // with the first reading that can be written).
    void begin(const JournalHeader &header);
    // Goes on with the interrupted recording open() found. The numbers go on
    // from resumeSeq().
    bool resume();
    // Never below a number already handed out for the recording, even when
    // the journal lost its tail.
    quint32 resumeSeq() const;
    bool isRecording() const { return m_recording; }
    const JournalHeader &header() const { return m_header; }

    void append(quint32 seq, const _T_EE_TEST_DATA &record);
    // Writes waiting readings, syncs, hands on what became durable; runs by
    // itself at most a second after a reading.
    void tick();
    int pendingCount() const { return int(m_pending.size()); }
    quint32 durableSeq() const { return m_durableSeq; }

    struct Finish
    {
        bool ok = true;  // the journal holds every reading and its end
        int spilled = 0; // readings put in `spillFile` instead
        QString spillFile;
        int lost = 0;  // readings neither place took
        QString error; // the journal's reason
    };
    // Ends the recording with a Stop entry after its last reading `lastSeq`.
    // Readings the disk refuses are tried again until `deadlineMs` has
    // passed, then spilled; the next open() takes them back.
    Finish finish(quint32 lastSeq, int deadlineMs);
    // Ends this program's use of the journal without ending the recording
    // (a failure): the next open() offers it for resuming.
    void abandon();

    // Writes the finished recording into the output, then releases it.
    OutputResult writeOut();
    // The output holds the finished recording (written by the owner): its
    // journal goes once delivered, kept as an outbox file until then.
    bool release();
    // A file per period: the periods before `today` go to their files and
    // the journal is started anew with the readings of the current one.
    OutputResult rollOver(const QDate &today);

    // Delivery.
    void acknowledged(const QString &recordingId, quint32 seq);
    quint64 waitingCount() const;
    bool saveLedger();
    QStringList outboxFiles() const;
    QString ledgerFile() const;
    // A reading number handed out elsewhere (a CSV line): never given to
    // another reading.
    void noteHandedOut(quint32 seq);
    // An owner that keeps the readings in an output of its own (the window's
    // archive) notes how far it has them, so a journal taken up again
    // after a crash gives it only the readings after those.
    quint32 writtenUpTo(const QUuid &id) const;
    void noteWritten(const QUuid &id, quint32 seq);

signals:
    // The reading is on the disk (or, without a journal, stored).
    void durable(quint32 seq, const _T_EE_TEST_DATA &record);
    // The journal could not be written; once until it works again.
    void journalFailed(const QString &file, const QString &reason);
    void journalRecovered(const QString &file);

private:
    bool settleSpills(Recovery *recovery);
    bool repair(JournalReader &journal, Recovery *recovery);
    bool finishLeft(Recovery *recovery);
    bool releaseJournal(const QString &path);
    void writePending();
    void syncSoon();
    void handOnDurable();
    void reportFailure();
    QString spillKey() const;
    QStringList spillFiles() const;
    QString spill(quint32 lastSeq, QString *error);

    QString m_journalFile;
    QString m_base;
    bool m_journalEnabled = true;
    OutputWriter m_writer;
    QStringList m_spillFolders;
    std::unique_ptr<RecordingLock> m_lock;
    RecordingOutbox *m_outbox;
    QTimer *m_syncTimer;
    QElapsedTimer m_sinceSync;
    JournalWriter m_journal;
    JournalHeader m_header;
    Recovery m_found;
    bool m_recording = false;
    qint64 m_resumeSize = -1;             // of the journal being resumed; -1: a new one
    std::deque<JournalReading> m_pending; // not yet written (a full disk)
    QVector<JournalReading> m_unsynced;   // written, not yet synced
    quint32 m_durableSeq = 0;
    bool m_failureReported = false;
};
