#include "instrument/records.h"
#include "instrument/temperature.h"
#include "measurement/unitrules.h"

#include <QtTest>

class TestUnitRules : public QObject
{
    Q_OBJECT

private slots:
    void limitRangeIsTheTypeRangeInTheUnitTruncated_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("unit");
        QTest::addColumn<int>("minimum");
        QTest::addColumn<int>("maximum");
        QTest::newRow("K Celsius") << int(TypeK) << int(UnitCelsius) << -200 << 1372;
        QTest::newRow("K Fahrenheit") << int(TypeK) << int(UnitFahrenheit) << -328 << 2501;
        QTest::newRow("K Kelvin") << int(TypeK) << int(UnitKelvin) << 73 << 1645;
        QTest::newRow("T Kelvin") << int(TypeT) << int(UnitKelvin) << 23 << 673;
        QTest::newRow("T Fahrenheit") << int(TypeT) << int(UnitFahrenheit) << -418 << 752;
        QTest::newRow("E Fahrenheit") << int(TypeE) << int(UnitFahrenheit) << -238 << 1832;
        // 1767 degrees are 3212.6 degrees Fahrenheit.
        QTest::newRow("R Fahrenheit") << int(TypeR) << int(UnitFahrenheit) << 32 << 3212;
        QTest::newRow("B Kelvin") << int(TypeB) << int(UnitKelvin) << 273 << 2093;
        QTest::newRow("unknown unit as Celsius") << int(TypeK) << 7 << -200 << 1372;
    }

    void limitRangeIsTheTypeRangeInTheUnitTruncated()
    {
        QFETCH(int, type);
        QFETCH(int, unit);
        const LimitBoxes boxes = limitBoxes(type, 100.0f, 0.0f, unit);
        QTEST(boxes.minimum, "minimum");
        QTEST(boxes.maximum, "maximum");
    }

    void limitValuesAreShownInTheUnit()
    {
        LimitBoxes b = limitBoxes(TypeK, 100.0f, -40.0f, UnitFahrenheit);
        QCOMPARE(b.high, 212.0);
        QCOMPARE(b.low, -40.0);
        b = limitBoxes(TypeK, 100.0f, 0.0f, UnitKelvin);
        QCOMPARE(float(b.high), 373.15f);
        QCOMPARE(float(b.low), 273.15f);
        b = limitBoxes(TypeK, 80.5f, -12.25f, UnitCelsius);
        QCOMPARE(b.high, 80.5);
        QCOMPARE(b.low, -12.25);
    }

    void highLimitIsPulledUpToTheLowLimit()
    {
        // Celsius: 50 typed while the low limit is 80 becomes 80, shown as 80.
        LimitEdit e = editHighLimit(50.0, 80.0f, UnitCelsius);
        QCOMPARE(e.limit, 80.0f);
        QVERIFY(e.rewriteBox);
        QCOMPARE(e.boxValue, 80.0);

        // Fahrenheit: 100 F (37.8 C) below a low limit of 80 C shows 176 F.
        e = editHighLimit(100.0, 80.0f, UnitFahrenheit);
        QCOMPARE(e.limit, 80.0f);
        QVERIFY(e.rewriteBox);
        QCOMPARE(e.boxValue, 176.0);

        // Not crossing: stored in Celsius, box left as typed.
        e = editHighLimit(212.0, 80.0f, UnitFahrenheit);
        QCOMPARE(e.limit, 100.0f);
        QVERIFY(!e.rewriteBox);

        // Equal to the low limit is allowed.
        e = editHighLimit(80.0, 80.0f, UnitCelsius);
        QCOMPARE(e.limit, 80.0f);
        QVERIFY(!e.rewriteBox);
    }

    void lowLimitIsPulledDownToTheHighLimit()
    {
        LimitEdit e = editLowLimit(90.0, 80.0f, UnitCelsius);
        QCOMPARE(e.limit, 80.0f);
        QVERIFY(e.rewriteBox);
        QCOMPARE(e.boxValue, 80.0);

        e = editLowLimit(400.0, 100.0f, UnitKelvin);
        QCOMPARE(e.limit, 100.0f);
        QVERIFY(e.rewriteBox);
        QCOMPARE(float(e.boxValue), 373.15f);

        e = editLowLimit(-40.0, 100.0f, UnitFahrenheit);
        QCOMPARE(e.limit, -40.0f);
        QVERIFY(!e.rewriteBox);
    }

    void offsetBoxesShowDifferencesInTheUnit_data()
    {
        QTest::addColumn<int>("tenths");
        QTest::addColumn<int>("unit");
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("maximum");
        QTest::addColumn<double>("value");
        QTest::newRow("F 5 tenths") << 5 << int(UnitFahrenheit) << -9.0 << 9.0 << 0.9;
        QTest::newRow("F -50 tenths") << -50 << int(UnitFahrenheit) << -9.0 << 9.0 << -9.0;
        QTest::newRow("F 0 is not 32") << 0 << int(UnitFahrenheit) << -9.0 << 9.0 << 0.0;
        QTest::newRow("C 5 tenths") << 5 << int(UnitCelsius) << -5.0 << 5.0 << 0.5;
        QTest::newRow("C -50 tenths") << -50 << int(UnitCelsius) << -5.0 << 5.0 << -5.0;
        QTest::newRow("K is not 273.15 off") << 12 << int(UnitKelvin) << -5.0 << 5.0 << 1.2;
    }

    void offsetBoxesShowDifferencesInTheUnit()
    {
        QFETCH(int, tenths);
        QFETCH(int, unit);
        QFETCH(double, value);
        const OffsetBox box = offsetBox(qint8(tenths), unit);
        QTEST(box.minimum, "minimum");
        QTEST(box.maximum, "maximum");
        QVERIFY2(qAbs(box.value - value) < 1e-9, qPrintable(QString::number(box.value)));
    }

    void offsetFromBoxInTenthsTruncated_data()
    {
        QTest::addColumn<double>("box");
        QTest::addColumn<int>("unit");
        QTest::addColumn<int>("tenths");
        QTest::newRow("F 0.9") << 0.9 << int(UnitFahrenheit) << 5;
        QTest::newRow("F -9.0") << -9.0 << int(UnitFahrenheit) << -50;
        QTest::newRow("F 9.0") << 9.0 << int(UnitFahrenheit) << 50;
        QTest::newRow("F 0.18") << 0.18 << int(UnitFahrenheit) << 1;
        QTest::newRow("F -0.54") << -0.54 << int(UnitFahrenheit) << -3;
        QTest::newRow("F 1.0 truncates 5.6") << 1.0 << int(UnitFahrenheit) << 5;
        QTest::newRow("F -1.0 truncates -5.6") << -1.0 << int(UnitFahrenheit) << -5;
        QTest::newRow("C 0.5") << 0.5 << int(UnitCelsius) << 5;
        QTest::newRow("C -5.0") << -5.0 << int(UnitCelsius) << -50;
        QTest::newRow("C 0.25 truncates") << 0.25 << int(UnitCelsius) << 2;
        QTest::newRow("C -0.25 truncates") << -0.25 << int(UnitCelsius) << -2;
        QTest::newRow("K -0.3") << -0.3 << int(UnitKelvin) << -3;
        QTest::newRow("K 0.7") << 0.7 << int(UnitKelvin) << 7;
    }

    void offsetFromBoxInTenthsTruncated()
    {
        QFETCH(double, box);
        QFETCH(int, unit);
        QTEST(int(offsetTenthsFromBox(box, unit)), "tenths");
    }
};

QTEST_MAIN(TestUnitRules)
#include "tst_unitrules.moc"
