#pragma once

#include "alarm/alarmrules.h"
#include "instrument/devkx740d.h"
#include "record/instrumentrecorder.h"
#include "record/metricsformat.h"
#include "record/recorderoptions.h"
#include "record/servicenotifier.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <QVector>

#include <memory>

class AlarmMonitor;
class AlarmProgramRunner;
class InstrumentRecorder;
class PortWatcher;
class QTextStream;
class RecordingLock;

// What a program run for an alarm (--on-alarm) finds besides the variables
// of alarmProgramEnvironment(): the label of the instrument.
constexpr char kAlarmLabelVariable[] = "KX740D_INSTRUMENT_LABEL";

// The journal kept beside `out` while recording (one instrument).
QString journalPathFor(const QString &out);

// Whether `out` can take a measurement: its folder exists and is writable,
// and an existing file is a data file (checked by its structure, without
// reading its records). Otherwise false and `why`.
bool checkOutputFile(const QString &out, QString *why);

// One headless recording from connection to the written measurements, of
// one instrument or several (an InstrumentRecorder each). start() checks
// and locks the output, finishes a recording a stopped run left in each
// journal, connects and identifies every instrument as the window does,
// sets the interval and, once all have answered, records on all of them
// under one name until stop(), the end of the duration or a failure;
// finished() then carries the exit status. A run that was killed is
// resumed: the same recording goes on. A lost port is reopened by its
// instrument's session and its recording goes on in the same measurement;
// the others go on meanwhile. Readings live in the journals, not in
// memory; the output is written from them, one instrument after the other.
//
// One clock for all: every driver reads the time of this object's tick,
// which runs once a second just after the second begins, and all of them
// see the new second in the same tick (their own ticks are off), so the
// readings of one interval carry the same time on every instrument.
class Recorder : public QObject
{
    Q_OBJECT

public:
    enum class State
    {
        Idle,
        Connecting,
        Recording,
        Lost, // the only instrument's link is lost
        Finished
    };
    using Clock = DevKX740D::Clock;

    // Reports go to `out`, errors to `err`; both must outlive the recorder.
    Recorder(const RecorderOptions &options, QTextStream &out, QTextStream &err,
             QObject *parent = nullptr);
    ~Recorder() override;

    State state() const { return m_state; }
    int exitStatus() const { return m_exitStatus; }
    // The instruments, in the order of the command line; those plugged in
    // later (--all) follow.
    int instrumentCount() const { return m_instruments.size(); }
    InstrumentRecorder &instrument(int i) { return *m_instruments.at(i); }
    QString port() const;
    // Readings stored, of all instruments.
    int readingCount() const;
    // Recorded readings the broker has not acknowledged yet (0 without MQTT).
    quint64 mqttWaiting() const;
    // The status line: of one instrument its port, readings stored, time
    // recording, the four last values with unit; of several their labels
    // and values.
    QString statusText() const;
    // The first instrument's driver, for benchmarks that drive it on a clock
    // of their own.
    DevKX740D &device();
    // The alarms on the first instrument's live readings and link.
    AlarmMonitor &alarms();
    // What a scrape of the metrics shows now, one snapshot per instrument;
    // the live readings only while recording, so a lost instrument shows no
    // stale temperatures.
    QVector<InstrumentMetrics> metrics() const;
    // The clock of every driver (the system's by default); benchmarks drive
    // it and call tick() themselves.
    void setClock(Clock clock);

public slots:
    void start();
    // Ends the recording and writes it; before recording, just ends.
    void stop();
    // Reads the clock; a new second reaches every driver at once.
    void tick();

signals:
    void stateChanged(Recorder::State state);
    void finished(int exitStatus);

private:
    struct Planned
    {
        QString port; // empty: the one found at the start, or a simulator's
        bool simulated = false;
    };
    InstrumentRecorder *addInstrument(const QString &label, const QString &port,
                                      bool simulated = false);
    bool portInUse(const QString &port) const;
    bool choosePort(QString *port);
    void portsChanged(const QStringList &ports);
    void dropInstrument(InstrumentRecorder *instrument);
    void instrumentReady(InstrumentRecorder *instrument);
    void instrumentFailed(InstrumentRecorder *instrument, int status, const QString &message);
    void beginRecording();
    qint64 mqttWaitingOrNone() const;
    QDateTime driverTime() const;
    void instrumentState();
    void secondTick();
    void alarmChanged(InstrumentRecorder *instrument, const Alarm &alarm, bool raised);
    void fail(int status, const QString &message);
    void breakStatusLine();
    void finish(int status);
    void setState(State state);
    void report(const QString &line);
    void problem(const QString &line);
    // The line of one instrument of several starts with its label.
    QString tagged(const InstrumentRecorder *instrument, const QString &line) const;
    void showStatus();

    RecorderOptions m_options;
    QTextStream &m_out;
    QTextStream &m_err;
    State m_state = State::Idle;
    int m_exitStatus = ExitDone;
    bool m_several = false;
    QVector<InstrumentRecorder *> m_instruments;
    QVector<Planned> m_planned;                  // of each instrument
    std::unique_ptr<RecordingLock> m_outputLock; // several instruments: the output's own
    PortWatcher *m_portWatcher = nullptr;        // --all
    QString m_recordingName;
    Clock m_clock;
    QDateTime m_now; // what every driver reads: the time of the last tick
    QTimer m_tickTimer;
    bool m_ticking = false;
    quint64 m_seconds = 0; // seconds counted by the tick, as the drivers count them
    int m_lastSecond = 0;
    QTimer m_secondTimer;
    QElapsedTimer m_elapsed;
    qint64 m_lastLineMs = 0;
    bool m_statusShown = false;
    AlarmProgramRunner *m_alarmProgram = nullptr; // with --on-alarm
    ServiceNotifier m_service;                    // systemd: ready, watchdog, status, stopping
};
