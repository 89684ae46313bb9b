#include "app/instrumentrows.h"

#include "app/instrumentconnection.h"
#include "instrument/temperature.h"

#include <QGridLayout>
#include <QLabel>
#include <QTimer>

InstrumentRows::InstrumentRows(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("widget_instrument_rows"));
    m_grid = new QGridLayout(this);
    m_grid->setContentsMargins(10, 10, 10, 10);
    m_grid->setSpacing(10);
    // Several instruments send two readings a second each: the tiles are
    // redrawn once a second at most, as the dashboard's are.
    auto *refresh = new QTimer(this);
    connect(refresh, &QTimer::timeout, this, [this] {
        if (!m_stale || !isVisible())
            return;
        m_stale = false;
        for (const Row &row : qAsConst(m_rows))
            showReading(row);
    });
    refresh->start(kRefreshMs);
}

void InstrumentRows::setConnections(const QList<InstrumentConnection *> &connections)
{
    for (const Row &row : qAsConst(m_rows)) {
        disconnect(row.connection, nullptr, this, nullptr);
        delete row.label;
        for (QLabel *tile : row.tiles)
            delete tile;
    }
    m_rows.clear();
    // A row is the label on a line of its own above the four tiles: the
    // side panel is narrow.
    for (InstrumentConnection *connection : connections) {
        Row row;
        row.connection = connection;
        const int r = m_rows.size();
        row.label = new QLabel(this);
        row.label->setObjectName(QStringLiteral("label_instrument_row_%1").arg(r));
        row.label->setStyleSheet(QStringLiteral("font-weight: bold;"));
        m_grid->addWidget(row.label, 2 * r, 0, 1, kChannelCount);
        for (int ch = 0; ch < kChannelCount; ++ch) {
            auto *tile = new QLabel(this);
            tile->setAlignment(Qt::AlignCenter);
            QFont font = tile->font();
            font.setBold(true);
            font.setPointSizeF(font.pointSizeF() * 1.3);
            tile->setFont(font);
            tile->setStyleSheet(QStringLiteral("background: white; border: 1px solid #d0d7de; "
                                               "border-radius: 6px; padding: 4px;"));
            row.tiles[ch] = tile;
            m_grid->addWidget(tile, 2 * r + 1, ch);
        }
        m_rows << row;
        showReading(row);
        connect(connection, &InstrumentConnection::readingShown, this, [this] { m_stale = true; });
    }
    for (int c = 0; c < kChannelCount; ++c)
        m_grid->setColumnStretch(c, 1);
}

void InstrumentRows::setUnit(unit_type unit)
{
    m_unit = unit;
    for (const Row &row : qAsConst(m_rows))
        showReading(row);
}

// The label with the unit, and on each tile "T<n>" over the value; "--"
// while the instrument has sent no reading since it was connected.
void InstrumentRows::showReading(const Row &row)
{
    const InstrumentConnection &c = *row.connection;
    row.label->setText(QStringLiteral("%1 (%2)").arg(c.label(), unitSymbol(m_unit)));
    for (int ch = 0; ch < kChannelCount; ++ch) {
        const QString value = c.hasReading()
                                  ? valueText(c.lastReading().value[ch],
                                              statusState(c.lastReading().status[ch]), m_unit)
                                  : QStringLiteral("--");
        const QString text = QStringLiteral("T%1\n%2").arg(ch + 1).arg(value);
        if (row.tiles[ch]->text() != text)
            row.tiles[ch]->setText(text);
    }
}
