#include "export/fileexport.h"

#include "export/xlsxdocument.h"
#include "instrument/temperature.h"
#include "store/atomicfiledevice.h"
#include "store/csvtext.h"

#include <QDateTime>

#include <QTextStream>

#include <charconv>
#include <cstdlib>

namespace {

// The shortest decimal that reads back as `value`, as a double: 25.3f goes
// into the workbook as 25.3, not as 25.299999237060547.
double shortestDouble(float value)
{
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text - 1, value);
    *result.ptr = '\0';
    return std::strtod(text, nullptr);
}

constexpr int kStreamedSheetLimit = 200;

// The statistics sheet: the header, one row per measurement (or group) and
// channel with readings, then after an empty row the largest spread of each.
bool writeStatisticsSheet(XlsxDocument &doc, const QVector<ExportSource> &sources, int unit,
                          const StatisticsSheet &statistics, const XlsxFormat &header,
                          const XlsxFormat &body, const XlsxFormat &date)
{
    XlsxFormat number = body;
    number.numberFormat = QStringLiteral("0.00");
    lxw_format *headerFormat = doc.format(header);
    lxw_format *bodyFormat = doc.format(body);
    lxw_format *numberFormat = doc.format(number);
    lxw_format *dateFormat = doc.format(date);
    const auto writeRow = [&](int row, const QVariantList &cells) {
        bool ok = true;
        for (int c = 0; ok && c < cells.size(); ++c) {
            const QVariant &v = cells[c];
            switch (v.userType()) {
            case QMetaType::Double:
                ok = doc.write(row, c + 1, v.toDouble(), numberFormat);
                break;
            case QMetaType::LongLong:
                ok = doc.write(row, c + 1, double(v.toLongLong()), bodyFormat);
                break;
            case QMetaType::QDateTime:
                ok = doc.write(row, c + 1, v.toDateTime(), dateFormat);
                break;
            case QMetaType::QString:
                ok = doc.write(row, c + 1, v.toString(), bodyFormat);
                break;
            default: // a limit that is not set: an empty cell
                break;
            }
        }
        return ok;
    };
    const QStringList names = doc.sheetNames();
    bool ok = doc.addSheet(uniqueSheetName(statistics.texts.title, names, 1));
    const QStringList headers = statisticsHeader(statistics.texts, unit);
    for (int c = 0; ok && c < headers.size(); ++c)
        ok = doc.setColumnWidth(c + 1, c + 1, c == 0 ? 21.88 : 14) &&
             doc.write(1, c + 1, headers[c], headerFormat);
    int row = 2;
    QVector<SourceFigures> figures;
    for (const ExportSource &source : sources) {
        figures << sourceFigures(source, statistics.alarms);
        for (const QVariantList &cells : statisticsRows(source, figures.last(), unit)) {
            if (ok)
                ok = writeRow(row++, cells);
        }
    }
    ++row;
    QStringList spreadHeader = statistics.texts.spreadHeader;
    if (spreadHeader.size() > 1)
        spreadHeader[1] += QLatin1Char('(') + unitSymbol(unit) + QLatin1Char(')');
    for (int c = 0; ok && c < spreadHeader.size(); ++c)
        ok = doc.write(row, c + 1, spreadHeader[c], headerFormat);
    for (int i = 0; ok && i < figures.size(); ++i)
        ok = writeRow(++row, spreadCells(sources[i], figures[i], unit));
    return ok;
}

bool failWith(QString *error, const QString &message)
{
    if (error)
        *error = message;
    return false;
}

} // namespace

bool writeWorkbook(const Data_table_T &archive, const QString &fileName, int unit,
                   const TableHeaderWords &words, QString *error, int recordsPerSheet,
                   const StatisticsSheet *statistics)
{
    return writeWorkbook(exportSources(archive), fileName, unit, words, error, recordsPerSheet,
                         statistics);
}

bool writeWorkbook(const QVector<ExportSource> &sources, const QString &fileName, int unit,
                   const TableHeaderWords &words, QString *error, int recordsPerSheet,
                   const StatisticsSheet *statistics)
{
    QStringList names;
    QVector<int> counts;
    QVector<GroupRows> rows;
    for (const ExportSource &source : sources) {
        rows << GroupRows(source.measurements);
        names << source.name;
        counts << rows.last().rowCount();
    }
    const QVector<SheetPart> sheets = workbookSheets(names, counts, recordsPerSheet);

    // Rows go to disk as they are written, which keeps large measurements
    // out of memory; that holds a file open per sheet, so an archive of very
    // many sheets is kept in memory instead.
    XlsxDocument doc(fileName, sheets.size() <= kStreamedSheetLimit);
    if (!doc.isOpen())
        return failWith(error, doc.errorString());

    XlsxFormat header;
    header.horizontal = XlsxFormat::HorizontalCenter;
    header.verticalCenter = true;
    header.thinBorder = true;
    header.bold = true;
    XlsxFormat body = header;
    body.bold = false;
    XlsxFormat date;
    date.horizontal = XlsxFormat::HorizontalLeft;
    date.thinBorder = true;
    date.numberFormat = QStringLiteral("yyyy/MM/dd hh:mm:ss");
    // Number format 2 ("0.00") overridden by "#.0": one decimal is what shows.
    XlsxFormat value = body;
    value.builtInNumberFormat = 2;
    value.numberFormat = QStringLiteral("#.0");
    lxw_format *headerFormat = doc.format(header);
    lxw_format *bodyFormat = doc.format(body);
    lxw_format *dateFormat = doc.format(date);
    lxw_format *valueFormat = doc.format(value);

    // Texts that repeat in every row, encoded once.
    QByteArray letters[8];
    for (int t = 0; t < 8; ++t)
        letters[t] = typeLetter(t).toUtf8();
    const QByteArray noLetter;
    const QByteArray above = aboveRangeText().toUtf8();
    const QByteArray below = belowRangeText().toUtf8();
    const QByteArray none = noReadingText().toUtf8();
    // The four channels of `r` from `column` on: value and type letter each.
    const auto writeChannels = [&](int row, int column, const _T_EE_TEST_DATA &r) {
        bool ok = true;
        for (int ch = 0; ok && ch < kChannelCount; ++ch, column += 2) {
            switch (r.state[ch]) {
            case StateValue:
                ok = doc.write(row, column, shortestDouble(celsiusToUnit(r.value[ch], unit)),
                               valueFormat);
                break;
            case StateAboveRange:
                ok = doc.writeUtf8(row, column, above.constData(), bodyFormat);
                break;
            case StateBelowRange:
                ok = doc.writeUtf8(row, column, below.constData(), bodyFormat);
                break;
            default:
                ok = doc.writeUtf8(row, column, none.constData(), bodyFormat);
                break;
            }
            const QByteArray &letter = r.type[ch] < 8 ? letters[r.type[ch]] : noLetter;
            ok = ok && doc.writeUtf8(row, column + 1, letter.constData(), bodyFormat);
        }
        return ok;
    };

    const QStringList singleHeaders = workbookHeaders(unit, words);
    const QVector<double> singleWidths = workbookColumnWidths();
    bool ok = true;
    for (const SheetPart &part : sheets) {
        const ExportSource &source = sources[part.measurement];
        const GroupRows &table = rows[part.measurement];
        // A group: the channel columns of each instrument, named after it.
        QStringList headers = singleHeaders.mid(0, 2);
        QVector<double> widths = singleWidths.mid(0, 2);
        for (int m = 0; m < source.measurements.size(); ++m) {
            for (const QString &h : singleHeaders.mid(2))
                headers << (source.isGroup() ? source.labels[m] + QLatin1Char(' ') + h : h);
            widths << singleWidths.mid(2);
        }
        ok = ok && doc.addSheet(part.name);
        for (int c = 0; ok && c < widths.size(); ++c)
            ok = doc.setColumnWidth(c + 1, c + 1, widths[c]);
        for (int c = 0; ok && c < headers.size(); ++c)
            ok = doc.write(1, c + 1, headers[c], headerFormat);
        for (int i = 0; ok && i < part.recordCount; ++i) {
            const int k = part.firstRecord + i + 1;
            const int row = i + 2;
            const _T_EE_TEST_DATA &r = table.timeRecord(source.measurements, k - 1);
            ok = doc.write(row, 1, double(k), bodyFormat);
            // Straight from the record's fields: a local QDateTime would ask
            // the time-zone database for every row.
            const QDate day(2000 + r.year, r.month, r.day);
            const QTime time(r.hour, r.minute, r.second);
            if (day.isValid() && time.isValid())
                ok = ok && doc.write(row, 2, day, time, dateFormat);
            else
                ok = ok && doc.write(row, 2, recordTimeText(r, true), bodyFormat);
            for (int m = 0; ok && m < source.measurements.size(); ++m)
                ok = writeChannels(row, 3 + 2 * kChannelCount * m,
                                   recordOrGap(source, m, table.record(k - 1, m)));
        }
    }
    if (statistics)
        ok = ok && writeStatisticsSheet(doc, sources, unit, *statistics, header, body, date);
    ok = ok && doc.commit();
    return ok || failWith(error, doc.errorString());
}

bool writeCsv(const Data_List_T &measurement, const QString &fileName, int unit,
              const TableHeaderWords &words, QString *error)
{
    AtomicFileDevice file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return failWith(error, file.errorString());
    QTextStream out(&file);
    out.setCodec("UTF-8");
    out << csvLine(workbookHeaders(unit, words)) << '\n';
    int number = 0;
    for (const _T_EE_TEST_DATA &r : measurement.records)
        out << csvLine(csvRecordFields(r, ++number, unit)) << '\n';
    out.flush();
    // A failed write is kept by the file, so commit() fails after it too.
    if (!file.commit())
        return failWith(error, file.errorString());
    return true;
}
