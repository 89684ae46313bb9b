// The alarm rules on played histories, the limits of a settings file, and
// the programs run for alarm changes.

#include "alarm/alarmmonitor.h"
#include "alarm/alarmprogram.h"
#include "alarm/alarmtext.h"
#include "alarm/settingslimits.h"
#include "instrument/temperature.h"
#include "mqtt/mqttalarm.h"
#include "settings/settingsfile.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QtTest>

class TestAlarm : public QObject
{
    Q_OBJECT

private slots:
    void limitRaisesOnceAndClearsPastTheHysteresis_data();
    void limitRaisesOnceAndClearsPastTheHysteresis();
    void delayNeedsTheConditionWithoutABreak();
    void probeThatWasMeasuringRaises_data();
    void probeThatWasMeasuringRaises();
    void lostLinkRaisesAfterItsTimeOnlyWhileWatched();
    void monitorKeepsAlarmsUntilAcknowledged();
    void episodesOfAStoredMeasurement();
    void settingsFileLimitsAreReadPastTheLogo();
    void programThatFailsOrHangsIsReported_data();
    void programThatFailsOrHangsIsReported();
    void programIsEndedWithWhatItStarted_data();
    void programIsEndedWithWhatItStarted();
    void valueBeyondItsLimitNeverReadsEqualToIt_data();
    void valueBeyondItsLimitNeverReadsEqualToIt();
};

namespace {

// T1 limits 100 (high) and 0 (low), hysteresis 0.5, no delay; T2 to T4 none.
AlarmSettings t1Limits(qint64 delayMs = 0)
{
    AlarmSettings s;
    s.channels[0] = {true, 100.0f, true, 0.0f};
    s.delayMs = delayMs;
    return s;
}

// Feeds T1 values (the other channels open) one second apart from t = 0;
// returns the changes as "+high", "-high", ...
QStringList play(AlarmRules &rules, const QVector<float> &t1, const QVector<quint8> &t1States = {})
{
    QStringList seen;
    std::vector<AlarmChange> changes;
    for (int i = 0; i < t1.size(); ++i) {
        const float values[kChannelCount] = {t1[i], 0, 0, 0};
        const quint8 states[kChannelCount] = {t1States.isEmpty() ? quint8(0) : t1States[i], 3, 3,
                                              3};
        rules.reading(values, states, i * 1000, &changes);
    }
    for (const AlarmChange &c : changes)
        seen << (c.raised ? QStringLiteral("+") : QStringLiteral("-")) +
                    alarmKindToken(c.alarm.kind);
    return seen;
}

// An executable shell script `body` in `dir`; its path.
QString writeScript(const QTemporaryDir &dir, const QByteArray &body)
{
    const QString path = dir.filePath(QStringLiteral("program"));
    QFile script(path);
    if (script.open(QIODevice::WriteOnly))
        script.write("#!/bin/sh\n" + body);
    script.close();
    script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
    return path;
}

_T_EE_TEST_DATA record(int second, float t1, quint8 t1State = 0)
{
    _T_EE_TEST_DATA r;
    r.year = 26;
    r.month = 12;
    r.day = 8;
    r.hour = 10;
    r.second = quint8(second);
    r.value[0] = t1;
    r.state[0] = t1State;
    r.state[1] = r.state[2] = r.state[3] = StateNoReading;
    return r;
}

} // namespace

void TestAlarm::limitRaisesOnceAndClearsPastTheHysteresis_data()
{
    QTest::addColumn<QVector<float>>("t1");
    QTest::addColumn<QStringList>("changes");
    QTest::newRow("noise at the high limit")
        << QVector<float>{99, 100.2f, 99.8f, 100.3f, 99.6f, 101, 99.4f, 99.7f}
        << QStringList{"+high", "-high"};
    QTest::newRow("noise at the low limit")
        << QVector<float>{1, -0.1f, 0.2f, -0.3f, 0.4f, 0.6f, 0.3f} << QStringList{"+low", "-low"};
    QTest::newRow("on the limit is inside") << QVector<float>{100, 0, 100} << QStringList{};
}

void TestAlarm::limitRaisesOnceAndClearsPastTheHysteresis()
{
    QFETCH(QVector<float>, t1);
    QFETCH(QStringList, changes);
    AlarmRules rules(t1Limits());
    QCOMPARE(play(rules, t1), changes);
}

void TestAlarm::delayNeedsTheConditionWithoutABreak()
{
    AlarmRules rules(t1Limits(3000));
    // Above for 2 s, a break, then above from t = 3 s: raised at t = 6 s.
    QCOMPARE(play(rules, {101, 101, 101, 99, 101, 101, 101}), QStringList{});
    std::vector<AlarmChange> changes;
    const float values[kChannelCount] = {101, 0, 0, 0};
    const quint8 states[kChannelCount] = {0, 3, 3, 3};
    rules.reading(values, states, 7000, &changes);
    QCOMPARE(int(changes.size()), 1);
    QCOMPARE(changes[0].alarm.sinceMs, 4000);
    QCOMPARE(changes[0].alarm.raisedMs, 7000);
}

void TestAlarm::probeThatWasMeasuringRaises_data()
{
    QTest::addColumn<quint8>("state");
    QTest::addColumn<QString>("kind");
    QTest::newRow("open") << quint8(StateNoReading) << "open";
    QTest::newRow("over range") << quint8(StateAboveRange) << "over-range";
    QTest::newRow("under range") << quint8(StateBelowRange) << "under-range";
}

void TestAlarm::probeThatWasMeasuringRaises()
{
    QFETCH(quint8, state);
    QFETCH(QString, kind);
    AlarmRules rules{AlarmSettings()};
    // T2 to T4 never measured: nothing of theirs.
    QCOMPARE(play(rules, {20, 20, 20, 20, 20}, {0, state, state, 0, state}),
             (QStringList{"+" + kind, "-" + kind, "+" + kind}));
}

void TestAlarm::lostLinkRaisesAfterItsTimeOnlyWhileWatched()
{
    AlarmSettings settings;
    settings.linkLostMs = 30000;
    AlarmRules rules(settings);
    std::vector<AlarmChange> changes;
    rules.setLinkUp(false, 0, &changes); // not watched: disconnected on purpose
    rules.tick(60000, &changes);
    QVERIFY(changes.empty());
    rules.setLinkUp(true, 60000, &changes);
    rules.setWatching(true, 60000, &changes);
    rules.setLinkUp(false, 61000, &changes);
    QCOMPARE(rules.nextLinkCheckMs(), 91000);
    rules.tick(90999, &changes);
    QVERIFY(changes.empty());
    rules.tick(91000, &changes);
    rules.tick(95000, &changes);
    rules.setLinkUp(true, 99000, &changes);
    QCOMPARE(int(changes.size()), 2);
    QCOMPARE(changes[0].alarm.kind, AlarmKind::LinkLost);
    QCOMPARE(changes[0].alarm.sinceMs, 61000);
    QVERIFY(changes[0].raised);
    QVERIFY(!changes[1].raised);
    QCOMPARE(changes[1].alarm.clearedMs, 99000);
}

void TestAlarm::monitorKeepsAlarmsUntilAcknowledged()
{
    AlarmMonitor monitor;
    qint64 now = 0;
    monitor.setClock([&now] { return now; });
    monitor.setSettings(t1Limits());
    QSignalSpy raised(&monitor, &AlarmMonitor::raised);
    QSignalSpy cleared(&monitor, &AlarmMonitor::cleared);
    _T_PRINT_OUT_DATA reading;
    reading.value[0] = 120;
    monitor.addReading(reading);
    monitor.addReading(reading);
    reading.value[0] = 20;
    now = 5000;
    monitor.addReading(reading);
    QCOMPARE(raised.size(), 1);
    QCOMPARE(cleared.size(), 1);
    QVERIFY(monitor.activeAlarms().isEmpty());
    const QVector<Alarm> shown = monitor.unacknowledgedAlarms();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown[0].clearedMs, 5000);
    monitor.acknowledge(shown[0].id);
    QVERIFY(monitor.unacknowledgedAlarms().isEmpty());
}

void TestAlarm::episodesOfAStoredMeasurement()
{
    const QVector<_T_EE_TEST_DATA> records{record(0, 50), record(1, 101), record(2, 104),
                                           record(3, 99), record(4, 20),  record(5, 0, 3),
                                           record(6, 105)};
    const QVector<AlarmEpisode> episodes = alarmEpisodes(records, t1Limits());
    QCOMPARE(episodes.size(), 3);
    QCOMPARE(episodes[0].kind, AlarmKind::High);
    QCOMPARE(episodes[0].from, dateTimeFromRecord(records[1]));
    QCOMPARE(episodes[0].to, dateTimeFromRecord(records[3]));
    QCOMPARE(episodes[0].extreme, 104.0f);
    QCOMPARE(episodes[1].kind, AlarmKind::Open);
    QCOMPARE(episodes[1].to, dateTimeFromRecord(records[6]));
    QCOMPARE(episodes[2].kind, AlarmKind::High);
    QVERIFY(!episodes[2].to.isValid());
}

void TestAlarm::settingsFileLimitsAreReadPastTheLogo()
{
    AppSettings app;
    app.logo = QImage(40, 30, QImage::Format_RGB32);
    app.logo.fill(Qt::red);
    app.highLimit = {{150, 100, 100, 100}};
    app.lowLimit = {{-20, 0, 0, 5}};
    app.limitEnabled = {{true, false, false, true}};
    const QByteArray file = encodeSettings(app);
    AlarmSettings alarms;
    QVERIFY(alarmLimitsFromSettingsFile(file, &alarms));
    QCOMPARE(alarms.channels[0].high, 150.0f);
    QCOMPARE(alarms.channels[0].low, -20.0f);
    QVERIFY(alarms.channels[0].hasHigh && alarms.channels[0].hasLow);
    QVERIFY(!alarms.channels[1].hasHigh && !alarms.channels[1].hasLow);
    QCOMPARE(alarms.channels[3].low, 5.0f);
    QVERIFY(!alarmLimitsFromSettingsFile(file.left(60), &alarms));
}

void TestAlarm::programThatFailsOrHangsIsReported_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("fails") << "/bin/false" << QStringList();
    QTest::newRow("hangs") << "/bin/sleep" << QStringList{"60"};
    QTest::newRow("missing") << "/nonexistent/notify" << QStringList();
}

void TestAlarm::programThatFailsOrHangsIsReported()
{
    QFETCH(QString, program);
    QFETCH(QStringList, arguments);
    // The runner passes no arguments; a script stands in for "sleep 60".
    QTemporaryDir dir;
    const QString path =
        arguments.isEmpty()
            ? program
            : writeScript(dir, "exec " + program.toUtf8() + ' ' + arguments.join(' ').toUtf8());
    AlarmProgramRunner runner(path);
    runner.setTimeoutMs(300);
    QSignalSpy problems(&runner, &AlarmProgramRunner::problem);
    QElapsedTimer timer;
    timer.start();
    runner.run(QProcessEnvironment::systemEnvironment());
    QVERIFY(timer.elapsed() < 200);
    QTRY_COMPARE(problems.size(), 1);
    QTRY_COMPARE(runner.runningCount(), 0);
    QVERIFY(problems.at(0).at(0).toString().contains(path));
}

namespace {
QStringList *g_warnings = nullptr;

// A zombie has ended; only its parent has not taken note yet.
bool processRuns(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    return line.mid(line.lastIndexOf(')') + 2, 1) != "Z";
}
} // namespace

void TestAlarm::programIsEndedWithWhatItStarted_data()
{
    QTest::addColumn<bool>("atTheEnd");
    QTest::newRow("time limit") << false;
    QTest::newRow("runner's end") << true;
}

// A script that started a program of its own and waits for it: ended at
// the time limit or at the runner's end, the program it started goes too,
// without Qt's warning about a process destroyed while running.
void TestAlarm::programIsEndedWithWhatItStarted()
{
    QFETCH(bool, atTheEnd);
    QTemporaryDir dir;
    const QString pidFile = dir.filePath(QStringLiteral("grandchild"));
    // The grandchild's pid appears whole: written aside, then renamed.
    const QByteArray quoted = '"' + pidFile.toUtf8();
    const QString path =
        writeScript(dir, "sh -c 'echo $$ > " + quoted + ".new\"; mv " + quoted + ".new\" " +
                             quoted + "\"; exec sleep 1000' &\nwait\n");
    QStringList warnings;
    g_warnings = &warnings;
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &text) {
            g_warnings->append(text);
        });
    const auto restore = qScopeGuard([previous] { qInstallMessageHandler(previous); });
    qint64 grandchild = 0;
    {
        AlarmProgramRunner runner(path);
        runner.setTimeoutMs(atTheEnd ? 60000 : 2000);
        runner.run(QProcessEnvironment::systemEnvironment());
        QTRY_VERIFY(QFile::exists(pidFile));
        QFile file(pidFile);
        QVERIFY(file.open(QIODevice::ReadOnly));
        grandchild = file.readAll().trimmed().toLongLong();
        QVERIFY(processRuns(grandchild));
        if (atTheEnd)
            runner.finish(100);
        else
            QTRY_VERIFY_WITH_TIMEOUT(!processRuns(grandchild), 10000);
    }
    QTRY_VERIFY_WITH_TIMEOUT(!processRuns(grandchild), 10000);
    QCOMPARE(warnings, QStringList());
}

void TestAlarm::valueBeyondItsLimitNeverReadsEqualToIt_data()
{
    QTest::addColumn<float>("value");
    QTest::addColumn<float>("limit");
    QTest::addColumn<QString>("valueText");
    QTest::addColumn<QString>("limitText");
    QTest::newRow("apart at one decimal") << 100.6f << 100.0f << "100.6"
                                          << "100.0";
    QTest::newRow("hundredths") << 100.04f << 100.0f << "100.04"
                                << "100.00";
    QTest::newRow("below") << -10.03f << -10.0f << "-10.03"
                           << "-10.00";
    // Shown without decimals elsewhere, a kiln's temperatures need one here.
    QTest::newRow("above 1000") << 1200.4f << 1200.0f << "1200.4"
                                << "1200.0";
}

// In the log's line, the alarm program's environment and the MQTT event alike.
void TestAlarm::valueBeyondItsLimitNeverReadsEqualToIt()
{
    QFETCH(float, value);
    QFETCH(float, limit);
    QFETCH(QString, valueText);
    QFETCH(QString, limitText);
    Alarm alarm;
    alarm.channel = 0;
    alarm.kind = value > limit ? AlarmKind::High : AlarmKind::Low;
    alarm.value = value;
    alarm.limit = limit;
    const QString symbol = QLatin1Char(' ') + unitSymbol(UnitCelsius);
    const QString line = AlarmText::raised(alarm, UnitCelsius);
    QVERIFY2(line.contains(valueText + symbol) && line.contains(limitText + symbol),
             qPrintable(line));
    const QProcessEnvironment env =
        alarmProgramEnvironment(alarm, true, UnitCelsius, QString(), QProcessEnvironment());
    QCOMPARE(env.value(QStringLiteral("KX740D_ALARM_VALUE")), valueText);
    QCOMPARE(env.value(QStringLiteral("KX740D_ALARM_LIMIT")), limitText);
    const QJsonObject event =
        QJsonDocument::fromJson(alarmEventPayload(alarm, true, UnitCelsius)).object();
    QCOMPARE(event.value(QStringLiteral("value")).toDouble(), valueText.toDouble());
    QCOMPARE(event.value(QStringLiteral("limit")).toDouble(), limitText.toDouble());
}

QTEST_GUILESS_MAIN(TestAlarm)
#include "tst_alarm.moc"
