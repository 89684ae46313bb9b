#pragma once

#include "instrument/records.h"

#include <QObject>
#include <QString>
#include <QUuid>

#include <functional>

class AlarmMonitor;
class DevKX740D;
class MqttPublisher;

// Hands the driver's live readings to a publisher, and the recorded readings
// it is given under the recording's own id and sequence numbers: the
// recording's owner knows where a recording begins, the driver does not (a
// recording of one reading looks to it like a stored reading of the last
// one). The instrument's firmware version goes to the publisher as it
// becomes known. Lives on the driver's thread; neither object is owned.
class MqttFeed : public QObject
{
    Q_OBJECT

public:
    MqttFeed(DevKX740D &device, MqttPublisher &publisher, QObject *parent = nullptr);

    // The unit of the payloads (0 Celsius, 1 Fahrenheit, 2 Kelvin); at first
    // the unit of the driver's last control configuration.
    void setUnit(int unit);
    int unit() const { return m_unit; }

    // The recorded readings to come belong to the recording `id`.
    void beginRecording(const QUuid &id);
    // A reading the recording stored as number `seq` (from 1).
    void publishRecorded(quint32 seq, const _T_EE_TEST_DATA &record);
    // Takes each alarm event's payload (alarmEventPayload); the caller keeps
    // it until the broker has it and hands it to the publisher.
    using EventSink = std::function<void(const QByteArray &payload)>;
    // Publishes the monitor's active alarms (retained), and gives each raise
    // and clear to `events`, in the feed's unit; the monitor must outlive
    // the feed.
    void watchAlarms(AlarmMonitor &monitor, EventSink events);

private:
    void publishLive(const _T_PRINT_OUT_DATA &reading);

    DevKX740D &m_device;
    MqttPublisher &m_publisher;
    int m_unit = 0;
    QString m_recordingId;
};
