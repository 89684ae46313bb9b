#pragma once

#include <QCursor>
#include <QEvent>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>

class QMouseEvent;
class QWidget;

// Border resizing for a frameless top-level window. Watches the mouse over
// the window and all of its child widgets (through an application event
// filter, because children receive the events, not the window). While the
// pointer rests in a resize band (see resizeHitCode) the matching resize
// cursor is shown; a left press in a band is consumed and starts a resize by
// the window system (QWindow::startSystemResize). Where the platform cannot
// do that, the resizer follows the mouse itself until the button is released.
// Nothing happens while the window is maximised or full screen.
class FramelessResizer : public QObject
{
    Q_OBJECT

public:
    // The resizer becomes a child of window and lives as long as it does.
    explicit FramelessResizer(QWidget *window);
    ~FramelessResizer() override;

    QWidget *window() const { return m_window; }

    // Resize band (ResizeHitCode) under a global screen position.
    int hitCodeAt(const QPoint &globalPos) const;

    // True while the resizer itself follows the mouse (no system resize).
    bool isResizing() const { return m_resizeEdges != Qt::Edges(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool handleMouse(QWidget *widget, QEvent::Type type, QMouseEvent *event);
    void startResize(int code, const QPoint &globalPos);
    void resizeTo(const QPoint &globalPos);
    void showCursor(QWidget *widget, int code);
    void restoreCursor();

    QPointer<QWidget> m_window;

    // Widget whose cursor was replaced by a resize cursor, and what it had.
    QPointer<QWidget> m_cursorWidget;
    bool m_cursorWidgetHadCursor = false;
    QCursor m_savedCursor;

    // Manual resize: edges being moved, press position, geometry at the press.
    Qt::Edges m_resizeEdges;
    QPoint m_pressGlobal;
    QRect m_startGeometry;
};
