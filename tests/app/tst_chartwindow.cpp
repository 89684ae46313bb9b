#include "app/chartpage.h"
#include "fakerecording.h"
#include "instrument/temperature.h"
#include "resources/initresources.h"
#include "settings/settingsfile.h"
#include "store/datafile.h"
#include "ui_mainwindow.h"
#include "widgets/bubbletips.h"
#include "widgets/graphbutton.h"
#include "windowtest.h"

#include <QClipboard>
#include <QImageReader>
#include <QMenu>
#include <QScrollBar>
#include <QTextEdit>
#include <QtTest>

#include <cerrno>
#include <cstring>

class TestChartWindow : public WindowTest
{
    Q_OBJECT

    // Records of 2024-03-05 14:05:<i> whose channel ch reads values[i] + 10 * ch.
    static QVector<_T_EE_TEST_DATA> records(const QVector<float> &values)
    {
        QVector<_T_EE_TEST_DATA> list(values.size());
        for (int i = 0; i < values.size(); ++i) {
            _T_EE_TEST_DATA &r = list[i];
            r.year = 24;
            r.month = 3;
            r.day = 5;
            r.hour = 14;
            r.minute = 5;
            r.second = quint8(i);
            for (int ch = 0; ch < kChannelCount; ++ch)
                r.value[ch] = values.at(i) + 10.0f * ch;
        }
        return list;
    }

    // Shows `list` as the current measurement the way choosing it in the tree does.
    static void showMeasurement(MainWindow &w, const QVector<_T_EE_TEST_DATA> &list)
    {
        w.currentMeasurement()->records = list;
        QTreeWidget *tree = w.form()->treeWidget;
        QTreeWidgetItem *item = tree->topLevelItem(0);
        tree->setCurrentItem(nullptr);
        tree->setCurrentItem(item);
    }

    static void showWindow(MainWindow &w)
    {
        w.resize(1400, 900);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.form()->customPlot->replot();
    }

    static void moveOver(QCustomPlot *plot, const QPoint &pos)
    {
        QMouseEvent move(QEvent::MouseMove, pos, plot->mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(plot, &move);
    }

    // The tip's box in chart coordinates.
    static QRect tipInChart(const QWidget *tip, const QWidget *plot)
    {
        return QRect(plot->mapFromGlobal(tip->mapToGlobal(QPoint(0, 0))), tip->size());
    }

    static QMenu *newestMenu(MainWindow &w)
    {
        const QList<QMenu *> menus = w.findChildren<QMenu *>(QString(), Qt::FindDirectChildrenOnly);
        return menus.isEmpty() ? nullptr : menus.last();
    }

private slots:
    void initTestCase() { kxInitResources(); }
    void init() { QVERIFY(setUpWindowTest()); }
    void cleanup()
    {
        for (QMenu *menu :
             QApplication::activePopupWidget()
                 ? QList<QMenu *>{qobject_cast<QMenu *>(QApplication::activePopupWidget())}
                 : QList<QMenu *>{})
            if (menu)
                menu->close();
        tearDownWindowTest();
    }

    // The stored look is applied once; the spin-box numbers mean one style more.
    void setUpFromTheSettingsFile()
    {
        {
            MainWindow w;
            QCustomPlot *plot = w.form()->customPlot;
            QCOMPARE(plot->graphCount(), 4);
            QCOMPARE(plot->interactions(), QCP::iRangeDrag | QCP::iRangeZoom);
            QCOMPARE(plot->yAxis->numberFormat(), QStringLiteral("f"));
            QCOMPARE(plot->yAxis->numberPrecision(), 1);
            QCOMPARE(plot->xAxis->label(), QString());
            QVERIFY(plot->xAxis2->visible() && plot->yAxis2->visible());
            QVERIFY(!plot->legend->visible());
            QVERIFY(!w.chart().tracer()->visible());
            for (int ch = 0; ch < 4; ++ch) {
                QCPGraph *g = plot->graph(ch);
                QCOMPARE(g->name(), QStringLiteral("T%1").arg(ch + 1));
                QCOMPARE(g->lineStyle(), QCPGraph::lsLine);
                QCOMPARE(g->scatterStyle().shape(), QCPScatterStyle::ssPlus);
                QCOMPARE(g->scatterStyle().size(), 6.0);
                QCOMPARE(g->pen().widthF(), 2.0);
                QCOMPARE(g->pen().color(), AppSettings::defaultChannelColors()[ch]);
            }
            // The top and right axes follow the bottom and left ones.
            plot->xAxis->setRange(3, 7);
            QCOMPARE(plot->xAxis2->range(), QCPRange(3, 7));
        }

        AppSettings s;
        s.lineStyle = 2;
        s.scatterShape = 16;
        s.showXAxis = true;
        s.showLegend = true;
        s.channelColor[1] = QColor(Qt::red);
        QFile file(QStringLiteral("config.cfg"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(encodeSettings(s));
        file.close();

        MainWindow w;
        QCustomPlot *plot = w.form()->customPlot;
        QCOMPARE(plot->graph(0)->lineStyle(), QCPGraph::lsStepLeft);
        QCOMPARE(plot->graph(3)->scatterStyle().shape(), QCPScatterStyle::ssPlus);
        QCOMPARE(plot->graph(1)->pen().color(), QColor(Qt::red));
        QCOMPARE(w.form()->pb_T2->color(), QColor(Qt::red));
        QCOMPARE(w.form()->pb_T2_color->color(), QColor(Qt::red));
        QCOMPARE(plot->xAxis->label(), QStringLiteral("编号"));
        QVERIFY(plot->legend->visible());

        w.form()->spinBox_line_style->setValue(0);
        QCOMPARE(plot->graph(2)->lineStyle(), QCPGraph::lsLine);
        w.form()->spinBox_line_style->setValue(2);
        QCOMPARE(plot->graph(2)->lineStyle(), QCPGraph::lsStepRight);
        w.form()->spinBox_ScatterShape->setValue(0);
        w.form()->spinBox_ScatterShape->setValue(13);
        QCOMPARE(plot->graph(2)->scatterStyle().shape(), QCPScatterStyle::ssPlusCircle);
        QCOMPARE(w.settings().lineStyle, 2);
        QCOMPARE(w.settings().scatterShape, 13);
    }

    // The live refresh plots the newest 10000 readings with index keys from 0,
    // leaves a reading without a value out of its channel only, and gives the
    // table the same readings.
    void liveRefreshWhileRecording()
    {
        IdlePort port;
        MainWindow w;
        QCustomPlot *plot = w.form()->customPlot;
        FakeRecording recording(w, port, QDateTime(QDate(2026, 3, 4), QTime(10, 0, 0)));
        recording.start();
        QVERIFY(w.device().isRecording());
        const auto record = [&](int n) {
            for (int k = 0; k < n; ++k) {
                const int second = recording.seconds() + 1;
                _T_PRINT_OUT_DATA r;
                for (int ch = 0; ch < kChannelCount; ++ch)
                    r.value[ch] = float(second);
                r.status[2] = second == 5 ? 0x10 : 0;
                recording.record(r);
            }
            w.handleTimeOut();
        };

        record(9999);
        QCOMPARE(w.device().recordedCount(), 9999);
        QCOMPARE(plot->graph(0)->data()->size(), 9999);
        QCOMPARE(plot->graph(0)->data()->at(9998)->key, 9998.0);
        QCOMPARE(plot->graph(2)->data()->size(), 9998);
        QCOMPARE(plot->graph(2)->data()->at(4)->key, 5.0);
        QCOMPARE(plot->graph(1)->data()->at(4)->key, 4.0);
        QCOMPARE(plot->yAxis->range(), QCPRange(0, 9999 + 999.9));
        QCOMPARE(plot->xAxis->range(), QCPRange(0, 9998));

        record(3);
        QCOMPARE(plot->graph(0)->data()->size(), 10000);
        QCOMPARE(plot->graph(0)->data()->at(0)->key, 0.0);
        QCOMPARE(plot->graph(0)->data()->at(0)->value, 3.0);
        QCOMPARE(plot->graph(0)->data()->at(9999)->key, 9999.0);
        QCOMPARE(plot->graph(0)->data()->at(9999)->value, 10002.0);
        // The gap of the fifth reading is now at position 2.
        QCOMPARE(plot->graph(2)->data()->size(), 9999);
        QCOMPARE(plot->graph(2)->data()->at(2)->key, 3.0);
        // The live table shows the same readings, the newest of its 1000 first.
        QTableWidget *table = w.form()->tableWidget;
        QCOMPARE(table->item(0, 0)->text(), QStringLiteral("1000"));
        QCOMPARE(table->item(0, 2)->text(), QStringLiteral("10002"));

        // In date-time mode the next refresh takes time keys.
        w.form()->pb_graph->click();
        record(1);
        QCOMPARE(plot->graph(0)->data()->at(9999)->key, double(recording.now().toSecsSinceEpoch()));

        // After the stop the recording is drawn as the stored measurement.
        w.form()->pb_start->click();
        QVERIFY(!w.device().isRecording());
        QCOMPARE(plot->graph(0)->data()->size(), 10003);
        QCOMPARE(plot->graph(2)->data()->size(), 10002);
    }

    // A measurement chosen in the tree is drawn with the margin rule, in
    // either x-axis mode, and an empty choice clears the graphs.
    void storedMeasurementAndAxisModes()
    {
        MainWindow w;
        QCustomPlot *plot = w.form()->customPlot;
        QVector<_T_EE_TEST_DATA> list = records({1, 2, 3});
        list[1].state[3] = 2;
        showMeasurement(w, list);
        QCOMPARE(plot->graph(3)->data()->size(), 2);
        QCOMPARE(plot->graph(3)->data()->at(1)->key, 2.0);
        // Values 1..33 over all four graphs.
        QCOMPARE(plot->yAxis->range(), QCPRange(0, 36.3));

        // A hidden graph still counts for the rescale and still gives its
        // line to the tip.
        w.form()->pb_T4->click();
        QVERIFY(!plot->graph(3)->visible());
        w.form()->pb_graph->click();
        w.form()->pb_graph->click();
        QCOMPARE(plot->yAxis->range(), QCPRange(0, 36.3));
        w.form()->pb_T4->click();
        QVERIFY(plot->graph(3)->visible());

        w.form()->checkBox_xasix->setChecked(true);
        w.form()->checkBox_yasix->setChecked(true);
        QCOMPARE(plot->xAxis->label(), QStringLiteral("编号"));
        QCOMPARE(plot->yAxis->label(), QStringLiteral("温度 (℃)"));
        w.applyUnit(1);
        QCOMPARE(plot->yAxis->label(), QStringLiteral("温度 (℉)"));
        w.applyUnit(0);

        w.form()->pb_graph->click();
        const qint64 t0 =
            QDateTime(QDate(2024, 3, 5), QTime(14, 5, 0), Qt::LocalTime).toSecsSinceEpoch();
        QCOMPARE(plot->graph(0)->data()->at(2)->key, double(t0 + 2));
        auto dateTicker = plot->xAxis->ticker().dynamicCast<QCPAxisTickerDateTime>();
        QVERIFY(dateTicker);
        QCOMPARE(dateTicker->dateTimeFormat(), QStringLiteral("hh:mm:ss\nMM-dd"));
        QCOMPARE(plot->xAxis->label(), QStringLiteral("时间"));
        w.form()->checkBox_xasix->setChecked(false);
        QCOMPARE(plot->xAxis->label(), QString());
        w.form()->checkBox_xasix->setChecked(true);
        QCOMPARE(plot->xAxis->label(), QStringLiteral("时间"));

        w.form()->pb_graph->click();
        QCOMPARE(plot->graph(0)->data()->at(2)->key, 2.0);
        auto timeTicker = plot->xAxis->ticker().dynamicCast<QCPAxisTickerTime>();
        QVERIFY(timeTicker);
        QCOMPARE(timeTicker->timeFormat(), QStringLiteral("%s"));
        QCOMPARE(plot->xAxis->label(), QStringLiteral("编号"));

        w.form()->checkBox_legend->setChecked(true);
        QVERIFY(plot->legend->visible());
        QVERIFY(w.settings().showLegend && w.settings().showXAxis && w.settings().showYAxis);

        // Another unit redraws in that unit.
        w.applyUnit(UnitFahrenheit);
        QCOMPARE(float(plot->graph(0)->data()->at(0)->value), 33.8f);
    }

    // Equal values (one probe at a steady temperature, the others unplugged)
    // are framed by the margin rule around the value, the same at every
    // redraw; a single reading gets an x range around it, whatever was shown
    // before.
    void steadyValuesKeepTheirRange()
    {
        MainWindow w;
        QCustomPlot *plot = w.form()->customPlot;
        // Each toggle of the x-axis mode redraws the measurement.
        const auto redraw = [&] {
            for (int i = 0; i < 6; ++i)
                w.form()->pb_graph->click();
        };
        QVector<_T_EE_TEST_DATA> list = records(QVector<float>(100, 25));
        for (_T_EE_TEST_DATA &r : list)
            r.state[1] = r.state[2] = r.state[3] = 3;
        showMeasurement(w, list);
        redraw();
        QCOMPARE(plot->yAxis->range(), QCPRange(22.5, 27.5));
        QCOMPARE(plot->xAxis->range(), QCPRange(0, 99));

        list.resize(1);
        showMeasurement(w, list);
        redraw();
        QCOMPARE(plot->yAxis->range(), QCPRange(22.5, 27.5));
        QCOMPARE(plot->xAxis->range(), QCPRange(-1, 1));
    }

    void channelColours()
    {
        MainWindow w;
        QCustomPlot *plot = w.form()->customPlot;
        const QColor before = plot->graph(2)->pen().color();
        w.form()->pb_T3_color->click(); // cancelled
        QCOMPARE(m_asked.size(), 1);
        QCOMPARE(m_asked.at(0).kind, DialogRequest::Color);
        QCOMPARE(m_asked.at(0).color, before);
        QCOMPARE(plot->graph(2)->pen().color(), before);
        QCOMPARE(w.form()->pb_T3->color(), before);

        DialogAnswer chosen;
        chosen.accepted = true;
        chosen.color = QColor(10, 200, 30);
        m_answers << chosen;
        w.form()->pb_T3_color->click();
        QCOMPARE(plot->graph(2)->pen().color(), chosen.color);
        QCOMPARE(plot->graph(2)->pen().widthF(), 2.0);
        QCOMPARE(w.form()->pb_T3->color(), chosen.color);
        QCOMPARE(w.form()->pb_T3_color->color(), chosen.color);
        QCOMPARE(w.settings().channelColor[2], chosen.color);
    }

    // The tab shown holds the large view; the small chart shows no labels,
    // tick labels or legend.
    void chartAndTableChangePlaces()
    {
        MainWindow w;
        Ui::MainWindow *ui = w.form();
        QCustomPlot *plot = ui->customPlot;
        ui->checkBox_xasix->setChecked(true);
        ui->checkBox_legend->setChecked(true);
        ui->pb_switch->click();
        QCOMPARE(ui->tabWidget_data->currentIndex(), 1);
        QCOMPARE(ui->verticalLayout_littile->indexOf(plot), 0);
        QCOMPARE(ui->verticalLayout_grid->indexOf(ui->tableWidget), 0);
        QVERIFY(!plot->xAxis->tickLabels());
        QCOMPARE(plot->xAxis->label(), QString());
        QVERIFY(!plot->legend->visible());
        QCOMPARE(ui->tableWidget->columnCount(), 10);

        ui->pb_switch_2->click();
        QCOMPARE(ui->tabWidget_data->currentIndex(), 0);
        QCOMPARE(ui->verticalLayout_graph->indexOf(plot), 0);
        QCOMPARE(ui->verticalLayout_littile->indexOf(ui->tableWidget), 0);
        QVERIFY(plot->xAxis->tickLabels());
        QCOMPARE(plot->xAxis->label(), QStringLiteral("编号"));
        QVERIFY(plot->legend->visible());
        QVERIFY(ui->tableWidget->columnCount() < 10);
    }

    // At one vertical line every channel is read at the same record, the one
    // under the line, not each at the record nearest to the cursor in its
    // own graph.
    void referenceLineReadsOneRecord()
    {
        MainWindow w;
        showWindow(w);
        QCustomPlot *plot = w.form()->customPlot;
        QVector<_T_EE_TEST_DATA> list = records(QVector<float>(11, 0));
        for (int i = 0; i < list.size(); ++i) {
            list[i].value[0] = i % 2 ? 30 : 10;
            list[i].value[1] = i % 2 ? 10 : 30;
        }
        showMeasurement(w, list);
        plot->replot();
        moveOver(plot,
                 QPoint(int(plot->xAxis->coordToPixel(4.4)), int(plot->yAxis->coordToPixel(10))));
        QCOMPARE(w.chartPage()->chartTip()->text(),
                 QStringLiteral("T1: 10.0 ℃ (5)\nT2: 30.0 ℃ (5)\n"
                                "T3: 20.0 ℃ (5)\nT4: 30.0 ℃ (5)"));

        // A channel without a value reads as in the table; over two days the
        // time comes with its date.
        list[4].state[2] = 3;
        list[10].day = 6;
        showMeasurement(w, list);
        w.form()->pb_graph->click();
        const double key = plot->graph(0)->data()->at(4)->key;
        plot->xAxis->setRange(key - 5, key + 5);
        moveOver(plot, QPoint(int(plot->xAxis->coordToPixel(key)), plot->height() / 2));
        QCOMPARE(w.chartPage()->chartTip()->text(),
                 QStringLiteral("T1: 10.0 ℃ (03-05 14:05:04)\nT2: 30.0 ℃ (03-05 14:05:04)\n"
                                "T3: --\\-- (03-05 14:05:04)\nT4: 30.0 ℃ (03-05 14:05:04)"));
    }

    // The tip follows the cursor; it only shows on the large chart with the
    // reference line on and some data under it.
    void referenceLineAndTip()
    {
        MainWindow w;
        showWindow(w);
        QCustomPlot *plot = w.form()->customPlot;
        BubbleTips *tip = w.chartPage()->chartTip();

        const QPoint middle = plot->axisRect()->rect().center();
        moveOver(plot, middle);
        QCOMPARE(tip->text(), QString());
        QVERIFY(tip->isHidden());

        showMeasurement(w, records({10, 20, 30}));
        plot->replot();
        const QPoint onSecond(int(plot->xAxis->coordToPixel(1)), middle.y());
        moveOver(plot, onSecond);
        QCOMPARE(tip->text(), QStringLiteral("T1: 20.0 ℃ (2)\nT2: 30.0 ℃ (2)\nT3: 40.0 ℃ (2)\n"
                                             "T4: 50.0 ℃ (2)"));
        QVERIFY(tip->isHidden());
        QVERIFY(qAbs(w.chart().tracer()->position->key() - 1.0) < 0.01);

        w.form()->action_line->trigger();
        QVERIFY(w.chartPage()->referenceLineOn());
        QVERIFY(w.chart().tracer()->visible());
        moveOver(plot, onSecond);
        QVERIFY(tip->isVisible());
        QCOMPARE(tipInChart(tip, plot).topLeft(), onSecond + QPoint(30, 30));
        // The box holds its text whole.
        const QTextEdit *edit = tip->findChild<QTextEdit *>();
        QCOMPARE(edit->verticalScrollBar()->maximum(), 0);
        QCOMPARE(edit->horizontalScrollBar()->maximum(), 0);

        // Near the right and bottom edges the tip turns to the other side
        // and stays inside the chart.
        const QPoint right(plot->width() - 5, middle.y());
        const QPoint corner(plot->width() - 5, plot->height() - 5);
        for (const QPoint &cursor : {right, corner}) {
            moveOver(plot, cursor);
            const QRect box = tipInChart(tip, plot);
            QVERIFY(plot->rect().contains(box));
            QVERIFY(box.right() < cursor.x());
        }
        QVERIFY(tipInChart(tip, plot).bottom() < corner.y());

        // Another unit: the tip follows.
        w.applyUnit(UnitFahrenheit);
        moveOver(plot, onSecond);
        QVERIFY(tip->text().startsWith(QStringLiteral("T1: 68.0 ℉ (2)\n")));

        // A hidden graph keeps its line.
        w.form()->pb_T2->click();
        moveOver(plot, onSecond);
        QVERIFY(tip->text().contains(QStringLiteral("T2: 86.0 ℉ (2)\n")));

        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(plot, &leave);
        QVERIFY(tip->isHidden());

        // The small chart on the table tab never shows the tip.
        w.form()->pb_switch->click();
        plot->replot();
        moveOver(plot, plot->axisRect()->rect().center());
        QVERIFY(tip->isHidden());
        w.form()->pb_switch->click();

        w.form()->action_line->trigger();
        QVERIFY(!w.chart().tracer()->visible());
        moveOver(plot, onSecond);
        QVERIFY(tip->isHidden());
    }

    void contextMenusAndLegend()
    {
        MainWindow w;
        showWindow(w);
        QCustomPlot *plot = w.form()->customPlot;
        w.form()->checkBox_legend->setChecked(true);
        plot->replot();

        w.chartPage()->contextMenuRequest(plot->legend->outerRect().center());
        QMenu *menu = newestMenu(w);
        QVERIFY(menu);
        QList<int> data;
        for (QAction *a : menu->actions())
            data << a->data().toInt();
        QCOMPARE(data, (QList<int>{33, 36, 34, 65, 66}));
        QCOMPARE(menu->actions().at(1)->text(), QStringLiteral("移动到上方中间"));
        menu->actions().at(4)->trigger();
        QCOMPARE(plot->axisRect()->insetLayout()->insetAlignment(0),
                 Qt::AlignBottom | Qt::AlignRight);
        menu->close();
        QTest::qWait(0);

        w.chartPage()->contextMenuRequest(plot->axisRect()->rect().center());
        menu = newestMenu(w);
        QVERIFY(menu);
        const QList<QAction *> entries = menu->actions();
        QCOMPARE(entries.size(), 6);
        QCOMPARE(entries.at(0), w.form()->action_line);
        QCOMPARE(entries.at(1)->text(), QStringLiteral("复制图片"));
        QCOMPARE(entries.at(2)->text(), QStringLiteral("保存"));
        QCOMPARE(entries.at(4)->text(), QStringLiteral("统计面板"));
        const QList<QAction *> save = entries.at(2)->menu()->actions();
        QCOMPARE(save.size(), 2);
        QCOMPARE(save.at(0)->text(), QStringLiteral("JPG 图像"));
        QCOMPARE(save.at(1)->text(), QStringLiteral("PDF 文件"));

        // The limits switched on, as dashed lines: two for T1.
        w.form()->pb_limit_enable_T1->setChecked(true);
        w.recordingPage()->on_pb_limit_enable_T1_clicked(true);
        QCOMPARE(w.chart().limitLineCount(), 0);
        entries.at(3)->trigger();
        QCOMPARE(w.chart().limitLineCount(), 2);

        QApplication::clipboard()->clear();
        entries.at(1)->trigger();
        QCOMPARE(QApplication::clipboard()->pixmap().size(), plot->size());

        // JPG: saved, nothing opened.
        DialogAnswer jpg;
        jpg.accepted = true;
        jpg.text = m_dir->filePath(QStringLiteral("chart.jpg"));
        m_answers << jpg;
        save.at(0)->trigger();
        QCOMPARE(m_asked.last().title, QStringLiteral("保存到图像文件"));
        QCOMPARE(m_asked.last().filter, QStringLiteral("JPG 图像 (*.jpg)"));
        QCOMPARE(QFileInfo(m_asked.last().directory).fileName(), QStringLiteral("新建测量.jpg"));
        QImageReader reader(jpg.text);
        QCOMPARE(reader.format(), QByteArray("jpeg"));
        QCOMPARE(reader.size(), plot->size());
        QVERIFY(m_opened.urls.isEmpty());

        // PDF: saved and opened.
        w.currentMeasurement()->name = QStringLiteral("a/b");
        DialogAnswer pdf;
        pdf.accepted = true;
        pdf.text = m_dir->filePath(QStringLiteral("chart.pdf"));
        m_answers << pdf;
        save.at(1)->trigger();
        QCOMPARE(m_asked.last().title, QStringLiteral("保存到pdf文件"));
        // Named after the measurement, as a file name may be.
        QCOMPARE(QFileInfo(m_asked.last().directory).fileName(), QStringLiteral("a_b.pdf"));
        QFile file(pdf.text);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.read(5) == "%PDF-");
        QCOMPARE(m_opened.urls, (QList<QUrl>{QUrl::fromLocalFile(pdf.text)}));

        // A folder that does not exist: the box, nothing opened.
        const int asked = m_asked.size();
        for (QAction *entry : save) {
            DialogAnswer nowhere;
            nowhere.accepted = true;
            nowhere.text = m_dir->filePath(QStringLiteral("missing/chart"));
            m_answers << nowhere;
            entry->trigger();
        }
        QCOMPARE(m_asked.size(), asked + 4);
        // The second line is the system's reason.
        const QString missing = QStringLiteral("无法创建文件，请使用管理员权限运行程序。\n") +
                                QString::fromLocal8Bit(std::strerror(ENOENT));
        QCOMPARE(m_asked.at(asked + 1).text, missing);
        QCOMPARE(m_asked.at(asked + 3).text, missing);
        QCOMPARE(m_opened.urls.size(), 1);
        menu->close();
    }

    // The crosshair is a screen aid: pictures copied or saved with the
    // reference line on are those taken with it off.
    void picturesLeaveTheCrosshairOut()
    {
        MainWindow w;
        showWindow(w);
        QCustomPlot *plot = w.form()->customPlot;
        showMeasurement(w, records({10, 20, 30}));
        const auto copyAndSave = [&](const QString &jpg) {
            w.chartPage()->contextMenuRequest(plot->axisRect()->rect().center());
            QMenu *menu = newestMenu(w);
            const QList<QAction *> entries = menu->actions();
            entries.at(1)->trigger();
            DialogAnswer file;
            file.accepted = true;
            file.text = m_dir->filePath(jpg);
            m_answers << file;
            entries.at(2)->menu()->actions().at(0)->trigger();
            menu->close();
            QFile saved(file.text);
            return qMakePair(QApplication::clipboard()->image(),
                             saved.open(QIODevice::ReadOnly) ? saved.readAll() : QByteArray());
        };
        const auto without = copyAndSave(QStringLiteral("off.jpg"));

        w.form()->action_line->trigger();
        moveOver(plot, plot->axisRect()->rect().center());
        // Drawn as it is on screen, the chart shows the crosshair.
        QVERIFY(plot->toPixmap().toImage() != without.first);
        const auto with = copyAndSave(QStringLiteral("on.jpg"));
        QVERIFY(!with.second.isEmpty());
        QCOMPARE(with.first, without.first);
        QCOMPARE(with.second, without.second);
        QVERIFY(w.chart().tracer()->visible());
    }

    // A hidden legend takes no clicks: its corner gives the chart's own menu.
    void hiddenLegendTakesNoClicks()
    {
        MainWindow w;
        showWindow(w);
        QCustomPlot *plot = w.form()->customPlot;
        QVERIFY(!plot->legend->visible());
        const QPoint corner = plot->legend->outerRect().center();
        QVERIFY(plot->axisRect()->rect().contains(corner));

        w.chartPage()->contextMenuRequest(corner);
        QMenu *menu = newestMenu(w);
        QVERIFY(menu);
        const QList<QAction *> entries = menu->actions();
        QCOMPARE(entries.size(), 6);
        QCOMPARE(entries.at(0), w.form()->action_line);
        QCOMPARE(entries.at(1)->text(), QStringLiteral("复制图片"));
        QCOMPARE(entries.at(2)->text(), QStringLiteral("保存"));
        menu->close();
    }

    void selectionPairsAxesAndGraphs()
    {
        MainWindow w;
        QCustomPlot *plot = w.form()->customPlot;
        showMeasurement(w, records({1, 2, 3}));
        plot->xAxis2->setSelectedParts(QCPAxis::spTickLabels);
        plot->legend->itemWithPlottable(plot->graph(1))->setSelected(true);
        w.chartPage()->selectionChanged();
        const QCPAxis::SelectableParts both = QCPAxis::spAxis | QCPAxis::spTickLabels;
        QCOMPARE(plot->xAxis->selectedParts(), both);
        QCOMPARE(plot->xAxis2->selectedParts(), both);
        QCOMPARE(plot->yAxis->selectedParts(), QCPAxis::SelectableParts(QCPAxis::spNone));
        QCOMPARE(plot->graph(1)->selection().dataPointCount(), 3);
        QCOMPARE(plot->graph(0)->selection().dataPointCount(), 0);

        // A selected x axis line limits dragging to x.
        w.chartPage()->mousePress();
        QCOMPARE(plot->axisRect()->rangeDrag(), Qt::Horizontal);
    }

    // The wheel over the plot zooms time only, the temperature following the
    // readings in view; over the value axis it zooms that axis alone; Home
    // and the menu show the whole measurement again.
    void wheelZoomsTimeAndHomeShowsAll()
    {
        MainWindow w;
        showWindow(w);
        QCustomPlot *plot = w.form()->customPlot;
        QVector<float> ramp;
        for (int i = 0; i <= 100; ++i)
            ramp << float(i);
        showMeasurement(w, records(ramp));
        plot->replot();
        const QCPRange wholeKeys = plot->xAxis->range();
        const QCPRange wholeValues = plot->yAxis->range();
        const auto wheel = [plot](const QPoint &at, int notches) {
            QWheelEvent event(QPointF(at), QPointF(plot->mapToGlobal(at)), QPoint(),
                              QPoint(0, 120 * notches), Qt::NoButton, Qt::NoModifier,
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(plot, &event);
        };
        // Near the top of the plot, where zooming both axes would leave the
        // readings under the cursor below the view.
        const QRect area = plot->axisRect()->rect();
        wheel(QPoint(area.center().x(), area.top() + 10), 10);
        const QCPRange keys = plot->xAxis->range();
        QVERIFY(keys.size() < wholeKeys.size() / 4);
        // T1 reads the key, T4 thirty more.
        QCOMPARE(plot->yAxis->range(),
                 rangeWithMargin(QCPRange(std::ceil(keys.lower), std::floor(keys.upper) + 30)));

        wheel(QPoint(area.left() - 20, area.center().y()), 5);
        QCOMPARE(plot->xAxis->range(), keys);
        QVERIFY(plot->yAxis->range().size() < wholeValues.size() / 2);

        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        plot->setFocus();
        QTest::keyClick(plot, Qt::Key_Home);
        QCOMPARE(plot->xAxis->range(), wholeKeys);
        QCOMPARE(plot->yAxis->range(), wholeValues);

        wheel(area.center(), 3);
        w.chartPage()->contextMenuRequest(area.center());
        QMenu *menu = newestMenu(w);
        QVERIFY(menu);
        QAction *showAll = menu->actions().constLast();
        menu->close();
        QCOMPARE(showAll->objectName(), QStringLiteral("action_show_all"));
        QCOMPARE(showAll->text(), QStringLiteral("整体显示"));
        showAll->trigger();
        QCOMPARE(plot->xAxis->range(), wholeKeys);
    }

    // Only a double click on the axis label or a legend item renames; the
    // fixed label comes back with the next check-box change.
    void renamingByDoubleClick()
    {
        MainWindow w;
        QCustomPlot *plot = w.form()->customPlot;
        w.form()->checkBox_xasix->setChecked(true);
        w.chartPage()->axisLabelDoubleClick(plot->xAxis, QCPAxis::spTickLabels);
        w.chartPage()->axisLabelDoubleClick(plot->xAxis, QCPAxis::spAxis);
        QVERIFY(m_asked.isEmpty());

        DialogAnswer text;
        text.accepted = true;
        text.text = QStringLiteral("Probe");
        m_answers << text;
        w.chartPage()->axisLabelDoubleClick(plot->xAxis, QCPAxis::spAxisLabel);
        QCOMPARE(m_asked.last().title, QStringLiteral("重命名坐标轴"));
        QCOMPARE(m_asked.last().text, QStringLiteral("新坐标轴标签："));
        QCOMPARE(m_asked.last().initialText, QStringLiteral("编号"));
        QCOMPARE(plot->xAxis->label(), QStringLiteral("Probe"));
        w.chartPage()->axisLabelDoubleClick(plot->xAxis, QCPAxis::spAxisLabel); // cancelled
        QCOMPARE(plot->xAxis->label(), QStringLiteral("Probe"));
        w.form()->checkBox_xasix->setChecked(false);
        w.form()->checkBox_xasix->setChecked(true);
        QCOMPARE(plot->xAxis->label(), QStringLiteral("编号"));

        text.text = QStringLiteral("Oven");
        m_answers << text;
        w.chartPage()->legendDoubleClick(plot->legend,
                                         plot->legend->itemWithPlottable(plot->graph(2)));
        QCOMPARE(m_asked.last().text, QStringLiteral("新图表名称："));
        QCOMPARE(m_asked.last().initialText, QStringLiteral("T3"));
        QCOMPARE(plot->graph(2)->name(), QStringLiteral("Oven"));
        const int asked = m_asked.size();
        w.chartPage()->legendDoubleClick(plot->legend, nullptr);
        QCOMPARE(m_asked.size(), asked);
    }
};

QTEST_MAIN(TestChartWindow)
#include "tst_chartwindow.moc"
