#include "serial/serialimpl.h"

#include "serial/custombaudrate.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <system_error>
#include <termios.h>
#include <unistd.h>

namespace serial {

namespace {

using Clock = std::chrono::steady_clock;

std::string withCode(const char *text, int code)
{
    return std::string(text) + std::to_string(code);
}

// Holds one direction's mutex for a scope; a failed claim is reported as the
// layer's own exception. std::mutex cannot fail to unlock, so no release
// error can arise.
class DirectionLock
{
public:
    DirectionLock(std::mutex &mutex, const char *claimError) : m_mutex(mutex)
    {
        try {
            m_mutex.lock();
        } catch (const std::system_error &) {
            throw IOException(claimError);
        }
    }
    ~DirectionLock() { m_mutex.unlock(); }

    DirectionLock(const DirectionLock &) = delete;
    DirectionLock &operator=(const DirectionLock &) = delete;

private:
    std::mutex &m_mutex;
};

// Speeds that have a B-constant; any other rate is set through termios2.
bool standardSpeed(uint32_t baudrate, speed_t *code)
{
    static const struct
    {
        uint32_t rate;
        speed_t code;
    } table[] = {
        {50, B50},           {75, B75},           {110, B110},         {134, B134},
        {150, B150},         {200, B200},         {300, B300},         {600, B600},
        {1200, B1200},       {1800, B1800},       {2400, B2400},       {4800, B4800},
        {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
        {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
        {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
        {1500000, B1500000}, {2000000, B2000000}, {2500000, B2500000}, {3000000, B3000000},
        {3500000, B3500000}, {4000000, B4000000},
    };
    for (const auto &entry : table) {
        if (entry.rate == baudrate) {
            *code = entry.code;
            return true;
        }
    }
    return false;
}

// Milliseconds left until `deadline`, clamped to what poll() takes; 0 when
// it has passed.
int millisecondsUntil(Clock::time_point deadline)
{
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0)
        return 0;
    return static_cast<int>(std::min<long long>(left, 0x7FFFFFFF));
}

// A limit of constant + multiplier * count milliseconds from `start`;
// false when both are 0 (no limit).
bool totalDeadline(uint32_t constant, uint32_t multiplier, size_t count, Clock::time_point start,
                   Clock::time_point *deadline)
{
    if (constant == 0 && multiplier == 0)
        return false;
    // Capped at about 24 days, far beyond any useful timeout, so the sum
    // cannot overflow the clock.
    const unsigned long long cap = 0x7FFFFFFFull;
    const unsigned long long product =
        count == 0 ? 0 : std::min<unsigned long long>(cap, multiplier * (unsigned long long)count);
    const unsigned long long total = std::min<unsigned long long>(cap, constant + product);
    *deadline = start + std::chrono::milliseconds(total);
    return true;
}

// Waits until `fd` is ready for `events` or `timeoutMs` (-1: no limit) has
// passed. Returns false on timeout; errors are thrown with `errorText`.
bool waitFor(int fd, short events, int timeoutMs, const char *errorText)
{
    for (;;) {
        pollfd entry{fd, events, 0};
        const int ready = ::poll(&entry, 1, timeoutMs);
        if (ready == -1) {
            if (errno == EINTR)
                continue;
            throw IOException(withCode(errorText, errno));
        }
        if (ready == 0)
            return false;
        // Closed under our feet by the other thread.
        if (entry.revents & POLLNVAL)
            throw IOException(withCode(errorText, EBADF));
        // Readiness, hang-up and line errors alike: the next transfer tells
        // which it is.
        return true;
    }
}

const char kReadError[] = "Error while reading from the serial port: ";
const char kWriteError[] = "Error while writing to the serial port: ";

// One read of what is waiting, up to `size` bytes; 0 when nothing is.
size_t readWaiting(int fd, char *buffer, size_t size)
{
    for (;;) {
        const ssize_t count = ::read(fd, buffer, size);
        if (count > 0)
            return static_cast<size_t>(count);
        // With VMIN 1 a terminal reads 0 bytes only once it has been hung up
        // (device unplugged, other end of a pseudo-terminal closed).
        if (count == 0)
            throw IOException(withCode(kReadError, EIO));
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return 0;
        throw IOException(withCode(kReadError, errno));
    }
}

} // namespace

Serial::SerialImpl::SerialImpl(const std::string &port, uint32_t baudrate,
                               const PortTimeouts &timeout, ByteSize bytesize, Parity parity,
                               StopBits stopbits, FlowControl flowcontrol)
    : m_port(port), m_timeout(timeout), m_baudrate(baudrate), m_parity(parity),
      m_bytesize(bytesize), m_stopbits(stopbits), m_flowcontrol(flowcontrol)
{
    if (!m_port.empty())
        open();
}

Serial::SerialImpl::~SerialImpl()
{
    try {
        close();
    } catch (...) {
        // The descriptor is gone either way; nothing useful to report here.
    }
}

void Serial::SerialImpl::open()
{
    if (m_port.empty())
        throw std::invalid_argument("Empty port is invalid.");
    if (m_isOpen)
        throw SerialException("Serial port already open.");

    const std::string path = m_port.find('/') == std::string::npos ? "/dev/" + m_port : m_port;
    // O_NONBLOCK: the open must not wait for carrier detect, and every
    // transfer waits in poll(), where the timeouts are kept.
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (fd == -1) {
        if (errno == ENOENT)
            throw IOException("Specified port, " + m_port + ", does not exist.");
        throw IOException(withCode("Unknown error opening the serial port: ", errno));
    }

    // Exclusive use. TIOCEXCL keeps out later opens of the terminal, but not
    // those of a privileged process; the lock keeps out every other user of
    // this layer as well. A port held elsewhere is reported as EBUSY, which is
    // also what a refused open() gives.
    if (::flock(fd, LOCK_EX | LOCK_NB) == -1) {
        const int code = errno == EWOULDBLOCK ? EBUSY : errno;
        ::close(fd);
        throw IOException(withCode("Unknown error opening the serial port: ", code));
    }
    if (::ioctl(fd, TIOCEXCL) == -1) {
        const int code = errno;
        ::close(fd);
        throw IOException(withCode("Unknown error opening the serial port: ", code));
    }

    m_fd = fd;
    try {
        reconfigurePort();
    } catch (...) {
        discardDescriptor();
        throw;
    }
    m_isOpen = true;
}

void Serial::SerialImpl::close()
{
    if (!m_isOpen)
        return;
    const int fd = m_fd.exchange(-1);
    m_isOpen = false;
    if (fd == -1)
        return;
    // The exclusive flag belongs to the terminal, which can outlive this
    // descriptor (a pseudo-terminal lives as long as its master side), so it
    // is cleared before letting go.
    ::ioctl(fd, TIOCNXCL);
    if (::close(fd) == -1)
        throw IOException(withCode("Error while closing serial port: ", errno));
}

void Serial::SerialImpl::discardDescriptor()
{
    const int fd = m_fd.exchange(-1);
    m_isOpen = false;
    if (fd == -1)
        return;
    ::ioctl(fd, TIOCNXCL);
    ::close(fd);
}

size_t Serial::SerialImpl::available()
{
    if (!m_isOpen)
        return 0;
    int count = 0;
    if (::ioctl(m_fd, FIONREAD, &count) == -1)
        throw IOException(withCode("Error while checking status of the serial port: ", errno));
    return static_cast<size_t>(count);
}

bool Serial::SerialImpl::waitReadable(uint32_t timeoutMs)
{
    if (!m_isOpen)
        return false;
    pollfd p{m_fd, POLLIN, 0};
    const int r = ::poll(&p, 1, int(std::min<uint32_t>(timeoutMs, 60000)));
    return r > 0;
}

bool Serial::SerialImpl::waitReadable(uint32_t timeoutMs, int wakeFd)
{
    pollfd p[2] = {{wakeFd, POLLIN, 0}, {m_fd, POLLIN, 0}};
    const int r = ::poll(p, m_isOpen ? 2 : 1, int(std::min<uint32_t>(timeoutMs, 60000)));
    return r > 0;
}

std::string Serial::SerialImpl::read(size_t size)
{
    DirectionLock lock(m_readMutex, "Error claiming read mutex.");
    if (!m_isOpen)
        throw PortNotOpenedException("Serial::read");
    if (size == 0)
        return std::string();

    const int fd = m_fd;
    const PortTimeouts timeout = m_timeout;
    const Clock::time_point start = Clock::now();
    std::string buffer(size, '\0');
    size_t received = 0;

    const uint32_t max = PortTimeouts::MaxTimeout;
    if (timeout.interByte == max && timeout.readConstant == 0 && timeout.readMultiplier == 0) {
        received = readWaiting(fd, &buffer[0], size);
    } else if (timeout.interByte == max && timeout.readMultiplier == max &&
               timeout.readConstant != 0 && timeout.readConstant != max) {
        received = readWaiting(fd, &buffer[0], size);
        if (received == 0 && size > 0 &&
            waitFor(fd, POLLIN,
                    static_cast<int>(std::min<uint32_t>(timeout.readConstant, 0x7FFFFFFF)),
                    kReadError))
            received = readWaiting(fd, &buffer[0], size);
    } else {
        Clock::time_point deadline;
        const bool limited =
            totalDeadline(timeout.readConstant, timeout.readMultiplier, size, start, &deadline);
        const auto interval = std::chrono::milliseconds(timeout.interByte);
        Clock::time_point lastByte = start;
        while (received < size) {
            const size_t count = readWaiting(fd, &buffer[received], size - received);
            if (count > 0) {
                received += count;
                lastByte = Clock::now();
                continue;
            }
            int waitMs = -1;
            if (limited)
                waitMs = millisecondsUntil(deadline);
            // The gap between bytes is measured only once the first has come.
            if (timeout.interByte != 0 && received > 0) {
                const int gapMs = millisecondsUntil(lastByte + interval);
                waitMs = waitMs == -1 ? gapMs : std::min(waitMs, gapMs);
            }
            if (waitMs == 0)
                break;
            waitFor(fd, POLLIN, waitMs, kReadError);
        }
    }
    buffer.resize(received);
    return buffer;
}

size_t Serial::SerialImpl::write(const std::string &data)
{
    DirectionLock lock(m_writeMutex, "Error claiming write mutex.");
    if (!m_isOpen)
        throw PortNotOpenedException("Serial::write");

    const int fd = m_fd;
    const PortTimeouts timeout = m_timeout;
    Clock::time_point deadline;
    const bool limited = totalDeadline(timeout.writeConstant, timeout.writeMultiplier, data.size(),
                                       Clock::now(), &deadline);
    size_t sent = 0;
    while (sent < data.size()) {
        const ssize_t count = ::write(fd, data.data() + sent, data.size() - sent);
        if (count > 0) {
            sent += static_cast<size_t>(count);
            continue;
        }
        if (count == -1 && errno == EINTR)
            continue;
        if (count == -1 && errno != EAGAIN && errno != EWOULDBLOCK)
            throw IOException(withCode(kWriteError, errno));
        // The output queue is full: wait for room.
        const int waitMs = limited ? millisecondsUntil(deadline) : -1;
        if (waitMs == 0)
            break;
        waitFor(fd, POLLOUT, waitMs, kWriteError);
    }
    return sent;
}

void Serial::SerialImpl::setPort(const std::string &port)
{
    DirectionLock readLock(m_readMutex, "Error claiming read mutex.");
    DirectionLock writeLock(m_writeMutex, "Error claiming write mutex.");
    const bool wasOpen = m_isOpen;
    if (wasOpen)
        close();
    m_port = port;
    if (wasOpen)
        open();
}

void Serial::SerialImpl::setBaudrate(uint32_t baudrate)
{
    m_baudrate = baudrate;
    if (m_isOpen)
        reconfigurePort();
}

void Serial::SerialImpl::setBytesize(ByteSize bytesize)
{
    m_bytesize = bytesize;
    if (m_isOpen)
        reconfigurePort();
}

void Serial::SerialImpl::setParity(Parity parity)
{
    m_parity = parity;
    if (m_isOpen)
        reconfigurePort();
}

void Serial::SerialImpl::setStopbits(StopBits stopbits)
{
    m_stopbits = stopbits;
    if (m_isOpen)
        reconfigurePort();
}

void Serial::SerialImpl::setFlowcontrol(FlowControl flowcontrol)
{
    m_flowcontrol = flowcontrol;
    if (m_isOpen)
        reconfigurePort();
}

void Serial::SerialImpl::setTimeout(const PortTimeouts &timeout)
{
    m_timeout = timeout;
    if (m_isOpen)
        reconfigurePort();
}

void Serial::SerialImpl::reconfigurePort()
{
    const int fd = m_fd;
    if (fd == -1)
        throw IOException("Invalid file descriptor, is the serial port open?");

    termios line;
    if (::tcgetattr(fd, &line) == -1)
        throw IOException("Error getting the serial port state.");

    // Bytes pass untouched: no echo, no line editing, no signal characters,
    // no newline translation on either side.
    ::cfmakeraw(&line);
    line.c_cflag |= CLOCAL | CREAD;
    // Every read is non-blocking and waits in poll(); VMIN 1 keeps a read of
    // 0 bytes meaning "hung up" rather than "nothing yet".
    line.c_cc[VMIN] = 1;
    line.c_cc[VTIME] = 0;

    speed_t speed = B0;
    const bool standard = standardSpeed(m_baudrate, &speed);
    if (standard) {
        ::cfsetispeed(&line, speed);
        ::cfsetospeed(&line, speed);
    }

    line.c_cflag &= ~CSIZE;
    switch (m_bytesize) {
    case ByteSize::FiveBits:
        line.c_cflag |= CS5;
        break;
    case ByteSize::SixBits:
        line.c_cflag |= CS6;
        break;
    case ByteSize::SevenBits:
        line.c_cflag |= CS7;
        break;
    case ByteSize::EightBits:
        line.c_cflag |= CS8;
        break;
    default:
        throw std::invalid_argument("invalid char len");
    }

    switch (m_stopbits) {
    case StopBits::One:
        line.c_cflag &= ~CSTOPB;
        break;
    // POSIX has no setting of its own for 1.5 stop bits: with CSTOPB a UART
    // sends 1.5 stop bits at 5 data bits and 2 otherwise.
    case StopBits::OnePointFive:
    case StopBits::Two:
        line.c_cflag |= CSTOPB;
        break;
    default:
        throw std::invalid_argument("invalid stop bit");
    }

    line.c_cflag &= ~(PARENB | PARODD | CMSPAR);
    switch (m_parity) {
    case Parity::None:
        break;
    case Parity::Odd:
        line.c_cflag |= PARENB | PARODD;
        break;
    case Parity::Even:
        line.c_cflag |= PARENB;
        break;
    case Parity::Mark:
        line.c_cflag |= PARENB | PARODD | CMSPAR;
        break;
    case Parity::Space:
        line.c_cflag |= PARENB | CMSPAR;
        break;
    default:
        throw std::invalid_argument("invalid parity");
    }

    switch (m_flowcontrol) {
    case FlowControl::None:
        line.c_cflag &= ~CRTSCTS;
        line.c_iflag &= ~(IXON | IXOFF | IXANY);
        break;
    case FlowControl::Software:
        line.c_cflag &= ~CRTSCTS;
        line.c_iflag &= ~IXANY;
        line.c_iflag |= IXON | IXOFF;
        break;
    case FlowControl::Hardware:
        line.c_iflag &= ~(IXON | IXOFF | IXANY);
        line.c_cflag |= CRTSCTS;
        break;
    }

    // A rate of 0 would hang the line up instead of setting a speed.
    bool written = m_baudrate != 0 && ::tcsetattr(fd, TCSANOW, &line) == 0;
    if (written && !standard)
        written = setCustomBaudrate(fd, m_baudrate);
    if (!written) {
        discardDescriptor();
        throw IOException("Error setting serial port settings.");
    }
    // The timeouts need no device call: read() and write() keep them.
}

} // namespace serial
