#include "alarm/alarmtext.h"

#include "instrument/temperature.h"

#include <cmath>

namespace {
QString durationText(qint64 ms)
{
    const qint64 s = qMax<qint64>(0, ms / 1000);
    return QStringLiteral("%1:%2:%3")
        .arg(s / 3600, 2, 10, QLatin1Char('0'))
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}
} // namespace

QString AlarmText::kind(AlarmKind kind)
{
    switch (kind) {
    case AlarmKind::High:
        return tr("高于上限");
    case AlarmKind::Low:
        return tr("低于下限");
    case AlarmKind::Open:
        return tr("探头开路");
    case AlarmKind::OverRange:
        return tr("超出量程上限");
    case AlarmKind::UnderRange:
        return tr("低于量程下限");
    case AlarmKind::LinkLost:
        return tr("与仪器的连接丢失");
    }
    return QString();
}

QString AlarmText::channel(int channel)
{
    if (channel < 0 || channel >= kChannelCount)
        return tr("仪器");
    return QStringLiteral("T%1").arg(channel + 1);
}

QString AlarmText::brief(const Alarm &alarm)
{
    if (alarm.channel == kAlarmLinkChannel)
        return kind(alarm.kind);
    return channel(alarm.channel) + QLatin1Char(' ') + kind(alarm.kind);
}

QString AlarmText::temperature(float celsius, int unit)
{
    return valueText(celsius, StateValue, unit) + QLatin1Char(' ') + unitSymbol(unit);
}

QString AlarmText::raised(const Alarm &alarm, int unit)
{
    if (std::isnan(alarm.limit))
        return tr("告警：%1").arg(brief(alarm));
    return tr("告警：%1 %2（读数 %3）")
        .arg(brief(alarm), temperature(alarm.limit, unit), temperature(alarm.value, unit));
}

QString AlarmText::cleared(const Alarm &alarm, int unit)
{
    const QString lasted = durationText(alarm.clearedMs - alarm.sinceMs);
    if (std::isnan(alarm.extreme))
        return tr("告警解除：%1，持续 %2").arg(brief(alarm), lasted);
    return tr("告警解除：%1，持续 %2，极值 %3")
        .arg(brief(alarm), lasted, temperature(alarm.extreme, unit));
}
