#include "chart/chartplot.h"

#include "chart/charttrace.h"
#include "chart/densegraph.h"
#include "instrument/temperature.h"
#include "store/atomicfiledevice.h"
#include "store/grouprows.h"
#include "store/measurementgroups.h"

#include <qcustomplot.h>

#include <QImageWriter>
#include <QPageLayout>
#include <QPdfWriter>
#include <QSet>

namespace {

const QString kTracerLayer = QStringLiteral("tracer");
constexpr double kMarkerSize = 6;
// Both axes of a chart without data.
const QCPRange kEmptyRange(0, 5);
// Side of the square report picture, in pixels.
constexpr int kReportImageSide = 1000;

bool failWith(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return false;
}

// The key range shown for the keys' extent: as it is, or one unit either side
// of a single key.
QCPRange keyRangeShown(const QCPRange &keys)
{
    if (keys.size() > 0)
        return keys;
    return QCPRange(keys.lower - 1, keys.upper + 1);
}

// The point of `data` nearest to `key` that has a value, or end.
QCPGraphDataContainer::const_iterator nearestPoint(const QCPGraphDataContainer &data, double key)
{
    auto after = data.findBegin(key, false);
    while (after != data.constEnd() && std::isnan(after->value))
        ++after;
    auto before = data.findBegin(key, false);
    while (before != data.constBegin()) {
        --before;
        if (!std::isnan(before->value)) {
            if (after == data.constEnd() || key - before->key <= after->key - key)
                return before;
            break;
        }
    }
    return after;
}

QSharedPointer<QCPAxisTicker> indexTicker()
{
    QSharedPointer<QCPAxisTickerTime> ticker(new QCPAxisTickerTime);
    ticker->setTimeFormat(QStringLiteral("%s"));
    // A plain count: "0", not the clock-like "00".
    ticker->setFieldWidth(QCPAxisTickerTime::tuSeconds, 1);
    return ticker;
}

QSharedPointer<QCPAxisTicker> dateTimeTicker()
{
    QSharedPointer<QCPAxisTickerDateTime> ticker(new QCPAxisTickerDateTime);
    ticker->setDateTimeFormat(QStringLiteral("hh:mm:ss\nMM-dd"));
    return ticker;
}

QSharedPointer<QCPAxisTicker> elapsedTicker()
{
    QSharedPointer<QCPAxisTickerTime> ticker(new QCPAxisTickerTime);
    ticker->setTimeFormat(QStringLiteral("%h:%m:%s"));
    return ticker;
}

} // namespace

ChartLook chartLook(const AppSettings &settings)
{
    ChartLook look;
    look.xLabelShown = settings.showXAxis;
    look.yLabelShown = settings.showYAxis;
    look.legendShown = settings.showLegend;
    for (int ch = 0; ch < kChannelCount; ++ch)
        look.colors[ch] = settings.channelColor[ch];
    look.scatterShape = settings.scatterShape;
    look.lineStyle = settings.lineStyle;
    return look;
}

void ChartPlot::setup(QCustomPlot *plot, const ChartLook &look, const QFont &font)
{
    m_plot = plot;
    plot->setInteractions(QCP::iRangeDrag | QCP::iRangeZoom);
    // Wide pens over thousands of points: stroking each polyline as one
    // outline costs a quarter of a second per refresh; drawing segment by
    // segment looks the same at this pen width.
    plot->setPlottingHint(QCP::phFastPolylines, true);
    plot->yAxis->setNumberFormat(QStringLiteral("f"));
    plot->yAxis->setNumberPrecision(1);
    plot->xAxis->setTicker(indexTicker());
    m_dateTimeMode = false;

    plot->axisRect()->setupFullAxesBox(false);
    QObject::connect(plot->xAxis, qOverload<const QCPRange &>(&QCPAxis::rangeChanged), plot->xAxis2,
                     qOverload<const QCPRange &>(&QCPAxis::setRange));
    QObject::connect(plot->yAxis, qOverload<const QCPRange &>(&QCPAxis::rangeChanged), plot->yAxis2,
                     qOverload<const QCPRange &>(&QCPAxis::setRange));
    // Zooming changes how closely the markers sit.
    QObject::connect(plot->xAxis, qOverload<const QCPRange &>(&QCPAxis::rangeChanged), plot,
                     [this] { updateScatterSkip(); });

    const QFont axisFont(QStringLiteral("Calibri"), 12);
    for (QCPAxis *axis : {plot->xAxis, plot->yAxis}) {
        axis->setLabelFont(axisFont);
        axis->setTickLabelFont(axisFont);
    }
    plot->xAxis->setLabel(xLabelText(look.xLabelShown));
    plot->yAxis->setLabel(yLabelText(look.yLabelShown, 0));
    QFont legendFont = font;
    legendFont.setPointSize(10);
    plot->legend->setVisible(look.legendShown);
    plot->legend->setFont(legendFont);
    plot->legend->setSelectedFont(legendFont);
    plot->legend->setSelectableParts(QCPLegend::spItems);

    // The crosshair lives on a buffered layer of its own above the graphs:
    // moving it repaints that layer only.
    plot->addLayer(kTracerLayer, plot->layer(QStringLiteral("main")), QCustomPlot::limAbove);
    m_tracerLayer = plot->layer(kTracerLayer);
    m_tracerLayer->setMode(QCPLayer::lmBuffered);
    m_tracer = new QCPItemTracer(plot);
    m_tracer->setLayer(m_tracerLayer);
    m_tracer->setPen(QPen(Qt::black, 1, Qt::DashDotLine));
    m_tracer->setStyle(QCPItemTracer::tsCrosshair);
    m_tracer->setSize(1);
    m_tracer->setVisible(false);

    for (int ch = 0; ch < 4; ++ch) {
        QCPGraph *graph = new DenseGraph(plot->xAxis, plot->yAxis);
        graph->setName(QStringLiteral("T%1").arg(ch + 1));
        graph->setLineStyle(lineStyleAtSetup(look.lineStyle));
        graph->setScatterStyle(
            QCPScatterStyle(scatterShapeAtSetup(look.scatterShape), kMarkerSize));
        graph->setPen(QPen(look.colors[ch], 2.0));
    }
    plot->xAxis->setRange(kEmptyRange);
    plot->yAxis->setRange(kEmptyRange);
}

void ChartPlot::setSeries(int channel, const ChartSeries &series)
{
    if (!m_plot || channel < 0 || channel >= m_plot->graphCount())
        return;
    leaveOverlay();
    if (channel >= m_plot->graphCount())
        return;
    m_trace.reset();
    if (DenseGraph *graph = denseGraph(channel))
        graph->setTrace(nullptr, channel);
    m_plot->graph(channel)->setData(series.keys, series.values, series.sorted);
    updateScatterSkip();
}

DenseGraph *ChartPlot::denseGraph(int channel) const
{
    return qobject_cast<DenseGraph *>(m_plot->graph(channel));
}

void ChartPlot::rescaleWithMargin()
{
    if (!m_plot)
        return;
    // Fitted to every graph, hidden ones included. QCustomPlot's own rescale
    // keeps an axis's previous width when all its data are equal, which the
    // margin would widen again at every refresh.
    bool haveKeys = false;
    bool haveValues = false;
    QCPRange keys;
    QCPRange values;
    const auto unite = [](bool *have, QCPRange *all, const QCPRange &one) {
        if (*have)
            all->expand(one);
        else
            *all = one;
        *have = true;
    };
    for (int i = 0; i < m_plot->graphCount(); ++i) {
        const QCPGraph *graph = m_plot->graph(i);
        bool found = false;
        const QCPRange k = graph->getKeyRange(found);
        if (found)
            unite(&haveKeys, &keys, k);
        const QCPRange v = graph->getValueRange(found);
        if (found)
            unite(&haveValues, &values, v);
    }
    uniteLimitLines(&haveValues, &values);
    m_plot->xAxis->setRange(haveKeys ? keyRangeShown(keys) : kEmptyRange);
    m_plot->yAxis->setRange(haveValues ? rangeWithMargin(values) : kEmptyRange);
    updateScatterSkip();
    m_plot->replot(QCustomPlot::rpRefreshHint);
}

bool ChartPlot::zoomKeysAt(const QPointF &pixel, double steps)
{
    if (!m_plot)
        return false;
    QCPAxisRect *rect = m_plot->axisRect();
    if (!rect->rect().contains(pixel.toPoint()))
        return false;
    for (QCPAxis *axis : rect->axes())
        if (axis->selectTest(pixel, false) >= 0)
            return false;
    m_plot->xAxis->scaleRange(std::pow(rect->rangeZoomFactor(Qt::Horizontal), steps),
                              m_plot->xAxis->pixelToCoord(pixel.x()));
    fitValuesToView();
    m_plot->replot(QCustomPlot::rpQueuedReplot);
    return true;
}

void ChartPlot::fitValuesToView()
{
    const QCPRange shown = m_plot->xAxis->range();
    bool have = false;
    QCPRange values;
    for (int i = 0; i < m_plot->graphCount(); ++i) {
        QCPGraph *graph = m_plot->graph(i);
        // A graph with a trace holds the points of the range shown; the
        // graph's own range of them is the one within the keys.
        if (DenseGraph *dense = denseGraph(i))
            dense->updatePoints();
        bool found = false;
        const QCPRange v = graph->QCPGraph::getValueRange(found, QCP::sdBoth, shown);
        if (found && have)
            values.expand(v);
        else if (found)
            values = v;
        have = have || found;
    }
    uniteLimitLines(&have, &values);
    if (have)
        m_plot->yAxis->setRange(rangeWithMargin(values));
}

void ChartPlot::uniteLimitLines(bool *have, QCPRange *values) const
{
    for (const QCPItemStraightLine *line : m_limitLines) {
        const double y = line->point1->coords().y();
        if (*have) {
            values->expand(y);
        } else {
            *values = QCPRange(y, y);
            *have = true;
        }
    }
}

void ChartPlot::showRecords(const QVector<_T_EE_TEST_DATA> &records, int unit)
{
    if (!m_plot)
        return;
    leaveOverlay();
    m_trace = std::make_shared<ChartTrace>(records, unit, m_dateTimeMode);
    for (int ch = 0; ch < m_plot->graphCount(); ++ch) {
        if (DenseGraph *graph = denseGraph(ch))
            graph->setTrace(m_trace, ch);
    }
    rescaleWithMargin();
}

void ChartPlot::showOverlay(const QVector<OverlayMeasurement> &measurements, int unit,
                            bool clockKeys)
{
    if (!m_plot || m_plot->graphCount() < kChannelCount)
        return;
    if (m_overlay.isEmpty()) {
        for (int ch = 0; ch < kChannelCount; ++ch) {
            m_channelPens[ch] = m_plot->graph(ch)->pen();
            m_channelNames[ch] = m_plot->graph(ch)->name();
        }
    }
    // A curve hidden stays hidden when the overlay is drawn again (another
    // alignment, another unit).
    QSet<QString> hidden;
    for (int i = kChannelCount; i < m_plot->graphCount(); ++i)
        if (!m_plot->graph(i)->visible())
            hidden.insert(m_plot->graph(i)->name());
    while (m_plot->graphCount() > kChannelCount)
        m_plot->removeGraph(m_plot->graphCount() - 1);
    m_trace.reset();
    m_overlay.clear();
    m_overlayClock = clockKeys;
    QColor colors[kChannelCount];
    for (int ch = 0; ch < kChannelCount; ++ch)
        colors[ch] = m_channelPens[ch].color();
    const QCPGraph *model = m_plot->graph(0);
    for (int m = 0; m < measurements.size(); ++m) {
        const OverlayMeasurement &one = measurements.at(m);
        auto trace = std::make_shared<ChartTrace>(one.records, unit, true,
                                                  clockKeys ? 0.0 : one.origin.origin);
        m_overlay.append(trace);
        for (int ch = 0; ch < kChannelCount; ++ch) {
            DenseGraph *graph = denseGraph(ch);
            if (m > 0) {
                graph = new DenseGraph(m_plot->xAxis, m_plot->yAxis);
                graph->setLineStyle(model->lineStyle());
                graph->setScatterStyle(model->scatterStyle());
            }
            graph->setName(QStringLiteral("%1 T%2").arg(one.name).arg(ch + 1));
            graph->setPen(overlayPen(m, ch, colors, m_channelPens[ch].widthF()));
            graph->setTrace(trace, ch);
            if (m > 0)
                graph->setVisible(!hidden.contains(graph->name()));
        }
    }
    m_plot->xAxis->setTicker(clockKeys ? dateTimeTicker() : elapsedTicker());
    rescaleWithMargin();
}

QVector<QPair<int, int>> ChartPlot::readingsInView() const
{
    QVector<QPair<int, int>> out;
    if (!m_plot)
        return out;
    const QCPRange shown = m_plot->xAxis->range();
    if (m_trace)
        out << m_trace->readingsWithin(shown);
    for (const auto &trace : m_overlay)
        out << trace->readingsWithin(shown);
    return out;
}

void ChartPlot::leaveOverlay()
{
    if (m_overlay.isEmpty())
        return;
    m_overlay.clear();
    while (m_plot->graphCount() > kChannelCount)
        m_plot->removeGraph(m_plot->graphCount() - 1);
    for (int ch = 0; ch < kChannelCount; ++ch) {
        m_plot->graph(ch)->setPen(m_channelPens[ch]);
        m_plot->graph(ch)->setName(m_channelNames[ch]);
    }
    m_plot->xAxis->setTicker(m_dateTimeMode ? dateTimeTicker() : indexTicker());
}

QString ChartPlot::xLabelText(bool shown) const
{
    if (!shown)
        return QString();
    return m_dateTimeMode || !m_overlay.isEmpty() ? tr("时间") : tr("编号");
}

QString ChartPlot::yLabelText(bool shown, int unit)
{
    return shown ? tr("温度") + QStringLiteral(" (") + unitSymbol(unit) + QLatin1Char(')')
                 : QString();
}

QImage ChartPlot::reportImage() const
{
    return picture(kReportImageSide, kReportImageSide).toImage();
}

void ChartPlot::updateScatterSkip()
{
    if (!m_plot)
        return;
    const double width = m_plot->axisRect()->width();
    const QCPRange shown = m_plot->xAxis->range();
    for (int i = 0; i < m_plot->graphCount(); ++i) {
        QCPGraph *graph = m_plot->graph(i);
        if (DenseGraph *dense = denseGraph(i))
            dense->updatePoints();
        const auto data = graph->data();
        const int visible = int(data->findEnd(shown.upper) - data->findBegin(shown.lower));
        // Forty curves of markers merge into bands: an overlay marks only
        // the readings of curves no denser than the pixels.
        const bool unmarked = !m_overlay.isEmpty() && visible > width;
        graph->setScatterSkip(unmarked ? visible
                                       : scatterSkip(visible, width, graph->scatterStyle().size()));
        // With more points than pixel columns the line is a dense zigzag
        // whose edges smoothing cannot improve, at a sixth of the drawing time.
        graph->setAntialiased(visible <= width);
    }
}

void ChartPlot::setDateTimeMode(bool on)
{
    m_dateTimeMode = on;
    if (m_plot)
        m_plot->xAxis->setTicker(on ? dateTimeTicker() : indexTicker());
}

void ChartPlot::setLineStyle(int style)
{
    if (!m_plot)
        return;
    for (int i = 0; i < m_plot->graphCount(); ++i)
        m_plot->graph(i)->setLineStyle(QCPGraph::LineStyle(style));
}

void ChartPlot::setScatterShape(int shape)
{
    if (!m_plot)
        return;
    for (int i = 0; i < m_plot->graphCount(); ++i)
        m_plot->graph(i)->setScatterStyle(
            QCPScatterStyle(QCPScatterStyle::ScatterShape(shape), kMarkerSize));
}

void ChartPlot::setChannelColor(int channel, const QColor &color)
{
    if (!m_plot || channel < 0 || channel >= m_plot->graphCount())
        return;
    QPen pen = m_plot->graph(channel)->pen();
    pen.setColor(color);
    m_plot->graph(channel)->setPen(pen);
}

void ChartPlot::moveTracer(const QPointF &pixel)
{
    if (!m_plot || !m_tracer)
        return;
    const double x = m_plot->xAxis->pixelToCoord(pixel.x());
    const double y = m_plot->yAxis->pixelToCoord(pixel.y());
    m_tracer->position->setCoords(x, y);
    m_tracerLayer->replot();
}

QString ChartPlot::tipText(const QPointF &pixel, int unit) const
{
    if (!m_plot || !m_plot->axisRect()->rect().contains(pixel.toPoint()))
        return QString();
    const double key = m_plot->xAxis->pixelToCoord(pixel.x());
    if (!m_overlay.isEmpty())
        return overlayTipLines(key, unit).join(QLatin1Char('\n'));
    if (!m_trace)
        return seriesTipLines(key, unit).join(QLatin1Char('\n'));
    const int reading = m_trace->readingAt(key);
    if (reading < 0)
        return QString();
    const QString record =
        tipRecordText(reading, m_trace->key(reading), m_dateTimeMode, keysSpanDays());
    QStringList lines;
    for (int ch = 0; ch < m_plot->graphCount(); ++ch)
        lines << tipLine(ch + 1, tipValueText(m_trace->record(reading), ch, unit), record);
    return lines.join(QLatin1Char('\n'));
}

QStringList ChartPlot::overlayTipLines(double key, int unit) const
{
    // Each measurement's time: the extent of its channels' keys.
    QVector<QCPRange> spans(m_overlay.size());
    QVector<bool> timed(m_overlay.size(), false);
    bool any = false;
    QCPRange all;
    for (int m = 0; m < m_overlay.size(); ++m) {
        for (int ch = 0; ch < kChannelCount; ++ch) {
            bool found = false;
            const QCPRange k = m_overlay.at(m)->keyRange(ch, &found);
            if (!found)
                continue;
            if (timed[m])
                spans[m].expand(k);
            else
                spans[m] = k;
            timed[m] = true;
            if (any)
                all.expand(k);
            else
                all = k;
            any = true;
        }
    }
    QStringList lines;
    if (!any)
        return lines;
    // The line reads a reading within half a second or half a pixel of it,
    // so the ends of a measurement are read as the line reaches them.
    const double near =
        std::max(0.5, m_plot->xAxis->range().size() / m_plot->axisRect()->width() / 2);
    lines << (m_overlayClock
                  ? tipRecordText(0, std::round(key), true, spansDays(all.lower, all.upper))
                  : elapsedText(key));
    for (int i = 0; i < m_plot->graphCount(); ++i) {
        const QCPGraph *graph = m_plot->graph(i);
        const int m = i / kChannelCount;
        if (!graph->visible() || m >= m_overlay.size())
            continue;
        QString text = noReadingText();
        if (timed[m] && key >= spans[m].lower - near && key <= spans[m].upper + near) {
            const ChartTrace &trace = *m_overlay.at(m);
            const int reading = trace.readingAt(key);
            if (reading >= 0)
                text = tipValueText(trace.record(reading), i % kChannelCount, unit);
        }
        lines << graph->name() + QStringLiteral(": ") + text;
    }
    return lines;
}

bool ChartPlot::keysSpanDays() const
{
    if (!m_dateTimeMode)
        return false;
    bool have = false;
    QCPRange keys;
    for (int i = 0; i < m_plot->graphCount(); ++i) {
        bool found = false;
        const QCPRange k = m_plot->graph(i)->getKeyRange(found);
        if (found && have)
            keys.expand(k);
        else if (found)
            keys = k;
        have = have || found;
    }
    return have && spansDays(keys.lower, keys.upper);
}

// The reading under the line is the point nearest to `key` over all graphs;
// a graph without a point at that reading's key has no value there.
QStringList ChartPlot::seriesTipLines(double key, int unit) const
{
    bool found = false;
    double nearest = 0;
    for (int i = 0; i < m_plot->graphCount(); ++i) {
        const QCPGraphDataContainer &data = *m_plot->graph(i)->data();
        const auto point = nearestPoint(data, key);
        if (point != data.constEnd() &&
            (!found || std::abs(point->key - key) < std::abs(nearest - key))) {
            nearest = point->key;
            found = true;
        }
    }
    QStringList lines;
    if (!found)
        return lines;
    const QString record = tipRecordText(int(nearest), nearest, m_dateTimeMode, keysSpanDays());
    for (int i = 0; i < m_plot->graphCount(); ++i) {
        const QCPGraphDataContainer &data = *m_plot->graph(i)->data();
        const auto point = nearestPoint(data, nearest);
        const bool has = point != data.constEnd() && point->key == nearest;
        lines << tipLine(i + 1,
                         has ? shownValueText(point->value) + QLatin1Char(' ') + unitSymbol(unit)
                             : noReadingText(),
                         record);
    }
    return lines;
}

template <typename Render> auto ChartPlot::withoutCrosshair(Render render) const
{
    const bool shown = m_tracer && m_tracer->visible();
    if (shown)
        m_tracer->setVisible(false);
    const auto result = render();
    if (shown)
        m_tracer->setVisible(true);
    return result;
}

template <typename Render> auto ChartPlot::withFileLook(int unit, Render render) const
{
    QCPAxis *x = m_plot->xAxis;
    QCPAxis *y = m_plot->yAxis;
    const QString xLabel = x->label();
    const QString yLabel = y->label();
    const bool legend = m_plot->legend->visible();
    if (xLabel.isEmpty())
        x->setLabel(xLabelText(true));
    if (yLabel.isEmpty())
        y->setLabel(yLabelText(true, unit));
    m_plot->legend->setVisible(true);
    const auto result = withoutCrosshair(render);
    x->setLabel(xLabel);
    y->setLabel(yLabel);
    m_plot->legend->setVisible(legend);
    // Drawing the file laid the chart out for its titles; the screen's
    // layout (and with it the mapping of pixels to values) comes back with
    // the next replot.
    m_plot->replot(QCustomPlot::rpQueuedReplot);
    return result;
}

bool ChartPlot::saveJpg(const QString &fileName, int unit, QString *error) const
{
    if (!m_plot)
        return false;
    return withFileLook(unit, [&] { return saveJpg(fileName, error); });
}

bool ChartPlot::savePdf(const QString &fileName, int unit, QString *error) const
{
    if (!m_plot)
        return false;
    return withFileLook(unit, [&] { return savePdf(fileName, error); });
}

QPixmap ChartPlot::picture(int width, int height) const
{
    if (!m_plot)
        return QPixmap();
    return withoutCrosshair([&] { return m_plot->toPixmap(width, height, 1.0); });
}

bool ChartPlot::saveJpg(const QString &fileName, QString *error) const
{
    if (!m_plot)
        return false;
    QImage image = picture(0, 0).toImage();
    const int dotsPerMeter = int(96 / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    AtomicFileDevice file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return failWith(error, file.errorString());
    QImageWriter writer(&file, "jpg");
    if (!writer.write(image)) {
        // A failed write of the file says more than the writer's summary.
        const QString reason = file.errorString();
        return failWith(error, reason.isEmpty() || reason == QLatin1String("Unknown error")
                                   ? writer.errorString()
                                   : reason);
    }
    return file.commit() || failWith(error, file.errorString());
}

// Drawn as QCustomPlot::savePdf draws it, onto a device that keeps the old
// file until the new one is whole (savePdf reports success whatever its
// writes did).
bool ChartPlot::savePdf(const QString &fileName, QString *error) const
{
    if (!m_plot)
        return false;
    AtomicFileDevice file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return failWith(error, file.errorString());
    const QSize size = m_plot->size();
    QPdfWriter writer(&file);
    // The screen's resolution, so pens and fonts come out as on the screen.
    writer.setResolution(m_plot->logicalDpiX());
    writer.setCreator(QString());
    QPageLayout layout(QPageSize(size, QPageSize::Point, QString(), QPageSize::ExactMatch),
                       QPageLayout::Portrait, QMarginsF());
    layout.setMode(QPageLayout::FullPageMode);
    writer.setPageLayout(layout);
    const bool drawn = withoutCrosshair([&] {
        QCPPainter painter;
        if (!painter.begin(&writer))
            return false;
        painter.setMode(QCPPainter::pmVectorized);
        painter.setMode(QCPPainter::pmNoCaching);
        painter.setWindow(QRect(QPoint(0, 0), size));
        m_plot->toPainter(&painter, size.width(), size.height());
        return painter.end();
    });
    if (!drawn)
        return failWith(error, file.errorString());
    return file.commit() || failWith(error, file.errorString());
}

QImage recordsChartImage(const QVector<_T_EE_TEST_DATA> &records, int unit, const ChartLook &look,
                         const QFont &font)
{
    QCustomPlot plot;
    // Laid out at the picture's size before the data arrive, so the markers
    // are thinned for the width they are drawn at.
    plot.resize(kReportImageSide, kReportImageSide);
    plot.setViewport(plot.rect());
    ChartPlot chart;
    chart.setup(&plot, look, font);
    plot.replot(QCustomPlot::rpImmediateRefresh);
    plot.yAxis->setLabel(ChartPlot::yLabelText(look.yLabelShown, unit));
    chart.showRecords(records, unit);
    return chart.reportImage();
}

QImage groupChartImage(const QVector<Data_List_T> &measurements, const QStringList &labels,
                       int unit, const ChartLook &look, const QFont &font)
{
    // Keyed by the row of the group's table, as the table numbers them.
    const QVector<QVector<double>> keys = GroupRows(measurements).rowOfRecords();
    QCustomPlot plot;
    plot.resize(kReportImageSide, kReportImageSide);
    plot.setViewport(plot.rect());
    ChartPlot chart;
    chart.setup(&plot, look, font);
    plot.replot(QCustomPlot::rpImmediateRefresh);
    plot.yAxis->setLabel(ChartPlot::yLabelText(look.yLabelShown, unit));
    // The channels' names tell the instruments apart.
    plot.legend->setVisible(true);
    // The four graphs of the set-up draw the first instrument; the others
    // get graphs like them.
    for (int m = 1; m < measurements.size(); ++m) {
        for (int ch = 0; ch < kChannelCount; ++ch) {
            const QCPGraph *like = plot.graph(ch);
            QCPGraph *graph = new DenseGraph(plot.xAxis, plot.yAxis);
            graph->setLineStyle(like->lineStyle());
            graph->setScatterStyle(like->scatterStyle());
            QPen pen = like->pen();
            pen.setStyle(instrumentLineStyle(m));
            graph->setPen(pen);
        }
    }
    for (int m = 0; m < measurements.size(); ++m) {
        const QVector<_T_EE_TEST_DATA> &records = measurements[m].records;
        for (int ch = 0; ch < kChannelCount; ++ch) {
            const int index = m * kChannelCount + ch;
            plot.graph(index)->setName(labels.value(m) + QStringLiteral(" T%1").arg(ch + 1));
            ChartSeries series;
            for (int i = 0; i < records.size(); ++i) {
                const _T_EE_TEST_DATA &r = records[i];
                if (r.state[ch] != StateValue || !std::isfinite(r.value[ch]))
                    continue;
                series.keys << keys[m][i];
                series.values << celsiusToUnit(r.value[ch], unit);
            }
            chart.setSeries(index, series);
        }
    }
    chart.rescaleWithMargin();
    return chart.reportImage();
}

void ChartPlot::setLimitLines(const QVector<QPair<int, float>> &limits, int unit)
{
    if (!m_plot)
        return;
    for (QCPItemStraightLine *line : m_limitLines)
        if (m_plot->hasItem(line))
            m_plot->removeItem(line);
    m_limitLines.clear();
    for (const auto &[channel, celsius] : limits) {
        QCPGraph *graph = m_plot->graph(channel);
        if (!graph)
            continue;
        const double y = celsiusToUnit(celsius, unit);
        auto *line = new QCPItemStraightLine(m_plot);
        line->point1->setCoords(0, y);
        line->point2->setCoords(1, y);
        QPen pen(graph->pen().color(), 1, Qt::DashLine);
        line->setPen(pen);
        line->setSelectable(false);
        m_limitLines.append(line);
    }
    fitValuesToView();
    m_plot->replot(QCustomPlot::rpQueuedReplot);
}
