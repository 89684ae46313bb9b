#include "alarm/alarmmonitor.h"

#include <QDateTime>

#include <algorithm>

namespace {
// Cleared alarms nobody acknowledged are forgotten beyond this many, oldest
// first, so an unattended program's memory stays flat.
constexpr int kUnacknowledgedLimit = 256;

qint64 systemClock()
{
    return QDateTime::currentMSecsSinceEpoch();
}
} // namespace

AlarmMonitor::AlarmMonitor(QObject *parent) : QObject(parent), m_clock(systemClock)
{
    qRegisterMetaType<Alarm>();
    m_linkTimer.setSingleShot(true);
    m_linkTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_linkTimer, &QTimer::timeout, this, [this] {
        m_rules.tick(m_clock(), &m_changes);
        emitChanges();
    });
}

void AlarmMonitor::setClock(Clock clock)
{
    m_clock = clock ? std::move(clock) : Clock(systemClock);
}

void AlarmMonitor::setSettings(const AlarmSettings &settings)
{
    m_rules.setSettings(settings, m_clock(), &m_changes);
    emitChanges();
}

void AlarmMonitor::addReading(const _T_PRINT_OUT_DATA &reading)
{
    m_rules.reading(reading, m_clock(), &m_changes);
    if (!m_changes.empty())
        emitChanges();
}

void AlarmMonitor::setLinkUp(bool up)
{
    m_rules.setLinkUp(up, m_clock(), &m_changes);
    emitChanges();
}

void AlarmMonitor::setWatching(bool watching)
{
    m_rules.setWatching(watching, m_clock(), &m_changes);
    emitChanges();
}

void AlarmMonitor::acknowledge(quint64 id)
{
    const auto it = std::find_if(m_unacknowledged.begin(), m_unacknowledged.end(),
                                 [id](const Alarm &a) { return a.id == id; });
    if (it == m_unacknowledged.end())
        return;
    m_unacknowledged.erase(it);
    emit acknowledged(id);
    emit alarmsChanged();
}

QVector<Alarm> AlarmMonitor::unacknowledgedAlarms() const
{
    return m_unacknowledged;
}

void AlarmMonitor::emitChanges()
{
    scheduleLinkCheck();
    if (m_changes.empty())
        return;
    // Taken first: a slot may feed the monitor again.
    std::vector<AlarmChange> changes;
    changes.swap(m_changes);
    for (const AlarmChange &c : changes) {
        const auto it = std::find_if(m_unacknowledged.begin(), m_unacknowledged.end(),
                                     [&c](const Alarm &a) { return a.id == c.alarm.id; });
        if (c.raised)
            m_unacknowledged.append(c.alarm);
        else if (it != m_unacknowledged.end())
            *it = c.alarm;
        if (m_unacknowledged.size() > kUnacknowledgedLimit) {
            const auto oldest = std::find_if(m_unacknowledged.begin(), m_unacknowledged.end(),
                                             [](const Alarm &a) { return a.clearedMs != 0; });
            if (oldest != m_unacknowledged.end())
                m_unacknowledged.erase(oldest);
        }
        if (c.raised)
            emit raised(c.alarm);
        else
            emit cleared(c.alarm);
    }
    emit alarmsChanged();
    changes.clear();
    if (m_changes.empty())
        m_changes.swap(changes);
}

void AlarmMonitor::scheduleLinkCheck()
{
    const qint64 due = m_rules.nextLinkCheckMs();
    if (due < 0) {
        m_linkTimer.stop();
        return;
    }
    m_linkTimer.start(int(qBound<qint64>(0, due - m_clock(), 24 * 3600 * 1000)));
}
