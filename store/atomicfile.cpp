#include "store/atomicfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// As many links as the kernel follows in one path (ELOOP beyond).
constexpr int kMaxLinks = 40;

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Temporaries of `file` ("NAME.tmp-" and the six characters mkstemp picks)
// whose writer is gone: a running writer holds the flock of its own. The
// name must still be the file locked when it is removed, or it may be a
// writer's new one.
void removeStaleTemporaries(const QByteArray &file)
{
    const int slash = file.lastIndexOf('/');
    const QByteArray prefix = file.mid(slash + 1) + ".tmp-";
    DIR *dir = ::opendir(file.left(qMax(slash, 1)).constData());
    if (!dir)
        return;
    const int dirFd = ::dirfd(dir);
    while (const struct dirent *entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name.size() != prefix.size() + 6 || !name.startsWith(prefix))
            continue;
        // For writing where it may be: NFS takes an exclusive flock only then.
        int fd = ::openat(dirFd, entry->d_name, O_RDWR | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            fd = ::openat(dirFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat locked = {};
        struct stat named = {};
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &locked) == 0 &&
            S_ISREG(locked.st_mode) &&
            ::fstatat(dirFd, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            sameFile(locked, named))
            ::unlinkat(dirFd, entry->d_name, 0);
        ::close(fd);
    }
    ::closedir(dir);
}

} // namespace

AtomicFile::AtomicFile(const QString &target) : m_target(target)
{
}

AtomicFile::~AtomicFile()
{
    cancel();
}

bool AtomicFile::failWith(int code)
{
    if (m_errno == 0) {
        m_errno = code;
        m_error = systemError(code);
    }
    return false;
}

bool AtomicFile::open()
{
    cancel();
    m_errno = 0;
    m_error.clear();
    m_size = 0;
    // A symbolic link stays one: the file it points to is replaced, beside
    // which the temporary file must be for the rename.
    int code = 0;
    m_path = fileBehindLinks(m_target, &code);
    if (m_path.isEmpty())
        return failWith(code);
    const QByteArray path = QFile::encodeName(m_path);
    removeStaleTemporaries(path);
    for (;;) {
        QByteArray pattern = path + ".tmp-XXXXXX";
        m_fd = ::mkostemp(pattern.data(), O_CLOEXEC);
        if (m_fd < 0)
            return failWith(errno);
        m_temp = QFile::decodeName(pattern);
        // Held until the rename. A file system without flock has none for
        // anyone, so no other writer removes the file either.
        while (::flock(m_fd, LOCK_EX) != 0 && errno == EINTR) {
        }
        // Another writer may have found it unlocked and removed it.
        struct stat mine = {};
        struct stat named = {};
        if (::fstat(m_fd, &mine) == 0 && ::stat(pattern.constData(), &named) == 0 &&
            sameFile(mine, named))
            break;
        ::close(m_fd);
        m_fd = -1;
        m_temp.clear();
    }
    // mkstemp makes the file 0600; a data file is as readable as the file it
    // replaces, or as any other file the user makes. Owner and group first:
    // a change of owner may clear mode bits.
    struct stat old = {};
    struct stat mine = {};
    if (::stat(path.constData(), &old) == 0 && S_ISREG(old.st_mode)) {
        if (::fstat(m_fd, &mine) == 0 && (mine.st_uid != old.st_uid || mine.st_gid != old.st_gid)) {
            // Refused unless root (or to a group of the user): then it stays ours.
            const int refused = ::fchown(m_fd, old.st_uid, old.st_gid);
            Q_UNUSED(refused)
        }
        ::fchmod(m_fd, old.st_mode & 0777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(m_fd, 0666 & ~mask);
    }
    return true;
}

bool AtomicFile::setPermissions(QFileDevice::Permissions permissions)
{
    if (m_fd < 0)
        return failWith(EBADF);
    static const struct
    {
        QFileDevice::Permission permission;
        mode_t mode;
    } kBits[] = {{QFileDevice::ReadOwner, S_IRUSR},  {QFileDevice::WriteOwner, S_IWUSR},
                 {QFileDevice::ExeOwner, S_IXUSR},   {QFileDevice::ReadGroup, S_IRGRP},
                 {QFileDevice::WriteGroup, S_IWGRP}, {QFileDevice::ExeGroup, S_IXGRP},
                 {QFileDevice::ReadOther, S_IROTH},  {QFileDevice::WriteOther, S_IWOTH},
                 {QFileDevice::ExeOther, S_IXOTH}};
    mode_t mode = 0;
    for (const auto &bit : kBits)
        if (permissions & bit.permission)
            mode |= bit.mode;
    return ::fchmod(m_fd, mode) == 0 || failWith(errno);
}

bool AtomicFile::write(const char *data, qint64 size)
{
    if (m_fd < 0)
        return failWith(EBADF);
    if (m_errno != 0)
        return false;
    while (size > 0) {
        const ssize_t n = ::write(m_fd, data, size_t(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return failWith(errno);
        }
        data += n;
        size -= n;
        m_size += n;
    }
    return true;
}

bool AtomicFile::writeAt(qint64 offset, const QByteArray &bytes)
{
    if (m_fd < 0)
        return failWith(EBADF);
    if (m_errno != 0)
        return false;
    if (offset < 0 || offset + bytes.size() > m_size)
        return failWith(EINVAL);
    const ssize_t n = ::pwrite(m_fd, bytes.constData(), size_t(bytes.size()), off_t(offset));
    if (n != bytes.size())
        return failWith(n < 0 ? errno : EIO);
    return true;
}

bool AtomicFile::commit()
{
    if (m_fd < 0)
        return failWith(EBADF);
    if (m_errno != 0) {
        cancel();
        return false;
    }
    struct stat st = {};
    if (::fsync(m_fd) != 0 || ::fstat(m_fd, &st) != 0) {
        failWith(errno);
        cancel();
        return false;
    }
    if (st.st_size != m_size) {
        failWith(EIO);
        cancel();
        return false;
    }
    // The temporary keeps its lock until it has the target's name.
    if (::rename(QFile::encodeName(m_temp).constData(), QFile::encodeName(m_path).constData()) !=
        0) {
        failWith(errno);
        cancel();
        return false;
    }
    m_temp.clear();
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0)
        return failWith(errno);
    int code = 0;
    return syncFolderOf(m_path, &code) || failWith(code);
}

void AtomicFile::cancel()
{
    // Removed while still locked, so no other writer's file of the same name
    // can be hit.
    if (!m_temp.isEmpty()) {
        ::unlink(QFile::encodeName(m_temp).constData());
        m_temp.clear();
    }
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    AtomicFile file(path);
    if (file.open() && file.write(bytes) && file.commit())
        return true;
    if (error)
        *error = file.errorString();
    return false;
}

bool syncFolderOf(const QString &path, int *errorCode)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const bool ok = fd >= 0 && ::fsync(fd) == 0;
    if (!ok && errorCode)
        *errorCode = errno;
    if (fd >= 0)
        ::close(fd);
    return ok;
}

QString fileBehindLinks(const QString &path, int *errorCode)
{
    QByteArray file = QFile::encodeName(path);
    if (!file.startsWith('/'))
        file.prepend(QFile::encodeName(QDir::currentPath()) + '/');
    for (int links = 0; links <= kMaxLinks; ++links) {
        const int slash = file.lastIndexOf('/');
        char folder[PATH_MAX];
        if (!::realpath(file.left(qMax(slash, 1)).constData(), folder)) {
            if (errorCode)
                *errorCode = errno;
            return QString();
        }
        QByteArray resolved(folder);
        if (!resolved.endsWith('/'))
            resolved += '/';
        resolved += file.mid(slash + 1);
        char target[PATH_MAX];
        const ssize_t size = ::readlink(resolved.constData(), target, sizeof target);
        if (size < 0) // not a link, or nothing there yet
            return QFile::decodeName(resolved);
        const QByteArray link(target, int(size));
        file = link.startsWith('/') ? link : resolved.left(resolved.lastIndexOf('/') + 1) + link;
    }
    if (errorCode)
        *errorCode = ELOOP;
    return QString();
}

bool isPassingWriteError(int errorCode)
{
    return errorCode == ENOSPC || errorCode == EDQUOT || errorCode == EIO || errorCode == EAGAIN ||
           errorCode == EINTR;
}
