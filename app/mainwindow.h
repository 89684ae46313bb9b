#pragma once

#include "app/windowcontext.h"
#include "link/portwatcher.h"
#include "widgets/titlebardrag.h"

#include <QMainWindow>

class AlarmControl;
class AlarmStrip;
class ArchivePage;
class BubbleTips;
class ChartPage;
class ChartPlot;
class ExportControl;
class FormSetting;
class FramelessResizer;
class InstrumentConnection;
class InstrumentPage;
class MqttControl;
class QTimer;
class RecordingPage;
class SerialHandle;
class SystemPage;
class TablePage;

// The program's only top-level window. It assembles the page controllers,
// which own the widgets' slots and share the instrument, the archive and the
// recording through the window context; the window itself routes the title
// bar and the page switches and decides what closing means. Frameless: its
// own title bar moves it (drag) and maximises it (double click), its borders
// resize it.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // The generated form, for tests that look up controls by their form names.
    Ui::MainWindow *form() const { return ui; }
    InstrumentPage *instrumentPage() const { return m_ctx->instrument; }
    RecordingPage *recordingPage() const { return m_ctx->recording; }
    ArchivePage *archivePage() const { return m_ctx->archive; }
    TablePage *tablePage() const { return m_ctx->table; }
    ChartPage *chartPage() const { return m_ctx->chart; }
    SystemPage *systemPage() const { return m_ctx->system; }
    ExportControl *exports() const { return m_ctx->exports; }

    FormSetting *settingsWindow() const { return m_ctx->settingsWindow; }
    MqttControl *mqtt() const;
    AlarmControl *alarms() const;
    AlarmStrip *alarmStrip() const { return m_alarmStrip; }
    SerialHandle *serialHandle() const { return m_ctx->serial; }
    DevKX740D &device() { return m_ctx->device; }
    // Every instrument of the window, the first being device()'s.
    const QList<InstrumentConnection *> &instruments() const { return m_ctx->connections; }
    Bash *dashboard() const { return m_ctx->dashboard; }
    const AppSettings &settings() const { return m_ctx->settings; }
    const ChartPlot &chart() const;

    // Unit in which temperatures are shown (0 Celsius, 1 Fahrenheit, 2 Kelvin;
    // other values are shown as Celsius).
    unit_type shownUnit() const { return m_ctx->unit; }
    // Makes `unit` the shown unit and redraws everything that shows a
    // temperature; nothing happens when it is the shown unit already.
    void applyUnit(unit_type unit);

    // The archive the window shows: every measurement of the session, and
    // the one the table and chart show and a recording is added to (null
    // when none is chosen), with the undo history of its edits.
    Document &document() { return *m_document; }
    const Data_table_T &archive() const { return m_document->archive(); }
    Data_List_T *currentMeasurement() const { return m_document->current(); }
    // The tree makes its chosen measurement current; `measurement` belongs
    // to the archive or is null.
    void setCurrentMeasurement(Data_List_T *measurement)
    {
        m_document->setCurrentIndex(m_document->indexOf(measurement));
    }
    // Unsaved changes in the archive; asked about when the window closes.
    // While there are any, the archive is also kept on disk beside the
    // backup (unsavedArchiveFile), so a crash loses none of it.
    bool isModified() const { return m_document->isModified(); }

    // Where the port list comes from. By default the attached instrument ports
    // followed by the ports named with --port; tests install their own list.
    // Takes effect for windows created afterwards.
    static void setPortSource(PortWatcher::Source source);
    // How often the port list is compared with the system's (device changes).
    static constexpr int kPortScanIntervalMs = 1500;
    // See WindowContext::setModalRunner.
    static void setModalRunner(WindowContext::ModalRunner runner)
    {
        WindowContext::setModalRunner(std::move(runner));
    }

public slots:
    // The status timer's second: the live view while recording.
    void handleTimeOut();
    void on_pb_dev_info_clicked();
    void on_pb_bash_clicked();
    void on_pb_win_max_clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    Ui::MainWindow *ui;
    Document *m_document = nullptr;
    WindowContext *m_ctx = nullptr;
    AlarmStrip *m_alarmStrip = nullptr;
    FramelessResizer *m_resizer = nullptr;
    QTimer *m_statusTimer = nullptr;
    TitleBarDrag m_titleDrag;
};
