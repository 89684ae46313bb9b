#pragma once

#include "store/recordingjournal.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <deque>
#include <functional>
#include <memory>

class QTimer;

// Recorded readings on their way to a delivery (the MQTT broker), kept on
// the disk until it has them, so a kill, a stop during an outage or a power
// cut loses none and an outage is bounded by the disk, not by memory. Owned
// by a RecordingStore, which alone decides when a file goes.
//
// The journals are the outbox: readings are read back from the files in
// order and handed to the sink, never more than a small window ahead of
// what it acknowledged, and from the running recording's journal only once
// they are synced. The ledger `<base>.mqtt` keeps the last reading
// acknowledged ("<recording id> <seq>") and, per recording, the highest
// number ever handed out ("hw <id> <seq>"), written at most once a second.
// A recording that ended before all its readings were acknowledged is kept
// as `<base>.<n>.outbox` and delivered first at the next start. A reading
// acknowledged shortly before a kill may go out twice, with the same id and
// number, for the subscriber to drop.
class RecordingOutbox : public QObject
{
    Q_OBJECT

public:
    using Sink =
        std::function<void(const QString &recordingId, quint32 seq, const _T_EE_TEST_DATA &record)>;
    // Readings handed over and not yet acknowledged.
    using Pending = std::function<int()>;

    explicit RecordingOutbox(const QString &base, QObject *parent = nullptr);
    ~RecordingOutbox() override;

    void setSink(Sink sink, Pending pending);
    bool hasSink() const { return bool(m_sink); }
    // Readings are handed to the sink only once it can take them.
    void start();

    // Reads the ledger and lists the outbox files an earlier run left.
    void open();
    // The journal of the running recording, read as it grows; readings up
    // to `durableSeq` (setDurable) are handed over.
    void follow(const QString &journal);
    void setDurable(quint32 seq);
    // Hands over what may go; called when readings became durable or the
    // sink made room.
    void pump();
    // The sink has every reading of `recordingId` up to `seq`.
    void acknowledged(const QString &recordingId, quint32 seq);
    // Whether every reading of the finished journal `path` was acknowledged
    // (without a sink nothing waits).
    bool delivered(const QString &path) const;
    // Keeps the finished journal `path` for delivery under an outbox name:
    // renamed, or with `link` a second name beside the journal that goes on
    // (a journal started anew). False when no name could be made.
    bool keep(const QString &path, bool link);
    // The running recording's journal is no longer followed.
    void unfollow(const QString &path);
    // Writes the ledger now.
    bool save();

    // Highest reading number of `id` ever handed out (0: none).
    quint32 highWater(const QUuid &id) const;
    // Notes numbers handed out elsewhere (a CSV line), for highWater().
    void noteHandedOut(const QUuid &id, quint32 seq);

    // The highest reading number of `id` its owner has put in its output by
    // itself (the window's archive), kept in the ledger as "out <id> <seq>".
    quint32 writtenUpTo(const QUuid &id) const;
    void noteWritten(const QUuid &id, quint32 seq);

    // Readings recorded and not yet acknowledged.
    quint64 waitingCount() const;
    QString ledgerFile() const { return m_base + QStringLiteral(".mqtt"); }
    QStringList outboxFiles() const;

private:
    struct Source
    {
        QString path;
        bool live = false;
        QString id;
        quint32 firstSeq = 1;
        quint32 lastSeq = 0; // of the readings known in it
        std::unique_ptr<JournalReader> reader;
        bool held = false; // `ahead` read but not yet durable
        JournalReading ahead;
    };

    void openSource(Source &source);
    QString nextOutboxName() const;
    void dropDelivered();
    bool covers(const Source &source) const;
    void markDirty();

    QString m_base;
    Sink m_sink;
    Pending m_pending;
    QTimer *m_saveTimer;
    std::deque<Source> m_sources;
    QString m_ackedId;
    quint32 m_ackedSeq = 0;
    QString m_handedId;
    quint32 m_handedSeq = 0;
    quint32 m_durableSeq = 0;
    QHash<QString, quint32> m_highWater;
    QHash<QString, quint32> m_written;
    bool m_dirty = false;
    bool m_started = false;
};
