#pragma once

#include "instrument/records.h"

#include <QDateTime>
#include <QVector>

// Records whose T1 value is their 1-based position, to recognise them.
inline QVector<_T_EE_TEST_DATA> numberedRecords(int n)
{
    QVector<_T_EE_TEST_DATA> out(n);
    for (int i = 0; i < n; ++i)
        out[i].value[0] = float(i + 1);
    return out;
}

// A record stamped `t` whose T1 value is `value`.
inline _T_EE_TEST_DATA recordAt(const QDateTime &t, float value)
{
    _T_EE_TEST_DATA r;
    r.year = quint8(t.date().year() - 2000);
    r.month = quint8(t.date().month());
    r.day = quint8(t.date().day());
    r.hour = quint8(t.time().hour());
    r.minute = quint8(t.time().minute());
    r.second = quint8(t.time().second());
    r.value[0] = value;
    return r;
}
