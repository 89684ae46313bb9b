#include "record/recorder.h"

#include "alarm/alarmmonitor.h"
#include "alarm/alarmprogram.h"
#include "alarm/alarmtext.h"
#include "link/portdiscovery.h"
#include "link/portwatcher.h"
#include "store/atomicfile.h"
#include "store/datafilestream.h"
#include "store/recordinglock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace {
constexpr qint64 kStatusLinePeriodMs = 60000;
// How long alarm programs still running at the end may take to finish.
constexpr int kAlarmProgramDrainMs = 5000;
// --all: how often the ports are looked at for an instrument plugged in.
constexpr int kPortScanMs = 2000;

QDateTime systemClock()
{
    return QDateTime::currentDateTime();
}

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
    : QObject(parent), m_options(options), m_out(out), m_err(err), m_clock(systemClock),
      m_now(systemClock())
{
    // The count of seconds first: each driver added takes it.
    tick();
    m_several = m_options.ports.size() + m_options.simulate > 1 || m_options.allPorts;
    for (const InstrumentPort &given : qAsConst(m_options.ports))
        addInstrument(instrumentLabel(given.label, given.port), given.port);
    for (int i = 1; i <= m_options.simulate; ++i)
        addInstrument(m_several ? QStringLiteral("sim%1").arg(i) : QStringLiteral("sim"), QString(),
                      true);
    // The one instrument found at the start: named once it is found.
    if (m_instruments.isEmpty() && !m_options.allPorts)
        addInstrument(QString(), QString());
    if (!m_options.alarmProgram.isEmpty()) {
        m_alarmProgram = new AlarmProgramRunner(m_options.alarmProgram, this);
        connect(m_alarmProgram, &AlarmProgramRunner::problem, this, &Recorder::problem);
    }
    m_tickTimer.setSingleShot(true);
    m_tickTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_tickTimer, &QTimer::timeout, this, &Recorder::tick);
    m_ticking = true;
    tick();
    m_secondTimer.setInterval(1000);
    connect(&m_secondTimer, &QTimer::timeout, this, &Recorder::secondTick);
}

// The instruments before the options they read.
Recorder::~Recorder()
{
    qDeleteAll(m_instruments);
}

InstrumentRecorder *Recorder::addInstrument(const QString &label, const QString &port,
                                            bool simulated)
{
    auto *instrument = new InstrumentRecorder(m_options, label, m_several, this);
    m_instruments.append(instrument);
    m_planned.append({port, simulated});
    // Every driver reads the time of the last tick and counts the seconds
    // as the others do, so all store in the same seconds.
    DevKX740D &device = instrument->device();
    device.setClock([this] { return driverTime(); });
    device.setOwnTick(false);
    device.handleTimeOut();
    device.setSecondCounter(m_seconds);
    connect(instrument, &InstrumentRecorder::reported, this,
            [this, instrument](const QString &line) { report(tagged(instrument, line)); });
    connect(instrument, &InstrumentRecorder::problem, this,
            [this, instrument](const QString &line) { problem(tagged(instrument, line)); });
    connect(instrument, &InstrumentRecorder::ready, this,
            [this, instrument] { instrumentReady(instrument); });
    connect(instrument, &InstrumentRecorder::failed, this,
            [this, instrument](int status, const QString &message) {
                instrumentFailed(instrument, status, message);
            });
    connect(instrument, &InstrumentRecorder::stopWanted, this, &Recorder::stop);
    connect(instrument, &InstrumentRecorder::stateChanged, this, &Recorder::instrumentState);
    connect(instrument, &InstrumentRecorder::alarmChanged, this,
            [this, instrument](const Alarm &alarm, bool raised) {
                alarmChanged(instrument, alarm, raised);
            });
    return instrument;
}

void Recorder::setClock(Clock clock)
{
    m_clock = clock ? std::move(clock) : Clock(systemClock);
    tick();
}

void Recorder::tick()
{
    m_now = m_clock();
    const int second = m_now.time().second();
    if (second != m_lastSecond)
        ++m_seconds;
    m_lastSecond = second;
    for (InstrumentRecorder *instrument : qAsConst(m_instruments))
        instrument->device().handleTimeOut();
    // The next tick just after the next second begins, so the drivers learn
    // of it within a few milliseconds; the only wake-up of the clock.
    if (m_ticking)
        m_tickTimer.start(qBound(1, 1000 - m_now.time().msec() + 2, 1000));
}

// The clock's time, but never past the second of the last tick: a new second
// reaches every driver in the same tick.
QDateTime Recorder::driverTime() const
{
    const QDateTime now = m_clock();
    const QDateTime lastOfTick = m_now.addMSecs(999 - m_now.time().msec());
    return now > lastOfTick ? lastOfTick : now;
}

QString Recorder::port() const
{
    return m_instruments.isEmpty() ? QString() : m_instruments.first()->port();
}

DevKX740D &Recorder::device()
{
    return m_instruments.first()->device();
}

AlarmMonitor &Recorder::alarms()
{
    return m_instruments.first()->alarms();
}

int Recorder::readingCount() const
{
    int count = 0;
    for (const InstrumentRecorder *instrument : m_instruments)
        count += instrument->readingCount();
    return count;
}

quint64 Recorder::mqttWaiting() const
{
    quint64 count = 0;
    for (const InstrumentRecorder *instrument : m_instruments)
        count += instrument->mqttWaiting();
    return count;
}

QVector<InstrumentMetrics> Recorder::metrics() const
{
    QVector<InstrumentMetrics> all;
    for (const InstrumentRecorder *instrument : m_instruments)
        all.append(instrument->metrics());
    return all;
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
    if (m_options.allPorts) {
        for (const QString &port : findInstrumentPorts())
            if (!portInUse(port))
                addInstrument(instrumentLabel(QString(), port), port);
    }
    for (int i = 0; i < m_instruments.size(); ++i)
        for (int j = 0; j < i; ++j)
            if (!m_instruments[i]->label().isEmpty() &&
                m_instruments[i]->label() == m_instruments[j]->label())
                return fail(ExitUsage,
                            tr("两台仪器的标签都是 %1；请用 --port 标签=设备 给出各自的标签。")
                                .arg(m_instruments[i]->label()));
    // Of several instruments each store locks its own journal; the output
    // they share is locked here, once.
    if (m_several) {
        m_outputLock = std::make_unique<RecordingLock>(m_options.out);
        if (!m_outputLock->tryLock()) {
            if (!m_outputLock->holder().isEmpty())
                return fail(ExitFailure, tr("%1 正在被另一个记录程序写入（%2）。")
                                             .arg(m_options.out, m_outputLock->holder()));
            return fail(
                isPassingWriteError(m_outputLock->errorCode()) ? ExitFailure : ExitOutputFailure,
                tr("无法锁定 %1 的记录：%2").arg(m_options.out, m_outputLock->errorString()));
        }
    }
    int status = ExitDone;
    QString message;
    for (InstrumentRecorder *instrument : qAsConst(m_instruments))
        if (!instrument->lock(&status, &message))
            return fail(status, message);
    for (InstrumentRecorder *instrument : qAsConst(m_instruments))
        if (!instrument->open(&status, &message))
            return fail(status, tagged(instrument, message));
    setState(State::Connecting);
    for (int i = 0; i < m_instruments.size() && m_state == State::Connecting; ++i) {
        InstrumentRecorder *instrument = m_instruments[i];
        const Planned planned = m_planned[i];
        if (planned.simulated) {
            if (!instrument->startSimulator(&message))
                return fail(ExitFailure, tagged(instrument, message));
            if (!instrument->connectTo(instrument->port(), &message))
                return fail(ExitPortFailure, tagged(instrument, message));
            continue;
        }
        QString port = planned.port;
        if (port.isEmpty() && !choosePort(&port))
            return;
        if (!instrument->connectTo(port, &message))
            return fail(ExitPortFailure, tagged(instrument, message));
    }
    if (m_options.allPorts && m_state == State::Connecting) {
        m_portWatcher = new PortWatcher([] { return findInstrumentPorts(); }, kPortScanMs, this);
        connect(m_portWatcher, &PortWatcher::portsChanged, this, &Recorder::portsChanged);
        // No instrument yet: the recording begins, and each one found joins it.
        if (m_instruments.isEmpty()) {
            report(tr("没有找到仪器；等待仪器接上。"));
            beginRecording();
        }
    }
}

bool Recorder::portInUse(const QString &port) const
{
    const QString device = portDevicePath(port);
    for (int i = 0; i < m_instruments.size(); ++i)
        if ((!m_planned[i].port.isEmpty() && portDevicePath(m_planned[i].port) == device) ||
            (!m_instruments[i]->port().isEmpty() &&
             portDevicePath(m_instruments[i]->port()) == device))
            return true;
    return false;
}

bool Recorder::choosePort(QString *port)
{
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
    *port = ports.first();
    m_instruments.first()->setLabel(instrumentLabel(QString(), *port));
    return true;
}

// --all: an instrument plugged in joins the recording under the label of
// where it is plugged in. One that comes back is its session's to reopen.
void Recorder::portsChanged(const QStringList &ports)
{
    if (m_state != State::Recording && m_state != State::Connecting)
        return;
    for (const QString &port : ports) {
        if (portInUse(port))
            continue;
        const QString label = instrumentLabel(QString(), port);
        bool known = false;
        for (const InstrumentRecorder *instrument : qAsConst(m_instruments))
            known |= instrument->label() == label;
        if (known)
            continue;
        InstrumentRecorder *instrument = addInstrument(label, port);
        int status = ExitDone;
        QString message;
        if (!instrument->lock(&status, &message) || !instrument->open(&status, &message) ||
            !instrument->connectTo(port, &message)) {
            problem(tagged(instrument, message));
            dropInstrument(instrument);
            continue;
        }
        report(tr("找到仪器 %1（%2）。").arg(label, port));
    }
}

void Recorder::dropInstrument(InstrumentRecorder *instrument)
{
    instrument->abandon(ExitFailure);
    const int i = m_instruments.indexOf(instrument);
    m_instruments.remove(i);
    m_planned.remove(i);
    instrument->deleteLater();
}

void Recorder::instrumentReady(InstrumentRecorder *instrument)
{
    if (m_state == State::Recording) {
        // Plugged in while recording: it joins the recording.
        if (instrument->begin(m_recordingName) && instrument->durationOver())
            stop();
        return;
    }
    if (m_state != State::Connecting)
        return;
    for (const InstrumentRecorder *other : qAsConst(m_instruments))
        if (other->state() != InstrumentRecorder::State::Ready)
            return;
    beginRecording();
}

// A failure before recording ends the run; with --all the instrument is
// left out instead, as is one plugged in while recording.
void Recorder::instrumentFailed(InstrumentRecorder *instrument, int status, const QString &message)
{
    if (m_options.allPorts && m_instruments.size() > 1) {
        problem(tagged(instrument, message));
        dropInstrument(instrument);
        if (m_state == State::Connecting) {
            bool allReady = true;
            for (const InstrumentRecorder *other : qAsConst(m_instruments))
                allReady &= other->state() == InstrumentRecorder::State::Ready;
            if (allReady)
                beginRecording();
        }
        return;
    }
    fail(status, tagged(instrument, message));
}

// Every instrument records under one name, so their measurements are found
// together: the one given, that of an interrupted recording gone on with,
// or the time of the start.
void Recorder::beginRecording()
{
    m_recordingName = m_options.name;
    for (const InstrumentRecorder *instrument : qAsConst(m_instruments))
        if (m_recordingName.isEmpty())
            m_recordingName = instrument->interruptedName();
    if (m_recordingName.isEmpty())
        m_recordingName = m_now.toString(QStringLiteral("yyyyMMdd hh_mm_ss"));
    for (InstrumentRecorder *instrument : qAsConst(m_instruments))
        if (!instrument->begin(m_recordingName))
            return;
    m_elapsed.start();
    m_lastLineMs = 0;
    m_secondTimer.start();
    setState(State::Recording);
    m_service.ready(readingCount(), mqttWaitingOrNone());
    bool over = false;
    for (const InstrumentRecorder *instrument : qAsConst(m_instruments))
        over |= instrument->durationOver();
    if (over)
        stop();
}

qint64 Recorder::mqttWaitingOrNone() const
{
    return m_options.mqtt.enabled ? qint64(mqttWaiting()) : -1;
}

void Recorder::instrumentState()
{
    // One instrument: its loss is the recorder's. Of several, the others
    // go on and the status line names the lost one.
    if (m_several || m_instruments.isEmpty())
        return;
    const InstrumentRecorder::State state = m_instruments.first()->state();
    if (m_state == State::Recording && state == InstrumentRecorder::State::Lost)
        setState(State::Lost);
    else if (m_state == State::Lost && state == InstrumentRecorder::State::Recording)
        setState(State::Recording);
}

void Recorder::secondTick()
{
    // The watchdog's ping: it stops when the event loop hangs.
    m_service.alive(readingCount(), mqttWaitingOrNone());
    for (InstrumentRecorder *instrument : qAsConst(m_instruments))
        instrument->tick();
    if (m_options.status == StatusMode::Terminal) {
        showStatus();
    } else if (m_options.status == StatusMode::Lines &&
               m_elapsed.elapsed() - m_lastLineMs >= kStatusLinePeriodMs) {
        m_lastLineMs = m_elapsed.elapsed();
        const QString elapsed = elapsedText(m_elapsed.elapsed());
        for (const InstrumentRecorder *instrument : qAsConst(m_instruments))
            m_out << tagged(instrument, instrument->statusText(elapsed)) << Qt::endl;
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
    const QString elapsed = elapsedText(m_elapsed.isValid() ? m_elapsed.elapsed() : 0);
    if (!m_several)
        return m_instruments.isEmpty() ? QString() : m_instruments.first()->statusText(elapsed);
    QString text =
        tr("%1 台仪器  %2 个读数  %3").arg(m_instruments.size()).arg(readingCount()).arg(elapsed);
    int alarms = 0;
    for (const InstrumentRecorder *instrument : m_instruments) {
        text += QStringLiteral("  ") + instrument->label() + QLatin1Char(' ');
        text += instrument->state() == InstrumentRecorder::State::Lost ? tr("（连接已断开）")
                                                                       : instrument->valuesText();
        alarms += instrument->metrics().alarms.size();
    }
    text += QLatin1Char(' ') + unitSymbol(m_options.unit);
    if (alarms > 0)
        text += tr("  告警：%1").arg(alarms);
    return text;
}

// Every change on the log; the program, if any, learns of it too, with the
// instrument's label in KX740D_INSTRUMENT_LABEL.
void Recorder::alarmChanged(InstrumentRecorder *instrument, const Alarm &alarm, bool raised)
{
    if (m_state == State::Finished)
        return;
    report(tagged(instrument, raised ? AlarmText::raised(alarm, m_options.unit)
                                     : AlarmText::cleared(alarm, m_options.unit)));
    if (!m_alarmProgram)
        return;
    QProcessEnvironment environment =
        alarmProgramEnvironment(alarm, raised, m_options.unit, instrument->device().deviceName(),
                                QProcessEnvironment::systemEnvironment());
    environment.insert(QLatin1String(kAlarmLabelVariable), instrument->label());
    m_alarmProgram->run(environment);
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
    // One after the other, on this thread: the only writer of the output.
    int status = ExitDone;
    for (InstrumentRecorder *instrument : qAsConst(m_instruments)) {
        int failed = ExitDone;
        QString message;
        if (!instrument->stop(&failed, &message)) {
            problem(tagged(instrument, message));
            if (status == ExitDone)
                status = failed;
        }
    }
    finish(status);
}

QString Recorder::tagged(const InstrumentRecorder *instrument, const QString &line) const
{
    return m_several ? QStringLiteral("[%1] %2").arg(instrument->label(), line) : line;
}

void Recorder::breakStatusLine()
{
    if (m_statusShown) {
        m_out << Qt::endl;
        m_statusShown = false;
    }
}

void Recorder::problem(const QString &line)
{
    breakStatusLine();
    m_err << line << Qt::endl;
}

void Recorder::fail(int status, const QString &message)
{
    problem(message);
    finish(status);
}

void Recorder::finish(int status)
{
    if (m_state == State::Finished)
        return;
    m_secondTimer.stop();
    m_ticking = false;
    m_tickTimer.stop();
    if (m_portWatcher)
        m_portWatcher->deleteLater();
    m_portWatcher = nullptr;
    // A failure ends the program, not the recordings: their journals are
    // left open-ended, so the next start goes on with them.
    for (InstrumentRecorder *instrument : qAsConst(m_instruments))
        instrument->abandon(status);
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
