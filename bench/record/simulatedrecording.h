#pragma once

#include "record/recorder.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QTextStream>

#include <benchmark/benchmark.h>

#include <cmath>

// What the recorder benchmarks share: the live reading of second `k` (four
// slow curves), and the wait for a recorder on its built-in simulator to
// start recording.

inline _T_PRINT_OUT_DATA benchReading(int k)
{
    _T_PRINT_OUT_DATA r;
    for (int ch = 0; ch < kChannelCount; ++ch)
        r.value[ch] = float(20 + 10 * ch + 5 * std::sin(k / (300.0 + ch)));
    r.status[3] = k % 997 == 0 ? 0x10 : 0;
    return r;
}

// Options of a recorder of `instruments` built-in simulators at a 1 s
// interval into `file`.
inline RecorderOptions simulatedOptions(const QString &file, int instruments = 1)
{
    RecorderOptions options;
    options.simulate = instruments;
    options.out = file;
    options.intervalSeconds = 1;
    options.status = StatusMode::Lines;
    return options;
}

// A recorder whose reports and errors are kept in strings.
struct CapturedRecorder
{
    explicit CapturedRecorder(const RecorderOptions &options) : recorder(options, out, err) {}

    QString outText;
    QString errText;
    QTextStream out{&outText};
    QTextStream err{&errText};
    Recorder recorder;
};

inline bool waitUntilRecording(Recorder &recorder)
{
    QElapsedTimer wait;
    wait.start();
    while (recorder.state() != Recorder::State::Recording && wait.elapsed() < 20000 &&
           recorder.state() != Recorder::State::Finished)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return recorder.state() == Recorder::State::Recording;
}

// One simulated second: the driver's tick sees the new second, the reading
// arrives, and now and then the event loop runs (syncs, status line).
inline void recordSecond(DevKX740D &device, int second)
{
    device.handleTimeOut();
    device.codeDeal(QByteArray(1, 1) + printOutToBytes(benchReading(second)));
    if (second % 600 == 0)
        QCoreApplication::processEvents();
}

// Puts the recorder's driver on a simulated clock: 2026-06-01 00:00 plus
// `*seconds`, which the caller advances.
inline void useSimulatedClock(DevKX740D &device, const int *seconds)
{
    const QDateTime start(QDate(2026, 6, 1), QTime(0, 0, 0));
    device.setClock([start, seconds] { return start.addSecs(*seconds); });
    device.handleTimeOut();
}

// The recorder benchmarks' main(): an event loop's application, and the
// program's debug lines off.
inline int runRecorderBenchmarks(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
