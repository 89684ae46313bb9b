#pragma once

#include "alarm/alarmrules.h"
#include "alarm/settingslimits.h"
#include "instrument/records.h" // kChannelCount
#include "settings/logoimage.h"

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QMap>
#include <QString>

#include <array>

// The user's settings as kept in config.cfg: the logo, the fields the
// recorder reads too (names, folder, language, continuous time, limits in
// degrees Celsius whatever unit is shown), then the window's own.
struct AppSettings : SettingsFileHead
{
    QImage logo;
    bool autoBackupEnabled = true;
    bool showXAxis = false;
    bool showYAxis = false;
    bool showLegend = false;
    std::array<QColor, kChannelCount> channelColor = defaultChannelColors();
    qint32 scatterShape = 2;
    qint32 lineStyle = 1;
    // The labels the user gave the instruments, keyed by the place their port
    // is plugged in (its /dev/serial/by-path name, else the port).
    QMap<QString, QString> instrumentLabels;
    // The limits of instruments beyond the first that have limits of their
    // own, keyed by their labels; the first and every other instrument use
    // the limits above.
    QMap<QString, ConfigLimits> instrumentLimits;

    // The limits of the instrument labelled `label`: its own, else the
    // shared ones above.
    const ConfigLimits &limitsFor(const QString &label) const;

    static std::array<QColor, kChannelCount> defaultChannelColors();
};

// The alarm rules of the limits switched on, with the other rules' defaults.
AlarmSettings alarmLimits(const ConfigLimits &limits);

// config.cfg holds one byte array in data-stream form (stream version 18,
// big-endian: 32-bit length, then the bytes); the array holds the logo, the
// SettingsFileHead fields and the rest of AppSettings in declaration order, each in the stream's
// own encoding, floats widened to 8-byte doubles. There is no magic number or version: the field
// order is the whole contract, so new fields may only ever be appended. The instruments' labels
// and then their own limits (a map of label to ConfigLimits) come last, each written only when it
// or a field after it holds anything.
QByteArray encodeSettings(const AppSettings &settings);

// Reads a settings file's bytes into `settings`. Returns false, leaving
// `settings` untouched, when the outer array is missing or empty. Fields
// missing at the end of a short (older) file take the stream's empty values
// (empty image and string, 0, false), except the channel colours, which fall
// back to their defaults when invalid. A tester name that is the default in
// any language of the program reads as defaultTesterName(), in the language
// in use; any other name stays as typed. The logo is read within the limits of
// readImageWithLimits(); one that cannot be used (Dropped in `logo`) leaves
// `settings.logo` as it was, and the fields after it are still read.
bool decodeSettings(const QByteArray &fileBytes, AppSettings &settings, LogoRead *logo = nullptr);

// What a report carries while no settings file says otherwise: the program's
// own logo (a compiled-in image, so kxInitResources() must have run) and the
// company and tester names the settings page starts with, the tester's in
// the language in use (the translators installed).
QImage defaultLogo();
QString defaultCompanyName();
QString defaultTesterName();

enum class SettingsFileState
{
    Read,
    Missing,
    Unreadable, // exists but does not open; `errorString` says why
    Damaged,    // opens but holds no settings array
};

// Reads the settings file at `path` into `settings` (see decodeSettings);
// unless the result is Read, `settings` stays as it was.
SettingsFileState readSettingsFile(const QString &path, AppSettings &settings,
                                   QString *errorString = nullptr, LogoRead *logo = nullptr);
