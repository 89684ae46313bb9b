#include "portclient.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

PortClient::~PortClient()
{
    close();
}

bool PortClient::open(const QString &path)
{
    close();
    const QByteArray name = path.toLocal8Bit();
    m_fd = ::open(name.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_fd < 0)
        return false;
    termios tio;
    ::tcgetattr(m_fd, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(m_fd, TCSANOW, &tio);
    m_hungUp = false;
    m_assembler.reset();
    return true;
}

void PortClient::close()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

void PortClient::sendRaw(const QByteArray &bytes)
{
    qsizetype done = 0;
    while (m_fd >= 0 && done < bytes.size()) {
        const ssize_t n = ::write(m_fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n > 0) {
            done += n;
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p{m_fd, POLLOUT, 0};
            ::poll(&p, 1, 10);
        } else {
            return;
        }
    }
}

QByteArray PortClient::readSome(int ms)
{
    QByteArray out;
    if (m_fd < 0 || m_hungUp)
        return out;
    pollfd p{m_fd, POLLIN, 0};
    ::poll(&p, 1, ms);
    char buf[8192];
    for (;;) {
        const ssize_t n = ::read(m_fd, buf, sizeof buf);
        if (n > 0) {
            out.append(buf, int(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK))
            m_hungUp = true;
        break;
    }
    return out;
}

QList<QByteArray> PortClient::collect(int ms, const Until &until)
{
    QList<QByteArray> payloads;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms && !m_hungUp) {
        const QByteArray bytes = readSome(5);
        payloads += m_assembler.feed(bytes);
        QCoreApplication::processEvents();
        if (until && until(payloads))
            break;
    }
    return payloads;
}

QByteArray PortClient::readRaw(int ms, int minBytes)
{
    QByteArray out;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms && !m_hungUp) {
        out += readSome(5);
        QCoreApplication::processEvents();
        if (minBytes >= 0 && out.size() >= minBytes)
            break;
    }
    return out;
}

QList<QByteArray> ofType(const QList<QByteArray> &payloads, quint8 type)
{
    QList<QByteArray> out;
    for (const QByteArray &p : payloads) {
        if (!p.isEmpty() && quint8(p.at(0)) == type)
            out << p;
    }
    return out;
}
