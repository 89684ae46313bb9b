// Recorded readings through a broker of our own (Debian's mosquitto on a
// loopback port): the rate at which a subscriber receives them, what a
// publishRecorded() call costs the thread that makes it, and what publishing
// adds to the window's work for one stored reading.
#include "instrument/commands.h"
#include "instrument/devkx740d.h"
#include "instrument/temperature.h"
#include "link/serialhandle.h"
#include "measurement/recordingsession.h"
#include "mqtt/mqttfeed.h"
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

std::vector<_T_EE_TEST_DATA> sampleRecords()
{
    const _T_TIME time = timeFromDateTime(QDateTime::currentDateTime());
    std::vector<_T_EE_TEST_DATA> records;
    for (int i = 0; i < 1024; ++i)
        records.push_back(storedRecordFromReading(sampleReading(i), time));
    return records;
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
    const std::vector<_T_EE_TEST_DATA> records = sampleRecords();
    const QString id = QStringLiteral("bench");
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
            publisher->publishRecorded(id, i + 1, records.at(i & 1023), UnitCelsius);
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
    const _T_TIME time = timeFromDateTime(QDateTime::currentDateTime());
    std::vector<_T_EE_TEST_DATA> kept(1024);
    int i = 0;
    for (auto _ : state) {
        kept[i & 1023] = storedRecordFromReading(sampleReading(i), time);
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
    const _T_TIME time = timeFromDateTime(QDateTime::currentDateTime());
    const QString id = QStringLiteral("bench");
    std::vector<_T_EE_TEST_DATA> kept(1024);
    int i = 0;
    for (auto _ : state) {
        kept[i & 1023] = storedRecordFromReading(sampleReading(i), time);
        benchmark::DoNotOptimize(kept.data());
        publisher->publishRecorded(id, i + 1, kept[i & 1023], UnitCelsius);
        if (++i % 1000 == 0) {
            state.PauseTiming();
            waitUntil([&] { return publisher->pendingCount() == 0; });
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_CallerPublishRecorded)->Iterations(200000);

// One recorded second of the window's driver and recording session (without
// a journal): the tick that sees the new second, then the live frame stored
// in it; with publishing on, the feed hands the live reading and the
// session's numbered record to a connected publisher. The difference
// of the two is what publishing costs the window's thread per stored reading.
// In bursts of 1000 that the network thread drains between them (not timed),
// as readings come one a second and never pile up.
void BM_StoredSecond(benchmark::State &state)
{
    const bool publishing = state.range(0) != 0;
    std::unique_ptr<MqttPublisher> publisher;
    if (publishing) {
        publisher = connectedPublisher(QStringLiteral("bench/window"));
        if (!publisher) {
            state.SkipWithError("no connection");
            return;
        }
    }
    QVector<QByteArray> frames;
    for (int i = 0; i < 4096; ++i)
        frames << ansLiveReading(sampleReading(i));
    QVector<QDateTime> times;
    const QDateTime base(QDate(2026, 3, 1), QTime(12, 0, 0));
    for (int s = 0; s < 60; ++s)
        times << base.addSecs(s);
    int second = 0;
    DevKX740D device;
    device.setClock([&] { return times.at(second % 60); });
    _T_CTRL_CONFIG config;
    setCtrlInterval(config, 1);
    device.codeDeal(ansCtrlConfig(config));
    SerialHandle link(QStringLiteral("bench"));
    RecordingSession session(device, link);
    session.setKeepReadings(false); // memory stays flat over the run
    std::unique_ptr<MqttFeed> feed;
    if (publisher) {
        feed = std::make_unique<MqttFeed>(device, *publisher);
        QObject::connect(&session, &RecordingSession::started, feed.get(),
                         &MqttFeed::beginRecording);
        QObject::connect(&session, &RecordingSession::readingStored, feed.get(),
                         &MqttFeed::publishRecorded);
    }
    session.start();

    int i = 0;
    for (auto _ : state) {
        ++second;
        device.handleTimeOut();
        device.codeDeal(frames.at(i & 4095));
        if (++i % 1000 == 0) {
            state.PauseTiming();
            if (publisher)
                waitUntil([&] { return publisher->pendingCount() == 0; });
            state.ResumeTiming();
        }
    }
    if (int(session.lastSeq()) < i)
        state.SkipWithError("a second without a stored reading");
}
BENCHMARK(BM_StoredSecond)->ArgName("publishing")->Arg(0)->Arg(1)->Iterations(100000);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
