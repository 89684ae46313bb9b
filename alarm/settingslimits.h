#pragma once

#include "alarm/alarmrules.h"

#include <QByteArray>
#include <QDataStream>
#include <QString>

#include <array>

// config.cfg and its content are data streams of this version (18), big-endian.
constexpr int kSettingsStreamVersion = 18;

// The content of a settings file: the one byte array it holds. Empty when
// the file holds none.
QByteArray settingsFileContent(const QByteArray &fileBytes);

// Where the PNG image that starts at `start` in `bytes` ends: just after its
// IEND chunk. The end of `bytes` when no PNG starts there or it has no end.
qint64 pngStreamEnd(const QByteArray &bytes, qint64 start);

// The alarm limits of one instrument as a settings file keeps them: per
// channel the high limit, the low limit (degrees Celsius, stored as 8-byte
// doubles) and the switch that turns both on.
struct ConfigLimits
{
    std::array<float, kChannelCount> highLimit{{100.0f, 100.0f, 100.0f, 100.0f}};
    std::array<float, kChannelCount> lowLimit{{0.0f, 0.0f, 0.0f, 0.0f}};
    std::array<bool, kChannelCount> limitEnabled{{false, false, false, false}};

    bool operator==(const ConfigLimits &o) const;
    bool operator!=(const ConfigLimits &o) const { return !(*this == o); }
};
QDataStream &operator>>(QDataStream &in, ConfigLimits &limits);
QDataStream &operator<<(QDataStream &out, const ConfigLimits &limits);

// The fields of a settings file between the logo and the limit switches, in
// the file's order, the limits last. Both readers of config.cfg (the window's
// settings and the recorder's alarm limits) read them here, so the order is
// written down once.
struct SettingsFileHead : ConfigLimits
{
    QString testerName;
    QString companyName;
    QString dataDir;
    qint32 language = 1;
    qint32 continuousSeconds = 60;
    bool continuousEnabled = true;
};
QDataStream &operator>>(QDataStream &in, SettingsFileHead &head);
QDataStream &operator<<(QDataStream &out, const SettingsFileHead &head);

// The alarm limits of a window's settings file (the bytes of config.cfg):
// both limits of each channel whose limit switch is on, in degrees Celsius.
// Read without decoding the logo before them, so a program without Qt Gui
// can take them. False, leaving `settings` alone, when the file holds no
// settings or ends before the limits.
bool alarmLimitsFromSettingsFile(const QByteArray &fileBytes, AlarmSettings *settings);
