#include "mqtt/mqttclientid.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>

#include <mutex>

namespace {

QString readId(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QString id = QString::fromLatin1(file.readLine(64)).trimmed();
    static const QRegularExpression valid(QStringLiteral("^[0-9a-f]{16}$"));
    return valid.match(id).hasMatch() ? id : QString();
}

bool writeId(const QString &path, const QString &id)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(id.toLatin1() + '\n') > 0 && file.commit();
}

} // namespace

QString installationId()
{
    static std::mutex mutex;
    static QString id;
    std::lock_guard<std::mutex> lock(mutex);
    if (!id.isEmpty())
        return id;
    const QString config = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    const QStringList places{config.isEmpty() ? QString()
                                              : config + QStringLiteral("/installation-id"),
                             QDir::current().filePath(QStringLiteral("kx740d-installation-id"))};
    for (const QString &path : places) {
        if (!path.isEmpty() && !(id = readId(path)).isEmpty())
            return id;
    }
    id = QStringLiteral("%1%2")
             .arg(QRandomGenerator::system()->generate(), 8, 16, QLatin1Char('0'))
             .arg(QRandomGenerator::system()->generate(), 8, 16, QLatin1Char('0'));
    for (const QString &path : places) {
        if (!path.isEmpty() && writeId(path, id))
            break;
    }
    return id;
}

QString publisherClientId(const QString &installationId, const QString &topicPrefix,
                          const QString &instrumentName, const QString &instance)
{
    QString key = topicPrefix + QLatin1Char('\n') + instrumentName;
    // Without an instance the id stays what it was before instances existed.
    if (!instance.isEmpty())
        key += QLatin1Char('\n') + instance;
    const QByteArray hash = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1);
    return QStringLiteral("kx740d-%1-%2")
        .arg(installationId, QString::fromLatin1(hash.left(4).toHex()));
}

QString publisherInstanceOfFile(const QString &path)
{
    const QFileInfo file(path);
    const QString folder = QFileInfo(file.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? file.absoluteFilePath() : folder + QLatin1Char('/') + file.fileName();
}
