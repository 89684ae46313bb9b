#pragma once

#include <QColor>
#include <QWidget>

// Card panel of the settings pages: white, a shade darker while the mouse is
// over it.
class CsWidget : public QWidget
{
    Q_OBJECT

public:
    explicit CsWidget(QWidget *parent = nullptr);

    QColor backgroundColor() const { return m_bgColor; }

protected:
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_bgColor{Qt::white};
};
