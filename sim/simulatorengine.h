#pragma once

#include "link/frame.h"
#include "sim/instrumentmodel.h"
#include "sim/pseudoterminal.h"
#include "sim/simulatoroptions.h"

#include <QByteArray>
#include <QDateTime>
#include <QElapsedTimer>
#include <QMutex>
#include <QObject>

#include <random>

class QSocketNotifier;
class QThread;
class QTimer;

// The I/O side of the simulator: owns the pseudo-terminal, reads and checks
// command frames, hands them to the InstrumentModel, and writes the answers
// paced like a serial line, together with the live readings, download blocks
// and injected faults. Lives on one thread (the simulator's own or the
// creator's); only portPath(), snapshot() and errorString() may be called
// from others.
class SimulatorEngine : public QObject
{
    Q_OBJECT
public:
    struct Snapshot
    {
        _T_CTRL_CONFIG control;
        _T_CH_CONFIG channels;
        quint32 storedCount = 0;
        bool recording = false;
        qint64 clockOffsetMs = 0; // instrument clock minus the computer's
    };

    explicit SimulatorEngine(const SimulatorOptions &options, QObject *parent = nullptr);
    ~SimulatorEngine() override;

    // Opens the first pseudo-terminal. May run on any thread before begin().
    bool openPort();

    QString portPath() const;
    QString errorString() const;
    Snapshot snapshot() const;

public slots:
    // Starts the timers and the port watch; runs on the engine's thread.
    void begin();
    // Closes everything, deletes the thread-bound helpers and moves the
    // engine to `target` (when not null) so it can be deleted there.
    void shutdown(QThread *target);
    // Closes the port as if the cable were pulled.
    void disconnectPort();

signals:
    // Every frame whose checksum matched, payload only, known command or not.
    void commandReceived(const QByteArray &payload);
    void portClosed();
    void portOpened(const QString &path);

private:
    void attachPort();
    void detachPort();
    void updateLink(const QString &path);
    void probeClient();
    void clientLeft();
    void readCommands();
    void handlePayload(const QByteArray &payload);
    void liveTick();
    void statusTick();
    void reopenPort();

    bool chance(double rate);
    void enqueue(const QByteArray &payload);
    qsizetype pending() const { return m_out.size() - m_outPos; }
    void pumpDownload();
    void flushOutput();
    double secondsSinceStart() const;
    void publishState();

    SimulatorOptions m_options;
    QDateTime m_start;
    QElapsedTimer m_clock;
    InstrumentModel m_model;
    PseudoTerminal m_pty;
    FrameAssembler m_assembler;
    std::mt19937 m_rng;

    QSocketNotifier *m_readNotifier = nullptr;
    QSocketNotifier *m_writeNotifier = nullptr;
    QTimer *m_probeTimer = nullptr;
    QTimer *m_paceTimer = nullptr;
    QTimer *m_liveTimer = nullptr;
    QTimer *m_statusTimer = nullptr;
    QTimer *m_eraseTimer = nullptr;
    QTimer *m_disconnectTimer = nullptr;
    QTimer *m_reopenTimer = nullptr;

    bool m_client = false;
    // Bytes waiting for the line; m_outPos is the first one not yet written.
    // Only whole frames are appended, so a frame is never cut by another.
    QByteArray m_out;
    qsizetype m_outPos = 0;
    double m_credit = 0; // bytes the paced line may send now
    qint64 m_creditNs = 0;

    struct Download
    {
        bool active = false;
        quint16 first = 0;
        quint16 count = 0;
        quint16 sent = 0;
    } m_download;

    mutable QMutex m_mutex; // guards the three below
    QString m_path;
    QString m_error;
    Snapshot m_snapshot;
};
