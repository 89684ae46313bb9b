// The settings window and the settings record of the main window: reading
// and writing config.cfg and the slots of the controls that change it.
#include "app/systempage.h"

#include "app/alarmcontrol.h"
#include "app/alarmpage.h"
#include "app/instrumentpage.h"
#include "app/mqttcontrol.h"
#include "app/mqttpage.h"
#include "app/recordingpage.h"
#include "app/shellrules.h"
#include "app/userdialogs.h"
#include "measurement/recordingsession.h"
#include "store/atomicfile.h"
#include "store/recordingstore.h"
#include "ui_mainwindow.h"
#include "widgets/alarmstrip.h"
#include "widgets/bash.h"
#include "widgets/formsetting.h"
#include "widgets/programfile.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLayout>
#include <QMainWindow>
#include <QPixmap>
#include <QScreen>
#include <QTimer>
#include <QUrl>

namespace {

const QString kSettingsFile = QStringLiteral("config.cfg");

} // namespace

SystemPage::SystemPage(WindowContext &context, AlarmStrip &alarmStrip) : PageController(context)
{
    m_ctx.settingsWindow = new FormSetting();
    connect(m_ctx.settingsWindow, &FormSetting::sys_setting_close, this,
            &SystemPage::sys_setting_close);
    m_ctx.settingsWindow->hide();
    m_mqtt = std::make_unique<MqttControl>(m_device, QStringLiteral("mqtt.json"),
                                           m_ctx.backup.fileName());
    m_mqtt->setUnit(m_unit);
    m_ctx.settingsWindow->addPage(m_mqtt->page(), QStringLiteral("MQTT"));
    loadSettings();
    m_alarms = std::make_unique<AlarmControl>(m_device, QStringLiteral("alarms.json"),
                                              *m_ctx.window, alarmStrip, *m_ctx.dashboard);
    m_alarms->setUnit(m_unit);
    m_alarms->setLimits(m_settings);
    m_ctx.settingsWindow->addPage(m_alarms->page(), tr("告警"));
    m_mqtt->watchAlarms(m_alarms->monitor());
    createMenuGroup();
    connectSlotsByObjectName(this, m_ctx.window);
}

// The controls publish or alarm through the driver, and their pages live in
// the settings window.
SystemPage::~SystemPage()
{
    m_mqtt.reset();
    m_alarms.reset();
    delete m_ctx.settingsWindow;
    m_ctx.settingsWindow = nullptr;
}

void SystemPage::settle()
{
    m_settings.logo = defaultLogo();
    showLogo();
    m_settings.companyName = ui->lineEdit_conp_name->text();
    m_settings.testerName = ui->lineEdit_teser_name->text();
    loadSettings();
    ui->comboBox_lang->setCurrentIndex(m_settings.language);
    ui->pb_autobackup_enable->setChecked(m_settings.autoBackupEnabled);
    ui->pb_continue_enable->setChecked(m_settings.continuousEnabled);
}

void SystemPage::setUnit(unit_type unit)
{
    m_mqtt->setUnit(unit);
    m_alarms->setUnit(unit);
}

// The ids are the page numbers of the settings stack.
void SystemPage::createMenuGroup()
{
    m_menuGroup = new QButtonGroup(this);
    m_menuGroup->setExclusive(true);
    const QList<QAbstractButton *> menu{
        ui->pb_menu_dev,   ui->pb_menu_unit,      ui->pb_menu_tc_type, ui->pb_menu_tc_offset,
        ui->pb_menu_limit, ui->pb_menu_test_time, ui->pb_menu_pdf,     ui->pb_menu_autobackup,
        ui->pb_menu_guid,  ui->pb_menu_lang,      ui->pb_menu_graph};
    for (int id = 0; id < menu.size(); ++id) {
        menu[id]->setCheckable(true);
        m_menuGroup->addButton(menu[id], id);
    }
    ui->pb_menu_dev->setChecked(true);
    ui->stackedWidget_menu->setCurrentIndex(0);
    connect(m_menuGroup, &QButtonGroup::idClicked, this, &SystemPage::handelMenuButtonGroup);
}

void SystemPage::handelMenuButtonGroup(int id)
{
    if (id < 0 || id >= ui->stackedWidget_menu->count())
        return;
    ui->stackedWidget_menu->setCurrentIndex(id);
    // The device page shows the stored-record count; ask for a fresh one.
    if (id == 0)
        m_device.queryStoredRecordCount();
}

void SystemPage::showSettingsWindow()
{
    m_ctx.settingsWindow->pageLayout()->addWidget(ui->widget_setting);
    m_ctx.settingsWindow->setAttribute(Qt::WA_ShowModal, true);
    // Laid out with the page before it is placed, so it is centred by the
    // size it shows at, at its first opening as at every later one.
    m_ctx.settingsWindow->ensurePolished();
    if (QLayout *layout = m_ctx.settingsWindow->layout())
        layout->activate();
    m_ctx.settingsWindow->resize(
        m_ctx.settingsWindow->size().expandedTo(m_ctx.settingsWindow->minimumSizeHint()));
    const QScreen *screen = m_ctx.window->screen();
    m_ctx.settingsWindow->move(centredOn(m_ctx.window->frameGeometry(),
                                         m_ctx.settingsWindow->frameGeometry().size(),
                                         screen ? screen->availableGeometry() : QRect()));
    m_ctx.settingsWindow->show();
}

void SystemPage::on_pb_sys_setting_clicked()
{
    if (refuseWhileRecording())
        return;
    // Until the instrument has reported its configuration the controls show
    // nothing of it; ask once more.
    if (!m_ctx.instrument->configReceived()) {
        m_device.queryConfig37();
        m_device.queryConfig35();
    }
    showSettingsWindow();
}

// Opens and closes the settings window without asking the instrument for
// anything.
void SystemPage::on_pb_debug_clicked()
{
    m_debugWindowShown = !m_debugWindowShown;
    if (m_debugWindowShown) {
        showSettingsWindow();
    } else {
        m_ctx.settingsWindow->setAttribute(Qt::WA_ShowModal, false);
        m_ctx.settingsWindow->hide();
    }
}

void SystemPage::sys_setting_close()
{
    saveSettings();
    m_mqtt->apply();
}

void SystemPage::loadSettings()
{
    LogoRead logo = LogoRead::Whole;
    if (readSettingsFile(kSettingsFile, m_settings, nullptr, &logo) != SettingsFileState::Read)
        return;
    // The window reads the file twice while it is built; one note is enough,
    // and it comes once the window is there to stand in front of.
    if (logo == LogoRead::Dropped && !m_droppedLogoNoted) {
        m_droppedLogoNoted = true;
        QTimer::singleShot(0, this, [this] {
            UserDialogs::information(m_ctx.window, QString(), droppedSettingsLogoText(), m_okText);
        });
    }
    if (m_settings.dataDir.isEmpty())
        m_settings.dataDir = defaultDataDir();
    showSettings();
}

// Pushes the record into the controls.
void SystemPage::showSettings()
{
    showLogo();
    ui->lineEdit_conp_name->setText(m_settings.companyName);
    ui->lineEdit_teser_name->setText(m_settings.testerName);
    if (m_settings.language >= 0 && m_settings.language < ui->comboBox_lang->count())
        ui->comboBox_lang->setCurrentIndex(m_settings.language);

    // The recording page is not there yet while the window is being built.
    if (m_ctx.recording)
        m_ctx.recording->showLimits();

    ui->pb_continue_enable->setChecked(m_settings.continuousEnabled);
    const HoursMinutesSeconds t = splitSeconds(m_settings.continuousSeconds);
    ui->spinBox_contitime_hour->setValue(t.hours);
    ui->spinBox_contitime_min->setValue(t.minutes);
    ui->spinBox_contitime_sec->setValue(t.seconds);

    ui->spinBox_ScatterShape->setValue(m_settings.scatterShape);
    ui->spinBox_line_style->setValue(m_settings.lineStyle);
    ui->checkBox_xasix->setChecked(m_settings.showXAxis);
    ui->checkBox_yasix->setChecked(m_settings.showYAxis);
    ui->checkBox_legend->setChecked(m_settings.showLegend);
}

void SystemPage::showLogo()
{
    ui->label_logo->setPixmap(QPixmap::fromImage(logoForDisplay(m_settings.logo)));
}

// Written through a temporary file that replaces config.cfg only once it is
// complete, so a full disk or a crash never leaves a truncated settings file.
void SystemPage::saveSettings()
{
    QString reason;
    if (writeFileAtomically(kSettingsFile, encodeSettings(m_settings), &reason))
        return;
    m_ctx.tellNotWritten(reason);
}

void SystemPage::on_comboBox_lang_currentIndexChanged(int index)
{
    m_settings.language = index;
    if (!m_ctx.constructed)
        return;
    // Said in both languages, with a button of its own: whichever language
    // was chosen, the one in use may be the one the user does not read.
    UserDialogs::information(
        nullptr, QStringLiteral("信息 / Note"),
        QStringLiteral("语言设置会在软件下次启动时生效。\n"
                       "The language setting takes effect the next time the program starts."),
        QStringLiteral("确定 / OK"));
}

void SystemPage::on_lineEdit_conp_name_editingFinished()
{
    m_settings.companyName = ui->lineEdit_conp_name->text();
}

void SystemPage::on_lineEdit_teser_name_editingFinished()
{
    m_settings.testerName = ui->lineEdit_teser_name->text();
}

void SystemPage::on_pb_seclet_logo_clicked()
{
    const QString start =
        m_lastLogoPath.isEmpty() ? QCoreApplication::applicationDirPath() : m_lastLogoPath;
    const QString fileName =
        UserDialogs::openFileName(dialogParent(), tr("打开图像文件."), start,
                                  QStringLiteral("Image Files") + QStringLiteral("(*.jpg *.png)"));
    if (fileName.isEmpty())
        return;
    m_lastLogoPath = fileName;
    const QImage image = readLogoFile(fileName);
    // A file that gives no usable image leaves the current logo in place.
    if (image.isNull()) {
        UserDialogs::information(dialogParent(), QString(), unusableLogoFileText(fileName),
                                 m_okText);
        return;
    }
    m_settings.logo = image;
    showLogo();
}

void SystemPage::on_pb_autobackup_enable_clicked(bool checked)
{
    m_settings.autoBackupEnabled = checked;
    m_ctx.store->setJournalEnabled(checked);
}

void SystemPage::on_pb_open_user_datasheet_clicked()
{
    openManual(manualFileName(m_settings.language));
}

void SystemPage::on_pushButton_15_clicked()
{
    openManual(pcManualFileName(m_settings.language));
}

// The instrument's manual is not shipped with the program, so a missing
// manual is usually one the user has yet to copy beside the program. Nothing
// is reported when no viewer opens the file.
void SystemPage::openManual(const QString &fileName)
{
    const QString path = programFilePath(fileName);
    if (!QFileInfo::exists(path)) {
        const QString folder = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
        UserDialogs::information(
            nullptr, QString(),
            tr("找不到说明书文件 %1。\n请把该文件放到程序所在的文件夹：\n%2").arg(fileName, folder),
            m_okText);
        return;
    }
    m_ctx.openWithDesktop(path);
}
