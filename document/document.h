#pragma once

#include "store/data_table_t.h"

#include <QList>
#include <QObject>
#include <QPair>
#include <QString>
#include <QUndoStack>

#include <functional>

class ArchiveStep;
class CompositeStep;

// The archive the window edits: the measurements, the one that is current,
// whether there are unsaved changes, the data file it was last opened from
// or saved to, and the undo history of its edits. No widgets: the window
// shows it and follows its signals.
//
// Edits of records and measurements (row delete, cut and insert; rename,
// delete and move up of a measurement) are undo steps. Additions (new
// measurements, a recording's or a download's readings, restored backups)
// are not: they never destroy anything. Unsaved means the undo history is
// away from the state last saved, or an addition came since then.
//
// Undo steps name measurements by address. A measurement leaves the archive
// only through an undo step, which keeps it until the history forgets the
// step, and the history is forgotten whenever the archive is replaced; so a
// step never meets a measurement that is gone.
class Document : public QObject
{
    Q_OBJECT

public:
    // A new archive holding one new, empty measurement, current and saved.
    explicit Document(QObject *parent = nullptr);
    ~Document() override;

    const Data_table_T &archive() const { return m_archive; }
    int count() const { return m_archive.lists.size(); }
    // Null when `index` is no measurement's.
    Data_List_T *measurement(int index) const;
    // -1 for null or a measurement not in the archive.
    int indexOf(const Data_List_T *measurement) const;

    // The measurement that the table and chart show and that a recording
    // goes into; null when none is chosen.
    Data_List_T *current() const { return m_current; }
    int currentIndex() const { return indexOf(m_current); }
    // An index out of range chooses none. Changes nothing of the archive.
    void setCurrentIndex(int index);

    // Counts the changes of the archive, undo and redo included, so a view
    // tells records that took the place of others from the same ones.
    quint64 generation() const { return m_generation; }

    bool isModified() const { return m_changedOffHistory || !m_undoStack.isClean(); }
    // A change made outside the undo history (readings recorded into the
    // current measurement by the caller).
    void markModified();
    // The data file last opened or saved; empty for a new archive.
    QString fileName() const { return m_fileName; }

    QUndoStack *undoStack() { return &m_undoStack; }
    // The history keeps at most this many steps, and drops its oldest steps
    // while the records they keep outside the archive (deleted and cut rows,
    // deleted measurements) pass kMaxHistoryBytes; the newest step always
    // stays undoable.
    static constexpr int kMaxHistorySteps = 100;
    static constexpr qint64 kMaxHistoryBytes = 50 * 1024 * 1024;

    // Writes the archive to `path` (atomically) and makes the present state
    // the saved one. On failure `reason` says why and nothing changes.
    bool save(const QString &path, QString *reason = nullptr);
    // Puts `archive`, read from `path`, in place of the present one: the old
    // measurements and the undo history go, the first measurement becomes
    // current. It is the saved state then: what was unsaved is given up.
    void replace(Data_table_T &&archive, const QString &path);

    // Still as a new archive starts: its one empty measurement, no file,
    // nothing changed.
    bool isUntouched() const;
    // Takes the empty measurement a new archive starts with away once
    // others came after it (restored after a crash), so that every start
    // does not bring one more empty measurement back. Nothing happens unless
    // the first measurement is empty, others follow it and no undo step can
    // name it.
    void dropEmptyFirstMeasurement();

    // Additions: appended, made current, unsaved.
    Data_List_T *addMeasurement(const Data_List_T &measurement);
    void addMeasurements(Data_table_T &&measurements);
    // A recording's readings appended to the current measurement; an empty
    // one then dates from its first reading. Nothing without a current one.
    // The caller shows them (newest page first).
    void appendToCurrent(const QVector<_T_EE_TEST_DATA> &records);

    // Undo steps. Each makes the measurement it edits current and returns
    // false, pushing nothing, when there is nothing to change.
    // Records at `indexes` (ascending) of `measurement` removed; `cut`
    // names the step after the cut that it is.
    bool removeRecords(Data_List_T *measurement, const QVector<int> &indexes, bool cut);
    bool insertRecords(Data_List_T *measurement, int at, const QVector<_T_EE_TEST_DATA> &records);
    // An empty name or the present one changes nothing.
    bool renameMeasurement(int index, const QString &name);
    // The measurement at `index` then the next current (else the new last).
    bool removeMeasurement(int index);
    bool moveMeasurementUp(int index);
    // The steps `edits` makes through the calls above, as one step named
    // `text` (undone at once); false, pushing nothing, when they changed
    // nothing.
    bool editAsOneStep(const QString &text, const std::function<void()> &edits);

    // Keeps a restored measurement as a data file of its own in the working
    // folder (where the backups are) until it is in a data file the user
    // saved; the copy is removed then. False when it cannot be written.
    bool keepRecoveredCopy(const Data_List_T *measurement);

signals:
    // Measurements came, went, moved or were renamed (undo and redo
    // included); the current one may be another now.
    void measurementsChanged();
    // An undo step changed the current measurement's records, from
    // `recordsBefore` records; it may be another measurement than before.
    void recordsChanged(int recordsBefore);
    // Any change of the archive or of whether it is saved.
    void changed();

private:
    friend class ArchiveStep;
    void touched();
    void push(ArchiveStep *step);
    void dropOldestSteps();
    // Used by the undo steps.
    void insertMeasurement(int index, Data_List_T *measurement);
    Data_List_T *takeMeasurement(int index);
    void setCurrent(Data_List_T *measurement) { m_current = measurement; }
    // Null forgets all of them.
    void forgetRecoveredCopy(const Data_List_T *measurement);

    Data_table_T m_archive;
    Data_List_T *m_current = nullptr;
    QString m_fileName;
    quint64 m_generation = 0;
    bool m_changedOffHistory = false;
    QList<QPair<const Data_List_T *, QString>> m_recoveredCopies;
    bool m_replayingHistory = false;
    // While editAsOneStep() runs, the steps made, already done.
    CompositeStep *m_collecting = nullptr;
    // Last: its steps are deleted before the archive they point into.
    QUndoStack m_undoStack;
};
