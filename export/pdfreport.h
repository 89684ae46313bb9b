#pragma once

#include "alarm/alarmrules.h"
#include "export/exportsource.h"
#include "export/statisticstable.h"
#include "store/data_list_t.h"
#include "store/tablerows.h"

#include <QColor>
#include <QImage>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// The translated texts the report prints.
struct ReportTexts
{
    QString title;           // "KX740D测试文件", also the document title
    QString user;            // "使用者: "
    QString deviceName;      // "设备名称: "
    QString createdLabel;    // "文件创建时间"
    QString fileNameLabel;   // "文件名称"
    QString countLabel;      // "数据量"
    QString note;            // "备注"
    TableHeaderWords table;  // "编号", "时间", "温度", "热电偶"
    QString alarms;          // "告警记录"
    QStringList alarmHeader; // "通道", "告警", "开始", "结束", "极值"
    QString alarmToEnd;      // "至测量结束": an episode that lasted to the end
    QString noAlarms;        // "测量期间没有告警。"
    StatisticsTexts statistics;
};

// Everything one report shows, copied before the writing starts.
struct ReportContent
{
    Data_List_T measurement;
    // A group of several instruments (exportsource.h): when set, the report
    // shows it instead of `measurement`, all its channels named "<label> T1",
    // the title lines with the recording's name and the count of table rows.
    ExportSource group;
    int unit = 0;
    QImage logo;  // null: no logo
    QImage chart; // null: no chart picture
    QString company;
    QString tester;
    QString note;
    std::array<QColor, 4> colors{{Qt::darkRed, Qt::darkGreen, Qt::darkBlue, Qt::darkMagenta}};
    // The limits in use: the report lists the measurement's alarm episodes
    // (alarmEpisodes) on a page of their own before the records, or says
    // there were none when a limit is switched on. None: no such page.
    std::optional<AlarmSettings> alarms;
    ReportTexts texts;
};

// Maximum, minimum and average texts of each channel over its readings with
// a value, in `unit` with the unit suffix (" ℃", " ℉", " K"), e.g.
// "25.3 ℃"; "---" for all three when a channel has none. [channel][0 max,
// 1 min, 2 average].
std::array<QStringList, 4> reportStatistics(const QVector<_T_EE_TEST_DATA> &records, int unit);

// Writes the report: A4 at 300 dpi, 30-point margins, the first page with
// title, logo, names, file lines, statistics, legend, chart and note, for
// a measurement with records the statistics table of statisticstable.h
// (limits from ReportContent::alarms) on a page of its own, the alarm
// episodes from a new page (see ReportContent::alarms), then the
// record table from a new page. Pages are handed to the file as they are
// finished, so memory does not grow with the number of records. Returns
// false with a reason in `error` when the file cannot be written.
bool writePdfReport(const ReportContent &content, const QString &fileName, QString *error);
