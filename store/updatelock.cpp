#include "store/updatelock.h"

#include "store/atomicfile.h"
#include "store/recordinglock.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// flock() failing for want of locks on the file system, not of the lock.
bool cannotLockHere(int code)
{
    return code == EBADF || code == ENOLCK || code == EOPNOTSUPP || code == EINVAL;
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
        // Open for writing where it may be: NFS takes an exclusive flock
        // only then.
        int fd = ::open(file.constData(), O_RDWR | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0 && (errno == EACCES || errno == EROFS))
            fd = ::open(file.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        // A file not there yet, or one this user may replace but not read,
        // is locked through its folder.
        const int openError = fd < 0 ? errno : 0;
        if (openError == ENOENT || openError == EACCES)
            fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) {
            m_errno = errno;
            return;
        }
        int code = 0;
        while (::flock(fd, LOCK_EX) != 0 && (code = errno) == EINTR) {
        }
        if (code != 0) {
            ::close(fd);
            // No flock on this file system: unguarded.
            m_locked = cannotLockHere(code);
            m_errno = m_locked ? 0 : code;
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
            m_locked = true;
            return;
        }
        ::close(fd);
    }
}

UpdateLock::~UpdateLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
    RecordingLock::releaseRemovedFiles();
}

QString UpdateLock::errorString() const
{
    return m_errno ? QString::fromLocal8Bit(std::strerror(m_errno)) : QString();
}
