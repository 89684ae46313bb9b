#include "fuzz/fuzzchecks.h"

#include <QDir>
#include <QFile>
#include <QtTest>

// Every file of fuzz/corpus/<target>/ (valid inputs) and of
// fuzz/regressions/<target>/ (inputs that once failed a check or tripped a
// sanitizer) must pass the target's check.
class TstFuzzRegress : public QObject
{
    Q_OBJECT

    static void addInputs(const QString &target)
    {
        QTest::addColumn<QByteArray>("input");
        int seeds = 0;
        for (const char *kind : {"corpus", "regressions"}) {
            const QDir dir(QStringLiteral(KX_FUZZ_DIR "/%1/%2").arg(QLatin1String(kind), target));
            for (const QFileInfo &fi : dir.entryInfoList(QDir::Files, QDir::Name)) {
                QFile f(fi.filePath());
                QVERIFY(f.open(QIODevice::ReadOnly));
                QTest::newRow(
                    qPrintable(QStringLiteral("%1/%2").arg(QLatin1String(kind), fi.fileName())))
                    << f.readAll();
                seeds += kind[0] == 'c';
            }
        }
        QVERIFY2(seeds > 0, "seed corpus missing");
    }

private slots:
    void frameDriver_data() { addInputs(QStringLiteral("framedriver")); }
    void frameDriver()
    {
        QFETCH(QByteArray, input);
        QVERIFY(fuzzcheck::frameDriver(input));
    }

    void dataFile_data() { addInputs(QStringLiteral("datafile")); }
    void dataFile()
    {
        QFETCH(QByteArray, input);
        QVERIFY(fuzzcheck::dataFile(input));
    }

    void backupFile_data() { addInputs(QStringLiteral("backupfile")); }
    void backupFile()
    {
        QFETCH(QByteArray, input);
        QVERIFY(fuzzcheck::backupFile(input));
    }

    void settingsFile_data() { addInputs(QStringLiteral("settingsfile")); }
    void settingsFile()
    {
        QFETCH(QByteArray, input);
        QVERIFY(fuzzcheck::settingsFile(input));
    }

    // The seeds are what the program writes, so the strict readers accept them.
    void seedsAreAccepted()
    {
        const QDir root(QStringLiteral(KX_FUZZ_DIR "/corpus"));
        for (const QFileInfo &fi : QDir(root.filePath("datafile")).entryInfoList(QDir::Files)) {
            QFile f(fi.filePath());
            QVERIFY(f.open(QIODevice::ReadOnly));
            Data_table_T archive;
            QVERIFY2(dataFileFromBytes(f.readAll(), archive), qPrintable(fi.fileName()));
        }
        for (const QFileInfo &fi : QDir(root.filePath("settingsfile")).entryInfoList(QDir::Files)) {
            QFile f(fi.filePath());
            QVERIFY(f.open(QIODevice::ReadOnly));
            AppSettings settings;
            QVERIFY2(decodeSettings(f.readAll(), settings), qPrintable(fi.fileName()));
        }
    }
};

QTEST_GUILESS_MAIN(TstFuzzRegress)
#include "tst_fuzzregress.moc"
