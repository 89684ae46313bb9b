#include "store/tablerows.h"

#include "instrument/temperature.h"

namespace {

QString twoDigits(int v)
{
    return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0'));
}

} // namespace

QStringList tableHeaders(bool narrow, const QString &unitText, const TableHeaderWords &words)
{
    QStringList out{words.number, words.time};
    for (int ch = 1; ch <= kChannelCount; ++ch) {
        const QString name = QStringLiteral("T%1").arg(ch);
        if (narrow) {
            out << name;
            continue;
        }
        out << name + QLatin1Char(' ') + words.temperature + QLatin1Char('(') + unitText +
                   QLatin1Char(')');
        out << name + QLatin1Char(' ') + words.thermocouple;
    }
    return out;
}

QVector<int> tableColumnWidths(bool narrow, bool english)
{
    if (narrow)
        return {50, 70, 50, 50, 50, 50};
    const int w = english ? 180 : 100;
    return {100, 200, w, w, w, w, w, w, w, w};
}

QString recordTimeText(const _T_EE_TEST_DATA &record, bool withDate)
{
    const QString time = twoDigits(record.hour) + QLatin1Char(':') + twoDigits(record.minute) +
                         QLatin1Char(':') + twoDigits(record.second);
    if (!withDate)
        return time;
    return QString::number(2000 + record.year) + QLatin1Char('-') + twoDigits(record.month) +
           QLatin1Char('-') + twoDigits(record.day) + QLatin1Char('-') + time;
}

LimitMark limitMark(float celsius, int state, bool limitsOn, float highLimit, float lowLimit)
{
    if (!limitsOn)
        return LimitNone;
    if ((state == StateValue && celsius > highLimit) || state == StateAboveRange)
        return LimitHigh;
    if ((state == StateValue && celsius < lowLimit) || state == StateBelowRange)
        return LimitLow;
    return LimitNone;
}

QStringList recordRowTexts(const _T_EE_TEST_DATA &record, int number, bool narrow, int unit)
{
    QStringList out{QString::number(number), recordTimeText(record, !narrow)};
    for (int ch = 0; ch < kChannelCount; ++ch) {
        out << valueText(record.value[ch], record.state[ch], unit);
        if (!narrow)
            out << typeLetter(record.type[ch] & 0x0F);
    }
    return out;
}

int valueColumn(int channel, bool narrow)
{
    return narrow ? 2 + channel : 2 + 2 * channel;
}
