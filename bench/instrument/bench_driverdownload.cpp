// Stored-record downloads end to end: the simulator on a pseudo-terminal,
// the serial layer, the reader thread, the link manager and the driver, from
// the read request until trans_end.
//
// BM_FullDownloadFast: 80000 records as fast as the pseudo-terminal carries
// them. BM_PacedDownload8000: 8000 records on a line paced at 115200 baud
// (11520 bytes/s); the counters compare the wall time with the time the
// received bytes need on such a line.

#include "instrument/commands.h"
#include "instrument/devkx740d.h"
#include "link/frame.h"
#include "link/serialhandle.h"
#include "sim/instrumentsimulator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLoggingCategory>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace {

constexpr double kLineBytesPerSecond = 11520.0;

struct Result
{
    bool ok = false;
    double seconds = 0;
    qint64 bytes = 0; // frames received from the request until the end answer
    int records = 0;
};

Result download(const SimulatorOptions &options, int blocks)
{
    Result result;
    InstrumentSimulator sim(options);
    if (!sim.start())
        return result;
    SerialHandle link(QStringLiteral("port_1"));
    if (!link.openPort(sim.portPath(), 115200))
        return result;
    DevKX740D dev;
    QObject::connect(&link, &SerialHandle::codeDeal, &dev, &DevKX740D::codeDeal);

    QEventLoop loop;
    QObject::connect(&link, &SerialHandle::codeDeal, &loop,
                     [&](const QByteArray &p) { result.bytes += p.size() + kFrameOverhead; });
    QObject::connect(&dev, &DevKX740D::trans_end, &loop, &QEventLoop::quit);
    QTimer::singleShot(120000, &loop, &QEventLoop::quit);

    dev.setLink(&link); // the handshake's answers come before the request's
    QTimer::singleShot(300, &loop, &QEventLoop::quit);
    loop.exec();
    result.bytes = 0;

    QElapsedTimer clock;
    clock.start();
    dev.readStoredBlocks(0, blocks);
    loop.exec();
    result.seconds = double(clock.nsecsElapsed()) / 1e9;
    result.records = dev.takeDownloadedRecords().size();
    result.ok = result.records == qMin(options.storedRecords, blocks * kRecordsPerBlock);
    link.closePort();
    return result;
}

SimulatorOptions downloadOptions(int records, bool paced)
{
    SimulatorOptions o;
    o.storedRecords = records;
    o.paced = paced;
    o.liveRate = 0;
    o.statusIntervalMs = 0;
    return o;
}

void BM_FullDownloadFast(benchmark::State &state)
{
    for (auto _ : state) {
        const Result r = download(downloadOptions(kMaxStoredRecords, false), kMaxBlocks);
        if (!r.ok) {
            state.SkipWithError("download incomplete");
            return;
        }
        state.SetIterationTime(r.seconds);
    }
    state.SetItemsProcessed(state.iterations() * kMaxStoredRecords);
}
BENCHMARK(BM_FullDownloadFast)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_PacedDownload8000(benchmark::State &state)
{
    constexpr int kRecords = 8000;
    double wire = 0;
    double wall = 0;
    for (auto _ : state) {
        const Result r = download(downloadOptions(kRecords, true), kRecords / kRecordsPerBlock);
        if (!r.ok) {
            state.SkipWithError("download incomplete");
            return;
        }
        state.SetIterationTime(r.seconds);
        wall += r.seconds;
        wire += double(r.bytes) / kLineBytesPerSecond;
    }
    state.counters["wire_s"] = wire / double(state.iterations());
    state.counters["wall_s"] = wall / double(state.iterations());
    state.counters["over_wire_pct"] = (wall / wire - 1.0) * 100.0;
}
BENCHMARK(BM_PacedDownload8000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false")); // keep the table clean
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
