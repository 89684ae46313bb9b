#pragma once

#include "mqtt/mqttsettings.h"

#include <QObject>
#include <QString>

// Where the broker password is kept.
enum class PasswordPlace
{
    None,        // no password, or one the secret store did not hand back
    SecretStore, // the desktop's secret store (service kMqttSecretService, key user@url)
    File         // the settings file, readable and writable by its owner only
};

constexpr char kMqttSecretService[] = "kx740d-mqtt";
// Set to anything in the environment, the secret store is never used: the
// password stays in the settings file as where no secret service runs.
constexpr char kNoSecretStoreVariable[] = "KX740D_NO_SECRET_STORE";

// The settings file is a JSON object with the fields of MqttSettings under
// their own names; "password" is there only while the file keeps it, and
// "passwordInSecretStore" is true while the secret store keeps it.
// A missing, unreadable or damaged file (or one larger than 64 KiB) gives the
// defaults; fields of the wrong type take their default. `place` tells where
// the file says the password is.
MqttSettings readMqttFile(const QString &path, PasswordPlace *place = nullptr);
// Writes through a temporary file that replaces `path` once complete. With
// PasswordPlace::File the file is made readable and writable by its owner
// only before the password goes in.
bool writeMqttFile(const QString &path, const MqttSettings &settings, PasswordPlace place,
                   QString *error);

bool sameMqttSettings(const MqttSettings &a, const MqttSettings &b);

// The note beside the password box (empty for PasswordPlace::None).
QString passwordPlaceText(PasswordPlace place, const QString &fileName);

// The MQTT settings of the window, kept in a file of their own so config.cfg
// keeps its format. The password goes to the secret store when one answers;
// until it has confirmed, and for good when it fails, the password is kept
// in the file, so no answer of the store can lose it.
class MqttConfig : public QObject
{
    Q_OBJECT

public:
    explicit MqttConfig(const QString &fileName, QObject *parent = nullptr);

    static bool secretStoreAvailable();

    // Reads the file. A password kept in the secret store is waited for at
    // most `secretWaitMs`; without an answer the password stays empty.
    MqttSettings load(int secretWaitMs = 2000);
    // Writes `settings` when they differ from the ones loaded or saved last.
    // The secret store answers later: passwordPlaceChanged() then tells.
    // False and a translated `error` when the file cannot be written.
    bool save(const MqttSettings &settings, QString *error);

    const MqttSettings &settings() const { return m_settings; }
    PasswordPlace passwordPlace() const { return m_place; }
    QString fileName() const { return m_fileName; }

signals:
    void passwordPlaceChanged(PasswordPlace place);

private:
    void setPlace(PasswordPlace place);
    void storeSecret(const QString &key);
    void forgetSecret(const QString &key);

    QString m_fileName;
    MqttSettings m_settings;
    PasswordPlace m_place = PasswordPlace::None;
    // Counts saves, so a secret store answer for an older one is ignored.
    quint64 m_saveCount = 0;
};
