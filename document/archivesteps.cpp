#include "document/archivesteps.h"

#include "document/document.h"
#include "store/recordclipboard.h"

QList<Data_List_T *> &ArchiveStep::measurements() const
{
    return m_document->m_archive.lists;
}

void ArchiveStep::insertMeasurement(int index, Data_List_T *measurement) const
{
    m_document->insertMeasurement(index, measurement);
}

Data_List_T *ArchiveStep::takeMeasurement(int index) const
{
    return m_document->takeMeasurement(index);
}

void ArchiveStep::forgetRecoveredCopy(const Data_List_T *measurement) const
{
    m_document->forgetRecoveredCopy(measurement);
}

void ArchiveStep::measurementsChanged(Data_List_T *measurement) const
{
    m_document->setCurrent(measurement);
    m_document->touched();
    emit m_document->measurementsChanged();
}

void ArchiveStep::recordsChanged(Data_List_T *measurement, int recordsBefore) const
{
    m_document->setCurrent(measurement);
    m_document->touched();
    emit m_document->recordsChanged(recordsBefore);
}

RecordsStep::RecordsStep(Document *document, Data_List_T *measurement, const QVector<int> &indexes,
                         const QVector<_T_EE_TEST_DATA> &records, bool inserting)
    : ArchiveStep(document), m_measurement(measurement), m_indexes(indexes), m_records(records),
      m_inserting(inserting)
{
}

void RecordsStep::put()
{
    const int before = m_measurement->records.size();
    putRecordsBack(m_measurement->records, m_indexes, m_records);
    recordsChanged(m_measurement, before);
}

void RecordsStep::take()
{
    const int before = m_measurement->records.size();
    m_records = takeRecords(m_measurement->records, m_indexes);
    recordsChanged(m_measurement, before);
}

void RecordsStep::redo()
{
    m_inserting ? put() : take();
}

void RecordsStep::undo()
{
    m_inserting ? take() : put();
}

RenameStep::RenameStep(Document *document, Data_List_T *measurement, const QString &name)
    : ArchiveStep(document), m_measurement(measurement), m_before(measurement->name), m_after(name)
{
}

void RenameStep::redo()
{
    m_measurement->name = m_after;
    measurementsChanged(m_measurement);
}

void RenameStep::undo()
{
    m_measurement->name = m_before;
    measurementsChanged(m_measurement);
}

qint64 RecordsStep::heldBytes() const
{
    return qint64(m_records.size()) * qint64(sizeof(_T_EE_TEST_DATA));
}

RemoveMeasurementStep::RemoveMeasurementStep(Document *document, int index)
    : ArchiveStep(document), m_index(index)
{
}

// A measurement the history forgets while it is out of the archive is gone
// for good; its copy on disk, if any, is no longer tied to it.
RemoveMeasurementStep::~RemoveMeasurementStep()
{
    if (m_removed) {
        forgetRecoveredCopy(m_removed);
        delete m_removed;
    }
}

void RemoveMeasurementStep::redo()
{
    m_removed = takeMeasurement(m_index);
    const QList<Data_List_T *> &all = measurements();
    measurementsChanged(all.isEmpty() ? nullptr : all.at(qMin(m_index, all.size() - 1)));
}

void RemoveMeasurementStep::undo()
{
    Data_List_T *back = m_removed;
    m_removed = nullptr;
    insertMeasurement(m_index, back);
    measurementsChanged(back);
}

qint64 RemoveMeasurementStep::heldBytes() const
{
    return m_removed ? qint64(m_removed->records.size()) * qint64(sizeof(_T_EE_TEST_DATA)) : 0;
}

MoveUpStep::MoveUpStep(Document *document, int index) : ArchiveStep(document), m_index(index)
{
}

void MoveUpStep::redo()
{
    measurements().swapItemsAt(m_index - 1, m_index);
    measurementsChanged(measurements().at(m_index - 1));
}

void MoveUpStep::undo()
{
    measurements().swapItemsAt(m_index - 1, m_index);
    measurementsChanged(measurements().at(m_index));
}

void CompositeStep::redo()
{
    for (const auto &step : m_steps)
        step->redo();
}

void CompositeStep::undo()
{
    for (auto step = m_steps.rbegin(); step != m_steps.rend(); ++step)
        (*step)->undo();
}

qint64 CompositeStep::heldBytes() const
{
    qint64 bytes = 0;
    for (const auto &step : m_steps)
        bytes += step->heldBytes();
    return bytes;
}

HistoryEntry::HistoryEntry(std::shared_ptr<ArchiveStep> step, const bool *replaying)
    : m_step(std::move(step)), m_replaying(replaying)
{
    setText(m_step->text());
}

void HistoryEntry::redo()
{
    if (!*m_replaying)
        m_step->redo();
}

void HistoryEntry::undo()
{
    m_step->undo();
}
