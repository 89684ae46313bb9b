#include "export/exportsource.h"

#include "store/measurementgroups.h"

namespace {

ExportSource sourceOf(const Data_table_T &archive, const MeasurementGroup &group)
{
    ExportSource source;
    source.name = group.name;
    for (int i = group.first; i < group.first + group.count && i < archive.lists.size(); ++i)
        source.measurements << *archive.lists[i];
    if (group.count > 1)
        source.labels = group.labels;
    else if (!source.measurements.isEmpty())
        source.name = source.measurements.first().name;
    return source;
}

} // namespace

QString ExportSource::channelName(int measurement, int channel) const
{
    const QString name = QStringLiteral("T%1").arg(channel + 1);
    if (!isGroup() || measurement < 0 || measurement >= labels.size())
        return name;
    return labels[measurement] + QLatin1Char(' ') + name;
}

ExportSource singleSource(const Data_List_T &measurement)
{
    ExportSource source;
    source.name = measurement.name;
    source.measurements << measurement;
    return source;
}

ExportSource exportSource(const Data_table_T &archive, int index)
{
    return sourceOf(archive, groupOf(archive, index));
}

QVector<ExportSource> exportSources(const Data_table_T &archive)
{
    QVector<ExportSource> sources;
    for (const MeasurementGroup &group : measurementGroups(archive))
        sources << sourceOf(archive, group);
    return sources;
}

_T_EE_TEST_DATA recordOrGap(const ExportSource &source, int measurement, int index)
{
    if (index >= 0)
        return source.measurements[measurement].records[index];
    _T_EE_TEST_DATA gap;
    for (int ch = 0; ch < kChannelCount; ++ch) {
        gap.state[ch] = StateNoReading;
        gap.type[ch] = 0xFF; // no type letter
    }
    return gap;
}
