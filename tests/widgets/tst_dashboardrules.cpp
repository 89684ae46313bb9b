#include "widgets/dashboardrules.h"

#include <QtTest>

namespace {

struct Channel
{
    float value = 0;
    int state = StateNoReading;
    int type = TypeK;
};

// A live reading with the given channels; missing channels have no reading.
_T_PRINT_OUT_DATA makeReading(const QVector<Channel> &channels, int mode = 0)
{
    _T_PRINT_OUT_DATA r;
    for (int i = 0; i < kChannelCount; ++i) {
        const Channel c = i < channels.size() ? channels.at(i) : Channel();
        r.value[i] = c.value;
        r.status[i] = statusByte(quint8(c.type), quint8(c.state));
    }
    r.mode = quint8(mode);
    return r;
}

DashboardTexts presetStatistics()
{
    DashboardTexts texts;
    texts.maxTexts = QStringList{"30.0", "31.0", "32.0", "33.0"};
    texts.minTexts = QStringList{"10.0", "11.0", "12.0", "13.0"};
    texts.avgTexts = QStringList{"20.0", "21.0", "22.0", "23.0"};
    return texts;
}

const QStringList kEmpty4{QString(), QString(), QString(), QString()};

} // namespace

class TestDashboardRules : public QObject
{
    Q_OBJECT

private slots:
    void differenceModeAfterClick_data();
    void differenceModeAfterClick();
    void namesTable();
    void combinedState_data();
    void combinedState();
    void differenceText_data();
    void differenceText();

    void differenceOfTwoChannelsInFahrenheit();
    void differenceStates();
    void largeValuesLoseTheirDecimal();
    void typeLetters();
    void measuringModeWithoutRecording_data();
    void measuringModeWithoutRecording();
    void recordingKeepsRecordedStatistics();
    void statisticsEmptiedOtherwise();
    void statisticsUsable();
};

void TestDashboardRules::differenceModeAfterClick_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("tile");
    QTest::addColumn<bool>("on");
    QTest::addColumn<int>("result");
    QTest::newRow("first tile on") << 0 << 1 << true << 1;
    QTest::newRow("tile 3 on while 1 is") << 1 << 3 << true << 3;
    QTest::newRow("reference off") << 3 << 3 << false << 0;
    QTest::newRow("other tile off keeps the mode") << 3 << 2 << false << 3;
    QTest::newRow("off without a mode") << 0 << 4 << false << 0;
}

void TestDashboardRules::differenceModeAfterClick()
{
    QFETCH(int, mode);
    QFETCH(int, tile);
    QFETCH(bool, on);
    QFETCH(int, result);
    QCOMPARE(::differenceModeAfterClick(mode, tile, on), result);
}

void TestDashboardRules::namesTable()
{
    const QStringList expected[5] = {
        {"T1", "T2", "T3", "T4"},          {"T1", "T1-T2", "T1-T3", "T1-T4"},
        {"T2-T1", "T2", "T2-T3", "T2-T4"}, {"T3-T1", "T3-T2", "T3", "T3-T4"},
        {"T4-T1", "T4-T2", "T4-T3", "T4"},
    };
    for (int mode = 0; mode <= 4; ++mode) {
        QStringList names;
        for (int channel = 0; channel < kChannelCount; ++channel)
            names << channelName(mode, channel);
        QCOMPARE(names, expected[mode]);
    }
}

void TestDashboardRules::combinedState_data()
{
    QTest::addColumn<int>("reference");
    QTest::addColumn<int>("other");
    QTest::addColumn<int>("combined");
    QTest::newRow("both values") << 0 << 0 << 0;
    for (int b : {1, 2, 3})
        QTest::addRow("value and state %d", b) << 0 << b << 3;
    QTest::newRow("below minus above") << 1 << 2 << 1;
    for (int b : {0, 1, 3})
        QTest::addRow("below and state %d", b) << 1 << b << 3;
    QTest::newRow("above minus below") << 2 << 1 << 2;
    for (int b : {0, 2, 3})
        QTest::addRow("above and state %d", b) << 2 << b << 3;
    for (int a : {3, 4, 15})
        QTest::addRow("reference state %d", a) << a << 0 << 3;
}

void TestDashboardRules::combinedState()
{
    QFETCH(int, reference);
    QFETCH(int, other);
    QFETCH(int, combined);
    QCOMPARE(::combinedState(reference, other), combined);
}

void TestDashboardRules::differenceText_data()
{
    QTest::addColumn<float>("delta");
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("unit");
    QTest::addColumn<QString>("text");
    QTest::newRow("10 C") << 10.0f << 0 << 0 << "10.0";
    QTest::newRow("10 C in F") << 10.0f << 0 << 1 << "18.0";
    QTest::newRow("10 C in K") << 10.0f << 0 << 2 << "10.0";
    QTest::newRow("negative in F") << -5.0f << 0 << 1 << "-9.0";
    QTest::newRow("no difference in K") << 0.0f << 0 << 2 << "0.0";
    QTest::newRow("no difference in F") << 0.0f << 0 << 1 << "0.0";
    QTest::newRow("above 1000 in F") << 600.0f << 0 << 1 << "1080";
    QTest::newRow("unknown unit as C") << 12.5f << 0 << 9 << "12.5";
    QTest::newRow("below") << 1.0f << 1 << 1 << "-OL";
    QTest::newRow("above") << 1.0f << 2 << 2 << "OL";
    QTest::newRow("no reading") << 1.0f << 3 << 0 << "--\\--";
}

void TestDashboardRules::differenceText()
{
    QFETCH(float, delta);
    QFETCH(int, state);
    QFETCH(int, unit);
    QFETCH(QString, text);
    QCOMPARE(::differenceText(delta, state, unit), text);
}

void TestDashboardRules::differenceOfTwoChannelsInFahrenheit()
{
    DashboardTexts texts;
    applyReading(texts, makeReading({{25.0f, 0}, {20.0f, 0}, {30.0f, 0}, {0, 3}}), false, 1, 1);
    QCOMPARE(texts.valueTexts, (QStringList{"77.0", "9.0", "-9.0", "--\\--"}));

    // Reference T3: every other tile shows T3 minus its own channel.
    applyReading(texts, makeReading({{25.0f, 0}, {20.0f, 0}, {30.0f, 0}, {0, 3}}), false, 3, 0);
    QCOMPARE(texts.valueTexts, (QStringList{"5.0", "10.0", "30.0", "--\\--"}));
}

void TestDashboardRules::differenceStates()
{
    DashboardTexts texts;
    applyReading(texts, makeReading({{0, 1}, {0, 2}}), false, 1, 0);
    QCOMPARE(texts.valueTexts.at(0), QStringLiteral("-OL"));
    QCOMPARE(texts.valueTexts.at(1), QStringLiteral("-OL"));

    applyReading(texts, makeReading({{0, 1}, {20.0f, 0}}), false, 1, 0);
    QCOMPARE(texts.valueTexts.at(1), QStringLiteral("--\\--"));

    applyReading(texts, makeReading({{0, 2}, {0, 1}}), false, 1, 0);
    QCOMPARE(texts.valueTexts.at(1), QStringLiteral("OL"));
}

void TestDashboardRules::largeValuesLoseTheirDecimal()
{
    DashboardTexts texts;
    const _T_PRINT_OUT_DATA r = makeReading({{1372.0f, 0}, {999.9f, 0}, {1000.0f, 0}});
    applyReading(texts, r, false, 0, 0);
    QCOMPARE(texts.valueTexts.mid(0, 3), (QStringList{"1372", "999.9", "1000.0"}));
    applyReading(texts, r, false, 0, 1);
    QCOMPARE(texts.valueTexts.at(0), QStringLiteral("2502"));
}

void TestDashboardRules::typeLetters()
{
    DashboardTexts texts;
    // The state in the high nibble does not change the letter.
    applyReading(texts, makeReading({{0, 0, 9}, {0, 2, 7}, {0, 3, 2}, {0, 0, 15}}), false, 0, 0);
    QCOMPARE(texts.typeTexts, (QStringList{QString(), "B", "T", QString()}));
}

void TestDashboardRules::measuringModeWithoutRecording_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("max");
    QTest::addColumn<QStringList>("min");
    QTest::addColumn<QStringList>("avg");
    const QStringList modeTexts{"28.5", "OL", "-OL", "--\\--"};
    QTest::newRow("maximum") << 1 << modeTexts << kEmpty4 << kEmpty4;
    QTest::newRow("minimum") << 2 << kEmpty4 << modeTexts << kEmpty4;
    QTest::newRow("average") << 3 << kEmpty4 << kEmpty4 << modeTexts;
    QTest::newRow("unknown mode") << 4 << kEmpty4 << kEmpty4 << kEmpty4;
}

void TestDashboardRules::measuringModeWithoutRecording()
{
    QFETCH(int, mode);
    QFETCH(QStringList, max);
    QFETCH(QStringList, min);
    QFETCH(QStringList, avg);

    _T_PRINT_OUT_DATA r = makeReading({{25.0f, 0}, {25.0f, 0}, {25.0f, 0}, {25.0f, 0}}, mode);
    const quint8 modeStates[4] = {0, 2, 1, 3};
    for (int i = 0; i < kChannelCount; ++i) {
        r.modeValue[i] = 28.5f;
        r.modeState[i] = modeStates[i];
    }
    DashboardTexts texts = presetStatistics();
    applyReading(texts, r, false, 0, 0);
    QCOMPARE(texts.maxTexts, max);
    QCOMPARE(texts.minTexts, min);
    QCOMPARE(texts.avgTexts, avg);

    // Mode values are shown in the dashboard's unit.
    if (mode == 1) {
        applyReading(texts, r, false, 0, 1);
        QCOMPARE(texts.maxTexts.at(0), QStringLiteral("83.3"));
    }
}

void TestDashboardRules::recordingKeepsRecordedStatistics()
{
    _T_PRINT_OUT_DATA r = makeReading({{25.0f, 0}}, 1);
    r.modeValue[0] = 99.0f;
    for (int mode : {0, 1}) {
        r.mode = quint8(mode);
        DashboardTexts texts = presetStatistics();
        applyReading(texts, r, true, 0, 0);
        QCOMPARE(texts.maxTexts, presetStatistics().maxTexts);
        QCOMPARE(texts.minTexts, presetStatistics().minTexts);
        QCOMPARE(texts.avgTexts, presetStatistics().avgTexts);
        QCOMPARE(texts.valueTexts.at(0), QStringLiteral("25.0"));
    }
}

void TestDashboardRules::statisticsEmptiedOtherwise()
{
    // Recording with a difference mode, and no recording in normal mode.
    for (bool recording : {true, false}) {
        DashboardTexts texts = presetStatistics();
        applyReading(texts, makeReading({{25.0f, 0}}, recording ? 1 : 0), recording,
                     recording ? 2 : 0, 0);
        QCOMPARE(texts.maxTexts, kEmpty4);
        QCOMPARE(texts.minTexts, kEmpty4);
        QCOMPARE(texts.avgTexts, kEmpty4);
    }
    // A measuring mode does not show through a difference mode either.
    DashboardTexts texts = presetStatistics();
    applyReading(texts, makeReading({{25.0f, 0}}, 1), false, 1, 0);
    QCOMPARE(texts.maxTexts, kEmpty4);
}

void TestDashboardRules::statisticsUsable()
{
    const QList<QString> four{"1", "2", "3", "4"};
    QVERIFY(::statisticsUsable({four, four, four}));
    QVERIFY(::statisticsUsable({four, four, four, four}));
    QVERIFY(::statisticsUsable({four, four, four + QList<QString>{"5"}}));
    QVERIFY(!::statisticsUsable({four, four}));
    QVERIFY(!::statisticsUsable({four, four, four.mid(0, 3)}));
    QVERIFY(!::statisticsUsable({}));
}

QTEST_APPLESS_MAIN(TestDashboardRules)
#include "tst_dashboardrules.moc"
