// A full stored-record download end to end: the simulator in fast mode
// (no 115200-baud pacing) sends 80000 records as 2500 block frames of 1033
// bytes through its pseudo-terminal; the serial layer, the reader thread and
// the link manager take them in until the transfer's last payload (the end
// answer) has been delivered by codeDeal. Wall time per download.

#include "instrument/commands.h"
#include "link/serialhandle.h"
#include "sim/instrumentsimulator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace {

constexpr int kBlocks = 2500;
constexpr int kBlockFrameSize = 1033;

void BM_SimulatorDownload80000(benchmark::State &state)
{
    SimulatorOptions options;
    options.paced = false;
    options.storedRecords = kMaxStoredRecords;
    options.liveRate = 0;
    options.statusIntervalMs = 0;

    for (auto _ : state) {
        InstrumentSimulator sim(options);
        if (!sim.start()) {
            state.SkipWithError("simulator did not start");
            return;
        }
        SerialHandle link(QStringLiteral("port_1"));
        if (!link.openPort(sim.portPath(), 115200)) {
            state.SkipWithError("port did not open");
            return;
        }

        int blocks = 0;
        QEventLoop loop;
        QObject::connect(&link, &SerialHandle::codeDeal, &loop, [&](const QByteArray &p) {
            if (quint8(p.at(0)) == kAnsBlock)
                ++blocks;
            else if (quint8(p.at(0)) == kAnsEnd)
                loop.quit();
        });
        QTimer::singleShot(60000, &loop, &QEventLoop::quit);

        QElapsedTimer clock;
        clock.start();
        link.sendFrame(cmdReadBlocks(0, kBlocks));
        loop.exec();
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);

        link.closePort();
        if (blocks != kBlocks) {
            state.SkipWithError("download incomplete");
            return;
        }
    }
    state.SetBytesProcessed(state.iterations() * qint64(kBlocks) * kBlockFrameSize);
}
BENCHMARK(BM_SimulatorDownload80000)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
