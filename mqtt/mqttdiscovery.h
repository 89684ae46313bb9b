#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

// Home Assistant MQTT discovery: one temperature sensor per channel, read
// from the live topic, available while the status topic says "online" and
// the link topic "connected"; with alarms, one problem sensor per channel
// and one for the link, on while the alarm topic lists an alarm of theirs,
// available while the status topic says "online".
struct DiscoveryMessage
{
    QByteArray topic;
    QByteArray payload; // retained; empty removes the sensor
};

// The prefix with every character outside [a-zA-Z0-9_-] replaced by '_':
// the device's identifier and the start of each sensor's object id.
QString discoveryObjectId(const QString &topicPrefix);

// The configurations of the four channels on
// homeassistant/sensor/<object id>_t<n>/config and, with `alarms`, of the
// problem sensors on homeassistant/binary_sensor/<object id>_t<n>_alarm/config
// and .../<object id>_link_alarm/config; in `unit` (0 Celsius,
// 1 Fahrenheit, 2 Kelvin), which must be the unit of the live payloads. The
// device's software is the instrument's firmware (left out while unknown);
// the program's version is the origin's.
QVector<DiscoveryMessage> discoveryMessages(const QString &topicPrefix,
                                            const QString &instrumentName,
                                            const QString &firmwareVersion, int unit,
                                            bool alarms = false);

// All these topics, alarm sensors included, with empty payloads.
QVector<DiscoveryMessage> discoveryRemovals(const QString &topicPrefix);
