#include "widgets/resizehit.h"

int resizeHitCode(int x, int y, int width, int height)
{
    const bool left = x > 0 && x < 5;
    const bool right = x > width - 5 && x < width;
    const bool top = y > 0 && y < 5;
    const bool bottom = y > height - 5 && y < height;

    if (top && left)
        return ResizeHitTopLeft;
    if (top && right)
        return ResizeHitTopRight;
    if (bottom && left)
        return ResizeHitBottomLeft;
    if (bottom && right)
        return ResizeHitBottomRight;
    if (left)
        return ResizeHitLeft;
    if (right)
        return ResizeHitRight;
    if (top)
        return ResizeHitTop;
    if (bottom)
        return ResizeHitBottom;
    return ResizeHitNone;
}

Qt::Edges resizeHitEdges(int code)
{
    switch (code) {
    case ResizeHitLeft:
        return Qt::LeftEdge;
    case ResizeHitRight:
        return Qt::RightEdge;
    case ResizeHitTop:
        return Qt::TopEdge;
    case ResizeHitBottom:
        return Qt::BottomEdge;
    case ResizeHitTopLeft:
        return Qt::TopEdge | Qt::LeftEdge;
    case ResizeHitTopRight:
        return Qt::TopEdge | Qt::RightEdge;
    case ResizeHitBottomLeft:
        return Qt::BottomEdge | Qt::LeftEdge;
    case ResizeHitBottomRight:
        return Qt::BottomEdge | Qt::RightEdge;
    default:
        return Qt::Edges();
    }
}

Qt::CursorShape resizeHitCursor(int code)
{
    switch (code) {
    case ResizeHitLeft:
    case ResizeHitRight:
        return Qt::SizeHorCursor;
    case ResizeHitTop:
    case ResizeHitBottom:
        return Qt::SizeVerCursor;
    case ResizeHitTopLeft:
    case ResizeHitBottomRight:
        return Qt::SizeFDiagCursor;
    case ResizeHitTopRight:
    case ResizeHitBottomLeft:
        return Qt::SizeBDiagCursor;
    default:
        return Qt::ArrowCursor;
    }
}
