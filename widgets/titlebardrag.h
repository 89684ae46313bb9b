#pragma once

#include <QPoint>

class QMouseEvent;
class QWidget;

// Moving a frameless window by its own title bar. The window forwards its
// mouse events; they act only while the pointer is over `titleBar` (its
// Qt::WA_UnderMouse), so pressing and dragging anywhere else does nothing.
// A double click over the title bar toggles between maximised and normal.
class TitleBarDrag
{
public:
    TitleBarDrag(QWidget *window, QWidget *titleBar) : m_window(window), m_titleBar(titleBar) {}

    void press(const QMouseEvent *event);
    void release(const QMouseEvent *event);
    void move(const QMouseEvent *event);
    void doubleClick();

    bool isDragging() const { return m_dragging; }

private:
    bool overTitleBar() const;

    QWidget *m_window;
    QWidget *m_titleBar;
    bool m_dragging = false;
    QPoint m_pressPos; // window coordinates
};
