// A day of headless recording at a one-second interval on a simulated clock:
// the recorder connects to its built-in simulated instrument as it does on
// the command line, then the driver is fed a day of live readings directly.
// Every stored reading goes through the journal and the CSV file as in a real
// run. Shows the cost of one reading and how much memory a reading adds once
// the first 1 000 are in: none, as the readings live in the journal.
#include "bench/record/simulatedrecording.h"
#include "tests/app/memoryprobe.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {
constexpr int kDay = 24 * 3600;

} // namespace

static void BM_RecorderDay(benchmark::State &state)
{
    for (auto _ : state) {
        QTemporaryDir dir;
        RecorderOptions options = simulatedOptions(dir.filePath(QStringLiteral("day.dat")));
        options.csv = dir.filePath(QStringLiteral("day.csv"));
        CapturedRecorder captured(options);
        Recorder &recorder = captured.recorder;
        const QString &errText = captured.errText;
        recorder.start();
        if (!waitUntilRecording(recorder)) {
            state.SkipWithError(qPrintable(QStringLiteral("no recording: ") + errText));
            return;
        }

        DevKX740D &device = recorder.device();
        int seconds = 0;
        useSimulatedClock(device, &seconds);
        std::size_t heapAt1000 = 0;
        std::size_t rssAt1000 = 0;
        int countAt1000 = 0;
        QElapsedTimer clock;
        clock.start();
        while (seconds < kDay) {
            ++seconds;
            recordSecond(device, seconds);
            if (seconds == 1000) {
                heapAt1000 = heapInUse();
                rssAt1000 = residentBytes();
                countAt1000 = recorder.readingCount();
            }
        }
        const double recordMs = clock.elapsed();
        const int count = recorder.readingCount();
        const double added = count - countAt1000;
        state.counters["readings"] = count;
        state.counters["us_per_reading"] = recordMs * 1000 / count;
        state.counters["heap_B_per_reading"] = (double(heapInUse()) - double(heapAt1000)) / added;
        state.counters["rss_B_per_reading"] = (double(residentBytes()) - double(rssAt1000)) / added;
        state.counters["journal_MB"] =
            double(QFileInfo(dir.filePath(QStringLiteral("day.dat.journal"))).size()) / 1e6;
        clock.restart();
        recorder.stop();
        state.counters["stop_ms"] = clock.elapsed();
        state.counters["csv_MB"] = double(QFileInfo(options.csv).size()) / 1e6;
        state.counters["out_MB"] = double(QFileInfo(options.out).size()) / 1e6;
        if (recorder.exitStatus() != ExitDone || errText.size() > 0)
            state.SkipWithError(qPrintable(QStringLiteral("recording failed: ") + errText));
    }
}
BENCHMARK(BM_RecorderDay)->Iterations(1)->Unit(benchmark::kSecond);

int main(int argc, char **argv)
{
    return runRecorderBenchmarks(argc, argv);
}
