#include "widgets/cswidget.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOption>

CsWidget::CsWidget(QWidget *parent) : QWidget(parent)
{
}

void CsWidget::enterEvent(QEvent *event)
{
    Q_UNUSED(event);
    m_bgColor = QColor(250, 250, 250);
    update();
}

void CsWidget::leaveEvent(QEvent *event)
{
    Q_UNUSED(event);
    m_bgColor = Qt::white;
    update();
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
