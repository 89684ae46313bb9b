#include "widgets/titlebardrag.h"

#include <QMouseEvent>
#include <QWidget>

bool TitleBarDrag::overTitleBar() const
{
    return m_titleBar->testAttribute(Qt::WA_UnderMouse);
}

void TitleBarDrag::press(const QMouseEvent *event)
{
    if (overTitleBar() && event->button() == Qt::LeftButton) {
        m_dragging = true;
        m_pressPos = event->pos();
    }
}

// Ends a drag wherever the button is let go, so no drag outlives the press.
void TitleBarDrag::release(const QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_dragging = false;
}

void TitleBarDrag::move(const QMouseEvent *event)
{
    if (m_dragging && overTitleBar())
        m_window->move(m_window->pos() + (event->pos() - m_pressPos));
}

void TitleBarDrag::doubleClick()
{
    if (!overTitleBar())
        return;
    if (m_window->isMaximized())
        m_window->showNormal();
    else
        m_window->showMaximized();
}
