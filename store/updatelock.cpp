#include "store/updatelock.h"

#include "store/atomicfile.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int waitForFlock(int fd)
{
    while (::flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR)
            return errno;
    }
    return 0;
}

} // namespace

UpdateLock::UpdateLock(const QString &path)
{
    const QString behind = fileBehindLinks(path, &m_errno);
    if (behind.isEmpty())
        return;
    const QByteArray file = QFile::encodeName(behind);
    const QByteArray folder = file.left(qMax(file.lastIndexOf('/'), 1));
    for (;;) {
        int fd = ::open(file.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        // A file not there yet, or one this user may replace but not read,
        // is locked through its folder.
        const int openError = fd < 0 ? errno : 0;
        if (openError == ENOENT || openError == EACCES)
            fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            m_errno = errno;
            return;
        }
        if (const int code = waitForFlock(fd)) {
            ::close(fd);
            m_errno = code;
            return;
        }
        struct stat locked = {};
        struct stat named = {};
        const bool there = ::stat(file.constData(), &named) == 0;
        const bool held = openError == EACCES || (openError == ENOENT && !there) ||
                          (openError == 0 && there && ::fstat(fd, &locked) == 0 &&
                           locked.st_dev == named.st_dev && locked.st_ino == named.st_ino);
        if (held) {
            m_fd = fd;
            m_errno = 0;
            return;
        }
        ::close(fd);
    }
}

UpdateLock::~UpdateLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

QString UpdateLock::errorString() const
{
    return m_errno ? QString::fromLocal8Bit(std::strerror(m_errno)) : QString();
}
