#include "store/recordinglock.h"

#include "store/atomicfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QSet>
#include <QSysInfo>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace {

const char kLockSuffix[] = ".journal.lock";
// A holder writes its lines just after it got the lock; a reader that came
// in between waits this long for them.
constexpr int kHolderWaitMs = 200;

bool sameFile(int fd, const QByteArray &path)
{
    struct stat locked = {};
    struct stat named = {};
    return ::fstat(fd, &locked) == 0 && ::stat(path.constData(), &named) == 0 &&
           locked.st_dev == named.st_dev && locked.st_ino == named.st_ino;
}

QByteArray readLockFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(4096) : QByteArray();
}

QString holderText(const QList<QByteArray> &lines)
{
    return QCoreApplication::translate("RecordingLock", "%1，进程 %2，主机 %3")
        .arg(QString::fromUtf8(lines.at(1)), QString::fromUtf8(lines.at(0)),
             QString::fromUtf8(lines.at(2)));
}

QString unknownHolder()
{
    return QCoreApplication::translate("RecordingLock", "另一个程序");
}

// File systems whose flock is a lock of the whole file on the server, the
// same as the record lock here: an UpdateLock of the recorder's own file
// would wait for this one for ever. There only the name is locked.
bool flockIsRecordLock(int fd)
{
    struct statfs fs = {};
    if (::fstatfs(fd, &fs) != 0)
        return false;
    const auto type = static_cast<unsigned long>(fs.f_type);
    return type == NFS_SUPER_MAGIC || type == SMB_SUPER_MAGIC || type == 0xFF534D42ul || // CIFS
           type == 0xFE534D42ul;                                                         // SMB2
}

// The locks holding a data file, for releaseRemovedFiles() on any thread.
QMutex g_holdersMutex;
QSet<RecordingLock *> g_holders;

} // namespace

void RecordingLock::releaseRemovedFiles()
{
    QMutexLocker locker(&g_holdersMutex);
    for (RecordingLock *lock : qAsConst(g_holders)) {
        struct stat st = {};
        if (lock->m_dataFd >= 0 && ::fstat(lock->m_dataFd, &st) == 0 && st.st_nlink == 0) {
            ::close(lock->m_dataFd);
            lock->m_dataFd = -1;
        }
    }
}

bool RecordingLock::tryLock()
{
    unlock();
    m_holder.clear();
    m_errno = 0;
    int code = 0;
    const QString file = fileBehindLinks(m_dataFile, &code);
    if (file.isEmpty())
        return fail(code);
    m_lockFile = file + QLatin1String(kLockSuffix);
    if (lockName() && lockDataFile(file) && writeHolder())
        return true;
    unlock();
    return false;
}

void RecordingLock::unlock()
{
    {
        QMutexLocker locker(&g_holdersMutex);
        g_holders.remove(this);
        if (m_dataFd >= 0)
            ::close(m_dataFd);
        m_dataFd = -1;
    }
    m_dataId.clear();
    if (m_lockFd < 0)
        return;
    // Removed while still held: a program that opened it meanwhile finds
    // the name gone once it gets the lock, and makes a new one.
    const QByteArray name = QFile::encodeName(m_lockFile);
    if (sameFile(m_lockFd, name))
        ::unlink(name.constData());
    ::close(m_lockFd);
    m_lockFd = -1;
}

QString RecordingLock::errorString() const
{
    return m_errno ? QString::fromLocal8Bit(std::strerror(m_errno)) : QString();
}

bool RecordingLock::fail(int code)
{
    m_errno = code;
    return false;
}

bool RecordingLock::refuse(const QString &holder)
{
    m_holder = holder;
    return false;
}

bool RecordingLock::lockName()
{
    const QByteArray name = QFile::encodeName(m_lockFile);
    for (;;) {
        bool writable = true;
        int fd = ::open(name.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EACCES) {
            // Another user's: locked, or left by a program that ended.
            writable = false;
            fd = ::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        }
        if (fd < 0)
            return fail(errno);
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            const int code = errno;
            ::close(fd);
            if (code != EWOULDBLOCK)
                return fail(code);
            QElapsedTimer waited;
            waited.start();
            QList<QByteArray> lines = readLockFile(m_lockFile).split('\n');
            while (lines.size() < 4 && waited.elapsed() < kHolderWaitMs) {
                QThread::msleep(5);
                lines = readLockFile(m_lockFile).split('\n');
            }
            return refuse(lines.size() >= 4 ? holderText(lines) : unknownHolder());
        }
        if (!sameFile(fd, name)) { // removed by its holder meanwhile
            ::close(fd);
            continue;
        }
        if (writable) {
            m_lockFd = fd;
            return true;
        }
        // This user may remove it (the folder is writable), not rewrite it.
        const bool removed = ::unlink(name.constData()) == 0;
        const int code = errno;
        ::close(fd);
        if (!removed)
            return fail(code);
    }
}

// A read lock that no other open file holds a lock beside: taking a write
// lock would need the file open for writing, which a recorder replacing it
// need not be allowed. Two taking it at the same moment may both step back.
bool RecordingLock::lockDataFile(const QString &file)
{
    const int fd = ::open(QFile::encodeName(file).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT || fail(errno);
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || flockIsRecordLock(fd)) {
        ::close(fd); // not a data file (the recorder refuses it anyway), or see above
        return true;
    }
    {
        QMutexLocker locker(&g_holdersMutex);
        m_dataFd = fd;
        g_holders.insert(this);
    }
    m_dataId =
        QByteArray::number(quint64(st.st_dev)) + ' ' + QByteArray::number(quint64(st.st_ino));
    struct flock lock = {};
    lock.l_type = F_RDLCK;
    lock.l_whence = SEEK_SET;
    if (::fcntl(fd, F_OFD_SETLK, &lock) != 0)
        return errno == EAGAIN ? refuse(holderOfDataFile()) : fail(errno);
    lock.l_type = F_WRLCK;
    if (::fcntl(fd, F_OFD_GETLK, &lock) != 0)
        return fail(errno);
    return lock.l_type == F_UNLCK || refuse(holderOfDataFile());
}

bool RecordingLock::writeHolder()
{
    const QString program = QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget();
    QByteArray lines = QByteArray::number(qint64(::getpid())) + '\n' +
                       QFileInfo(program).fileName().toUtf8() + '\n' +
                       QSysInfo::machineHostName().toUtf8() + '\n' + m_dataId + '\n';
    if (::ftruncate(m_lockFd, 0) != 0)
        return fail(errno);
    const ssize_t written = ::pwrite(m_lockFd, lines.constData(), size_t(lines.size()), 0);
    return written == lines.size() || fail(written < 0 ? errno : ENOSPC);
}

// The recorder of the same file under another name: its lock file, when
// beside this one, says so in its fourth line.
QString RecordingLock::holderOfDataFile() const
{
    const QFileInfo self(m_lockFile);
    const QStringList names =
        self.dir().entryList({QStringLiteral("*") + kLockSuffix}, QDir::Files | QDir::Hidden);
    for (const QString &name : names) {
        if (name == self.fileName())
            continue;
        const QList<QByteArray> lines = readLockFile(self.dir().filePath(name)).split('\n');
        if (lines.size() < 5 || lines.at(3) != m_dataId)
            continue;
        // Left behind by a program of this host that has ended.
        const pid_t pid = pid_t(lines.at(0).toLongLong());
        if (QString::fromUtf8(lines.at(2)) == QSysInfo::machineHostName() &&
            (pid <= 0 || (::kill(pid, 0) != 0 && errno == ESRCH)))
            continue;
        return holderText(lines);
    }
    return unknownHolder();
}
