#include "alarm/alarmprogram.h"

#include "alarm/alarmtext.h"
#include "alarm/groupprocess.h"
#include "instrument/temperature.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QTimer>

#include <cmath>
#include <csignal>

namespace {
// `celsius` in `unit`, with the decimals that tell it from `other` (the
// value from the limit and the limit from the value).
QString numberToken(float celsius, float other, int unit)
{
    if (std::isnan(celsius))
        return QString();
    const double number = celsiusToUnit(celsius, unit);
    return QString::number(number, 'f',
                           AlarmText::decimalsApart(number, celsiusToUnit(other, unit)));
}

QString timeToken(qint64 ms)
{
    return isoTimeWithOffset(QDateTime::fromMSecsSinceEpoch(ms));
}
} // namespace

QProcessEnvironment alarmProgramEnvironment(const Alarm &alarm, bool raised, int unit,
                                            const QString &instrument,
                                            const QProcessEnvironment &base)
{
    QProcessEnvironment env = base;
    env.insert(QStringLiteral("KX740D_ALARM_EVENT"),
               raised ? QStringLiteral("raised") : QStringLiteral("cleared"));
    env.insert(QStringLiteral("KX740D_ALARM_CHANNEL"), alarmChannelToken(alarm.channel));
    env.insert(QStringLiteral("KX740D_ALARM_KIND"), alarmKindToken(alarm.kind));
    env.insert(QStringLiteral("KX740D_ALARM_VALUE"), numberToken(alarm.value, alarm.limit, unit));
    env.insert(QStringLiteral("KX740D_ALARM_LIMIT"), numberToken(alarm.limit, alarm.value, unit));
    env.insert(QStringLiteral("KX740D_ALARM_UNIT"), unitToken(unit));
    env.insert(QStringLiteral("KX740D_ALARM_TIME"),
               timeToken(raised ? alarm.raisedMs : alarm.clearedMs));
    env.insert(QStringLiteral("KX740D_ALARM_SINCE"), timeToken(alarm.sinceMs));
    env.insert(QStringLiteral("KX740D_ALARM_ID"), QString::number(alarm.id));
    env.insert(QStringLiteral("KX740D_INSTRUMENT"), instrument);
    return env;
}

AlarmProgramRunner::AlarmProgramRunner(const QString &program, QObject *parent)
    : QObject(parent), m_program(program)
{
}

// Nothing started outlives the runner, and no QProcess is destroyed running.
AlarmProgramRunner::~AlarmProgramRunner()
{
    m_waiting.clear();
    endAll(0);
}

void AlarmProgramRunner::run(const QProcessEnvironment &environment)
{
    if (m_waiting.size() >= kMaxWaiting) {
        m_waiting.dequeue();
        emit problem(tr("告警程序 %1 仍有 %2 个未完成的运行；最早的一个被放弃。")
                         .arg(m_program)
                         .arg(kMaxWaiting));
    }
    m_waiting.enqueue(environment);
    startNext();
}

void AlarmProgramRunner::finish(int ms)
{
    if (!m_waiting.isEmpty()) {
        emit problem(
            tr("告警程序 %1 还有 %2 次运行未开始，已放弃。").arg(m_program).arg(m_waiting.size()));
        m_waiting.clear();
    }
    const QDeadlineTimer deadline(ms);
    for (GroupProcess *process : findChildren<GroupProcess *>()) {
        if (process->state() != QProcess::NotRunning)
            process->waitForFinished(int(qMax<qint64>(1, deadline.remainingTime())));
    }
    const int ended = endAll(kEndGraceMs);
    if (ended > 0)
        emit problem(
            tr("告警程序 %1 有 %2 次运行在结束时仍未完成，已被终止。").arg(m_program).arg(ended));
}

void AlarmProgramRunner::endGroup(GroupProcess *process)
{
    const qint64 group = process->processId();
    process->signalGroup(SIGTERM);
    m_ending << group;
    // Also when the leader went at once: what it started may not have.
    QTimer::singleShot(kEndGraceMs, this, [this, group] {
        if (m_ending.removeOne(group))
            GroupProcess::signalGroup(group, SIGKILL);
    });
}

int AlarmProgramRunner::endAll(int graceMs)
{
    QVector<GroupProcess *> running;
    for (GroupProcess *process : findChildren<GroupProcess *>()) {
        if (process->state() != QProcess::NotRunning) {
            endGroup(process);
            running << process;
        }
    }
    const QDeadlineTimer grace(graceMs);
    for (GroupProcess *process : running) {
        if (process->state() != QProcess::NotRunning)
            process->waitForFinished(int(qMax<qint64>(1, grace.remainingTime())));
    }
    for (const qint64 group : qAsConst(m_ending))
        GroupProcess::signalGroup(group, SIGKILL);
    m_ending.clear();
    // Killed, the leaders end at once; waited for, none is destroyed running.
    for (GroupProcess *process : running) {
        if (process->state() != QProcess::NotRunning)
            process->waitForFinished(kEndGraceMs);
    }
    return running.size();
}

void AlarmProgramRunner::startNext()
{
    while (m_running < kMaxRunning && !m_waiting.isEmpty()) {
        auto *process = new GroupProcess(this);
        process->setProcessEnvironment(m_waiting.dequeue());
        process->setProgram(m_program);
        // Nobody reads what it writes; a full pipe must not block it.
        process->setStandardOutputFile(QProcess::nullDevice());
        process->setStandardErrorFile(QProcess::nullDevice());
        process->setStandardInputFile(QProcess::nullDevice());
        auto *deadline = new QTimer(process);
        deadline->setSingleShot(true);
        connect(deadline, &QTimer::timeout, process, [this, process] {
            emit problem(tr("告警程序 %1 在 %2 秒内没有结束，已被终止。")
                             .arg(m_program)
                             .arg(m_timeoutMs / 1000));
            endGroup(process);
        });
        ++m_running;
        // Exactly one of the two ends a run: errorOccurred alone when it
        // does not start, finished otherwise (ended by us included).
        auto done = [this, process, deadline] {
            deadline->stop();
            process->disconnect(this);
            process->deleteLater();
            --m_running;
            startNext();
        };
        connect(process, &QProcess::errorOccurred, this,
                [this, process, done](QProcess::ProcessError error) {
                    if (error != QProcess::FailedToStart)
                        return;
                    emit problem(
                        tr("无法启动告警程序 %1：%2").arg(m_program, process->errorString()));
                    done();
                });
        connect(process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished), this,
                [this, process, done](int code, QProcess::ExitStatus status) {
                    if (status == QProcess::NormalExit && code != 0)
                        emit problem(tr("告警程序 %1 以状态 %2 结束。").arg(m_program).arg(code));
                    else if (status == QProcess::CrashExit && !process->wasSignalled())
                        emit problem(tr("告警程序 %1 异常结束。").arg(m_program));
                    done();
                });
        deadline->start(m_timeoutMs);
        process->start();
    }
}
