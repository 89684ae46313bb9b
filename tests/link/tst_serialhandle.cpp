#include "link/frame.h"
#include "link/serialhandle.h"
#include "link/serialthread.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

#include <atomic>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text));
}

const QByteArray kSmallFrame = hex("AA 55 00 03 07 01 09");

// The controlling side of a pseudo-terminal; the link opens the other side
// as its serial port.
class PtyMaster
{
public:
    PtyMaster()
    {
        m_fd = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (m_fd < 0 || ::grantpt(m_fd) != 0 || ::unlockpt(m_fd) != 0)
            return;
        m_port = QString::fromLocal8Bit(::ptsname(m_fd));
    }
    ~PtyMaster() { close(); }

    bool isValid() const { return m_fd >= 0 && !m_port.isEmpty(); }
    QString port() const { return m_port; }

    void close()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

    bool write(const QByteArray &bytes)
    {
        qsizetype done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(m_fd, bytes.constData() + done, size_t(bytes.size() - done));
            if (n <= 0)
                return false;
            done += n;
        }
        return true;
    }

    // What the link sent, collected until `expected` bytes are in or
    // `timeoutMs` has passed without reaching them.
    QByteArray read(int expected, int timeoutMs)
    {
        QByteArray got;
        QElapsedTimer clock;
        clock.start();
        while (got.size() < expected) {
            const int left = timeoutMs - int(clock.elapsed());
            if (left <= 0)
                break;
            pollfd entry{m_fd, POLLIN, 0};
            if (::poll(&entry, 1, left) <= 0)
                break;
            char buffer[512];
            const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n <= 0)
                break;
            got.append(buffer, int(n));
        }
        return got;
    }

    int fd() const { return m_fd; }

private:
    int m_fd = -1;
    QString m_port;
};

// A thread that is joined however the test leaves its scope, so a failed
// check does not end the whole program.
class JoinedThread
{
public:
    template <typename F> explicit JoinedThread(F &&f) : m_thread(std::forward<F>(f)) {}
    ~JoinedThread()
    {
        if (m_thread.joinable())
            m_thread.join();
    }
    void join() { m_thread.join(); }

private:
    std::thread m_thread;
};

// A stored-record block answer: type 2, block number, 32 records.
QByteArray blockPayload(int block)
{
    QByteArray payload(1027, 0);
    payload[0] = 2;
    payload[1] = char(block >> 8);
    payload[2] = char(block);
    for (int i = 3; i < payload.size(); ++i)
        payload[i] = char((i * 31 + block * 7) & 0xFF);
    return payload;
}

QList<QByteArray> payloadsOf(const QSignalSpy &spy)
{
    QList<QByteArray> payloads;
    for (const QList<QVariant> &args : spy)
        payloads << args.at(0).toByteArray();
    return payloads;
}

} // namespace

class TestSerialHandle : public QObject
{
    Q_OBJECT

private slots:
    // ---- frame assembly through the manager's slots ----

    // Every way of cutting AA 55 00 03 07 01 09 into bursts, with or without
    // a timer run after each burst, yields the one payload 07, and only from
    // a timer run.
    void smallFrameAcrossBurstsAndTimerRuns()
    {
        SerialHandle handle(QStringLiteral("port_1"));
        QSignalSpy spy(&handle, &SerialHandle::codeDeal);
        const QDateTime now = QDateTime::currentDateTime();
        const int gaps = kSmallFrame.size() - 1;
        int combinations = 1;
        for (int i = 0; i < gaps; ++i)
            combinations *= 3;

        for (int combo = 0; combo < combinations; ++combo) {
            spy.clear();
            // Each gap between two bytes: 0 same burst, 1 new burst, 2 new
            // burst after a timer run.
            QByteArray burst(1, kSmallFrame.at(0));
            int code = combo;
            for (int i = 1; i < kSmallFrame.size(); ++i, code /= 3) {
                const int gap = code % 3;
                if (gap != 0) {
                    handle.handleRead_RX(burst, now);
                    burst.clear();
                    if (gap == 2)
                        handle.handleTimeOut_RX();
                }
                burst.append(kSmallFrame.at(i));
            }
            handle.handleRead_RX(burst, now);
            QVERIFY2(spy.isEmpty(), "a payload before the timer ran");
            handle.handleTimeOut_RX();
            QVERIFY2(payloadsOf(spy) == QList<QByteArray>{hex("07")},
                     qPrintable(QString::number(combo)));
        }
    }

    // A receiver that runs the assembly again from inside codeDeal (as a
    // nested event loop does) still sees the payloads in stream order.
    void nestedAssemblyKeepsOrder()
    {
        SerialHandle handle(QStringLiteral("port_1"));
        QList<QByteArray> seen;
        bool nested = false;
        connect(&handle, &SerialHandle::codeDeal, this, [&](const QByteArray &p) {
            seen << p;
            if (!nested) {
                nested = true;
                handle.handleRead_RX(encodeFrame(hex("03")), QDateTime());
                handle.handleTimeOut_RX();
            }
        });
        handle.handleRead_RX(encodeFrame(hex("01")) + encodeFrame(hex("02")), QDateTime());
        handle.handleTimeOut_RX();
        QCOMPARE(seen, (QList<QByteArray>{hex("01"), hex("02"), hex("03")}));
    }

    // ---- without a port ----

    void reportsClosedEveryHalfSecondWithoutPort()
    {
        QElapsedTimer clock;
        clock.start();
        SerialHandle handle(QStringLiteral("port_1"));
        QList<qint64> times;
        connect(&handle, &SerialHandle::updateCOMInfo, this,
                [&](int) { times << clock.elapsed(); });
        QSignalSpy spy(&handle, &SerialHandle::updateCOMInfo);
        // The reports go on: only the first two are looked at.
        QTRY_VERIFY_WITH_TIMEOUT(spy.count() >= 2, 5000);
        QCOMPARE(spy.at(0).at(0).toInt(), 0);
        QCOMPARE(spy.at(1).at(0).toInt(), 0);
        QVERIFY2(times.at(0) >= 450, qPrintable(QString::number(times.at(0))));
        QVERIFY2(times.at(1) - times.at(0) >= 450, qPrintable(QString::number(times.at(1))));
        QVERIFY(!handle.isOpen());
    }

    void sendFrameOnClosedPortSendsNothing()
    {
        PtyMaster pty;
        QVERIFY(pty.isValid());
        SerialHandle handle(QStringLiteral("port_1"));
        QVERIFY(!handle.sendFrame(hex("30")));
        handle.handleWrite_Rx(hex("01 02"));

        // Open, then close: nothing sent afterwards reaches the other side.
        QVERIFY(handle.openPort(pty.port(), 115200));
        QVERIFY(handle.sendFrame(hex("30")));
        QCOMPARE(pty.read(7, 2000), hex("AA 55 00 03 30 01 32"));
        handle.closePort();
        QTRY_VERIFY(!handle.isOpen());
        QVERIFY(!handle.sendFrame(hex("30")));
        handle.handleWrite_Rx(hex("01 02"));
        QCOMPARE(pty.read(1, 200), QByteArray());
    }

    // ---- opening failures ----

    void openFailuresReportAndReplaceTheThread_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QByteArray>("text");

        QTest::newRow("empty name") << QString() << QByteArray("无效的参数Empty port is invalid.");
        QTest::newRow("missing port")
            << QStringLiteral("/dev/kx740d-no-such-port")
            << QByteArray("IO异常IO Exception: Specified port, /dev/kx740d-no-such-port, does not "
                          "exist.");
    }

    void openFailuresReportAndReplaceTheThread()
    {
        QFETCH(QString, port);
        QFETCH(QByteArray, text);
        SerialHandle handle(QStringLiteral("port_1"));
        SerialThread *first = handle.readerThread();
        QSignalSpy errors(first, &SerialThread::error);
        QSignalSpy destroyed(first, &QObject::destroyed);
        QVERIFY(!handle.openPort(port, 115200));
        QCOMPARE(errors.count(), 1);
        QCOMPARE(errors.at(0).at(0).toByteArray(), text);
        QVERIFY(!handle.isOpen());
        QTRY_COMPARE(destroyed.count(), 1);
        QVERIFY(handle.readerThread() != nullptr);
        QVERIFY(!handle.readerThread()->isRunning());
    }

    // Opening an open port fails in the serial layer; the error replaces the
    // thread, which takes the open port down with it.
    void secondOpenReportsPortError()
    {
        PtyMaster pty;
        QVERIFY(pty.isValid());
        SerialHandle handle(QStringLiteral("port_1"));
        QVERIFY(handle.openPort(pty.port(), 115200));
        SerialThread *first = handle.readerThread();
        QVERIFY(first->isRunning());
        QSignalSpy errors(first, &SerialThread::error);
        QSignalSpy destroyed(first, &QObject::destroyed);
        QVERIFY(!handle.openPort(pty.port(), 115200));
        QCOMPARE(errors.count(), 1);
        QCOMPARE(errors.at(0).at(0).toByteArray(),
                 QByteArray("COM口异常SerialException Serial port already open. failed."));
        QTRY_COMPARE(destroyed.count(), 1);
        QVERIFY(!handle.isOpen());
        QVERIFY(handle.openPort(pty.port(), 115200));
        QVERIFY(handle.isOpen());
    }

    // ---- over a real pseudo-terminal ----

    void exchangesFramesOverPseudoTerminal()
    {
        PtyMaster pty;
        QVERIFY(pty.isValid());
        SerialHandle handle(QStringLiteral("port_1"));
        QSignalSpy payloads(&handle, &SerialHandle::codeDeal);
        QSignalSpy status(&handle, &SerialHandle::updateCOMInfo);
        QVERIFY(handle.openPort(pty.port(), 115200));
        QVERIFY(handle.isOpen());
        QVERIFY(handle.readerThread()->isRunning());

        // Incoming: frames with noise, split across writes.
        const QByteArray stream = hex("00 AA 01") + encodeFrame(hex("00 41 42")) + kSmallFrame +
                                  hex("AA 55 00 03 07 01 08") + encodeFrame(hex("09 01"));
        QVERIFY(pty.write(stream.left(5)));
        QTest::qWait(30);
        QVERIFY(pty.write(stream.mid(5)));
        QTRY_COMPARE(payloads.count(), 3);
        QCOMPARE(payloadsOf(payloads),
                 (QList<QByteArray>{hex("00 41 42"), hex("07"), hex("09 01")}));

        // Outgoing: framed by sendFrame, unframed by handleWrite_Rx.
        QVERIFY(handle.sendFrame(hex("42 24")));
        QCOMPARE(pty.read(8, 2000), hex("AA 55 00 04 42 24 01 69"));
        handle.handleWrite_Rx(hex("01 AA 02"));
        QCOMPARE(pty.read(3, 2000), hex("01 AA 02"));

        QTRY_VERIFY(!status.isEmpty());
        QCOMPARE(status.last().at(0).toInt(), 1);

        // Closing keeps the thread; the port reopens on the same thread.
        SerialThread *thread = handle.readerThread();
        handle.closePort();
        QTRY_VERIFY(!handle.isOpen());
        status.clear();
        QTRY_VERIFY(!status.isEmpty());
        QCOMPARE(status.last().at(0).toInt(), 0);
        QCOMPARE(handle.readerThread(), thread);
        QVERIFY(thread->isRunning());
        QVERIFY(handle.openPort(pty.port(), 115200));
        payloads.clear();
        QVERIFY(pty.write(kSmallFrame));
        QTRY_COMPARE(payloads.count(), 1);
    }

    void openingDropsAFrameCutOffByTheLastLine()
    {
        PtyMaster pty;
        QVERIFY(pty.isValid());
        SerialHandle handle(QStringLiteral("port_1"));
        QSignalSpy payloads(&handle, &SerialHandle::codeDeal);
        // the start of a block frame that never finished on the old line
        handle.handleRead_RX(encodeFrame(QByteArray(1027, '\x02')).left(300), QDateTime());
        handle.handleTimeOut_RX();
        QVERIFY(handle.openPort(pty.port(), 115200));
        QVERIFY(pty.write(encodeFrame(hex("00 41 42"))));
        QTRY_COMPARE(payloads.count(), 1);
        QCOMPARE(payloads.at(0).at(0).toByteArray(), hex("00 41 42"));
    }

    // A whole download (2500 block frames, 2.6 MB) written as fast as the
    // pseudo-terminal takes it: every frame comes through in order, and a full
    // input queue is read at once rather than after the settle wait (which
    // would stretch the transfer to several seconds).
    void fullDownloadArrivesWholeAndQuickly()
    {
        PtyMaster pty;
        QVERIFY(pty.isValid());
        SerialHandle handle(QStringLiteral("port_1"));
        QSignalSpy payloads(&handle, &SerialHandle::codeDeal);
        QVERIFY(handle.openPort(pty.port(), 115200));

        const int blocks = 2500;
        QByteArray stream;
        QList<QByteArray> sent;
        for (int b = 0; b < blocks; ++b) {
            sent << blockPayload(b);
            stream += encodeFrame(sent.last());
        }
        QElapsedTimer clock;
        clock.start();
        bool written = false;
        JoinedThread writer([&] { written = pty.write(stream); });
        QTRY_COMPARE_WITH_TIMEOUT(payloads.count(), blocks, 3000);
        const qint64 elapsed = clock.elapsed();
        writer.join();
        QVERIFY(written);
        QCOMPARE(payloadsOf(payloads), sent);
        qInfo("%d frames in %lld ms", blocks, elapsed);
    }

    // The other side goes away in the middle of a stream: the failing read
    // is reported, the thread is replaced, the link reports closed within
    // 500 ms, and a new port opens afterwards.
    void lostLineReplacesThreadAndReopens()
    {
        SerialHandle handle(QStringLiteral("port_1"));
        QSignalSpy payloads(&handle, &SerialHandle::codeDeal);
        QSignalSpy status(&handle, &SerialHandle::updateCOMInfo);
        QElapsedTimer clock;
        qint64 replacedAt = -1;
        std::atomic<qint64> lostAt{-1}; // set by the writer
        QList<QPair<qint64, int>> reports;
        connect(&handle, &SerialHandle::updateCOMInfo, this,
                [&](int open) { reports << qMakePair(clock.elapsed(), open); });

        {
            PtyMaster pty;
            QVERIFY(pty.isValid());
            QVERIFY(handle.openPort(pty.port(), 115200));
            SerialThread *first = handle.readerThread();
            QSignalSpy errors(first, &SerialThread::error);
            connect(first, &QObject::destroyed, this, [&] { replacedAt = clock.elapsed(); });

            // A few bursts with pauses between them get through; then bytes
            // keep arriving so the line drops while a burst is under way.
            std::atomic<bool> done{false};
            JoinedThread writer([&] {
                const QByteArray frame = encodeFrame(hex("01 02 03 04"));
                for (int round = 0; round < 4; ++round) {
                    for (int i = 0; i < 50; ++i) {
                        pty.write(frame);
                        ::usleep(300);
                    }
                    if (round < 3)
                        ::usleep(40000);
                }
                pty.close();
                lostAt = clock.elapsed();
                done = true;
            });
            clock.start();
            QTRY_VERIFY_WITH_TIMEOUT(done, 5000);
            writer.join();
            QVERIFY(payloads.count() > 0);
            // A reader with bytes counted when the line goes fails on reading
            // them and is replaced. One scheduled so late that it had read
            // everything finds the line gone on its next poll and closes the
            // port itself, staying ready for the next one.
            QTRY_VERIFY(replacedAt >= 0 || (!reports.isEmpty() && reports.last().second == 0 &&
                                            reports.last().first > lostAt));
            if (replacedAt >= 0) {
                QCOMPARE(errors.count(), 1);
                QCOMPARE(errors.at(0).at(0).toByteArray(), QByteArray("read false"));
            }
        }
        QVERIFY(handle.readerThread() != nullptr);
        if (replacedAt >= 0)
            QVERIFY(!handle.readerThread()->isRunning());
        QVERIFY(!handle.isOpen());
        const qint64 since = replacedAt >= 0 ? replacedAt : qint64(lostAt);

        QTRY_VERIFY(!reports.isEmpty() && reports.last().first > since);
        int firstAfter = 0;
        while (reports.at(firstAfter).first <= since)
            ++firstAfter;
        QCOMPARE(reports.at(firstAfter).second, 0);
        QVERIFY2(reports.at(firstAfter).first - since <= 550,
                 qPrintable(QString::number(reports.at(firstAfter).first - since)));

        PtyMaster again;
        QVERIFY(again.isValid());
        QVERIFY(handle.openPort(again.port(), 115200));
        payloads.clear();
        QVERIFY(again.write(kSmallFrame));
        QTRY_COMPARE(payloads.count(), 1);
        QCOMPARE(payloads.at(0).at(0).toByteArray(), hex("07"));
        QVERIFY(handle.sendFrame(hex("30")));
        QCOMPARE(again.read(7, 2000), hex("AA 55 00 03 30 01 32"));
        status.clear();
        QTRY_VERIFY(!status.isEmpty());
        QCOMPARE(status.last().at(0).toInt(), 1);
    }
};

QTEST_GUILESS_MAIN(TestSerialHandle)
#include "tst_serialhandle.moc"
