#include "widgets/programfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QWidget>

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

void applyStyleSheetFile(QWidget *widget, const QString &bareName)
{
    QFile file(programFilePath(bareName));
    if (!file.open(QIODevice::ReadOnly))
        return;
    widget->setStyleSheet(QString::fromLatin1(file.readAll()));
}
