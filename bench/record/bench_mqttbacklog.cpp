// The recorder on its built-in simulator publishing to a broker that is
// down: an outage of an hour, or of a day, recorded at one reading a second
// on a simulated clock. Then the broker comes back, and the backlog is
// delivered from the journal. Shows the delivery rate (readings the broker
// acknowledged per second) and that memory does not grow with the backlog:
// the readings wait on the disk, not in memory.
#include "bench/record/simulatedrecording.h"
#include "tests/app/memoryprobe.h"
#include "tests/mqtt/testbroker.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>

// The recorder on its simulator at 1 s, publishing to `broker` under `prefix`.
static RecorderOptions publishingOptions(const QTemporaryDir &dir, const TestBroker &broker,
                                         const QString &prefix, StatusMode status)
{
    RecorderOptions options;
    options.simulate = true;
    options.out = dir.filePath(prefix.section(QLatin1Char('/'), -1) + QStringLiteral(".dat"));
    options.intervalSeconds = 1;
    options.status = status;
    options.mqtt.enabled = true;
    options.mqtt.url = broker.url();
    options.mqtt.prefix = prefix;
    return options;
}

static void BM_BacklogAfterOutage(benchmark::State &state)
{
    const int outageSeconds = int(state.range(0));
    for (auto _ : state) {
        TestBroker broker;
        if (!TestBroker::available() || !broker.start()) {
            state.SkipWithError("no broker");
            return;
        }
        QTemporaryDir dir;
        const RecorderOptions options =
            publishingOptions(dir, broker, QStringLiteral("bench/backlog"), StatusMode::Lines);
        CapturedRecorder captured(options);
        Recorder &recorder = captured.recorder;
        const QString &errText = captured.errText;
        broker.stop();
        recorder.start();
        if (!waitUntilRecording(recorder)) {
            state.SkipWithError(qPrintable(QStringLiteral("no recording: ") + errText));
            return;
        }

        DevKX740D &device = recorder.device();
        int seconds = 0;
        useSimulatedClock(device, &seconds);
        std::size_t rssBefore = 0;
        while (seconds < outageSeconds) {
            ++seconds;
            recordSecond(device, seconds);
            if (seconds == 1000)
                rssBefore = residentBytes();
        }
        // Readings count as waiting once they are synced, at most a second
        // after they were stored.
        QElapsedTimer synced;
        synced.start();
        while (synced.elapsed() < 1200)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        const quint64 backlog = recorder.mqttWaiting();

        if (!broker.restart()) {
            state.SkipWithError("broker did not come back");
            return;
        }
        // Timed from the first acknowledgement: how soon the publisher tries
        // the broker again is the retry schedule's business, not the rate's.
        QElapsedTimer wait;
        wait.start();
        QElapsedTimer clock;
        std::size_t rssPeak = 0;
        while (recorder.mqttWaiting() > 0 && wait.elapsed() < 600000) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
            if (!clock.isValid() && recorder.mqttWaiting() < backlog)
                clock.start();
            rssPeak = std::max(rssPeak, residentBytes());
        }
        const double deliveryMs = std::max<qint64>(1, clock.isValid() ? clock.elapsed() : 0);
        state.counters["backlog"] = double(backlog);
        state.counters["delivered_per_s"] = double(backlog) * 1000 / deliveryMs;
        state.counters["rss_growth_MB"] = (double(rssPeak) - double(rssBefore)) / 1e6;
        recorder.stop();
        if (backlog + 10 < quint64(outageSeconds) || recorder.mqttWaiting() > 0)
            state.SkipWithError("backlog not delivered");
    }
}
BENCHMARK(BM_BacklogAfterOutage)
    ->ArgName("outage_s")
    ->Arg(3600)
    ->Arg(24 * 3600)
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

// A recorder stopped after a day's outage leaves 86 400 readings for the
// broker on the disk. The next start, with the broker back, must record at
// once while the backlog goes out from the disk: the time from start() to
// the first new reading stored, and the backlog's delivery rate.
static void BM_StartWithDayBacklog(benchmark::State &state)
{
    const int backlogSeconds = 24 * 3600;
    for (auto _ : state) {
        TestBroker broker;
        if (!TestBroker::available() || !broker.start()) {
            state.SkipWithError("no broker");
            return;
        }
        QTemporaryDir dir;
        const RecorderOptions options =
            publishingOptions(dir, broker, QStringLiteral("bench/daybacklog"), StatusMode::Quiet);
        broker.stop();
        {
            CapturedRecorder first(options);
            first.recorder.start();
            if (!waitUntilRecording(first.recorder)) {
                state.SkipWithError(qPrintable(QStringLiteral("no recording: ") + first.errText));
                return;
            }
            int seconds = 0;
            useSimulatedClock(first.recorder.device(), &seconds);
            while (seconds < backlogSeconds)
                recordSecond(first.recorder.device(), ++seconds);
            first.recorder.stop();
        }
        if (!broker.restart()) {
            state.SkipWithError("broker did not come back");
            return;
        }
        CapturedRecorder second(options);
        Recorder &recorder = second.recorder;
        QElapsedTimer sinceStart;
        sinceStart.start();
        recorder.start();
        qint64 firstReadingMs = -1;
        QElapsedTimer delivering;
        quint64 backlog = 0;
        while (sinceStart.elapsed() < 600000 && recorder.state() != Recorder::State::Finished) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
            if (firstReadingMs < 0 && recorder.readingCount() > 0)
                firstReadingMs = sinceStart.elapsed();
            const quint64 waiting = recorder.mqttWaiting();
            if (!delivering.isValid() && waiting > 0) {
                backlog = waiting;
                delivering.start();
            }
            if (firstReadingMs >= 0 && delivering.isValid() && waiting <= 2)
                break;
        }
        const double deliveryMs =
            std::max<qint64>(1, delivering.isValid() ? delivering.elapsed() : 0);
        state.counters["first_reading_ms"] = double(firstReadingMs);
        state.counters["backlog"] = double(backlog);
        state.counters["delivered_per_s"] = double(backlog) * 1000 / deliveryMs;
        recorder.stop();
        if (firstReadingMs < 0 || backlog < quint64(backlogSeconds))
            state.SkipWithError(
                qPrintable(QStringLiteral("backlog not delivered: ") + second.errText));
    }
}
BENCHMARK(BM_StartWithDayBacklog)->Iterations(1)->Unit(benchmark::kSecond);

int main(int argc, char **argv)
{
    return runRecorderBenchmarks(argc, argv);
}
