// The kx740d-sim program: its command line, and the program itself serving
// a port until it is told to stop.

#include "instrument/commands.h"
#include "portclient.h"
#include "sim/simulatoroptions.h"

#include <QProcess>
#include <QtTest>

#include <csignal>

class TestSimulatorProgram : public QObject
{
    Q_OBJECT

private slots:
    void defaults();
    void everyOption();
    void rejectedValues_data();
    void rejectedValues();
    void help();
    void programServesUntilTerminated();
    void programRejectsBadArguments();
};

namespace {

SimulatorCommandLine::Result parse(QStringList args, SimulatorOptions *o, QString *message)
{
    args.prepend(QStringLiteral("kx740d-sim"));
    return SimulatorCommandLine::parse(args, o, message);
}

} // namespace

void TestSimulatorProgram::defaults()
{
    SimulatorOptions o;
    QString message;
    QCOMPARE(parse({}, &o, &message), SimulatorCommandLine::Ok);
    QCOMPARE(o.storedRecords, 3000);
    QCOMPARE(o.liveRate, 2.0);
    QVERIFY(o.paced);
    QCOMPARE(o.bytesPerSecond, 11520); // 115200 baud, ten bits a byte
    QVERIFY(!o.bluetoothOn);
    QVERIFY(!o.allChannelsConnected);
    QCOMPARE(o.corruptFrameRate, 0.0);
    QCOMPARE(o.noiseRate, 0.0);
    QCOMPARE(o.badRecordRate, 0.0);
    QCOMPARE(o.disconnectAfterMs, -1);
    QCOMPARE(o.reopenAfterMs, -1);
    QCOMPARE(o.deviceName, QByteArray("KX740D"));
}

void TestSimulatorProgram::everyOption()
{
    SimulatorOptions o;
    QString message;
    QCOMPARE(parse({"--records",
                    "80000",
                    "--live-rate",
                    "10",
                    "--fast",
                    "--baud",
                    "9600",
                    "--bluetooth",
                    "--all-channels",
                    "--corrupt-rate",
                    "0.1",
                    "--noise-rate",
                    "0.25",
                    "--bad-record-rate",
                    "1",
                    "--disconnect-after",
                    "2.5",
                    "--reopen-after",
                    "0",
                    "--erase-delay",
                    "50",
                    "--status-interval",
                    "0",
                    "--seed",
                    "42",
                    "--link",
                    "/tmp/kx740d"},
                   &o, &message),
             SimulatorCommandLine::Ok);
    QCOMPARE(o.storedRecords, 80000);
    QCOMPARE(o.liveRate, 10.0);
    QVERIFY(!o.paced);
    QCOMPARE(o.bytesPerSecond, 960);
    QVERIFY(o.bluetoothOn);
    QVERIFY(o.allChannelsConnected);
    QCOMPARE(o.corruptFrameRate, 0.1);
    QCOMPARE(o.noiseRate, 0.25);
    QCOMPARE(o.badRecordRate, 1.0);
    QCOMPARE(o.disconnectAfterMs, 2500);
    QCOMPARE(o.reopenAfterMs, 0);
    QCOMPARE(o.eraseDelayMs, 50);
    QCOMPARE(o.statusIntervalMs, 0);
    QCOMPARE(o.seed, 42u);
    QCOMPARE(o.linkPath, QStringLiteral("/tmp/kx740d"));
}

void TestSimulatorProgram::rejectedValues_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("records above the store") << QStringList{"--records", "80001"};
    QTest::newRow("negative records") << QStringList{"--records", "-1"};
    QTest::newRow("records not a number") << QStringList{"--records", "many"};
    QTest::newRow("negative rate") << QStringList{"--live-rate", "-2"};
    QTest::newRow("corrupt rate above 1") << QStringList{"--corrupt-rate", "1.5"};
    QTest::newRow("noise rate nan") << QStringList{"--noise-rate", "nan"};
    QTest::newRow("negative disconnect") << QStringList{"--disconnect-after", "-1"};
    QTest::newRow("unknown option") << QStringList{"--slow"};
    QTest::newRow("missing value") << QStringList{"--records"};
    QTest::newRow("positional") << QStringList{"/dev/ttyUSB0"};
    QTest::newRow("empty name") << QStringList{"--name", ""};
    QTest::newRow("name over 20 bytes") << QStringList{"--name", "炉子炉子炉子炉"};
}

void TestSimulatorProgram::rejectedValues()
{
    QFETCH(QStringList, args);
    SimulatorOptions o;
    o.storedRecords = 123;
    QString message;
    QCOMPARE(parse(args, &o, &message), SimulatorCommandLine::Error);
    QVERIFY(!message.isEmpty());
    QCOMPARE(o.storedRecords, 123); // nothing applied
}

void TestSimulatorProgram::help()
{
    SimulatorOptions o;
    QString message;
    QCOMPARE(parse({"--help"}, &o, &message), SimulatorCommandLine::HelpShown);
    QVERIFY(message.contains(QStringLiteral("--fast")));
    QVERIFY(message.contains(QStringLiteral("--disconnect-after")));
}

namespace {

QString programPath()
{
    return QCoreApplication::applicationDirPath() + QStringLiteral("/kx740d-sim");
}

} // namespace

void TestSimulatorProgram::programServesUntilTerminated()
{
    QProcess program;
    program.start(programPath(), {"--live-rate", "0", "--records", "80000", "--name", "OVEN-3"});
    QVERIFY(program.waitForStarted());
    QTRY_VERIFY(program.canReadLine());
    const QString path = QString::fromLocal8Bit(program.readLine()).trimmed();
    QVERIFY2(path.startsWith(QStringLiteral("/dev/")), qPrintable(path));

    PortClient port;
    QVERIFY(port.open(path));
    port.sendFrame(cmdDeviceInfoQuery());
    port.sendFrame(cmdStoredCountQuery());
    const QList<QByteArray> got =
        port.collect(3000, [](const QList<QByteArray> &p) { return p.size() >= 2; });
    QCOMPARE(got, (QList<QByteArray>{ansDeviceInfo("OVEN-3", 1, 5), ansStoredCount(80000)}));

    ::kill(pid_t(program.processId()), SIGTERM);
    QVERIFY(program.waitForFinished(3000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    // Its side of the port is gone with it.
    port.collect(500);
    QVERIFY(port.hungUp());
}

void TestSimulatorProgram::programRejectsBadArguments()
{
    QProcess program;
    program.start(programPath(), {"--records", "80001"});
    QVERIFY(program.waitForFinished(3000));
    QCOMPARE(program.exitCode(), 2);
    QVERIFY(program.readAllStandardOutput().isEmpty()); // no port was opened
    QVERIFY(!program.readAllStandardError().isEmpty());
}

QTEST_GUILESS_MAIN(TestSimulatorProgram)
#include "tst_simulatorprogram.moc"
