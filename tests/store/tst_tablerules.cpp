#include "instrument/temperature.h"
#include "store/recordclipboard.h"
#include "store/tablepaging.h"
#include "store/tablerows.h"
#include "tests/store/numberedrecords.h"

#include <QtTest>

// Rules of the data table: paging, row texts, limit marks and the record
// clipboard's edits addressed by the numbers shown in the rows.
class TestTableRules : public QObject
{
    Q_OBJECT

    static QVector<_T_EE_TEST_DATA> numbered(int n) { return numberedRecords(n); }
    static QVector<int> t1(const QVector<_T_EE_TEST_DATA> &records)
    {
        QVector<int> out;
        for (const auto &r : records)
            out << int(r.value[0]);
        return out;
    }
    // The rows of a newest-first page of `count` records from `topRow` on.
    static SelectedRows rows(int recordCount, int topRow, int rowCount)
    {
        SelectedRows s;
        s.topRow = topRow;
        for (int r = topRow; r < topRow + rowCount; ++r)
            s.numbers << (recordCount - r > 0 ? recordCount - r : 0);
        return s;
    }

    const TableHeaderWords kWords{"编号", "时间", "温度", "热电偶"};

private slots:
    void paging_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("pages");
        QTest::addColumn<QVector<int>>("tops");  // number in the top row, page 0 first
        QTest::addColumn<QVector<int>>("sizes"); // rows per page
        QTest::newRow("0") << 0 << 1 << QVector<int>{0} << QVector<int>{0};
        QTest::newRow("1") << 1 << 1 << QVector<int>{1} << QVector<int>{1};
        QTest::newRow("999") << 999 << 1 << QVector<int>{999} << QVector<int>{999};
        QTest::newRow("1000") << 1000 << 1 << QVector<int>{1000} << QVector<int>{1000};
        // One record more than a page: two halves, not a page of one row.
        QTest::newRow("1001") << 1001 << 2 << QVector<int>{500, 1001} << QVector<int>{500, 501};
        QTest::newRow("2500") << 2500 << 3 << QVector<int>{833, 1666, 2500}
                              << QVector<int>{833, 833, 834};
        QTest::newRow("3000") << 3000 << 3 << QVector<int>{1000, 2000, 3000}
                              << QVector<int>{1000, 1000, 1000};
    }
    void paging()
    {
        QFETCH(int, count);
        QFETCH(int, pages);
        QFETCH(QVector<int>, tops);
        QFETCH(QVector<int>, sizes);
        QCOMPARE(pageCountFor(count), pages);
        for (int p = 0; p < pages; ++p) {
            const PageRows page = pageRows(count, p);
            QCOMPARE(page.topIndex + 1, tops[p]);
            QCOMPARE(page.rows, sizes[p]);
            // The bottom row of a page is the record right above the top of
            // the page before it: every record on exactly one page.
            if (p > 0)
                QCOMPARE(page.topIndex - page.rows + 1, tops[p - 1]);
        }
    }

    // An edit keeps the rows around it in view: the page as far from the
    // newest one as before, or the oldest when the measurement got shorter.
    void pageAfterAnEdit_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("after");
        QTest::addColumn<int>("expected");
        QTest::newRow("insert on the oldest") << 0 << 2500 << 2502 << 0;
        QTest::newRow("insert in the middle") << 1 << 2500 << 2502 << 1;
        QTest::newRow("a new page below") << 0 << 3000 << 3002 << 1;
        QTest::newRow("newest stays newest") << 2 << 2500 << 3002 << 3;
        QTest::newRow("one page less") << 1 << 3050 << 2950 << 0;
        QTest::newRow("cut to one page") << 0 << 2500 << 900 << 0;
    }
    void pageAfterAnEdit()
    {
        QFETCH(int, page);
        QFETCH(int, before);
        QFETCH(int, after);
        QFETCH(int, expected);
        QCOMPARE(pageAfterEdit(page, before, after), expected);
    }

    void liveView()
    {
        QList<QPair<_T_PRINT_OUT_DATA, _T_TIME>> readings;
        for (int i = 0; i < 1500; ++i) {
            _T_PRINT_OUT_DATA d;
            d.value[0] = float(i);
            d.status[1] = statusByte(TypeJ, StateAboveRange);
            _T_TIME t;
            t.year = 24;
            t.second = quint8(i % 60);
            readings << qMakePair(d, t);
        }
        const QVector<_T_EE_TEST_DATA> live = liveRecords(readings);
        QCOMPARE(live.size(), 1000);
        QCOMPARE(live.first().value[0], 500.0f);
        QCOMPARE(live.last().value[0], 1499.0f);
        QCOMPARE(int(live.last().type[1]), int(TypeJ));
        QCOMPARE(int(live.last().state[1]), int(StateAboveRange));
        QCOMPARE(int(live.last().second), 1499 % 60);
        QCOMPARE(liveRecords(readings.mid(0, 3)).size(), 3);
        QVERIFY(liveRecords({}).isEmpty());
    }

    void headersAndWidths()
    {
        const QStringList full = tableHeaders(false, unitSymbol(UnitCelsius), kWords);
        QCOMPARE(full.size(), kFullColumnCount);
        QCOMPARE(full[0], QStringLiteral("编号"));
        QCOMPARE(full[2], QStringLiteral("T1 温度(℃)"));
        QCOMPARE(full[9], QStringLiteral("T4 热电偶"));
        QCOMPARE(tableHeaders(false, unitSymbol(UnitKelvin), kWords)[6],
                 QStringLiteral("T3 温度(K)"));
        QCOMPARE(tableHeaders(true, QStringLiteral("K"), kWords),
                 (QStringList{"编号", "时间", "T1", "T2", "T3", "T4"}));
        QCOMPARE(tableColumnWidths(false, true)[2], 180);
        QCOMPARE(tableColumnWidths(false, false)[9], 100);
        QCOMPARE(tableColumnWidths(true, true).size(), kNarrowColumnCount);

        // The fixed widths are minimums; a column widens to its header and
        // to its widest text, here written with "8", the widest digit.
        TableTextRoom room;
        room.headerWidths = QVector<int>(kFullColumnCount, 0);
        room.headerWidths[2] = 250;
        room.textWidth = [](const QString &text) { return 10 * text.size() + 5 * text.count('8'); };
        room.cellPadding = 7;
        room.largestNumber = 3;
        const QVector<int> fitted = fittedColumnWidths(false, false, room);
        QCOMPARE(fitted.size(), kFullColumnCount);
        QCOMPARE(fitted[0], 100);
        QCOMPARE(fitted[1], 19 * 10 + 14 * 5 + 7); // 8888-88-88-88:88:88
        QCOMPARE(fitted[2], 250);
        QCOMPARE(fitted[3], 100);
    }

    void rowTexts()
    {
        _T_EE_TEST_DATA r;
        r.year = 24;
        r.month = 3;
        r.day = 5;
        r.hour = 9;
        r.minute = 7;
        r.second = 1;
        r.type[0] = 0xF3; // only the low four bits name the type
        r.type[1] = 9;
        r.value[0] = 1000.0f;
        r.value[1] = 1000.4f;
        r.state[2] = StateAboveRange;
        r.state[3] = 7;
        const QStringList full = recordRowTexts(r, 42, false, UnitCelsius);
        QCOMPARE(full, (QStringList{"42", "2024-03-05-09:07:01", "1000.0", "E", "1000", "", "OL",
                                    "K", "--\\--", "K"}));
        const QStringList narrow = recordRowTexts(r, 1, true, UnitKelvin);
        QCOMPARE(narrow, (QStringList{"1", "09:07:01", "1273", "1274", "OL", "--\\--"}));
        r.year = 124;
        QCOMPARE(recordTimeText(r, true).left(5), QStringLiteral("2124-"));
    }

    void limitMarks()
    {
        QCOMPARE(limitMark(100.5f, StateValue, true, 100, 0), LimitHigh);
        QCOMPARE(limitMark(100.0f, StateValue, true, 100, 0), LimitNone); // at the limit
        QCOMPARE(limitMark(0.0f, StateValue, true, 100, 0), LimitNone);
        QCOMPARE(limitMark(-0.1f, StateValue, true, 100, 0), LimitLow);
        QCOMPARE(limitMark(50, StateAboveRange, true, 100, 0), LimitHigh);
        QCOMPARE(limitMark(50, StateBelowRange, true, 100, 0), LimitLow);
        QCOMPARE(limitMark(500, StateNoReading, true, 100, 0), LimitNone);
        QCOMPARE(limitMark(500, StateAboveRange, false, 100, 0), LimitNone);
        QCOMPARE(limitMark(500, StateValue, false, 100, 0), LimitNone);
    }

    void copyCollectsAscending()
    {
        const QVector<_T_EE_TEST_DATA> records = numbered(10);
        QVector<_T_EE_TEST_DATA> clip;
        QVERIFY(collectRecords(&records, {rows(10, 2, 2), rows(10, 7, 2)}, clip));
        QCOMPARE(t1(clip), (QVector<int>{7, 8, 2, 3}));
        // No measurement: nothing taken.
        QVERIFY(collectRecords(nullptr, {rows(10, 0, 2)}, clip));
        QVERIFY(clip.isEmpty());
        // The empty row below the records stops the collection.
        QVERIFY(!collectRecords(&records, {rows(10, 8, 3)}, clip));
        QVERIFY(clip.isEmpty());
    }

    void cutAndInsertAbove()
    {
        QVector<_T_EE_TEST_DATA> records = numbered(10);
        const QList<SelectedRows> sel{rows(10, 2, 2)}; // shows 8 and 7
        const QVector<int> at = selectedRecordIndexes(sel, records.size());
        const QVector<_T_EE_TEST_DATA> clip = takeRecords(records, at);
        QCOMPARE(t1(clip), (QVector<int>{7, 8}));
        QCOMPARE(t1(records), (QVector<int>{1, 2, 3, 4, 5, 6, 9, 10}));
        const int above = insertionIndex({rows(8, 0, 1)}, records.size(), true);
        putRecordsBack(records, {above, above + 1}, clip);
        QCOMPARE(t1(records), (QVector<int>{1, 2, 3, 4, 5, 6, 9, 10, 7, 8}));
    }

    void insertBelowAndEmpty()
    {
        // Bottom-most row shows record 1: the clipboard goes before it.
        QCOMPARE(insertionIndex({rows(5, 1, 1), rows(5, 3, 2)}, 5, false), 0);
        QCOMPARE(insertionIndex({rows(5, 3, 2), rows(5, 0, 1)}, 5, true), 5);
        // Nothing selected: only an empty measurement is filled.
        QCOMPARE(insertionIndex({}, 5, true), -1);
        QCOMPARE(insertionIndex({}, 0, true), 0);
        // A row without a number takes nothing.
        QCOMPARE(insertionIndex({rows(7, 7, 1)}, 7, false), -1);
    }

    void deleteSeveralRanges()
    {
        QVector<_T_EE_TEST_DATA> records = numbered(10);
        // Ranges in any order, one running into the empty row: exactly the
        // shown records go, and come back where they were.
        const QVector<int> at =
            selectedRecordIndexes({rows(10, 8, 3), rows(10, 0, 2), rows(10, 4, 1)}, 10);
        const QVector<_T_EE_TEST_DATA> taken = takeRecords(records, at);
        QCOMPARE(t1(records), (QVector<int>{3, 4, 5, 7, 8}));
        putRecordsBack(records, at, taken);
        QCOMPARE(records, numbered(10));
    }
};

QTEST_GUILESS_MAIN(TestTableRules)
#include "tst_tablerules.moc"
