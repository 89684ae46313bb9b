// A file written through writeFileAtomically is the old one or the whole new
// one. The full disk is real: a child process mounts a 64 KiB tmpfs in a
// mount namespace of its own and writes there. A failing folder sync is
// this program's own fsync().
#include "store/atomicfile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {
int g_folderSyncError = 0;
} // namespace

// Takes the place of the C library's: syncing a folder fails with
// g_folderSyncError while it is set, as on a disk failing after the rename.
extern "C" int fsync(int fd)
{
    struct stat st = {};
    if (g_folderSyncError != 0 && ::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        errno = g_folderSyncError;
        return -1;
    }
    return int(::syscall(SYS_fsync, fd));
}

namespace {

const char kChildOption[] = "--on-full-disk";

QByteArray pattern(int size, char seed)
{
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = char(seed + i * 7);
    return bytes;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// In the child, on the small file system `dir`: writes a data file, then one
// too large for the disk over it, and prints what a user would find.
int writeOnFullDisk(const QString &dir)
{
    const QString target = QDir(dir).filePath(QStringLiteral("data.dat"));
    if (!writeFileAtomically(target, pattern(1000, 'a')))
        return 2;
    QString reason;
    const bool written = writeFileAtomically(target, pattern(200 * 1024, 'b'), &reason);
    std::printf(
        "written %d\nreason %s\nfiles %s\ntarget %s\n", int(written), reason.toUtf8().constData(),
        QDir(dir).entryList(QDir::Files | QDir::Hidden).join(QLatin1Char('/')).toUtf8().constData(),
        readFile(target).toHex().constData());
    return 0;
}

} // namespace

class TestAtomicFile : public QObject
{
    Q_OBJECT

private slots:
    void fullDiskKeepsTheOldFile()
    {
        const QString unshare = QStandardPaths::findExecutable(QStringLiteral("unshare"));
        if (unshare.isEmpty())
            QSKIP("no unshare program to make a small file system with");
        QTemporaryDir mountPoint;
        QVERIFY(mountPoint.isValid());
        QProcess child;
        child.start(unshare, {QStringLiteral("-rm"), QStringLiteral("sh"), QStringLiteral("-c"),
                              QStringLiteral("mount -t tmpfs -o size=64k none \"$1\" && "
                                             "exec \"$2\" %1 \"$1\"")
                                  .arg(QLatin1String(kChildOption)),
                              QStringLiteral("sh"), mountPoint.path(),
                              QCoreApplication::applicationFilePath()});
        QVERIFY(child.waitForFinished(20000));
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        const QByteArray output = child.readAllStandardOutput();
        // unshare or mount failed before this program ran in the child.
        if (child.exitCode() != 0 && child.exitCode() != 2 && output.isEmpty())
            QSKIP(qPrintable(QStringLiteral("no private mount namespace with a tmpfs here: ") +
                             QString::fromLocal8Bit(child.readAllStandardError().trimmed())));
        QCOMPARE(child.exitCode(), 0);

        QMap<QByteArray, QByteArray> found;
        for (const QByteArray &line : output.split('\n')) {
            const int space = line.indexOf(' ');
            found.insert(line.left(space), line.mid(space + 1));
        }
        QCOMPARE(found.value("written"), QByteArray("0"));
        QCOMPARE(QString::fromUtf8(found.value("reason")),
                 QString::fromLocal8Bit(std::strerror(ENOSPC)));
        // No temporary file is left beside it, and it is byte for byte the old one.
        QCOMPARE(found.value("files"), QByteArray("data.dat"));
        QCOMPARE(found.value("target"), pattern(1000, 'a').toHex());
    }

    void writtenFileReplacesTheOld()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("data.dat"));
        QVERIFY(writeFileAtomically(target, pattern(1000, 'a')));
        const auto shared = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser |
                            QFile::WriteUser | QFile::ReadGroup | QFile::WriteGroup;
        QVERIFY(QFile::setPermissions(target, shared));
        QString reason;
        QVERIFY2(writeFileAtomically(target, pattern(300, 'b'), &reason), qPrintable(reason));
        QCOMPARE(readFile(target), pattern(300, 'b'));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("data.dat")});
        // As the user left it: shared with the group, reached through a link.
        QCOMPARE(QFile::permissions(target), shared);
        const QString link = dir.filePath(QStringLiteral("link.dat"));
        QVERIFY(QFile::link(target, link));
        QVERIFY(writeFileAtomically(link, pattern(10, 'c')));
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(readFile(target), pattern(10, 'c'));
    }

    // A file another user owns (a recorder run with sudo, then as root
    // again) stays theirs; its set-id bits are not handed on.
    void replacedFileKeepsItsOwnerWithoutSetIdBits()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("data.dat"));
        QVERIFY(writeFileAtomically(target, pattern(100, 'a')));
        // Root gives it to nobody; any user may give it another group of theirs.
        uid_t owner = ::geteuid();
        gid_t group = ::getegid();
        gid_t groups[64];
        const int groupCount = ::getgroups(64, groups);
        for (int i = 0; i < groupCount; ++i)
            if (groups[i] != group)
                group = groups[i];
        if (owner == 0)
            owner = group = 65534;
        const QByteArray name = QFile::encodeName(target);
        QCOMPARE(::chown(name.constData(), owner, group), 0);
        QCOMPARE(::chmod(name.constData(), 06750), 0);
        QVERIFY(writeFileAtomically(target, pattern(10, 'b')));
        struct stat st = {};
        QCOMPARE(::stat(name.constData(), &st), 0);
        QCOMPARE(st.st_uid, owner);
        QCOMPARE(st.st_gid, group);
        QCOMPARE(st.st_mode & 07777, mode_t(0750));
    }

    // One left by a writer killed before its rename goes; that of a writer
    // still writing stays and is committed.
    void staleTemporariesAreRemoved()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("data.dat"));
        for (const char *name : {"data.dat.tmp-Ab12Cd", "other.dat.tmp-Ab12Cd"}) {
            QFile file(dir.filePath(QLatin1String(name)));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(pattern(1000, 'x'));
        }
        AtomicFile running(target);
        QVERIFY(running.open() && running.write(pattern(20, 'r')));
        QVERIFY(writeFileAtomically(target, pattern(10, 'a')));
        QStringList files = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(files.size(), 3);
        QVERIFY(files.contains(QStringLiteral("other.dat.tmp-Ab12Cd")));
        QVERIFY(!files.contains(QStringLiteral("data.dat.tmp-Ab12Cd")));
        QVERIFY2(running.commit(), qPrintable(running.errorString()));
        QCOMPARE(readFile(target), pattern(20, 'r'));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{QStringLiteral("data.dat"), QStringLiteral("other.dat.tmp-Ab12Cd")}));
    }

    // The new content is in place, but not known to survive a power cut.
    void failedFolderSyncIsAFailure()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("data.dat"));
        QVERIFY(writeFileAtomically(target, pattern(100, 'a')));
        g_folderSyncError = EIO;
        QString reason;
        const bool written = writeFileAtomically(target, pattern(10, 'b'), &reason);
        g_folderSyncError = 0;
        QVERIFY(!written);
        QCOMPARE(reason, QString::fromLocal8Bit(std::strerror(EIO)));
        QCOMPARE(readFile(target), pattern(10, 'b'));
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int child = args.indexOf(QString::fromLatin1(kChildOption));
    if (child >= 0 && child + 1 < args.size())
        return writeOnFullDisk(args.at(child + 1));
    TestAtomicFile test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_atomicfile.moc"
