#pragma once

#include "store/data_table_t.h"

#include <QString>
#include <QStringList>
#include <QVector>

// A recording made with several instruments at once keeps one measurement
// per instrument, named "<recording> · <label>" and stored one after the
// other. Nothing else marks them as belonging together: the data file has no
// place for it, and older programs must still read such a file.

// "<recording> · <label>".
QString instrumentMeasurementName(const QString &recording, const QString &label);

// The two parts of "<recording> · <label>" (split at the last separator);
// false for a name without one or with an empty part.
bool splitInstrumentMeasurementName(const QString &name, QString *recording, QString *label);

// Measurements `first` .. `first + count - 1` of an archive. A group of one
// is a plain measurement (`labels` empty); a larger group was recorded
// together: `name` is the recording's name and `labels` the instruments' in
// archive order.
struct MeasurementGroup
{
    QString name;
    int first = 0;
    int count = 1;
    QStringList labels;
};

// The archive in groups, in archive order, covering every measurement once.
// Measurements form a group when they follow each other, carry the same
// recording name with different labels, and were made within a minute of
// the group's first one (the instruments start together).
QVector<MeasurementGroup> measurementGroups(const Data_table_T &archive);

// The group holding measurement `index`, or a group of one when `index` is
// out of range.
MeasurementGroup groupOf(const Data_table_T &archive, int index);

// How the channels of the instrument at `position` of a group are drawn in
// charts and report legends: in the channels' colours, with a line style of
// its own (solid, dashed, dotted, ...) so the instruments stay apart.
Qt::PenStyle instrumentLineStyle(int position);
