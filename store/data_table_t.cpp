#include "store/data_table_t.h"

#include <QSet>

#include <QCoreApplication>

#include <utility>

namespace {

class Text
{
    Q_DECLARE_TR_FUNCTIONS(DataStore)
};

} // namespace

Data_table_T::Data_table_T(const Data_table_T &other) : name(other.name), created(other.created)
{
    for (const Data_List_T *m : other.lists)
        lists.append(new Data_List_T(*m));
}

Data_table_T::Data_table_T(Data_table_T &&other) noexcept
    : lists(std::exchange(other.lists, {})), name(std::move(other.name)),
      created(std::move(other.created))
{
}

Data_table_T &Data_table_T::operator=(const Data_table_T &other)
{
    if (this != &other)
        *this = Data_table_T(other);
    return *this;
}

Data_table_T &Data_table_T::operator=(Data_table_T &&other) noexcept
{
    if (this != &other) {
        clear();
        lists = std::exchange(other.lists, {});
        name = std::move(other.name);
        created = std::move(other.created);
    }
    return *this;
}

Data_table_T::~Data_table_T()
{
    clear();
}

Data_List_T *Data_table_T::append(const Data_List_T &measurement)
{
    lists.append(new Data_List_T(measurement));
    return lists.last();
}

void Data_table_T::clear()
{
    qDeleteAll(lists);
    lists.clear();
}

Data_table_T newArchive()
{
    Data_table_T archive;
    archive.name = Text::tr("新建档案");
    archive.created = QDateTime::currentDateTime();
    return archive;
}

QString newMeasurementName(const Data_table_T &archive)
{
    QSet<QString> names;
    for (const Data_List_T *m : archive.lists)
        names.insert(m->name);
    const QString base = newMeasurement().name;
    if (!names.contains(base))
        return base;
    for (int n = 2;; ++n) {
        const QString name = base + QLatin1Char(' ') + QString::number(n);
        if (!names.contains(name))
            return name;
    }
}
