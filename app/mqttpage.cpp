#include "app/mqttpage.h"

#include "app/userdialogs.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLineEdit *newLineEdit(QWidget *parent, const char *name)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QLatin1String(name));
    edit->setClearButtonEnabled(true);
    return edit;
}

} // namespace

MqttPage::MqttPage(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("page_mqtt"));

    m_enabled = new QCheckBox(tr("发布到 MQTT 代理"), this);
    m_enabled->setObjectName(QStringLiteral("checkBox_mqtt_enabled"));

    m_url = newLineEdit(this, "lineEdit_mqtt_url");
    m_url->setPlaceholderText(tr("mqtt://主机:1883"));
    m_prefix = newLineEdit(this, "lineEdit_mqtt_prefix");
    setInstrumentName(QString());
    m_user = newLineEdit(this, "lineEdit_mqtt_user");
    m_password = newLineEdit(this, "lineEdit_mqtt_password");
    m_password->setEchoMode(QLineEdit::Password);
    m_passwordNote = new QLabel(this);
    m_passwordNote->setObjectName(QStringLiteral("label_mqtt_password_note"));
    m_passwordNote->setWordWrap(true);
    m_passwordNote->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_passwordNote->setStyleSheet(QStringLiteral("color: #6b6b6b;"));
    m_passwordNote->hide();

    auto *form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->addRow(tr("代理地址"), m_url);
    form->addRow(tr("主题前缀"), m_prefix);
    form->addRow(tr("用户名"), m_user);
    form->addRow(tr("密码"), m_password);

    const QString certificates = tr("证书文件 (*.pem *.crt *.cer);;所有文件 (*)");
    const QString keys = tr("私钥文件 (*.pem *.key);;所有文件 (*)");
    struct FileRow
    {
        QLineEdit **edit;
        const char *editName;
        const char *buttonName;
        QString label;
        QString filter;
    };
    const FileRow rows[] = {
        {&m_caFile, "lineEdit_mqtt_ca", "pushButton_mqtt_ca", tr("CA 证书"), certificates},
        {&m_certFile, "lineEdit_mqtt_cert", "pushButton_mqtt_cert", tr("客户端证书"), certificates},
        {&m_keyFile, "lineEdit_mqtt_key", "pushButton_mqtt_key", tr("客户端私钥"), keys},
    };
    for (const FileRow &row : rows) {
        QLineEdit *edit = newLineEdit(this, row.editName);
        *row.edit = edit;
        auto *button = new QPushButton(QStringLiteral("…"), this);
        button->setObjectName(QLatin1String(row.buttonName));
        button->setFixedWidth(button->fontMetrics().horizontalAdvance(QStringLiteral("……")) + 16);
        const QString caption = row.label;
        const QString filter = row.filter;
        connect(button, &QPushButton::clicked, this,
                [this, edit, caption, filter] { browse(edit, caption, filter); });
        auto *line = new QHBoxLayout;
        line->addWidget(edit);
        line->addWidget(button);
        form->addRow(row.label, line);
    }

    m_discovery = new QCheckBox(tr("发送 Home Assistant 自动发现消息"), this);
    m_discovery->setObjectName(QStringLiteral("checkBox_mqtt_discovery"));

    m_test = new QPushButton(tr("测试连接"), this);
    m_test->setObjectName(QStringLiteral("pushButton_mqtt_test"));
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("label_mqtt_status"));
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *testLine = new QHBoxLayout;
    testLine->addWidget(m_test, 0, Qt::AlignTop);
    testLine->addWidget(m_status, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_enabled);
    layout->addLayout(form);
    layout->addWidget(m_discovery);
    layout->addLayout(testLine);
    // Below the rows: a form row would not grow with the text's wrapping.
    layout->addWidget(m_passwordNote);
    layout->addStretch(1);

    connect(m_enabled, &QCheckBox::clicked, this, &MqttPage::enabledClicked);
    connect(m_test, &QPushButton::clicked, this, &MqttPage::testClicked);
}

void MqttPage::setSettings(const MqttSettings &settings)
{
    m_enabled->setChecked(settings.enabled);
    m_url->setText(settings.url);
    m_prefix->setText(settings.prefix);
    m_user->setText(settings.user);
    m_password->setText(settings.password);
    m_caFile->setText(settings.caFile);
    m_certFile->setText(settings.certFile);
    m_keyFile->setText(settings.keyFile);
    m_discovery->setChecked(settings.discovery);
}

MqttSettings MqttPage::settings() const
{
    MqttSettings s;
    s.enabled = m_enabled->isChecked();
    s.url = m_url->text().trimmed();
    s.prefix = m_prefix->text().trimmed();
    s.user = m_user->text();
    s.password = m_password->text();
    s.caFile = m_caFile->text().trimmed();
    s.certFile = m_certFile->text().trimmed();
    s.keyFile = m_keyFile->text().trimmed();
    s.discovery = m_discovery->isChecked();
    return s;
}

void MqttPage::setInstrumentName(const QString &name)
{
    m_prefix->setPlaceholderText(name.trimmed().isEmpty() ? tr("kx740d/<仪器名称>")
                                                          : effectiveTopicPrefix(QString(), name));
}

void MqttPage::setStatus(const QString &text)
{
    m_status->setText(text);
}

void MqttPage::setPasswordPlace(PasswordPlace place, const QString &fileName)
{
    const QString note = passwordPlaceText(place, fileName);
    m_passwordNote->setText(note);
    m_passwordNote->setVisible(!note.isEmpty());
}

void MqttPage::browse(QLineEdit *edit, const QString &caption, const QString &filter)
{
    const QString current = edit->text().trimmed();
    const QString start = current.isEmpty() ? QString() : QFileInfo(current).absolutePath();
    const QString fileName = UserDialogs::openFileName(window(), caption, start, filter);
    if (!fileName.isEmpty())
        edit->setText(fileName);
}
