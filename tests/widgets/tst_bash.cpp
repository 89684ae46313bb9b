#include "resources/initresources.h"
#include "widgets/bash.h"
#include "widgets/navbutton.h"

#include <QLabel>
#include <QtTest>

namespace {

const QString kSuffix[4] = {"", "_2", "_3", "_4"};

NavButton *button(const Bash &bash, const QString &base, int channel)
{
    return bash.findChild<NavButton *>(base + kSuffix[channel]);
}

QStringList texts(const Bash &bash, const QString &base)
{
    QStringList list;
    for (int i = 0; i < kChannelCount; ++i)
        list << button(bash, base, i)->text();
    return list;
}

QStringList four(const QString &text)
{
    return QStringList{text, text, text, text};
}

QList<bool> diffButtonStates(const Bash &bash)
{
    QList<bool> states;
    for (int i = 0; i < kChannelCount; ++i)
        states << button(bash, "pb_ch_diff_mode", i)->isChecked();
    return states;
}

void clickDiffButton(Bash &bash, int tile)
{
    QTest::mouseClick(button(bash, "pb_ch_diff_mode", tile - 1), Qt::LeftButton);
}

// T1..T4 at 25, 20, 30 and 40 degrees Celsius, all type K with a value.
_T_PRINT_OUT_DATA sampleReading(int mode = 0)
{
    _T_PRINT_OUT_DATA r;
    const float values[4] = {25.0f, 20.0f, 30.0f, 40.0f};
    for (int i = 0; i < kChannelCount; ++i) {
        r.value[i] = values[i];
        r.status[i] = statusByte(TypeK, StateValue);
        r.modeValue[i] = values[i] + 5.0f;
    }
    r.mode = quint8(mode);
    return r;
}

const QList<QList<QString>> kRecorded{{"41.0", "42.0", "43.0", "44.0"},
                                      {"11.0", "12.0", "13.0", "14.0"},
                                      {"21.0", "22.0", "23.0", "24.0"}};

} // namespace

class TestBash : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startsWithDesignTexts();
    void differenceInFahrenheit();
    void switchingAnotherTileOn();
    void switchingANonReferenceTileOff();
    void switchingTheReferenceOff();
    void valueButtonDoesNothing();
    void instrumentMaximumWithoutRecording();
    void recordingShowsRecordedStatistics();
    void differenceModeEmptiesRecordedStatistics();
    void incompleteStatisticsIgnored();
    void unitChange();
    void unknownTypeCode();
    void differenceButtonLook();

private:
    Bash *m_bash = nullptr;
};

void TestBash::initTestCase()
{
    kxInitResources();
}

void TestBash::init()
{
    m_bash = new Bash;
    m_bash->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_bash));
}

void TestBash::cleanup()
{
    delete m_bash;
    m_bash = nullptr;
}

void TestBash::startsWithDesignTexts()
{
    QCOMPARE(texts(*m_bash, "pb_ch_num"), (QStringList{"T1", "T2", "T3", "T4"}));
    QCOMPARE(texts(*m_bash, "pb_ch_max"), four("MAX "));
    QCOMPARE(texts(*m_bash, "pb_ch_min"), four("MIN "));
    QCOMPARE(texts(*m_bash, "pb_ch_avg"), four("AVG "));
    QCOMPARE(diffButtonStates(*m_bash), (QList<bool>{false, false, false, false}));
    QCOMPARE(m_bash->differenceMode(), 0);
    QCOMPARE(m_bash->unit(), 0);
    QVERIFY(!m_bash->isRecording());
    QCOMPARE(m_bash->findChild<QLabel *>("label_ch_unit_3")->text(), QStringLiteral("℃"));
}

void TestBash::differenceInFahrenheit()
{
    clickDiffButton(*m_bash, 1);
    QCOMPARE(m_bash->differenceMode(), 1);
    m_bash->setUnit(1);
    m_bash->showReading(sampleReading());
    QCOMPARE(texts(*m_bash, "pb_ch_num"), (QStringList{"T1", "T1-T2", "T1-T3", "T1-T4"}));
    QCOMPARE(texts(*m_bash, "pb_ch_value"), (QStringList{"77.0", "9.0", "-9.0", "-27.0"}));
    QCOMPARE(m_bash->findChild<QLabel *>("label_ch_unit_2")->text(), QStringLiteral("℉"));
}

void TestBash::switchingAnotherTileOn()
{
    clickDiffButton(*m_bash, 1);
    m_bash->showReading(sampleReading());
    const QStringList valuesInMode1 = texts(*m_bash, "pb_ch_value");

    clickDiffButton(*m_bash, 3);
    QCOMPARE(diffButtonStates(*m_bash), (QList<bool>{false, false, true, false}));
    QCOMPARE(m_bash->differenceMode(), 3);
    // The names change at once, the values with the next reading.
    QCOMPARE(texts(*m_bash, "pb_ch_num"), (QStringList{"T3-T1", "T3-T2", "T3", "T3-T4"}));
    QCOMPARE(texts(*m_bash, "pb_ch_value"), valuesInMode1);
    m_bash->showReading(sampleReading());
    QCOMPARE(texts(*m_bash, "pb_ch_value"), (QStringList{"5.0", "10.0", "30.0", "-10.0"}));
}

void TestBash::switchingANonReferenceTileOff()
{
    clickDiffButton(*m_bash, 3);
    m_bash->showReading(sampleReading());
    const QStringList names = texts(*m_bash, "pb_ch_num");
    const QStringList values = texts(*m_bash, "pb_ch_value");

    m_bash->on_pb_ch_diff_mode_2_clicked(false);
    QCOMPARE(m_bash->differenceMode(), 3);
    QCOMPARE(diffButtonStates(*m_bash), (QList<bool>{false, false, true, false}));
    QCOMPARE(texts(*m_bash, "pb_ch_num"), names);
    QCOMPARE(texts(*m_bash, "pb_ch_value"), values);
}

void TestBash::switchingTheReferenceOff()
{
    for (int tile = 1; tile <= 4; ++tile) {
        clickDiffButton(*m_bash, tile);
        QCOMPARE(m_bash->differenceMode(), tile);
    }
    clickDiffButton(*m_bash, 4);
    QCOMPARE(m_bash->differenceMode(), 0);
    QCOMPARE(diffButtonStates(*m_bash), (QList<bool>{false, false, false, false}));
    QCOMPARE(texts(*m_bash, "pb_ch_num"), (QStringList{"T1", "T2", "T3", "T4"}));
}

void TestBash::valueButtonDoesNothing()
{
    m_bash->showReading(sampleReading());
    QTest::mouseClick(button(*m_bash, "pb_ch_value", 0), Qt::LeftButton);
    QCOMPARE(m_bash->differenceMode(), 0);
    QCOMPARE(texts(*m_bash, "pb_ch_value"), (QStringList{"25.0", "20.0", "30.0", "40.0"}));
}

void TestBash::instrumentMaximumWithoutRecording()
{
    m_bash->showReading(sampleReading(1));
    QCOMPARE(texts(*m_bash, "pb_ch_max"),
             (QStringList{"MAX 30.0", "MAX 25.0", "MAX 35.0", "MAX 45.0"}));
    QCOMPARE(texts(*m_bash, "pb_ch_min"), four("MIN "));
    QCOMPARE(texts(*m_bash, "pb_ch_avg"), four("AVG "));
}

void TestBash::recordingShowsRecordedStatistics()
{
    m_bash->setRecording(true);
    QVERIFY(m_bash->isRecording());
    m_bash->setStatistics(kRecorded);
    // The statistics wait for the next reading.
    QCOMPARE(texts(*m_bash, "pb_ch_max"), four("MAX "));

    m_bash->showReading(sampleReading(1));
    QCOMPARE(texts(*m_bash, "pb_ch_max"),
             (QStringList{"MAX 41.0", "MAX 42.0", "MAX 43.0", "MAX 44.0"}));
    QCOMPARE(texts(*m_bash, "pb_ch_min").at(3), QStringLiteral("MIN 14.0"));
    QCOMPARE(texts(*m_bash, "pb_ch_avg").at(0), QStringLiteral("AVG 21.0"));

    m_bash->setMaxText("50.0", 1);
    m_bash->setAvgText("ignored", 4);
    m_bash->refreshTexts();
    QCOMPARE(texts(*m_bash, "pb_ch_max").at(1), QStringLiteral("MAX 50.0"));
    QCOMPARE(m_bash->avgTexts(), (QStringList{"21.0", "22.0", "23.0", "24.0"}));

    // After the recording the instrument's mode values return.
    m_bash->setRecording(false);
    m_bash->showReading(sampleReading(1));
    QCOMPARE(texts(*m_bash, "pb_ch_max").at(0), QStringLiteral("MAX 30.0"));
    QCOMPARE(texts(*m_bash, "pb_ch_avg").at(0), QStringLiteral("AVG "));
}

void TestBash::differenceModeEmptiesRecordedStatistics()
{
    m_bash->setRecording(true);
    m_bash->setStatistics(kRecorded);
    m_bash->showReading(sampleReading());
    QCOMPARE(texts(*m_bash, "pb_ch_min").at(0), QStringLiteral("MIN 11.0"));

    clickDiffButton(*m_bash, 2);
    QCOMPARE(texts(*m_bash, "pb_ch_min").at(0), QStringLiteral("MIN 11.0"));
    m_bash->setStatistics(kRecorded);
    m_bash->showReading(sampleReading());
    QCOMPARE(texts(*m_bash, "pb_ch_max"), four("MAX "));
    QCOMPARE(texts(*m_bash, "pb_ch_min"), four("MIN "));
    QCOMPARE(texts(*m_bash, "pb_ch_avg"), four("AVG "));
}

void TestBash::incompleteStatisticsIgnored()
{
    m_bash->setRecording(true);
    m_bash->setStatistics(kRecorded);
    QList<QList<QString>> shortList = kRecorded;
    shortList[2].removeLast();
    m_bash->setStatistics(shortList.mid(0, 2));
    m_bash->setStatistics(shortList);
    QCOMPARE(m_bash->maxTexts(), kRecorded.at(0));
    QCOMPARE(m_bash->avgTexts(), kRecorded.at(2));
}

void TestBash::unitChange()
{
    // Before any reading only the symbol changes.
    m_bash->setUnit(2);
    QCOMPARE(m_bash->findChild<QLabel *>("label_ch_unit")->text(), QStringLiteral("K"));
    QCOMPARE(texts(*m_bash, "pb_ch_value"), four(QString()));

    m_bash->showReading(sampleReading());
    QCOMPARE(texts(*m_bash, "pb_ch_value").at(0), QStringLiteral("298.1"));
    // The last reading is shown again in the new unit at once.
    m_bash->setUnit(1);
    QCOMPARE(texts(*m_bash, "pb_ch_value"), (QStringList{"77.0", "68.0", "86.0", "104.0"}));
    QCOMPARE(m_bash->findChild<QLabel *>("label_ch_unit_4")->text(), QStringLiteral("℉"));
}

void TestBash::unknownTypeCode()
{
    _T_PRINT_OUT_DATA r = sampleReading();
    r.status[0] = statusByte(9, StateValue);
    r.status[1] = statusByte(TypeJ, StateAboveRange);
    m_bash->showReading(r);
    QCOMPARE(texts(*m_bash, "pb_ch_type"), (QStringList{QString(), "J", "K", "K"}));
    QCOMPARE(texts(*m_bash, "pb_ch_value").mid(0, 2), (QStringList{"25.0", "OL"}));
    // No empty badge is drawn for a missing letter.
    QVERIFY(!button(*m_bash, "pb_ch_type", 0)->isVisible());
    QVERIFY(button(*m_bash, "pb_ch_type", 1)->isVisible());
}

void TestBash::differenceButtonLook()
{
    for (int i = 0; i < kChannelCount; ++i) {
        NavButton *diff = button(*m_bash, "pb_ch_diff_mode", i);
        QVERIFY(diff->isCheckable());
        QCOMPARE(diff->getNormalBgColor(), QColor("#F6F7FC"));
        QCOMPARE(diff->getHoverBgColor(), QColor("#F6F7FC"));
        QCOMPARE(diff->getCheckBgColor(), QColor("#f97932"));
        const QImage normal = QPixmap(":/images/ic_dif_mr3x.png").toImage();
        QVERIFY(!normal.isNull());
        QCOMPARE(diff->getIconNormal().toImage(), normal);
        QCOMPARE(diff->getIconHover().toImage(), normal);
        QCOMPARE(diff->getIconCheck().toImage(), QPixmap(":/images/ic_dif_dj3x.png").toImage());
    }

    // Painted: the background turns orange when the tile is the reference.
    NavButton *diff = button(*m_bash, "pb_ch_diff_mode", 1);
    const QPoint edge(diff->width() / 2, 2);
    QCOMPARE(diff->grab().toImage().pixelColor(edge), QColor("#F6F7FC"));
    clickDiffButton(*m_bash, 2);
    QCOMPARE(diff->grab().toImage().pixelColor(edge), QColor("#f97932"));
}

QTEST_MAIN(TestBash)
#include "tst_bash.moc"
