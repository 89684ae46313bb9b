#pragma once

#include "instrument/records.h"
#include "mqtt/mqttsettings.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <memory>

// Publishes readings to an MQTT broker through libmosquitto's own network
// thread. Nothing here waits for the network: publishLive() and
// publishRecorded() only hand a reading over, from any thread, and return.
//
// Topics under the prefix (see effectiveTopicPrefix):
//   <prefix>/live    every live reading, QoS 0, dropped while not connected
//   <prefix>/record  every recorded reading, QoS 1, in order, each with the
//                    recording's id and a sequence number starting at 1
//   <prefix>/status  retained "online"; the last will sets "offline"
// Recorded readings wait in a bounded queue of our own (kQueueLimit) while
// the broker is away and go out in order once it is back; the library gets
// at most its in-flight window at a time. The library reconnects with a
// delay growing from 1 s to 30 s.
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
        Refused // the broker refused us (bad credentials, TLS failure): no retry
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
    // when the settings cannot be used (bad URL, unreadable CA or
    // certificate file); then nothing runs. A running publisher is stopped
    // first.
    bool start(const MqttSettings &settings, const QString &instrumentName, QString *error,
               Mode mode = Mode::Publish);
    // Publishes "offline" (and removes nothing), waits at most `drainMs` for
    // queued recorded readings to be acknowledged while connected, then
    // disconnects. Readings still queued are dropped.
    void stop(int drainMs = 2000);

    // A new recording: a new id (a fresh UUID when `id` is empty), the
    // sequence starts again at 1.
    void beginRecording(const QString &id = QString());
    QString recordingId() const;

    // Thread-safe; never blocks on the network. Values are in degrees
    // Celsius as the instrument sends them; the payload carries them in `unit`
    // (0 Celsius, 1 Fahrenheit, 2 Kelvin).
    void publishLive(const _T_PRINT_OUT_DATA &reading, const QDateTime &time, int unit,
                     bool recording);
    void publishRecorded(const _T_PRINT_OUT_DATA &reading, const QDateTime &time, int unit);
    // The same with the local time stamp the driver gave a recorded reading;
    // it becomes a date and time on the network thread, sparing the caller
    // the time zone lookup. A time in UTC is shown as local time likewise.
    void publishRecorded(const _T_PRINT_OUT_DATA &reading, const _T_TIME &time, int unit);
    // The unit of the payloads to come, for the discovery messages; the
    // publish calls set it too. A change republishes the discovery messages.
    void setUnit(int unit);

    State state() const;
    // Translated: connected / connecting / the broker's refusal reason.
    QString stateText() const;
    // Translated: why the last attempt to connect failed (connection refused,
    // host not found, ...) while Connecting; empty before any attempt failed
    // and once connected.
    QString connectError() const;
    QString topicPrefix() const;
    // Recorded readings handed over and not yet acknowledged by the broker.
    int pendingCount() const;
    // Recorded readings dropped because the queue was full (oldest first).
    quint64 droppedCount() const;

signals:
    // Emitted on the publisher's own thread whenever the state or its text
    // changes.
    void stateChanged(MqttPublisher::State state, const QString &text);

private:
    struct Private;
    std::unique_ptr<Private> d;
};
