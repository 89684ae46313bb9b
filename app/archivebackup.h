#pragma once

#include "app/windowcontext.h"
#include "store/recordingoutput.h"

class InstrumentConnection;
class QTimer;

// What keeps the archive safe on disk between saves: the unsaved archive
// beside the backup (written within kUnsavedArchiveDelayMs of a change), the
// recording's files, and what a crashed run left behind, brought back into
// the archive at start-up.
class ArchiveBackup : public PageController
{
    Q_OBJECT

public:
    explicit ArchiveBackup(WindowContext &context);

    // How long after a change the archive is kept on disk at the latest.
    static constexpr int kUnsavedArchiveDelayMs = 1000;

    // The recording's files, opened once the session exists.
    void setupRecordingStore();
    // Restores this window's backup and every backup left behind by a
    // program that is no longer running.
    void restoreAutoBackup();
    // Writes the archive beside the backup now; false (told once until a
    // write succeeds again) when it cannot be written.
    bool keepUnsavedArchive();
    // Nothing unsaved is left on disk once saved or given up.
    void dropUnsavedArchive();
    // A recording a crash interrupted and nobody went on with ends with the
    // window; its readings are in the archive.
    void closeUnresumedRecording();
    // The store of a further instrument's recording: its journal sits beside
    // the window's backup as "<backup>.<label>.journal", so a kill leaves it
    // for the next start, which brings it back as its own measurement.
    void setupInstrumentStore(InstrumentConnection &connection);

private:
    // Every change of the archive, undo and redo included, comes here: it
    // is kept on disk within kUnsavedArchiveDelayMs (after the recording
    // while one runs, when the journal keeps the readings).
    void documentChanged();
    void keepUnsavedArchiveLater();
    // Appends the measurements of the unsaved archive that the slot of
    // `backupFile` left behind; true when there were any.
    bool restoreUnsavedArchive(const QString &backupFile);
    void restoreOwnBackup();
    OutputResult restoreJournal(const QString &journal);
    void restoreBackupFile(const QString &fileName,
                           const QString &measurementName = QStringLiteral("auto_backup"));
    void restoreInstrumentJournals();
    // Names what the restore brought back, with the records of each.
    void tellRestored(QStringList names);
    // Once per recording: the recording goes on with its readings in memory.
    void backupFailed();

    // Runs while a change is still to be kept on disk.
    QTimer *m_unsavedArchiveTimer = nullptr;
    bool m_unsavedArchiveFailureShown = false;
};
