#include "app/mqttconfig.h"

#include "app/logging.h"
#include "store/atomicfile.h"

#include <qt5keychain/keychain.h>

#include <QDebug>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

namespace {

constexpr qint64 kFileSizeLimit = 64 * 1024;

const QString kPasswordInStore = QStringLiteral("passwordInSecretStore");

QString secretKey(const MqttSettings &s)
{
    return s.user + QLatin1Char('@') + s.url.trimmed();
}

} // namespace

bool sameMqttSettings(const MqttSettings &a, const MqttSettings &b)
{
    return a.enabled == b.enabled && a.url == b.url && a.prefix == b.prefix && a.user == b.user &&
           a.password == b.password && a.caFile == b.caFile && a.certFile == b.certFile &&
           a.keyFile == b.keyFile && a.discovery == b.discovery;
}

MqttSettings readMqttFile(const QString &path, PasswordPlace *place)
{
    MqttSettings s;
    if (place)
        *place = PasswordPlace::None;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kFileSizeLimit)
        return s;
    const QJsonDocument doc = QJsonDocument::fromJson(file.read(kFileSizeLimit));
    if (!doc.isObject())
        return s;
    const QJsonObject o = doc.object();
    s.enabled = o.value(QLatin1String("enabled")).toBool();
    s.url = o.value(QLatin1String("url")).toString();
    s.prefix = o.value(QLatin1String("prefix")).toString();
    s.user = o.value(QLatin1String("user")).toString();
    s.password = o.value(QLatin1String("password")).toString();
    s.caFile = o.value(QLatin1String("caFile")).toString();
    s.certFile = o.value(QLatin1String("certFile")).toString();
    s.keyFile = o.value(QLatin1String("keyFile")).toString();
    s.discovery = o.value(QLatin1String("discovery")).toBool();
    if (place) {
        if (!s.password.isEmpty())
            *place = PasswordPlace::File;
        else if (o.value(kPasswordInStore).toBool())
            *place = PasswordPlace::SecretStore;
    }
    return s;
}

bool writeMqttFile(const QString &path, const MqttSettings &settings, PasswordPlace place,
                   QString *error)
{
    QJsonObject o;
    o.insert(QLatin1String("enabled"), settings.enabled);
    o.insert(QLatin1String("url"), settings.url);
    o.insert(QLatin1String("prefix"), settings.prefix);
    o.insert(QLatin1String("user"), settings.user);
    if (place == PasswordPlace::File)
        o.insert(QLatin1String("password"), settings.password);
    else if (place == PasswordPlace::SecretStore)
        o.insert(kPasswordInStore, true);
    o.insert(QLatin1String("caFile"), settings.caFile);
    o.insert(QLatin1String("certFile"), settings.certFile);
    o.insert(QLatin1String("keyFile"), settings.keyFile);
    o.insert(QLatin1String("discovery"), settings.discovery);

    AtomicFile file(path);
    // The temporary file is what becomes `path`: its mode is the file's mode.
    if (file.open() &&
        (place != PasswordPlace::File ||
         file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)) &&
        file.write(QJsonDocument(o).toJson()) && file.commit())
        return true;
    *error = MqttTexts::tr("无法写入 MQTT 设置文件 %1：%2")
                 .arg(QFileInfo(path).absoluteFilePath(), file.errorString());
    return false;
}

QString passwordPlaceText(PasswordPlace place, const QString &fileName)
{
    switch (place) {
    case PasswordPlace::SecretStore:
        return MqttTexts::tr("密码保存在系统的密钥环中。");
    case PasswordPlace::File:
        return MqttTexts::tr("没有可用的密钥环：密码保存在 %1 中，只有你的用户帐户可以读写该文件。")
            .arg(QFileInfo(fileName).absoluteFilePath());
    case PasswordPlace::None:
        break;
    }
    return QString();
}

MqttConfig::MqttConfig(const QString &fileName, QObject *parent)
    : QObject(parent), m_fileName(fileName)
{
}

bool MqttConfig::secretStoreAvailable()
{
    return !qEnvironmentVariableIsSet(kNoSecretStoreVariable);
}

MqttSettings MqttConfig::load(int secretWaitMs)
{
    m_settings = readMqttFile(m_fileName, &m_place);
    // When the store does not answer the place stays SecretStore with an
    // empty password, so saving other changes keeps the stored password.
    if (m_place == PasswordPlace::SecretStore && secretStoreAvailable()) {
        auto *job = new QKeychain::ReadPasswordJob(QLatin1String(kMqttSecretService), this);
        job->setKey(secretKey(m_settings));
        QEventLoop loop;
        connect(job, &QKeychain::Job::finished, &loop, [this, &loop](QKeychain::Job *done) {
            if (done->error() == QKeychain::NoError)
                m_settings.password = static_cast<QKeychain::ReadPasswordJob *>(done)->textData();
            else
                qCDebug(lcApp) << "MQTT password not read from the secret store:"
                               << done->errorString();
            loop.quit();
        });
        QTimer::singleShot(secretWaitMs, &loop, &QEventLoop::quit);
        job->start();
        loop.exec();
    }
    return m_settings;
}

bool MqttConfig::save(const MqttSettings &settings, QString *error)
{
    if (sameMqttSettings(settings, m_settings))
        return true;
    const QString oldKey = secretKey(m_settings);
    const QString newKey = secretKey(settings);
    const bool oldInStore = m_place == PasswordPlace::SecretStore;
    const bool sameSecret =
        oldInStore && oldKey == newKey && m_settings.password == settings.password;

    PasswordPlace place = PasswordPlace::None;
    if (sameSecret)
        place = PasswordPlace::SecretStore;
    else if (!settings.password.isEmpty())
        place = PasswordPlace::File;
    if (!writeMqttFile(m_fileName, settings, place, error))
        return false;
    m_settings = settings;
    ++m_saveCount;
    setPlace(place);
    if (oldInStore && !sameSecret && (settings.password.isEmpty() || oldKey != newKey))
        forgetSecret(oldKey);
    if (place == PasswordPlace::File && secretStoreAvailable())
        storeSecret(newKey);
    return true;
}

void MqttConfig::setPlace(PasswordPlace place)
{
    if (place == m_place)
        return;
    m_place = place;
    emit passwordPlaceChanged(place);
}

void MqttConfig::storeSecret(const QString &key)
{
    auto *job = new QKeychain::WritePasswordJob(QLatin1String(kMqttSecretService), this);
    job->setKey(key);
    job->setTextData(m_settings.password);
    const quint64 saveCount = m_saveCount;
    connect(job, &QKeychain::Job::finished, this, [this, saveCount](QKeychain::Job *done) {
        if (done->error() != QKeychain::NoError) {
            qCDebug(lcApp) << "MQTT password kept in the settings file:" << done->errorString();
            return;
        }
        // A later save wrote the file again and asked the store itself.
        if (saveCount != m_saveCount)
            return;
        QString error;
        if (writeMqttFile(m_fileName, m_settings, PasswordPlace::SecretStore, &error))
            setPlace(PasswordPlace::SecretStore);
    });
    job->start();
}

void MqttConfig::forgetSecret(const QString &key)
{
    auto *job = new QKeychain::DeletePasswordJob(QLatin1String(kMqttSecretService), this);
    job->setKey(key);
    job->start();
}
