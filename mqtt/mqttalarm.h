#pragma once

#include "alarm/alarmrules.h"

#include <QByteArray>
#include <QVector>

// JSON payloads of the alarm topics, compact UTF-8; temperatures in `unit`
// (0 Celsius, 1 Fahrenheit, 2 Kelvin) rounded to 0.1, null where the kind
// has none (value and limit of a probe or link alarm).
//
// <prefix>/alarm, retained: the active alarms, oldest first; [] when none.
//   [{"id":7,"channel":"T1","kind":"high","since":"2026-12-08T10:15:00+01:00",
//     "value":100.6,"limit":100.0,"unit":"°C"}]
QByteArray alarmListPayload(const QVector<Alarm> &alarms, int unit);

// <prefix>/alarm/event: one raise or clear, the alarm's fields with
//   "event":"raised"|"cleared", "time" (the change) and, once cleared,
//   "extreme" (the furthest value beyond the limit) and "value" at the clear.
QByteArray alarmEventPayload(const Alarm &alarm, bool raised, int unit);
