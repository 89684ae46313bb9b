#include "store/csvtext.h"

#include "instrument/temperature.h"

#include <QCoreApplication>

namespace {

QString twoDigits(int v)
{
    return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0'));
}

} // namespace

TableHeaderWords exportColumnWords()
{
    TableHeaderWords w;
    w.number = QCoreApplication::translate("DataOutput", "NO.");
    w.time = QCoreApplication::translate("DataOutput", "time");
    w.temperature = QCoreApplication::translate("DataOutput", "Temperature");
    w.thermocouple = QCoreApplication::translate("DataOutput", "Thermocouple");
    return w;
}

QStringList workbookHeaders(int unit, const TableHeaderWords &words)
{
    QStringList out{words.number, words.time};
    for (int ch = 1; ch <= kChannelCount; ++ch) {
        const QString channel = QStringLiteral("T%1 ").arg(ch);
        out << channel + words.temperature + QLatin1Char('(') + unitSymbol(unit) + QLatin1Char(')');
        out << channel + words.thermocouple;
    }
    return out;
}

QString recordStampText(const _T_EE_TEST_DATA &r, QChar dateSeparator)
{
    return QString::number(2000 + r.year) + dateSeparator + twoDigits(r.month) + dateSeparator +
           twoDigits(r.day) + QLatin1Char(' ') + twoDigits(r.hour) + QLatin1Char(':') +
           twoDigits(r.minute) + QLatin1Char(':') + twoDigits(r.second);
}

QStringList csvRecordFields(const _T_EE_TEST_DATA &record, int number, int unit)
{
    QStringList out;
    out.reserve(2 + 2 * kChannelCount);
    out << QString::number(number);
    out << recordStampText(record, QLatin1Char('-'));
    for (int ch = 0; ch < kChannelCount; ++ch) {
        if (record.state[ch] == StateValue)
            out << QString::number(double(celsiusToUnit(record.value[ch], unit)), 'f', 1);
        else
            out << valueText(record.value[ch], record.state[ch], unit);
        out << typeLetter(record.type[ch]);
    }
    return out;
}

QString csvLine(const QStringList &fields)
{
    QString line;
    for (int i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += QLatin1Char(',');
        const QString &f = fields[i];
        if (f.contains(QLatin1Char(',')) || f.contains(QLatin1Char('"')) ||
            f.contains(QLatin1Char('\n')) || f.contains(QLatin1Char('\r'))) {
            QString quoted = f;
            quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
            line += QLatin1Char('"') + quoted + QLatin1Char('"');
        } else {
            line += f;
        }
    }
    return line;
}
