#include "record/recorder.h"

#include "link/portdiscovery.h"
#include "link/serialhandle.h"
#include "link/serialthread.h"
#include "measurement/connectfailure.h"
#include "measurement/recordingsession.h"
#include "mqtt/mqttfeed.h"
#include "mqtt/mqttpublisher.h"
#include "sim/instrumentsimulator.h"
#include "store/csvtext.h"
#include "store/datafile.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

namespace {
constexpr int kInstrumentBaudRate = 115200;
// The handshake's answers (and that of a new interval) take well under a
// second on a working line.
constexpr int kConnectTimeoutMs = 5000;
constexpr qint64 kStatusLinePeriodMs = 60000;
// The longest wait at the end for the broker to take the readings still queued.
constexpr int kBrokerDrainMs = 3000;

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
    QFile f(out);
    if (!f.open(QIODevice::ReadOnly)) {
        *why = Recorder::tr("无法读取 %1：%2").arg(out, f.errorString());
        return false;
    }
    Data_table_T archive;
    if (!dataFileFromBytes(f.readAll(), archive)) {
        *why = Recorder::tr("%1 不是有效的数据文件；测量不会追加到其中。").arg(out);
        return false;
    }
    return true;
}

bool appendMeasurementToFile(const QString &out, const Data_List_T &measurement, QString *error)
{
    Data_table_T archive = newArchive();
    QFile existing(out);
    if (existing.exists()) {
        if (!existing.open(QIODevice::ReadOnly)) {
            *error = existing.errorString();
            return false;
        }
        if (!dataFileFromBytes(existing.readAll(), archive)) {
            *error = Recorder::tr("不是有效的数据文件");
            return false;
        }
    }
    archive.append(measurement);
    const QByteArray bytes = dataFileToBytes(archive);
    QSaveFile file(out);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

JournalContents readJournal(const QByteArray &bytes)
{
    JournalContents c;
    c.records = backupFileFromBytes(bytes);
    c.damaged = !bytes.isEmpty() && backupFileToBytes(c.records) != bytes;
    return c;
}

Recorder::Recorder(const RecorderOptions &options, QTextStream &out, QTextStream &err,
                   QObject *parent)
    : QObject(parent), m_options(options), m_out(out), m_err(err),
      m_link(new SerialHandle(QStringLiteral("kx740d-record"), this)),
      m_session(new RecordingSession(m_device, *m_link, this))
{
    connect(m_link, &SerialHandle::codeDeal, &m_device, &DevKX740D::codeDeal);
    connect(m_link, &SerialHandle::updateCOMInfo, this, &Recorder::linkState);
    connect(&m_device, &DevKX740D::deviceInfo, this, &Recorder::checkReady);
    connect(&m_device, &DevKX740D::ctrl_setting, this, [this] {
        m_configReceived = true;
        checkReady();
        instrumentStopped();
    });
    connect(&m_device, &DevKX740D::live_data, this, [this](_T_PRINT_OUT_DATA reading) {
        m_lastReading = reading;
        m_haveReading = true;
    });
    // Sent right after each stored reading: the journal has it before the
    // driver can store the next one.
    connect(&m_device, &DevKX740D::max_min_avg_info, m_session, &RecordingSession::tick);
    connect(m_session, &RecordingSession::readingsStored, this, &Recorder::writeCsvLines);
    connect(m_session, &RecordingSession::portReopened, this, &Recorder::portBack);
    connect(m_session, &RecordingSession::timeUp, this, &Recorder::durationEnded);
    connect(m_session, &RecordingSession::journalFailed, this, [this](const QString &file) {
        m_err << tr("无法写入日志文件 %1；读数暂存在内存中。").arg(file) << Qt::endl;
    });
    m_connectTimeout.setSingleShot(true);
    m_connectTimeout.setInterval(kConnectTimeoutMs);
    connect(&m_connectTimeout, &QTimer::timeout, this,
            [this] { fail(ExitFailure, tr("端口 %1 上的仪器没有应答。").arg(m_port)); });
    m_secondTimer.setInterval(1000);
    connect(&m_secondTimer, &QTimer::timeout, this, &Recorder::secondTick);
    if (m_options.mqtt.enabled) {
        m_publisher = new MqttPublisher(this);
        m_feed = new MqttFeed(m_device, *m_publisher, this);
        m_feed->setUnit(m_options.unit);
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
    return m_device.recordedCount();
}

void Recorder::start()
{
    if (m_state != State::Idle)
        return;
    QString why;
    if (!checkOutputFile(m_options.out, &why))
        return fail(ExitOutputFailure, why);
    if (!m_options.csv.isEmpty()) {
        m_csv.setFileName(m_options.csv);
        if (!m_csv.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
            return fail(ExitOutputFailure,
                        tr("无法写入 CSV 文件 %1：%2").arg(m_options.csv, m_csv.errorString()));
    }
    if (!recoverJournal() || !choosePort() || !openPort())
        return;
    setState(State::Connecting);
    m_connectTimeout.start();
    m_device.setLink(m_link);
}

// Readings of a run that ended without writing them (killed, power cut)
// become a measurement of their own before anything new is recorded; the
// journal goes only once they are in the output.
bool Recorder::recoverJournal()
{
    const QString path = journalPathFor(m_options.out);
    QFile file(path);
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return true;
    const JournalContents journal = readJournal(file.readAll());
    file.close();
    if (journal.damaged)
        m_err << tr("日志 %1 已损坏；恢复其中完整的 %2 个读数。")
                     .arg(path)
                     .arg(journal.records.size())
              << Qt::endl;
    if (!journal.records.isEmpty()) {
        const QDateTime first = dateTimeFromRecord(journal.records.first());
        const QString name =
            m_options.name.isEmpty()
                ? tr("恢复 %1").arg(first.toString(QStringLiteral("yyyyMMdd hh_mm_ss")))
                : m_options.name;
        Data_List_T measurement = newMeasurement(journal.records, name);
        if (first.isValid())
            measurement.created = first;
        QString error;
        if (!appendMeasurementToFile(m_options.out, measurement, &error)) {
            fail(ExitOutputFailure,
                 tr("无法写入 %1：%2。读数保留在日志 %3 中。").arg(m_options.out, error, path));
            return false;
        }
        report(tr("已从日志 %1 恢复 %2 个读数，写入 %3。")
                   .arg(path)
                   .arg(journal.records.size())
                   .arg(m_options.out));
    }
    if (!QFile::remove(path)) {
        fail(ExitOutputFailure, tr("无法删除日志 %1。").arg(path));
        return false;
    }
    return true;
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
    const QDateTime now = QDateTime::currentDateTime();
    m_name = m_options.name.isEmpty() ? now.toString(QStringLiteral("yyyyMMdd hh_mm_ss"))
                                      : m_options.name;
    m_session->setJournalFile(journalPathFor(m_options.out));
    m_session->setPort(m_port);
    m_session->setContinuousTime(m_options.durationSeconds > 0, m_options.durationSeconds);
    if (m_publisher)
        startPublishing();
    if (m_state == State::Finished)
        return;
    m_session->start();
    m_elapsed.start();
    m_lastLineMs = 0;
    m_secondTimer.start();
    setState(State::Recording);
    report(tr("开始记录：端口 %1，仪器 %2，间隔 %3 秒，测量“%4”，写入 %5")
               .arg(m_port, m_device.deviceName())
               .arg(m_device.interval())
               .arg(m_name, m_options.out));
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
    if (m_publisher)
        text += QStringLiteral("  MQTT: ") + m_publisher->stateText();
    return text;
}

// One flushed line per stored reading, numbered within this recording.
void Recorder::writeCsvLines(int count)
{
    if (!m_csv.isOpen() || count <= m_csvCount)
        return;
    QTextStream out(&m_csv);
    out.setCodec("UTF-8");
    if (m_csv.size() == 0)
        out << csvLine(workbookHeaders(m_options.unit, exportColumnWords())) << '\n';
    for (const RecordedReading &r : m_device.lastRecorded(count - m_csvCount)) {
        const _T_EE_TEST_DATA record = storedRecordFromReading(r.first, r.second);
        QStringList fields = csvRecordFields(record, ++m_csvCount, m_options.unit);
        fields[1] = isoTimeWithOffset(dateTimeFromRecord(record));
        out << csvLine(fields) << '\n';
    }
    out.flush();
    if ((!m_csv.flush() || m_csv.error() != QFileDevice::NoError) && !m_csvFailureReported) {
        // A full disk must not end the recording: the data file and the
        // journal still get every reading.
        m_csvFailureReported = true;
        m_err << tr("无法写入 CSV 文件 %1：%2；记录继续。").arg(m_options.csv, m_csv.errorString())
              << Qt::endl;
    }
}

// The driver counts changes of the clock's second, so its count can run out up
// to a second before the duration has really passed; the rest is waited for.
void Recorder::durationEnded()
{
    const qint64 left = qint64(m_options.durationSeconds) * 1000 - m_elapsed.elapsed();
    if (left > 0)
        QTimer::singleShot(int(left), this, &Recorder::stop);
    else
        stop();
}

// Storing set to 0 s on the instrument's keys: nothing more would be stored,
// so the recording ends as if stopped here.
void Recorder::instrumentStopped()
{
    if ((m_state != State::Recording && m_state != State::Lost) || m_device.interval() != 0)
        return;
    report(tr("仪器的存储间隔已设为0秒，记录结束。"));
    stop();
}

void Recorder::linkState(int open)
{
    if (open || m_state != State::Recording)
        return;
    setState(State::Lost);
    report(tr("与仪器的连接已断开（%1）；等待仪器重新连接。").arg(m_port));
}

void Recorder::portBack()
{
    if (m_state != State::Lost)
        return;
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
    const QVector<_T_EE_TEST_DATA> records = m_session->stop();
    writeCsvLines(records.size());
    report(tr("记录已停止，共 %1 个读数。").arg(records.size()));
    const QString journal = journalPathFor(m_options.out);
    if (!records.isEmpty()) {
        Data_List_T measurement = newMeasurement(records, m_name);
        const QDateTime first = dateTimeFromRecord(records.first());
        if (first.isValid())
            measurement.created = first;
        QString error;
        if (!appendMeasurementToFile(m_options.out, measurement, &error)) {
            // The journal keeps the readings for the next start.
            fail(ExitOutputFailure,
                 tr("无法写入 %1：%2。读数保留在日志 %3 中。").arg(m_options.out, error, journal));
            return;
        }
        report(
            tr("已写入 %1：测量“%2”，%3 个读数。").arg(m_options.out, m_name).arg(records.size()));
    }
    QFile::remove(journal);
    finish(ExitDone);
}

void Recorder::fail(int status, const QString &message)
{
    if (m_statusShown) {
        m_out << Qt::endl;
        m_statusShown = false;
    }
    m_err << message << Qt::endl;
    finish(status);
}

void Recorder::finish(int status)
{
    if (m_state == State::Finished)
        return;
    m_connectTimeout.stop();
    m_secondTimer.stop();
    if (m_device.isRecording())
        m_session->stop();
    m_link->closePort();
    m_device.setLink(nullptr);
    if (m_simulator)
        m_simulator->stop();
    // A written recording gets a moment to deliver its last readings.
    if (m_publisher)
        m_publisher->stop(status == ExitDone ? kBrokerDrainMs : 0);
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
