#include "mqtt/mqttfeed.h"

#include "alarm/alarmmonitor.h"
#include "instrument/devkx740d.h"
#include "mqtt/mqttalarm.h"
#include "mqtt/mqttpublisher.h"

MqttFeed::MqttFeed(DevKX740D &device, MqttPublisher &publisher, QObject *parent, bool recorded)
    : QObject(parent), m_device(device), m_publisher(publisher), m_unit(device.ctrlConfig().unit),
      m_published(device.recordedCount()), m_wasRecording(device.isRecording())
{
    m_publisher.setUnit(m_unit);
    m_publisher.setFirmwareVersion(device.firmwareVersion());
    connect(&device, &DevKX740D::deviceInfo, this,
            [this](const QString &, const QString &firmware) {
                m_publisher.setFirmwareVersion(firmware);
            });
    // The driver stores a reading and signals its statistics before it
    // signals the live reading itself.
    if (recorded)
        connect(&device, &DevKX740D::readingRecorded, this, &MqttFeed::publishStored);
    connect(&device, &DevKX740D::live_data, this, &MqttFeed::publishLive);
}

void MqttFeed::setUnit(int unit)
{
    m_unit = unit;
    m_publisher.setUnit(unit);
}

void MqttFeed::publishLive(const _T_PRINT_OUT_DATA &reading)
{
    m_wasRecording = m_device.isRecording();
    // UTC: cheap here; the publisher shows it as local time.
    m_publisher.publishLive(reading, QDateTime::currentDateTimeUtc(), m_unit, m_wasRecording);
}

void MqttFeed::publishStored(const _T_PRINT_OUT_DATA &reading, const _T_TIME &time)
{
    const int count = m_device.recordedCount();
    const bool recording = m_device.isRecording();
    // The driver's count starts again with every recording.
    if (count <= m_published || (recording && !m_wasRecording))
        m_publisher.beginRecording();
    m_wasRecording = recording;
    m_published = count;
    m_publisher.publishRecorded(reading, time, m_unit);
}

void MqttFeed::watchAlarms(AlarmMonitor &monitor)
{
    auto publishList = [this, &monitor] {
        m_publisher.setAlarms(alarmListPayload(monitor.activeAlarms(), m_unit));
    };
    publishList();
    connect(&monitor, &AlarmMonitor::raised, this, [this, publishList](const Alarm &alarm) {
        m_publisher.publishAlarmEvent(alarmEventPayload(alarm, true, m_unit));
        publishList();
    });
    connect(&monitor, &AlarmMonitor::cleared, this, [this, publishList](const Alarm &alarm) {
        m_publisher.publishAlarmEvent(alarmEventPayload(alarm, false, m_unit));
        publishList();
    });
}
