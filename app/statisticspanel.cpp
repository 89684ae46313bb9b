#include "app/statisticspanel.h"

#include "instrument/temperature.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

enum Row
{
    RowReadings,
    RowMin,
    RowMax,
    RowMean,
    RowStddev,
    RowMkt,
    RowAbove,
    RowBelow,
    RowBand,
    RowCount
};

// "h:mm:ss" of a time in seconds.
QString durationText(qint64 seconds)
{
    return QStringLiteral("%1:%2:%3")
        .arg(seconds / 3600)
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

// A difference of temperatures in `unit`: scaled, never offset.
double differenceInUnit(double celsius, int unit)
{
    return unit == UnitFahrenheit ? celsius * 1.8 : celsius;
}

} // namespace

StatisticsFigures sourceFigures(const StatisticsSource &source, const AppSettings &settings,
                                double bandLow, double bandHigh, double kiloJoulesPerMole)
{
    StatisticsFigures out;
    const QVector<_T_EE_TEST_DATA> &records = source.measurement->records;
    if (source.first > source.last)
        return out;
    const qint64 spacing = usualSpacing(records, 0, records.size() - 1);
    for (int ch = 0; ch < kChannelCount; ++ch) {
        StatisticsLimits limits;
        if (settings.limitEnabled[ch]) {
            limits.high = settings.highLimit[ch];
            limits.low = settings.lowLimit[ch];
        }
        limits.bandLow = bandLow;
        limits.bandHigh = bandHigh;
        limits.mktActivation = mktActivationFromKiloJoules(kiloJoulesPerMole);
        MeasurementStatistics statistics(limits);
        statistics.addRange(records, source.first, source.last, spacing);
        const StatisticsFigures figures = statistics.figures();
        out.channel[ch] = figures.channel[ch];
        out.spread = figures.spread;
    }
    return out;
}

StatisticsPanel::StatisticsPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("statistics_panel"));
    auto *column = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    m_scope = new QComboBox(this);
    m_scope->setObjectName(QStringLiteral("statistics_scope"));
    m_scope->addItems({tr("图表中显示的范围"), tr("整个测量")});
    m_activation = new QDoubleSpinBox(this);
    m_activation->setObjectName(QStringLiteral("statistics_activation"));
    m_activation->setRange(1, 1000);
    m_activation->setDecimals(2);
    m_activation->setValue(83.14);
    m_activation->setSuffix(QStringLiteral(" kJ/mol"));
    m_bandLow = new QDoubleSpinBox(this);
    m_bandLow->setObjectName(QStringLiteral("statistics_band_low"));
    m_bandHigh = new QDoubleSpinBox(this);
    m_bandHigh->setObjectName(QStringLiteral("statistics_band_high"));
    for (QDoubleSpinBox *box : {m_bandLow, m_bandHigh}) {
        box->setRange(-400, 3000);
        box->setDecimals(1);
        box->setKeyboardTracking(false);
    }
    m_bandLow->setValue(2);
    m_bandHigh->setValue(8);
    form->addRow(tr("范围："), m_scope);
    form->addRow(tr("ΔH："), m_activation);
    form->addRow(tr("区间下限："), m_bandLow);
    form->addRow(tr("区间上限："), m_bandHigh);
    column->addLayout(form);
    m_table = new QTableWidget(RowCount, 0, this);
    m_table->setObjectName(QStringLiteral("statistics_table"));
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setVerticalHeaderLabels({tr("读数"), tr("最小值"), tr("最大值"), tr("平均值"),
                                      tr("标准差"), tr("MKT"), tr("高于上限"), tr("低于下限"),
                                      tr("区间内")});
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    column->addWidget(m_table, 1);
    m_spread = new QLabel(this);
    m_spread->setObjectName(QStringLiteral("statistics_spread"));
    m_spread->setWordWrap(true);
    column->addWidget(m_spread);

    connect(m_scope, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &StatisticsPanel::optionsChanged);
    for (QDoubleSpinBox *box : {m_activation, m_bandLow, m_bandHigh})
        connect(box, qOverload<double>(&QDoubleSpinBox::valueChanged), this,
                &StatisticsPanel::optionsChanged);
}

bool StatisticsPanel::wholeMeasurements() const
{
    return m_scope->currentIndex() == 1;
}

void StatisticsPanel::showFigures(const QVector<StatisticsSource> &sources,
                                  const AppSettings &settings, int unit)
{
    m_unit = unit;
    const QString symbol = QLatin1Char(' ') + unitSymbol(unit);
    for (QDoubleSpinBox *box : {m_bandLow, m_bandHigh})
        box->setSuffix(symbol);
    const double bandLow = double(unitToCelsius(float(m_bandLow->value()), unit));
    const double bandHigh = double(unitToCelsius(float(m_bandHigh->value()), unit));
    m_figures.clear();
    QStringList columns;
    QStringList spreads;
    for (const StatisticsSource &source : sources) {
        m_figures << sourceFigures(source, settings, qMin(bandLow, bandHigh),
                                   qMax(bandLow, bandHigh), m_activation->value());
        const QString prefix = source.name.isEmpty() ? QString() : source.name + QLatin1Char(' ');
        for (int ch = 0; ch < kChannelCount; ++ch)
            columns << prefix + QStringLiteral("T%1").arg(ch + 1);
        const SpreadFigure &s = m_figures.constLast().spread;
        if (s.record >= 0)
            spreads << tr("%1通道间最大差值 %2（T%3 − T%4，%5）")
                           .arg(prefix)
                           .arg(QString::number(differenceInUnit(s.spread, unit), 'f', 1) + symbol)
                           .arg(s.highChannel + 1)
                           .arg(s.lowChannel + 1)
                           .arg(s.time.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    }
    m_table->setColumnCount(columns.size());
    m_table->setHorizontalHeaderLabels(columns);
    const auto temperature = [&](double celsius) {
        return QString::number(double(celsiusToUnit(float(celsius), unit)), 'f', 1) + symbol;
    };
    for (int m = 0; m < m_figures.size(); ++m) {
        for (int ch = 0; ch < kChannelCount; ++ch) {
            const ChannelFigures &f = m_figures.at(m).channel[ch];
            const bool any = f.readings > 0;
            const bool limited = settings.limitEnabled[ch];
            const QString cells[RowCount] = {
                QString::number(f.readings),
                any ? temperature(f.min) : QString(),
                any ? temperature(f.max) : QString(),
                any ? temperature(f.mean) : QString(),
                any ? QString::number(differenceInUnit(f.stddev, unit), 'f', 2) + symbol
                    : QString(),
                any ? temperature(f.mkt) : QString(),
                any && limited ? durationText(f.aboveSeconds) : QString(),
                any && limited ? durationText(f.belowSeconds) : QString(),
                any ? durationText(f.bandSeconds) : QString(),
            };
            for (int row = 0; row < RowCount; ++row) {
                auto *item = new QTableWidgetItem(cells[row]);
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
                m_table->setItem(row, m * kChannelCount + ch, item);
            }
        }
    }
    m_spread->setText(spreads.join(QLatin1Char('\n')));
}
