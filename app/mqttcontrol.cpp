#include "app/mqttcontrol.h"

#include "store/recordingstore.h"

#include "app/mqttpage.h"
#include "instrument/devkx740d.h"
#include "link/serialhandle.h"
#include "measurement/recordingsession.h"
#include "mqtt/mqttclientid.h"
#include "store/eventoutbox.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QTimer>

namespace {

QString eventsFileFor(const QString &backupFile)
{
    const QFileInfo backup(backupFile);
    return backup.dir().filePath(backup.completeBaseName() + QStringLiteral(".events"));
}

} // namespace

MqttControl::MqttControl(DevKX740D &device, const QString &fileName, const QString &backupFile,
                         QObject *parent)
    : QObject(parent), m_device(device), m_config(fileName), m_page(new MqttPage),
      m_feed(device, m_publisher), m_instance(publisherInstanceOfFile(backupFile)),
      m_events(new EventOutbox(
          eventsFileFor(backupFile),
          [this](quint64 id, const QByteArray &event) { m_publisher.publishAlarmEvent(id, event); },
          this)),
      m_queueTimer(new QTimer(this))
{
    if (!m_events->open())
        qWarning().noquote() << m_events->errorString();
    connect(&m_publisher, &MqttPublisher::alarmEventAcknowledged, m_events,
            &EventOutbox::acknowledged);
    qRegisterMetaType<MqttPublisher::State>();
    m_page->setSettings(m_config.load());
    m_page->setPasswordPlace(m_config.passwordPlace(), fileName);
    connect(&m_config, &MqttConfig::passwordPlaceChanged, this,
            [this](PasswordPlace place) { m_page->setPasswordPlace(place, m_config.fileName()); });
    connect(m_page, &MqttPage::enabledClicked, this, &MqttControl::apply);
    connect(m_page, &MqttPage::testClicked, this, &MqttControl::testConnection);
    // The publisher may report from its network thread.
    connect(
        &m_publisher, &MqttPublisher::stateChanged, this,
        [this](MqttPublisher::State state, const QString &text) {
            if (m_page && !m_probe)
                m_page->setStatus(text);
            if (state == MqttPublisher::State::Refused && !m_refusalReported) {
                m_refusalReported = true;
                emit brokerRefused(text);
            }
        },
        Qt::QueuedConnection);
    connect(&device, &DevKX740D::deviceInfo, this, [this](const QString &name, const QString &) {
        m_publisher.setLinkState(true);
        watchLink();
        setInstrumentName(name);
    });
    // The queue changes with every reading and acknowledgement; once a
    // second is enough to watch it.
    m_queueTimer->setInterval(1000);
    connect(m_queueTimer, &QTimer::timeout, this, &MqttControl::showQueue);
    applySettings(m_config.settings());
}

MqttControl::~MqttControl()
{
    endProbe();
    // Closing: the last recorded readings get a moment to reach the broker.
    if (m_publishing)
        m_publisher.stop();
}

void MqttControl::watchAlarms(AlarmMonitor &monitor)
{
    // Switched off, nobody is waiting for them.
    m_feed.watchAlarms(monitor, [this](const QByteArray &event) {
        if ((m_publishing || m_waitingForName) && !m_events->add(event))
            qWarning().noquote() << m_events->errorString();
    });
}

void MqttControl::followRecording(RecordingSession &session, RecordingStore &store)
{
    m_store = &store;
    connect(&session, &RecordingSession::started, &m_feed, [this](const QUuid &id) {
        if (!m_store->journalEnabled())
            m_feed.beginRecording(id);
    });
    connect(&store, &RecordingStore::durable, &m_feed,
            [this](quint32 seq, const _T_EE_TEST_DATA &record) {
                if (!m_store->journalEnabled())
                    m_feed.publishRecorded(seq, record);
            });
    connect(&m_publisher, &MqttPublisher::acknowledged, &store, &RecordingStore::acknowledged,
            Qt::QueuedConnection);
    updateDelivery(m_config.load().enabled);
    if (m_publishing)
        m_store->startDelivery();
}

// While publishing is switched on, the store keeps every recorded reading
// until the broker has it, also across a crash.
void MqttControl::updateDelivery(bool wanted)
{
    if (!m_store)
        return;
    if (!wanted) {
        m_store->setDelivery({}, {});
        return;
    }
    m_store->setDelivery(
        [this](const QString &id, quint32 seq, const _T_EE_TEST_DATA &record) {
            m_publisher.publishRecorded(id, seq, record, m_feed.unit());
        },
        [this] { return m_publisher.pendingCount(); });
}

void MqttControl::showQueue()
{
    if (m_page)
        m_page->setQueue(m_publisher.pendingCount(), m_publisher.droppedCount());
}

MqttPage *MqttControl::page() const
{
    return m_page;
}

void MqttControl::setUnit(int unit)
{
    m_feed.setUnit(unit);
}

void MqttControl::apply()
{
    if (!m_page)
        return;
    const MqttSettings settings = m_page->settings();
    QString error;
    if (!m_config.save(settings, &error))
        m_page->setStatus(error);
    applySettings(settings);
}

void MqttControl::applySettings(const MqttSettings &settings)
{
    updateDelivery(settings.enabled);
    if (!settings.enabled) {
        // Switched off: what is still queued is not wanted any more, and the
        // window must not wait for a slow broker.
        if (m_publishing)
            m_publisher.stop(0);
        m_publishing = false;
        m_waitingForName = false;
        m_queueTimer->stop();
        m_page->setStatus(QString());
        showQueue();
        return;
    }
    // Checked here because start() stops the running publisher before it
    // looks at the settings.
    BrokerAddress address;
    QString error;
    if (!checkMqttSettings(settings, &address, &error)) {
        m_page->setStatus(error);
        return;
    }
    if (!m_publishing || !sameMqttSettings(settings, m_applied))
        start(settings);
}

void MqttControl::start(const MqttSettings &settings)
{
    m_applied = settings;
    // Topics named after an instrument not yet known would leave a retained
    // status of a logger that never existed.
    m_waitingForName = settings.prefix.trimmed().isEmpty() && m_instrumentName.isEmpty();
    if (m_waitingForName) {
        if (m_publishing)
            m_publisher.stop(0);
        m_publishing = false;
        if (m_page)
            m_page->setStatus(tr("仪器连接后开始发布。"));
        return;
    }
    QString error;
    m_refusalReported = false;
    m_publisher.setLinkState(m_device.isIdentified());
    MqttSettings used = settings;
    used.instance = m_instance;
    m_publishing = m_publisher.start(used, m_instrumentName, &error);
    if (m_publishing)
        m_queueTimer->start();
    if (m_publishing && m_store)
        m_store->startDelivery();
    if (m_page)
        m_page->setStatus(m_publishing ? m_publisher.stateText() : error);
}

// The instrument answers through the driver's link, which the window
// sets after this control is made: a link lost (the port closed, the cable
// pulled) is told to subscribers until the instrument answers again.
void MqttControl::watchLink()
{
    SerialHandle *link = m_device.link();
    if (!link || link == m_watchedLink)
        return;
    m_watchedLink = link;
    connect(link, &SerialHandle::updateCOMInfo, this, [this](int open) {
        if (!open)
            m_publisher.setLinkState(false);
    });
}

// Topics under the default prefix carry the instrument's name.
void MqttControl::setInstrumentName(const QString &name)
{
    if (name == m_instrumentName)
        return;
    m_instrumentName = name;
    if (m_page)
        m_page->setInstrumentName(name);
    if ((m_publishing || m_waitingForName) && m_applied.prefix.trimmed().isEmpty())
        start(m_applied);
}

void MqttControl::testConnection()
{
    endProbe();
    auto *probe = new MqttPublisher(this);
    QString error;
    if (!probe->start(m_page->settings(), m_instrumentName, &error, MqttPublisher::Mode::Probe)) {
        delete probe;
        m_page->setStatus(error);
        return;
    }
    m_probe = probe;
    m_page->setStatus(probe->stateText());
    // Queued also when reported on this thread, so the probe is never
    // stopped from inside its own signal.
    connect(
        probe, &MqttPublisher::stateChanged, this,
        [this, probe](MqttPublisher::State, const QString &) {
            if (probe != m_probe || !m_page)
                return;
            // The probe may have gone on since it reported: what it says now.
            const MqttPublisher::State state = probe->state();
            m_page->setStatus(probe->stateText());
            // A failed attempt (a closed port, an unknown host) is the answer
            // too; the probe's next attempt would only repeat it.
            if (state == MqttPublisher::State::Connected ||
                state == MqttPublisher::State::Refused || !probe->connectError().isEmpty())
                endProbe();
        },
        Qt::QueuedConnection);
    QTimer::singleShot(kProbeTimeoutMs, probe, [this, probe] {
        if (probe != m_probe)
            return;
        endProbe();
        if (m_page)
            m_page->setStatus(tr("代理在 %1 秒内没有回答。").arg(kProbeTimeoutMs / 1000));
    });
}

void MqttControl::endProbe()
{
    if (!m_probe)
        return;
    MqttPublisher *probe = m_probe;
    m_probe = nullptr;
    probe->stop(0);
    probe->deleteLater();
}
