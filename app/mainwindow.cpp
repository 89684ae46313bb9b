#include "app/mainwindow.h"

#include "app/mainwindowlook.h"
#include "ui_mainwindow.h"
#include "widgets/framelessresizer.h"
#include "widgets/programfile.h"

#include <QFile>
#include <QMouseEvent>
#include <QTabBar>

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent), ui(new Ui::MainWindow)
{
    ui->setupUi(this);

    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowMaximizeButtonHint);
    loadStyleSheet();
    m_resizer = new FramelessResizer(this);
    // Moves without a pressed button must reach the window as well, so the
    // title bar reacts as soon as the pointer is over it.
    setMouseTracking(true);

    // Pages are switched by the program, never by tabs.
    ui->tabWidget_window->tabBar()->hide();
    ui->tabWidget_window->setCurrentIndex(0);
    applyMainWindowLook(ui);

    ui->tabWidget_data->setCurrentIndex(0);
    ui->tabWidget_data->tabBar()->hide();
    ui->stackedWidget->setCurrentIndex(0);
    ui->stackedWidget_menu->setCurrentIndex(0);

    ui->comboBox_COM->hide();
    ui->pb_time_sync->hide();
    ui->label_dev_status->hide();
    ui->pb_hold->hide();
    ui->widget_25->hide();
}

MainWindow::~MainWindow()
{
    delete ui;
}

// The style sheet is read as Latin-1 bytes; without the file the toolkit's
// default look stays, silently.
void MainWindow::loadStyleSheet()
{
    QFile file(programFilePath(QStringLiteral("cs") + QStringLiteral(".qss")));
    if (!file.open(QIODevice::ReadOnly))
        return;
    setStyleSheet(QString::fromLatin1(file.readAll()));
}

bool MainWindow::overTitleBar() const
{
    return ui->widget_title->testAttribute(Qt::WA_UnderMouse);
}

void MainWindow::toggleMaximized()
{
    if (isMaximized())
        showNormal();
    else
        showMaximized();
}

void MainWindow::mousePressEvent(QMouseEvent *event)
{
    if (overTitleBar() && event->button() == Qt::LeftButton) {
        m_dragging = true;
        m_pressX = event->pos().x();
        m_pressY = event->pos().y();
    }
    QMainWindow::mousePressEvent(event);
}

void MainWindow::mouseReleaseEvent(QMouseEvent *event)
{
    if (overTitleBar())
        m_dragging = false;
    QMainWindow::mouseReleaseEvent(event);
}

void MainWindow::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (overTitleBar())
        toggleMaximized();
    QMainWindow::mouseDoubleClickEvent(event);
}

void MainWindow::mouseMoveEvent(QMouseEvent *event)
{
    if (overTitleBar() && m_dragging)
        move(pos() + QPoint(event->pos().x() - m_pressX, event->pos().y() - m_pressY));
    QMainWindow::mouseMoveEvent(event);
}
