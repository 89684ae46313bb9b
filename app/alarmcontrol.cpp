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
} // namespace

AlarmControl::AlarmControl(DevKX740D &device, const QString &fileName, QWidget &window,
                           AlarmStrip &strip, Bash &tiles, QObject *parent)
    : QObject(parent), m_device(device), m_fileName(fileName), m_window(window), m_strip(strip),
      m_tiles(tiles), m_options(readAlarmFile(fileName)), m_page(new AlarmPage),
      m_notifier(new DesktopNotifier(QStringLiteral("KX740D"), this))
{
    m_page->setOptions(m_options);
    connect(m_page, &AlarmPage::edited, this, &AlarmControl::apply);
    connect(&device, &DevKX740D::live_data, &m_monitor, &AlarmMonitor::addReading);
    connect(&m_monitor, &AlarmMonitor::raised, this, &AlarmControl::raised);
    connect(&m_monitor, &AlarmMonitor::cleared, this, &AlarmControl::cleared);
    connect(&m_monitor, &AlarmMonitor::acknowledged, this, &AlarmControl::acknowledged);
    connect(&m_monitor, &AlarmMonitor::alarmsChanged, this, &AlarmControl::showAlarms);
    connect(&m_strip, &AlarmStrip::acknowledgeClicked, &m_monitor, &AlarmMonitor::acknowledge);
    connect(&m_strip, &AlarmStrip::acknowledgeAllClicked, this, [this] {
        for (const Alarm &a : m_monitor.unacknowledgedAlarms())
            m_monitor.acknowledge(a.id);
    });
    connect(m_notifier, &DesktopNotifier::acknowledged, this,
            [this](const QString &key) { m_monitor.acknowledge(key.toULongLong()); });
    applyRules();
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

void AlarmControl::setWatching(bool watching)
{
    m_monitor.setWatching(watching);
}

void AlarmControl::setLinkUp(bool up)
{
    m_monitor.setLinkUp(up);
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

void AlarmControl::applyRules()
{
    AlarmSettings rules = alarmLimits(m_limits);
    rules.hysteresis = float(m_options.hysteresisC);
    rules.delayMs = qint64(m_options.delaySeconds) * 1000;
    rules.probe = m_options.probe;
    rules.linkLostMs = qint64(m_options.linkLostSeconds) * 1000;
    m_monitor.setSettings(rules);
}

void AlarmControl::raised(const Alarm &alarm)
{
    // In front, the strip is seen; behind other windows (or behind a message
    // box of its own), the desktop tells.
    if (m_options.notify && !m_window.isActiveWindow()) {
        m_notifier->show(notificationKey(alarm.id), withLabel(AlarmText::brief(alarm)),
                         withLabel(AlarmText::raised(alarm, m_unit)), tr("确认"));
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
    const QVector<Alarm> waiting = m_monitor.unacknowledgedAlarms();
    const auto isWaiting = [&waiting](quint64 id) {
        return std::any_of(waiting.begin(), waiting.end(),
                           [id](const Alarm &a) { return a.id == id; });
    };
    QVector<Alarm> shown = m_monitor.activeAlarms();
    for (const Alarm &a : waiting)
        if (a.clearedMs != 0)
            shown.append(a);
    std::sort(shown.begin(), shown.end(),
              [](const Alarm &a, const Alarm &b) { return a.raisedMs < b.raisedMs; });
    QVector<AlarmStripRow> rows;
    for (const Alarm &a : shown) {
        const bool acknowledged = !isWaiting(a.id);
        QString text = rowText(a);
        if (acknowledged)
            text += tr("（已确认）");
        rows.append({a.id, text, a.clearedMs == 0, acknowledged});
    }
    m_strip.setRows(rows);
    std::array<bool, kChannelCount> alarmed{};
    for (const Alarm &a : m_monitor.activeAlarms())
        if (a.channel >= 0 && a.channel < kChannelCount)
            alarmed[a.channel] = true;
    for (int ch = 0; ch < kChannelCount; ++ch)
        m_tiles.setChannelAlarmed(ch, alarmed[ch]);
}

QString AlarmControl::rowText(const Alarm &alarm) const
{
    if (alarm.clearedMs == 0)
        return withLabel(
            tr("%1，自 %2起").arg(AlarmText::raised(alarm, m_unit), clockText(alarm.sinceMs)));
    return withLabel(tr("%1（%2 至 %3）")
                         .arg(AlarmText::cleared(alarm, m_unit), clockText(alarm.sinceMs),
                              clockText(alarm.clearedMs)));
}

void AlarmControl::setInstrumentLabel(const QString &label)
{
    if (label == m_label)
        return;
    m_label = label;
    showAlarms();
}

QString AlarmControl::withLabel(const QString &text) const
{
    return m_label.isEmpty() ? text : tr("%1：%2").arg(m_label, text);
}

// The sound plays while an active alarm waits for its acknowledgement.
void AlarmControl::updateSound()
{
    bool wanted = false;
    if (m_options.sound) {
        for (const Alarm &a : m_monitor.unacknowledgedAlarms())
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
