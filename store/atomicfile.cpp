#include "store/atomicfile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
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
    m_path = m_target;
    QFileInfo link(m_path);
    for (int depth = 0; depth < 40 && link.isSymLink(); ++depth) {
        m_path = link.symLinkTarget();
        link.setFile(m_path);
    }
    QByteArray pattern = QFile::encodeName(m_path) + ".tmp-XXXXXX";
    m_fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (m_fd < 0)
        return failWith(errno);
    m_temp = QFile::decodeName(pattern);
    // mkstemp makes the file 0600; a data file is as readable as the file it
    // replaces, or as any other file the user makes.
    struct stat old = {};
    if (::stat(QFile::encodeName(m_path).constData(), &old) == 0 && S_ISREG(old.st_mode)) {
        ::fchmod(m_fd, old.st_mode & 07777);
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
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0) {
        failWith(errno);
        cancel();
        return false;
    }
    if (::rename(QFile::encodeName(m_temp).constData(), QFile::encodeName(m_path).constData()) !=
        0) {
        failWith(errno);
        cancel();
        return false;
    }
    m_temp.clear();
    syncFolderOf(m_path);
    return true;
}

void AtomicFile::cancel()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temp.isEmpty()) {
        ::unlink(QFile::encodeName(m_temp).constData());
        m_temp.clear();
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

bool syncFolderOf(const QString &path)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

bool isPassingWriteError(int errorCode)
{
    return errorCode == ENOSPC || errorCode == EDQUOT || errorCode == EIO || errorCode == EAGAIN ||
           errorCode == EINTR;
}
