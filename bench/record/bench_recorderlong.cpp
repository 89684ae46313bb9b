// Thirty days of headless recording at a one-second interval on a simulated
// clock, through the real session, its journal and, with --split day, a file
// per day. Shows that memory does not grow with the recording's length (the
// readings live in the journal, not in memory) and how long the stop takes:
// writing 30 days into one file, or only the last day's file.
#include "bench/record/simulatedrecording.h"
#include "tests/app/memoryprobe.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {
constexpr int kDay = 24 * 3600;
constexpr int kDays = 30;

} // namespace

// Argument 0: one file; 1: a file per day.
static void BM_RecorderMonth(benchmark::State &state)
{
    const bool split = state.range(0) == 1;
    for (auto _ : state) {
        QTemporaryDir dir;
        RecorderOptions options = simulatedOptions(dir.filePath(QStringLiteral("oven.dat")));
        options.status = StatusMode::Quiet;
        options.split = split ? SplitMode::Day : SplitMode::None;
        CapturedRecorder captured(options);
        Recorder &recorder = captured.recorder;
        const QString &errText = captured.errText;
        DevKX740D &device = recorder.device();
        const QDateTime start(QDate(2026, 6, 1), QTime(0, 0, 0));
        int seconds = 0;
        device.setClock([&] { return start.addSecs(seconds); });
        recorder.start();
        if (!waitUntilRecording(recorder)) {
            state.SkipWithError(qPrintable(QStringLiteral("no recording: ") + errText));
            return;
        }
        std::size_t heapAfterDay = 0;
        std::size_t rssAfterDay = 0;
        int countAfterDay = 0;
        QElapsedTimer clock;
        clock.start();
        while (seconds < kDays * kDay) {
            ++seconds;
            recordSecond(device, seconds);
            if (seconds == kDay) {
                heapAfterDay = heapInUse();
                rssAfterDay = residentBytes();
                countAfterDay = recorder.readingCount();
            }
        }
        const double recordMs = clock.elapsed();
        const int count = recorder.readingCount();
        const double added = count - countAfterDay;
        state.counters["readings"] = count;
        state.counters["us_per_reading"] = recordMs * 1000 / count;
        state.counters["heap_bytes_per_reading"] =
            (double(heapInUse()) - double(heapAfterDay)) / added;
        state.counters["rss_bytes_per_reading"] =
            (double(residentBytes()) - double(rssAfterDay)) / added;
        state.counters["journal_MB"] =
            double(QFileInfo(dir.filePath(QStringLiteral("oven.dat.journal"))).size()) / 1e6;
        clock.restart();
        recorder.stop();
        state.counters["stop_ms"] = clock.elapsed();
        state.counters["files"] = QDir(dir.path()).entryList({QStringLiteral("*.dat")}).size();
        if (recorder.exitStatus() != ExitDone || errText.size() > 0)
            state.SkipWithError(qPrintable(QStringLiteral("recording failed: ") + errText));
    }
}
BENCHMARK(BM_RecorderMonth)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kSecond);

int main(int argc, char **argv)
{
    return runRecorderBenchmarks(argc, argv);
}
