#pragma once

// A Mosquitto broker of its own for tests and benchmarks, on free loopback
// ports, with its configuration, persistence, passwords and certificates in
// a temporary folder; and a subscriber that keeps what it receives.

#include <QByteArray>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QVector>

#include <mosquitto.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

inline const char *kBrokerProgram = "/usr/sbin/mosquitto";

// In a QtTest function: skips it where the broker is not installed.
#define REQUIRE_BROKER()                                                                           \
    do {                                                                                           \
        if (!TestBroker::available())                                                              \
            QSKIP("/usr/sbin/mosquitto is not installed (Debian package mosquitto)");              \
    } while (false)

// A port nobody listens on at the moment: bound, read back and released.
inline quint16 freeLoopbackPort()
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    quint16 port = 0;
    if (::bind(s, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0 &&
        ::getsockname(s, reinterpret_cast<sockaddr *>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    ::close(s);
    return port;
}

inline bool loopbackPortAccepts(quint16 port)
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(port);
    const bool ok = ::connect(s, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0;
    ::close(s);
    return ok;
}

// A listening socket on 127.0.0.1 that is not a broker: it cuts off the
// next connection as soon as it comes, or, stalled, lets none complete.
class RawListener
{
public:
    // `port` 0: a free one. SO_REUSEADDR: it may take over the port of a
    // broker just stopped.
    explicit RawListener(quint16 port = 0)
    {
        m_socket = ::socket(AF_INET, SOCK_STREAM, 0);
        const int on = 1;
        ::setsockopt(m_socket, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(port);
        socklen_t len = sizeof a;
        // A backlog of 0: one connection waiting to be accepted fills it.
        if (::bind(m_socket, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0 &&
            ::listen(m_socket, 0) == 0 &&
            ::getsockname(m_socket, reinterpret_cast<sockaddr *>(&a), &len) == 0)
            m_port = ntohs(a.sin_port);
    }
    ~RawListener() { close(); }

    bool isListening() const { return m_port != 0; }
    quint16 port() const { return m_port; }

    // Waits up to `ms` for a connection and accepts it: its socket, or -1.
    int acceptNext(int ms)
    {
        pollfd p{m_socket, POLLIN, 0};
        if (::poll(&p, 1, ms) != 1)
            return -1;
        return ::accept(m_socket, nullptr, nullptr);
    }

    // Waits up to `ms` for a connection, accepts it and closes it at once.
    bool cutOffNext(int ms)
    {
        const int client = acceptNext(ms);
        if (client >= 0)
            ::close(client);
        return client >= 0;
    }

    // Fills the queue of connections waiting to be accepted: the kernel then
    // drops the handshake of every further one, which never completes.
    bool stall()
    {
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(m_port);
        for (int i = 0; i < 2; ++i) {
            const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
            ::connect(s, reinterpret_cast<sockaddr *>(&a), sizeof a);
            m_fillers.push_back(s);
            QThread::msleep(50);
        }
        return isListening();
    }

    void close()
    {
        for (const int s : m_fillers)
            ::close(s);
        m_fillers.clear();
        if (m_socket >= 0)
            ::close(m_socket);
        m_socket = -1;
    }

private:
    int m_socket = -1;
    quint16 m_port = 0;
    std::vector<int> m_fillers;
};

class TestBroker
{
public:
    struct Options
    {
        QString user; // with a password file; anonymous clients refused
        QString password;
        bool tls = false; // a second listener with a certificate of our own CA
        QByteArray acl;   // the ACL file's lines; empty: every topic open
    };

    ~TestBroker() { stop(); }

    static bool available()
    {
        return QFileInfo(QString::fromLatin1(kBrokerProgram)).isExecutable();
    }

    bool start() { return start(Options()); }
    bool start(const Options &options)
    {
        if (!m_dir.isValid())
            return fail(QStringLiteral("no temporary folder"));
        m_port = freeLoopbackPort();
        QByteArray conf = "per_listener_settings false\n"
                          "persistence true\n"
                          "persistence_location " +
                          path("") +
                          "\n"
                          // Started as root the broker would run as user
                          // "mosquitto", which cannot read this folder;
                          // otherwise the line is ignored.
                          "user root\n"
                          // A subscriber that lags keeps every message. Not
                          // 0 (no limit): mosquitto 2.0.11 then drops a
                          // client whose publication an ACL refuses.
                          "max_queued_messages 10000000\n"
                          "log_dest file " +
                          path("broker.log") + "\nlistener " + QByteArray::number(m_port) +
                          " 127.0.0.1\n";
        if (options.user.isEmpty()) {
            conf += "allow_anonymous true\n";
        } else {
            if (!writeFile("passwords",
                           (options.user + QLatin1Char(':') + options.password).toUtf8() + '\n') ||
                !run(QStringLiteral("mosquitto_passwd"), {QStringLiteral("-U"), path("passwords")}))
                return fail(QStringLiteral("mosquitto_passwd failed"));
            conf += "allow_anonymous false\npassword_file " + path("passwords") + '\n';
        }
        if (!options.acl.isEmpty()) {
            if (!writeFile("acl", options.acl))
                return fail(QStringLiteral("cannot write the ACL"));
            conf += "acl_file " + path("acl") + '\n';
        }
        if (options.tls) {
            if (!makeCertificates())
                return false;
            m_tlsPort = freeLoopbackPort();
            conf += "listener " + QByteArray::number(m_tlsPort) + " 127.0.0.1\ncafile " +
                    path("ca.crt") + "\ncertfile " + path("server.crt") + "\nkeyfile " +
                    path("server.key") + '\n';
        }
        if (!writeFile("mosquitto.conf", conf))
            return fail(QStringLiteral("cannot write the configuration"));
        return launch();
    }

    // SIGTERM: the broker saves its persistence file on the way out.
    void stop()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(10000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }

    bool restart()
    {
        stop();
        return launch();
    }

    // Adds a user or changes its password, and has the running broker read
    // the password file again (SIGHUP) without dropping a connection.
    bool setPassword(const QString &user, const QString &password)
    {
        const int reloads = readLog().count("Reloading config.");
        if (!run(QStringLiteral("mosquitto_passwd"),
                 {QStringLiteral("-b"), QString::fromUtf8(path("passwords")), user, password}) ||
            ::kill(pid_t(m_process.processId()), SIGHUP) != 0)
            return false;
        const QDeadlineTimer deadline(10000);
        while (readLog().count("Reloading config.") == reloads && !deadline.hasExpired())
            QThread::msleep(10);
        return !deadline.hasExpired();
    }

    quint16 port() const { return m_port; }
    quint16 tlsPort() const { return m_tlsPort; }
    QString url() const { return QStringLiteral("mqtt://127.0.0.1:%1").arg(m_port); }
    QString tlsUrl() const { return QStringLiteral("mqtts://127.0.0.1:%1").arg(m_tlsPort); }
    QString caFile() const { return QString::fromUtf8(path("ca.crt")); }
    QString error() const { return m_error; }

private:
    QByteArray path(const char *name) const
    {
        return QFile::encodeName(m_dir.filePath(QString::fromLatin1(name)));
    }

    bool fail(const QString &why)
    {
        m_error = why;
        return false;
    }

    bool writeFile(const char *name, const QByteArray &bytes)
    {
        QFile f(QString::fromUtf8(path(name)));
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    }

    bool run(const QString &program, const QStringList &arguments)
    {
        QProcess p;
        p.setWorkingDirectory(m_dir.path());
        p.start(program, arguments);
        return p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit &&
               p.exitCode() == 0;
    }

    // A CA and a server certificate for 127.0.0.1 and localhost; EC keys are
    // made in a moment.
    bool makeCertificates()
    {
        const QString ec = QStringLiteral("ec");
        const QStringList curve{QStringLiteral("-pkeyopt"),
                                QStringLiteral("ec_paramgen_curve:prime256v1")};
        const bool ok =
            writeFile("server.ext", "subjectAltName=IP:127.0.0.1,DNS:localhost\n"
                                    "basicConstraints=CA:FALSE\n") &&
            run(QStringLiteral("openssl"),
                QStringList{QStringLiteral("req"), QStringLiteral("-x509"),
                            QStringLiteral("-newkey"), ec} +
                    curve +
                    QStringList{QStringLiteral("-nodes"), QStringLiteral("-keyout"),
                                QStringLiteral("ca.key"), QStringLiteral("-out"),
                                QStringLiteral("ca.crt"), QStringLiteral("-days"),
                                QStringLiteral("2"), QStringLiteral("-subj"),
                                QStringLiteral("/CN=Test CA")}) &&
            run(QStringLiteral("openssl"),
                QStringList{QStringLiteral("req"), QStringLiteral("-newkey"), ec} + curve +
                    QStringList{QStringLiteral("-nodes"), QStringLiteral("-keyout"),
                                QStringLiteral("server.key"), QStringLiteral("-out"),
                                QStringLiteral("server.csr"), QStringLiteral("-subj"),
                                QStringLiteral("/CN=localhost")}) &&
            run(QStringLiteral("openssl"),
                {QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"),
                 QStringLiteral("server.csr"), QStringLiteral("-CA"), QStringLiteral("ca.crt"),
                 QStringLiteral("-CAkey"), QStringLiteral("ca.key"),
                 QStringLiteral("-CAcreateserial"), QStringLiteral("-out"),
                 QStringLiteral("server.crt"), QStringLiteral("-days"), QStringLiteral("2"),
                 QStringLiteral("-extfile"), QStringLiteral("server.ext")});
        return ok || fail(QStringLiteral("openssl could not make the certificates"));
    }

    bool launch()
    {
        // Its own messages go to broker.log; the few before that are dropped.
        m_process.setStandardOutputFile(QProcess::nullDevice());
        m_process.setStandardErrorFile(QProcess::nullDevice());
        m_process.start(QString::fromLatin1(kBrokerProgram),
                        {QStringLiteral("-c"), QString::fromUtf8(path("mosquitto.conf"))});
        if (!m_process.waitForStarted(10000))
            return fail(QStringLiteral("the broker did not start"));
        const QDeadlineTimer deadline(20000);
        while (!deadline.hasExpired()) {
            if (m_process.state() == QProcess::NotRunning)
                return fail(QStringLiteral("the broker ended at once: ") +
                            QString::fromUtf8(readLog()));
            if (loopbackPortAccepts(m_port) && (m_tlsPort == 0 || loopbackPortAccepts(m_tlsPort)))
                return true;
            QThread::msleep(20);
        }
        return fail(QStringLiteral("the broker does not accept connections"));
    }

    QByteArray readLog() const
    {
        QFile f(QString::fromUtf8(path("broker.log")));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
    quint16 m_tlsPort = 0;
    QString m_error;
};

// Subscribes with QoS 1 and keeps every message in arrival order. With
// `durable` set it keeps its session in the broker (fixed client id, no
// clean session), so messages published while it is away reach it later.
class TestSubscriber
{
public:
    struct Message
    {
        QByteArray topic;
        QByteArray payload;
        bool retained = false;
    };

    TestSubscriber() { mosquitto_lib_init(); }

    ~TestSubscriber()
    {
        if (m_mosq) {
            mosquitto_disconnect(m_mosq);
            mosquitto_loop_stop(m_mosq, false);
            mosquitto_destroy(m_mosq);
        }
    }

    bool start(quint16 port, const QByteArray &topic, const QByteArray &clientId = QByteArray(),
               const QByteArray &user = QByteArray(), const QByteArray &password = QByteArray())
    {
        m_topic = topic;
        const bool durable = !clientId.isEmpty();
        m_mosq = mosquitto_new(durable ? clientId.constData() : nullptr, !durable, this);
        if (!user.isEmpty())
            mosquitto_username_pw_set(m_mosq, user.constData(), password.constData());
        mosquitto_reconnect_delay_set(m_mosq, 1, 1, false);
        mosquitto_connect_callback_set(m_mosq, [](mosquitto *m, void *p, int rc) {
            auto *self = static_cast<TestSubscriber *>(p);
            if (rc == 0)
                mosquitto_subscribe(m, nullptr, self->m_topic.constData(), 1);
        });
        mosquitto_subscribe_callback_set(m_mosq, [](mosquitto *, void *p, int, int, const int *) {
            auto *self = static_cast<TestSubscriber *>(p);
            std::lock_guard<std::mutex> lock(self->m_mutex);
            ++self->m_subscriptions;
        });
        mosquitto_message_callback_set(
            m_mosq, [](mosquitto *, void *p, const mosquitto_message *m) {
                auto *self = static_cast<TestSubscriber *>(p);
                std::lock_guard<std::mutex> lock(self->m_mutex);
                self->m_messages.append(
                    {QByteArray(m->topic),
                     QByteArray(static_cast<const char *>(m->payload), m->payloadlen), m->retain});
            });
        return mosquitto_loop_start(m_mosq) == MOSQ_ERR_SUCCESS &&
               mosquitto_connect_async(m_mosq, "127.0.0.1", port, 30) == MOSQ_ERR_SUCCESS;
    }

    // start() without a session of its own, then waits at most `ms` for
    // the subscription to stand.
    bool startAndWait(quint16 port, const QByteArray &topic, const QByteArray &user = QByteArray(),
                      const QByteArray &password = QByteArray(), int ms = 20000)
    {
        if (!start(port, topic, QByteArray(), user, password))
            return false;
        const QDeadlineTimer deadline(ms);
        while (subscriptions() == 0 && !deadline.hasExpired())
            QThread::msleep(5);
        return subscriptions() > 0;
    }

    // Subscriptions acknowledged so far (one per connection).
    int subscriptions() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_subscriptions;
    }

    QVector<Message> messages() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_messages;
    }

    int count() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_messages.size();
    }

    // Payloads received on `topic`.
    QVector<QByteArray> payloads(const QByteArray &topic) const
    {
        QVector<QByteArray> out;
        for (const Message &m : messages()) {
            if (m.topic == topic)
                out.append(m.payload);
        }
        return out;
    }

private:
    mosquitto *m_mosq = nullptr;
    QByteArray m_topic;
    mutable std::mutex m_mutex;
    QVector<Message> m_messages;
    int m_subscriptions = 0;
};

// A broker of its own and a subscriber to `topic` whose subscription stands.
struct BrokerWithSubscriber
{
    TestBroker broker;
    TestSubscriber subscriber;

    // With `options.user`, the subscriber logs in as that user.
    bool start(const QByteArray &topic, const TestBroker::Options &options = {})
    {
        return broker.start(options) &&
               subscriber.startAndWait(broker.port(), topic, options.user.toUtf8(),
                                       options.password.toUtf8());
    }
    QString url() const { return broker.url(); }
};

// A server of MQTT 3.1.1 only, as far as the CONNECT: one of protocol level
// 5 is answered with CONNACK 0x01 (unacceptable protocol version) and
// closed, one of level 4 is accepted; nothing after it is answered.
class Mqtt311OnlyServer
{
public:
    Mqtt311OnlyServer()
        : m_thread([this] {
              while (!m_stop)
                  serveNext();
          })
    {
    }
    ~Mqtt311OnlyServer()
    {
        m_stop = true;
        m_thread.join();
        for (const int s : m_open)
            ::close(s);
    }

    quint16 port() const { return m_listener.port(); }
    // The protocol level of each CONNECT so far.
    QVector<int> levels() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_levels;
    }

private:
    static bool readAll(int s, char *to, int n)
    {
        return n == 0 || ::recv(s, to, size_t(n), MSG_WAITALL) == n;
    }

    void serveNext()
    {
        const int s = m_listener.acceptNext(50);
        if (s < 0)
            return;
        const timeval timeout{2, 0};
        ::setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
        char header = 0;
        int length = 0;
        int shift = 0;
        char byte = char(0x80);
        bool ok = readAll(s, &header, 1);
        while (ok && (byte & 0x80) && shift < 28) {
            ok = readAll(s, &byte, 1);
            length |= (byte & 0x7F) << shift;
            shift += 7;
        }
        QByteArray body(length, '\0');
        // Protocol name (2 + 4 bytes), then the level.
        if (!ok || header != 0x10 || length < 7 || !readAll(s, body.data(), length)) {
            ::close(s);
            return;
        }
        const int level = body.at(6);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_levels << level;
        }
        const char accepted[] = {0x20, 0x02, 0x00, 0x00};
        const char refused[] = {0x20, 0x02, 0x00, 0x01};
        ::send(s, level == 4 ? accepted : refused, 4, MSG_NOSIGNAL);
        if (level == 4)
            m_open.push_back(s);
        else
            ::close(s);
    }

    RawListener m_listener;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    QVector<int> m_levels;
    std::vector<int> m_open;
    std::thread m_thread;
};
