#pragma once

#include "record/metricsformat.h"

#include <QHostAddress>
#include <QObject>
#include <QTcpServer>

#include <functional>

class QTcpSocket;

// Serves the metrics of the instruments at GET /metrics over HTTP/1.1, one
// request per connection. Event-driven in the owner's thread: a scrape
// costs one call of the source and never waits. A request whose header is
// larger than 8 KiB or not complete within 5 s is dropped, and at most 32
// connections are open at once, so a client that misbehaves holds only
// its own connections.
class MetricsServer : public QObject
{
    Q_OBJECT

public:
    // Called at every scrape.
    using Source = std::function<QVector<InstrumentMetrics>()>;

    explicit MetricsServer(Source source, QObject *parent = nullptr);
    ~MetricsServer() override;

    bool listen(const QHostAddress &address, quint16 port);
    QString errorString() const { return m_server.errorString(); }
    quint16 serverPort() const { return m_server.serverPort(); }

private:
    void acceptConnections();
    void readRequest(QTcpSocket *socket);
    void answer(QTcpSocket *socket, const QByteArray &head);

    Source m_source;
    QTcpServer m_server;
    int m_connections = 0;
};
