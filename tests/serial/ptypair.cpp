#include "ptypair.h"

// The kernel's termios2 (for the numeric speed) cannot be mixed with
// <termios.h>, so this file does without the latter.
#include <algorithm>
#include <asm/termbits.h>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

PtyPair::PtyPair()
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master == -1)
        return;
    char name[128];
    if (grantpt(master) == -1 || unlockpt(master) == -1 ||
        ptsname_r(master, name, sizeof name) != 0 ||
        fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK) == -1) {
        ::close(master);
        return;
    }
    m_master = master;
    m_slavePath = name;
}

PtyPair::~PtyPair()
{
    closeMaster();
}

bool PtyPair::writeMaster(const std::string &data)
{
    size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t count = ::write(m_master, data.data() + sent, data.size() - sent);
        if (count > 0) {
            sent += static_cast<size_t>(count);
        } else if (errno == EAGAIN || errno == EINTR) {
            pollfd entry{m_master, POLLOUT, 0};
            if (poll(&entry, 1, 2000) == 0)
                return false;
        } else {
            return false;
        }
    }
    return true;
}

std::string PtyPair::readMaster(size_t count, int timeoutMs)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string data;
    while (data.size() < count) {
        char buffer[4096];
        const ssize_t got = ::read(m_master, buffer, std::min(sizeof buffer, count - data.size()));
        if (got > 0) {
            data.append(buffer, static_cast<size_t>(got));
            continue;
        }
        if (got == -1 && errno != EAGAIN && errno != EINTR)
            break; // EIO: nobody has the slave open
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0)
            break;
        pollfd entry{m_master, POLLIN, 0};
        poll(&entry, 1, static_cast<int>(left));
    }
    return data;
}

void PtyPair::closeMaster()
{
    if (m_master != -1)
        ::close(m_master);
    m_master = -1;
}

PtyPair::LineState PtyPair::lineState() const
{
    // On a master, the terminal requests act on the slave's settings.
    struct termios2 line;
    LineState state;
    if (ioctl(m_master, TCGETS2, &line) == -1)
        return state;
    state.speed = line.c_ospeed;
    state.cflag = line.c_cflag;
    state.iflag = line.c_iflag;
    state.oflag = line.c_oflag;
    state.lflag = line.c_lflag;
    return state;
}
