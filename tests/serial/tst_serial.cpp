#include "ptypair.h"
#include "serial/serial.h"

#include <QElapsedTimer>
#include <QtTest>

#include <cerrno>
#include <chrono>
#include <future>
#include <memory>
#include <stdexcept>
#include <termios.h>
#include <thread>

using namespace std::chrono_literals;

namespace {

// The what() text of the exception of type E that `action` throws, or a
// description of what happened instead.
template <typename E, typename F> QString thrownText(F action)
{
    try {
        action();
    } catch (const E &e) {
        return QString::fromStdString(e.what());
    } catch (const std::exception &e) {
        return QStringLiteral("other exception: ") + QString::fromStdString(e.what());
    }
    return QStringLiteral("no exception");
}

QByteArray bytes(const std::string &data)
{
    return QByteArray::fromStdString(data);
}

// Every byte value, the terminal's special characters included (CR, LF,
// XON/XOFF, interrupt, end-of-file, erase).
std::string allByteValues()
{
    std::string data;
    for (int i = 0; i < 256; ++i)
        data.push_back(static_cast<char>(i));
    for (int i = 255; i >= 0; --i)
        data.push_back(static_cast<char>(i));
    return data;
}

QString ioText(const std::string &description)
{
    return QStringLiteral("IO Exception: ") + QString::fromStdString(description);
}

QString busyText()
{
    return ioText("Unknown error opening the serial port: " + std::to_string(EBUSY));
}

template <typename T> bool finishesWithin(std::future<T> &future, std::chrono::milliseconds time)
{
    return future.wait_for(time) == std::future_status::ready;
}

} // namespace

class TestSerial : public QObject
{
    Q_OBJECT

private slots:
    // Every test gets a fresh pseudo-terminal with the kernel's default settings.
    void init()
    {
        m_pty = std::make_unique<PtyPair>();
        QVERIFY(m_pty->isValid());
    }

    void cleanup() { m_pty.reset(); }

    void openCloseAndReopen()
    {
        serial::Serial port;
        QVERIFY(!port.isOpen());
        port.setPort(m_pty->slavePath());
        QVERIFY(!port.isOpen()); // setPort on a closed port does not open
        port.open();
        QVERIFY(port.isOpen());
        port.close();
        QVERIFY(!port.isOpen());
        port.close(); // closing a closed port does nothing
        QVERIFY(!port.isOpen());
        port.open(); // the exclusive hold was given back
        QVERIFY(port.isOpen());

        serial::Serial atOnce(PtyPair().slavePath());
        QVERIFY(atOnce.isOpen());
    }

    void waitsForInputWithoutReadingIt()
    {
        serial::Serial port;
        QVERIFY(!port.waitReadable(1000)); // closed: at once, nothing to wait for
        port.setPort(m_pty->slavePath());
        port.open();
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!port.waitReadable(50));
        QVERIFY(timer.elapsed() >= 40);

        auto later = std::async(std::launch::async, [this] {
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            return m_pty->writeMaster("xy");
        });
        timer.restart();
        QVERIFY(port.waitReadable(5000));
        QVERIFY(timer.elapsed() < 2000);
        QVERIFY(later.get());
        QTRY_COMPARE(port.available(), size_t(2)); // still there to be read
        QCOMPARE(port.read(2), std::string("xy"));
    }

    void secondOpenIsRefused()
    {
        serial::Serial first(m_pty->slavePath());
        QCOMPARE(thrownText<serial::SerialException>([&] { first.open(); }),
                 QStringLiteral("SerialException Serial port already open. failed."));
        QVERIFY(first.isOpen());

        serial::Serial second;
        second.setPort(m_pty->slavePath());
        QCOMPARE(thrownText<serial::IOException>([&] { second.open(); }), busyText());
        QVERIFY(!second.isOpen());

        first.close();
        second.open();
        QVERIFY(second.isOpen());
    }

    void destructorReleasesPort()
    {
        {
            serial::Serial port(m_pty->slavePath());
            QVERIFY(port.isOpen());
        }
        serial::Serial again(m_pty->slavePath());
        QVERIFY(again.isOpen());
    }

    void missingPort_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("path") << QStringLiteral("/dev/kx740d-no-such-port");
        QTest::newRow("device name") << QStringLiteral("kx740d-no-such-port");
    }

    void missingPort()
    {
        QFETCH(QString, name);
        const QString expected = QStringLiteral("IO Exception: Specified port, ") + name +
                                 QStringLiteral(", does not exist.");
        serial::Serial port;
        port.setPort(name.toStdString());
        QCOMPARE(thrownText<serial::IOException>([&] { port.open(); }), expected);
        QVERIFY(!port.isOpen());
        QCOMPARE(thrownText<serial::IOException>([&] { serial::Serial(name.toStdString()); }),
                 expected);
    }

    void deviceNameIsLookedUpInDev()
    {
        // "null" exists only as /dev/null, which is not a terminal.
        QVERIFY(!QFile::exists(QStringLiteral("null")));
        serial::Serial port;
        port.setPort("null");
        QCOMPARE(thrownText<serial::IOException>([&] { port.open(); }),
                 ioText("Unknown error opening the serial port: " + std::to_string(ENOTTY)));
        QVERIFY(!port.isOpen());
    }

    void emptyName()
    {
        serial::Serial port;
        QCOMPARE(thrownText<std::invalid_argument>([&] { port.open(); }),
                 QStringLiteral("Empty port is invalid."));
        QVERIFY(!port.isOpen());
    }

    void closedPort()
    {
        serial::Serial port;
        port.setPort(m_pty->slavePath());
        QCOMPARE(port.available(), size_t(0));
        QCOMPARE(thrownText<serial::PortNotOpenedException>([&] { port.read(1); }),
                 QStringLiteral("PortNotOpenedException Serial::read failed."));
        QCOMPARE(thrownText<serial::PortNotOpenedException>([&] { port.write("x"); }),
                 QStringLiteral("PortNotOpenedException Serial::write failed."));
        QCOMPARE(bytes(m_pty->readMaster(1, 100)), QByteArray());
    }

    void settersOnClosedPortOnlyStore()
    {
        const PtyPair::LineState before = m_pty->lineState();
        QCOMPARE(before.speed, 38400u); // a fresh terminal's speed
        QVERIFY(!(before.cflag & CSTOPB));

        serial::Serial port;
        port.setPort(m_pty->slavePath());
        port.setBaudrate(115200);
        port.setStopbits(serial::StopBits::Two);
        port.setFlowcontrol(serial::FlowControl::Software);
        port.setBytesize(serial::ByteSize::SevenBits);
        port.setParity(serial::Parity::Even);
        port.setTimeout(serial::PortTimeouts{1, 2, 3, 4, 5});
        QVERIFY(!port.isOpen());
        const PtyPair::LineState untouched = m_pty->lineState();
        QCOMPARE(untouched.speed, before.speed);
        QCOMPARE(untouched.cflag, before.cflag);
        QCOMPARE(untouched.iflag, before.iflag);

        port.open();
        const PtyPair::LineState line = m_pty->lineState();
        QCOMPARE(line.speed, 115200u);
        QVERIFY(line.cflag & CSTOPB);
        QCOMPARE(line.iflag & (IXON | IXOFF), unsigned(IXON | IXOFF));
        QVERIFY(!(line.cflag & CRTSCTS));
        // raw: no line editing, echo, signals or output processing
        QCOMPARE(line.lflag & (ICANON | ECHO | ISIG), 0u);
        QCOMPARE(line.oflag & OPOST, 0u);
        QCOMPARE(line.iflag & ICRNL, 0u);
    }

    void settersOnOpenPortApplyAtOnce()
    {
        serial::Serial port(m_pty->slavePath());
        PtyPair::LineState line = m_pty->lineState();
        QCOMPARE(line.speed, 9600u);
        QVERIFY(!(line.cflag & CSTOPB));
        QCOMPARE(line.iflag & (IXON | IXOFF), 0u); // a fresh terminal has IXON
        QVERIFY(!(line.cflag & CRTSCTS));

        port.setBaudrate(57600);
        QCOMPARE(m_pty->lineState().speed, 57600u);
        port.setStopbits(serial::StopBits::OnePointFive);
        QVERIFY(m_pty->lineState().cflag & CSTOPB);
        port.setStopbits(serial::StopBits::One);
        QVERIFY(!(m_pty->lineState().cflag & CSTOPB));
        port.setFlowcontrol(serial::FlowControl::Hardware);
        line = m_pty->lineState();
        QVERIFY(line.cflag & CRTSCTS);
        QCOMPARE(line.iflag & (IXON | IXOFF), 0u);
        port.setFlowcontrol(serial::FlowControl::None);
        QVERIFY(!(m_pty->lineState().cflag & CRTSCTS));

        // a rate without a B-constant of its own
        port.setBaudrate(250000);
        QCOMPARE(m_pty->lineState().speed, 250000u);
        port.setBaudrate(115200);
        QCOMPARE(m_pty->lineState().speed, 115200u);
        QVERIFY(port.isOpen());
        QCOMPARE(port.write("ok"), size_t(2));
        QCOMPARE(bytes(m_pty->readMaster(2)), QByteArray("ok"));
    }

    void invalidSettings_data()
    {
        QTest::addColumn<int>("bytesize");
        QTest::addColumn<int>("stopbits");
        QTest::addColumn<int>("parity");
        QTest::addColumn<QString>("message");
        QTest::newRow("byte size 9") << 9 << 1 << 0 << QStringLiteral("invalid char len");
        QTest::newRow("byte size 4") << 4 << 1 << 0 << QStringLiteral("invalid char len");
        QTest::newRow("stop bits 0") << 8 << 0 << 0 << QStringLiteral("invalid stop bit");
        QTest::newRow("parity 5") << 8 << 1 << 5 << QStringLiteral("invalid parity");
        // byte size is checked before stop bits, stop bits before parity
        QTest::newRow("all three") << 9 << 0 << 5 << QStringLiteral("invalid char len");
        QTest::newRow("stop and parity") << 8 << 0 << 5 << QStringLiteral("invalid stop bit");
    }

    void invalidSettings()
    {
        QFETCH(int, bytesize);
        QFETCH(int, stopbits);
        QFETCH(int, parity);
        QFETCH(QString, message);
        const auto applyInvalid = [&](serial::Serial &port) {
            port.setBytesize(static_cast<serial::ByteSize>(bytesize));
            port.setStopbits(static_cast<serial::StopBits>(stopbits));
            port.setParity(static_cast<serial::Parity>(parity));
        };

        // rejected at open: the port stays closed and the device is let go
        serial::Serial port;
        port.setPort(m_pty->slavePath());
        applyInvalid(port); // stored only, no error yet
        QCOMPARE(thrownText<std::invalid_argument>([&] { port.open(); }), message);
        QVERIFY(!port.isOpen());
        QCOMPARE(thrownText<serial::IOException>([&] { serial::Serial other(m_pty->slavePath()); }),
                 QStringLiteral("no exception"));

        // rejected by a setter on an open port: it stays open and unchanged
        serial::Serial open(m_pty->slavePath(), 19200);
        const PtyPair::LineState before = m_pty->lineState();
        open.setBaudrate(38400); // a valid setting is applied...
        QCOMPARE(m_pty->lineState().speed, 38400u);
        QCOMPARE(thrownText<std::invalid_argument>([&] { applyInvalid(open); }), message);
        QVERIFY(open.isOpen());
        QCOMPARE(m_pty->lineState().speed, 38400u);
        QCOMPARE(m_pty->lineState().cflag & CSTOPB, before.cflag & CSTOPB);
        QCOMPARE(open.write("x"), size_t(1));
        QCOMPARE(bytes(m_pty->readMaster(1)), QByteArray("x"));
    }

    void bytesTravelUnchangedBothWays()
    {
        const std::string data = allByteValues();
        serial::Serial port(m_pty->slavePath(), 115200);

        QCOMPARE(port.write(data), data.size());
        QCOMPARE(bytes(m_pty->readMaster(data.size() + 1, 500)), bytes(data));

        QCOMPARE(port.available(), size_t(0));
        QVERIFY(m_pty->writeMaster(data));
        QTRY_COMPARE_WITH_TIMEOUT(port.available(), data.size(), 2000);
        QCOMPARE(bytes(port.read(100)), bytes(data.substr(0, 100)));
        QCOMPARE(port.available(), data.size() - 100);
        QCOMPARE(bytes(port.read(data.size() - 100)), bytes(data.substr(100)));
        QCOMPARE(port.available(), size_t(0));
    }

    void readWithoutTimeoutsCompletesItsCount()
    {
        serial::Serial port(m_pty->slavePath());
        auto reader = std::async(std::launch::async, [&] { return port.read(10); });
        QVERIFY(m_pty->writeMaster("0123"));
        QVERIFY(!finishesWithin(reader, 300ms)); // 4 of 10 bytes: still waiting
        QVERIFY(m_pty->writeMaster("456789"));
        QVERIFY(finishesWithin(reader, 2000ms));
        QCOMPARE(bytes(reader.get()), QByteArray("0123456789"));
    }

    void blockedReadDoesNotBlockWrite()
    {
        serial::Serial port(m_pty->slavePath());
        auto reader = std::async(std::launch::async, [&] { return port.read(4); });
        QVERIFY(!finishesWithin(reader, 100ms));

        auto writer = std::async(std::launch::async, [&] { return port.write("ping"); });
        const bool writeDone = finishesWithin(writer, 2000ms);
        QVERIFY(m_pty->writeMaster("pong")); // lets the read finish in any case
        QVERIFY(writeDone);
        QCOMPARE(writer.get(), size_t(4));
        QCOMPARE(bytes(m_pty->readMaster(4)), QByteArray("ping"));
        QVERIFY(finishesWithin(reader, 2000ms));
        QCOMPARE(bytes(reader.get()), QByteArray("pong"));
    }

    void readTimeouts()
    {
        serial::Serial port(m_pty->slavePath());
        QElapsedTimer timer;

        // total limit: constant + multiplier * requested bytes
        port.setTimeout(serial::PortTimeouts{0, 100, 20, 0, 0});
        QVERIFY(m_pty->writeMaster("abc"));
        timer.start();
        QCOMPARE(bytes(port.read(5)), QByteArray("abc"));
        QVERIFY2(timer.elapsed() >= 190 && timer.elapsed() < 1500,
                 QByteArray::number(timer.elapsed()));

        // the gap limit starts at the first byte: before it the read waits
        port.setTimeout(serial::PortTimeouts{100, 0, 0, 0, 0});
        auto reader = std::async(std::launch::async, [&] { return port.read(5); });
        QVERIFY(!finishesWithin(reader, 300ms));
        QVERIFY(m_pty->writeMaster("de"));
        QVERIFY(finishesWithin(reader, 1500ms));
        QCOMPARE(bytes(reader.get()), QByteArray("de"));

        // the largest gap with no total: what is waiting, at once
        const uint32_t max = serial::PortTimeouts::MaxTimeout;
        port.setTimeout(serial::PortTimeouts{max, 0, 0, 0, 0});
        timer.start();
        QCOMPARE(bytes(port.read(5)), QByteArray());
        QVERIFY(m_pty->writeMaster("fg"));
        QTRY_COMPARE(port.available(), size_t(2));
        QCOMPARE(bytes(port.read(5)), QByteArray("fg"));
        QVERIFY(timer.elapsed() < 1000);

        // the largest gap and multiplier: wait up to the constant for a first byte
        port.setTimeout(serial::PortTimeouts{max, 150, max, 0, 0});
        timer.start();
        QCOMPARE(bytes(port.read(5)), QByteArray());
        QVERIFY(timer.elapsed() >= 140);
        reader = std::async(std::launch::async, [&] { return port.read(5); });
        std::this_thread::sleep_for(30ms);
        QVERIFY(m_pty->writeMaster("h"));
        QVERIFY(finishesWithin(reader, 1000ms));
        QCOMPARE(bytes(reader.get()), QByteArray("h"));
    }

    void writeTimeout()
    {
        serial::Serial port(m_pty->slavePath());
        port.setTimeout(serial::PortTimeouts{0, 0, 0, 100, 0});
        // nobody reads the master, so the terminal's queue fills up
        const std::string data(1 << 20, 'x');
        QElapsedTimer timer;
        timer.start();
        const size_t written = port.write(data);
        QVERIFY(written > 0);
        QVERIFY(written < data.size());
        QVERIFY2(timer.elapsed() >= 90 && timer.elapsed() < 1500,
                 QByteArray::number(timer.elapsed()));
        QCOMPARE(m_pty->readMaster(data.size(), 200).size(), written);
    }

    void hangUpIsAnError()
    {
        serial::Serial port(m_pty->slavePath());
        auto reader = std::async(std::launch::async, [&] {
            return thrownText<serial::IOException>([&] { port.read(1); });
        });
        QVERIFY(!finishesWithin(reader, 100ms));
        m_pty->closeMaster();
        QVERIFY(finishesWithin(reader, 2000ms)); // a waiting read wakes up
        QVERIFY(reader.get().startsWith(ioText("Error while reading from the serial port: ")));
        QVERIFY(thrownText<serial::IOException>([&] {
                    port.available();
                }).startsWith(ioText("Error while checking status of the serial port: ")));
        QVERIFY(thrownText<serial::IOException>([&] {
                    port.write("x");
                }).startsWith(ioText("Error while writing to the serial port: ")));
        QVERIFY(port.isOpen()); // the caller decides when to close
        port.close();
        QVERIFY(!port.isOpen());
    }

    void setPortMovesOpenPort()
    {
        PtyPair other;
        serial::Serial port(m_pty->slavePath());
        port.setPort(other.slavePath());
        QVERIFY(port.isOpen());
        QCOMPARE(port.write("to other"), size_t(8));
        QCOMPARE(bytes(other.readMaster(8)), QByteArray("to other"));
        QCOMPARE(bytes(m_pty->readMaster(1, 100)), QByteArray());

        serial::Serial first(m_pty->slavePath()); // given back by the move
        QVERIFY(first.isOpen());

        // on a closed port the name is only stored: opening it later finds
        // it held by `first`
        port.close();
        port.setPort(m_pty->slavePath());
        QVERIFY(!port.isOpen());
        QCOMPARE(thrownText<serial::IOException>([&] { port.open(); }), busyText());
    }

    void setPortWaitsForRunningRead()
    {
        PtyPair other;
        serial::Serial port(m_pty->slavePath());
        auto reader = std::async(std::launch::async, [&] { return port.read(2); });
        QVERIFY(!finishesWithin(reader, 100ms));
        auto mover = std::async(std::launch::async, [&] { port.setPort(other.slavePath()); });
        const bool moverWaited = !finishesWithin(mover, 300ms);
        QVERIFY(m_pty->writeMaster("ab")); // lets the read finish in any case
        if (!moverWaited)
            other.writeMaster("ab"); // in case the read was moved along
        QVERIFY(moverWaited);
        QVERIFY(finishesWithin(reader, 2000ms));
        QVERIFY(finishesWithin(mover, 2000ms));
        QCOMPARE(bytes(reader.get()), QByteArray("ab")); // read from the old port
        mover.get();
        QVERIFY(port.isOpen());
        QVERIFY(other.writeMaster("c"));
        QCOMPARE(bytes(port.read(1)), QByteArray("c"));
    }

private:
    std::unique_ptr<PtyPair> m_pty;
};

QTEST_GUILESS_MAIN(TestSerial)
#include "tst_serial.moc"
