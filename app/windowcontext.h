#pragma once

#include "document/document.h"
#include "instrument/devkx740d.h"
#include "settings/settingsfile.h"
#include "store/backupslot.h"
#include "widgets/dashboardrules.h" // unit_type

#include <QList>
#include <QObject>
#include <QString>

#include <functional>

namespace Ui {
class MainWindow;
}
class ArchiveBackup;
class ArchivePage;
class Bash;
class ChartPage;
class ExportControl;
class FormSetting;
class InstrumentConnection;
class InstrumentPage;
class QDialog;
class QMainWindow;
class RecordingPage;
class RecordingSession;
class RecordingStore;
class SerialHandle;
class SystemPage;
class TablePage;

// What the main window's page controllers share: the window and its form,
// the instrument, the archive, the settings record and the shown unit, the
// recording and its files, and the controllers themselves, which call each
// other where one page shows what another changed. The main window owns it
// and fills it while it assembles the pages.
class WindowContext : public QObject
{
    Q_OBJECT

public:
    WindowContext(QMainWindow *window, Ui::MainWindow *form, Document &document);

    QMainWindow *const window;
    Ui::MainWindow *const ui;
    Document &document;
    DevKX740D device;
    AppSettings settings;
    // Unit in which temperatures are shown (0 Celsius, 1 Fahrenheit, 2 Kelvin).
    unit_type unit = 0;
    // This window's backup file, locked against other windows in the folder.
    BackupSlot backup;
    SerialHandle *serial = nullptr;
    RecordingSession *session = nullptr;
    RecordingStore *store = nullptr;
    // Every instrument of the window; the first is the one above (device,
    // serial, session, store), the one the instrument panel and the chart
    // show, and the only one when a single instrument is connected.
    QList<InstrumentConnection *> connections;
    // The connections whose port is open.
    QList<InstrumentConnection *> linkedConnections() const;
    FormSetting *settingsWindow = nullptr;
    Bash *dashboard = nullptr;
    // The window is built; settings read while it is built say nothing.
    bool constructed = false;

    InstrumentPage *instrument = nullptr;
    RecordingPage *recording = nullptr;
    ArchivePage *archive = nullptr;
    ArchiveBackup *archiveBackup = nullptr;
    TablePage *table = nullptr;
    ChartPage *chart = nullptr;
    SystemPage *system = nullptr;
    ExportControl *exports = nullptr;

    // Fixed texts, translated once.
    const QString okText;

    Data_List_T *current() const { return document.current(); }
    // While a recording runs, tells the user to stop it first and returns true.
    bool refuseWhileRecording() const;
    // Dialogs asked from the settings window belong to it, so they come up
    // in front of it.
    QWidget *dialogParent() const;
    // Says a file could not be written, with the reason when there is one.
    void tellNotWritten(const QString &reason = QString(), QWidget *parent = nullptr) const;
    // File dialogs start in the folder last used in this run, at first in
    // the data folder; rememberFolder() takes the folder of a chosen file.
    // The data folder is made before a dialog starts in it: a dialog given a
    // folder that is not there starts in the working folder.
    QString fileDialogFolder() const;
    void rememberFolder(const QString &chosenFile);
    // The save dialog, asked again until the user names a file that is not
    // one of the program's working files (backups, unsaved archives,
    // journals, locks): the program removes or rewrites those on its own, so
    // a save onto one would be lost with it. Empty when the user cancelled;
    // the folder of the file chosen is remembered.
    QString chooseSaveFile(const QString &caption, const QString &proposed, const QString &filter,
                           QString *selectedFilter = nullptr);
    // Opens a file or folder with the desktop's application; where none can,
    // the user is told where it is, so it can be found by hand.
    void openWithDesktop(const QString &path);
    // The current measurement shown again by the table and the chart, on the
    // table's newest page when `newestPage`.
    void showCurrent(bool newestPage);

    // Runs a modal dialog of the window (rename, download and erase waits)
    // and returns its result. By default QDialog::exec(); tests install one
    // that answers without blocking. An empty runner restores the default.
    using ModalRunner = std::function<int(QDialog &)>;
    static void setModalRunner(ModalRunner runner);
    static int runModal(QDialog &dialog);

private:
    QString m_lastFileFolder;
};

// Connects the slots of `receiver` named on_<object>_<signal> to the signal
// of that name of the object of that name under `form`, as the toolkit does
// for slots of the form's own window.
void connectSlotsByObjectName(QObject *receiver, QObject *form);

// The common ground of the page controllers: the shared state under the
// names the pages use for it.
class PageController : public QObject
{
    Q_OBJECT

protected:
    explicit PageController(WindowContext &context);

    bool refuseWhileRecording() const { return m_ctx.refuseWhileRecording(); }
    QWidget *dialogParent() const { return m_ctx.dialogParent(); }
    Data_List_T *currentMeasurement() const { return m_ctx.document.current(); }
    const Data_table_T &archive() const { return m_ctx.document.archive(); }

    WindowContext &m_ctx;
    Ui::MainWindow *const ui;
    DevKX740D &m_device;
    Document *const m_document;
    AppSettings &m_settings;
    const unit_type &m_unit;
    const QString &m_okText;
};
