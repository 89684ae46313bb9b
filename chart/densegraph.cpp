#include "chart/densegraph.h"

#include "chart/chartseries.h"

namespace {

// QCustomPlot's buffers switch on this hint (deprecated, so named by value).
// The raster engine smooths everything while it is set, whatever
// Antialiasing says, and fills even whole-pixel rectangles through its
// smoothing rasterizer.
constexpr auto kHighQualityAntialiasing = QPainter::RenderHint(0x08);

} // namespace

DenseGraph::DenseGraph(QCPAxis *keyAxis, QCPAxis *valueAxis) : QCPGraph(keyAxis, valueAxis)
{
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
