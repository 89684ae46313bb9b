#include "chart/chartseries.h"
#include "chart/overlayrules.h"

#include <QDateTime>
#include <QSet>
#include <QtTest>

namespace {

// Records one second apart from 2026-03-04 10:00:00 with `t1` on T1.
QVector<_T_EE_TEST_DATA> records(const QVector<float> &t1)
{
    QVector<_T_EE_TEST_DATA> list(t1.size());
    for (int i = 0; i < t1.size(); ++i) {
        _T_EE_TEST_DATA &r = list[i];
        r.year = 26;
        r.month = 3;
        r.day = 4;
        r.hour = 10;
        r.minute = quint8(i / 60);
        r.second = quint8(i % 60);
        r.value[0] = t1.at(i);
    }
    return list;
}

double startSeconds()
{
    return double(QDateTime(QDate(2026, 3, 4), QTime(10, 0, 0)).toSecsSinceEpoch());
}

} // namespace

class TestOverlayRules : public QObject
{
    Q_OBJECT

private slots:
    void alignmentOrigin_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<double>("celsius");
        QTest::addColumn<bool>("rising");
        QTest::addColumn<double>("secondsAfterStart"); // NaN: origin 0
        QTest::addColumn<bool>("aligned");
        // T1: 20 30 50 40 20 10, a reading without value at 2 s.
        QTest::newRow("clock") << int(OverlayAlignment::Clock) << 0.0 << true << qQNaN() << true;
        QTest::newRow("start") << int(OverlayAlignment::Start) << 0.0 << true << 0.0 << true;
        // From 30 at 1 s over the missing reading to 40 at 3 s: 35 at 2 s.
        QTest::newRow("rising, interpolated")
            << int(OverlayAlignment::Crossing) << 35.0 << true << 2.0 << true;
        QTest::newRow("rising, on a reading")
            << int(OverlayAlignment::Crossing) << 30.0 << true << 1.0 << true;
        // Falling through 15 between 20 at 4 s and 10 at 5 s.
        QTest::newRow("falling") << int(OverlayAlignment::Crossing) << 15.0 << false << 4.5 << true;
        // Starting above 10 is no crossing; never below it: shown from start.
        QTest::newRow("never crossing")
            << int(OverlayAlignment::Crossing) << 5.0 << false << 0.0 << false;
        QTest::newRow("starting beyond")
            << int(OverlayAlignment::Crossing) << 15.0 << true << 0.0 << false;
    }

    void alignmentOrigin()
    {
        QFETCH(int, mode);
        QFETCH(double, celsius);
        QFETCH(bool, rising);
        QFETCH(double, secondsAfterStart);
        QFETCH(bool, aligned);
        QVector<_T_EE_TEST_DATA> list = records({20, 30, 50, 40, 20, 10});
        list[2].state[0] = 2;
        AlignmentRule rule;
        rule.mode = OverlayAlignment(mode);
        rule.celsius = celsius;
        rule.rising = rising;
        const AlignedOrigin origin = ::alignmentOrigin(list, rule);
        QCOMPARE(origin.aligned, aligned);
        QCOMPARE(origin.origin,
                 std::isnan(secondsAfterStart) ? 0.0 : startSeconds() + secondsAfterStart);
    }

    // Forty curves, forty colours; one dash pattern per measurement.
    void pensTellCurvesApart()
    {
        const QColor channels[4] = {Qt::darkRed, Qt::darkGreen, Qt::darkBlue, Qt::darkMagenta};
        QSet<QRgb> colours;
        QSet<QString> styles;
        for (int m = 0; m < kMaxOverlaid; ++m) {
            QSet<QString> ofMeasurement;
            for (int ch = 0; ch < kChannelCount; ++ch) {
                const QPen pen = overlayPen(m, ch, channels, 2);
                colours.insert(pen.color().rgb());
                QString style = QString::number(int(pen.style()));
                for (qreal dash : pen.dashPattern())
                    style += QLatin1Char(' ') + QString::number(dash);
                ofMeasurement.insert(style);
                if (m == 0)
                    QCOMPARE(pen.color(), channels[ch]);
            }
            QCOMPARE(ofMeasurement.size(), 1);
            styles += ofMeasurement;
        }
        QCOMPARE(colours.size(), kMaxOverlaid * kChannelCount);
        QCOMPARE(styles.size(), kMaxOverlaid);
        QCOMPARE(overlayPen(0, 0, channels, 2).style(), Qt::SolidLine);
    }

    void elapsedText()
    {
        QCOMPARE(::elapsedText(3725), QStringLiteral("+01:02:05"));
        QCOMPARE(::elapsedText(-59.6), QStringLiteral("-00:01:00"));
        QCOMPARE(::elapsedText(-0.2), QStringLiteral("+00:00:00"));
    }
};

QTEST_APPLESS_MAIN(TestOverlayRules)
#include "tst_overlayrules.moc"
