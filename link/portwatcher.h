#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>

// Notices serial devices arriving and leaving by asking `source` for the
// current port list at a steady interval and reporting when the list differs
// from the last one. This stands in for a device-change notification from the
// system, which is not available for serial ports here.
class PortWatcher : public QObject
{
    Q_OBJECT

public:
    using Source = std::function<QStringList()>;

    PortWatcher(Source source, int intervalMs, QObject *parent = nullptr);

    // The list as last read.
    QStringList ports() const { return m_ports; }

    // Reads the list now; emits portsChanged when it differs from the last one.
    void rescan();

signals:
    void portsChanged(const QStringList &ports);

private:
    Source m_source;
    QStringList m_ports;
    QTimer m_timer;
};
