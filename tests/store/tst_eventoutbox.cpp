// Alarm events kept for the broker: handed over a window at a time, back
// after a kill until the broker has them, whole after damage, and gone once
// the broker has them all.

#include "store/eventoutbox.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

// An outbox whose publisher keeps what it was handed.
struct Outbox
{
    QVector<quint64> ids;
    QVector<QByteArray> payloads;
    EventOutbox outbox;

    explicit Outbox(const QString &path)
        : outbox(path, [this](quint64 id, const QByteArray &payload) {
              ids << id;
              payloads << payload;
          })
    {
        outbox.open();
    }
};

QVector<quint64> range(quint64 from, quint64 to)
{
    QVector<quint64> r;
    for (quint64 id = from; id <= to; ++id)
        r << id;
    return r;
}

// The events' own size in the file: length, checksum, kind, id, and "eN".
constexpr int kEntrySize = 8 + 9 + 2;

} // namespace

class TestEventOutbox : public QObject
{
    Q_OBJECT

private slots:
    void eventsWaitForTheBrokerAcrossAKill()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("oven.dat.events"));
        {
            Outbox o(path);
            for (int i = 1; i <= 30; ++i)
                QVERIFY(o.outbox.add("e" + QByteArray::number(i)));
            QCOMPARE(o.ids, range(1, EventOutbox::kWindow));
            o.outbox.acknowledged(30 - EventOutbox::kWindow);
            QCOMPARE(o.ids, range(1, 30));
        } // killed
        Outbox again(path);
        QCOMPARE(again.ids, range(31 - EventOutbox::kWindow, 30));
        QCOMPARE(again.payloads.first(), "e" + QByteArray::number(31 - EventOutbox::kWindow));
        QCOMPARE(again.outbox.waitingCount(), quint64(EventOutbox::kWindow));
        again.outbox.acknowledged(30);
        QVERIFY(!QFile::exists(path));
        QCOMPARE(again.outbox.waitingCount(), quint64(0));
    }

    // Three events, then the file is hurt: what holds is read, in order,
    // and the next event is kept whole after it.
    void damageCostsOnlyWhatIsDamaged_data()
    {
        QTest::addColumn<int>("at"); // where the bytes are written; 0: at the end
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QVector<quint64>>("read");
        QTest::newRow("torn tail")
            << 0 << QByteArray("\x00\x00\x00\x20\x01", 5) << QVector<quint64>{1, 2, 3};
        QTest::newRow("damaged event")
            << 8 + kEntrySize + 17 << QByteArray("X") << QVector<quint64>{1, 3};
    }
    void damageCostsOnlyWhatIsDamaged()
    {
        QFETCH(int, at);
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("oven.dat.events"));
        {
            Outbox o(path);
            for (const char *e : {"e1", "e2", "e3"})
                o.outbox.add(e);
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.seek(at > 0 ? at : file.size()) && file.write(bytes) == bytes.size());
        file.close();
        {
            Outbox o(path);
            QTEST(o.ids, "read");
            QVERIFY(o.outbox.add("e4"));
            QCOMPARE(o.ids.last(), quint64(4));
        }
        Outbox after(path);
        QFETCH(QVector<quint64>, read);
        QCOMPARE(after.ids, read << 4);
        QCOMPARE(after.payloads.last(), QByteArray("e4"));
    }
};

QTEST_GUILESS_MAIN(TestEventOutbox)
#include "tst_eventoutbox.moc"
