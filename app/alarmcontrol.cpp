#include "app/alarmcontrol.h"

#include "alarm/alarmtext.h"
#include "app/alarmpage.h"
#include "app/logging.h"
#include "instrument/devkx740d.h"
#include "notify/desktopnotifier.h"
#include "widgets/alarmstrip.h"
#include "widgets/bash.h"

#include <QApplication>
#include <QAudioDeviceInfo>
#include <QDateTime>
#include <QSoundEffect>

#include <algorithm>

namespace {
QString clockText(qint64 ms)
{
    return QDateTime::fromMSecsSinceEpoch(ms).toString(QStringLiteral("HH:mm:ss"));
}

QString notificationKey(quint64 id)
{
    return QString::number(id);
}

// The alarms of the instrument watched at position n are numbered from
// n << kIdRangeBits on: far more than one instrument raises in a lifetime.
constexpr int kIdRangeBits = 40;
} // namespace

AlarmControl::AlarmControl(DevKX740D &device, const QString &fileName, QWidget &window,
                           AlarmStrip &strip, Bash &tiles, QObject *parent)
    : QObject(parent), m_device(device), m_fileName(fileName), m_window(window), m_strip(strip),
      m_tiles(tiles), m_options(readAlarmFile(fileName)), m_page(new AlarmPage),
      m_notifier(new DesktopNotifier(QStringLiteral("KX740D"), this))
{
    m_page->setOptions(m_options);
    connect(m_page, &AlarmPage::edited, this, &AlarmControl::apply);
    m_watched.push_back({&device, &m_monitor, QString()});
    follow(m_watched.back());
    connect(&m_strip, &AlarmStrip::acknowledgeClicked, this, &AlarmControl::acknowledge);
    connect(&m_strip, &AlarmStrip::acknowledgeAllClicked, this, [this] {
        for (const Watched &w : m_watched)
            for (const Alarm &a : w.monitor->unacknowledgedAlarms())
                w.monitor->acknowledge(a.id);
    });
    connect(m_notifier, &DesktopNotifier::acknowledged, this,
            [this](const QString &key) { acknowledge(key.toULongLong()); });
    applyRules();
}

void AlarmControl::follow(const Watched &watched)
{
    const std::size_t at = m_watched.size() - 1;
    AlarmMonitor *monitor = watched.monitor;
    monitor->setFirstAlarmId((quint64(at) << kIdRangeBits) + 1);
    connect(watched.device, &DevKX740D::live_data, monitor, &AlarmMonitor::addReading);
    connect(monitor, &AlarmMonitor::raised, this,
            [this, at](const Alarm &alarm) { raised(m_watched[at], alarm); });
    connect(monitor, &AlarmMonitor::cleared, this, &AlarmControl::cleared);
    connect(monitor, &AlarmMonitor::acknowledged, this, &AlarmControl::acknowledged);
    connect(monitor, &AlarmMonitor::alarmsChanged, this, &AlarmControl::showAlarms);
}

AlarmMonitor &AlarmControl::watchInstrument(DevKX740D &device)
{
    for (const Watched &w : m_watched)
        if (w.device == &device)
            return *w.monitor;
    m_watched.push_back({&device, new AlarmMonitor(this), QString()});
    follow(m_watched.back());
    applyRules();
    return *m_watched.back().monitor;
}

AlarmControl::Watched &AlarmControl::watched(DevKX740D *device)
{
    for (Watched &w : m_watched)
        if (w.device == device)
            return w;
    return m_watched.front();
}

AlarmMonitor *AlarmControl::monitorOf(quint64 id) const
{
    const quint64 at = id >> kIdRangeBits;
    return at < m_watched.size() ? m_watched[at].monitor : nullptr;
}

void AlarmControl::acknowledge(quint64 id)
{
    if (AlarmMonitor *monitor = monitorOf(id))
        monitor->acknowledge(id);
}

AlarmControl::~AlarmControl()
{
    // Notifications of a program that is gone would ask for an answer no one
    // can take.
    for (quint64 id : qAsConst(m_notified))
        m_notifier->withdraw(notificationKey(id));
    delete m_page;
}

AlarmPage *AlarmControl::page() const
{
    return m_page;
}

void AlarmControl::setLimits(const AppSettings &settings)
{
    m_limits = settings;
    applyRules();
}

void AlarmControl::setUnit(int unit)
{
    m_unit = unit;
    if (m_page)
        m_page->setUnit(unit);
    showAlarms();
}

void AlarmControl::setWatching(bool watching, DevKX740D *device)
{
    watched(device ? device : &m_device).monitor->setWatching(watching);
}

void AlarmControl::setLinkUp(bool up, DevKX740D *device)
{
    watched(device ? device : &m_device).monitor->setLinkUp(up);
}

void AlarmControl::apply()
{
    if (!m_page)
        return;
    const AlarmOptions options = m_page->options();
    if (options == m_options)
        return;
    m_options = options;
    QString error;
    if (!writeAlarmFile(m_fileName, options, &error))
        qWarning("alarm settings not saved: %s", qPrintable(error));
    applyRules();
    updateSound();
}

// The first instrument always has the shared limits, so with one instrument
// nothing but config.cfg's fields decides.
void AlarmControl::applyRules()
{
    for (const Watched &w : m_watched) {
        AlarmSettings rules =
            alarmLimits(w.monitor == &m_monitor ? m_limits : m_limits.limitsFor(w.label));
        rules.hysteresis = float(m_options.hysteresisC);
        rules.delayMs = qint64(m_options.delaySeconds) * 1000;
        rules.probe = m_options.probe;
        rules.linkLostMs = qint64(m_options.linkLostSeconds) * 1000;
        w.monitor->setSettings(rules);
    }
}

void AlarmControl::raised(const Watched &watched, const Alarm &alarm)
{
    // In front, the strip is seen; behind other windows (or behind a message
    // box of its own), the desktop tells.
    if (m_options.notify && !m_window.isActiveWindow()) {
        m_notifier->show(notificationKey(alarm.id), withLabel(watched, AlarmText::brief(alarm)),
                         withLabel(watched, AlarmText::raised(alarm, m_unit)), tr("确认"));
        m_notified.insert(alarm.id);
    }
    updateSound();
}

// The notification goes whether or not the window is in front by now: one
// raised while a message box had the focus would otherwise stay on the
// desktop for an alarm that is over. The strip keeps the alarm until it is
// acknowledged.
void AlarmControl::cleared(const Alarm &alarm)
{
    if (m_notified.remove(alarm.id))
        m_notifier->withdraw(notificationKey(alarm.id));
    updateSound();
}

void AlarmControl::acknowledged(quint64 id)
{
    if (m_notified.remove(id))
        m_notifier->withdraw(notificationKey(id));
    updateSound();
}

void AlarmControl::showAlarms()
{
    // Active ones stay until they are over; the others until acknowledged.
    struct Shown
    {
        const Watched *watched;
        Alarm alarm;
        bool acknowledged;
    };
    std::vector<Shown> shown;
    for (const Watched &w : m_watched) {
        const QVector<Alarm> waiting = w.monitor->unacknowledgedAlarms();
        const auto isWaiting = [&waiting](quint64 id) {
            return std::any_of(waiting.begin(), waiting.end(),
                               [id](const Alarm &a) { return a.id == id; });
        };
        for (const Alarm &a : w.monitor->activeAlarms())
            shown.push_back({&w, a, !isWaiting(a.id)});
        for (const Alarm &a : waiting)
            if (a.clearedMs != 0)
                shown.push_back({&w, a, false});
    }
    std::stable_sort(shown.begin(), shown.end(), [](const Shown &a, const Shown &b) {
        return a.alarm.raisedMs < b.alarm.raisedMs;
    });
    QVector<AlarmStripRow> rows;
    for (const Shown &s : shown) {
        QString text = rowText(*s.watched, s.alarm);
        if (s.acknowledged)
            text += tr("（已确认）");
        rows.append({s.alarm.id, text, s.alarm.clearedMs == 0, s.acknowledged});
    }
    m_strip.setRows(rows);
    std::array<bool, kChannelCount> alarmed{};
    for (const Alarm &a : m_monitor.activeAlarms())
        if (a.channel >= 0 && a.channel < kChannelCount)
            alarmed[a.channel] = true;
    for (int ch = 0; ch < kChannelCount; ++ch)
        m_tiles.setChannelAlarmed(ch, alarmed[ch]);
}

QString AlarmControl::rowText(const Watched &watched, const Alarm &alarm) const
{
    if (alarm.clearedMs == 0)
        return withLabel(
            watched,
            tr("%1，自 %2起").arg(AlarmText::raised(alarm, m_unit), clockText(alarm.sinceMs)));
    return withLabel(watched, tr("%1（%2 至 %3）")
                                  .arg(AlarmText::cleared(alarm, m_unit), clockText(alarm.sinceMs),
                                       clockText(alarm.clearedMs)));
}

void AlarmControl::setInstrumentLabel(const QString &label, DevKX740D *device)
{
    Watched &w = watched(device ? device : &m_device);
    if (label == w.label)
        return;
    w.label = label;
    applyRules();
    showAlarms();
}

void AlarmControl::setLabelsShown(bool shown)
{
    if (shown == m_labelsShown)
        return;
    m_labelsShown = shown;
    showAlarms();
}

QString AlarmControl::withLabel(const Watched &watched, const QString &text) const
{
    return !m_labelsShown || watched.label.isEmpty() ? text : tr("%1：%2").arg(watched.label, text);
}

// The sound plays while an active alarm waits for its acknowledgement.
void AlarmControl::updateSound()
{
    bool wanted = false;
    if (m_options.sound) {
        for (const Watched &w : m_watched)
            for (const Alarm &a : w.monitor->unacknowledgedAlarms())
                wanted = wanted || a.clearedMs == 0;
    }
    if (wanted && !m_sound) {
        m_sound = new QSoundEffect(this);
        connect(m_sound, &QSoundEffect::statusChanged, this, &AlarmControl::checkSound);
        connect(m_sound, &QSoundEffect::playingChanged, this, &AlarmControl::checkSound);
        m_sound->setSource(QUrl(QStringLiteral("qrc:/sounds/alarm.wav")));
        m_sound->setLoopCount(QSoundEffect::Infinite);
    }
    if (m_sound) {
        if (wanted && !m_sound->isPlaying())
            m_sound->play();
        else if (!wanted)
            m_sound->stop();
    }
    checkSound();
}

// A sound that cannot be heard fails silently: QSoundEffect reports a file it
// cannot load by its status only, and without an audio output it "plays" on.
// The note stays after the alarm until the sound plays, so it is seen; it
// goes with the sound switched off.
void AlarmControl::checkSound()
{
    QString problem = m_soundProblem;
    if (!m_options.sound) {
        problem.clear();
    } else if (m_sound && m_sound->status() == QSoundEffect::Error) {
        problem = tr("告警提示音无法加载，告警时不会发出声音。");
    } else if (m_sound && m_sound->isPlaying()) {
        if (QAudioDeviceInfo::defaultOutputDevice().isNull())
            problem = tr("没有可用的音频输出设备，告警时不会发出声音。");
        else if (m_sound->status() == QSoundEffect::Ready)
            problem.clear();
    }
    if (problem == m_soundProblem)
        return;
    m_soundProblem = problem;
    if (!problem.isEmpty())
        qCWarning(lcApp) << "alarm sound not heard:" << problem;
    if (m_page)
        m_page->setSoundProblem(problem);
}
