#include "mqtt/mqttpublisher.h"

#include "mqtt/mqttdiscovery.h"
#include "mqtt/mqttpayload.h"

#include <QFile>
#include <QRandomGenerator>
#include <QUuid>

#include <mosquitto.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <unordered_set>

namespace {

// Messages of QoS 1 handed to the library and not yet acknowledged: the
// library's own in-flight window (MOSQ_OPT_SEND_MAXIMUM), so it never keeps a
// queue of its own.
constexpr int kWindow = 20;
constexpr int kKeepAliveSeconds = 30;
// The network thread picks up queued readings (and the newest live reading)
// at least this often; recorded readings that follow an acknowledgement go
// out at once. The caller never builds a payload or calls the library, so
// publishing costs the window's thread a copy under a mutex; and an idle
// recorder wakes only ten times a second for it.
constexpr int kPickUpMs = 100;
// How long stop() waits for the broker to take the final "offline".
constexpr int kOfflineWaitMs = 1000;
// Reconnect delays grow as 1, 4, 9, ... seconds up to this, as the library's
// own loop does with exponential backoff.
constexpr int kMaxReconnectDelaySeconds = 30;

std::once_flag libraryInitialized;

struct QueuedReading
{
    _T_PRINT_OUT_DATA reading;
    QDateTime time; // when not stamped
    _T_TIME stamp;  // when stamped: the driver's local time
    bool stamped = false;
    QString recordingId;
    quint64 seq = 0;
    int unit = 0;
};

// Errors the library's own loop gives up on (mosquitto_loop_forever): the
// same attempt would fail again.
bool endsTheLoop(int rc)
{
    switch (rc) {
    case MOSQ_ERR_NOMEM:
    case MOSQ_ERR_PROTOCOL:
    case MOSQ_ERR_INVAL:
    case MOSQ_ERR_NOT_FOUND:
    case MOSQ_ERR_TLS:
    case MOSQ_ERR_PAYLOAD_SIZE:
    case MOSQ_ERR_NOT_SUPPORTED:
    case MOSQ_ERR_AUTH:
    case MOSQ_ERR_ACL_DENIED:
    case MOSQ_ERR_UNKNOWN:
    case MOSQ_ERR_EAI:
    case MOSQ_ERR_PROXY:
        return true;
    default:
        return false;
    }
}

// For QoS 1 these come after the library has queued the message: it is sent
// (again) once connected.
bool keptByLibrary(int rc)
{
    return rc == MOSQ_ERR_SUCCESS || rc == MOSQ_ERR_NO_CONN || rc == MOSQ_ERR_CONN_LOST ||
           rc == MOSQ_ERR_ERRNO;
}

// The time a payload carries: local time with its offset.
QDateTime payloadTime(const QueuedReading &e)
{
    if (e.stamped)
        return dateTimeFromTime(e.stamp);
    return e.time.timeSpec() == Qt::UTC ? e.time.toLocalTime() : e.time;
}

} // namespace

struct MqttPublisher::Private
{
    MqttPublisher *q = nullptr;

    mutable std::mutex mutex;
    std::condition_variable progress; // an acknowledgement or a lost connection
    std::condition_variable wake;     // ends the wait between two attempts
    mosquitto *mosq = nullptr;
    std::thread network;
    bool quit = false;
    int attempts = 0; // failed attempts since the last connection
    Mode mode = Mode::Publish;
    bool discovery = false;
    QString instrumentName;
    QString prefix;
    QString hostText;
    QByteArray liveTopic;
    QByteArray recordTopic;
    QByteArray statusTopic;

    State state = State::Off;
    QString reason; // library text of a refusal
    QString tlsError;
    bool connected = false;
    bool refused = false;
    bool stopping = false;
    // After a reconnect the library resends its unacknowledged messages only
    // once the connection callback has returned; nothing new is handed over
    // before that, so the order holds.
    bool holdForResend = false;

    QString recordingId;
    quint64 seq = 0;
    int unit = -1; // unknown until set or published
    std::deque<QueuedReading> queue;
    // The newest live reading not yet handed over; an older one still
    // waiting is replaced, as a live reading is worth nothing once the next
    // one is there.
    bool liveDue = false;
    QueuedReading live;
    bool liveRecording = false;
    std::unordered_set<int> recordMids;
    std::unordered_set<int> otherMids; // status and discovery messages
    quint64 dropped = 0;
    int offlineMid = -1;
    bool offlineAcked = false;

    QString textLocked() const
    {
        switch (state) {
        case State::Off:
            return MqttPublisher::tr("已关闭");
        case State::Connecting:
            return MqttPublisher::tr("正在连接 %1…").arg(hostText);
        case State::Connected:
            return MqttPublisher::tr("已连接");
        case State::Refused:
            return MqttPublisher::tr("代理拒绝连接：%1").arg(reason);
        }
        return QString();
    }

    void setStateLocked(State s, const QString &why = QString())
    {
        const QString before = textLocked();
        const State old = state;
        state = s;
        reason = why;
        const QString text = textLocked();
        if (old == s && before == text)
            return;
        MqttPublisher *self = q;
        QMetaObject::invokeMethod(
            q, [self, s, text] { emit self->stateChanged(s, text); }, Qt::QueuedConnection);
    }

    void publishOtherLocked(const QByteArray &topic, const QByteArray &payload, bool retain)
    {
        int mid = 0;
        const int rc = mosquitto_publish(mosq, &mid, topic.constData(), payload.size(),
                                         payload.constData(), 1, retain);
        if (keptByLibrary(rc))
            otherMids.insert(mid);
    }

    void publishDiscoveryLocked()
    {
        if (!discovery || unit < 0)
            return;
        for (const DiscoveryMessage &m : discoveryMessages(prefix, instrumentName, unit))
            publishOtherLocked(m.topic, m.payload, true);
    }

    void enqueue(QueuedReading &&e)
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (!mosq || mode != Mode::Publish || stopping)
            return;
        learnUnitLocked(e.unit);
        if (recordingId.isEmpty())
            recordingId = QUuid::createUuid().toString(QUuid::WithoutBraces);
        if (queue.size() >= size_t(kQueueLimit)) {
            queue.pop_front();
            ++dropped;
        }
        e.recordingId = recordingId;
        e.seq = ++seq;
        queue.push_back(std::move(e));
    }

    void learnUnitLocked(int newUnit)
    {
        if (newUnit == unit)
            return;
        unit = newUnit;
        if (connected && !stopping && mode == Mode::Publish)
            publishDiscoveryLocked();
    }

    int inFlightLocked() const { return int(recordMids.size() + otherMids.size()); }

    // Hands queued readings to the library while its window has room,
    // building each payload only now. Runs on the network thread.
    void pumpLocked()
    {
        if (liveDue && connected && !stopping) {
            liveDue = false;
            const QByteArray payload =
                livePayload(live.reading, payloadTime(live), live.unit, liveRecording);
            // QoS 0: not kept by the library when the connection is gone.
            mosquitto_publish(mosq, nullptr, liveTopic.constData(), payload.size(),
                              payload.constData(), 0, false);
        }
        while (connected && !stopping && !holdForResend && inFlightLocked() < kWindow &&
               !queue.empty()) {
            const QueuedReading &e = queue.front();
            const QByteArray payload =
                recordPayload(e.reading, payloadTime(e), e.unit, e.recordingId, e.seq);
            int mid = 0;
            const int rc = mosquitto_publish(mosq, &mid, recordTopic.constData(), payload.size(),
                                             payload.constData(), 1, false);
            queue.pop_front();
            if (keptByLibrary(rc))
                recordMids.insert(mid);
            else
                ++dropped; // refused outright (out of memory): never sent
            if (rc != MOSQ_ERR_SUCCESS)
                break;
        }
    }

    void onConnect(int rc)
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (stopping)
            return;
        if (rc != 0) {
            // A refusal is final: the same credentials would be refused again.
            refused = true;
            setStateLocked(State::Refused, QString::fromUtf8(mosquitto_connack_string(rc)));
            mosquitto_disconnect(mosq);
            return;
        }
        connected = true;
        attempts = 0;
        tlsError.clear();
        setStateLocked(State::Connected);
        if (mode != Mode::Publish)
            return;
        holdForResend = inFlightLocked() > 0;
        publishOtherLocked(statusTopic, QByteArrayLiteral("online"), true);
        if (discovery) {
            publishDiscoveryLocked();
        } else {
            for (const DiscoveryMessage &m : discoveryRemovals(prefix))
                publishOtherLocked(m.topic, m.payload, true);
        }
        pumpLocked();
    }

    void onDisconnect(int rc)
    {
        std::lock_guard<std::mutex> lock(mutex);
        connected = false;
        progress.notify_all();
        if (stopping || refused)
            return;
        if (endsTheLoop(rc)) {
            refuseLocked(rc);
        } else {
            setStateLocked(State::Connecting);
        }
    }

    void onPublish(int mid)
    {
        std::lock_guard<std::mutex> lock(mutex);
        if (mid == offlineMid)
            offlineAcked = true;
        recordMids.erase(mid);
        otherMids.erase(mid);
        holdForResend = false;
        pumpLocked();
        progress.notify_all();
    }

    void refuseLocked(int rc)
    {
        refused = true;
        QString why = QString::fromUtf8(mosquitto_strerror(rc));
        if (rc == MOSQ_ERR_TLS && !tlsError.isEmpty())
            why += QLatin1Char(' ') + tlsError;
        setStateLocked(State::Refused, why);
    }

    // The network thread: the library's loop, with a wait between attempts
    // that stop() can end, and an end on fatal errors that is reported
    // (the library's own thread would end without a word).
    void runNetwork()
    {
        for (;;) {
            {
                std::lock_guard<std::mutex> lock(mutex);
                // Leaves once the DISCONNECT of stop() is out.
                if (quit && !mosquitto_want_write(mosq))
                    return;
                pumpLocked();
            }
            int rc = mosquitto_loop(mosq, kPickUpMs, 1);
            if (rc == MOSQ_ERR_SUCCESS)
                continue;
            std::unique_lock<std::mutex> lock(mutex);
            for (;;) {
                if (quit || refused)
                    return;
                if (endsTheLoop(rc) || (rc == MOSQ_ERR_ERRNO && errno == EPROTO)) {
                    refuseLocked(rc);
                    return;
                }
                const int delay =
                    std::min((attempts + 1) * (attempts + 1), kMaxReconnectDelaySeconds);
                ++attempts;
                if (wake.wait_for(lock, std::chrono::seconds(delay), [this] { return quit; }))
                    return;
                lock.unlock();
                rc = mosquitto_reconnect_async(mosq);
                lock.lock();
                // A host name that does not resolve may resolve later.
                if (rc == MOSQ_ERR_SUCCESS || rc == MOSQ_ERR_EAI || rc == MOSQ_ERR_ERRNO)
                    break;
            }
        }
    }

    void onLog(int level, const char *text)
    {
        // The library names the failing certificate check only here.
        if (level != MOSQ_LOG_ERR || !text || qstrncmp(text, "OpenSSL Error", 13) != 0)
            return;
        std::lock_guard<std::mutex> lock(mutex);
        tlsError = QString::fromUtf8(text);
    }
};

MqttPublisher::MqttPublisher(QObject *parent) : QObject(parent), d(new Private)
{
    d->q = this;
    qRegisterMetaType<MqttPublisher::State>();
}

MqttPublisher::~MqttPublisher()
{
    stop(0);
}

bool MqttPublisher::start(const MqttSettings &settings, const QString &instrumentName,
                          QString *error, Mode mode)
{
    stop(0);
    QString ignored;
    if (!error)
        error = &ignored;
    BrokerAddress address;
    if (!checkMqttSettings(settings, &address, error))
        return false;

    std::call_once(libraryInitialized, [] { mosquitto_lib_init(); });

    const QString prefix = effectiveTopicPrefix(settings.prefix, instrumentName);
    // A stable id lets the broker keep the session across reconnects; a probe
    // must not take over the session of a running publisher.
    const bool probe = mode == Mode::Probe;
    const QString clientId =
        probe ? QStringLiteral("kx740d-probe-%1")
                    .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'))
              : QStringLiteral("kx740d-") + discoveryObjectId(prefix).left(60);
    mosquitto *m = mosquitto_new(clientId.toUtf8().constData(), probe, d.get());
    if (!m) {
        *error = tr("无法创建 MQTT 客户端。");
        return false;
    }
    mosquitto_int_option(m, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
    mosquitto_int_option(m, MOSQ_OPT_SEND_MAXIMUM, kWindow);
    // Our own thread runs the loop (see runNetwork).
    mosquitto_threaded_set(m, true);
    mosquitto_connect_callback_set(
        m, [](mosquitto *, void *p, int rc) { static_cast<Private *>(p)->onConnect(rc); });
    mosquitto_disconnect_callback_set(
        m, [](mosquitto *, void *p, int rc) { static_cast<Private *>(p)->onDisconnect(rc); });
    mosquitto_publish_callback_set(
        m, [](mosquitto *, void *p, int mid) { static_cast<Private *>(p)->onPublish(mid); });
    mosquitto_log_callback_set(m, [](mosquitto *, void *p, int level, const char *text) {
        static_cast<Private *>(p)->onLog(level, text);
    });

    if (!settings.user.isEmpty()) {
        mosquitto_username_pw_set(
            m, settings.user.toUtf8().constData(),
            settings.password.isEmpty() ? nullptr : settings.password.toUtf8().constData());
    }
    int rc = MOSQ_ERR_SUCCESS;
    if (address.tls) {
        const QByteArray ca = QFile::encodeName(settings.caFile);
        const QByteArray cert = QFile::encodeName(settings.certFile);
        const QByteArray key = QFile::encodeName(settings.keyFile);
        // Without a CA file the system's certificates are trusted. An
        // encrypted key is refused rather than asked for on a terminal.
        rc = mosquitto_tls_set(
            m, ca.isEmpty() ? nullptr : ca.constData(), ca.isEmpty() ? "/etc/ssl/certs" : nullptr,
            cert.isEmpty() ? nullptr : cert.constData(), key.isEmpty() ? nullptr : key.constData(),
            [](char *, int, int, void *) { return 0; });
    }
    const QByteArray statusTopic = (prefix + QStringLiteral("/status")).toUtf8();
    if (rc == MOSQ_ERR_SUCCESS && !probe)
        rc = mosquitto_will_set(m, statusTopic.constData(), 7, "offline", 1, true);
    if (rc != MOSQ_ERR_SUCCESS) {
        *error = tr("MQTT 设置无效：%1").arg(QString::fromUtf8(mosquitto_strerror(rc)));
        mosquitto_destroy(m);
        return false;
    }

    {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->mosq = m;
        d->mode = mode;
        d->discovery = settings.discovery;
        d->instrumentName = instrumentName;
        d->prefix = prefix;
        d->hostText = address.host.contains(QLatin1Char(':'))
                          ? QStringLiteral("[%1]:%2").arg(address.host).arg(address.port)
                          : QStringLiteral("%1:%2").arg(address.host).arg(address.port);
        d->liveTopic = (prefix + QStringLiteral("/live")).toUtf8();
        d->recordTopic = (prefix + QStringLiteral("/record")).toUtf8();
        d->statusTopic = statusTopic;
        d->connected = false;
        d->refused = false;
        d->stopping = false;
        d->quit = false;
        d->attempts = 0;
        d->holdForResend = false;
        d->tlsError.clear();
        d->setStateLocked(State::Connecting);
    }
    // On the network thread: the library looks the host name up while
    // connecting, and a slow name server must not hold up the caller. A broker
    // that is away at this moment is retried like one that went away later.
    const QByteArray host = address.host.toUtf8();
    const int port = address.port;
    d->network = std::thread([this, m, host, port] {
        mosquitto_connect_async(m, host.constData(), port, kKeepAliveSeconds);
        d->runNetwork();
    });
    return true;
}

void MqttPublisher::stop(int drainMs)
{
    mosquitto *m = nullptr;
    {
        std::unique_lock<std::mutex> lock(d->mutex);
        if (!d->mosq)
            return;
        m = d->mosq;
        if (d->mode == Mode::Publish && drainMs > 0) {
            d->progress.wait_for(lock, std::chrono::milliseconds(drainMs), [this] {
                return !d->connected || (d->queue.empty() && d->recordMids.empty());
            });
        }
        d->stopping = true;
        const bool wasConnected = d->connected;
        d->queue.clear();
        d->recordMids.clear();
        d->otherMids.clear();
        d->offlineMid = -1;
        d->offlineAcked = false;
        if (wasConnected && d->mode == Mode::Publish) {
            int mid = 0;
            if (mosquitto_publish(m, &mid, d->statusTopic.constData(), 7, "offline", 1, true) ==
                MOSQ_ERR_SUCCESS) {
                d->offlineMid = mid;
                d->progress.wait_for(lock, std::chrono::milliseconds(kOfflineWaitMs),
                                     [this] { return d->offlineAcked || !d->connected; });
            }
        }
    }
    // Queues DISCONNECT and wakes the network thread, which sends it and ends.
    mosquitto_disconnect(m);
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->quit = true;
        d->wake.notify_all();
    }
    d->network.join();
    mosquitto_destroy(m);

    std::lock_guard<std::mutex> lock(d->mutex);
    d->mosq = nullptr;
    d->connected = false;
    d->stopping = false;
    d->refused = false;
    d->setStateLocked(State::Off);
}

void MqttPublisher::beginRecording(const QString &id)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->recordingId = id.isEmpty() ? QUuid::createUuid().toString(QUuid::WithoutBraces) : id;
    d->seq = 0;
}

QString MqttPublisher::recordingId() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->recordingId;
}

void MqttPublisher::publishLive(const _T_PRINT_OUT_DATA &reading, const QDateTime &time, int unit,
                                bool recording)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    if (!d->mosq || d->mode != Mode::Publish)
        return;
    d->learnUnitLocked(unit);
    // Dropped while the broker is away: nobody wants it once it is back.
    if (!d->connected || d->stopping)
        return;
    d->live.reading = reading;
    d->live.time = time;
    d->live.unit = unit;
    d->liveRecording = recording;
    d->liveDue = true;
}

void MqttPublisher::publishRecorded(const _T_PRINT_OUT_DATA &reading, const QDateTime &time,
                                    int unit)
{
    QueuedReading e;
    e.reading = reading;
    e.time = time;
    e.unit = unit;
    d->enqueue(std::move(e));
}

void MqttPublisher::publishRecorded(const _T_PRINT_OUT_DATA &reading, const _T_TIME &time, int unit)
{
    QueuedReading e;
    e.reading = reading;
    e.stamp = time;
    e.stamped = true;
    e.unit = unit;
    d->enqueue(std::move(e));
}

void MqttPublisher::setUnit(int unit)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->learnUnitLocked(unit);
}

MqttPublisher::State MqttPublisher::state() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->state;
}

QString MqttPublisher::stateText() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->textLocked();
}

QString MqttPublisher::topicPrefix() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->prefix;
}

int MqttPublisher::pendingCount() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return int(d->queue.size() + d->recordMids.size());
}

quint64 MqttPublisher::droppedCount() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->dropped;
}
