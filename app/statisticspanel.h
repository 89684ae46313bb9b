#pragma once

#include "settings/settingsfile.h"
#include "stats/measurementstatistics.h"

#include <QVector>
#include <QWidget>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QTableWidget;

// Records first..last of one measurement the panel gives figures of; `name`
// prefixes its channels' columns ("<name> T1"), empty for a measurement
// shown alone.
struct StatisticsSource
{
    QString name;
    const Data_List_T *measurement = nullptr;
    int first = 0;
    int last = -1;
};

// The panel beside the chart: per channel (per curve when measurements are
// compared) the readings, minimum, maximum, mean, standard deviation, MKT
// with the ΔH set here, the time above the high and below the low limit in
// use, the time within the band set here, and per measurement the largest
// spread across its channels with its time. For the records in view or the
// whole measurements, as the scope box says.
class StatisticsPanel : public QWidget
{
    Q_OBJECT

public:
    explicit StatisticsPanel(QWidget *parent = nullptr);

    // The whole measurements (or group), not only the records in view.
    bool wholeMeasurements() const;
    // Fills the table in `unit` (0 Celsius, 1 Fahrenheit, 2 Kelvin); limits
    // are those of `settings` switched on, each channel with its own.
    void showFigures(const QVector<StatisticsSource> &sources, const AppSettings &settings,
                     int unit);
    // The figures shown, per source (Celsius, seconds).
    const QVector<StatisticsFigures> &figures() const { return m_figures; }
    QTableWidget *table() const { return m_table; }

signals:
    // Scope, ΔH or band changed: the figures are to be made again.
    void optionsChanged();

private:
    QComboBox *m_scope = nullptr;
    QDoubleSpinBox *m_activation = nullptr;
    QDoubleSpinBox *m_bandLow = nullptr;
    QDoubleSpinBox *m_bandHigh = nullptr;
    QTableWidget *m_table = nullptr;
    QLabel *m_spread = nullptr;
    QVector<StatisticsFigures> m_figures;
    int m_unit = 0;
};

// The figures of records first..last of `measurement`, each channel counted
// with its own limits of `settings` (where switched on) and the band and ΔH
// given (Celsius, kJ/mol); the usual spacing is the whole measurement's.
StatisticsFigures sourceFigures(const StatisticsSource &source, const AppSettings &settings,
                                double bandLow, double bandHigh, double kiloJoulesPerMole);
