#include "mqtt/mqttalarm.h"

#include "alarm/alarmtext.h"
#include "instrument/temperature.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>

namespace {

// Rounded to `decimals`: one, or as many as it takes for a value beyond
// its limit not to read equal to it.
QJsonValue temperatureValue(float celsius, int unit, int decimals = 1)
{
    if (!std::isfinite(celsius))
        return QJsonValue::Null;
    const double scale = std::pow(10.0, decimals);
    return std::round(double(celsiusToUnit(celsius, unit)) * scale) / scale;
}

QString timeText(qint64 ms)
{
    return isoTimeWithOffset(QDateTime::fromMSecsSinceEpoch(ms));
}

QJsonObject alarmObject(const Alarm &alarm, int unit)
{
    const int decimals = AlarmText::decimalsApart(double(celsiusToUnit(alarm.value, unit)),
                                                  double(celsiusToUnit(alarm.limit, unit)));
    return QJsonObject{
        {QStringLiteral("id"), double(alarm.id)},
        {QStringLiteral("channel"), alarmChannelToken(alarm.channel)},
        {QStringLiteral("kind"), alarmKindToken(alarm.kind)},
        {QStringLiteral("since"), timeText(alarm.sinceMs)},
        {QStringLiteral("value"), temperatureValue(alarm.value, unit, decimals)},
        {QStringLiteral("limit"), temperatureValue(alarm.limit, unit, decimals)},
        {QStringLiteral("unit"), unitToken(unit)},
    };
}

} // namespace

QByteArray alarmListPayload(const QVector<Alarm> &alarms, int unit)
{
    QJsonArray list;
    for (const Alarm &a : alarms)
        list.append(alarmObject(a, unit));
    return QJsonDocument(list).toJson(QJsonDocument::Compact);
}

QByteArray alarmEventPayload(const Alarm &alarm, bool raised, int unit)
{
    QJsonObject o = alarmObject(alarm, unit);
    o.insert(QStringLiteral("event"),
             raised ? QStringLiteral("raised") : QStringLiteral("cleared"));
    o.insert(QStringLiteral("time"), timeText(raised ? alarm.raisedMs : alarm.clearedMs));
    if (!raised)
        o.insert(QStringLiteral("extreme"), temperatureValue(alarm.extreme, unit));
    return QJsonDocument(o).toJson(QJsonDocument::Compact);
}
