#pragma once

#include <QColor>
#include <QWidget>

class QAbstractButton;

// Card panel of the settings pages: white, a shade darker while the mouse is
// over it. A card whose only control is one push button (open a manual,
// erase the instrument) acts as that button over its whole area: a click
// anywhere on it clicks the button, and the pointer and the button's hover
// look show so while the mouse is over the card.
class CsWidget : public QWidget
{
    Q_OBJECT

public:
    explicit CsWidget(QWidget *parent = nullptr);

    QColor backgroundColor() const { return m_bgColor; }
    // The button the card acts as, or null: the one visible, enabled,
    // non-checkable button among its children, without any other control.
    QAbstractButton *rowButton() const;

protected:
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setButtonHover(bool hover);

    QColor m_bgColor{Qt::white};
    bool m_pressed = false;
};
