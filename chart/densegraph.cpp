#include "chart/densegraph.h"

#include "chart/chartseries.h"
#include "chart/charttrace.h"

#include <cmath>

namespace {

// QCustomPlot's buffers switch on this hint (deprecated, so named by value).
// The raster engine smooths everything while it is set, whatever
// Antialiasing says, and fills even whole-pixel rectangles through its
// smoothing rasterizer.
constexpr auto kHighQualityAntialiasing = QPainter::RenderHint(0x08);

// Whether the dash pattern `pattern` (in pen widths, as QPen gives it) laid
// along the x axis from 0 puts a dash at `x`. A dense zigzag is filled
// column by column; dashing it along x keeps a dashed curve looking dashed
// where stroking each tiny segment would restart the pattern everywhere.
bool onDash(const QVector<qreal> &pattern, double width, double x)
{
    double period = 0;
    for (qreal length : pattern)
        period += length * width;
    if (period <= 0)
        return true;
    double at = std::fmod(x, period);
    if (at < 0)
        at += period;
    for (int i = 0; i < pattern.size(); ++i) {
        at -= pattern.at(i) * width;
        if (at < 0)
            return i % 2 == 0;
    }
    return true;
}

// Filled in one call: a painter's fillRect per column costs more in its own
// state handling than in the pixels, over forty curves.
void fillSpans(QCPPainter *painter, const QVector<QRect> &spans, const QPen &pen)
{
    if (spans.isEmpty())
        return;
    const QBrush brush = painter->brush();
    painter->setPen(Qt::NoPen);
    painter->setBrush(pen.color());
    painter->drawRects(mergedColumns(spans));
    painter->setBrush(brush);
    painter->setPen(pen);
}

} // namespace

DenseGraph::DenseGraph(QCPAxis *keyAxis, QCPAxis *valueAxis) : QCPGraph(keyAxis, valueAxis)
{
    // QCustomPlot's own thinning keeps each pixel column's extremes and
    // drops the NaN points that break the line at a pause; the trace thins
    // stored records itself, and the dense columns are filled cheaply.
    setAdaptiveSampling(false);
}

void DenseGraph::setTrace(std::shared_ptr<const ChartTrace> trace, int channel)
{
    m_trace = std::move(trace);
    m_channel = channel;
    m_pointsColumns = -1;
    data()->clear();
}

void DenseGraph::updatePoints()
{
    if (!m_trace || !keyAxis())
        return;
    const QCPRange shown = keyAxis()->range();
    const int columns = keyAxis()->axisRect()->width();
    if (shown == m_pointsRange && columns == m_pointsColumns)
        return;
    m_pointsRange = shown;
    m_pointsColumns = columns;
    data()->set(m_trace->points(m_channel, shown, columns), true);
}

QCPRange DenseGraph::getKeyRange(bool &foundRange, QCP::SignDomain inSignDomain) const
{
    if (!m_trace)
        return QCPGraph::getKeyRange(foundRange, inSignDomain);
    return m_trace->keyRange(m_channel, &foundRange);
}

QCPRange DenseGraph::getValueRange(bool &foundRange, QCP::SignDomain inSignDomain,
                                   const QCPRange &inKeyRange) const
{
    if (!m_trace)
        return QCPGraph::getValueRange(foundRange, inSignDomain, inKeyRange);
    return m_trace->valueRange(m_channel, &foundRange);
}

void DenseGraph::draw(QCPPainter *painter)
{
    updatePoints();
    QCPGraph::draw(painter);
}

void DenseGraph::drawLinePlot(QCPPainter *painter, const QVector<QPointF> &lines) const
{
    const QPen pen = painter->pen();
    if (pen.style() == Qt::NoPen || pen.color().alpha() == 0)
        return;
    applyDefaultAntialiasingHint(painter);
    const bool pixelExact = !painter->modes().testFlag(QCPPainter::pmVectorized) &&
                            !painter->antialiasing() && pen.brush().style() == Qt::SolidPattern &&
                            painter->transform().type() <= QTransform::TxTranslate;
    if (!pixelExact) {
        QCPGraph::drawLinePlot(painter, lines);
        return;
    }
    const bool highQuality = painter->testRenderHint(kHighQualityAntialiasing);
    painter->setRenderHint(kHighQualityAntialiasing, false);
    const PolylinePieces pieces = densePolylinePieces(lines, pen.widthF());
    if (pen.style() == Qt::SolidLine) {
        fillSpans(painter, pieces.spans, pen);
        if (!pieces.lines.isEmpty())
            painter->drawLines(pieces.lines);
    } else {
        // Dashed: stroking thousands of dashed segments costs seconds.
        // Columns and short segments are drawn where a dash lies along x;
        // segments longer than the pattern are stroked with it.
        const QVector<qreal> pattern = pen.dashPattern();
        const double width = qMax(pen.widthF(), 1.0);
        double period = 0;
        for (qreal length : pattern)
            period += length * width;
        QVector<QRect> dashes;
        for (const QRect &span : pieces.spans)
            if (onDash(pattern, width, span.center().x()))
                dashes.append(span);
        fillSpans(painter, dashes, pen);
        QVector<QLineF> solid;
        QPen solidPen = pen;
        solidPen.setStyle(Qt::SolidLine);
        for (const QLineF &line : pieces.lines) {
            if (std::abs(line.dx()) > period)
                painter->drawLine(line);
            else if (onDash(pattern, width, line.center().x()))
                solid.append(line);
        }
        painter->setPen(solidPen);
        if (!solid.isEmpty())
            painter->drawLines(solid);
        painter->setPen(pen);
    }
    painter->setRenderHint(kHighQualityAntialiasing, highQuality);
}
