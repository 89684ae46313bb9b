#pragma once

#include <Qt>

// Resize bands of the frameless windows. The codes are the numbers Windows
// uses in its hit-test answer (WM_NCHITTEST), so both frameless windows name
// the same edges with the same values on every platform.
enum ResizeHitCode : int
{
    ResizeHitNone = 0,
    ResizeHitLeft = 10,        // HTLEFT
    ResizeHitRight = 11,       // HTRIGHT
    ResizeHitTop = 12,         // HTTOP
    ResizeHitTopLeft = 13,     // HTTOPLEFT
    ResizeHitTopRight = 14,    // HTTOPRIGHT
    ResizeHitBottom = 15,      // HTBOTTOM
    ResizeHitBottomLeft = 16,  // HTBOTTOMLEFT
    ResizeHitBottomRight = 17, // HTBOTTOMRIGHT
};

// Which resize band of a width x height window the point (x, y), in window
// coordinates, lies in. Each band is the 4 pixels just inside an edge: left
// 0 < x < 5, right w - 5 < x < w, top 0 < y < 5, bottom h - 5 < y < h; the
// outermost column and row (x = 0, y = 0) are outside. Corners take
// precedence over edges. Returns ResizeHitNone anywhere else. Only points
// inside the window are meaningful; a band is not limited along its edge.
int resizeHitCode(int x, int y, int width, int height);

// Window edges that a resize from the band moves; empty for ResizeHitNone
// and unknown codes.
Qt::Edges resizeHitEdges(int code);

// Cursor shown over the band; Qt::ArrowCursor for ResizeHitNone and unknown
// codes.
Qt::CursorShape resizeHitCursor(int code);
