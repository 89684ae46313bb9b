#include "instrument/temperature.h"

#include <QtTest>

class TestTemperature : public QObject
{
    Q_OBJECT

private slots:
    void conversions_data();
    void conversions();
    void conversionIsDoneInDoublePrecision();
    void symbolsLettersRanges();
    void valueText_data();
    void valueText();
    void dateTimeFromRecord();
};

void TestTemperature::conversions_data()
{
    QTest::addColumn<float>("celsius");
    QTest::addColumn<int>("unit");
    QTest::addColumn<float>("converted");
    QTest::newRow("C") << 25.5f << 0 << 25.5f;
    QTest::newRow("F boiling") << 100.0f << 1 << 212.0f;
    QTest::newRow("F -40") << -40.0f << 1 << -40.0f;
    QTest::newRow("K") << 10.0f << 2 << 283.15f;
    QTest::newRow("unknown unit is C") << 12.25f << 7 << 12.25f;
    QTest::newRow("negative unit is C") << 12.25f << -1 << 12.25f;
}

void TestTemperature::conversions()
{
    QFETCH(float, celsius);
    QFETCH(int, unit);
    QFETCH(float, converted);
    QCOMPARE(celsiusToUnit(celsius, unit), converted);
    QCOMPARE(unitToCelsius(converted, unit), celsius);
}

void TestTemperature::conversionIsDoneInDoublePrecision()
{
    // 0.1 * 1.8 + 32 in float arithmetic rounds differently from double.
    for (float c : {0.1f, 36.6f, -17.3f, 1234.56f}) {
        QCOMPARE(celsiusToUnit(c, 1), float(double(c) * 1.8 + 32.0));
        QCOMPARE(celsiusToUnit(c, 2), float(double(c) + 273.15));
    }
}

void TestTemperature::symbolsLettersRanges()
{
    QCOMPARE(unitSymbol(0), QStringLiteral("℃"));
    QCOMPARE(unitSymbol(1), QStringLiteral("℉"));
    QCOMPARE(unitSymbol(2), QStringLiteral("K"));
    QCOMPARE(unitSymbol(3), QStringLiteral("℃"));

    QString letters;
    for (int code = 0; code < 8; ++code)
        letters += typeLetter(code);
    QCOMPARE(letters, QStringLiteral("KJTERSNB"));
    QCOMPARE(typeLetter(9), QString());
    QCOMPARE(typeLetter(-1), QString());

    const int expected[8][2] = {{-200, 1372}, {-210, 1200}, {-250, 400},  {-150, 1000},
                                {0, 1767},    {0, 1767},    {-200, 1300}, {0, 1820}};
    for (int code = 0; code < 8; ++code) {
        QCOMPARE(typeRange(code).lowest, expected[code][0]);
        QCOMPARE(typeRange(code).highest, expected[code][1]);
    }
    QCOMPARE(typeRange(9).lowest, 0);
    QCOMPARE(typeRange(9).highest, 0);
}

void TestTemperature::valueText_data()
{
    QTest::addColumn<float>("celsius");
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("unit");
    QTest::addColumn<bool>("general");
    QTest::addColumn<QString>("text");
    QTest::newRow("above 1000 no decimal") << 1234.56f << 0 << 0 << false << "1235";
    QTest::newRow("F one decimal") << 100.0f << 0 << 1 << false << "212.0";
    QTest::newRow("K single precision") << 0.0f << 0 << 2 << false << "273.1";
    QTest::newRow("exactly 1000 keeps decimal") << 1000.0f << 0 << 0 << false << "1000.0";
    QTest::newRow("converted above 1000") << 600.0f << 0 << 1 << false << "1112";
    QTest::newRow("negative") << -12.34f << 0 << 0 << false << "-12.3";
    QTest::newRow("general") << 1234.56f << 0 << 0 << true << "1234.56";
    QTest::newRow("general K") << 0.0f << 0 << 2 << true << "273.15";
    QTest::newRow("above range") << 5.0f << 2 << 0 << false << "OL";
    QTest::newRow("below range") << 5.0f << 1 << 1 << true << "-OL";
    QTest::newRow("no reading") << 5.0f << 3 << 0 << false << "--\\--";
    QTest::newRow("state 15") << 5.0f << 15 << 2 << false << "--\\--";
}

void TestTemperature::valueText()
{
    QFETCH(float, celsius);
    QFETCH(int, state);
    QFETCH(int, unit);
    QFETCH(bool, general);
    QFETCH(QString, text);
    QCOMPARE(::valueText(celsius, state, unit, general), text);
}

void TestTemperature::dateTimeFromRecord()
{
    _T_EE_TEST_DATA rec;
    rec.year = 26;
    rec.month = 2;
    rec.day = 28;
    rec.hour = 23;
    rec.minute = 59;
    rec.second = 58;
    const QDateTime expected(QDate(2026, 2, 28), QTime(23, 59, 58, 0));
    QCOMPARE(::dateTimeFromRecord(rec), expected);

    // The same bytes read as they lie in the record (bytes 10-13, 14-15).
    const QByteArray bytes = eeTestDataToBytes(rec);
    QCOMPARE(::dateTimeFromRecord(qFromLittleEndian<quint32>(bytes.constData() + 10),
                                  qFromLittleEndian<quint16>(bytes.constData() + 14)),
             expected);
}

QTEST_GUILESS_MAIN(TestTemperature)
#include "tst_temperature.moc"
