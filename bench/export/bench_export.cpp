// Exports of one full instrument download (80000 records): the workbook, the
// PDF report (time and peak memory), and the CSV text. Peak memory is the
// process's maximum resident set size after the run, reported as the
// counter "peak_rss_MiB"; "pages" counts the report's pages.
#include "export/fileexport.h"
#include "export/pdfreport.h"
#include "store/data_table_t.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

namespace {

constexpr int kFullDownload = 80000;

_T_EE_TEST_DATA sampleRecord(int i)
{
    const quint8 type[4] = {0, 1, 2, 3};
    const quint8 state[4] = {0, 0, quint8(i % 50 == 0 ? 2 : 0), 0};
    const float value[4] = {20.0f + (i % 1000) * 0.1f, 65.5f, 182.25f - (i % 7), -12.5f};
    _T_TIME time{26, 12, 7, quint8(i / 3600 % 24), quint8(i / 60 % 60), quint8(i % 60)};
    return makeStoredRecord(type, state, time, value);
}

Data_List_T measurement(int count)
{
    Data_List_T m = newMeasurement();
    m.records.reserve(count);
    for (int i = 0; i < count; ++i)
        m.records << sampleRecord(i);
    return m;
}

double peakRssMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0; // kilobytes on Linux
}

TableHeaderWords words()
{
    return {QStringLiteral("NO."), QStringLiteral("time"), QStringLiteral("Temperature"),
            QStringLiteral("Thermocouple")};
}

void BM_Workbook80000(benchmark::State &state)
{
    QTemporaryDir dir;
    Data_table_T archive = newArchive();
    archive.append(measurement(kFullDownload));
    const QString path = dir.filePath(QStringLiteral("a.xlsx"));
    for (auto _ : state) {
        QString error;
        if (!writeWorkbook(archive, path, 0, words(), &error))
            state.SkipWithError(error.toUtf8().constData());
    }
}
BENCHMARK(BM_Workbook80000)->Unit(benchmark::kMillisecond);

void BM_Csv80000(benchmark::State &state)
{
    QTemporaryDir dir;
    const Data_List_T m = measurement(kFullDownload);
    const QString path = dir.filePath(QStringLiteral("a.csv"));
    for (auto _ : state) {
        QString error;
        if (!writeCsv(m, path, 0, words(), &error))
            state.SkipWithError(error.toUtf8().constData());
    }
}
BENCHMARK(BM_Csv80000)->Unit(benchmark::kMillisecond);

// The report of `range(0)` records: the peak resident size should not grow
// with the record count beyond the records themselves (2.5 MB for 80000).
void BM_Report(benchmark::State &state)
{
    QTemporaryDir dir;
    ReportContent c;
    c.measurement = measurement(int(state.range(0)));
    c.chart = QImage(1000, 1000, QImage::Format_ARGB32);
    c.chart.fill(Qt::white);
    {
        QPainter p(&c.chart);
        p.drawLine(0, 0, 1000, 1000);
    }
    c.logo = QImage(150, 150, QImage::Format_ARGB32);
    c.logo.fill(Qt::darkCyan);
    c.company = QStringLiteral("Company");
    c.tester = QStringLiteral("Tester");
    c.texts.title = QStringLiteral("KX740D");
    c.texts.table = words();
    const QString path = dir.filePath(QStringLiteral("a.pdf"));
    for (auto _ : state) {
        QString error;
        if (!writePdfReport(c, path, &error))
            state.SkipWithError(error.toUtf8().constData());
    }
    state.counters["peak_rss_MiB"] = peakRssMiB();
}
BENCHMARK(BM_Report)
    ->Arg(2000)
    ->Arg(20000)
    ->Arg(80000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
