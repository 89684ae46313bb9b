#include "app/archivepage.h"
#include "app/chartpage.h"
#include "app/overlaycontrols.h"
#include "app/statisticspanel.h"
#include "resources/initresources.h"
#include "store/measurementgroups.h"
#include "tests/app/windowtest.h"
#include "ui_mainwindow.h"
#include "widgets/bubbletips.h"

#include <QComboBox>
#include <QDialog>
#include <QDockWidget>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QTableWidget>
#include <QUndoStack>
#include <QtTest>

// Measurements compared on one chart: chosen in the tree or in the checklist,
// aligned, named, told apart and read at the reference line.
class TestOverlayWindow : public WindowTest
{
    Q_OBJECT

    // `count` readings one second apart from 10:00:00 plus `startSecond`,
    // T1 rising by 1 degree a second from `t1`, T2..T4 10, 20, 30 above.
    static QVector<_T_EE_TEST_DATA> ramp(int count, int startSecond, float t1)
    {
        QVector<_T_EE_TEST_DATA> list(count);
        for (int i = 0; i < count; ++i) {
            const int s = startSecond + i;
            _T_EE_TEST_DATA &r = list[i];
            r.year = 26;
            r.month = 3;
            r.day = 4;
            r.hour = 10;
            r.minute = quint8(s / 60);
            r.second = quint8(s % 60);
            for (int ch = 0; ch < kChannelCount; ++ch)
                r.value[ch] = t1 + i + 10.0f * ch;
        }
        return list;
    }

    // An archive of A, B, C (started 0, 100 and 200 s after 10:00, T1 from
    // 20, 25 and 30) shown in a window.
    void open(MainWindow &w)
    {
        Document &d = w.document();
        d.replace(Data_table_T(), QString());
        const char *names[] = {"A", "B", "C"};
        for (int m = 0; m < 3; ++m)
            d.addMeasurement(
                newMeasurement(ramp(60, 100 * m, 20.0f + 5 * m), QString::fromLatin1(names[m])));
        w.resize(1400, 900);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
    }

    static void select(MainWindow &w, const QVector<int> &rows)
    {
        QTreeWidget *tree = w.form()->treeWidget;
        tree->clearSelection();
        for (int row : rows)
            tree->topLevelItem(row)->setSelected(true);
    }

    static QString tipAt(MainWindow &w, double key)
    {
        QCustomPlot *plot = w.form()->customPlot;
        plot->replot();
        const QPoint pos(qRound(plot->xAxis->coordToPixel(key)), plot->axisRect()->center().y());
        QMouseEvent move(QEvent::MouseMove, pos, plot->mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(plot, &move);
        return w.chartPage()->chartTip()->text();
    }

    static QComboBox *alignment(MainWindow &w)
    {
        return w.findChild<QComboBox *>(QStringLiteral("overlay_alignment"));
    }

private slots:
    void initTestCase() { kxInitResources(); }
    void init() { QVERIFY(setUpWindowTest()); }
    void cleanup()
    {
        WindowContext::setModalRunner({});
        tearDownWindowTest();
    }

    void legendNamesAndStyles()
    {
        MainWindow w;
        open(w);
        QCustomPlot *plot = w.form()->customPlot;
        OverlayControls *controls = w.chartPage()->overlayControls();
        select(w, {0, 2});
        QCOMPARE(plot->graphCount(), 8);
        QVERIFY(controls->isVisible());
        for (int i = 0; i < 8; ++i) {
            const QCPGraph *graph = plot->graph(i);
            QCOMPARE(graph->name(), QStringLiteral("%1 T%2").arg(i < 4 ? "A" : "C").arg(i % 4 + 1));
            QCOMPARE(graph->pen().style(), i < 4 ? Qt::SolidLine : Qt::DashLine);
        }

        // Back to one measurement: its four channels as before.
        select(w, {1});
        QCOMPARE(plot->graphCount(), 4);
        QCOMPARE(plot->graph(0)->name(), QStringLiteral("T1"));
        QCOMPARE(plot->graph(0)->pen().style(), Qt::SolidLine);
        QVERIFY(!controls->isVisible());
    }

    // At one time every shown curve is read: by the clock B and C have no
    // reading at A's tenth second; from each one's start all three do.
    void referenceLineReadsEveryCurve()
    {
        MainWindow w;
        open(w);
        w.form()->action_line->trigger();
        select(w, {0, 1, 2});
        QCustomPlot *plot = w.form()->customPlot;
        const double a10 = plot->graph(0)->data()->at(10)->key;
        QStringList lines = tipAt(w, a10).split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 13);
        QCOMPARE(lines.at(0), QStringLiteral("10:00:10"));
        QCOMPARE(lines.at(1), QStringLiteral("A T1: 30.0 ℃"));
        QCOMPARE(lines.at(5), QStringLiteral("B T1: --\\--"));

        alignment(w)->setCurrentIndex(int(OverlayAlignment::Start));
        lines = tipAt(w, 10).split(QLatin1Char('\n'));
        QCOMPARE(lines.at(0), QStringLiteral("+00:00:10"));
        QCOMPARE(lines.at(1), QStringLiteral("A T1: 30.0 ℃"));
        QCOMPARE(lines.at(5), QStringLiteral("B T1: 35.0 ℃"));
        QCOMPARE(lines.at(12), QStringLiteral("C T4: 70.0 ℃"));

        // A curve hidden by its legend entry leaves the tip.
        QCPAbstractLegendItem *item = plot->legend->itemWithPlottable(plot->graph(4));
        emit plot->legendClick(plot->legend, item, nullptr);
        QVERIFY(!plot->graph(4)->visible());
        lines = tipAt(w, 10).split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 12);
        QCOMPARE(lines.at(5), QStringLiteral("B T2: 45.0 ℃"));
    }

    // Aligned where T1 first rises through 40: A after 20 s, B after 15 s,
    // C after 10 s; a measurement that never gets there is shown from its
    // start, and the note says so.
    void alignedAtCrossing()
    {
        MainWindow w;
        open(w);
        w.form()->action_line->trigger();
        select(w, {0, 1, 2});
        w.findChild<QDoubleSpinBox *>(QStringLiteral("overlay_temperature"))->setValue(40);
        alignment(w)->setCurrentIndex(int(OverlayAlignment::Crossing));
        QStringList lines = tipAt(w, 0).split(QLatin1Char('\n'));
        QCOMPARE(lines.at(1), QStringLiteral("A T1: 40.0 ℃"));
        QCOMPARE(lines.at(5), QStringLiteral("B T1: 40.0 ℃"));
        QCOMPARE(lines.at(9), QStringLiteral("C T1: 40.0 ℃"));
        QVERIFY(w.chartPage()->overlayControls()->noteText().isEmpty());

        w.findChild<QDoubleSpinBox *>(QStringLiteral("overlay_temperature"))->setValue(82);
        lines = tipAt(w, 0).split(QLatin1Char('\n'));
        QCOMPARE(lines.at(1), QStringLiteral("A T1: 20.0 ℃")); // never above 79
        QCOMPARE(lines.at(5), QStringLiteral("B T1: 82.0 ℃"));
        const QString note = w.chartPage()->overlayControls()->noteText();
        QVERIFY(note.contains(QLatin1Char('A')));
        QVERIFY(!note.contains(QLatin1Char('B')));
    }

    // The checklist chooses what is compared; beyond ten the chart says it
    // shows the first ten.
    void compareWithChecklist()
    {
        MainWindow w;
        open(w);
        for (int m = 0; m < 9; ++m)
            w.document().addMeasurement(
                newMeasurement(ramp(10, 0, 20), QStringLiteral("x%1").arg(m)));
        WindowContext::setModalRunner([&](QDialog &dialog) {
            auto *list = dialog.findChild<QListWidget *>(QStringLiteral("compare_list"));
            for (int i = 0; i < list->count(); ++i)
                list->item(i)->setCheckState(i == 0 || i == 2 || i >= 3 ? Qt::Checked
                                                                        : Qt::Unchecked);
            return int(QDialog::Accepted);
        });
        w.archivePage()->compareWith();
        QCustomPlot *plot = w.form()->customPlot;
        QCOMPARE(plot->graphCount(), 4 * kMaxOverlaid);
        QCOMPARE(plot->graph(4)->name(), QStringLiteral("C T1"));
        QCOMPARE(w.form()->treeWidget->selectedItems().size(), 11);
        QVERIFY(w.chartPage()->overlayControls()->noteText().contains(QStringLiteral("11")));
    }

    // The panel's figures are those of the records in view, following the
    // zoom, or of the whole measurement.
    void statisticsOfTheView()
    {
        MainWindow w;
        open(w);
        select(w, {0});
        w.form()->treeWidget->setCurrentItem(w.form()->treeWidget->topLevelItem(0));
        StatisticsPanel *panel = w.chartPage()->statisticsPanel();
        w.chartPage()->statisticsDock()->show();
        w.form()->customPlot->xAxis->setRange(10, 30);
        QTRY_COMPARE_WITH_TIMEOUT(panel->figures().value(0).channel[0].readings, qint64(21), 5000);

        StatisticsLimits limits;
        limits.bandLow = 2;
        limits.bandHigh = 8;
        limits.mktActivation = mktActivationFromKiloJoules(83.14);
        const QVector<_T_EE_TEST_DATA> &records = w.document().measurement(0)->records;
        MeasurementStatistics expected(limits);
        expected.addRange(records, 10, 30, usualSpacing(records, 0, records.size() - 1));
        for (int ch = 0; ch < kChannelCount; ++ch) {
            const ChannelFigures &shown = panel->figures().at(0).channel[ch];
            const ChannelFigures &want = expected.figures().channel[ch];
            QCOMPARE(shown.readings, want.readings);
            QCOMPARE(shown.min, want.min);
            QCOMPARE(shown.mean, want.mean);
            QCOMPARE(shown.stddev, want.stddev);
            QCOMPARE(shown.mkt, want.mkt);
        }
        QCOMPARE(panel->table()->item(3, 0)->text(), QStringLiteral("40.0 ℃"));
        QCOMPARE(panel->table()->horizontalHeaderItem(1)->text(), QStringLiteral("T2"));

        panel->findChild<QComboBox *>(QStringLiteral("statistics_scope"))->setCurrentIndex(1);
        QCOMPARE(panel->figures().value(0).channel[0].readings, qint64(60));
    }

    // A recording of two instruments between two plain measurements is one
    // node; its items name the right measurements after a delete before it,
    // its own delete and their undo.
    void groupNodeFollowsTheArchive()
    {
        MainWindow w;
        Document &d = w.document();
        d.replace(Data_table_T(), QString());
        d.addMeasurement(newMeasurement(ramp(60, 0, 20), QStringLiteral("P")));
        d.addMeasurement(newMeasurement(ramp(60, 0, 30), instrumentMeasurementName("R", "oven")));
        d.addMeasurement(newMeasurement(ramp(60, 5, 40), instrumentMeasurementName("R", "door")));
        d.addMeasurement(newMeasurement(ramp(60, 0, 50), QStringLiteral("Q")));
        w.resize(1400, 900);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTreeWidget *tree = w.form()->treeWidget;
        QCustomPlot *plot = w.form()->customPlot;
        const auto showGroup = [&](int row) {
            QTreeWidgetItem *node = tree->topLevelItem(row);
            QCOMPARE(node->text(0), QStringLiteral("R"));
            QCOMPARE(node->child(1)->text(0), QStringLiteral("door"));
            tree->setCurrentItem(node);
            tree->clearSelection();
            node->setSelected(true);
            // On the clock, named by label, the values of the right measurements.
            QCOMPARE(plot->graphCount(), 8);
            QCOMPARE(plot->graph(4)->name(), QStringLiteral("door T1"));
            QCOMPARE(plot->graph(0)->data()->at(0)->value, 30.0);
            QCOMPARE(plot->graph(4)->data()->at(0)->value, 40.0);
            QCOMPARE(plot->graph(4)->data()->at(0)->key - plot->graph(0)->data()->at(0)->key, 5.0);
            QVERIFY(!w.chartPage()->overlayControls()->isVisible());
        };
        QCOMPARE(tree->topLevelItemCount(), 3);
        showGroup(1);

        d.removeMeasurement(0);
        showGroup(0);
        d.undoStack()->undo();
        showGroup(1);

        // The group's delete takes both, and one undo brings both back.
        DialogAnswer yes;
        yes.button = 0;
        m_answers << yes;
        w.archivePage()->on_treeWidget_customContextMenuRequested(
            tree->visualItemRect(tree->topLevelItem(1)).center());
        QMenu *menu = w.findChildren<QMenu *>(QString(), Qt::FindDirectChildrenOnly).last();
        for (QAction *action : menu->actions())
            if (action->text() == QStringLiteral("删除"))
                action->trigger();
        menu->close();
        QCOMPARE(d.count(), 2);
        QCOMPARE(d.measurement(1)->name, QStringLiteral("Q"));
        d.undoStack()->undo();
        QCOMPARE(d.count(), 4);
        showGroup(1);
    }
};

QTEST_MAIN(TestOverlayWindow)
#include "tst_overlaywindow.moc"
