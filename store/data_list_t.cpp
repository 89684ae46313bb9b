#include "store/data_list_t.h"

#include "instrument/temperature.h"

#include <QCoreApplication>

namespace {

class Text
{
    Q_DECLARE_TR_FUNCTIONS(DataStore)
};

} // namespace

Data_List_T newMeasurement(const QVector<_T_EE_TEST_DATA> &records, const QString &name)
{
    Data_List_T m;
    m.records = records;
    m.name = name.isEmpty() ? Text::tr("新建测量") : name;
    m.created = QDateTime::currentDateTime();
    return m;
}

Data_List_T measurementOfRecords(const QVector<_T_EE_TEST_DATA> &records, const QString &name)
{
    Data_List_T m = newMeasurement(records, name);
    if (!records.isEmpty()) {
        const QDateTime first = dateTimeFromRecord(records.first());
        if (first.isValid())
            m.created = first;
    }
    return m;
}

QString downloadedMeasurementName(const QDateTime &downloadTime)
{
    return Text::tr("%1_KX740D数据记录")
        .arg(downloadTime.toString(QStringLiteral("yyyyMMdd hhmmss")));
}
