#include "store/filenames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace {

const QStringList &workingFilePatterns()
{
    static const QStringList patterns{
        QStringLiteral("auto_backup*.bak"), QStringLiteral("*.unsaved.dat"),
        QStringLiteral("*.journal"),        QStringLiteral("*.lock"),
        QStringLiteral("*.outbox"),         QStringLiteral("*.mqtt"),
        QStringLiteral("*.events")};
    return patterns;
}

bool hasWorkingName(const QString &path)
{
    return !path.isEmpty() && QDir::match(workingFilePatterns(), QFileInfo(path).fileName());
}

// Follows links; false for a file that is not there.
bool sameFile(const struct stat &a, const QString &path)
{
    struct stat b;
    return ::stat(QFile::encodeName(path).constData(), &b) == 0 && a.st_dev == b.st_dev &&
           a.st_ino == b.st_ino;
}

} // namespace

QString fileNameFrom(const QString &text, const QString &fallback)
{
    static const QString refused = QStringLiteral("/\\:*?\"<>|");
    QString name;
    name.reserve(text.size());
    for (const QChar c : text)
        name += refused.contains(c) || c.unicode() < 0x20 ? QLatin1Char('_') : c;
    name = name.trimmed();
    return name.isEmpty() ? fallback : name;
}

QString proposedFileIn(const QString &folder, const QString &name, const QString &extension,
                       const QString &fallback)
{
    return QDir(folder).filePath(fileNameFrom(name, fallback) + extension);
}

QString proposedArchiveFile(const QString &archiveFile, const QString &folder,
                            const QString &archiveName, const QDateTime &now)
{
    if (!archiveFile.isEmpty())
        return archiveFile;
    return proposedFileIn(folder,
                          archiveName + QLatin1Char('_') +
                              now.toString(QStringLiteral("yyyy_MM_dd hh_mm_ss_zzz")),
                          QStringLiteral(".dat"), QString());
}

bool isWorkingFile(const QString &path, const QString &workingFolder)
{
    const QFileInfo info(path);
    if (hasWorkingName(path) || (info.isSymLink() && hasWorkingName(info.symLinkTarget())) ||
        hasWorkingName(info.canonicalFilePath()))
        return true;
    struct stat target;
    if (::stat(QFile::encodeName(path).constData(), &target) != 0)
        return false; // a new file is no other file
    const QDir folder(workingFolder);
    const QStringList working =
        folder.entryList(workingFilePatterns(), QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : working) {
        if (sameFile(target, folder.filePath(name)))
            return true;
    }
    return false;
}
