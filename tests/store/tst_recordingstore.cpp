// A recording's files from first reading to last delivery: whatever an
// earlier run left on the disk and whatever the broker had, every reading
// ends up once in the output and once with the broker, numbers are never
// given twice, and no file goes before both have it.

#include "store/datafile.h"
#include "store/recordingoutbox.h"
#include "store/recordingstore.h"
#include "tests/store/numberedrecords.h"

#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

namespace {

const QString kOven = QStringLiteral("KX740D\x1f\x1fpci-0000:00:14.0-usb-0:1:1.0-port0");
const QString kKiln = QStringLiteral("KX740D\x1f\x1fpci-0000:00:14.0-usb-0:2:1.0-port0");

_T_EE_TEST_DATA reading(int i)
{
    return recordAt(QDateTime(QDate(2026, 12, 7), QTime(10, 0)).addSecs(i), float(i));
}

struct Handed
{
    QString id;
    quint32 seq;
    bool operator==(const Handed &o) const { return id == o.id && seq == o.seq; }
};

// One output, its journal and a broker that acknowledges when told.
struct StoreFixture
{
    QTemporaryDir dir;
    QString out = dir.filePath(QStringLiteral("oven.dat"));
    QString journal = out + QStringLiteral(".journal");
    QString spills = dir.filePath(QStringLiteral("spill"));
    QVector<Handed> handed;
    int acked = 0;

    std::unique_ptr<RecordingStore> makeStore(bool delivering = true)
    {
        auto store = std::make_unique<RecordingStore>(journal, out);
        store->setSpillFolders({spills});
        store->setOutputWriter([this](const QString &j, const QDate &before) {
            return writeJournalToOutput(j, out, SplitMode::None, before);
        });
        if (delivering)
            store->setDelivery(
                [this](const QString &id, quint32 seq, const _T_EE_TEST_DATA &) {
                    handed.append({id, seq});
                },
                [this] { return int(handed.size()) - acked; });
        return store;
    }

    // A journal of `count` readings left behind, stopped or not.
    JournalHeader leaveJournal(int count, bool stopped, const QString &instrument = kOven)
    {
        JournalHeader h;
        h.id = QUuid::createUuid();
        h.started = QDateTime::currentDateTime();
        h.name = QStringLiteral("run");
        h.instrument = instrument;
        QVector<JournalReading> readings;
        for (int i = 1; i <= count; ++i)
            readings.append({quint32(i), reading(i)});
        JournalWriter w;
        if (!w.create(journal, h, readings) || (stopped && !w.appendStop(quint32(count))))
            qFatal("journal not written");
        return h;
    }

    // What the broker had: the ledger an earlier run wrote.
    void brokerHad(const JournalHeader &h, quint32 seq, quint32 highWater = 0)
    {
        QFile f(out + QStringLiteral(".mqtt"));
        if (!f.open(QIODevice::WriteOnly))
            qFatal("ledger");
        const QByteArray id = h.id.toString(QUuid::WithoutBraces).toLatin1();
        if (seq > 0)
            f.write(id + ' ' + QByteArray::number(seq) + '\n');
        if (highWater > 0)
            f.write("hw " + id + ' ' + QByteArray::number(highWater) + '\n');
    }

    void ackAll(RecordingStore &store)
    {
        for (int rounds = 0; acked < handed.size() && rounds < 1000; ++rounds) {
            acked = handed.size();
            store.acknowledged(handed.last().id, handed.last().seq);
        }
    }

    QVector<float> outputValues() const
    {
        QFile f(out);
        Data_table_T archive;
        QVector<float> values;
        if (f.open(QIODevice::ReadOnly) && dataFileFromBytes(f.readAll(), archive))
            for (const Data_List_T *m : archive.lists)
                for (const _T_EE_TEST_DATA &r : m->records)
                    values << r.value[0];
        return values;
    }

    QVector<quint32> seqsOf(const QUuid &id) const
    {
        QVector<quint32> seqs;
        for (const Handed &h : handed)
            if (h.id == id.toString(QUuid::WithoutBraces))
                seqs << h.seq;
        return seqs;
    }

    QStringList leftFiles() const
    {
        QStringList files = QDir(dir.path()).entryList({QStringLiteral("oven.dat.*")}, QDir::Files);
        files.removeAll(QStringLiteral("oven.dat.mqtt"));
        return files;
    }
};

QVector<quint32> range(quint32 from, quint32 to)
{
    QVector<quint32> r;
    for (quint32 s = from; s <= to; ++s)
        r << s;
    return r;
}

QVector<float> values(int from, int to)
{
    QVector<float> v;
    for (int i = from; i <= to; ++i)
        v << float(i);
    return v;
}

enum class Left
{
    Stopped,
    Interrupted,
    OtherInstrument,
    DamagedStart
};

} // namespace

Q_DECLARE_METATYPE(Left)

class TestRecordingStore : public QObject
{
    Q_OBJECT

private slots:
    void whatWasLeftIsSettled_data()
    {
        QTest::addColumn<Left>("left");
        QTest::addColumn<int>("brokerHad"); // readings of the journal acknowledged
        QTest::addColumn<int>("written");   // readings in the output after open()
        QTest::addColumn<bool>("resumable");
        QTest::addColumn<int>("firstHanded"); // 0: nothing handed over

        QTest::newRow("stopped, broker had none") << Left::Stopped << 0 << 6 << false << 1;
        QTest::newRow("stopped, broker had some") << Left::Stopped << 4 << 6 << false << 5;
        QTest::newRow("stopped, broker had all") << Left::Stopped << 6 << 6 << false << 0;
        QTest::newRow("killed, broker had some") << Left::Interrupted << 2 << 0 << true << 3;
        QTest::newRow("other instrument's") << Left::OtherInstrument << 0 << 6 << false << 1;
        QTest::newRow("damaged start") << Left::DamagedStart << 0 << 6 << false << 1;
    }

    void whatWasLeftIsSettled()
    {
        QFETCH(Left, left);
        QFETCH(int, brokerHad);
        QFETCH(int, written);
        QFETCH(bool, resumable);
        QFETCH(int, firstHanded);

        StoreFixture f;
        const bool stopped = left == Left::Stopped || left == Left::DamagedStart;
        JournalHeader h = f.leaveJournal(6, stopped, left == Left::OtherInstrument ? kKiln : kOven);
        if (left == Left::DamagedStart) {
            QFile file(f.journal);
            QVERIFY(file.open(QIODevice::ReadWrite));
            // One bit of the recording id flipped.
            const qint64 at = kJournalMagic.size() + kJournalEntryHeaderSize + 3;
            file.seek(at);
            const char flipped = char(file.read(1).at(0) ^ 0x10);
            file.seek(at);
            file.write(&flipped, 1);
        }
        if (brokerHad > 0)
            f.brokerHad(h, quint32(brokerHad));

        auto store = f.makeStore();
        const RecordingStore::Recovery found = store->open(kOven);
        QVERIFY2(found.ok, qPrintable(found.error));
        QCOMPARE(found.interrupted, resumable);
        QCOMPARE(f.outputValues(), written > 0 ? values(1, written) : QVector<float>());
        if (left == Left::DamagedStart || left == Left::OtherInstrument)
            QVERIFY(!found.notes.isEmpty());

        store->startDelivery();
        const QUuid sent = f.handed.isEmpty()
                               ? h.id
                               : QUuid::fromString(QStringLiteral("{%1}").arg(f.handed.first().id));
        if (left != Left::DamagedStart)
            QCOMPARE(sent, h.id); // delivered under the recording's own id
        QCOMPARE(f.seqsOf(sent),
                 firstHanded > 0 ? range(quint32(firstHanded), 6) : QVector<quint32>());

        f.ackAll(*store);
        if (resumable) {
            QVERIFY(QFile::exists(f.journal));
            QVERIFY(store->resume());
            QCOMPARE(store->resumeSeq(), 6u);
        } else {
            // Written and delivered: nothing of the recording is left.
            QCOMPARE(f.leftFiles(), QStringList());
        }
    }

    // A reading leaves for the broker only once it is synced, and a number
    // handed out is never given again, even when the journal lost its tail.
    void numbersLeaveOnlyWhenDurableAndAreNeverReused()
    {
        StoreFixture f;
        {
            auto store = f.makeStore();
            store->open(kOven);
            store->startDelivery();
            JournalHeader h;
            h.id = QUuid::createUuid();
            h.started = QDateTime::currentDateTime();
            h.instrument = kOven;
            store->begin(h);
            for (int i = 1; i <= 5; ++i) {
                store->append(quint32(i), reading(i));
                QCOMPARE(quint32(f.handed.size()), store->durableSeq());
            }
            store->tick();
            QCOMPARE(f.handed.size(), 5);
            store->saveLedger();
        } // killed
        // The tail of the journal is lost (a power cut, a damaged sector).
        QFile journal(f.journal);
        QVERIFY(journal.resize(journal.size() - 2 * kJournalReadingEntrySize));
        auto store = f.makeStore();
        QVERIFY(store->open(kOven).interrupted);
        QVERIFY(store->resume());
        QCOMPARE(store->resumeSeq(), 5u);
    }

    // Disk full at the stop: the readings memory holds are tried until the
    // deadline, then put elsewhere with the end of the recording; the next
    // start takes them back and never goes on with the stopped recording.
    void fullDiskAtTheStopLosesNothing()
    {
        StoreFixture f;
        {
            auto store = f.makeStore(false);
            store->open(kOven);
            JournalHeader h;
            h.id = QUuid::createUuid();
            h.started = QDateTime::currentDateTime();
            h.instrument = kOven;
            store->begin(h);
            for (int i = 1; i <= 5; ++i)
                store->append(quint32(i), reading(i));
            store->tick();
            // Files may not grow beyond the journal's size: its disk is full.
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit was{};
            getrlimit(RLIMIT_FSIZE, &was);
            rlimit full = was;
            full.rlim_cur = rlim_t(QFileInfo(f.journal).size());
            setrlimit(RLIMIT_FSIZE, &full);
            for (int i = 6; i <= 8; ++i)
                store->append(quint32(i), reading(i));
            QCOMPARE(store->pendingCount(), 3);
            // The spill file, smaller than the journal, can be written.
            const RecordingStore::Finish end = store->finish(8, 300);
            setrlimit(RLIMIT_FSIZE, &was);
            QVERIFY(!end.ok);
            QCOMPARE(end.spilled, 3);
            QVERIFY(QFile::exists(end.spillFile));
        }
        auto store = f.makeStore(false);
        const RecordingStore::Recovery found = store->open(kOven);
        QVERIFY2(found.ok, qPrintable(found.error));
        QVERIFY(!found.interrupted);
        QCOMPARE(f.outputValues(), values(1, 8));
        QVERIFY(QDir(f.spills).entryList(QDir::Files).isEmpty());
        QVERIFY(!QFile::exists(f.journal));
    }

    // A file per period: across midnight with the broker behind, the
    // journal started anew keeps the day's readings and what the broker
    // lacks of the day before stays until it has it; each reading goes out
    // once.
    void rolloverDeliversEveryReadingOnce()
    {
        StoreFixture f;
        auto store = f.makeStore();
        store->setOutputWriter([&f](const QString &j, const QDate &before) {
            return writeJournalToOutput(j, f.out, SplitMode::Day, before);
        });
        store->open(kOven);
        store->startDelivery();
        JournalHeader h;
        h.id = QUuid::createUuid();
        h.started = QDateTime::currentDateTime();
        store->begin(h);
        const QDateTime evening(QDate(2026, 12, 7), QTime(23, 59, 0));
        auto at = [&](int i) { return recordAt(evening.addSecs(i), float(i)); };
        for (int i = 1; i <= 90; ++i)
            store->append(quint32(i), at(i));
        store->tick();
        f.acked = 10;
        store->acknowledged(f.handed[9].id, 10);
        QVERIFY(store->rollOver(QDate(2026, 12, 8)).ok);
        for (int i = 91; i <= 100; ++i)
            store->append(quint32(i), at(i));
        store->tick();
        f.ackAll(*store);
        QCOMPARE(f.seqsOf(h.id), range(1, 100));
        QVERIFY(store->outboxFiles().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestRecordingStore)
#include "tst_recordingstore.moc"
