#pragma once

#include <QColor>

// The program's colours, shared by the painted controls of every screen. The
// style sheet cs.qss uses the same values for the parts it draws.
namespace Palette {
const QColor kTitleBar("#45464a"); // title bars; also the dark text on cards
const QColor kAccent("#f97932");   // selected and active states
const QColor kAccentHover("#ffaa7f");
const QColor kWorkArea("#f6f7fc"); // the light area behind the white cards
const QColor kText("#333333");
} // namespace Palette
