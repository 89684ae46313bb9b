#include "widgets/formsetting.h"

#include "ui_formsetting.h"
#include "widgets/framelessresizer.h"
#include "widgets/programfile.h"

#include <QMouseEvent>
#include <QScreen>
#include <QScrollArea>
#include <QTabBar>
#include <QTimer>

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
    // Such a page scrolls rather than squeezes its rows when the window is
    // smaller than the first page makes it.
    auto *scroll = new QScrollArea;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(page);
    ui->tabWidget->addTab(scroll, title);
    m_addedPages << scroll;
    page->installEventFilter(this);
}

// Texts that wrap make a page's height depend on its width, which its minimum
// size does not tell; the window grows, up to the screen, to show all of it.
void FormSetting::fitAddedPages()
{
    const QWidget *current = ui->tabWidget->currentWidget();
    if (!current)
        return;
    const QSize room = current->size();
    int extra = 0;
    for (const QScrollArea *scroll : qAsConst(m_addedPages)) {
        const QWidget *page = scroll->widget();
        const int needed = page->hasHeightForWidth() ? page->heightForWidth(room.width())
                                                     : page->sizeHint().height();
        extra = qMax(extra, needed - room.height());
    }
    if (extra <= 0)
        return;
    int height = this->height() + extra;
    if (const QScreen *screen = this->screen())
        height = qMin(height, screen->availableGeometry().height());
    resize(width(), height);
}

bool FormSetting::eventFilter(QObject *watched, QEvent *event)
{
    // A page's rows changed (a note shown, a text wrapping anew); the page
    // has its new size once its layout has handled the request.
    if (event->type() == QEvent::LayoutRequest && isVisible())
        QTimer::singleShot(0, this, &FormSetting::fitAddedPages);
    return QWidget::eventFilter(watched, event);
}

// The window was placed for the size it had before showing; growing now
// for its added pages, it keeps the centre it was placed at, so it opens
// where it opens again once it has that size.
void FormSetting::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    const QRect placed = geometry();
    fitAddedPages();
    const int grown = height() - placed.height();
    if (grown <= 0)
        return;
    int top = placed.top() - grown / 2;
    if (const QScreen *screen = this->screen())
        top = qBound(screen->availableGeometry().top(), top,
                     screen->availableGeometry().bottom() + 1 - height());
    move(x(), top);
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
