#include "app/mainwindow.h"

#include "app/alarmcontrol.h"
#include "app/alarmpage.h"
#include "app/mainwindowlook.h"
#include "app/mqttcontrol.h"
#include "app/mqttpage.h"
#include "app/shellrules.h"
#include "app/userdialogs.h"
#include "link/serialhandle.h"
#include "measurement/recordingsession.h"
#include "measurement/settingsrules.h"
#include "ui_mainwindow.h"
#include "widgets/alarmstrip.h"
#include "widgets/bash.h"
#include "widgets/bubbletips.h"
#include "widgets/formsetting.h"
#include "widgets/framelessresizer.h"
#include "widgets/programfile.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QLayout>
#include <QMouseEvent>
#include <QScreen>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QStringList systemPortList()
{
    return findInstrumentPorts() + portsFromArguments(QCoreApplication::arguments());
}

PortWatcher::Source &portSource()
{
    static PortWatcher::Source source = systemPortList;
    return source;
}

} // namespace

void MainWindow::setPortSource(PortWatcher::Source source)
{
    portSource() = source ? std::move(source) : PortWatcher::Source(systemPortList);
}

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent), ui(new Ui::MainWindow), m_titleDrag(this, nullptr)
{
    m_okText = tr("确定");
    m_dataText = tr("KX740D数据");
    m_timeText = tr("时间");
    m_numberText = tr("编号");
    m_temperatureText = tr("温度");
    m_titleBase = tr("KX740D ");
    m_document = new Document(this);
    m_settings.dataDir = defaultDataDir();
    m_settings.language = 1;

    ui->setupUi(this);
    ui->lineEdit_conp_name->setText(defaultCompanyName());
    ui->lineEdit_teser_name->setText(defaultTesterName());
    m_titleDrag = TitleBarDrag(this, ui->widget_title);

    m_linkWaiting = new QLabel(tr("与仪器的连接已断开：记录等待仪器重新连接后继续"),
                               ui->label_remain_time->parentWidget());
    m_linkWaiting->setObjectName(QStringLiteral("label_link_waiting"));
    m_linkWaiting->setWordWrap(true);
    m_linkWaiting->setStyleSheet(QStringLiteral("color: #d9480f;"));
    m_linkWaiting->hide();
    if (auto *row = qobject_cast<QBoxLayout *>(ui->label_remain_time->parentWidget()->layout()))
        row->insertWidget(row->indexOf(ui->label_remain_time) + 1, m_linkWaiting, 1);

    m_bubbleTips = new BubbleTips(ui->tabWidget_data);
    m_bubbleTips->hide();
    ui->customPlot->installEventFilter(this);

    m_formSetting = new FormSetting();
    connect(m_formSetting, &FormSetting::sys_setting_close, this, &MainWindow::sys_setting_close);
    m_formSetting->hide();
    // Beside config.cfg, whose format stays as it is. The backup slot tells
    // this window's publisher from another window's.
    m_backup.claim(QDir::currentPath());
    m_mqtt =
        std::make_unique<MqttControl>(m_device, QStringLiteral("mqtt.json"), m_backup.fileName());
    m_mqtt->setUnit(m_unit);
    m_formSetting->addPage(m_mqtt->page(), QStringLiteral("MQTT"));
    connect(m_mqtt.get(), &MqttControl::brokerRefused, this, &MainWindow::brokerRefused);

    loadSettings();
    setupChart();

    setupTable();
    showCurrentMeasurement();

    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowMaximizeButtonHint);
    applyStyleSheetFile(this, QStringLiteral("cs") + QStringLiteral(".qss"));
    m_resizer = new FramelessResizer(this);
    // Moves without a pressed button must reach the window as well, so the
    // title bar reacts as soon as the pointer is over it.
    setMouseTracking(true);
    connect(ui->pb_win_close, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->pb_win_min, &QPushButton::clicked, this, &QWidget::showMinimized);

    m_serialHandle = new SerialHandle(QStringLiteral("port_1"), this);
    connect(m_serialHandle, &SerialHandle::updateCOMInfo, this, &MainWindow::updateCOMInfo);
    wireMeasurement();
    // The port is still closed: this only clears the identified flag.
    m_device.setLink(m_serialHandle);

    m_statusTimer = new QTimer(this);
    connect(m_statusTimer, &QTimer::timeout, this, &MainWindow::handleTimeOut);
    m_statusTimer->start(1000);
    m_unsavedArchiveTimer = new QTimer(this);
    m_unsavedArchiveTimer->setSingleShot(true);
    m_unsavedArchiveTimer->setInterval(kUnsavedArchiveDelayMs);
    // A change made while recording is kept with the recording at its stop.
    connect(m_unsavedArchiveTimer, &QTimer::timeout, this, [this] {
        if (m_device.isRecording())
            return;
        // Undone back to the saved state: nothing unsaved is left to keep.
        if (isModified())
            keepUnsavedArchive();
        else
            dropUnsavedArchive();
    });
    m_session = new RecordingSession(m_device, *m_serialHandle, this);
    connect(m_session, &RecordingSession::remainingTime, this, &MainWindow::showRemainingTime);
    connect(m_session, &RecordingSession::timeUp, this, &MainWindow::recordingTimeUp);
    connect(m_session, &RecordingSession::instrumentStopped, this, &MainWindow::recordingTimeUp);

    setWindowTitle(m_titleBase);

    m_portWatcher = new PortWatcher(portSource(), kPortScanIntervalMs, this);
    connect(m_portWatcher, &PortWatcher::portsChanged, this, &MainWindow::handleDeviceChange);
    ui->comboBox_COM->hide();
    fillPortList(m_portWatcher->ports());
    if (ui->comboBox_COM->count() > 1)
        ui->comboBox_COM->show();

    m_bash = new Bash(this);
    ui->verticalLayout_3->addWidget(m_bash);
    // Above the pages, so an alarm is seen on every page; it takes room of
    // its own and covers nothing.
    m_alarmStrip = new AlarmStrip(this);
    ui->verticalLayout_2->insertWidget(ui->verticalLayout_2->indexOf(ui->tabWidget_window),
                                       m_alarmStrip);
    m_alarms = std::make_unique<AlarmControl>(m_device, QStringLiteral("alarms.json"), *this,
                                              *m_alarmStrip, *m_bash);
    m_alarms->setUnit(m_unit);
    m_alarms->setLimits(m_settings);
    m_formSetting->addPage(m_alarms->page(), tr("告警"));
    m_mqtt->watchAlarms(m_alarms->monitor());

    // Pages are switched by the program, never by tabs.
    ui->tabWidget_window->tabBar()->hide();
    ui->tabWidget_window->setCurrentIndex(0);
    ui->tabWidget_data->setCurrentIndex(0);
    applyMainWindowLook(ui);
    createButtonGroups();

    ui->tableWidget->setContextMenuPolicy(Qt::CustomContextMenu);
    ui->treeWidget->setContextMenuPolicy(Qt::CustomContextMenu);

    ui->tabWidget_data->setCurrentIndex(0);
    ui->tabWidget_data->tabBar()->hide();
    ui->stackedWidget->setCurrentIndex(0);
    on_tabWidget_data_currentChanged(0);

    ui->progressBar_2->setRange(0, 80000);
    ui->progressBar_2->setValue(0);
    // Room for the longest count in the language in use, so the count is
    // never cut and the card keeps its layout as the count grows.
    ui->label_flash_used->ensurePolished();
    ui->label_flash_used->setMinimumWidth(
        ui->label_flash_used->fontMetrics().horizontalAdvance(flashUsedText(80000)));

    ui->pb_time_sync->hide();
    ui->label_dev_status->hide();
    updateLimitAndOffsetBoxes();
    ui->pb_hold->hide();

    m_settings.logo = defaultLogo();
    showLogo();
    m_settings.companyName = ui->lineEdit_conp_name->text();
    m_settings.testerName = ui->lineEdit_teser_name->text();

    loadSettings();
    ui->comboBox_lang->setCurrentIndex(m_settings.language);
    ui->pb_autobackup_enable->setChecked(m_settings.autoBackupEnabled);
    ui->pb_continue_enable->setChecked(m_settings.continuousEnabled);
    handleRunningTimechange();

    connect(m_document, &Document::changed, this, &MainWindow::documentChanged);
    connect(m_document, &Document::measurementsChanged, this, &MainWindow::showMeasurements);
    connect(m_document, &Document::recordsChanged, this, &MainWindow::showEditedRecords);
    setupUndo();
    showMeasurements();
    setupRecordingStore();
    restoreAutoBackup();

    m_constructed = true;
}

MainWindow::~MainWindow()
{
    // The document goes with the window's children, after this body: its
    // undo history, cleared then, must not call back into a window that is
    // gone.
    m_document->undoStack()->disconnect(this);
    m_document->disconnect(this);
    // A recording a crash interrupted and nobody went on with ends here; its
    // readings are in the archive.
    if (m_store && m_store->found().interrupted &&
        m_store->writtenUpTo(m_store->found().header.id) >= m_store->found().lastSeq) {
        m_store->setOutputWriter(nullptr);
        m_store->closeFound();
    }
    // It reads the driver, and its page lives in the settings window.
    m_mqtt.reset();
    m_alarms.reset();
    delete m_formSetting;
    delete ui;
}

void MainWindow::createButtonGroups()
{
    m_diffGroup = new QButtonGroup(this);
    m_diffGroup->addButton(ui->pb_diff_normal, 50);
    m_diffGroup->addButton(ui->pb_diff_T1, 51);
    m_diffGroup->addButton(ui->pb_diff_T2, 52);
    m_diffGroup->addButton(ui->pb_diff_T3, 53);
    m_diffGroup->addButton(ui->pb_diff_T4, 54);

    m_measureGroup = new QButtonGroup(this);
    m_measureGroup->addButton(ui->pb_meansure_normal, 70);
    m_measureGroup->addButton(ui->pb_meansure_max, 71);
    m_measureGroup->addButton(ui->pb_meansure_min, 72);
    m_measureGroup->addButton(ui->pb_meansure_avg, 73);

    m_bleGroup = new QButtonGroup(this);
    m_bleGroup->addButton(ui->pb_ble_off, 100);
    m_bleGroup->addButton(ui->pb_ble_on, 101);
    for (QButtonGroup *group : {m_diffGroup, m_measureGroup, m_bleGroup})
        connect(group, &QButtonGroup::idClicked, this, &MainWindow::handelButtonGroup);

    // The ids are the page numbers of the settings stack.
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
    connect(m_menuGroup, &QButtonGroup::idClicked, this, &MainWindow::handelMenuButtonGroup);
}

void MainWindow::handelMenuButtonGroup(int id)
{
    if (id < 0 || id >= ui->stackedWidget_menu->count())
        return;
    ui->stackedWidget_menu->setCurrentIndex(id);
    // The device page shows the stored-record count; ask for a fresh one.
    if (id == 0)
        m_device.queryStoredRecordCount();
}

void MainWindow::on_pb_dev_info_clicked()
{
    ui->stackedWidget->setCurrentIndex(0);
}

void MainWindow::on_pb_bash_clicked()
{
    ui->stackedWidget->setCurrentIndex(0);
}

void MainWindow::showSettingsWindow()
{
    m_formSetting->pageLayout()->addWidget(ui->widget_setting);
    m_formSetting->setAttribute(Qt::WA_ShowModal, true);
    // Laid out with the page before it is placed, so it is centred by the
    // size it shows at, at its first opening as at every later one.
    m_formSetting->ensurePolished();
    if (QLayout *layout = m_formSetting->layout())
        layout->activate();
    m_formSetting->resize(m_formSetting->size().expandedTo(m_formSetting->minimumSizeHint()));
    const QScreen *screen = this->screen();
    m_formSetting->move(centredOn(frameGeometry(), m_formSetting->frameGeometry().size(),
                                  screen ? screen->availableGeometry() : QRect()));
    m_formSetting->show();
}

QWidget *MainWindow::dialogParent()
{
    return m_formSetting->isVisible() ? static_cast<QWidget *>(m_formSetting) : this;
}

void MainWindow::on_pb_sys_setting_clicked()
{
    if (refuseWhileRecording())
        return;
    // Until the instrument has reported its configuration the controls show
    // nothing of it; ask once more.
    if (!m_ctrlConfigReceived) {
        m_device.queryConfig37();
        m_device.queryConfig35();
    }
    showSettingsWindow();
}

// Opens and closes the settings window without asking the instrument for
// anything.
void MainWindow::on_pb_debug_clicked()
{
    m_debugWindowShown = !m_debugWindowShown;
    if (m_debugWindowShown) {
        showSettingsWindow();
    } else {
        m_formSetting->setAttribute(Qt::WA_ShowModal, false);
        m_formSetting->hide();
    }
}

void MainWindow::sys_setting_close()
{
    saveSettings();
    m_mqtt->apply();
}

void MainWindow::handleTimeOut()
{
    if (m_device.isRecording()) {
        const int count = m_device.recordedCount();
        if (count != m_shownRecordCount) {
            graphUpdate();
            m_document->markModified();
        }
        // Not tied to the chart's count: a replot between two readings
        // (unit change, x-axis mode) brings that up to date too.
        m_session->tick();
    }
    ui->label_dev_status->setText(m_device.isIdentified() ? tr("状态 ：就绪") : tr("状态：未就绪"));
}

void MainWindow::updateCOMInfo(int arg)
{
    m_reportedConnected = arg != 0;
    m_alarms->setLinkUp(m_reportedConnected);
    if (!m_reportedConnected)
        m_transfer.abandon();
    if (m_reportedConnected == m_shownConnected)
        return;
    m_shownConnected = m_reportedConnected;
    refreshConnectionLook();
}

void MainWindow::refreshConnectionLook()
{
    using namespace MainWindowLook;
    QString suffix;
    if (m_shownConnected) {
        ui->pb_connect->setText(tr("断开连接"));
        ui->pb_connect->setNormalBgColor(kConnected);
        ui->pb_connect->setHoverBgColor(kConnectedHover);
        suffix = tr(" 已连接设备");
    } else {
        ui->pb_connect->setText(tr("连接设备"));
        ui->pb_connect->setNormalBgColor(kAccent);
        ui->pb_connect->setHoverBgColor(kAccentHover);
        suffix = tr(" 未连接设备");
        // The last values are no longer live.
        if (m_bash)
            m_bash->clearReading();
    }
    // A recording whose instrument was lost goes on once it is back; the
    // window says so beside the stop button, as its title bar shows no title.
    const bool waiting = !m_shownConnected && m_device.isRecording();
    m_linkWaiting->setVisible(waiting);
    if (waiting)
        suffix = QLatin1Char(' ') + m_linkWaiting->text();
    ui->comboBox_COM->setVisible(portChoiceVisible(ui->comboBox_COM->count(), m_shownConnected));
    setWindowTitle(m_titleBase + suffix);
}

void MainWindow::fillPortList(const QStringList &ports)
{
    ui->comboBox_COM->clear();
    ui->comboBox_COM->addItems(ports);
}

void MainWindow::handleDeviceChange(const QStringList &ports)
{
    fillPortList(ports);
    refreshConnectionLook();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // A running recording is unsaved data too: it is asked about before
    // anything ends it, so Cancel leaves it running.
    const bool recording = m_device.isRecording();
    if (!isModified() && !recording) {
        dropUnsavedArchive();
        event->accept();
        return;
    }
    const QString text = recording ? tr("正在记录。是否保存现有列表数据？\n"
                                        "选择“是”或“否”都将结束记录，选择“取消”继续记录。")
                                   : tr("是否保存现有列表数据？\n不保存目前数据将会丢失");
    const int answer =
        UserDialogs::question(this, tr("保存数据"), text, {tr("是"), tr("否"), tr("取消")}, 2, 2);
    if (answer != 0 && answer != 1) {
        event->ignore();
        return;
    }
    // The file is chosen while the recording still runs, so cancelling the
    // save dialog leaves it running as well.
    QString path;
    if (answer == 0 && m_document->count() > 0) {
        path = chooseArchiveFile();
        if (path.isEmpty()) {
            event->ignore();
            return;
        }
    }
    // The readings go into the archive as a press of the stop button puts
    // them there, so they are saved with it.
    if (recording) {
        ui->pb_start->setChecked(false);
        stopRecording();
    }
    if (!path.isEmpty() && !writeArchiveFile(path)) {
        // Closing after a save that did not happen would lose the data.
        event->ignore();
        return;
    }
    if (answer == 1)
        dropUnsavedArchive(); // the user gave the changes up
    event->accept();
}

void MainWindow::on_pb_win_max_clicked()
{
    if (isMaximized())
        showNormal();
    else
        showMaximized();
}

void MainWindow::mousePressEvent(QMouseEvent *event)
{
    m_titleDrag.press(event);
    QMainWindow::mousePressEvent(event);
}

void MainWindow::mouseReleaseEvent(QMouseEvent *event)
{
    m_titleDrag.release(event);
    QMainWindow::mouseReleaseEvent(event);
}

void MainWindow::mouseDoubleClickEvent(QMouseEvent *event)
{
    m_titleDrag.doubleClick();
    QMainWindow::mouseDoubleClickEvent(event);
}

void MainWindow::mouseMoveEvent(QMouseEvent *event)
{
    m_titleDrag.move(event);
    QMainWindow::mouseMoveEvent(event);
}
