#include "export/workbookrules.h"

namespace {

bool taken(const QString &name, const QStringList &existing)
{
    for (const QString &e : existing) {
        if (e.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
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

QVector<double> workbookColumnWidths()
{
    return {8.13, 21.88, 21.88, 18, 21.88, 18, 21.88, 18, 21.88, 18};
}
