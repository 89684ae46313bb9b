#pragma once

#include "app/windowcontext.h"
#include "chart/chartplot.h"

class BubbleTips;
class OverlayControls;
class QDockWidget;
class QTimer;
class StatisticsPanel;
class QAction;
class QMouseEvent;

// The temperature chart: its set-up, the live refresh while recording, the
// drawing of the current measurement, the chart settings page, and the
// mouse work on the chart (reference line, tip, menus, renaming, saving).
class ChartPage : public PageController
{
    Q_OBJECT

public:
    explicit ChartPage(WindowContext &context);

    const ChartPlot &chart() const { return m_chart; }
    BubbleTips *chartTip() const { return m_bubbleTips; }
    bool referenceLineOn() const { return m_tracerEnabled; }
    // The x label for the current x-axis mode, or empty when hidden.
    QString xLabelText() const;
    QString yLabelText() const;
    // While a recording runs the chart keeps its live view, as the table
    // does: a unit change then redraws the live readings.
    void replotCurrentMeasurement();
    // Live refresh of the table and chart while recording.
    void graphUpdate();
    // Recorded readings the live view showed at its last refresh.
    int shownRecordCount() const { return m_shownRecordCount; }
    void forgetLiveCount() { m_shownRecordCount = 0; }
    // The limits switched on, as dashed lines when the menu shows them.
    void showLimitLines();

    // Several measurements compared (archive indexes in archive order): more
    // than one are drawn together, aligned as the row above the chart says;
    // one or none leaves the chart to the current measurement. With `labels`
    // they are a group recorded together, on the clock and named by label.
    void setOverlay(const QVector<int> &indexes, const QStringList &labels = {});
    const QVector<int> &overlayIndexes() const { return m_overlayIndexes; }
    OverlayControls *overlayControls() const { return m_overlayControls; }
    StatisticsPanel *statisticsPanel() const { return m_statistics; }
    QDockWidget *statisticsDock() const { return m_statisticsDock; }
    // The statistics panel's figures made again now (when it is shown).
    void refreshStatistics();

    // The chart: graph `data_ch` from live readings or stored records.
    void kx740DAddPlot(QList<RecordedReading> data_table, uint8_t data_ch = 0);
    void GraPhAddPlot(QVector<_T_EE_TEST_DATA> data_table, uint8_t data_ch = 0);

public slots:
    void on_pb_T1_clicked();
    void on_pb_T2_clicked();
    void on_pb_T3_clicked();
    void on_pb_T4_clicked();
    void on_pb_T1_color_clicked();
    void on_pb_T2_color_clicked();
    void on_pb_T3_color_clicked();
    void on_pb_T4_color_clicked();
    void on_spinBox_line_style_valueChanged(int arg1);
    void on_spinBox_ScatterShape_valueChanged(int arg1);
    void on_checkBox_xasix_stateChanged(int arg1);
    void on_checkBox_yasix_stateChanged(int arg1);
    void on_checkBox_legend_stateChanged(int arg1);
    void on_pb_graph_clicked();
    void on_pb_switch_clicked();
    void on_pb_switch_2_clicked();
    void on_tabWidget_data_currentChanged(int index);
    void on_action_line_triggered();
    // Mouse work on the chart.
    void mouseMove(QMouseEvent *e);
    void mousePress();
    void selectionChanged();
    void contextMenuRequest(QPoint pos);
    void moveLegend();
    void handleplotMenuClicked();
    void settracerable(bool value);
    void axisLabelDoubleClick(QCPAxis *axis, QCPAxis::SelectablePart part);
    void legendDoubleClick(QCPLegend *legend, QCPAbstractLegendItem *item);
    // In a comparison a click on a curve's legend entry hides or shows it.
    void legendClick(QCPLegend *legend, QCPAbstractLegendItem *item, QMouseEvent *event);

protected:
    // Places, shows and hides the chart's reading tip; the wheel's zoom.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setupChart();
    void drawOverlay();
    // Hidden curves of a comparison are named in grey.
    void refreshLegendColours();
    void setChannelVisible(int channel);
    void pickChannelColor(int channel);
    // The tip shows on the large chart with the reference line on and a text.
    void updateTipVisibility();
    // Places the tip beside `cursor` (chart coordinates), inside the chart.
    void placeTip(const QPoint &cursor);
    // The chart image file proposed in its save dialog; `extension` ".jpg".
    QString chartFileProposal(const char *extension) const;

    ChartPlot m_chart;
    BubbleTips *m_bubbleTips = nullptr;
    const QString m_dataText;
    int m_shownRecordCount = 0;
    // The chart tab shows the large chart; only then does the tip appear.
    bool m_chartTabActive = true;
    bool m_tracerEnabled = false;
    // Shows the whole measurement again after zooming (Home, Ctrl+0, menu).
    QAction *m_showAllAction = nullptr;
    // The chart draws the limits switched on as dashed lines.
    bool m_limitLinesShown = false;
    OverlayControls *m_overlayControls = nullptr;
    StatisticsPanel *m_statistics = nullptr;
    QDockWidget *m_statisticsDock = nullptr;
    // Zooming and dragging ask for figures at most this often.
    QTimer *m_statisticsTimer = nullptr;
    QVector<int> m_overlayIndexes;
    QStringList m_overlayLabels;
};
