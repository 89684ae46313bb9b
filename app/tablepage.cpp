// The data table: a page of the current measurement newest first, or the live
// view of a running recording, and the edits of the measurement through the
// record indexes its rows keep.

#include "app/tablepage.h"

#include "app/archivepage.h"
#include "app/chartpage.h"
#include "app/menuentry.h"
#include "instrument/temperature.h"
#include "store/tablepaging.h"
#include "store/tablerows.h"
#include "ui_mainwindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QMenu>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyle>
#include <QTableWidget>
#include <QtMath>

#include <algorithm>

namespace {

enum TableMenuEntry
{
    MenuCopy = 1,
    MenuInsertAbove = 2,
    MenuInsertBelow = 3,
    MenuCut = 4,
    MenuDelete = 5,
};

constexpr int kRowHeight = 24;
// The number cell's index of the record its row shows in the current
// measurement; none in the live view.
constexpr int kRecordIndexRole = Qt::UserRole;

} // namespace

TablePage::TablePage(WindowContext &context)
    : PageController(context), m_timeText(tr("时间")), m_numberText(tr("编号")),
      m_temperatureText(tr("温度"))
{
    setupTable();
    ui->tableWidget->setContextMenuPolicy(Qt::CustomContextMenu);
    connectSlotsByObjectName(this, m_ctx.window);
}

void TablePage::setupTable()
{
    QTableWidget *table = ui->tableWidget;
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->verticalHeader()->setDefaultSectionSize(kRowHeight);
    table->verticalHeader()->hide();
    ui->action_copy->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    table->addAction(ui->action_copy);
    connect(ui->action_copy, &QAction::triggered, this, &TablePage::copy);
    // One page per click in the groove and per wheel step (the wheel never
    // scrolls more than a page step), not ten and three.
    ui->horizontalScrollBar->setSingleStep(1);
    ui->horizontalScrollBar->setPageStep(1);
    ui->horizontalScrollBar->setRange(0, 0);
    ui->horizontalScrollBar->hide();
    ui->label_page->hide();
}

void TablePage::setCompactTable(bool compact)
{
    m_compactTable = compact;
    showCurrentMeasurement();
}

// While a recording runs the table keeps its live view, also when a unit or
// limit change redraws it.
void TablePage::showCurrentMeasurement()
{
    if (m_device.isRecording())
        updateTableWidget(m_device.lastRecorded(m_tablePageSize));
    else if (currentMeasurement())
        updateTableWidget(currentMeasurement()->records, true);
    else
        updateTableWidget(QVector<_T_EE_TEST_DATA>(), false);
}

void TablePage::updateTableWidget(const QVector<_T_EE_TEST_DATA> &data_table)
{
    updateTableWidget(data_table, true);
}

void TablePage::updateTableWidget(const QList<RecordedReading> &readings)
{
    updateTableWidget(liveRecords(readings, m_tablePageSize), false);
}

void TablePage::updateTableWidget(const QVector<_T_EE_TEST_DATA> &data_table,
                                  bool from_test_pointer)
{
    QTableWidget *table = ui->tableWidget;
    const bool narrow = m_compactTable;
    const int n = data_table.size();

    int top = n - 1;
    int rows = n;
    if (from_test_pointer) {
        const PageRows page = pageRows(n, m_currentPage, m_tablePageSize);
        top = page.topIndex;
        rows = page.rows;
    }

    // A selection belongs to the records it was made on: once the rows show
    // other records (another measurement or page, an edit) the cut and
    // delete entries must not act on them. In the live view it follows its
    // readings down as new ones come on top, so they can be copied.
    ShownRows shown;
    shown.live = !from_test_pointer && m_device.isRecording();
    shown.measurement = from_test_pointer ? currentMeasurement() : nullptr;
    shown.generation = m_document->generation();
    shown.count = shown.live ? m_device.recordedCount() : n;
    shown.top = top;
    shown.rows = rows;
    const std::optional<int> shift = selectionShift(m_shownRows, shown);
    m_shownRows = shown;
    QList<QTableWidgetSelectionRange> keptRanges;
    if (shift && *shift > 0)
        keptRanges = table->selectedRanges();
    if (!shift || *shift > 0)
        table->clearSelection();

    table->setUpdatesEnabled(false);
    table->setFont(QFont(narrow ? QStringLiteral("Calibri") : QStringLiteral("Consolas"), 12));
    table->setHorizontalScrollBarPolicy(narrow ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    const QStringList headers = tableHeaders(
        narrow, unitSymbol(m_unit), {m_numberText, m_timeText, m_temperatureText, tr("热电偶")});
    table->setColumnCount(headers.size());
    const int rowCount = from_test_pointer ? rows : rows + 1;
    table->setRowCount(rowCount);
    table->setHorizontalHeaderLabels(headers);
    table->verticalHeader()->hide();
    // The live view is drawn again every second with mostly the same rows:
    // the cells are kept and given their new texts instead of being made anew.
    for (int r = rows; r < rowCount; ++r)
        for (int c = 0; c < headers.size(); ++c)
            delete table->takeItem(r, c);

    const QColor high(Qt::red);
    const QColor low(Qt::blue);
    for (int r = 0; r < rows; ++r) {
        const int index = top - r;
        const _T_EE_TEST_DATA &record = data_table.at(index);
        const QStringList texts = recordRowTexts(record, index + 1, narrow, m_unit);
        for (int c = 0; c < texts.size(); ++c) {
            QTableWidgetItem *item = table->item(r, c);
            if (!item) {
                item = new QTableWidgetItem;
                item->setTextAlignment(Qt::AlignCenter);
                table->setItem(r, c, item);
            }
            item->setText(texts.at(c));
            item->setData(Qt::ForegroundRole, QVariant());
        }
        // Only a page of the measurement shows records that edits can reach.
        table->item(r, 0)->setData(kRecordIndexRole,
                                   from_test_pointer ? QVariant(index) : QVariant());
        for (int ch = 0; ch < kChannelCount; ++ch) {
            const LimitMark mark =
                limitMark(record.value[ch], record.state[ch], m_settings.limitEnabled[ch],
                          m_settings.highLimit[ch], m_settings.lowLimit[ch]);
            if (mark != LimitNone)
                table->item(r, valueColumn(ch, narrow))
                    ->setForeground(mark == LimitHigh ? high : low);
        }
    }

    for (const QTableWidgetSelectionRange &range : qAsConst(keptRanges)) {
        const int bottom = qMin(range.bottomRow() + *shift, rows - 1);
        if (range.topRow() + *shift <= bottom)
            table->setRangeSelected(QTableWidgetSelectionRange(range.topRow() + *shift,
                                                               range.leftColumn(), bottom,
                                                               range.rightColumn()),
                                    true);
    }
    fitTableColumns(headers, narrow, top + 1);
    table->setUpdatesEnabled(true);
}

void TablePage::refreshLiveTable()
{
    if (m_device.isRecording())
        updateTableWidget(m_device.lastRecorded(m_tablePageSize));
}

// Measuring the header sections through the style sheet costs as much as
// filling the rows, so the widths are measured again only when something
// they depend on changed, not on every live refresh.
void TablePage::fitTableColumns(const QStringList &headers, bool narrow, int largestNumber)
{
    QTableWidget *table = ui->tableWidget;
    const bool english = m_settings.language == 1;
    // The style changes once when the window's style sheet is applied.
    const QString measuredFor = headers.join(QLatin1Char('\t')) + QLatin1Char('\t') +
                                table->font().key() + QString::number(quintptr(table->style())) +
                                QString::number(narrow) + QString::number(english) +
                                QString::number(QString::number(largestNumber).size());
    if (measuredFor != m_tableWidthsMeasuredFor) {
        // The fonts asked for are substituted on most systems. Text margins
        // as the item delegate draws them, plus the grid line.
        TableTextRoom room;
        for (int c = 0; c < headers.size(); ++c)
            room.headerWidths << table->horizontalHeader()->sectionSizeHint(c);
        const QFontMetricsF cellFont(table->font());
        room.textWidth = [&cellFont](const QString &text) {
            return qCeil(cellFont.horizontalAdvance(text));
        };
        room.cellPadding =
            2 * (table->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, table) + 1) +
            (table->showGrid() ? 1 : 0);
        room.largestNumber = largestNumber;
        m_tableColumnWidths = fittedColumnWidths(narrow, english, room);
        m_tableWidthsMeasuredFor = measuredFor;
    }
    for (int c = 0; c < m_tableColumnWidths.size(); ++c)
        table->setColumnWidth(c, m_tableColumnWidths.at(c));
}

void TablePage::updatePaging()
{
    const int n = currentMeasurement() ? currentMeasurement()->records.size() : 0;
    showPaging(pageCountFor(n, m_tablePageSize) - 1);
}

// The caller shows the measurement afterwards; the bar must not show an
// intermediate page on the way.
void TablePage::showPaging(int page)
{
    const int n = currentMeasurement() ? currentMeasurement()->records.size() : 0;
    m_pageCount = pageCountFor(n, m_tablePageSize);
    m_currentPage = qBound(0, page, m_pageCount - 1);
    {
        const QSignalBlocker blocker(ui->horizontalScrollBar);
        ui->horizontalScrollBar->setRange(0, m_pageCount - 1);
        ui->horizontalScrollBar->setValue(m_currentPage);
    }
    on_horizontalScrollBar_rangeChanged(0, m_pageCount - 1);
    updatePageLabel();
}

void TablePage::updatePageLabel()
{
    ui->label_page->setText(tr("第 %1 / %2 页").arg(m_currentPage + 1).arg(m_pageCount));
}

void TablePage::on_horizontalScrollBar_rangeChanged(int min, int max)
{
    ui->horizontalScrollBar->setVisible(min != max);
    ui->label_page->setVisible(min != max);
}

void TablePage::on_horizontalScrollBar_valueChanged(int value)
{
    m_currentPage = value;
    updatePageLabel();
    showCurrentMeasurement();
}

QList<SelectedRows> TablePage::selectedTableRows() const
{
    QList<SelectedRows> out;
    const QTableWidget *table = ui->tableWidget;
    const QList<QTableWidgetSelectionRange> ranges = table->selectedRanges();
    for (const QTableWidgetSelectionRange &range : ranges) {
        SelectedRows rows;
        rows.topRow = range.topRow();
        for (int r = range.topRow(); r <= range.bottomRow(); ++r) {
            const QTableWidgetItem *item = table->item(r, 0);
            const QVariant index = item ? item->data(kRecordIndexRole) : QVariant();
            rows.numbers << (index.isValid() ? index.toInt() + 1 : 0);
        }
        out << rows;
    }
    return out;
}

// Every selected block, top to bottom, as tab-separated lines.
void TablePage::copy()
{
    const QTableWidget *table = ui->tableWidget;
    QList<QTableWidgetSelectionRange> ranges = table->selectedRanges();
    std::sort(ranges.begin(), ranges.end(),
              [](const QTableWidgetSelectionRange &a, const QTableWidgetSelectionRange &b) {
                  return a.topRow() < b.topRow();
              });
    QString text;
    for (const QTableWidgetSelectionRange &range : qAsConst(ranges)) {
        for (int r = range.topRow(); r <= range.bottomRow(); ++r) {
            for (int c = range.leftColumn(); c <= range.rightColumn(); ++c) {
                const QTableWidgetItem *item = table->item(r, c);
                if (!item)
                    break;
                text += item->text();
                text += c == range.rightColumn() ? QLatin1Char('\n') : QLatin1Char('\t');
            }
        }
    }
    if (!ranges.isEmpty())
        QApplication::clipboard()->setText(text);
}

QMenu *TablePage::createTableMenu()
{
    auto *menu = new QMenu(m_ctx.window);
    const auto add = [this, menu](const QString &icon, const QString &text, int data) {
        QAction *action = menu->addAction(QIcon(icon), text);
        action->setData(data);
        connect(action, &QAction::triggered, this,
                [this, action] { handleTableviewMenuClicked(action); });
    };
    const bool selected = !ui->tableWidget->selectedRanges().isEmpty();
    // The live view's numbers are those of the recording, not of the
    // measurement: during a recording only the text can be copied.
    const bool recording = m_device.isRecording();
    if (selected) {
        add(QStringLiteral(":/images/copy.png"), tr("复制"), MenuCopy);
        if (!recording) {
            add(QStringLiteral(":/images/cut.png"), tr("剪切"), MenuCut);
            add(QStringLiteral(":/images/ic_gb.png"), tr("删除"), MenuDelete);
        }
        menu->addSeparator();
    }
    if (!m_recordClipboard.isEmpty() && !recording) {
        add(QStringLiteral(":/images/paste.png"), tr("在上方插入"), MenuInsertAbove);
        add(QStringLiteral(":/images/paste.png"), tr("在下方插入"), MenuInsertBelow);
    }
    m_ctx.archive->addUndoEntries(menu);
    return menu;
}

void TablePage::on_tableWidget_customContextMenuRequested(const QPoint &pos)
{
    Q_UNUSED(pos)
    QMenu *menu = createTableMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(QCursor::pos());
}

void TablePage::tableMeasurementChanged()
{
    updatePaging();
    showCurrentMeasurement();
}

void TablePage::afterRecordEdit(int recordsBefore)
{
    const int recordsAfter = currentMeasurement() ? currentMeasurement()->records.size() : 0;
    showPaging(pageAfterEdit(m_currentPage, recordsBefore, recordsAfter, m_tablePageSize));
    showCurrentMeasurement();
    m_ctx.chart->replotCurrentMeasurement();
}

// The edits are undo steps of the document, which shows their result
// through showEditedRecords().
void TablePage::handleTableviewMenuClicked(QAction *action)
{
    const std::optional<int> entry = menuEntry(action);
    if (!entry)
        return;
    const bool recording = m_device.isRecording();
    const QList<SelectedRows> selection = selectedTableRows();
    Data_List_T *measurement = currentMeasurement();
    const int recordCount = measurement ? measurement->records.size() : 0;

    switch (*entry) {
    case MenuCopy:
        copy();
        if (!recording)
            collectRecords(measurement ? &measurement->records : nullptr, selection,
                           m_recordClipboard);
        break;
    case MenuCut:
        if (!recording && collectRecords(measurement ? &measurement->records : nullptr, selection,
                                         m_recordClipboard))
            m_document->removeRecords(measurement, selectedRecordIndexes(selection, recordCount),
                                      true);
        break;
    case MenuDelete:
        if (!recording)
            m_document->removeRecords(measurement, selectedRecordIndexes(selection, recordCount),
                                      false);
        break;
    case MenuInsertAbove:
    case MenuInsertBelow:
        if (!recording)
            m_document->insertRecords(
                measurement, insertionIndex(selection, recordCount, entry == MenuInsertAbove),
                m_recordClipboard);
        break;
    default:
        break;
    }
}
