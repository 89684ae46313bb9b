#pragma once

#include "instrument/records.h"
#include "sim/simulatoroptions.h"

#include <QDateTime>
#include <QObject>
#include <QString>

class QThread;
class SimulatorEngine;

// A simulated KX740D on a pseudo-terminal. Typical use:
//
//   auto *sim = new InstrumentSimulator(options, parent);
//   if (sim->start())
//       port = sim->portPath(); // open it like any serial port
//
// By default the simulator works on a thread of its own, so it never blocks
// the creating thread; with SimulatorOptions::ownThread false it runs in the
// creating thread's event loop instead. The port behaves like the
// instrument's USB-serial link: every command is answered as the instrument
// would, live readings flow while a client has the port open, and bytes leave
// at 115200 baud unless the options say otherwise. See InstrumentModel for
// the instrument's behaviour.
class InstrumentSimulator : public QObject
{
    Q_OBJECT
public:
    explicit InstrumentSimulator(const SimulatorOptions &options = SimulatorOptions(),
                                 QObject *parent = nullptr);
    ~InstrumentSimulator() override;

    // Opens the port and starts the instrument. False when the port cannot
    // be opened (errorString() says why). Starting a running simulator does
    // nothing and returns true.
    bool start();
    // Closes the port and stops; start() may be called again (a new port).
    void stop();
    bool isRunning() const { return m_engine != nullptr; }

    // Path of the slave side to open, e.g. "/dev/pts/3"; empty while the
    // port is closed. Changes when the port is opened again.
    QString portPath() const;
    QString errorString() const { return m_error; }
    const SimulatorOptions &options() const { return m_options; }

    // The instrument's state as its last command left it.
    _T_CTRL_CONFIG controlConfig() const;
    _T_CH_CONFIG channelConfig() const;
    quint32 storedRecordCount() const;
    bool recordingFlag() const;
    // The instrument's clock now (set by command 0x31).
    QDateTime instrumentClock() const;

public slots:
    // Closes the port at once, as if the cable were pulled; with
    // reopenAfterMs set a new port follows. Returns when the port is closed.
    void disconnectPort();

signals:
    // Every frame the instrument received with a matching checksum (payload
    // only). Emitted on this object's thread.
    void commandReceived(const QByteArray &payload);
    void portClosed();
    void portOpened(const QString &path);

private:
    SimulatorOptions m_options;
    SimulatorEngine *m_engine = nullptr;
    QThread *m_thread = nullptr;
    QString m_error;
};
