#include "store/tablerows.h"

#include "instrument/temperature.h"

#include <algorithm>

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

QVector<int> fittedColumnWidths(bool narrow, bool english, const TableTextRoom &room)
{
    QChar widestDigit = QLatin1Char('0');
    int digitWidth = -1;
    for (char d = '0'; d <= '9'; ++d) {
        const int w = room.textWidth(QString(QLatin1Char(d)));
        if (w > digitWidth) {
            digitWidth = w;
            widestDigit = QLatin1Char(d);
        }
    }
    const auto widest = [&](const QStringList &samples) {
        int out = 0;
        for (QString text : samples) {
            for (QChar &c : text)
                if (c.isDigit())
                    c = widestDigit;
            out = qMax(out, room.textWidth(text));
        }
        return out + room.cellPadding;
    };

    const int number = widest({QString::number(room.largestNumber)});
    const int time = widest({recordTimeText(_T_EE_TEST_DATA(), !narrow)});
    // A shown value has at most four digits before its one decimal ("1000.0"),
    // a sign when negative (-270 degrees Celsius is "-454.0" in Fahrenheit),
    // or is one of the texts without a value.
    const int value = widest({valueText(1000.0f, StateValue, UnitCelsius),
                              valueText(-270.0f, StateValue, UnitFahrenheit), aboveRangeText(),
                              belowRangeText(), noReadingText()});
    QStringList letters;
    for (int code = 0; code < 8; ++code)
        letters << typeLetter(code);
    const int letter = widest(letters);

    QVector<int> widths = tableColumnWidths(narrow, english);
    for (int c = 0; c < widths.size(); ++c) {
        int content = value;
        if (c == 0)
            content = number;
        else if (c == 1)
            content = time;
        else if (!narrow && c % 2 == 1)
            content = letter;
        widths[c] = std::max({widths[c], room.headerWidths.value(c), content});
    }
    return widths;
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

std::optional<int> selectionShift(const ShownRows &before, const ShownRows &now)
{
    if (before.live && now.live && now.count >= before.count)
        return now.count - before.count;
    if (!before.live && !now.live && before.measurement == now.measurement &&
        before.generation == now.generation && before.count == now.count && before.top == now.top &&
        before.rows == now.rows)
        return 0;
    return std::nullopt;
}
