#include "store/measurementgroups.h"

namespace {

// U+00B7 MIDDLE DOT between spaces: readable in both languages and not a
// character a label may hold.
const QString kSeparator = QStringLiteral(" \u00b7 ");

// Instruments started by one Start are made within seconds of each other; a
// minute leaves room for a slow link without joining separate recordings.
constexpr qint64 kTogetherSeconds = 60;

bool madeTogether(const Data_List_T &a, const Data_List_T &b)
{
    if (!a.created.isValid() || !b.created.isValid())
        return a.created.isValid() == b.created.isValid();
    return qAbs(a.created.secsTo(b.created)) <= kTogetherSeconds;
}

} // namespace

QString instrumentMeasurementName(const QString &recording, const QString &label)
{
    return recording + kSeparator + label;
}

bool splitInstrumentMeasurementName(const QString &name, QString *recording, QString *label)
{
    const int at = name.lastIndexOf(kSeparator);
    if (at <= 0 || at + kSeparator.size() >= name.size())
        return false;
    if (recording)
        *recording = name.left(at);
    if (label)
        *label = name.mid(at + kSeparator.size());
    return true;
}

QVector<MeasurementGroup> measurementGroups(const Data_table_T &archive)
{
    QVector<MeasurementGroup> groups;
    const int count = archive.lists.size();
    for (int i = 0; i < count;) {
        MeasurementGroup group;
        group.first = i;
        group.name = archive.lists[i]->name;
        QString recording, label;
        if (splitInstrumentMeasurementName(archive.lists[i]->name, &recording, &label)) {
            QStringList labels{label};
            int next = i + 1;
            for (; next < count; ++next) {
                const Data_List_T &m = *archive.lists[next];
                QString r, l;
                if (!splitInstrumentMeasurementName(m.name, &r, &l) || r != recording ||
                    labels.contains(l) || !madeTogether(*archive.lists[i], m))
                    break;
                labels << l;
            }
            if (labels.size() > 1) {
                group.name = recording;
                group.count = labels.size();
                group.labels = labels;
            }
        }
        groups << group;
        i += group.count;
    }
    return groups;
}

MeasurementGroup groupOf(const Data_table_T &archive, int index)
{
    for (const MeasurementGroup &group : measurementGroups(archive))
        if (index >= group.first && index < group.first + group.count)
            return group;
    MeasurementGroup single;
    single.first = index;
    return single;
}

Qt::PenStyle instrumentLineStyle(int position)
{
    // The five styles Qt draws from SolidLine to DashDotDotLine, in turn.
    return Qt::PenStyle(Qt::SolidLine + qMax(0, position) % 5);
}
