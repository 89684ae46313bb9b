#pragma once

#include <QString>

// The window's alarm settings beyond the limits, which config.cfg holds:
// kept in a file of their own beside it (alarms.json), so config.cfg stays
// as it is.
struct AlarmOptions
{
    double hysteresisC = 0.5; // degrees Celsius, a difference
    int delaySeconds = 0;
    bool probe = true;
    int linkLostSeconds = 30; // 0: no alarm for a lost instrument
    bool notify = true;       // desktop notifications while the window is not in front
    bool sound = false;

    bool operator==(const AlarmOptions &o) const;
    bool operator!=(const AlarmOptions &o) const { return !(*this == o); }
};

// A missing or damaged file gives the defaults; values out of range are
// brought into it.
AlarmOptions readAlarmFile(const QString &fileName);
// Written whole or not at all; false with the reason in `error`.
bool writeAlarmFile(const QString &fileName, const AlarmOptions &options, QString *error);
