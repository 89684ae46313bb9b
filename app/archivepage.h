#pragma once

#include "app/windowcontext.h"

class QAction;
class QMenu;
class QTreeWidgetItem;

// The archive: the measurement tree, the data files behind the file
// buttons, and the undo history of the archive's edits.
class ArchivePage : public PageController
{
    Q_OBJECT

public:
    explicit ArchivePage(WindowContext &context);

    // Opens the archive in data file `path` in place of the present one
    // (asking whether to save that first); a file that cannot be read or is
    // no data file is reported and changes nothing.
    void openArchive(const QString &path);
    // Returns true when the archive is on disk (or there was nothing to
    // write), false when the user cancelled or it could not be written.
    bool saveArchiveFile();
    // The data file chosen in the save dialog, never one of the program's
    // working files; empty when the user cancelled.
    QString chooseArchiveFile();
    // False (and said) when the archive could not be written to `path`.
    bool writeArchiveFile(const QString &path);
    // Appends a copy of `measurement` and makes it current.
    void addMeasurement(const Data_List_T &measurement);
    // The tree rebuilt from the archive, its current measurement shown.
    void showMeasurements();
    // The undo and redo entries that can run now, for a context menu.
    void addUndoEntries(QMenu *menu);
    // A checklist of the archive's measurements; those ticked are selected
    // in the tree and compared on the chart.
    void compareWith();

public slots:
    void on_pb_new_file_clicked();
    void on_pb_open_file_clicked();
    void on_pb_save_file_clicked();
    void on_pb_save_file_as_clicked();
    void on_treeWidget_currentItemChanged(QTreeWidgetItem *current, QTreeWidgetItem *previous);
    void on_treeWidget_customContextMenuRequested(const QPoint &pos);
    void on_treeWidget_itemDoubleClicked(QTreeWidgetItem *item, int column);
    void handleTreeviewMenuClicked();

private:
    void openArchiveFile();
    // The measurements selected in the tree go to the chart to be compared.
    void selectionToChart();

    // Table and chart show nothing once no measurement is left to show.
    void showNoMeasurement();
    // Appends a new, empty measurement with the next free name.
    void addNewMeasurement();
    // An undo step changed the records of the current measurement.
    void showEditedRecords(int recordsBefore);
    void setupUndo();
    // Texts and states of the undo and redo entries from the history.
    void refreshUndoActions();
    void undoEdit();
    void redoEdit();
    // One tree item per measurement, all with the normal icon; each item
    // holds its measurement's archive index. The measurements of a recording
    // made with several instruments (measurementGroups()) are the children,
    // named by label, of one node named after the recording, which holds
    // the first index and their count.
    void rebuildTree();
    // The archive indexes an item stands for: its measurement's, or its
    // group's; empty for none.
    static QVector<int> itemIndexes(const QTreeWidgetItem *item);
    // The measurement an item makes current: its own or its group's first;
    // -1 for none.
    static int measurementIndex(const QTreeWidgetItem *item);
    static bool isGroupNode(const QTreeWidgetItem *item);
    // The item the tree's menu entries act on: the current one when it is
    // selected, else the first selected.
    QTreeWidgetItem *actedItem() const;
    QTreeWidgetItem *itemOfMeasurement(int index) const;
    // Selects item `index`, makes it the tree's current item (which makes
    // its measurement current) and gives it the selected icon.
    void makeItemCurrent(int index);
    void deleteMeasurement();
    void moveMeasurementUp();
    void renameMeasurement(QTreeWidgetItem *item = nullptr);
    void showMeasurementProperties(QTreeWidgetItem *item = nullptr);
    void openDataDirectory();

    QAction *m_undoAction = nullptr;
    QAction *m_redoAction = nullptr;
};
