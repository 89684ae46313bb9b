#pragma once

#include "instrument/devkx740d.h"
#include "instrument/records.h"

#include <QLineF>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QVector>

#include <qcustomplot.h>

// Arithmetic of the temperature chart, free of any widget: which points a
// channel's graph gets, how the value axis is widened, how the settings
// numbers map to line styles and markers, and where the reading tip goes.

// Where the line of a list of readings breaks: the positions i whose reading
// came more than twice the list's usual spacing after the reading before it
// (a pause between two recordings, a pulled cable), in ascending order.
// `seconds` are the readings' times in order, NaN for a reading without one,
// which neither makes nor breaks a gap. The usual spacing is the median of
// the positive steps between timed readings; readings of one second step
// nothing, and a list without such steps has no breaks.
QVector<int> lineBreaks(const QVector<double> &seconds);

// Keys and values of one channel's graph. Keys are the reading's position in
// the plotted list (index mode: readings left out still use up their
// position, so gaps stay visible) or its local time stamp in whole seconds
// since the epoch (date-time mode); values are in the shown unit. Where the
// line breaks (lineBreaks) a point of NaN value lies between the keys.
struct ChartSeries
{
    QVector<double> keys;
    QVector<double> values;
    // Keys never decrease (always in index mode; in date-time mode unless the
    // clock went back), so the graph need not sort them again.
    bool sorted = true;
};

// Live readings: a channel whose status byte has any bit of the high nibble
// set (16 or more) carries no value and is left out.
ChartSeries liveSeries(const QList<RecordedReading> &readings, int channel, int unit,
                       bool dateTimeKeys);
// Stored records: a channel with any non-zero state is left out.
ChartSeries storedSeries(const QVector<_T_EE_TEST_DATA> &records, int channel, int unit,
                         bool dateTimeKeys);

// Local date and time given as year - 2000, month, day, hour, minute, second,
// in whole seconds since 1970-01-01 00:00 UTC; false for a date that does not
// exist. Repeated calls within one hour are cheap.
bool epochSeconds(int year, int month, int day, int hour, int minute, int second, double *seconds);

// The value range after fitting to the data, widened by a tenth of each end's
// magnitude but by at least 1 on either side: [10, 30] becomes [9, 33].
QCPRange rangeWithMargin(const QCPRange &fitted);

// The line style spin box's 0..4 means lsLine..lsImpulse (v + 1); the value
// stored in the settings is taken as the style number itself when the chart
// is built, so the default 1 starts with plain lines.
QCPGraph::LineStyle lineStyleFromSpinBox(int value);
QCPGraph::LineStyle lineStyleAtSetup(int storedValue);
// The marker spin box's 0..13 means ssDot..ssPlusCircle (v + 1); a stored
// value is taken modulo 14 first.
QCPScatterStyle::ScatterShape scatterShapeFromSpinBox(int value);
QCPScatterStyle::ScatterShape scatterShapeAtSetup(int storedValue);

// Top-left corner of the reading tip in chart coordinates: 30 pixels right
// of and below the cursor, or left of / above it where the tip would cross
// the chart's right or bottom edge, then moved as far as needed to lie
// wholly inside the chart (its top-left corner wins when the tip is larger).
QPoint tipPosition(const QPoint &cursor, const QSize &tip, const QSize &chart);

// What the tip names a reading by. In index mode its number as the table
// numbers it: `position` counts from 0, the number from 1. In date-time mode
// its local time "hh:mm:ss", after its date "MM-dd" when `withDate` (the
// readings shown fall on more than one day).
QString tipRecordText(int position, double seconds, bool dateTimeKeys, bool withDate);
// Whether local times from `first` to `last` seconds since the epoch fall on
// more than one day.
bool spansDays(double first, double last);

// One line of the tip, "T<channel>: <value> (<record>)". `value` is written
// as the table writes it: the value with the unit's symbol, or the text of a
// reading without one ("OL", "-OL", "--\--"). `channel` counts from 1.
QString tipLine(int channel, const QString &value, const QString &record);
// The tip's text of one channel of a stored record in `unit`.
QString tipValueText(const _T_EE_TEST_DATA &record, int channel, int unit);

// How many markers to leave out after each drawn one so that `visiblePoints`
// markers of `markerSize` pixels spread over `pixelWidth` do not overlap:
// 0 while they fit side by side.
int scatterSkip(int visiblePoints, double pixelWidth, double markerSize);

// Drag and zoom follow a selected axis line: only x, only y, or both.
Qt::Orientations dragOrientations(bool xAxisLineSelected, bool yAxisLineSelected);

// A graph's line in pixels, split for drawing without smoothing. Stretches
// of points less than a pixel apart (a dense zigzag: more readings than
// pixel columns) become one filled rectangle per pixel column, covering the
// pixels that stroking them with a square-capped pen of `penWidth` would
// cover; every other segment stays a line. A NaN or infinite point breaks
// the line, as it does for the graph.
struct PolylinePieces
{
    QVector<QRect> spans;
    QVector<QLineF> lines;
};
PolylinePieces densePolylinePieces(const QVector<QPointF> &points, double penWidth);
// The pixels of `spans` with each pixel column filled once where the spans
// in it overlap or touch: the spans of neighbouring columns overlap by the
// pen's width, and forty curves of them cost their pixels three times over.
QVector<QRect> mergedColumns(const QVector<QRect> &spans);
