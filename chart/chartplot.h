#pragma once

#include "chart/chartseries.h"
#include "chart/overlayrules.h"
#include "settings/settingsfile.h"
#include "store/data_list_t.h"

#include <QColor>
#include <QCoreApplication>
#include <QFont>
#include <QImage>
#include <QPixmap>
#include <QPointF>

#include <memory>

class ChartTrace;
class DenseGraph;
class QCustomPlot;
class QCPItemTracer;
class QCPLayer;
class QCPRange;

// One measurement of an overlay: its name, its records (shared, not copied)
// and where its time axis starts (alignmentOrigin()).
struct OverlayMeasurement
{
    QString name;
    QVector<_T_EE_TEST_DATA> records;
    AlignedOrigin origin;
};

// How the chart looks when it is built, from the settings file.
struct ChartLook
{
    bool xLabelShown = false;
    bool yLabelShown = false;
    bool legendShown = false;
    QColor colors[4] = {Qt::darkRed, Qt::darkGreen, Qt::darkBlue, Qt::darkMagenta};
    int scatterShape = 2;
    int lineStyle = 1;
};

// The look the settings give the chart.
ChartLook chartLook(const AppSettings &settings);

// The temperature chart: four graphs T1..T4 on one axis rect with a full
// axes box, a legend and a crosshair tracer. Owns no widget; works on the
// QCustomPlot it was given, which outlives it.
class ChartPlot
{
    Q_DECLARE_TR_FUNCTIONS(ChartPlot)

public:
    // Builds axes, their titles, legend, tracer and the four graphs; call
    // once. The legend uses `font` at 10 points.
    void setup(QCustomPlot *plot, const ChartLook &look, const QFont &font);

    QCustomPlot *plot() const { return m_plot; }
    QCPItemTracer *tracer() const { return m_tracer; }

    // Replaces the data of graph `channel`; nothing without such a graph.
    // The graphs no longer show stored records.
    void setSeries(int channel, const ChartSeries &series);
    // Fits both axes to all four graphs, visible or not, and the value axis
    // to the limit lines too, widens the value axis by the margin rule and
    // asks for a repaint. Equal values are framed around the value, a single
    // key gets one unit either side, and without data both axes show [0, 5]
    // (the value axis the lines, when there are some), so refreshing the same
    // data never changes the ranges.
    void rescaleWithMargin();
    // The four channels of stored records in `unit` (0 Celsius, 1
    // Fahrenheit, 2 Kelvin), then the rescale. The graphs hold only what the
    // view shows (ChartTrace); the records are shared, not copied.
    void showRecords(const QVector<_T_EE_TEST_DATA> &records, int unit);

    // Several measurements on one time axis: graph 4 * m + c is channel c of
    // measurement m, named "<measurement> T<c + 1>", with its pen from
    // overlayPen() (the first measurement keeps the channel colours). Keys
    // are seconds: with `clockKeys` the records' own times (date-time
    // ticks), else the time since each one's origin (elapsed-time ticks).
    // Every graph draws its trace's points in view (DenseGraph). Ends with
    // the rescale. showRecords() and setSeries() leave the overlay.
    void showOverlay(const QVector<OverlayMeasurement> &measurements, int unit, bool clockKeys);
    // Measurements overlaid; 0 when the chart shows one measurement.
    int overlayCount() const { return m_overlay.size(); }
    // The keys of an overlay not on the clock are seconds since the origins.
    bool elapsedKeys() const { return !m_overlay.isEmpty() && !m_overlayClock; }
    // The records of overlaid measurement `m` and the key of each record.
    const ChartTrace *overlayTrace(int m) const { return m_overlay.value(m).get(); }

    // The readings in the key range in view (ChartTrace::readingsWithin()):
    // one pair for stored records shown alone, one per overlaid measurement,
    // none while the graphs hold series.
    QVector<QPair<int, int>> readingsInView() const;

    // The wheel turned by `steps` notches (positive: away from the user,
    // zooming in) at `pixel` in widget pixels. Inside the axis rect it zooms
    // the key axis around the cursor and fits the value axis to the readings
    // then in view (fitValuesToView) and returns true; elsewhere it returns
    // false and leaves the wheel to the plot, which zooms an axis under the
    // cursor alone.
    bool zoomKeysAt(const QPointF &pixel, double steps);
    // Fits the value axis to the values of all four graphs within the key
    // range shown and to the limit lines, by the margin rule; unchanged
    // without any.
    void fitValuesToView();

    // Axis titles, empty when not shown: the x axis names the key of the
    // current mode.
    QString xLabelText(bool shown) const;
    // The y axis names the temperature with the unit's symbol.
    static QString yLabelText(bool shown, int unit);

    // The chart as a report shows it: 1000 x 1000 pixels at scale 1.
    QImage reportImage() const;

    // Index mode counts whole units on the x axis; date-time mode shows
    // "hh:mm:ss" over "MM-dd".
    void setDateTimeMode(bool on);
    bool dateTimeMode() const { return m_dateTimeMode; }

    void setLineStyle(int style);
    void setScatterShape(int shape);
    // Dashed lines across the chart at temperature limits (channel 0..3 and
    // degrees Celsius, shown in `unit`), each in its channel's colour; an
    // empty list removes them. The value axis is fitted again
    // (fitValuesToView), so every line drawn is in view.
    void setLimitLines(const QVector<QPair<int, float>> &limits, int unit);
    int limitLineCount() const { return m_limitLines.size(); }
    // Only the pen's colour changes; width and style stay.
    void setChannelColor(int channel, const QColor &color);

    // Moves the crosshair to a position in widget pixels and repaints only
    // the layer it lies on, so following the mouse costs no full replot.
    void moveTracer(const QPointF &pixel);
    // The reading under the vertical line at `pixel`: the one whose key is
    // nearest to it, found by binary search. One line per graph (hidden
    // graphs too), in graph order, values in `unit` as the table writes them,
    // each naming the reading as tipRecordText() does; empty without data or
    // outside the axis rect. An overlay's tip names the time under the line
    // first, then every visible graph by its name with its reading nearest to
    // that time ("--\\--" outside the measurement's time).
    QString tipText(const QPointF &pixel, int unit) const;

    // Pictures of the chart for the clipboard, files and reports never show
    // the crosshair. A width or height of 0 means the chart's own.
    QPixmap picture(int width, int height) const;
    // The files replace a file at `fileName` only once they are whole; on
    // failure `error` (when given) gets the system's reason.
    // At the chart's size, default quality, 96 dots per inch.
    bool saveJpg(const QString &fileName, QString *error = nullptr) const;
    // At the chart's size (a point per pixel), cosmetic pens allowed, no
    // creator or title.
    bool savePdf(const QString &fileName, QString *error = nullptr) const;
    // The same files with the legend and both axis titles, whether or not the
    // screen shows them: a title switched off has its default text (the
    // temperature in `unit`), one the user renamed stays. The chart on screen
    // is left as it was.
    bool saveJpg(const QString &fileName, int unit, QString *error = nullptr) const;
    bool savePdf(const QString &fileName, int unit, QString *error = nullptr) const;

private:
    // Markers closer than their own size merge into a band that hides the
    // line and costs most of the drawing time; only every n-th is drawn then.
    // Lines denser than the pixels are drawn without smoothing.
    void updateScatterSkip();
    // Runs `render` with the crosshair hidden and shows it again as it was.
    template <typename Render> auto withoutCrosshair(Render render) const;
    // Runs `render` (without the crosshair) with the legend and the axis
    // titles of a saved file, then restores the screen's.
    template <typename Render> auto withFileLook(int unit, Render render) const;
    // Widens `values` (set in `have`) to the limit lines' values.
    void uniteLimitLines(bool *have, QCPRange *values) const;
    DenseGraph *denseGraph(int channel) const;
    // The tip's lines of graphs set with setSeries().
    QStringList seriesTipLines(double key, int unit) const;
    // The tip's lines of an overlay at `key`.
    QStringList overlayTipLines(double key, int unit) const;
    // Back to the four graphs of one measurement, with their own pens.
    void leaveOverlay();
    // Date-time mode, and the graphs' readings fall on more than one day.
    bool keysSpanDays() const;

    QCustomPlot *m_plot = nullptr;
    // The stored records shown, null while the graphs hold series.
    std::shared_ptr<const ChartTrace> m_trace;
    QCPItemTracer *m_tracer = nullptr;
    QVector<QCPItemStraightLine *> m_limitLines;
    QCPLayer *m_tracerLayer = nullptr;
    bool m_dateTimeMode = false;
    // One trace per overlaid measurement; empty without an overlay.
    QVector<std::shared_ptr<const ChartTrace>> m_overlay;
    bool m_overlayClock = true;
    // The four graphs' pens and names while an overlay borrows them.
    QPen m_channelPens[4];
    QString m_channelNames[4];
};

// The report picture of stored records drawn without a window, as the
// window's chart shows them after its set-up with `look` and a re-plot in
// index mode. `font` is the window's font. Needs a QApplication.
QImage recordsChartImage(const QVector<_T_EE_TEST_DATA> &records, int unit, const ChartLook &look,
                         const QFont &font);
// The same for a group of measurements recorded together: a graph per
// channel of every measurement, named "<label> T1", in the channel's colour
// and the instrument's line style (instrumentLineStyle), with the legend.
// Each reading's key is its row in the group's table (GroupRows).
QImage groupChartImage(const QVector<Data_List_T> &measurements, const QStringList &labels,
                       int unit, const ChartLook &look, const QFont &font);
