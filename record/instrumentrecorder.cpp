#include "record/instrumentrecorder.h"

#include "alarm/alarmmonitor.h"
#include "alarm/alarmtext.h"
#include "link/serialhandle.h"
#include "measurement/connectfailure.h"
#include "measurement/recordingsession.h"
#include "mqtt/mqttfeed.h"
#include "mqtt/mqttpublisher.h"
#include "record/recorder.h"
#include "sim/instrumentsimulator.h"
#include "store/atomicfile.h"
#include "store/csvtext.h"
#include "store/datafile.h"
#include "store/eventoutbox.h"
#include "store/measurementgroups.h"
#include "store/recordinglock.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

namespace {
constexpr int kInstrumentBaudRate = 115200;
// The handshake's answers (and that of a new interval) take well under a
// second on a working line.
constexpr int kConnectTimeoutMs = 5000;
// The longest wait at the end for the broker to take the readings still queued.
constexpr int kBrokerDrainMs = 3000;
constexpr qint64 kRollOverRetryMs = 60000;
// How long a stop keeps trying a disk that refuses the last readings before
// they are put elsewhere.
constexpr int kStopDiskRetryMs = 3000;
// An alarm event of one instrument of several names it: "instrument" is
// its label.
QByteArray labelledEvent(const QByteArray &event, const QString &label)
{
    QJsonObject o = QJsonDocument::fromJson(event).object();
    o.insert(QStringLiteral("instrument"), label);
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}
} // namespace

QString instrumentFilePath(const QString &path, const QString &label, const QString &suffix)
{
    return path + QLatin1Char('.') + label + suffix;
}

InstrumentRecorder::InstrumentRecorder(const RecorderOptions &options, const QString &label,
                                       bool several, QObject *parent)
    : QObject(parent), m_options(options), m_label(label), m_several(several),
      m_journal(several ? instrumentFilePath(options.out, label, QStringLiteral(".journal"))
                        : journalPathFor(options.out)),
      m_csvPath(options.csv.isEmpty() || !several
                    ? options.csv
                    : instrumentFilePath(
                          QFileInfo(options.csv)
                                      .suffix()
                                      .compare(QLatin1String("csv"), Qt::CaseInsensitive) == 0
                              ? options.csv.left(options.csv.size() - 4)
                              : options.csv,
                          label, QStringLiteral(".csv"))),
      m_link(new SerialHandle(QStringLiteral("kx740d-record"), this)),
      m_store(new RecordingStore(
          m_journal, several ? instrumentFilePath(options.out, label, QString()) : options.out,
          this)),
      m_session(new RecordingSession(m_device, *m_link, this)), m_alarms(new AlarmMonitor(this))
{
    connect(m_link, &SerialHandle::codeDeal, &m_device, &DevKX740D::codeDeal);
    connect(m_link, &SerialHandle::updateCOMInfo, this, &InstrumentRecorder::linkState);
    connect(&m_device, &DevKX740D::deviceInfo, this, &InstrumentRecorder::checkReady);
    connect(&m_device, &DevKX740D::ctrl_setting, this, [this] {
        m_configReceived = true;
        checkReady();
    });
    connect(&m_device, &DevKX740D::live_data, this, [this](_T_PRINT_OUT_DATA reading) {
        m_lastReading = reading;
        m_haveReading = true;
        m_alarms->addReading(reading);
    });
    m_alarms->setSettings(alarmsOf(m_options, m_label));
    connect(m_alarms, &AlarmMonitor::raised, this,
            [this](const Alarm &alarm) { emit alarmChanged(alarm, true); });
    connect(m_alarms, &AlarmMonitor::cleared, this,
            [this](const Alarm &alarm) { emit alarmChanged(alarm, false); });
    // Readings are on the disk in the journal; none is kept in memory.
    m_session->setKeepReadings(false);
    m_session->setStore(m_store);
    // The one writer of the output: the Recorder's thread, one store at a
    // time; each instrument's measurement replaces only itself.
    const QString measurementLabel = several ? label : QString();
    m_store->setOutputWriter([this, measurementLabel](const QString &journal, const QDate &before) {
        return writeJournalToOutput(journal, m_options.out, m_options.split, before,
                                    measurementLabel);
    });
    // A reading goes to the CSV file and the broker once it is on the disk:
    // its number then never names another reading.
    connect(m_store, &RecordingStore::durable, this, &InstrumentRecorder::readingDurable);
    connect(m_session, &RecordingSession::portReopened, this, &InstrumentRecorder::portBack);
    connect(m_session, &RecordingSession::timeUp, this, &InstrumentRecorder::stopWanted);
    connect(m_session, &RecordingSession::instrumentStopped, this,
            &InstrumentRecorder::instrumentStopped);
    connect(m_store, &RecordingStore::journalFailed, this,
            [this](const QString &file, const QString &reason) {
                emit problem(Recorder::tr("无法写入日志文件 %1：%2；读数暂存在内存中，稍后重试。")
                                 .arg(file, reason));
            });
    connect(m_store, &RecordingStore::journalRecovered, this, [this](const QString &file) {
        emit reported(Recorder::tr("日志文件 %1 又可以写入了；暂存的读数已写入。").arg(file));
    });
    m_connectTimeout.setSingleShot(true);
    m_connectTimeout.setInterval(kConnectTimeoutMs);
    connect(&m_connectTimeout, &QTimer::timeout, this,
            [this] { fail(ExitFailure, Recorder::tr("端口 %1 上的仪器没有应答。").arg(m_port)); });
    if (m_options.mqtt.enabled) {
        m_publisher = new MqttPublisher(this);
        // Live readings straight from the driver; recorded ones from the
        // journal, so what the broker has not taken survives the program.
        m_feed = new MqttFeed(m_device, *m_publisher, this);
        m_feed->setUnit(m_options.unit);
        m_feed->watchAlarms(*m_alarms, [this](const QByteArray &event) {
            if (!m_events->add(m_several ? labelledEvent(event, m_label) : event))
                emit problem(m_events->errorString());
        });
        m_store->setDelivery(
            [this](const QString &id, quint32 seq, const _T_EE_TEST_DATA &record) {
                m_publisher->publishRecorded(id, seq, record, m_options.unit);
            },
            [this] { return m_publisher->pendingCount(); });
        connect(m_publisher, &MqttPublisher::acknowledged, m_store, &RecordingStore::acknowledged,
                Qt::QueuedConnection);
        m_events = new EventOutbox(
            several ? instrumentFilePath(m_options.out, label, QStringLiteral(".events"))
                    : m_options.out + QStringLiteral(".events"),
            [this](quint64 id, const QByteArray &event) {
                m_publisher->publishAlarmEvent(id, event);
            },
            this);
        connect(m_publisher, &MqttPublisher::alarmEventAcknowledged, m_events,
                &EventOutbox::acknowledged);
        connect(m_publisher, &MqttPublisher::stateChanged, this,
                [this](MqttPublisher::State state, const QString &text) {
                    brokerState(int(state), text);
                });
    }
}

InstrumentRecorder::~InstrumentRecorder()
{
    m_link->closePort();
    m_device.setLink(nullptr);
}

void InstrumentRecorder::setLabel(const QString &label)
{
    m_label = label;
    m_alarms->setSettings(alarmsOf(m_options, m_label));
}

int InstrumentRecorder::readingCount() const
{
    return int(m_session->lastSeq());
}

quint64 InstrumentRecorder::mqttWaiting() const
{
    return m_publisher ? m_store->waitingCount() : 0;
}

int InstrumentRecorder::eventsWaiting() const
{
    return m_events ? int(m_events->waitingCount()) : 0;
}

InstrumentMetrics InstrumentRecorder::metrics() const
{
    InstrumentMetrics m;
    m.instrument = m_label;
    m.linkUp = m_state == State::Recording;
    for (int ch = 0; ch < kChannelCount && m.linkUp && m_haveReading; ++ch)
        if (statusState(m_lastReading.status[ch]) == StateValue)
            m.celsius[size_t(ch)] = m_lastReading.value[ch];
    m.readingsStored = m_store->durableSeq();
    m.readingsWaiting = mqttWaiting();
    m.journalBytes = QFileInfo(m_store->journalFile()).size();
    for (const Alarm &a : m_alarms->activeAlarms())
        m.alarms.append({alarmChannelToken(a.channel), alarmKindToken(a.kind)});
    return m;
}

QString InstrumentRecorder::interruptedName() const
{
    return m_store->found().interrupted ? m_store->found().header.name : QString();
}

bool InstrumentRecorder::lock(int *status, QString *message)
{
    QString holder;
    if (m_store->lock(&holder))
        return true;
    const QString what = m_several ? m_store->journalFile() : m_options.out;
    if (!holder.isEmpty()) {
        *status = ExitFailure;
        *message = Recorder::tr("%1 正在被另一个记录程序写入（%2）。").arg(what, holder);
        return false;
    }
    const RecordingLock *lock = m_store->recordingLock();
    *status = isPassingWriteError(lock->errorCode()) ? ExitFailure : ExitOutputFailure;
    *message = Recorder::tr("无法锁定 %1 的记录：%2").arg(what, lock->errorString());
    return false;
}

// The CSV file, the alarm events, and what an earlier run left: a stopped
// recording (also one whose last readings were put elsewhere by a full
// disk) is written out and kept until the broker has it; one that was
// killed is gone on with once the instrument answers, if it is the same
// instrument.
bool InstrumentRecorder::open(int *status, QString *message)
{
    if (!m_csvPath.isEmpty()) {
        m_csv.setFileName(m_csvPath);
        if (!m_csv.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
            *status = ExitOutputFailure;
            *message = Recorder::tr("无法写入 CSV 文件 %1：%2").arg(m_csvPath, m_csv.errorString());
            return false;
        }
    }
    if (m_events && !m_events->open())
        emit problem(m_events->errorString());
    const RecordingStore::Recovery found = m_store->open(QString());
    if (found.notAJournal) {
        *status = ExitOutputFailure;
        *message =
            Recorder::tr("%1 不是日志文件；请将其移走后再开始。").arg(m_store->journalFile());
        return false;
    }
    if (!settled(found, status, message))
        return false;
    if (found.interrupted)
        emit reported(Recorder::tr("继续被中断的记录“%1”（%2 个读数）。")
                          .arg(found.header.name)
                          .arg(found.lastSeq));
    return true;
}

bool InstrumentRecorder::settled(const RecordingStore::Recovery &recovery, int *status,
                                 QString *message)
{
    for (const QString &note : recovery.notes)
        emit problem(note);
    for (const auto &file : recovery.written)
        emit reported(Recorder::tr("已写入 %1：%2 个读数。").arg(file.first).arg(file.second));
    if (recovery.ok)
        return true;
    *status = isPassingWriteError(recovery.errorCode) || recovery.errorCode == 0
                  ? ExitFailure
                  : ExitOutputFailure;
    *message = Recorder::tr("无法写入 %1：%2。读数保留在日志 %3 中。")
                   .arg(m_options.out, recovery.error, m_store->journalFile());
    return false;
}

bool InstrumentRecorder::startSimulator(QString *message)
{
    SimulatorOptions options;
    options.storedRecords = 0;
    m_simulator = new InstrumentSimulator(options, this);
    if (!m_simulator->start()) {
        *message = Recorder::tr("无法启动仪器模拟器：%1").arg(m_simulator->errorString());
        return false;
    }
    m_port = m_simulator->portPath();
    return true;
}

bool InstrumentRecorder::connectTo(const QString &port, QString *message)
{
    m_port = port;
    QString linkError;
    if (!m_link->openPort(m_port, kInstrumentBaudRate, &linkError)) {
        *message = connectFailureText(m_port, linkError);
        return false;
    }
    setState(State::Connecting);
    m_connectTimeout.start();
    m_device.setLink(m_link);
    return true;
}

void InstrumentRecorder::checkReady()
{
    if (m_state != State::Connecting || !m_device.isIdentified() || !m_configReceived)
        return;
    if (m_options.intervalSeconds != 0 && m_device.interval() != m_options.intervalSeconds) {
        // The instrument answers a setting with its control configuration.
        if (!m_intervalSent) {
            m_intervalSent = true;
            m_device.setInterval(m_options.intervalSeconds);
        }
        return;
    }
    if (m_device.interval() == 0)
        return fail(ExitUsage,
                    Recorder::tr("仪器的存储间隔为0秒，不会存储任何数据。请用 --interval "
                                 "设置存储间隔。"));
    m_connectTimeout.stop();
    setState(State::Ready);
    emit ready();
}

bool InstrumentRecorder::begin(const QString &name)
{
    m_session->setPort(m_port);
    if (m_publisher)
        startPublishing();
    if (m_state == State::Finished)
        return false;
    resumeOrStart(name);
    if (m_state == State::Finished)
        return false;
    m_alarms->setWatching(true);
    setState(State::Recording);
    emit reported(Recorder::tr("开始记录：端口 %1，仪器 %2，间隔 %3 秒，测量“%4”，写入 %5")
                      .arg(m_port, m_device.deviceName())
                      .arg(m_device.interval())
                      .arg(m_several ? instrumentMeasurementName(m_session->name(), m_label)
                                     : m_session->name(),
                           m_options.out));
    return true;
}

bool InstrumentRecorder::durationOver() const
{
    return m_options.durationSeconds > 0 &&
           m_session->startTime().secsTo(m_device.now()) >= m_options.durationSeconds;
}

// A killed run's recording goes on where its journal ends; the time it
// was away counts towards --duration. A journal left by another instrument
// becomes a measurement of its own and a new recording begins.
void InstrumentRecorder::resumeOrStart(const QString &name)
{
    int duration = m_options.durationSeconds;
    bool resumed = false;
    if (m_store->found().interrupted) {
        if (sameInstrument(m_store->found().header.instrument, m_session->instrumentIdentity())) {
            if (!m_session->resume())
                return fail(ExitFailure,
                            Recorder::tr("无法写入日志文件 %1。").arg(m_store->journalFile()));
            resumed = true;
        } else {
            emit reported(
                Recorder::tr(
                    "日志中的记录“%1”来自另一台仪器；它作为单独的测量写入，新的记录重新开始。")
                    .arg(m_store->found().header.name));
            int status = ExitDone;
            QString message;
            if (!settled(m_store->closeFound(), &status, &message))
                return fail(status, message);
        }
    }
    if (resumed) {
        if (duration > 0)
            duration =
                int(qMax<qint64>(1, duration - m_session->startTime().secsTo(m_device.now())));
    } else {
        m_session->start(name);
    }
    m_session->setContinuousTime(duration > 0, duration);
    m_period = periodStart(m_device.now().date(), m_options.split);
    if (m_options.split != SplitMode::None)
        rollOver();
}

// --split: the periods that ended go to their files, and the journal keeps
// only the current one. A file that cannot be written now is tried again
// at the next check; the journal keeps its readings meanwhile.
void InstrumentRecorder::rollOver()
{
    const QDate today = m_device.now().date();
    const OutputResult result = m_store->rollOver(today);
    for (const auto &file : result.written)
        emit reported(Recorder::tr("已写入 %1：%2 个读数。").arg(file.first).arg(file.second));
    if (!result.ok) {
        emit problem(Recorder::tr("无法写入 %1：%2。读数保留在日志 %3 中，稍后重试。")
                         .arg(result.failedFile.isEmpty() ? m_options.out : result.failedFile,
                              result.error, m_store->journalFile()));
        m_rollOverFailed.start();
        return;
    }
    m_rollOverFailed.invalidate();
    m_period = periodStart(today, m_options.split);
}

void InstrumentRecorder::tick()
{
    if (m_state != State::Recording && m_state != State::Lost)
        return;
    m_session->tick();
    // A period file that could not be written is tried again once a minute.
    if (m_options.split != SplitMode::None &&
        periodStart(m_device.now().date(), m_options.split) != m_period &&
        (!m_rollOverFailed.isValid() || m_rollOverFailed.elapsed() >= kRollOverRetryMs))
        rollOver();
}

// Only once the instrument has told its name, which the topics carry. A
// broker that cannot be reached or refuses us does not stop the recording;
// settings that cannot work at all (a CA file that is missing) end the run
// before it records. Of several instruments each has its topics under
// `<prefix>/<label>`, and its own client id.
void InstrumentRecorder::startPublishing()
{
    MqttSettings settings = m_options.mqtt;
    QString name = m_device.deviceName();
    if (m_several) {
        settings.prefix = effectiveTopicPrefix(settings.prefix, name) + QLatin1Char('/') + m_label;
        settings.instance += QLatin1Char('.') + m_label;
        name += QLatin1Char(' ') + m_label;
    }
    QString error;
    if (!m_publisher->start(settings, name, &error))
        return fail(ExitUsage, error);
    emit reported(
        Recorder::tr("发布到 %1，主题 %2/…").arg(m_options.mqtt.url, m_publisher->topicPrefix()));
    m_store->startDelivery();
}

void InstrumentRecorder::brokerState(int state, const QString &text)
{
    if (m_state == State::Finished)
        return;
    if (MqttPublisher::State(state) == MqttPublisher::State::Refused) {
        // Once per recording: a service log should not fill up with it.
        if (!m_brokerRefusalReported) {
            m_brokerRefusalReported = true;
            emit problem(Recorder::tr("MQTT：%1；记录继续。").arg(text));
        }
        return;
    }
    emit reported(QStringLiteral("MQTT: ") + text);
}

QString InstrumentRecorder::valuesText() const
{
    QStringList values;
    for (int ch = 0; ch < kChannelCount; ++ch)
        values << (m_haveReading ? valueText(m_lastReading.value[ch],
                                             statusState(m_lastReading.status[ch]), m_options.unit)
                                 : noReadingText());
    return values.join(QLatin1Char(' '));
}

QString InstrumentRecorder::statusText(const QString &elapsed) const
{
    QStringList values;
    for (int ch = 0; ch < kChannelCount; ++ch) {
        const QString value = m_haveReading
                                  ? valueText(m_lastReading.value[ch],
                                              statusState(m_lastReading.status[ch]), m_options.unit)
                                  : noReadingText();
        values << QStringLiteral("T%1 %2").arg(ch + 1).arg(value);
    }
    const QString state = m_state == State::Lost ? Recorder::tr("（连接已断开）") : QString();
    QString text = Recorder::tr("%1%2  %3 个读数  %4  %5 %6")
                       .arg(m_port, state)
                       .arg(readingCount())
                       .arg(elapsed, values.join(QStringLiteral("  ")), unitSymbol(m_options.unit));
    const QVector<Alarm> alarms = m_alarms->activeAlarms();
    if (!alarms.isEmpty()) {
        QStringList briefs;
        for (const Alarm &a : alarms)
            briefs << AlarmText::brief(a);
        text += Recorder::tr("  告警：%1").arg(briefs.join(Recorder::tr("，")));
    }
    return text + brokerText();
}

QString InstrumentRecorder::brokerText() const
{
    if (!m_publisher)
        return QString();
    QString text = QStringLiteral("  MQTT: ") + m_publisher->stateText();
    const quint64 waiting = mqttWaiting();
    if (waiting > 0)
        text += Recorder::tr("，%1 个读数待发送").arg(waiting);
    if (m_events->waitingCount() > 0)
        text += Recorder::tr("，%1 个告警事件待发送").arg(m_events->waitingCount());
    return text;
}

void InstrumentRecorder::readingDurable(quint32 seq, const _T_EE_TEST_DATA &record)
{
    if (m_csv.isOpen()) {
        m_store->noteHandedOut(seq);
        writeCsvLine(seq, record);
    }
}

// One flushed line per stored reading, numbered within the recording.
void InstrumentRecorder::writeCsvLine(quint32 seq, const _T_EE_TEST_DATA &record)
{
    QTextStream out(&m_csv);
    out.setCodec("UTF-8");
    if (m_csv.size() == 0)
        out << csvLine(workbookHeaders(m_options.unit, exportColumnWords())) << '\n';
    QStringList fields = csvRecordFields(record, int(seq), m_options.unit);
    fields[1] = isoTimeWithOffset(dateTimeFromRecord(record));
    out << csvLine(fields) << '\n';
    out.flush();
    if ((!m_csv.flush() || m_csv.error() != QFileDevice::NoError) && !m_csvFailureReported) {
        // A full disk must not end the recording: the journal still gets
        // every reading.
        m_csvFailureReported = true;
        emit problem(Recorder::tr("无法写入 CSV 文件 %1：%2；记录继续。")
                         .arg(m_csvPath, m_csv.errorString()));
    }
}

// Storing set to 0 s on the instrument's keys: nothing more would be stored,
// so the recording ends as if stopped here.
void InstrumentRecorder::instrumentStopped()
{
    if (m_state != State::Recording && m_state != State::Lost)
        return;
    emit reported(Recorder::tr("仪器的存储间隔已设为0秒，记录结束。"));
    emit stopWanted();
}

void InstrumentRecorder::linkState(int open)
{
    if (open || m_state != State::Recording)
        return;
    if (m_publisher)
        m_publisher->setLinkState(false);
    m_alarms->setLinkUp(false);
    setState(State::Lost);
    emit reported(Recorder::tr("与仪器的连接已断开（%1）；等待仪器重新连接。").arg(m_port));
}

void InstrumentRecorder::portBack()
{
    if (m_state != State::Lost)
        return;
    if (m_publisher)
        m_publisher->setLinkState(true);
    m_alarms->setLinkUp(true);
    setState(State::Recording);
    emit reported(Recorder::tr("与仪器的连接已恢复（%1）。").arg(m_port));
}

bool InstrumentRecorder::stop(int *status, QString *message)
{
    if (m_state != State::Recording && m_state != State::Lost) {
        abandon(ExitDone);
        return true;
    }
    m_session->tick();
    m_session->stop(kStopDiskRetryMs);
    emit reported(Recorder::tr("记录已停止，共 %1 个读数。").arg(m_session->lastSeq()));
    const RecordingStore::Finish &end = m_session->finishResult();
    // The broker is tried at once; what it has not taken by the end of the
    // wait goes out at the next start.
    if (m_publisher) {
        m_publisher->stop(kBrokerDrainMs);
        QCoreApplication::sendPostedEvents(m_store);
    }
    if (!end.ok) {
        // The journal lacks its end: the next start takes the readings put
        // elsewhere back and writes the recording. A full disk is a status
        // the service retries.
        m_store->saveLedger();
        *status = ExitFailure;
        if (end.lost > 0)
            *message = Recorder::tr("最后 %1 个读数无法写入日志 %2（%3），已丢失。")
                           .arg(end.lost)
                           .arg(m_store->journalFile(), end.error);
        else
            *message = Recorder::tr("日志 %1 无法写入（%2）；最后 %3 个读数和记录的结束暂存在 "
                                    "%4，下次启动时写入 %5。")
                           .arg(m_store->journalFile(), end.error)
                           .arg(end.spilled)
                           .arg(end.spillFile, m_options.out);
        abandon(*status);
        return false;
    }
    const QString name =
        m_several ? instrumentMeasurementName(m_session->name(), m_label) : m_session->name();
    const OutputResult result = m_store->writeOut();
    for (const auto &file : result.written)
        emit reported(Recorder::tr("已写入 %1：测量“%2”，%3 个读数。")
                          .arg(file.first, name)
                          .arg(file.second));
    m_store->saveLedger();
    if (!result.ok) {
        // The journal keeps the readings for the next start; a full disk
        // is a status the service retries.
        *status = isPassingWriteError(result.errorCode) ? ExitFailure : ExitOutputFailure;
        *message = Recorder::tr("无法写入 %1：%2。读数保留在日志 %3 中。")
                       .arg(result.failedFile.isEmpty() ? m_options.out : result.failedFile,
                            result.error, m_store->journalFile());
        abandon(*status);
        return false;
    }
    if (m_publisher) {
        const quint64 waiting = m_store->waitingCount();
        if (waiting > 0)
            emit reported(
                Recorder::tr("MQTT：%1 个读数尚未送达代理；下次启动时发送。").arg(waiting));
        if (m_events->waitingCount() > 0)
            emit reported(Recorder::tr("MQTT：%1 个告警事件尚未送达代理；下次启动时发送。")
                              .arg(m_events->waitingCount()));
    }
    abandon(ExitDone);
    return true;
}

void InstrumentRecorder::abandon(int status)
{
    if (m_state == State::Finished)
        return;
    m_connectTimeout.stop();
    if (m_device.isRecording())
        m_session->abandon();
    m_store->saveLedger();
    m_link->closePort();
    m_device.setLink(nullptr);
    if (m_simulator)
        m_simulator->stop();
    // A written recording gets a moment to deliver its last readings.
    if (m_publisher)
        m_publisher->stop(status == ExitDone ? kBrokerDrainMs : 0);
    setState(State::Finished);
}

void InstrumentRecorder::fail(int status, const QString &message)
{
    if (m_state == State::Finished)
        return;
    emit failed(status, message);
}

void InstrumentRecorder::setState(State state)
{
    if (state == m_state)
        return;
    m_state = state;
    emit stateChanged(state);
}
