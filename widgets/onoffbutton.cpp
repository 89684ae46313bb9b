#include "widgets/onoffbutton.h"

#include <QPainter>

OnOffButton::OnOffButton(QWidget *parent) : QPushButton(parent)
{
    setCheckable(true);
}

void OnOffButton::enterEvent(QEvent *event)
{
    Q_UNUSED(event);
    m_hover = true;
    emit isHover(true);
    update();
}

void OnOffButton::leaveEvent(QEvent *event)
{
    Q_UNUSED(event);
    m_hover = false;
    emit isHover(false);
    update();
}

void OnOffButton::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event);
    const QColor onColor = m_hover ? QColor("#ffaa7f") : QColor("#f97932");
    const QColor offColor = m_hover ? QColor(220, 220, 220) : QColor(240, 240, 240);
    const QColor color = isChecked() ? onColor : offColor;

    const qreal right = width() - 1;
    const qreal bottom = height() - 1;

    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);

    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawRoundedRect(QRectF(QPointF(0, 0), QPointF(right, bottom)), 15, 15);

    // The knob is a circle filling the track's height at the active end.
    painter.setPen(color);
    painter.setBrush(Qt::white);
    const QRectF knob = isChecked() ? QRectF(QPointF(right - bottom, 0), QPointF(right, bottom))
                                    : QRectF(QPointF(0, 0), QPointF(bottom, bottom));
    painter.drawEllipse(knob);
}
