// The main thread's share of an export of one full instrument download
// (80000 records, all four graphs plotted): what runs before the worker takes
// over (copying the data, rendering the chart picture, starting the thread).
// The worker's own run is waited for outside the timing.
#include "app/chartpage.h"
#include "app/desktopopener.h"
#include "app/exportcontrol.h"
#include "app/mainwindow.h"
#include "app/userdialogs.h"
#include "resources/initresources.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kFullDownload = 80000;

struct Window
{
    QTemporaryDir dir;
    int opened = 0; // files handed to the desktop, i.e. exports that ended
    std::unique_ptr<MainWindow> window;

    Window()
    {
        QDir::setCurrent(dir.path());
        UserDialogs::setResponder([](const DialogRequest &) { return DialogAnswer(); });
        MainWindow::setPortSource([] { return QStringList(); });
        setDesktopOpener([this](const QString &, const std::function<void()> &) { ++opened; });
        window.reset(new MainWindow);
        QVector<_T_EE_TEST_DATA> &records = window->currentMeasurement()->records;
        records.resize(kFullDownload);
        for (int i = 0; i < kFullDownload; ++i) {
            _T_EE_TEST_DATA &r = records[i];
            r.year = 26;
            r.month = 12;
            r.day = 7;
            r.hour = quint8(i / 3600 % 24);
            r.minute = quint8(i / 60 % 60);
            r.second = quint8(i % 60);
            for (int ch = 0; ch < 4; ++ch)
                r.value[ch] = 20.0f + ch * 10 + (i % 1000) * 0.1f;
        }
        for (uint8_t ch = 0; ch < 4; ++ch)
            window->chartPage()->GraPhAddPlot(records, ch);
    }
    ~Window() { setDesktopOpener({}); }

    void waitForOpened(int count)
    {
        QElapsedTimer t;
        t.start();
        while (opened < count && t.elapsed() < 60000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
};

void BM_ReportStart(benchmark::State &state)
{
    Window w;
    int points = 0;
    QCustomPlot *plot = w.window->form()->customPlot;
    for (int g = 0; g < plot->graphCount(); ++g)
        points += plot->graph(g)->dataCount();
    state.counters["chart_points"] = points;
    int started = 0;
    for (auto _ : state) {
        w.window->exports()->exportReport(w.dir.filePath(QStringLiteral("r.pdf")));
        state.PauseTiming();
        w.waitForOpened(++started);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ReportStart)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_WorkbookStart(benchmark::State &state)
{
    Window w;
    int started = 0;
    for (auto _ : state) {
        w.window->exports()->exportWorkbook(w.dir.filePath(QStringLiteral("w.xlsx")));
        state.PauseTiming();
        w.waitForOpened(++started);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_WorkbookStart)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    kxInitResources();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
