// The driver's work per answer, without a port: storing one live reading
// while a recording runs (tick, decoding, recorded list, statistics and their
// texts) at growing recording lengths, and decoding the 2500 block answers of
// a full 80000-record download.

#include "instrument/commands.h"
#include "instrument/devkx740d.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

#include <random>

namespace {

// Live frames with wandering readings on three channels; T4 has none.
QVector<QByteArray> liveFrames(int n)
{
    std::mt19937 rng(1);
    std::normal_distribution<float> step(0.0f, 0.5f);
    float t[3] = {20.0f, 150.0f, -40.0f};
    QVector<QByteArray> out;
    for (int i = 0; i < n; ++i) {
        _T_PRINT_OUT_DATA r;
        for (int ch = 0; ch < 3; ++ch) {
            t[ch] += step(rng);
            r.value[ch] = t[ch];
            r.status[ch] = statusByte(TypeK, StateValue);
        }
        r.status[3] = statusByte(TypeK, StateNoReading);
        out << ansLiveReading(r);
    }
    return out;
}

// A clock that moves one second per call of advance(), cycling through
// precomputed times so the clock itself costs next to nothing.
struct SteppingClock
{
    SteppingClock()
    {
        const QDateTime base(QDate(2026, 3, 1), QTime(12, 0, 0), Qt::UTC);
        for (int s = 0; s < 60; ++s)
            times << base.addSecs(s);
    }
    void advance() { index = (index + 1) % 60; }
    QDateTime now() const { return times.at(index); }

    QVector<QDateTime> times;
    int index = 0;
};

// One recorded second: the tick that sees the new second, then the live
// frame that is stored in it.
void BM_StoreReading(benchmark::State &state)
{
    const int recorded = int(state.range(0));
    const QVector<QByteArray> frames = liveFrames(4096);
    SteppingClock clock;
    DevKX740D dev;
    dev.setClock([&clock] { return clock.now(); });
    dev.codeDeal(ansCtrlConfig([] {
        _T_CTRL_CONFIG c;
        setCtrlInterval(c, 1);
        return c;
    }()));
    dev.setRecording(true);

    int i = 0;
    auto storeOne = [&] {
        clock.advance();
        dev.handleTimeOut();
        dev.codeDeal(frames.at(i++ & 4095));
    };
    while (dev.recordedCount() < recorded)
        storeOne();

    for (auto _ : state)
        storeOne();

    if (dev.recordedCount() != recorded + int(state.iterations()))
        state.SkipWithError("a reading was not stored");
}
BENCHMARK(BM_StoreReading)
    ->Arg(1000)
    ->Arg(100000)
    ->Arg(1000000)
    ->Iterations(200000)
    ->Unit(benchmark::kMicrosecond);

// The block answers of a full store, decoded and checked record by record.
void BM_DecodeFullDownload(benchmark::State &state)
{
    QVector<QByteArray> payloads;
    for (int b = 0; b < kMaxBlocks; ++b) {
        QVector<_T_EE_TEST_DATA> records;
        for (int i = 0; i < kRecordsPerBlock; ++i) {
            const float v = float(b * kRecordsPerBlock + i) * 0.01f;
            records << makeStoredRecord({0, 0, 0, 0}, {0, 0, 0, 3}, _T_TIME{26, 3, 1, 12, 0, 0},
                                        {v, v + 1, v + 2, 0});
        }
        payloads << ansBlock(quint16(b), records);
    }

    DevKX740D dev;
    for (auto _ : state) {
        dev.readStoredBlocks(0, kMaxBlocks); // no link: only empties the list
        for (const QByteArray &p : payloads)
            dev.codeDeal(p);
        benchmark::DoNotOptimize(dev.downloadList().size());
    }
    if (dev.downloadList().size() != kMaxStoredRecords)
        state.SkipWithError("records missing");
    state.SetItemsProcessed(state.iterations() * kMaxStoredRecords);
}
BENCHMARK(BM_DecodeFullDownload)->Unit(benchmark::kMillisecond);

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
