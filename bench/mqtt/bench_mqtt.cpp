// Recorded readings through a broker of our own (Debian's mosquitto on a
// loopback port): the rate at which a subscriber receives them, and what a
// publishRecorded() call costs the thread that makes it.
#include "instrument/temperature.h"
#include "mqtt/mqttpublisher.h"
#include "tests/mqtt/testbroker.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <memory>

namespace {

constexpr int kStreamLength = 100000;

_T_PRINT_OUT_DATA sampleReading(int i)
{
    _T_PRINT_OUT_DATA r;
    r.value[0] = 20.0f + i % 100;
    r.value[1] = 65.5f;
    r.value[2] = 182.25f;
    r.status[0] = statusByte(TypeK, StateValue);
    r.status[1] = statusByte(TypeK, StateValue);
    r.status[2] = statusByte(TypeJ, StateValue);
    r.status[3] = statusByte(TypeK, StateNoReading);
    r.ambient = 21.5f;
    return r;
}

// One broker for the whole run.
TestBroker &broker()
{
    static TestBroker b;
    static const bool started = [] {
        if (!TestBroker::available() || !b.start()) {
            std::fprintf(stderr, "no broker: %s\n", qPrintable(b.error()));
            return false;
        }
        return true;
    }();
    Q_UNUSED(started);
    return b;
}

std::unique_ptr<MqttPublisher> connectedPublisher(const QString &prefix)
{
    MqttSettings settings;
    settings.url = broker().url();
    settings.prefix = prefix;
    auto publisher = std::make_unique<MqttPublisher>();
    QString error;
    if (!publisher->start(settings, QString(), &error))
        return nullptr;
    const QDeadlineTimer deadline(20000);
    while (publisher->state() != MqttPublisher::State::Connected && !deadline.hasExpired())
        QThread::msleep(5);
    if (publisher->state() != MqttPublisher::State::Connected)
        return nullptr;
    return publisher;
}

bool waitUntil(const std::function<bool()> &done, int ms = 60000)
{
    const QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QThread::usleep(200);
    }
    return true;
}

// 100 000 readings from the caller to a QoS 1 subscriber.
void BM_EndToEnd100000(benchmark::State &state)
{
    const QDateTime time = QDateTime::currentDateTime();
    for (auto _ : state) {
        state.PauseTiming();
        TestSubscriber sub;
        if (!sub.start(broker().port(), "bench/e2e/record") ||
            !waitUntil([&] { return sub.subscriptions() == 1; })) {
            state.SkipWithError("no subscriber");
            return;
        }
        auto publisher = connectedPublisher(QStringLiteral("bench/e2e"));
        if (!publisher) {
            state.SkipWithError("no connection");
            return;
        }
        state.ResumeTiming();
        for (int i = 0; i < kStreamLength; ++i)
            publisher->publishRecorded(sampleReading(i), time, UnitCelsius);
        if (!waitUntil([&] { return sub.count() >= kStreamLength; })) {
            state.SkipWithError("readings missing");
            return;
        }
        state.PauseTiming();
        if (publisher->droppedCount() != 0)
            state.SkipWithError("readings dropped");
        publisher.reset();
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * kStreamLength);
}
BENCHMARK(BM_EndToEnd100000)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

// The caller's side only: what the caller does with a reading anyway (the
// baseline) ...
void BM_CallerBaseline(benchmark::State &state)
{
    std::vector<_T_PRINT_OUT_DATA> kept(1024);
    int i = 0;
    for (auto _ : state) {
        kept[i & 1023] = sampleReading(i);
        benchmark::DoNotOptimize(kept.data());
        ++i;
    }
}
BENCHMARK(BM_CallerBaseline);

// ... and the same with publishRecorded() to a connected publisher, in bursts
// of 1000 that the network thread drains between them (not timed), so the
// queue never overflows.
void BM_CallerPublishRecorded(benchmark::State &state)
{
    auto publisher = connectedPublisher(QStringLiteral("bench/caller"));
    if (!publisher) {
        state.SkipWithError("no connection");
        return;
    }
    const QDateTime time = QDateTime::currentDateTime();
    std::vector<_T_PRINT_OUT_DATA> kept(1024);
    int i = 0;
    for (auto _ : state) {
        kept[i & 1023] = sampleReading(i);
        benchmark::DoNotOptimize(kept.data());
        publisher->publishRecorded(kept[i & 1023], time, UnitCelsius);
        if (++i % 1000 == 0) {
            state.PauseTiming();
            waitUntil([&] { return publisher->pendingCount() == 0; });
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_CallerPublishRecorded)->Iterations(200000);

// One call at a time with nothing in flight, as at one reading a second: the
// call itself hands the reading to the library.
void BM_CallerPublishRecordedIdle(benchmark::State &state)
{
    auto publisher = connectedPublisher(QStringLiteral("bench/idle"));
    if (!publisher) {
        state.SkipWithError("no connection");
        return;
    }
    const QDateTime time = QDateTime::currentDateTime();
    int i = 0;
    for (auto _ : state) {
        waitUntil([&] { return publisher->pendingCount() == 0; });
        const _T_PRINT_OUT_DATA reading = sampleReading(i++);
        const auto start = std::chrono::steady_clock::now();
        publisher->publishRecorded(reading, time, UnitCelsius);
        const auto end = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(end - start).count());
    }
}
BENCHMARK(BM_CallerPublishRecordedIdle)->UseManualTime()->Iterations(500);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
