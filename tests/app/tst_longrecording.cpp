// A week of recording at a one-second interval on the simulated clock, through
// the real main window. The figures of the same run are produced by
// bench/app/bench_longrecording.
#include "fakerecording.h"
#include "instrument/temperature.h"
#include "memoryprobe.h"
#include "resources/initresources.h"
#include "store/datafile.h"
#include "store/recordingjournal.h"
#include "ui_mainwindow.h"
#include "windowtest.h"

#include <QLoggingCategory>
#include <QtTest>

#include <cmath>
#include <ctime>

namespace {

constexpr int kWeek = 7 * 24 * 3600;

_T_PRINT_OUT_DATA reading(int k)
{
    _T_PRINT_OUT_DATA r;
    for (int ch = 0; ch < kChannelCount; ++ch)
        r.value[ch] = float(20 + 10 * ch + 5 * std::sin(k / (300.0 + ch)));
    return r;
}

QByteArray backupFile()
{
    QFile file(QStringLiteral("auto_backup.bak"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestLongRecording : public WindowTest
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        kxInitResources();
        // Every local time stamp makes the C library look at /etc/localtime
        // again unless TZ names the zone; a week of readings is millions.
        qputenv("TZ", "UTC");
        tzset();
        // The live refresh writes debug lines; a week of them is noise.
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    }
    void init() { QVERIFY(setUpWindowTest()); }
    void cleanup() { tearDownWindowTest(); }

    // Once the live chart and table are full (10000 readings), memory grows
    // only by what the recorded readings take, and the backup follows the
    // recording by appending: the part of the file already written is never
    // written again.
    void weekAtOneSecondInterval()
    {
        IdlePort port;
        MainWindow w;
        const QDateTime start(QDate(2026, 6, 1), QTime(0, 0, 0));
        FakeRecording recording(w, port, start);
        recording.start();
        QVERIFY(w.device().isRecording());
        const auto recordUpTo = [&](int count, int refreshEvery) {
            while (recording.seconds() < count) {
                recording.record(reading(recording.seconds() + 1));
                if (recording.seconds() % refreshEvery == 0)
                    w.handleTimeOut();
            }
            w.handleTimeOut();
        };

        recordUpTo(10000, 600);
        const std::size_t heapBefore = heapInUse();
        recordUpTo(kWeek, 3600);
        const std::size_t heapAfter = heapInUse();
        QCOMPARE(w.device().recordedCount(), kWeek);
        const double perReading = (double(heapAfter) - double(heapBefore)) / (kWeek - 10000);
        qInfo("heap growth per reading: %.1f bytes", perReading);
#if !defined(__SANITIZE_ADDRESS__)
        // The address sanitizer's allocator is not the one measured here.
        QVERIFY2(perReading > 0 && perReading < 100, qPrintable(QString::number(perReading)));
#endif

        QCOMPARE(w.form()->customPlot->graph(0)->data()->size(), 10000);
        QCOMPARE(w.form()->customPlot->graph(0)->data()->at(9999)->value,
                 double(reading(kWeek).value[0]));

        // The journal holds every reading, each appended as it was stored.
        const int headerSize = kJournalMagic.size() + 7 + 28;
        QByteArray file = backupFile();
        QCOMPARE(file.size(), headerSize + kWeek * kJournalReadingEntrySize);
        QVector<_T_EE_TEST_DATA> backup = readJournalRecords(QStringLiteral("auto_backup.bak"));
        QCOMPARE(backup.size(), kWeek);
        QCOMPARE(dateTimeFromRecord(backup.first()), start.addSecs(1));
        QCOMPARE(dateTimeFromRecord(backup.last()), start.addSecs(kWeek));
        QCOMPARE(backup.last().value[2], reading(kWeek).value[2]);

        // Mark a byte of an early record's T1 value on disk: an update that
        // rewrote the file would lose the mark, and its checksum no longer
        // holds, so that one reading is dropped when read.
        const int marked = headerSize + 5 * kJournalReadingEntrySize + 7 + 4 + 16;
        {
            QFile f(QStringLiteral("auto_backup.bak"));
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.seek(marked));
            QCOMPARE(f.write(QByteArray(1, char(~file.at(marked)))), 1);
        }
        recordUpTo(kWeek + 1, 1);
        const QByteArray after = backupFile();
        QCOMPARE(after.size(), headerSize + (kWeek + 1) * kJournalReadingEntrySize);
        QCOMPARE(after.at(marked), char(~file.at(marked)));
        file.clear();
        backup = readJournalRecords(QStringLiteral("auto_backup.bak"));
        QCOMPARE(backup.size(), kWeek);
        QCOMPARE(dateTimeFromRecord(backup.last()), start.addSecs(kWeek + 1));

        // The week ends in the measurement, and the journal goes.
        w.form()->pb_start->click();
        QVERIFY(!w.device().isRecording());
        QVERIFY(w.currentMeasurement());
        QCOMPARE(w.currentMeasurement()->records.size(), kWeek + 1);
        QCOMPARE(dateTimeFromRecord(w.currentMeasurement()->records.at(kWeek)),
                 start.addSecs(kWeek + 1));
        QCOMPARE(backupFile().size(), 0);
    }
};

QTEST_MAIN(TestLongRecording)
#include "tst_longrecording.moc"
