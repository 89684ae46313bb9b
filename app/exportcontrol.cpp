// Exports of the archive and the current measurement: workbook, PDF report
// and CSV text, each written by its own DataOutput worker.

#include "app/exportcontrol.h"

#include "app/alarmcontrol.h"
#include "app/desktopopener.h"
#include "app/logging.h"
#include "app/systempage.h"
#include "app/userdialogs.h"
#include "chart/chartplot.h"
#include "export/dataoutput.h"
#include "ui_mainwindow.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QPointer>

namespace {

QString exportTimeStamp()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy_MM_dd hh_mm_ss_zzz"));
}

} // namespace

ExportControl::ExportControl(WindowContext &context) : PageController(context)
{
}

QString ExportControl::automaticExportName(const QString &extension) const
{
    // Joined as a path: the data folder may be set with or without a final "/".
    return QDir(m_settings.dataDir).filePath(exportTimeStamp() + extension);
}

// The worker reports on its thread; the report arrives here queued, on the
// main thread, where the file is opened or the failure shown.
void ExportControl::startExport(DataOutput *worker)
{
    connect(worker, &DataOutput::exportFinished, this, &ExportControl::exportFinished);
    worker->start();
}

void ExportControl::exportFinished(bool ok, const QString &fileName, const QString &error)
{
    if (!ok) {
        qCDebug(lcApp) << "export failed" << fileName << error;
        m_ctx.tellNotWritten(error);
        return;
    }
    if (m_announcedExports.removeOne(fileName))
        UserDialogs::information(nullptr, tr("导出完成"),
                                 tr("文件已保存到：\n%1").arg(QDir::toNativeSeparators(fileName)),
                                 m_okText);
    m_ctx.openWithDesktop(fileName);
}

void ExportControl::exportWorkbook(const QString &fileName)
{
    QDir().mkpath(m_settings.dataDir);
    const QString name =
        fileName.isEmpty() ? automaticExportName(QStringLiteral(".xlsx")) : fileName;
    if (fileName.isEmpty())
        m_announcedExports << name;
    auto *worker = new DataOutput(this);
    worker->exportXls_input_data(archive(), name, m_unit);
    worker->setAlarmLimits(m_ctx.system->alarms()->rules());
    startExport(worker);
}

void ExportControl::exportReport(const QString &fileName)
{
    if (!currentMeasurement())
        return;
    QDir().mkpath(m_settings.dataDir);
    const QString name =
        fileName.isEmpty() ? automaticExportName(QStringLiteral(".pdf")) : fileName;
    if (fileName.isEmpty())
        m_announcedExports << name;
    // Widgets are painted on the main thread only, so the chart picture is
    // taken here; the worker gets an image.
    const QImage chart = reportChart();
    auto *worker = new DataOutput(this);
    worker->exportpdf_input_data(currentSource(), name, m_unit, m_settings.logo, chart,
                                 m_settings.companyName, m_settings.testerName,
                                 ui->textEdit->toPlainText());
    const auto &colors = m_settings.channelColor;
    worker->setColor(colors[0], colors[1], colors[2], colors[3]);
    worker->setAlarmLimits(m_ctx.system->alarms()->rules());
    startExport(worker);
}

// Drawn from the measurement with the settings' look, as kx740d-export draws
// it: what the window's chart shows now (the narrow table tab, a zoom, hidden
// channels, a live recording) does not change the report.
QImage ExportControl::reportChart() const
{
    if (!currentMeasurement())
        return QImage();
    const ExportSource source = currentSource();
    const QFont font(QStringLiteral("Consolas"));
    if (source.isGroup())
        return groupChartImage(source.measurements, source.labels, m_unit, chartLook(m_settings),
                               font);
    return recordsChartImage(currentMeasurement()->records, m_unit, chartLook(m_settings), font);
}

// A measurement recorded with several instruments at once is reported with
// the others of its group.
ExportSource ExportControl::currentSource() const
{
    const int index = m_ctx.document.currentIndex();
    return index < 0 ? singleSource(*currentMeasurement()) : exportSource(archive(), index);
}

void ExportControl::exportCsv(const QString &fileName)
{
    if (!currentMeasurement())
        return;
    QDir().mkpath(m_settings.dataDir);
    auto *worker = new DataOutput(this);
    worker->exportCsv_input_data(*currentMeasurement(), fileName, m_unit);
    startExport(worker);
}

void ExportControl::exportDialog()
{
    if (archive().lists.isEmpty())
        return;
    const QString xlsx = QStringLiteral("(*.xlsx)");
    const QString pdf = QStringLiteral("(*.pdf)");
    const QString csv = QStringLiteral("(*.csv)");
    const QString space = QStringLiteral(" ");
    QString filter;
    const QString name = m_ctx.chooseSaveFile(
        tr("保存数据到文件"), QDir(m_ctx.fileDialogFolder()).filePath(exportTimeStamp()),
        tr("Excel 工作簿") + space + xlsx + QStringLiteral(";;") + tr("PDF 报告") + space + pdf +
            QStringLiteral(";;") + tr("CSV 文本") + space + csv,
        &filter);
    if (name.isEmpty())
        return;
    // Without a selected filter (some dialogs report none) the name's
    // extension decides.
    if (filter.isEmpty())
        filter = QStringLiteral("(*.") + QFileInfo(name).suffix().toLower() + QLatin1Char(')');
    if (filter.contains(xlsx))
        exportWorkbook(name);
    else if (filter.contains(pdf))
        exportReport(name);
    else if (filter.contains(csv))
        exportCsv(name);
}
