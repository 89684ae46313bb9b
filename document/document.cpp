#include "document/document.h"

#include "document/archivesteps.h"
#include "instrument/temperature.h"
#include "store/atomicfile.h"
#include "store/datafile.h"
#include "store/updatelock.h"

#include <QFile>
#include <QSignalBlocker>

Document::Document(QObject *parent) : QObject(parent), m_archive(newArchive())
{
    m_current = m_archive.append(newMeasurement());
    m_undoStack.setUndoLimit(kMaxHistorySteps);
}

Document::~Document() = default;

Data_List_T *Document::measurement(int index) const
{
    return index >= 0 && index < m_archive.lists.size() ? m_archive.lists.at(index) : nullptr;
}

int Document::indexOf(const Data_List_T *measurement) const
{
    return measurement ? m_archive.lists.indexOf(const_cast<Data_List_T *>(measurement)) : -1;
}

void Document::setCurrentIndex(int index)
{
    m_current = measurement(index);
}

void Document::touched()
{
    ++m_generation;
    emit changed();
}

void Document::markModified()
{
    m_changedOffHistory = true;
    touched();
}

void Document::push(ArchiveStep *step)
{
    if (m_collecting) {
        step->redo();
        m_collecting->append(step);
        return;
    }
    m_undoStack.push(new HistoryEntry(std::shared_ptr<ArchiveStep>(step), &m_replayingHistory));
    dropOldestSteps();
}

bool Document::editAsOneStep(const QString &text, const std::function<void()> &edits)
{
    if (m_collecting) {
        edits();
        return true;
    }
    auto *composite = new CompositeStep(this);
    composite->setText(text);
    m_collecting = composite;
    edits();
    m_collecting = nullptr;
    if (composite->isEmpty()) {
        delete composite;
        return false;
    }
    // Done already: the entry is pushed without doing it again.
    m_replayingHistory = true;
    m_undoStack.push(
        new HistoryEntry(std::shared_ptr<ArchiveStep>(composite), &m_replayingHistory));
    m_replayingHistory = false;
    dropOldestSteps();
    return true;
}

// Called after a push, so no step waits to be redone.
void Document::dropOldestSteps()
{
    const int count = m_undoStack.count();
    const auto stepAt = [this](int i) {
        return static_cast<const HistoryEntry *>(m_undoStack.command(i))->step();
    };
    int keepFrom = count - 1;
    qint64 held = stepAt(keepFrom)->heldBytes();
    while (keepFrom > 0 && held + stepAt(keepFrom - 1)->heldBytes() <= kMaxHistoryBytes)
        held += stepAt(--keepFrom)->heldBytes();
    if (keepFrom == 0)
        return;
    QList<std::shared_ptr<ArchiveStep>> kept;
    for (int i = keepFrom; i < count; ++i)
        kept << stepAt(i);
    const int clean = m_undoStack.cleanIndex() - keepFrom;
    // The history is built again from the kept steps, already applied; its
    // listeners see no step of that (the saved state in between included).
    const QSignalBlocker quiet(&m_undoStack);
    m_replayingHistory = true;
    m_undoStack.clear(); // deletes the dropped steps and what they keep
    for (int i = 0; i < kept.size(); ++i) {
        if (i == clean)
            m_undoStack.setClean();
        m_undoStack.push(new HistoryEntry(kept.at(i), &m_replayingHistory));
    }
    if (clean == kept.size())
        m_undoStack.setClean();
    else if (clean < 0)
        m_undoStack.resetClean(); // the saved state is no longer in the history
    m_replayingHistory = false;
}

bool Document::save(const QString &path, QString *reason)
{
    {
        // Waits for a recorder appending its measurement to the file.
        const UpdateLock lock(path);
        if (!lock.isLocked()) {
            if (reason)
                *reason = lock.errorString();
            return false;
        }
        if (!writeFileAtomically(path, dataFileToBytes(m_archive), reason))
            return false;
    }
    m_fileName = path;
    m_changedOffHistory = false;
    m_undoStack.setClean();
    // Copies of restored backups are no longer needed once their measurement
    // is in a data file the user saved.
    for (int i = m_recoveredCopies.size() - 1; i >= 0; --i) {
        if (indexOf(m_recoveredCopies.at(i).first) >= 0)
            QFile::remove(m_recoveredCopies.takeAt(i).second);
    }
    emit changed();
    return true;
}

void Document::replace(Data_table_T &&archive, const QString &path)
{
    m_current = nullptr;
    m_undoStack.clear();
    forgetRecoveredCopy(nullptr);
    m_archive = std::move(archive);
    m_fileName = path;
    m_changedOffHistory = false;
    m_current = measurement(0);
    touched();
    emit measurementsChanged();
}

Data_List_T *Document::addMeasurement(const Data_List_T &measurement)
{
    m_current = m_archive.append(measurement);
    markModified();
    emit measurementsChanged();
    return m_current;
}

void Document::addMeasurements(Data_table_T &&measurements)
{
    if (measurements.lists.isEmpty())
        return;
    // The measurements are taken over as they are, names and all.
    while (!measurements.lists.isEmpty())
        m_archive.lists.append(measurements.lists.takeFirst());
    m_current = m_archive.lists.last();
    markModified();
    emit measurementsChanged();
}

bool Document::isUntouched() const
{
    return m_archive.lists.size() == 1 && m_archive.lists.first()->records.isEmpty() &&
           m_fileName.isEmpty() && !isModified() && m_undoStack.count() == 0;
}

void Document::dropEmptyFirstMeasurement()
{
    if (m_archive.lists.size() < 2 || !m_archive.lists.first()->records.isEmpty() ||
        m_undoStack.count() > 0)
        return;
    Data_List_T *first = m_archive.lists.takeFirst();
    if (m_current == first)
        m_current = m_archive.lists.last();
    delete first;
    touched();
    emit measurementsChanged();
}

void Document::appendToCurrent(const QVector<_T_EE_TEST_DATA> &records)
{
    if (!m_current || records.isEmpty())
        return;
    // An empty measurement dates from when its readings begin, not from
    // when it was made (at start-up, by "new").
    if (m_current->records.isEmpty()) {
        const QDateTime start = dateTimeFromRecord(records.first());
        if (start.isValid())
            m_current->created = start;
    }
    m_current->records += records;
    markModified();
}

bool Document::removeRecords(Data_List_T *measurement, const QVector<int> &indexes, bool cut)
{
    if (indexOf(measurement) < 0 || indexes.isEmpty())
        return false;
    const int n = indexes.size();
    auto *step = new RecordsStep(this, measurement, indexes, {}, false);
    if (cut)
        step->setText(n == 1 ? tr("剪切 1 行") : tr("剪切 %1 行").arg(n));
    else
        step->setText(n == 1 ? tr("删除 1 行") : tr("删除 %1 行").arg(n));
    push(step);
    return true;
}

bool Document::insertRecords(Data_List_T *measurement, int at,
                             const QVector<_T_EE_TEST_DATA> &records)
{
    if (indexOf(measurement) < 0 || records.isEmpty() || at < 0 || at > measurement->records.size())
        return false;
    const int n = records.size();
    QVector<int> indexes(n);
    for (int k = 0; k < n; ++k)
        indexes[k] = at + k;
    auto *step = new RecordsStep(this, measurement, indexes, records, true);
    step->setText(n == 1 ? tr("插入 1 行") : tr("插入 %1 行").arg(n));
    push(step);
    return true;
}

bool Document::renameMeasurement(int index, const QString &name)
{
    Data_List_T *m = measurement(index);
    if (!m || name.isEmpty() || name == m->name)
        return false;
    auto *step = new RenameStep(this, m, name);
    step->setText(tr("重命名 %1 为 %2").arg(m->name, name));
    push(step);
    return true;
}

bool Document::removeMeasurement(int index)
{
    const Data_List_T *m = measurement(index);
    if (!m)
        return false;
    auto *step = new RemoveMeasurementStep(this, index);
    step->setText(tr("删除测量 %1").arg(m->name));
    push(step);
    return true;
}

bool Document::moveMeasurementUp(int index)
{
    const Data_List_T *m = measurement(index);
    if (!m || index == 0)
        return false;
    auto *step = new MoveUpStep(this, index);
    step->setText(tr("上移 %1").arg(m->name));
    push(step);
    return true;
}

bool Document::keepRecoveredCopy(const Data_List_T *measurement)
{
    Data_table_T recovered = newArchive();
    recovered.name = QStringLiteral("auto_backup");
    recovered.append(*measurement);
    const QString stem =
        QStringLiteral("auto_backup_") +
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy_MM_dd hh_mm_ss_zzz"));
    // Several backups restored within one millisecond must not share a copy.
    QString name = stem + QStringLiteral(".dat");
    for (int n = 2; QFile::exists(name); ++n)
        name = stem + QStringLiteral("_%1.dat").arg(n);
    if (!writeFileAtomically(name, dataFileToBytes(recovered)))
        return false;
    m_recoveredCopies.append({measurement, name});
    return true;
}

// A measurement that leaves for good unsaved keeps its copy on disk.
void Document::forgetRecoveredCopy(const Data_List_T *measurement)
{
    for (int i = m_recoveredCopies.size() - 1; i >= 0; --i) {
        if (!measurement || m_recoveredCopies.at(i).first == measurement)
            m_recoveredCopies.removeAt(i);
    }
}

void Document::insertMeasurement(int index, Data_List_T *measurement)
{
    m_archive.lists.insert(index, measurement);
}

Data_List_T *Document::takeMeasurement(int index)
{
    return m_archive.lists.takeAt(index);
}
