#include "app/mainwindow.h"

#include "app/archivebackup.h"
#include "app/archivepage.h"
#include "app/chartpage.h"
#include "app/exportcontrol.h"
#include "app/instrumentconnection.h"
#include "app/instrumentpage.h"
#include "app/mainwindowlook.h"
#include "app/recordingpage.h"
#include "app/shellrules.h"
#include "app/systempage.h"
#include "app/tablepage.h"
#include "app/userdialogs.h"
#include "link/portdiscovery.h"
#include "link/serialhandle.h"
#include "measurement/recordingsession.h"
#include "ui_mainwindow.h"
#include "widgets/alarmstrip.h"
#include "widgets/bash.h"
#include "widgets/framelessresizer.h"
#include "widgets/programfile.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QMouseEvent>
#include <QTabBar>
#include <QTimer>

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

// The pages are built in the order they depend on each other: the settings
// record first (the chart and the limits are drawn from it), then the views
// of the archive, then the instrument and the recording that fill them; what
// an earlier run left on disk is brought back last, into a finished window.
MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent), ui(new Ui::MainWindow), m_titleDrag(this, nullptr)
{
    m_document = new Document(this);
    ui->setupUi(this);
    m_ctx = new WindowContext(this, ui, *m_document);
    m_ctx->settings.dataDir = defaultDataDir();
    m_ctx->settings.language = 1;
    ui->lineEdit_conp_name->setText(defaultCompanyName());
    ui->lineEdit_teser_name->setText(defaultTesterName());
    m_titleDrag = TitleBarDrag(this, ui->widget_title);
    // Beside config.cfg, whose format stays as it is. The backup slot tells
    // this window's publisher from another window's.
    m_ctx->backup.claim(QDir::currentPath());
    m_ctx->serial = new SerialHandle(QStringLiteral("port_1"), this);
    m_ctx->dashboard = new Bash(this);
    ui->verticalLayout_3->addWidget(m_ctx->dashboard);
    // Above the pages, so an alarm is seen on every page; it takes room of
    // its own and covers nothing.
    m_alarmStrip = new AlarmStrip(this);
    ui->verticalLayout_2->insertWidget(ui->verticalLayout_2->indexOf(ui->tabWidget_window),
                                       m_alarmStrip);

    m_ctx->system = new SystemPage(*m_ctx, *m_alarmStrip);
    m_ctx->chart = new ChartPage(*m_ctx);
    m_ctx->table = new TablePage(*m_ctx);
    m_ctx->archive = new ArchivePage(*m_ctx);
    m_ctx->archiveBackup = new ArchiveBackup(*m_ctx);
    m_ctx->exports = new ExportControl(*m_ctx);
    m_ctx->table->showCurrentMeasurement();

    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowMaximizeButtonHint);
    applyStyleSheetFile(this, QStringLiteral("cs") + QStringLiteral(".qss"));
    m_resizer = new FramelessResizer(this);
    // Moves without a pressed button must reach the window as well, so the
    // title bar reacts as soon as the pointer is over it.
    setMouseTracking(true);
    connect(ui->pb_win_close, &QPushButton::clicked, this, &QWidget::close);
    connect(ui->pb_win_min, &QPushButton::clicked, this, &QWidget::showMinimized);

    m_ctx->instrument = new InstrumentPage(*m_ctx, portSource(), kPortScanIntervalMs);
    // The port is still closed: this only clears the identified flag.
    m_ctx->device.setLink(m_ctx->serial);
    m_ctx->recording = new RecordingPage(*m_ctx);
    m_ctx->session = new RecordingSession(m_ctx->device, *m_ctx->serial, this);
    m_ctx->connections << new InstrumentConnection(m_ctx->device, *m_ctx->serial, *m_ctx->session,
                                                   this);
    m_ctx->instrument->followConnection(m_ctx->connections.first());
    m_ctx->recording->followSession();

    m_statusTimer = new QTimer(this);
    connect(m_statusTimer, &QTimer::timeout, this, &MainWindow::handleTimeOut);
    m_statusTimer->start(1000);

    // Pages are switched by the program, never by tabs.
    ui->tabWidget_window->tabBar()->hide();
    ui->tabWidget_window->setCurrentIndex(0);
    applyMainWindowLook(ui);
    ui->tabWidget_data->setCurrentIndex(0);
    ui->tabWidget_data->tabBar()->hide();
    ui->stackedWidget->setCurrentIndex(0);
    m_ctx->chart->on_tabWidget_data_currentChanged(0);

    m_ctx->recording->updateLimitBoxes();
    m_ctx->instrument->updateOffsetBoxes();
    m_ctx->system->settle();
    m_ctx->recording->handleRunningTimechange();

    m_ctx->archive->showMeasurements();
    m_ctx->archiveBackup->setupRecordingStore();
    m_ctx->archiveBackup->restoreAutoBackup();
    m_ctx->instrument->refreshInstrumentList();
    m_ctx->constructed = true;
}

// The pages go first, so nothing taken down after them (the document's undo
// history, the link, the driver) calls back into one of them.
MainWindow::~MainWindow()
{
    m_ctx->archiveBackup->closeUnresumedRecording();
    delete m_ctx->recording;
    delete m_ctx->instrument;
    delete m_ctx->exports;
    delete m_ctx->archiveBackup;
    delete m_ctx->archive;
    delete m_ctx->table;
    delete m_ctx->chart;
    // It owns the settings window and what publishes and judges the readings.
    delete m_ctx->system;
    // The further instruments' sessions go before the stores they write.
    qDeleteAll(m_ctx->connections.mid(1));
    m_ctx->connections = m_ctx->connections.mid(0, 1);
    m_ctx->recording = nullptr;
    m_ctx->instrument = nullptr;
    m_ctx->exports = nullptr;
    m_ctx->archiveBackup = nullptr;
    m_ctx->archive = nullptr;
    m_ctx->table = nullptr;
    m_ctx->chart = nullptr;
    m_ctx->system = nullptr;
    delete ui;
}

MqttControl *MainWindow::mqtt() const
{
    return m_ctx->system->mqtt();
}

AlarmControl *MainWindow::alarms() const
{
    return m_ctx->system->alarms();
}

const ChartPlot &MainWindow::chart() const
{
    return m_ctx->chart->chart();
}

void MainWindow::applyUnit(unit_type unit)
{
    m_ctx->instrument->applyUnit(unit);
}

void MainWindow::handleTimeOut()
{
    m_ctx->recording->handleTimeOut();
}

void MainWindow::on_pb_dev_info_clicked()
{
    ui->stackedWidget->setCurrentIndex(0);
}

void MainWindow::on_pb_bash_clicked()
{
    ui->stackedWidget->setCurrentIndex(0);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // A running recording is unsaved data too: it is asked about before
    // anything ends it, so Cancel leaves it running.
    const bool recording = m_ctx->device.isRecording();
    if (!isModified() && !recording) {
        m_ctx->archiveBackup->dropUnsavedArchive();
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
        path = m_ctx->archive->chooseArchiveFile();
        if (path.isEmpty()) {
            event->ignore();
            return;
        }
    }
    // The readings go into the archive as a press of the stop button puts
    // them there, so they are saved with it.
    if (recording) {
        ui->pb_start->setChecked(false);
        m_ctx->recording->stopRecording();
    }
    if (!path.isEmpty() && !m_ctx->archive->writeArchiveFile(path)) {
        // Closing after a save that did not happen would lose the data.
        event->ignore();
        return;
    }
    if (answer == 1)
        m_ctx->archiveBackup->dropUnsavedArchive(); // the user gave the changes up
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
