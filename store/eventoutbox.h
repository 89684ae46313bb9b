#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <deque>
#include <functional>

class QTimer;

// Alarm events on their way to the broker, kept on the disk until the broker
// has them, so that an event of a broker outage survives a stop, a kill or a
// power cut. Memory stays flat whatever the backlog: the events are read
// back from the file a few at a time.
//
//   file    := magic "KXEVTS01" entry*
//   entry   := payload length (u32), CRC-32C (u32) of the length's four
//              bytes and the payload, payload; integers big-endian
//   payload := kind (u8), event id (u64), and for an event its message
//   Event        (1): an event, numbered from 1 in the order kept
//   Acknowledged (2): the broker has every event up to the id
//
// Each event is synced before it is handed to the publisher. An
// acknowledgement is written but not synced: lost to a power cut, its events
// go out once more under their ids. A reader drops a torn tail (an entry cut
// short by a kill; the next one is written in its place) and steps over a
// damaged entry to the next one whose checksum holds. The file is removed
// once the broker has every event in it.
class EventOutbox : public QObject
{
    Q_OBJECT

public:
    // Hands one event to the publisher.
    using Sink = std::function<void(quint64 id, const QByteArray &payload)>;
    // Events handed to the publisher ahead of the broker's acknowledgements.
    static constexpr int kWindow = 20;

    EventOutbox(const QString &path, Sink sink, QObject *parent = nullptr);
    ~EventOutbox() override;

    // Once, before add(): reads what an earlier run left and hands its first
    // events over. False, with errorString(), when the file cannot be opened
    // or is not an event outbox: it is then left alone, and the events to
    // come are handed over at once (add() succeeds) and kept in memory only.
    bool open();
    // Keeps `payload` as the next event and hands it over once it is on the
    // disk, and fewer than kWindow wait for the broker. False, with
    // errorString(), when it could not be written (a full disk): it waits
    // in memory, with those after it, and is written again every few
    // seconds until that succeeds.
    bool add(const QByteArray &payload);
    // The broker has every event up to `id`.
    void acknowledged(quint64 id);

    // Events kept and not acknowledged.
    quint64 waitingCount() const { return m_lastId - m_ackedId + m_unwritten.size(); }
    QString fileName() const { return m_path; }
    // Why the last open() or add() failed, translated, naming the file.
    QString errorString() const { return m_error; }

private:
    struct Entry
    {
        quint8 kind = 0;
        quint64 id = 0;
        QByteArray payload;
    };

    bool readEntry(qint64 *pos, Entry *entry);
    bool cover(qint64 at, qint64 size);
    bool createFile();
    bool append(const QByteArray &bytes, bool sync);
    bool writeUnwritten();
    void pump();
    void removeFile();
    bool fail(int code);

    QString m_path;
    Sink m_sink;
    QTimer *m_retry;
    int m_fd = -1;
    bool m_unusable = false; // open() failed: nothing is written to the file
    qint64 m_size = 0;       // up to the end of the last whole entry
    qint64 m_readPos = 0;    // where the next event to hand over is looked for
    quint64 m_lastId = 0;
    quint64 m_handedId = 0;
    quint64 m_ackedId = 0;
    std::deque<QByteArray> m_unwritten; // events that could not be written yet, oldest first
    // A window of the file for reading: its bytes from m_bufferAt on.
    QByteArray m_buffer;
    qint64 m_bufferAt = 0;
    QString m_reason; // the system's, of the last failure
    QString m_error;
};
