#include "chart/densegraph.h"

#include "chart/chartseries.h"
#include "chart/charttrace.h"

namespace {

// QCustomPlot's buffers switch on this hint (deprecated, so named by value).
// The raster engine smooths everything while it is set, whatever
// Antialiasing says, and fills even whole-pixel rectangles through its
// smoothing rasterizer.
constexpr auto kHighQualityAntialiasing = QPainter::RenderHint(0x08);

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
                            !painter->antialiasing() && pen.style() == Qt::SolidLine &&
                            pen.brush().style() == Qt::SolidPattern &&
                            painter->transform().type() <= QTransform::TxTranslate;
    if (!pixelExact) {
        QCPGraph::drawLinePlot(painter, lines);
        return;
    }
    const bool highQuality = painter->testRenderHint(kHighQualityAntialiasing);
    painter->setRenderHint(kHighQualityAntialiasing, false);
    const PolylinePieces pieces = densePolylinePieces(lines, pen.widthF());
    for (const QRect &span : pieces.spans)
        painter->fillRect(span, pen.color());
    if (!pieces.lines.isEmpty())
        painter->drawLines(pieces.lines);
    painter->setRenderHint(kHighQualityAntialiasing, highQuality);
}
