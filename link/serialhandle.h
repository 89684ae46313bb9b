#pragma once

#include "link/frame.h"

#include <QByteArray>
#include <QDateTime>
#include <QQueue>
#include <QString>
#include <QStringList>
#include <QThread>
#include <QTimer>

class SerialThread;

// The link to the instrument: opens and closes the port, owns the reader
// thread, turns the received bytes into frame payloads (codeDeal) and wraps
// outgoing payloads into frames. It lives on the thread that creates it (the
// main thread); the class derives from QThread but is never started.
//
// Received bytes are collected as they arrive and assembled 10 ms after the
// first of them; every 500 ms the link reports whether the port is open
// (updateCOMInfo). Neither timer runs more often than that, so an idle link
// costs next to nothing.
class SerialHandle : public QThread
{
    Q_OBJECT

public:
    // Delay from the arrival of bytes to their assembly, in milliseconds:
    // bytes arriving meanwhile are assembled in the same run.
    static constexpr int kFrameIntervalMs = 10;
    // Period of the updateCOMInfo report in milliseconds.
    static constexpr int kReportIntervalMs = 500;

    explicit SerialHandle(const QString &linkName, QObject *parent = nullptr);
    ~SerialHandle() override;

    QString linkName() const { return m_linkName; }
    // The current reader thread, for observers of its signals. It is
    // replaced after every error it reports.
    SerialThread *readerThread() const { return m_thread; }

    // Ports of attached instruments that are free (see portdiscovery.h).
    static QStringList findInstrumentPorts();

    // Opens `portName` with 8 data bits, no parity, one stop bit and no flow
    // control and starts the reader thread if needed. A failure is also
    // reported through the reader thread's error, which replaces the thread.
    bool openPort(const QString &portName, int baudRate);
    // The same; when the port does not open, `reason` receives the reader
    // thread's error text (what connectFailureText explains to the user).
    bool openPort(const QString &portName, int baudRate, QString *reason);
    // The port closes at the reader thread's next pass.
    void closePort();
    bool isOpen() const;
    // Sends `payload` as one frame. Returns false, sending nothing, when the
    // port is closed.
    bool sendFrame(const QByteArray &payload);

signals:
    // 1 while the port is open, 0 when not; every 500 ms.
    void updateCOMInfo(int open);
    // The payload of one received frame whose checksum matched.
    void codeDeal(const QByteArray &payload);

public slots:
    // Appends a burst from the reader thread to the receive buffer.
    void handleRead_RX(const QByteArray &bytes, const QDateTime &time);
    // Assembles frames from the receive buffer.
    void handleTimeOut_RX();
    // Replaces the reader thread after it reported a failure; the old
    // thread's port is closed with it.
    void handleErrorinfo(const QByteArray &text);
    // Writes `bytes` unframed when the port is open.
    void handleWrite_Rx(const QByteArray &bytes);

private:
    void createThread();

    QString m_linkName;
    SerialThread *m_thread = nullptr; // owned
    QTimer m_frameTimer;              // single shot, started by arriving bytes
    QTimer m_reportTimer;
    QByteArray m_rxBuffer;
    FrameAssembler m_assembler;
    // Assembled payloads not yet announced; keeps their order even when a
    // receiver of codeDeal runs a nested event loop that assembles again.
    QQueue<QByteArray> m_pending;
};
