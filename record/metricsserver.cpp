#include "record/metricsserver.h"

#include <QTcpSocket>
#include <QTimer>

namespace {
// A scraper's request header is a few hundred bytes.
constexpr qint64 kMaxHeaderBytes = 8192;
constexpr int kRequestTimeoutMs = 5000;
constexpr int kMaxConnections = 32;

QByteArray response(const QByteArray &status, const QByteArray &contentType, const QByteArray &body,
                    const QByteArray &moreHeaders = QByteArray())
{
    return "HTTP/1.1 " + status + "\r\nContent-Type: " + contentType +
           "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n" + moreHeaders +
           "Connection: close\r\n\r\n" + body;
}

QByteArray plain(const QByteArray &status, const QByteArray &moreHeaders = QByteArray())
{
    return response(status, "text/plain; charset=utf-8", status + '\n', moreHeaders);
}
} // namespace

MetricsServer::MetricsServer(Source source, QObject *parent)
    : QObject(parent), m_source(std::move(source))
{
    // Accepted connections wait while the count is at its limit.
    m_server.setMaxPendingConnections(kMaxConnections);
    connect(&m_server, &QTcpServer::newConnection, this, &MetricsServer::acceptConnections);
}

MetricsServer::~MetricsServer()
{
    // The server deletes the connections it made after this object is
    // gone: they must not call back.
    for (QTcpSocket *socket : m_server.findChildren<QTcpSocket *>())
        socket->disconnect(this);
}

bool MetricsServer::listen(const QHostAddress &address, quint16 port)
{
    return m_server.listen(address, port);
}

void MetricsServer::acceptConnections()
{
    while (m_connections < kMaxConnections && m_server.hasPendingConnections()) {
        QTcpSocket *socket = m_server.nextPendingConnection();
        ++m_connections;
        socket->setReadBufferSize(kMaxHeaderBytes + 1);
        connect(socket, &QObject::destroyed, this, [this] {
            --m_connections;
            acceptConnections();
        });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
        // The whole exchange, answer included, has this long.
        QTimer::singleShot(kRequestTimeoutMs, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        readRequest(socket);
    }
}

void MetricsServer::readRequest(QTcpSocket *socket)
{
    const QByteArray head = socket->peek(kMaxHeaderBytes + 1);
    int end = head.indexOf("\r\n\r\n");
    if (end < 0)
        end = head.indexOf("\n\n");
    if (end < 0 || end > kMaxHeaderBytes) {
        if (head.size() > kMaxHeaderBytes) {
            socket->abort();
            socket->deleteLater();
        }
        return;
    }
    disconnect(socket, &QTcpSocket::readyRead, this, nullptr);
    answer(socket, head.left(end));
}

void MetricsServer::answer(QTcpSocket *socket, const QByteArray &head)
{
    const QList<QByteArray> lines = head.split('\n');
    const QList<QByteArray> request = lines.first().trimmed().split(' ');
    QByteArray reply;
    if (request.size() != 3 || !request[2].startsWith("HTTP/")) {
        reply = plain("400 Bad Request");
    } else if (request[0] != "GET") {
        reply = plain("405 Method Not Allowed", "Allow: GET\r\n");
    } else if (request[1].split('?').first() != "/metrics") {
        reply = plain("404 Not Found");
    } else {
        QByteArray accept;
        for (const QByteArray &line : lines.mid(1)) {
            const int colon = line.indexOf(':');
            if (colon > 0 && line.left(colon).trimmed().toLower() == "accept")
                accept += line.mid(colon + 1).trimmed() + ',';
        }
        const MetricsFormat format = metricsFormatFor(accept);
        reply = response("200 OK", metricsContentType(format), formatMetrics(m_source(), format));
    }
    socket->write(reply);
    socket->disconnectFromHost();
}
