// Data files, the automatic backup and the measurement tree of the main window.

#include "app/mainwindow.h"
#include "app/menuentry.h"
#include "app/mqttcontrol.h"
#include "app/userdialogs.h"
#include "link/serialhandle.h"
#include "measurement/recordingsession.h"
#include "measurement/settingsrules.h"
#include "store/atomicfile.h"
#include "store/datafile.h"
#include "store/filenames.h"
#include "store/recordingjournal.h"
#include "store/recordingstore.h"
#include "store/unsavedarchive.h"
#include "ui_mainwindow.h"
#include "widgets/dialog_wait.h"
#include "widgets/formrename.h"

#include <QAction>
#include <QDateTime>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <memory>
#include <vector>

namespace {

const char kNormalIcon[] = ":/images/ic_wj.png";
const char kCurrentIcon[] = ":/images/ic_wj_xz.png";

// Tree menu entries, stored as the actions' data.
enum TreeMenuEntry
{
    MenuNew = 0,
    MenuDelete = 1,
    MenuMoveUp = 2,
    MenuRename = 3,
    MenuProperties = 4,
    MenuSave = 5,
    MenuOpen = 6,
    MenuExcel = 7,
    MenuPdf = 8,
    MenuOpenDirectory = 9
};

MainWindow::ModalRunner &modalRunner()
{
    static MainWindow::ModalRunner runner;
    return runner;
}

} // namespace

void MainWindow::setModalRunner(ModalRunner runner)
{
    modalRunner() = std::move(runner);
}

int MainWindow::runModal(QDialog &dialog)
{
    if (modalRunner())
        return modalRunner()(dialog);
    return dialog.exec();
}

// ---- Toolbar ----

void MainWindow::on_pb_new_file_clicked()
{
    if (refuseWhileRecording())
        return;
    addNewMeasurement();
}

void MainWindow::on_pb_open_file_clicked()
{
    if (refuseWhileRecording())
        return;
    openArchiveFile();
}

void MainWindow::on_pb_save_file_clicked()
{
    if (refuseWhileRecording())
        return;
    saveArchiveFile();
}

void MainWindow::on_pb_save_file_as_clicked()
{
    if (refuseWhileRecording())
        return;
    exportDialog();
}

// ---- Data files ----

// Returns true when the archive is on disk (or there was nothing to write),
// false when the user cancelled or the file could not be written.
bool MainWindow::saveArchiveFile()
{
    if (m_document->count() == 0)
        return true;
    const QString path = chooseArchiveFile();
    return !path.isEmpty() && writeArchiveFile(path);
}

QString MainWindow::chooseArchiveFile()
{
    const QString proposed = proposedArchiveFile(m_document->fileName(), fileDialogFolder(),
                                                 archive().name, QDateTime::currentDateTime());
    for (;;) {
        const QString path = UserDialogs::saveFileName(this, tr("保存数据到文件"), proposed,
                                                       tr("数据文件") + QStringLiteral(" (*.dat)"));
        if (path.isEmpty())
            return path;
        rememberFolder(path);
        // The program removes or rewrites these files on its own: a save
        // onto one would be lost with it.
        if (!isWorkingFile(path, m_backup.folder()))
            return path;
        UserDialogs::information(
            nullptr, QString(),
            tr("%1 是本程序的工作文件（备份、未保存的数据、日志或锁），不能用来保存数据。\n"
               "请选择其他文件名。")
                .arg(QDir::toNativeSeparators(path)),
            m_okText);
    }
}

bool MainWindow::writeArchiveFile(const QString &path)
{
    // The old file is replaced only once the new one is complete.
    QString reason;
    if (!m_document->save(path, &reason)) {
        UserDialogs::information(
            nullptr, QString(),
            tr("无法创建文件，请使用管理员权限运行程序。") + QLatin1Char('\n') + reason, m_okText);
        return false;
    }
    dropUnsavedArchive();
    return true;
}

// The file is checked as a whole before anything is asked or replaced, so a
// damaged file never costs the archive in memory.
void MainWindow::openArchiveFile()
{
    const QString path = UserDialogs::openFileName(this, tr("打开数据文件"), fileDialogFolder(),
                                                   tr("数据文件") + QStringLiteral(" (*.dat)"));
    if (path.isEmpty())
        return;
    rememberFolder(path);
    openArchive(path);
}

void MainWindow::openArchive(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        UserDialogs::information(nullptr, QString(), tr("无法创建文件，请使用管理员权限运行程序。"),
                                 m_okText);
        return;
    }
    Data_table_T loaded;
    if (!dataFileFromFile(file, loaded)) {
        UserDialogs::information(nullptr, QString(), tr("该文件不是有效的数据文件，无法打开。"),
                                 m_okText);
        return;
    }
    const bool holdsData =
        m_document->count() > 1 ||
        (m_document->count() == 1 && !m_document->measurement(0)->records.isEmpty());
    if (holdsData && isModified()) {
        const int answer = UserDialogs::question(
            nullptr, tr("保存数据"), tr("是否保存现有列表数据？\n不保存目前数据将会丢失"),
            {tr("是"), tr("否"), tr("取消")}, 2, 2);
        // Loading after a save that did not happen would lose the data.
        if (answer != 0 && answer != 1)
            return;
        if (answer == 0 && !saveArchiveFile())
            return;
    }
    m_document->replace(std::move(loaded), path);
    showCurrentMeasurement();
    // The archive shown is the file's: nothing unsaved is left to keep.
    dropUnsavedArchive();
}

// Table and chart show nothing once no measurement is left to show.
void MainWindow::showNoMeasurement()
{
    m_document->setCurrentIndex(-1);
    updatePaging();
    showCurrentMeasurement();
    replotCurrentMeasurement();
}

// ---- Automatic backup ----

// A backup holding readings means a program ended during a recording; an
// unsaved archive, that it ended before the user saved. The archives come
// first: they hold what was there before the recording in the backup.
void MainWindow::restoreAutoBackup()
{
    restoreUnsavedArchive(m_backup.fileName());
    // Another slot's archive is removed only once this window keeps its
    // measurements; its lock is held until then.
    std::vector<std::unique_ptr<BackupClaim>> adopted;
    QStringList adoptedSlots;
    for (const QString &other : slotsWithUnsavedArchive(m_backup.folder(), m_backup.fileName())) {
        auto claim = std::make_unique<BackupClaim>(other);
        if (claim->isLocked() && restoreUnsavedArchive(other)) {
            adopted.push_back(std::move(claim));
            adoptedSlots << other;
        }
    }
    restoreOwnBackup();
    for (const QString &other : m_backup.otherBackups()) {
        const BackupClaim claim(other);
        if (claim.isLocked())
            restoreBackupFile(other);
    }
    if (isModified() && keepUnsavedArchive()) {
        for (const QString &other : qAsConst(adoptedSlots))
            removeUnsavedArchive(other);
    }
}

bool MainWindow::restoreUnsavedArchive(const QString &backupFile)
{
    Data_table_T kept;
    switch (readUnsavedArchive(backupFile, kept)) {
    case UnsavedArchiveRead::None:
        return false;
    case UnsavedArchiveRead::Damaged: {
        const QString aside =
            setDamagedUnsavedArchiveAside(backupFile, QDateTime::currentDateTime());
        // Said once the window is there to stand in front of.
        QTimer::singleShot(0, this, [this, aside] {
            UserDialogs::information(this, QString(),
                                     tr("上次未保存的数据已损坏，无法恢复。\n该文件保留为：%1")
                                         .arg(QDir::toNativeSeparators(aside)),
                                     m_okText);
        });
        return false;
    }
    case UnsavedArchiveRead::Read:
        break;
    }
    m_document->addMeasurements(std::move(kept));
    return true;
}

void MainWindow::setupRecordingStore()
{
    QString base = m_backup.fileName();
    if (base.endsWith(QLatin1String(".bak")))
        base.chop(4);
    m_store = new RecordingStore(m_backup.fileName(), base, this);
    m_store->setJournalEnabled(m_settings.autoBackupEnabled);
    m_store->setOutputWriter(
        [this](const QString &journal, const QDate &) { return restoreJournal(journal); });
    m_session->setStore(m_store);
    m_mqtt->followRecording(*m_session, *m_store);
    connect(m_store, &RecordingStore::journalFailed, this, &MainWindow::backupFailed);
}

// A recording the window did not stop (a crash), or stopped without keeping
// its measurement, comes back as the measurement "auto_backup". One that was
// not stopped can be gone on with: the next Start with the same instrument,
// while that measurement is current, continues it (same recording, the
// numbers go on), as the broker sees it. The store lets its journal go once
// the measurement is kept on the disk and the broker (when publishing) has
// its readings.
void MainWindow::restoreOwnBackup()
{
    const RecordingStore::Recovery found = m_store->open(QString(), true);
    if (found.interrupted && restoreJournal(m_store->journalFile()).ok)
        m_resumable = currentMeasurement();
}

// The readings of `journal` the archive does not hold yet, as the
// measurement "auto_backup", kept beside the backup until the archive is
// saved: the journal stays as it is unless they are.
OutputResult MainWindow::restoreJournal(const QString &journal)
{
    OutputResult result;
    JournalReader reader(journal);
    reader.open();
    const quint32 had = m_store->writtenUpTo(reader.header().id);
    QVector<_T_EE_TEST_DATA> records;
    quint32 last = had;
    for (JournalReading r; reader.next(&r);) {
        if (r.seq > had)
            records << r.record;
        last = qMax(last, r.seq);
    }
    if (records.isEmpty())
        return result;
    addMeasurement(newMeasurement(records, QStringLiteral("auto_backup")));
    result.ok = m_document->keepRecoveredCopy(currentMeasurement());
    if (result.ok)
        m_store->noteWritten(reader.header().id, last);
    return result;
}

// The backup of another window that ended without stopping its recording.
void MainWindow::restoreBackupFile(const QString &fileName)
{
    QFile file(fileName);
    JournalReader journal(fileName);
    journal.open();
    QVector<_T_EE_TEST_DATA> records;
    for (JournalReading r; journal.next(&r);)
        records << r.record;
    // A file that is neither a journal nor an empty one is left for the user.
    if (journal.format() == JournalReader::Format::Unknown)
        return;
    if (records.isEmpty()) {
        file.remove();
        return;
    }
    addMeasurement(newMeasurement(records, QStringLiteral("auto_backup")));
    if (m_document->keepRecoveredCopy(currentMeasurement()))
        file.remove();
}

// ---- The unsaved archive ----

void MainWindow::documentChanged()
{
    if (!m_device.isRecording())
        keepUnsavedArchiveLater();
}

// At most one write per kUnsavedArchiveDelayMs, however many changes.
void MainWindow::keepUnsavedArchiveLater()
{
    if (!m_unsavedArchiveTimer->isActive())
        m_unsavedArchiveTimer->start();
}

bool MainWindow::keepUnsavedArchive()
{
    m_unsavedArchiveTimer->stop();
    QString reason;
    if (writeUnsavedArchive(m_backup.fileName(), archive(), &reason)) {
        m_unsavedArchiveFailureShown = false;
        return true;
    }
    if (!m_unsavedArchiveFailureShown) {
        m_unsavedArchiveFailureShown = true;
        UserDialogs::information(
            nullptr, QString(),
            tr("无法备份未保存的数据到 %1：%2\n程序意外退出时这些数据将会丢失，请及时保存。")
                .arg(QDir::toNativeSeparators(unsavedArchiveFile(m_backup.fileName())), reason),
            m_okText);
    }
    return false;
}

void MainWindow::dropUnsavedArchive()
{
    m_unsavedArchiveTimer->stop();
    removeUnsavedArchive(m_backup.fileName());
}

// ---- Measurement tree ----

void MainWindow::addNewMeasurement()
{
    addMeasurement(newMeasurement({}, newMeasurementName(archive())));
}

void MainWindow::addMeasurement(const Data_List_T &measurement)
{
    m_document->addMeasurement(measurement);
}

void MainWindow::showMeasurements()
{
    rebuildTree();
    const int index = m_document->currentIndex();
    if (index < 0)
        showNoMeasurement();
    else
        makeItemCurrent(index);
}

// An undo step shows the measurement it changed, on the page of the change.
void MainWindow::showEditedRecords(int recordsBefore)
{
    const int index = m_document->currentIndex();
    if (ui->treeWidget->indexOfTopLevelItem(ui->treeWidget->currentItem()) != index)
        makeItemCurrent(index);
    else
        afterRecordEdit(recordsBefore);
}

// ---- Undo and redo ----

void MainWindow::setupUndo()
{
    m_undoAction = new QAction(this);
    m_undoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_redoAction = new QAction(this);
    m_redoAction->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    for (QAction *action : {m_undoAction, m_redoAction}) {
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
    }
    connect(m_undoAction, &QAction::triggered, this, &MainWindow::undoEdit);
    connect(m_redoAction, &QAction::triggered, this, &MainWindow::redoEdit);
    connect(m_document->undoStack(), &QUndoStack::indexChanged, this,
            &MainWindow::refreshUndoActions);
    refreshUndoActions();
}

void MainWindow::refreshUndoActions()
{
    const QUndoStack *stack = m_document->undoStack();
    m_undoAction->setEnabled(stack->canUndo());
    m_undoAction->setText(tr("撤销%1").arg(stack->undoText()));
    m_redoAction->setEnabled(stack->canRedo());
    m_redoAction->setText(tr("重做%1").arg(stack->redoText()));
}

// The measurement a recording goes into stays as it is while it runs.
void MainWindow::undoEdit()
{
    if (!refuseWhileRecording())
        m_document->undoStack()->undo();
}

void MainWindow::redoEdit()
{
    if (!refuseWhileRecording())
        m_document->undoStack()->redo();
}

void MainWindow::addUndoEntries(QMenu *menu)
{
    if (m_device.isRecording() || !(m_undoAction->isEnabled() || m_redoAction->isEnabled()))
        return;
    menu->addSeparator();
    for (QAction *action : {m_undoAction, m_redoAction})
        if (action->isEnabled())
            menu->addAction(action);
}

void MainWindow::rebuildTree()
{
    QTreeWidget *tree = ui->treeWidget;
    const QSignalBlocker blocker(tree);
    tree->clear();
    tree->setHeaderHidden(true);
    const QIcon icon{QString::fromLatin1(kNormalIcon)};
    for (const Data_List_T *measurement : archive().lists) {
        auto *item = new QTreeWidgetItem(tree, {measurement->name});
        // The column cuts long names; the tip shows them whole.
        item->setToolTip(0, measurement->name);
        item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        item->setIcon(0, icon);
    }
}

void MainWindow::makeItemCurrent(int index)
{
    QTreeWidgetItem *item = ui->treeWidget->topLevelItem(index);
    if (!item)
        return;
    ui->treeWidget->clearSelection();
    item->setSelected(true);
    ui->treeWidget->setCurrentItem(item);
    // The tree does not report an item that was current already.
    m_document->setCurrentIndex(index);
    item->setIcon(0, QIcon(QString::fromLatin1(kCurrentIcon)));
}

void MainWindow::on_treeWidget_currentItemChanged(QTreeWidgetItem *current,
                                                  QTreeWidgetItem *previous)
{
    if (!current)
        return;
    m_document->setCurrentIndex(ui->treeWidget->indexOfTopLevelItem(current));
    if (previous)
        previous->setIcon(0, QIcon(QString::fromLatin1(kNormalIcon)));
    current->setIcon(0, QIcon(QString::fromLatin1(kCurrentIcon)));
    if (currentMeasurement())
        updatePaging();
    replotCurrentMeasurement();
    showCurrentMeasurement();
}

void MainWindow::on_treeWidget_itemDoubleClicked(QTreeWidgetItem *item, int column)
{
    Q_UNUSED(column)
    showMeasurementProperties(item);
}

void MainWindow::on_treeWidget_customContextMenuRequested(const QPoint &pos)
{
    const bool onItem = ui->treeWidget->itemAt(pos) != nullptr;
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const auto entry = [this, onItem](QMenu *to, const QString &text, int data, bool needsItem) {
        QAction *action = to->addAction(text);
        action->setData(data);
        action->setEnabled(onItem || !needsItem);
        connect(action, &QAction::triggered, this, &MainWindow::handleTreeviewMenuClicked);
    };
    entry(menu, tr("保存"), MenuSave, true);
    QMenu *saveAs = menu->addMenu(tr("另存为"));
    saveAs->menuAction()->setEnabled(onItem);
    entry(saveAs, tr("Excel 工作簿"), MenuExcel, true);
    entry(saveAs, tr("PDF 报告"), MenuPdf, true);
    entry(menu, tr("上移"), MenuMoveUp, true);
    entry(menu, tr("删除"), MenuDelete, true);
    entry(menu, tr("重命名"), MenuRename, true);
    entry(menu, tr("文件管理器中打开"), MenuOpenDirectory, false);
    entry(menu, tr("属性"), MenuProperties, true);
    menu->addSeparator();
    QAction *import = menu->addAction(tr("导入设备数据"));
    connect(import, &QAction::triggered, this, &MainWindow::on_pb_read_flash_clicked);
    entry(menu, tr("打开"), MenuOpen, false);
    entry(menu, tr("新建"), MenuNew, false);
    addUndoEntries(menu);
    menu->popup(QCursor::pos());
}

void MainWindow::handleTreeviewMenuClicked()
{
    const std::optional<int> entry = menuEntry(sender());
    if (!entry)
        return;
    switch (*entry) {
    case MenuNew:
        addNewMeasurement();
        break;
    case MenuDelete:
        deleteMeasurement();
        break;
    case MenuMoveUp:
        moveMeasurementUp();
        break;
    case MenuRename:
        renameMeasurement();
        break;
    case MenuProperties:
        showMeasurementProperties();
        break;
    case MenuSave:
        saveArchiveFile();
        break;
    case MenuOpen:
        openArchiveFile();
        break;
    case MenuExcel:
        exportWorkbook();
        break;
    case MenuPdf:
        if (!currentMeasurement())
            UserDialogs::information(nullptr, QString(), tr("请选择需要导出的list数据"), m_okText);
        else
            exportReport();
        break;
    case MenuOpenDirectory:
        openDataDirectory();
        break;
    default:
        break;
    }
}

namespace {
QTreeWidgetItem *firstSelected(QTreeWidget *tree)
{
    const QList<QTreeWidgetItem *> selected = tree->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}
} // namespace

// Asked although the delete can be undone: a measurement may hold days of
// readings, and the undo history goes with the next file opened.
void MainWindow::deleteMeasurement()
{
    QTreeWidgetItem *item = firstSelected(ui->treeWidget);
    if (!item)
        return;
    const int answer =
        UserDialogs::question(nullptr, tr("数据删除提示"), tr("数据删除后无法恢复，是否继续删除？"),
                              {tr("是"), tr("否")}, 1, 1);
    if (answer == 0)
        m_document->removeMeasurement(ui->treeWidget->indexOfTopLevelItem(item));
}

void MainWindow::moveMeasurementUp()
{
    if (QTreeWidgetItem *item = firstSelected(ui->treeWidget))
        m_document->moveMeasurementUp(ui->treeWidget->indexOfTopLevelItem(item));
}

// An empty text keeps the old name.
void MainWindow::renameMeasurement(QTreeWidgetItem *item)
{
    if (!item)
        item = firstSelected(ui->treeWidget);
    if (!item)
        return;
    QString name = item->text(0);
    QDialog dialog(this);
    dialog.setWindowFlags(dialog.windowFlags() & ~Qt::WindowContextHelpButtonHint);
    auto *layout = new QVBoxLayout(&dialog);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *form = new FormRename(&name, &dialog);
    layout->addWidget(form);
    // Without a title of its own the window manager would show the
    // program's file name.
    dialog.setWindowTitle(form->windowTitle());
    runModal(dialog);
    m_document->renameMeasurement(ui->treeWidget->indexOfTopLevelItem(item), name);
}

void MainWindow::showMeasurementProperties(QTreeWidgetItem *item)
{
    if (!item)
        item = firstSelected(ui->treeWidget);
    if (!item)
        return;
    const int index = ui->treeWidget->indexOfTopLevelItem(item);
    if (!m_document->measurement(index))
        return;
    m_document->setCurrentIndex(index);
    const Data_List_T &m = *currentMeasurement();
    const QString text = tr("文件名称   ") + QLatin1Char('\t') + m.name + QLatin1Char('\n') +
                         tr("测量时间   ") + QLatin1Char('\t') +
                         m.created.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) +
                         QLatin1Char('\n') + tr("数据数量   ") + QLatin1Char('\t') +
                         QString::number(m.records.size());
    UserDialogs::information(nullptr, tr("测量属性"), text, m_okText);
}

// Opened with the desktop's default handler for folders.
void MainWindow::openDataDirectory()
{
    QDir().mkpath(m_settings.dataDir);
    openWithDesktop(m_settings.dataDir);
}

// ---- The instrument's stored records ----

// Download and erase need an identified instrument, no recording and no
// other transfer whose end is still to come; otherwise the user is told why.
bool MainWindow::refuseTransfer()
{
    if (refuseWhileRecording())
        return true;
    if (!m_serialHandle->isOpen() || !m_device.isIdentified()) {
        UserDialogs::information(nullptr, QString(), tr("未连接设备，请先连接设备。"), m_okText);
        return true;
    }
    if (m_transfer.outstanding()) {
        UserDialogs::information(nullptr, QString(), tr("仪器正在传输数据，请等待传输结束后再试。"),
                                 m_okText);
        return true;
    }
    return false;
}

void MainWindow::on_pb_read_flash_clicked()
{
    if (refuseTransfer())
        return;
    const quint32 count = m_device.storedRecordCount();
    if (count == 0) {
        UserDialogs::information(nullptr, QString(), tr("仪器中没有存储的记录。"), m_okText);
        return;
    }
    const DownloadPlan plan = downloadPlan(count);
    Dialog_wait dialog(this);
    dialog.setWaitTime(plan.timeoutSeconds);
    dialog.setDownload(int(count));
    dialog.setWindowFlags(dialog.windowFlags() | Qt::FramelessWindowHint);
    connect(&m_device, &DevKX740D::progressBar_range_update, &dialog,
            &Dialog_wait::progressBar_range_update);
    connect(&m_device, &DevKX740D::trans_end, &dialog, &Dialog_wait::trans_end);
    connect(&dialog, &Dialog_wait::cancel, &m_device, &DevKX740D::stopTrans);
    m_transfer.start(TransferGuard::Download);
    m_device.readStoredBlocks(0, plan.blocks);
    runModal(dialog);
}

void MainWindow::on_pb_erase_flash_clicked()
{
    if (refuseTransfer())
        return;
    const int answer =
        UserDialogs::question(nullptr, tr("清除仪器存储"),
                              tr("仪器中存储的 %1 条记录将被清除且无法恢复，是否继续？")
                                  .arg(m_device.storedRecordCount()),
                              {tr("是"), tr("否")}, 1, 1);
    if (answer != 0)
        return;
    m_transfer.start(TransferGuard::Erase);
    m_device.eraseStoredRecords();
    Dialog_wait dialog(this);
    dialog.setWindowFlags(dialog.windowFlags() | Qt::FramelessWindowHint);
    connect(&m_device, &DevKX740D::trans_end, &dialog, &Dialog_wait::trans_end);
    runModal(dialog);
    m_device.queryStoredRecordCount();
}

// The driver reports the end of a download and of an erase alike; only the
// end of a download brings records.
void MainWindow::trans_end()
{
    if (m_transfer.finish() != TransferGuard::Download)
        return;
    const QVector<_T_EE_TEST_DATA> records = m_device.takeDownloadedRecords();
    if (records.isEmpty()) {
        // Records that arrived and were all dropped failed their checksums.
        UserDialogs::information(dialogParent(), QString(),
                                 m_device.downloadedBlockCount() > 0
                                     ? tr("读取的记录全部未通过校验，没有可用的记录。")
                                     : tr("仪器中没有存储的记录。"),
                                 m_okText);
        return;
    }
    addMeasurement(
        measurementOfRecords(records, downloadedMeasurementName(QDateTime::currentDateTime())));
    // The instrument's memory may be erased next: the records are kept on
    // disk at once.
    keepUnsavedArchive();
    replotCurrentMeasurement();
    showCurrentMeasurement();
}
