#pragma once

#include "app/mqttconfig.h"
#include "mqtt/mqttsettings.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The settings window's MQTT page: where readings are published and the
// broker's answer to the last attempt. It only shows and collects settings;
// whoever owns it stores and applies them.
class MqttPage : public QWidget
{
    Q_OBJECT

public:
    explicit MqttPage(QWidget *parent = nullptr);

    void setSettings(const MqttSettings &settings);
    MqttSettings settings() const;

    // The prefix used while the prefix box is empty is shown in it as its
    // placeholder, and in the topics the page names.
    void setInstrumentName(const QString &name);
    void setStatus(const QString &text);
    // Recorded readings waiting for the broker, and those it will never get.
    void setQueue(int waiting, quint64 dropped);
    void setPasswordPlace(PasswordPlace place, const QString &fileName);

signals:
    // The user switched publishing on or off.
    void enabledClicked(bool enabled);
    void testClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void browse(QLineEdit *edit, const QString &caption, const QString &filter);
    void showTopics();

    QCheckBox *m_enabled;
    QLineEdit *m_url;
    QLineEdit *m_prefix;
    QLineEdit *m_user;
    QLineEdit *m_password;
    QLineEdit *m_caFile;
    QLineEdit *m_certFile;
    QLineEdit *m_keyFile;
    QCheckBox *m_discovery;
    QPushButton *m_test;
    QLabel *m_topics;
    QLabel *m_status;
    QLabel *m_queue;
    QLabel *m_passwordNote;
};
