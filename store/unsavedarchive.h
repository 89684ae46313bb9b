#pragma once

#include "store/data_table_t.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

// What a window holds unsaved, kept on disk so that a crash, a power cut or
// a kill before the user saves loses none of it: the whole archive in the
// data-file format, in a file beside the window's backup and named after it
// ("auto_backup.bak" -> "auto_backup.unsaved.dat"), so the backup slot's lock
// guards it as it guards the backup.

// The unsaved archive of the slot whose backup file is `backupFile`.
QString unsavedArchiveFile(const QString &backupFile);

// Replaces the slot's unsaved archive with `archive`, atomically; on failure
// `error` gets the system's reason and the old file stays as it was.
bool writeUnsavedArchive(const QString &backupFile, const Data_table_T &archive,
                         QString *error = nullptr);
// No unsaved archive is left for the slot (there was none, or it is removed).
bool removeUnsavedArchive(const QString &backupFile);

enum class UnsavedArchiveRead
{
    None,   // no file, or one without measurements (removed then)
    Read,   // `archive` holds it
    Damaged // not a whole data file, or unreadable; left where it is
};
UnsavedArchiveRead readUnsavedArchive(const QString &backupFile, Data_table_T &archive);

// Renames the slot's damaged unsaved archive to a name no slot writes
// ("auto_backup.unsaved.damaged_<time>.dat"), so the slot can keep a new one
// and the damaged bytes stay for the user. Returns where it is now (the old
// name when it cannot be renamed).
QString setDamagedUnsavedArchiveAside(const QString &backupFile, const QDateTime &now);

// The backup files of the slots of folder `dir`, other than `ownBackup`,
// that left an unsaved archive behind, oldest slot first.
QStringList slotsWithUnsavedArchive(const QString &dir, const QString &ownBackup);
