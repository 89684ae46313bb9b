#pragma once

#include "instrument/records.h"

#include <QObject>

class AlarmMonitor;
class DevKX740D;
class MqttPublisher;

// Hands the driver's readings to a publisher: every live reading, and every
// reading the driver stores while recording, in order, each once. A new
// recording (the driver's recording flag turned on, or its recorded readings
// cleared) starts a new recording id. Readings stored before the feed was
// made are not published. The instrument's firmware version goes to the
// publisher as it becomes known. Lives on the driver's thread; neither
// object is owned.
class MqttFeed : public QObject
{
    Q_OBJECT

public:
    // With `recorded` false only live readings are handed over: recorded ones
    // reach the publisher some other way (the recorder's outbox).
    MqttFeed(DevKX740D &device, MqttPublisher &publisher, QObject *parent = nullptr,
             bool recorded = true);

    // The unit of the payloads (0 Celsius, 1 Fahrenheit, 2 Kelvin); at first
    // the unit of the driver's last control configuration.
    void setUnit(int unit);
    int unit() const { return m_unit; }

    // Publishes the monitor's active alarms (retained) and each raise and
    // clear, in the feed's unit; the monitor must outlive the feed.
    void watchAlarms(AlarmMonitor &monitor);

private:
    void publishLive(const _T_PRINT_OUT_DATA &reading);
    void publishStored(const _T_PRINT_OUT_DATA &reading, const _T_TIME &time);

    DevKX740D &m_device;
    MqttPublisher &m_publisher;
    int m_unit = 0;
    int m_published = 0; // the driver's count of recorded readings at the last one handed over
    bool m_wasRecording = false;
};
