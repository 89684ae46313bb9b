#include "store/filenames.h"

#include <QDir>

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
