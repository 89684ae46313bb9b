#pragma once

#include <QByteArray>
#include <QString>

// Keeps every other recorder away from the recording of one output data
// file, which need not exist yet, for as long as it is held. The file is
// known by the path its symbolic links lead to (fileBehindLinks(), also
// through a link to a file not there yet) and, when it exists, by the file
// itself, so a second name for it, a link of either kind, is refused too.
//
// The lock file "<data file>.journal.lock" beside the file the links lead
// to names the holder in the lines QLockFile writes (process id, program,
// host) and goes with the lock. Both it and the data file are locked with
// locks the system drops with the process, so the lock of a program that
// died is taken over at once. On NFS and SMB only the name is locked.
class RecordingLock
{
public:
    explicit RecordingLock(const QString &dataFile) : m_dataFile(dataFile) {}
    ~RecordingLock() { unlock(); }
    RecordingLock(const RecordingLock &) = delete;
    RecordingLock &operator=(const RecordingLock &) = delete;

    // True once held. When false, either another program holds the lock and
    // holder() names it ("kx740d-record，进程 1234，主机 lab"), or it cannot be
    // made and errorString() gives the system's reason ("No space left on
    // device"); the other one is empty.
    bool tryLock();
    void unlock();
    bool isLocked() const { return m_lockFd >= 0; }

    QString holder() const { return m_holder; }
    QString errorString() const;
    int errorCode() const { return m_errno; }
    // Empty until tryLock() has resolved the data file's links.
    QString lockFileName() const { return m_lockFile; }

    // Lets go of the data files of this process's locks that no name leads
    // to any more (replaced by a new file, which no other name can lead to
    // yet), so their disk space is freed. Called after every UpdateLock.
    static void releaseRemovedFiles();

private:
    bool lockName();
    bool lockDataFile(const QString &file);
    bool writeHolder();
    QString holderOfDataFile() const;
    bool fail(int code);
    bool refuse(const QString &holder);

    QString m_dataFile;
    QString m_lockFile;
    QString m_holder;
    QByteArray m_dataId; // "device inode" of the data file locked; empty: none
    int m_errno = 0;
    int m_lockFd = -1;
    int m_dataFd = -1;
};
