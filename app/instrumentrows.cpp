#include "app/instrumentrows.h"

#include "app/instrumentconnection.h"
#include "instrument/temperature.h"

#include <QGridLayout>
#include <QLabel>

InstrumentRows::InstrumentRows(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("widget_instrument_rows"));
    m_grid = new QGridLayout(this);
    m_grid->setContentsMargins(10, 10, 10, 10);
    m_grid->setSpacing(10);
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
    for (InstrumentConnection *connection : connections) {
        Row row;
        row.connection = connection;
        const int r = m_rows.size();
        row.label = new QLabel(connection->label(), this);
        row.label->setObjectName(QStringLiteral("label_instrument_row_%1").arg(r));
        row.label->setStyleSheet(QStringLiteral("font-size: 16pt; font-weight: bold;"));
        m_grid->addWidget(row.label, r, 0);
        for (int ch = 0; ch < kChannelCount; ++ch) {
            auto *tile = new QLabel(this);
            tile->setAlignment(Qt::AlignCenter);
            tile->setMinimumHeight(64);
            tile->setStyleSheet(QStringLiteral("background: white; border: 1px solid #d0d7de; "
                                               "border-radius: 6px; font-size: 18pt;"));
            row.tiles[ch] = tile;
            m_grid->addWidget(tile, r, ch + 1);
        }
        m_rows << row;
        showReading(row);
        connect(connection, &InstrumentConnection::readingShown, this, [this, connection] {
            for (const Row &shown : qAsConst(m_rows))
                if (shown.connection == connection)
                    showReading(shown);
        });
    }
    for (int c = 1; c <= kChannelCount; ++c)
        m_grid->setColumnStretch(c, 1);
}

void InstrumentRows::setUnit(unit_type unit)
{
    m_unit = unit;
    for (const Row &row : qAsConst(m_rows))
        showReading(row);
}

QString InstrumentRows::labelText(int row) const
{
    return m_rows[row].label->text();
}

QString InstrumentRows::tileText(int row, int channel) const
{
    return m_rows[row].tiles[channel]->text();
}

// Each tile: "T<n>" over the value in the shown unit; no value while the
// instrument has sent no reading since it was connected.
void InstrumentRows::showReading(const Row &row)
{
    const InstrumentConnection &c = *row.connection;
    row.label->setText(c.label());
    for (int ch = 0; ch < kChannelCount; ++ch) {
        const QString value = c.hasReading()
                                  ? valueText(c.lastReading().value[ch],
                                              statusState(c.lastReading().status[ch]), m_unit)
                                  : QStringLiteral("--");
        row.tiles[ch]->setText(QStringLiteral("T%1\n%2 %3")
                                   .arg(ch + 1)
                                   .arg(value, c.hasReading() ? unitSymbol(m_unit) : QString()));
    }
}
