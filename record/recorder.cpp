#include "record/recorder.h"

#include "alarm/alarmmonitor.h"
#include "alarm/alarmprogram.h"
#include "alarm/alarmtext.h"
#include "link/portdiscovery.h"
#include "link/serialhandle.h"
#include "link/serialthread.h"
#include "measurement/connectfailure.h"
#include "measurement/recordingsession.h"
#include "mqtt/mqttfeed.h"
#include "mqtt/mqttpublisher.h"
#include "sim/instrumentsimulator.h"
#include "store/atomicfile.h"
#include "store/csvtext.h"
#include "store/datafile.h"
#include "store/datafilestream.h"
#include "store/eventoutbox.h"
#include "store/recordinglock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace {
constexpr int kInstrumentBaudRate = 115200;
// The handshake's answers (and that of a new interval) take well under a
// second on a working line.
constexpr int kConnectTimeoutMs = 5000;
constexpr qint64 kStatusLinePeriodMs = 60000;
// The longest wait at the end for the broker to take the readings still queued.
constexpr int kBrokerDrainMs = 3000;
constexpr qint64 kRollOverRetryMs = 60000;
// How long a stop keeps trying a disk that refuses the last readings before
// they are put elsewhere.
constexpr int kStopDiskRetryMs = 3000;
// How long alarm programs still running at the end may take to finish.
constexpr int kAlarmProgramDrainMs = 5000;

QString elapsedText(qint64 ms)
{
    const qint64 s = ms / 1000;
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600, 2, 10, QLatin1Char('0'))
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}
} // namespace

QString journalPathFor(const QString &out)
{
    return out + QStringLiteral(".journal");
}

bool checkOutputFile(const QString &out, QString *why)
{
    const QFileInfo file(out);
    const QFileInfo folder(file.absolutePath());
    if (!folder.isDir() || !folder.isWritable()) {
        *why = Recorder::tr("无法写入输出文件夹 %1。")
                   .arg(QDir::toNativeSeparators(folder.filePath()));
        return false;
    }
    // QFile takes a dangling link for a file, which the end would fail to read.
    if (file.isSymLink() && !file.exists()) {
        *why =
            Recorder::tr("%1 是指向 %2 的符号链接，但 %2 不存在。").arg(out, file.symLinkTarget());
        return false;
    }
    if (!file.exists())
        return true;
    DataFileIndex index;
    QString error;
    if (!QFileInfo(out).isReadable()) {
        QFile f(out);
        f.open(QIODevice::ReadOnly);
        *why = Recorder::tr("无法读取 %1：%2").arg(out, f.errorString());
        return false;
    }
    if (!scanDataFile(out, &index, &error)) {
        *why = Recorder::tr("%1 不是有效的数据文件；测量不会追加到其中。").arg(out);
        return false;
    }
    return true;
}

Recorder::Recorder(const RecorderOptions &options, QTextStream &out, QTextStream &err,
                   QObject *parent)
    : QObject(parent), m_options(options), m_out(out), m_err(err),
      m_link(new SerialHandle(QStringLiteral("kx740d-record"), this)),
      m_store(new RecordingStore(journalPathFor(options.out), options.out, this)),
      m_session(new RecordingSession(m_device, *m_link, this)), m_alarms(new AlarmMonitor(this))
{
    // A port found at the start is named once it is found.
    m_label = instrumentLabel(m_options, m_options.port);
    connect(m_link, &SerialHandle::codeDeal, &m_device, &DevKX740D::codeDeal);
    connect(m_link, &SerialHandle::updateCOMInfo, this, &Recorder::linkState);
    connect(&m_device, &DevKX740D::deviceInfo, this, &Recorder::checkReady);
    connect(&m_device, &DevKX740D::ctrl_setting, this, [this] {
        m_configReceived = true;
        checkReady();
    });
    connect(&m_device, &DevKX740D::live_data, this, [this](_T_PRINT_OUT_DATA reading) {
        m_lastReading = reading;
        m_haveReading = true;
        m_alarms->addReading(reading);
    });
    m_alarms->setSettings(m_options.alarms);
    connect(m_alarms, &AlarmMonitor::raised, this,
            [this](const Alarm &alarm) { alarmChanged(alarm, true); });
    connect(m_alarms, &AlarmMonitor::cleared, this,
            [this](const Alarm &alarm) { alarmChanged(alarm, false); });
    if (!m_options.alarmProgram.isEmpty()) {
        m_alarmProgram = new AlarmProgramRunner(m_options.alarmProgram, this);
        connect(m_alarmProgram, &AlarmProgramRunner::problem, this, [this](const QString &text) {
            breakStatusLine();
            m_err << text << Qt::endl;
        });
    }
    // Readings are on the disk in the journal; none is kept in memory.
    m_session->setKeepReadings(false);
    m_session->setStore(m_store);
    m_store->setOutputWriter([this](const QString &journal, const QDate &before) {
        return writeJournalToOutput(journal, m_options.out, m_options.split, before);
    });
    // A reading goes to the CSV file and the broker once it is on the disk:
    // its number then never names another reading.
    connect(m_store, &RecordingStore::durable, this, &Recorder::readingDurable);
    connect(m_session, &RecordingSession::portReopened, this, &Recorder::portBack);
    connect(m_session, &RecordingSession::timeUp, this, &Recorder::stop);
    connect(m_session, &RecordingSession::instrumentStopped, this, &Recorder::instrumentStopped);
    connect(
        m_store, &RecordingStore::journalFailed, this,
        [this](const QString &file, const QString &reason) {
            breakStatusLine();
            m_err << tr("无法写入日志文件 %1：%2；读数暂存在内存中，稍后重试。").arg(file, reason)
                  << Qt::endl;
        });
    connect(m_store, &RecordingStore::journalRecovered, this, [this](const QString &file) {
        report(tr("日志文件 %1 又可以写入了；暂存的读数已写入。").arg(file));
    });
    m_connectTimeout.setSingleShot(true);
    m_connectTimeout.setInterval(kConnectTimeoutMs);
    connect(&m_connectTimeout, &QTimer::timeout, this,
            [this] { fail(ExitFailure, tr("端口 %1 上的仪器没有应答。").arg(m_port)); });
    m_secondTimer.setInterval(1000);
    connect(&m_secondTimer, &QTimer::timeout, this, &Recorder::secondTick);
    if (m_options.mqtt.enabled) {
        m_publisher = new MqttPublisher(this);
        // Live readings straight from the driver; recorded ones from the
        // journal, so what the broker has not taken survives the program.
        m_feed = new MqttFeed(m_device, *m_publisher, this);
        m_feed->setUnit(m_options.unit);
        m_feed->watchAlarms(*m_alarms, [this](const QByteArray &event) {
            if (!m_events->add(event)) {
                breakStatusLine();
                m_err << m_events->errorString() << Qt::endl;
            }
        });
        m_store->setDelivery(
            [this](const QString &id, quint32 seq, const _T_EE_TEST_DATA &record) {
                m_publisher->publishRecorded(id, seq, record, m_options.unit);
            },
            [this] { return m_publisher->pendingCount(); });
        connect(m_publisher, &MqttPublisher::acknowledged, m_store, &RecordingStore::acknowledged,
                Qt::QueuedConnection);
        m_events = new EventOutbox(
            m_options.out + QStringLiteral(".events"),
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

Recorder::~Recorder()
{
    m_link->closePort();
    m_device.setLink(nullptr);
}

int Recorder::readingCount() const
{
    return int(m_session->lastSeq());
}

quint64 Recorder::mqttWaiting() const
{
    return m_publisher ? m_store->waitingCount() : 0;
}

InstrumentMetrics Recorder::metrics() const
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

void Recorder::start()
{
    if (m_state != State::Idle)
        return;
    QString why;
    if (m_options.split == SplitMode::None && !checkOutputFile(m_options.out, &why))
        return fail(ExitOutputFailure, why);
    if (m_options.split != SplitMode::None &&
        !checkOutputFile(QFileInfo(m_options.out).absolutePath() + QStringLiteral("/.probe"), &why))
        return fail(ExitOutputFailure, why);
    QString holder;
    if (!m_store->lock(&holder)) {
        if (!holder.isEmpty())
            return fail(ExitFailure,
                        tr("%1 正在被另一个记录程序写入（%2）。").arg(m_options.out, holder));
        const RecordingLock *lock = m_store->recordingLock();
        return fail(isPassingWriteError(lock->errorCode()) ? ExitFailure : ExitOutputFailure,
                    tr("无法锁定 %1 的记录：%2").arg(m_options.out, lock->errorString()));
    }
    if (!m_options.csv.isEmpty()) {
        m_csv.setFileName(m_options.csv);
        if (!m_csv.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
            return fail(ExitOutputFailure,
                        tr("无法写入 CSV 文件 %1：%2").arg(m_options.csv, m_csv.errorString()));
    }
    if (m_events && !m_events->open())
        m_err << m_events->errorString() << Qt::endl;
    if (!recoverJournal() || !choosePort() || !openPort())
        return;
    setState(State::Connecting);
    m_connectTimeout.start();
    m_device.setLink(m_link);
}

// What an earlier run left is settled first: a stopped recording (also one
// whose last readings were put elsewhere by a full disk) is written out and
// kept until the broker has it; one that was killed is gone on with once
// the instrument answers, if it is the same instrument.
bool Recorder::recoverJournal()
{
    const RecordingStore::Recovery found = m_store->open(QString());
    if (found.notAJournal) {
        fail(ExitOutputFailure,
             tr("%1 不是日志文件；请将其移走后再开始。").arg(m_store->journalFile()));
        return false;
    }
    if (!settled(found))
        return false;
    if (found.interrupted)
        report(tr("继续被中断的记录“%1”（%2 个读数）。").arg(found.header.name).arg(found.lastSeq));
    return true;
}

bool Recorder::settled(const RecordingStore::Recovery &recovery)
{
    for (const QString &note : recovery.notes) {
        breakStatusLine();
        m_err << note << Qt::endl;
    }
    for (const auto &file : recovery.written)
        report(tr("已写入 %1：%2 个读数。").arg(file.first).arg(file.second));
    if (recovery.ok)
        return true;
    fail(isPassingWriteError(recovery.errorCode) || recovery.errorCode == 0 ? ExitFailure
                                                                            : ExitOutputFailure,
         tr("无法写入 %1：%2。读数保留在日志 %3 中。")
             .arg(m_options.out, recovery.error, m_store->journalFile()));
    return false;
}

bool Recorder::choosePort()
{
    if (m_options.simulate) {
        SimulatorOptions options;
        options.storedRecords = 0;
        m_simulator = new InstrumentSimulator(options, this);
        if (!m_simulator->start()) {
            fail(ExitFailure, tr("无法启动仪器模拟器：%1").arg(m_simulator->errorString()));
            return false;
        }
        m_port = m_simulator->portPath();
        return true;
    }
    if (!m_options.port.isEmpty()) {
        m_port = m_options.port;
        return true;
    }
    const QStringList ports = findInstrumentPorts();
    if (ports.isEmpty()) {
        fail(ExitPortFailure, tr("没有找到仪器。请连接仪器，或用 --port 指定端口。"));
        return false;
    }
    if (ports.size() > 1) {
        fail(ExitUsage, tr("找到多台仪器，请用 --port 选择其中一台：") + QLatin1Char('\n') +
                            ports.join(QLatin1Char('\n')));
        return false;
    }
    m_port = ports.first();
    m_label = instrumentLabel(m_options, m_port);
    return true;
}

bool Recorder::openPort()
{
    QString linkError;
    if (m_link->openPort(m_port, kInstrumentBaudRate, &linkError))
        return true;
    fail(ExitPortFailure, connectFailureText(m_port, linkError));
    return false;
}

void Recorder::checkReady()
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
        return fail(ExitUsage, tr("仪器的存储间隔为0秒，不会存储任何数据。请用 --interval "
                                  "设置存储间隔。"));
    beginRecording();
}

void Recorder::beginRecording()
{
    m_connectTimeout.stop();
    m_session->setPort(m_port);
    if (m_publisher)
        startPublishing();
    if (m_state == State::Finished)
        return;
    resumeOrStart();
    if (m_state == State::Finished)
        return;
    m_elapsed.start();
    m_lastLineMs = 0;
    m_secondTimer.start();
    m_alarms->setWatching(true);
    setState(State::Recording);
    m_service.ready(readingCount(), m_publisher ? qint64(mqttWaiting()) : -1);
    report(tr("开始记录：端口 %1，仪器 %2，间隔 %3 秒，测量“%4”，写入 %5")
               .arg(m_port, m_device.deviceName())
               .arg(m_device.interval())
               .arg(m_session->name(), m_options.out));
    // A resumed recording whose time ran out while the program was away.
    if (m_options.durationSeconds > 0 &&
        m_session->startTime().secsTo(m_device.now()) >= m_options.durationSeconds)
        stop();
}

// A killed run's recording goes on where its journal ends; the time it
// was away counts towards --duration. A journal left by another instrument
// becomes a measurement of its own and a new recording begins.
void Recorder::resumeOrStart()
{
    int duration = m_options.durationSeconds;
    bool resumed = false;
    if (m_store->found().interrupted) {
        if (sameInstrument(m_store->found().header.instrument, m_session->instrumentIdentity())) {
            if (!m_session->resume())
                return fail(ExitFailure, tr("无法写入日志文件 %1。").arg(m_store->journalFile()));
            resumed = true;
        } else {
            report(tr("日志中的记录“%1”来自另一台仪器；它作为单独的测量写入，新的记录重新开始。")
                       .arg(m_store->found().header.name));
            if (!settled(m_store->closeFound()))
                return;
        }
    }
    if (resumed) {
        if (duration > 0)
            duration =
                int(qMax<qint64>(1, duration - m_session->startTime().secsTo(m_device.now())));
    } else {
        const QString name = m_options.name.isEmpty()
                                 ? m_device.now().toString(QStringLiteral("yyyyMMdd hh_mm_ss"))
                                 : m_options.name;
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
void Recorder::rollOver()
{
    const QDate today = m_device.now().date();
    const OutputResult result = m_store->rollOver(today);
    for (const auto &file : result.written)
        report(tr("已写入 %1：%2 个读数。").arg(file.first).arg(file.second));
    if (!result.ok) {
        breakStatusLine();
        m_err << tr("无法写入 %1：%2。读数保留在日志 %3 中，稍后重试。")
                     .arg(result.failedFile.isEmpty() ? m_options.out : result.failedFile,
                          result.error, m_store->journalFile())
              << Qt::endl;
        m_rollOverFailed.start();
        return;
    }
    m_rollOverFailed.invalidate();
    m_period = periodStart(today, m_options.split);
}

// Only once the instrument has told its name, which the topics carry. A
// broker that cannot be reached or refuses us does not stop the recording;
// settings that cannot work at all (a CA file that is missing) end the run
// before it records.
void Recorder::startPublishing()
{
    QString error;
    if (!m_publisher->start(m_options.mqtt, m_device.deviceName(), &error))
        return fail(ExitUsage, error);
    report(tr("发布到 %1，主题 %2/…").arg(m_options.mqtt.url, m_publisher->topicPrefix()));
    m_store->startDelivery();
}

void Recorder::brokerState(int state, const QString &text)
{
    if (m_state == State::Finished)
        return;
    if (MqttPublisher::State(state) == MqttPublisher::State::Refused) {
        // Once per recording: a service log should not fill up with it.
        if (!m_brokerRefusalReported) {
            m_brokerRefusalReported = true;
            if (m_statusShown) {
                m_out << Qt::endl;
                m_statusShown = false;
            }
            m_err << tr("MQTT：%1；记录继续。").arg(text) << Qt::endl;
        }
        return;
    }
    report(QStringLiteral("MQTT: ") + text);
}

void Recorder::secondTick()
{
    // The watchdog's ping: it stops when the event loop hangs.
    m_service.alive(readingCount(), m_publisher ? qint64(mqttWaiting()) : -1);
    m_session->tick();
    // A period file that could not be written is tried again once a minute.
    if (m_options.split != SplitMode::None &&
        periodStart(m_device.now().date(), m_options.split) != m_period &&
        (!m_rollOverFailed.isValid() || m_rollOverFailed.elapsed() >= kRollOverRetryMs))
        rollOver();
    if (m_options.status == StatusMode::Terminal) {
        showStatus();
    } else if (m_options.status == StatusMode::Lines &&
               m_elapsed.elapsed() - m_lastLineMs >= kStatusLinePeriodMs) {
        m_lastLineMs = m_elapsed.elapsed();
        m_out << statusText() << Qt::endl;
    }
}

void Recorder::showStatus()
{
    // Cut to the terminal's width, or a wrapped line would not be rewritten
    // in place; padded so a shorter line covers the longer one before it.
    m_out << '\r' << statusText().leftJustified(m_options.statusWidth, QLatin1Char(' '), true)
          << Qt::flush;
    m_statusShown = true;
}

QString Recorder::statusText() const
{
    QStringList values;
    for (int ch = 0; ch < kChannelCount; ++ch) {
        const QString value = m_haveReading
                                  ? valueText(m_lastReading.value[ch],
                                              statusState(m_lastReading.status[ch]), m_options.unit)
                                  : noReadingText();
        values << QStringLiteral("T%1 %2").arg(ch + 1).arg(value);
    }
    const QString state = m_state == State::Lost ? tr("（连接已断开）") : QString();
    QString text = tr("%1%2  %3 个读数  %4  %5 %6")
                       .arg(m_port, state)
                       .arg(readingCount())
                       .arg(elapsedText(m_elapsed.isValid() ? m_elapsed.elapsed() : 0),
                            values.join(QStringLiteral("  ")), unitSymbol(m_options.unit));
    const QVector<Alarm> alarms = m_alarms->activeAlarms();
    if (!alarms.isEmpty()) {
        QStringList briefs;
        for (const Alarm &a : alarms)
            briefs << AlarmText::brief(a);
        text += tr("  告警：%1").arg(briefs.join(tr("，")));
    }
    if (m_publisher) {
        text += QStringLiteral("  MQTT: ") + m_publisher->stateText();
        const quint64 waiting = mqttWaiting();
        if (waiting > 0)
            text += tr("，%1 个读数待发送").arg(waiting);
        if (m_events->waitingCount() > 0)
            text += tr("，%1 个告警事件待发送").arg(m_events->waitingCount());
    }
    return text;
}

// Every change on the log; the program, if any, learns of it too.
void Recorder::alarmChanged(const Alarm &alarm, bool raised)
{
    if (m_state == State::Finished)
        return;
    report(raised ? AlarmText::raised(alarm, m_options.unit)
                  : AlarmText::cleared(alarm, m_options.unit));
    if (m_alarmProgram)
        m_alarmProgram->run(alarmProgramEnvironment(alarm, raised, m_options.unit,
                                                    m_device.deviceName(),
                                                    QProcessEnvironment::systemEnvironment()));
}

void Recorder::readingDurable(quint32 seq, const _T_EE_TEST_DATA &record)
{
    if (m_csv.isOpen()) {
        m_store->noteHandedOut(seq);
        writeCsvLine(seq, record);
    }
}

// One flushed line per stored reading, numbered within the recording.
void Recorder::writeCsvLine(quint32 seq, const _T_EE_TEST_DATA &record)
{
    if (!m_csv.isOpen())
        return;
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
        m_err << tr("无法写入 CSV 文件 %1：%2；记录继续。").arg(m_options.csv, m_csv.errorString())
              << Qt::endl;
    }
}

// Storing set to 0 s on the instrument's keys: nothing more would be stored,
// so the recording ends as if stopped here.
void Recorder::instrumentStopped()
{
    if (m_state != State::Recording && m_state != State::Lost)
        return;
    report(tr("仪器的存储间隔已设为0秒，记录结束。"));
    stop();
}

void Recorder::linkState(int open)
{
    if (open || m_state != State::Recording)
        return;
    if (m_publisher)
        m_publisher->setLinkState(false);
    m_alarms->setLinkUp(false);
    setState(State::Lost);
    report(tr("与仪器的连接已断开（%1）；等待仪器重新连接。").arg(m_port));
}

void Recorder::portBack()
{
    if (m_state != State::Lost)
        return;
    if (m_publisher)
        m_publisher->setLinkState(true);
    m_alarms->setLinkUp(true);
    setState(State::Recording);
    report(tr("与仪器的连接已恢复（%1）。").arg(m_port));
}

void Recorder::stop()
{
    if (m_state == State::Finished)
        return;
    m_service.stopping();
    if (m_state == State::Idle || m_state == State::Connecting) {
        finish(ExitDone);
        return;
    }
    m_secondTimer.stop();
    m_session->tick();
    m_session->stop(kStopDiskRetryMs);
    report(tr("记录已停止，共 %1 个读数。").arg(m_session->lastSeq()));
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
        if (end.lost > 0)
            fail(ExitFailure, tr("最后 %1 个读数无法写入日志 %2（%3），已丢失。")
                                  .arg(end.lost)
                                  .arg(m_store->journalFile(), end.error));
        else
            fail(ExitFailure, tr("日志 %1 无法写入（%2）；最后 %3 个读数和记录的结束暂存在 "
                                 "%4，下次启动时写入 %5。")
                                  .arg(m_store->journalFile(), end.error)
                                  .arg(end.spilled)
                                  .arg(end.spillFile, m_options.out));
        return;
    }
    const OutputResult result = m_store->writeOut();
    for (const auto &file : result.written)
        report(tr("已写入 %1：测量“%2”，%3 个读数。")
                   .arg(file.first, m_session->name())
                   .arg(file.second));
    m_store->saveLedger();
    if (!result.ok) {
        // The journal keeps the readings for the next start; a full disk
        // is a status the service retries.
        fail(isPassingWriteError(result.errorCode) ? ExitFailure : ExitOutputFailure,
             tr("无法写入 %1：%2。读数保留在日志 %3 中。")
                 .arg(result.failedFile.isEmpty() ? m_options.out : result.failedFile, result.error,
                      m_store->journalFile()));
        return;
    }
    if (m_publisher) {
        const quint64 waiting = m_store->waitingCount();
        if (waiting > 0)
            report(tr("MQTT：%1 个读数尚未送达代理；下次启动时发送。").arg(waiting));
        if (m_events->waitingCount() > 0)
            report(tr("MQTT：%1 个告警事件尚未送达代理；下次启动时发送。")
                       .arg(m_events->waitingCount()));
    }
    finish(ExitDone);
}

void Recorder::breakStatusLine()
{
    if (m_statusShown) {
        m_out << Qt::endl;
        m_statusShown = false;
    }
}

void Recorder::fail(int status, const QString &message)
{
    breakStatusLine();
    m_err << message << Qt::endl;
    finish(status);
}

void Recorder::finish(int status)
{
    if (m_state == State::Finished)
        return;
    m_connectTimeout.stop();
    m_secondTimer.stop();
    // A failure ends the program, not the recording: the journal is left
    // open-ended, so the next start goes on with it.
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
    if (m_alarmProgram)
        m_alarmProgram->finish(kAlarmProgramDrainMs);
    m_exitStatus = status;
    setState(State::Finished);
    // Queued: the caller may start() before its event loop runs.
    QTimer::singleShot(0, this, [this, status] { emit finished(status); });
}

void Recorder::setState(State state)
{
    if (state == m_state)
        return;
    m_state = state;
    emit stateChanged(state);
}

void Recorder::report(const QString &line)
{
    if (m_options.status == StatusMode::Quiet)
        return;
    if (m_statusShown) {
        m_out << '\r' << QString(m_options.statusWidth, QLatin1Char(' ')) << '\r';
        m_statusShown = false;
    }
    m_out << line << Qt::endl;
    if (m_options.status == StatusMode::Terminal && m_secondTimer.isActive())
        showStatus();
}
