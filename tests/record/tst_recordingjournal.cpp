// The recording journal and the data files written from it: a kill at any
// byte loses no whole reading, damage is stepped over, a recording written
// twice is in the file once, and periods go to files of their own.

#include "instrument/temperature.h"
#include "store/datafile.h"
#include "store/datafilestream.h"
#include "store/recordingjournal.h"
#include "store/recordingoutput.h"
#include "tests/store/numberedrecords.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

struct JournalFixture
{
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("oven.dat.journal"));
    QString out = dir.filePath(QStringLiteral("oven.dat"));
    JournalHeader header;

    // `count` readings a second apart from `start`, the journal ended with a
    // Stop when `stopped`.
    QVector<JournalReading> write(const QDateTime &start, int count, bool stopped)
    {
        header.id = QUuid::createUuid();
        header.started = start;
        header.name = QStringLiteral("oven");
        QVector<JournalReading> readings;
        for (int i = 0; i < count; ++i)
            readings.append({quint32(i + 1), recordAt(start.addSecs(i), float(i))});
        JournalWriter writer;
        if (!writer.create(path, header, readings) || (stopped && !writer.appendStop(count)))
            qFatal("journal not written");
        return readings;
    }

    QByteArray bytes() const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    void setBytes(const QByteArray &b) const
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(b) != b.size())
            qFatal("journal not replaced");
    }

    Data_table_T archive(const QString &file) const
    {
        QFile f(file);
        Data_table_T a;
        if (!f.open(QIODevice::ReadOnly) || !dataFileFromBytes(f.readAll(), a))
            return Data_table_T();
        return a;
    }
};

QVector<quint32> seqs(JournalReader &reader)
{
    QVector<quint32> out;
    for (JournalReading r; reader.next(&r);)
        out << r.seq;
    return out;
}

const QDateTime kStart(QDate(2026, 12, 7), QTime(23, 59, 57));

} // namespace

class TestRecordingJournal : public QObject
{
    Q_OBJECT

private slots:
    // A kill can cut the last entry at any byte: the whole readings before
    // it are read, nothing else, and appending goes on after them.
    void tornTailIsDropped()
    {
        JournalFixture f;
        f.write(kStart, 3, false);
        const QByteArray whole = f.bytes();
        for (int cut = 1; cut < kJournalReadingEntrySize; ++cut) {
            f.setBytes(whole.left(whole.size() - cut));
            JournalReader reader(f.path);
            QVERIFY(reader.open());
            QCOMPARE(reader.header().id, f.header.id);
            QCOMPARE(seqs(reader), (QVector<quint32>{1, 2}));
            QCOMPARE(reader.damagedBytes(), qint64(kJournalReadingEntrySize - cut));

            JournalWriter writer;
            QVERIFY(writer.reopen(f.path, reader.validSize()));
            QVERIFY(writer.appendReading(3, recordAt(kStart.addSecs(2), 2)));
            writer.close();
            JournalReader again(f.path);
            QVERIFY(again.open());
            QCOMPARE(seqs(again), (QVector<quint32>{1, 2, 3}));
            QCOMPARE(again.damagedBytes(), qint64(0));
        }
    }

    void damagedEntryIsSteppedOver()
    {
        JournalFixture f;
        const QVector<JournalReading> readings = f.write(kStart, 4, true);
        QByteArray bytes = f.bytes();
        // A flipped byte in the value of reading 2.
        const int second = kJournalMagic.size() + int(journalStartEntry(f.header).size()) +
                           kJournalReadingEntrySize + kJournalEntryHeaderSize + 20;
        bytes[second] = char(bytes[second] ^ 0x40);
        f.setBytes(bytes);
        JournalReader reader(f.path);
        QVERIFY(reader.open());
        JournalReading r;
        QVERIFY(reader.next(&r));
        QVERIFY(reader.next(&r));
        QCOMPARE(r.seq, 3u);
        QCOMPARE(r.record, readings[2].record);
        reader.skipToEnd();
        QVERIFY(reader.stopped());
        QCOMPARE(reader.readingCount(), 3u);
        QCOMPARE(reader.damagedBytes(), qint64(kJournalReadingEntrySize));
    }

    // A run stopped between writing the file and dropping its journal
    // writes the same recording again at the next start.
    void recordingWrittenTwiceIsInTheFileOnce()
    {
        JournalFixture f;
        f.write(kStart, 5, true);
        QVERIFY(writeJournalToOutput(f.path, f.out, SplitMode::None).ok);
        QVERIFY(writeJournalToOutput(f.path, f.out, SplitMode::None).ok);
        const Data_table_T archive = f.archive(f.out);
        QCOMPARE(archive.lists.size(), 1);
        QCOMPARE(archive.lists[0]->records.size(), 5);
        QCOMPARE(archive.lists[0]->name, QStringLiteral("oven"));
        QCOMPARE(archive.lists[0]->created, kStart);

        // Another recording is added, the first stays.
        f.write(kStart.addSecs(3600), 2, true);
        QVERIFY(writeJournalToOutput(f.path, f.out, SplitMode::None).ok);
        QCOMPARE(f.archive(f.out).lists.size(), 2);
    }

    // Readings across midnight: the day that ended goes to its file, the
    // current day's readings stay for the journal.
    void periodsGoToTheirOwnFiles()
    {
        JournalFixture f;
        f.write(kStart, 6, false); // 23:59:57 .. 00:00:02
        const OutputResult result =
            writeJournalToOutput(f.path, f.out, SplitMode::Day, QDate(2026, 12, 8));
        QVERIFY(result.ok);
        const QString day = f.dir.filePath(QStringLiteral("oven_2026-12-07.dat"));
        QCOMPARE(result.written.size(), 1);
        QCOMPARE(result.written[0].first, day);
        QCOMPARE(f.archive(day).lists[0]->records.size(), 3);
        QCOMPARE(result.carry.size(), 3);
        QCOMPARE(result.carry.first().seq, 4u);
        QVERIFY(!QFile::exists(f.out));
        QCOMPARE(periodFileName(f.out, SplitMode::Week, QDate(2026, 12, 7)),
                 f.dir.filePath(QStringLiteral("oven_2026-W50.dat")));
        QCOMPARE(periodFileName(f.out, SplitMode::Month, QDate(2026, 12, 1)),
                 f.dir.filePath(QStringLiteral("oven_2026-12.dat")));
    }
};

QTEST_GUILESS_MAIN(TestRecordingJournal)
#include "tst_recordingjournal.moc"
