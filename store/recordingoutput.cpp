#include "store/recordingoutput.h"

#include "instrument/temperature.h"
#include "store/datafilestream.h"
#include "store/measurementgroups.h"

#include <QDir>
#include <QFileInfo>

bool parseSplitMode(const QString &text, SplitMode *mode)
{
    const QString t = text.toLower();
    if (t == QLatin1String("day"))
        *mode = SplitMode::Day;
    else if (t == QLatin1String("week"))
        *mode = SplitMode::Week;
    else if (t == QLatin1String("month"))
        *mode = SplitMode::Month;
    else
        return false;
    return true;
}

QDate periodStart(const QDate &date, SplitMode mode)
{
    switch (mode) {
    case SplitMode::Day:
        return date;
    case SplitMode::Week:
        return date.addDays(1 - date.dayOfWeek());
    case SplitMode::Month:
        return QDate(date.year(), date.month(), 1);
    case SplitMode::None:
        break;
    }
    return QDate();
}

QString periodFileName(const QString &out, SplitMode mode, const QDate &start)
{
    if (mode == SplitMode::None)
        return out;
    const QFileInfo info(out);
    QString suffix;
    if (mode == SplitMode::Day) {
        suffix = start.toString(QStringLiteral("yyyy-MM-dd"));
    } else if (mode == SplitMode::Week) {
        int year = 0;
        const int week = start.weekNumber(&year);
        suffix = QStringLiteral("%1-W%2").arg(year).arg(week, 2, 10, QLatin1Char('0'));
    } else {
        suffix = start.toString(QStringLiteral("yyyy-MM"));
    }
    const QString stem = info.completeBaseName() + QLatin1Char('_') + suffix;
    const QString ext = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    return info.dir().filePath(stem + ext);
}

namespace {

// The period of a reading; a reading without a valid date stays in the
// period before it.
QDate readingPeriod(const _T_EE_TEST_DATA &record, SplitMode mode, const QDate &previous)
{
    if (mode == SplitMode::None)
        return previous;
    const QDate date = dateTimeFromRecord(record).date();
    return date.isValid() ? periodStart(date, mode) : previous;
}

} // namespace

OutputResult writeJournalToOutput(const QString &journal, const QString &out, SplitMode mode,
                                  const QDate &before, const QString &label)
{
    OutputResult result;
    JournalReader reader(journal);
    if (!reader.open())
        return result;
    QString name = reader.header().name.isEmpty()
                       ? reader.header().started.toString(QStringLiteral("yyyyMMdd hh_mm_ss"))
                       : reader.header().name;
    if (!label.isEmpty())
        name = instrumentMeasurementName(name, label);
    const QDate keepFrom = before.isValid() ? periodStart(before, mode) : QDate();

    JournalReading ahead;
    bool haveAhead = reader.next(&ahead);
    QDate period = readingPeriod(ahead.record, mode, QDate());
    while (haveAhead) {
        if (keepFrom.isValid() && period.isValid() && period >= keepFrom) {
            do
                result.carry.append(ahead);
            while (reader.next(&ahead));
            break;
        }
        const QString file = periodFileName(out, mode, period);
        const QDateTime created = dateTimeFromRecord(ahead.record);
        quint32 count = 0;
        bool first = true;
        const RecordSource source = [&](_T_EE_TEST_DATA *record) {
            if (!first) {
                haveAhead = reader.next(&ahead);
                if (!haveAhead)
                    return false;
                const QDate p = readingPeriod(ahead.record, mode, period);
                if (p != period) {
                    period = p;
                    return false;
                }
            }
            first = false;
            *record = ahead.record;
            ++count;
            return true;
        };
        if (!writeMeasurementToFile(file, name, created, source, &result.error,
                                    &result.errorCode)) {
            result.ok = false;
            result.failedFile = file;
            return result;
        }
        result.readings += count;
        result.written.append({file, count});
    }
    return result;
}
