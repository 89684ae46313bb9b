#pragma once

#include "alarm/alarmrules.h"

#include <QObject>
#include <QProcessEnvironment>
#include <QQueue>

class QProcess;

// What a program started for an alarm change finds in its environment:
//   KX740D_ALARM_EVENT    raised | cleared
//   KX740D_ALARM_CHANNEL  T1 … T4 | link
//   KX740D_ALARM_KIND     high | low | open | over-range | under-range | link-lost
//   KX740D_ALARM_VALUE    the reading at the change, in KX740D_ALARM_UNIT, one
//                         decimal (high and low; else empty)
//   KX740D_ALARM_LIMIT    the limit crossed, likewise (high and low; else empty)
//   KX740D_ALARM_UNIT     °C | °F | K
//   KX740D_ALARM_TIME     the change, ISO 8601 local time with its offset
//   KX740D_ALARM_SINCE    the start of the condition, likewise
//   KX740D_ALARM_ID       a number, the same for the raise and the clear
//   KX740D_INSTRUMENT     the instrument's name
// added to `base`.
QProcessEnvironment alarmProgramEnvironment(const Alarm &alarm, bool raised, int unit,
                                            const QString &instrument,
                                            const QProcessEnvironment &base);

// Runs one program, without a shell, for each alarm change it is given.
// A program never holds up the caller: at most kMaxRunning run at once, the
// rest wait in a queue of at most kMaxWaiting (the oldest dropped beyond
// it), and one that runs longer than the timeout is killed. Whatever goes
// wrong is reported by problem(), never waited for.
class AlarmProgramRunner : public QObject
{
    Q_OBJECT

public:
    static constexpr int kMaxRunning = 4;
    static constexpr int kMaxWaiting = 64;
    static constexpr int kDefaultTimeoutMs = 30000;

    explicit AlarmProgramRunner(const QString &program, QObject *parent = nullptr);
    ~AlarmProgramRunner() override;

    void setTimeoutMs(int ms) { m_timeoutMs = ms; }
    void run(const QProcessEnvironment &environment);
    // Before the caller ends: waits at most `ms` in all for the programs
    // running to end (those still running then are killed with the runner)
    // and drops the ones waiting, reporting how many.
    void finish(int ms);
    int runningCount() const { return m_running; }

signals:
    // Translated: the program did not start, failed, was killed, or runs
    // were dropped.
    void problem(const QString &text);

private:
    void startNext();

    QString m_program;
    int m_timeoutMs = kDefaultTimeoutMs;
    int m_running = 0;
    QQueue<QProcessEnvironment> m_waiting;
};
