#pragma once

#include "widgets/palette.h"

#include <QColor>

namespace Ui {
class MainWindow;
}

// Colours of the main window's painted controls: the shared palette plus the
// window's own.
namespace MainWindowLook {
using namespace Palette;
const QColor kTitleHover("#8a8a8a");
const QColor kCloseHover("#e81123");
// The connect button: the accent while connected, as active states are
// shown everywhere; grey while not. The hovered grey is light, so the text
// turns dark on it.
const QColor kDisconnected("#999999");
const QColor kDisconnectedHover("#e0e0e0");
} // namespace MainWindowLook

// Gives the painted buttons of the main window's form their colours, icons
// and paddings: the title-bar buttons, the settings menu, the connect button,
// the file and chart buttons, the instrument-panel tiles and the chart
// channel buttons. Only appearance and the checkable/checked state that the
// look depends on are set; nothing is connected.
void applyMainWindowLook(Ui::MainWindow *ui);
