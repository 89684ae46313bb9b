#pragma once

#include <QCoreApplication>
#include <QString>

// Where and how readings are published. The password is a secret: nothing
// may print it, log it or put it on a command line.
struct MqttSettings
{
    bool enabled = false;
    QString url;    // mqtt://host[:port] or mqtts://host[:port]
    QString prefix; // empty: kx740d/<instrument name>
    QString user;   // empty: no authentication
    QString password;
    QString caFile;         // mqtts: the CA certificates that sign the broker's
    QString certFile;       // optional client certificate (PEM) ...
    QString keyFile;        // ... and its key (PEM)
    bool discovery = false; // Home Assistant discovery messages
};

struct BrokerAddress
{
    bool tls = false;
    QString host;
    quint16 port = 1883;
};

class MqttTexts
{
    Q_DECLARE_TR_FUNCTIONS(MqttTexts)
};

// "mqtt://host[:port]" (port 1883 by default) or "mqtts://host[:port]"
// (8883), an IPv6 host in brackets. False and a translated `error` for
// anything else (other schemes, a path, user information in the URL, a port
// outside 1..65535).
bool parseBrokerUrl(const QString &url, BrokerAddress *address, QString *error);

// The prefix topics are published under, without a trailing '/': `prefix`
// when given, else "kx740d/" and the instrument name with every character
// that has a meaning in topics ('+', '#', '/', control characters) replaced
// by '_'; "kx740d/kx740d" while the name is unknown.
QString effectiveTopicPrefix(const QString &prefix, const QString &instrumentName);
