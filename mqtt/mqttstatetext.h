#pragma once

#include "mqtt/mqttpublisher.h"

#include <QString>

// Why a publisher waits for someone to act (MqttPublisher::State::Refused).
enum class MqttRefusal
{
    Broker,      // the broker refused the connection (credentials, client id, a ban)
    Certificate, // the broker's certificate could not be verified
    TakenOver,   // the broker handed our client id to another client (MQTT 5 says so)
    // Dropped right after connecting, again and again: the sign of another
    // client taking our client id where the broker does not say so (MQTT
    // 3.1.1, or a broker that closes the connection first).
    DroppedRepeatedly
};

// What the state line of a publisher is made of.
struct MqttStateFacts
{
    MqttPublisher::State state = MqttPublisher::State::Off;
    bool probe = false; // a connection test, which does not wait for the next attempt
    QString host;       // "host:port"
    // Connecting: why the last attempt failed (empty before any did);
    // Refused (Broker, Certificate): the broker's or the verification's reason.
    QString reason;
    MqttRefusal refusal = MqttRefusal::Broker;
    QString clientId; // ours
    QString prefix;
    QString otherPublisher; // another publisher online under the prefix, and its host
    QString otherHost;
    QString refusedTopic; // a topic the broker refuses messages on, and why
    QString refusedReason;
};

// The state line, translated. The reasons come from the library, the broker
// or OpenSSL, and often end in a full stop of their own ("Connection
// Refused: not authorised."): the text around them never doubles it.
QString mqttStateText(const MqttStateFacts &facts);
