#include "record/metricsformat.h"

#include <charconv>
#include <functional>
#include <utility>

namespace {

using Labels = std::initializer_list<std::pair<const char *, QString>>;

struct Family
{
    const char *name; // of the family; a counter's samples add "_total"
    const char *type;
    const char *unit; // OpenMetrics only; the name ends with it
    // Plain ASCII without backslash, quote or line break: the same in both
    // formats without escaping.
    const char *help;
};

// Backslash, double quote and line feed escaped, as both formats want.
QByteArray labelValue(const QString &value)
{
    QByteArray out;
    for (const char c : value.toUtf8()) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '"')
            out += "\\\"";
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out;
}

// The shortest text that reads back as the same float ("21.3", not
// "21.299999237060547").
QByteArray number(float value)
{
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return QByteArray(text, int(end - text));
}

void sample(QByteArray &out, const QByteArray &name, Labels labels, const QByteArray &value)
{
    out += name;
    out += '{';
    bool first = true;
    for (const auto &label : labels) {
        if (!first)
            out += ',';
        first = false;
        out += label.first;
        out += "=\"";
        out += labelValue(label.second);
        out += '"';
    }
    out += "} ";
    out += value;
    out += '\n';
}

// The family's metadata, then what `samples` adds under the sample name.
void family(QByteArray &out, MetricsFormat format, const Family &f,
            const std::function<void(const QByteArray &sampleName)> &samples)
{
    const bool counter = qstrcmp(f.type, "counter") == 0;
    const QByteArray sampleName = QByteArray(f.name) + (counter ? "_total" : "");
    if (format == MetricsFormat::OpenMetrics) {
        out += "# TYPE " + QByteArray(f.name) + ' ' + f.type + '\n';
        if (*f.unit)
            out += "# UNIT " + QByteArray(f.name) + ' ' + f.unit + '\n';
        out += "# HELP " + QByteArray(f.name) + ' ' + f.help + '\n';
    } else {
        out += "# HELP " + sampleName + ' ' + f.help + '\n';
        out += "# TYPE " + sampleName + ' ' + f.type + '\n';
    }
    samples(sampleName);
}

} // namespace

MetricsFormat metricsFormatFor(const QByteArray &accept)
{
    for (const QByteArray &range : accept.split(',')) {
        const QList<QByteArray> parts = range.split(';');
        if (parts.first().trimmed().toLower() != "application/openmetrics-text")
            continue;
        bool refused = false;
        for (const QByteArray &parameter : parts.mid(1)) {
            const QByteArray p = parameter.trimmed().toLower();
            if (p.startsWith("q=") && p.mid(2).toDouble() <= 0)
                refused = true;
        }
        if (!refused)
            return MetricsFormat::OpenMetrics;
    }
    return MetricsFormat::Prometheus;
}

QByteArray metricsContentType(MetricsFormat format)
{
    return format == MetricsFormat::OpenMetrics
               ? QByteArrayLiteral("application/openmetrics-text; version=1.0.0; charset=utf-8")
               : QByteArrayLiteral("text/plain; version=0.0.4; charset=utf-8");
}

QByteArray formatMetrics(const QVector<InstrumentMetrics> &instruments, MetricsFormat format)
{
    QByteArray out;
    family(out, format,
           {"kx740d_temperature_celsius", "gauge", "celsius",
            "Live reading of a channel in degrees Celsius; absent while its probe is open or out "
            "of range."},
           [&](const QByteArray &name) {
               for (const InstrumentMetrics &i : instruments)
                   for (int ch = 0; ch < kChannelCount; ++ch)
                       if (i.celsius[size_t(ch)])
                           sample(out, name,
                                  {{"instrument", i.instrument},
                                   {"channel", QStringLiteral("T%1").arg(ch + 1)}},
                                  number(*i.celsius[size_t(ch)]));
           });
    family(out, format,
           {"kx740d_readings_stored", "counter", "",
            "Readings of this recording stored durably in its journal."},
           [&](const QByteArray &name) {
               for (const InstrumentMetrics &i : instruments)
                   sample(out, name, {{"instrument", i.instrument}},
                          QByteArray::number(i.readingsStored));
           });
    family(out, format,
           {"kx740d_readings_waiting", "gauge", "",
            "Recorded readings the MQTT broker has not acknowledged yet; 0 without MQTT."},
           [&](const QByteArray &name) {
               for (const InstrumentMetrics &i : instruments)
                   sample(out, name, {{"instrument", i.instrument}},
                          QByteArray::number(i.readingsWaiting));
           });
    family(out, format,
           {"kx740d_link_up", "gauge", "", "1 while the instrument is connected and recorded."},
           [&](const QByteArray &name) {
               for (const InstrumentMetrics &i : instruments)
                   sample(out, name, {{"instrument", i.instrument}}, i.linkUp ? "1" : "0");
           });
    family(out, format,
           {"kx740d_alarm_active", "gauge", "",
            "1 for each active alarm; channel T1 to T4, or link for the instrument's link."},
           [&](const QByteArray &name) {
               for (const InstrumentMetrics &i : instruments)
                   for (const InstrumentMetrics::ActiveAlarm &a : i.alarms)
                       sample(
                           out, name,
                           {{"instrument", i.instrument}, {"channel", a.channel}, {"kind", a.kind}},
                           "1");
           });
    family(out, format,
           {"kx740d_journal_bytes", "gauge", "bytes",
            "Size of the recording's journal file on the disk."},
           [&](const QByteArray &name) {
               for (const InstrumentMetrics &i : instruments)
                   sample(out, name, {{"instrument", i.instrument}},
                          QByteArray::number(i.journalBytes));
           });
    if (format == MetricsFormat::OpenMetrics)
        out += "# EOF\n";
    return out;
}
