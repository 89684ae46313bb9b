#pragma once

#include <QString>
#include <QStringList>

// Labels tell the instruments of one window apart: they end the names of the
// measurements recorded with several instruments ("<recording> · <label>")
// and are kept in the settings under the place the port is plugged in. Like
// the recorder's labels they are 1 to 32 of A-Z, a-z, 0-9, '_' and '-', so
// they stay a plain word in file names, topics and metrics.

enum class LabelCheck
{
    Ok,
    Invalid, // not 1..32 of [A-Za-z0-9_-]
    Taken,   // another instrument of the window has it
};

// `label` as the new label of an instrument whose fellow instruments carry
// `otherLabels`; labels differing only in case are the same label.
LabelCheck checkInstrumentLabel(const QString &label, const QStringList &otherLabels);

// The label an instrument on `port` (with `place`, its socket's name, or
// empty) starts with when none is kept for it: the place, else the port's
// file name, with every character a label may not hold made '-' and cut to
// its last 32 characters; "-2", "-3" ... is added while it is taken.
QString defaultInstrumentLabel(const QString &port, const QString &place, const QStringList &taken);
