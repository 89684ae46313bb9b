#include "link/serialthread.h"

#include "link/logging.h"
#include "serial/serial.h"

#include <QDebug>
#include <QMutexLocker>

#include <stdexcept>

#include <sys/eventfd.h>
#include <unistd.h>

SerialThread::SerialThread(QObject *parent)
    : QThread(parent),
      m_serial(std::make_unique<serial::Serial>(std::string(), 9600, serial::PortTimeouts(),
                                                serial::ByteSize::EightBits, serial::Parity::None,
                                                serial::StopBits::One, serial::FlowControl::None)),
      m_wakeFd(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC))
{
}

SerialThread::~SerialThread()
{
    {
        QMutexLocker lock(&m_mutex);
        m_quit = true;
    }
    wake();
    wait();
    m_serial.reset();
    if (m_wakeFd >= 0)
        ::close(m_wakeFd);
    qCDebug(lcLink, "port closed, reader thread ended");
}

bool SerialThread::openPort(const PortSettings &settings)
{
    QByteArray text;
    try {
        m_serial->setPort(settings.portName.toStdString());
        m_serial->setBaudrate(quint32(settings.baudRate));
        m_serial->setBytesize(serial::ByteSize(settings.byteSize));
        m_serial->setParity(serial::Parity(settings.parity));
        m_serial->setStopbits(serial::StopBits(settings.stopBits));
        m_serial->setFlowcontrol(serial::FlowControl(settings.flowControl));
        m_serial->open();
        wake();
        return true;
    } catch (const std::invalid_argument &e) {
        text = (tr("无效的参数") + QString::fromUtf8(e.what())).toUtf8();
    } catch (const serial::SerialException &e) {
        text = (tr("COM口异常") + QString::fromUtf8(e.what())).toUtf8();
    } catch (const serial::IOException &e) {
        text = (tr("IO异常") + QString::fromUtf8(e.what())).toUtf8();
    } catch (...) {
        text = tr("未知的异常COM可能已经打开").toUtf8();
    }
    emit error(text);
    return false;
}

void SerialThread::requestClose()
{
    QMutexLocker lock(&m_mutex);
    m_closeRequest = true;
    wake();
}

void SerialThread::wake()
{
    if (m_wakeFd < 0)
        return;
    const uint64_t one = 1;
    // A full counter already wakes the loop; nothing to do on failure.
    [[maybe_unused]] const ssize_t n = ::write(m_wakeFd, &one, sizeof one);
}

bool SerialThread::isOpen() const
{
    return m_serial->isOpen();
}

qint64 SerialThread::writeBytes(const QByteArray &bytes)
{
    try {
        return qint64(m_serial->write(bytes.toStdString()));
    } catch (...) {
        emit error(tr("写入异常").toUtf8());
        return 0;
    }
}

bool SerialThread::poll(size_t &count)
{
    try {
        count = m_serial->available();
        return true;
    } catch (...) {
        requestClose();
        return false;
    }
}

void SerialThread::run()
{
    // Waiting count of the last successful poll. A failing poll leaves it as
    // it was, so bytes counted before a line drops are still asked for and
    // the failing read reports the loss.
    size_t count = 0;
    QDateTime stamp;

    while (!m_quit) {
        if (m_closeRequest) {
            try {
                m_serial->close();
            } catch (...) {
                // The descriptor is gone either way; the port counts as closed.
            }
            m_closeRequest = false;
        }

        QByteArray burst;
        if (!poll(count) && count == 0 && m_serial->isOpen()) {
            // The line dropped while nothing was waiting: no read will fail
            // to report it, and the port is closed on the next turn.
            emit error(QByteArrayLiteral("read false"));
        }
        if (count != 0) {
            // Settle: wait until the count has not changed for kStablePolls
            // polls. A full input queue is read at once: nothing more can
            // arrive until it is emptied.
            int stable = 0;
            while (count < kEarlyReadThreshold && stable < kStablePolls && !m_quit) {
                QThread::usleep(kPollIntervalUs);
                size_t now = count;
                if (!poll(now))
                    break;
                if (now != count) {
                    count = now;
                    stable = 0;
                }
                ++stable;
            }

            if (count != 0) {
                // Taken once per burst: the local time looks at the time zone
                // file each time, too costly for every poll.
                stamp = QDateTime::currentDateTime();
                try {
                    const std::string bytes = m_serial->read(count);
                    burst = QByteArray(bytes.data(), int(bytes.size()));
                } catch (...) {
                    emit error(QByteArrayLiteral("read false"));
                    requestClose();
                }
            }
        }

        if (!burst.isEmpty() && !m_quit)
            emit response(burst, stamp);

        QThread::usleep(kIdlePauseUs);
        // With nothing waiting, sleep until bytes arrive instead of polling
        // the port thousands of times a second; the flags are still looked at
        // every kIdleWaitMs.
        if (count == 0 && burst.isEmpty() && !m_quit && !m_closeRequest) {
            if (m_wakeFd < 0) {
                if (m_serial->isOpen())
                    m_serial->waitReadable(kIdleWaitMs);
                else
                    QThread::msleep(kIdleWaitMs);
            } else if (m_serial->waitReadable(kWakeableWaitMs, m_wakeFd)) {
                uint64_t wakes = 0;
                [[maybe_unused]] const ssize_t n = ::read(m_wakeFd, &wakes, sizeof wakes);
            }
        }
    }
}
