#pragma once

#include "store/recordingjournal.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QUuid>

#include <deque>
#include <functional>
#include <memory>

class QTimer;

// Recorded readings on their way to the broker, kept on the disk until the
// broker has them, so a kill, a stop during an outage or a power cut loses
// none and an outage is bounded by the disk, not by memory.
//
// The journals are the outbox: readings are read back from the recording's
// journal and handed to the publisher in order, never more than a small
// window ahead of what it has sent. The last reading the broker
// acknowledged (recording id and sequence number) is kept in `<out>.mqtt`,
// written at most once a second; a journal whose recording ended before
// all its readings were acknowledged is kept as `<out>.<n>.outbox` and
// delivered first at the next start. A reading acknowledged shortly before
// a kill may go out twice, with the same id and number, for the subscriber
// to drop.
class MqttOutbox : public QObject
{
    Q_OBJECT

public:
    // Hands one reading to the publisher.
    using Sink =
        std::function<void(const QString &recordingId, quint32 seq, const _T_EE_TEST_DATA &record)>;
    // Readings handed over and not yet acknowledged.
    using Pending = std::function<int()>;

    MqttOutbox(const QString &out, Sink sink, Pending pending, QObject *parent = nullptr);
    ~MqttOutbox() override;

    // Reads what an earlier run left: the acknowledged position and the
    // outbox files.
    void open();
    // The journal of the recording now running, read as it grows.
    void follow(const QString &journal);
    // More readings may be handed over: a reading was stored, or the
    // publisher made room.
    void pump();
    // The broker has every reading of `recordingId` up to `seq`.
    void acknowledged(const QString &recordingId, quint32 seq);
    // The recording's journal is done with. Removed when the broker has
    // all of it; otherwise kept as an outbox file. False when it could be
    // neither (the caller leaves it where it is).
    bool retire(const QString &journal);
    // Before a journal is started anew (a file per period): what it holds
    // and the broker has not is kept, linked as an outbox file.
    void keepBeforeRotation(const QString &journal);
    // Writes the acknowledged position now.
    void save();

    // Readings recorded and not yet acknowledged: those of the outbox files
    // and those of the running recording, whose last stored reading is
    // `liveLastSeq`.
    quint64 waitingCount(quint32 liveLastSeq) const;
    QString cursorFile() const { return m_out + QStringLiteral(".mqtt"); }
    QStringList outboxFiles() const;

private:
    struct Source
    {
        QString path;
        bool live = false; // the running recording's journal
        std::unique_ptr<JournalReader> reader;
        quint32 lastSeq = 0; // of the readings known in it
    };

    bool release(const QString &journal, bool keepJournal);
    void openSource(Source &source);
    QString nextOutboxName() const;
    void dropDeliveredOutboxes();

    QString m_out;
    Sink m_sink;
    Pending m_pending;
    QTimer *m_saveTimer;
    std::deque<Source> m_sources;
    QString m_ackedId;
    quint32 m_ackedSeq = 0;
    QString m_handedId;
    quint32 m_handedSeq = 0;
    bool m_dirty = false;
};
