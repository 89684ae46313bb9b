#include "mqtt/mqttfeed.h"

#include "alarm/alarmmonitor.h"
#include "instrument/devkx740d.h"
#include "mqtt/mqttalarm.h"
#include "mqtt/mqttpublisher.h"

MqttFeed::MqttFeed(DevKX740D &device, MqttPublisher &publisher, QObject *parent)
    : QObject(parent), m_device(device), m_publisher(publisher), m_unit(device.ctrlConfig().unit)
{
    m_publisher.setUnit(m_unit);
    m_publisher.setFirmwareVersion(device.firmwareVersion());
    connect(&device, &DevKX740D::deviceInfo, this,
            [this](const QString &, const QString &firmware) {
                m_publisher.setFirmwareVersion(firmware);
            });
    connect(&device, &DevKX740D::live_data, this, &MqttFeed::publishLive);
}

void MqttFeed::setUnit(int unit)
{
    m_unit = unit;
    m_publisher.setUnit(unit);
}

void MqttFeed::publishLive(const _T_PRINT_OUT_DATA &reading)
{
    // UTC: cheap here; the publisher shows it as local time.
    m_publisher.publishLive(reading, QDateTime::currentDateTimeUtc(), m_unit,
                            m_device.isRecording());
}

void MqttFeed::beginRecording(const QUuid &id)
{
    m_recordingId = id.toString(QUuid::WithoutBraces);
}

void MqttFeed::publishRecorded(quint32 seq, const _T_EE_TEST_DATA &record)
{
    if (!m_recordingId.isEmpty())
        m_publisher.publishRecorded(m_recordingId, seq, record, m_unit);
}

void MqttFeed::watchAlarms(AlarmMonitor &monitor, EventSink events)
{
    auto publishList = [this, &monitor] {
        m_publisher.setAlarms(alarmListPayload(monitor.activeAlarms(), m_unit));
    };
    publishList();
    connect(&monitor, &AlarmMonitor::raised, this, [this, publishList, events](const Alarm &alarm) {
        events(alarmEventPayload(alarm, true, m_unit));
        publishList();
    });
    connect(&monitor, &AlarmMonitor::cleared, this,
            [this, publishList, events](const Alarm &alarm) {
                events(alarmEventPayload(alarm, false, m_unit));
                publishList();
            });
}
