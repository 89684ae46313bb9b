#pragma once

#include <QColor>

namespace Ui {
class MainWindow;
}

// Colours of the main window's painted controls. The style sheet cs.qss uses
// the same values for the parts it draws.
namespace MainWindowLook {
const QColor kTitleBar("#45464a");
const QColor kTitleHover("#8a8a8a");
const QColor kCloseHover("#e81123");
const QColor kAccent("#f97932");
const QColor kAccentHover("#ffaa7f");
const QColor kWorkArea("#f6f7fc");
const QColor kDisconnected("#999999");
const QColor kDisconnectedHover("#e0e0e0");
const QColor kText("#333333");
} // namespace MainWindowLook

// Gives the painted buttons of the main window's form their colours, icons
// and paddings: the title-bar buttons, the settings menu, the connect button,
// the file and chart buttons, the instrument-panel tiles and the chart
// channel buttons. Only appearance and the checkable/checked state that the
// look depends on are set; nothing is connected.
void applyMainWindowLook(Ui::MainWindow *ui);
