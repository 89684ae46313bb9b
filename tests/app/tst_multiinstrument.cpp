#include "app/alarmcontrol.h"
#include "app/instrumentconnection.h"
#include "app/instrumentlist.h"
#include "app/instrumentpage.h"
#include "app/instrumentrows.h"
#include "app/recordingpage.h"
#include "instrument/temperature.h"
#include "link/serialhandle.h"
#include "measurement/recordingsession.h"
#include "measurement/settingsrules.h"
#include "resources/initresources.h"
#include "sim/instrumentsimulator.h"
#include "store/measurementgroups.h"
#include "ui_mainwindow.h"
#include "widgets/alarmstrip.h"
#include "widgets/formsetting.h"
#include "windowtest.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>
#include <QtTest>

#include <memory>
#include <vector>

// Several instruments in one window: the Device page's list with its labels,
// and a recording of every connected instrument at once.
class TestMultiInstrument : public WindowTest
{
    Q_OBJECT

    QDateTime m_now;
    std::vector<std::unique_ptr<InstrumentSimulator>> m_sims;

    // Simulated instruments "A", "B" ... on links in the test's folder; a
    // pulled one is back after `reopenAfterMs` (-1: never).
    bool startSimulators(int count, int reopenAfterMs = 300)
    {
        for (int i = 0; i < count; ++i) {
            SimulatorOptions options;
            options.paced = false;
            options.liveRate = 10;
            options.linkPath = m_dir->filePath(QStringLiteral("tty%1").arg(QChar('A' + i)));
            options.reopenAfterMs = reopenAfterMs;
            auto sim = std::make_unique<InstrumentSimulator>(options);
            if (!sim->start())
                return false;
            m_ports << options.linkPath;
            m_sims.push_back(std::move(sim));
        }
        return true;
    }

    InstrumentList *list(MainWindow &w) const { return w.instrumentPage()->instrumentList(); }

    void setLabel(MainWindow &w, int row, const QString &label)
    {
        QLineEdit *edit = list(w)->labelEdit(row);
        edit->setText(label);
        edit->setModified(true);
        emit edit->editingFinished();
    }

    // Connects every instrument found; all run on one test clock.
    bool connectAll(MainWindow &w, int count)
    {
        m_now = QDateTime(QDate(2026, 3, 4), QTime(10, 0, 0));
        list(w)->connectAllButton()->click();
        if (!QTest::qWaitFor(
                [&] {
                    int identified = 0;
                    for (InstrumentConnection *c : w.instruments())
                        identified += c->isLinked() && c->device().isIdentified();
                    return identified == count;
                },
                10000))
            return false;
        for (InstrumentConnection *c : w.instruments()) {
            c->device().setClock([this] { return m_now; });
            c->device().handleTimeOut();
        }
        return true;
    }

    void startRecording(MainWindow &w)
    {
        w.form()->pb_continue_enable->setChecked(false);
        w.recordingPage()->on_pb_continue_enable_clicked(false);
        w.form()->pb_start->click();
    }

    // T1's limits switched on for the instrument chosen in the list, its
    // high limit at `high` in the shown unit.
    static void limitT1(MainWindow &w, double high)
    {
        w.form()->doubleSpinBox_hi_limit_T1->setValue(high);
        w.recordingPage()->on_doubleSpinBox_hi_limit_T1_editingFinished();
        w.form()->pb_limit_enable_T1->setChecked(true);
        w.recordingPage()->on_pb_limit_enable_T1_clicked(true);
    }

    void nextSecond(MainWindow &w)
    {
        m_now = m_now.addSecs(1);
        for (InstrumentConnection *c : w.instruments())
            c->device().handleTimeOut();
    }

    static QList<QDateTime> times(const Data_List_T &measurement)
    {
        QList<QDateTime> t;
        for (const _T_EE_TEST_DATA &r : measurement.records)
            t << dateTimeFromRecord(r);
        return t;
    }

private slots:
    void initTestCase() { kxInitResources(); }
    void init() { QVERIFY(setUpWindowTest()); }
    void cleanup()
    {
        m_sims.clear();
        tearDownWindowTest();
    }

    void labelEdits_data()
    {
        QTest::addColumn<QString>("label");
        QTest::addColumn<bool>("kept");
        QTest::newRow("valid") << QStringLiteral("Oven_top-1") << true;
        QTest::newRow("space") << QStringLiteral("oven top") << false;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("other's label") << QStringLiteral("second") << false;
        QTest::newRow("other's label, other case") << QStringLiteral("SECOND") << false;
    }

    // A label is kept in the settings for its port and shown after a restart;
    // a refused one is said and the row keeps the label it had.
    void labelEdits()
    {
        QFETCH(QString, label);
        QFETCH(bool, kept);
        m_ports = QStringList{m_dir->filePath(QStringLiteral("ttyA")),
                              m_dir->filePath(QStringLiteral("ttyB"))};
        QString before;
        {
            MainWindow w;
            QCOMPARE(list(w)->rowCount(), 2);
            setLabel(w, 1, QStringLiteral("second"));
            before = list(w)->labelEdit(0)->text();
            const int asked = m_asked.size();
            setLabel(w, 0, label);
            QCOMPARE(m_asked.size(), asked + (kept ? 0 : 1));
            QCOMPARE(list(w)->labelEdit(0)->text(), kept ? label : before);
        }
        MainWindow again;
        QCOMPARE(again.instrumentPage()->labelForPort(m_ports[0]), kept ? label : before);
        QCOMPARE(again.instrumentPage()->labelForPort(m_ports[1]), QStringLiteral("second"));
    }

    // Start records every instrument into a measurement of its own, named for
    // the recording and the instrument, each reading at the same time on both.
    void recordsEveryInstrumentAtOnce()
    {
        QVERIFY(startSimulators(2));
        MainWindow w;
        QVERIFY(connectAll(w, 2));
        QCOMPARE(w.recordingPage()->instrumentRows()->rowCount(), 2);
        const QString recording = w.currentMeasurement()->name;
        startRecording(w);
        for (int n = 1; n <= 3; ++n) {
            nextSecond(w);
            for (InstrumentConnection *c : w.instruments())
                QTRY_COMPARE_WITH_TIMEOUT(c->device().recordedCount(), n, 10000);
        }
        w.form()->pb_start->click();

        const Data_table_T &archive = w.archive();
        const QString labelA = w.instruments()[0]->label();
        const QString labelB = w.instruments()[1]->label();
        QCOMPARE(archive.lists.size(), 2);
        QCOMPARE(archive.lists[0]->name, instrumentMeasurementName(recording, labelA));
        QCOMPARE(archive.lists[1]->name, instrumentMeasurementName(recording, labelB));
        QCOMPARE(times(*archive.lists[0]).size(), 3);
        QCOMPARE(times(*archive.lists[0]), times(*archive.lists[1]));
        // Both journals go once the archive keeps their readings.
        QTRY_VERIFY(QDir().entryList({QStringLiteral("*.journal")}).isEmpty());
    }

    // A pulled cable stops one instrument's readings only until it is back;
    // the other records every second meanwhile.
    void oneLinkDroppedOthersGoOn()
    {
        QVERIFY(startSimulators(2));
        MainWindow w;
        QVERIFY(connectAll(w, 2));
        startRecording(w);
        DevKX740D &a = w.instruments()[0]->device();
        DevKX740D &b = w.instruments()[1]->device();
        nextSecond(w);
        QTRY_COMPARE_WITH_TIMEOUT(b.recordedCount(), 1, 10000);
        QSignalSpy returned(m_sims[1].get(), &InstrumentSimulator::portOpened);
        m_sims[1]->disconnectPort();
        QTRY_VERIFY_WITH_TIMEOUT(!w.instruments()[1]->isLinked(), 10000);
        for (int n = 2; n <= 3; ++n) {
            nextSecond(w);
            QTRY_COMPARE_WITH_TIMEOUT(a.recordedCount(), n, 10000);
        }
        // The simulator may already be back, on a slow machine even before
        // the third second: only that b went on is certain.
        QTRY_COMPARE_WITH_TIMEOUT(returned.count(), 1, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(w.instruments()[1]->isLinked() && b.isIdentified(), 10000);
        QTRY_VERIFY_WITH_TIMEOUT(b.recordedCount() >= 2, 10000);
        w.form()->pb_start->click();
        QCOMPARE(w.archive().lists[0]->records.size(), 3);
        QCOMPARE(w.archive().lists[1]->records.size(), b.recordedCount());
    }

    // Start with the first instrument disconnected records the others.
    void recordsWithoutTheFirstInstrument()
    {
        QVERIFY(startSimulators(2));
        MainWindow w;
        QVERIFY(connectAll(w, 2));
        list(w)->connectSwitch(0)->click();
        QTRY_VERIFY_WITH_TIMEOUT(!w.instruments()[0]->isLinked(), 10000);
        const QString recording = w.currentMeasurement()->name;
        startRecording(w);
        QVERIFY(m_asked.isEmpty());
        for (int n = 1; n <= 2; ++n) {
            nextSecond(w);
            QTRY_COMPARE_WITH_TIMEOUT(w.instruments()[1]->device().recordedCount(), n, 10000);
        }
        w.form()->pb_start->click();
        const QString name = instrumentMeasurementName(recording, w.instruments()[1]->label());
        const auto it = std::find_if(w.archive().lists.begin(), w.archive().lists.end(),
                                     [&](const Data_List_T *m) { return m->name == name; });
        QVERIFY(it != w.archive().lists.end());
        QCOMPARE((*it)->records.size(), 2);
    }

    // Each instrument is held to its own limits: the second's T1 above the
    // limit kept for its label raises an alarm that names it, while the
    // first, on the shared limit, stays quiet. The page shows the limits of
    // the instrument chosen.
    void eachInstrumentAlarmsByItsOwnLimits()
    {
        QVERIFY(startSimulators(2));
        MainWindow w;
        QVERIFY(connectAll(w, 2));
        limitT1(w, 100.0);
        list(w)->selectButton(1)->click();
        limitT1(w, 10.0);
        const QString labelB = w.instruments()[1]->label();
        QTRY_COMPARE_WITH_TIMEOUT(w.alarmStrip()->texts().size(), 1, 10000);
        QSignalSpy firstReadings(&w.instruments()[0]->device(), &DevKX740D::live_data);
        QTRY_VERIFY_WITH_TIMEOUT(firstReadings.count() >= 2, 10000);
        QCOMPARE(w.alarmStrip()->texts().size(), 1);
        const QString text = w.alarmStrip()->texts()[0];
        QVERIFY2(text.startsWith(labelB + QStringLiteral("：告警：T1 高于上限")), qPrintable(text));
        list(w)->selectButton(0)->click();
        QCOMPARE(w.form()->doubleSpinBox_hi_limit_T1->value(), 100.0);
        QCOMPARE(w.settings().instrumentLimits.keys(), QStringList{labelB});
    }

    // A pulled cable raises the link alarm of its instrument only.
    void pulledCableRaisesOnlyItsLinkAlarm()
    {
        QVERIFY(startSimulators(2, -1));
        MainWindow w;
        QVERIFY(connectAll(w, 2));
        w.settingsWindow()
            ->findChild<QSpinBox *>(QStringLiteral("spinBox_alarm_link"))
            ->setValue(1);
        // Recording writes to the link, which is how a pulled cable is noticed.
        startRecording(w);
        m_sims[1]->disconnectPort();
        QTRY_COMPARE_WITH_TIMEOUT(w.alarmStrip()->texts().size(), 1, 10000);
        const QString text = w.alarmStrip()->texts()[0];
        QVERIFY2(text.startsWith(w.instruments()[1]->label() + QStringLiteral("：")) &&
                     text.contains(QStringLiteral("与仪器的连接丢失")),
                 qPrintable(text));
    }

    // The instrument panel sets the instrument chosen in the list, and only it.
    void panelSetsTheChosenInstrument()
    {
        QVERIFY(startSimulators(2));
        MainWindow w;
        QVERIFY(connectAll(w, 2));
        QVERIFY(list(w)->selectButton(0)->isChecked());
        const quint8 typeOfFirst = m_sims[0]->channelConfig().type[0];
        list(w)->selectButton(1)->click();
        QVERIFY(list(w)->selectButton(1)->isChecked());
        QVERIFY(!list(w)->selectButton(0)->isChecked());
        QComboBox *t1 = w.form()->comboBox_T1;
        const int other = (t1->currentIndex() + 1) % t1->count();
        t1->setCurrentIndex(other);
        QTRY_COMPARE_WITH_TIMEOUT(typeBoxIndex(m_sims[1]->channelConfig().type[0]), other, 10000);
        QCOMPARE(m_sims[0]->channelConfig().type[0], typeOfFirst);
    }

    // A window that ends during a recording leaves every instrument's
    // journal; the next start brings each back as a measurement.
    void everyInstrumentComesBackAfterAnEnd()
    {
        QVERIFY(startSimulators(2));
        QString labelB;
        {
            MainWindow w;
            QVERIFY(connectAll(w, 2));
            labelB = w.instruments()[1]->label();
            startRecording(w);
            for (int n = 1; n <= 2; ++n) {
                nextSecond(w);
                for (InstrumentConnection *c : w.instruments())
                    QTRY_COMPARE_WITH_TIMEOUT(c->device().recordedCount(), n, 10000);
            }
            for (InstrumentConnection *c : w.instruments())
                c->session().tick();
        }
        m_sims.clear();
        m_ports.clear();
        MainWindow again;
        QStringList names;
        for (const Data_List_T *m : again.archive().lists)
            names << m->name + QLatin1Char('=') + QString::number(m->records.size());
        QVERIFY2(names.contains(instrumentMeasurementName(QStringLiteral("auto_backup"), labelB) +
                                QStringLiteral("=2")),
                 qPrintable(names.join(QLatin1Char(','))));
        QVERIFY2(names.contains(QStringLiteral("auto_backup=2")),
                 qPrintable(names.join(QLatin1Char(','))));
    }
};

QTEST_MAIN(TestMultiInstrument)
#include "tst_multiinstrument.moc"
