#include "app/alarmconfig.h"

#include "store/atomicfile.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace {
// What the settings page offers; a hand-edited file cannot go beyond it.
constexpr double kMaxHysteresisC = 50.0;
constexpr int kMaxDelaySeconds = 3600;
constexpr int kMaxLinkLostSeconds = 86400;
} // namespace

bool AlarmOptions::operator==(const AlarmOptions &o) const
{
    return hysteresisC == o.hysteresisC && delaySeconds == o.delaySeconds && probe == o.probe &&
           linkLostSeconds == o.linkLostSeconds && notify == o.notify && sound == o.sound;
}

AlarmOptions readAlarmFile(const QString &fileName)
{
    AlarmOptions o;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return o;
    const QJsonObject json = QJsonDocument::fromJson(file.read(64 * 1024)).object();
    o.hysteresisC = std::clamp(json.value(QLatin1String("hysteresis_c")).toDouble(o.hysteresisC),
                               0.0, kMaxHysteresisC);
    o.delaySeconds =
        std::clamp(json.value(QLatin1String("delay_s")).toInt(o.delaySeconds), 0, kMaxDelaySeconds);
    o.probe = json.value(QLatin1String("probe")).toBool(o.probe);
    o.linkLostSeconds = std::clamp(
        json.value(QLatin1String("link_lost_s")).toInt(o.linkLostSeconds), 0, kMaxLinkLostSeconds);
    o.notify = json.value(QLatin1String("notify")).toBool(o.notify);
    o.sound = json.value(QLatin1String("sound")).toBool(o.sound);
    return o;
}

bool writeAlarmFile(const QString &fileName, const AlarmOptions &options, QString *error)
{
    QJsonObject json;
    json.insert(QLatin1String("hysteresis_c"), options.hysteresisC);
    json.insert(QLatin1String("delay_s"), options.delaySeconds);
    json.insert(QLatin1String("probe"), options.probe);
    json.insert(QLatin1String("link_lost_s"), options.linkLostSeconds);
    json.insert(QLatin1String("notify"), options.notify);
    json.insert(QLatin1String("sound"), options.sound);
    return writeFileAtomically(fileName, QJsonDocument(json).toJson(), error);
}
