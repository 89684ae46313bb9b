// The kx740d-record program against its built-in simulator: what reaches the
// data file when it is stopped, killed and started again, or cannot write.

#include "instrument/temperature.h"
#include "store/datafile.h"
#include "store/measurementgroups.h"
#include "store/recordingjournal.h"
#include "tests/mqtt/testbroker.h"

#include <algorithm>
#include <csignal>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QSet>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

class TestRecorderProgram : public QObject
{
    Q_OBJECT

private slots:
    void terminatedRunAppendsItsMeasurement_data();
    void terminatedRunAppendsItsMeasurement();
    void killedRunIsResumedWithEveryReadingOnce();
    void fullDiskCostsNothingAndIsRetried();
    void unwritableOutputStopsBeforeRecording_data();
    void unwritableOutputStopsBeforeRecording();
    void secondRecorderUnderAnotherNameIsRefused_data();
    void secondRecorderUnderAnotherNameIsRefused();
    void publishesEveryRecordedReading();
    void refusingBrokerLeavesTheRecordingAlone();
    void brokerOutageLosesNothingAcrossKillAndStop();
    void crossedLimitRaisesOneAlarmEverywhere();
    void serviceManagerHearsReadyPingsAndStopping();
    void alarmOfAnOutageReachesTheBrokerAfterAStop();
    void metricsPortInUseEndsTheRunBeforeRecording();
    void severalInstrumentsShareTheFileAndTheClock();
    void eachInstrumentPublishesUnderItsLabel();
};

namespace {

QString program()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/kx740d-record");
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QVector<_T_EE_TEST_DATA> journalRecords(const QString &out)
{
    return readJournalRecords(out + QStringLiteral(".journal"));
}

// Waits until the running program's journal holds `count` readings.
bool waitForJournal(const QString &out, int count)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 15000) {
        if (journalRecords(out).size() >= count)
            return true;
        QTest::qWait(100);
    }
    return false;
}

void startRecording(QProcess &process, const QString &out, const QStringList &more = {})
{
    process.start(program(), QStringList{QStringLiteral("--simulate"), QStringLiteral("--interval"),
                                         QStringLiteral("1s"), QStringLiteral("--out"), out,
                                         QStringLiteral("--name"), QStringLiteral("run")} +
                                 more);
    QVERIFY(process.waitForStarted());
}

Data_table_T readArchive(const QString &path)
{
    Data_table_T archive;
    if (!dataFileFromBytes(readAll(path), archive))
        archive.name = QStringLiteral("unreadable");
    return archive;
}

_T_EE_TEST_DATA record(int second, float t1)
{
    _T_EE_TEST_DATA r;
    r.year = 24;
    r.month = 3;
    r.day = 5;
    r.hour = 14;
    r.second = quint8(second);
    r.value[0] = t1;
    return r;
}

// A broker of its own and a subscriber that keeps its session there, so
// that what is published while it is away reaches it later.
bool startWithDurableSubscriber(TestBroker &broker, TestSubscriber &subscriber,
                                const QByteArray &topic, const QByteArray &clientId)
{
    return broker.start() && subscriber.start(broker.port(), topic, clientId) &&
           QTest::qWaitFor([&subscriber] { return subscriber.subscriptions() == 1; }, 20000);
}

} // namespace

void TestRecorderProgram::terminatedRunAppendsItsMeasurement_data()
{
    QTest::addColumn<int>("stopSignal");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    // A closed terminal or SSH session.
    QTest::newRow("SIGHUP") << int(SIGHUP);
}

void TestRecorderProgram::terminatedRunAppendsItsMeasurement()
{
    QFETCH(int, stopSignal);
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("oven.dat"));
    Data_table_T earlier = newArchive();
    earlier.append(newMeasurement({record(1, 20.5f), record(2, 21.5f)}, QStringLiteral("earlier")));
    {
        QFile file(out);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(dataFileToBytes(earlier));
    }

    QProcess recorder;
    startRecording(recorder, out);
    QVERIFY2(waitForJournal(out, 3), recorder.readAllStandardError().constData());
    ::kill(pid_t(recorder.processId()), stopSignal);
    QVERIFY(recorder.waitForFinished(10000));
    QCOMPARE(recorder.exitStatus(), QProcess::NormalExit);
    QCOMPARE(recorder.exitCode(), 0);

    const Data_table_T archive = readArchive(out);
    QCOMPARE(archive.lists.size(), 2);
    QCOMPARE(archive.lists[0]->name, QStringLiteral("earlier"));
    QCOMPARE(archive.lists[0]->records, earlier.lists[0]->records);
    QCOMPARE(archive.lists[1]->name, QStringLiteral("run"));
    QVERIFY(archive.lists[1]->records.size() >= 3);
    QVERIFY(!QFile::exists(out + QStringLiteral(".journal")));

    // The converter takes the file as it takes the window's.
    QProcess converter;
    const QString workbook = dir.filePath(QStringLiteral("oven.xlsx"));
    converter.start(QCoreApplication::applicationDirPath() + QStringLiteral("/kx740d-export"),
                    {QStringLiteral("--xlsx"), workbook, out});
    QVERIFY(converter.waitForFinished(60000));
    QCOMPARE(converter.exitCode(), 0);
    QVERIFY(QFileInfo(workbook).size() > 0);
}

// Killed twice and started again with the same command: one recording
// holding every reading the journal had at each kill, each once, in order.
void TestRecorderProgram::killedRunIsResumedWithEveryReadingOnce()
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("oven.dat"));
    QVector<_T_EE_TEST_DATA> seen;
    for (int run = 0; run < 2; ++run) {
        QProcess recorder;
        startRecording(recorder, out);
        QVERIFY(waitForJournal(out, seen.size() + 2));
        recorder.kill();
        QVERIFY(recorder.waitForFinished(5000));
        const QVector<_T_EE_TEST_DATA> journal = journalRecords(out);
        QCOMPARE(journal.mid(0, seen.size()), seen);
        seen = journal;
    }
    QProcess last;
    startRecording(last, out);
    QVERIFY(waitForJournal(out, seen.size() + 1));
    last.terminate();
    QVERIFY(last.waitForFinished(10000));
    QCOMPARE(last.exitCode(), 0);

    const Data_table_T archive = readArchive(out);
    QCOMPARE(archive.lists.size(), 1);
    const QVector<_T_EE_TEST_DATA> &records = archive.lists[0]->records;
    QCOMPARE(records.mid(0, seen.size()), seen);
    for (int i = 1; i < records.size(); ++i)
        QVERIFY(dateTimeFromRecord(records[i - 1]) < dateTimeFromRecord(records[i]));
    QCOMPARE(archive.lists[0]->created, dateTimeFromRecord(records.first()));
}

// A file system with room for the journal but not for the new data file:
// the old file stays as it was, the journal keeps the readings, the reason
// is the system's and the status is one the service retries. With room
// again, the next start writes the recording.
void TestRecorderProgram::fullDiskCostsNothingAndIsRetried()
{
    if (QProcess::execute(QStringLiteral("unshare"),
                          {QStringLiteral("-rm"), QStringLiteral("true")}) != 0)
        QSKIP("no private mount namespace for a small file system here");
    QTemporaryDir dir;
    const QString disk = dir.filePath(QStringLiteral("disk"));
    const QString saved = dir.filePath(QStringLiteral("saved"));
    QVERIFY(QDir().mkpath(disk) && QDir().mkpath(saved));
    Data_table_T earlier = newArchive();
    QVector<_T_EE_TEST_DATA> many;
    for (int i = 0; i < 800; ++i)
        many << record(i % 60, float(i));
    earlier.append(newMeasurement(many, QStringLiteral("earlier")));
    const QByteArray earlierBytes = dataFileToBytes(earlier);
    {
        QFile file(dir.filePath(QStringLiteral("oven.dat")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(earlierBytes);
    }
    // 96 KiB in all: the old file (29 KiB) and a filler leave room for the
    // journal and its lock but not for a second copy of the file.
    const QString script = QStringLiteral(
        "set -u; mount -t tmpfs -o size=96k none \"$DISK\" || exit 99; "
        "cp \"$DIR/oven.dat\" \"$DISK/\"; "
        "head -c 40960 /dev/zero > \"$DISK/filler\"; "
        "\"$PROG\" --simulate --interval 1s --duration 3s --quiet --out \"$DISK/oven.dat\"; "
        "echo \"first $?\"; cp \"$DISK/oven.dat\" \"$DISK/oven.dat.journal\" \"$SAVED/\"; "
        "rm \"$DISK/filler\"; "
        "\"$PROG\" --simulate --interval 1s --duration 1s --quiet --out \"$DISK/oven.dat\"; "
        "echo \"second $?\"; cp \"$DISK/oven.dat\" \"$DIR/after.dat\"; ls \"$DISK\"");
    QProcess shell;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISK"), disk);
    env.insert(QStringLiteral("DIR"), dir.path());
    env.insert(QStringLiteral("SAVED"), saved);
    env.insert(QStringLiteral("PROG"), program());
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    shell.setProcessEnvironment(env);
    shell.start(QStringLiteral("unshare"),
                {QStringLiteral("-rm"), QStringLiteral("sh"), QStringLiteral("-c"), script});
    QVERIFY(shell.waitForFinished(60000));
    const QString output = QString::fromUtf8(shell.readAllStandardOutput());
    const QString errors = QString::fromUtf8(shell.readAllStandardError());
    if (shell.exitCode() == 99)
        QSKIP("tmpfs cannot be mounted here");
    QVERIFY2(output.contains(QStringLiteral("first 1")), qPrintable(output + errors));
    QVERIFY2(errors.contains(QStringLiteral("No space left on device")), qPrintable(errors));
    QCOMPARE(readAll(saved + QStringLiteral("/oven.dat")), earlierBytes);
    QVERIFY(journalRecords(saved + QStringLiteral("/oven.dat")).size() >= 2);

    // Room again: the kept recording and the new one are both written.
    QVERIFY2(output.contains(QStringLiteral("second 0")), qPrintable(output + errors));

    const Data_table_T after = readArchive(dir.filePath(QStringLiteral("after.dat")));
    QCOMPARE(after.lists.size(), 3);
    QCOMPARE(after.lists[0]->records, many);
    QCOMPARE(after.lists[1]->records, journalRecords(saved + QStringLiteral("/oven.dat")));
    QVERIFY(!output.contains(QStringLiteral("oven.dat.journal")));

    // The service retries every status but a wrong command line.
    QFile unit(QString::fromUtf8(KX_SOURCE_DIR "/platform/kx740d-record@.service.in"));
    QVERIFY(unit.open(QIODevice::ReadOnly));
    const QByteArray text = unit.readAll();
    const int at = text.indexOf("RestartPreventExitStatus=");
    QVERIFY(at >= 0);
    const QByteArray statuses = text.mid(at, text.indexOf('\n', at) - at);
    QVERIFY2(!statuses.split('=').last().split(' ').contains("1"), statuses.constData());
}

void TestRecorderProgram::unwritableOutputStopsBeforeRecording_data()
{
    QTest::addColumn<QString>("out");
    QTest::addColumn<QByteArray>("existing");
    QTest::newRow("missing folder") << QStringLiteral("nowhere/oven.dat") << QByteArray();
    QTest::newRow("folder is a file") << QStringLiteral("plain/oven.dat") << QByteArray();
    QTest::newRow("not a data file") << QStringLiteral("oven.dat") << QByteArray("not a data file");
    // Not "being recorded by another recorder".
    QTest::newRow("lock cannot be made") << QStringLiteral("locked/oven.dat") << QByteArray();
}

void TestRecorderProgram::unwritableOutputStopsBeforeRecording()
{
    QFETCH(QString, out);
    QFETCH(QByteArray, existing);
    QTemporaryDir dir;
    {
        QFile plain(dir.filePath(QStringLiteral("plain")));
        QVERIFY(plain.open(QIODevice::WriteOnly));
    }
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("locked/oven.dat.journal.lock")));
    const QString path = dir.filePath(out);
    if (!existing.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(existing);
    }

    QProcess recorder;
    startRecording(recorder, path);
    QVERIFY(recorder.waitForFinished(5000));
    QCOMPARE(recorder.exitCode(), 4);
    QVERIFY(!recorder.readAllStandardError().trimmed().isEmpty());
    QVERIFY(recorder.readAllStandardOutput().isEmpty());
    QVERIFY(!QFile::exists(path + QStringLiteral(".journal")));
    if (!existing.isEmpty())
        QCOMPARE(readAll(path), existing);
}

void TestRecorderProgram::secondRecorderUnderAnotherNameIsRefused_data()
{
    QTest::addColumn<bool>("hardLink");
    QTest::newRow("symbolic link") << false;
    QTest::newRow("hard link") << true;
}

// Refused before it records, naming the first; the first's measurement is
// written whole.
void TestRecorderProgram::secondRecorderUnderAnotherNameIsRefused()
{
    QFETCH(bool, hardLink);
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("oven.dat"));
    const QString alias = dir.filePath(QStringLiteral("alias.dat"));
    {
        QFile file(out);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(dataFileToBytes(newArchive()));
    }
    QCOMPARE(hardLink
                 ? ::link(QFile::encodeName(out).constData(), QFile::encodeName(alias).constData())
                 : ::symlink("oven.dat", QFile::encodeName(alias).constData()),
             0);
    QProcess first;
    startRecording(first, out);
    QVERIFY2(waitForJournal(out, 2), first.readAllStandardError().constData());
    QProcess second;
    startRecording(second, alias);
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitCode(), 1);
    const QByteArray refusal = second.readAllStandardError();
    QVERIFY2(refusal.contains(QByteArray::number(first.processId())), refusal.constData());
    QVERIFY(!QFile::exists(alias + QStringLiteral(".journal")));

    first.terminate();
    QVERIFY(first.waitForFinished(10000));
    QCOMPARE(first.exitCode(), 0);
    const Data_table_T archive = readArchive(out);
    QCOMPARE(archive.lists.size(), 1);
    QVERIFY(archive.lists[0]->records.size() >= 2);
}

// What the broker passed on of a terminated run: one message per recorded
// reading, numbered from 1 in the order recorded, the last ones delivered
// before the program exits, which keeps that the broker has them all.
void TestRecorderProgram::publishesEveryRecordedReading()
{
    REQUIRE_BROKER();
    TestBroker broker;
    QVERIFY2(broker.start(), qPrintable(broker.error()));
    TestSubscriber subscriber;
    QVERIFY(subscriber.start(broker.port(), "kx740d/#"));
    QTRY_COMPARE(subscriber.subscriptions(), 1);

    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("oven.dat"));
    QProcess recorder;
    startRecording(recorder, out, {QStringLiteral("--mqtt"), broker.url()});
    QVERIFY2(waitForJournal(out, 3), recorder.readAllStandardError().constData());
    recorder.terminate();
    QVERIFY(recorder.waitForFinished(10000));
    QCOMPARE(recorder.exitCode(), 0);

    const Data_table_T archive = readArchive(out);
    QCOMPARE(archive.lists.size(), 1);
    const int recorded = archive.lists[0]->records.size();
    QCOMPARE(readAll(out + QStringLiteral(".mqtt")).simplified().split(' ').value(1).toInt(),
             recorded);
    QVERIFY(QDir(dir.path()).entryList({QStringLiteral("*.outbox")}).isEmpty());
    // The broker passes them on a moment after it has taken them.
    QTRY_COMPARE(subscriber.payloads("kx740d/KX740D/record").size(), recorded);
    const QVector<QByteArray> payloads = subscriber.payloads("kx740d/KX740D/record");
    for (int i = 0; i < payloads.size(); ++i) {
        const QJsonObject o = QJsonDocument::fromJson(payloads[i]).object();
        QCOMPARE(o.value(QStringLiteral("seq")).toInt(), i + 1);
        QCOMPARE(QDateTime::fromString(o.value(QStringLiteral("time")).toString(), Qt::ISODate),
                 dateTimeFromRecord(archive.lists[0]->records[i]));
    }
    QVERIFY(!subscriber.payloads("kx740d/KX740D/live").isEmpty());
    QTRY_COMPARE(subscriber.payloads("kx740d/KX740D/status").value(1), QByteArray("offline"));
}

void TestRecorderProgram::refusingBrokerLeavesTheRecordingAlone()
{
    REQUIRE_BROKER();
    TestBroker broker;
    TestBroker::Options options;
    options.user = QStringLiteral("logger");
    options.password = QStringLiteral("right");
    QVERIFY2(broker.start(options), qPrintable(broker.error()));

    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("oven.dat"));
    QProcess recorder;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KX740D_MQTT_PASSWORD"), QStringLiteral("wrong-secret"));
    recorder.setProcessEnvironment(env);
    startRecording(recorder, out,
                   {QStringLiteral("--mqtt"), broker.url(), QStringLiteral("--mqtt-user"),
                    QStringLiteral("logger")});
    // (stderr is read only at the end: it holds what is checked)
    QVERIFY(waitForJournal(out, 3));
    recorder.terminate();
    QVERIFY(recorder.waitForFinished(10000));
    QCOMPARE(recorder.exitCode(), 0);
    const QString err = QString::fromUtf8(recorder.readAllStandardError());
    const QString all = err + QString::fromUtf8(recorder.readAllStandardOutput());
    QCOMPARE(err.count(QStringLiteral("MQTT")), 1);
    QVERIFY(!all.contains(QStringLiteral("wrong-secret")));
    QVERIFY(readArchive(out).lists.value(0)->records.size() >= 3);
}

// The broker goes away; the recorder is killed, started again, stopped
// while the broker is still away, and started once more after it is back.
// The broker ends up with every recorded reading of the data file, under
// its recording's id and number, once each after dropping repeats.
void TestRecorderProgram::brokerOutageLosesNothingAcrossKillAndStop()
{
    REQUIRE_BROKER();
    TestBroker broker;
    TestSubscriber subscriber;
    QVERIFY2(startWithDurableSubscriber(broker, subscriber, "kx740d/+/record", "outage-subscriber"),
             qPrintable(broker.error()));

    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("oven.dat"));
    const QStringList mqtt{QStringLiteral("--mqtt"), broker.url()};
    {
        QProcess first;
        startRecording(first, out, mqtt);
        QVERIFY(waitForJournal(out, 2));
        broker.stop();
        QVERIFY(waitForJournal(out, 5));
        first.kill();
        QVERIFY(first.waitForFinished(5000));
    }
    {
        // Goes on with the same recording, broker still away; stopped, and
        // killed a second later should it still wait for the broker.
        QProcess second;
        startRecording(second, out, mqtt);
        QVERIFY(waitForJournal(out, journalRecords(out).size() + 2));
        second.terminate();
        if (!second.waitForFinished(1000))
            second.kill();
        QVERIFY(second.waitForFinished(15000));
    }
    QVERIFY(broker.restart());
    {
        // The journal left by the kill is taken up first: wait for the new one.
        QProcess third;
        startRecording(third, out, mqtt);
        QByteArray said;
        QTRY_VERIFY_WITH_TIMEOUT((said += third.readAllStandardOutput()).contains("Recording:") ||
                                     third.state() != QProcess::Running,
                                 15000);
        QVERIFY(waitForJournal(out, 2));
        third.terminate();
        QVERIFY(third.waitForFinished(15000));
        QCOMPARE(third.exitCode(), 0);
    }

    const Data_table_T archive = readArchive(out);
    QCOMPARE(archive.lists.size(), 2);
    // Each recording's numbers, without repeats, as the subscriber has them
    // so far: it gets the last ones a moment after the program ended.
    const auto received = [&subscriber] {
        QMap<QString, QSet<int>> seqs;
        for (const QByteArray &payload : subscriber.payloads("kx740d/KX740D/record")) {
            const QJsonObject o = QJsonDocument::fromJson(payload).object();
            seqs[o.value(QStringLiteral("recording_id")).toString()].insert(
                o.value(QStringLiteral("seq")).toInt());
        }
        QMultiMap<int, int> sizes; // size -> highest number
        for (const QSet<int> &s : seqs)
            sizes.insert(s.size(), *std::max_element(s.begin(), s.end()));
        return sizes;
    };
    const int a = archive.lists[0]->records.size();
    const int b = archive.lists[1]->records.size();
    QTRY_COMPARE(received(), (QMultiMap<int, int>{{a, a}, {b, b}}));
    QVERIFY(QDir(dir.path()).entryList({QStringLiteral("*.outbox")}).isEmpty());
}

// A high limit below the simulator's T1 (about 23 °C) with a delay: one
// alarm, raised once the delay is over, on the log, to the program with its
// environment, retained on MQTT with one event.
void TestRecorderProgram::crossedLimitRaisesOneAlarmEverywhere()
{
    REQUIRE_BROKER();
    TestBroker broker;
    QVERIFY2(broker.start(), qPrintable(broker.error()));
    TestSubscriber subscriber;
    QVERIFY(subscriber.startAndWait(broker.port(), "kx740d/KX740D/alarm/#"));
    QTemporaryDir dir;
    const QString envFile = dir.filePath(QStringLiteral("env.txt"));
    const QString hook = dir.filePath(QStringLiteral("hook"));
    QFile script(hook);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nenv | grep ^KX740D_ > \"" + envFile.toUtf8() + "\"\n");
    script.close();
    script.setPermissions(script.permissions() | QFileDevice::ExeOwner);

    const QString out = dir.filePath(QStringLiteral("oven.dat"));
    QProcess recorder;
    startRecording(recorder, out,
                   {QStringLiteral("--high"), QStringLiteral("T1=0"),
                    QStringLiteral("--alarm-delay"), QStringLiteral("2s"),
                    QStringLiteral("--on-alarm"), hook, QStringLiteral("--mqtt"), broker.url()});
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(envFile), 15000);
    QTest::qWait(1500); // a second alarm would come with the next readings
    recorder.terminate();
    QVERIFY(recorder.waitForFinished(10000));
    QCOMPARE(recorder.exitCode(), 0);

    QMap<QString, QString> env;
    for (const QByteArray &line : readAll(envFile).split('\n')) {
        const int eq = line.indexOf('=');
        if (eq > 0)
            env.insert(QString::fromUtf8(line.left(eq)), QString::fromUtf8(line.mid(eq + 1)));
    }
    QCOMPARE(env.value("KX740D_ALARM_EVENT"), QStringLiteral("raised"));
    QCOMPARE(env.value("KX740D_ALARM_CHANNEL"), QStringLiteral("T1"));
    QCOMPARE(env.value("KX740D_ALARM_KIND"), QStringLiteral("high"));
    QCOMPARE(env.value("KX740D_ALARM_LIMIT"), QStringLiteral("0.0"));
    QCOMPARE(env.value("KX740D_ALARM_UNIT"), QStringLiteral("°C"));
    QCOMPARE(env.value("KX740D_INSTRUMENT"), QStringLiteral("KX740D"));
    QVERIFY(env.value("KX740D_ALARM_VALUE").toDouble() > 10);
    const QDateTime since = QDateTime::fromString(env.value("KX740D_ALARM_SINCE"), Qt::ISODate);
    const QDateTime raised = QDateTime::fromString(env.value("KX740D_ALARM_TIME"), Qt::ISODate);
    QVERIFY(since.isValid());
    QVERIFY(since.secsTo(raised) >= 2);

    QTRY_COMPARE(subscriber.payloads("kx740d/KX740D/alarm/event").size(), 1);
    TestSubscriber late;
    QVERIFY(late.startAndWait(broker.port(), "kx740d/KX740D/alarm"));
    QTRY_COMPARE(late.count(), 1);
    const QJsonArray active = QJsonDocument::fromJson(late.messages().first().payload).array();
    QCOMPARE(active.size(), 1);
    QCOMPARE(active[0].toObject().value("kind").toString(), QStringLiteral("high"));
}

// systemd's side of Type=notify: a datagram socket named in NOTIFY_SOCKET.
// Ready once recording, a watchdog ping with the seconds of the recording,
// stopping at SIGTERM, in that order.
void TestRecorderProgram::serviceManagerHearsReadyPingsAndStopping()
{
    QTemporaryDir dir;
    const QString socketPath = dir.filePath(QStringLiteral("notify"));
    const int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    QVERIFY(fd >= 0);
    const auto closeSocket = qScopeGuard([fd] { ::close(fd); });
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(socketPath);
    QVERIFY(size_t(name.size()) < sizeof address.sun_path);
    std::copy(name.begin(), name.end(), address.sun_path);
    QVERIFY(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0);
    QStringList heard; // the first of each, in the order they came
    const auto listen = [&] {
        char buffer[4096];
        ssize_t n;
        while ((n = ::recv(fd, buffer, sizeof buffer, 0)) > 0) {
            for (const QString &line : QString::fromUtf8(buffer, int(n)).split(QLatin1Char('\n'))) {
                if (!line.startsWith(QLatin1String("STATUS=")) && !heard.contains(line))
                    heard << line;
            }
        }
        return heard;
    };

    QProcess recorder;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("NOTIFY_SOCKET"), socketPath);
    recorder.setProcessEnvironment(env);
    startRecording(recorder, dir.filePath(QStringLiteral("oven.dat")));
    QTRY_VERIFY_WITH_TIMEOUT(listen().contains(QStringLiteral("WATCHDOG=1")), 15000);
    recorder.terminate();
    QVERIFY(recorder.waitForFinished(10000));
    QCOMPARE(recorder.exitCode(), 0);
    QCOMPARE(listen(), (QStringList{"READY=1", "WATCHDOG=1", "STOPPING=1"}));
}

// An alarm raised while the broker is away, the recorder stopped before it
// is back: the same command, started again once the broker is back, gives
// the event to a subscriber that was away too, and keeps nothing after.
void TestRecorderProgram::alarmOfAnOutageReachesTheBrokerAfterAStop()
{
    REQUIRE_BROKER();
    TestBroker broker;
    TestSubscriber subscriber;
    QVERIFY2(
        startWithDurableSubscriber(broker, subscriber, "kx740d/+/alarm/event", "event-subscriber"),
        qPrintable(broker.error()));
    broker.stop();

    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("oven.dat"));
    const QString events = out + QStringLiteral(".events");
    const QStringList more{QStringLiteral("--high"), QStringLiteral("T1=0"),
                           QStringLiteral("--mqtt"), broker.url()};
    QProcess first;
    startRecording(first, out, more);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(events), 15000);
    const QDateTime stopped = QDateTime::currentDateTime();
    first.terminate();
    QVERIFY(first.waitForFinished(15000));
    QCOMPARE(first.exitCode(), 0);
    QVERIFY(first.readAllStandardOutput().contains("alarm event"));

    QVERIFY2(broker.restart(), qPrintable(broker.error()));
    QProcess second;
    startRecording(second, out, more);
    const auto raisedBefore = [&subscriber, &stopped] {
        for (const QByteArray &p : subscriber.payloads("kx740d/KX740D/alarm/event")) {
            const QJsonObject o = QJsonDocument::fromJson(p).object();
            if (QDateTime::fromString(o.value(QStringLiteral("time")).toString(), Qt::ISODate) <
                stopped)
                return o.value(QStringLiteral("event")).toString();
        }
        return QString();
    };
    QTRY_COMPARE_WITH_TIMEOUT(raisedBefore(), QStringLiteral("raised"), 20000);
    // The broker's acknowledgement may come after the subscriber has the
    // event: the file goes once it has come.
    QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(events), 20000);
    second.terminate();
    QVERIFY(second.waitForFinished(15000));
    QCOMPARE(second.exitCode(), 0);
}

// Another program has the port: a status the service retries, a message
// naming the port, and nothing recorded.
void TestRecorderProgram::metricsPortInUseEndsTheRunBeforeRecording()
{
    QTcpServer other;
    QVERIFY(other.listen(QHostAddress::LocalHost, 0));
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("oven.dat"));
    QProcess recorder;
    startRecording(recorder, out,
                   {QStringLiteral("--metrics"), QString::number(other.serverPort())});
    QVERIFY(recorder.waitForFinished(10000));
    QCOMPARE(recorder.exitCode(), int(1));
    const QString errors = QString::fromUtf8(recorder.readAllStandardError());
    QVERIFY2(errors.contains(QString::number(other.serverPort())), qPrintable(errors));
    QVERIFY(!QFile::exists(out + QStringLiteral(".journal")));
}

// Three simulators on one recorder, killed once and started again, the
// third one's cable pulled for two seconds: one measurement per instrument,
// named after the recording and the label, one after the other; the
// readings of one second carry the same time on every instrument; the other
// two lose nothing to the pulled cable and the third goes on after it.
void TestRecorderProgram::severalInstrumentsShareTheFileAndTheClock()
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("survey.dat"));
    const QStringList labels{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
    std::vector<std::unique_ptr<QProcess>> simulators;
    // c's cable is pulled 9 s after this and back 2 s later.
    const QDateTime simulatorsStarted = QDateTime::currentDateTime();
    QStringList args{QStringLiteral("--interval"), QStringLiteral("1s"),
                     QStringLiteral("--name"),     QStringLiteral("survey"),
                     QStringLiteral("--out"),      out};
    for (const QString &label : labels) {
        const QString link = dir.filePath(QStringLiteral("sim-") + label);
        QStringList simArgs{QStringLiteral("--records"), QStringLiteral("0"),
                            QStringLiteral("--link"),    link,
                            QStringLiteral("--name"),    QStringLiteral("OVEN-") + label};
        if (label == QLatin1String("c"))
            simArgs << QStringLiteral("--disconnect-after") << QStringLiteral("9")
                    << QStringLiteral("--reopen-after") << QStringLiteral("2");
        simulators.push_back(std::make_unique<QProcess>());
        simulators.back()->start(
            QCoreApplication::applicationDirPath() + QStringLiteral("/kx740d-sim"), simArgs);
        QVERIFY(simulators.back()->waitForStarted());
        QVERIFY(QTest::qWaitFor([&link] { return QFileInfo::exists(link); }, 10000));
        args << QStringLiteral("--port") << label + QLatin1Char('=') + link;
    }
    const auto journal = [&out](const QString &label) {
        return readJournalRecords(out + QLatin1Char('.') + label + QStringLiteral(".journal"));
    };
    QProcess first;
    first.start(program(), args);
    QVERIFY(QTest::qWaitFor([&] { return journal(QStringLiteral("c")).size() >= 2; }, 20000));
    first.kill();
    QVERIFY(first.waitForFinished(5000));
    const QDateTime restarted = QDateTime::currentDateTime();
    QProcess second;
    second.start(program(), args);
    // Past the pulled cable and back.
    QVERIFY(QTest::qWaitFor(
        [&] {
            const auto c = journal(QStringLiteral("c"));
            return !c.isEmpty() && dateTimeFromRecord(c.last()) > simulatorsStarted.addSecs(15);
        },
        40000));
    second.terminate();
    QVERIFY(second.waitForFinished(15000));
    QCOMPARE(second.exitCode(), 0);

    const Data_table_T archive = readArchive(out);
    QCOMPARE(archive.lists.size(), 3);
    QVector<QVector<QDateTime>> times;
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(archive.lists[i]->name,
                 instrumentMeasurementName(QStringLiteral("survey"), labels[i]));
        QVector<QDateTime> t;
        for (const _T_EE_TEST_DATA &r : archive.lists[i]->records)
            t << dateTimeFromRecord(r);
        // The kill lost nothing already in the journal: one recording.
        QVERIFY(t.first() < restarted);
        times << t;
    }
    QCOMPARE(measurementGroups(archive).size(), 1);
    // a and b: the same seconds, every second but the restart's.
    const auto gaps = [](const QVector<QDateTime> &t, qint64 longerThan) {
        int n = 0;
        for (int i = 1; i < t.size(); ++i)
            n += t[i - 1].secsTo(t[i]) > longerThan;
        return n;
    };
    QVERIFY2(gaps(times[0], 1) <= 1, qPrintable(QString::number(gaps(times[0], 1))));
    QVERIFY2(gaps(times[1], 1) <= 1, qPrintable(QString::number(gaps(times[1], 1))));
    const QSet<QDateTime> a(times[0].cbegin(), times[0].cend());
    const QSet<QDateTime> b(times[1].cbegin(), times[1].cend());
    QVERIFY2((a & b).size() >= qMin(a.size(), b.size()) - 2,
             qPrintable(QStringLiteral("%1 of %2").arg((a & b).size()).arg(a.size())));
    // c: the same clock, a gap of its own after the restart, and readings
    // after it.
    const QSet<QDateTime> c(times[2].cbegin(), times[2].cend());
    QVERIFY((c & a).size() >= c.size() - 2);
    const auto resumedAt = std::find_if(times[2].cbegin(), times[2].cend(),
                                        [&](const QDateTime &t) { return t > restarted; });
    QVERIFY(gaps(QVector<QDateTime>(resumedAt, times[2].cend()), 1) >= 1);
    QVERIFY(times[2].last().secsTo(times[0].last()) <= 2);
    for (auto &simulator : simulators) {
        simulator->terminate();
        QVERIFY(simulator->waitForFinished(5000));
    }
}

// Two simulated instruments (--simulate given twice): each one's readings
// under <prefix>/<label>, and a Home Assistant device of its own.
void TestRecorderProgram::eachInstrumentPublishesUnderItsLabel()
{
    REQUIRE_BROKER();
    TestBroker broker;
    QVERIFY2(broker.start(), qPrintable(broker.error()));
    TestSubscriber readings;
    TestSubscriber discovery;
    QVERIFY(readings.start(broker.port(), "kx740d/#"));
    QVERIFY(discovery.start(broker.port(), "homeassistant/sensor/#"));
    QTRY_COMPARE(readings.subscriptions() + discovery.subscriptions(), 2);

    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("oven.dat"));
    QProcess recorder;
    startRecording(recorder, out,
                   {QStringLiteral("--simulate"), QStringLiteral("--mqtt"), broker.url(),
                    QStringLiteral("--mqtt-discovery")});
    QVERIFY(QTest::qWaitFor(
        [&out] { return readJournalRecords(out + QStringLiteral(".sim2.journal")).size() >= 2; },
        20000));
    recorder.terminate();
    QVERIFY(recorder.waitForFinished(10000));
    QCOMPARE(recorder.exitCode(), 0);

    const Data_table_T archive = readArchive(out);
    QCOMPARE(archive.lists.size(), 2);
    for (int i = 0; i < 2; ++i) {
        const QByteArray prefix = "kx740d/KX740D/sim" + QByteArray::number(i + 1);
        QTRY_COMPARE(readings.payloads(prefix + "/record").size(),
                     archive.lists[i]->records.size());
        // The device's id is the prefix with '_' for '/'.
        const QByteArray id = QByteArray(prefix).replace('/', '_');
        QTRY_VERIFY(!discovery.payloads("homeassistant/sensor/" + id + "_t1/config").isEmpty());
    }
}

QTEST_GUILESS_MAIN(TestRecorderProgram)
#include "tst_recorderprogram.moc"
