#pragma once

#include "instrument/records.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

// JSON payloads of the live and record topics, compact UTF-8. Values are
// converted from degrees Celsius to `unit` (0 Celsius, 1 Fahrenheit,
// 2 Kelvin, anything else Celsius) and rounded to 0.1; a channel without a
// value, or a value that is not finite, is null.
//
//   {"time":"2026-12-08T10:15:00+01:00","unit":"°C","recording":false,
//    "ambient":21.5,"channels":[{"name":"T1","type":"K","value":23.4,
//    "state":"ok"}, ... T4]}
//
// state: "ok", "-OL" (below the type's range), "OL" (above it), "open" (no
// thermocouple). The record payload has "recording_id" and "seq" in place
// of "recording".
QByteArray livePayload(const _T_PRINT_OUT_DATA &reading, const QDateTime &time, int unit,
                       bool recording);
QByteArray recordPayload(const _T_PRINT_OUT_DATA &reading, const QDateTime &time, int unit,
                         const QString &recordingId, quint64 seq);

// "°C", "°F" or "K", as Home Assistant spells them.
QString payloadUnit(int unit);
