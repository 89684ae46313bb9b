// Readings on their way to the broker: what the broker did not acknowledge
// comes back after a kill or a stop, with its original id and number, in
// order, before new readings, and never more than a window at a time.

#include "record/mqttoutbox.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Handed
{
    QString id;
    quint32 seq;
};

// A publisher that keeps what it was handed; the broker acknowledges when
// the test says so.
struct OutboxFixture
{
    QTemporaryDir dir;
    QString out = dir.filePath(QStringLiteral("oven.dat"));
    QString journal = out + QStringLiteral(".journal");
    QVector<Handed> handed;
    quint32 acked = 0; // index into handed
    JournalWriter writer;
    JournalHeader header;
    quint32 seq = 0;

    std::unique_ptr<MqttOutbox> makeOutbox()
    {
        auto outbox = std::make_unique<MqttOutbox>(
            out,
            [this](const QString &id, quint32 s, const _T_EE_TEST_DATA &) {
                handed.append({id, s});
            },
            [this] { return int(handed.size() - acked); });
        outbox->open();
        return outbox;
    }

    void startRecording()
    {
        header.id = QUuid::createUuid();
        header.started = QDateTime::currentDateTime();
        seq = 0;
        if (!writer.create(journal, header))
            qFatal("journal");
    }

    void store(int count)
    {
        for (int i = 0; i < count; ++i)
            writer.appendReading(++seq, _T_EE_TEST_DATA());
    }

    void ackAll(MqttOutbox &outbox)
    {
        while (acked < quint32(handed.size())) {
            acked = quint32(handed.size());
            outbox.acknowledged(handed.last().id, handed.last().seq);
        }
    }

    QVector<quint32> seqsOf(const QString &id) const
    {
        QVector<quint32> out;
        for (const Handed &h : handed)
            if (h.id == id)
                out << h.seq;
        return out;
    }
};

QVector<quint32> range(quint32 from, quint32 to)
{
    QVector<quint32> r;
    for (quint32 s = from; s <= to; ++s)
        r << s;
    return r;
}

} // namespace

class TestMqttOutbox : public QObject
{
    Q_OBJECT

private slots:
    // Killed with readings 5 to 10 not acknowledged: the resumed recording
    // sends them first, then its new ones.
    void killedRunSendsWhatTheBrokerLacks()
    {
        OutboxFixture f;
        f.startRecording();
        const QString id = f.header.id.toString(QUuid::WithoutBraces);
        {
            auto outbox = f.makeOutbox();
            outbox->follow(f.journal);
            f.store(10);
            outbox->pump();
            f.acked = 4;
            outbox->acknowledged(id, 4);
            outbox->save();
        } // killed: nothing else happens
        f.handed.clear();
        f.acked = 0;
        auto outbox = f.makeOutbox();
        outbox->follow(f.journal);
        QCOMPARE(outbox->waitingCount(10), 6u);
        f.store(2);
        outbox->pump();
        QCOMPARE(f.seqsOf(id), range(5, 12));
    }

    // Stopped during an outage: the journal is kept as an outbox file and
    // sent, whole and first, at the next start; once acknowledged it goes.
    void stoppedRecordingIsSentAtTheNextStart()
    {
        OutboxFixture f;
        f.startRecording();
        const QString first = f.header.id.toString(QUuid::WithoutBraces);
        {
            auto outbox = f.makeOutbox();
            outbox->follow(f.journal);
            f.store(3);
            outbox->pump();
            f.writer.close();
            QVERIFY(outbox->retire(f.journal));
            QCOMPARE(outbox->outboxFiles().size(), 1);
        }
        QVERIFY(!QFile::exists(f.journal));
        f.handed.clear();
        f.acked = 0;
        auto outbox = f.makeOutbox();
        f.startRecording();
        const QString second = f.header.id.toString(QUuid::WithoutBraces);
        outbox->follow(f.journal);
        f.store(2);
        outbox->pump();
        QCOMPARE(f.seqsOf(first), range(1, 3));
        QCOMPARE(f.seqsOf(second), range(1, 2));
        QCOMPARE(f.handed.first().id, first);
        f.ackAll(*outbox);
        QVERIFY(outbox->outboxFiles().isEmpty());
        f.writer.close();
        QVERIFY(outbox->retire(f.journal));
        QVERIFY(!QFile::exists(f.journal));
        QVERIFY(outbox->outboxFiles().isEmpty());
    }

    // A backlog far larger than memory should hold goes out a window at a
    // time, in order, each reading once.
    void backlogGoesOutAWindowAtATime()
    {
        OutboxFixture f;
        f.startRecording();
        f.store(5000);
        auto outbox = f.makeOutbox();
        outbox->follow(f.journal);
        QVERIFY(f.handed.size() > 0 && f.handed.size() <= 500);
        int rounds = 0;
        while (f.acked < 5000 && ++rounds < 100)
            f.ackAll(*outbox);
        QCOMPARE(f.seqsOf(f.header.id.toString(QUuid::WithoutBraces)), range(1, 5000));
    }
};

QTEST_GUILESS_MAIN(TestMqttOutbox)
#include "tst_mqttoutbox.moc"
