#pragma once

#include "app/windowcontext.h"
#include "store/recordclipboard.h"
#include "store/tablerows.h"

class QAction;
class QMenu;

// The data table: a page of the current measurement, newest first, or the
// live view of a running recording, its paging, copying, and the edits of
// the measurement's records through its context menu.
class TablePage : public PageController
{
    Q_OBJECT

public:
    explicit TablePage(WindowContext &context);

    // The data table's context menu for the present selection and record
    // clipboard; each entry's data is its operation (1 copy, 2 insert above,
    // 3 insert below, 4 cut, 5 delete). The caller owns the menu.
    QMenu *createTableMenu();
    // Narrow layout of the table beside the chart, or the full one; shows
    // the current measurement again.
    void setCompactTable(bool compact);
    // After the current measurement changed: pages counted again and the
    // newest page shown.
    void tableMeasurementChanged();
    int tablePageCount() const { return m_pageCount; }
    int tableCurrentPage() const { return m_currentPage; }
    const QVector<_T_EE_TEST_DATA> &recordClipboard() const { return m_recordClipboard; }

    // While a recording runs the table keeps its live view, also when a unit
    // or limit change redraws it.
    void showCurrentMeasurement();
    // Pages counted again for the current measurement, the newest shown.
    void updatePaging();
    // After an edit of the current measurement that had `recordsBefore`
    // records: table and chart again, the table on the page the edit was on.
    void afterRecordEdit(int recordsBefore);
    // The live view of the running recording: its newest readings.
    void updateTableWidget(const QList<RecordedReading> &readings);

public slots:
    void on_horizontalScrollBar_rangeChanged(int min, int max);
    void on_horizontalScrollBar_valueChanged(int value);
    void on_tableWidget_customContextMenuRequested(const QPoint &pos);
    void handleTableviewMenuClicked(QAction *action);
    // Puts the selected cells' texts on the system clipboard.
    void copy();

private:
    void setupTable();
    // Pages counted again, `page` (clamped) shown on the bar and its label.
    void showPaging(int page);
    void updatePageLabel();
    // The table's live view of the running recording, refreshed by the
    // status timer after every recorded reading.
    void refreshLiveTable();
    // Fills the table with `data_table`: with `from_test_pointer` the current
    // page of a measurement, otherwise all of them plus one empty row. The
    // one-argument form is a page.
    void updateTableWidget(const QVector<_T_EE_TEST_DATA> &data_table, bool from_test_pointer);
    void updateTableWidget(const QVector<_T_EE_TEST_DATA> &data_table);
    // Widens the columns to their headers and texts in the fonts in use;
    // the fixed widths of the layout stay the minimums.
    void fitTableColumns(const QStringList &headers, bool narrow, int largestNumber);
    // The selected rows with the numbers of the records they keep (0 for a
    // row without one), in the view's order.
    QList<SelectedRows> selectedTableRows() const;

    const QString m_timeText;
    const QString m_numberText;
    const QString m_temperatureText;
    ShownRows m_shownRows;
    int m_tablePageSize = 1000;
    int m_pageCount = 1;
    int m_currentPage = 0; // 0 = the oldest page
    bool m_compactTable = false;
    // Records taken by the table's copy and cut, kept across measurements.
    QVector<_T_EE_TEST_DATA> m_recordClipboard;
    // The table's column widths and what they were measured for: headers,
    // font, style, layout, language and length of the largest number.
    QVector<int> m_tableColumnWidths;
    QString m_tableWidthsMeasuredFor;
};
