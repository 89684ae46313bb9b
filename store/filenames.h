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
