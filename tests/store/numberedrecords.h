#pragma once

#include "instrument/records.h"

#include <QVector>

// Records whose T1 value is their 1-based position, to recognise them.
inline QVector<_T_EE_TEST_DATA> numberedRecords(int n)
{
    QVector<_T_EE_TEST_DATA> out(n);
    for (int i = 0; i < n; ++i)
        out[i].value[0] = float(i + 1);
    return out;
}
