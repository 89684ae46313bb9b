#include "export/tabletextpainter.h"

#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPainter>
#include <QTextLayout>

TableTextPainter::TableTextPainter(const QFont &font, QPaintDevice *device) : m_font(font)
{
    // The raw font at the device's resolution comes from laying out a
    // sample on the device.
    QTextLayout layout(QStringLiteral("0123456789"), font, device);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    if (runs.size() == 1)
        m_raw = runs.first().rawFont();
    const QFontMetricsF metrics(font, device);
    m_ascent = metrics.ascent();
    m_lineHeight = metrics.height();
}

const TableTextPainter::Glyph &TableTextPainter::glyph(QChar c)
{
    Glyph &g = m_glyphs[c.unicode()];
    if (g.known)
        return g;
    g.known = true;
    if (!m_raw.isValid() || !m_raw.supportsCharacter(c))
        return g;
    const QVector<quint32> index = m_raw.glyphIndexesForString(QString(c));
    if (index.size() != 1 || index.first() == 0)
        return g;
    const QVector<QPointF> advance = m_raw.advancesForGlyphIndexes(index);
    g.index = index.first();
    g.advance = advance.isEmpty() ? 0 : advance.first().x();
    g.present = true;
    return g;
}

void TableTextPainter::addCentered(QPainter &painter, const QRect &cell, const QString &text)
{
    const int start = m_indexes.size();
    qreal width = 0;
    for (const QChar c : text) {
        const Glyph &g = glyph(c);
        if (!g.present) {
            m_indexes.resize(start);
            m_positions.resize(start);
            painter.drawText(cell, Qt::AlignCenter, text);
            return;
        }
        m_indexes << g.index;
        m_positions << QPointF(width, 0);
        width += g.advance;
    }
    const qreal left = cell.left() + (cell.width() - width) / 2;
    const qreal baseline = cell.top() + (cell.height() - m_lineHeight) / 2 + m_ascent;
    for (int i = start; i < m_positions.size(); ++i)
        m_positions[i] += QPointF(left, baseline);
}

void TableTextPainter::flush(QPainter &painter)
{
    if (m_indexes.isEmpty())
        return;
    QGlyphRun run;
    run.setRawFont(m_raw);
    run.setGlyphIndexes(m_indexes);
    run.setPositions(m_positions);
    painter.drawGlyphRun(QPointF(0, 0), run);
    m_indexes.resize(0); // keeps the capacity for the next row
    m_positions.resize(0);
}
