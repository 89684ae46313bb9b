#pragma once

#include "alarm/alarmrules.h"

#include <QObject>
#include <QProcessEnvironment>
#include <QQueue>
#include <QVector>

class GroupProcess;

// What a program started for an alarm change finds in its environment:
//   KX740D_ALARM_EVENT    raised | cleared
//   KX740D_ALARM_CHANNEL  T1 … T4 | link
//   KX740D_ALARM_KIND     high | low | open | over-range | under-range | link-lost
//   KX740D_ALARM_VALUE    the reading at the change, in KX740D_ALARM_UNIT, one
//                         decimal, more where the value would otherwise read
//                         equal to the limit (high and low; else empty)
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
// it), and one that runs longer than the timeout is ended. Each runs in a
// process group of its own, and ending a program ends the whole group
// (whatever it started): SIGTERM, then SIGKILL to what is left after
// kEndGraceMs. Whatever goes wrong is reported by problem(), never waited
// for.
class AlarmProgramRunner : public QObject
{
    Q_OBJECT

public:
    static constexpr int kMaxRunning = 4;
    static constexpr int kMaxWaiting = 64;
    static constexpr int kDefaultTimeoutMs = 30000;
    static constexpr int kEndGraceMs = 2000;

    explicit AlarmProgramRunner(const QString &program, QObject *parent = nullptr);
    ~AlarmProgramRunner() override;

    void setTimeoutMs(int ms) { m_timeoutMs = ms; }
    void run(const QProcessEnvironment &environment);
    // Before the caller ends: drops the runs waiting and waits at most `ms`
    // in all for the programs running to end, then ends those still running
    // (reporting both). When it returns, nothing the runner started runs.
    void finish(int ms);
    int runningCount() const { return m_running; }

signals:
    // Translated: the program did not start, failed, was killed, or runs
    // were dropped.
    void problem(const QString &text);

private:
    void startNext();
    void endGroup(GroupProcess *process);
    // Ends the programs still running, waiting at most `graceMs` after
    // SIGTERM; returns how many there were.
    int endAll(int graceMs);

    QString m_program;
    int m_timeoutMs = kDefaultTimeoutMs;
    int m_running = 0;
    QQueue<QProcessEnvironment> m_waiting;
    QVector<qint64> m_ending; // groups sent SIGTERM and due for SIGKILL
};
