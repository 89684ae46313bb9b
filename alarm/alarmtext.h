#pragma once

#include "alarm/alarmrules.h"

#include <QCoreApplication>
#include <QString>

// Texts of alarms for people, in the interface language; temperatures in
// `unit` (0 Celsius, 1 Fahrenheit, 2 Kelvin).
class AlarmText
{
    Q_DECLARE_TR_FUNCTIONS(AlarmText)
public:
    // "above the high limit", "probe open", "instrument lost", ...
    static QString kind(AlarmKind kind);
    // "T1" to "T4", or "instrument".
    static QString channel(int channel);
    // "T1 above the high limit"; "instrument lost".
    static QString brief(const Alarm &alarm);
    // A line for a log: what was raised, with the limit and the reading.
    static QString raised(const Alarm &alarm, int unit);
    // A line for a log: what cleared, how long it lasted, its extreme.
    static QString cleared(const Alarm &alarm, int unit);
    // A temperature with its unit symbol.
    static QString temperature(float celsius, int unit);
    // How many decimals show `value` apart from `limit` (numbers in one
    // unit): one, or as few more (at most six) as it takes for two numbers
    // that differ to read differently, so that a value beyond its limit
    // does not read equal to it.
    static int decimalsApart(double value, double limit);
};
