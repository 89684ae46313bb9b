#pragma once

#include "export/exportsource.h"
#include "export/pdfreport.h"
#include "export/statisticstable.h"
#include "store/data_list_t.h"
#include "store/data_table_t.h"

#include <QColor>
#include <QImage>
#include <QMutex>
#include <QString>
#include <QThread>

// Temperature unit of an export: 0 Celsius, 1 Fahrenheit, 2 Kelvin (others
// are treated as Celsius), the same type the dashboard uses.
using unit_type = int;

// The worker of one export. The main thread hands it copies of the data
// through an input slot and starts it; run() writes the file on the worker
// thread, reports the result through exportFinished and schedules the
// worker's deletion. Several workers may run at once, each on its own data.
// The export functions can also be called directly (the command-line
// converter does so).
class DataOutput : public QThread
{
    Q_OBJECT

public:
    explicit DataOutput(QObject *parent = nullptr);
    ~DataOutput() override;

    // What run() does: nothing, a workbook, a PDF report or a CSV file.
    enum Mode
    {
        ModeNone = 0,
        ModeWorkbook = 1,
        ModePdf = 2,
        ModeCsv = 3,
    };
    int exportMode() const;

    // Why the last export of this worker failed.
    QString errorString() const;

    // The translated column and report texts; workbookWords() are those of
    // exportColumnWords() (store/csvtext.h), shared with the recorder.
    static TableHeaderWords workbookWords();
    static TableHeaderWords tableWords();
    static ReportTexts reportTexts();
    static StatisticsTexts statisticsTexts();

public slots:
    void exportXls_input_data(const Data_table_T &data_table_list, const QString &fileName,
                              unit_type type);
    void exportXls_input_data(const Data_table_T &data_table_list, const QString &fileName);
    void exportpdf_input_data(const Data_List_T &test_data, const QString &fileName, unit_type type,
                              const QImage &pdflogo, const QImage &chart,
                              const QString &compny_name, const QString &tester_name,
                              const QString &noteText);
    // The report of a measurement or a group (exportsource.h).
    void exportpdf_input_data(const ExportSource &source, const QString &fileName, unit_type type,
                              const QImage &pdflogo, const QImage &chart,
                              const QString &compny_name, const QString &tester_name,
                              const QString &noteText);
    void exportCsv_input_data(const Data_List_T &test_data, const QString &fileName,
                              unit_type type);

    bool exportXls(const Data_table_T &data_table_list, const QString &fileName, unit_type type);
    bool exportXls(const Data_table_T &data_table_list, const QString &fileName);
    // Measurements and groups (exportsource.h), one sheet (or more) each.
    bool exportXls(const QVector<ExportSource> &sources, const QString &fileName, unit_type type);
    bool exportPdf(const Data_List_T &test_data, const QString &fileName, unit_type unit,
                   const QImage &pdflogo, const QImage &chart, const QString &compny_name,
                   const QString &tester_name, const QString &noteText, const QColor &T1_color,
                   const QColor &T2_color, const QColor &T3_color, const QColor &T4_color);
    bool exportPdf(const ExportSource &source, const QString &fileName, unit_type unit,
                   const QImage &pdflogo, const QImage &chart, const QString &compny_name,
                   const QString &tester_name, const QString &noteText, const QColor &T1_color,
                   const QColor &T2_color, const QColor &T3_color, const QColor &T4_color);
    bool exportCsv(const Data_List_T &test_data, const QString &fileName, unit_type unit);

    void setColor(const QColor &T1_color, const QColor &T2_color, const QColor &T3_color,
                  const QColor &T4_color);
    // The limits in use, for the alarm episodes of a report and the times
    // above and below them in the statistics; none by default.
    void setAlarmLimits(const AlarmSettings &alarms);

signals:
    // Emitted on the worker thread at the end of run(); `ok` false means the
    // file could not be written (`error` says why) or there was nothing to do.
    void exportFinished(bool ok, const QString &fileName, const QString &error);

protected:
    void run() override;

private:
    void setError(const QString &error);

    mutable QMutex m_mutex;
    Data_table_T m_archive;
    Data_List_T m_measurement;
    ExportSource m_source; // of a report
    QImage m_chart;
    QImage m_logo;
    QString m_company;
    QString m_tester;
    QString m_note;
    QString m_fileName;
    unit_type m_unit = 0;
    int m_exportMode = ModeNone;
    QColor m_colors[4] = {Qt::darkRed, Qt::darkGreen, Qt::darkBlue, Qt::darkMagenta};
    std::optional<AlarmSettings> m_alarms;
    QString m_error;
};
