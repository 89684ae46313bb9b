#include "widgets/graphbutton.h"

#include <QPainter>

GraphButton::GraphButton(QWidget *parent)
    : QPushButton(parent), m_iconOn(QStringLiteral(":/images/ic_xz.png")),
      m_iconOff(QStringLiteral(":/images/ic_wxz.png"))
{
    setCheckable(true);
}

void GraphButton::setColor(const QColor &color)
{
    m_color = color;
}

void GraphButton::setShowIcon(bool showIcon)
{
    m_showIcon = showIcon;
}

QSize GraphButton::sizeHint() const
{
    return QSize(80, 24);
}

QSize GraphButton::minimumSizeHint() const
{
    return QSize(70, 24);
}

void GraphButton::enterEvent(QEvent *event)
{
    Q_UNUSED(event);
    m_hover = true;
    emit isHover(true);
    update();
}

void GraphButton::leaveEvent(QEvent *event)
{
    Q_UNUSED(event);
    m_hover = false;
    emit isHover(false);
    update();
}

void GraphButton::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event);
    const int w = width();
    const int h = height();

    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);

    painter.setPen(Qt::NoPen);
    painter.setBrush(m_hover ? QColor(240, 240, 240) : QColor(Qt::white));
    painter.drawRect(rect());

    // The icon sits left of the line sample, the text right of it.
    if (m_showIcon) {
        const QPixmap &source = isChecked() ? m_iconOn : m_iconOff;
        if (!source.isNull()) {
            const QPixmap pix =
                source.scaled(m_iconSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
            painter.drawPixmap(w / 2 - m_gap - m_halfLineLength - pix.width(),
                               (h - pix.height()) / 2, pix);
        }
    }

    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawText(QRect(w / 2 + m_gap + m_halfLineLength, 0, w, h),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap, text());

    const QPen pen(m_color, m_penWidth);
    painter.setPen(pen);
    painter.drawLine(w / 2 - m_halfLineLength, h / 2, w / 2 + m_halfLineLength, h / 2);

    painter.setBrush(Qt::white);
    painter.drawEllipse(QPoint(w / 2, h / 2), m_radius, m_radius);
}
