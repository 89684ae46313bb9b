#include "store/unsavedarchive.h"

#include "store/atomicfile.h"
#include "store/backupslot.h"
#include "store/datafile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

const QString kSuffix = QStringLiteral(".unsaved.dat");

// A byte array holds less; such a file is no archive this program wrote.
constexpr qint64 kSizeLimit = qint64(1) << 31;

} // namespace

QString unsavedArchiveFile(const QString &backupFile)
{
    const QFileInfo backup(backupFile);
    return QDir(backup.path()).filePath(backup.completeBaseName() + kSuffix);
}

bool writeUnsavedArchive(const QString &backupFile, const Data_table_T &archive, QString *error)
{
    return writeFileAtomically(unsavedArchiveFile(backupFile), dataFileToBytes(archive), error);
}

bool removeUnsavedArchive(const QString &backupFile)
{
    const QString file = unsavedArchiveFile(backupFile);
    if (!QFile::exists(file))
        return true;
    if (!QFile::remove(file))
        return false;
    syncFolderOf(file);
    return true;
}

UnsavedArchiveRead readUnsavedArchive(const QString &backupFile, Data_table_T &archive)
{
    QFile file(unsavedArchiveFile(backupFile));
    // Anything but a file under that name (a folder) is none of ours.
    if (!QFileInfo(file.fileName()).isFile())
        return UnsavedArchiveRead::None;
    if (!file.open(QIODevice::ReadOnly) || file.size() > kSizeLimit)
        return UnsavedArchiveRead::Damaged;
    Data_table_T read;
    if (!dataFileFromBytes(file.readAll(), read))
        return UnsavedArchiveRead::Damaged;
    file.close();
    if (read.lists.isEmpty()) {
        removeUnsavedArchive(backupFile);
        return UnsavedArchiveRead::None;
    }
    archive = std::move(read);
    return UnsavedArchiveRead::Read;
}

QString setDamagedUnsavedArchiveAside(const QString &backupFile, const QDateTime &now)
{
    const QString file = unsavedArchiveFile(backupFile);
    const QString stem = file.left(file.size() - 4) + QStringLiteral(".damaged_") +
                         now.toString(QStringLiteral("yyyy_MM_dd hh_mm_ss_zzz"));
    QString aside = stem + QStringLiteral(".dat");
    for (int n = 2; QFile::exists(aside); ++n)
        aside = stem + QStringLiteral("_%1.dat").arg(n);
    if (!QFile::rename(file, aside))
        return file;
    syncFolderOf(aside);
    return aside;
}

QStringList slotsWithUnsavedArchive(const QString &dir, const QString &ownBackup)
{
    QStringList found;
    for (int i = 0; i < BackupSlot::kMaxSlots; ++i) {
        const QString backup = QDir(dir).filePath(backupSlotName(i));
        if (backup != ownBackup && QFileInfo(unsavedArchiveFile(backup)).isFile())
            found << backup;
    }
    return found;
}
