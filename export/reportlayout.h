#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QVector>

// Where everything of the PDF report goes. Coordinates are device pixels of
// the page's printable area (x to the right, y down from its top). The
// functions here only compute; the report writer draws what they give, and
// tests check them without drawing.

// What the layout depends on, measured on the PDF writer.
struct ReportMetrics
{
    int width = 0;      // W: width of the printable area
    int height = 0;     // P: height of the printable area
    int lineHeight = 0; // H: line height of the body font
    int labelWidth = 0; // width of "文件创建时间: " in the body font
};

constexpr int kLogoBox = 200;        // a larger logo is scaled into 200 x 200
constexpr int kChartWidth = 2200;    // a narrower chart is scaled to this width
constexpr int kNoteLineAdvance = 80; // from a note line of one row to the next

// The first page down to the chart.
struct ReportLayout
{
    int lineStep = 0; // S = (H / 10) * 11
    QRect titleRect;
    QSize logoSize; // as drawn
    QPoint logoPos;
    QRect companyRect;
    QRect testerRect;
    int labelColumn = 0; // L: x of the four file lines' values
    int fileLineY[4] = {};
    QVector<int> statisticsY; // T1..T4 (of each instrument of a group)
    int statisticsX[3] = {};  // MAX, MIN, AVG columns
    int legendY = 0;          // the legend's first row (one per instrument)
    // The chart; `chartPage` is 0 on the first page, 1 on a new page.
    QSize chartSize;
    QPoint chartPos;
    int chartPage = 0;
    // y below the chart (on the chart's page); where the note starts.
    int endY = 0;
};

// `logo` and `chart` are the sizes of the pictures as given; an empty chart
// is left out (the note then starts below the legend). A group of
// `instruments` has four statistics lines and a legend row per instrument.
ReportLayout reportLayout(const ReportMetrics &metrics, const QSize &logo, const QSize &chart,
                          int instruments = 1);

// The size a logo is drawn at: scaled into 200 x 200 keeping its aspect
// ratio when either side is larger, as given otherwise.
QSize logoDrawSize(const QSize &logo);
// The size a chart is drawn at: scaled into 2200 x 2200 keeping its aspect
// ratio when it is narrower than 2200, as given otherwise.
QSize chartDrawSize(const QSize &chart);

// The note: its label, the line under the label, and one rectangle per note
// line. `lineHeights` are the heights of the note's lines (already cut to
// 1000 characters) as drawn wrapped to the page's width, at least H each.
// Every line is followed by the gap a line of one row leaves before the next,
// kNoteLineAdvance - H, and starts a new page when it does not fit with it.
struct NoteLine
{
    bool newPage = false; // a new page starts before this line
    QRect rect;
};
struct NoteLayout
{
    // The label starts a new page when it would not fit below the chart.
    bool labelNewPage = false;
    QRect labelRect;
    int underlineY = 0;
    QVector<NoteLine> lines;
    int endY = 0;
};
NoteLayout noteLayout(const ReportMetrics &metrics, int y, const QVector<int> &lineHeights);

// The record table: `columns` + 1 column units, a header at the top of its
// first page and then rows `rowStep` apart, a row starting a new page once y
// has passed the page's height.
struct TableLayout
{
    int columnUnit = 0; // U = W / 11 (W / (columns + 1))
    int cellHeight = 0; // h: line height of the table font
    int rowStep = 0;    // R = (h / 10) * 11
    // The cell of column 0..9 (number, time, T1 value, T1 letter, ... T4
    // letter), the time two units wide; further columns go on alike.
    QRect cell(int column, int y) const;
};
TableLayout tableLayout(int width, int tableLineHeight, int columns = 10);

// Places the rows of the table one after the other.
class TableFlow
{
public:
    TableFlow(const TableLayout &layout, int pageHeight)
        : m_step(layout.rowStep), m_pageHeight(pageHeight), m_y(layout.rowStep)
    {
    }
    // The y of the next row; `newPage` tells whether a page starts before it.
    int next(bool *newPage)
    {
        *newPage = m_pageHeight < m_y;
        if (*newPage)
            m_y = 0;
        const int y = m_y;
        m_y += m_step;
        return y;
    }

private:
    int m_step;
    int m_pageHeight;
    int m_y;
};
