#include "sim/pseudoterminal.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

PseudoTerminal::~PseudoTerminal()
{
    close();
}

bool PseudoTerminal::open()
{
    close();
    m_error.clear();

    const int fd = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        m_error = tr("无法创建伪终端：%1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    const auto fail = [&](const QString &what) {
        m_error = what.arg(QString::fromLocal8Bit(std::strerror(errno)));
        ::close(fd);
        return false;
    };
    if (::grantpt(fd) != 0 || ::unlockpt(fd) != 0)
        return fail(tr("无法解锁伪终端：%1"));

    char name[128];
    if (::ptsname_r(fd, name, sizeof name) != 0)
        return fail(tr("无法取得伪终端的路径：%1"));

    termios tio;
    if (::tcgetattr(fd, &tio) != 0)
        return fail(tr("无法设置伪终端：%1"));
    ::cfmakeraw(&tio);
    ::cfsetispeed(&tio, B115200);
    ::cfsetospeed(&tio, B115200);
    if (::tcsetattr(fd, TCSANOW, &tio) != 0)
        return fail(tr("无法设置伪终端：%1"));

    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0)
        return fail(tr("无法设置伪终端：%1"));

    // One open and close of the slave puts the pair into the "no client"
    // state that poll() and read() report.
    const int slave = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave < 0)
        return fail(tr("无法打开伪终端的从端：%1"));
    ::close(slave);

    m_master = fd;
    m_slavePath = QString::fromLocal8Bit(name);
    return true;
}

void PseudoTerminal::close()
{
    if (m_master >= 0)
        ::close(m_master);
    m_master = -1;
    m_slavePath.clear();
}

bool PseudoTerminal::clientPresent() const
{
    if (m_master < 0)
        return false;
    pollfd p{m_master, POLLIN, 0};
    if (::poll(&p, 1, 0) < 0)
        return false;
    return (p.revents & POLLHUP) == 0;
}

void PseudoTerminal::discardUnread()
{
    if (m_master < 0 || m_slavePath.isEmpty())
        return;
    const QByteArray path = m_slavePath.toLocal8Bit();
    const int slave = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave < 0)
        return; // a client that set exclusive use keeps it; its bytes stay
    ::tcflush(slave, TCIFLUSH);
    ::close(slave);
}
