// What evaluating the alarms costs per live reading on the thread that
// receives them: every limit of the four channels switched on, probe and
// link alarms on, the readings moving inside the limits (the usual case),
// or crossing a limit now and then (raises and clears with their signals).

#include "alarm/alarmmonitor.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

namespace {

AlarmSettings allLimits()
{
    AlarmSettings s;
    for (ChannelLimits &c : s.channels)
        c = {true, 100.0f, true, 0.0f};
    return s;
}

_T_PRINT_OUT_DATA readingAt(int i, float swing)
{
    _T_PRINT_OUT_DATA r;
    for (int ch = 0; ch < kChannelCount; ++ch) {
        r.value[ch] = 50.0f + swing * float((i + ch * 7) % 100 - 50) / 50.0f;
        r.status[ch] = statusByte(0, StateValue);
    }
    return r;
}

void runMonitor(benchmark::State &state, float swing)
{
    AlarmMonitor monitor;
    monitor.setSettings(allLimits());
    monitor.setWatching(true);
    int alarms = 0;
    QObject::connect(&monitor, &AlarmMonitor::raised, [&alarms] { ++alarms; });
    std::vector<_T_PRINT_OUT_DATA> readings;
    for (int i = 0; i < 1000; ++i)
        readings.push_back(readingAt(i, swing));
    size_t i = 0;
    for (auto _ : state) {
        monitor.addReading(readings[i]);
        i = (i + 1) % readings.size();
    }
    state.counters["raised"] = alarms;
    state.SetItemsProcessed(state.iterations());
}

// Inside the limits: nothing is raised.
void BM_ReadingInsideLimits(benchmark::State &state)
{
    runMonitor(state, 40.0f);
}
BENCHMARK(BM_ReadingInsideLimits);

// Swinging past both limits: each channel raises and clears twice in every
// hundred readings.
void BM_ReadingCrossingLimits(benchmark::State &state)
{
    runMonitor(state, 60.0f);
}
BENCHMARK(BM_ReadingCrossingLimits);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
