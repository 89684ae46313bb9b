#pragma once

#include "alarm/alarmmonitor.h"
#include "app/alarmconfig.h"
#include "settings/settingsfile.h"

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

#include <vector>

class AlarmPage;
class AlarmStrip;
class Bash;
class DesktopNotifier;
class DevKX740D;
class QSoundEffect;

// The window's alarms: a monitor per instrument fed with its live readings
// and link, the strip and the marked tiles (the first instrument's) that
// show them, a desktop notification while the window is not in front, an
// optional sound until acknowledged, and the settings page with its file
// (alarms.json beside config.cfg, which keeps the limits). The first
// instrument's monitor is monitor(); every further one numbers its alarms
// from a range of its own, so an alarm's id tells its instrument.
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
    // The rules in use for the first instrument: the shared limits of
    // `settings` with the page's options.
    AlarmSettings rules() const { return m_monitor.settings(); }
    // The shared limits for the first instrument; a further one takes the
    // limits kept for its label, else the shared ones.
    void setLimits(const AppSettings &settings);
    // The unit of the texts (0 Celsius, 1 Fahrenheit, 2 Kelvin).
    void setUnit(int unit);
    // A further instrument, watched with a monitor of its own from now on;
    // once is enough. Null for the first: the window's own driver.
    AlarmMonitor &watchInstrument(DevKX740D &device);
    // Connected on purpose or recording: only then is a lost link an alarm.
    // Without `device`: the first instrument.
    void setWatching(bool watching, DevKX740D *device = nullptr);
    void setLinkUp(bool up, DevKX740D *device = nullptr);
    // The label of an instrument, which chooses its limits and, while
    // labels are shown, names it in its alarms.
    void setInstrumentLabel(const QString &label, DevKX740D *device = nullptr);
    // With several instruments the alarms name the instrument they belong to.
    void setLabelsShown(bool shown);
    // Reads the page's options, stores and applies them.
    void apply();

private:
    struct Watched
    {
        DevKX740D *device;
        AlarmMonitor *monitor;
        QString label;
    };

    void follow(const Watched &watched);
    Watched &watched(DevKX740D *device);
    // The monitor whose alarm has `id`; null when none.
    AlarmMonitor *monitorOf(quint64 id) const;
    void acknowledge(quint64 id);
    void applyRules();
    void raised(const Watched &watched, const Alarm &alarm);
    void cleared(const Alarm &alarm);
    void acknowledged(quint64 id);
    void showAlarms();
    void updateSound();
    // Says on the page (and once in the log) why the sound is not heard.
    void checkSound();
    QString rowText(const Watched &watched, const Alarm &alarm) const;
    QString withLabel(const Watched &watched, const QString &text) const;

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
    bool m_labelsShown = false;
    // The first is the window's driver with m_monitor; never shrinks, as
    // the position chooses the range of the alarms' ids.
    std::vector<Watched> m_watched;
};
