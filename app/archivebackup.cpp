// The archive's safety on disk: the unsaved archive, the recording's files
// and what an earlier run left behind.
#include "app/archivebackup.h"

#include "app/archivepage.h"
#include "app/instrumentconnection.h"
#include "app/mqttcontrol.h"
#include "app/recordingpage.h"
#include "app/systempage.h"
#include "app/userdialogs.h"
#include "measurement/recordingsession.h"
#include "store/datafile.h"
#include "store/measurementgroups.h"
#include "store/recordingjournal.h"
#include "store/recordingstore.h"
#include "store/unsavedarchive.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMainWindow>
#include <QTimer>

#include <memory>
#include <vector>

namespace {

// "<folder>/auto_backup" of "<folder>/auto_backup.bak".
QString backupBase(const QString &backupFile)
{
    QString base = backupFile;
    if (base.endsWith(QLatin1String(".bak")))
        base.chop(4);
    return base;
}

} // namespace

ArchiveBackup::ArchiveBackup(WindowContext &context) : PageController(context)
{
    m_unsavedArchiveTimer = new QTimer(this);
    m_unsavedArchiveTimer->setSingleShot(true);
    m_unsavedArchiveTimer->setInterval(kUnsavedArchiveDelayMs);
    // A change made while recording is kept with the recording at its stop.
    connect(m_unsavedArchiveTimer, &QTimer::timeout, this, [this] {
        if (m_device.isRecording())
            return;
        // Undone back to the saved state: nothing unsaved is left to keep.
        if (m_document->isModified())
            keepUnsavedArchive();
        else
            dropUnsavedArchive();
    });
    connect(m_document, &Document::changed, this, &ArchiveBackup::documentChanged);
}

void ArchiveBackup::closeUnresumedRecording()
{
    RecordingStore *store = m_ctx.store;
    if (store && store->found().interrupted &&
        store->writtenUpTo(store->found().header.id) >= store->found().lastSeq) {
        store->setOutputWriter(nullptr);
        store->closeFound();
    }
}

// Once per recording: the recording goes on with its readings in memory.
void ArchiveBackup::backupFailed()
{
    m_ctx.tellNotWritten();
}

// A backup holding readings means a program ended during a recording; an
// unsaved archive, that it ended before the user saved. The archives come
// first: they hold what was there before the recording in the backup.
void ArchiveBackup::restoreAutoBackup()
{
    const bool untouched = m_document->isUntouched();
    const QList<Data_List_T *> before = archive().lists;
    restoreUnsavedArchive(m_ctx.backup.fileName());
    // Another slot's archive is removed only once this window keeps its
    // measurements; its lock is held until then.
    std::vector<std::unique_ptr<BackupClaim>> adopted;
    QStringList adoptedSlots;
    for (const QString &other :
         slotsWithUnsavedArchive(m_ctx.backup.folder(), m_ctx.backup.fileName())) {
        auto claim = std::make_unique<BackupClaim>(other);
        if (claim->isLocked() && restoreUnsavedArchive(other)) {
            adopted.push_back(std::move(claim));
            adoptedSlots << other;
        }
    }
    restoreOwnBackup();
    restoreInstrumentJournals();
    for (const QString &other : m_ctx.backup.otherBackups()) {
        const BackupClaim claim(other);
        if (claim.isLocked())
            restoreBackupFile(other);
    }
    QStringList restored;
    for (const Data_List_T *measurement : archive().lists)
        if (!before.contains(const_cast<Data_List_T *>(measurement)))
            restored << tr("%1（%n 条记录）", nullptr, measurement->records.size())
                            .arg(measurement->name);
    if (!restored.isEmpty() && untouched)
        m_document->dropEmptyFirstMeasurement();
    if (m_document->isModified() && keepUnsavedArchive()) {
        for (const QString &other : qAsConst(adoptedSlots))
            removeUnsavedArchive(other);
    }
    if (!restored.isEmpty())
        tellRestored(restored);
}

// Said once the window is there to stand in front of.
void ArchiveBackup::tellRestored(QStringList names)
{
    constexpr int kNamesShown = 10;
    if (names.size() > kNamesShown) {
        const int more = names.size() - kNamesShown + 1;
        names = names.mid(0, kNamesShown - 1);
        names << tr("另外 %n 个测量", nullptr, more);
    }
    QString text = tr("程序上次没有正常结束。以下测量已恢复，尚未保存：") + QLatin1Char('\n') +
                   names.join(QLatin1Char('\n'));
    if (m_ctx.store->found().interrupted)
        text += QLatin1Char('\n') + tr("当时正在进行的记录可以继续：选中它的测量后按“开始”。");
    QTimer::singleShot(0, this, [this, text] {
        UserDialogs::information(m_ctx.window, tr("已恢复数据"), text, m_okText);
    });
}

bool ArchiveBackup::restoreUnsavedArchive(const QString &backupFile)
{
    Data_table_T kept;
    switch (readUnsavedArchive(backupFile, kept)) {
    case UnsavedArchiveRead::None:
        return false;
    case UnsavedArchiveRead::Damaged: {
        const QString aside =
            setDamagedUnsavedArchiveAside(backupFile, QDateTime::currentDateTime());
        // Said once the window is there to stand in front of.
        QTimer::singleShot(0, this, [this, aside] {
            UserDialogs::information(m_ctx.window, QString(),
                                     tr("上次未保存的数据已损坏，无法恢复。\n该文件保留为：%1")
                                         .arg(QDir::toNativeSeparators(aside)),
                                     m_okText);
        });
        return false;
    }
    case UnsavedArchiveRead::Read:
        break;
    }
    m_document->addMeasurements(std::move(kept));
    return true;
}

void ArchiveBackup::setupRecordingStore()
{
    m_ctx.store = new RecordingStore(m_ctx.backup.fileName(), backupBase(m_ctx.backup.fileName()),
                                     m_ctx.window);
    m_ctx.store->setJournalEnabled(m_settings.autoBackupEnabled);
    m_ctx.store->setOutputWriter(
        [this](const QString &journal, const QDate &) { return restoreJournal(journal); });
    m_ctx.session->setStore(m_ctx.store);
    m_ctx.system->mqtt()->followRecording(*m_ctx.session, *m_ctx.store);
    connect(m_ctx.store, &RecordingStore::journalFailed, this, &ArchiveBackup::backupFailed);
}

// A recording the window did not stop (a crash), or stopped without keeping
// its measurement, comes back as the measurement "auto_backup". One that was
// not stopped can be gone on with: the next Start with the same instrument,
// while that measurement is current, continues it (same recording, the
// numbers go on), as the broker sees it. The store lets its journal go once
// the measurement is kept on the disk and the broker (when publishing) has
// its readings.
void ArchiveBackup::restoreOwnBackup()
{
    const RecordingStore::Recovery found = m_ctx.store->open(QString(), true);
    if (found.interrupted && restoreJournal(m_ctx.store->journalFile()).ok)
        m_ctx.recording->setResumable(currentMeasurement());
}

// The readings of `journal` the archive does not hold yet, as the
// measurement "auto_backup", kept beside the backup until the archive is
// saved: the journal stays as it is unless they are.
OutputResult ArchiveBackup::restoreJournal(const QString &journal)
{
    OutputResult result;
    JournalReader reader(journal);
    reader.open();
    const quint32 had = m_ctx.store->writtenUpTo(reader.header().id);
    QVector<_T_EE_TEST_DATA> records;
    quint32 last = had;
    for (JournalReading r; reader.next(&r);) {
        if (r.seq > had)
            records << r.record;
        last = qMax(last, r.seq);
    }
    if (records.isEmpty())
        return result;
    m_ctx.archive->addMeasurement(newMeasurement(records, QStringLiteral("auto_backup")));
    result.ok = m_document->keepRecoveredCopy(currentMeasurement());
    if (result.ok)
        m_ctx.store->noteWritten(reader.header().id, last);
    return result;
}

void ArchiveBackup::setupInstrumentStore(InstrumentConnection &connection)
{
    const QString base =
        backupBase(m_ctx.backup.fileName()) + QLatin1Char('.') + connection.label();
    const QString journal = base + QStringLiteral(".journal");
    if (connection.store() && connection.store()->journalFile() == journal) {
        connection.store()->setJournalEnabled(m_settings.autoBackupEnabled);
        return;
    }
    if (connection.store())
        connection.store()->deleteLater();
    auto *store = new RecordingStore(journal, base, m_ctx.window);
    store->setJournalEnabled(m_settings.autoBackupEnabled);
    connect(store, &RecordingStore::journalFailed, this, &ArchiveBackup::backupFailed);
    connection.setStore(store);
}

// The journals of further instruments this window's slot left: each comes
// back as "auto_backup · <label>", removed once the archive keeps it.
void ArchiveBackup::restoreInstrumentJournals()
{
    const QFileInfo backup(m_ctx.backup.fileName());
    const QString prefix = backup.completeBaseName() + QLatin1Char('.');
    const QDir folder = backup.absoluteDir();
    const QStringList journals =
        folder.entryList({prefix + QStringLiteral("*.journal")}, QDir::Files, QDir::Name);
    for (const QString &name : journals) {
        const QString label = name.mid(prefix.size()).chopped(int(qstrlen(".journal")));
        restoreBackupFile(folder.filePath(name),
                          instrumentMeasurementName(QStringLiteral("auto_backup"), label));
    }
}

// The backup of another window that ended without stopping its recording.
void ArchiveBackup::restoreBackupFile(const QString &fileName, const QString &measurementName)
{
    QFile file(fileName);
    JournalReader journal(fileName);
    journal.open();
    QVector<_T_EE_TEST_DATA> records;
    for (JournalReading r; journal.next(&r);)
        records << r.record;
    // A file that is neither a journal nor an empty one is left for the user.
    if (journal.format() == JournalReader::Format::Unknown)
        return;
    if (records.isEmpty()) {
        file.remove();
        return;
    }
    m_ctx.archive->addMeasurement(newMeasurement(records, measurementName));
    if (m_document->keepRecoveredCopy(currentMeasurement()))
        file.remove();
}

void ArchiveBackup::documentChanged()
{
    if (!m_device.isRecording())
        keepUnsavedArchiveLater();
}

// At most one write per kUnsavedArchiveDelayMs, however many changes.
void ArchiveBackup::keepUnsavedArchiveLater()
{
    if (!m_unsavedArchiveTimer->isActive())
        m_unsavedArchiveTimer->start();
}

bool ArchiveBackup::keepUnsavedArchive()
{
    m_unsavedArchiveTimer->stop();
    QString reason;
    if (writeUnsavedArchive(m_ctx.backup.fileName(), archive(), &reason)) {
        m_unsavedArchiveFailureShown = false;
        return true;
    }
    if (!m_unsavedArchiveFailureShown) {
        m_unsavedArchiveFailureShown = true;
        UserDialogs::information(
            nullptr, QString(),
            tr("无法备份未保存的数据到 %1：%2\n程序意外退出时这些数据将会丢失，请及时保存。")
                .arg(QDir::toNativeSeparators(unsavedArchiveFile(m_ctx.backup.fileName())), reason),
            m_okText);
    }
    return false;
}

void ArchiveBackup::dropUnsavedArchive()
{
    m_unsavedArchiveTimer->stop();
    removeUnsavedArchive(m_ctx.backup.fileName());
}
