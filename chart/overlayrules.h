#pragma once

#include "instrument/records.h"

#include <QColor>
#include <QPen>
#include <QString>
#include <QVector>

// Rules of drawing several measurements on one chart, free of any widget:
// where each one's time axis starts, and how its curves are told apart.

// The most measurements one chart compares; more would be a tangle of lines
// nobody reads, and 40 curves are what the chart still follows the mouse with.
constexpr int kMaxOverlaid = 10;

enum class OverlayAlignment
{
    Clock,    // the records' own times, side by side on the calendar
    Start,    // the time since each measurement's first record
    Crossing, // the time since a channel first crossed a temperature
};

struct AlignmentRule
{
    OverlayAlignment mode = OverlayAlignment::Clock;
    int channel = 0;    // 0..3, for Crossing
    double celsius = 0; // the temperature crossed, degrees Celsius
    bool rising = true; // crossed upwards (else downwards)
};

// Where a measurement's time axis starts, in seconds since the epoch as the
// chart's date-time keys count them: its keys on the chart are those keys
// less `origin`. Clock alignment has origin 0. `aligned` is false when a
// measurement never crossed the temperature: it is then shown from its first
// record, as for Start.
struct AlignedOrigin
{
    double origin = 0;
    bool aligned = true;
};

// A crossing is the first pair of consecutive readings of the channel with a
// value (readings without one are passed over) where the earlier lies below
// the temperature and the later at or above it (rising), or the earlier above
// and the later at or below it (falling); its time is interpolated linearly
// between the two. A measurement starting beyond the temperature has not
// crossed it there. Records without a valid time are passed over; without any
// timed record the origin is 0 and not aligned (except for Clock).
AlignedOrigin alignmentOrigin(const QVector<_T_EE_TEST_DATA> &records, const AlignmentRule &rule);

// The pen of channel `channel` of overlaid measurement `measurement`: every
// curve has a colour of its own (the first measurement keeps the channel
// colours `channelColors`), and all curves of one measurement share one dash
// pattern, solid for the first.
QPen overlayPen(int measurement, int channel, const QColor (&channelColors)[4], double width);

// A time on an aligned axis, "+hh:mm:ss" or "-hh:mm:ss" (hours grow beyond 99).
QString elapsedText(double seconds);
