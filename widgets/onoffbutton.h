#pragma once

#include <QPushButton>

// Sliding on/off switch: a rounded track in the on or off colour with a white
// knob at the right end when checked and at the left end when not. Clicking
// toggles the checked state as for any checkable push button.
class OnOffButton : public QPushButton
{
    Q_OBJECT

public:
    explicit OnOffButton(QWidget *parent = nullptr);

    bool getHover() const { return m_hover; }

signals:
    void isHover(bool status);

protected:
    void enterEvent(QEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_hover = false;
};
