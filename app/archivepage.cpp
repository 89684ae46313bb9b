// The measurement tree, the data files and the undo history of the main
// window.
#include "app/archivepage.h"

#include "app/archivebackup.h"
#include "app/chartpage.h"
#include "app/exportcontrol.h"
#include "app/instrumentpage.h"
#include "app/menuentry.h"
#include "app/tablepage.h"
#include "app/userdialogs.h"
#include "measurement/settingsrules.h"
#include "store/datafile.h"
#include "store/filenames.h"
#include "store/measurementgroups.h"
#include "ui_mainwindow.h"
#include "widgets/formrename.h"

#include <QAction>
#include <QDateTime>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QTreeWidgetItemIterator>
#include <QUndoStack>
#include <QVBoxLayout>

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
    MenuOpenDirectory = 9,
    MenuCompare = 10,
};

// What a tree item holds: the archive index of its measurement (of a group
// node, its first one) and, for a group node, how many follow from there.
constexpr int kIndexRole = Qt::UserRole;
constexpr int kCountRole = Qt::UserRole + 1;

QTreeWidgetItem *firstSelected(QTreeWidget *tree)
{
    const QList<QTreeWidgetItem *> selected = tree->selectedItems();
    return selected.isEmpty() ? nullptr : selected.first();
}

} // namespace

ArchivePage::ArchivePage(WindowContext &context) : PageController(context)
{
    ui->treeWidget->setContextMenuPolicy(Qt::CustomContextMenu);
    // Ctrl- and Shift-click choose several measurements to compare.
    ui->treeWidget->setSelectionMode(QAbstractItemView::ExtendedSelection);
    connect(ui->treeWidget, &QTreeWidget::itemSelectionChanged, this,
            &ArchivePage::selectionToChart);
    connect(m_document, &Document::measurementsChanged, this, &ArchivePage::showMeasurements);
    connect(m_document, &Document::recordsChanged, this, &ArchivePage::showEditedRecords);
    setupUndo();
    connectSlotsByObjectName(this, m_ctx.window);
}

void ArchivePage::on_pb_new_file_clicked()
{
    if (refuseWhileRecording())
        return;
    addNewMeasurement();
}

void ArchivePage::on_pb_open_file_clicked()
{
    if (refuseWhileRecording())
        return;
    openArchiveFile();
}

void ArchivePage::on_pb_save_file_clicked()
{
    if (refuseWhileRecording())
        return;
    saveArchiveFile();
}

void ArchivePage::on_pb_save_file_as_clicked()
{
    if (refuseWhileRecording())
        return;
    m_ctx.exports->exportDialog();
}

// Returns true when the archive is on disk (or there was nothing to write),
// false when the user cancelled or the file could not be written.
bool ArchivePage::saveArchiveFile()
{
    if (m_document->count() == 0)
        return true;
    const QString path = chooseArchiveFile();
    return !path.isEmpty() && writeArchiveFile(path);
}

QString ArchivePage::chooseArchiveFile()
{
    const QString proposed = proposedArchiveFile(m_document->fileName(), m_ctx.fileDialogFolder(),
                                                 archive().name, QDateTime::currentDateTime());
    return m_ctx.chooseSaveFile(tr("保存数据到文件"), proposed,
                                tr("数据文件") + QStringLiteral(" (*.dat)"));
}

bool ArchivePage::writeArchiveFile(const QString &path)
{
    // The old file is replaced only once the new one is complete.
    QString reason;
    if (!m_document->save(path, &reason)) {
        m_ctx.tellNotWritten(reason);
        return false;
    }
    m_ctx.archiveBackup->dropUnsavedArchive();
    return true;
}

// The file is checked as a whole before anything is asked or replaced, so a
// damaged file never costs the archive in memory.
void ArchivePage::openArchiveFile()
{
    const QString path =
        UserDialogs::openFileName(m_ctx.window, tr("打开数据文件"), m_ctx.fileDialogFolder(),
                                  tr("数据文件") + QStringLiteral(" (*.dat)"));
    if (path.isEmpty())
        return;
    m_ctx.rememberFolder(path);
    openArchive(path);
}

void ArchivePage::openArchive(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_ctx.tellNotWritten();
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
    if (holdsData && m_document->isModified()) {
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
    m_ctx.table->showCurrentMeasurement();
    // The archive shown is the file's: nothing unsaved is left to keep.
    m_ctx.archiveBackup->dropUnsavedArchive();
}

// Table and chart show nothing once no measurement is left to show.
void ArchivePage::showNoMeasurement()
{
    m_document->setCurrentIndex(-1);
    m_ctx.showCurrent(true);
}

void ArchivePage::addNewMeasurement()
{
    addMeasurement(newMeasurement({}, newMeasurementName(archive())));
}

void ArchivePage::addMeasurement(const Data_List_T &measurement)
{
    m_document->addMeasurement(measurement);
}

void ArchivePage::showMeasurements()
{
    rebuildTree();
    const int index = m_document->currentIndex();
    if (index < 0)
        showNoMeasurement();
    else
        makeItemCurrent(index);
}

// An undo step shows the measurement it changed, on the page of the change.
void ArchivePage::showEditedRecords(int recordsBefore)
{
    const int index = m_document->currentIndex();
    if (measurementIndex(ui->treeWidget->currentItem()) != index)
        makeItemCurrent(index);
    else
        m_ctx.table->afterRecordEdit(recordsBefore);
}

void ArchivePage::setupUndo()
{
    m_undoAction = new QAction(m_ctx.window);
    m_undoAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    m_redoAction = new QAction(m_ctx.window);
    m_redoAction->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    for (QAction *action : {m_undoAction, m_redoAction}) {
        action->setShortcutContext(Qt::WindowShortcut);
        m_ctx.window->addAction(action);
    }
    connect(m_undoAction, &QAction::triggered, this, &ArchivePage::undoEdit);
    connect(m_redoAction, &QAction::triggered, this, &ArchivePage::redoEdit);
    connect(m_document->undoStack(), &QUndoStack::indexChanged, this,
            &ArchivePage::refreshUndoActions);
    refreshUndoActions();
}

void ArchivePage::refreshUndoActions()
{
    const QUndoStack *stack = m_document->undoStack();
    m_undoAction->setEnabled(stack->canUndo());
    m_undoAction->setText(tr("撤销%1").arg(stack->undoText()));
    m_redoAction->setEnabled(stack->canRedo());
    m_redoAction->setText(tr("重做%1").arg(stack->redoText()));
}

// The measurement a recording goes into stays as it is while it runs.
void ArchivePage::undoEdit()
{
    if (!refuseWhileRecording())
        m_document->undoStack()->undo();
}

void ArchivePage::redoEdit()
{
    if (!refuseWhileRecording())
        m_document->undoStack()->redo();
}

void ArchivePage::addUndoEntries(QMenu *menu)
{
    if (m_device.isRecording() || !(m_undoAction->isEnabled() || m_redoAction->isEnabled()))
        return;
    menu->addSeparator();
    for (QAction *action : {m_undoAction, m_redoAction})
        if (action->isEnabled())
            menu->addAction(action);
}

void ArchivePage::rebuildTree()
{
    QTreeWidget *tree = ui->treeWidget;
    const QSignalBlocker blocker(tree);
    tree->clear();
    tree->setHeaderHidden(true);
    const QIcon icon{QString::fromLatin1(kNormalIcon)};
    const auto addItem = [&](QTreeWidgetItem *item, const QString &text, const QString &tip,
                             int index) {
        item->setText(0, text);
        // The column cuts long names; the tip shows them whole.
        item->setToolTip(0, tip);
        item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        item->setIcon(0, icon);
        item->setData(0, kIndexRole, index);
    };
    for (const MeasurementGroup &group : measurementGroups(archive())) {
        if (group.labels.isEmpty()) {
            const QString &name = archive().lists.at(group.first)->name;
            addItem(new QTreeWidgetItem(tree), name, name, group.first);
            continue;
        }
        auto *node = new QTreeWidgetItem(tree);
        addItem(node, group.name, group.name, group.first);
        node->setData(0, kCountRole, group.count);
        for (int i = 0; i < group.count; ++i)
            addItem(new QTreeWidgetItem(node), group.labels.at(i),
                    archive().lists.at(group.first + i)->name, group.first + i);
        node->setExpanded(true);
    }
}

QVector<int> ArchivePage::itemIndexes(const QTreeWidgetItem *item)
{
    QVector<int> indexes;
    bool ok = false;
    const int first = item ? item->data(0, kIndexRole).toInt(&ok) : -1;
    if (!ok || first < 0)
        return indexes;
    const int count = isGroupNode(item) ? item->data(0, kCountRole).toInt() : 1;
    for (int i = 0; i < count; ++i)
        indexes << first + i;
    return indexes;
}

int ArchivePage::measurementIndex(const QTreeWidgetItem *item)
{
    const QVector<int> indexes = itemIndexes(item);
    return indexes.isEmpty() ? -1 : indexes.first();
}

bool ArchivePage::isGroupNode(const QTreeWidgetItem *item)
{
    return item && item->data(0, kCountRole).toInt() > 1;
}

QTreeWidgetItem *ArchivePage::actedItem() const
{
    QTreeWidgetItem *current = ui->treeWidget->currentItem();
    return current && current->isSelected() ? current : firstSelected(ui->treeWidget);
}

QTreeWidgetItem *ArchivePage::itemOfMeasurement(int index) const
{
    for (QTreeWidgetItemIterator it(ui->treeWidget); *it; ++it)
        if (!isGroupNode(*it) && measurementIndex(*it) == index)
            return *it;
    return nullptr;
}

void ArchivePage::selectionToChart()
{
    const QList<QTreeWidgetItem *> selected = ui->treeWidget->selectedItems();
    // A group alone: its instruments on the clock, named by label.
    if (selected.size() == 1 && isGroupNode(selected.first())) {
        const QVector<int> indexes = itemIndexes(selected.first());
        m_ctx.chart->setOverlay(indexes, groupOf(archive(), indexes.first()).labels);
        return;
    }
    QVector<int> indexes;
    for (const QTreeWidgetItem *item : selected)
        for (int index : itemIndexes(item))
            if (!indexes.contains(index))
                indexes << index;
    std::sort(indexes.begin(), indexes.end());
    m_ctx.chart->setOverlay(indexes);
}

void ArchivePage::compareWith()
{
    QDialog dialog(m_ctx.window);
    dialog.setObjectName(QStringLiteral("compare_dialog"));
    dialog.setWindowTitle(tr("与…比较"));
    auto *layout = new QVBoxLayout(&dialog);
    auto *list = new QListWidget(&dialog);
    list->setObjectName(QStringLiteral("compare_list"));
    const QVector<int> chosen = m_ctx.chart->overlayIndexes();
    const int current = m_document->currentIndex();
    for (int i = 0; i < archive().lists.size(); ++i) {
        auto *entry = new QListWidgetItem(archive().lists.at(i)->name, list);
        entry->setFlags(Qt::ItemIsUserCheckable | Qt::ItemIsEnabled);
        entry->setCheckState(i == current || chosen.contains(i) ? Qt::Checked : Qt::Unchecked);
    }
    layout->addWidget(
        new QLabel(tr("选择要在图表中比较的测量（最多 %1 个）：").arg(kMaxOverlaid), &dialog));
    layout->addWidget(list);
    auto *buttons = new QDialogButtonBox(&dialog);
    buttons->addButton(m_okText, QDialogButtonBox::AcceptRole);
    buttons->addButton(tr("取消"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    if (WindowContext::runModal(dialog) != QDialog::Accepted)
        return;
    QTreeWidget *tree = ui->treeWidget;
    {
        const QSignalBlocker blocker(tree);
        tree->clearSelection();
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->checkState() == Qt::Checked)
                if (QTreeWidgetItem *item = itemOfMeasurement(i))
                    item->setSelected(true);
    }
    selectionToChart();
}

void ArchivePage::makeItemCurrent(int index)
{
    QTreeWidgetItem *item = itemOfMeasurement(index);
    if (!item)
        return;
    ui->treeWidget->clearSelection();
    item->setSelected(true);
    ui->treeWidget->setCurrentItem(item);
    // The tree does not report an item that was current already.
    m_document->setCurrentIndex(index);
    item->setIcon(0, QIcon(QString::fromLatin1(kCurrentIcon)));
}

void ArchivePage::on_treeWidget_currentItemChanged(QTreeWidgetItem *current,
                                                   QTreeWidgetItem *previous)
{
    if (!current)
        return;
    m_document->setCurrentIndex(measurementIndex(current));
    if (previous)
        previous->setIcon(0, QIcon(QString::fromLatin1(kNormalIcon)));
    current->setIcon(0, QIcon(QString::fromLatin1(kCurrentIcon)));
    m_ctx.showCurrent(currentMeasurement() != nullptr);
}

void ArchivePage::on_treeWidget_itemDoubleClicked(QTreeWidgetItem *item, int column)
{
    Q_UNUSED(column)
    showMeasurementProperties(item);
}

void ArchivePage::on_treeWidget_customContextMenuRequested(const QPoint &pos)
{
    const bool onItem = ui->treeWidget->itemAt(pos) != nullptr;
    auto *menu = new QMenu(m_ctx.window);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const auto entry = [this, onItem](QMenu *to, const QString &text, int data, bool needsItem) {
        QAction *action = to->addAction(text);
        action->setData(data);
        action->setEnabled(onItem || !needsItem);
        connect(action, &QAction::triggered, this, &ArchivePage::handleTreeviewMenuClicked);
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
    entry(menu, tr("与…比较"), MenuCompare, true);
    menu->addSeparator();
    QAction *import = menu->addAction(tr("导入设备数据"));
    connect(import, &QAction::triggered, m_ctx.instrument,
            &InstrumentPage::on_pb_read_flash_clicked);
    entry(menu, tr("打开"), MenuOpen, false);
    entry(menu, tr("新建"), MenuNew, false);
    addUndoEntries(menu);
    menu->popup(QCursor::pos());
}

void ArchivePage::handleTreeviewMenuClicked()
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
        m_ctx.exports->exportWorkbook();
        break;
    case MenuPdf:
        if (!currentMeasurement())
            UserDialogs::information(nullptr, QString(), tr("请选择需要导出的list数据"), m_okText);
        else
            m_ctx.exports->exportReport();
        break;
    case MenuOpenDirectory:
        openDataDirectory();
        break;
    case MenuCompare:
        compareWith();
        break;
    default:
        break;
    }
}

// Asked although the delete can be undone: a measurement may hold days of
// readings, and the undo history goes with the next file opened and keeps
// only so many steps.
void ArchivePage::deleteMeasurement()
{
    QTreeWidgetItem *item = actedItem();
    const QVector<int> indexes = itemIndexes(item);
    if (indexes.isEmpty())
        return;
    const int answer = UserDialogs::question(nullptr, tr("数据删除提示"),
                                             tr("删除测量“%1”？\n删除后可以用“撤销”（Ctrl+Z）恢复，"
                                                "打开其他文件后不能再恢复。")
                                                 .arg(item->text(0)),
                                             {tr("是"), tr("否")}, 1, 1);
    if (answer != 0)
        return;
    if (indexes.size() == 1) {
        m_document->removeMeasurement(indexes.first());
        return;
    }
    // A group goes as one step, undone as one.
    m_document->editAsOneStep(tr("删除 %1").arg(item->text(0)), [&] {
        for (int i = indexes.size() - 1; i >= 0; --i)
            m_document->removeMeasurement(indexes.at(i));
    });
}

// A group moves above the group or measurement before it, as one step.
void ArchivePage::moveMeasurementUp()
{
    QTreeWidgetItem *item = actedItem();
    const QVector<int> indexes = itemIndexes(item);
    if (indexes.isEmpty())
        return;
    if (!isGroupNode(item)) {
        m_document->moveMeasurementUp(indexes.first());
        return;
    }
    const int first = indexes.first();
    if (first == 0)
        return;
    const int before = groupOf(archive(), first - 1).count;
    m_document->editAsOneStep(tr("上移 %1").arg(item->text(0)), [&] {
        for (int i = 0; i < indexes.size(); ++i)
            for (int step = 0; step < before; ++step)
                m_document->moveMeasurementUp(first + i - step);
    });
}

// An empty text keeps the old name.
void ArchivePage::renameMeasurement(QTreeWidgetItem *item)
{
    if (!item)
        item = actedItem();
    if (!item)
        return;
    QString name = item->text(0);
    QDialog dialog(m_ctx.window);
    dialog.setWindowFlags(dialog.windowFlags() & ~Qt::WindowContextHelpButtonHint);
    auto *layout = new QVBoxLayout(&dialog);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *form = new FormRename(&name, &dialog);
    layout->addWidget(form);
    // Without a title of its own the window manager would show the
    // program's file name.
    dialog.setWindowTitle(form->windowTitle());
    WindowContext::runModal(dialog);
    const QVector<int> indexes = itemIndexes(item);
    if (indexes.isEmpty() || name.isEmpty() || name == item->text(0))
        return;
    // A group's node names the recording, a member its instrument's label.
    if (isGroupNode(item)) {
        const QStringList labels = groupOf(archive(), indexes.first()).labels;
        m_document->editAsOneStep(tr("重命名 %1 为 %2").arg(item->text(0), name), [&] {
            for (int i = 0; i < indexes.size(); ++i)
                m_document->renameMeasurement(indexes.at(i),
                                              instrumentMeasurementName(name, labels.value(i)));
        });
    } else if (isGroupNode(item->parent())) {
        m_document->renameMeasurement(indexes.first(),
                                      instrumentMeasurementName(item->parent()->text(0), name));
    } else {
        m_document->renameMeasurement(indexes.first(), name);
    }
}

void ArchivePage::showMeasurementProperties(QTreeWidgetItem *item)
{
    if (!item)
        item = actedItem();
    const QVector<int> indexes = itemIndexes(item);
    if (indexes.isEmpty() || !m_document->measurement(indexes.first()))
        return;
    m_document->setCurrentIndex(indexes.first());
    const Data_List_T &m = *currentMeasurement();
    qint64 records = 0;
    for (int index : indexes)
        records += m_document->measurement(index)->records.size();
    QString text = tr("测量名称   ") + QLatin1Char('\t') +
                   (isGroupNode(item) ? item->text(0) : m.name) + QLatin1Char('\n') +
                   tr("测量时间   ") + QLatin1Char('\t') +
                   m.created.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) + QLatin1Char('\n') +
                   tr("数据数量   ") + QLatin1Char('\t') + QString::number(records);
    if (isGroupNode(item))
        text += QLatin1Char('\n') + tr("仪器   ") + QLatin1Char('\t') +
                groupOf(archive(), indexes.first()).labels.join(QStringLiteral("、"));
    UserDialogs::information(nullptr, tr("测量属性"), text, m_okText);
}

// Opened with the desktop's default handler for folders.
void ArchivePage::openDataDirectory()
{
    QDir().mkpath(m_settings.dataDir);
    m_ctx.openWithDesktop(m_settings.dataDir);
}
