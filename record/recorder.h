#pragma once

#include "alarm/alarmrules.h"
#include "instrument/devkx740d.h"
#include "record/metricsformat.h"
#include "record/recorderoptions.h"
#include "record/servicenotifier.h"
#include "store/data_list_t.h"
#include "store/recordingstore.h"

#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QPointer>
#include <QTimer>

class AlarmMonitor;
class AlarmProgramRunner;
class EventOutbox;
class InstrumentSimulator;
class MqttFeed;
class MqttPublisher;
class QTextStream;
class RecordingSession;
class RecordingStore;
class SerialHandle;

// The journal kept beside `out` while recording.
QString journalPathFor(const QString &out);

// Whether `out` can take a measurement: its folder exists and is writable,
// and an existing file is a data file (checked by its structure, without
// reading its records). Otherwise false and `why`.
bool checkOutputFile(const QString &out, QString *why);

// One headless recording from connection to the written measurement. start()
// checks and locks the output, finishes a recording a stopped run left in
// the journal, connects and identifies the instrument as the window does,
// sets the interval and records until stop(), the end of the duration or a
// failure; finished() then carries the exit status. A run that was killed
// is resumed: the same recording goes on. A lost port is reopened by the
// session and the recording goes on in the same measurement. Readings live
// in the journal, not in memory; the output is written from it.
class Recorder : public QObject
{
    Q_OBJECT

public:
    enum class State
    {
        Idle,
        Connecting,
        Recording,
        Lost,
        Finished
    };

    // Reports go to `out`, errors to `err`; both must outlive the recorder.
    Recorder(const RecorderOptions &options, QTextStream &out, QTextStream &err,
             QObject *parent = nullptr);
    ~Recorder() override;

    State state() const { return m_state; }
    int exitStatus() const { return m_exitStatus; }
    QString port() const { return m_port; }
    int readingCount() const;
    // Recorded readings the broker has not acknowledged yet (0 without MQTT).
    quint64 mqttWaiting() const;
    // Port, readings stored, time recording, the four last values with unit.
    QString statusText() const;
    // The driver, for benchmarks that drive it on a clock of their own.
    DevKX740D &device() { return m_device; }
    // The alarms on the live readings and the link.
    AlarmMonitor &alarms() { return *m_alarms; }
    // What a scrape of the metrics shows now; the live readings only while
    // recording, so a lost instrument shows no stale temperatures.
    InstrumentMetrics metrics() const;

public slots:
    void start();
    // Ends the recording and writes it; before recording, just ends.
    void stop();

signals:
    void stateChanged(Recorder::State state);
    void finished(int exitStatus);

private:
    bool recoverJournal();
    bool settled(const RecordingStore::Recovery &recovery);
    void resumeOrStart();
    void rollOver();
    void readingDurable(quint32 seq, const _T_EE_TEST_DATA &record);
    bool choosePort();
    bool openPort();
    void checkReady();
    void beginRecording();
    void secondTick();
    void writeCsvLine(quint32 seq, const _T_EE_TEST_DATA &record);
    void startPublishing();
    void brokerState(int state, const QString &text);
    void instrumentStopped();
    void linkState(int open);
    void portBack();
    void fail(int status, const QString &message);
    void breakStatusLine();
    void finish(int status);
    void setState(State state);
    void report(const QString &line);
    void showStatus();
    void alarmChanged(const Alarm &alarm, bool raised);

    RecorderOptions m_options;
    QTextStream &m_out;
    QTextStream &m_err;
    State m_state = State::Idle;
    int m_exitStatus = ExitDone;
    QString m_port;
    QString m_label; // in the metrics
    QDate m_period;  // --split: the period the journal holds
    QElapsedTimer m_rollOverFailed;
    DevKX740D m_device;
    SerialHandle *m_link;
    RecordingStore *m_store;
    RecordingSession *m_session;
    InstrumentSimulator *m_simulator = nullptr;
    QTimer m_connectTimeout;
    QTimer m_secondTimer;
    QElapsedTimer m_elapsed;
    qint64 m_lastLineMs = 0;
    bool m_configReceived = false;
    bool m_intervalSent = false;
    bool m_statusShown = false;
    _T_PRINT_OUT_DATA m_lastReading;
    bool m_haveReading = false;
    AlarmMonitor *m_alarms;
    AlarmProgramRunner *m_alarmProgram = nullptr; // with --on-alarm
    MqttPublisher *m_publisher = nullptr;         // with --mqtt
    MqttFeed *m_feed = nullptr;
    EventOutbox *m_events = nullptr; // alarm events for the broker, on the disk
    bool m_brokerRefusalReported = false;
    QFile m_csv;
    bool m_csvFailureReported = false;
    ServiceNotifier m_service; // systemd: ready, watchdog, status, stopping
};
