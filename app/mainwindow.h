#pragma once

#include "chart/chartplot.h"
#include "document/document.h"
#include "instrument/devkx740d.h"
#include "link/portdiscovery.h"
#include "link/portwatcher.h"
#include "measurement/transferguard.h"
#include "settings/settingsfile.h"
#include "store/backupslot.h"
#include "store/recordclipboard.h"
#include "store/recordingoutput.h"
#include "store/tablerows.h"
#include "widgets/dashboardrules.h"
#include "widgets/titlebardrag.h"

#include <QMainWindow>
#include <QString>

#include <functional>
#include <memory>

namespace Ui {
class MainWindow;
}
class AlarmControl;
class AlarmStrip;
class Bash;
class BubbleTips;
class FormSetting;
class FramelessResizer;
class MqttControl;
class QAction;
class QButtonGroup;
class QMenu;
class QDialog;
class QLabel;
class QTreeWidgetItem;
class SerialHandle;
class QTimer;
class DataOutput;
class RecordingSession;
class RecordingStore;

// The program's only top-level window and the hub that owns every long-lived
// object. Frameless: its own title bar moves it (drag) and maximises it
// (double click), its borders resize it.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // The generated form, for tests that look up controls by their form names.
    Ui::MainWindow *form() const { return ui; }
    FormSetting *settingsWindow() const { return m_formSetting; }
    MqttControl *mqtt() const { return m_mqtt.get(); }
    AlarmControl *alarms() const { return m_alarms.get(); }
    AlarmStrip *alarmStrip() const { return m_alarmStrip; }
    SerialHandle *serialHandle() const { return m_serialHandle; }
    DevKX740D &device() { return m_device; }
    Bash *dashboard() const { return m_bash; }
    const AppSettings &settings() const { return m_settings; }
    const ChartPlot &chart() const { return m_chart; }
    BubbleTips *chartTip() const { return m_bubbleTips; }
    bool referenceLineOn() const { return m_tracerEnabled; }

    // The data table's context menu for the present selection and record
    // clipboard; each entry's data is its operation (1 copy, 2 insert above,
    // 3 insert below, 4 cut, 5 delete). The caller owns the menu.
    QMenu *createTableMenu();
    // Narrow layout of the table beside the chart, or the full one; shows
    // the current measurement again.
    void setCompactTable(bool compact);
    // After the current measurement changed: pages counted again and the
    // newest page shown.
    void tableMeasurementChanged();
    int tablePageCount() const { return m_pageCount; }
    int tableCurrentPage() const { return m_currentPage; }
    const QVector<_T_EE_TEST_DATA> &recordClipboard() const { return m_recordClipboard; }

    // Exports, each on its own worker: the whole archive as a workbook, the
    // current measurement as a PDF report or CSV text. An empty name is
    // replaced by dataDir + the time + the extension. The file is opened with
    // the desktop's application when written; a failure is shown instead.
    void exportWorkbook(const QString &fileName = QString());
    void exportReport(const QString &fileName = QString());
    void exportCsv(const QString &fileName);
    // The chart picture of the current measurement's report (null without
    // one): the same in every report the window and kx740d-export write.
    QImage reportChart() const;

    // Unit in which temperatures are shown (0 Celsius, 1 Fahrenheit, 2 Kelvin;
    // other values are shown as Celsius).
    unit_type shownUnit() const { return m_unit; }
    // Makes `unit` the shown unit and redraws everything that shows a
    // temperature; nothing happens when it is the shown unit already.
    void applyUnit(unit_type unit);
    // Ranges and values of the limit and offset boxes in the shown unit.
    void updateLimitAndOffsetBoxes();

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

    // Opens the archive in data file `path` in place of the present one
    // (asking whether to save that first); a file that cannot be read or is
    // no data file is reported and changes nothing.
    void openArchive(const QString &path);

    // Unsaved changes in the archive; asked about when the window closes.
    // While there are any, the archive is also kept on disk beside the
    // backup (unsavedArchiveFile), so a crash loses none of it.
    bool isModified() const { return m_document->isModified(); }
    // How long after a change the archive is kept on disk at the latest.
    static constexpr int kUnsavedArchiveDelayMs = 1000;

    // Where the port list comes from. By default the attached instrument ports
    // followed by the ports named with --port; tests install their own list.
    // Takes effect for windows created afterwards.
    static void setPortSource(PortWatcher::Source source);
    // How often the port list is compared with the system's (device changes).
    static constexpr int kPortScanIntervalMs = 1500;

    // Runs a modal dialog of the window (rename, download and erase waits)
    // and returns its result. By default QDialog::exec(); tests install one
    // that answers without blocking. An empty runner restores the default.
    using ModalRunner = std::function<int(QDialog &)>;
    static void setModalRunner(ModalRunner runner);

public slots:
    void handleTimeOut();
    void updateCOMInfo(int arg);
    void handelMenuButtonGroup(int id);
    void sys_setting_close();

    void on_pb_dev_info_clicked();
    void on_pb_bash_clicked();
    void on_pb_win_max_clicked();
    void on_pb_sys_setting_clicked();
    void on_pb_debug_clicked();

    void on_comboBox_lang_currentIndexChanged(int index);
    void on_lineEdit_conp_name_editingFinished();
    void on_lineEdit_teser_name_editingFinished();
    void on_pb_seclet_logo_clicked();
    void on_pb_autobackup_enable_clicked(bool checked);
    void on_pb_open_user_datasheet_clicked();
    void on_pushButton_15_clicked();

    void on_pb_connect_clicked();
    // Selects the first port of the list and presses the connect button.
    void connectToFirstPort();
    void on_comboBox_T1_currentIndexChanged(int index);
    void on_comboBox_T2_currentIndexChanged(int index);
    void on_comboBox_T3_currentIndexChanged(int index);
    void on_comboBox_T4_currentIndexChanged(int index);
    void on_comboBox_unit_currentIndexChanged(int index);
    void on_comboBox_freq_currentIndexChanged(int index);
    void on_pb_auto_pwr_onoff_clicked();
    void on_pb_reset_clicked();

    // Recording.
    void on_pb_start_clicked(bool checked);
    void on_pb_hold_clicked();
    void handelIntervalSetting();
    void handleRunningTimechange();
    void on_pb_continue_enable_clicked(bool checked);
    void on_doubleSpinBox_hi_limit_T1_editingFinished();
    void on_doubleSpinBox_hi_limit_T2_editingFinished();
    void on_doubleSpinBox_hi_limit_T3_editingFinished();
    void on_doubleSpinBox_hi_limit_T4_editingFinished();
    void on_doubleSpinBox_low_limit_T1_editingFinished();
    void on_doubleSpinBox_low_limit_T2_editingFinished();
    void on_doubleSpinBox_low_limit_T3_editingFinished();
    void on_doubleSpinBox_low_limit_T4_editingFinished();
    void on_pb_limit_enable_T1_clicked(bool checked);
    void on_pb_limit_enable_T2_clicked(bool checked);
    void on_pb_limit_enable_T3_clicked(bool checked);
    void on_pb_limit_enable_T4_clicked(bool checked);
    void on_doubleSpinBox_offset_1_editingFinished();
    void on_doubleSpinBox_offset_2_editingFinished();
    void on_doubleSpinBox_offset_3_editingFinished();
    void on_doubleSpinBox_offset_4_editingFinished();

    // The instrument driver's reports.
    void live_data(_T_PRINT_OUT_DATA s);
    void max_min_avg_info(QList<QList<QString>> info_sss);
    void ctrl_setting(_T_CTRL_CONFIG ctrl_code);
    void ch_setting(_T_CH_CONFIG ch_code);
    void deviceInfo(QString dev_name, QString fw_ver);
    void flash_used_num_update(int mun);
    void progressBar_range_update(int max, int now);
    void trans_end();
    void continueTime(uint64_t cnt);

    // The difference-mode, measuring-mode and Bluetooth groups.
    void handelButtonGroup(int id);

    // The data table.
    void on_horizontalScrollBar_rangeChanged(int min, int max);
    void on_horizontalScrollBar_valueChanged(int value);
    void on_tableWidget_customContextMenuRequested(const QPoint &pos);
    void handleTableviewMenuClicked(QAction *action);
    // Puts the selected cells' texts on the system clipboard.
    void copy();

    // Data files, the measurement tree and the instrument's stored records.
    void on_pb_new_file_clicked();
    void on_pb_open_file_clicked();
    void on_pb_save_file_clicked();
    void on_pb_save_file_as_clicked();
    void on_pb_read_flash_clicked();
    void on_pb_erase_flash_clicked();
    void on_treeWidget_currentItemChanged(QTreeWidgetItem *current, QTreeWidgetItem *previous);
    void on_treeWidget_customContextMenuRequested(const QPoint &pos);
    void on_treeWidget_itemDoubleClicked(QTreeWidgetItem *item, int column);
    void handleTreeviewMenuClicked();

    // The chart: graph `data_ch` from live readings or stored records.
    void kx740DAddPlot(QList<RecordedReading> data_table, uint8_t data_ch = 0);
    void GraPhAddPlot(QVector<_T_EE_TEST_DATA> data_table, uint8_t data_ch = 0);
    void on_pb_T1_clicked();
    void on_pb_T2_clicked();
    void on_pb_T3_clicked();
    void on_pb_T4_clicked();
    void on_pb_T1_color_clicked();
    void on_pb_T2_color_clicked();
    void on_pb_T3_color_clicked();
    void on_pb_T4_color_clicked();
    void on_spinBox_line_style_valueChanged(int arg1);
    void on_spinBox_ScatterShape_valueChanged(int arg1);
    void on_checkBox_xasix_stateChanged(int arg1);
    void on_checkBox_yasix_stateChanged(int arg1);
    void on_checkBox_legend_stateChanged(int arg1);
    void on_pb_graph_clicked();
    void on_pb_switch_clicked();
    void on_pb_switch_2_clicked();
    void on_tabWidget_data_currentChanged(int index);
    void on_action_line_triggered();
    // Mouse work on the chart.
    void mouseMove(QMouseEvent *e);
    void mousePress();
    void selectionChanged();
    void contextMenuRequest(QPoint pos);
    void moveLegend();
    void handleplotMenuClicked();
    void settracerable(bool value);
    void axisLabelDoubleClick(QCPAxis *axis, QCPAxis::SelectablePart part);
    void legendDoubleClick(QCPLegend *legend, QCPAbstractLegendItem *item);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    // Places, shows and hides the chart's reading tip.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createButtonGroups();
    void wireMeasurement();
    // While a recording runs, tells the user to stop it first and returns true.
    bool refuseWhileRecording();
    bool refuseTransfer();
    void openInstrumentPort(const QString &portName);
    void disconnectInstrument();
    void askToSwitchBluetoothOff();
    void updateLimitBoxes();
    void updateOffsetBoxes();

    void startRecording();
    bool resumeInterruptedRecording();
    void stopRecording();
    void showRemainingTime(quint64 seconds);
    void recordingTimeUp();
    void backupFailed();
    // While recording: the broker refused the readings; the recording goes on.
    void brokerRefused(const QString &text);
    int intervalBoxesSeconds() const;
    void showIntervalInBoxes(quint32 seconds);
    // Channel index 0..3.
    void limitEdited(int channel, bool high);
    void limitSwitched(int channel, bool on);
    // The limits changed: the alarms and the chart's limit lines follow.
    void limitsChanged();
    void showLimitLines();
    void offsetEdited(int channel);

    // Every change of the archive, undo and redo included, comes here: it
    // is kept on disk within kUnsavedArchiveDelayMs (after the recording
    // while one runs, when the journal keeps the readings).
    void documentChanged();
    // The tree rebuilt from the archive, its current measurement shown.
    void showMeasurements();
    // An undo step changed the records of the current measurement.
    void showEditedRecords(int recordsBefore);
    void setupUndo();
    // Texts and states of the undo and redo entries from the history.
    void refreshUndoActions();
    void undoEdit();
    void redoEdit();
    // The undo and redo entries that can run now, for a context menu.
    void addUndoEntries(QMenu *menu);
    // Writes the archive beside the backup now; false (told once until a
    // write succeeds again) when it cannot be written.
    bool keepUnsavedArchive();
    void keepUnsavedArchiveLater();
    // Nothing unsaved is left on disk once saved or given up.
    void dropUnsavedArchive();
    // Appends the measurements of the unsaved archive that the slot of
    // `backupFile` left behind; true when there were any.
    bool restoreUnsavedArchive(const QString &backupFile);

    // Appends a copy of `measurement` and makes it current.
    void addMeasurement(const Data_List_T &measurement);
    // Appends a new, empty measurement with the next free name.
    void addNewMeasurement();

    // Views of the current measurement and the backup file, filled in by the
    // table, the chart and the data files.
    void showCurrentMeasurement();
    // Pages counted again for the current measurement, the newest shown.
    void updatePaging();
    // Pages counted again, `page` (clamped) shown on the bar and its label.
    void showPaging(int page);
    void updatePageLabel();
    void replotCurrentMeasurement();
    // Live refresh of the table and chart while recording.
    void graphUpdate();
    // The table's live view of the running recording, refreshed by the
    // status timer after every recorded reading.
    void refreshLiveTable();
    void setupTable();
    // Fills the table with `data_table`: with `from_test_pointer` the current
    // page of a measurement, otherwise all of them plus one empty row. The
    // one-argument form is a page; the readings' form is the live view.
    void updateTableWidget(const QVector<_T_EE_TEST_DATA> &data_table, bool from_test_pointer);
    void updateTableWidget(const QVector<_T_EE_TEST_DATA> &data_table);
    void updateTableWidget(const QList<RecordedReading> &readings);
    // Widens the columns to their headers and texts in the fonts in use;
    // the fixed widths of the layout stay the minimums.
    void fitTableColumns(const QStringList &headers, bool narrow, int largestNumber);
    // The selected rows with the numbers of the records they keep (0 for a
    // row without one), in the view's order.
    QList<SelectedRows> selectedTableRows() const;
    // After an edit of the current measurement that had `recordsBefore`
    // records: table and chart again, the table on the page the edit was on.
    void afterRecordEdit(int recordsBefore);

    void showSettingsWindow();
    // Dialogs asked from the settings window belong to it, so they come up
    // in front of it.
    QWidget *dialogParent();

    void setupChart();
    void setChannelVisible(int channel);
    void pickChannelColor(int channel);
    // The x label for the current x-axis mode, or empty when hidden.
    QString xLabelText() const;
    QString yLabelText() const;
    // The tip shows on the large chart with the reference line on and a text.
    void updateTipVisibility();
    // Places the tip beside `cursor` (chart coordinates), inside the chart.
    void placeTip(const QPoint &cursor);

    void loadSettings();
    void saveSettings();
    void showSettings();
    void showLogo();
    void showLimits();
    // Opens the manual `fileName` found by programFilePath, or says where to
    // put it when it is missing.
    void openManual(const QString &fileName);

    void fillPortList(const QStringList &ports);
    void handleDeviceChange(const QStringList &ports);
    void refreshConnectionLook();

    bool saveArchiveFile();
    // The data file chosen in the save dialog, never one of the program's
    // working files; empty when the user cancelled.
    QString chooseArchiveFile();
    // False (and said) when the archive could not be written to `path`.
    bool writeArchiveFile(const QString &path);
    void openArchiveFile();
    // Restores this window's backup and every backup left behind by a
    // program that is no longer running.
    void restoreAutoBackup();
    // `own`: the file is this window's backup and is emptied once restored;
    // otherwise it is removed.
    void setupRecordingStore();
    void restoreOwnBackup();
    OutputResult restoreJournal(const QString &journal);
    void restoreBackupFile(const QString &fileName);
    // One tree item per measurement, all with the normal icon.
    void rebuildTree();
    // Selects item `index`, makes it the tree's current item (which makes
    // its measurement current) and gives it the selected icon.
    void makeItemCurrent(int index);
    void deleteMeasurement();
    void showNoMeasurement();
    void moveMeasurementUp();
    void renameMeasurement(QTreeWidgetItem *item = nullptr);
    void showMeasurementProperties(QTreeWidgetItem *item = nullptr);
    void openDataDirectory();
    static int runModal(QDialog &dialog);

    // The save dialog of the export button.
    void exportDialog();
    QString automaticExportName(const QString &extension) const;
    // File dialogs start in the folder last used in this run, at first in
    // the data folder; rememberFolder() takes the folder of a chosen file.
    // The data folder is made before a dialog starts in it: a dialog given a
    // folder that is not there starts in the working folder.
    QString fileDialogFolder() const;
    void rememberFolder(const QString &chosenFile);
    // The chart image file proposed in its save dialog; `extension` ".jpg".
    QString chartFileProposal(const char *extension) const;
    void startExport(DataOutput *worker);
    // Opens a file or folder with the desktop's application; where none can,
    // the user is told where it is, so it can be found by hand.
    void openWithDesktop(const QString &path);
    void exportFinished(bool ok, const QString &fileName, const QString &error);

    Ui::MainWindow *ui;
    DevKX740D m_device;
    Bash *m_bash = nullptr;
    unit_type m_unit = 0;
    Document *m_document = nullptr;
    QAction *m_undoAction = nullptr;
    QAction *m_redoAction = nullptr;
    // Recorded readings counted by the status timer at its last look.
    int m_shownRecordCount = 0;
    FramelessResizer *m_resizer = nullptr;
    FormSetting *m_formSetting = nullptr;
    // Publishing to an MQTT broker, with its page in the settings window.
    std::unique_ptr<MqttControl> m_mqtt;
    // The alarms of the live readings, their strip above the pages and their
    // page in the settings window.
    std::unique_ptr<AlarmControl> m_alarms;
    AlarmStrip *m_alarmStrip = nullptr;
    BubbleTips *m_bubbleTips = nullptr;
    // Beside the stop button while a recording waits for a lost instrument.
    QLabel *m_linkWaiting = nullptr;
    SerialHandle *m_serialHandle = nullptr;
    QTimer *m_statusTimer = nullptr;
    PortWatcher *m_portWatcher = nullptr;

    QButtonGroup *m_diffGroup = nullptr;
    QButtonGroup *m_measureGroup = nullptr;
    QButtonGroup *m_bleGroup = nullptr;
    QButtonGroup *m_menuGroup = nullptr;

    AppSettings m_settings;
    QString m_lastLogoPath;   // last logo file chosen in this run, not stored
    QString m_lastFileFolder; // folder of the last data or export file chosen
    // Exports with automatic names, whose place is told when they are written.
    QStringList m_announcedExports;
    bool m_constructed = false;
    bool m_droppedLogoNoted = false;
    // Runs while a change is still to be kept on disk.
    QTimer *m_unsavedArchiveTimer = nullptr;
    bool m_unsavedArchiveFailureShown = false;
    // This window's backup file, locked against other windows in the folder.
    BackupSlot m_backup;
    // The download or erase whose end has not arrived yet.
    TransferGuard m_transfer;
    bool m_debugWindowShown = false;
    // A control configuration arrived since start-up; the settings window
    // then no longer asks for the configuration.
    bool m_ctrlConfigReceived = false;
    // True while the boxes are set to show a configuration the instrument
    // reported; their slots then send nothing.
    bool m_showingInstrumentConfig = false;

    // The recording: readings, backup journal, continuous time, and the
    // port reopened after a loss.
    RecordingSession *m_session = nullptr;
    // The recording's files: the backup journal and what waits for the broker.
    RecordingStore *m_store = nullptr;
    // The measurement an interrupted recording was restored into, which
    // the next Start goes on with.
    Data_List_T *m_resumable = nullptr;
    // Connection state as last reported by the link and as last shown.
    bool m_reportedConnected = false;
    bool m_shownConnected = false;

    // Fixed texts, translated once.
    QString m_okText;
    QString m_dataText;
    QString m_timeText;
    QString m_numberText;
    QString m_temperatureText;
    QString m_titleBase;

    ShownRows m_shownRows;
    int m_tablePageSize = 1000;
    int m_pageCount = 1;
    int m_currentPage = 0; // 0 = the oldest page
    bool m_compactTable = false;
    // Records taken by the table's copy and cut, kept across measurements.
    QVector<_T_EE_TEST_DATA> m_recordClipboard;
    // The table's column widths and what they were measured for: headers,
    // font, style, layout, language and length of the largest number.
    QVector<int> m_tableColumnWidths;
    QString m_tableWidthsMeasuredFor;
    quint16 m_usbVendor = kInstrumentUsbVendor;
    quint16 m_usbProduct = kInstrumentUsbProduct;

    TitleBarDrag m_titleDrag;

    ChartPlot m_chart;
    // The chart tab shows the large chart; only then does the tip appear.
    bool m_chartTabActive = true;
    bool m_tracerEnabled = false;
    // Shows the whole measurement again after zooming (Home, Ctrl+0, menu).
    QAction *m_showAllAction = nullptr;
    // The chart draws the limits switched on as dashed lines.
    bool m_limitLinesShown = false;
};
