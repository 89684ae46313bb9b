#pragma once

#include <QDateTime>
#include <QList>
#include <QString>

#include <cstdint>
#include <optional>

// Rules of a recording: its interval, the continuous measurement time that
// ends it, the live texts of the offset page and the name of a measurement
// that a recording creates.

// Longest recording interval and continuous measurement time: one day.
constexpr int kMaxRecordingSeconds = 86400;

// Interval from the three interval boxes: the seconds to send, or nothing
// when their total equals `currentInterval` (the interval the instrument last
// reported). The total is compared as entered and sent clamped to one day,
// so 25 h sends 86400 and 0 h 0 min 0 s sends 0 (no reading is then stored).
std::optional<quint32> intervalToSend(int hours, int minutes, int seconds, quint32 currentInterval);

// Why a recording cannot start now, or empty when it can: without an open
// link to the instrument no reading would arrive, and at an interval of 0 s
// the driver stores none; either would run an empty recording.
QString startRefusalText(int intervalSeconds, bool instrumentConnected);

// Continuous measurement time from its three boxes, clamped to one day.
int continuousSecondsFromBoxes(int hours, int minutes, int seconds);

// The driver counts `count` from 0 at each start, once a wall-clock second;
// the recording ends as soon as the count reaches the continuous time, so a
// time of 0 ends it at the first count.
bool continuousTimeReached(uint64_t count, int continuousSeconds);

// "剩余时间：", a line break, then "1 时 2 分 5 秒" for 3725 seconds; the
// hours are not wrapped. Shown while the continuous time is not reached, for
// continuousSeconds - count.
QString remainingTimeText(uint64_t remainingSeconds);

// Name of the measurement made by a recording stopped while no measurement
// is current: the stop's local time as "yyyyMMdd hh_mm_ss_zzz".
QString recordingMeasurementName(const QDateTime &stopTime);

// Text of a channel's button on the offset page: the reading in the unit with
// exactly one decimal while the status byte's reading state is 0 (a value),
// "--\--" for every other state.
QString offsetPageReadingText(float celsius, quint8 status, int unit);

// Ambient temperature of the instrument in the unit, exactly one decimal.
QString ambientText(float celsius, int unit);
