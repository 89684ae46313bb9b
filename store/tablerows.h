#pragma once

#include "instrument/records.h"

#include <QStringList>
#include <QVector>

#include <functional>
#include <optional>

// Texts of the data table. Two layouts: the full one (number, time with date,
// value and thermocouple of T1..T4: 10 columns) and the narrow one beside the
// chart (number, time without date, values of T1..T4: 6 columns).

constexpr int kFullColumnCount = 10;
constexpr int kNarrowColumnCount = 6;

// Words of the header labels, translated by the caller.
struct TableHeaderWords
{
    QString number;       // "编号"
    QString time;         // "时间"
    QString temperature;  // "温度"
    QString thermocouple; // "热电偶"
};

// Header labels; `unitText` is "℃", "℉" or "K" and appears in the full
// layout's value headers, e.g. "T1 温度(℃)".
QStringList tableHeaders(bool narrow, const QString &unitText, const TableHeaderWords &words);

// Column widths in pixels; the value and thermocouple columns are wider when
// the texts are English.
QVector<int> tableColumnWidths(bool narrow, bool english);

// What a page of the table must show whole, measured in the fonts in use.
struct TableTextRoom
{
    QVector<int> headerWidths;                     // room each header label needs
    std::function<int(const QString &)> textWidth; // width of a text in the cells' font
    int cellPadding = 0;                           // a cell's margins and grid line
    int largestNumber = 0;                         // largest record number on the page
};

// Column widths in pixels that keep tableColumnWidths() as minimums and
// widen a column to its header and to the widest text its cells can hold.
// The cells' texts have fixed formats, so they are measured from a few
// samples written with the font's widest digit, whatever the number of rows.
QVector<int> fittedColumnWidths(bool narrow, bool english, const TableTextRoom &room);

// "2024-03-05-09:07:01" with the date, "09:07:01" without; the year is 2000
// plus the record's year byte.
QString recordTimeText(const _T_EE_TEST_DATA &record, bool withDate);

// How a value stands to its channel's limits (held in Celsius): above the
// high limit or over the range (red), below the low limit or under the range
// (blue), or neither. Always `LimitNone` while the limits are switched off.
enum LimitMark
{
    LimitNone,
    LimitHigh,
    LimitLow,
};
LimitMark limitMark(float celsius, int state, bool limitsOn, float highLimit, float lowLimit);

// The cell texts of one record's row, `number` being its 1-based position.
QStringList recordRowTexts(const _T_EE_TEST_DATA &record, int number, bool narrow, int unit);

// Column of channel `channel` (0..3)'s value in a layout.
int valueColumn(int channel, bool narrow);

// Which records the table's rows show, to tell a refill with the same
// records (new unit, limits) from one with others.
struct ShownRows
{
    // The measurement shown a page of, or null (live view, no measurement).
    const void *measurement = nullptr;
    // Counts the archive's changes: records that took the place of others,
    // even at the same address, have another generation.
    quint64 generation = 0;
    // The live view of a running recording, whose newest reading is on top.
    bool live = false;
    int count = -1; // records of the measurement, or readings recorded so far
    int top = -1;
    int rows = -1;
};

// How a selection made on `before` carries over to `now`: the rows to move
// it down by (0: it stays), or nothing when the rows show other records and
// it must end. In the live view each new reading comes on top and pushes
// the selected readings one row down; they stay selected.
std::optional<int> selectionShift(const ShownRows &before, const ShownRows &now);
