#pragma once

#include "instrument/records.h"

#include <QDateTime>
#include <QString>

// Temperature helpers shared by everything that shows a reading. Readings are
// held in degrees Celsius as single-precision values and converted only for
// display. A unit is 0 Celsius, 1 Fahrenheit, 2 Kelvin; any other value is
// treated as Celsius.

enum TemperatureUnit
{
    UnitCelsius = 0,
    UnitFahrenheit = 1,
    UnitKelvin = 2,
};

// Conversions are done in double precision; the result is rounded to float
// once, so 0 Celsius in Kelvin is 273.15 held in single precision.
float celsiusToUnit(float celsius, int unit);
float unitToCelsius(float value, int unit);

// "℃", "℉" or "K".
QString unitSymbol(int unit);
// "°C", "°F" or "K": the unit as programs and Home Assistant spell it.
QString unitToken(int unit);

// "K", "J", "T", "E", "R", "S", "N", "B" for codes 0 to 7; empty otherwise.
QString typeLetter(int typeCode);

// Measuring range of a thermocouple type in degrees Celsius; 0 to 0 for an
// unknown code.
struct TypeRange
{
    int lowest = 0;
    int highest = 0;
};
TypeRange typeRange(int typeCode);

// Text of one reading: "OL" above the range (state 2), "-OL" below it
// (state 1), "--\--" for any other non-zero state (no reading). A value
// (state 0) is converted to `unit` and written with one decimal, or none once
// it exceeds 1000; with `general` set it is written in general notation with
// six significant digits instead.
QString valueText(float celsius, int state, int unit, bool general = false);
// A value already converted to the unit shown, written as valueText() writes
// a state-0 reading: one decimal, none above 1000.
QString shownValueText(double value);

// Texts of the three states without a value.
QString aboveRangeText();
QString belowRangeText();
QString noReadingText();

// Local date and time of a stored record: the year/month/day/hour bytes and
// the minute/second bytes packed little-endian as they lie in the record
// (bytes 10-13 and 14-15), year counted from 2000.
QDateTime dateTimeFromRecord(quint32 yearMonthDayHour, quint16 minuteSecond);
QDateTime dateTimeFromRecord(const _T_EE_TEST_DATA &record);

// ISO 8601 text of a time as local time with its offset from UTC, e.g.
// 2024-03-05T14:05:09+01:00 (a time in UTC or at an offset is written as is).
QString isoTimeWithOffset(const QDateTime &time);
