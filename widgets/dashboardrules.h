#pragma once

#include "instrument/records.h"

#include <QList>
#include <QString>
#include <QStringList>

// Rules of the channel dashboard, kept apart from the widget: which name each
// tile carries in a difference mode, how a difference and its reading state
// are formed, and which texts a live reading puts on the tiles.
//
// Channels are indexed 0..3 for T1..T4. A difference mode is 0 (none) or the
// number 1..4 of the reference channel T1..T4.

// Temperature unit of everything shown: 0 Celsius, 1 Fahrenheit, 2 Kelvin;
// any other value is treated as Celsius by every conversion.
using unit_type = int;

constexpr int kNoDifference = 0;

// Difference mode after the difference button of tile `tile` (1..4) was
// clicked into state `on`: switching a tile on makes it the reference;
// switching it off ends the mode only when that tile was the reference.
int differenceModeAfterClick(int differenceMode, int tile, bool on);

// Name shown on the tile of `channel`: "T3" without a difference mode and on
// the reference tile, otherwise "<reference>-<channel>", such as "T1-T3",
// naming the difference that the tile shows.
QString channelName(int differenceMode, int channel);

// Reading state of "reference minus other" from the states of both channels:
// a number only when both are numbers; below the range when the reference is
// below and the other above its range, above the range in the mirror case;
// StateNoReading in every other case.
int combinedState(int referenceState, int otherState);

// Text of a temperature difference held in degrees Celsius. Like valueText(),
// but the unit's zero point is taken away again after the conversion, so a
// difference of 10 degrees Celsius reads 18.0 in Fahrenheit and 10.0 in
// Kelvin.
QString differenceText(float deltaCelsius, int state, unit_type unit);

// Texts of the statistics lines: the prefix stays when the text is empty.
QString maxLineText(const QString &text);
QString minLineText(const QString &text);
QString avgLineText(const QString &text);

// Per-channel texts of the four tiles, index 0..3 = T1..T4.
struct DashboardTexts
{
    QStringList valueTexts{QString(), QString(), QString(), QString()};
    QStringList typeTexts{QString(), QString(), QString(), QString()};
    QStringList maxTexts{QString(), QString(), QString(), QString()};
    QStringList minTexts{QString(), QString(), QString(), QString()};
    QStringList avgTexts{QString(), QString(), QString(), QString()};
};

// Puts one live reading on the tiles' texts:
// - type letters from the low nibble of each status byte (empty for codes 8
//   to 15);
// - statistics: while the instrument runs a measuring mode (1 maximum,
//   2 minimum, 3 average) and neither a recording nor a difference mode is
//   active, the instrument's mode value goes to that line and the other two
//   lines are emptied (a mode above 3 empties all three); during a recording
//   without a difference mode the lines keep what the recorded statistics put
//   there; otherwise they are emptied;
// - values: each channel's temperature text, or in a difference mode the
//   reference's own text on its tile and "reference minus channel" on the
//   others.
void applyReading(DashboardTexts &texts, const _T_PRINT_OUT_DATA &reading, bool recording,
                  int differenceMode, unit_type unit);

// Whether the recorded statistics (maxima, minima, averages of T1..T4) are
// complete enough to be shown: three lists of at least four texts each.
bool statisticsUsable(const QList<QList<QString>> &info);
