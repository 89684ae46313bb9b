#include "widgets/formsetting.h"

#include "ui_formsetting.h"
#include "widgets/framelessresizer.h"
#include "widgets/programfile.h"

#include <QMouseEvent>
#include <QTabBar>

FormSetting::FormSetting(QWidget *parent)
    : QWidget(parent), ui(new Ui::FormSetting), m_titleDrag(this, nullptr)
{
    ui->setupUi(this);
    m_titleDrag = TitleBarDrag(this, ui->widget_title);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowMaximizeButtonHint);

    ui->pb_win_close->setNormalBgColor(QColor("#45464a"));
    ui->tabWidget->setTabBarAutoHide(true);
    applyStyleSheetFile(this, QStringLiteral("cs.qss"));

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

void FormSetting::addPage(QWidget *page, const QString &title)
{
    ui->tabWidget->addTab(page, title);
}

void FormSetting::on_pb_win_close_clicked()
{
    close();
}

// Every way of closing (the close button, Alt+F4, the window manager's
// menu) reports it, so the settings are saved whichever was used.
void FormSetting::closeEvent(QCloseEvent *event)
{
    emit sys_setting_close();
    QWidget::closeEvent(event);
}

void FormSetting::mousePressEvent(QMouseEvent *event)
{
    m_titleDrag.press(event);
    QWidget::mousePressEvent(event);
}

void FormSetting::mouseReleaseEvent(QMouseEvent *event)
{
    m_titleDrag.release(event);
    QWidget::mouseReleaseEvent(event);
}

void FormSetting::mouseDoubleClickEvent(QMouseEvent *event)
{
    m_titleDrag.doubleClick();
    QWidget::mouseDoubleClickEvent(event);
}

void FormSetting::mouseMoveEvent(QMouseEvent *event)
{
    m_titleDrag.move(event);
    QWidget::mouseMoveEvent(event);
}
