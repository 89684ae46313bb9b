#include "instrument/temperature.h"

namespace {

// Above this a value is shown without its decimal, to keep the text short.
constexpr double kNoDecimalAbove = 1000.0;

} // namespace

float celsiusToUnit(float celsius, int unit)
{
    const double c = celsius;
    switch (unit) {
    case UnitFahrenheit:
        return float(c * 1.8 + 32.0);
    case UnitKelvin:
        return float(c + 273.15);
    default:
        return celsius;
    }
}

float unitToCelsius(float value, int unit)
{
    const double v = value;
    switch (unit) {
    case UnitFahrenheit:
        return float((v - 32.0) / 1.8);
    case UnitKelvin:
        return float(v - 273.15);
    default:
        return value;
    }
}

QString unitSymbol(int unit)
{
    switch (unit) {
    case UnitFahrenheit:
        return QStringLiteral("℉");
    case UnitKelvin:
        return QStringLiteral("K");
    default:
        return QStringLiteral("℃");
    }
}

QString typeLetter(int typeCode)
{
    static const char letters[] = "KJTERSNB";
    if (typeCode < 0 || typeCode > TypeB)
        return QString();
    return QString(QLatin1Char(letters[typeCode]));
}

TypeRange typeRange(int typeCode)
{
    static const TypeRange ranges[] = {
        {-200, 1372}, // K
        {-210, 1200}, // J
        {-250, 400},  // T
        {-150, 1000}, // E
        {0, 1767},    // R
        {0, 1767},    // S
        {-200, 1300}, // N
        {0, 1820},    // B
    };
    if (typeCode < 0 || typeCode > TypeB)
        return TypeRange();
    return ranges[typeCode];
}

QString aboveRangeText()
{
    return QStringLiteral("OL");
}

QString belowRangeText()
{
    return QStringLiteral("-OL");
}

QString noReadingText()
{
    return QStringLiteral("--\\--");
}

QString valueText(float celsius, int state, int unit, bool general)
{
    switch (state) {
    case StateValue:
        break;
    case StateBelowRange:
        return belowRangeText();
    case StateAboveRange:
        return aboveRangeText();
    default:
        return noReadingText();
    }
    const double v = celsiusToUnit(celsius, unit);
    if (general)
        return QString::number(v, 'g', 6);
    return shownValueText(v);
}

QString shownValueText(double value)
{
    return QString::number(value, 'f', value > kNoDecimalAbove ? 0 : 1);
}

QDateTime dateTimeFromRecord(quint32 yearMonthDayHour, quint16 minuteSecond)
{
    const int year = 2000 + int(yearMonthDayHour & 0xFF);
    const int month = int((yearMonthDayHour >> 8) & 0xFF);
    const int day = int((yearMonthDayHour >> 16) & 0xFF);
    const int hour = int(yearMonthDayHour >> 24);
    const int minute = minuteSecond & 0xFF;
    const int second = minuteSecond >> 8;
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second, 0));
}

QDateTime dateTimeFromRecord(const _T_EE_TEST_DATA &record)
{
    return QDateTime(QDate(2000 + record.year, record.month, record.day),
                     QTime(record.hour, record.minute, record.second, 0));
}

QString isoTimeWithOffset(const QDateTime &time)
{
    return time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODate);
}

QString unitToken(int unit)
{
    switch (unit) {
    case UnitFahrenheit:
        return QStringLiteral("°F");
    case UnitKelvin:
        return QStringLiteral("K");
    default:
        return QStringLiteral("°C");
    }
}
