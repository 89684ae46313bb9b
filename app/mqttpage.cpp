#include "app/mqttpage.h"

#include "app/userdialogs.h"

#include <QCheckBox>
#include <QEvent>
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

QLabel *newNote(QWidget *parent, const char *name)
{
    auto *note = new QLabel(parent);
    note->setObjectName(QLatin1String(name));
    note->setWordWrap(true);
    note->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    note->setStyleSheet(QStringLiteral("color: #6b6b6b;"));
    return note;
}

// A style sheet's text colour becomes the placeholders' colour as well (and
// Qt 5.15 has no style sheet property of their own), so an example in an
// empty box looks like a value. Placeholders keep the text colour at half
// strength, as they have without a style sheet.
void keepPlaceholderLight(QLineEdit *edit)
{
    QPalette palette = edit->palette();
    QColor light = palette.color(QPalette::Text);
    light.setAlpha(light.alpha() / 2);
    if (palette.color(QPalette::PlaceholderText) == light)
        return;
    palette.setColor(QPalette::PlaceholderText, light);
    edit->setPalette(palette);
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
    m_topics = newNote(this, "label_mqtt_topics");
    setInstrumentName(QString());
    m_user = newLineEdit(this, "lineEdit_mqtt_user");
    m_user->setPlaceholderText(tr("可选"));
    m_password = newLineEdit(this, "lineEdit_mqtt_password");
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setPlaceholderText(tr("可选"));
    m_passwordNote = newNote(this, "label_mqtt_password_note");
    m_passwordNote->hide();

    auto *form = new QFormLayout;
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);
    form->addRow(tr("代理地址"), m_url);
    form->addRow(tr("主题前缀"), m_prefix);
    form->addRow(tr("用户名"), m_user);
    form->addRow(tr("密码"), m_password);

    const QString certificates = tr("证书文件 (*.pem *.crt *.cer);;所有文件 (*)");
    const QString keys = tr("私钥文件 (*.pem *.key);;所有文件 (*)");
    const QString optional = tr("仅用于 mqtts，可选");
    struct FileRow
    {
        QLineEdit **edit;
        const char *editName;
        const char *buttonName;
        QString label;
        QString filter;
        QString placeholder;
    };
    const FileRow rows[] = {
        {&m_caFile, "lineEdit_mqtt_ca", "pushButton_mqtt_ca", tr("CA 证书"), certificates,
         tr("仅用于 mqtts；留空则使用系统的证书")},
        {&m_certFile, "lineEdit_mqtt_cert", "pushButton_mqtt_cert", tr("客户端证书"), certificates,
         optional},
        {&m_keyFile, "lineEdit_mqtt_key", "pushButton_mqtt_key", tr("客户端私钥"), keys, optional},
    };
    for (const FileRow &row : rows) {
        QLineEdit *edit = newLineEdit(this, row.editName);
        edit->setPlaceholderText(row.placeholder);
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
    m_test->setToolTip(tr("用上面填写的设置连接一次，不发布任何内容。"));
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("label_mqtt_status"));
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_queue = new QLabel(this);
    m_queue->setObjectName(QStringLiteral("label_mqtt_queue"));
    m_queue->setWordWrap(true);
    m_queue->hide();
    auto *testLine = new QHBoxLayout;
    testLine->addWidget(m_test, 0, Qt::AlignTop);
    testLine->addWidget(m_status, 1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_enabled);
    layout->addLayout(form);
    layout->addWidget(m_discovery);
    layout->addWidget(m_topics);
    layout->addLayout(testLine);
    layout->addWidget(m_queue);
    // Below the rows: a form row would not grow with the text's wrapping.
    layout->addWidget(m_passwordNote);
    layout->addStretch(1);

    connect(m_enabled, &QCheckBox::clicked, this, &MqttPage::enabledClicked);
    connect(m_test, &QPushButton::clicked, this, &MqttPage::testClicked);
    connect(m_prefix, &QLineEdit::textChanged, this, &MqttPage::showTopics);
    for (QLineEdit *edit : findChildren<QLineEdit *>())
        edit->installEventFilter(this);
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
    showTopics();
}

void MqttPage::showTopics()
{
    const QString typed = m_prefix->text().trimmed();
    // An empty prefix box shows the default prefix as its placeholder.
    const QString prefix =
        typed.isEmpty() ? m_prefix->placeholderText() : effectiveTopicPrefix(typed, QString());
    m_topics->setText(tr("发布的内容：实时读数（约每秒一条）发到 %1/live；记录的读数按顺序发到 "
                         "%1/record，代理不可用时排队等候；在线状态 online/offline（保留消息）发到 "
                         "%1/status；仪器连接状态 connected/lost（保留消息）发到 %1/link；当前的告警列表"
                         "（保留消息）发到 %1/alarm，每次告警出现和解除发到 %1/alarm/event。")
                          .arg(prefix) +
                      QLatin1Char('\n') +
                      tr("更改在切换“%1”时和关闭设置窗口时生效。").arg(m_enabled->text()));
}

bool MqttPage::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::PaletteChange) {
        if (auto *edit = qobject_cast<QLineEdit *>(watched))
            keepPlaceholderLight(edit);
    }
    return QWidget::eventFilter(watched, event);
}

void MqttPage::setStatus(const QString &text)
{
    m_status->setText(text);
}

void MqttPage::setQueue(int waiting, quint64 dropped)
{
    QStringList parts;
    if (waiting > 0)
        parts << tr("%1 条记录的读数等待代理接收。").arg(waiting);
    if (dropped > 0)
        parts << tr("%1 条记录的读数未能送达代理（队列已满、被代理拒绝，或停止发布时尚未确认）。")
                     .arg(dropped);
    m_queue->setText(parts.join(QLatin1Char(' ')));
    m_queue->setVisible(!parts.isEmpty());
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
