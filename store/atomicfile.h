#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

// A file that takes its target's name only once all of it is on the disk.
// The bytes go to a temporary file beside the target; commit() syncs it,
// checks that the file holds every byte written, renames it over the target
// and syncs the folder, so after a kill, a power cut or a full disk at any
// moment the target is either the old file, whole, or the new one, whole.
// Unlike QSaveFile every failing write is noticed (a buffered write failing
// inside QSaveFile::commit() is not), and errorString() is the system's own
// reason ("No space left on device").
//
// The temporary file, "NAME.tmp-XXXXXX", is flocked by its writer while it
// lives; the next AtomicFile for the same target removes those left by a
// killed writer (the ones it can lock), never one a running writer uses.
class AtomicFile
{
public:
    explicit AtomicFile(const QString &target);
    ~AtomicFile(); // removes the temporary file unless committed
    AtomicFile(const AtomicFile &) = delete;
    AtomicFile &operator=(const AtomicFile &) = delete;

    // The temporary file gets the permissions of the file it is to replace
    // (without set-user-id, set-group-id and sticky bits), and its owner and
    // group when the process may give them (root); or what any new file of
    // the user gets when there is none.
    bool open();
    // Permissions the target will have, set before anything secret is
    // written (an open file).
    bool setPermissions(QFileDevice::Permissions permissions);
    // Writes everything or fails; a failed write makes commit() fail too.
    bool write(const char *data, qint64 size);
    bool write(const QByteArray &bytes) { return write(bytes.constData(), bytes.size()); }
    // Overwrites bytes already written at `offset` (a length field known
    // only at the end); the file's size does not change.
    bool writeAt(qint64 offset, const QByteArray &bytes);
    qint64 size() const { return m_size; }
    // False also when the folder cannot be synced after the rename: the new
    // content is then in place but not known to be on the disk, so a caller
    // keeps any other copy of it.
    bool commit();
    void cancel();

    QString target() const { return m_target; }
    QString errorString() const { return m_error; }
    // errno of the first failure, 0 when none.
    int errorCode() const { return m_errno; }

private:
    bool failWith(int code);

    QString m_target;
    QString m_path; // the file replaced: fileBehindLinks(target)
    QString m_temp;
    int m_fd = -1;
    qint64 m_size = 0;
    int m_errno = 0;
    QString m_error;
};

// `bytes` as the whole content of `path`, through an AtomicFile. On failure
// `error` (when given) gets the system's reason and `path` is as it was.
bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// Syncs the folder holding `path`, so a rename or a new file in it survives
// a power cut. On failure `errorCode` (when given) gets the errno.
bool syncFolderOf(const QString &path, int *errorCode = nullptr);

// The absolute path of the file `path` names once every symbolic link is
// followed, those of its folders and its own, also a link to a file not
// there yet: the file that writing `path` replaces. Empty, with the errno
// in `errorCode`, when the folder cannot be resolved (it is missing).
QString fileBehindLinks(const QString &path, int *errorCode = nullptr);

// Whether a write that failed with `errorCode` may succeed later by itself:
// a full disk or quota, an I/O error of a removable disk.
bool isPassingWriteError(int errorCode);
