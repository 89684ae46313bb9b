// The settings record of the main window: reading and writing config.cfg and
// the slots of the controls that change it.
#include "app/mainwindow.h"
#include "app/shellrules.h"
#include "app/userdialogs.h"
#include "measurement/recordingsession.h"
#include "store/atomicfile.h"
#include "store/recordingstore.h"
#include "ui_mainwindow.h"
#include "widgets/programfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPixmap>
#include <QTimer>
#include <QUrl>

namespace {

const QString kSettingsFile = QStringLiteral("config.cfg");

} // namespace

void MainWindow::loadSettings()
{
    LogoRead logo = LogoRead::Whole;
    if (readSettingsFile(kSettingsFile, m_settings, nullptr, &logo) != SettingsFileState::Read)
        return;
    // The window reads the file twice while it is built; one note is enough,
    // and it comes once the window is there to stand in front of.
    if (logo == LogoRead::Dropped && !m_droppedLogoNoted) {
        m_droppedLogoNoted = true;
        QTimer::singleShot(0, this, [this] {
            UserDialogs::information(this, QString(), droppedSettingsLogoText(), m_okText);
        });
    }
    if (m_settings.dataDir.isEmpty())
        m_settings.dataDir = defaultDataDir();
    showSettings();
}

// Pushes the record into the controls.
void MainWindow::showSettings()
{
    showLogo();
    ui->lineEdit_conp_name->setText(m_settings.companyName);
    ui->lineEdit_teser_name->setText(m_settings.testerName);
    if (m_settings.language >= 0 && m_settings.language < ui->comboBox_lang->count())
        ui->comboBox_lang->setCurrentIndex(m_settings.language);

    showLimits();

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

void MainWindow::showLimits()
{
    QAbstractButton *enabled[] = {ui->pb_limit_enable_T1, ui->pb_limit_enable_T2,
                                  ui->pb_limit_enable_T3, ui->pb_limit_enable_T4};
    for (int ch = 0; ch < kChannelCount; ++ch)
        enabled[ch]->setChecked(m_settings.limitEnabled[ch]);
    updateLimitBoxes();
    limitsChanged();
}

void MainWindow::showLogo()
{
    ui->label_logo->setPixmap(QPixmap::fromImage(logoForDisplay(m_settings.logo)));
}

// Written through a temporary file that replaces config.cfg only once it is
// complete, so a full disk or a crash never leaves a truncated settings file.
void MainWindow::saveSettings()
{
    QString reason;
    if (writeFileAtomically(kSettingsFile, encodeSettings(m_settings), &reason))
        return;
    UserDialogs::information(
        nullptr, QString(),
        tr("无法创建文件，请使用管理员权限运行程序。") + QLatin1Char('\n') + reason, m_okText);
}

void MainWindow::on_comboBox_lang_currentIndexChanged(int index)
{
    m_settings.language = index;
    if (!m_constructed)
        return;
    // These notes are shown in the language just chosen, whatever the
    // current interface language is, so they are not translated.
    if (index == 0) {
        UserDialogs::information(nullptr, QStringLiteral("信息"),
                                 QStringLiteral("语言设置会在软件下次启动时生效"),
                                 QStringLiteral("确定"));
    } else if (index == 1) {
        // Its own button text too: the toolkit's OK is in the language in use.
        UserDialogs::information(
            nullptr, QStringLiteral("Note"),
            QStringLiteral("The language setting takes effect the next time the program starts."),
            QStringLiteral("OK"));
    }
}

void MainWindow::on_lineEdit_conp_name_editingFinished()
{
    m_settings.companyName = ui->lineEdit_conp_name->text();
}

void MainWindow::on_lineEdit_teser_name_editingFinished()
{
    m_settings.testerName = ui->lineEdit_teser_name->text();
}

void MainWindow::on_pb_seclet_logo_clicked()
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

void MainWindow::on_pb_autobackup_enable_clicked(bool checked)
{
    m_settings.autoBackupEnabled = checked;
    m_store->setJournalEnabled(checked);
}

void MainWindow::on_pb_open_user_datasheet_clicked()
{
    openManual(manualFileName(m_settings.language));
}

void MainWindow::on_pushButton_15_clicked()
{
    openManual(pcManualFileName(m_settings.language));
}

// The instrument's manual is not shipped with the program, so a missing
// manual is usually one the user has yet to copy beside the program. Nothing
// is reported when no viewer opens the file.
void MainWindow::openManual(const QString &fileName)
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
    openWithDesktop(path);
}
