#include "widgets/navbutton.h"

#include <QIcon>
#include <QPainter>
#include <QPolygon>

NavButton::NavButton(QWidget *parent) : QPushButton(parent)
{
}

template <typename T> void NavButton::assign(T &member, const T &value)
{
    if (member == value)
        return;
    member = value;
    update();
}

void NavButton::setAutoFontSize(bool on)
{
    assign(m_autoFontSize, on);
}

void NavButton::setRoundCorner(bool on)
{
    assign(m_roundCorner, on);
}

QSize NavButton::sizeHint() const
{
    return QSize(100, 30);
}

QSize NavButton::minimumSizeHint() const
{
    return QSize(20, 10);
}

void NavButton::sethover(bool status)
{
    m_hover = status;
    update();
}

void NavButton::setPaddingLeft(int paddingLeft)
{
    assign(m_paddingLeft, paddingLeft);
}

void NavButton::setPaddingRight(int paddingRight)
{
    assign(m_paddingRight, paddingRight);
}

void NavButton::setPaddingTop(int paddingTop)
{
    assign(m_paddingTop, paddingTop);
}

void NavButton::setPaddingBottom(int paddingBottom)
{
    assign(m_paddingBottom, paddingBottom);
}

void NavButton::setPadding(int padding)
{
    setPadding(padding, padding, padding, padding);
}

void NavButton::setPadding(int paddingLeft, int paddingRight, int paddingTop, int paddingBottom)
{
    m_paddingLeft = paddingLeft;
    m_paddingRight = paddingRight;
    m_paddingTop = paddingTop;
    m_paddingBottom = paddingBottom;
    update();
}

void NavButton::setTextAlign(NavButton::TextAlign textAlign)
{
    assign(m_textAlign, textAlign);
}

void NavButton::setIconAlign(NavButton::IconPosition iconPosition)
{
    assign(m_iconPosition, iconPosition);
}

void NavButton::setShowTriangle(bool showTriangle)
{
    assign(m_showTriangle, showTriangle);
}

void NavButton::setTriangleLen(int triangleLen)
{
    assign(m_triangleLen, triangleLen);
}

void NavButton::setTrianglePosition(NavButton::TrianglePosition trianglePosition)
{
    assign(m_trianglePosition, trianglePosition);
}

void NavButton::setTriangleColor(const QColor &triangleColor)
{
    assign(m_triangleColor, triangleColor);
}

void NavButton::setShowIcon(bool showIcon)
{
    assign(m_showIcon, showIcon);
}

void NavButton::setIconSpace(int iconSpace)
{
    assign(m_iconSpace, iconSpace);
}

void NavButton::setIconSize(const QSize &iconSize)
{
    if (m_iconSize == iconSize)
        return;
    m_iconSize = iconSize;
    QPushButton::setIconSize(iconSize);
    update();
}

void NavButton::setIconNormal(const QPixmap &iconNormal)
{
    m_iconNormal = iconNormal;
    update();
}

void NavButton::setIconHover(const QPixmap &iconHover)
{
    m_iconHover = iconHover;
    update();
}

void NavButton::setIconCheck(const QPixmap &iconCheck)
{
    m_iconCheck = iconCheck;
    update();
}

void NavButton::setShowLine(bool showLine)
{
    assign(m_showLine, showLine);
}

void NavButton::setLineSpace(int lineSpace)
{
    assign(m_lineSpace, lineSpace);
}

void NavButton::setLineWidth(int lineWidth)
{
    assign(m_lineWidth, lineWidth);
}

void NavButton::setLinePosition(NavButton::LinePosition linePosition)
{
    assign(m_linePosition, linePosition);
}

void NavButton::setLineColor(const QColor &lineColor)
{
    assign(m_lineColor, lineColor);
}

void NavButton::setNormalBgColor(const QColor &normalBgColor)
{
    assign(m_normalBgColor, normalBgColor);
}

void NavButton::setHoverBgColor(const QColor &hoverBgColor)
{
    assign(m_hoverBgColor, hoverBgColor);
}

void NavButton::setCheckBgColor(const QColor &checkBgColor)
{
    assign(m_checkBgColor, checkBgColor);
}

void NavButton::setNormalTextColor(const QColor &normalTextColor)
{
    assign(m_normalTextColor, normalTextColor);
}

void NavButton::setHoverTextColor(const QColor &hoverTextColor)
{
    assign(m_hoverTextColor, hoverTextColor);
}

void NavButton::setCheckTextColor(const QColor &checkTextColor)
{
    assign(m_checkTextColor, checkTextColor);
}

void NavButton::setNormalBgBrush(const QBrush &normalBgBrush)
{
    assign(m_normalBgBrush, normalBgBrush);
}

void NavButton::setHoverBgBrush(const QBrush &hoverBgBrush)
{
    assign(m_hoverBgBrush, hoverBgBrush);
}

void NavButton::setCheckBgBrush(const QBrush &checkBgBrush)
{
    assign(m_checkBgBrush, checkBgBrush);
}

void NavButton::enterEvent(QEvent *event)
{
    Q_UNUSED(event);
    m_hover = true;
    emit isHover(true);
    update();
}

void NavButton::leaveEvent(QEvent *event)
{
    Q_UNUSED(event);
    m_hover = false;
    emit isHover(false);
    update();
}

void NavButton::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event);
    QPainter painter(this);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);

    drawBackground(&painter);
    drawIcon(&painter);
    drawText(&painter);
    drawLine(&painter);
    drawTriangle(&painter);
}

void NavButton::drawBackground(QPainter *painter)
{
    painter->save();

    // The background gives way to the indicator line on the line's side.
    QRect bgRect = rect();
    switch (m_linePosition) {
    case LinePosition_Left:
        bgRect.setLeft(bgRect.left() + m_lineSpace);
        break;
    case LinePosition_Right:
        bgRect.setRight(bgRect.right() - m_lineSpace);
        break;
    case LinePosition_Top:
        bgRect.setTop(bgRect.top() + m_lineSpace);
        break;
    case LinePosition_Bottom:
        bgRect.setBottom(bgRect.bottom() - m_lineSpace);
        break;
    }

    QBrush brush;
    if (isChecked())
        brush = m_checkBgBrush;
    else if (m_hover)
        brush = m_hoverBgBrush;
    else
        brush = m_normalBgBrush;

    if (brush.style() == Qt::NoBrush) {
        QColor color;
        if (isChecked())
            color = m_checkBgColor;
        else if (m_hover && isEnabled())
            color = m_hoverBgColor;
        else if (isEnabled())
            color = m_normalBgColor;
        else
            color = m_disabledBgColor;
        brush = QBrush(color);
    }

    painter->setPen(Qt::NoPen);
    painter->setBrush(brush);
    if (m_roundCorner)
        painter->drawRoundedRect(bgRect, m_cornerRadius, m_cornerRadius, Qt::RelativeSize);
    else
        painter->drawRect(bgRect);

    painter->restore();
}

void NavButton::drawIcon(QPainter *painter)
{
    if (!m_showIcon)
        return;

    // A QIcon set on the button (for example from a .ui file) supplies all
    // three state pixmaps and wins over pixmaps set one by one.
    const QIcon buttonIcon = icon();
    if (!buttonIcon.isNull()) {
        m_iconNormal = buttonIcon.pixmap(iconSize(), QIcon::Normal, QIcon::Off);
        m_iconHover = buttonIcon.pixmap(iconSize(), QIcon::Active, QIcon::Off);
        m_iconCheck = buttonIcon.pixmap(iconSize(), QIcon::Selected, QIcon::Off);
    }

    QPixmap pix;
    if (isChecked())
        pix = m_iconCheck;
    else if (m_hover)
        pix = m_iconHover;
    else
        pix = m_iconNormal;
    if (pix.isNull())
        return;

    pix = pix.scaled(m_iconSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);

    // Placement uses the nominal icon size, not the scaled pixmap's.
    const int w = width();
    const int h = height();
    const int iconWidth = m_iconSize.width();
    const int iconHeight = m_iconSize.height();
    int x = 0;
    int y = 0;
    switch (m_iconPosition) {
    case IconPosition_Left:
        x = m_iconSpace;
        y = (h - iconHeight) / 2;
        break;
    case IconPosition_Right:
        x = w - m_iconSpace;
        y = (h - iconHeight) / 2;
        break;
    case IconPosition_Top:
        x = (w - iconWidth) / 2;
        y = m_iconSpace;
        break;
    case IconPosition_Bottom:
        x = (w - iconWidth) / 2;
        y = h - m_iconSpace;
        break;
    case IconPosition_mid:
        x = (w - iconWidth) / 2 - m_iconSpace;
        y = (h - iconHeight) / 2;
        break;
    }
    painter->drawPixmap(x, y, pix);
}

void NavButton::drawText(QPainter *painter)
{
    painter->save();

    QColor color;
    if (isChecked())
        color = m_checkTextColor;
    else if (m_hover && isEnabled())
        color = m_hoverTextColor;
    else if (isEnabled())
        color = m_normalTextColor;
    else
        color = m_disabledTextColor;
    painter->setPen(color);
    painter->setBrush(Qt::NoBrush);

    const int w = width();
    const int h = height();
    if (m_autoFontSize) {
        const int pixelSize = qMin((h / 6) * 5, w / 6);
        if (pixelSize > 0) {
            QFont font = painter->font();
            font.setPixelSize(pixelSize);
            painter->setFont(font);
        }
    }

    QRect textRect;
    int flags = 0;
    if (m_textAlign >= TextAlign_Center_Left && m_textAlign <= TextAlign_Center_right_down) {
        textRect = rect();
        flags = Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextWordWrap;
    } else {
        textRect = QRect(m_paddingLeft, m_paddingTop, w - m_paddingLeft - m_paddingRight,
                         h - m_paddingTop - m_paddingBottom);
        flags = int(m_textAlign) | Qt::AlignVCenter | Qt::TextWordWrap;
    }
    painter->drawText(textRect, flags, text());

    painter->restore();
}

void NavButton::drawLine(QPainter *painter)
{
    if (!m_showLine || !isChecked())
        return;

    painter->save();
    painter->setPen(QPen(m_lineColor, m_lineWidth));

    const int w = width();
    const int h = height();
    switch (m_linePosition) {
    case LinePosition_Left:
        painter->drawLine(0, 0, 0, h);
        break;
    case LinePosition_Right:
        painter->drawLine(w, 0, w, h);
        break;
    case LinePosition_Top:
        painter->drawLine(0, 0, w, 0);
        break;
    case LinePosition_Bottom:
        painter->drawLine(0, h, w, h);
        break;
    }

    painter->restore();
}

void NavButton::drawTriangle(QPainter *painter)
{
    if (!m_showTriangle || !(m_hover || isChecked()))
        return;

    painter->save();
    painter->setPen(Qt::NoPen);
    painter->setBrush(m_triangleColor);

    const int w = width();
    const int h = height();
    const int len = m_triangleLen;
    QPolygon pts;
    switch (m_trianglePosition) {
    case TrianglePosition_Left:
        pts << QPoint(len, h / 2) << QPoint(0, h / 2 - len) << QPoint(0, h / 2 + len);
        break;
    case TrianglePosition_Right:
        pts << QPoint(w - len, h / 2) << QPoint(w, h / 2 - len) << QPoint(w, h / 2 + len);
        break;
    case TrianglePosition_Top:
        pts << QPoint(w / 2, len) << QPoint(w / 2 - len, 0) << QPoint(w / 2 + len, 0);
        break;
    case TrianglePosition_Bottom:
        pts << QPoint(w / 2, h - len) << QPoint(w / 2 - len, h) << QPoint(w / 2 + len, h);
        break;
    }
    painter->drawPolygon(pts);

    painter->restore();
}
