#include "export/dataoutput.h"
#include "export/pdfreport.h"
#include "export/reportlayout.h"
#include "export/workbookrules.h"
#include "export/xlsxdocument.h"
#include "store/csvtext.h"

#include <QFile>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>

namespace {

_T_EE_TEST_DATA record(quint8 s1, float v1, quint8 s2 = 0, float v2 = 0)
{
    const quint8 type[4] = {0, 0, 0, 0};
    const quint8 state[4] = {s1, s2, 3, 3};
    const float value[4] = {v1, v2, 0, 0};
    return makeStoredRecord(type, state, _T_TIME{24, 3, 5, 14, 5, 9}, value);
}

// A4 at 300 dpi inside 30-point margins, and typical font heights.
ReportMetrics a4()
{
    ReportMetrics m;
    m.width = 2230;
    m.height = 3258;
    m.lineHeight = 60;
    m.labelWidth = 300;
    return m;
}

} // namespace

class TestExportRules : public QObject
{
    Q_OBJECT

private slots:
    void sheetNames();
    void sheetsOfLongMeasurements();
    void csvQuoting();
    void reportHeadOfFirstPage();
    void reportChartPlacement();
    void reportNoteLines();
    void reportTableRows();
    void reportStatisticTexts();
    void workbookDocumentFailures();
    void workbookReplacesItsTargetWhenComplete();
    void workerResults();
};

void TestExportRules::sheetNames()
{
    const QString name = QStringLiteral("新建测量");
    QCOMPARE(workbookSheets({name, name, name}, {0, 0, 0}).size(), 3);
    QStringList names;
    for (const SheetPart &p : workbookSheets({name, name, name}, {0, 0, 0}))
        names << p.name;
    QCOMPARE(names, QStringList({name, name + "(2)", name + "(3)"}));

    // The counter advances with every measurement, suffix or not; a clash
    // with the suffixed name appends the suffix again.
    names.clear();
    for (const SheetPart &p : workbookSheets({"A", "B", "A", "A(4)", "A"}, {1, 1, 1, 1, 1}))
        names << p.name;
    QCOMPARE(names, QStringList({"A", "B", "A(3)", "A(4)", "A(5)"}));
    QCOMPARE(uniqueSheetName("A", {"A", "A(2)"}, 2), QStringLiteral("A(2)(2)"));

    // Workbook readers compare names ignoring case and reject some names.
    QCOMPARE(uniqueSheetName("data", {"DATA"}, 2), QStringLiteral("data(2)"));
    QCOMPARE(validSheetName("a/b:c*d?e[f]g\\h"), QStringLiteral("a_b_c_d_e_f_g_h"));
    QCOMPARE(validSheetName("'quoted'"), QStringLiteral("_quoted_"));
    QCOMPARE(validSheetName(QString()), QStringLiteral("Sheet"));
    const QString longName(40, QLatin1Char('x'));
    QCOMPARE(validSheetName(longName), QString(31, QLatin1Char('x')));
    const QString unique = uniqueSheetName(longName, {QString(31, QLatin1Char('x'))}, 12);
    QCOMPARE(unique, QString(27, QLatin1Char('x')) + "(12)");
}

void TestExportRules::sheetsOfLongMeasurements()
{
    QCOMPARE(kRecordsPerSheet, 1048575);
    const QVector<SheetPart> parts = workbookSheets({"A", "B", "C"}, {7, 0, 3}, 3);
    QCOMPARE(parts.size(), 5);
    const int expected[5][3] = {{0, 0, 3}, {0, 3, 3}, {0, 6, 1}, {1, 0, 0}, {2, 0, 3}};
    QStringList names;
    for (int i = 0; i < parts.size(); ++i) {
        QCOMPARE(parts[i].measurement, expected[i][0]);
        QCOMPARE(parts[i].firstRecord, expected[i][1]);
        QCOMPARE(parts[i].recordCount, expected[i][2]);
        names << parts[i].name;
    }
    QCOMPARE(names, QStringList({"A", "A(2)", "A(3)", "B", "C"}));
    // One record beyond the real limit.
    const QVector<SheetPart> big = workbookSheets({"M"}, {kRecordsPerSheet + 1});
    QCOMPARE(big.size(), 2);
    QCOMPARE(big[1].firstRecord, kRecordsPerSheet);
    QCOMPARE(big[1].recordCount, 1);
}

void TestExportRules::csvQuoting()
{
    QCOMPARE(csvLine({"a", "b,c", "d\"e", "f\ng"}),
             QStringLiteral("a,\"b,c\",\"d\"\"e\",\"f\ng\""));
}

void TestExportRules::reportHeadOfFirstPage()
{
    const ReportMetrics m = a4();
    const int S = 66; // (60 / 10) * 11

    ReportLayout wide = reportLayout(m, QSize(400, 100), QSize());
    QCOMPARE(wide.lineStep, S);
    QCOMPARE(wide.logoSize, QSize(200, 50));
    QCOMPARE(wide.logoPos, QPoint(0, 60 / 2 - 50 / 2 + 150));
    QCOMPARE(wide.companyRect, QRect(230, 150, 2230, 60));
    QCOMPARE(wide.testerRect, QRect(0, 150, 2230, 60));
    // The file lines start below the larger of S and half logo + half line.
    QCOMPARE(wide.fileLineY[0], 200 + S);
    QCOMPARE(wide.fileLineY[3], 200 + 4 * S);
    QCOMPARE(wide.labelColumn, 350);

    const ReportLayout square = reportLayout(m, QSize(150, 150), QSize());
    QCOMPARE(square.logoSize, QSize(150, 150));
    QCOMPARE(square.companyRect.x(), 180);
    QCOMPARE(square.logoPos.y(), 30 - 75 + 150);
    QCOMPARE(square.fileLineY[0], 200 + 75 + 30);
    QCOMPARE(square.statisticsY[0], square.fileLineY[3] + S + 30);
    QCOMPARE(square.statisticsY[3], square.statisticsY[0] + 3 * S);
    QCOMPARE(square.statisticsX[1], 2230 / 3);
    QCOMPARE(square.statisticsX[2], 2 * 2230 / 3);
    QCOMPARE(square.legendY, square.statisticsY[3] + S + 30);

    QCOMPARE(logoDrawSize(QSize(100, 300)), QSize(66, 200));
    QCOMPARE(logoDrawSize(QSize(200, 200)), QSize(200, 200));
    const ReportLayout none = reportLayout(m, QSize(), QSize());
    QCOMPARE(none.companyRect.x(), 30);
}

void TestExportRules::reportChartPlacement()
{
    ReportMetrics m = a4();
    // 1000 x 1000 is drawn at 2200 x 2200: below the legend when it fits,
    // else at the top of the next page.
    const ReportLayout fits = reportLayout(m, QSize(150, 150), QSize(1000, 1000));
    QCOMPARE(fits.chartSize, QSize(2200, 2200));
    QCOMPARE(fits.chartPage, 0);
    QCOMPARE(fits.chartPos, QPoint(15, fits.legendY + fits.lineStep));
    QVERIFY(fits.chartPos.y() + 2200 <= m.height);
    m.lineHeight = 80;
    const ReportLayout big = reportLayout(m, QSize(150, 150), QSize(1000, 1000));
    QVERIFY(big.legendY + big.lineStep + 2200 > m.height);
    QCOMPARE(big.chartSize, QSize(2200, 2200));
    QCOMPARE(big.chartPage, 1);
    QCOMPARE(big.chartPos, QPoint(2230 / 2 - 1100, 0));
    QCOMPARE(big.endY, 2300);

    // A flat chart fits on the first page below the legend.
    const ReportLayout flat = reportLayout(m, QSize(400, 100), QSize(1000, 200));
    QCOMPARE(flat.chartSize, QSize(2200, 440));
    QCOMPARE(flat.chartPage, 0);
    QCOMPARE(flat.chartPos.y(), flat.legendY + flat.lineStep);
    QCOMPARE(flat.endY, flat.legendY + flat.lineStep + 440 + 100);

    // At least 2200 wide: drawn as it is.
    QCOMPARE(chartDrawSize(QSize(2400, 300)), QSize(2400, 300));
    QCOMPARE(chartDrawSize(QSize(2200, 300)), QSize(2200, 300));
    // No chart: the note follows the legend.
    const ReportLayout without = reportLayout(m, QSize(), QSize());
    QCOMPARE(without.endY, without.legendY + without.lineStep);
}

void TestExportRules::reportNoteLines()
{
    const ReportMetrics m = a4();
    const NoteLayout n = noteLayout(m, 1000, {60, 60, 60});
    QCOMPARE(n.labelRect, QRect(0, 1000, 2230, 60));
    QCOMPARE(n.underlineY, 1066);
    QCOMPARE(n.lines.size(), 3);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(n.lines[i].rect, QRect(0, 1076 + 80 * i, 2230, 60));
        QVERIFY(!n.lines[i].newPage);
    }
    QCOMPARE(n.endY, 1076 + 240);

    // A line wrapped to three rows takes their height and the gap after it;
    // one that does not fit starts a new page.
    const NoteLayout wrapped = noteLayout(m, 2950, {180, 60});
    QCOMPARE(wrapped.lines[0].rect, QRect(0, 3026, 2230, 180));
    QVERIFY(!wrapped.lines[0].newPage);
    QVERIFY(wrapped.lines[1].newPage);
    QCOMPARE(wrapped.lines[1].rect.y(), 0);
    QCOMPARE(wrapped.endY, 80);

    // Below the chart at the page's end, the label goes to the next page.
    const NoteLayout late = noteLayout(m, 3220, {60});
    QVERIFY(late.labelNewPage);
    QCOMPARE(late.labelRect.y(), 0);
    QCOMPARE(late.lines[0].rect.y(), 76);
    // The label keeps its first line on its page: 66 for the label, 10 under
    // the rule, 80 for the line.
    QVERIFY(!noteLayout(m, 3258 - 66 - 10 - 80, {60}).labelNewPage);
    QVERIFY(noteLayout(m, 3258 - 66 - 10 - 79, {60}).labelNewPage);
}

void TestExportRules::reportTableRows()
{
    const TableLayout t = tableLayout(2230, 45);
    QCOMPARE(t.columnUnit, 202);
    QCOMPARE(t.rowStep, 44);
    QCOMPARE(t.cell(0, 10), QRect(0, 10, 202, 45));
    QCOMPARE(t.cell(1, 10), QRect(202, 10, 404, 45));
    QCOMPARE(t.cell(2, 10), QRect(606, 10, 202, 45));
    QCOMPARE(t.cell(9, 10), QRect(2020, 10, 202, 45));

    // Rows go on while y has not passed the page; the next page starts at 0.
    TableFlow flow(t, 100);
    bool newPage = true;
    QCOMPARE(flow.next(&newPage), 44);
    QVERIFY(!newPage);
    QCOMPARE(flow.next(&newPage), 88);
    QVERIFY(!newPage);
    QCOMPARE(flow.next(&newPage), 0);
    QVERIFY(newPage);
    QCOMPARE(flow.next(&newPage), 44);
    QVERIFY(!newPage);
}

void TestExportRules::reportStatisticTexts()
{
    QVector<_T_EE_TEST_DATA> records;
    records << record(2, 0, 0, 90) << record(2, 0, 0, 110) << record(2, 0, 1, -300);
    const auto f = reportStatistics(records, 1);
    QCOMPARE(f[0], QStringList({"---", "---", "---"})); // all over range
    QCOMPARE(f[1], QStringList({"230.0 ℉", "194.0 ℉", "212.0 ℉"}));
    QCOMPARE(f[2], QStringList({"---", "---", "---"})); // no reading

    // Over-range readings do not enter the extremes; no decimals above 1000.
    records.clear();
    records << record(0, 900.5f) << record(2, 5000) << record(0, 1200) << record(1, -500);
    const auto k = reportStatistics(records, 2);
    QCOMPARE(k[0], QStringList({"1473 K", "1174 K", "1323 K"}));
    const auto c = reportStatistics({}, 0);
    QCOMPARE(c[3], QStringList({"---", "---", "---"}));
}

void TestExportRules::workbookDocumentFailures()
{
    QTemporaryDir dir;
    XlsxDocument doc(dir.filePath("out.xlsx"));
    QVERIFY(doc.isOpen());
    QVERIFY(!doc.write(1, 1, 1.0, nullptr)); // no sheet yet
    QVERIFY(!doc.errorString().isEmpty());
    QVERIFY(doc.addSheet("Data"));
    QVERIFY(!doc.addSheet("DATA"));
    QVERIFY(!doc.addSheet("a/b"));
    QCOMPARE(doc.sheetNames(), QStringList({"Data"}));
    QVERIFY(doc.write(1, 1, QStringLiteral("x"), nullptr));
    QVERIFY(doc.commit());
    QVERIFY(!doc.write(1, 1, 1.0, nullptr)); // closed by commit
    QVERIFY(!doc.commit());

    const QString target = dir.filePath("missing/out.xlsx");
    XlsxDocument nowhere(target);
    QVERIFY(!nowhere.isOpen());
    QVERIFY(!nowhere.errorString().isEmpty());
    QVERIFY(!nowhere.commit());
    QVERIFY(!QFile::exists(target));
}

// The workbook is written beside its target, not in the temporary folder, and
// replaces the target only once all of it is written: on a disk too full for
// it the old file stays and nothing else is left behind.
void TestExportRules::workbookReplacesItsTargetWhenComplete()
{
    QTemporaryDir dir;
    const QString target = dir.filePath("out.xlsx");
    QFile old(target);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    Data_table_T archive = newArchive();
    for (int i = 0; i < 100; ++i) {
        QVector<_T_EE_TEST_DATA> records;
        for (int k = 0; k < 20; ++k)
            records << record(0, i + k / 10.0f, 0, i * k);
        archive.append(newMeasurement(records, QStringLiteral("M")));
    }
    // A temporary folder that takes no files, even for root.
    QTemporaryDir elsewhere;
    QFile notAFolder(elsewhere.filePath("file"));
    QVERIFY(notAFolder.open(QIODevice::WriteOnly));
    notAFolder.close();
    const bool tempPathSet = qEnvironmentVariableIsSet("TMPDIR");
    const QByteArray tempPath = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(notAFolder.fileName()));
    const auto restoreTempPath = qScopeGuard([&] {
        if (tempPathSet)
            qputenv("TMPDIR", tempPath);
        else
            qunsetenv("TMPDIR");
    });
    const auto folder = [&] { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden); };
    const auto content = [&] {
        QFile file(target);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };

    // Files may grow to 64 KiB: each sheet fits, the whole workbook does not.
    DataOutput out;
    const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
    rlimit sizes{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &sizes), 0);
    rlimit small = sizes;
    small.rlim_cur = 64 * 1024;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool cut = out.exportXls(archive, target, 0);
    setrlimit(RLIMIT_FSIZE, &sizes);
    signal(SIGXFSZ, oldHandler);
    QVERIFY(!cut);
    QVERIFY(!out.errorString().isEmpty());
    QCOMPARE(content(), QByteArray("old"));
    QCOMPARE(folder(), QStringList({"out.xlsx"}));

    const bool written = out.exportXls(archive, target, 0);
    QVERIFY2(written, qPrintable(out.errorString()));
    QVERIFY(content().startsWith("PK"));
    QVERIFY(content().size() > 64 * 1024);
    QCOMPARE(folder(), QStringList({"out.xlsx"}));
}

void TestExportRules::workerResults()
{
    QTemporaryDir dir;
    Data_List_T m = newMeasurement({record(0, 25.0f)}, QStringLiteral("M"));
    Data_table_T archive = newArchive();
    archive.append(m);

    // Every writer reports a file it cannot write and leaves nothing behind.
    const QString bad = dir.filePath("missing/out");
    DataOutput direct;
    QVERIFY(!direct.exportXls(archive, bad + ".xlsx", 0));
    QVERIFY(!direct.errorString().isEmpty());
    QVERIFY(!direct.exportPdf(m, bad + ".pdf", 0, QImage(), QImage(), {}, {}, {}, Qt::red,
                              Qt::green, Qt::blue, Qt::black));
    QVERIFY(!direct.exportCsv(m, bad + ".csv", 0));
    QVERIFY(QDir(dir.filePath("missing")).entryList(QDir::NoDotAndDotDot).isEmpty());

    // More sheets than files the process may hold open at once.
    rlimit files{};
    QCOMPARE(getrlimit(RLIMIT_NOFILE, &files), 0);
    rlimit few = files;
    few.rlim_cur = 256;
    QCOMPARE(setrlimit(RLIMIT_NOFILE, &few), 0);
    Data_table_T many = newArchive();
    for (int i = 0; i < 300; ++i)
        many.append(m);
    const bool manyWritten = direct.exportXls(many, dir.filePath("many.xlsx"), 0);
    setrlimit(RLIMIT_NOFILE, &files);
    QVERIFY2(manyWritten, qPrintable(direct.errorString()));

    // Workers started at once, each with its own data, each report once and
    // delete themselves; one without input reports failure.
    QList<QPointer<DataOutput>> workers;
    QList<QSignalSpy *> spies;
    for (int i = 0; i < 4; ++i) {
        auto *w = new DataOutput(this);
        spies << new QSignalSpy(w, &DataOutput::exportFinished);
        workers << w;
    }
    workers[0]->exportXls_input_data(archive, dir.filePath("a.xlsx"), 2);
    archive.lists.first()->name = QStringLiteral("changed after the copy");
    workers[1]->exportpdf_input_data(m, dir.filePath("b.pdf"), 1, QImage(), QImage(), "c", "t",
                                     "n");
    workers[2]->exportCsv_input_data(m, dir.filePath("c.csv"), 0);
    for (const auto &w : workers)
        w->start();
    QTRY_VERIFY_WITH_TIMEOUT(std::all_of(workers.begin(), workers.end(),
                                         [](const QPointer<DataOutput> &w) { return w.isNull(); }),
                             20000);
    const QStringList names{"a.xlsx", "b.pdf", "c.csv"};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(spies[i]->count(), 1);
        QCOMPARE(spies[i]->at(0).at(0).toBool(), true);
        QCOMPARE(spies[i]->at(0).at(1).toString(), dir.filePath(names[i]));
        QVERIFY(QFileInfo(dir.filePath(names[i])).size() > 0);
    }
    QCOMPARE(spies[3]->count(), 1);
    QCOMPARE(spies[3]->at(0).at(0).toBool(), false);
    QFile csv(dir.filePath("c.csv"));
    QVERIFY(csv.open(QIODevice::ReadOnly));
    QVERIFY(csv.readAll().contains("25.0,K"));
    qDeleteAll(spies);
}

QTEST_MAIN(TestExportRules)
#include "tst_exportrules.moc"
