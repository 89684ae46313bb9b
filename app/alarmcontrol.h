#pragma once

#include "alarm/alarmmonitor.h"
#include "app/alarmconfig.h"
#include "settings/settingsfile.h"

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

class AlarmPage;
class AlarmStrip;
class Bash;
class DesktopNotifier;
class DevKX740D;
class QSoundEffect;

// The window's alarms: the monitor fed with the instrument's live readings
// and link, the strip and the marked tiles that show them, a desktop
// notification while the window is not in front, an optional sound until
// acknowledged, and the settings page with its file (alarms.json beside
// config.cfg, which keeps the limits).
class AlarmControl : public QObject
{
    Q_OBJECT

public:
    // `window` decides whether the window is in front; `strip` and `tiles`
    // show the alarms. The page is created without a parent, for the
    // settings window to take.
    AlarmControl(DevKX740D &device, const QString &fileName, QWidget &window, AlarmStrip &strip,
                 Bash &tiles, QObject *parent = nullptr);
    ~AlarmControl() override;

    AlarmMonitor &monitor() { return m_monitor; }
    AlarmPage *page() const;
    // The rules in use: the limits of `settings` with the page's options.
    AlarmSettings rules() const { return m_monitor.settings(); }
    void setLimits(const AppSettings &settings);
    // The unit of the texts (0 Celsius, 1 Fahrenheit, 2 Kelvin).
    void setUnit(int unit);
    // Connected on purpose or recording: only then is a lost link an alarm.
    void setWatching(bool watching);
    void setLinkUp(bool up);
    // With several instruments the alarms name the instrument they belong
    // to; empty with one.
    void setInstrumentLabel(const QString &label);
    // Reads the page's options, stores and applies them.
    void apply();

private:
    void applyRules();
    void raised(const Alarm &alarm);
    void cleared(const Alarm &alarm);
    void acknowledged(quint64 id);
    void showAlarms();
    void updateSound();
    // Says on the page (and once in the log) why the sound is not heard.
    void checkSound();
    QString rowText(const Alarm &alarm) const;
    QString withLabel(const QString &text) const;

    DevKX740D &m_device;
    QString m_fileName;
    QWidget &m_window;
    AlarmStrip &m_strip;
    Bash &m_tiles;
    AlarmMonitor m_monitor;
    AlarmOptions m_options;
    AppSettings m_limits;
    QPointer<AlarmPage> m_page;
    DesktopNotifier *m_notifier;
    // Alarms with a desktop notification out, whatever the window's state
    // since: each is withdrawn when its alarm clears or is acknowledged.
    QSet<quint64> m_notified;
    QSoundEffect *m_sound = nullptr; // made when first wanted
    QString m_soundProblem;
    int m_unit = 0;
    QString m_label;
};
