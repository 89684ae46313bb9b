#pragma once

#include "alarm/alarmrules.h"

#include <QObject>
#include <QTimer>

#include <functional>

// The alarms of one instrument as they happen: fed with every live reading
// and the link's state, it raises and clears alarms by AlarmRules on its own
// clock and keeps the list a front end shows. An alarm stays in
// unacknowledgedAlarms() until it is cleared and acknowledged, so one that
// came and went while nobody looked is still seen. Lives on one thread.
class AlarmMonitor : public QObject
{
    Q_OBJECT

public:
    // Milliseconds since the epoch.
    using Clock = std::function<qint64()>;

    explicit AlarmMonitor(QObject *parent = nullptr);

    // An empty function restores the system clock.
    void setClock(Clock clock);
    const AlarmSettings &settings() const { return m_rules.settings(); }
    void setSettings(const AlarmSettings &settings);
    // See AlarmRules::setFirstId(); before the first alarm.
    void setFirstAlarmId(quint64 id) { m_rules.setFirstId(id); }

    // Every live reading while connected; costs well under a microsecond
    // when nothing changes.
    void addReading(const _T_PRINT_OUT_DATA &reading);
    void setLinkUp(bool up);
    // Monitoring or recording: only then does a lost link raise an alarm.
    void setWatching(bool watching);

    // Silences the alarm `id` (raised or cleared); unknown ids are ignored.
    void acknowledge(quint64 id);

    // Raised and not cleared, oldest first.
    QVector<Alarm> activeAlarms() const { return m_rules.active(); }
    // Raised and not acknowledged, with those cleared since, oldest first.
    QVector<Alarm> unacknowledgedAlarms() const;

signals:
    void raised(const Alarm &alarm);
    void cleared(const Alarm &alarm);
    void acknowledged(quint64 id);
    // After any of the three: the lists above changed.
    void alarmsChanged();

private:
    void emitChanges();
    void scheduleLinkCheck();

    AlarmRules m_rules;
    Clock m_clock;
    QTimer m_linkTimer;
    std::vector<AlarmChange> m_changes; // reused: no allocation per reading
    QVector<Alarm> m_unacknowledged;    // raised ones too, so acknowledge() reaches them
};

Q_DECLARE_METATYPE(Alarm)
