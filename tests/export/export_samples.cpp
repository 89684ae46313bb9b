// Writes the sample exports that check_exports.py reads back with readers
// of its own (openpyxl, pdftotext, pdfinfo, the csv module):
//   names.xlsx   three measurements named "新建测量" (the second empty), ℃,
//                and the statistics sheet with a high limit of 21 ℃ on T1
//   kelvin.xlsx  the same in kelvin
//   split.xlsx   one measurement of 7 records at 3 records per sheet
//   report.pdf   500 records in ℉: T1 always 100 ℃, T2 always over range
//   note.pdf     no records and no chart; a note whose middle line of Chinese
//                and English words wraps over many rows
//   alarms.pdf   T1 above its high limit of 100 ℃ from 14:05:01 to 14:05:03
//                (at most 104 ℃), again from 14:05:05 to the end
//   report.csv   the first measurement of names.xlsx in ℉
//   archive.dat  the archive of names.xlsx, for the converter
//   group.dat    a recording "炉" made with instruments A and B (A without
//                a record at 14:05:03, B without one at 14:05:01), then a
//                measurement of its own, for the converter
//   logo.dat     a file that is not a data file
// Usage: export_samples OUTDIR
#include "export/fileexport.h"
#include "export/pdfreport.h"
#include "store/datafile.h"
#include "store/measurementgroups.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>

#include <cstdio>

namespace {

_T_EE_TEST_DATA record(const quint8 (&type)[4], const quint8 (&state)[4], const float (&value)[4],
                       int second)
{
    const _T_TIME time{24, 3, 5, 14, 5, quint8(second)};
    return makeStoredRecord(type, state, time, value);
}

Data_table_T namesArchive()
{
    Data_table_T archive = newArchive();
    Data_List_T first = newMeasurement({}, QStringLiteral("新建测量"));
    first.created = QDateTime(QDate(2024, 3, 5), QTime(14, 5, 9));
    first.records << record({0, 1, 2, 3}, {0, 0, 0, 0}, {25.3f, -10.5f, 100.0f, 1200.5f}, 9);
    first.records << record({4, 5, 6, 7}, {0, 0, 2, 0}, {20.0f, 21.0f, 0.0f, 23.0f}, 10);
    first.records << record({0, 0, 0, 9}, {1, 3, 0, 0}, {0.0f, 0.0f, 0.05f, -40.0f}, 11);
    archive.append(first);
    archive.append(newMeasurement({}, QStringLiteral("新建测量")));
    Data_List_T third = newMeasurement({}, QStringLiteral("新建测量"));
    third.records << record({0, 0, 0, 0}, {0, 0, 0, 0}, {1.0f, 2.0f, 3.0f, 4.0f}, 12);
    archive.append(third);
    return archive;
}

TableHeaderWords words()
{
    return {QStringLiteral("NO."), QStringLiteral("time"), QStringLiteral("Temperature"),
            QStringLiteral("Thermocouple")};
}

StatisticsTexts statisticsTexts()
{
    StatisticsTexts t;
    t.title = QStringLiteral("统计");
    t.header = QStringList{"测量", "通道",   "读数", "最低",         "最高",
                           "平均", "标准差", "MKT",  "高于上限(秒)", "低于下限(秒)"};
    t.spreadHeader = QStringList{"测量", "最大通道温差", "时间", "最高通道", "最低通道"};
    return t;
}

bool check(bool ok, const char *what, const QString &error)
{
    if (!ok)
        std::fprintf(stderr, "%s failed: %s\n", what, error.toUtf8().constData());
    return ok;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2)
        return 2;
    const QDir dir(QString::fromLocal8Bit(argv[1]));
    QString error;
    bool ok = true;

    const Data_table_T archive = namesArchive();
    StatisticsSheet statistics;
    statistics.texts = statisticsTexts();
    statistics.alarms = AlarmSettings();
    statistics.alarms->channels[0] = {true, 21.0f, false, 0.0f};
    ok &= check(writeWorkbook(archive, dir.filePath("names.xlsx"), 0, words(), &error,
                              kRecordsPerSheet, &statistics),
                "names.xlsx", error);
    ok &= check(writeWorkbook(archive, dir.filePath("kelvin.xlsx"), 2, words(), &error),
                "kelvin.xlsx", error);

    Data_table_T split = newArchive();
    Data_List_T seven = newMeasurement({}, QStringLiteral("A"));
    for (int i = 0; i < 7; ++i)
        seven.records << record({0, 0, 0, 0}, {0, 0, 0, 0}, {float(i), 0, 0, 0}, i);
    split.append(seven);
    ok &= check(writeWorkbook(split, dir.filePath("split.xlsx"), 0, words(), &error, 3),
                "split.xlsx", error);

    ok &= check(writeCsv(*archive.lists.first(), dir.filePath("report.csv"), 1, words(), &error),
                "report.csv", error);

    ReportContent report;
    report.measurement = newMeasurement({}, QStringLiteral("炉温测试"));
    report.measurement.created = QDateTime(QDate(2024, 3, 5), QTime(14, 5, 9));
    for (int i = 0; i < 500; ++i)
        report.measurement.records << record({0, 1, 2, 3}, {0, 2, quint8(i % 2 ? 0 : 1), 3},
                                             {100.0f, 0, 50.0f, 0}, i % 60);
    report.unit = 1;
    report.logo = QImage(150, 150, QImage::Format_ARGB32);
    report.logo.fill(Qt::darkCyan);
    report.chart = QImage(1000, 1000, QImage::Format_ARGB32);
    report.chart.fill(Qt::white);
    report.company = QStringLiteral("Acme Thermal");
    report.tester = QStringLiteral("Li Lei");
    report.note = QStringLiteral("first note line\nsecond note line\nthird note line");
    report.texts.title = QStringLiteral("KX740D测试文件");
    report.texts.user = QStringLiteral("使用者: ");
    report.texts.deviceName = QStringLiteral("设备名称: ");
    report.texts.createdLabel = QStringLiteral("文件创建时间");
    report.texts.fileNameLabel = QStringLiteral("文件名称");
    report.texts.countLabel = QStringLiteral("数据量");
    report.texts.note = QStringLiteral("备注");
    report.texts.table = {QStringLiteral("编号"), QStringLiteral("时间"), QStringLiteral("温度"),
                          QStringLiteral("热电偶")};
    report.texts.statistics = statisticsTexts();
    ok &= check(writePdfReport(report, dir.filePath("report.pdf"), &error), "report.pdf", error);

    ReportContent alarms = report;
    alarms.unit = 0;
    alarms.measurement.records.clear();
    const float t1[] = {99, 101, 104, 99.4f, 50, 120};
    for (int i = 0; i < 6; ++i)
        alarms.measurement.records << record({0, 0, 0, 0}, {0, 3, 3, 3}, {t1[i], 0, 0, 0}, i);
    alarms.alarms = AlarmSettings();
    alarms.alarms->channels[0] = {true, 100.0f, false, 0.0f};
    alarms.texts.alarms = QStringLiteral("告警");
    alarms.texts.alarmHeader =
        QStringList{QStringLiteral("通道"), QStringLiteral("告警"), QStringLiteral("开始"),
                    QStringLiteral("结束"), QStringLiteral("极值")};
    alarms.texts.alarmToEnd = QStringLiteral("至测量结束");
    ok &= check(writePdfReport(alarms, dir.filePath("alarms.pdf"), &error), "alarms.pdf", error);

    ReportContent note = report;
    note.measurement.records.clear();
    note.chart = QImage();
    QString longLine;
    for (int i = 1; i <= 12; ++i)
        longLine += QStringLiteral("第%1段炉温记录 thermocouple%1 oven reading ").arg(i);
    note.note = QStringLiteral("短行\n") + longLine + QStringLiteral("END\nlast line");
    ok &= check(writePdfReport(note, dir.filePath("note.pdf"), &error), "note.pdf", error);

    QFile dat(dir.filePath("archive.dat"));
    ok &= dat.open(QIODevice::WriteOnly) && dat.write(dataFileToBytes(archive)) > 0;
    dat.close();
    Data_table_T group = newArchive();
    const QDateTime start(QDate(2024, 3, 5), QTime(14, 5, 0));
    for (const QString &label : {QStringLiteral("A"), QStringLiteral("B")}) {
        Data_List_T m = newMeasurement({}, instrumentMeasurementName(QStringLiteral("炉"), label));
        m.created = start;
        const bool a = label == QLatin1String("A");
        for (int second = 0; second < 4; ++second) {
            if (second == (a ? 3 : 1))
                continue;
            const float base = a ? 100.0f : 200.0f;
            m.records << record({0, 0, 0, 0}, {0, 0, 0, 0},
                                {base + second, base + 10, base + 20, base + 30}, second);
        }
        group.append(m);
    }
    group.append(newMeasurement({}, QStringLiteral("单独")));
    QFile groupDat(dir.filePath("group.dat"));
    ok &= groupDat.open(QIODevice::WriteOnly) && groupDat.write(dataFileToBytes(group)) > 0;
    groupDat.close();

    QFile notData(dir.filePath("logo.dat"));
    ok &= notData.open(QIODevice::WriteOnly) &&
          notData.write("\x89PNG\r\n\x1a\n not a data file") > 0;
    return ok ? 0 : 1;
}
