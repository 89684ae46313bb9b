#pragma once

#include "app/windowcontext.h"
#include "export/exportsource.h"

#include <QImage>
#include <QStringList>

class DataOutput;

// Exports of the archive and the current measurement: workbook, PDF report
// and CSV text, each written by its own DataOutput worker. An empty name is
// replaced by the data folder + the time + the extension. The file is opened
// with the desktop's application when written; a failure is shown instead.
class ExportControl : public PageController
{
    Q_OBJECT

public:
    explicit ExportControl(WindowContext &context);

    void exportWorkbook(const QString &fileName = QString());
    void exportReport(const QString &fileName = QString());
    void exportCsv(const QString &fileName);
    // The save dialog of the export button.
    void exportDialog();
    // The chart picture of the current measurement's report (null without
    // one), of its whole group when it has one: the same in every report the
    // window and kx740d-export write.
    QImage reportChart() const;

private:
    // The current measurement, or its group; needs a current measurement.
    ExportSource currentSource() const;
    QString automaticExportName(const QString &extension) const;
    void startExport(DataOutput *worker);
    void exportFinished(bool ok, const QString &fileName, const QString &error);

    // Exports with automatic names, whose place is told when they are written.
    QStringList m_announcedExports;
};
