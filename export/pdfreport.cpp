#include "export/pdfreport.h"

#include "alarm/alarmtext.h"
#include "export/logging.h"
#include "export/reportlayout.h"
#include "export/tabletextpainter.h"
#include "export/workbookrules.h"
#include "instrument/channelstatistics.h"
#include "instrument/temperature.h"
#include "store/atomicfiledevice.h"
#include "store/csvtext.h"

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

// The header row at the top of the current page, then one row per record,
// new pages as the rows need them.
void drawRecordTable(QPainter &painter, QPdfWriter &writer, const QFont &font, int width,
                     int pageHeight, const TableHeaderWords &words,
                     const QVector<_T_EE_TEST_DATA> &records, int unit)
{
    painter.setFont(font);
    const TableLayout table = tableLayout(width, QFontMetrics(font, &writer).height());
    const QString unitText = unitSymbol(unit);
    QStringList header{words.number, words.time};
    for (int ch = 1; ch <= kChannelCount; ++ch) {
        header << QStringLiteral("T%1").arg(ch) + words.temperature + unitText;
        header << QStringLiteral("T%1").arg(ch) + words.thermocouple;
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
    for (int k = 1; k <= records.size(); ++k) {
        bool newPage = false;
        const int y = flow.next(&newPage);
        if (newPage)
            writer.newPage();
        const _T_EE_TEST_DATA &r = records[k - 1];
        cells.addCentered(painter, table.cell(0, y), QString::number(k));
        cells.addCentered(painter, table.cell(1, y), recordStampText(r, QLatin1Char('/')));
        for (int ch = 0; ch < kChannelCount; ++ch) {
            cells.addCentered(painter, table.cell(2 + 2 * ch, y),
                              valueText(r.value[ch], r.state[ch], unit));
            cells.addCentered(painter, table.cell(3 + 2 * ch, y), typeLetter(r.type[ch]));
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
void drawAlarmEpisodes(QPainter &painter, QPdfWriter &writer, const QFont &bodyFont,
                       const QFont &rowFont, const ReportMetrics &m, const ReportTexts &t,
                       const QVector<AlarmEpisode> &episodes, int unit)
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
    for (const AlarmEpisode &e : episodes) {
        const bool limit = e.kind == AlarmKind::High || e.kind == AlarmKind::Low;
        drawRow({AlarmText::channel(e.channel), AlarmText::kind(e.kind), e.from.toString(format),
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
// spread between channels, all on one page (at most five rows).
void drawStatistics(QPainter &painter, QPdfWriter &writer, const QFont &bodyFont,
                    const QFont &rowFont, const ReportMetrics &m, const StatisticsTexts &t,
                    const Data_List_T &measurement, const std::optional<AlarmSettings> &alarms,
                    int unit)
{
    const LimitedFigures figures = limitedFigures(measurement, alarms);
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
    // The report is one measurement: its name is left out of the rows.
    const auto drawRow = [&](const QStringList &cells, int columns) {
        for (int i = 1; i < cells.size(); ++i)
            painter.drawText(QPoint(m.width * (i - 1) / columns, y + rows.ascent()), cells[i]);
        y += step;
    };
    const QStringList header = statisticsHeader(t, unit);
    drawRow(header, header.size() - 1);
    for (int ch = 0; ch < kChannelCount; ++ch) {
        if (figures.figures.channel[ch].readings == 0)
            continue;
        QStringList cells;
        for (const QVariant &cell : statisticsCells(measurement.name, ch, figures, unit))
            cells << cellText(cell);
        drawRow(cells, header.size() - 1);
    }
    y += step;
    QStringList spreadHeader = t.spreadHeader;
    if (spreadHeader.size() > 1)
        spreadHeader[1] += QLatin1Char('(') + unitSymbol(unit) + QLatin1Char(')');
    drawRow(spreadHeader, 4);
    QStringList cells;
    for (const QVariant &cell : spreadCells(measurement.name, figures, unit))
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
    const QVector<_T_EE_TEST_DATA> &records = c.measurement.records;
    const std::array<QStringList, 4> stats = reportStatistics(records, unit);

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
    const ReportLayout l = reportLayout(m, logo.size(), c.chart.size());
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
    const QString values[4] = {QStringLiteral("KX740D"),
                               c.measurement.created.toString(QStringLiteral("yyyy/MM/dd hh:mm")),
                               c.measurement.name, QString::number(records.size())};
    for (int i = 0; i < 4; ++i) {
        drawLine(QRect(0, l.fileLineY[i], W, H), labels[i]);
        drawLine(QRect(l.labelColumn, l.fileLineY[i], W, H), values[i]);
    }

    const QString tab = QStringLiteral("  \t\t");
    for (int ch = 0; ch < kChannelCount; ++ch) {
        const int y = l.statisticsY[ch];
        const QString heads[3] = {QStringLiteral("T%1 MAX:").arg(ch + 1), QStringLiteral("MIN:"),
                                  QStringLiteral("AVG:")};
        for (int col = 0; col < 3; ++col)
            drawLine(QRect(l.statisticsX[col], y, W, H), heads[col] + stats[ch][col] + tab);
    }

    for (int n = 0; n < kChannelCount; ++n) {
        painter.setPen(QPen(c.colors[n], 5));
        const int x = 300 * n;
        drawLine(QRect(x, l.legendY, W, H), QStringLiteral("T%1: ").arg(n + 1));
        painter.drawLine(x + 80, l.legendY + H / 2, x + 150, l.legendY + H / 2);
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

    if (!records.isEmpty()) {
        writer.newPage();
        drawStatistics(painter, writer, bodyFont, tableFont, m, t.statistics, c.measurement,
                       c.alarms, unit);
    }

    if (c.alarms) {
        const QVector<AlarmEpisode> episodes = alarmEpisodes(records, *c.alarms);
        if (!episodes.isEmpty() || anyLimit(*c.alarms)) {
            writer.newPage();
            drawAlarmEpisodes(painter, writer, bodyFont, tableFont, m, t, episodes, unit);
        }
    }

    // The record table, from a new page; the header is not repeated.
    writer.newPage();
    drawRecordTable(painter, writer, tableFont, W, m.height, t.table, records, unit);

    if (!painter.end() || !file.commit()) {
        if (error)
            *error = file.errorString();
        file.close();
        return false;
    }
    return true;
}
