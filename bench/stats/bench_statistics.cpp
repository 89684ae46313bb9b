// The statistics of a month of readings at 1 s (2 592 000 records) with a
// high and a low limit and a band set: a cold room whose probes move in
// tenths of a degree (the usual case), and a furnace survey whose every
// reading differs from the one before (no reading repeats its exponent).
#include "stats/measurementstatistics.h"

#include <QDateTime>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

constexpr int kMonth = 30 * 24 * 3600;

Data_List_T month(bool coldRoom)
{
    const QDateTime start(QDate(2024, 6, 1), QTime(0, 0));
    const quint8 type[kChannelCount] = {};
    const quint8 state[kChannelCount] = {StateValue, StateValue, StateValue, StateNoReading};
    QVector<_T_EE_TEST_DATA> records(kMonth);
    _T_TIME time = timeFromDateTime(start);
    for (int i = 0; i < kMonth; ++i) {
        if (i % 3600 == 0)
            time = timeFromDateTime(start.addSecs(i));
        time.minute = quint8(i / 60 % 60);
        time.second = quint8(i % 60);
        float value[kChannelCount] = {};
        for (int c = 0; c < 3; ++c) {
            const double wave = std::sin(i / 5000.0 + c);
            value[c] = coldRoom ? float(std::round(50 + 30 * wave) / 10)
                                : float(800 + 50 * wave + (i % 7) * 0.01);
        }
        records[i] = makeStoredRecord(type, state, time, value);
    }
    return newMeasurement(records);
}

void runMonth(benchmark::State &state, bool coldRoom)
{
    const Data_List_T m = month(coldRoom);
    StatisticsLimits limits;
    limits.high = coldRoom ? 8.0 : 840.0;
    limits.low = coldRoom ? 2.0 : 760.0;
    limits.bandLow = coldRoom ? 3.0 : 790.0;
    limits.bandHigh = coldRoom ? 7.0 : 810.0;
    for (auto _ : state) {
        const StatisticsFigures f = measurementStatistics(m, limits);
        if (f.channel[0].readings != kMonth)
            state.SkipWithError("readings lost");
        benchmark::DoNotOptimize(f);
    }
    state.SetItemsProcessed(state.iterations() * kMonth);
}

void BM_MonthColdRoom(benchmark::State &state)
{
    runMonth(state, true);
}
BENCHMARK(BM_MonthColdRoom)->Unit(benchmark::kMillisecond);

void BM_MonthFurnace(benchmark::State &state)
{
    runMonth(state, false);
}
BENCHMARK(BM_MonthFurnace)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
