#include "app/unitboxes.h"
#include "instrument/records.h"
#include "instrument/temperature.h"

#include <QDoubleSpinBox>
#include <QtTest>

class TestUnitBoxes : public QObject
{
    Q_OBJECT

private slots:
    void limitBoxesGetTheRangeBeforeTheValue()
    {
        QDoubleSpinBox high, low;
        high.setDecimals(2);
        low.setDecimals(2);
        // Limits beyond type T's range show at its ends in Kelvin.
        applyLimitBoxes(limitBoxes(TypeT, 1000.0f, -300.0f, UnitKelvin), &high, &low);
        QCOMPARE(high.minimum(), 23.0);
        QCOMPARE(high.maximum(), 673.0);
        QCOMPARE(low.minimum(), 23.0);
        QCOMPARE(low.maximum(), 673.0);
        QCOMPARE(high.value(), 673.0);
        QCOMPARE(low.value(), 23.0);

        applyLimitBoxes(limitBoxes(TypeK, 80.0f, 20.0f, UnitFahrenheit), &high, &low);
        QCOMPARE(high.maximum(), 2501.0);
        QCOMPARE(high.value(), 176.0);
        QCOMPARE(low.value(), 68.0);
    }

    void everyOffsetReadsBackFromItsBoxUnchanged()
    {
        // Leaving an offset box without typing must not change the
        // instrument's offset: what the box shows reads back as the same
        // tenths in every unit.
        QDoubleSpinBox spin;
        for (int unit : {int(UnitCelsius), int(UnitFahrenheit), int(UnitKelvin)}) {
            for (int tenths = -50; tenths <= 50; ++tenths) {
                applyOffsetBox(offsetBox(qint8(tenths), unit), &spin);
                QVERIFY2(int(offsetTenthsFromBox(spin.value(), unit)) == tenths,
                         qPrintable(QStringLiteral("unit %1, %2 tenths shown as %3")
                                        .arg(unit)
                                        .arg(tenths)
                                        .arg(spin.text())));
            }
        }
    }

    void fahrenheitOffsetBoxStepsByOneTenthCelsius()
    {
        QDoubleSpinBox spin;
        applyOffsetBox(offsetBox(0, UnitFahrenheit), &spin);
        QCOMPARE(spin.minimum(), -9.0);
        QCOMPARE(spin.maximum(), 9.0);
        spin.stepBy(3);
        QCOMPARE(int(offsetTenthsFromBox(spin.value(), UnitFahrenheit)), 3);

        // Back to Celsius: one decimal and the narrower range again.
        applyOffsetBox(offsetBox(-50, UnitCelsius), &spin);
        QCOMPARE(spin.decimals(), 1);
        QCOMPARE(spin.minimum(), -5.0);
        QCOMPARE(spin.value(), -5.0);
        spin.stepBy(1);
        QCOMPARE(int(offsetTenthsFromBox(spin.value(), UnitCelsius)), -49);
    }
};

QTEST_MAIN(TestUnitBoxes)
#include "tst_unitboxes.moc"
