#include "link/portwatcher.h"

PortWatcher::PortWatcher(Source source, int intervalMs, QObject *parent)
    : QObject(parent), m_source(std::move(source))
{
    m_ports = m_source();
    connect(&m_timer, &QTimer::timeout, this, &PortWatcher::rescan);
    m_timer.start(intervalMs);
}

void PortWatcher::rescan()
{
    QStringList now = m_source();
    if (now == m_ports)
        return;
    m_ports = now;
    emit portsChanged(m_ports);
}
