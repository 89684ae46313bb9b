#pragma once

#include "instrument/records.h"
#include "mqtt/mqttsettings.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <memory>

// Publishes readings to an MQTT broker from a network thread of its own.
// Nothing here waits for the network: publishLive() and publishRecorded()
// only hand a reading over, from any thread, and return.
//
// Topics under the prefix (see effectiveTopicPrefix):
//   <prefix>/live    the newest live reading at most once a second, QoS 0,
//                    dropped while not connected
//   <prefix>/record  every recorded reading, QoS 1, in order, each with the
//                    recording's id and a sequence number starting at 1
//   <prefix>/status  retained "online"; the last will sets "offline"
//   <prefix>/link    retained "connected" or "lost": the instrument's link
//                    (setLinkState), on every connection and on each change
//   <prefix>/alarm   retained: the active alarms as a JSON array (setAlarms),
//                    on every connection and each change; [] when none
//   <prefix>/alarm/event  each alarm raised or cleared (publishAlarmEvent),
//                    QoS 1, in order, kept until the broker acknowledges it
//   <prefix>/publisher  retained {"client_id","host","discovery"} of the
//                    publisher that connected last
// Home Assistant discovery, when switched on, goes out on every connection;
// switched off, the configurations are removed only when the marker left
// before says they were sent.
// Another publisher online under the same prefix (its marker arrives while
// we are connected, or was there with the status "online" when we came) is
// named in the state text until that status turns "offline"; an "offline"
// that is not ours is answered with "online" again.
// Recorded readings wait in a bounded queue of our own (kQueueLimit) while
// the broker is away and go out in order once it is back; the library gets
// at most its in-flight window at a time.
//
// Every failure to reach the broker is retried (reconnectDelayMs): after 1,
// 2, 4, 8, 16 s, then every 30 s; a broker that refuses our credentials or
// client id, a certificate that cannot be verified, or a broker that gave
// our client id to another client, about once a minute. Only settings that
// can never work are refused, by start().
//
// MQTT 5, so that a broker can say that it refuses a publication (an ACL);
// a broker of 3.1.1 refuses that protocol and is then spoken to in 3.1.1,
// where such a refusal cannot be seen.
class MqttPublisher : public QObject
{
    Q_OBJECT

public:
    static constexpr int kQueueLimit = 200000;

    enum class State
    {
        Off,        // not started, or stopped
        Connecting, // waiting for the broker (first attempt or reconnecting); after a
                    // failed attempt the text says why (see connectError)
        Connected,
        // The broker refused our credentials or client id, its certificate
        // could not be verified, or another client took our client id (see
        // MqttRefusal): tried again about once a minute.
        Refused
    };
    Q_ENUM(State)

    // Probe: connect only, for a "test connection" button: no will, no status,
    // no discovery messages.
    enum class Mode
    {
        Publish,
        Probe
    };

    explicit MqttPublisher(QObject *parent = nullptr);
    ~MqttPublisher() override; // stop(0)

    // Starts connecting in the background. False and a translated `error`
    // when the settings cannot be used (checkMqttSettings); then nothing
    // runs. A running publisher is stopped first.
    bool start(const MqttSettings &settings, const QString &instrumentName, QString *error,
               Mode mode = Mode::Publish);
    // Waits at most `drainMs` for the recorded readings and alarm events
    // handed over to be acknowledged (not connected, it tries the broker at
    // once rather than after the pause between attempts), publishes
    // "offline" (and removes nothing), disconnects, and emits the
    // acknowledgements not emitted yet. Returns how many recorded readings
    // the broker has not acknowledged; they are dropped and counted (alarm
    // events are kept for the next start). Returns within about `drainMs` +
    // 1 s whatever the network does: a network thread that cannot end by
    // then (a host name lookup that hangs) ends later on its own, and
    // reports nothing more.
    int stop(int drainMs = 2000);

    // Thread-safe; never blocks on the network; ignored while stopped.
    // Values are in degrees Celsius as the instrument sends them; the payload
    // carries them in `unit` (0 Celsius, 1 Fahrenheit, 2 Kelvin).
    void publishLive(const _T_PRINT_OUT_DATA &reading, const QDateTime &time, int unit,
                     bool recording);
    // A recorded reading as its recording numbered it (from 1): published
    // with this recording id and sequence number, the time from the record
    // (local time); "ambient" is null, as a record does not carry it.
    void publishRecorded(const QString &recordingId, quint32 seq, const _T_EE_TEST_DATA &record,
                         int unit);
    // Whether the instrument is connected, for <prefix>/link; thread-safe,
    // kept across start() and stop(). Until told otherwise it counts as
    // connected, as the front ends start publishing once it has answered.
    void setLinkState(bool connected);
    // The active alarms, a JSON array (alarmListPayload); thread-safe, kept
    // across start() and stop(). Nothing is published on <prefix>/alarm, and
    // discovery has no alarm sensors, before the first call.
    void setAlarms(const QByteArray &payload);
    // One alarm raised or cleared (alarmEventPayload), numbered by the
    // caller in the order handed over; thread-safe. Kept until the broker
    // has acknowledged it (alarmEventAcknowledged), across stop() and
    // start(): events handed over while stopped, or not yet acknowledged
    // when it stopped, go out at the next connection. The caller bounds how
    // many it hands over ahead of the acknowledgements.
    void publishAlarmEvent(quint64 id, const QByteArray &payload);
    // The instrument's firmware version, the device's software in the
    // discovery messages; thread-safe, kept across start() and stop(). A
    // change republishes them.
    void setFirmwareVersion(const QString &version);
    // The unit of the payloads to come, for the discovery messages; the
    // publish calls set it too. A change republishes the discovery messages.
    void setUnit(int unit);

    State state() const;
    // Translated (mqttStateText): connected (naming another publisher under
    // our prefix and a topic the broker refuses, if any) / connecting (with
    // the last attempt's error) / the broker's refusal, the certificate's
    // fault, or our client id taken by another client.
    QString stateText() const;
    // Translated: why the last attempt to connect failed (connection refused,
    // host not found, ...) while Connecting; empty before any attempt failed
    // and once connected.
    QString connectError() const;
    QString topicPrefix() const;
    // The client id towards the broker while started (publisherClientId,
    // with MqttSettings::instance).
    QString clientId() const;
    // The client id of another publisher seen online under our prefix;
    // empty when there is none.
    QString otherPublisher() const;
    // Recorded readings handed over and not yet acknowledged by the broker.
    int pendingCount() const;
    // Recorded readings that will not reach the broker from this publisher:
    // dropped from a full queue (oldest first), refused, or not acknowledged
    // when it stopped.
    quint64 droppedCount() const;

signals:
    // Emitted on the publisher's own thread whenever the state or its text
    // changes.
    void stateChanged(MqttPublisher::State state, const QString &text);
    // The broker has answered every recorded reading of `recordingId`
    // handed over up to and including `seq` (numbered here or by the
    // caller), in the order handed over: it has them, or refused them (an
    // ACL; those count as dropped and are not sent again). A reading of a
    // recording that is dropped from a full queue ends its acknowledgements
    // until the next start(): later ones would claim it too.
    // Emitted on the publisher's thread, in order; the last ones of a drain
    // by stop() itself, before it returns.
    void acknowledged(const QString &recordingId, quint32 seq);
    // The broker has answered alarm event `id` and every one handed over
    // before it (taken, or refused by an ACL and then not sent again).
    // Emitted like acknowledged().
    void alarmEventAcknowledged(quint64 id);

private:
    struct Shared;
    struct Session;
    void reportState(State state, const QString &text);
    void emitAcknowledgements();

    std::shared_ptr<Shared> d;
};
