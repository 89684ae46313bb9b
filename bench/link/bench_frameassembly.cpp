// Receiving the byte stream of a full stored-record download: 80000 records
// sent as 2500 blocks of 32 records, each block one 1033-byte frame (type 2,
// block number, 32 records of 32 bytes).

#include "link/frame.h"
#include "link/serialhandle.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <thread>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kBlocks = 2500;
constexpr int kRecordsPerBlock = 32;
constexpr int kRecordSize = 32;
constexpr int kBlockPayload = 3 + kRecordsPerBlock * kRecordSize; // 1027

const QByteArray &downloadStream()
{
    static const QByteArray stream = [] {
        QByteArray s;
        s.reserve(kBlocks * (kBlockPayload + kFrameOverhead));
        quint32 seed = 12345;
        for (int block = 0; block < kBlocks; ++block) {
            QByteArray payload(kBlockPayload, 0);
            payload[0] = 2;
            payload[1] = char(block >> 8);
            payload[2] = char(block & 0xFF);
            // Arbitrary record bytes, header values included, so the
            // assembler sees AA and 55 inside payloads as it would in
            // real temperatures and dates.
            for (int i = 3; i < kBlockPayload; ++i) {
                seed = seed * 1103515245u + 12345u;
                payload[i] = char(seed >> 16);
            }
            s += encodeFrame(payload);
        }
        return s;
    }();
    return stream;
}

// range(0): bytes handed over per call (the reader thread delivers at most
// one full input queue of 4095 bytes per burst); 0 means the whole stream.
void BM_FrameAssembly(benchmark::State &state)
{
    const QByteArray &stream = downloadStream();
    const qsizetype burst = state.range(0) > 0 ? qsizetype(state.range(0)) : stream.size();
    qsizetype payloads = 0;
    for (auto _ : state) {
        FrameAssembler assembler;
        payloads = 0;
        for (qsizetype pos = 0; pos < stream.size(); pos += burst) {
            const QList<QByteArray> got =
                assembler.feed(stream.constData() + pos, std::min(burst, stream.size() - pos));
            payloads += got.size();
            benchmark::DoNotOptimize(got);
        }
    }
    if (payloads != kBlocks)
        state.SkipWithError("not every frame was assembled");
    state.SetBytesProcessed(int64_t(state.iterations()) * stream.size());
    state.counters["frames"] = double(payloads);
}

BENCHMARK(BM_FrameAssembly)->Arg(4095)->Arg(64)->Arg(0)->Unit(benchmark::kMillisecond);

// The same stream through the link manager's slots: each burst of 4095 bytes
// is appended to the receive buffer and assembled by a timer run, and every
// payload is delivered through codeDeal.
void BM_LinkManagerAssembly(benchmark::State &state)
{
    const QByteArray &stream = downloadStream();
    const int burst = 4095;
    SerialHandle handle(QStringLiteral("port_1"));
    qint64 payloads = 0;
    QObject::connect(&handle, &SerialHandle::codeDeal,
                     [&payloads](const QByteArray &p) { payloads += p.size() > 0; });
    const QDateTime now = QDateTime::currentDateTime();
    for (auto _ : state) {
        payloads = 0;
        for (int pos = 0; pos < stream.size(); pos += burst) {
            handle.handleRead_RX(stream.mid(pos, burst), now);
            handle.handleTimeOut_RX();
        }
    }
    if (payloads != kBlocks)
        state.SkipWithError("not every frame was delivered");
    state.SetBytesProcessed(int64_t(state.iterations()) * stream.size());
}

BENCHMARK(BM_LinkManagerAssembly)->Unit(benchmark::kMillisecond);

// The same stream written into a pseudo-terminal as fast as it takes it and
// carried through the serial layer, the reader thread and the link manager
// until the last payload has been delivered: wall time per download.
void BM_PseudoTerminalDownload(benchmark::State &state)
{
    const QByteArray &stream = downloadStream();
    for (auto _ : state) {
        const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0) {
            state.SkipWithError("no pseudo-terminal");
            return;
        }
        SerialHandle handle(QStringLiteral("port_1"));
        if (!handle.openPort(QString::fromLocal8Bit(::ptsname(master)), 115200)) {
            ::close(master);
            state.SkipWithError("cannot open the pseudo-terminal");
            return;
        }
        QEventLoop loop;
        int payloads = 0;
        QObject::connect(&handle, &SerialHandle::codeDeal, &loop, [&](const QByteArray &) {
            if (++payloads == kBlocks)
                loop.quit();
        });
        QTimer::singleShot(30000, &loop, &QEventLoop::quit);
        std::thread writer([&] {
            for (qsizetype done = 0; done < stream.size();) {
                const ssize_t n =
                    ::write(master, stream.constData() + done, size_t(stream.size() - done));
                if (n <= 0)
                    break;
                done += n;
            }
        });
        loop.exec();
        writer.join();
        ::close(master);
        if (payloads != kBlocks) {
            state.SkipWithError("not every frame was delivered");
            return;
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * stream.size());
}

BENCHMARK(BM_PseudoTerminalDownload)->Iterations(5)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

// The link manager's timer needs an application object.
int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    QCoreApplication app(argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
