// The kx740d-record program against its built-in simulator: what reaches the
// data file when it is stopped, killed and started again, or cannot write.

#include "instrument/temperature.h"
#include "store/datafile.h"
#include "tests/mqtt/testbroker.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestRecorderProgram : public QObject
{
    Q_OBJECT

private slots:
    void terminatedRunAppendsItsMeasurement();
    void killedRunIsRecoveredOnce();
    void unwritableOutputStopsBeforeRecording_data();
    void unwritableOutputStopsBeforeRecording();
    void publishesEveryRecordedReading();
    void refusingBrokerLeavesTheRecordingAlone();
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
    return backupFileFromBytes(readAll(out + QStringLiteral(".journal")));
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

} // namespace

void TestRecorderProgram::terminatedRunAppendsItsMeasurement()
{
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
    recorder.terminate();
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

void TestRecorderProgram::killedRunIsRecoveredOnce()
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("oven.dat"));
    QProcess first;
    startRecording(first, out);
    QVERIFY(waitForJournal(out, 3));
    first.kill();
    QVERIFY(first.waitForFinished(5000));
    const QVector<_T_EE_TEST_DATA> journal = journalRecords(out);
    QVERIFY(journal.size() >= 3);

    QProcess second;
    startRecording(second, out);
    // The journal of the new recording starts from nothing.
    QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(out + QStringLiteral(".journal")) ||
                                 journalRecords(out).size() < journal.size(),
                             10000);
    QVERIFY(waitForJournal(out, 2));
    second.terminate();
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitCode(), 0);

    const Data_table_T archive = readArchive(out);
    QCOMPARE(archive.lists.size(), 2);
    QCOMPARE(archive.lists[0]->records, journal);
    const QVector<_T_EE_TEST_DATA> &again = archive.lists[1]->records;
    QVERIFY(again.size() >= 2);
    for (const _T_EE_TEST_DATA &r : again)
        QVERIFY(!journal.contains(r));
}

void TestRecorderProgram::unwritableOutputStopsBeforeRecording_data()
{
    QTest::addColumn<QString>("out");
    QTest::addColumn<QByteArray>("existing");
    QTest::newRow("missing folder") << QStringLiteral("nowhere/oven.dat") << QByteArray();
    QTest::newRow("folder is a file") << QStringLiteral("plain/oven.dat") << QByteArray();
    QTest::newRow("not a data file") << QStringLiteral("oven.dat") << QByteArray("not a data file");
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

// What the broker passed on of a terminated run: one message per recorded
// reading, numbered from 1 in the order recorded, the last ones delivered
// before the program exits.
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
    const QVector<QByteArray> payloads = subscriber.payloads("kx740d/KX740D/record");
    QCOMPARE(payloads.size(), recorded);
    for (int i = 0; i < payloads.size(); ++i) {
        const QJsonObject o = QJsonDocument::fromJson(payloads[i]).object();
        QCOMPARE(o.value(QStringLiteral("seq")).toInt(), i + 1);
        QCOMPARE(QDateTime::fromString(o.value(QStringLiteral("time")).toString(), Qt::ISODate),
                 dateTimeFromRecord(archive.lists[0]->records[i]));
    }
    QVERIFY(!subscriber.payloads("kx740d/KX740D/live").isEmpty());
    QCOMPARE(subscriber.payloads("kx740d/KX740D/status").constLast(), QByteArray("offline"));
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

QTEST_GUILESS_MAIN(TestRecorderProgram)
#include "tst_recorderprogram.moc"
