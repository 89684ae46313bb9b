// Processor time the link costs while a connection is open but quiet: the
// reader thread must sleep while nothing arrives rather than poll the port
// thousands of times a second, because a recording keeps the link open for
// hours. Reported as the share of one core (cpu_share) used by the whole
// process during one second of an idle, open connection.
#include "link/serialhandle.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

double processCpuSeconds()
{
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return double(r.ru_utime.tv_sec + r.ru_stime.tv_sec) +
           double(r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

void BM_IdleOpenLink(benchmark::State &state)
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
        state.SkipWithError("no pseudo-terminal");
        return;
    }
    SerialHandle handle(QStringLiteral("port_1"));
    if (!handle.openPort(QString::fromLocal8Bit(::ptsname(master)), 115200)) {
        state.SkipWithError("cannot open the port");
        ::close(master);
        return;
    }
    double cpu = 0;
    double wall = 0;
    for (auto _ : state) {
        const double before = processCpuSeconds();
        QEventLoop loop;
        QTimer::singleShot(1000, &loop, &QEventLoop::quit);
        loop.exec();
        cpu += processCpuSeconds() - before;
        wall += 1.0;
        state.SetIterationTime(1.0);
    }
    state.counters["cpu_share"] = cpu / wall;
    handle.closePort();
    ::close(master);
}
BENCHMARK(BM_IdleOpenLink)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
