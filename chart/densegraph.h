#pragma once

#include <qcustomplot.h>

#include <memory>

class ChartTrace;

// A graph whose line, where its points are denser than the pixels and it is
// drawn without smoothing onto a raster, is filled column by column instead
// of stroked segment by segment: the same pixels at a small fraction of the
// cost. Smoothed, scaled or vector output (PDF) is drawn as usual.
class DenseGraph : public QCPGraph
{
    Q_OBJECT
public:
    DenseGraph(QCPAxis *keyAxis, QCPAxis *valueAxis);

    // With a trace the graph holds only the points of the keys in view, as
    // the trace gives them for the axis rect's width, and takes them anew
    // whenever the range or the width changed; its key and value ranges are
    // those of all the channel's readings. Without one (null) it holds what
    // setData() gave it.
    void setTrace(std::shared_ptr<const ChartTrace> trace, int channel);
    const ChartTrace *trace() const { return m_trace.get(); }
    // Brings the points up to the range and width shown now.
    void updatePoints();

    QCPRange getKeyRange(bool &foundRange, QCP::SignDomain inSignDomain) const override;
    // The sign domain and key range are not looked at with a trace.
    QCPRange getValueRange(bool &foundRange, QCP::SignDomain inSignDomain,
                           const QCPRange &inKeyRange) const override;

protected:
    void draw(QCPPainter *painter) override;
    void drawLinePlot(QCPPainter *painter, const QVector<QPointF> &lines) const override;

private:
    std::shared_ptr<const ChartTrace> m_trace;
    int m_channel = 0;
    // What the points were taken for.
    QCPRange m_pointsRange;
    int m_pointsColumns = -1;
};
