#include "mqtt/mqttdiscovery.h"

#include "alarm/alarmrules.h"
#include "instrument/records.h"
#include "mqtt/mqttpayload.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QByteArray configTopic(const QString &objectId, int channel)
{
    return QStringLiteral("homeassistant/sensor/%1_t%2/config")
        .arg(objectId)
        .arg(channel + 1)
        .toUtf8();
}

// The alarm sensor of a channel, or of the link.
QString alarmSensorId(const QString &objectId, int channel)
{
    return objectId + QLatin1Char('_') + alarmChannelToken(channel).toLower() +
           QStringLiteral("_alarm");
}

QByteArray alarmConfigTopic(const QString &sensorId)
{
    return QStringLiteral("homeassistant/binary_sensor/%1/config").arg(sensorId).toUtf8();
}

// Home Assistant's entity id for a sensor: the domain, '.' and the id in
// lower case, anything but letters and digits as single '_', none at either end.
QString defaultEntityId(const QString &sensorId, const QString &domain = QStringLiteral("sensor"))
{
    QString slug;
    for (const QChar c : sensorId.toLower()) {
        const ushort u = c.unicode();
        if ((u >= 'a' && u <= 'z') || (u >= '0' && u <= '9'))
            slug += c;
        else if (!slug.endsWith(QLatin1Char('_')))
            slug += QLatin1Char('_');
    }
    while (slug.startsWith(QLatin1Char('_')))
        slug.remove(0, 1);
    while (slug.endsWith(QLatin1Char('_')))
        slug.chop(1);
    return domain + QLatin1Char('.') + slug;
}

} // namespace

QString discoveryObjectId(const QString &topicPrefix)
{
    QString id = topicPrefix;
    for (QChar &c : id) {
        const ushort u = c.unicode();
        const bool allowed = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') ||
                             (u >= '0' && u <= '9') || u == '_' || u == '-';
        if (!allowed)
            c = QLatin1Char('_');
    }
    return id;
}

QVector<DiscoveryMessage> discoveryMessages(const QString &topicPrefix,
                                            const QString &instrumentName,
                                            const QString &firmwareVersion, int unit, bool alarms)
{
    const QString objectId = discoveryObjectId(topicPrefix);
    const QString name =
        instrumentName.trimmed().isEmpty() ? QStringLiteral("KX740D") : instrumentName.trimmed();
    QJsonObject device{
        {QStringLiteral("identifiers"), QJsonArray{objectId}},
        {QStringLiteral("name"), name},
        {QStringLiteral("model"), QStringLiteral("KX740D")},
    };
    if (!firmwareVersion.trimmed().isEmpty())
        device.insert(QStringLiteral("sw_version"), firmwareVersion.trimmed());
    const QJsonObject origin{
        {QStringLiteral("name"), QStringLiteral("kx740d")},
        {QStringLiteral("sw_version"), QStringLiteral(KX_VERSION)},
    };

    QVector<DiscoveryMessage> out;
    for (int ch = 0; ch < kChannelCount; ++ch) {
        const QString sensorId = QStringLiteral("%1_t%2").arg(objectId).arg(ch + 1);
        // A null value renders as "None", which Home Assistant shows as unknown.
        const QJsonObject config{
            {QStringLiteral("name"), QStringLiteral("T%1").arg(ch + 1)},
            {QStringLiteral("unique_id"), sensorId},
            {QStringLiteral("default_entity_id"), defaultEntityId(sensorId)},
            {QStringLiteral("state_topic"), topicPrefix + QStringLiteral("/live")},
            {QStringLiteral("value_template"),
             QStringLiteral("{{ value_json.channels[%1].value }}").arg(ch)},
            {QStringLiteral("device_class"), QStringLiteral("temperature")},
            {QStringLiteral("unit_of_measurement"), payloadUnit(unit)},
            {QStringLiteral("state_class"), QStringLiteral("measurement")},
            {QStringLiteral("suggested_display_precision"), 1},
            // Available while the publisher is online and the instrument
            // connected to it.
            {QStringLiteral("availability"),
             QJsonArray{
                 QJsonObject{{QStringLiteral("topic"), topicPrefix + QStringLiteral("/status")}},
                 QJsonObject{{QStringLiteral("topic"), topicPrefix + QStringLiteral("/link")},
                             {QStringLiteral("payload_available"), QStringLiteral("connected")},
                             {QStringLiteral("payload_not_available"), QStringLiteral("lost")}}}},
            {QStringLiteral("availability_mode"), QStringLiteral("all")},
            {QStringLiteral("device"), device},
            {QStringLiteral("origin"), origin},
        };
        out.append(
            {configTopic(objectId, ch), QJsonDocument(config).toJson(QJsonDocument::Compact)});
    }
    if (!alarms)
        return out;
    // On while the retained list holds an alarm of the channel; an alarm
    // does not wait for the link, so only the publisher's status counts.
    for (int ch = -1; ch < kChannelCount; ++ch) {
        const int channel = ch < 0 ? kAlarmLinkChannel : ch;
        const QString sensorId = alarmSensorId(objectId, channel);
        const QString token = alarmChannelToken(channel);
        const QJsonObject config{
            {QStringLiteral("name"), channel == kAlarmLinkChannel
                                         ? QStringLiteral("Link alarm")
                                         : token + QStringLiteral(" alarm")},
            {QStringLiteral("unique_id"), sensorId},
            {QStringLiteral("default_entity_id"),
             defaultEntityId(sensorId, QStringLiteral("binary_sensor"))},
            {QStringLiteral("state_topic"), topicPrefix + QStringLiteral("/alarm")},
            {QStringLiteral("value_template"),
             QStringLiteral("{{ 'ON' if value_json | selectattr('channel', 'equalto', '%1') "
                            "| list | count > 0 else 'OFF' }}")
                 .arg(token)},
            {QStringLiteral("device_class"), QStringLiteral("problem")},
            {QStringLiteral("availability_topic"), topicPrefix + QStringLiteral("/status")},
            {QStringLiteral("device"), device},
            {QStringLiteral("origin"), origin},
        };
        out.append(
            {alarmConfigTopic(sensorId), QJsonDocument(config).toJson(QJsonDocument::Compact)});
    }
    return out;
}

QVector<DiscoveryMessage> discoveryRemovals(const QString &topicPrefix)
{
    const QString objectId = discoveryObjectId(topicPrefix);
    QVector<DiscoveryMessage> out;
    for (int ch = 0; ch < kChannelCount; ++ch)
        out.append({configTopic(objectId, ch), QByteArray()});
    for (int ch = -1; ch < kChannelCount; ++ch)
        out.append({alarmConfigTopic(alarmSensorId(objectId, ch < 0 ? kAlarmLinkChannel : ch)),
                    QByteArray()});
    return out;
}
