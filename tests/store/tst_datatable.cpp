#include "store/data_table_t.h"

#include <QtTest>

class TestDataTable : public QObject
{
    Q_OBJECT

private slots:
    void newMeasurementAndArchiveAreMadeNow()
    {
        const QDateTime before = QDateTime::currentDateTime();
        const Data_List_T m = newMeasurement();
        QCOMPARE(m.name, QStringLiteral("新建测量"));
        QVERIFY(m.records.isEmpty());
        QVERIFY(m.created >= before && m.created <= QDateTime::currentDateTime());
        QCOMPARE(m.created.timeSpec(), Qt::LocalTime);

        _T_EE_TEST_DATA r;
        r.value[2] = 21.5f;
        const Data_List_T named = newMeasurement({r, r}, QStringLiteral("20260102 03_04_05_006"));
        QCOMPARE(named.name, QStringLiteral("20260102 03_04_05_006"));
        QCOMPARE(named.records.size(), 2);
        QCOMPARE(named.records[1].value[2], 21.5f);

        const Data_table_T archive = newArchive();
        QCOMPARE(archive.name, QStringLiteral("新建档案"));
        QVERIFY(archive.lists.isEmpty());
        QVERIFY(archive.created >= before);
    }

    void newMeasurementsAreNumbered_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QString>("next");
        QTest::newRow("none") << QStringList() << QStringLiteral("新建测量");
        QTest::newRow("renamed") << QStringList{QStringLiteral("oven")}
                                 << QStringLiteral("新建测量");
        QTest::newRow("second") << QStringList{QStringLiteral("新建测量")}
                                << QStringLiteral("新建测量 2");
        QTest::newRow("gap filled")
            << QStringList{QStringLiteral("新建测量 3"), QStringLiteral("新建测量"),
                           QStringLiteral("新建测量 2"), QStringLiteral("新建测量 5")}
            << QStringLiteral("新建测量 4");
    }
    void newMeasurementsAreNumbered()
    {
        QFETCH(QStringList, names);
        Data_table_T archive = newArchive();
        for (const QString &name : names)
            archive.append(newMeasurement({}, name));
        QTEST(newMeasurementName(archive), "next");
    }

    void copiesShareNoMeasurement()
    {
        Data_table_T archive = newArchive();
        Data_List_T *first = archive.append(newMeasurement({}, QStringLiteral("a")));
        archive.append(newMeasurement({}, QStringLiteral("b")));
        QCOMPARE(archive.lists.first(), first);

        Data_table_T copy = archive;
        QCOMPARE(copy.lists.size(), 2);
        QVERIFY(copy.lists[0] != first);
        QCOMPARE(copy.lists[1]->name, QStringLiteral("b"));
        first->records.append(_T_EE_TEST_DATA());
        QVERIFY(copy.lists[0]->records.isEmpty());

        copy = archive; // replaces, deleting the old copies
        QCOMPARE(copy.lists[0]->records.size(), 1);
        const Data_table_T &same = copy;
        copy = same;
        QCOMPARE(copy.lists.size(), 2);

        Data_table_T moved = std::move(copy);
        QCOMPARE(moved.lists.size(), 2);
        QVERIFY(copy.lists.isEmpty());
        moved.clear();
        QVERIFY(moved.lists.isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestDataTable)
#include "tst_datatable.moc"
