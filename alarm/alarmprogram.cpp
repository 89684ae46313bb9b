#include "alarm/alarmprogram.h"

#include "instrument/temperature.h"

#include <QDateTime>
#include <QDeadlineTimer>
#include <QProcess>
#include <QTimer>

#include <cmath>

namespace {
QString numberToken(float celsius, int unit)
{
    if (std::isnan(celsius))
        return QString();
    return QString::number(double(celsiusToUnit(celsius, unit)), 'f', 1);
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
    env.insert(QStringLiteral("KX740D_ALARM_VALUE"), numberToken(alarm.value, unit));
    env.insert(QStringLiteral("KX740D_ALARM_LIMIT"), numberToken(alarm.limit, unit));
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

// Programs still running are killed with their QProcess children.
AlarmProgramRunner::~AlarmProgramRunner() = default;

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
    for (QProcess *process : findChildren<QProcess *>()) {
        if (process->state() != QProcess::NotRunning)
            process->waitForFinished(int(qMax<qint64>(1, deadline.remainingTime())));
    }
}

void AlarmProgramRunner::startNext()
{
    while (m_running < kMaxRunning && !m_waiting.isEmpty()) {
        auto *process = new QProcess(this);
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
            process->kill();
        });
        ++m_running;
        // Exactly one of the two ends a run: errorOccurred alone when it
        // does not start, finished otherwise (a kill included).
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
                [this, deadline, done](int code, QProcess::ExitStatus status) {
                    if (status == QProcess::NormalExit && code != 0)
                        emit problem(tr("告警程序 %1 以状态 %2 结束。").arg(m_program).arg(code));
                    else if (status == QProcess::CrashExit && deadline->isActive())
                        emit problem(tr("告警程序 %1 异常结束。").arg(m_program));
                    done();
                });
        deadline->start(m_timeoutMs);
        process->start();
    }
}
