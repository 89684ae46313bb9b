// The window recording four instruments at a one-second interval, as a user
// sees it: four kx740d-sim processes (paced at 115200 baud, two live readings
// a second, as the instrument sends them) on their own pseudo-terminals, the
// window connected to all of them, recording, its live page, chart and table
// refreshed every second. Each iteration is a minute of wall time; the
// process's CPU time over it (the simulators run in processes of their own)
// is the window's share of a core, shown as `core_percent`.
//
// Run on a display (e.g. `xvfb-run -a build/bin/bench_multiinstrument`) for
// the drawing to be real; on the offscreen platform it draws into images.
#include "app/instrumentconnection.h"
#include "app/instrumentlist.h"
#include "app/instrumentpage.h"
#include "app/mainwindow.h"
#include "app/userdialogs.h"
#include "resources/initresources.h"
#include "ui_mainwindow.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <memory>
#include <vector>

namespace {

constexpr int kInstruments = 4;
constexpr int kSecondsPerIteration = 60;

double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void BM_FourInstrumentsRecording(benchmark::State &state)
{
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    std::vector<std::unique_ptr<QProcess>> sims;
    QStringList ports;
    for (int i = 1; i <= kInstruments; ++i) {
        const QString link = dir.filePath(QStringLiteral("kx%1").arg(i));
        auto sim = std::make_unique<QProcess>();
        sim->start(QCoreApplication::applicationDirPath() + QStringLiteral("/kx740d-sim"),
                   {QStringLiteral("--link"), link, QStringLiteral("--name"),
                    QStringLiteral("OVEN-%1").arg(i)});
        sims.push_back(std::move(sim));
        ports << link;
    }
    if (!QTest::qWaitFor(
            [&] {
                for (const QString &p : ports)
                    if (!QFileInfo::exists(p))
                        return false;
                return true;
            },
            10000)) {
        state.SkipWithError("the simulators did not start");
        return;
    }
    MainWindow::setPortSource([ports] { return ports; });
    UserDialogs::setResponder([](const DialogRequest &r) {
        DialogAnswer a;
        a.button = r.escapeButton;
        return a;
    });
    MainWindow w;
    w.resize(1400, 860);
    w.show();
    w.instrumentPage()->instrumentList()->connectAllButton()->click();
    const bool ready = QTest::qWaitFor(
        [&] {
            int identified = 0;
            for (InstrumentConnection *c : w.instruments())
                identified += c->isLinked() && c->device().isIdentified();
            return identified == kInstruments;
        },
        15000);
    if (!ready) {
        state.SkipWithError("the instruments did not answer");
        return;
    }
    w.form()->pb_start->click();
    QTest::qWait(2000);

    double cpu = 0;
    double wall = 0;
    for (auto _ : state) {
        const double cpuBefore = processCpuSeconds();
        QElapsedTimer elapsed;
        elapsed.start();
        QTest::qWait(kSecondsPerIteration * 1000);
        cpu += processCpuSeconds() - cpuBefore;
        wall += elapsed.nsecsElapsed() / 1e9;
    }
    int readings = 0;
    for (InstrumentConnection *c : w.instruments())
        readings += c->device().recordedCount();
    state.counters["core_percent"] = 100.0 * cpu / wall;
    state.counters["readings"] = readings;
    w.form()->pb_start->click();
    UserDialogs::setResponder({});
    for (auto &sim : sims) {
        sim->terminate();
        sim->waitForFinished(3000);
    }
}
BENCHMARK(BM_FourInstrumentsRecording)
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime()
    ->MeasureProcessCPUTime();

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    kxInitResources();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
