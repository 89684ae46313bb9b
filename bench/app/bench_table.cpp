#include "app/mainwindow.h"
#include "app/tablepage.h"
#include "app/userdialogs.h"
#include "resources/initresources.h"
#include "store/tablepaging.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

// Drawing one page of 1000 rows of a measurement of 100 000 records: the work
// of every page change, edit and live refresh of the data table.
static void BM_TablePage(benchmark::State &state)
{
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    UserDialogs::setResponder([](const DialogRequest &) { return DialogAnswer(); });
    MainWindow::setPortSource([] { return QStringList(); });
    MainWindow w;
    w.currentMeasurement()->records.resize(100000);
    for (auto _ : state)
        w.tablePage()->tableMeasurementChanged();
}
BENCHMARK(BM_TablePage)->Unit(benchmark::kMillisecond);

// Picking and converting the live view's readings out of a recording of
// 100 000 readings (the rest of the live refresh is a page as above).
static void BM_LiveRecords(benchmark::State &state)
{
    QList<QPair<_T_PRINT_OUT_DATA, _T_TIME>> readings;
    for (int i = 0; i < 100000; ++i)
        readings.append(qMakePair(_T_PRINT_OUT_DATA(), _T_TIME()));
    for (auto _ : state)
        benchmark::DoNotOptimize(liveRecords(readings));
}
BENCHMARK(BM_LiveRecords)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    kxInitResources();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
