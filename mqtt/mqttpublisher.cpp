#include "mqtt/mqttpublisher.h"

#include "mqtt/mqttclientid.h"
#include "mqtt/mqttconnecterror.h"
#include "mqtt/mqttdiscovery.h"
#include "mqtt/mqttpayload.h"
#include "mqtt/mqttretry.h"
#include "mqtt/mqttstatetext.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QSet>
#include <QSysInfo>

#include <mosquitto.h>
#include <mqtt_protocol.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <limits>
#include <mutex>
#include <thread>
#include <unordered_map>

namespace {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::milliseconds;

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
// Live readings come about twice a second; subscribers get the newest at
// most this often.
constexpr int kLivePeriodMs = 1000;
// stop() returns at most this long after its drain time. The broker gets at
// most kOfflineWaitMs of it to take the final "offline".
constexpr int kStopGraceMs = 1000;
constexpr int kOfflineWaitMs = 700;
// A stopped network thread that is connected gets this long to send its
// DISCONNECT before it closes the connection anyway.
constexpr int kDisconnectGraceMs = 2000;
// MQTT 3.1.1 has no word for a session taken over, and a broker of MQTT 5
// may close the connection before it has said so: the connection just ends.
// Closed this many times in a row this soon after the broker accepted it,
// it is taken for another client that uses our id.
constexpr int kBriefConnectionMs = 5000;
constexpr int kBriefConnectionsTakenOver = 3;

std::once_flag libraryInitialized;

// A recorded reading with the library, until the broker has it.
struct SentReading
{
    int mid = 0;
    QString recordingId;
    quint64 seq = 0;
    bool acknowledged = false;
    bool refused = false; // by the broker (MQTT 5 reason code)
};

// An alarm event, kept until the broker has it.
struct AlarmEvent
{
    quint64 id = 0;
    QByteArray payload;
    int mid = -1; // with the library of the running session under this id; -1: not
    bool answered = false;
};

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

// For QoS 1 these come after the library has queued the message: it is sent
// (again) once connected.
bool keptByLibrary(int rc)
{
    return rc == MOSQ_ERR_SUCCESS || rc == MOSQ_ERR_NO_CONN || rc == MOSQ_ERR_CONN_LOST ||
           rc == MOSQ_ERR_ERRNO;
}

// A CONNACK refusal, MQTT 5's codes in the words of MQTT 3.1.1's where they
// mean the same, so that both read alike. `waits`: for someone to change
// the broker or the settings (client id, credentials, a ban).
QString connackText(int rc, bool *waits)
{
    int v311 = rc;
    switch (rc) {
    case MQTT_RC_CLIENTID_NOT_VALID:
        v311 = 2;
        break;
    case MQTT_RC_SERVER_UNAVAILABLE:
        v311 = 3;
        break;
    case MQTT_RC_BAD_USERNAME_OR_PASSWORD:
        v311 = 4;
        break;
    case MQTT_RC_NOT_AUTHORIZED:
        v311 = 5;
        break;
    default:
        break;
    }
    *waits = v311 == 2 || v311 == 4 || v311 == 5 || rc == MQTT_RC_BANNED ||
             rc == MQTT_RC_BAD_AUTHENTICATION_METHOD;
    return QString::fromUtf8(v311 <= 5 ? mosquitto_connack_string(v311)
                                       : mosquitto_reason_string(rc));
}

// The time a payload carries: local time with its offset.
QDateTime payloadTime(const QueuedReading &e)
{
    if (e.stamped)
        return dateTimeFromTime(e.stamp);
    return e.time.timeSpec() == Qt::UTC ? e.time.toLocalTime() : e.time;
}

// "OpenSSL Error[0]: error:0A000126:SSL routines::unexpected eof while
// reading" -> "unexpected eof while reading".
QString openSslReason(const char *logLine)
{
    const QString line = QString::fromUtf8(logLine);
    const int colon = line.lastIndexOf(QLatin1Char(':'));
    return colon >= 0 ? line.mid(colon + 1).trimmed() : line;
}

} // namespace

// What the publisher and its network threads share. A network thread that
// stop() could not wait for finishes later on its own, so this outlives the
// publisher while such a thread runs.
struct MqttPublisher::Shared
{
    MqttPublisher *q = nullptr;
    // Guards everything here and in the sessions but `retired`.
    std::mutex mutex;
    // Held while a network thread reports to `q`; guards Session::retired.
    // Taken before `mutex` where both are held.
    std::mutex signalMutex;
    std::shared_ptr<Session> session; // the running one, if any

    int unit = -1; // unknown until set or published
    QString firmware;
    bool linkUp = true;
    quint64 dropped = 0;
    // The active alarms (a JSON array); empty until a front end sets them.
    QByteArray alarms;
    // Alarm events the broker has not answered, oldest first.
    std::deque<AlarmEvent> alarmEvents;
    // Acknowledgements taken from the sessions, to be emitted on the
    // publisher's thread in this order.
    std::vector<std::pair<QString, quint64>> acksToEmit;
    std::vector<quint64> eventAcksToEmit;
    bool quiet = false; // the publisher is being destroyed: nothing more is emitted

    // Last state reported by stateChanged; only on the publisher's thread.
    State reportedState = State::Off;
    QString reportedText;

    // The running session while it takes readings.
    Session *publishingLocked() const;
    // The unit of the payloads to come; a change republishes discovery.
    void learnUnitLocked(int unit);
    // Numbers a recorded reading and queues it, the oldest dropped when full.
    void enqueue(QueuedReading &&e);
    // Moves a session's acknowledgements to those to be emitted; true when
    // there were none waiting before, so that their emission is to be
    // arranged.
    bool takeAcksLocked(std::vector<std::pair<QString, quint64>> &acks,
                        std::vector<quint64> &eventAcks);
};

// One run of the network thread, from start() to stop().
struct MqttPublisher::Session
{
    std::shared_ptr<Shared> shared;
    mosquitto *mosq = nullptr;
    std::thread network;
    std::condition_variable progress; // an acknowledgement, a lost connection, the thread's end
    std::condition_variable wake;     // ends the wait between two attempts

    // Set before the thread starts.
    Mode mode = Mode::Publish;
    bool discovery = false;
    QString instrumentName;
    QString prefix;
    QString hostText;
    QByteArray host;
    int port = 0;
    QByteArray liveTopic;
    QByteArray recordTopic;
    QByteArray statusTopic;
    QByteArray linkTopic;
    QByteArray alarmTopic;
    QByteArray alarmEventTopic;
    QByteArray publisherTopic;
    QString clientId;

    // The rest is guarded by shared->mutex.
    State state = State::Connecting;
    QString reason;                                // why not connected: the last attempt's error
    MqttRefusal refusalKind = MqttRefusal::Broker; // while Refused
    bool stateDue = false;                         // to be reported by the network thread
    bool connected = false;
    Clock::time_point connectedAt;
    int briefConnections = 0; // closed by the broker soon after it accepted them, in a row
    bool takenOver = false;   // the last connection's client id went to another client (MQTT 5)
    bool droppedRepeatedly = false; // ... or so it seems (kBriefConnectionsTakenOver)
    bool stopping = false;          // stop() has begun: nothing new goes out
    bool quit = false;              // the network thread is to end
    bool connectNow = false;        // stop() has readings to deliver: no pause before the attempt
    Clock::time_point quitAt;
    bool ended = false; // it has, and has destroyed `mosq`
    int failures = 0;   // failed attempts since the last connection

    // Learnt during one attempt, for the next wait.
    QString refusal;           // the broker's CONNACK refusal
    bool refusalWaits = false; // ... one that waits for someone to act
    QString tlsError;
    QString certificateError; // the verification's own reason
    QString lostReason;

    // After a reconnect the library resends its unacknowledged messages only
    // once the connection callback has returned; nothing new is handed over
    // before that, so the order holds.
    bool holdForResend = false;
    std::deque<QueuedReading> queue;
    // The newest live reading not yet handed over; an older one still
    // waiting is replaced, as a live reading is worth nothing once the next
    // one is there.
    bool liveDue = false;
    QueuedReading live;
    bool liveRecording = false;
    Clock::time_point livePublished; // the last one, when `livePublishedOnce`
    bool livePublishedOnce = false;
    bool discoveryDue = false;
    bool removalDue = false;
    bool onlineDue = false; // an "offline" not ours is to be answered
    bool linkDue = false;
    bool alarmDue = false;
    // The status retained when we subscribed said "online".
    bool retainedOnline = false;
    QString otherPublisher; // its client id
    QString otherHost;
    // In the order handed to the library; the front waits for the broker.
    std::deque<SentReading> sent;
    int waitingRecords = 0; // of `sent`, not yet acknowledged
    // Recordings with a reading dropped: no later one is acknowledged.
    QSet<QString> gapped;
    // (recording id, seq) for acknowledged(), and event ids for
    // alarmEventAcknowledged(), to be emitted.
    std::vector<std::pair<QString, quint64>> acksDue;
    std::vector<quint64> eventAcksDue;
    int eventsInFlight = 0; // alarm events with the library
    // Status, marker, link and discovery messages with the library, and
    // their topics.
    std::unordered_map<int, QByteArray> otherMids;
    // The last topic the broker refused a message on (MQTT 5), until one is
    // taken there again.
    QByteArray refusedTopic;
    QString refusedReason;
    // Refusals told in the state: a topic, with the recording for recorded
    // readings. Each is told once, however many messages the broker refuses.
    QSet<QString> refusalsTold;
    // MQTT 5 until a broker refuses it as a protocol it does not speak.
    int protocol = MQTT_PROTOCOL_V5;
    bool fallBack = false; // to MQTT 3.1.1, at once
    int offlineMid = -1;
    bool offlineAcked = false;

    // Guarded by shared->signalMutex: set by stop(); from then on the thread
    // reports nothing, as the publisher may be gone or running another session.
    bool retired = false;

    QString textLocked() const
    {
        MqttStateFacts f;
        f.state = state;
        f.probe = mode == Mode::Probe;
        f.host = hostText;
        f.reason = reason;
        f.refusal = refusalKind;
        f.clientId = clientId;
        f.prefix = prefix;
        f.otherPublisher = otherPublisher;
        f.otherHost = otherHost;
        f.refusedTopic = QString::fromUtf8(refusedTopic);
        f.refusedReason = refusedReason;
        return mqttStateText(f);
    }

    void setStateLocked(State s, const QString &why = QString(),
                        MqttRefusal kind = MqttRefusal::Broker)
    {
        state = s;
        reason = why;
        refusalKind = kind;
        stateDue = true;
    }

    // Hands a state that changed and what the broker acknowledged to the
    // publisher's thread, which emits them. Under the signal mutex, so that
    // nothing is handed over once stop() has retired the session.
    void reportDue()
    {
        std::lock_guard<std::mutex> signalLock(shared->signalMutex);
        bool stateChanged = false;
        bool acksPosted = false;
        State s = State::Off;
        QString text;
        {
            std::lock_guard<std::mutex> lock(shared->mutex);
            if (retired || (!stateDue && acksDue.empty() && eventAcksDue.empty()))
                return;
            stateChanged = stateDue;
            stateDue = false;
            s = state;
            text = textLocked();
            acksPosted = shared->takeAcksLocked(acksDue, eventAcksDue);
        }
        MqttPublisher *q = shared->q;
        if (acksPosted)
            QMetaObject::invokeMethod(
                q, [q] { q->emitAcknowledgements(); }, Qt::QueuedConnection);
        if (stateChanged) {
            QMetaObject::invokeMethod(
                q, [q, s, text] { q->reportState(s, text); }, Qt::QueuedConnection);
        }
    }

    void publishOtherLocked(const QByteArray &topic, const QByteArray &payload, bool retain)
    {
        int mid = 0;
        const int rc = mosquitto_publish(mosq, &mid, topic.constData(), payload.size(),
                                         payload.constData(), 1, retain);
        if (keptByLibrary(rc))
            otherMids.emplace(mid, topic);
    }

    void publishDiscoveryLocked()
    {
        if (!discovery || shared->unit < 0)
            return;
        for (const DiscoveryMessage &m : discoveryMessages(prefix, instrumentName, shared->firmware,
                                                           shared->unit, !shared->alarms.isEmpty()))
            publishOtherLocked(m.topic, m.payload, true);
    }

    void publishLinkLocked()
    {
        publishOtherLocked(
            linkTopic, shared->linkUp ? QByteArrayLiteral("connected") : QByteArrayLiteral("lost"),
            true);
    }

    void publishAlarmsLocked()
    {
        if (!shared->alarms.isEmpty())
            publishOtherLocked(alarmTopic, shared->alarms, true);
    }

    int inFlightLocked() const { return waitingRecords + eventsInFlight + int(otherMids.size()); }

    int undeliveredLocked() const { return int(queue.size()) + waitingRecords; }

    // What stop() waits for: recorded readings and alarm events.
    bool drainedLocked() const { return undeliveredLocked() == 0 && shared->alarmEvents.empty(); }

    void dropLocked(const QueuedReading &e)
    {
        ++shared->dropped;
        gapped.insert(e.recordingId);
    }

    // The front of `sent` that the broker has answered: acknowledged up to
    // its last. A refused reading is answered too: it is dropped, and
    // sending it again would only be refused again.
    void settleSentLocked()
    {
        while (!sent.empty() && (sent.front().acknowledged || sent.front().refused)) {
            const SentReading &r = sent.front();
            if (!gapped.contains(r.recordingId)) {
                if (!acksDue.empty() && acksDue.back().first == r.recordingId)
                    acksDue.back().second = r.seq;
                else
                    acksDue.emplace_back(r.recordingId, r.seq);
            }
            sent.pop_front();
        }
    }

    // Hands queued readings to the library while its window has room,
    // building each payload only now. Runs on the network thread.
    void pumpLocked()
    {
        if (!connected || stopping || mode != Mode::Publish)
            return;
        if (discoveryDue) {
            discoveryDue = false;
            publishDiscoveryLocked();
        }
        if (linkDue) {
            linkDue = false;
            publishLinkLocked();
        }
        if (alarmDue) {
            alarmDue = false;
            publishAlarmsLocked();
        }
        // In order, within the library's window, like the recorded readings.
        for (AlarmEvent &e : shared->alarmEvents) {
            if (holdForResend || inFlightLocked() >= kWindow)
                break;
            if (e.mid >= 0 || e.answered)
                continue;
            int mid = 0;
            const int rc = mosquitto_publish(mosq, &mid, alarmEventTopic.constData(),
                                             e.payload.size(), e.payload.constData(), 1, false);
            if (!keptByLibrary(rc))
                break; // out of memory: tried again at the next pick-up
            e.mid = mid;
            ++eventsInFlight;
            if (rc != MOSQ_ERR_SUCCESS)
                break;
        }
        if (onlineDue) {
            // With our marker: it is us that the status speaks of now.
            onlineDue = false;
            publishOtherLocked(statusTopic, QByteArrayLiteral("online"), true);
            publishOtherLocked(publisherTopic, markerPayload(), true);
        }
        if (removalDue) {
            removalDue = false;
            for (const DiscoveryMessage &m : discoveryRemovals(prefix))
                publishOtherLocked(m.topic, m.payload, true);
        }
        const Clock::time_point now = Clock::now();
        if (liveDue && (!livePublishedOnce || now - livePublished >= Milliseconds(kLivePeriodMs))) {
            liveDue = false;
            livePublishedOnce = true;
            livePublished = now;
            const QByteArray payload =
                livePayload(live.reading, payloadTime(live), live.unit, liveRecording);
            // QoS 0: not kept by the library when the connection is gone.
            mosquitto_publish(mosq, nullptr, liveTopic.constData(), payload.size(),
                              payload.constData(), 0, false);
        }
        while (!holdForResend && inFlightLocked() < kWindow && !queue.empty()) {
            const QueuedReading &e = queue.front();
            const QByteArray payload =
                recordPayload(e.reading, payloadTime(e), e.unit, e.recordingId, e.seq);
            int mid = 0;
            const int rc = mosquitto_publish(mosq, &mid, recordTopic.constData(), payload.size(),
                                             payload.constData(), 1, false);
            if (keptByLibrary(rc)) {
                sent.push_back({mid, e.recordingId, e.seq, false});
                ++waitingRecords;
            } else {
                dropLocked(e); // refused outright (out of memory): never sent
            }
            queue.pop_front();
            if (rc != MOSQ_ERR_SUCCESS)
                break;
        }
    }

    void onConnect(int rc)
    {
        std::lock_guard<std::mutex> lock(shared->mutex);
        if (quit)
            return;
        if (rc != 0) {
            // The library ends the connection after this; the next wait
            // decides how soon to try again.
            if (protocol == MQTT_PROTOCOL_V5 && rc == MQTT_RC_UNSUPPORTED_PROTOCOL_VERSION) {
                // A broker of MQTT 3.1.1 (whose refusal the library reports
                // in MQTT 5's words): the next attempt speaks that.
                fallBack = true;
                return;
            }
            refusal = connackText(rc, &refusalWaits);
            return;
        }
        connected = true;
        connectedAt = Clock::now();
        failures = 0;
        setStateLocked(State::Connected);
        if (mode != Mode::Publish || stopping)
            return;
        holdForResend = inFlightLocked() > 0;
        // In this order, so that what the topics held before we came arrives
        // before our own messages come back.
        retainedOnline = false;
        otherPublisher.clear();
        mosquitto_subscribe(mosq, nullptr, statusTopic.constData(), 0);
        mosquitto_subscribe(mosq, nullptr, publisherTopic.constData(), 0);
        publishOtherLocked(statusTopic, QByteArrayLiteral("online"), true);
        publishOtherLocked(publisherTopic, markerPayload(), true);
        linkDue = false;
        publishLinkLocked();
        alarmDue = false;
        publishAlarmsLocked();
        if (discovery) {
            discoveryDue = false;
            publishDiscoveryLocked();
        }
        pumpLocked();
    }

    QByteArray markerPayload() const
    {
        const QJsonObject marker{{QStringLiteral("client_id"), clientId},
                                 {QStringLiteral("host"), QSysInfo::machineHostName()},
                                 {QStringLiteral("discovery"), discovery}};
        return QJsonDocument(marker).toJson(QJsonDocument::Compact);
    }

    // What other publishers under our prefix say (and our own echo).
    void onMessage(const mosquitto_message *m)
    {
        const QByteArray topic(m->topic);
        const QByteArray payload(static_cast<const char *>(m->payload), m->payloadlen);
        std::lock_guard<std::mutex> lock(shared->mutex);
        if (!connected || stopping)
            return;
        if (topic == statusTopic) {
            if (m->retain) {
                retainedOnline = payload == "online";
            } else if (payload == "offline") {
                // Another publisher's clean stop or last will (ours goes out
                // only when stopping): it is gone, and we are still here.
                if (!otherPublisher.isEmpty()) {
                    otherPublisher.clear();
                    stateDue = true;
                }
                onlineDue = true;
            }
            return;
        }
        if (topic != publisherTopic)
            return;
        const QJsonObject marker = QJsonDocument::fromJson(payload).object();
        const QString id = marker.value(QStringLiteral("client_id")).toString();
        const bool othersOnline = !id.isEmpty() && id != clientId && (!m->retain || retainedOnline);
        // Switched off here, and on when the marker was left: the
        // configurations sent then are removed, unless another publisher
        // online under this prefix is sending them.
        if (m->retain && !discovery && !othersOnline &&
            marker.value(QStringLiteral("discovery")).toBool())
            removalDue = true;
        // Retained, it is the last one to connect before us; online only if
        // the status it left still says so.
        if (othersOnline) {
            otherPublisher = id;
            otherHost = marker.value(QStringLiteral("host")).toString();
            stateDue = true;
        }
    }

    void onDisconnect(int rc)
    {
        std::lock_guard<std::mutex> lock(shared->mutex);
        const bool answered = connected;
        connected = false;
        if (rc != MOSQ_ERR_SUCCESS && lostReason.isEmpty())
            lostReason = disconnectErrorText(rc, answered);
        if (answered && rc != MOSQ_ERR_SUCCESS && !quit) {
            const bool brief = Clock::now() - connectedAt < Milliseconds(kBriefConnectionMs);
            briefConnections = brief ? briefConnections + 1 : 0;
            if (rc == MQTT_RC_SESSION_TAKEN_OVER)
                takenOver = true;
            else if (briefConnections >= kBriefConnectionsTakenOver)
                droppedRepeatedly = true;
        }
        progress.notify_all();
    }

    // The broker's PUBACK; a reason code of 0x80 or more (MQTT 5) refuses the
    // message, e.g. when an ACL forbids the topic. MQTT 3.1.1 has no such
    // answer: the broker drops the message and acknowledges it all the same.
    //
    // The library calls this for live readings too (QoS 0, once sent): they
    // are none of ours to count, and say nothing about refusals.
    void onPublish(int mid, int reason)
    {
        std::lock_guard<std::mutex> lock(shared->mutex);
        if (mid == offlineMid)
            offlineAcked = true;
        const bool refused = reason >= MQTT_RC_UNSPECIFIED;
        QByteArray topic;
        QString recordingId;
        const auto other = otherMids.find(mid);
        if (other != otherMids.end()) {
            topic = other->second;
            otherMids.erase(other);
        }
        for (auto it = sent.begin(); topic.isEmpty() && it != sent.end(); ++it) {
            if (it->mid == mid && !it->acknowledged && !it->refused) {
                (refused ? it->refused : it->acknowledged) = true;
                shared->dropped += refused ? 1 : 0;
                --waitingRecords;
                topic = recordTopic;
                recordingId = it->recordingId;
            }
        }
        settleSentLocked();
        // The events' message ids are those of the running session; one that
        // stop() gave up waiting for may still be answered.
        const bool running = shared->session.get() == this;
        for (auto it = shared->alarmEvents.begin();
             running && topic.isEmpty() && it != shared->alarmEvents.end(); ++it) {
            if (it->mid == mid && !it->answered) {
                it->answered = true;
                --eventsInFlight;
                topic = alarmEventTopic;
            }
        }
        while (!shared->alarmEvents.empty() && shared->alarmEvents.front().answered) {
            eventAcksDue.push_back(shared->alarmEvents.front().id);
            shared->alarmEvents.pop_front();
        }
        if (refused && !topic.isEmpty()) {
            const QString told = recordingId + QLatin1Char('\n') + QString::fromUtf8(topic);
            if (!refusalsTold.contains(told)) {
                refusalsTold.insert(told);
                refusedTopic = topic;
                refusedReason = QString::fromUtf8(mosquitto_reason_string(reason));
                stateDue = true;
            }
        } else if (!refused && !topic.isEmpty() && topic == refusedTopic) {
            refusedTopic.clear();
            stateDue = true;
        }
        holdForResend = false;
        pumpLocked();
        progress.notify_all();
    }

    void onLog(int level, const char *text)
    {
        // The library names TLS failures only here, while the failed
        // connection still has its verification result.
        if (level != MOSQ_LOG_ERR || !text || qstrncmp(text, "OpenSSL Error", 13) != 0)
            return;
        const auto *ssl = static_cast<const SSL *>(mosquitto_ssl_get(mosq));
        const long verified = ssl ? SSL_get_verify_result(ssl) : X509_V_OK;
        std::lock_guard<std::mutex> lock(shared->mutex);
        tlsError = openSslReason(text);
        if (verified != X509_V_OK)
            certificateError = QString::fromUtf8(X509_verify_cert_error_string(verified));
    }

    // Why the attempt failed, in the words of whoever knows best.
    QString failureTextLocked(int rc, int error) const
    {
        if (!refusal.isEmpty())
            return refusal;
        if (!certificateError.isEmpty())
            return certificateError;
        if (!tlsError.isEmpty())
            return QStringLiteral("TLS: ") + tlsError;
        if ((rc == MOSQ_ERR_ERRNO && error != 0) || rc == MOSQ_ERR_EAI)
            return connectErrorText(rc, error);
        if (!lostReason.isEmpty())
            return lostReason;
        return connectErrorText(rc, error);
    }

    // After a failed attempt or a lost connection: reports why and waits
    // for the next attempt. False when the thread is to end.
    bool waitBeforeRetry(int rc, int error)
    {
        std::unique_lock<std::mutex> lock(shared->mutex);
        connected = false;
        progress.notify_all();
        if (quit)
            return false;
        if (fallBack) {
            // Not a failure: the same broker, at once, in its protocol.
            fallBack = false;
            protocol = MQTT_PROTOCOL_V311;
            lostReason.clear();
            mosquitto_int_option(mosq, MOSQ_OPT_PROTOCOL_VERSION, protocol);
            return true;
        }
        ++failures;
        const bool certificate = !certificateError.isEmpty();
        const bool waitsForSomeone = refusalWaits || certificate || takenOver || droppedRepeatedly;
        if (takenOver || droppedRepeatedly) {
            // Coming back at once would only take the id back, and be thrown
            // out again in turn.
            setStateLocked(State::Refused, QString(),
                           takenOver ? MqttRefusal::TakenOver : MqttRefusal::DroppedRepeatedly);
            takenOver = false;
            droppedRepeatedly = false;
            briefConnections = 0;
        } else {
            setStateLocked(waitsForSomeone ? State::Refused : State::Connecting,
                           failureTextLocked(rc, error),
                           certificate ? MqttRefusal::Certificate : MqttRefusal::Broker);
        }
        refusal.clear();
        refusalWaits = false;
        tlsError.clear();
        certificateError.clear();
        lostReason.clear();
        const int delay = reconnectDelayMs(failures, waitsForSomeone,
                                           QRandomGenerator::global()->generateDouble());
        lock.unlock();
        reportDue();
        lock.lock();
        wake.wait_for(lock, Milliseconds(delay), [this] { return quit || connectNow; });
        connectNow = false;
        return !quit;
    }

    // The network thread: the library's loop, and attempts after a failure
    // at the pace of reconnectDelayMs, until stop() ends it.
    void run()
    {
        int rc = mosquitto_connect_async(mosq, host.constData(), port, kKeepAliveSeconds);
        int error = errno;
        for (;;) {
            if (rc != MOSQ_ERR_SUCCESS) {
                if (!waitBeforeRetry(rc, error))
                    break;
                rc = mosquitto_reconnect_async(mosq);
                error = errno;
                continue;
            }
            {
                std::lock_guard<std::mutex> lock(shared->mutex);
                // Connected, it leaves once the DISCONNECT of stop() is out.
                if (quit && (!connected || !mosquitto_want_write(mosq) ||
                             Clock::now() - quitAt > Milliseconds(kDisconnectGraceMs)))
                    break;
                pumpLocked();
            }
            reportDue();
            rc = mosquitto_loop(mosq, kPickUpMs, 1);
            error = errno;
        }
        mosquitto_destroy(mosq);
        std::lock_guard<std::mutex> lock(shared->mutex);
        mosq = nullptr;
        ended = true;
        progress.notify_all();
    }
};

MqttPublisher::Session *MqttPublisher::Shared::publishingLocked() const
{
    Session *s = session.get();
    return s && s->mode == Mode::Publish && !s->stopping ? s : nullptr;
}

void MqttPublisher::Shared::learnUnitLocked(int newUnit)
{
    if (newUnit == unit)
        return;
    unit = newUnit;
    if (session && session->discovery)
        session->discoveryDue = true;
}

void MqttPublisher::Shared::enqueue(QueuedReading &&e)
{
    std::lock_guard<std::mutex> lock(mutex);
    Session *s = publishingLocked();
    if (!s)
        return;
    learnUnitLocked(e.unit);
    if (s->queue.size() >= size_t(kQueueLimit)) {
        s->dropLocked(s->queue.front());
        s->queue.pop_front();
    }
    s->queue.push_back(std::move(e));
}

bool MqttPublisher::Shared::takeAcksLocked(std::vector<std::pair<QString, quint64>> &acks,
                                           std::vector<quint64> &eventAcks)
{
    const bool first = acksToEmit.empty() && eventAcksToEmit.empty();
    for (const auto &ack : acks) {
        // Only the last of a run of one recording's matters.
        if (!acksToEmit.empty() && acksToEmit.back().first == ack.first)
            acksToEmit.back().second = ack.second;
        else
            acksToEmit.push_back(ack);
    }
    acks.clear();
    eventAcksToEmit.insert(eventAcksToEmit.end(), eventAcks.begin(), eventAcks.end());
    eventAcks.clear();
    return first && !(acksToEmit.empty() && eventAcksToEmit.empty());
}

MqttPublisher::MqttPublisher(QObject *parent) : QObject(parent), d(std::make_shared<Shared>())
{
    d->q = this;
    qRegisterMetaType<MqttPublisher::State>();
}

MqttPublisher::~MqttPublisher()
{
    d->quiet = true;
    stop(0);
}

// Everything acknowledged so far, in order, whoever took it from the session.
void MqttPublisher::emitAcknowledgements()
{
    std::vector<std::pair<QString, quint64>> acks;
    std::vector<quint64> eventAcks;
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        acks.swap(d->acksToEmit);
        eventAcks.swap(d->eventAcksToEmit);
    }
    if (d->quiet)
        return;
    for (const auto &ack : acks)
        emit acknowledged(ack.first, quint32(ack.second));
    for (const quint64 id : eventAcks)
        emit alarmEventAcknowledged(id);
}

void MqttPublisher::reportState(State state, const QString &text)
{
    if (state == d->reportedState && text == d->reportedText)
        return;
    d->reportedState = state;
    d->reportedText = text;
    emit stateChanged(state, text);
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

    auto s = std::make_shared<Session>();
    s->shared = d;
    const QString prefix = effectiveTopicPrefix(settings.prefix, instrumentName);
    // A stable id lets the broker keep the session across reconnects and
    // restarts; a probe must not take over the session of a running publisher.
    const bool probe = mode == Mode::Probe;
    const QString clientId =
        probe ? QStringLiteral("kx740d-probe-%1")
                    .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'))
              : publisherClientId(installationId(), prefix, instrumentName, settings.instance);
    mosquitto *m = mosquitto_new(clientId.toUtf8().constData(), probe, s.get());
    if (!m) {
        *error = tr("无法创建 MQTT 客户端。");
        return false;
    }
    // MQTT 5 for the broker's reason codes (a refused publication among
    // them); a broker of 3.1.1 refuses it, and is then spoken to in 3.1.1.
    // The session expiry of MQTT 5 would need CONNECT properties, which
    // libmosquitto 2.0 sends only with a blocking connect: with MQTT 5 the
    // session ends with the connection, which costs nothing here, as the
    // library resends unacknowledged messages itself and the subscriptions
    // are made on every connection.
    mosquitto_int_option(m, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V5);
    mosquitto_int_option(m, MOSQ_OPT_SEND_MAXIMUM, kWindow);
    // Our own thread runs the loop (see Session::run).
    mosquitto_threaded_set(m, true);
    // The v5 callbacks are called in MQTT 3.1.1 as well, with its codes.
    mosquitto_connect_v5_callback_set(
        m, [](mosquitto *, void *p, int rc, int, const mosquitto_property *) {
            static_cast<Session *>(p)->onConnect(rc);
        });
    mosquitto_disconnect_v5_callback_set(
        m, [](mosquitto *, void *p, int rc, const mosquitto_property *) {
            static_cast<Session *>(p)->onDisconnect(rc);
        });
    mosquitto_publish_v5_callback_set(
        m, [](mosquitto *, void *p, int mid, int reason, const mosquitto_property *) {
            static_cast<Session *>(p)->onPublish(mid, reason);
        });
    mosquitto_message_callback_set(m, [](mosquitto *, void *p, const mosquitto_message *message) {
        static_cast<Session *>(p)->onMessage(message);
    });
    mosquitto_log_callback_set(m, [](mosquitto *, void *p, int level, const char *text) {
        static_cast<Session *>(p)->onLog(level, text);
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

    s->mosq = m;
    s->mode = mode;
    s->discovery = settings.discovery;
    s->instrumentName = instrumentName;
    s->prefix = prefix;
    s->host = address.host.toUtf8();
    s->port = address.port;
    s->hostText = address.host.contains(QLatin1Char(':'))
                      ? QStringLiteral("[%1]:%2").arg(address.host).arg(address.port)
                      : QStringLiteral("%1:%2").arg(address.host).arg(address.port);
    s->liveTopic = (prefix + QStringLiteral("/live")).toUtf8();
    s->recordTopic = (prefix + QStringLiteral("/record")).toUtf8();
    s->statusTopic = statusTopic;
    s->linkTopic = (prefix + QStringLiteral("/link")).toUtf8();
    s->alarmTopic = (prefix + QStringLiteral("/alarm")).toUtf8();
    s->alarmEventTopic = (prefix + QStringLiteral("/alarm/event")).toUtf8();
    s->publisherTopic = (prefix + QStringLiteral("/publisher")).toUtf8();
    s->clientId = clientId;
    const QString text = s->textLocked();
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        d->session = s;
        // Those with the library of a session before go again.
        for (AlarmEvent &e : d->alarmEvents)
            e.mid = -1;
    }
    QMetaObject::invokeMethod(
        this, [this, text] { reportState(State::Connecting, text); }, Qt::QueuedConnection);
    // On the network thread: the library looks the host name up while
    // connecting, and a slow name server must not hold up the caller. A broker
    // that is away at this moment is retried like one that went away later.
    s->network = std::thread([s] { s->run(); });
    return true;
}

int MqttPublisher::stop(int drainMs)
{
    std::shared_ptr<Session> s;
    {
        std::lock_guard<std::mutex> lock(d->mutex);
        s = d->session;
    }
    if (!s)
        return 0;
    const Clock::time_point begin = Clock::now();
    const Clock::time_point deadline = begin + Milliseconds(std::max(drainMs, 0) + kStopGraceMs);
    int undelivered = 0;
    {
        std::unique_lock<std::mutex> lock(d->mutex);
        if (s->mode == Mode::Publish && drainMs > 0 && !s->drainedLocked()) {
            s->connectNow = true;
            s->wake.notify_all();
            s->progress.wait_until(lock, begin + Milliseconds(drainMs),
                                   [&s] { return s->drainedLocked(); });
        }
        s->stopping = true;
        undelivered = s->undeliveredLocked();
        d->dropped += quint64(undelivered);
        s->queue.clear();
        s->sent.clear();
        s->waitingRecords = 0;
        s->otherMids.clear();
        if (s->connected && s->mode == Mode::Publish) {
            int mid = 0;
            if (mosquitto_publish(s->mosq, &mid, s->statusTopic.constData(), 7, "offline", 1,
                                  true) == MOSQ_ERR_SUCCESS) {
                s->offlineMid = mid;
                s->progress.wait_until(
                    lock, std::min(deadline, Clock::now() + Milliseconds(kOfflineWaitMs)),
                    [&s] { return s->offlineAcked || !s->connected; });
            }
        }
        d->session.reset();
    }
    {
        std::lock_guard<std::mutex> signalLock(d->signalMutex);
        std::lock_guard<std::mutex> lock(d->mutex);
        // The last acknowledgements of the drain join those the network
        // thread handed over, and all are emitted below, in order.
        d->takeAcksLocked(s->acksDue, s->eventAcksDue);
        s->retired = true;
    }
    bool ended = false;
    {
        std::unique_lock<std::mutex> lock(d->mutex);
        // Connected, the thread is in the library's loop, not in an attempt:
        // DISCONNECT is queued, and the thread sends it and ends. It ends only
        // once `quit` is set, so `mosq` is still there.
        if (s->connected)
            mosquitto_disconnect(s->mosq);
        s->quit = true;
        s->quitAt = Clock::now();
        s->wake.notify_all();
        ended = s->progress.wait_until(lock, deadline, [&s] { return s->ended; });
    }
    if (ended)
        s->network.join();
    else
        s->network.detach(); // it holds `s`, and ends on its own
    QMetaObject::invokeMethod(
        this, [this] { reportState(State::Off, tr("已关闭")); }, Qt::QueuedConnection);
    // Before returning, so that a caller that keeps a cursor of what the
    // broker has can save it right after.
    emitAcknowledgements();
    return undelivered;
}

void MqttPublisher::publishLive(const _T_PRINT_OUT_DATA &reading, const QDateTime &time, int unit,
                                bool recording)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    Session *s = d->publishingLocked();
    if (!s)
        return;
    d->learnUnitLocked(unit);
    // Dropped while the broker is away: nobody wants it once it is back.
    if (!s->connected)
        return;
    s->live.reading = reading;
    s->live.time = time;
    s->live.unit = unit;
    s->liveRecording = recording;
    s->liveDue = true;
}

void MqttPublisher::publishRecorded(const QString &recordingId, quint32 seq,
                                    const _T_EE_TEST_DATA &record, int unit)
{
    QueuedReading e;
    for (int ch = 0; ch < kChannelCount; ++ch) {
        e.reading.value[ch] = record.value[ch];
        e.reading.status[ch] = statusByte(record.type[ch], record.state[ch]);
    }
    // Not finite: null in the payload.
    e.reading.ambient = std::numeric_limits<float>::quiet_NaN();
    e.stamp.year = record.year;
    e.stamp.month = record.month;
    e.stamp.day = record.day;
    e.stamp.hour = record.hour;
    e.stamp.minute = record.minute;
    e.stamp.second = record.second;
    e.stamped = true;
    e.recordingId = recordingId;
    e.seq = seq;
    e.unit = unit;
    d->enqueue(std::move(e));
}

void MqttPublisher::setLinkState(bool connected)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    if (connected == d->linkUp)
        return;
    d->linkUp = connected;
    if (d->session)
        d->session->linkDue = true;
}

void MqttPublisher::setAlarms(const QByteArray &payload)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    if (payload == d->alarms)
        return;
    const bool first = d->alarms.isEmpty();
    d->alarms = payload;
    if (d->session) {
        d->session->alarmDue = true;
        // The alarm sensors join the discovery messages.
        if (first && d->session->discovery)
            d->session->discoveryDue = true;
    }
}

void MqttPublisher::publishAlarmEvent(quint64 id, const QByteArray &payload)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    AlarmEvent e;
    e.id = id;
    e.payload = payload;
    d->alarmEvents.push_back(std::move(e));
}

void MqttPublisher::setFirmwareVersion(const QString &version)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    if (version == d->firmware)
        return;
    d->firmware = version;
    if (d->session && d->session->discovery)
        d->session->discoveryDue = true;
}

void MqttPublisher::setUnit(int unit)
{
    std::lock_guard<std::mutex> lock(d->mutex);
    d->learnUnitLocked(unit);
}

MqttPublisher::State MqttPublisher::state() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->session ? d->session->state : State::Off;
}

QString MqttPublisher::stateText() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->session ? d->session->textLocked() : tr("已关闭");
}

QString MqttPublisher::connectError() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    const Session *s = d->session.get();
    return s && s->state == State::Connecting ? s->reason : QString();
}

QString MqttPublisher::topicPrefix() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->session ? d->session->prefix : QString();
}

QString MqttPublisher::clientId() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->session ? d->session->clientId : QString();
}

QString MqttPublisher::otherPublisher() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->session ? d->session->otherPublisher : QString();
}

int MqttPublisher::pendingCount() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    const Session *s = d->session.get();
    return s ? s->undeliveredLocked() : 0;
}

quint64 MqttPublisher::droppedCount() const
{
    std::lock_guard<std::mutex> lock(d->mutex);
    return d->dropped;
}
