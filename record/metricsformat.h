#pragma once

#include "instrument/records.h"

#include <QByteArray>
#include <QString>
#include <QVector>

#include <array>
#include <optional>

// What one recorded instrument shows a scrape. The names of the series and
// labels are an interface of their own: they are not translated.
struct InstrumentMetrics
{
    struct ActiveAlarm
    {
        QString channel; // "T1".."T4", or "link" for the instrument's link
        QString kind;    // alarmKindToken(): "high", "low", "open", "link-lost", ...
    };

    QString instrument; // the label that tells the instruments apart
    bool linkUp = false;
    // The live readings in degrees Celsius; none while a probe is open,
    // out of range, or no reading has come.
    std::array<std::optional<float>, kChannelCount> celsius{};
    quint64 readingsStored = 0;  // durable in the journal
    quint64 readingsWaiting = 0; // for the MQTT broker
    qint64 journalBytes = 0;
    QVector<ActiveAlarm> alarms;
};

enum class MetricsFormat
{
    Prometheus, // text format 0.0.4
    OpenMetrics // 1.0.0: counters' families without "_total", "# EOF" at the end
};

// The format a scraper asks for in its Accept header: OpenMetrics when it
// names application/openmetrics-text without q=0, the Prometheus text
// format otherwise.
MetricsFormat metricsFormatFor(const QByteArray &accept);
QByteArray metricsContentType(MetricsFormat format);

// The exposition of `instruments`, UTF-8.
QByteArray formatMetrics(const QVector<InstrumentMetrics> &instruments, MetricsFormat format);
