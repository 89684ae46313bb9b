#pragma once

#include <qcustomplot.h>

// A graph whose line, where its points are denser than the pixels and it is
// drawn without smoothing onto a raster, is filled column by column instead
// of stroked segment by segment: the same pixels at a small fraction of the
// cost. Smoothed, scaled or vector output (PDF) is drawn as usual.
class DenseGraph : public QCPGraph
{
    Q_OBJECT
public:
    DenseGraph(QCPAxis *keyAxis, QCPAxis *valueAxis);

protected:
    void drawLinePlot(QCPPainter *painter, const QVector<QPointF> &lines) const override;
};
