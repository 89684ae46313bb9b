#include "document/document.h"
#include "tests/store/numberedrecords.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

// The archive's edits undone and redone without a window, and whether it is
// saved following the undo history.
class TestDocument : public QObject
{
    Q_OBJECT

    static QStringList names(const Document &d)
    {
        QStringList out;
        for (const Data_List_T *m : d.archive().lists)
            out << m->name;
        return out;
    }

private slots:
    void rowEditsUndoAndRedo()
    {
        QTemporaryDir dir;
        Document d;
        d.current()->records = numberedRecords(10);
        Data_List_T *m = d.current();
        d.addMeasurement(newMeasurement({}, QStringLiteral("other")));
        QVERIFY(d.save(dir.filePath(QStringLiteral("a.dat"))));
        QVERIFY(!d.isModified());
        QSignalSpy rows(&d, &Document::recordsChanged);

        QVERIFY(d.removeRecords(m, {1, 2, 7}, false));
        QCOMPARE(d.current(), m);
        QCOMPARE(m->records.size(), 7);
        QCOMPARE(d.undoStack()->undoText(), QStringLiteral("删除 3 行"));
        QVERIFY(d.isModified());
        QVERIFY(d.insertRecords(m, 7, numberedRecords(2)));
        QCOMPARE(m->records.size(), 9);

        d.undoStack()->undo();
        d.undoStack()->undo();
        QCOMPARE(m->records, numberedRecords(10));
        QVERIFY(!d.isModified()); // back at the saved state
        QCOMPARE(rows.size(), 4);
        QCOMPARE(rows.last().at(0).toInt(), 7);

        d.undoStack()->redo();
        QCOMPARE(m->records.size(), 7);
        QCOMPARE(m->records.at(1).value[0], 4.0f);
        QVERIFY(d.isModified());
        QVERIFY(!d.removeRecords(m, {}, true)); // nothing to change: no step
        QCOMPARE(d.undoStack()->count(), 2);
    }

    void measurementEditsUndoAndRedo()
    {
        Document d;
        d.addMeasurement(newMeasurement(numberedRecords(3), QStringLiteral("b")));
        d.addMeasurement(newMeasurement({}, QStringLiteral("c")));
        const QStringList before = names(d);
        Data_List_T *b = d.measurement(1);
        QSignalSpy tree(&d, &Document::measurementsChanged);

        QVERIFY(d.renameMeasurement(1, QStringLiteral("B")));
        QVERIFY(!d.renameMeasurement(1, QString()));
        QVERIFY(d.moveMeasurementUp(1));
        QVERIFY(!d.moveMeasurementUp(0));
        QVERIFY(d.removeMeasurement(0));
        QCOMPARE(names(d), (QStringList{before.at(0), QStringLiteral("c")}));
        QCOMPARE(d.currentIndex(), 0);

        d.undoStack()->undo(); // the removed measurement comes back, records and all
        QCOMPARE(d.current(), b);
        QCOMPARE(b->records, numberedRecords(3));
        QCOMPARE(names(d), (QStringList{QStringLiteral("B"), before.at(0), QStringLiteral("c")}));
        d.undoStack()->undo();
        d.undoStack()->undo();
        QCOMPARE(names(d), before);
        QCOMPARE(tree.size(), 6);
        d.undoStack()->redo();
        QCOMPARE(names(d).at(1), QStringLiteral("B"));

        // A replaced archive takes the history with it and is the saved one.
        d.replace(Data_table_T(), QStringLiteral("x.dat"));
        QVERIFY(!d.undoStack()->canUndo());
        QVERIFY(!d.isModified());
        QCOMPARE(d.current(), nullptr);
    }

    // Two deleted measurements of just over half the bound each: the older
    // deletion and the step before it are forgotten, with the saved state
    // among them; the newest deletion still undoes and redoes.
    void historyDropsItsOldestStepsPastItsBounds()
    {
        QTemporaryDir dir;
        Document d;
        const int half = int(Document::kMaxHistoryBytes / qint64(sizeof(_T_EE_TEST_DATA)) / 2) + 1;
        d.addMeasurement(newMeasurement(numberedRecords(half), QStringLiteral("b")));
        d.addMeasurement(newMeasurement(numberedRecords(half), QStringLiteral("c")));
        QVERIFY(d.save(dir.filePath(QStringLiteral("a.dat"))));
        QVERIFY(d.renameMeasurement(0, QStringLiteral("a")));
        QVERIFY(d.removeMeasurement(1));
        QCOMPARE(d.undoStack()->count(), 2);
        QVERIFY(d.removeMeasurement(1));
        QCOMPARE(d.undoStack()->count(), 1);
        QCOMPARE(d.undoStack()->undoText(), QStringLiteral("删除测量 c"));

        d.undoStack()->undo();
        QCOMPARE(names(d), (QStringList{QStringLiteral("a"), QStringLiteral("c")}));
        QCOMPARE(d.current()->records.size(), half);
        QVERIFY(!d.undoStack()->canUndo());
        QVERIFY(d.isModified());
        d.undoStack()->redo();
        QCOMPARE(names(d), QStringList{QStringLiteral("a")});

        for (int i = 0; i < Document::kMaxHistorySteps + 5; ++i)
            QVERIFY(d.renameMeasurement(0, QString::number(i)));
        QCOMPARE(d.undoStack()->count(), Document::kMaxHistorySteps);
    }
};

QTEST_GUILESS_MAIN(TestDocument)
#include "tst_document.moc"
