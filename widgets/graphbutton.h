#pragma once

#include <QColor>
#include <QPixmap>
#include <QPushButton>

// Legend-style toggle of one chart channel: a tick icon (on or off), a short
// line sample in the channel colour with a circle marker, and the text to the
// right of the sample. Checkable from construction.
class GraphButton : public QPushButton
{
    Q_OBJECT

public:
    explicit GraphButton(QWidget *parent = nullptr);

    // Stores the channel colour only; it shows at the next repaint.
    void setColor(const QColor &color);
    QColor color() const { return m_color; }

    // Stores the switch only; it shows at the next repaint.
    void setShowIcon(bool showIcon);
    bool showIcon() const { return m_showIcon; }

    bool getHover() const { return m_hover; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void isHover(bool status);

protected:
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_color{Qt::darkRed};
    QPixmap m_iconOn;
    QPixmap m_iconOff;
    QSize m_iconSize{14, 14};
    int m_halfLineLength = 15;
    int m_penWidth = 2;
    int m_radius = 5;
    int m_gap = 5;
    bool m_showIcon = true;
    bool m_hover = false;
};
