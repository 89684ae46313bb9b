#include "app/shellrules.h"

#include <QtTest>

class TestShellRules : public QObject
{
    Q_OBJECT

private slots:
    void splitsSecondsIntoHoursMinutesSeconds_data()
    {
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("h");
        QTest::addColumn<int>("m");
        QTest::addColumn<int>("s");
        QTest::newRow("3725") << 3725 << 1 << 2 << 5;
        QTest::newRow("60") << 60 << 0 << 1 << 0;
        QTest::newRow("0") << 0 << 0 << 0 << 0;
        QTest::newRow("24 h 59 min 59 s") << 89999 << 24 << 59 << 59;
    }

    void splitsSecondsIntoHoursMinutesSeconds()
    {
        QFETCH(int, total);
        const HoursMinutesSeconds t = splitSeconds(total);
        QTEST(t.hours, "h");
        QTEST(t.minutes, "m");
        QTEST(t.seconds, "s");
    }

    void portChoiceOnlyWhenThereIsAChoice()
    {
        QVERIFY(!portChoiceVisible(0, false));
        QVERIFY(!portChoiceVisible(1, false));
        QVERIFY(portChoiceVisible(2, false));
        QVERIFY(!portChoiceVisible(2, true));
    }

    void logoScaledToCoverFiftyOnlyWhenTaller_data()
    {
        QTest::addColumn<QSize>("stored");
        QTest::addColumn<QSize>("shown");
        QTest::newRow("wide and tall") << QSize(300, 120) << QSize(125, 50);
        QTest::newRow("narrow and tall") << QSize(60, 120) << QSize(50, 100);
        QTest::newRow("exactly 50 high") << QSize(400, 50) << QSize(400, 50);
        QTest::newRow("small") << QSize(20, 10) << QSize(20, 10);
    }

    void logoScaledToCoverFiftyOnlyWhenTaller()
    {
        QFETCH(QSize, stored);
        QFETCH(QSize, shown);
        QImage logo(stored, QImage::Format_RGB32);
        logo.fill(Qt::gray);
        QCOMPARE(logoForDisplay(logo).size(), shown);
    }

    void settingsWindowCentredOnTheOwnerAndOnScreen()
    {
        const QRect screen(0, 0, 1920, 1080);
        QCOMPARE(centredOn(QRect(100, 100, 1000, 800), QSize(600, 400), screen), QPoint(300, 300));
        // Owner near the right edge: the window stays whole on the screen.
        QCOMPARE(centredOn(QRect(1700, 900, 400, 300), QSize(600, 400), screen), QPoint(1320, 680));
    }

    void manualFollowsTheLanguage()
    {
        QCOMPARE(manualFileName(0), QStringLiteral("KX740D_user_manual.pdf"));
        QCOMPARE(manualFileName(1), QStringLiteral("KX740D_user_manual_EN.pdf"));
        QCOMPARE(manualFileName(5), QStringLiteral("KX740D_user_manual_EN.pdf"));
        QCOMPARE(pcManualFileName(0), QStringLiteral("KX740D_PC_manual.pdf"));
        QCOMPARE(pcManualFileName(5), QStringLiteral("KX740D_PC_manual_EN.pdf"));
    }

    void portsNamedOnTheCommandLine()
    {
        const QStringList args{QStringLiteral("kx740d"),         QStringLiteral("--port"),
                               QStringLiteral("/dev/pts/3"),     QStringLiteral("--simulate"),
                               QStringLiteral("--port=ttyACM0"), QStringLiteral("--port")};
        QCOMPARE(portsFromArguments(args),
                 (QStringList{QStringLiteral("/dev/pts/3"), QStringLiteral("ttyACM0")}));
        QCOMPARE(portsFromArguments({QStringLiteral("kx740d")}), QStringList());
    }

    void connectOption()
    {
        QVERIFY(connectAtStartup(
            {QStringLiteral("kx740d"), QStringLiteral("--simulate"), QStringLiteral("--connect")}));
        QVERIFY(!connectAtStartup({QStringLiteral("kx740d"), QStringLiteral("--simulate")}));
        // a port named --connect is not the option
        QVERIFY(!connectAtStartup({QStringLiteral("--connect")}));
    }
};

QTEST_GUILESS_MAIN(TestShellRules)
#include "tst_shellrules.moc"
