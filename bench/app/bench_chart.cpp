#include "app/archivepage.h"
#include "app/chartpage.h"
#include "app/mainwindow.h"
#include "app/systempage.h"
#include "app/userdialogs.h"
#include "chart/overlayrules.h"
#include "resources/initresources.h"
#include "store/datafilestream.h"
#include "tests/app/fakerecording.h"
#include "tests/app/memoryprobe.h"
#include "ui_mainwindow.h"
#include "widgets/bubbletips.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace {

struct Window
{
    QTemporaryDir dir;
    IdlePort port;
    MainWindow *w = nullptr;

    Window()
    {
        QDir::setCurrent(dir.path());
        // "No" to saving what is shown before a file is opened.
        UserDialogs::setResponder([](const DialogRequest &) {
            DialogAnswer answer;
            answer.button = 1;
            return answer;
        });
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

void moveMouse(QCustomPlot *plot, const QPoint &pos)
{
    QMouseEvent move(QEvent::MouseMove, pos, plot->mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(plot, &move);
    QApplication::processEvents();
}

// Positions spread over the axis rect, a different one at every step.
QPoint spreadPoint(const QRect &area, int step)
{
    return QPoint(area.left() + (step * 37) % area.width(),
                  area.top() + (step * 53) % area.height());
}

// A month at a one-second interval in a data file of its own: 2 592 000
// records, 93 MB, with an hour's pause in the middle. Written once, a
// chunk at a time, for all month benchmarks.
constexpr int kMonth = 30 * 24 * 3600;

struct MonthFile
{
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("month.dat"));

    MonthFile()
    {
        const QDateTime start(QDate(2026, 6, 1), QTime(0, 0, 0));
        int i = 0;
        const RecordSource source = [&](_T_EE_TEST_DATA *r) {
            if (i == kMonth)
                return false;
            // The hour's pause starts halfway.
            const int second = i < kMonth / 2 ? i : i + 3600;
            const QDate d = start.date().addDays(second / 86400);
            *r = _T_EE_TEST_DATA();
            r->year = quint8(d.year() - 2000);
            r->month = quint8(d.month());
            r->day = quint8(d.day());
            r->hour = quint8(second / 3600 % 24);
            r->minute = quint8(second / 60 % 60);
            r->second = quint8(second % 60);
            const _T_PRINT_OUT_DATA v = reading(i);
            for (int ch = 0; ch < kChannelCount; ++ch)
                r->value[ch] = v.value[ch];
            r->state[3] = i % 997 == 0 ? 2 : 0; // now and then T4 is over range
            ++i;
            return true;
        };
        QString error;
        if (!writeMeasurementToFile(path, QStringLiteral("month"), start, source, &error))
            qFatal("month file: %s", qPrintable(error));
    }
};

std::unique_ptr<MonthFile> theMonth;

const QString &monthPath()
{
    if (!theMonth)
        theMonth.reset(new MonthFile);
    return theMonth->path;
}

// Opens the month in a shown window and shows the chart on screen.
void openMonth(MainWindow &w)
{
    w.archivePage()->openArchive(monthPath());
    QApplication::processEvents();
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
    w.systemPage()->on_pb_autobackup_enable_clicked(false);
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
    for (auto _ : state)
        moveMouse(plot, spreadPoint(area, step++));
    if (w.chartPage()->chartTip()->text().split(QLatin1Char('\n')).size() != 4)
        state.SkipWithError("the tip does not list four graphs");
}
BENCHMARK(BM_MouseMove)->Unit(benchmark::kMillisecond);

// A month at 1 s opened from its data file in a shown window: the file read
// and checked, the archive replaced, the tree, the newest table page and the
// chart filled and drawn. Counters: the resident set once the month is shown,
// and its peak while the first opening ran, in MB.
static void BM_MonthOpen(benchmark::State &state)
{
    monthPath();
    Window win;
    MainWindow &w = *win.w;
    resetPeakResident();
    std::size_t peak = 0;
    for (auto _ : state) {
        openMonth(w);
        if (peak == 0)
            peak = peakResidentBytes();
    }
    if (w.currentMeasurement()->records.size() != kMonth)
        state.SkipWithError("the month did not open");
    state.counters["rss_MB"] = double(residentBytes()) / 1e6;
    state.counters["peak_rss_MB"] = double(peak) / 1e6;
}
BENCHMARK(BM_MonthOpen)->Iterations(5)->Unit(benchmark::kMillisecond);

// The month chosen again in the tree: table page and chart filled and drawn.
static void BM_MonthSelect(benchmark::State &state)
{
    Window win;
    MainWindow &w = *win.w;
    openMonth(w);
    QTreeWidget *tree = w.form()->treeWidget;
    QTreeWidgetItem *item = tree->topLevelItem(0);
    for (auto _ : state) {
        tree->setCurrentItem(nullptr);
        tree->setCurrentItem(item);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_MonthSelect)->Iterations(10)->Unit(benchmark::kMillisecond);

// A mouse move over the whole month with the reference line on.
static void BM_MonthMouseMove(benchmark::State &state)
{
    Window win;
    MainWindow &w = *win.w;
    openMonth(w);
    w.form()->action_line->trigger();
    QCustomPlot *plot = w.form()->customPlot;
    QApplication::processEvents();
    const QRect area = plot->axisRect()->rect();
    int step = 0;
    for (auto _ : state)
        moveMouse(plot, spreadPoint(area, step++));
    if (w.chartPage()->chartTip()->text().split(QLatin1Char('\n')).size() < 3)
        state.SkipWithError("the tip does not list the graphs");
}
BENCHMARK(BM_MonthMouseMove)->Iterations(50)->Unit(benchmark::kMillisecond);

// One wheel step over the month, zooming in and out in turn from the whole
// month: the chart drawn anew at each step.
static void BM_MonthWheel(benchmark::State &state)
{
    Window win;
    MainWindow &w = *win.w;
    openMonth(w);
    QCustomPlot *plot = w.form()->customPlot;
    const QPoint centre = plot->axisRect()->rect().center();
    int step = 0;
    for (auto _ : state) {
        const int delta = step++ % 2 == 0 ? 120 : -120;
        QWheelEvent wheel(QPointF(centre), QPointF(plot->mapToGlobal(centre)), QPoint(),
                          QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(plot, &wheel);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_MonthWheel)->Iterations(50)->Unit(benchmark::kMillisecond);

// Ten measurements of 80 000 readings at one second (22 hours each), a day
// apart, compared on the chart aligned at their starts, so all forty curves
// lie over each other across the whole chart.
constexpr int kOverlaid = 10;
constexpr int kOverlaidReadings = 80000;

void openTen(MainWindow &w)
{
    // The ten are unsaved; the automatic backup would write them meanwhile.
    w.systemPage()->on_pb_autobackup_enable_clicked(false);
    Document &d = w.document();
    d.replace(Data_table_T(), QString());
    for (int m = 0; m < kOverlaid; ++m) {
        QVector<_T_EE_TEST_DATA> records(kOverlaidReadings);
        for (int i = 0; i < kOverlaidReadings; ++i) {
            _T_EE_TEST_DATA &r = records[i];
            r.year = 26;
            r.month = 6;
            r.day = quint8(1 + m);
            r.hour = quint8(i / 3600);
            r.minute = quint8(i / 60 % 60);
            r.second = quint8(i % 60);
            const _T_PRINT_OUT_DATA v = reading(i + 977 * m);
            for (int ch = 0; ch < kChannelCount; ++ch)
                r.value[ch] = v.value[ch];
        }
        d.addMeasurement(newMeasurement(records, QStringLiteral("run %1").arg(m + 1)));
    }
    w.findChild<QComboBox *>(QStringLiteral("overlay_alignment"))
        ->setCurrentIndex(int(OverlayAlignment::Start));
    QApplication::processEvents();
}

void compareAll(MainWindow &w)
{
    w.form()->treeWidget->selectAll();
    QApplication::processEvents();
    if (w.form()->customPlot->graphCount() != kOverlaid * kChannelCount)
        qFatal("the chart does not compare the ten measurements");
}

// The ten chosen at once in the tree: ten traces built, forty graphs made,
// axes fitted and the chart drawn.
static void BM_OverlayOpen(benchmark::State &state)
{
    Window win;
    MainWindow &w = *win.w;
    openTen(w);
    QTreeWidget *tree = w.form()->treeWidget;
    for (auto _ : state) {
        state.PauseTiming();
        tree->clearSelection();
        tree->topLevelItem(0)->setSelected(true);
        QApplication::processEvents();
        state.ResumeTiming();
        compareAll(w);
    }
}
BENCHMARK(BM_OverlayOpen)->Iterations(10)->Unit(benchmark::kMillisecond);

// A mouse move over the ten with the reference line on: the tip reads all
// forty curves at the time under the line.
static void BM_OverlayMouseMove(benchmark::State &state)
{
    Window win;
    MainWindow &w = *win.w;
    openTen(w);
    compareAll(w);
    w.form()->action_line->trigger();
    QCustomPlot *plot = w.form()->customPlot;
    QApplication::processEvents();
    const QRect area = plot->axisRect()->rect();
    int step = 0;
    for (auto _ : state)
        moveMouse(plot, spreadPoint(area, step++));
    if (w.chartPage()->chartTip()->text().split(QLatin1Char('\n')).size() != 41)
        state.SkipWithError("the tip does not read the forty curves");
}
BENCHMARK(BM_OverlayMouseMove)->Iterations(50)->Unit(benchmark::kMillisecond);

// One wheel step over the ten, zooming in and out in turn from the whole
// chart: forty curves drawn anew at each step.
static void BM_OverlayWheel(benchmark::State &state)
{
    Window win;
    MainWindow &w = *win.w;
    openTen(w);
    compareAll(w);
    QCustomPlot *plot = w.form()->customPlot;
    const QPoint centre = plot->axisRect()->rect().center();
    int step = 0;
    for (auto _ : state) {
        const int delta = step++ % 2 == 0 ? 120 : -120;
        QWheelEvent wheel(QPointF(centre), QPointF(plot->mapToGlobal(centre)), QPoint(),
                          QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(plot, &wheel);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_OverlayWheel)->Iterations(50)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    kxInitResources();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    theMonth.reset();
    return 0;
}
