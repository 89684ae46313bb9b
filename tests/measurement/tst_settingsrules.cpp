#include "instrument/records.h"
#include "measurement/settingsrules.h"

#include <QtTest>

class TestSettingsRules : public QObject
{
    Q_OBJECT

private slots:
    void connectButtonClosesAnOpenPortOrOpensANamedOne()
    {
        QCOMPARE(connectStep(true, QStringLiteral("ttyUSB0")), ConnectStep::Disconnect);
        QCOMPARE(connectStep(true, QString()), ConnectStep::Disconnect);
        QCOMPARE(connectStep(false, QString()), ConnectStep::Nothing);
#ifdef Q_OS_WIN
        QCOMPARE(connectStep(false, QStringLiteral("COM3")), ConnectStep::Open);
        QCOMPARE(connectStep(false, QStringLiteral("com3")), ConnectStep::Nothing);
#else
        // Any name from the port list, device names and paths alike.
        QCOMPARE(connectStep(false, QStringLiteral("ttyUSB0")), ConnectStep::Open);
        QCOMPARE(connectStep(false, QStringLiteral("/dev/pts/3")), ConnectStep::Open);
#endif
    }

    void groupButtonsStandForTheirPosition_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("kind");
        QTest::addColumn<int>("value");
        QTest::newRow("diff normal") << 50 << int(GroupSetting::DifferenceMode) << 0;
        QTest::newRow("diff T4") << 54 << int(GroupSetting::DifferenceMode) << 4;
        QTest::newRow("after diff") << 55 << int(GroupSetting::None) << 0;
        QTest::newRow("before diff") << 49 << int(GroupSetting::None) << 0;
        QTest::newRow("measure normal") << 70 << int(GroupSetting::MeasuringMode) << 0;
        QTest::newRow("measure avg") << 73 << int(GroupSetting::MeasuringMode) << 3;
        QTest::newRow("after measure") << 74 << int(GroupSetting::None) << 0;
        QTest::newRow("ble off") << 100 << int(GroupSetting::Bluetooth) << 0;
        QTest::newRow("ble on") << 101 << int(GroupSetting::Bluetooth) << 1;
        QTest::newRow("after ble") << 102 << int(GroupSetting::None) << 0;
    }

    void groupButtonsStandForTheirPosition()
    {
        QFETCH(int, id);
        const GroupSetting s = groupSetting(id);
        QTEST(int(s.kind), "kind");
        QTEST(s.value, "value");
    }

    void controlConfigurationMapsOntoTheControls()
    {
        _T_CTRL_CONFIG cfg;
        cfg.hold = 1;
        cfg.bluetooth = 1;
        cfg.autoPowerOff = 1;
        setCtrlInterval(cfg, 3725);
        cfg.measuringMode = 2;
        cfg.unit = 1;
        cfg.differenceMode = 3;
        cfg.frequency = 1;
        const CtrlSettingView v = ctrlSettingView(cfg);
        QVERIFY(v.hold);
        QCOMPARE(v.bluetoothButton, 1);
        QVERIFY(v.autoPowerOff);
        QCOMPARE(v.intervalSeconds, 3725u);
        QCOMPARE(v.measuringButton, 2);
        QCOMPARE(v.differenceButton, 3);
        QCOMPARE(v.frequencyIndex, 1);
        QCOMPARE(v.unit, 1);
        QVERIFY(v.unitInBox);
        QVERIFY(v.askBluetooth);

        const CtrlSettingView off = ctrlSettingView(_T_CTRL_CONFIG());
        QVERIFY(!off.hold);
        QCOMPARE(off.bluetoothButton, 0);
        QVERIFY(!off.autoPowerOff);
        QCOMPARE(off.measuringButton, 0);
        QCOMPARE(off.differenceButton, 0);
        QCOMPARE(off.frequencyIndex, 0);
        QVERIFY(off.unitInBox);
        QVERIFY(!off.askBluetooth);
    }

    void bytesOutsideAControlLeaveItUnchanged()
    {
        _T_CTRL_CONFIG cfg;
        cfg.hold = 2;
        cfg.bluetooth = 2;
        cfg.measuringMode = 4;
        cfg.unit = 3;
        cfg.differenceMode = 5;
        cfg.frequency = 2;
        const CtrlSettingView v = ctrlSettingView(cfg);
        QVERIFY(v.hold); // any non-zero byte
        QCOMPARE(v.bluetoothButton, -1);
        QCOMPARE(v.measuringButton, -1);
        QCOMPARE(v.differenceButton, -1);
        QCOMPARE(v.frequencyIndex, -1);
        // The unit is then shown directly, as a unit every conversion treats
        // as Celsius.
        QCOMPARE(v.unit, 3);
        QVERIFY(!v.unitInBox);
        // A non-zero Bluetooth byte asks even without a button for it.
        QVERIFY(v.askBluetooth);
    }

    void typeCodeSevenLeavesTheTypeBox()
    {
        for (int code = 0; code < 7; ++code)
            QCOMPARE(typeBoxIndex(quint8(code)), code);
        QCOMPARE(typeBoxIndex(7), -1);
        QCOMPARE(typeBoxIndex(0x0A), 2); // only the low three bits count
        QCOMPARE(typeBoxIndex(0xFF), -1);
    }

    void downloadAsksForWholeBlocks_data()
    {
        QTest::addColumn<quint32>("records");
        QTest::addColumn<int>("blocks");
        QTest::addColumn<int>("timeout");
        QTest::newRow("1234") << 1234u << 39 << 10;
        QTest::newRow("0") << 0u << 0 << 10;
        QTest::newRow("one block") << 32u << 1 << 10;
        QTest::newRow("one record more") << 33u << 2 << 10;
        QTest::newRow("beyond the minimum") << 2000u << 63 << 10;
        QTest::newRow("more") << 3000u << 94 << 15;
        QTest::newRow("full store") << 80000u << 2500 << 416;
        QTest::newRow("beyond the store") << 80001u << 2501 << 416;
    }

    void downloadAsksForWholeBlocks()
    {
        QFETCH(quint32, records);
        const DownloadPlan plan = downloadPlan(records);
        QTEST(plan.blocks, "blocks");
        QTEST(plan.timeoutSeconds, "timeout");
    }

    void pageTexts()
    {
        QCOMPARE(flashUsedText(1234), QStringLiteral("1234/80000组"));
        QCOMPARE(flashUsedText(0), QStringLiteral("0/80000组"));
        QCOMPARE(deviceNameText(QStringLiteral("KX740D")), QStringLiteral("设备名称：KX740D"));
        QCOMPARE(firmwareVersionText(QStringLiteral("1.2")), QStringLiteral("固件版本：1.2"));
    }
};

QTEST_MAIN(TestSettingsRules)
#include "tst_settingsrules.moc"
