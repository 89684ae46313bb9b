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
#include "record/mqttoutbox.h"
#include "sim/instrumentsimulator.h"
#include "store/atomicfile.h"
#include "store/csvtext.h"
#include "store/datafile.h"
#include "store/datafilestream.h"
#include "store/eventoutbox.h"

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
      m_session(new RecordingSession(m_device, *m_link, this)), m_alarms(new AlarmMonitor(this))
{
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
    m_session->setJournalFile(journalPathFor(m_options.out));
    connect(m_session, &RecordingSession::readingStored, this, &Recorder::readingStored);
    connect(m_session, &RecordingSession::portReopened, this, &Recorder::portBack);
    connect(m_session, &RecordingSession::timeUp, this, &Recorder::stop);
    connect(m_session, &RecordingSession::instrumentStopped, this, &Recorder::instrumentStopped);
    connect(
        m_session, &RecordingSession::journalFailed, this,
        [this](const QString &file, const QString &reason) {
            breakStatusLine();
            m_err << tr("无法写入日志文件 %1：%2；读数暂存在内存中，稍后重试。").arg(file, reason)
                  << Qt::endl;
        });
    connect(m_session, &RecordingSession::journalRecovered, this, [this](const QString &file) {
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
        m_outbox = new MqttOutbox(
            m_options.out,
            [this](const QString &id, quint32 seq, const _T_EE_TEST_DATA &record) {
                m_publisher->publishRecorded(id, seq, record, m_options.unit);
            },
            [this] { return m_publisher->pendingCount(); }, this);
        connect(m_publisher, &MqttPublisher::acknowledged, m_outbox, &MqttOutbox::acknowledged,
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
    return m_outbox ? m_outbox->waitingCount(m_session->lastSeq()) : 0;
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
    if (!m_session->lockJournal(&holder))
        return fail(ExitFailure,
                    tr("%1 正在被另一个记录程序写入（%2）。").arg(m_options.out, holder));
    if (!m_options.csv.isEmpty()) {
        m_csv.setFileName(m_options.csv);
        if (!m_csv.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
            return fail(ExitOutputFailure,
                        tr("无法写入 CSV 文件 %1：%2").arg(m_options.csv, m_csv.errorString()));
    }
    if (m_outbox) {
        m_outbox->open();
        if (!m_events->open())
            m_err << m_events->errorString() << Qt::endl;
    }
    if (!recoverJournal() || !choosePort() || !openPort())
        return;
    setState(State::Connecting);
    m_connectTimeout.start();
    m_device.setLink(m_link);
}

// A journal left behind holds a recording. One that was stopped (its
// measurement may or may not be in the output yet) is written out and
// dropped; one that was killed is gone on with once the instrument answers.
bool Recorder::recoverJournal()
{
    const QString path = journalPathFor(m_options.out);
    JournalReader journal(path);
    journal.open();
    switch (journal.format()) {
    case JournalReader::Format::Missing:
        return true;
    case JournalReader::Format::Unknown:
        fail(ExitOutputFailure, tr("%1 不是日志文件；请将其移走后再开始。").arg(path));
        return false;
    case JournalReader::Format::Backup: {
        // Left by an earlier version: its readings become a measurement.
        JournalReading r;
        QVector<_T_EE_TEST_DATA> records;
        while (journal.next(&r))
            records << r.record;
        if (records.isEmpty())
            return QFile::remove(path) || finishJournal(path);
        const QDateTime first = dateTimeFromRecord(records.first());
        JournalHeader header;
        header.id = QUuid::createUuid();
        header.started = first;
        header.name = m_options.name.isEmpty()
                          ? tr("恢复 %1").arg(first.toString(QStringLiteral("yyyyMMdd hh_mm_ss")))
                          : m_options.name;
        QVector<JournalReading> readings;
        for (int i = 0; i < records.size(); ++i)
            readings.append({quint32(i + 1), records.at(i)});
        JournalWriter writer;
        if (!writer.create(path, header, readings)) {
            fail(isPassingWriteError(writer.errorCode()) ? ExitFailure : ExitOutputFailure,
                 tr("无法写入日志 %1：%2").arg(path, writer.errorString()));
            return false;
        }
        writer.appendStop(quint32(readings.size()));
        writer.close();
        return finishJournal(path);
    }
    case JournalReader::Format::Journal:
        break;
    }
    journal.skipToEnd();
    if (journal.damagedBytes() > 0)
        m_err << tr("日志 %1 有 %2 个字节已损坏并被跳过；其中完整的 %3 个读数保留。")
                     .arg(path)
                     .arg(journal.damagedBytes())
                     .arg(journal.readingCount())
              << Qt::endl;
    if (journal.stopped())
        return finishJournal(path);
    m_resume = true;
    report(tr("继续被中断的记录“%1”（%2 个读数）。")
               .arg(journal.header().name)
               .arg(journal.lastSeq()));
    return true;
}

// Writes the stopped recording of the journal into the output and drops
// the journal once that is on the disk.
bool Recorder::finishJournal(const QString &path)
{
    const OutputResult result = writeJournalToOutput(path, m_options.out, m_options.split);
    if (!result.ok) {
        fail(isPassingWriteError(result.errorCode) ? ExitFailure : ExitOutputFailure,
             tr("无法写入 %1：%2。读数保留在日志 %3 中。").arg(m_options.out, result.error, path));
        return false;
    }
    for (const auto &file : result.written)
        report(tr("已写入 %1：%2 个读数。").arg(file.first).arg(file.second));
    if (!dropJournal(path)) {
        fail(ExitOutputFailure, tr("无法删除日志 %1。").arg(path));
        return false;
    }
    return true;
}

// A journal whose readings are all in the output goes, unless the broker
// still lacks some of them: then it stays as an outbox file.
bool Recorder::dropJournal(const QString &path)
{
    if (m_outbox)
        return m_outbox->retire(path);
    return QFile::remove(path) || !QFile::exists(path);
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
// was away counts towards --duration.
void Recorder::resumeOrStart()
{
    int duration = m_options.durationSeconds;
    if (m_resume) {
        JournalReader journal(journalPathFor(m_options.out));
        journal.open();
        journal.skipToEnd();
        if (!m_session->resume(journal)) {
            const QString path = journalPathFor(m_options.out);
            return fail(ExitFailure, tr("无法写入日志文件 %1。").arg(path));
        }
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
    // What the broker lacks of earlier runs goes first, then this recording.
    if (m_outbox)
        m_outbox->follow(journalPathFor(m_options.out));
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
    const QString path = journalPathFor(m_options.out);
    const OutputResult result = writeJournalToOutput(path, m_options.out, m_options.split, today);
    for (const auto &file : result.written)
        report(tr("已写入 %1：%2 个读数。").arg(file.first).arg(file.second));
    if (!result.ok) {
        breakStatusLine();
        m_err << tr("无法写入 %1：%2。读数保留在日志 %3 中，稍后重试。")
                     .arg(m_options.out, result.error, path)
              << Qt::endl;
        m_rollOverFailed.start();
        return;
    }
    m_rollOverFailed.invalidate();
    if (!result.written.isEmpty()) {
        if (m_outbox)
            m_outbox->keepBeforeRotation(path);
        const bool rotated = m_session->rotateJournal(result.carry);
        if (m_outbox)
            m_outbox->follow(path);
        if (!rotated)
            return;
    }
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

void Recorder::readingStored(quint32 seq, const _T_EE_TEST_DATA &record)
{
    writeCsvLine(seq, record);
    if (m_outbox)
        m_outbox->pump();
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
    if (m_state == State::Idle || m_state == State::Connecting) {
        finish(ExitDone);
        return;
    }
    m_secondTimer.stop();
    m_session->tick();
    m_session->stop();
    report(tr("记录已停止，共 %1 个读数。").arg(m_session->lastSeq()));
    if (m_session->pendingCount() > 0) {
        // Written now, the output would lack them: the journal is left to
        // the next start, which writes what it holds.
        fail(ExitFailure, tr("最后 %1 个读数无法写入日志 %2（磁盘已满？），已丢失。")
                              .arg(m_session->pendingCount())
                              .arg(journalPathFor(m_options.out)));
        return;
    }
    const QString journal = journalPathFor(m_options.out);
    const OutputResult result = writeJournalToOutput(journal, m_options.out, m_options.split);
    for (const auto &file : result.written)
        report(tr("已写入 %1：测量“%2”，%3 个读数。")
                   .arg(file.first, m_session->name())
                   .arg(file.second));
    if (!result.ok) {
        // The journal keeps the readings for the next start; a full disk
        // is a status the service retries.
        fail(isPassingWriteError(result.errorCode) ? ExitFailure : ExitOutputFailure,
             tr("无法写入 %1：%2。读数保留在日志 %3 中。")
                 .arg(m_options.out, result.error, journal));
        return;
    }
    if (m_outbox) {
        // The broker is tried at once; what it has not taken by the end of
        // the wait goes out at the next start.
        m_publisher->stop(kBrokerDrainMs);
        QCoreApplication::sendPostedEvents(m_outbox);
        m_outbox->retire(journal);
        m_outbox->save();
        const quint64 waiting = m_outbox->waitingCount(0);
        if (waiting > 0)
            report(tr("MQTT：%1 个读数尚未送达代理；下次启动时发送。").arg(waiting));
        if (m_events->waitingCount() > 0)
            report(tr("MQTT：%1 个告警事件尚未送达代理；下次启动时发送。")
                       .arg(m_events->waitingCount()));
    } else {
        m_session->clearJournal();
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
