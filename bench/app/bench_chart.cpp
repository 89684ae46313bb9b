#include "app/mainwindow.h"
#include "app/userdialogs.h"
#include "resources/initresources.h"
#include "tests/app/fakerecording.h"
#include "ui_mainwindow.h"
#include "widgets/bubbletips.h"

#include <QApplication>
#include <QDir>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

struct Window
{
    QTemporaryDir dir;
    IdlePort port;
    MainWindow *w = nullptr;

    Window()
    {
        QDir::setCurrent(dir.path());
        UserDialogs::setResponder([](const DialogRequest &) { return DialogAnswer(); });
        MainWindow::setPortSource([] { return QStringList(); });
        w = new MainWindow;
        w->resize(1400, 900);
        w->show();
        QApplication::processEvents();
    }
    ~Window() { delete w; }
};

_T_PRINT_OUT_DATA reading(int k)
{
    _T_PRINT_OUT_DATA r;
    for (int ch = 0; ch < kChannelCount; ++ch)
        r.value[ch] = float(20 + 10 * ch + 5 * std::sin(k / (30.0 + ch)));
    return r;
}

} // namespace

// One live refresh once a second while recording, after 100 000 readings:
// the newest 10000 copied, four graphs replaced, axes fitted, the chart
// drawn and the live table refilled. The automatic backup is off, so only
// the refresh is measured.
static void BM_LiveRefresh(benchmark::State &state)
{
    Window win;
    MainWindow &w = *win.w;
    w.on_pb_autobackup_enable_clicked(false);
    FakeRecording recording(w, win.port, QDateTime(QDate(2026, 3, 4), QTime(10, 0, 0)));
    recording.start();
    const auto recordOne = [&] { recording.record(reading(recording.seconds() + 1)); };
    for (int k = 0; k < 100000; ++k)
        recordOne();

    for (auto _ : state) {
        state.PauseTiming();
        recordOne();
        state.ResumeTiming();
        w.handleTimeOut();
    }
    if (w.form()->customPlot->graph(0)->data()->size() != 10000)
        state.SkipWithError("the chart does not hold the newest 10000 readings");
}
BENCHMARK(BM_LiveRefresh)->Unit(benchmark::kMillisecond);

// One mouse move over the chart with four graphs of 10000 points and the
// reference line on: crosshair moved and its layer redrawn, four
// closest-point searches, tip text and placement, and the repaint.
static void BM_MouseMove(benchmark::State &state)
{
    Window win;
    MainWindow &w = *win.w;
    QVector<_T_EE_TEST_DATA> records(10000);
    for (int i = 0; i < records.size(); ++i) {
        _T_PRINT_OUT_DATA r = reading(i);
        for (int ch = 0; ch < kChannelCount; ++ch)
            records[i].value[ch] = r.value[ch];
        records[i].year = 26;
        records[i].month = 3;
        records[i].day = 4;
    }
    w.currentMeasurement()->records = records;
    QTreeWidget *tree = w.form()->treeWidget;
    QTreeWidgetItem *item = tree->topLevelItem(0);
    tree->setCurrentItem(nullptr);
    tree->setCurrentItem(item);
    w.form()->action_line->trigger();
    QCustomPlot *plot = w.form()->customPlot;
    plot->replot();
    QApplication::processEvents();

    const QRect area = plot->axisRect()->rect();
    int step = 0;
    for (auto _ : state) {
        const QPoint pos(area.left() + (step * 37) % area.width(),
                         area.top() + (step * 53) % area.height());
        ++step;
        QMouseEvent move(QEvent::MouseMove, pos, plot->mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QApplication::sendEvent(plot, &move);
        QApplication::processEvents();
    }
    if (w.chartTip()->text().split(QLatin1Char('\n')).size() != 4)
        state.SkipWithError("the tip does not list four graphs");
}
BENCHMARK(BM_MouseMove)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    kxInitResources();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
