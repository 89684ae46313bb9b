// A recording survives the program being killed: a child process records
// from the simulated instrument and is killed with SIGKILL; the next start in
// the same folder brings the recording back as "auto_backup".
#include "app/instrumentpage.h"
#include "app/mainwindow.h"
#include "app/userdialogs.h"
#include "resources/initresources.h"
#include "sim/instrumentsimulator.h"
#include "store/data_list_t.h"
#include "store/datafile.h"
#include "store/recordingjournal.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <csignal>
#include <cstdio>

namespace {

const char kChildOption[] = "--record-child";

int recordsInBackup()
{
    return readJournalRecords(QStringLiteral("auto_backup.bak")).size();
}

// Connects to a simulator, starts a recording and reports, once a second, how
// many readings the backup file holds, until it is killed.
int runRecordingChild(const QString &dir)
{
    QDir::setCurrent(dir);
    UserDialogs::setResponder([](const DialogRequest &) { return DialogAnswer(); });
    SimulatorOptions options;
    options.paced = false;
    options.liveRate = 4;
    InstrumentSimulator simulator(options);
    if (!simulator.start())
        return 2;
    const QString port = simulator.portPath();
    MainWindow::setPortSource([port] { return QStringList{port}; });
    MainWindow w;
    w.instrumentPage()->connectToFirstPort();
    if (!QTest::qWaitFor([&] { return !w.device().deviceName().isEmpty(); }, 5000))
        return 3;
    w.form()->pb_start->click();
    QTimer report;
    QObject::connect(&report, &QTimer::timeout, [] {
        std::printf("backup %d\n", recordsInBackup());
        std::fflush(stdout);
    });
    report.start(250);
    return qApp->exec();
}

} // namespace

class TestCrashRecovery : public QObject
{
    Q_OBJECT

private slots:
    void killedRecordingComesBack()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {QString::fromLatin1(kChildOption), dir.path()});
        QVERIFY(child.waitForStarted());
        int lastReported = 0;
        QVERIFY(QTest::qWaitFor(
            [&] {
                while (child.canReadLine()) {
                    const QByteArray line = child.readLine().trimmed();
                    if (line.startsWith("backup "))
                        lastReported = line.mid(7).toInt();
                }
                return lastReported >= 3;
            },
            20000));
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished());

        QVERIFY(QDir::setCurrent(dir.path()));
        const int inBackup = recordsInBackup();
        QVERIFY(inBackup >= lastReported);
        UserDialogs::setResponder([](const DialogRequest &) { return DialogAnswer(); });
        MainWindow::setPortSource([] { return QStringList(); });
        MainWindow again;
        UserDialogs::setResponder({});
        MainWindow::setPortSource({});
        Data_List_T *restored = again.currentMeasurement();
        QVERIFY(restored);
        QCOMPARE(restored->name, QStringLiteral("auto_backup"));
        QCOMPARE(restored->records.size(), inBackup);
    }
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    kxInitResources();
    const QStringList args = app.arguments();
    const int child = args.indexOf(QString::fromLatin1(kChildOption));
    if (child >= 0 && child + 1 < args.size())
        return runRecordingChild(args.at(child + 1));
    TestCrashRecovery test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_crashrecovery.moc"
