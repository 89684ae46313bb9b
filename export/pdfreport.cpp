#include "export/pdfreport.h"

#include "alarm/alarmtext.h"
#include "export/exportsource.h"
#include "export/logging.h"
#include "export/reportlayout.h"
#include "export/tabletextpainter.h"
#include "export/workbookrules.h"
#include "instrument/channelstatistics.h"
#include "instrument/temperature.h"
#include "store/atomicfiledevice.h"
#include "store/csvtext.h"
#include "store/measurementgroups.h"

#include <QDebug>
#include <QFontMetrics>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>
#include <QTextOption>
#include <QTextStream>
#include <QtMath>

#include <memory>
#include <vector>

namespace {

constexpr int kNoteLineLimit = 1000; // characters; longer note lines are cut

QStringList noteLines(const QString &note)
{
    QStringList out;
    QString text = note;
    QTextStream in(&text, QIODevice::ReadOnly);
    QString line;
    while (in.readLineInto(&line)) {
        if (line.isEmpty()) {
            out << line;
            continue;
        }
        for (int i = 0; i < line.size(); i += kNoteLineLimit)
            out << line.mid(i, kNoteLineLimit);
    }
    return out;
}

// `text` in rows of at most `width` pixels, broken between words or, within
// a word longer than a row, anywhere. The rows take the height of the fonts
// actually used: Chinese comes from a fallback font taller than `font`.
std::unique_ptr<QTextLayout> wrappedLine(const QString &text, const QFont &font,
                                         QPaintDevice *device, int width)
{
    auto layout = std::make_unique<QTextLayout>(text, font, device);
    QTextOption option(Qt::AlignLeft);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout->setTextOption(option);
    layout->beginLayout();
    qreal y = 0;
    for (QTextLine row = layout->createLine(); row.isValid(); row = layout->createLine()) {
        row.setLineWidth(width);
        row.setPosition(QPointF(0, y));
        y += row.height();
    }
    layout->endLayout();
    return layout;
}

// The header row at the top of the current page, then one row per row of
// the source's table, new pages as the rows need them.
void drawRecordTable(QPainter &painter, QPdfWriter &writer, const QFont &tableFont, int width,
                     int pageHeight, const TableHeaderWords &words, const ExportSource &source,
                     const GroupRows &rows, int unit)
{
    // A group shows each channel's value and type letter in one column, in a
    // smaller font from the third instrument on, so the page holds them all.
    const int instruments = source.measurements.size();
    const int columns = source.isGroup() ? 2 + kChannelCount * instruments : 10;
    QFont font = tableFont;
    if (columns > 10 && font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * 11 / (columns + 1));
    painter.setFont(font);
    const TableLayout table = tableLayout(width, QFontMetrics(font, &writer).height(), columns);
    const QString unitText = unitSymbol(unit);
    QStringList header{words.number, words.time};
    for (int m = 0; m < instruments; ++m) {
        for (int ch = 0; ch < kChannelCount; ++ch) {
            header << source.channelName(m, ch) + words.temperature + unitText;
            if (!source.isGroup())
                header << source.channelName(m, ch) + words.thermocouple;
        }
    }
    // A header text wider than its column ("T1Temperature℉" in English) is
    // drawn smaller rather than clipped, so every column keeps its channel.
    for (int col = 0; col < header.size(); ++col) {
        const QRect cell = table.cell(col, 0);
        QFont fitted = font;
        const int textWidth = QFontMetrics(font, &writer).horizontalAdvance(header[col]);
        if (textWidth > cell.width() && font.pointSizeF() > 0)
            fitted.setPointSizeF(font.pointSizeF() * cell.width() / textWidth * 0.95);
        painter.setFont(fitted);
        // On the cell's baseline, as the rows are: a Chinese header from a
        // taller fallback font would otherwise hang into the first row.
        const QFontMetrics metrics(fitted, &writer);
        const int x = cell.center().x() - metrics.horizontalAdvance(header[col]) / 2;
        painter.drawText(QPoint(x, cell.top() + metrics.ascent()), header[col]);
    }
    painter.setFont(font);

    TableTextPainter cells(font, &writer);
    TableFlow flow(table, pageHeight);
    for (int k = 1; k <= rows.rowCount(); ++k) {
        bool newPage = false;
        const int y = flow.next(&newPage);
        if (newPage)
            writer.newPage();
        cells.addCentered(painter, table.cell(0, y), QString::number(k));
        cells.addCentered(
            painter, table.cell(1, y),
            recordStampText(rows.timeRecord(source.measurements, k - 1), QLatin1Char('/')));
        for (int m = 0; m < instruments; ++m) {
            const _T_EE_TEST_DATA r = recordOrGap(source, m, rows.record(k - 1, m));
            for (int ch = 0; ch < kChannelCount; ++ch) {
                const QString value = valueText(r.value[ch], r.state[ch], unit);
                if (source.isGroup()) {
                    const QString letter = typeLetter(r.type[ch]);
                    cells.addCentered(painter, table.cell(2 + kChannelCount * m + ch, y),
                                      letter.isEmpty() ? value : value + QLatin1Char(' ') + letter);
                } else {
                    cells.addCentered(painter, table.cell(2 + 2 * ch, y), value);
                    cells.addCentered(painter, table.cell(3 + 2 * ch, y), typeLetter(r.type[ch]));
                }
            }
        }
        cells.flush(painter);
    }
}

bool anyLimit(const AlarmSettings &alarms)
{
    for (const ChannelLimits &c : alarms.channels) {
        if (c.hasHigh || c.hasLow)
            return true;
    }
    return false;
}

// The heading, then one row per episode: channel, what, from, to, the
// extreme value; new pages as the rows need them.
// An episode with the instrument's label in a group ("<label> T1"), empty
// otherwise.
struct LabelledEpisode
{
    QString label;
    AlarmEpisode episode;
};

void drawAlarmEpisodes(QPainter &painter, QPdfWriter &writer, const QFont &bodyFont,
                       const QFont &rowFont, const ReportMetrics &m, const ReportTexts &t,
                       const QVector<LabelledEpisode> &episodes, int unit)
{
    const QFontMetrics body(bodyFont, &writer);
    const QFontMetrics rows(rowFont, &writer);
    painter.setFont(bodyFont);
    painter.drawText(QPoint(0, body.ascent()), t.alarms);
    int y = (body.height() / 10) * 11;
    painter.drawLine(0, y, body.horizontalAdvance(t.alarms), y);
    y += 10 + body.height() / 2;
    if (episodes.isEmpty()) {
        painter.drawText(QPoint(0, y + body.ascent()), t.noAlarms);
        return;
    }
    const int column[5] = {0, m.width * 8 / 100, m.width * 36 / 100, m.width * 58 / 100,
                           m.width * 80 / 100};
    // Roomier than the record table: Chinese texts come from a fallback
    // font taller than the row font.
    const int step = rows.height() * 16 / 10;
    const QString format = QStringLiteral("yyyy/MM/dd hh:mm:ss");
    painter.setFont(rowFont);
    const auto drawRow = [&](const QStringList &cells) {
        if (y + step > m.height) {
            writer.newPage();
            y = 0;
        }
        for (int i = 0; i < cells.size() && i < 5; ++i)
            painter.drawText(QPoint(column[i], y + rows.ascent()), cells[i]);
        y += step;
    };
    drawRow(t.alarmHeader);
    for (const LabelledEpisode &labelled : episodes) {
        const AlarmEpisode &e = labelled.episode;
        const bool limit = e.kind == AlarmKind::High || e.kind == AlarmKind::Low;
        const QString channel = labelled.label.isEmpty() ? AlarmText::channel(e.channel)
                                                         : labelled.label + QLatin1Char(' ') +
                                                               AlarmText::channel(e.channel);
        drawRow({channel, AlarmText::kind(e.kind), e.from.toString(format),
                 e.to.isValid() ? e.to.toString(format) : t.alarmToEnd,
                 limit ? AlarmText::temperature(e.extreme, unit) : QString()});
    }
}

QString cellText(const QVariant &cell)
{
    switch (cell.userType()) {
    case QMetaType::Double:
        return QString::number(cell.toDouble(), 'f', 2);
    case QMetaType::QDateTime:
        return cell.toDateTime().toString(QStringLiteral("yyyy/MM/dd hh:mm:ss"));
    default:
        return cell.toString(); // a limit that is not set: empty
    }
}

// The heading, the figures of each channel with readings and the largest
// spread between channels, all on one page (at most five rows per
// instrument).
void drawStatistics(QPainter &painter, QPdfWriter &writer, const QFont &bodyFont,
                    const QFont &rowFont, const ReportMetrics &m, const StatisticsTexts &t,
                    const ExportSource &source, const std::optional<AlarmSettings> &alarms,
                    int unit)
{
    const SourceFigures figures = sourceFigures(source, alarms);
    const QFontMetrics body(bodyFont, &writer);
    const QFontMetrics rows(rowFont, &writer);
    painter.setFont(bodyFont);
    painter.drawText(QPoint(0, body.ascent()), t.title);
    int y = (body.height() / 10) * 11;
    painter.drawLine(0, y, body.horizontalAdvance(t.title), y);
    y += 10 + body.height() / 2;
    // Roomier than the record table, as the alarm rows: Chinese comes from
    // a taller fallback font.
    const int step = rows.height() * 16 / 10;
    painter.setFont(rowFont);
    // The report is one measurement or group: its name is left out of the rows.
    const auto drawRow = [&](const QStringList &cells, int columns) {
        for (int i = 1; i < cells.size(); ++i)
            painter.drawText(QPoint(m.width * (i - 1) / columns, y + rows.ascent()), cells[i]);
        y += step;
    };
    const QStringList header = statisticsHeader(t, unit);
    drawRow(header, header.size() - 1);
    for (const QVariantList &row : statisticsRows(source, figures, unit)) {
        QStringList cells;
        for (const QVariant &cell : row)
            cells << cellText(cell);
        drawRow(cells, header.size() - 1);
    }
    y += step;
    QStringList spreadHeader = t.spreadHeader;
    if (spreadHeader.size() > 1)
        spreadHeader[1] += QLatin1Char('(') + unitSymbol(unit) + QLatin1Char(')');
    drawRow(spreadHeader, 4);
    QStringList cells;
    for (const QVariant &cell : spreadCells(source, figures, unit))
        cells << cellText(cell);
    drawRow(cells, 4);
}

} // namespace

std::array<QStringList, 4> reportStatistics(const QVector<_T_EE_TEST_DATA> &records, int unit)
{
    // Only readings with a value take part, so the maximum and minimum are
    // the extremes of those values (an over-range reading does not count).
    ChannelStatistics stats[kChannelCount];
    for (const _T_EE_TEST_DATA &r : records) {
        for (int ch = 0; ch < kChannelCount; ++ch) {
            if (r.state[ch] == StateValue)
                stats[ch].add(StateValue, r.value[ch]);
        }
    }
    const QString suffix = QLatin1Char(' ') + unitSymbol(unit);
    std::array<QStringList, 4> out;
    for (int ch = 0; ch < kChannelCount; ++ch) {
        if (stats[ch].count() == 0) {
            out[ch] =
                QStringList{QStringLiteral("---"), QStringLiteral("---"), QStringLiteral("---")};
            continue;
        }
        out[ch] =
            QStringList{stats[ch].maximumText(unit) + suffix, stats[ch].minimumText(unit) + suffix,
                        stats[ch].averageText(unit) + suffix};
    }
    return out;
}

bool writePdfReport(const ReportContent &c, const QString &fileName, QString *error)
{
    // The report goes to the disk page by page and takes the target's name
    // only when all of it is there.
    AtomicFileDevice file(fileName);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const ReportTexts &t = c.texts;
    const int unit = c.unit;
    const ExportSource source = c.group.isGroup() ? c.group : singleSource(c.measurement);
    const GroupRows rows(source.measurements);
    const int instruments = source.measurements.size();

    QPdfWriter writer(&file);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(300);
    writer.setTitle(t.title);
    writer.setCreator(QStringLiteral("Tool by VELMORIX"));
    writer.setPageMargins(QMarginsF(30, 30, 30, 30), QPageLayout::Point);

    QPainter painter;
    if (!painter.begin(&writer)) {
        file.close();
        if (error)
            *error = QStringLiteral("cannot paint on the PDF writer");
        return false;
    }
    qCDebug(lcExport) << "report page size" << painter.viewport().size();

    QFont titleFont(QStringLiteral("Consolas"));
    titleFont.setWeight(87);
    titleFont.setPixelSize(100);
    const QFont bodyFont(QStringLiteral("Calibri"), 14, QFont::Normal);
    const QFont tableFont(QStringLiteral("Calibri"), 9, QFont::Normal);
    const QFontMetrics bodyMetrics(bodyFont, &writer);

    ReportMetrics m;
    m.width = painter.viewport().width();
    m.height = painter.viewport().height();
    m.lineHeight = bodyMetrics.height();
    m.labelWidth = bodyMetrics.horizontalAdvance(t.createdLabel + QStringLiteral(": "));
    const int W = m.width;
    const int H = m.lineHeight;
    // Body lines are drawn on the body font's baseline rather than into
    // boxes of its line height: a Chinese label comes from a fallback font
    // with a taller line, which a box would clip and push below its value.
    const int ascent = bodyMetrics.ascent();
    const auto drawLine = [&](const QRect &box, const QString &text) {
        painter.drawText(QPoint(box.left(), box.top() + ascent), text);
    };

    QImage logo = c.logo;
    const ReportLayout l = reportLayout(m, logo.size(), c.chart.size(), instruments);
    if (!logo.isNull() && logo.size() != l.logoSize)
        logo = logo.scaled(l.logoSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);

    // First page.
    painter.setPen(Qt::black);
    painter.setFont(titleFont);
    // The title font's line is taller than its 100-pixel box with most
    // fonts; unclipped, the box only places it.
    painter.drawText(l.titleRect, Qt::AlignHCenter | Qt::TextDontClip, t.title);
    if (!logo.isNull())
        painter.drawImage(l.logoPos, logo);
    painter.setFont(bodyFont);
    drawLine(l.companyRect, c.company);
    const QString tester = t.user + c.tester;
    const int testerWidth = painter.fontMetrics().horizontalAdvance(tester);
    drawLine(l.testerRect.adjusted(l.testerRect.width() - testerWidth, 0, 0, 0), tester);

    const QString labels[4] = {t.deviceName, t.createdLabel + QStringLiteral(": "),
                               t.fileNameLabel + QStringLiteral(": "),
                               t.countLabel + QStringLiteral(":  \t\t")};
    const QString values[4] = {
        QStringLiteral("KX740D"),
        source.measurements.first().created.toString(QStringLiteral("yyyy/MM/dd hh:mm")),
        source.name, QString::number(rows.rowCount())};
    for (int i = 0; i < 4; ++i) {
        drawLine(QRect(0, l.fileLineY[i], W, H), labels[i]);
        drawLine(QRect(l.labelColumn, l.fileLineY[i], W, H), values[i]);
    }

    const QString tab = QStringLiteral("  \t\t");
    for (int i = 0; i < instruments; ++i) {
        const std::array<QStringList, 4> stats =
            reportStatistics(source.measurements[i].records, unit);
        for (int ch = 0; ch < kChannelCount; ++ch) {
            const int y = l.statisticsY[kChannelCount * i + ch];
            const QString heads[3] = {source.channelName(i, ch) + QStringLiteral(" MAX:"),
                                      QStringLiteral("MIN:"), QStringLiteral("AVG:")};
            for (int col = 0; col < 3; ++col)
                drawLine(QRect(l.statisticsX[col], y, W, H), heads[col] + stats[ch][col] + tab);
        }
    }

    // One legend row per instrument of a group, each in its line style.
    for (int i = 0; i < instruments; ++i) {
        const int y = l.legendY + i * l.lineStep;
        for (int n = 0; n < kChannelCount; ++n) {
            const QString name = source.channelName(i, n) + QStringLiteral(": ");
            const int x = source.isGroup() ? W / kChannelCount * n : 300 * n;
            const int lineX = source.isGroup() ? x + bodyMetrics.horizontalAdvance(name) : x + 80;
            painter.setPen(QPen(c.colors[n], 5, instrumentLineStyle(i)));
            drawLine(QRect(x, y, W, H), name);
            painter.drawLine(lineX, y + H / 2, lineX + 70, y + H / 2);
        }
    }
    painter.setPen(Qt::black);

    if (!c.chart.isNull()) {
        QImage chart = c.chart;
        if (chart.size() != l.chartSize) {
            chart = chart.scaled(l.chartSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
            qCDebug(lcExport) << "report chart scaled to" << chart.width() << chart.height();
        }
        if (l.chartPage > 0)
            writer.newPage();
        painter.drawImage(l.chartPos, chart);
    }

    if (!c.note.isEmpty()) {
        const QStringList lines = noteLines(c.note);
        std::vector<std::unique_ptr<QTextLayout>> wrapped;
        QVector<int> heights;
        for (const QString &line : lines) {
            wrapped.push_back(wrappedLine(line, bodyFont, &writer, W));
            heights << qCeil(wrapped.back()->boundingRect().height());
        }
        const NoteLayout n = noteLayout(m, l.endY, heights);
        if (n.labelNewPage)
            writer.newPage();
        drawLine(n.labelRect, t.note);
        painter.drawLine(0, n.underlineY, bodyMetrics.horizontalAdvance(t.note), n.underlineY);
        for (int i = 0; i < lines.size(); ++i) {
            if (n.lines[i].newPage)
                writer.newPage();
            wrapped[i]->draw(&painter, n.lines[i].rect.topLeft());
        }
    }

    if (rows.rowCount() > 0) {
        writer.newPage();
        drawStatistics(painter, writer, bodyFont, tableFont, m, t.statistics, source, c.alarms,
                       unit);
    }

    if (c.alarms) {
        QVector<LabelledEpisode> episodes;
        for (int i = 0; i < instruments; ++i) {
            const QString label = source.isGroup() ? source.labels[i] : QString();
            for (const AlarmEpisode &e : alarmEpisodes(source.measurements[i].records, *c.alarms))
                episodes << LabelledEpisode{label, e};
        }
        if (!episodes.isEmpty() || anyLimit(*c.alarms)) {
            writer.newPage();
            drawAlarmEpisodes(painter, writer, bodyFont, tableFont, m, t, episodes, unit);
        }
    }

    // The record table, from a new page; the header is not repeated.
    writer.newPage();
    drawRecordTable(painter, writer, tableFont, W, m.height, t.table, source, rows, unit);

    if (!painter.end() || !file.commit()) {
        if (error)
            *error = file.errorString();
        file.close();
        return false;
    }
    return true;
}
