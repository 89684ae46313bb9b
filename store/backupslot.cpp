#include "store/backupslot.h"

#include <QDir>

namespace {

QString lockName(const QString &backupFile)
{
    return backupFile + QStringLiteral(".lock");
}

// Without an age limit: a lock is taken over only when the program that
// made it is gone (a long recording holds its lock for days).
void prepare(QLockFile &lock)
{
    lock.setStaleLockTime(0);
}

} // namespace

QString backupSlotName(int index)
{
    return index == 0 ? QStringLiteral("auto_backup.bak")
                      : QStringLiteral("auto_backup_%1.bak").arg(index + 1);
}

void BackupSlot::claim(const QString &dir)
{
    m_dir = QDir(dir).absolutePath();
    m_lock.reset();
    for (int i = 0; i < kMaxSlots; ++i) {
        const QString name = QDir(m_dir).filePath(backupSlotName(i));
        auto lock = std::make_unique<QLockFile>(lockName(name));
        prepare(*lock);
        if (lock->tryLock(0)) {
            m_fileName = name;
            m_lock = std::move(lock);
            return;
        }
        if (lock->error() != QLockFile::LockFailedError)
            break; // the folder cannot hold a lock file
    }
    m_fileName = QDir(m_dir).filePath(backupSlotName(0));
}

QStringList BackupSlot::otherBackups() const
{
    QStringList found;
    for (int i = 0; i < kMaxSlots; ++i) {
        const QString name = QDir(m_dir).filePath(backupSlotName(i));
        if (name != m_fileName && QFile::exists(name))
            found << name;
    }
    return found;
}

BackupClaim::BackupClaim(const QString &backupFile) : m_lock(lockName(backupFile))
{
    prepare(m_lock);
    m_locked = m_lock.tryLock(0);
}
