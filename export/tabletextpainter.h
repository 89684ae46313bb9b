#pragma once

#include <QFont>
#include <QHash>
#include <QRawFont>
#include <QRect>
#include <QString>
#include <QVector>

class QPainter;
class QPaintDevice;

// Draws the short one-line texts of the report's record table centred in
// their cells, without shaping each text again: the glyph and advance of
// every character are looked up once per report, and a text is drawn as a
// run of those glyphs. A report of 80000 records draws 800000 cells, and
// shaping them one by one would cost most of its time. A text with a
// character the font lacks is drawn the ordinary way.
class TableTextPainter
{
public:
    TableTextPainter(const QFont &font, QPaintDevice *device);

    // Adds `text` centred in `cell`; the texts added since the last flush()
    // are drawn together by it (one run per row keeps the file's drawing
    // commands few).
    void addCentered(QPainter &painter, const QRect &cell, const QString &text);
    void flush(QPainter &painter);

private:
    struct Glyph
    {
        quint32 index = 0;
        qreal advance = 0;
        bool known = false;
        bool present = false;
    };
    const Glyph &glyph(QChar c);

    QFont m_font;
    QRawFont m_raw;
    qreal m_ascent = 0;
    qreal m_lineHeight = 0;
    QHash<ushort, Glyph> m_glyphs;
    QVector<quint32> m_indexes;
    QVector<QPointF> m_positions;
};
