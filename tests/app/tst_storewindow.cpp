#include "app/archivepage.h"
#include "app/mainwindow.h"
#include "app/userdialogs.h"
#include "chart/chartplot.h"
#include "instrument/temperature.h"
#include "resources/initresources.h"
#include "settings/settingsfile.h"
#include "sim/instrumentsimulator.h"
#include "store/datafile.h"
#include "store/recordingjournal.h"
#include "store/unsavedarchive.h"
#include "tests/app/fakerecording.h"
#include "tests/app/windowtest.h"
#include "ui_mainwindow.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

#include <unistd.h>

class TestStoreWindow : public WindowTest
{
    Q_OBJECT

private:
    static DialogAnswer button(int index)
    {
        DialogAnswer a;
        a.button = index;
        return a;
    }
    static DialogAnswer file(const QString &path)
    {
        DialogAnswer a;
        a.accepted = true;
        a.text = path;
        return a;
    }
    QString path(const QString &name) const { return m_dir->filePath(name); }

    static QVector<_T_EE_TEST_DATA> someRecords(int n)
    {
        QVector<_T_EE_TEST_DATA> records(n);
        for (int i = 0; i < n; ++i) {
            records[i].second = quint8(i % 60);
            records[i].value[0] = 20.5f + i;
            records[i].state[3] = 3;
        }
        return records;
    }
    static void writeFile(const QString &name, const QByteArray &bytes)
    {
        QFile f(name);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    static QByteArray readFile(const QString &name)
    {
        QFile f(name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static QStringList treeTexts(MainWindow &w)
    {
        QStringList texts;
        QTreeWidget *tree = w.form()->treeWidget;
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            texts << tree->topLevelItem(i)->text(0);
        return texts;
    }
    static bool hasIcon(QTreeWidgetItem *item, const char *path)
    {
        return item->icon(0).pixmap(16).toImage() ==
               QIcon(QString::fromLatin1(path)).pixmap(16).toImage();
    }
    // Notes that what the window holds unsaved cannot be kept on disk.
    int unavailableBackupNotes() const
    {
        return int(std::count_if(m_asked.begin(), m_asked.end(), [](const DialogRequest &r) {
            return r.text.startsWith(QStringLiteral("无法备份未保存的数据到"));
        }));
    }
    // Runs a tree menu entry as the menu would.
    static void menuEntry(MainWindow &w, int data)
    {
        QAction action;
        action.setData(data);
        QObject::connect(&action, &QAction::triggered, w.archivePage(),
                         &ArchivePage::handleTreeviewMenuClicked);
        action.trigger();
    }

    // The steps of archiveLifeCycle.
    enum LifeStep
    {
        SaveOntoUnsaved,
        SaveOntoSymlink,
        SaveOntoHardLink,
        SaveAsOntoUnsaved,
        CloseCancelledInSaveDialog,
        OpenAfterNo,
        OpenCancelled,
        FirstDialog
    };

private slots:
    void initTestCase() { kxInitResources(); }

    void init() { QVERIFY(setUpWindowTest()); }

    void cleanup()
    {
        tearDownWindowTest();
        MainWindow::setModalRunner({});
    }

    // ---- Backup and data files ----

    void backupRestoresAndSaveOpenRoundTrip()
    {
        writeFile(QStringLiteral("auto_backup.bak"), backupFileToBytes(someRecords(25)));
        MainWindow w;
        QVERIFY(m_asked.isEmpty());
        QCOMPARE(treeTexts(w), (QStringList{QStringLiteral("auto_backup")}));
        QCOMPARE(w.currentMeasurement(), w.archive().lists.at(0));
        QCOMPARE(w.currentMeasurement()->records, someRecords(25));
        QVERIFY(w.isModified());
        QCOMPARE(QFileInfo(QStringLiteral("auto_backup.bak")).size(), 0);

        m_answers << file(path(QStringLiteral("a.dat")));
        w.form()->pb_save_file->click();
        QCOMPARE(m_asked.size(), 1);
        const DialogRequest &save = m_asked.at(0);
        QCOMPARE(save.kind, DialogRequest::SaveFile);
        QCOMPARE(save.title, QStringLiteral("保存数据到文件"));
        QCOMPARE(save.filter, QStringLiteral("数据文件 (*.dat)"));
        QVERIFY(save.directory.startsWith(w.settings().dataDir + QStringLiteral("/新建档案_")));
        QVERIFY(QRegularExpression(
                    QStringLiteral("_\\d{4}_\\d\\d_\\d\\d \\d\\d_\\d\\d_\\d\\d_\\d{3}\\.dat$"))
                    .match(save.directory)
                    .hasMatch());
        QVERIFY(!w.isModified());
        QCOMPARE(readFile(path(QStringLiteral("a.dat"))), dataFileToBytes(w.archive()));

        // A later start opens it without asking: only the empty measurement is there.
        MainWindow other;
        m_asked.clear();
        m_answers << file(path(QStringLiteral("a.dat")));
        other.form()->pb_open_file->click();
        QCOMPARE(m_asked.size(), 1);
        QCOMPARE(m_asked.at(0).title, QStringLiteral("打开数据文件"));
        QCOMPARE(dataFileToBytes(other.archive()), dataFileToBytes(w.archive()));
        QCOMPARE(other.archive().lists.at(0)->created, w.archive().lists.at(0)->created);
        QCOMPARE(other.currentMeasurement(), other.archive().lists.at(0));
        QCOMPARE(treeTexts(other), treeTexts(w));
        QVERIFY(!other.isModified());
    }

    void failedOrCancelledSaveKeepsTheChanges()
    {
        MainWindow w;
        w.form()->pb_new_file->click();
        QVERIFY(w.isModified());
        w.form()->pb_save_file->click(); // cancelled
        QVERIFY(w.isModified());
        QCOMPARE(m_asked.size(), 1);

        QVERIFY(QDir::current().mkdir(QStringLiteral("d.dat")));
        m_answers << file(path(QStringLiteral("d"))); // a directory cannot be written
        w.form()->pb_save_file->click();
        QCOMPARE(m_asked.size(), 3);
        QCOMPARE(m_asked.at(2).text, QStringLiteral("无法创建文件，请使用管理员权限运行程序。\n") +
                                         QString::fromLocal8Bit(std::strerror(EISDIR)));
        QVERIFY(w.isModified());

        // Closing: "是" with a cancelled save stays open, "取消" too,
        // "是" with a save closes.
        w.show();
        m_answers << button(0);
        QVERIFY(!w.close());
        m_answers << button(2);
        QVERIFY(!w.close());
        m_answers << button(0) << file(path(QStringLiteral("c"))); // ".dat" is added
        QVERIFY(w.close());
        QVERIFY(QFile::exists(path(QStringLiteral("c.dat"))));
        QVERIFY(!w.isModified());

        // Saving again proposes the file it went to.
        w.form()->pb_new_file->click();
        m_answers << button(0);
        QVERIFY(!w.close());
        QCOMPARE(m_asked.last().kind, DialogRequest::SaveFile);
        QCOMPARE(m_asked.last().directory, path(QStringLiteral("c.dat")));
    }

    void damagedFilesAreRefused()
    {
        Data_table_T saved = newArchive();
        saved.append(newMeasurement(someRecords(3), QStringLiteral("m")));
        const QByteArray bytes = dataFileToBytes(saved);
        writeFile(path(QStringLiteral("bad.dat")), bytes.left(bytes.size() - 5));
        writeFile(path(QStringLiteral("good.dat")), bytes);

        MainWindow w;
        w.form()->pb_new_file->click();
        const QByteArray before = dataFileToBytes(w.archive());
        m_answers << file(path(QStringLiteral("bad.dat")));
        w.form()->pb_open_file->click();
        QCOMPARE(m_asked.size(), 2); // no question about saving
        QCOMPARE(m_asked.at(1).kind, DialogRequest::Information);
        QCOMPARE(m_asked.at(1).text, QStringLiteral("该文件不是有效的数据文件，无法打开。"));
        QCOMPARE(dataFileToBytes(w.archive()), before);
        QCOMPARE(treeTexts(w).size(), 2);

        // A file cut at any length is refused the same way.
        for (int length = 0; length < bytes.size(); ++length) {
            writeFile(path(QStringLiteral("cut.dat")), bytes.left(length));
            m_answers << file(path(QStringLiteral("cut.dat")));
            w.form()->pb_open_file->click();
            QCOMPARE(m_asked.last().text, QStringLiteral("该文件不是有效的数据文件，无法打开。"));
        }
        QCOMPARE(dataFileToBytes(w.archive()), before);

        // "是" and a cancelled save abandon the open.
        m_asked.clear();
        m_answers << file(path(QStringLiteral("good.dat"))) << button(0);
        w.form()->pb_open_file->click();
        QCOMPARE(m_asked.size(), 3);
        QCOMPARE(m_asked.at(1).text,
                 QStringLiteral("是否保存现有列表数据？\n不保存目前数据将会丢失"));
        QCOMPARE(dataFileToBytes(w.archive()), before);

        // "否" loads it.
        m_answers << file(path(QStringLiteral("good.dat"))) << button(1);
        w.form()->pb_open_file->click();
        QCOMPARE(dataFileToBytes(w.archive()), bytes);
        QCOMPARE(treeTexts(w), QStringList{QStringLiteral("m")});
    }

    void backupFollowsTheRecording()
    {
        const QDateTime start(QDate(2026, 3, 4), QTime(10, 0, 0));
        int seconds = 0;
        int recorded = 0;
        {
            IdlePort port;
            MainWindow w;
            QVERIFY(port.attach(w));
            w.device().setClock([&] { return start.addSecs(seconds); });
            w.device().handleTimeOut();
            _T_CTRL_CONFIG config;
            config.interval[3] = 1; // record every second
            w.device().codeDeal(QByteArray(1, 6) + ctrlConfigToBytes(config));
            w.form()->pb_start->click();
            const auto reading = [&] {
                ++seconds;
                w.device().handleTimeOut();
                _T_PRINT_OUT_DATA r;
                r.value[0] = 10.0f + seconds;
                w.device().codeDeal(QByteArray(1, 1) + printOutToBytes(r));
            };
            for (int round : {1, 3, 2}) {
                for (int k = 0; k < round; ++k)
                    reading();
                w.handleTimeOut();
                QCOMPARE(readJournalRecords(QStringLiteral("auto_backup.bak")),
                         w.device().recordedAsTestData());
            }
            recorded = w.device().recordedCount();
            QCOMPARE(recorded, 6);

            // A replot between two readings does not hold back the backup.
            reading();
            w.applyUnit(1);
            w.handleTimeOut();
            QCOMPARE(readJournalRecords(QStringLiteral("auto_backup.bak")),
                     w.device().recordedAsTestData());
            ++recorded;

            // The file buttons refuse while recording.
            w.form()->pb_save_file->click();
            w.form()->pb_open_file->click();
            w.form()->pb_new_file->click();
            QCOMPARE(m_asked.size(), 3);
            for (const DialogRequest &r : qAsConst(m_asked))
                QCOMPARE(r.text, QStringLiteral("数据记录中，请停止记录后尝试"));
            QCOMPARE(w.archive().lists.size(), 1);
            // The window goes away without stopping, as in a crash.
        }
        IdlePort againPort;
        MainWindow again;
        QVERIFY(againPort.attach(again));
        QCOMPARE(again.archive().lists.size(), 1);
        QCOMPARE(again.currentMeasurement()->name, QStringLiteral("auto_backup"));
        QCOMPARE(again.currentMeasurement()->records.size(), recorded);
        QCOMPARE(again.currentMeasurement()->records.at(5).value[0], 16.0f);
        // Until the archive is saved, the restored readings are also kept on
        // disk as a data file of their own, so a second crash loses nothing;
        // the backup waits for the recording to go on.
        QCOMPARE(readJournalRecords(QStringLiteral("auto_backup.bak")).size(), recorded);
        const QStringList kept =
            QDir::current().entryList({QStringLiteral("auto_backup_*.dat")}, QDir::Files);
        QCOMPARE(kept.size(), 1);
        Data_table_T recovered;
        QVERIFY(dataFileFromBytes(readFile(kept.first()), recovered));
        QCOMPARE(recovered.lists.size(), 1);
        QCOMPARE(recovered.lists.first()->records, again.currentMeasurement()->records);

        // Stopping a recording empties the backup.
        again.form()->spinBox_interval_sec->setValue(1);
        again.form()->pb_start->click();
        writeFile(QStringLiteral("auto_backup.bak"), backupFileToBytes(someRecords(2)));
        again.form()->pb_start->click();
        QCOMPARE(QFileInfo(QStringLiteral("auto_backup.bak")).size(), 0);
    }

    void closingDuringARecordingSavesIt()
    {
        IdlePort port;
        MainWindow w;
        FakeRecording recording(w, port, QDateTime(QDate(2026, 3, 4), QTime(10, 0, 0)));
        recording.start();
        for (int k = 0; k < 3; ++k)
            recording.record(_T_PRINT_OUT_DATA());
        w.handleTimeOut();
        w.show();
        // Cancel (Escape) asks first and leaves the recording running.
        QVERIFY(!w.close());
        QCOMPARE(m_asked.size(), 1);
        QVERIFY(w.device().isRecording());
        m_answers << button(0) << file(path(QStringLiteral("closed.dat")));
        QVERIFY(w.close());
        QVERIFY(!w.device().isRecording());
        Data_table_T saved;
        QVERIFY(dataFileFromBytes(readFile(path(QStringLiteral("closed.dat"))), saved));
        QCOMPARE(saved.lists.first()->records.size(), 3);
    }

    // Two windows in one folder keep separate backups; the next start
    // restores both, and their kept copies go once the archive is saved.
    void twoWindowsKeepTheirOwnBackups()
    {
        {
            IdlePort firstPort;
            IdlePort secondPort;
            MainWindow first;
            MainWindow second;
            FakeRecording one(first, firstPort, QDateTime(QDate(2026, 3, 4), QTime(10, 0, 0)));
            FakeRecording two(second, secondPort, QDateTime(QDate(2026, 3, 4), QTime(11, 0, 0)));
            one.start();
            two.start();
            for (int k = 0; k < 4; ++k) {
                one.record(_T_PRINT_OUT_DATA());
                if (k < 2)
                    two.record(_T_PRINT_OUT_DATA());
                first.handleTimeOut();
                second.handleTimeOut();
            }
        }
        MainWindow again;
        QCOMPARE(again.archive().lists.size(), 2);
        QList<int> sizes{again.archive().lists[0]->records.size(),
                         again.archive().lists[1]->records.size()};
        std::sort(sizes.begin(), sizes.end());
        QCOMPARE(sizes, (QList<int>{2, 4}));
        const QStringList copies{QStringLiteral("auto_backup_*.dat")};
        QCOMPARE(QDir::current().entryList(copies, QDir::Files).size(), 2);
        m_answers << file(path(QStringLiteral("all.dat")));
        again.form()->pb_save_file->click();
        QVERIFY(QFile::exists(path(QStringLiteral("all.dat"))));
        QCOMPARE(QDir::current().entryList(copies, QDir::Files).size(), 0);
    }

    void unwritableBackupIsReportedOncePerRecording()
    {
        QVERIFY(QDir::current().mkdir(QStringLiteral("auto_backup.bak")));
        const QDateTime start(QDate(2026, 3, 4), QTime(10, 0, 0));
        int seconds = 0;
        IdlePort port;
        MainWindow w;
        QVERIFY(port.attach(w));
        w.device().setClock([&] { return start.addSecs(seconds); });
        w.device().handleTimeOut();
        _T_CTRL_CONFIG config;
        config.interval[3] = 1;
        w.device().codeDeal(QByteArray(1, 6) + ctrlConfigToBytes(config));
        const auto recordFor = [&](int readings) {
            for (int k = 0; k < readings; ++k) {
                ++seconds;
                w.device().handleTimeOut();
                w.device().codeDeal(QByteArray(1, 1) + printOutToBytes(_T_PRINT_OUT_DATA()));
                w.handleTimeOut();
            }
        };
        const auto failures = [&] {
            int n = 0;
            for (const DialogRequest &r : qAsConst(m_asked))
                n += r.text == QStringLiteral("无法创建文件，请使用管理员权限运行程序。");
            return n;
        };
        m_asked.clear();
        w.form()->pb_start->click();
        recordFor(5);
        QCOMPARE(w.device().recordedCount(), 5);
        QCOMPARE(failures(), 1);
        w.form()->pb_start->click(); // stop; the next recording may say it again
        m_asked.clear();
        w.form()->pb_start->click();
        recordFor(3);
        QCOMPARE(failures(), 1);
        w.form()->pb_start->click();
    }

    // ---- What the window holds unsaved ----

    void stoppedRecordingSurvivesACrash_data()
    {
        QTest::addColumn<bool>("unsavedArchiveWritable");
        QTest::newRow("kept beside the backup") << true;
        // Then the backup keeps the readings: it is not emptied at the stop.
        QTest::newRow("folder in its place") << false;
    }
    void stoppedRecordingSurvivesACrash()
    {
        QFETCH(bool, unsavedArchiveWritable);
        if (!unsavedArchiveWritable)
            QVERIFY(QDir::current().mkdir(QStringLiteral("auto_backup.unsaved.dat")));
        QVector<_T_EE_TEST_DATA> recorded;
        {
            IdlePort port;
            MainWindow w;
            FakeRecording recording(w, port, QDateTime(QDate(2026, 3, 4), QTime(10, 0, 0)));
            recording.start();
            for (int k = 0; k < 3; ++k) {
                _T_PRINT_OUT_DATA reading;
                reading.value[0] = 20.0f + k;
                recording.record(reading);
            }
            w.handleTimeOut();
            w.form()->pb_start->click();
            recorded = w.archive().lists.first()->records;
            QCOMPARE(recorded.size(), 3);
            QCOMPARE(unavailableBackupNotes(), unsavedArchiveWritable ? 0 : 1);
            // The window goes away unsaved and without closing, as in a crash.
        }
        m_asked.clear();
        MainWindow again;
        QCOMPARE(treeTexts(again).size(), 1);
        QCOMPARE(treeTexts(again).last(), unsavedArchiveWritable ? QStringLiteral("新建测量")
                                                                 : QStringLiteral("auto_backup"));
        QCOMPARE(again.archive().lists.last()->records, recorded);
        QVERIFY(again.isModified());
    }

    // The empty measurement a start begins with does not pile up over
    // crashes, and the user is told what came back.
    void everyStartAfterACrashBringsBackTheSame()
    {
        Data_table_T kept = newArchive();
        kept.append(newMeasurement({}, QStringLiteral("新建测量")));
        kept.append(newMeasurement(someRecords(3), QStringLiteral("A")));
        QVERIFY(writeUnsavedArchive(QStringLiteral("auto_backup.bak"), kept));
        for (int start = 0; start < 2; ++start) {
            m_asked.clear();
            MainWindow w; // gone without closing, as in a crash
            QCOMPARE(treeTexts(w), (QStringList{QStringLiteral("新建测量"), QStringLiteral("A")}));
            QTRY_COMPARE(m_asked.size(), 1);
            QVERIFY(m_asked.first().text.contains(QStringLiteral("A（3 条记录）")));
        }
    }

    void savedOrGivenUpChangesAreNotOfferedBack_data()
    {
        QTest::addColumn<bool>("save");
        QTest::newRow("saved") << true;
        QTest::newRow("closed without saving") << false;
    }
    void savedOrGivenUpChangesAreNotOfferedBack()
    {
        QFETCH(bool, save);
        {
            MainWindow w;
            w.form()->pb_new_file->click();
            QTRY_VERIFY(QFile::exists(QStringLiteral("auto_backup.unsaved.dat")));
            if (save) {
                m_answers << file(path(QStringLiteral("a.dat")));
                w.form()->pb_save_file->click();
            } else {
                w.show();
                m_answers << button(1); // "否"
                QVERIFY(w.close());
            }
        }
        m_asked.clear();
        MainWindow again;
        QCOMPARE(treeTexts(again), QStringList{QStringLiteral("新建测量")});
        QVERIFY(!again.isModified());
        QTest::qWait(10);
        QVERIFY(m_asked.isEmpty());
    }

    void damagedUnsavedArchiveIsKeptAndToldOnce()
    {
        writeFile(QStringLiteral("auto_backup.unsaved.dat"), "not an archive");
        {
            MainWindow w;
            QTRY_COMPARE(m_asked.size(), 1);
            QCOMPARE(treeTexts(w), QStringList{QStringLiteral("新建测量")});
        }
        const QStringList kept = QDir::current().entryList(
            {QStringLiteral("auto_backup.unsaved.damaged_*.dat")}, QDir::Files);
        QCOMPARE(kept.size(), 1);
        QCOMPARE(readFile(kept.first()), QByteArray("not an archive"));
        QCOMPARE(m_asked.first().text,
                 QStringLiteral("上次未保存的数据已损坏，无法恢复。\n该文件保留为：") +
                     QDir::toNativeSeparators(path(kept.first())));
        MainWindow again;
        QTest::qWait(10);
        QCOMPARE(m_asked.size(), 1);
    }

    // ---- Tree ----

    void treeOperations()
    {
        MainWindow w;
        QTreeWidget *tree = w.form()->treeWidget;
        QVERIFY(tree->isHeaderHidden());
        QCOMPARE(treeTexts(w), QStringList{QStringLiteral("新建测量")});
        QVERIFY(!w.isModified());
        menuEntry(w, 0);
        w.form()->pb_new_file->click();
        QCOMPARE(tree->topLevelItemCount(), 3);
        QCOMPARE(w.currentMeasurement(), w.archive().lists.at(2));
        QCOMPARE(tree->currentItem(), tree->topLevelItem(2));
        QVERIFY(hasIcon(tree->topLevelItem(2), ":/images/ic_wj_xz.png"));
        QVERIFY(hasIcon(tree->topLevelItem(0), ":/images/ic_wj.png"));
        QCOMPARE(tree->topLevelItem(0)->flags(), Qt::ItemIsSelectable | Qt::ItemIsEnabled);

        // Choosing an item makes it current and moves the selected icon.
        tree->setCurrentItem(tree->topLevelItem(0));
        QCOMPARE(w.currentMeasurement(), w.archive().lists.at(0));
        QVERIFY(hasIcon(tree->topLevelItem(0), ":/images/ic_wj_xz.png"));
        QVERIFY(hasIcon(tree->topLevelItem(2), ":/images/ic_wj.png"));

        // Rename: OK with a text, OK with an empty text, cancel.
        QString typed;
        bool ok = true;
        MainWindow::setModalRunner([&](QDialog &dialog) {
            dialog.findChild<QLineEdit *>()->setText(typed);
            const QList<QPushButton *> buttons = dialog.findChildren<QPushButton *>();
            for (QPushButton *b : buttons)
                if (b->objectName() ==
                    (ok ? QStringLiteral("pushButton") : QStringLiteral("pushButton_2")))
                    b->click();
            return dialog.result();
        });
        tree->setCurrentItem(tree->topLevelItem(1));
        typed = QStringLiteral("第二");
        menuEntry(w, 3);
        typed.clear();
        menuEntry(w, 3);
        typed = QStringLiteral("x");
        ok = false;
        menuEntry(w, 3);
        QCOMPARE(treeTexts(w).at(1), QStringLiteral("第二"));
        QCOMPARE(tree->topLevelItem(1)->toolTip(0), QStringLiteral("第二"));
        QCOMPARE(w.currentMeasurement(), w.archive().lists.at(1));

        // Move up, also of the first item.
        menuEntry(w, 2);
        QCOMPARE(treeTexts(w).at(0), QStringLiteral("第二"));
        QCOMPARE(tree->currentItem(), tree->topLevelItem(0));
        menuEntry(w, 2);
        QCOMPARE(treeTexts(w).at(0), QStringLiteral("第二"));

        // Properties.
        m_asked.clear();
        menuEntry(w, 4);
        QCOMPARE(m_asked.size(), 1);
        QCOMPARE(m_asked.at(0).title, QStringLiteral("测量属性"));
        QVERIFY(m_asked.at(0).text.startsWith(QStringLiteral("测量名称   \t第二\n测量时间   \t")));
        QVERIFY(m_asked.at(0).text.endsWith(QStringLiteral("\n数据数量   \t0")));

        // Delete: "否" keeps it; deleting the middle one makes the next current.
        tree->setCurrentItem(tree->topLevelItem(1));
        m_asked.clear();
        m_answers << button(1);
        menuEntry(w, 1);
        QCOMPARE(tree->topLevelItemCount(), 3);
        QCOMPARE(m_asked.at(0).title, QStringLiteral("数据删除提示"));
        // The question names the measurement and how to get it back.
        QVERIFY(m_asked.at(0).text.startsWith(
            QStringLiteral("删除测量“%1”？").arg(tree->topLevelItem(1)->text(0))));
        QVERIFY(m_asked.at(0).text.contains(QStringLiteral("Ctrl+Z")));
        Data_List_T *third = w.archive().lists.at(2);
        m_answers << button(0);
        menuEntry(w, 1);
        QCOMPARE(w.archive().lists.size(), 2);
        QCOMPARE(w.currentMeasurement(), third);
        QCOMPARE(tree->currentItem(), tree->topLevelItem(1));
        m_answers << button(0) << button(0);
        menuEntry(w, 1);
        menuEntry(w, 1);
        QCOMPARE(tree->topLevelItemCount(), 0);
        QCOMPARE(w.currentMeasurement(), nullptr);
        m_asked.clear();
        menuEntry(w, 8);
        QCOMPARE(m_asked.size(), 1);
        QCOMPARE(m_asked.at(0).text, QStringLiteral("请选择需要导出的list数据"));
    }

    void nothingShownWithoutMeasurements()
    {
        Data_table_T archive = newArchive();
        archive.append(newMeasurement(someRecords(30), QStringLiteral("m")));
        writeFile(path(QStringLiteral("one.dat")), dataFileToBytes(archive));
        writeFile(path(QStringLiteral("none.dat")), dataFileToBytes(newArchive()));
        MainWindow w;
        const auto shownRecords = [&w] {
            int cells = 0;
            QTableWidget *t = w.form()->tableWidget;
            for (int r = 0; r < t->rowCount(); ++r)
                cells += t->item(r, 0) && !t->item(r, 0)->text().isEmpty();
            return cells + w.chart().plot()->graph(0)->dataCount();
        };
        for (const char *empty : {"delete", "none.dat"}) {
            m_answers << file(path(QStringLiteral("one.dat")));
            w.form()->pb_open_file->click();
            QVERIFY(shownRecords() >= 30);
            if (QByteArray(empty) == "delete") {
                m_answers << button(0);
                menuEntry(w, 1);
            } else {
                m_answers << file(path(QString::fromLatin1(empty))) << button(1);
                w.form()->pb_open_file->click();
            }
            QVERIFY(w.archive().lists.isEmpty());
            QCOMPARE(shownRecords(), 0);
        }
    }

    void fileDialogsStartWhereTheLastFileWent()
    {
        MainWindow w;
        QVERIFY(QDir::current().mkdir(QStringLiteral("sub")));
        w.form()->pb_new_file->click();
        m_answers << file(path(QStringLiteral("sub/a.dat")));
        w.form()->pb_save_file->click();
        QCOMPARE(m_asked.first().directory.section(QLatin1Char('/'), 0, -2), w.settings().dataDir);
        w.form()->pb_open_file->click();
        QCOMPARE(m_asked.last().directory, path(QStringLiteral("sub")));
    }

    void openDataDirectoryCreatesIt()
    {
        AppSettings settings;
        settings.dataDir = path(QStringLiteral("d/e"));
        writeFile(QStringLiteral("config.cfg"), encodeSettings(settings));
        MainWindow w;
        menuEntry(w, 9);
        QVERIFY(QDir(settings.dataDir).exists());
        QCOMPARE(m_opened.urls, QList<QUrl>{QUrl::fromLocalFile(settings.dataDir)});
    }

    void menuOnEmptySpace()
    {
        MainWindow w;
        w.archivePage()->on_treeWidget_customContextMenuRequested(QPoint(5, 400));
        QMenu *menu = w.findChild<QMenu *>();
        QVERIFY(menu);
        QStringList enabled;
        for (QAction *a : menu->actions())
            if (a->isEnabled() && !a->isSeparator())
                enabled << a->text();
        QCOMPARE(enabled,
                 (QStringList{QStringLiteral("文件管理器中打开"), QStringLiteral("导入设备数据"),
                              QStringLiteral("打开"), QStringLiteral("新建")}));
        menu->close();
    }

    // ---- The instrument's stored records ----

    void downloadAndErase()
    {
        SimulatorOptions options;
        options.storedRecords = 300;
        options.paced = false;
        options.eraseDelayMs = 100;
        InstrumentSimulator sim(options);
        QVERIFY(sim.start());
        m_ports = QStringList{sim.portPath()};
        MainWindow w;
        w.form()->pb_connect->click();
        QTRY_COMPARE(w.device().storedRecordCount(), quint32(300));
        QTRY_VERIFY(w.device().isIdentified());

        w.form()->pb_read_flash->click();
        QTRY_COMPARE(w.archive().lists.size(), 2);
        QCOMPARE(w.currentMeasurement()->records.size(), 300);
        QVERIFY(QRegularExpression(QStringLiteral("^\\d{8} \\d{6}_KX740D数据记录$"))
                    .match(w.currentMeasurement()->name)
                    .hasMatch());
        // It dates from its oldest record, not from the download.
        QCOMPARE(w.currentMeasurement()->created,
                 dateTimeFromRecord(w.currentMeasurement()->records.first()));

        // Erasing asks first, naming what is lost; Escape keeps the records.
        m_asked.clear();
        w.form()->pb_erase_flash->click();
        QCOMPARE(m_asked.size(), 1);
        QVERIFY(m_asked[0].text.contains(QStringLiteral("300")));
        QCOMPARE(m_asked[0].defaultButton, 1);
        QTest::qWait(200);
        QCOMPARE(w.device().storedRecordCount(), quint32(300));

        m_answers << button(0);
        w.form()->pb_erase_flash->click();
        QTRY_COMPARE(w.device().storedRecordCount(), quint32(0));
        QTest::qWait(200);
        QCOMPARE(w.archive().lists.size(), 2);

        // Nothing stored: said so, no empty measurement.
        m_asked.clear();
        w.form()->pb_read_flash->click();
        QCOMPARE(m_asked.size(), 1);
        QCOMPARE(m_asked[0].text, QStringLiteral("仪器中没有存储的记录。"));
        QCOMPARE(w.archive().lists.size(), 2);
    }

    // The wait dialog may close before the download's end arrives; a second
    // read or an erase until then would lose the first download.
    void transferEndIsWaitedFor()
    {
        SimulatorOptions options;
        options.storedRecords = 300;
        options.paced = false;
        InstrumentSimulator sim(options);
        QVERIFY(sim.start());
        m_ports = QStringList{sim.portPath()};
        MainWindow::setModalRunner([](QDialog &) { return 0; });
        MainWindow w;
        w.form()->pb_read_flash->click();
        QCOMPARE(m_asked.size(), 1);
        QCOMPARE(m_asked[0].text, QStringLiteral("未连接设备，请先连接设备。"));

        w.form()->pb_connect->click();
        QTRY_COMPARE(w.device().storedRecordCount(), quint32(300));
        QTRY_VERIFY(w.device().isIdentified());
        m_asked.clear();
        w.form()->pb_read_flash->click();
        w.form()->pb_read_flash->click();
        w.form()->pb_erase_flash->click();
        QCOMPARE(m_asked.size(), 2);
        for (const DialogRequest &r : m_asked)
            QCOMPARE(r.text, QStringLiteral("仪器正在传输数据，请等待传输结束后再试。"));
        QTRY_COMPARE(w.archive().lists.size(), 2);
        QCOMPARE(w.currentMeasurement()->records.size(), 300);
        QCOMPARE(w.device().storedRecordCount(), quint32(300));
    }

    // The real question box: Enter, Escape and its close button all keep
    // the measurement.
    void deleteQuestionGivesTheSafeAnswer()
    {
        UserDialogs::setResponder({});
        MainWindow w;
        QTreeWidget *tree = w.form()->treeWidget;
        tree->setCurrentItem(tree->topLevelItem(0));
        int boxes = 0;
        for (int key : {int(Qt::Key_Escape), int(Qt::Key_Return), 0}) {
            QTimer answer;
            QObject::connect(&answer, &QTimer::timeout, [&] {
                auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
                if (!box)
                    return;
                ++boxes;
                if (key)
                    QTest::keyClick(box, Qt::Key(key));
                else
                    box->close();
            });
            answer.start(20);
            menuEntry(w, 1);
        }
        QCOMPARE(boxes, 3);
        QCOMPARE(w.archive().lists.size(), 1);
    }

    // ---- Archive life cycle ----

    void archiveLifeCycle_data()
    {
        QTest::addColumn<int>("step");
        QTest::newRow("save onto the unsaved archive") << int(SaveOntoUnsaved);
        QTest::newRow("save onto a link to it") << int(SaveOntoSymlink);
        QTest::newRow("save onto a hard link to it") << int(SaveOntoHardLink);
        QTest::newRow("export onto it") << int(SaveAsOntoUnsaved);
        QTest::newRow("close, yes, cancel the save") << int(CloseCancelledInSaveDialog);
        QTest::newRow("open after no") << int(OpenAfterNo);
        QTest::newRow("open cancelled") << int(OpenCancelled);
        QTest::newRow("first dialog") << int(FirstDialog);
    }
    // A recording, stopped, then saved or given up while opening a file.
    void archiveLifeCycle()
    {
        QFETCH(int, step);
        AppSettings settings;
        settings.dataDir = path(QStringLiteral("docs/KX740D"));
        writeFile(QStringLiteral("config.cfg"), encodeSettings(settings));
        IdlePort port;
        MainWindow w;
        w.show();
        if (step == FirstDialog) {
            w.form()->pb_open_file->click();
            QCOMPARE(m_asked.first().directory, settings.dataDir);
            QVERIFY(QDir(settings.dataDir).exists());
            return;
        }
        FakeRecording recording(w, port, QDateTime(QDate(2026, 3, 4), QTime(10, 0, 0)));
        recording.start();
        for (int k = 0; k < 3; ++k)
            recording.record(_T_PRINT_OUT_DATA());
        w.handleTimeOut();
        if (step == CloseCancelledInSaveDialog) {
            m_answers << button(0); // then Escape in the save dialog
            QVERIFY(!w.close());
            QCOMPARE(m_asked.last().kind, DialogRequest::SaveFile);
            QVERIFY(w.device().isRecording());
            QVERIFY(m_asked.first().text.contains(QStringLiteral("都将结束记录")));
            QCOMPARE(m_asked.first().defaultButton, 2);
            QCOMPARE(m_asked.first().escapeButton, 2);
            return;
        }
        recording.start(); // stop
        const QString unsaved = path(QStringLiteral("auto_backup.unsaved.dat"));
        QVERIFY(QFile::exists(unsaved));
        if (step == SaveOntoUnsaved || step == SaveOntoSymlink || step == SaveOntoHardLink ||
            step == SaveAsOntoUnsaved) {
            QString target = unsaved;
            if (step == SaveOntoSymlink) {
                target = path(QStringLiteral("link.dat"));
                QVERIFY(QFile::link(unsaved, target));
            } else if (step == SaveOntoHardLink) {
                target = path(QStringLiteral("hard.dat"));
                QCOMPARE(::link(QFile::encodeName(unsaved), QFile::encodeName(target)), 0);
            }
            m_answers << file(target); // then Escape in the dialog shown again
            (step == SaveAsOntoUnsaved ? w.form()->pb_save_file_as : w.form()->pb_save_file)
                ->click();
            QCOMPARE(m_asked.size(), 3);
            QVERIFY(m_asked.at(1).text.startsWith(target));
            QCOMPARE(m_asked.at(2).kind, DialogRequest::SaveFile);
            QVERIFY(w.isModified());
            Data_table_T kept;
            QCOMPARE(readUnsavedArchive(path(QStringLiteral("auto_backup.bak")), kept),
                     UnsavedArchiveRead::Read);
            QCOMPARE(kept.lists.first()->records.size(), 3);
            return;
        }
        Data_table_T other = newArchive();
        other.append(newMeasurement(someRecords(30), QStringLiteral("m")));
        writeFile(path(QStringLiteral("one.dat")), dataFileToBytes(other));
        m_answers << file(path(QStringLiteral("one.dat")));
        if (step == OpenAfterNo)
            m_answers << button(1);
        w.form()->pb_open_file->click();
        if (step == OpenCancelled) {
            QCOMPARE(m_asked.at(1).buttons.size(), 3);
            QCOMPARE(m_asked.at(1).defaultButton, 2);
            QCOMPARE(m_asked.at(1).escapeButton, 2);
            QCOMPARE(w.currentMeasurement()->records.size(), 3);
            QVERIFY(QFile::exists(unsaved));
            return;
        }
        QCOMPARE(w.currentMeasurement()->records.size(), 30);
        QVERIFY(!w.isModified());
        QVERIFY(!QFile::exists(unsaved));
    }
};

QTEST_MAIN(TestStoreWindow)
#include "tst_storewindow.moc"
