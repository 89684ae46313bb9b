#include "export/dataoutput.h"

#include "export/fileexport.h"
#include "export/logging.h"
#include "store/csvtext.h"

#include <QDebug>
#include <QMutexLocker>

DataOutput::DataOutput(QObject *parent) : QThread(parent)
{
    qCDebug(lcExport) << "export worker created";
}

DataOutput::~DataOutput()
{
    // The deletion is scheduled from run(), which may still be returning.
    wait();
    qCDebug(lcExport) << "export worker destroyed";
}

int DataOutput::exportMode() const
{
    QMutexLocker lock(&m_mutex);
    return m_exportMode;
}

QString DataOutput::errorString() const
{
    QMutexLocker lock(&m_mutex);
    return m_error;
}

void DataOutput::setError(const QString &error)
{
    QMutexLocker lock(&m_mutex);
    m_error = error;
}

TableHeaderWords DataOutput::workbookWords()
{
    return exportColumnWords();
}

TableHeaderWords DataOutput::tableWords()
{
    TableHeaderWords w;
    w.number = tr("编号");
    w.time = tr("时间");
    w.temperature = tr("温度");
    w.thermocouple = tr("热电偶");
    return w;
}

ReportTexts DataOutput::reportTexts()
{
    ReportTexts t;
    t.title = tr("KX740D测试文件");
    t.user = tr("使用者: ");
    t.deviceName = tr("设备名称: ");
    t.createdLabel = tr("文件创建时间");
    t.fileNameLabel = tr("文件名称");
    t.countLabel = tr("数据量");
    t.note = tr("备注");
    t.table = tableWords();
    t.alarms = tr("告警记录");
    t.alarmHeader = QStringList{tr("通道"), tr("告警"), tr("开始"), tr("结束"), tr("极值")};
    t.alarmToEnd = tr("至测量结束");
    t.noAlarms = tr("测量期间没有告警。");
    t.statistics = statisticsTexts();
    return t;
}

StatisticsTexts DataOutput::statisticsTexts()
{
    StatisticsTexts t;
    t.title = tr("统计");
    t.header = QStringList{
        tr("测量"), tr("通道"),   tr("读数"),           tr("最低"),         tr("最高"),
        tr("平均"), tr("标准差"), tr("平均动力学温度"), tr("高于上限(秒)"), tr("低于下限(秒)")};
    t.spreadHeader =
        QStringList{tr("测量"), tr("最大通道温差"), tr("时间"), tr("最高通道"), tr("最低通道")};
    return t;
}

void DataOutput::exportXls_input_data(const Data_table_T &data_table_list, const QString &fileName,
                                      unit_type type)
{
    QMutexLocker lock(&m_mutex);
    m_archive = data_table_list;
    m_fileName = fileName;
    m_unit = type;
    m_exportMode = ModeWorkbook;
}

void DataOutput::exportXls_input_data(const Data_table_T &data_table_list, const QString &fileName)
{
    exportXls_input_data(data_table_list, fileName, 0);
}

void DataOutput::exportpdf_input_data(const Data_List_T &test_data, const QString &fileName,
                                      unit_type type, const QImage &pdflogo, const QImage &chart,
                                      const QString &compny_name, const QString &tester_name,
                                      const QString &noteText)
{
    exportpdf_input_data(singleSource(test_data), fileName, type, pdflogo, chart, compny_name,
                         tester_name, noteText);
}

void DataOutput::exportpdf_input_data(const ExportSource &source, const QString &fileName,
                                      unit_type type, const QImage &pdflogo, const QImage &chart,
                                      const QString &compny_name, const QString &tester_name,
                                      const QString &noteText)
{
    QMutexLocker lock(&m_mutex);
    m_source = source;
    m_fileName = fileName;
    m_unit = type;
    m_logo = pdflogo;
    m_chart = chart;
    m_company = compny_name;
    m_tester = tester_name;
    m_note = noteText;
    m_exportMode = ModePdf;
}

void DataOutput::exportCsv_input_data(const Data_List_T &test_data, const QString &fileName,
                                      unit_type type)
{
    QMutexLocker lock(&m_mutex);
    m_measurement = test_data;
    m_fileName = fileName;
    m_unit = type;
    m_exportMode = ModeCsv;
}

void DataOutput::setColor(const QColor &T1_color, const QColor &T2_color, const QColor &T3_color,
                          const QColor &T4_color)
{
    QMutexLocker lock(&m_mutex);
    m_colors[0] = T1_color;
    m_colors[1] = T2_color;
    m_colors[2] = T3_color;
    m_colors[3] = T4_color;
}

void DataOutput::setAlarmLimits(const AlarmSettings &alarms)
{
    QMutexLocker lock(&m_mutex);
    m_alarms = alarms;
}

bool DataOutput::exportXls(const Data_table_T &data_table_list, const QString &fileName,
                           unit_type type)
{
    return exportXls(exportSources(data_table_list), fileName, type);
}

bool DataOutput::exportXls(const QVector<ExportSource> &sources, const QString &fileName,
                           unit_type type)
{
    qCDebug(lcExport) << "workbook export";
    StatisticsSheet statistics;
    statistics.texts = statisticsTexts();
    {
        QMutexLocker lock(&m_mutex);
        statistics.alarms = m_alarms;
    }
    QString error;
    const bool ok = writeWorkbook(sources, fileName, type, workbookWords(), &error,
                                  kRecordsPerSheet, &statistics);
    setError(error);
    return ok;
}

bool DataOutput::exportXls(const Data_table_T &data_table_list, const QString &fileName)
{
    return exportXls(data_table_list, fileName, 0);
}

bool DataOutput::exportPdf(const Data_List_T &test_data, const QString &fileName, unit_type unit,
                           const QImage &pdflogo, const QImage &chart, const QString &compny_name,
                           const QString &tester_name, const QString &noteText,
                           const QColor &T1_color, const QColor &T2_color, const QColor &T3_color,
                           const QColor &T4_color)
{
    return exportPdf(singleSource(test_data), fileName, unit, pdflogo, chart, compny_name,
                     tester_name, noteText, T1_color, T2_color, T3_color, T4_color);
}

bool DataOutput::exportPdf(const ExportSource &source, const QString &fileName, unit_type unit,
                           const QImage &pdflogo, const QImage &chart, const QString &compny_name,
                           const QString &tester_name, const QString &noteText,
                           const QColor &T1_color, const QColor &T2_color, const QColor &T3_color,
                           const QColor &T4_color)
{
    ReportContent content;
    if (source.isGroup())
        content.group = source;
    else if (!source.measurements.isEmpty())
        content.measurement = source.measurements.first();
    content.unit = unit;
    content.logo = pdflogo;
    content.chart = chart;
    content.company = compny_name;
    content.tester = tester_name;
    content.note = noteText;
    content.colors = {{T1_color, T2_color, T3_color, T4_color}};
    content.texts = reportTexts();
    {
        QMutexLocker lock(&m_mutex);
        content.alarms = m_alarms;
    }
    QString error;
    const bool ok = writePdfReport(content, fileName, &error);
    setError(error);
    return ok;
}

bool DataOutput::exportCsv(const Data_List_T &test_data, const QString &fileName, unit_type unit)
{
    QString error;
    const bool ok = writeCsv(test_data, fileName, unit, workbookWords(), &error);
    setError(error);
    return ok;
}

void DataOutput::run()
{
    // The inputs are taken out under the mutex; the writing runs without it.
    m_mutex.lock();
    const int mode = m_exportMode;
    const QString fileName = m_fileName;
    const unit_type unit = m_unit;
    m_mutex.unlock();

    bool ok = false;
    switch (mode) {
    case ModeWorkbook: {
        QMutexLocker lock(&m_mutex);
        const Data_table_T archive = m_archive;
        lock.unlock();
        ok = exportXls(archive, fileName, unit);
        break;
    }
    case ModePdf: {
        QMutexLocker lock(&m_mutex);
        const ExportSource source = m_source;
        const QImage logo = m_logo;
        const QImage chart = m_chart;
        const QString company = m_company;
        const QString tester = m_tester;
        const QString note = m_note;
        const QColor c1 = m_colors[0], c2 = m_colors[1], c3 = m_colors[2], c4 = m_colors[3];
        lock.unlock();
        ok = exportPdf(source, fileName, unit, logo, chart, company, tester, note, c1, c2, c3, c4);
        break;
    }
    case ModeCsv: {
        QMutexLocker lock(&m_mutex);
        const Data_List_T measurement = m_measurement;
        lock.unlock();
        ok = exportCsv(measurement, fileName, unit);
        break;
    }
    default:
        qCDebug(lcExport) << "export started without data";
        break;
    }
    if (!ok && mode != ModeNone)
        qCDebug(lcExport) << "export failed:" << fileName << errorString();
    emit exportFinished(ok, fileName, errorString());
    qCDebug(lcExport) << "export finished";
    deleteLater();
}
