#pragma once

#include "store/data_list_t.h"

#include <QUndoCommand>
#include <QVector>

#include <memory>
#include <vector>

class Document;

// The undo steps of a Document. Each applies its change through the
// document's private operations and then tells the document's views.

class ArchiveStep : public QUndoCommand
{
public:
    explicit ArchiveStep(Document *document) : m_document(document) {}

    // Bytes of records the step keeps outside the archive.
    virtual qint64 heldBytes() const { return 0; }

protected:
    Document *document() const { return m_document; }
    QList<Data_List_T *> &measurements() const;
    void insertMeasurement(int index, Data_List_T *measurement) const;
    Data_List_T *takeMeasurement(int index) const;
    void forgetRecoveredCopy(const Data_List_T *measurement) const;
    // Makes `measurement` current and tells the views.
    void measurementsChanged(Data_List_T *measurement) const;
    void recordsChanged(Data_List_T *measurement, int recordsBefore) const;

private:
    Document *m_document;
};

// Records taken out of a measurement (delete, cut) or put into it (insert).
class RecordsStep : public ArchiveStep
{
public:
    // `indexes` ascending: where `records` are (inserting) or were (removing)
    // in the measurement after the insertion or before the removal.
    RecordsStep(Document *document, Data_List_T *measurement, const QVector<int> &indexes,
                const QVector<_T_EE_TEST_DATA> &records, bool inserting);
    void redo() override;
    void undo() override;
    qint64 heldBytes() const override;

private:
    void put();
    void take();

    Data_List_T *m_measurement;
    QVector<int> m_indexes;
    QVector<_T_EE_TEST_DATA> m_records;
    bool m_inserting;
};

class RenameStep : public ArchiveStep
{
public:
    RenameStep(Document *document, Data_List_T *measurement, const QString &name);
    void redo() override;
    void undo() override;

private:
    Data_List_T *m_measurement;
    QString m_before;
    QString m_after;
};

// Owns the measurement while it is out of the archive.
class RemoveMeasurementStep : public ArchiveStep
{
public:
    RemoveMeasurementStep(Document *document, int index);
    ~RemoveMeasurementStep() override;
    void redo() override;
    void undo() override;
    qint64 heldBytes() const override;

private:
    int m_index;
    Data_List_T *m_removed = nullptr;
};

class MoveUpStep : public ArchiveStep
{
public:
    MoveUpStep(Document *document, int index);
    void redo() override;
    void undo() override;

private:
    int m_index;
};

// Steps made as one (a group of measurements renamed, deleted or moved):
// done in order, undone in reverse.
class CompositeStep : public ArchiveStep
{
public:
    explicit CompositeStep(Document *document) : ArchiveStep(document) {}
    // Takes a step that is done already.
    void append(ArchiveStep *step) { m_steps.emplace_back(step); }
    bool isEmpty() const { return m_steps.empty(); }
    void redo() override;
    void undo() override;
    qint64 heldBytes() const override;

private:
    std::vector<std::unique_ptr<ArchiveStep>> m_steps;
};

// What the document's QUndoStack holds: a step shared with the entries that
// take its place when the history is cut from its oldest end (a QUndoStack
// forgets steps only by deleting them all). While `replaying` is set,
// pushing an entry does not apply its step again.
class HistoryEntry : public QUndoCommand
{
public:
    HistoryEntry(std::shared_ptr<ArchiveStep> step, const bool *replaying);
    void redo() override;
    void undo() override;
    const std::shared_ptr<ArchiveStep> &step() const { return m_step; }

private:
    std::shared_ptr<ArchiveStep> m_step;
    const bool *m_replaying;
};
