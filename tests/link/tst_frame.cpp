#include "link/frame.h"

#include <QtTest>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text));
}

// The smallest valid frame: payload 07, checksum 0x0109.
const QByteArray kSmallFrame = hex("AA 55 00 03 07 01 09");

QList<QByteArray> feedAll(FrameAssembler &assembler, const QList<QByteArray> &bursts)
{
    QList<QByteArray> payloads;
    for (const QByteArray &b : bursts)
        payloads += assembler.feed(b);
    return payloads;
}

} // namespace

class TestFrame : public QObject
{
    Q_OBJECT

private slots:
    void encodesExampleFrames_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QByteArray>("frame");

        QTest::newRow("device information query") << hex("30") << hex("AA 55 00 03 30 01 32");
        QTest::newRow("abort transfer") << hex("42 24") << hex("AA 55 00 04 42 24 01 69");
        QTest::newRow("read blocks 0 to 2")
            << hex("32 00 00 00 03") << hex("AA 55 00 07 32 00 00 00 03 01 3B");
        // Unit at byte 10 of the control block.
        QTest::newRow("unit Fahrenheit")
            << hex("43 00 80 00 00 00 00 00 00 00 00 00 00 01 00 00")
            << hex("AA 55 00 12 43 00 80 00 00 00 00 00 00 00 00 00 00 01 00 00 01 D5");
        QTest::newRow("T1 type N") << hex("44 00 01 06 00 00 00 00 00 00 00")
                                   << hex("AA 55 00 0D 44 00 01 06 00 00 00 00 00 00 00 01 57");
        QTest::newRow("recording started") << hex("45 01") << hex("AA 55 00 04 45 01 01 49");
        QTest::newRow("empty payload") << QByteArray() << hex("AA 55 00 02 01 01");
        // 300 x 0xFF + 0xAA + 0x55 + 0x01 + 0x2E = 76802 = 0x12C02: the sum wraps.
        QTest::newRow("sum wraps")
            << QByteArray(300, char(0xFF))
            << hex("AA 55 01 2E") + QByteArray(300, char(0xFF)) + hex("2C 02");
    }

    void encodesExampleFrames()
    {
        QFETCH(QByteArray, payload);
        QFETCH(QByteArray, frame);
        QCOMPARE(encodeFrame(payload).toHex(' '), frame.toHex(' '));
    }

    void examplesDecodeBack_data() { encodesExampleFrames_data(); }

    void examplesDecodeBack()
    {
        QFETCH(QByteArray, payload);
        QFETCH(QByteArray, frame);
        FrameAssembler assembler;
        const QList<QByteArray> got = assembler.feed(frame);
        if (payload.isEmpty()) {
            QVERIFY(got.isEmpty()); // a length of 2 carries no payload and is dropped
        } else {
            QCOMPARE(got.size(), 1);
            QCOMPARE(got.first(), payload);
        }
        QCOMPARE(assembler.state(), 0);
    }

    // Every one of the 2^6 ways to cut the seven bytes into bursts.
    void smallFrameInEverySplit()
    {
        const int n = kSmallFrame.size();
        for (int cuts = 0; cuts < (1 << (n - 1)); ++cuts) {
            QList<QByteArray> bursts;
            int start = 0;
            for (int i = 1; i <= n; ++i) {
                if (i == n || (cuts & (1 << (i - 1)))) {
                    bursts << kSmallFrame.mid(start, i - start);
                    start = i;
                }
            }
            FrameAssembler assembler;
            const QList<QByteArray> got = feedAll(assembler, bursts);
            QVERIFY2(got == QList<QByteArray>{hex("07")}, qPrintable(QString::number(cuts)));
        }
    }

    void skipsGarbageAndRestartsHeader_data()
    {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<QList<QByteArray>>("payloads");

        const QList<QByteArray> one{hex("07")};
        QTest::newRow("garbage before") << hex("00 13 55 FF 02") + kSmallFrame << one;
        QTest::newRow("AA then garbage") << hex("AA 00 AA 13") + kSmallFrame << one;
        QTest::newRow("AA AA 55") << hex("AA") + kSmallFrame << one;
        QTest::newRow("AA AA AA 55") << hex("AA AA") + kSmallFrame << one;
        QTest::newRow("55 alone is not a header")
            << hex("55 00 03 07 01 09") << QList<QByteArray>();
        QTest::newRow("back to back") << kSmallFrame + encodeFrame(hex("01 02 03")) + kSmallFrame
                                      << QList<QByteArray>{hex("07"), hex("01 02 03"), hex("07")};
        QTest::newRow("header bytes inside a payload")
            << encodeFrame(hex("02 AA 55 00 03 07 01 09")) + kSmallFrame
            << QList<QByteArray>{hex("02 AA 55 00 03 07 01 09"), hex("07")};
    }

    void skipsGarbageAndRestartsHeader()
    {
        QFETCH(QByteArray, stream);
        QFETCH(QList<QByteArray>, payloads);
        FrameAssembler whole;
        QCOMPARE(whole.feed(stream), payloads);
        FrameAssembler byteWise;
        QList<QByteArray> got;
        for (const char c : qAsConst(stream))
            got += byteWise.feed(&c, 1);
        QCOMPARE(got, payloads);
    }

    void badChecksum_data()
    {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<QList<QByteArray>>("payloads");

        QTest::newRow("wrong low byte") << hex("AA 55 00 03 07 01 08") << QList<QByteArray>();
        QTest::newRow("wrong high byte") << hex("AA 55 00 03 07 02 09") << QList<QByteArray>();
        // The bad checksum's last byte AA opens the frame 55 00 03 08 01 0A.
        QTest::newRow("last byte AA starts the next frame")
            << hex("AA 55 00 03 07 01 AA 55 00 03 08 01 0A") << QList<QByteArray>{hex("08")};
        // Without the AA the following bytes are no frame.
        QTest::newRow("last byte not AA")
            << hex("AA 55 00 03 07 01 AB 55 00 03 08 01 0A") << QList<QByteArray>();
        // A high checksum byte of AA does not restart anything.
        QTest::newRow("high byte AA")
            << hex("AA 55 00 03 07 AA 00 55 00 03 08 01 0A") << QList<QByteArray>();
        QTest::newRow("good frame after a bad one")
            << hex("AA 55 00 03 07 01 08") + kSmallFrame << QList<QByteArray>{hex("07")};
    }

    void badChecksum() { skipsGarbageAndRestartsHeader(); }

    void shortAndLongLengths_data()
    {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<QList<QByteArray>>("payloads");

        const QList<QByteArray> one{hex("07")};
        QTest::newRow("length 0") << hex("AA 55 00 00") + kSmallFrame << one;
        QTest::newRow("length 1") << hex("AA 55 00 01 00") + kSmallFrame << one;
        QTest::newRow("length 2") << hex("AA 55 00 02 01 01") + kSmallFrame << one;
        QTest::newRow("length 2 alone") << hex("AA 55 00 02 01 01") << QList<QByteArray>();
        QTest::newRow("length FFFF") << hex("AA 55 FF FF 00 00 00") + kSmallFrame << one;
        QTest::newRow("length FFFF then at once a frame")
            << hex("AA 55 FF FF") + kSmallFrame << one;
        // The length's low byte AA is part of the length, not a new header.
        QTest::newRow("length 10AA") << hex("AA 55 10 AA 55 00 03 07 01 09") << QList<QByteArray>();

        const QByteArray largest(FrameAssembler::kMaxPayload, char(0x5A));
        QTest::newRow("4096-byte payload")
            << encodeFrame(largest) + kSmallFrame << QList<QByteArray>{largest, hex("07")};
        // One byte over: the frame is dropped unread, its zero payload is
        // skipped while hunting, and the next frame comes through.
        QTest::newRow("4097-byte payload")
            << encodeFrame(QByteArray(FrameAssembler::kMaxPayload + 1, 0)) + kSmallFrame << one;
        QTest::newRow("longest answer")
            << encodeFrame(QByteArray(1027, char(0xAA))) + kSmallFrame
            << QList<QByteArray>{QByteArray(1027, char(0xAA)), hex("07")};
    }

    void shortAndLongLengths() { skipsGarbageAndRestartsHeader(); }

    // A frame far longer than the payload buffer, with header bytes inside,
    // must never be written into the buffer and leaves the assembler hunting.
    void oversizedFrameNeverFillsTheBuffer()
    {
        QByteArray body(60000, char(0x11));
        FrameAssembler assembler;
        QVERIFY(assembler.feed(hex("AA 55 EA 62") + body).isEmpty());
        QCOMPARE(assembler.state(), 0);
        QCOMPARE(assembler.feed(kSmallFrame), QList<QByteArray>{hex("07")});
    }

    void stateCarriesOverAndResetForgets()
    {
        FrameAssembler assembler;
        QVERIFY(assembler.feed(kSmallFrame.left(5)).isEmpty());
        QCOMPARE(assembler.state(), 4); // payload complete, checksum pending
        QCOMPARE(assembler.feed(kSmallFrame.mid(5)), QList<QByteArray>{hex("07")});

        QVERIFY(assembler.feed(kSmallFrame.left(5)).isEmpty());
        assembler.reset();
        QCOMPARE(assembler.state(), 0);
        QVERIFY(assembler.feed(kSmallFrame.mid(5)).isEmpty());
        QCOMPARE(assembler.feed(kSmallFrame), QList<QByteArray>{hex("07")});
    }

    void callbackSeesPayloadsInOrder()
    {
        const QByteArray stream = encodeFrame(hex("01")) + hex("00 AA") +
                                  encodeFrame(hex("02 03")) + encodeFrame(hex("04"));
        FrameAssembler assembler;
        QList<QByteArray> got;
        QList<int> states;
        const auto collect = [&](const QByteArray &p) {
            got << p;
            states << assembler.state();
        };
        assembler.feed(stream.constData(), 9, collect);
        assembler.feed(stream.constData() + 9, stream.size() - 9, collect);
        QCOMPARE(got, (QList<QByteArray>{hex("01"), hex("02 03"), hex("04")}));
        QCOMPARE(states, (QList<int>{0, 0, 0}));
    }

    // A recorded download pattern: 1033-byte frames cut into uneven bursts
    // that never line up with frame boundaries.
    void blockStreamInOddBursts()
    {
        QByteArray stream;
        QList<QByteArray> sent;
        for (int block = 0; block < 40; ++block) {
            QByteArray payload(1027, 0);
            payload[0] = 2;
            payload[1] = char(block >> 8);
            payload[2] = char(block);
            for (int i = 3; i < payload.size(); ++i)
                payload[i] = char((i * 7 + block) & 0xFF);
            sent << payload;
            stream += encodeFrame(payload);
        }
        QCOMPARE(stream.size(), 40 * 1033);

        FrameAssembler assembler;
        QList<QByteArray> got;
        for (int pos = 0, step = 1; pos < stream.size(); pos += step, step = step * 3 % 1999 + 1)
            got += assembler.feed(stream.mid(pos, step));
        QCOMPARE(got, sent);
    }
};

QTEST_GUILESS_MAIN(TestFrame)
#include "tst_frame.moc"
