// The chart on a QCustomPlot of its own: what it fits its axes to and what
// its saved files show.
#include "chart/chartplot.h"
#include "instrument/temperature.h"

#include <qcustomplot.h>

#include <QBuffer>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A 600 x 400 chart, titles and legend off, T1 reading 10..20 at keys 0..10.
struct Chart
{
    QCustomPlot plot;
    ChartPlot chart;

    Chart()
    {
        plot.resize(600, 400);
        chart.setup(&plot, ChartLook{}, QFont());
        ChartSeries series;
        for (int i = 0; i <= 10; ++i) {
            series.keys << i;
            series.values << 10 + i;
        }
        chart.setSeries(0, series);
        chart.rescaleWithMargin();
    }
};

// The image as it comes back from a JPG file of the default quality.
QImage throughJpg(const QImage &image)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG");
    return QImage::fromData(buffer.data(), "JPG");
}

} // namespace

class TestChartPlot : public QObject
{
    Q_OBJECT

private slots:
    // The limit lines drawn are in view: the value axis is fitted to them
    // with the readings, when they are switched on, at a rescale and when
    // the time axis is zoomed; without them it fits the readings again.
    void valueAxisShowsTheLimitLines()
    {
        Chart c;
        const QCPRange readings = rangeWithMargin(QCPRange(10, 20));
        QCOMPARE(c.plot.yAxis->range(), readings);
        c.chart.setLimitLines({{0, 100.0f}, {0, 0.0f}}, UnitCelsius);
        QCOMPARE(c.plot.yAxis->range(), rangeWithMargin(QCPRange(0, 100)));
        c.chart.rescaleWithMargin();
        QCOMPARE(c.plot.yAxis->range(), rangeWithMargin(QCPRange(0, 100)));
        c.plot.xAxis->setRange(2, 4);
        c.chart.fitValuesToView();
        QCOMPARE(c.plot.yAxis->range(), rangeWithMargin(QCPRange(0, 100)));

        c.chart.setLimitLines({{0, 100.0f}}, UnitFahrenheit); // 212 °F
        QCOMPARE(c.plot.yAxis->range(), rangeWithMargin(QCPRange(12, 212)));
        c.chart.setLimitLines({}, UnitCelsius);
        c.chart.rescaleWithMargin();
        QCOMPARE(c.plot.yAxis->range(), readings);
    }

    // A saved picture shows the legend and both axis titles, a title
    // switched off with its default text and one renamed as it is; the
    // chart on screen stays as it was.
    void savedPictureShowsLegendAndTitles_data()
    {
        QTest::addColumn<QString>("screenTitle");
        QTest::addColumn<QString>("savedTitle");
        QTest::newRow("titles off") << QString() << QStringLiteral("编号");
        QTest::newRow("renamed") << QStringLiteral("Probe") << QStringLiteral("Probe");
    }
    void savedPictureShowsLegendAndTitles()
    {
        QFETCH(QString, screenTitle);
        QFETCH(QString, savedTitle);
        Chart c;
        c.plot.xAxis->setLabel(screenTitle);
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("chart.jpg"));
        QString error;
        QVERIFY2(c.chart.saveJpg(file, UnitFahrenheit, &error), qPrintable(error));
        QVERIFY(!c.plot.legend->visible());
        QCOMPARE(c.plot.xAxis->label(), screenTitle);
        QCOMPARE(c.plot.yAxis->label(), QString());
        const QImage screen = c.chart.picture(0, 0).toImage();

        c.plot.legend->setVisible(true);
        c.plot.xAxis->setLabel(savedTitle);
        c.plot.yAxis->setLabel(QStringLiteral("温度 (℉)"));
        const QImage expected = throughJpg(c.chart.picture(0, 0).toImage());
        QVERIFY(expected != throughJpg(screen));
        QCOMPARE(QImage(file).convertToFormat(expected.format()), expected);
    }
};

QTEST_MAIN(TestChartPlot)
#include "tst_chartplot.moc"
