#pragma once

#include <QDateTime>
#include <QString>

// Names that the save dialogs propose.

// `text` made usable as a file name on every desktop: separators, wildcards
// and the other characters Windows refuses become '_', surrounding blanks
// go; `fallback` when nothing is left.
QString fileNameFrom(const QString &text, const QString &fallback);

// A file in `folder` named after `name` (made usable) with `extension`
// (".jpg"); `fallback` names it when `name` gives nothing.
QString proposedFileIn(const QString &folder, const QString &name, const QString &extension,
                       const QString &fallback);

// Where saving the archive proposes to write: `archiveFile`, the data file it
// was last saved to or opened from, else a new file in `folder` named after
// the archive and `now` ("新建档案_2026_03_04 10_00_00_000.dat").
QString proposedArchiveFile(const QString &archiveFile, const QString &folder,
                            const QString &archiveName, const QDateTime &now);

// Whether `path` is one of the program's working files, which no save may
// write over: backups ("auto_backup*.bak"), unsaved archives
// ("*.unsaved.dat"), journals, locks, outbox files, ledgers ("*.mqtt") and
// event outboxes ("*.events"). Told by the name of `path` and of the file a
// link at `path` points to, and by identity: the same file on disk (device
// and inode) as a working file in `workingFolder`, e.g. a hard link to it.
bool isWorkingFile(const QString &path, const QString &workingFolder);
