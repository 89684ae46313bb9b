#pragma once

#include "link/frame.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>

// The computer's end of a simulator port for tests, with plain POSIX calls:
// opens the slave side raw and non-blocking, writes command frames, and
// collects what comes back, either as raw bytes or as payloads checked by a
// FrameAssembler. While waiting it keeps the caller's event loop running,
// so queued signals from the simulator arrive.
class PortClient
{
public:
    PortClient() = default;
    ~PortClient();
    PortClient(const PortClient &) = delete;
    PortClient &operator=(const PortClient &) = delete;

    bool open(const QString &path);
    void close();
    bool isOpen() const { return m_fd >= 0; }

    void sendFrame(const QByteArray &payload) { sendRaw(encodeFrame(payload)); }
    void sendRaw(const QByteArray &bytes);

    using Until = std::function<bool(const QList<QByteArray> &payloads)>;
    // Payloads received within `ms` milliseconds, or up to the moment
    // `until` first returns true for those collected so far.
    QList<QByteArray> collect(int ms, const Until &until = Until());
    // Raw bytes received within `ms`, or until `minBytes` have arrived.
    QByteArray readRaw(int ms, int minBytes = -1);
    // What arrives within `ms`, without running the event loop meanwhile.
    QByteArray readWithoutEvents(int ms) { return readSome(ms); }
    // True once the simulator has closed its side (read gives end of file
    // or EIO).
    bool hungUp() const { return m_hungUp; }

private:
    // Reads what is waiting, waiting at most `ms` for something to arrive.
    QByteArray readSome(int ms);

    int m_fd = -1;
    bool m_hungUp = false;
    FrameAssembler m_assembler;
};

// Payloads of answer type `type` among `payloads`.
QList<QByteArray> ofType(const QList<QByteArray> &payloads, quint8 type);
