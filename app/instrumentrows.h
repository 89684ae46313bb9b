#pragma once

#include "widgets/dashboardrules.h" // unit_type

#include <QList>
#include <QWidget>

#include <array>

class InstrumentConnection;
class QGridLayout;
class QLabel;

// The live readings page with several instruments: one labelled row of four
// channel tiles per connected instrument, each showing its last reading.
class InstrumentRows : public QWidget
{
    Q_OBJECT

public:
    explicit InstrumentRows(QWidget *parent = nullptr);

    // The instruments shown, in this order.
    void setConnections(const QList<InstrumentConnection *> &connections);
    void setUnit(unit_type unit);
    int rowCount() const { return m_rows.size(); }

private:
    struct Row
    {
        InstrumentConnection *connection = nullptr;
        QLabel *label = nullptr;
        std::array<QLabel *, 4> tiles{};
    };
    void showReading(const Row &row);

    QGridLayout *m_grid;
    QList<Row> m_rows;
    unit_type m_unit = 0;
    // A reading arrived since the tiles were last drawn.
    bool m_stale = false;
    static constexpr int kRefreshMs = 1000;
};
