#include "store/data_table_t.h"
#include "store/measurementgroups.h"

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
    // Measurements recorded together are told apart from ones that merely
    // look alike: another recording name, a repeated label, an hour later.
    void recordingsOfSeveralInstrumentsFormGroups()
    {
        const QDateTime t0(QDate(2026, 12, 9), QTime(10, 0));
        const auto add = [&](Data_table_T &archive, const QString &name, int seconds) {
            Data_List_T m = newMeasurement({}, name);
            m.created = t0.addSecs(seconds);
            archive.append(m);
        };
        Data_table_T archive;
        add(archive, QStringLiteral("plain"), 0);
        add(archive, instrumentMeasurementName(QStringLiteral("oven"), QStringLiteral("left")), 0);
        add(archive, instrumentMeasurementName(QStringLiteral("oven"), QStringLiteral("right")), 2);
        add(archive, instrumentMeasurementName(QStringLiteral("oven"), QStringLiteral("left")), 3);
        add(archive, instrumentMeasurementName(QStringLiteral("oven"), QStringLiteral("mid")),
            3600);
        add(archive, QStringLiteral("a \u00b7 b \u00b7 c"), 3600);

        const QVector<MeasurementGroup> groups = measurementGroups(archive);
        QCOMPARE(groups.size(), 5);
        QCOMPARE(groups[0].name, QStringLiteral("plain"));
        QVERIFY(groups[0].labels.isEmpty());
        QCOMPARE(groups[1].name, QStringLiteral("oven"));
        QCOMPARE(groups[1].first, 1);
        QCOMPARE(groups[1].labels, QStringList({"left", "right"}));
        QCOMPARE(groups[2].first, 3); // "left" again: another recording
        QCOMPARE(groups[2].count, 1);
        QCOMPARE(groups[2].name, archive.lists[3]->name);
        QCOMPARE(groups[3].count, 1); // an hour later
        QCOMPARE(groupOf(archive, 2).first, 1);
        QCOMPARE(groupOf(archive, 9).count, 1);

        QString recording, label;
        QVERIFY(splitInstrumentMeasurementName(archive.lists[5]->name, &recording, &label));
        QCOMPARE(recording, QStringLiteral("a \u00b7 b"));
        QCOMPARE(label, QStringLiteral("c"));
        QVERIFY(!splitInstrumentMeasurementName(QStringLiteral(" \u00b7 x"), nullptr, nullptr));
    }
};

QTEST_APPLESS_MAIN(TestDataTable)
#include "tst_datatable.moc"
