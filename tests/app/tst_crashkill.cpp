// The program killed with SIGKILL at random moments. A child process (this
// program started again with a child option) runs a main window; the test
// kills it and looks at what it left on disk:
// - while recording from the simulated instrument: every reading the backup
//   held is brought back by the next start in the same folder, and those of
//   the kills before it with the unsaved archive;
// - while saving a data file or the settings over and over: the file on disk
//   is always one complete version, old or new.
#include "app/archivepage.h"
#include "app/instrumentpage.h"
#include "app/mainwindow.h"
#include "app/recordingpage.h"
#include "app/systempage.h"
#include "app/userdialogs.h"
#include "resources/initresources.h"
#include "settings/settingsfile.h"
#include "sim/instrumentsimulator.h"
#include "store/data_list_t.h"
#include "store/data_table_t.h"
#include "store/datafile.h"
#include "store/recordingjournal.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <csignal>
#include <cstdio>
#include <cstring>

namespace {

const char kRecordChild[] = "--record-child";
const char kSaveChild[] = "--save-child";

constexpr int kRecordingKills = 20;
constexpr int kSaveKills = 12;

// The two versions the saving child writes in turn.
constexpr int kRecordsA = 40000;
constexpr int kRecordsB = 50000;
constexpr int kCompanyA = 30000;
constexpr int kCompanyB = 20000;

void say(const QByteArray &line)
{
    std::printf("%s\n", line.constData());
    std::fflush(stdout);
}

QByteArray recordsHash(const QVector<_T_EE_TEST_DATA> &records)
{
    return QCryptographicHash::hash(recordsToBytes(records), QCryptographicHash::Sha1).toHex();
}

QVector<_T_EE_TEST_DATA> recordsInBackup()
{
    return readJournalRecords(QStringLiteral("auto_backup.bak"));
}

// Count and hash of every measurement restored from a backup, oldest first,
// separated by ';'. The unsaved archive of each start brings those of the
// starts before it back as well.
QByteArray restoredBackups(const Data_table_T &archive)
{
    QByteArrayList found;
    for (const Data_List_T *m : archive.lists)
        if (m->name == QLatin1String("auto_backup"))
            found << QByteArray::number(m->records.size()) + ' ' + recordsHash(m->records);
    return found.join(';');
}

void answerDialogs(const QString &saveAs)
{
    UserDialogs::setResponder([saveAs](const DialogRequest &r) {
        DialogAnswer answer;
        if (r.kind == DialogRequest::SaveFile && !saveAs.isEmpty()) {
            answer.accepted = true;
            answer.text = saveAs;
        }
        return answer;
    });
}

// Reports what the start restored, then records from a simulated instrument
// on a clock that runs five times as fast (up to five readings a second),
// refreshing after every reading as the status timer does once a second, and
// reports how many readings the backup holds after each refresh.
int runRecordingChild()
{
    answerDialogs(QString());
    SimulatorOptions options;
    options.paced = false;
    options.liveRate = 10;
    options.allChannelsConnected = true;
    InstrumentSimulator simulator(options);
    if (!simulator.start())
        return 2;
    const QString port = simulator.portPath();
    MainWindow::setPortSource([port] { return QStringList{port}; });
    MainWindow w;
    say("restored " + restoredBackups(w.archive()));

    const QDateTime start = QDateTime::currentDateTime();
    QElapsedTimer elapsed;
    elapsed.start();
    w.device().setClock([start, elapsed] { return start.addMSecs(elapsed.elapsed() * 5); });
    w.instrumentPage()->connectToFirstPort();
    if (!QTest::qWaitFor([&] { return w.device().isIdentified(); }, 5000))
        return 3;
    w.form()->pb_continue_enable->setChecked(false);
    w.recordingPage()->on_pb_continue_enable_clicked(false);
    w.form()->pb_start->click();
    say("recording");
    int reported = 0;
    QTimer refresh;
    QObject::connect(&refresh, &QTimer::timeout, [&] {
        w.handleTimeOut();
        const int count = w.device().recordedCount();
        if (count != reported) {
            reported = count;
            say("stored " + QByteArray::number(count));
        }
    });
    refresh.start(20);
    return qApp->exec();
}

QVector<_T_EE_TEST_DATA> versionRecords(int count, float value)
{
    _T_EE_TEST_DATA record;
    record.year = 26;
    record.month = 6;
    record.day = 1;
    for (int ch = 0; ch < kChannelCount; ++ch)
        record.value[ch] = value;
    return QVector<_T_EE_TEST_DATA>(count, record);
}

// Saves the archive (kind "data") or the settings (kind "settings") again
// and again, alternating between two versions, and reports each save done.
int runSavingChild(const QString &kind)
{
    answerDialogs(QDir::current().filePath(QStringLiteral("archive.dat")));
    MainWindow::setPortSource([] { return QStringList(); });
    MainWindow w;
    if (kind == QLatin1String("data") && !w.currentMeasurement())
        return 2;
    for (int i = 0;; ++i) {
        const bool a = i % 2 == 0;
        if (kind == QLatin1String("data")) {
            w.currentMeasurement()->records =
                a ? versionRecords(kRecordsA, 1.0f) : versionRecords(kRecordsB, 2.0f);
            w.archivePage()->on_pb_save_file_clicked();
        } else {
            w.form()->lineEdit_conp_name->setText(
                QString(a ? kCompanyA : kCompanyB, a ? 'a' : 'b'));
            w.systemPage()->on_lineEdit_conp_name_editingFinished();
            w.systemPage()->sys_setting_close();
        }
        say("saved " + QByteArray::number(i));
    }
}

// A child process of this program and the lines it has written so far.
class Child
{
public:
    explicit Child(const QStringList &args)
    {
        m_process.setStandardErrorFile(QProcess::nullDevice());
        m_process.start(QCoreApplication::applicationFilePath(), args);
    }
    ~Child()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

    // Waits for a line starting with `prefix` and returns the rest of it.
    bool waitFor(const QByteArray &prefix, QByteArray *rest, int timeoutMs)
    {
        QElapsedTimer timer;
        timer.start();
        for (;;) {
            while (m_process.canReadLine()) {
                const QByteArray line = m_process.readLine().trimmed();
                take(line);
                if (line.startsWith(prefix)) {
                    if (rest)
                        *rest = line.mid(prefix.size());
                    return true;
                }
            }
            if (m_process.state() == QProcess::NotRunning || timer.elapsed() > timeoutMs)
                return false;
            m_process.waitForReadyRead(50);
        }
    }

    void runFor(int ms)
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < ms) {
            m_process.waitForReadyRead(qMax(1, int(ms - timer.elapsed())));
            while (m_process.canReadLine())
                take(m_process.readLine().trimmed());
        }
    }

    // SIGKILL, then every line the child wrote before it died.
    bool kill()
    {
        ::kill(pid_t(m_process.processId()), SIGKILL);
        if (!m_process.waitForFinished(5000))
            return false;
        const QList<QByteArray> lines = m_process.readAllStandardOutput().split('\n');
        for (const QByteArray &line : lines)
            take(line.trimmed());
        return m_process.exitStatus() == QProcess::CrashExit;
    }

    int stored = 0; // the last "stored" count the child reported
    int saved = -1; // the last "saved" number

private:
    void take(const QByteArray &line)
    {
        if (line.startsWith("stored "))
            stored = line.mid(7).toInt();
        else if (line.startsWith("saved "))
            saved = line.mid(6).toInt();
    }

    QProcess m_process;
};

// Every record of `records` is `count` copies of one version's record.
bool isVersion(const QVector<_T_EE_TEST_DATA> &records, int count, float value)
{
    if (records.size() != count)
        return false;
    const _T_EE_TEST_DATA expected = versionRecords(1, value).first();
    for (const _T_EE_TEST_DATA &r : records) {
        if (std::memcmp(&r, &expected, sizeof r) != 0)
            return false;
    }
    return true;
}

int leftTemporaryFiles(const QString &finalName)
{
    return QDir::current()
        .entryList({finalName + QStringLiteral(".*")}, QDir::Files | QDir::Hidden)
        .size();
}

} // namespace

class TestCrashKill : public QObject
{
    Q_OBJECT

    QRandomGenerator m_random;

private slots:
    void initTestCase()
    {
        const quint32 seed = qEnvironmentVariableIsSet("KX_KILL_SEED")
                                 ? quint32(qEnvironmentVariableIntValue("KX_KILL_SEED"))
                                 : QRandomGenerator::system()->generate();
        qInfo("kill moments from seed %u (KX_KILL_SEED)", seed);
        m_random.seed(seed);
    }

    void killedRecordingsComeBack()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QDir::setCurrent(dir.path()));
        int expectedCount = 0;
        QByteArray expectedHash = recordsHash({});
        QByteArrayList expected;
        QVector<_T_EE_TEST_DATA> previous; // the backup the last kill left
        int readingsSeen = 0;
        for (int run = 0; run < kRecordingKills; ++run) {
            Child child({QString::fromLatin1(kRecordChild), dir.path()});
            QByteArray restored;
            QVERIFY2(child.waitFor("restored", &restored, 60000), "child did not start");
            QCOMPARE(restored.trimmed(), expected.join(';'));
            QVERIFY2(child.waitFor("recording", nullptr, 30000), "no recording");
            child.runFor(m_random.bounded(100, 1500));
            QVERIFY(child.kill());

            // A start goes on with the recording the kill before it
            // interrupted: its readings follow those already restored.
            const QVector<_T_EE_TEST_DATA> whole = recordsInBackup();
            const bool goneOn = !previous.isEmpty() && whole.mid(0, previous.size()) == previous;
            const QVector<_T_EE_TEST_DATA> backup = goneOn ? whole.mid(previous.size()) : whole;
            previous = whole;
            QVERIFY2(backup.size() >= child.stored,
                     qPrintable(QStringLiteral("run %1: %2 readings reported, %3 in the backup")
                                    .arg(run)
                                    .arg(child.stored)
                                    .arg(backup.size())));
            for (int i = 1; i < backup.size(); ++i)
                QVERIFY(std::memcmp(&backup[i - 1].year, &backup[i].year, 6) <= 0);
            expectedCount = backup.size();
            expectedHash = recordsHash(backup);
            if (!backup.isEmpty())
                expected << QByteArray::number(expectedCount) + ' ' + expectedHash;
            readingsSeen += backup.size();
        }
        qInfo("%d kills, %d readings restored in all", kRecordingKills, readingsSeen);
        QVERIFY(readingsSeen > 0);

        // The last kill's readings, restored by a start of this process.
        answerDialogs(QString());
        MainWindow::setPortSource([] { return QStringList(); });
        {
            MainWindow again;
            UserDialogs::setResponder({});
            MainWindow::setPortSource({});
            const Data_List_T *measurement = again.currentMeasurement();
            QVERIFY(measurement);
            if (expectedCount > 0) {
                QCOMPARE(measurement->name, QStringLiteral("auto_backup"));
                QCOMPARE(recordsHash(measurement->records), expectedHash);
            }
            QCOMPARE(restoredBackups(again.archive()), expected.join(';'));
        }
        // Not gone on with, the recording ends with the window.
        QVERIFY(recordsInBackup().isEmpty());
    }

    void killedSaveLeavesOneCompleteFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("data file") << QStringLiteral("data");
        QTest::newRow("settings") << QStringLiteral("settings");
    }

    void killedSaveLeavesOneCompleteFile()
    {
        QFETCH(QString, kind);
        const bool data = kind == QLatin1String("data");
        const QString fileName =
            data ? QStringLiteral("archive.dat") : QStringLiteral("config.cfg");
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QDir::setCurrent(dir.path()));
        int bothSeen = 0;
        int saves = 0;
        for (int run = 0; run < kSaveKills; ++run) {
            Child child({QString::fromLatin1(kSaveChild), dir.path(), kind});
            QVERIFY2(child.waitFor("saved ", nullptr, 10000), "child did not save");
            child.runFor(m_random.bounded(0, 400));
            QVERIFY(child.kill());
            saves += child.saved + 1;

            QFile file(fileName);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            bool isA = false;
            if (data) {
                Data_table_T archive;
                QVERIFY2(dataFileFromBytes(bytes, archive), qPrintable(QString::number(run)));
                QCOMPARE(archive.lists.size(), 1);
                const QVector<_T_EE_TEST_DATA> &records = archive.lists.first()->records;
                isA = isVersion(records, kRecordsA, 1.0f);
                QVERIFY2(isA || isVersion(records, kRecordsB, 2.0f),
                         qPrintable(QString::number(run)));
            } else {
                AppSettings settings;
                QVERIFY(decodeSettings(bytes, settings));
                isA = settings.companyName == QString(kCompanyA, 'a');
                QVERIFY2(isA || settings.companyName == QString(kCompanyB, 'b'),
                         qPrintable(QString::number(run)));
                QCOMPARE(settings.autoBackupEnabled, true);
            }
            bothSeen |= isA ? 1 : 2;
        }
        qInfo("%d kills after %d saves in all; %d temporary files left beside %s", kSaveKills,
              saves, leftTemporaryFiles(fileName), qPrintable(fileName));
        QCOMPARE(bothSeen, 3);
    }
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    kxInitResources();
    const QStringList args = app.arguments();
    const int record = args.indexOf(QString::fromLatin1(kRecordChild));
    if (record >= 0 && record + 1 < args.size()) {
        QDir::setCurrent(args.at(record + 1));
        return runRecordingChild();
    }
    const int save = args.indexOf(QString::fromLatin1(kSaveChild));
    if (save >= 0 && save + 2 < args.size()) {
        QDir::setCurrent(args.at(save + 1));
        return runSavingChild(args.at(save + 2));
    }
    TestCrashKill test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_crashkill.moc"
