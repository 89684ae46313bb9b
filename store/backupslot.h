#pragma once

#include <QLockFile>
#include <QString>
#include <QStringList>

#include <memory>

// The automatic backup files of one working folder. Every running program
// holds one of them, guarded by a lock file beside it ("<backup>.lock"): the
// first program gets "auto_backup.bak", a second one started in the same
// folder "auto_backup_2.bak", and so on, so two windows never write each
// other's recording. A lock whose program is no longer running is taken
// over, so the backup of a crashed program is found again.
class BackupSlot
{
public:
    BackupSlot() = default;
    BackupSlot(const BackupSlot &) = delete;
    BackupSlot &operator=(const BackupSlot &) = delete;

    // Locks the first free backup file of folder `dir`. When no lock can be
    // made (an unwritable folder) the slot still names "auto_backup.bak", and
    // writing it fails as writing any file there would.
    void claim(const QString &dir);
    // Absolute path of this program's backup file.
    QString fileName() const { return m_fileName; }
    // Absolute path of the folder claimed in.
    QString folder() const { return m_dir; }
    bool isLocked() const { return m_lock != nullptr; }

    // The backup files of the folder other than this program's, oldest
    // slot first. Only those whose lock the caller can take belong to no
    // running program.
    QStringList otherBackups() const;

    static constexpr int kMaxSlots = 64;

private:
    QString m_dir;
    QString m_fileName;
    std::unique_ptr<QLockFile> m_lock;
};

// A lock on a backup file found in the folder, held while it is restored;
// false from isLocked() when a running program holds it.
class BackupClaim
{
public:
    explicit BackupClaim(const QString &backupFile);
    bool isLocked() const { return m_locked; }

private:
    QLockFile m_lock;
    bool m_locked = false;
};

// The name of backup slot `index` (0 = "auto_backup.bak").
QString backupSlotName(int index);
