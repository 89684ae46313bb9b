#pragma once

#include <QtGlobal>

// How the alarm limits and the channel offsets appear in the shown unit.
// Limits are kept in degrees Celsius (settings file) and offsets in tenths of
// a degree Celsius (the instrument's channel configuration); the boxes show
// both in the unit the main window shows (0 Celsius, 1 Fahrenheit, 2 Kelvin,
// any other value as Celsius).

// Range and values of the high and low limit boxes of one channel. The range
// is the measuring range of the channel's thermocouple type converted to the
// unit and truncated towards zero at both ends; both boxes share it.
struct LimitBoxes
{
    int minimum = 0;
    int maximum = 0;
    double high = 0; // high limit in the unit
    double low = 0;  // low limit in the unit
};
LimitBoxes limitBoxes(int typeCode, float highLimit, float lowLimit, int unit);

// Result of editing one limit box: the limit to store (Celsius) and, when the
// edit crossed the other limit, the value to write back into the box.
struct LimitEdit
{
    float limit = 0;
    bool rewriteBox = false;
    double boxValue = 0; // in the unit; meaningful when rewriteBox is set
};
// A high limit never drops below the low limit and a low limit never rises
// above the high one: an edit that crosses is pulled back to the other limit.
LimitEdit editHighLimit(double boxValue, float lowLimit, int unit);
LimitEdit editLowLimit(double boxValue, float highLimit, int unit);

// An offset box in the unit. Offsets are temperature differences, so
// Fahrenheit shows tenths of a degree Celsius as multiples of 0.18 (no 32
// added) over -9 to 9, and Celsius and Kelvin show them as tenths over -5 to 5.
// Fahrenheit boxes get two decimals and a step of one tenth of a degree
// Celsius (0.18), so every instrument offset is shown exactly and reads back
// unchanged; with one decimal 0.54 would show as 0.5 and be sent back as 2
// tenths instead of 3 when the box merely loses focus.
struct OffsetBox
{
    double minimum = -5;
    double maximum = 5;
    int decimals = 1;
    double singleStep = 0.1;
    double value = 0;
};
OffsetBox offsetBox(qint8 offsetTenths, int unit);

// The offset for the instrument from a box value in the unit: tenths of a
// degree Celsius (Fahrenheit: value x 10 / 1.8), taken as single precision,
// truncated towards zero and kept in 8 bits. So 0.9 in Fahrenheit gives 5 and
// -9.0 gives -50. The driver sends only offsets of -50 to 50.
qint8 offsetTenthsFromBox(double boxValue, int unit);
