// The temperature chart: its set-up, the live refresh while recording, the
// drawing of the current measurement, the chart settings page, and the mouse
// work on the chart (reference line, tip, menus, renaming, saving).

#include "app/chartpage.h"

#include "app/menuentry.h"
#include "app/overlaycontrols.h"
#include "app/statisticspanel.h"
#include "app/tablepage.h"
#include "app/userdialogs.h"
#include "chart/chartseries.h"
#include "instrument/temperature.h"
#include "store/filenames.h"
#include "ui_mainwindow.h"
#include "widgets/bubbletips.h"
#include "widgets/graphbutton.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDockWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>
#include <QUrl>
#include <QWheelEvent>

namespace {

enum PlotMenuEntry
{
    MenuCopyPicture = 2,
    MenuSaveJpg = 3,
    MenuSavePdf = 4,
};

// The newest readings the chart and the live table show while recording.
constexpr int kLiveChartReadings = 10000;

GraphButton *visibilityButton(Ui::MainWindow *ui, int channel)
{
    GraphButton *buttons[] = {ui->pb_T1, ui->pb_T2, ui->pb_T3, ui->pb_T4};
    return buttons[channel];
}

GraphButton *colorButton(Ui::MainWindow *ui, int channel)
{
    GraphButton *buttons[] = {ui->pb_T1_color, ui->pb_T2_color, ui->pb_T3_color, ui->pb_T4_color};
    return buttons[channel];
}

} // namespace

ChartPage::ChartPage(WindowContext &context) : PageController(context), m_dataText(tr("KX740D数据"))
{
    m_bubbleTips = new BubbleTips(ui->tabWidget_data);
    m_bubbleTips->hide();
    ui->customPlot->installEventFilter(this);
    setupChart();
    connectSlotsByObjectName(this, m_ctx.window);
}

void ChartPage::setupChart()
{
    QCustomPlot *plot = ui->customPlot;
    m_chart.setup(plot, chartLook(m_settings), m_ctx.window->font());

    connect(plot, &QCustomPlot::selectionChangedByUser, this, &ChartPage::selectionChanged);
    connect(plot, &QCustomPlot::mousePress, this, &ChartPage::mousePress);
    connect(plot, &QCustomPlot::mouseMove, this, &ChartPage::mouseMove);
    connect(plot, &QCustomPlot::axisDoubleClick, this, &ChartPage::axisLabelDoubleClick);
    connect(plot, &QCustomPlot::legendDoubleClick, this, &ChartPage::legendDoubleClick);
    connect(plot, &QCustomPlot::legendClick, this, &ChartPage::legendClick);
    plot->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(plot, &QWidget::customContextMenuRequested, this, &ChartPage::contextMenuRequest);
    connect(ui->action_line, &QAction::triggered, this, &ChartPage::settracerable);

    m_showAllAction = new QAction(tr("整体显示"), this);
    m_showAllAction->setObjectName(QStringLiteral("action_show_all"));
    m_showAllAction->setShortcuts({QKeySequence(Qt::Key_Home), QKeySequence(Qt::CTRL | Qt::Key_0)});
    m_showAllAction->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(m_showAllAction, &QAction::triggered, this, [this] { m_chart.rescaleWithMargin(); });
    plot->addAction(m_showAllAction);
    // The keys reach the chart once it was clicked or wheeled.
    plot->setFocusPolicy(Qt::WheelFocus);

    // Above the chart (between the channel buttons and the chart's own
    // layout, which the chart leaves and re-enters as the tabs swap), shown
    // while it compares measurements.
    m_overlayControls = new OverlayControls(plot->parentWidget());
    if (auto *column = qobject_cast<QBoxLayout *>(ui->verticalLayout_graph->parent()))
        column->insertWidget(column->indexOf(ui->verticalLayout_graph), m_overlayControls);
    m_overlayControls->hide();
    connect(m_overlayControls, &OverlayControls::ruleChanged, this,
            &ChartPage::replotCurrentMeasurement);

    // The statistics beside the chart, toggled from the chart's menu.
    m_statistics = new StatisticsPanel;
    m_statisticsDock = new QDockWidget(tr("统计"), m_ctx.window);
    m_statisticsDock->setObjectName(QStringLiteral("dock_statistics"));
    m_statisticsDock->setWidget(m_statistics);
    m_ctx.window->addDockWidget(Qt::RightDockWidgetArea, m_statisticsDock);
    m_statisticsDock->hide();
    m_statisticsDock->toggleViewAction()->setText(tr("统计面板"));
    m_statisticsTimer = new QTimer(this);
    m_statisticsTimer->setSingleShot(true);
    m_statisticsTimer->setInterval(150);
    connect(m_statisticsTimer, &QTimer::timeout, this, &ChartPage::refreshStatistics);
    connect(plot->xAxis, qOverload<const QCPRange &>(&QCPAxis::rangeChanged), this, [this] {
        if (!m_statisticsTimer->isActive())
            m_statisticsTimer->start();
    });
    connect(m_statistics, &StatisticsPanel::optionsChanged, this, &ChartPage::refreshStatistics);
    connect(m_statisticsDock, &QDockWidget::visibilityChanged, this, [this](bool shown) {
        if (shown)
            refreshStatistics();
    });

    for (int ch = 0; ch < kChannelCount; ++ch) {
        visibilityButton(ui, ch)->setColor(m_settings.channelColor[ch]);
        colorButton(ui, ch)->setColor(m_settings.channelColor[ch]);
    }
}

QString ChartPage::xLabelText() const
{
    return m_chart.xLabelText(m_settings.showXAxis);
}

QString ChartPage::yLabelText() const
{
    return ChartPlot::yLabelText(m_settings.showYAxis, m_unit);
}

void ChartPage::kx740DAddPlot(QList<RecordedReading> data_table, uint8_t data_ch)
{
    if (ui->customPlot->graphCount() == 0)
        return;
    m_chart.setSeries(data_ch, liveSeries(data_table, data_ch, m_unit, m_chart.dateTimeMode()));
}

void ChartPage::GraPhAddPlot(QVector<_T_EE_TEST_DATA> data_table, uint8_t data_ch)
{
    if (ui->customPlot->graphCount() == 0)
        return;
    m_chart.setSeries(data_ch, storedSeries(data_table, data_ch, m_unit, m_chart.dateTimeMode()));
}

// The table shows the same copy as the chart, so both agree at every second.
void ChartPage::graphUpdate()
{
    const int n = m_device.recordedCount();
    m_shownRecordCount = n;
    const QList<RecordedReading> readings =
        m_device.lastRecorded(kLiveChartReadings, n < kLiveChartReadings);
    m_ctx.table->updateTableWidget(readings);
    for (uint8_t ch = 0; ch < kChannelCount; ++ch)
        kx740DAddPlot(readings, ch);
    m_chart.rescaleWithMargin();
}

// While a recording runs the chart keeps its live view, as the table does:
// a unit change then redraws the live readings rather than the measurement.
void ChartPage::replotCurrentMeasurement()
{
    const bool wasOverlay = m_chart.overlayCount() > 0;
    if (m_device.isRecording())
        graphUpdate();
    else if (m_overlayIndexes.size() > 1)
        drawOverlay();
    else
        m_chart.showRecords(currentMeasurement() ? currentMeasurement()->records
                                                 : QVector<_T_EE_TEST_DATA>(),
                            m_unit);
    const bool overlay = m_chart.overlayCount() > 0;
    m_overlayControls->setVisible(overlay && m_overlayLabels.isEmpty());
    refreshStatistics();
    if (overlay != wasOverlay) {
        ui->customPlot->xAxis->setLabel(xLabelText());
        refreshLegendColours();
    }
}

void ChartPage::setOverlay(const QVector<int> &indexes, const QStringList &labels)
{
    if (indexes == m_overlayIndexes && labels == m_overlayLabels)
        return;
    const bool wasOverlay = m_overlayIndexes.size() > 1;
    m_overlayIndexes = indexes;
    m_overlayLabels = labels;
    // Choosing one measurement after another shows the current one anyway.
    if (wasOverlay || indexes.size() > 1)
        replotCurrentMeasurement();
}

void ChartPage::drawOverlay()
{
    const bool group = !m_overlayLabels.isEmpty();
    const AlignmentRule rule = group ? AlignmentRule() : m_overlayControls->rule(m_unit);
    QVector<OverlayMeasurement> shown;
    QStringList notCrossed;
    for (int i = 0; i < m_overlayIndexes.size() && shown.size() < kMaxOverlaid; ++i) {
        const Data_List_T *m = m_document->measurement(m_overlayIndexes.at(i));
        if (!m)
            continue;
        OverlayMeasurement one{group ? m_overlayLabels.value(i) : m->name, m->records,
                               alignmentOrigin(m->records, rule)};
        if (!one.origin.aligned)
            notCrossed << one.name;
        shown << one;
    }
    m_overlayControls->setUnitSymbol(unitSymbol(m_unit));
    m_overlayControls->setNotes(notCrossed, m_overlayIndexes.size());
    m_chart.showOverlay(shown, m_unit, rule.mode == OverlayAlignment::Clock);
    refreshLegendColours();
}

void ChartPage::refreshStatistics()
{
    if (!m_statisticsDock->isVisible())
        return;
    const bool whole = m_statistics->wholeMeasurements();
    const QVector<QPair<int, int>> inView = m_chart.readingsInView();
    QVector<StatisticsSource> sources;
    const auto add = [&](const QString &name, const Data_List_T *m, int shown) {
        if (!m)
            return;
        StatisticsSource source{name, m, 0, m->records.size() - 1};
        if (!whole && shown < inView.size()) {
            source.first = inView.at(shown).first;
            source.last = inView.at(shown).second;
        }
        sources << source;
    };
    if (m_chart.overlayCount() > 0) {
        for (int m = 0; m < m_chart.overlayCount(); ++m) {
            const Data_List_T *measurement = m_document->measurement(m_overlayIndexes.value(m));
            add(m_overlayLabels.isEmpty() ? (measurement ? measurement->name : QString())
                                          : m_overlayLabels.value(m),
                measurement, m);
        }
    } else {
        add(QString(), currentMeasurement(), 0);
    }
    m_statistics->showFigures(sources, m_settings, m_unit);
}

void ChartPage::refreshLegendColours()
{
    QCustomPlot *plot = ui->customPlot;
    const bool overlay = m_chart.overlayCount() > 0;
    for (int i = 0; i < plot->graphCount(); ++i) {
        QCPGraph *graph = plot->graph(i);
        if (QCPPlottableLegendItem *item = plot->legend->itemWithPlottable(graph))
            item->setTextColor(!overlay || graph->visible() ? Qt::black : Qt::gray);
    }
}

void ChartPage::legendClick(QCPLegend *legend, QCPAbstractLegendItem *item, QMouseEvent *event)
{
    Q_UNUSED(legend)
    Q_UNUSED(event)
    auto *plottableItem = qobject_cast<QCPPlottableLegendItem *>(item);
    if (m_chart.overlayCount() == 0 || !plottableItem)
        return;
    QCustomPlot *plot = ui->customPlot;
    for (int i = 0; i < plot->graphCount(); ++i) {
        QCPGraph *graph = plot->graph(i);
        if (graph != plottableItem->plottable())
            continue;
        // The first measurement's curves are the channels' graphs, whose
        // buttons show whether they are drawn.
        if (i < kChannelCount)
            visibilityButton(ui, i)->setChecked(!graph->visible());
        graph->setVisible(!graph->visible());
    }
    refreshLegendColours();
    plot->replot();
}

void ChartPage::setChannelVisible(int channel)
{
    QCustomPlot *plot = ui->customPlot;
    if (channel >= plot->graphCount())
        return;
    plot->graph(channel)->setVisible(visibilityButton(ui, channel)->isChecked());
    plot->replot();
}

void ChartPage::on_pb_T1_clicked()
{
    setChannelVisible(0);
}

void ChartPage::on_pb_T2_clicked()
{
    setChannelVisible(1);
}

void ChartPage::on_pb_T3_clicked()
{
    setChannelVisible(2);
}

void ChartPage::on_pb_T4_clicked()
{
    setChannelVisible(3);
}

void ChartPage::pickChannelColor(int channel)
{
    const QColor color =
        UserDialogs::color(m_settings.channelColor[channel], dialogParent(), QString());
    if (!color.isValid())
        return;
    m_settings.channelColor[channel] = color;
    colorButton(ui, channel)->setColor(color);
    visibilityButton(ui, channel)->setColor(color);
    colorButton(ui, channel)->update();
    visibilityButton(ui, channel)->update();
    if (channel < ui->customPlot->graphCount()) {
        m_chart.setChannelColor(channel, color);
        ui->customPlot->replot();
    }
}

void ChartPage::on_pb_T1_color_clicked()
{
    pickChannelColor(0);
}

void ChartPage::on_pb_T2_color_clicked()
{
    pickChannelColor(1);
}

void ChartPage::on_pb_T3_color_clicked()
{
    pickChannelColor(2);
}

void ChartPage::on_pb_T4_color_clicked()
{
    pickChannelColor(3);
}

void ChartPage::on_spinBox_line_style_valueChanged(int arg1)
{
    // While the window is built the settings file fills the box before the
    // chart exists; the chart then takes the stored value as it is.
    if (ui->customPlot->graphCount() == 0)
        return;
    m_settings.lineStyle = arg1;
    m_chart.setLineStyle(lineStyleFromSpinBox(arg1));
    ui->customPlot->replot();
}

void ChartPage::on_spinBox_ScatterShape_valueChanged(int arg1)
{
    // While the window is built the settings file fills the box before the
    // chart exists; the chart then takes the stored value as it is.
    if (ui->customPlot->graphCount() == 0)
        return;
    m_settings.scatterShape = arg1;
    m_chart.setScatterShape(scatterShapeFromSpinBox(arg1));
    ui->customPlot->replot();
}

void ChartPage::on_checkBox_xasix_stateChanged(int arg1)
{
    m_settings.showXAxis = arg1 != 0;
    ui->customPlot->xAxis->setLabel(xLabelText());
    ui->customPlot->replot();
}

void ChartPage::on_checkBox_yasix_stateChanged(int arg1)
{
    m_settings.showYAxis = arg1 != 0;
    ui->customPlot->yAxis->setLabel(yLabelText());
    ui->customPlot->replot();
}

void ChartPage::on_checkBox_legend_stateChanged(int arg1)
{
    m_settings.showLegend = arg1 != 0;
    ui->customPlot->legend->setVisible(m_settings.showLegend);
    ui->customPlot->replot();
}

void ChartPage::on_pb_graph_clicked()
{
    m_chart.setDateTimeMode(!m_chart.dateTimeMode());
    ui->customPlot->xAxis->setLabel(xLabelText());
    replotCurrentMeasurement();
}

void ChartPage::on_pb_switch_clicked()
{
    ui->tabWidget_data->setCurrentIndex(ui->tabWidget_data->currentIndex() == 0 ? 1 : 0);
}

void ChartPage::on_pb_switch_2_clicked()
{
    on_pb_switch_clicked();
}

// The tab shown holds the large view; the other one becomes the small view
// in the side panel.
void ChartPage::on_tabWidget_data_currentChanged(int index)
{
    QCustomPlot *plot = ui->customPlot;
    if (index == 0) {
        m_chartTabActive = true;
        ui->verticalLayout_graph->addWidget(plot);
        plot->xAxis->setTickLabels(true);
        plot->xAxis->setLabel(xLabelText());
        plot->yAxis->setLabel(yLabelText());
        plot->legend->setVisible(m_settings.showLegend);
        ui->verticalLayout_littile->addWidget(ui->tableWidget);
        m_ctx.table->setCompactTable(true);
    } else if (index == 1) {
        m_chartTabActive = false;
        ui->verticalLayout_littile->addWidget(plot);
        plot->xAxis->setTickLabels(false);
        plot->xAxis->setLabel(QString());
        plot->yAxis->setLabel(QString());
        plot->legend->setVisible(false);
        ui->verticalLayout_grid->addWidget(ui->tableWidget);
        m_ctx.table->setCompactTable(false);
    } else {
        return;
    }
    ui->verticalSpacer_littile->changeSize(0, 0);
    plot->replot();
}

void ChartPage::on_action_line_triggered()
{
}

void ChartPage::settracerable(bool value)
{
    if (!m_chart.tracer())
        return;
    m_chart.tracer()->setVisible(value);
    m_tracerEnabled = value;
    ui->customPlot->replot(QCustomPlot::rpRefreshHint);
}

void ChartPage::mouseMove(QMouseEvent *e)
{
    m_chart.moveTracer(e->localPos());
    m_bubbleTips->setText(m_chart.tipText(e->localPos(), m_unit));
    // Placed after the text gave the tip its size.
    placeTip(e->pos());
    updateTipVisibility();
}

// The tip is a child of the data tabs, above the chart, and stays wholly
// inside the chart.
void ChartPage::placeTip(const QPoint &cursor)
{
    QCustomPlot *plot = ui->customPlot;
    const QPoint inChart = tipPosition(cursor, m_bubbleTips->size(), plot->size());
    m_bubbleTips->move(m_bubbleTips->parentWidget()->mapFromGlobal(plot->mapToGlobal(inChart)));
}

void ChartPage::updateTipVisibility()
{
    const bool wanted = m_chartTabActive && m_tracerEnabled && !m_bubbleTips->text().isEmpty();
    m_bubbleTips->setVisible(wanted);
    if (wanted)
        m_bubbleTips->raise();
}

void ChartPage::mousePress()
{
    QCustomPlot *plot = ui->customPlot;
    plot->axisRect()->setRangeDrag(
        dragOrientations(plot->xAxis->selectedParts().testFlag(QCPAxis::spAxis),
                         plot->yAxis->selectedParts().testFlag(QCPAxis::spAxis)));
}

void ChartPage::selectionChanged()
{
    QCustomPlot *plot = ui->customPlot;
    const auto pair = [](QCPAxis *a, QCPAxis *b) {
        const QCPAxis::SelectableParts both = QCPAxis::spAxis | QCPAxis::spTickLabels;
        if (a->selectedParts() & both || b->selectedParts() & both) {
            a->setSelectedParts(both);
            b->setSelectedParts(both);
        }
    };
    pair(plot->xAxis, plot->xAxis2);
    pair(plot->yAxis, plot->yAxis2);
    for (int i = 0; i < plot->graphCount(); ++i) {
        QCPGraph *graph = plot->graph(i);
        QCPPlottableLegendItem *item = plot->legend->itemWithPlottable(graph);
        if ((item && item->selected()) || graph->selected()) {
            if (item)
                item->setSelected(true);
            graph->setSelection(QCPDataSelection(graph->data()->dataRange()));
        }
    }
}

void ChartPage::contextMenuRequest(QPoint pos)
{
    QCustomPlot *plot = ui->customPlot;
    auto *menu = new QMenu(m_ctx.window);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // The legend keeps its place in the layout while hidden.
    if (plot->legend->realVisibility() && plot->legend->selectTest(pos, false) >= 0) {
        const std::pair<QString, int> placements[] = {
            {tr("移动到左上"), int(Qt::AlignTop | Qt::AlignLeft)},
            {tr("移动到上方中间"), int(Qt::AlignTop | Qt::AlignHCenter)},
            {tr("移动到右上"), int(Qt::AlignTop | Qt::AlignRight)},
            {tr("移动到左下"), int(Qt::AlignBottom | Qt::AlignLeft)},
            {tr("移动到右下"), int(Qt::AlignBottom | Qt::AlignRight)},
        };
        for (const auto &[text, alignment] : placements) {
            QAction *action = menu->addAction(text, this, &ChartPage::moveLegend);
            action->setData(alignment);
        }
    } else {
        menu->addAction(ui->action_line);
        menu->addAction(tr("复制图片"), this, &ChartPage::handleplotMenuClicked)
            ->setData(int(MenuCopyPicture));
        QMenu *save = menu->addMenu(tr("保存"));
        save->addAction(tr("JPG 图像"), this, &ChartPage::handleplotMenuClicked)
            ->setData(int(MenuSaveJpg));
        save->addAction(tr("PDF 文件"), this, &ChartPage::handleplotMenuClicked)
            ->setData(int(MenuSavePdf));
        QAction *limits = menu->addAction(tr("显示报警阈值线"), this, [this](bool on) {
            m_limitLinesShown = on;
            showLimitLines();
        });
        limits->setCheckable(true);
        limits->setChecked(m_limitLinesShown);
        limits->setObjectName(QStringLiteral("action_limit_lines"));
        menu->addAction(m_statisticsDock->toggleViewAction());
        menu->addAction(m_showAllAction);
    }
    menu->popup(plot->mapToGlobal(pos));
}

void ChartPage::moveLegend()
{
    const std::optional<int> alignment = menuEntry(sender());
    if (!alignment)
        return;
    ui->customPlot->axisRect()->insetLayout()->setInsetAlignment(0, Qt::Alignment(*alignment));
    ui->customPlot->replot();
}

// Named after the measurement the chart shows.
QString ChartPage::chartFileProposal(const char *extension) const
{
    return proposedFileIn(m_ctx.fileDialogFolder(),
                          currentMeasurement() ? currentMeasurement()->name : archive().name,
                          QLatin1String(extension), m_dataText);
}

void ChartPage::handleplotMenuClicked()
{
    const std::optional<int> entry = menuEntry(sender());
    if (!entry)
        return;
    if (*entry == MenuCopyPicture) {
        const QPixmap picture = m_chart.picture(0, 0);
        if (!picture.isNull())
            QApplication::clipboard()->setPixmap(picture, QClipboard::Clipboard);
    } else if (*entry == MenuSaveJpg) {
        const QString name = m_ctx.chooseSaveFile(tr("保存到图像文件"), chartFileProposal(".jpg"),
                                                  tr("JPG 图像") + QStringLiteral(" (*.jpg)"));
        if (name.isEmpty())
            return;
        QString reason;
        if (!m_chart.saveJpg(name, m_unit, &reason))
            m_ctx.tellNotWritten(reason, m_ctx.window);
    } else if (*entry == MenuSavePdf) {
        const QString name = m_ctx.chooseSaveFile(tr("保存到pdf文件"), chartFileProposal(".pdf"),
                                                  tr("PDF 文件") + QStringLiteral(" (*.pdf)"));
        if (name.isEmpty())
            return;
        QString reason;
        if (!m_chart.savePdf(name, m_unit, &reason))
            m_ctx.tellNotWritten(reason, m_ctx.window);
        else
            m_ctx.openWithDesktop(name);
    }
}

void ChartPage::axisLabelDoubleClick(QCPAxis *axis, QCPAxis::SelectablePart part)
{
    if (part != QCPAxis::spAxisLabel)
        return;
    bool ok = false;
    const QString label = UserDialogs::text(m_ctx.window, tr("重命名坐标轴"), tr("新坐标轴标签："),
                                            axis->label(), &ok);
    if (!ok)
        return;
    axis->setLabel(label);
    ui->customPlot->replot();
}

void ChartPage::legendDoubleClick(QCPLegend *legend, QCPAbstractLegendItem *item)
{
    Q_UNUSED(legend)
    auto *plottableItem = qobject_cast<QCPPlottableLegendItem *>(item);
    if (!plottableItem)
        return;
    bool ok = false;
    const QString name = UserDialogs::text(m_ctx.window, tr("重命名曲线"), tr("新图表名称："),
                                           plottableItem->plottable()->name(), &ok);
    if (!ok)
        return;
    plottableItem->plottable()->setName(name);
    ui->customPlot->replot();
}

bool ChartPage::eventFilter(QObject *watched, QEvent *event)
{
    QCustomPlot *plot = ui->customPlot;
    if (watched == plot) {
        switch (event->type()) {
        case QEvent::Enter:
            placeTip(static_cast<QEnterEvent *>(event)->pos());
            updateTipVisibility();
            break;
        case QEvent::Leave:
            m_bubbleTips->hide();
            break;
        case QEvent::Wheel: {
            const auto *wheel = static_cast<QWheelEvent *>(event);
            // One notch is 120 eighths of a degree.
            if (m_chart.zoomKeysAt(wheel->position(), wheel->angleDelta().y() / 120.0))
                return true;
            break;
        }
        default:
            break;
        }
    }
    return PageController::eventFilter(watched, event);
}

void ChartPage::showLimitLines()
{
    QVector<QPair<int, float>> lines;
    for (int ch = 0; m_limitLinesShown && ch < kChannelCount; ++ch) {
        if (m_settings.limitEnabled[ch])
            lines << qMakePair(ch, m_settings.highLimit[ch])
                  << qMakePair(ch, m_settings.lowLimit[ch]);
    }
    m_chart.setLimitLines(lines, m_unit);
}
