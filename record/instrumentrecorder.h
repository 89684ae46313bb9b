#pragma once

#include "alarm/alarmrules.h"
#include "instrument/devkx740d.h"
#include "record/metricsformat.h"
#include "record/recorderoptions.h"
#include "store/recordingstore.h"

#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QTimer>

class AlarmMonitor;
class EventOutbox;
class InstrumentSimulator;
class MqttFeed;
class MqttPublisher;
class RecordingSession;
class SerialHandle;

// "<path>.<label><suffix>": the file of one instrument of several beside
// `path` ("survey.dat" + "oven1" + ".journal" -> "survey.dat.oven1.journal").
QString instrumentFilePath(const QString &path, const QString &label, const QString &suffix);

// One instrument of a headless recording: its link and driver, its
// recording session and the store of its journal, its alarms, its MQTT
// publisher, its CSV file, its last reading. The Recorder that owns it
// holds what the instruments share: the clock, the output data file (every
// write into it goes through the store's output writer on the Recorder's
// thread), the alarm program, the status line.
//
// With several instruments (`several`) the files it keeps beside the output
// carry its label (`<out>.<label>.journal`, `<csv>.<label>.csv`), its
// measurement is "<recording> · <label>" and its topics lie under
// `<prefix>/<label>`; alone, every name is that of a single-instrument run.
//
// Steps, driven by the Recorder: lock(), open() (settles what an earlier
// run left), connectTo() a port, then, once ready() was emitted,
// begin() the recording; tick() once a second; stop() or abandon().
class InstrumentRecorder : public QObject
{
    Q_OBJECT

public:
    enum class State
    {
        Idle,
        Connecting, // the handshake, and the interval being set
        Ready,      // answered, waiting for begin()
        Recording,
        Lost,
        Finished
    };

    InstrumentRecorder(const RecorderOptions &options, const QString &label, bool several,
                       QObject *parent = nullptr);
    ~InstrumentRecorder() override;

    QString label() const { return m_label; }
    // The label of the one instrument found at the start (alone: no file
    // carries it).
    void setLabel(const QString &label);
    QString port() const { return m_port; }
    State state() const { return m_state; }
    DevKX740D &device() { return m_device; }
    AlarmMonitor &alarms() { return *m_alarms; }
    RecordingStore &store() { return *m_store; }
    int readingCount() const;
    quint64 mqttWaiting() const;
    int eventsWaiting() const;
    InstrumentMetrics metrics() const;
    // Port (or label), state, readings, the four last values with unit,
    // active alarms, the broker's state.
    QString statusText(const QString &elapsed) const;
    // The four last values, for the status line of several instruments.
    QString valuesText() const;
    // The name of the recording an earlier run left to be gone on with;
    // empty when there is none.
    QString interruptedName() const;

    // False with the exit status and what to tell.
    bool lock(int *status, QString *message);
    bool open(int *status, QString *message);
    // With --simulate: a simulator of its own becomes the port.
    bool startSimulator(QString *message);
    bool connectTo(const QString &port, QString *message);
    // Starts (or resumes) the recording named `name`; the time comes from
    // the driver's clock. False: failed() was emitted.
    bool begin(const QString &name);
    // A resumed recording whose --duration ran out while the program was away.
    bool durationOver() const;
    void tick();
    // Ends the recording and writes it to the output. False with the exit
    // status and what to tell (already reported: the end of the journal,
    // written files).
    bool stop(int *status, QString *message);
    // A failure ends the program, not the recording: the journal is left
    // open-ended for the next start.
    void abandon(int status);
    // The lines the MQTT part adds to the status line.
    QString brokerText() const;

signals:
    // Reports for stdout and errors for stderr, without the label.
    void reported(const QString &line);
    void problem(const QString &line);
    void ready();
    // The instrument failed before recording (no answer, interval 0, MQTT
    // settings that cannot work).
    void failed(int status, const QString &message);
    // Time up, or the instrument was set to store nothing.
    void stopWanted();
    void stateChanged(InstrumentRecorder::State state);
    void alarmChanged(const Alarm &alarm, bool raised);

private:
    bool settled(const RecordingStore::Recovery &recovery, int *status, QString *message);
    void resumeOrStart(const QString &name);
    void rollOver();
    void readingDurable(quint32 seq, const _T_EE_TEST_DATA &record);
    void checkReady();
    void startPublishing();
    void brokerState(int state, const QString &text);
    void instrumentStopped();
    void linkState(int open);
    void portBack();
    void writeCsvLine(quint32 seq, const _T_EE_TEST_DATA &record);
    void fail(int status, const QString &message);
    void setState(State state);

    const RecorderOptions &m_options;
    QString m_label;
    bool m_several;
    QString m_journal;
    QString m_csvPath;
    State m_state = State::Idle;
    QString m_port;
    QDate m_period; // --split: the period the journal holds
    QElapsedTimer m_rollOverFailed;
    DevKX740D m_device;
    SerialHandle *m_link;
    RecordingStore *m_store;
    RecordingSession *m_session;
    InstrumentSimulator *m_simulator = nullptr;
    QTimer m_connectTimeout;
    bool m_configReceived = false;
    bool m_intervalSent = false;
    _T_PRINT_OUT_DATA m_lastReading;
    bool m_haveReading = false;
    AlarmMonitor *m_alarms;
    MqttPublisher *m_publisher = nullptr; // with --mqtt
    MqttFeed *m_feed = nullptr;
    EventOutbox *m_events = nullptr; // alarm events for the broker, on the disk
    bool m_brokerRefusalReported = false;
    QFile m_csv;
    bool m_csvFailureReported = false;
};
