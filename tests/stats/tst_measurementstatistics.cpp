#include "stats/measurementstatistics.h"

#include "instrument/temperature.h"
#include "store/data_table_t.h"

#include <QtTest>

#include <cmath>

namespace {

const QDateTime kStart(QDate(2024, 1, 10), QTime(8, 0));
const double kUnset = qQNaN();

_T_EE_TEST_DATA record(qint64 second, float t1, float t2, float t3, float t4,
                       quint8 t1State = StateValue)
{
    const _T_TIME time = timeFromDateTime(kStart.addSecs(second));
    const quint8 type[kChannelCount] = {};
    const quint8 state[kChannelCount] = {t1State, StateValue, StateValue, StateValue};
    const float value[kChannelCount] = {t1, t2, t3, t4};
    return makeStoredRecord(type, state, time, value);
}

// Usual spacing 60 s. T1: an open probe (reading 100) at 120 s, a stop of
// 420 s after the reading at 180 s, a step of 90 s after the one at 660 s.
// Each reading stands for 60 s but the one at 660 s for 90 s. T2 holds
// 25 °C, T3 20 °C for 240 s and then 30 °C for 210 s, T4 falls from 20.6 to
// 20.0 °C by 0.1 °C a reading.
Data_List_T series()
{
    return newMeasurement({record(0, 5.0f, 25, 20, 20.6f), record(60, 9.0f, 25, 20, 20.5f),
                           record(120, 100, 25, 20, 20.4f, StateNoReading),
                           record(180, 9.0f, 25, 20, 20.3f), record(600, 1.0f, 25, 30, 20.2f),
                           record(660, 5.0f, 25, 30, 20.1f), record(750, 8.1f, 25, 30, 20.0f)},
                          QStringLiteral("cold room"));
}

std::optional<double> given(double v)
{
    return std::isnan(v) ? std::nullopt : std::optional<double>(v);
}

} // namespace

class TestMeasurementStatistics : public QObject
{
    Q_OBJECT
private slots:
    void plainFigures();
    void timeFigures_data();
    void timeFigures();
    void meanKineticTemperature_data();
    void meanKineticTemperature();
    void largestSpread_data();
    void largestSpread();
};

// Plain per reading; the open probe's 100 is in no figure.
void TestMeasurementStatistics::plainFigures()
{
    const StatisticsFigures f = measurementStatistics(series());
    const ChannelFigures &t1 = f.channel[0];
    QCOMPARE(t1.readings, qint64(6));
    QCOMPARE(t1.min, 1.0);
    QCOMPARE(t1.max, 9.0);
    // (5 + 9 + 9 + 1 + 5 + 8.1) / 6, population deviation around it.
    QVERIFY(qAbs(t1.mean - 37.1 / 6) < 1e-6);
    QVERIFY(qAbs(t1.stddev - 2.863807) < 1e-6);
    QCOMPARE(f.channel[1].stddev, 0.0);
}

void TestMeasurementStatistics::timeFigures_data()
{
    QTest::addColumn<double>("high");
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("bandLow");
    QTest::addColumn<double>("bandHigh");
    QTest::addColumn<qint64>("above");
    QTest::addColumn<qint64>("below");
    QTest::addColumn<qint64>("band");
    // 9.0 twice, the second before the stop: 60 s, not the 420 s of the
    // step; 8.1 equals the limit.
    QTest::newRow("limits crossed")
        << 8.1 << 2.0 << kUnset << kUnset << qint64(120) << qint64(60) << qint64(0);
    QTest::newRow("band with equal ends")
        << kUnset << kUnset << 5.0 << 5.0 << qint64(0) << qint64(0) << qint64(60 + 90);
    // 1.0, 5.0, 5.0 (90 s) and the last reading 8.1, which stands for 60 s.
    QTest::newRow("band ends included")
        << kUnset << kUnset << 1.0 << 8.1 << qint64(0) << qint64(0) << qint64(60 + 60 + 90 + 60);
}

void TestMeasurementStatistics::timeFigures()
{
    QFETCH(double, high);
    QFETCH(double, low);
    QFETCH(double, bandLow);
    QFETCH(double, bandHigh);
    StatisticsLimits limits;
    limits.high = given(high);
    limits.low = given(low);
    limits.bandLow = given(bandLow);
    limits.bandHigh = given(bandHigh);
    const ChannelFigures t1 = measurementStatistics(series(), limits).channel[0];
    QTEST(t1.aboveSeconds, "above");
    QTEST(t1.belowSeconds, "below");
    QTEST(t1.bandSeconds, "band");
}

void TestMeasurementStatistics::meanKineticTemperature_data()
{
    QTest::addColumn<int>("channel");
    QTest::addColumn<double>("kiloJoules"); // NaN: the default ΔH/R of 10 000 K
    QTest::addColumn<double>("mkt");
    QTest::newRow("constant") << 1 << kUnset << 25.0;
    QTest::newRow("constant, 60 kJ/mol") << 1 << 60.0 << 25.0;
    // 10000 / -ln((240·e^(-10000/293.15) + 210·e^(-10000/303.15)) / 450) - 273.15
    QTest::newRow("two temperatures") << 2 << kUnset << 25.950154105;
    // The same with ΔH/R = 60000 / 8.314462618.
    QTest::newRow("two temperatures, 60 kJ/mol") << 2 << 60.0 << 25.585495225;
    // Σ over T4's seven readings, weights 60 s but 90 s for 20.1 °C.
    QTest::newRow("falling by tenths") << 3 << kUnset << 20.288845293;
}

void TestMeasurementStatistics::meanKineticTemperature()
{
    QFETCH(int, channel);
    QFETCH(double, kiloJoules);
    QFETCH(double, mkt);
    StatisticsLimits limits;
    if (!std::isnan(kiloJoules))
        limits.mktActivation = mktActivationFromKiloJoules(kiloJoules);
    const double got = measurementStatistics(series(), limits).channel[channel].mkt;
    QVERIFY2(qAbs(got - mkt) < 1e-8, qPrintable(QString::number(got, 'f', 9)));
}

void TestMeasurementStatistics::largestSpread_data()
{
    QTest::addColumn<QString>("over");
    QTest::addColumn<int>("measurement");
    QTest::addColumn<int>("record");
    QTest::addColumn<double>("spread");
    QTest::addColumn<int>("high");
    QTest::addColumn<int>("low");
    // At 600 s T3 30 against T1 1.0; the open probe's 100 is no value.
    QTest::newRow("measurement") << "measurement" << 0 << 4 << 29.0 << 2 << 0;
    // Up to 180 s: T2 25 against T1 5.0 at the start.
    QTest::newRow("range") << "range" << 0 << 0 << 20.0 << 1 << 0;
    QTest::newRow("group") << "group" << 1 << 4 << 29.0 << 2 << 0;
}

void TestMeasurementStatistics::largestSpread()
{
    QFETCH(QString, over);
    Data_table_T group;
    group.append(newMeasurement({record(0, 10, 12, 11, 11)}));
    group.append(series());
    const QVector<_T_EE_TEST_DATA> records = group.lists[1]->records;
    MeasurementStatistics statistics;
    if (over == QLatin1String("range")) {
        statistics.addRange(records, 0, 3, usualSpacing(records, 0, records.size() - 1));
    } else if (over == QLatin1String("group")) {
        statistics.addMeasurement(*group.lists[0], 0);
        statistics.addMeasurement(*group.lists[1], 1);
    } else {
        statistics.addMeasurement(*group.lists[1]);
    }
    const SpreadFigure s = statistics.figures().spread;
    QTEST(s.measurement, "measurement");
    QTEST(s.record, "record");
    QTEST(s.spread, "spread");
    QTEST(s.highChannel, "high");
    QTEST(s.lowChannel, "low");
    QFETCH(int, record);
    QCOMPARE(s.time, dateTimeFromRecord(records[record]));
}

QTEST_GUILESS_MAIN(TestMeasurementStatistics)
#include "tst_measurementstatistics.moc"
