#include "chart/chartseries.h"
#include "chart/charttrace.h"
#include "instrument/temperature.h"

#include <QPainter>
#include <QtTest>

namespace {

RecordedReading reading(float t1, quint8 status1 = 0, int second = 0)
{
    RecordedReading r;
    for (int ch = 0; ch < kChannelCount; ++ch)
        r.first.value[ch] = t1 + ch;
    r.first.status[0] = status1;
    r.second = _T_TIME{24, 3, 5, 14, 5, quint8(second)};
    return r;
}

_T_EE_TEST_DATA record(float t1, quint8 state2 = 0)
{
    _T_EE_TEST_DATA r;
    for (int ch = 0; ch < kChannelCount; ++ch)
        r.value[ch] = t1 + ch;
    r.state[1] = state2;
    r.year = 24;
    r.month = 3;
    r.day = 5;
    r.hour = 14;
    r.minute = 5;
    r.second = 9;
    return r;
}

} // namespace

class TestChartSeries : public QObject
{
    Q_OBJECT

private slots:
    // A reading without a value leaves a hole in its own channel only; the
    // positions after it keep their keys.
    void gapsStayInTheirChannel()
    {
        const QList<RecordedReading> live{reading(10), reading(11, 0x0F), reading(12, 0x10),
                                          reading(13, 0xF0), reading(14)};
        const ChartSeries t1 = liveSeries(live, 0, UnitCelsius, false);
        QCOMPARE(t1.keys, (QVector<double>{0, 1, 4}));
        QCOMPARE(t1.values, (QVector<double>{10, 11, 14}));
        const ChartSeries t2 = liveSeries(live, 1, UnitCelsius, false);
        QCOMPARE(t2.keys, (QVector<double>{0, 1, 2, 3, 4}));
        QCOMPARE(t2.values.at(2), 13.0);

        // Stored records: any state other than 0 has no value.
        const QVector<_T_EE_TEST_DATA> stored{record(20), record(21, 1), record(22, 2), record(23)};
        QCOMPARE(storedSeries(stored, 1, UnitCelsius, false).keys, (QVector<double>{0, 3}));
        QCOMPARE(storedSeries(stored, 0, UnitCelsius, false).keys.size(), 4);

        QVERIFY(liveSeries(live, 4, UnitCelsius, false).keys.isEmpty());
        QVERIFY(storedSeries(stored, -1, UnitCelsius, false).keys.isEmpty());
    }

    // A line breaks where a reading came more than twice the usual spacing
    // after the one before; a reading without a time neither makes nor
    // breaks a gap.
    void lineBreaksAtPauses()
    {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        QCOMPARE(lineBreaks({0, 1, 2, 3, 10, 11, nan, 12, 20}), (QVector<int>{4, 8}));
        // At 10 s, a step of 20 s is no gap yet, one of 21 s is.
        QCOMPARE(lineBreaks({0, 10, 20, 30, 50, 71}), (QVector<int>{5}));
        QVERIFY(lineBreaks({5, 5, nan}).isEmpty());
    }

    // The graph of stored records, as the window, the report and the chart
    // images draw it, has a NaN point in the pause, with the readings
    // themselves and with one envelope per pixel column alike; the envelope
    // keeps each column's extremes.
    void drawnDataBreaksAtPauses()
    {
        QVector<_T_EE_TEST_DATA> list;
        for (int i = 0; i < 100000; ++i) {
            _T_EE_TEST_DATA r = record(i % 7 == 0 ? -50.0f : float(i % 5));
            const int second = i < 60000 ? i : i + 600;
            r.day = quint8(1 + second / 86400);
            r.hour = quint8(second / 3600 % 24);
            r.minute = quint8(second / 60 % 60);
            r.second = quint8(second % 60);
            list.append(r);
        }
        // NaN points between the keys `from` and `to`; anywhere else counts 100.
        const auto breaksBetween = [](const QVector<QCPGraphData> &points, double from, double to) {
            int nans = 0;
            for (const QCPGraphData &p : points)
                nans += std::isnan(p.value) ? (p.key > from && p.key < to ? 1 : 100) : 0;
            return nans;
        };
        const ChartTrace trace(list, UnitCelsius, false);
        const QVector<QCPGraphData> envelope = trace.points(0, QCPRange(0, 99999), 100);
        QVERIFY(envelope.size() <= 4 * 101 + 1);
        QCOMPARE(breaksBetween(envelope, 59999, 60000), 1);
        QCPRange extremes(0, 0);
        for (const QCPGraphData &p : envelope)
            extremes.expand(std::isnan(p.value) ? 0 : p.value);
        QCOMPARE(extremes, QCPRange(-50, 4));
        QCOMPARE(breaksBetween(trace.points(0, QCPRange(59990, 60010), 100), 59999, 60000), 1);

        const ChartSeries series = storedSeries(list.mid(59990, 20), 0, UnitCelsius, true);
        QVERIFY(std::isnan(series.values.at(10)));
        QVERIFY(series.keys.at(9) < series.keys.at(10) && series.keys.at(10) < series.keys.at(11));
    }

    void valuesInTheShownUnit()
    {
        const QVector<_T_EE_TEST_DATA> stored{record(100)};
        QCOMPARE(storedSeries(stored, 0, UnitFahrenheit, false).values.at(0), 212.0);
        QCOMPARE(float(storedSeries(stored, 0, UnitKelvin, false).values.at(0)), 373.15f);
        QCOMPARE(liveSeries({reading(-40)}, 0, UnitFahrenheit, false).values.at(0), -40.0);
    }

    // Date-time keys are the local time stamp in whole seconds since the
    // epoch; a time stamp that is no date is left out.
    void dateTimeKeys()
    {
        const qint64 expected =
            QDateTime(QDate(2024, 3, 5), QTime(14, 5, 9), Qt::LocalTime).toSecsSinceEpoch();
        QVector<_T_EE_TEST_DATA> stored{record(1), record(2)};
        stored[1].month = 13;
        const ChartSeries s = storedSeries(stored, 0, UnitCelsius, true);
        QCOMPARE(s.keys, (QVector<double>{double(expected)}));

        const QList<RecordedReading> live{reading(1, 0, 58), reading(1, 0, 59)};
        const ChartSeries l = liveSeries(live, 0, UnitCelsius, true);
        QCOMPARE(l.keys.at(1) - l.keys.at(0), 1.0);
        QCOMPARE(l.keys.at(0), double(expected - 9 + 58));
        QVERIFY(l.sorted);
        // A clock set back gives keys out of order; the graph must sort them.
        QVERIFY(!liveSeries({reading(1, 0, 59), reading(1, 0, 58)}, 0, UnitCelsius, true).sorted);
        QVERIFY(liveSeries({reading(1, 0, 59), reading(1, 0, 58)}, 0, UnitCelsius, false).sorted);

        // Crossing into another hour and day gives the right seconds too.
        double s1 = 0, s2 = 0;
        QVERIFY(epochSeconds(24, 12, 31, 23, 59, 59, &s1));
        QVERIFY(epochSeconds(25, 1, 1, 0, 0, 0, &s2));
        QCOMPARE(s2 - s1, 1.0);
        QVERIFY(!epochSeconds(24, 2, 30, 0, 0, 0, &s1));
        QVERIFY(!epochSeconds(24, 2, 3, 0, 60, 0, &s1));
    }

    void marginRule_data()
    {
        QTest::addColumn<double>("lower");
        QTest::addColumn<double>("upper");
        QTest::addColumn<double>("newLower");
        QTest::addColumn<double>("newUpper");
        QTest::newRow("10..30") << 10.0 << 30.0 << 9.0 << 33.0;
        QTest::newRow("-0.5..0.5") << -0.5 << 0.5 << -1.5 << 1.5;
        QTest::newRow("-200..-100") << -200.0 << -100.0 << -220.0 << -90.0;
        QTest::newRow("1000..1372") << 1000.0 << 1372.0 << 900.0 << 1509.2;
    }

    void marginRule()
    {
        QFETCH(double, lower);
        QFETCH(double, upper);
        const QCPRange r = rangeWithMargin(QCPRange(lower, upper));
        QTEST(r.lower, "newLower");
        QTEST(r.upper, "newUpper");
    }

    // The spin boxes count from the first usable style; the stored value is
    // the style number itself at start.
    void stylesAndShapes()
    {
        QCOMPARE(lineStyleFromSpinBox(0), QCPGraph::lsLine);
        QCOMPARE(lineStyleFromSpinBox(2), QCPGraph::lsStepRight);
        QCOMPARE(lineStyleFromSpinBox(4), QCPGraph::lsImpulse);
        QCOMPARE(lineStyleAtSetup(1), QCPGraph::lsLine);
        QCOMPARE(lineStyleAtSetup(2), QCPGraph::lsStepLeft);
        QCOMPARE(lineStyleAtSetup(0), QCPGraph::lsNone);

        QCOMPARE(scatterShapeFromSpinBox(0), QCPScatterStyle::ssDot);
        QCOMPARE(scatterShapeFromSpinBox(13), QCPScatterStyle::ssPlusCircle);
        QCOMPARE(scatterShapeAtSetup(2), QCPScatterStyle::ssPlus);
        QCOMPARE(scatterShapeAtSetup(16), QCPScatterStyle::ssPlus);
        QCOMPARE(scatterShapeAtSetup(13), QCPScatterStyle::ssPlusCircle);
        QCOMPARE(scatterShapeAtSetup(-1), QCPScatterStyle::ssPlusCircle);
    }

    // The tip sits beside the cursor, turned away from the edge it would
    // cross, and never leaves the chart.
    void tipPlacement_data()
    {
        QTest::addColumn<QPoint>("cursor");
        QTest::addColumn<QSize>("chart");
        QTest::addColumn<QPoint>("expected");
        const QSize chart(800, 500);
        QTest::newRow("room right and below") << QPoint(100, 100) << chart << QPoint(130, 130);
        QTest::newRow("right edge") << QPoint(750, 100) << chart << QPoint(620, 130);
        QTest::newRow("bottom edge") << QPoint(100, 450) << chart << QPoint(130, 360);
        QTest::newRow("bottom right corner") << QPoint(795, 495) << chart << QPoint(665, 405);
        QTest::newRow("no room either side") << QPoint(80, 20) << QSize(150, 100) << QPoint(0, 0);
        QTest::newRow("larger than the chart") << QPoint(40, 20) << QSize(80, 50) << QPoint(0, 0);
    }
    void tipPlacement()
    {
        QFETCH(QPoint, cursor);
        QFETCH(QSize, chart);
        QFETCH(QPoint, expected);
        const QSize tip(100, 60);
        const QPoint placed = tipPosition(cursor, tip, chart);
        QCOMPARE(placed, expected);
        if (tip.width() <= chart.width() && tip.height() <= chart.height())
            QVERIFY(QRect(QPoint(0, 0), chart).contains(QRect(placed, tip)));
    }

    // Values as the table writes them, with the unit's symbol; the record as
    // the table numbers it, or its time, with the date over several days.
    void tipLines()
    {
        _T_EE_TEST_DATA r;
        r.value[0] = 24.5674f;
        r.value[1] = 1234.56f;
        r.state[2] = 2;
        r.state[3] = 5;
        QCOMPARE(tipLine(1, tipValueText(r, 0, UnitCelsius), tipRecordText(27, 0, false, false)),
                 QStringLiteral("T1: 24.6 ℃ (28)"));
        QCOMPARE(tipValueText(r, 1, UnitKelvin), QStringLiteral("1508 K"));
        QCOMPARE(tipValueText(r, 2, UnitCelsius), QStringLiteral("OL"));
        QCOMPARE(tipValueText(r, 3, UnitCelsius), QStringLiteral("--\\--"));
        QCOMPARE(tipRecordText(1253950, 0, false, false), QStringLiteral("1253951"));
        const QDateTime time(QDate(2024, 3, 5), QTime(14, 5, 9), Qt::LocalTime);
        const double t = double(time.toSecsSinceEpoch()) + 0.7;
        QCOMPARE(tipRecordText(3, t, true, false), QStringLiteral("14:05:09"));
        QCOMPARE(tipRecordText(3, t, true, true), QStringLiteral("03-05 14:05:09"));
        QVERIFY(!spansDays(t - 14 * 3600, t));
        QVERIFY(spansDays(t, t + 10 * 3600));
    }

    // Markers are thinned out only once they would overlap.
    void markersThinOut()
    {
        QCOMPARE(scatterSkip(100, 700, 6), 0);
        QCOMPARE(scatterSkip(116, 700, 6), 0);
        QCOMPARE(scatterSkip(117, 700, 6), 1);
        QCOMPARE(scatterSkip(10000, 700, 6), 85);
        QCOMPARE(scatterSkip(10000, 0, 6), 0);
    }

    // Points less than a pixel apart become one rectangle per pixel column,
    // covering what a 2-pixel square-capped pen would; the rest stay lines.
    void densePolylineSplitsIntoColumns()
    {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        // A zigzag inside column 10, then a step into column 11.
        const PolylinePieces dense =
            densePolylinePieces({{10.2, 50}, {10.4, 20}, {10.6, 60}, {10.8, 40}, {11.1, 45}}, 2);
        QCOMPARE(dense.spans.size(), 2);
        QVERIFY(dense.lines.isEmpty());
        // Pixel centres within (y - 1, y + 1]: rows 19..60 and columns 9..11.
        QCOMPARE(dense.spans.at(0), QRect(QPoint(9, 19), QPoint(11, 60)));
        // The next column's rectangle includes the step from 40 to 45.
        QCOMPARE(dense.spans.at(1), QRect(QPoint(10, 39), QPoint(11, 45)));

        // Points further apart than a pixel are drawn as lines; a NaN breaks
        // the line, so nothing joins the points on either side of it.
        const PolylinePieces sparse =
            densePolylinePieces({{0, 0}, {5, 5}, {nan, nan}, {7, 7}, {12, 3}, {12.5, 9}}, 2);
        QCOMPARE(sparse.lines, (QVector<QLineF>{QLineF(0, 0, 5, 5), QLineF(7, 7, 12, 3)}));
        QCOMPARE(sparse.spans, (QVector<QRect>{QRect(QPoint(11, 2), QPoint(13, 9))}));
        QVERIFY(densePolylinePieces({{3, 3}}, 2).spans.isEmpty());
    }

    // Filled column by column, a dense noisy line covers nearly the same
    // pixels as the stroked one. The chart thins a dense graph to the first,
    // lowest, highest and last value of each pixel column, all at the
    // column's x.
    void densePolylineLooksLikeTheStrokedLine()
    {
        QVector<QPointF> points;
        for (int c = 0; c < 300; ++c) {
            const double mid = 100 + 40 * std::sin(c / 13.0);
            const double x = 10.25 + c;
            for (double dy : {(c % 3) * 2.0, -7.0 - c % 5, 8.0 + c % 4, (c % 5) - 2.0})
                points.append(QPointF(x, mid + dy));
        }
        QImage stroked(340, 200, QImage::Format_ARGB32_Premultiplied);
        stroked.fill(Qt::white);
        QImage filled = stroked;
        QImage merged = stroked;
        {
            QPainter p(&stroked);
            p.setPen(QPen(Qt::black, 2));
            for (int i = 1; i < points.size(); ++i)
                p.drawLine(QLineF(points.at(i - 1), points.at(i)));
        }
        {
            QPainter p(&filled);
            const PolylinePieces pieces = densePolylinePieces(points, 2);
            QVERIFY(pieces.lines.isEmpty());
            for (const QRect &r : pieces.spans)
                p.fillRect(r, Qt::black);
            QPainter m(&merged);
            for (const QRect &r : mergedColumns(pieces.spans))
                m.fillRect(r, Qt::black);
        }
        // Filled once per column, the same pixels.
        QCOMPARE(merged, filled);
        int inked = 0, differing = 0;
        for (int y = 0; y < stroked.height(); ++y) {
            for (int x = 0; x < stroked.width(); ++x) {
                const bool a = stroked.pixel(x, y) != qRgb(255, 255, 255);
                const bool b = filled.pixel(x, y) != qRgb(255, 255, 255);
                inked += a;
                differing += a != b;
            }
        }
        QVERIFY(inked > 2000);
        QVERIFY2(differing * 20 < inked,
                 qPrintable(QStringLiteral("%1 of %2").arg(differing).arg(inked)));
    }

    void dragFollowsASelectedAxis()
    {
        QCOMPARE(dragOrientations(true, true), Qt::Horizontal);
        QCOMPARE(dragOrientations(false, true), Qt::Vertical);
        QCOMPARE(dragOrientations(false, false), Qt::Horizontal | Qt::Vertical);
    }
};

QTEST_GUILESS_MAIN(TestChartSeries)
#include "tst_chartseries.moc"
