#include "store/data_list_t.h"

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
