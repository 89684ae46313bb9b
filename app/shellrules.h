#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

// Rules of the application shell, kept free of widgets so tests call them
// directly.

// A duration in whole hours, minutes and seconds (hours are not wrapped).
struct HoursMinutesSeconds
{
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
};
HoursMinutesSeconds splitSeconds(int totalSeconds);

// The port choice is offered only while no instrument is connected and there
// is more than one port to choose from.
bool portChoiceVisible(int portCount, bool connected);

// The logo as shown in the settings: images taller than 50 pixels are scaled
// smoothly to cover 50 x 50 keeping their proportions; the stored logo keeps
// its full size.
QImage logoForDisplay(const QImage &logo);

// Top-left corner that centres a window of `size` on `owner` (a frame
// rectangle), moved as little as needed to lie inside `screen`.
QPoint centredOn(const QRect &owner, const QSize &size, const QRect &screen);

// Where data files and exports go unless the settings file names a folder:
// "KX740D" in the user's documents folder (the home folder without one).
QString defaultDataDir();

// The instrument manual in the interface language (0 Chinese, else English).
QString manualFileName(int language);
// This program's own manual, built from docs/manual-*.md, in the same way.
QString pcManualFileName(int language);

// Ports named on the command line with "--port NAME" (repeatable), in order,
// for instruments behind other bridges and for simulators.
QStringList portsFromArguments(const QStringList &arguments);

// "--connect" among the arguments: connect to the first port of the list at
// start-up, as if the user pressed the connect button.
bool connectAtStartup(const QStringList &arguments);

// `name` as saved with file-dialog filter `filter` ("Image File(*.jpg)"):
// file dialogs here do not add the filter's extension, so it is appended
// when the name does not end with it already (in any letter case). A filter
// without a "*.ext" pattern leaves the name as it is.
QString withFilterSuffix(const QString &name, const QString &filter);
