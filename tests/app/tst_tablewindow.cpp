#include "app/archivepage.h"
#include "app/mainwindow.h"
#include "app/recordingpage.h"
#include "app/startup.h"
#include "app/tablepage.h"
#include "app/userdialogs.h"
#include "resources/initresources.h"
#include "settings/settingsfile.h"
#include "tests/app/fakerecording.h"
#include "ui_mainwindow.h"

#include <QAction>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

#include <memory>

// The main window's data table: pages of a measurement, the text copy and the
// record clipboard's menu entries.
class TestTableWindow : public QObject
{
    Q_OBJECT

    QScopedPointer<QTemporaryDir> m_dir;

    // Makes the current measurement hold `n` records whose T1 value is their
    // 1-based position.
    // The table tab holds the full table; the chart tab only the narrow one.
    static void showTableTab(MainWindow &w) { w.form()->tabWidget_data->setCurrentIndex(1); }

    static void fill(MainWindow &w, int n)
    {
        QVector<_T_EE_TEST_DATA> records(n);
        for (int i = 0; i < n; ++i) {
            records[i].year = 24;
            records[i].month = 3;
            records[i].day = 5;
            records[i].hour = 9;
            records[i].minute = 7;
            records[i].second = 1;
            records[i].value[0] = float(i + 1);
        }
        w.currentMeasurement()->records = records;
        w.tablePage()->tableMeasurementChanged();
    }
    static QString cell(MainWindow &w, int row, int column)
    {
        const QTableWidgetItem *item = w.form()->tableWidget->item(row, column);
        return item ? item->text() : QStringLiteral("<none>");
    }
    // Runs the menu entry with `data`; false when the menu does not offer it.
    static bool runEntry(MainWindow &w, int data)
    {
        std::unique_ptr<QMenu> menu(w.tablePage()->createTableMenu());
        for (QAction *action : menu->actions()) {
            if (!action->isSeparator() && action->data().toInt() == data) {
                action->trigger();
                return true;
            }
        }
        return false;
    }
    static void selectRows(MainWindow &w, int top, int bottom)
    {
        QTableWidget *t = w.form()->tableWidget;
        t->clearSelection();
        t->setRangeSelected(QTableWidgetSelectionRange(top, 0, bottom, t->columnCount() - 1), true);
    }

private slots:
    void initTestCase() { kxInitResources(); }

    void init()
    {
        m_dir.reset(new QTemporaryDir);
        QVERIFY(m_dir->isValid());
        QVERIFY(QDir::setCurrent(m_dir->path()));
        UserDialogs::setResponder([](const DialogRequest &) { return DialogAnswer(); });
        MainWindow::setPortSource([] { return QStringList(); });
    }

    void cleanup()
    {
        UserDialogs::setResponder({});
        MainWindow::setPortSource({});
    }

    void pagesOfAMeasurement()
    {
        MainWindow w;
        showTableTab(w);
        QTableWidget *t = w.form()->tableWidget;
        QScrollBar *bar = w.form()->horizontalScrollBar;
        QLabel *label = w.form()->label_page;
        fill(w, 2500);
        QCOMPARE(w.tablePage()->tablePageCount(), 3);
        QVERIFY(!bar->isHidden());
        QCOMPARE(bar->value(), 2);
        QVERIFY(!label->isHidden());
        QCOMPARE(label->text(), QStringLiteral("第 3 / 3 页"));
        QCOMPARE(t->columnCount(), 10);
        QCOMPARE(t->horizontalHeaderItem(2)->text(), QStringLiteral("T1 温度(℃)"));
        QCOMPARE(t->rowCount(), 834);
        QCOMPARE(cell(w, 0, 0), QStringLiteral("2500"));
        QCOMPARE(cell(w, 0, 2), QStringLiteral("2500")); // above 1000: no decimals
        QCOMPARE(cell(w, 833, 0), QStringLiteral("1667"));
        QCOMPARE(cell(w, 0, 1), QStringLiteral("2024-03-05-09:07:01"));
        bar->setValue(1);
        QCOMPARE(label->text(), QStringLiteral("第 2 / 3 页"));
        QCOMPARE(cell(w, 0, 0), QStringLiteral("1666"));
        QCOMPARE(cell(w, 832, 0), QStringLiteral("834"));
        bar->setValue(0);
        QCOMPARE(label->text(), QStringLiteral("第 1 / 3 页"));
        QCOMPARE(t->rowCount(), 833);
        QCOMPARE(cell(w, 0, 0), QStringLiteral("833"));
        QCOMPARE(cell(w, 832, 0), QStringLiteral("1"));

        // A click in the groove and a wheel step move by one page.
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(bar->value(), 1);
        for (int delta : {-120, 120}) {
            bar->setValue(0);
            QWheelEvent wheel(QPointF(5, 5), bar->mapToGlobal(QPoint(5, 5)), QPoint(),
                              QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                              false);
            QApplication::sendEvent(bar, &wheel);
            QVERIFY(bar->value() <= 1);
        }

        w.tablePage()->setCompactTable(true);
        QCOMPARE(t->columnCount(), 6);
        QCOMPARE(cell(w, 0, 1), QStringLiteral("09:07:01"));

        fill(w, 1001);
        QCOMPARE(label->text(), QStringLiteral("第 2 / 2 页"));
        fill(w, 999);
        QVERIFY(bar->isHidden());
        QVERIFY(label->isHidden());
        QCOMPARE(t->rowCount(), 999);

        w.setCurrentMeasurement(nullptr);
        w.tablePage()->tableMeasurementChanged();
        QCOMPARE(t->rowCount(), 1);
        QCOMPARE(cell(w, 0, 0), QStringLiteral("<none>"));
    }

    // Whatever font the system gives for the table, the headers and the
    // time cells are shown whole, in both languages and both layouts.
    void columnsHoldTheirTexts_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<bool>("narrow");
        QTest::newRow("en full") << kLanguageEnglish << false;
        QTest::newRow("zh full") << kLanguageChinese << false;
        QTest::newRow("en narrow") << kLanguageEnglish << true;
        QTest::newRow("zh narrow") << kLanguageChinese << true;
    }
    void columnsHoldTheirTexts()
    {
        QFETCH(int, language);
        QFETCH(bool, narrow);
        AppSettings settings;
        settings.language = language;
        QFile config(QStringLiteral("config.cfg"));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write(encodeSettings(settings));
        config.close();
        const QList<QTranslator *> translators =
            installTranslators(*QCoreApplication::instance(), language);
        MainWindow w;
        for (QTranslator *translator : translators)
            QCoreApplication::removeTranslator(translator);
        qDeleteAll(translators);

        showTableTab(w);
        fill(w, 3);
        w.currentMeasurement()->records[2].year = 26;
        w.currentMeasurement()->records[2].month = 12;
        w.currentMeasurement()->records[2].day = 28;
        w.currentMeasurement()->records[2].hour = 18;
        w.currentMeasurement()->records[2].minute = 48;
        w.currentMeasurement()->records[2].second = 58;
        w.tablePage()->setCompactTable(narrow);
        QTableWidget *t = w.form()->tableWidget;
        QCOMPARE(cell(w, 0, 1),
                 narrow ? QStringLiteral("18:48:58") : QStringLiteral("2026-12-28-18:48:58"));
        const QModelIndex time = t->model()->index(0, 1);
        QVERIFY2(t->sizeHintForIndex(time).width() <= t->visualRect(time).width(),
                 qPrintable(QStringLiteral("time column %1 px").arg(t->columnWidth(1))));
        for (int c = 0; c < t->columnCount(); ++c)
            QVERIFY2(t->horizontalHeader()->sectionSizeHint(c) <= t->columnWidth(c),
                     qPrintable(t->horizontalHeaderItem(c)->text()));
    }

    void limitColours()
    {
        MainWindow w;
        showTableTab(w);
        fill(w, 2);
        w.currentMeasurement()->records[1].state[0] = StateAboveRange;
        w.currentMeasurement()->records[0].value[0] = 150.0f; // over the default 100
        w.tablePage()->tableMeasurementChanged();
        QTableWidget *t = w.form()->tableWidget;
        QCOMPARE(cell(w, 0, 2), QStringLiteral("OL"));
        QVERIFY(t->item(0, 2)->foreground().color() != QColor(Qt::red));
        w.recordingPage()->on_pb_limit_enable_T1_clicked(true);
        QCOMPARE(t->item(0, 2)->foreground().color(), QColor(Qt::red));
        QCOMPARE(t->item(1, 2)->foreground().color(), QColor(Qt::red));
        QVERIFY(t->item(0, 4)->foreground().color() != QColor(Qt::red));
    }

    void textCopyOfABlock()
    {
        MainWindow w;
        showTableTab(w);
        fill(w, 5);
        QTableWidget *t = w.form()->tableWidget;
        t->setRangeSelected(QTableWidgetSelectionRange(1, 0, 2, 2), true);
        w.tablePage()->copy();
        QCOMPARE(QApplication::clipboard()->text(),
                 QStringLiteral("4\t2024-03-05-09:07:01\t4.0\n3\t2024-03-05-09:07:01\t3.0\n"));
        // Two blocks: both, top first.
        t->setRangeSelected(QTableWidgetSelectionRange(4, 0, 4, 0), true);
        t->setRangeSelected(QTableWidgetSelectionRange(0, 0, 0, 0), true);
        w.tablePage()->copy();
        QCOMPARE(
            QApplication::clipboard()->text(),
            QStringLiteral("5\n4\t2024-03-05-09:07:01\t4.0\n3\t2024-03-05-09:07:01\t3.0\n1\n"));
    }

    void cutAndInsertThroughTheMenu()
    {
        MainWindow w;
        showTableTab(w);
        fill(w, 10);
        std::unique_ptr<QMenu> empty(w.tablePage()->createTableMenu());
        QVERIFY(empty->actions().isEmpty());

        selectRows(w, 2, 3); // records 8 and 7
        QVERIFY(runEntry(w, 4));
        QCOMPARE(w.tablePage()->recordClipboard().size(), 2);
        QCOMPARE(w.currentMeasurement()->records.size(), 8);
        QVERIFY(w.isModified());
        QCOMPARE(cell(w, 2, 0), QStringLiteral("6"));
        QCOMPARE(cell(w, 2, 2), QStringLiteral("6.0"));

        selectRows(w, 0, 0);
        QVERIFY(runEntry(w, 2));
        QCOMPARE(w.currentMeasurement()->records.size(), 10);
        QCOMPARE(cell(w, 0, 2), QStringLiteral("8.0"));
        QCOMPARE(cell(w, 1, 2), QStringLiteral("7.0"));
        QCOMPARE(cell(w, 2, 2), QStringLiteral("10.0"));

        // Delete the bottom row (record 1); the clipboard stays.
        selectRows(w, 9, 9);
        QVERIFY(runEntry(w, 5));
        QCOMPARE(w.currentMeasurement()->records.first().value[0], 2.0f);
        QCOMPARE(w.tablePage()->recordClipboard().size(), 2);
    }

    // An edit leaves the table on the page it was made on.
    void anInsertKeepsThePage()
    {
        MainWindow w;
        showTableTab(w);
        fill(w, 2500);
        QScrollBar *bar = w.form()->horizontalScrollBar;
        bar->setValue(0);
        selectRows(w, 1, 2); // records 832 and 831
        QVERIFY(runEntry(w, 1));
        QVERIFY(runEntry(w, 2));
        QCOMPARE(w.currentMeasurement()->records.size(), 2502);
        QCOMPARE(w.tablePage()->tableCurrentPage(), 0);
        QCOMPARE(bar->value(), 0);
        QCOMPARE(w.form()->label_page->text(), QStringLiteral("第 1 / 3 页"));
        // The copies went in above record 832 and top the page.
        QCOMPARE(cell(w, 0, 0), QStringLiteral("834"));
        QCOMPARE(cell(w, 0, 2), QStringLiteral("832.0"));
    }

    // Cut and delete act on the selection: it must not stay on rows that
    // now show other records.
    void selectionEndsWhenTheRowsChange()
    {
        MainWindow w;
        showTableTab(w);
        QTableWidget *t = w.form()->tableWidget;
        fill(w, 2500);
        selectRows(w, 3, 5);
        w.applyUnit(1); // the same records in another unit
        QCOMPARE(t->selectedItems().size(), 3 * t->columnCount());
        w.form()->horizontalScrollBar->setValue(1);
        QVERIFY(t->selectedItems().isEmpty());
        selectRows(w, 0, 0);
        QVERIFY(runEntry(w, 5));
        QVERIFY(t->selectedItems().isEmpty());
    }

    // The live view's selection stays on its readings while new ones come
    // in on top, so they can be copied during a recording.
    void liveSelectionFollowsItsReadings()
    {
        IdlePort port;
        MainWindow w;
        showTableTab(w);
        FakeRecording recording(w, port, QDateTime(QDate(2026, 3, 4), QTime(10, 0, 0)));
        QVERIFY(recording.attached());
        recording.start();
        const auto record = [&](float t1) {
            _T_PRINT_OUT_DATA r;
            r.value[0] = t1;
            recording.record(r);
            w.handleTimeOut();
        };
        record(1);
        record(2);
        selectRows(w, 0, 0);
        record(3);
        const QList<QTableWidgetSelectionRange> ranges = w.form()->tableWidget->selectedRanges();
        QCOMPARE(ranges.size(), 1);
        QCOMPARE(ranges.first().topRow(), 1);
        QCOMPARE(ranges.first().bottomRow(), 1);
        QVERIFY(runEntry(w, 1));
        QVERIFY(QApplication::clipboard()->text().contains(QStringLiteral("\t2.0\t")));
    }

    // Row edits ask nothing: Ctrl+Z brings the rows back and Ctrl+Shift+Z
    // removes them again; a deleted measurement comes back into the tree.
    void editsAreUndoneFromTheKeyboard()
    {
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        showTableTab(w);
        fill(w, 10);
        const QVector<_T_EE_TEST_DATA> before = w.currentMeasurement()->records;
        selectRows(w, 2, 4); // records 8, 7, 6
        QVERIFY(runEntry(w, 5));
        QCOMPARE(w.currentMeasurement()->records.size(), 7);
        std::unique_ptr<QMenu> menu(w.tablePage()->createTableMenu());
        QCOMPARE(menu->actions().last()->text(), QStringLiteral("撤销删除 3 行"));

        QTest::keyClick(&w, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.currentMeasurement()->records, before);
        QCOMPARE(cell(w, 2, 2), QStringLiteral("8.0"));
        QVERIFY(!w.isModified());
        QTest::keyClick(&w, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(w.currentMeasurement()->records.size(), 7);
        QCOMPARE(cell(w, 2, 2), QStringLiteral("5.0"));

        // The tree's delete still asks; "是" deletes.
        UserDialogs::setResponder([](const DialogRequest &) {
            DialogAnswer yes;
            yes.button = 0;
            return yes;
        });
        QAction treeDelete;
        treeDelete.setData(1);
        connect(&treeDelete, &QAction::triggered, w.archivePage(),
                &ArchivePage::handleTreeviewMenuClicked);
        treeDelete.trigger();
        QCOMPARE(w.form()->treeWidget->topLevelItemCount(), 0);
        QTest::keyClick(&w, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.form()->treeWidget->topLevelItemCount(), 1);
        QCOMPARE(cell(w, 2, 2), QStringLiteral("5.0"));
    }
};

QTEST_MAIN(TestTableWindow)
#include "tst_tablewindow.moc"
