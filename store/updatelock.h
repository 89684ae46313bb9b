#pragma once

#include <QString>

// Held around reading a file and writing it back changed (through an
// AtomicFile), so two programs or threads updating the same file one after
// the other never lose an update: every holder of an UpdateLock of the file
// waits for the one before. The file is the one writing `path` replaces
// (fileBehindLinks()), so its other names wait too.
//
// The file itself is flocked; once locked, the name must still be that
// file, or it was replaced meanwhile and the new one is locked instead. A
// file not there yet is locked through its folder. No file is left behind.
// Where the file system has no flock for it (NFS for a folder, say), the
// update goes unguarded.
class UpdateLock
{
public:
    // Waits until the lock is held or cannot be had (a missing folder).
    explicit UpdateLock(const QString &path);
    ~UpdateLock();
    UpdateLock(const UpdateLock &) = delete;
    UpdateLock &operator=(const UpdateLock &) = delete;

    // Also true where the file system has no such lock.
    bool isLocked() const { return m_locked; }
    // The system's reason when not locked, with its errno.
    QString errorString() const;
    int errorCode() const { return m_errno; }

private:
    int m_fd = -1;
    int m_errno = 0;
    bool m_locked = false;
};
