#include "export/workbookrules.h"

#include "instrument/temperature.h"

namespace {

bool taken(const QString &name, const QStringList &existing)
{
    for (const QString &e : existing) {
        if (e.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QString twoDigits(int v)
{
    return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0'));
}

} // namespace

QString validSheetName(const QString &name)
{
    QString out = name;
    for (QChar &c : out) {
        if (QStringLiteral("[]:*?/\\").contains(c))
            c = QLatin1Char('_');
    }
    out = out.left(kSheetNameLimit);
    if (out.startsWith(QLatin1Char('\'')))
        out[0] = QLatin1Char('_');
    if (out.endsWith(QLatin1Char('\'')))
        out[out.size() - 1] = QLatin1Char('_');
    return out.isEmpty() ? QStringLiteral("Sheet") : out;
}

QString uniqueSheetName(const QString &name, const QStringList &existing, int counter)
{
    const QString base = validSheetName(name);
    const QString step = QStringLiteral("(%1)").arg(counter);
    QString suffix;
    QString candidate = base;
    while (taken(candidate, existing)) {
        suffix += step;
        if (suffix.size() >= kSheetNameLimit) // cannot happen with fewer than 2^31 sheets
            return candidate;
        candidate = base.left(kSheetNameLimit - suffix.size()) + suffix;
    }
    return candidate;
}

QVector<SheetPart> workbookSheets(const QStringList &names, const QVector<int> &recordCounts,
                                  int recordsPerSheet)
{
    QVector<SheetPart> out;
    QStringList used;
    int counter = 1;
    const int perSheet = qMax(1, recordsPerSheet);
    for (int m = 0; m < names.size(); ++m) {
        const int count = m < recordCounts.size() ? recordCounts[m] : 0;
        int first = 0;
        do {
            SheetPart part;
            part.name = uniqueSheetName(names[m], used, counter++);
            part.measurement = m;
            part.firstRecord = first;
            part.recordCount = qMin(perSheet, count - first);
            used << part.name;
            out << part;
            first += part.recordCount;
        } while (first < count);
    }
    return out;
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

QVector<double> workbookColumnWidths()
{
    return {8.13, 21.88, 21.88, 18, 21.88, 18, 21.88, 18, 21.88, 18};
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
