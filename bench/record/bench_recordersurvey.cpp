// Eight instruments in one recorder at a one-second interval, as in a
// nine-point oven survey or a row of cold rooms.
//
// BM_SurveyRealTime runs the programs themselves: eight kx740d-sim
// processes on pseudo-terminals and one kx740d-record recording all of them
// for KX_SURVEY_SECONDS (default 120) of real time. The eighth instrument's
// cable is pulled 30 s after its start and plugged in again 10 s later.
// Shows the recorder's share of a core and its resident memory over the
// run (from /proc, after the first readings), how many seconds of the run
// lack a reading on any of the seven others, and how many seconds carry a
// reading on some of them but not all (readings of one interval stamped
// differently).
//
// BM_SurveyDay drives eight simulated instruments in one recorder through
// a day on a simulated clock (the Recorder's one clock, every driver fed a
// reading each second): the resident memory at 1 000 s and at the end.
#include "bench/record/simulatedrecording.h"
#include "store/datafile.h"
#include "tests/app/memoryprobe.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <QThread>

#include <memory>
#include <unistd.h>
#include <vector>

namespace {
constexpr int kInstruments = 8;
constexpr int kDay = 24 * 3600;

// utime + stime of process `pid` in seconds.
double cpuSeconds(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray text = stat.readAll();
    // The fields after the command name, which may hold spaces.
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    return double(fields.value(11).toLongLong() + fields.value(12).toLongLong()) /
           double(sysconf(_SC_CLK_TCK));
}

// A line of /proc/<pid>/status in MB ("VmRSS", "VmHWM").
double statusMB(qint64 pid, const QByteArray &key)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(key + ':'))
            return line.mid(key.size() + 1).simplified().split(' ').value(0).toDouble() / 1024.0;
    return 0;
}

int journalCount(const QString &out, int i)
{
    return readJournalRecords(out + QStringLiteral(".s%1.journal").arg(i + 1)).size();
}

} // namespace

static void BM_SurveyRealTime(benchmark::State &state)
{
    const int seconds = qEnvironmentVariableIsSet("KX_SURVEY_SECONDS")
                            ? qEnvironmentVariableIntValue("KX_SURVEY_SECONDS")
                            : 120;
    const QString bin = QCoreApplication::applicationDirPath();
    for (auto _ : state) {
        QTemporaryDir dir;
        const QString out = dir.filePath(QStringLiteral("survey.dat"));
        std::vector<std::unique_ptr<QProcess>> simulators;
        QStringList args{QStringLiteral("--interval"), QStringLiteral("1s"),
                         QStringLiteral("--quiet"), QStringLiteral("--out"), out};
        for (int i = 0; i < kInstruments; ++i) {
            const QString link = dir.filePath(QStringLiteral("sim%1").arg(i + 1));
            QStringList simArgs{QStringLiteral("--records"), QStringLiteral("0"),
                                QStringLiteral("--link"), link};
            if (i == kInstruments - 1)
                simArgs << QStringLiteral("--disconnect-after") << QStringLiteral("30")
                        << QStringLiteral("--reopen-after") << QStringLiteral("10");
            simulators.push_back(std::make_unique<QProcess>());
            simulators.back()->start(bin + QStringLiteral("/kx740d-sim"), simArgs);
            simulators.back()->waitForStarted();
            args << QStringLiteral("--port") << QStringLiteral("s%1=%2").arg(i + 1).arg(link);
        }
        for (int i = 0; i < kInstruments; ++i)
            for (int wait = 0;
                 wait < 100 && !QFileInfo::exists(dir.filePath(QStringLiteral("sim%1").arg(i + 1)));
                 ++wait)
                QThread::msleep(50);
        QProcess recorder;
        recorder.start(bin + QStringLiteral("/kx740d-record"), args);
        recorder.waitForStarted();
        const qint64 pid = recorder.processId();
        QElapsedTimer wait;
        wait.start();
        bool recording = false;
        while (!recording && wait.elapsed() < 20000) {
            QThread::msleep(200);
            recording = true;
            for (int i = 0; i < kInstruments; ++i)
                recording &= journalCount(out, i) >= 1;
        }
        if (!recording) {
            state.SkipWithError(recorder.readAllStandardError().constData());
            return;
        }
        const double cpuStart = cpuSeconds(pid);
        QElapsedTimer wall;
        wall.start();
        double rssMax = 0;
        while (wall.elapsed() < qint64(seconds) * 1000) {
            QThread::msleep(1000);
            rssMax = qMax(rssMax, statusMB(pid, "VmRSS"));
        }
        const double cpu = cpuSeconds(pid) - cpuStart;
        const double wallSeconds = double(wall.elapsed()) / 1000.0;
        const double rssEnd = statusMB(pid, "VmRSS");
        const double peak = statusMB(pid, "VmHWM");
        recorder.terminate();
        recorder.waitForFinished(30000);
        for (auto &simulator : simulators) {
            simulator->terminate();
            simulator->waitForFinished(5000);
        }

        Data_table_T archive;
        QFile file(out);
        if (recorder.exitCode() != 0 || !file.open(QIODevice::ReadOnly) ||
            !dataFileFromBytes(file.readAll(), archive) || archive.lists.size() != kInstruments) {
            state.SkipWithError("the survey was not written");
            return;
        }
        // Seconds from the latest first reading to the earliest last one of
        // the seven, each of which should carry a reading on all seven.
        QVector<QSet<qint64>> times(kInstruments);
        qint64 from = 0;
        qint64 to = std::numeric_limits<qint64>::max();
        for (int i = 0; i < kInstruments; ++i) {
            for (const _T_EE_TEST_DATA &r : archive.lists[i]->records)
                times[i].insert(dateTimeFromRecord(r).toSecsSinceEpoch());
            if (i == kInstruments - 1)
                continue;
            const auto [first, last] = std::minmax_element(times[i].cbegin(), times[i].cend());
            from = qMax(from, *first);
            to = qMin(to, *last);
        }
        int missing = 0;  // a second of the run without a reading, summed over the seven
        int notOnAll = 0; // a second with a reading on some of the seven but not all
        for (qint64 t = from; t <= to; ++t) {
            int on = 0;
            for (int i = 0; i < kInstruments - 1; ++i)
                on += times[i].contains(t);
            missing += kInstruments - 1 - on;
            notOnAll += on > 0 && on < kInstruments - 1;
        }
        // The pulled one: readings on other seconds than the seven's.
        int strayOfPulled = 0;
        for (qint64 t : qAsConst(times[kInstruments - 1]))
            strayOfPulled += t >= from && t <= to && !times[0].contains(t);
        state.counters["cpu_pct_of_core"] = cpu / wallSeconds * 100.0;
        state.counters["rss_MB_end"] = rssEnd;
        state.counters["rss_MB_max"] = rssMax;
        state.counters["rss_MB_peak"] = peak;
        state.counters["seconds"] = double(to - from + 1);
        state.counters["readings_per_instrument"] = archive.lists[0]->records.size();
        state.counters["missing_on_other_7"] = missing;
        state.counters["seconds_not_on_all_7"] = notOnAll;
        state.counters["pulled_readings"] = archive.lists[kInstruments - 1]->records.size();
        state.counters["pulled_off_clock"] = strayOfPulled;
    }
}
BENCHMARK(BM_SurveyRealTime)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

static void BM_SurveyDay(benchmark::State &state)
{
    for (auto _ : state) {
        QTemporaryDir dir;
        CapturedRecorder captured(
            simulatedOptions(dir.filePath(QStringLiteral("day.dat")), kInstruments));
        Recorder &recorder = captured.recorder;
        recorder.start();
        if (!waitUntilRecording(recorder)) {
            state.SkipWithError(qPrintable(QStringLiteral("no recording: ") + captured.errText));
            return;
        }
        int seconds = 0;
        const QDateTime start(QDate(2026, 6, 1), QTime(0, 0, 0));
        recorder.setClock([start, &seconds] { return start.addSecs(seconds); });
        std::size_t rssAt1000 = 0;
        QElapsedTimer clock;
        clock.start();
        while (seconds < kDay) {
            ++seconds;
            recorder.tick();
            for (int i = 0; i < kInstruments; ++i)
                recorder.instrument(i).device().codeDeal(
                    QByteArray(1, 1) + printOutToBytes(benchReading(seconds + i)));
            if (seconds % 600 == 0)
                QCoreApplication::processEvents();
            if (seconds == 1000)
                rssAt1000 = residentBytes();
        }
        const double ms = clock.elapsed();
        const int count = recorder.readingCount();
        state.counters["readings"] = count;
        state.counters["us_per_reading"] = ms * 1000 / count;
        state.counters["rss_MB_at_1000s"] = double(rssAt1000) / 1e6;
        state.counters["rss_MB_at_day"] = double(residentBytes()) / 1e6;
        recorder.stop();
        if (recorder.exitStatus() != ExitDone || count < kInstruments * (kDay - 10))
            state.SkipWithError(
                qPrintable(QStringLiteral("recording failed: ") + captured.errText));
    }
}
BENCHMARK(BM_SurveyDay)->Iterations(1)->Unit(benchmark::kSecond);

int main(int argc, char **argv)
{
    return runRecorderBenchmarks(argc, argv);
}
