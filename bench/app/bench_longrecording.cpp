// A week of recording at a one-second interval on the simulated clock, through
// the real main window: driver, statistics, dashboard, live table, chart and
// automatic backup. Shows what one second costs after 1 000, 10 000 (the live
// chart and table are full from here on), 100 000 and 604 800 readings, and
// how much memory each reading adds.
//
// The benchmarks share one recording and must run in the order registered:
// each one first records up to its reading count. On the way the window is
// refreshed once per simulated ten minutes, so the backup file follows the
// recording in steps of 600 readings.
#include "app/mainwindow.h"
#include "app/systempage.h"
#include "app/userdialogs.h"
#include "resources/initresources.h"
#include "tests/app/fakerecording.h"
#include "tests/app/memoryprobe.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace {

constexpr int kWeek = 7 * 24 * 3600;
constexpr int kRefreshEvery = 600;

_T_PRINT_OUT_DATA reading(int k)
{
    _T_PRINT_OUT_DATA r;
    for (int ch = 0; ch < kChannelCount; ++ch)
        r.value[ch] = float(20 + 10 * ch + 5 * std::sin(k / (300.0 + ch)));
    r.status[3] = k % 997 == 0 ? 0x10 : 0; // now and then T4 is over range
    return r;
}

struct Week
{
    QTemporaryDir dir;
    IdlePort port;
    std::unique_ptr<MainWindow> window;
    std::unique_ptr<FakeRecording> recording;
    // Memory after the first 1 000 readings, the start of the growth measured.
    std::size_t heapAt1000 = 0;
    std::size_t rssAt1000 = 0;

    Week()
    {
        QDir::setCurrent(dir.path());
        UserDialogs::setResponder([](const DialogRequest &) { return DialogAnswer(); });
        MainWindow::setPortSource([] { return QStringList(); });
        window.reset(new MainWindow);
        window->resize(1400, 900);
        window->show();
        QApplication::processEvents();
        recording.reset(
            new FakeRecording(*window, port, QDateTime(QDate(2026, 6, 1), QTime(0, 0, 0))));
        recording->start();
    }

    int count() { return window->device().recordedCount(); }

    void recordOne() { recording->record(reading(recording->seconds() + 1)); }

    void refresh()
    {
        window->handleTimeOut();
        QApplication::processEvents();
    }

    void recordUpTo(int target)
    {
        while (count() < target) {
            recordOne();
            if (count() % kRefreshEvery == 0 || count() == target)
                refresh();
            if (count() == 1000 && heapAt1000 == 0) {
                refresh();
                heapAt1000 = heapInUse();
                rssAt1000 = residentBytes();
            }
        }
    }

    qint64 backupBytes() const { return QFileInfo(dir.filePath("auto_backup.bak")).size(); }
};

// Made by the first benchmark, ended before the application object.
std::unique_ptr<Week> theWeek;

Week &week()
{
    if (!theWeek)
        theWeek.reset(new Week);
    return *theWeek;
}

} // namespace

// One second of a running recording once `readings` are recorded: the live
// reading decoded and recorded (statistics, dashboard), then the status
// timer's refresh (newest 10000 readings copied, live table and chart
// redrawn, one reading appended to the backup) and the repaint. Second
// argument 0: the same with the automatic backup switched off.
static void BM_OneSecond(benchmark::State &state)
{
    Week &w = week();
    const int readings = int(state.range(0));
    const bool backup = state.range(1) != 0;
    w.recordUpTo(readings);
    w.window->systemPage()->on_pb_autobackup_enable_clicked(backup);
    w.refresh();

    for (auto _ : state) {
        w.recordOne();
        w.refresh();
    }
    // Switched on again, the backup catches up at the next new reading.
    w.window->systemPage()->on_pb_autobackup_enable_clicked(true);
    w.recordOne();
    w.refresh();

    const int records = w.count();
    const qint64 expectedBackup = 8 + qint64(records) * 36;
    if (w.backupBytes() != expectedBackup)
        state.SkipWithError("the backup file does not hold every reading");
    state.counters["readings"] = records;
    if (readings >= kWeek && backup) {
        const double added = records - 1000;
        state.counters["heap_B_per_reading"] = double(heapInUse() - w.heapAt1000) / added;
        state.counters["rss_B_per_reading"] = double(residentBytes() - w.rssAt1000) / added;
        state.counters["backup_MB"] = double(w.backupBytes()) / 1e6;
    }
}
BENCHMARK(BM_OneSecond)
    ->ArgNames({"readings", "backup"})
    ->Args({1000, 1})
    ->Args({1000, 0})
    ->Args({10000, 1})
    ->Args({100000, 1})
    ->Args({100000, 0})
    ->Args({kWeek, 1})
    ->Args({kWeek, 0})
    ->Iterations(40)
    ->Repetitions(3)
    ->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    kxInitResources();
    // The refresh's debug lines would otherwise be timed too.
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    theWeek.reset();
    return 0;
}
