#include "store/data_table_t.h"
#include "store/datafile.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// kx740d-export --stats on a file of two measurements, the second named
// "cold, room" with T1 at 4.0, 9.0 and 5.0 °C a minute apart.
class TestExportStats : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void printsOneLinePerChannel();
    void refusesBadValues_data();
    void refusesBadValues();

private:
    int run(const QStringList &arguments);

    QTemporaryDir m_dir;
    QString m_file;
    QByteArray m_out;
    QByteArray m_err;
};

void TestExportStats::initTestCase()
{
    const auto record = [](int minute, float t1) {
        const quint8 type[kChannelCount] = {};
        const quint8 state[kChannelCount] = {StateValue, StateNoReading, StateNoReading,
                                             StateNoReading};
        const float value[kChannelCount] = {t1, 0, 0, 0};
        return makeStoredRecord(type, state, {24, 1, 10, 8, quint8(minute), 0}, value);
    };
    Data_table_T archive = newArchive();
    archive.append(newMeasurement({record(0, 20)}, QStringLiteral("first")));
    archive.append(newMeasurement({record(0, 4.0f), record(1, 9.0f), record(2, 5.0f)},
                                  QStringLiteral("cold, room")));
    m_file = m_dir.filePath(QStringLiteral("cold.dat"));
    QFile file(m_file);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.write(dataFileToBytes(archive)) > 0);
}

int TestExportStats::run(const QStringList &arguments)
{
    QProcess converter;
    converter.start(QCoreApplication::applicationDirPath() + QStringLiteral("/kx740d-export"),
                    QStringList{m_file, QStringLiteral("--stats")} + arguments);
    if (!converter.waitForFinished(60000))
        return -1;
    m_out = converter.readAllStandardOutput();
    m_err = converter.readAllStandardError();
    return converter.exitCode();
}

// Mean 6, deviation sqrt(14/3); 9.0 above 8 for 60 s, 4.0 and 5.0 in the
// band for 120 s (the last reading stands for a minute); no low limit.
// MKT = 10000 / -ln((e^(-10000/277.15) + e^(-10000/282.15) + e^(-10000/278.15)) / 3) - 273.15.
void TestExportStats::printsOneLinePerChannel()
{
    QCOMPARE(run({QStringLiteral("--measurement"), QStringLiteral("2"), QStringLiteral("--high"),
                  QStringLiteral("8"), QStringLiteral("--band"), QStringLiteral("2:8")}),
             0);
    QCOMPARE(m_out, QByteArray("measurement,channel,readings,min,max,mean,stddev,mkt,above_s,"
                               "below_s,band_s\n"
                               "\"cold, room\",T1,3,4.00,9.00,6.00,2.16,6.29,60,,120\n"));
}

void TestExportStats::refusesBadValues_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("temperature") << QStringList{QStringLiteral("--high"), QStringLiteral("8,5")};
    QTest::newRow("reversed band") << QStringList{QStringLiteral("--band"), QStringLiteral("8:2")};
    QTest::newRow("energy") << QStringList{QStringLiteral("--mkt-dh"), QStringLiteral("0")};
}

void TestExportStats::refusesBadValues()
{
    QFETCH(QStringList, arguments);
    QCOMPARE(run(arguments), 1);
    QVERIFY(m_out.isEmpty());
    QVERIFY(!m_err.isEmpty());
}

QTEST_GUILESS_MAIN(TestExportStats)
#include "tst_exportstats.moc"
