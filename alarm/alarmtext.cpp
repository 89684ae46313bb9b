#include "alarm/alarmtext.h"

#include "instrument/temperature.h"

#include <cmath>

namespace {
// The instrument reads tenths of a degree; a finer limit or a unit's
// conversion needs a few more decimals, and beyond six a float holds noise.
constexpr int kMostDecimals = 6;

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

int AlarmText::decimalsApart(double value, double limit)
{
    int decimals = 1;
    while (decimals < kMostDecimals && std::isfinite(value) && std::isfinite(limit) &&
           value != limit &&
           QString::number(value, 'f', decimals) == QString::number(limit, 'f', decimals))
        ++decimals;
    return decimals;
}

QString AlarmText::raised(const Alarm &alarm, int unit)
{
    if (std::isnan(alarm.limit))
        return tr("告警：%1").arg(brief(alarm));
    QString limit = temperature(alarm.limit, unit);
    QString value = temperature(alarm.value, unit);
    if (limit == value) {
        const double l = celsiusToUnit(alarm.limit, unit);
        const double v = celsiusToUnit(alarm.value, unit);
        const int decimals = decimalsApart(v, l);
        const QString symbol = QLatin1Char(' ') + unitSymbol(unit);
        limit = QString::number(l, 'f', decimals) + symbol;
        value = QString::number(v, 'f', decimals) + symbol;
    }
    return tr("告警：%1 %2（读数 %3）").arg(brief(alarm), limit, value);
}

QString AlarmText::cleared(const Alarm &alarm, int unit)
{
    const QString lasted = durationText(alarm.clearedMs - alarm.sinceMs);
    if (std::isnan(alarm.extreme))
        return tr("告警解除：%1，持续 %2").arg(brief(alarm), lasted);
    return tr("告警解除：%1，持续 %2，极值 %3")
        .arg(brief(alarm), lasted, temperature(alarm.extreme, unit));
}
