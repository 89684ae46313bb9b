#include "widgets/programfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString programFilePath(const QString &bareName)
{
    if (QFileInfo::exists(bareName))
        return bareName;
    if (QCoreApplication::instance()) {
        const QString beside = QDir(QCoreApplication::applicationDirPath()).filePath(bareName);
        if (QFileInfo::exists(beside))
            return beside;
    }
    return bareName;
}
