#include "instrument/records.h"
#include "instrument/temperature.h"
#include "measurement/recordingrules.h"

#include <QtTest>

#include <optional>

Q_DECLARE_METATYPE(std::optional<quint32>)

class TestRecordingRules : public QObject
{
    Q_OBJECT

private slots:
    void intervalIsSentOnlyWhenChanged_data()
    {
        QTest::addColumn<int>("h");
        QTest::addColumn<int>("m");
        QTest::addColumn<int>("s");
        QTest::addColumn<quint32>("current");
        QTest::addColumn<std::optional<quint32>>("sent");
        QTest::newRow("0 sends 0") << 0 << 0 << 0 << 5u << std::optional<quint32>(0);
        QTest::newRow("0 when already 0") << 0 << 0 << 0 << 0u << std::optional<quint32>();
        QTest::newRow("25 h sends a day") << 25 << 0 << 0 << 0u << std::optional<quint32>(86400);
        QTest::newRow("unchanged") << 1 << 2 << 5 << 3725u << std::optional<quint32>();
        QTest::newRow("1 min 30 s") << 0 << 1 << 30 << 10u << std::optional<quint32>(90);
        // The boxes' own maximum is compared unclamped, so it is sent (as a
        // day) even while the instrument already holds a day.
        QTest::newRow("24:59:59 over a day")
            << 24 << 59 << 59 << 86400u << std::optional<quint32>(86400);
    }

    void intervalIsSentOnlyWhenChanged()
    {
        QFETCH(int, h);
        QFETCH(int, m);
        QFETCH(int, s);
        QFETCH(quint32, current);
        QTEST(intervalToSend(h, m, s, current), "sent");
    }

    void continuousTimeIsClampedToADay()
    {
        QCOMPARE(continuousSecondsFromBoxes(1, 2, 5), 3725);
        QCOMPARE(continuousSecondsFromBoxes(0, 0, 0), 0);
        QCOMPARE(continuousSecondsFromBoxes(24, 0, 0), 86400);
        QCOMPARE(continuousSecondsFromBoxes(24, 0, 1), 86400);
        QCOMPARE(continuousSecondsFromBoxes(25, 0, 0), 86400);
    }

    void remainingTimeReadsHoursMinutesSeconds()
    {
        const int continuous = continuousSecondsFromBoxes(1, 2, 5);
        QVERIFY(!continuousTimeReached(0, continuous));
        QCOMPARE(remainingTimeText(uint64_t(continuous) - 0),
                 QStringLiteral("剩余时间：\n1 时 2 分 5 秒"));
        QCOMPARE(remainingTimeText(1), QStringLiteral("剩余时间：\n0 时 0 分 1 秒"));
        // Hours are not wrapped at a day.
        QCOMPARE(remainingTimeText(86400), QStringLiteral("剩余时间：\n24 时 0 分 0 秒"));
    }

    void recordingStopsWhenTheCountReachesTheContinuousTime_data()
    {
        QTest::addColumn<int>("continuous");
        QTest::addColumn<int>("stopCount");
        QTest::newRow("1 h 2 min 5 s") << 3725 << 3725;
        QTest::newRow("60 s") << 60 << 60;
        QTest::newRow("0 stops at the first count") << 0 << 0;
    }

    void recordingStopsWhenTheCountReachesTheContinuousTime()
    {
        QFETCH(int, continuous);
        QFETCH(int, stopCount);
        int stoppedAt = -1;
        for (uint64_t count = 0; count <= uint64_t(continuous) + 5; ++count) {
            if (continuousTimeReached(count, continuous)) {
                stoppedAt = int(count);
                break;
            }
        }
        QCOMPARE(stoppedAt, stopCount);
    }

    void measurementNameIsTheStopTime()
    {
        QCOMPARE(recordingMeasurementName(QDateTime(QDate(2024, 3, 7), QTime(9, 5, 3, 42))),
                 QStringLiteral("20240307 09_05_03_042"));
        QCOMPARE(recordingMeasurementName(QDateTime(QDate(2031, 12, 31), QTime(21, 59, 58, 999))),
                 QStringLiteral("20311231 21_59_58_999"));
    }

    void offsetPageShowsValidReadingsWithOneDecimal_data()
    {
        QTest::addColumn<float>("celsius");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("unit");
        QTest::addColumn<QString>("text");
        QTest::newRow("valid, type K")
            << 25.0f << int(statusByte(TypeK, StateValue)) << int(UnitCelsius) << "25.0";
        QTest::newRow("valid, type T in Fahrenheit")
            << 25.0f << int(statusByte(TypeT, StateValue)) << int(UnitFahrenheit) << "77.0";
        QTest::newRow("above 1000 keeps its decimal")
            << 1372.0f << int(statusByte(TypeK, StateValue)) << int(UnitCelsius) << "1372.0";
        QTest::newRow("Kelvin") << 26.85f << int(statusByte(TypeK, StateValue)) << int(UnitKelvin)
                                << "300.0";
        QTest::newRow("over range")
            << 25.0f << int(statusByte(TypeK, StateAboveRange)) << int(UnitCelsius) << "--\\--";
        QTest::newRow("under range")
            << 25.0f << int(statusByte(TypeK, StateBelowRange)) << int(UnitCelsius) << "--\\--";
        QTest::newRow("no thermocouple")
            << 25.0f << int(statusByte(TypeK, StateNoReading)) << int(UnitCelsius) << "--\\--";
    }

    void offsetPageShowsValidReadingsWithOneDecimal()
    {
        QFETCH(float, celsius);
        QFETCH(int, status);
        QFETCH(int, unit);
        QTEST(offsetPageReadingText(celsius, quint8(status), unit), "text");
    }

    void ambientTemperatureInTheUnit()
    {
        QCOMPARE(ambientText(23.46f, UnitCelsius), QStringLiteral("23.5"));
        QCOMPARE(ambientText(23.46f, UnitFahrenheit), QStringLiteral("74.2"));
        QCOMPARE(ambientText(23.46f, UnitKelvin), QStringLiteral("296.6"));
        QCOMPARE(ambientText(-5.0f, UnitCelsius), QStringLiteral("-5.0"));
    }
};

QTEST_MAIN(TestRecordingRules)
#include "tst_recordingrules.moc"
