// Two programs on one data file: a second recorder of it, under any name, is
// refused with the first one's process; two updates of it at once both stay.
// The other program is a child running this executable (kHoldOption), or a
// thread with files of its own.
#include "store/datafile.h"
#include "store/datafilestream.h"
#include "store/recordinglock.h"
#include "tests/store/numberedrecords.h"

#include <QProcess>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <thread>
#include <unistd.h>

namespace {

const char kHoldOption[] = "--hold-recording-lock";

// In the child: holds the lock of `file` until killed.
int holdLock(const QString &file)
{
    RecordingLock lock(file);
    if (!lock.tryLock())
        return 2;
    std::printf("locked\n");
    std::fflush(stdout);
    for (;;)
        ::pause();
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QStringList measurementNames(const QString &path)
{
    QFile file(path);
    Data_table_T archive;
    QStringList names;
    if (file.open(QIODevice::ReadOnly) && dataFileFromBytes(file.readAll(), archive))
        for (const Data_List_T *m : qAsConst(archive.lists))
            names << m->name;
    return names;
}

// Gives `records`, calling `reached` when asked for the second one (the
// file has been read by then) before giving it.
RecordSource recordsOf(const QVector<_T_EE_TEST_DATA> &records, std::function<void()> reached = {})
{
    auto next = std::make_shared<int>(0);
    return [=](_T_EE_TEST_DATA *record) {
        if (*next == 1 && reached)
            reached();
        if (*next >= records.size())
            return false;
        *record = records.at((*next)++);
        return true;
    };
}

} // namespace

class TestFileLocks : public QObject
{
    Q_OBJECT

private slots:
    void secondNameIsRefused_data()
    {
        QTest::addColumn<QString>("second");
        QTest::addColumn<bool>("fileExists");
        QTest::newRow("same name") << QStringLiteral("l.dat") << true;
        QTest::newRow("symbolic link") << QStringLiteral("alias.dat") << true;
        QTest::newRow("symbolic link, no file yet") << QStringLiteral("alias.dat") << false;
        QTest::newRow("folder through a link") << QStringLiteral("via/l.dat") << true;
        QTest::newRow("hard link") << QStringLiteral("hard.dat") << true;
    }

    void secondNameIsRefused()
    {
        QFETCH(QString, second);
        QFETCH(bool, fileExists);
        QTemporaryDir dir;
        const QString data = dir.filePath(QStringLiteral("l.dat"));
        if (fileExists)
            writeFile(data, dataFileToBytes(newArchive()));
        QCOMPARE(::symlink("l.dat", QFile::encodeName(dir.filePath("alias.dat")).constData()), 0);
        QCOMPARE(::symlink(".", QFile::encodeName(dir.filePath("via")).constData()), 0);
        if (fileExists)
            QCOMPARE(::link(QFile::encodeName(data).constData(),
                            QFile::encodeName(dir.filePath("hard.dat")).constData()),
                     0);

        RecordingLock first(data);
        QVERIFY2(first.tryLock(), qPrintable(first.errorString()));
        RecordingLock other(dir.filePath(second));
        QVERIFY(!other.tryLock());
        QVERIFY2(other.holder().contains(QString::number(::getpid())), qPrintable(other.holder()));
        QCOMPARE(other.errorString(), QString());
        first.unlock();
        QVERIFY2(other.tryLock(), qPrintable(other.holder() + other.errorString()));
        other.unlock();
        QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("*.lock")}, QDir::Files),
                 QStringList());
    }

    // Another process holds it, found through the other name; once it is
    // killed its lock is free at once, lock file and all.
    void lockOfAKilledRecorderIsTakenOver()
    {
        QTemporaryDir dir;
        const QString data = dir.filePath(QStringLiteral("l.dat"));
        const QString hard = dir.filePath(QStringLiteral("hard.dat"));
        writeFile(data, dataFileToBytes(newArchive()));
        QCOMPARE(::link(QFile::encodeName(data).constData(), QFile::encodeName(hard).constData()),
                 0);
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QLatin1String(kHoldOption), data});
        QVERIFY(child.waitForReadyRead(10000));
        QCOMPARE(child.readAllStandardOutput(), QByteArray("locked\n"));

        RecordingLock lock(hard);
        QVERIFY(!lock.tryLock());
        QVERIFY2(lock.holder().contains(QString::number(child.processId())),
                 qPrintable(lock.holder()));
        child.kill();
        QVERIFY(child.waitForFinished(10000));
        RecordingLock again(data);
        QVERIFY2(again.tryLock(), qPrintable(again.holder() + again.errorString()));
    }

    // The recorder writing its file keeps no disk space of the old one.
    void replacedDataFileIsLetGo()
    {
        QTemporaryDir dir;
        const QString data = dir.filePath(QStringLiteral("l.dat"));
        writeFile(data, dataFileToBytes(newArchive()));
        const QString removed = QFileInfo(data).canonicalFilePath() + QStringLiteral(" (deleted)");
        RecordingLock lock(data);
        QVERIFY(lock.tryLock());
        QString error;
        QVERIFY2(writeMeasurementToFile(data, QStringLiteral("run"), QDateTime::currentDateTime(),
                                        recordsOf(numberedRecords(2)), &error),
                 qPrintable(error));
        for (const QString &fd :
             QDir(QStringLiteral("/proc/self/fd"))
                 .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot))
            QVERIFY(QFile::symLinkTarget(QStringLiteral("/proc/self/fd/") + fd) != removed);
    }

    // Not taken for "another recorder": the reason is the system's.
    void failureToLockSaysWhy_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("error");
        QTest::newRow("missing folder") << QStringLiteral("nowhere/l.dat") << ENOENT;
        QTest::newRow("folder is a file") << QStringLiteral("plain/l.dat") << ENOTDIR;
        QTest::newRow("lock file cannot be made") << QStringLiteral("l.dat") << EISDIR;
    }

    void failureToLockSaysWhy()
    {
        QFETCH(QString, file);
        QFETCH(int, error);
        QTemporaryDir dir;
        writeFile(dir.filePath(QStringLiteral("plain")), QByteArray());
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("l.dat.journal.lock")));
        RecordingLock lock(dir.filePath(file));
        QVERIFY(!lock.tryLock());
        QCOMPARE(lock.holder(), QString());
        QCOMPARE(lock.errorString(), QString::fromLocal8Bit(std::strerror(error)));
        QCOMPARE(lock.errorCode(), error);
    }

    // The first has read the file when the second begins; the second waits
    // for the first's file and adds to it.
    void concurrentAppendsKeepBoth_data()
    {
        QTest::addColumn<bool>("fileExists");
        QTest::newRow("existing file") << true;
        QTest::newRow("new file") << false;
    }

    void concurrentAppendsKeepBoth()
    {
        QFETCH(bool, fileExists);
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("l.dat"));
        QStringList expected{QStringLiteral("first"), QStringLiteral("second")};
        if (fileExists) {
            Data_table_T earlier = newArchive();
            earlier.append(newMeasurement(numberedRecords(2), QStringLiteral("earlier")));
            writeFile(out, dataFileToBytes(earlier));
            expected.prepend(QStringLiteral("earlier"));
        }
        const QDateTime created(QDate(2024, 3, 5), QTime(14, 0));
        QSemaphore firstHasRead;
        bool firstWritten = false;
        QString firstError;
        std::thread first([&] {
            firstWritten = writeMeasurementToFile(out, QStringLiteral("first"), created,
                                                  recordsOf(numberedRecords(3),
                                                            [&] {
                                                                firstHasRead.release();
                                                                QThread::msleep(300);
                                                            }),
                                                  &firstError);
        });
        const bool started = firstHasRead.tryAcquire(1, 10000);
        QString error;
        const bool written =
            started && writeMeasurementToFile(out, QStringLiteral("second"), created.addSecs(60),
                                              recordsOf(numberedRecords(2)), &error);
        first.join();
        QVERIFY(started);
        QVERIFY2(firstWritten, qPrintable(firstError));
        QVERIFY2(written, qPrintable(error));
        QCOMPARE(measurementNames(out), expected);
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int hold = args.indexOf(QLatin1String(kHoldOption));
    if (hold >= 0 && hold + 1 < args.size())
        return holdLock(args.at(hold + 1));
    TestFileLocks test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_filelocks.moc"
