#pragma once

#include "store/recordingjournal.h"

#include <QDate>
#include <QPair>
#include <QString>
#include <QVector>

// How a long recording is cut into files.
enum class SplitMode
{
    None, // one file, --out as given
    Day,  // oven.dat -> oven_2026-12-08.dat
    Week, // oven.dat -> oven_2026-W50.dat (ISO week)
    Month // oven.dat -> oven_2026-12.dat
};

// "day", "week", "month"; false for anything else.
bool parseSplitMode(const QString &text, SplitMode *mode);

// The first day of the period holding `date`.
QDate periodStart(const QDate &date, SplitMode mode);
// The file holding the readings of the period that begins on `start`.
QString periodFileName(const QString &out, SplitMode mode, const QDate &start);

// Writes the readings of the journal at `journal` into the output: with
// SplitMode::None all of them as one measurement of `out`; otherwise the
// readings of each period that begins before `before` (all periods when
// `before` is null) as a measurement of that period's file. Each
// measurement is named after the recording (with a `label`, "<recording> ·
// <label>": one instrument of several) and dated by its first reading;
// written again (a run stopped between writing and dropping the journal)
// it replaces itself. Readings of later periods are returned in `carry`
// for the journal that goes on. False with the system's reason in `error`
// and `errorCode` when a file cannot be written: files already written stay.
struct OutputResult
{
    bool ok = true;
    QString error;
    int errorCode = 0;
    QString failedFile;                       // the file that could not be written
    QVector<QPair<QString, quint32>> written; // files written, with their reading counts
    QVector<JournalReading> carry;
    quint32 readings = 0;
};
OutputResult writeJournalToOutput(const QString &journal, const QString &out, SplitMode mode,
                                  const QDate &before = QDate(), const QString &label = QString());
