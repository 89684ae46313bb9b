#include "widgets/formsetting.h"

#include "ui_formsetting.h"
#include "widgets/framelessresizer.h"
#include "widgets/programfile.h"

#include <QFile>
#include <QMouseEvent>
#include <QTabBar>

FormSetting::FormSetting(QWidget *parent) : QWidget(parent), ui(new Ui::FormSetting)
{
    ui->setupUi(this);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowMaximizeButtonHint);

    ui->pb_win_close->setNormalBgColor(QColor("#45464a"));
    ui->tabWidget->tabBar()->hide();
    loadStyleSheet();

    m_resizer = new FramelessResizer(this);
}

FormSetting::~FormSetting()
{
    delete ui;
}

QVBoxLayout *FormSetting::pageLayout() const
{
    return ui->verticalLayout;
}

// The style sheet is optional: without it the window keeps the default look.
void FormSetting::loadStyleSheet()
{
    QFile file(programFilePath(QStringLiteral("cs.qss")));
    if (!file.open(QIODevice::ReadOnly))
        return;
    setStyleSheet(QString::fromLatin1(file.readAll()));
}

void FormSetting::on_pb_win_close_clicked()
{
    emit sys_setting_close();
    hide();
}

bool FormSetting::overTitleBar() const
{
    return ui->widget_title->testAttribute(Qt::WA_UnderMouse);
}

void FormSetting::mousePressEvent(QMouseEvent *event)
{
    if (overTitleBar() && event->button() == Qt::LeftButton) {
        m_dragging = true;
        m_pressPos = event->pos();
    }
    QWidget::mousePressEvent(event);
}

void FormSetting::mouseReleaseEvent(QMouseEvent *event)
{
    // Ends a drag wherever the button is let go, so no drag outlives it.
    if (event->button() == Qt::LeftButton)
        m_dragging = false;
    QWidget::mouseReleaseEvent(event);
}

void FormSetting::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (overTitleBar()) {
        if (isMaximized())
            showNormal();
        else
            showMaximized();
    }
    QWidget::mouseDoubleClickEvent(event);
}

void FormSetting::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragging && overTitleBar())
        move(pos() + (event->pos() - m_pressPos));
    QWidget::mouseMoveEvent(event);
}
