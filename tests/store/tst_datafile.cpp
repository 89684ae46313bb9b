#include "store/datafile.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

// Expected bytes are assembled here field by field, independently of the code
// under test: big-endian stream items around little-endian record images.
namespace {

QByteArray be32(quint32 v)
{
    QByteArray b;
    for (int shift = 24; shift >= 0; shift -= 8)
        b.append(char((v >> shift) & 0xFF));
    return b;
}

QByteArray be64(qint64 v)
{
    return be32(quint32(quint64(v) >> 32)) + be32(quint32(quint64(v) & 0xFFFFFFFFu));
}

QByteArray utf16be(const QString &s)
{
    QByteArray b = be32(quint32(s.size() * 2));
    for (QChar c : s)
        b.append(char(c.unicode() >> 8)).append(char(c.unicode() & 0xFF));
    return b;
}

QByteArray localTime(qint64 julianDay, quint32 msecs)
{
    return be64(julianDay) + be32(msecs) + QByteArray(1, '\0');
}

// Record: checksum 0x1234, types K J T E, states 0 1 2 3, 2024-03-05 14:30:15,
// readings 1.0, 21.5, -2.0, 0.0.
QByteArray recordImage(char first = 0x34)
{
    QByteArray b;
    b.append(first).append('\x12');
    b.append("\x00\x01\x02\x03", 4);
    b.append("\x00\x01\x02\x03", 4);
    b.append("\x18\x03\x05\x0e\x1e\x0f", 6);
    b.append("\x00\x00\x80\x3f", 4);
    b.append("\x00\x00\xac\x41", 4);
    b.append("\x00\x00\x00\xc0", 4);
    b.append("\x00\x00\x00\x00", 4);
    return b;
}

_T_EE_TEST_DATA record(quint16 checksum = 0x1234)
{
    _T_EE_TEST_DATA r;
    r.checksum = checksum;
    for (int ch = 0; ch < 4; ++ch) {
        r.type[ch] = quint8(ch);
        r.state[ch] = quint8(ch);
    }
    r.year = 24;
    r.month = 3;
    r.day = 5;
    r.hour = 14;
    r.minute = 30;
    r.second = 15;
    r.value[0] = 1.0f;
    r.value[1] = 21.5f;
    r.value[2] = -2.0f;
    r.value[3] = 0.0f;
    return r;
}

// 2024-03-05 14:30:15.250 local: Julian day 2460375, 52215250 ms.
const QDateTime kCreated(QDate(2024, 3, 5), QTime(14, 30, 15, 250), Qt::LocalTime);
const QByteArray kCreatedBytes = localTime(2460375, 52215250);

QByteArray handRecordList(int n)
{
    QByteArray b = be32(quint32(n));
    for (int i = 0; i < n; ++i)
        b += be32(32) + recordImage(char(i));
    return b;
}

QVector<_T_EE_TEST_DATA> records(int n)
{
    QVector<_T_EE_TEST_DATA> out;
    for (int i = 0; i < n; ++i)
        out.append(record(quint16(0x1200 | i)));
    return out;
}

Data_table_T sampleArchive()
{
    Data_table_T a;
    a.name = QStringLiteral("档案 2");
    a.created = kCreated;
    a.append(Data_List_T{records(3), QStringLiteral("新建测量"), kCreated.addMSecs(1)});
    a.append(Data_List_T{{}, QStringLiteral("empty"), kCreated.addDays(-400)});
    _T_EE_TEST_DATA odd = record();
    odd.value[1] = std::nanf("");
    a.append(Data_List_T{{odd}, QStringLiteral("x"), kCreated.toUTC()});
    return a;
}

} // namespace

class TestDataFile : public QObject
{
    Q_OBJECT

private slots:
    void recordListIsByteExact()
    {
        const QByteArray hand = handRecordList(2);
        QCOMPARE(hand.size(), 4 + 2 * 36);
        QCOMPARE(recordsToBytes(records(2)), hand);
        bool ok = false;
        QCOMPARE(recordsFromBytes(hand, &ok), records(2));
        QVERIFY(ok);
        QCOMPARE(recordsToBytes({}), be32(0));

        // The same bytes as the toolkit's stream writes for a list of arrays.
        QList<QByteArray> list{recordImage(0), recordImage(1)};
        QByteArray streamed;
        QDataStream out(&streamed, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_5_12);
        out << list;
        QCOMPARE(streamed, hand);
    }

    void measurementIsByteExact()
    {
        const Data_List_T m{records(1), QStringLiteral("T1"), kCreated};
        const QByteArray hand = utf16be(QStringLiteral("T1")) + kCreatedBytes + handRecordList(1);
        QCOMPARE(measurementToBytes(m), hand);

        bool ok = false;
        const Data_List_T back = measurementFromBytes(hand, &ok);
        QVERIFY(ok);
        QCOMPARE(back.name, m.name);
        QCOMPARE(back.created, kCreated);
        QCOMPARE(back.records, m.records);

        // No records: a count of 0, read back as an empty measurement.
        const QByteArray emptyHand = utf16be(QStringLiteral("T1")) + kCreatedBytes + be32(0);
        QCOMPARE(measurementToBytes(Data_List_T{{}, QStringLiteral("T1"), kCreated}), emptyHand);
        QVERIFY(measurementFromBytes(emptyHand, &ok).records.isEmpty());
        QVERIFY(ok);

        // The toolkit reads the name and the time back from the same bytes.
        QDataStream in(hand);
        in.setVersion(QDataStream::Qt_5_12);
        QString name;
        QDateTime created;
        in >> name >> created;
        QCOMPARE(name, m.name);
        QCOMPARE(created, kCreated);
    }

    void dataFileOfFourCharacterArchiveIsByteExact()
    {
        Data_table_T a;
        a.name = QStringLiteral("Arch");
        a.created = kCreated;
        a.append(Data_List_T{records(1), QStringLiteral("m"), kCreated});

        const QByteArray mBlob = utf16be(QStringLiteral("m")) + kCreatedBytes + handRecordList(1);
        const QByteArray blob = be32(8) + QByteArray("\0A\0r\0c\0h", 8) + kCreatedBytes + be32(1) +
                                be32(quint32(mBlob.size())) + mBlob;
        const QByteArray file = be32(quint32(blob.size())) + blob;
        QCOMPARE(archiveToBytes(a), blob);
        QCOMPARE(dataFileToBytes(a), file);

        Data_table_T read;
        QVERIFY(dataFileFromBytes(file, read));
        QCOMPARE(read.name, a.name);
        QCOMPARE(read.created, kCreated);
        QCOMPARE(read.lists.size(), 1);
        QCOMPARE(read.lists[0]->records, a.lists[0]->records);
    }

    void archiveRoundTrips()
    {
        const Data_table_T a = sampleArchive();
        Data_table_T read;
        QVERIFY(dataFileFromBytes(dataFileToBytes(a), read));
        QCOMPARE(read.name, a.name);
        QCOMPARE(read.created, a.created);
        QCOMPARE(read.lists.size(), a.lists.size());
        for (int i = 0; i < a.lists.size(); ++i) {
            QCOMPARE(read.lists[i]->name, a.lists[i]->name);
            QCOMPARE(read.lists[i]->created.toMSecsSinceEpoch(),
                     a.lists[i]->created.toMSecsSinceEpoch());
            QCOMPARE(read.lists[i]->created.timeSpec(), Qt::LocalTime);
            QCOMPARE(read.lists[i]->records, a.lists[i]->records); // byte images, NaN too
        }

        // A null creation time survives as the stream's null markers.
        Data_table_T undated;
        undated.append(Data_List_T{});
        const QByteArray blob = archiveToBytes(undated);
        QCOMPARE(blob.mid(4, 13),
                 be64(std::numeric_limits<qint64>::min()) + be32(0xFFFFFFFF) + QByteArray(1, '\0'));
        bool ok = false;
        const Data_table_T back = archiveFromBytes(blob, &ok);
        QVERIFY(ok);
        QVERIFY(back.name.isNull());
        QVERIFY(!back.created.isValid());
        QCOMPARE(back.lists.size(), 1);
    }

    void incompleteDataFilesAreRefused()
    {
        const QByteArray file = dataFileToBytes(sampleArchive());
        Data_table_T kept = sampleArchive();
        kept.name = QStringLiteral("kept");
        for (int len = 0; len < file.size(); ++len) {
            QVERIFY2(!dataFileFromBytes(file.left(len), kept), qPrintable(QString::number(len)));
        }
        const QByteArray blob = file.mid(4);
        for (int len = 0; len < blob.size(); ++len) {
            bool ok = true;
            archiveFromBytes(blob.left(len), &ok);
            QVERIFY(!ok);
        }
        QVERIFY(!dataFileFromBytes(file + '\0', kept));
        QByteArray badSpec = dataFileToBytes(Data_table_T{});
        badSpec[4 + 4 + 12] = 1; // time spec of the archive's date-time
        QVERIFY(!dataFileFromBytes(badSpec, kept));
        QVERIFY(!dataFileFromBytes(QByteArray("[General]\nlang=1\n"), kept));
        QCOMPARE(kept.name, QStringLiteral("kept"));
        QCOMPARE(kept.lists.size(), 3);
        QCOMPARE(kept.lists[0]->records, records(3));
    }

    // The window reads a file a chunk at a time: it takes exactly the files
    // the byte reader takes, cut short, damaged or with elements of other
    // lengths, and reads the same archive from them.
    void fileReaderAgreesWithByteReader()
    {
        const QByteArray good = dataFileToBytes(sampleArchive());
        QByteArray badSpec = good;
        badSpec[badSpec.lastIndexOf(kCreatedBytes) + 12] = 1; // a measurement's time spec
        const QByteArray odd = utf16be(QStringLiteral("m")) + kCreatedBytes + be32(2) + be32(31) +
                               QByteArray(31, 'a') + be32(33) + QByteArray(33, 'b');
        const QByteArray oddBlob =
            be32(0) + kCreatedBytes + be32(1) + be32(quint32(odd.size())) + odd;
        QList<QByteArray> files{good, good + '\0', badSpec,
                                be32(quint32(oddBlob.size())) + oddBlob};
        for (int len = 0; len < good.size(); len += 5)
            files << good.left(len);
        QTemporaryDir dir;
        for (const QByteArray &bytes : qAsConst(files)) {
            QFile file(dir.filePath(QStringLiteral("f.dat")));
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(bytes);
            file.close();
            QVERIFY(file.open(QIODevice::ReadOnly));
            Data_table_T fromBytes, fromFile;
            const bool taken = dataFileFromBytes(bytes, fromBytes);
            QCOMPARE(dataFileFromFile(file, fromFile), taken);
            QCOMPARE(dataFileToBytes(fromFile), dataFileToBytes(fromBytes));
        }
    }

    void shortInputFollowsEndOfDataRules()
    {
        bool ok = true;
        // Only the name: the time reads invalid, the list empty.
        const Data_List_T nameOnly = measurementFromBytes(utf16be(QStringLiteral("ab")), &ok);
        QVERIFY(!ok);
        QCOMPARE(nameOnly.name, QStringLiteral("ab"));
        QVERIFY(!nameOnly.created.isValid());
        QVERIFY(nameOnly.records.isEmpty());

        // A list cut inside its last element reads as an empty list.
        const QByteArray cut = utf16be(QStringLiteral("ab")) + kCreatedBytes + handRecordList(3);
        const Data_List_T truncated = measurementFromBytes(cut.left(cut.size() - 1), &ok);
        QVERIFY(!ok);
        QCOMPARE(truncated.created, kCreated);
        QVERIFY(truncated.records.isEmpty());
        QVERIFY(recordsFromBytes(handRecordList(3).left(50), &ok).isEmpty());
        QVERIFY(!ok);

        // Short elements are zero-filled, long ones cut to 32 bytes.
        const QByteArray shortAndLong =
            be32(2) + be32(2) + QByteArray("\x34\x12", 2) + be32(33) + recordImage() + "Z";
        const QVector<_T_EE_TEST_DATA> got = recordsFromBytes(shortAndLong, &ok);
        QVERIFY(ok);
        QCOMPARE(got.size(), 2);
        _T_EE_TEST_DATA onlyChecksum;
        onlyChecksum.checksum = 0x1234;
        QCOMPARE(got[0], onlyChecksum);
        QCOMPARE(got[1], record());

        // An odd string length is damage: nothing after it is read.
        const Data_List_T odd =
            measurementFromBytes(be32(3) + "abc" + kCreatedBytes + handRecordList(1), &ok);
        QVERIFY(!ok);
        QVERIFY(odd.name.isEmpty());
        QVERIFY(!odd.created.isValid());
        QVERIFY(odd.records.isEmpty());
    }

    void hugeCountsAreRefusedQuickly()
    {
        QElapsedTimer timer;
        timer.start();
        bool ok = true;
        QVERIFY(recordsFromBytes(be32(0xFFFFFFF0) + be32(32) + recordImage(), &ok).isEmpty());
        QVERIFY(!ok);
        const Data_table_T a =
            archiveFromBytes(utf16be(QStringLiteral("a")) + kCreatedBytes + be32(0x7FFFFFFF), &ok);
        QVERIFY(!ok);
        QCOMPARE(a.name, QStringLiteral("a"));
        QVERIFY(a.lists.isEmpty());
        QVERIFY(measurementFromBytes(be32(0xFFFFFFF0) + "ab", &ok).name.isEmpty());
        QVERIFY(!ok);
        Data_table_T kept;
        QVERIFY(!dataFileFromBytes(be32(0xFFFFFFF0) + "abcd", kept));
        QVERIFY(backupFileFromBytes(be32(0x7FFFFFFF) + be32(0xFFFFFFFF)).isEmpty());
        QVERIFY(timer.elapsed() < 100);
    }

    void backupFileBytes()
    {
        const QByteArray hand = be32(40) + be32(1) + be32(32) + recordImage(0);
        QCOMPARE(backupFileToBytes(records(1)), hand);
        QCOMPARE(backupFileFromBytes(hand), records(1));

        // An emptied file, a null array and an empty list restore nothing.
        QVERIFY(backupFileFromBytes(QByteArray()).isEmpty());
        QVERIFY(backupFileFromBytes(be32(0xFFFFFFFF)).isEmpty());
        QCOMPARE(backupFileToBytes({}), be32(4) + be32(0));
        QVERIFY(backupFileFromBytes(backupFileToBytes({})).isEmpty());

        // Cut at any byte, the complete readings come back.
        const QByteArray full = backupFileToBytes(records(25));
        QCOMPARE(backupFileFromBytes(full), records(25));
        for (int len = 0; len <= full.size(); ++len) {
            const int complete = len < 8 ? 0 : (len - 8) / 36;
            QCOMPARE(backupFileFromBytes(full.left(len)), records(complete));
        }
    }

    void backupUpdateStepsStayReadable()
    {
        QByteArray file = backupFileToBytes(records(2));
        const QVector<_T_EE_TEST_DATA> three = records(3);

        file += backupFileElement(three[2]);
        QCOMPARE(backupFileFromBytes(file), records(2));
        file.replace(kBackupLengthOffset, 4, backupFileCount(quint32(file.size() - 4)));
        QCOMPARE(backupFileFromBytes(file), records(2));
        file.replace(kBackupCountOffset, 4, backupFileCount(3));
        QCOMPARE(backupFileFromBytes(file), three);
        QCOMPARE(file, backupFileToBytes(three));
    }

    void backupFileUpdatedInPlace()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("auto_backup.bak"));
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(backupFileToBytes(records(2)));
        out.close();
        const QVector<_T_EE_TEST_DATA> five = records(5);

        QVERIFY(!appendToBackupFile(path, 3, five.mid(2))); // not the size 3 records need
        QVERIFY(appendToBackupFile(path, 2, five.mid(2)));
        QVERIFY(out.open(QIODevice::ReadOnly));
        QCOMPARE(out.readAll(), backupFileToBytes(five));
    }
};

QTEST_GUILESS_MAIN(TestDataFile)
#include "tst_datafile.moc"
