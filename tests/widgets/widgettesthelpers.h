#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <QObject>
#include <QRect>
#include <QTest>
#include <QWidget>

// Counts the paint events a widget receives, so tests can tell whether a
// setter asked for a repaint.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget *widget) : QObject(widget) { widget->installEventFilter(this); }

    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

// Lets every posted update request run.
inline void settle()
{
    QCoreApplication::processEvents();
    QTest::qWait(30);
    QCoreApplication::processEvents();
}

// Shows a widget and waits until its first paint is done.
inline bool showAndSettle(QWidget *widget)
{
    widget->show();
    if (!QTest::qWaitForWindowExposed(widget))
        return false;
    settle();
    return true;
}

inline QImage renderWidget(QWidget *widget)
{
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline bool sameColor(QRgb a, const QColor &b, int tolerance = 3)
{
    return qAbs(qRed(a) - b.red()) <= tolerance && qAbs(qGreen(a) - b.green()) <= tolerance &&
           qAbs(qBlue(a) - b.blue()) <= tolerance;
}

// Bounding box of the pixels that differ clearly from the background colour.
inline QRect inkBounds(const QImage &image, const QColor &background, int threshold = 60)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            const int diff = qAbs(qRed(p) - background.red()) +
                             qAbs(qGreen(p) - background.green()) +
                             qAbs(qBlue(p) - background.blue());
            if (diff > threshold)
                bounds |= QRect(x, y, 1, 1);
        }
    }
    return bounds;
}

inline QString describe(QRgb p)
{
    return QStringLiteral("(%1, %2, %3)").arg(qRed(p)).arg(qGreen(p)).arg(qBlue(p));
}
