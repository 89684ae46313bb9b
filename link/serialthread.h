#pragma once

#include "link/portsettings.h"

#include <QByteArray>
#include <QDateTime>
#include <QMutex>
#include <QThread>

#include <atomic>
#include <memory>

namespace serial {
class Serial;
}

// Owns the serial port and polls it for received bytes on its own thread.
// Bytes are collected into bursts: once bytes are waiting, the thread polls
// until the waiting count has stayed the same for a while (or the input queue
// is full), reads them all and emits the burst. Opening happens on the
// caller's thread, writing through writeBytes on the caller's thread too;
// every other port access (poll, read, close) happens on this thread.
class SerialThread : public QThread
{
    Q_OBJECT

public:
    // Pause between polls while a burst is arriving.
    static constexpr unsigned long kPollIntervalUs = 500;
    // Pause between passes of the reader loop.
    static constexpr unsigned long kIdlePauseUs = 50;
    // Longest wait for input while nothing is waiting (milliseconds), when
    // the loop cannot be woken (no eventfd) and must look at its flags.
    static constexpr uint32_t kIdleWaitMs = 10;
    // The same while opening, closing and stopping wake the loop: a machine
    // that records for days sleeps between readings instead of waking the
    // thread a hundred times a second.
    static constexpr uint32_t kWakeableWaitMs = 1000;
    // Polls without change that end a burst.
    static constexpr int kStablePolls = 20;
    // A waiting count this large is read without waiting for it to settle.
    // A terminal's input queue holds at most 4095 bytes here, so this is a
    // full queue: nothing more can arrive until it is read.
    static constexpr size_t kEarlyReadThreshold = 4095;

    explicit SerialThread(QObject *parent = nullptr);
    // Stops the loop, waits for it to end and closes the port.
    ~SerialThread() override;

    // Applies `settings` to the port and opens it. On failure emits error
    // with the reason and returns false.
    bool openPort(const PortSettings &settings);
    // Asks the reader loop to close the port at its next pass.
    void requestClose();
    bool isOpen() const;
    // Writes `bytes` to the port; returns the count written, or 0 after
    // emitting error when the write fails.
    qint64 writeBytes(const QByteArray &bytes);

signals:
    // One burst of received bytes and the time of its last poll.
    void response(const QByteArray &s, const QDateTime &time_raw);
    // A failure text, UTF-8 encoded.
    void error(const QByteArray &s);

protected:
    void run() override;

private:
    // Waiting byte count; a failing poll asks for the port to be closed and
    // returns false.
    bool poll(size_t &count);
    // Ends the loop's idle wait at once.
    void wake();

    std::unique_ptr<serial::Serial> m_serial;
    QMutex m_mutex; // taken by writers of the two flags
    std::atomic<bool> m_quit{false};
    std::atomic<bool> m_closeRequest{false};
    int m_wakeFd = -1; // eventfd; -1 when none could be made
};
