// The MQTT page and its settings file, without a window or a publisher.
#include "app/mqttconfig.h"
#include "app/mqttpage.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

class TestMqttPage : public QObject
{
    Q_OBJECT

private:
    static QLineEdit *edit(QWidget &page, const char *name)
    {
        return page.findChild<QLineEdit *>(QLatin1String(name));
    }
    static QCheckBox *box(QWidget &page, const char *name)
    {
        return page.findChild<QCheckBox *>(QLatin1String(name));
    }

private slots:
    // CI has no secret service; this is the path it takes there.
    void initTestCase() { qputenv(kNoSecretStoreVariable, "1"); }
    // A line edit's clear button fades in with an animation of its own that
    // deletes itself when it ends (160 ms), also after the line edit is gone;
    // the event loop lets it end.
    void cleanup() { QTest::qWait(300); }

    void storedSettingsComeBackInANewPage()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("mqtt.json"));
        MqttPage page;
        box(page, "checkBox_mqtt_enabled")->click();
        QTest::keyClicks(edit(page, "lineEdit_mqtt_url"),
                         QStringLiteral("mqtts://broker.lab:8883"));
        QTest::keyClicks(edit(page, "lineEdit_mqtt_prefix"), QStringLiteral("lab/oven"));
        QTest::keyClicks(edit(page, "lineEdit_mqtt_user"), QStringLiteral("anna"));
        QTest::keyClicks(edit(page, "lineEdit_mqtt_password"), QStringLiteral("s3cr:t \"q\""));
        QTest::keyClicks(edit(page, "lineEdit_mqtt_ca"), QStringLiteral("/etc/ssl/lab-ca.pem"));
        box(page, "checkBox_mqtt_discovery")->click();

        MqttConfig config(path);
        config.load();
        QString error;
        QVERIFY2(config.save(page.settings(), &error), qPrintable(error));
        QCOMPARE(config.passwordPlace(), PasswordPlace::File);
        page.setPasswordPlace(config.passwordPlace(), config.fileName());
        auto *note = page.findChild<QLabel *>(QStringLiteral("label_mqtt_password_note"));
        QVERIFY(!note->isHidden());
        QVERIFY(note->text().contains(QFileInfo(path).absoluteFilePath()));

        // Only the owner may read a file that holds the password.
        const QFile::Permissions others = QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                          QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
        QCOMPARE(QFileInfo(path).permissions() & others, QFile::Permissions());
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QJsonDocument::fromJson(file.readAll()).object().value("password").toString(),
                 QStringLiteral("s3cr:t \"q\""));

        MqttConfig again(path);
        MqttPage restored;
        restored.setSettings(again.load());
        QVERIFY(box(restored, "checkBox_mqtt_enabled")->isChecked());
        QCOMPARE(edit(restored, "lineEdit_mqtt_url")->text(),
                 QStringLiteral("mqtts://broker.lab:8883"));
        QCOMPARE(edit(restored, "lineEdit_mqtt_prefix")->text(), QStringLiteral("lab/oven"));
        QCOMPARE(edit(restored, "lineEdit_mqtt_user")->text(), QStringLiteral("anna"));
        QCOMPARE(edit(restored, "lineEdit_mqtt_password")->text(), QStringLiteral("s3cr:t \"q\""));
        QCOMPARE(edit(restored, "lineEdit_mqtt_password")->echoMode(), QLineEdit::Password);
        QCOMPARE(edit(restored, "lineEdit_mqtt_ca")->text(), QStringLiteral("/etc/ssl/lab-ca.pem"));
        QVERIFY(box(restored, "checkBox_mqtt_discovery")->isChecked());
        QCOMPARE(again.passwordPlace(), PasswordPlace::File);
    }

    void damagedFileGivesDefaults_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("binary") << QByteArray("\x89PNG\r\n\x1a\n\0\0\xff\xfe", 12);
        QTest::newRow("cut short") << QByteArray("{\"enabled\": true, \"url\": \"mqtt://bro");
        QTest::newRow("not an object") << QByteArray("[true, \"mqtt://broker\"]");
        QTest::newRow("wrong types")
            << QByteArray("{\"enabled\": \"yes\", \"url\": 7, \"user\": {}, \"password\": []}");
        QTest::newRow("empty") << QByteArray();
    }

    void damagedFileGivesDefaults()
    {
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("mqtt.json"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();

        MqttConfig config(path);
        MqttPage page;
        page.setSettings(config.load());
        QVERIFY(!box(page, "checkBox_mqtt_enabled")->isChecked());
        QVERIFY(edit(page, "lineEdit_mqtt_url")->text().isEmpty());
        QVERIFY(edit(page, "lineEdit_mqtt_user")->text().isEmpty());
        QVERIFY(edit(page, "lineEdit_mqtt_password")->text().isEmpty());
        QCOMPARE(config.passwordPlace(), PasswordPlace::None);
    }
};

QTEST_MAIN(TestMqttPage)
#include "tst_mqttpage.moc"
