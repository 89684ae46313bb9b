// Saving and opening an archive holding a full instrument download, and one
// update of the automatic backup deep into a long recording.
#include "store/data_table_t.h"
#include "store/datafile.h"

#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kFullDownload = 80000;

_T_EE_TEST_DATA sampleRecord(int i)
{
    const quint8 type[4] = {0, 0, 1, 2};
    const quint8 state[4] = {0, 0, 0, 3};
    const float value[4] = {20.0f + i % 100, 65.5f, 182.25f, 0.0f};
    _T_TIME time{26, 12, 7, 10, quint8(i / 60 % 60), quint8(i % 60)};
    return makeStoredRecord(type, state, time, value);
}

Data_table_T fullArchive()
{
    Data_table_T archive = newArchive();
    Data_List_T m = newMeasurement();
    m.records.reserve(kFullDownload);
    for (int i = 0; i < kFullDownload; ++i)
        m.records << sampleRecord(i);
    archive.append(m);
    return archive;
}

void BM_SaveArchive80000(benchmark::State &state)
{
    QTemporaryDir dir;
    const Data_table_T archive = fullArchive();
    const QString path = dir.filePath(QStringLiteral("a.dat"));
    for (auto _ : state) {
        QSaveFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(dataFileToBytes(archive));
        if (!file.commit())
            state.SkipWithError("save failed");
    }
}
BENCHMARK(BM_SaveArchive80000)->Unit(benchmark::kMillisecond);

void BM_OpenArchive80000(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.dat"));
    {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(dataFileToBytes(fullArchive()));
    }
    for (auto _ : state) {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        Data_table_T archive;
        if (!dataFileFromBytes(file.readAll(), archive) ||
            archive.lists.value(0)->records.size() != kFullDownload)
            state.SkipWithError("open failed");
    }
}
BENCHMARK(BM_OpenArchive80000)->Unit(benchmark::kMillisecond);

// The backup holds 100 000 readings; each iteration adds the next one.
void BM_BackupUpdateAt100000(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("auto_backup.bak"));
    quint32 count = 100000;
    {
        QVector<_T_EE_TEST_DATA> records;
        for (quint32 i = 0; i < count; ++i)
            records << sampleRecord(int(i));
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(backupFileToBytes(records));
    }
    const QVector<_T_EE_TEST_DATA> next{sampleRecord(1)};
    for (auto _ : state) {
        if (!appendToBackupFile(path, count, next))
            state.SkipWithError("update failed");
        ++count;
    }
}
BENCHMARK(BM_BackupUpdateAt100000)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
