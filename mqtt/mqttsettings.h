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
    // Not a user setting: what tells this publisher from another one of the
    // same installation and instrument under the same prefix (the
    // recorder's output file, the window's backup file), part of the client
    // id. The same for every start of the same command or window.
    QString instance;
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

// Whether `prefix` (as set, before effectiveTopicPrefix) can start topics:
// no '+' or '#' (wildcards, refused in a topic one publishes to), no control
// characters, and not starting with '$' (the broker's own topics). False and
// a translated `error` naming the prefix otherwise.
bool checkTopicPrefix(const QString &prefix, QString *error);

// Everything about `settings` that can be known to fail before any
// connection: the broker address (parseBrokerUrl, into `address`), the
// prefix, and the TLS files: readable, certificate and key as a pair, and
// given only with an mqtts:// address. False and a translated `error`
// otherwise.
bool checkMqttSettings(const MqttSettings &settings, BrokerAddress *address, QString *error);
