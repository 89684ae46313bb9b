#include "widgets/cswidget.h"

#include "widgets/navbutton.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QTextEdit>

CsWidget::CsWidget(QWidget *parent) : QWidget(parent)
{
}

QAbstractButton *CsWidget::rowButton() const
{
    QAbstractButton *found = nullptr;
    for (QWidget *child : findChildren<QWidget *>()) {
        if (!child->isVisibleTo(this))
            continue;
        if (auto *button = qobject_cast<QAbstractButton *>(child)) {
            // A switch or a second button: the card is not one button.
            if (found || button->isCheckable())
                return nullptr;
            found = button;
        } else if (qobject_cast<QComboBox *>(child) || qobject_cast<QAbstractSpinBox *>(child) ||
                   qobject_cast<QLineEdit *>(child) || qobject_cast<QTextEdit *>(child) ||
                   qobject_cast<QAbstractSlider *>(child)) {
            return nullptr;
        }
    }
    return found && found->isEnabled() ? found : nullptr;
}

void CsWidget::setButtonHover(bool hover)
{
    if (auto *button = qobject_cast<NavButton *>(rowButton()))
        button->sethover(hover);
}

void CsWidget::enterEvent(QEvent *event)
{
    Q_UNUSED(event);
    m_bgColor = QColor(250, 250, 250);
    if (QAbstractButton *button = rowButton()) {
        setCursor(Qt::PointingHandCursor);
        button->installEventFilter(this);
        setButtonHover(true);
    } else {
        unsetCursor();
    }
    update();
}

void CsWidget::leaveEvent(QEvent *event)
{
    Q_UNUSED(event);
    m_bgColor = Qt::white;
    m_pressed = false;
    setButtonHover(false);
    update();
}

// The button drops its hover look when the mouse leaves it for the rest of
// the card, which still stands for it: the look comes back once the
// button's own leave is handled.
bool CsWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Leave && watched == rowButton())
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (underMouse())
                    setButtonHover(true);
            },
            Qt::QueuedConnection);
    return QWidget::eventFilter(watched, event);
}

// Presses on the labels reach the card (labels take no clicks); the button
// takes its own.
void CsWidget::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton && rowButton();
    if (m_pressed)
        event->accept();
    else
        QWidget::mousePressEvent(event);
}

void CsWidget::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click =
        m_pressed && event->button() == Qt::LeftButton && rect().contains(event->pos());
    m_pressed = false;
    QAbstractButton *button = click ? rowButton() : nullptr;
    if (!button) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    event->accept();
    button->click();
}

void CsWidget::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_bgColor);
    painter.drawRect(rect());

    // A plain QWidget subclass only shows its style-sheet rule (border,
    // radius, background image) when it draws the widget primitive itself.
    QStyleOption option;
    option.initFrom(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);

    QWidget::paintEvent(event);
}
