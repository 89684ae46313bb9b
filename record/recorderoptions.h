#pragma once

#include "alarm/alarmrules.h"
#include "instrument/temperature.h"
#include "link/portdiscovery.h"
#include "mqtt/mqttsettings.h"
#include "store/recordingoutput.h"

#include <QCoreApplication>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

// Exit statuses of kx740d-record.
enum RecorderExit
{
    ExitDone = 0,
    ExitFailure = 1,      // anything not listed below, among it what may pass by itself:
                          // a full disk, another recorder on the same output,
                          // a --metrics port another program holds
    ExitUsage = 2,        // command line; several instruments and neither --port nor --all;
                          // interval 0
    ExitPortFailure = 3,  // no instrument found, or the port does not open
    ExitOutputFailure = 4 // output (or CSV) cannot be written, or is not a data file;
                          // the measurement could not be written at the end
};

// How the recorder reports while it runs.
enum class StatusMode
{
    Terminal, // one line, rewritten in place every second
    Lines,    // a line per minute and per change of state
    Quiet     // errors only
};

// One instrument given with --port [LABEL=]DEV.
struct InstrumentPort
{
    QString label; // empty: where it is plugged in (instrumentLabel)
    QString port;
};

struct RecorderOptions
{
    // --port, in the order given. None: the one instrument found, with
    // --all every one found, with --simulate the simulators only.
    QVector<InstrumentPort> ports;
    bool allPorts = false;       // --all: also those plugged in while recording
    QString out;                 // the data file the measurements are appended to
    quint32 intervalSeconds = 0; // 0: the instrument's own
    int durationSeconds = 0;     // 0: until stopped
    QString name;                // empty: the start time
    int unit = UnitCelsius;
    QString csv; // empty: none
    SplitMode split = SplitMode::None;
    int simulate = 0; // simulators started in the program, recorded like instruments
    StatusMode status = StatusMode::Lines;
    int statusWidth = 79; // Terminal: the status line is cut to this many characters
    MqttSettings mqtt;    // enabled by --mqtt
    AlarmSettings alarms; // limits in degrees Celsius, of every instrument
    // --high LABEL:T1=…: the alarms of the instrument of that label (those
    // of every instrument with the label's limits put over them).
    QMap<QString, AlarmSettings> instrumentAlarms;
    QString alarmProgram; // --on-alarm: run for each alarm raised and cleared
    // --metrics: where the metrics are served over HTTP; port 0: not served.
    QString metricsAddress = QStringLiteral("127.0.0.1");
    quint16 metricsPort = 0;
};

// The alarms of the instrument labelled `label`.
AlarmSettings alarmsOf(const RecorderOptions &options, const QString &label);

// The label that tells a recorded instrument apart (metrics, topics, file
// and measurement names): `given` with --port LABEL=DEV, else the name of
// the link in /dev/serial/by-path to `port` (where it is plugged in), else
// the port's file name ("ttyUSB0"). Simulators are "sim", or "sim1" ...
// "simN" when there are several.
QString instrumentLabel(const QString &given, const QString &port,
                        const QString &byPathFolder = QLatin1String(kSerialByPathFolder));

// The environment variable the broker password may come from.
constexpr char kMqttPasswordVariable[] = "KX740D_MQTT_PASSWORD";
// Set by systemd for a service with LoadCredential=: the folder of its
// credentials, which only the service's user can read.
constexpr char kCredentialsDirectoryVariable[] = "CREDENTIALS_DIRECTORY";
// The credentials taken from there when no option names the file: the broker
// password (its first line) and the TLS client key.
constexpr char kMqttPasswordCredential[] = "mqtt-password";
constexpr char kMqttKeyCredential[] = "mqtt-key";

// The broker password kept in `path`: its first line. Refused (false and
// `why`) when anyone but the file's owner may read it (group or others: it
// must be mode 600 or 400), or it cannot be read.
bool readPasswordFile(const QString &path, QString *password, QString *why);

// "90", "90s", "5m", "1h", "1h30m": seconds; -1 when not such a text.
int parseSeconds(const QString &text);

// The command line of kx740d-record; `args` starts with the program name.
// Error: `message` says what is wrong. Help/Version: `message` is the text to
// print. ListPorts: the ports are to be printed, nothing recorded.
class RecorderCommandLine
{
    Q_DECLARE_TR_FUNCTIONS(RecorderCommandLine)
public:
    enum Result
    {
        Ok,
        Error,
        Help,
        Version,
        ListPorts
    };
    static Result parse(const QStringList &args, RecorderOptions *options, QString *message);
};
