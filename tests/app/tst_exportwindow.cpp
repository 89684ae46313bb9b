#include "app/archivepage.h"
#include "app/exportcontrol.h"
#include "app/mainwindow.h"
#include "app/tablepage.h"
#include "app/userdialogs.h"
#include "chart/chartplot.h"
#include "resources/initresources.h"
#include "settings/settingsfile.h"
#include "store/measurementgroups.h"
#include "tests/app/windowtest.h"
#include "ui_mainwindow.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTextEdit>
#include <QtTest>

#include <cerrno>
#include <cstring>

class TestExportWindow : public WindowTest
{
    Q_OBJECT

private:
    QString m_dataDir;

    static DialogAnswer saveAs(const QString &path, const QString &filter)
    {
        DialogAnswer a;
        a.accepted = true;
        a.text = path;
        a.selectedFilter = filter;
        return a;
    }
    QString path(const QString &name) const { return m_dir->filePath(name); }
    static void fill(MainWindow &w, int count)
    {
        QVector<_T_EE_TEST_DATA> &records = w.currentMeasurement()->records;
        records.resize(count);
        for (int i = 0; i < count; ++i) {
            records[i] = _T_EE_TEST_DATA();
            records[i].year = 24;
            records[i].month = 3;
            records[i].day = 5;
            records[i].second = quint8(i % 60);
            records[i].value[0] = 100.0f;
            records[i].state[1] = 2;
        }
    }
    static void menuEntry(MainWindow &w, int data)
    {
        QAction action;
        action.setData(data);
        QObject::connect(&action, &QAction::triggered, w.archivePage(),
                         &ArchivePage::handleTreeviewMenuClicked);
        action.trigger();
    }
    // The information boxes asked so far.
    QStringList boxes() const
    {
        QStringList out;
        for (const DialogRequest &r : m_asked)
            if (r.kind == DialogRequest::Information)
                out << r.text;
        return out;
    }

private slots:
    void initTestCase() { kxInitResources(); }

    void init()
    {
        QVERIFY(setUpWindowTest());
        // The data folder does not exist yet; exports create it.
        AppSettings settings;
        m_dataDir = path(QStringLiteral("data/exports"));
        settings.dataDir = m_dataDir;
        QFile config(QStringLiteral("config.cfg"));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write(encodeSettings(settings));
        config.close();
    }

    void cleanup() { tearDownWindowTest(); }

    void dialogOffersThreeKindsAndWritesEach()
    {
        MainWindow w;
        fill(w, 3);
        w.form()->textEdit->setPlainText(QStringLiteral("note"));
        const QStringList names{path("a.xlsx"), path("b.pdf"), path("c.csv")};
        const QStringList filters{"Excel 工作簿 (*.xlsx)", "PDF 报告 (*.pdf)", "CSV 文本 (*.csv)"};
        for (int i = 0; i < 3; ++i) {
            m_answers << saveAs(names[i], filters[i]);
            w.archivePage()->on_pb_save_file_as_clicked();
            QTRY_COMPARE(m_opened.urls.size(), i + 1);
            QCOMPARE(m_opened.urls.last(), QUrl::fromLocalFile(names[i]));
            QVERIFY(QFileInfo(names[i]).size() > 0);
        }
        QCOMPARE(m_asked.size(), 3);
        const DialogRequest &r = m_asked.first();
        QCOMPARE(r.kind, DialogRequest::SaveFile);
        QCOMPARE(r.title, QStringLiteral("保存数据到文件"));
        QCOMPARE(r.filter,
                 QStringLiteral("Excel 工作簿 (*.xlsx);;PDF 报告 (*.pdf);;CSV 文本 (*.csv)"));
        QVERIFY(QRegularExpression(QRegularExpression::escape(m_dataDir) +
                                   "/\\d{4}_\\d\\d_\\d\\d \\d\\d_\\d\\d_\\d\\d_\\d{3}$")
                    .match(r.directory)
                    .hasMatch());

        QFile csv(names[2]);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(csv.readAll()).split('\n');
        QCOMPARE(lines[0], QStringLiteral("NO.,time,T1 Temperature(℃),T1 Thermocouple,"
                                          "T2 Temperature(℃),T2 Thermocouple,T3 Temperature(℃),"
                                          "T3 Thermocouple,T4 Temperature(℃),T4 Thermocouple"));
        QCOMPARE(lines[1], QStringLiteral("1,2024-03-05 00:00:00,100.0,K,OL,K,0.0,K,0.0,K"));
        QCOMPARE(lines.size(), 5); // header, three records, the empty rest

        // Cancelled: nothing written or opened.
        w.archivePage()->on_pb_save_file_as_clicked();
        QCOMPARE(m_opened.urls.size(), 3);
    }

    // Whatever the window's chart shows at the time, the report's chart is
    // the one the export tool draws, with its tick labels, titles and legend.
    void reportChartIsTheExportToolsChart()
    {
        MainWindow w;
        fill(w, 300);
        w.tablePage()->tableMeasurementChanged();
        w.form()->checkBox_yasix->setChecked(true);
        w.form()->checkBox_legend->setChecked(true);
        w.form()->tabWidget_data->setCurrentIndex(1); // the narrow chart's look
        QCOMPARE(w.exports()->reportChart(),
                 recordsChartImage(w.currentMeasurement()->records, 0, chartLook(w.settings()),
                                   QFont(QStringLiteral("Consolas"))));
    }

    // A measurement recorded with several instruments is reported with its
    // whole group.
    void reportOfAGroupMemberShowsTheGroup()
    {
        MainWindow w;
        fill(w, 5);
        Data_table_T archive = newArchive();
        for (const QString &label : {QStringLiteral("A"), QStringLiteral("B")}) {
            Data_List_T m = *w.currentMeasurement();
            m.name = instrumentMeasurementName(QStringLiteral("炉"), label);
            archive.append(m);
        }
        w.document().replace(std::move(archive), path("group.dat"));
        w.document().setCurrentIndex(1);
        const Data_table_T &group = w.archive();
        QCOMPARE(w.exports()->reportChart(),
                 groupChartImage({*group.lists[0], *group.lists[1]}, {"A", "B"}, 0,
                                 chartLook(w.settings()), QFont(QStringLiteral("Consolas"))));
    }

    void unwritableFileGivesTheBoxAndOpensNothing()
    {
        // A folder below a plain file cannot be written, whoever runs the test.
        QFile blocker(path("blocker"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        MainWindow w;
        fill(w, 2);
        const QStringList filters{"Excel 工作簿 (*.xlsx)", "PDF 报告 (*.pdf)", "CSV 文本 (*.csv)"};
        const QStringList names{"x.xlsx", "x.pdf", "x.csv"};
        for (int i = 0; i < 3; ++i) {
            m_answers << saveAs(path("blocker/") + names[i], filters[i]);
            w.archivePage()->on_pb_save_file_as_clicked();
            QTRY_COMPARE(boxes().size(), i + 1);
            // The second line is the system's reason.
            QCOMPARE(boxes().last().section(QLatin1Char('\n'), 0, 0),
                     QStringLiteral("无法创建文件，请使用管理员权限运行程序。"));
            QVERIFY2(boxes().last().endsWith(QString::fromLocal8Bit(std::strerror(ENOTDIR))),
                     qPrintable(boxes().last()));
            QCOMPARE(m_asked.last().buttons, QStringList{QStringLiteral("确定")});
        }
        QTest::qWait(50);
        QVERIFY(m_opened.urls.isEmpty());
    }

    void treeMenuExportsWithAutomaticNames()
    {
        MainWindow w;
        fill(w, 2);
        QVERIFY(!QDir(m_dataDir).exists());
        menuEntry(w, 7); // excel
        menuEntry(w, 8); // PDF
        QTRY_COMPARE(m_opened.urls.size(), 2);
        QStringList suffixes;
        for (const QUrl &url : m_opened.urls) {
            const QFileInfo file(url.toLocalFile());
            QCOMPARE(file.absolutePath(), QDir(m_dataDir).absolutePath());
            QVERIFY(QRegularExpression("^\\d{4}_\\d\\d_\\d\\d \\d\\d_\\d\\d_\\d\\d_\\d{3}$")
                        .match(file.completeBaseName())
                        .hasMatch());
            QVERIFY(file.size() > 0);
            suffixes << file.suffix();
        }
        suffixes.sort();
        QCOMPARE(suffixes, QStringList({"pdf", "xlsx"}));
        // Each says where it went.
        QCOMPARE(boxes().size(), 2);
        for (const QUrl &url : m_opened.urls)
            QVERIFY(boxes().join(QLatin1Char(' ')).contains(url.toLocalFile()));
    }

    void refusedWhileRecording()
    {
        MainWindow w;
        w.device().setRecording(true);
        w.archivePage()->on_pb_save_file_as_clicked();
        QCOMPARE(boxes(), QStringList{QStringLiteral("数据记录中，请停止记录后尝试")});
        QCOMPARE(m_asked.size(), 1);
    }
};

QTEST_MAIN(TestExportWindow)
#include "tst_exportwindow.moc"
