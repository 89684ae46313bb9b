#include "widgets/framelessresizer.h"

#include "widgets/resizehit.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

FramelessResizer::FramelessResizer(QWidget *window) : QObject(window), m_window(window)
{
    if (QCoreApplication *app = QCoreApplication::instance())
        app->installEventFilter(this);
}

FramelessResizer::~FramelessResizer()
{
    if (QCoreApplication *app = QCoreApplication::instance())
        app->removeEventFilter(this);
    restoreCursor();
}

int FramelessResizer::hitCodeAt(const QPoint &globalPos) const
{
    if (!m_window || m_window->isMaximized() || m_window->isFullScreen())
        return ResizeHitNone;
    const QPoint p = m_window->mapFromGlobal(globalPos);
    return resizeHitCode(p.x(), p.y(), m_window->width(), m_window->height());
}

bool FramelessResizer::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    switch (type) {
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::Leave:
    case QEvent::Hide:
        break;
    default:
        return false;
    }
    if (!m_window || !watched->isWidgetType())
        return false;

    auto *widget = static_cast<QWidget *>(watched);
    if (type == QEvent::Leave || type == QEvent::Hide) {
        if (!isResizing() && (widget == m_window || widget == m_cursorWidget))
            restoreCursor();
        return false;
    }
    if (widget->window() != m_window) {
        if (type == QEvent::MouseMove && !isResizing())
            restoreCursor();
        return false;
    }
    return handleMouse(widget, type, static_cast<QMouseEvent *>(event));
}

bool FramelessResizer::handleMouse(QWidget *widget, QEvent::Type type, QMouseEvent *event)
{
    if (isResizing()) {
        if (type == QEvent::MouseMove) {
            resizeTo(event->globalPos());
            return true;
        }
        if (type == QEvent::MouseButtonRelease && event->button() == Qt::LeftButton) {
            m_resizeEdges = Qt::Edges();
            showCursor(widget, hitCodeAt(event->globalPos()));
            return true;
        }
        return false;
    }

    const int code = hitCodeAt(event->globalPos());
    switch (type) {
    case QEvent::MouseMove:
        // While a button is held the move belongs to whatever it pressed
        // (a title-bar drag, a selection); the cursor is left alone then.
        if (event->buttons() == Qt::NoButton)
            showCursor(widget, code);
        return false;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (event->button() != Qt::LeftButton || code == ResizeHitNone)
            return false;
        showCursor(widget, code);
        if (type == QEvent::MouseButtonPress)
            startResize(code, event->globalPos());
        return true;
    default:
        return false;
    }
}

void FramelessResizer::startResize(int code, const QPoint &globalPos)
{
    const Qt::Edges edges = resizeHitEdges(code);
    QWindow *handle = m_window->windowHandle();
    if (handle && handle->startSystemResize(edges))
        return;
    m_resizeEdges = edges;
    m_pressGlobal = globalPos;
    m_startGeometry = m_window->geometry();
}

void FramelessResizer::resizeTo(const QPoint &globalPos)
{
    const QPoint delta = globalPos - m_pressGlobal;
    const QSize minSize =
        m_window->minimumSize().expandedTo(m_window->minimumSizeHint()).expandedTo(QSize(1, 1));
    const QSize maxSize = m_window->maximumSize();

    // The edge opposite the one being dragged stays where it was.
    QRect g = m_startGeometry;
    if (m_resizeEdges & Qt::LeftEdge) {
        const int width = qBound(minSize.width(), g.width() - delta.x(), maxSize.width());
        g.setLeft(g.right() + 1 - width);
    } else if (m_resizeEdges & Qt::RightEdge) {
        g.setWidth(qBound(minSize.width(), g.width() + delta.x(), maxSize.width()));
    }
    if (m_resizeEdges & Qt::TopEdge) {
        const int height = qBound(minSize.height(), g.height() - delta.y(), maxSize.height());
        g.setTop(g.bottom() + 1 - height);
    } else if (m_resizeEdges & Qt::BottomEdge) {
        g.setHeight(qBound(minSize.height(), g.height() + delta.y(), maxSize.height()));
    }
    m_window->setGeometry(g);
}

void FramelessResizer::showCursor(QWidget *widget, int code)
{
    if (code == ResizeHitNone) {
        restoreCursor();
        return;
    }
    if (widget != m_cursorWidget) {
        restoreCursor();
        m_cursorWidget = widget;
        m_cursorWidgetHadCursor = widget->testAttribute(Qt::WA_SetCursor);
        m_savedCursor = widget->cursor();
    }
    widget->setCursor(resizeHitCursor(code));
}

void FramelessResizer::restoreCursor()
{
    if (m_cursorWidget) {
        if (m_cursorWidgetHadCursor)
            m_cursorWidget->setCursor(m_savedCursor);
        else
            m_cursorWidget->unsetCursor();
    }
    m_cursorWidget.clear();
}
