#include "export/reportlayout.h"

QSize logoDrawSize(const QSize &logo)
{
    if (logo.width() > kLogoBox || logo.height() > kLogoBox)
        return logo.scaled(kLogoBox, kLogoBox, Qt::KeepAspectRatio);
    return logo;
}

QSize chartDrawSize(const QSize &chart)
{
    if (!chart.isEmpty() && chart.width() < kChartWidth)
        return chart.scaled(kChartWidth, kChartWidth, Qt::KeepAspectRatio);
    return chart;
}

ReportLayout reportLayout(const ReportMetrics &m, const QSize &logo, const QSize &chart,
                          int instruments)
{
    ReportLayout l;
    const int W = m.width;
    const int H = m.lineHeight;
    const int S = (H / 10) * 11;
    l.lineStep = S;
    l.titleRect = QRect(0, 0, W, 100);

    l.logoSize = logo.isEmpty() ? QSize(0, 0) : logoDrawSize(logo);
    l.logoPos = QPoint(0, H / 2 - l.logoSize.height() / 2 + 150);
    l.companyRect = QRect(l.logoSize.width() + 30, 150, W, H);
    l.testerRect = QRect(0, 150, W, H);

    int y = 200 + qMax(S, l.logoSize.height() / 2 + H / 2);
    l.labelColumn = m.labelWidth + 50;
    for (int &lineY : l.fileLineY) {
        lineY = y;
        y += S;
    }
    y = l.fileLineY[3] + S + 30;
    instruments = qMax(1, instruments);
    for (int i = 0; i < 4 * instruments; ++i) {
        l.statisticsY << y;
        y += S;
    }
    l.statisticsX[0] = 0;
    l.statisticsX[1] = W / 3;
    l.statisticsX[2] = 2 * W / 3;
    l.legendY = l.statisticsY.last() + S + 30;
    y = l.legendY + instruments * S;

    if (chart.isEmpty()) {
        l.endY = y;
        return l;
    }
    l.chartSize = chartDrawSize(chart);
    if (m.height < l.chartSize.height() + y) {
        l.chartPage = 1;
        y = 0;
    }
    l.chartPos = QPoint(W / 2 - l.chartSize.width() / 2, y);
    l.endY = y + l.chartSize.height() + 100;
    return l;
}

NoteLayout noteLayout(const ReportMetrics &m, int y, const QVector<int> &lineHeights)
{
    NoteLayout n;
    const int H = m.lineHeight;
    const int S = (H / 10) * 11;
    const int gap = qMax(0, kNoteLineAdvance - H);
    const auto advance = [&](int height) { return qMax(height, H) + gap; };
    // The label stays with the first line of the note: when that line would
    // go to the next page, the label goes there too.
    const int first = advance(lineHeights.isEmpty() ? H : lineHeights.first());
    if (m.height < y + S + 10 + first) {
        n.labelNewPage = true;
        y = 0;
    }
    n.labelRect = QRect(0, y, m.width, H);
    y += S;
    n.underlineY = y;
    y += 10;
    for (const int height : lineHeights) {
        NoteLine line;
        line.newPage = m.height < y + advance(height);
        const int top = line.newPage ? 0 : y;
        line.rect = QRect(0, top, m.width, qMax(height, H));
        n.lines << line;
        y = top + advance(height);
    }
    n.endY = y;
    return n;
}

TableLayout tableLayout(int width, int tableLineHeight, int columns)
{
    TableLayout t;
    t.columnUnit = width / (qMax(2, columns) + 1);
    t.cellHeight = tableLineHeight;
    t.rowStep = (tableLineHeight / 10) * 11;
    return t;
}

QRect TableLayout::cell(int column, int y) const
{
    const int U = columnUnit;
    if (column == 0)
        return QRect(0, y, U, cellHeight);
    if (column == 1)
        return QRect(U, y, 2 * U, cellHeight);
    return QRect((column + 1) * U, y, U, cellHeight);
}
