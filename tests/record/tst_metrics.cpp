// The metrics a scraper reads: the exposition's text, and the HTTP server
// in front of a recorder that records the built-in simulator (whose T4 has
// no probe).

#include "record/metricsserver.h"
#include "record/recorder.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <optional>

Q_DECLARE_METATYPE(MetricsFormat)
Q_DECLARE_METATYPE(QVector<InstrumentMetrics>)

class TestMetrics : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void exposition_data();
    void exposition();
    void acceptHeaderChoosesTheFormat_data();
    void acceptHeaderChoosesTheFormat();
    void scrapeShowsTheRecording();
    void otherRequestsAreRefused_data();
    void otherRequestsAreRefused();
    void badClientIsCutOffAndOthersAreServed_data();
    void badClientIsCutOffAndOthersAreServed();
    void promtoolFindsNoProblem();
    void prometheusScrapesTheRecorder();

private:
    QTemporaryDir m_dir;
    QString m_outText;
    QString m_errText;
    QTextStream m_out{&m_outText};
    QTextStream m_err{&m_errText};
    std::unique_ptr<Recorder> m_recorder;
    std::unique_ptr<MetricsServer> m_server;
};

namespace {

InstrumentMetrics oven()
{
    InstrumentMetrics m;
    m.instrument = QStringLiteral("oven");
    m.linkUp = true;
    m.celsius = {21.3f, -3.25f, std::nullopt, std::nullopt};
    m.readingsStored = 42;
    m.readingsWaiting = 7;
    m.journalBytes = 4096;
    m.alarms = {{QStringLiteral("T1"), QStringLiteral("high")},
                {QStringLiteral("link"), QStringLiteral("link-lost")}};
    return m;
}

// Sends `request` on a new connection and collects the answer until the
// server closes it; none when it is still open after `timeoutMs`. The event
// loop runs meanwhile: the server lives in this thread.
std::optional<QByteArray> exchange(quint16 port, const QByteArray &request, int timeoutMs = 10000)
{
    QTcpSocket socket;
    QByteArray answer;
    bool closed = false;
    QObject::connect(&socket, &QTcpSocket::connected, [&] { socket.write(request); });
    QObject::connect(&socket, &QTcpSocket::readyRead, [&] { answer += socket.readAll(); });
    QObject::connect(&socket, &QTcpSocket::disconnected, [&] { closed = true; });
    socket.connectToHost(QHostAddress::LocalHost, port);
    if (!QTest::qWaitFor([&] { return closed; }, timeoutMs))
        return std::nullopt;
    return answer + socket.readAll();
}

QByteArray get(quint16 port, const QByteArray &path)
{
    return exchange(port, "GET " + path + " HTTP/1.1\r\nHost: localhost\r\n\r\n").value_or("");
}

} // namespace

void TestMetrics::initTestCase()
{
    RecorderOptions options;
    options.simulate = true;
    options.out = m_dir.filePath(QStringLiteral("run.dat"));
    options.intervalSeconds = 1;
    m_recorder = std::make_unique<Recorder>(options, m_out, m_err);
    m_server = std::make_unique<MetricsServer>([this] { return m_recorder->metrics(); });
    QVERIFY2(m_server->listen(QHostAddress::LocalHost, 0), qPrintable(m_server->errorString()));
    m_recorder->start();
    QTRY_VERIFY_WITH_TIMEOUT(m_recorder->readingCount() >= 1, 15000);
}

void TestMetrics::cleanupTestCase()
{
    m_server.reset();
    m_recorder->stop();
    QTRY_COMPARE_WITH_TIMEOUT(m_recorder->state(), Recorder::State::Finished, 10000);
    m_recorder.reset();
}

void TestMetrics::exposition_data()
{
    QTest::addColumn<QVector<InstrumentMetrics>>("instruments");
    QTest::addColumn<MetricsFormat>("format");
    QTest::addColumn<QStringList>("lines");  // each a whole line of the text
    QTest::addColumn<QStringList>("absent"); // nowhere in the text
    InstrumentMetrics quoted = oven();
    quoted.instrument = QStringLiteral("a\"b\\c\nd");
    InstrumentMetrics second = oven();
    second.instrument = QStringLiteral("kiln");
    second.linkUp = false;
    QTest::newRow("Prometheus text")
        << QVector<InstrumentMetrics>{oven()} << MetricsFormat::Prometheus
        << QStringList{"kx740d_temperature_celsius{instrument=\"oven\",channel=\"T1\"} 21.3",
                       "kx740d_temperature_celsius{instrument=\"oven\",channel=\"T2\"} -3.25",
                       "# TYPE kx740d_readings_stored_total counter",
                       "kx740d_readings_stored_total{instrument=\"oven\"} 42",
                       "kx740d_readings_waiting{instrument=\"oven\"} 7",
                       "kx740d_link_up{instrument=\"oven\"} 1",
                       "kx740d_alarm_active{instrument=\"oven\",channel=\"T1\",kind=\"high\"} 1",
                       "kx740d_alarm_active{instrument=\"oven\",channel=\"link\",kind=\"link-"
                       "lost\"} 1",
                       "kx740d_journal_bytes{instrument=\"oven\"} 4096"}
        << QStringList{"channel=\"T3\"", "NaN", "# EOF", "# UNIT"};
    QTest::newRow("OpenMetrics")
        << QVector<InstrumentMetrics>{oven()} << MetricsFormat::OpenMetrics
        << QStringList{"# TYPE kx740d_readings_stored counter",
                       "kx740d_readings_stored_total{instrument=\"oven\"} 42",
                       "# UNIT kx740d_temperature_celsius celsius", "# EOF"}
        << QStringList{"channel=\"T3\"", "NaN", "# TYPE kx740d_readings_stored_total"};
    QTest::newRow("label escaped")
        << QVector<InstrumentMetrics>{quoted} << MetricsFormat::Prometheus
        << QStringList{"kx740d_link_up{instrument=\"a\\\"b\\\\c\\nd\"} 1"} << QStringList{};
    QTest::newRow("two instruments, one family each")
        << QVector<InstrumentMetrics>{oven(), second} << MetricsFormat::OpenMetrics
        << QStringList{"kx740d_link_up{instrument=\"oven\"} 1",
                       "kx740d_link_up{instrument=\"kiln\"} 0"}
        << QStringList{};
}

void TestMetrics::exposition()
{
    QFETCH(QVector<InstrumentMetrics>, instruments);
    QFETCH(MetricsFormat, format);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, absent);
    const QString text = QString::fromUtf8(formatMetrics(instruments, format));
    const QStringList got = text.split(QLatin1Char('\n'));
    for (const QString &line : lines)
        QVERIFY2(got.contains(line), qPrintable(line + QStringLiteral(" not in\n") + text));
    for (const QString &part : absent)
        QVERIFY2(!text.contains(part), qPrintable(part + QStringLiteral(" in\n") + text));
    // A family is declared once and holds its samples together; OpenMetrics
    // ends with "# EOF".
    QCOMPARE(text.count(QStringLiteral("# TYPE kx740d_link_up ")), 1);
    QCOMPARE(text.endsWith(QStringLiteral("# EOF\n")), format == MetricsFormat::OpenMetrics);
}

void TestMetrics::acceptHeaderChoosesTheFormat_data()
{
    QTest::addColumn<QByteArray>("accept");
    QTest::addColumn<MetricsFormat>("format");
    QTest::newRow("Prometheus 2") << QByteArray("application/openmetrics-text;version=1.0.0,"
                                                "application/openmetrics-text;version=0.0.1;q=0."
                                                "75,text/plain;version=0.0.4;q=0.5,*/*;q=0.1")
                                  << MetricsFormat::OpenMetrics;
    QTest::newRow("text") << QByteArray("text/plain;version=0.0.4") << MetricsFormat::Prometheus;
    QTest::newRow("none") << QByteArray() << MetricsFormat::Prometheus;
    QTest::newRow("refused") << QByteArray("application/openmetrics-text; q=0, text/plain")
                             << MetricsFormat::Prometheus;
}

void TestMetrics::acceptHeaderChoosesTheFormat()
{
    QFETCH(QByteArray, accept);
    QFETCH(MetricsFormat, format);
    QCOMPARE(metricsFormatFor(accept), format);
}

void TestMetrics::scrapeShowsTheRecording()
{
    const QByteArray t1 = "\nkx740d_temperature_celsius{instrument=\"sim\",channel=\"T1\"} ";
    QByteArray answer;
    // A live reading comes twice a second.
    QTRY_VERIFY_WITH_TIMEOUT((answer = get(m_server->serverPort(), "/metrics")).contains(t1),
                             10000);
    QVERIFY2(answer.startsWith("HTTP/1.1 200 OK\r\n"), answer.constData());
    QVERIFY(answer.contains("\r\nContent-Type: text/plain; version=0.0.4; charset=utf-8\r\n"));
    QVERIFY(answer.contains("\nkx740d_link_up{instrument=\"sim\"} 1\n"));
    QVERIFY2(!answer.contains("channel=\"T4\""), answer.constData()); // no probe there
    const QByteArray open =
        exchange(m_server->serverPort(),
                 "GET /metrics HTTP/1.1\r\nAccept: application/openmetrics-text\r\n\r\n")
            .value_or("");
    QVERIFY(open.contains("\r\nContent-Type: application/openmetrics-text; version=1.0.0"));
    QVERIFY(open.endsWith("\n# EOF\n"));
}

void TestMetrics::otherRequestsAreRefused_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("status");
    QTest::newRow("root") << QByteArray("GET / HTTP/1.1\r\n\r\n") << QByteArray("404");
    QTest::newRow("POST") << QByteArray("POST /metrics HTTP/1.1\r\nContent-Length: 0\r\n\r\n")
                          << QByteArray("405");
    QTest::newRow("not HTTP") << QByteArray("hello\r\n\r\n") << QByteArray("400");
}

void TestMetrics::otherRequestsAreRefused()
{
    QFETCH(QByteArray, request);
    QFETCH(QByteArray, status);
    const QByteArray answer = exchange(m_server->serverPort(), request).value_or("");
    QVERIFY2(answer.startsWith("HTTP/1.1 " + status + ' '), answer.constData());
}

void TestMetrics::badClientIsCutOffAndOthersAreServed_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::newRow("header over 8 KiB")
        << "GET /metrics HTTP/1.1\r\nX-Filler: " + QByteArray(9000, 'x') + "\r\n\r\n";
    // Never completed: dropped after 5 s.
    QTest::newRow("incomplete") << QByteArray("GET /metrics HTTP/1.1\r\n");
}

void TestMetrics::badClientIsCutOffAndOthersAreServed()
{
    QFETCH(QByteArray, request);
    QTcpSocket bad;
    bool closed = false;
    connect(&bad, &QTcpSocket::connected, this, [&] { bad.write(request); });
    connect(&bad, &QTcpSocket::disconnected, this, [&] { closed = true; });
    bad.connectToHost(QHostAddress::LocalHost, m_server->serverPort());
    QTRY_VERIFY(bad.state() == QAbstractSocket::ConnectedState || closed);
    QVERIFY(get(m_server->serverPort(), "/metrics").startsWith("HTTP/1.1 200 OK"));
    QTRY_VERIFY_WITH_TIMEOUT(closed, 15000);
    QCOMPARE(bad.readAll(), QByteArray());
}

void TestMetrics::promtoolFindsNoProblem()
{
    const QString promtool = QStandardPaths::findExecutable(QStringLiteral("promtool"));
    if (promtool.isEmpty())
        QSKIP("promtool is not installed (Debian package prometheus)");
    const QByteArray answer = get(m_server->serverPort(), "/metrics");
    const int body = answer.indexOf("\r\n\r\n");
    QVERIFY2(answer.startsWith("HTTP/1.1 200 OK") && body > 0, answer.constData());
    QProcess check;
    check.start(promtool, {QStringLiteral("check"), QStringLiteral("metrics")});
    QVERIFY(check.waitForStarted());
    check.write(answer.mid(body + 4));
    check.closeWriteChannel();
    QVERIFY(check.waitForFinished(30000));
    const QByteArray said = check.readAllStandardOutput() + check.readAllStandardError();
    QVERIFY2(check.exitCode() == 0 && said.trimmed().isEmpty(), said.constData());
}

// A real Prometheus with the recorder as its one target.
void TestMetrics::prometheusScrapesTheRecorder()
{
    const QString prometheus = QStandardPaths::findExecutable(QStringLiteral("prometheus"));
    if (prometheus.isEmpty())
        QSKIP("prometheus is not installed (Debian package prometheus)");
    quint16 webPort = 0;
    {
        QTcpServer free;
        QVERIFY(free.listen(QHostAddress::LocalHost, 0));
        webPort = free.serverPort();
    }
    QTemporaryDir dir;
    QFile config(dir.filePath(QStringLiteral("prometheus.yml")));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write("global:\n  scrape_interval: 1s\nscrape_configs:\n  - job_name: kx740d\n"
                 "    static_configs:\n      - targets: ['127.0.0.1:" +
                 QByteArray::number(m_server->serverPort()) + "']\n");
    config.close();
    QProcess server;
    server.setProcessChannelMode(QProcess::MergedChannels);
    QByteArray log;
    connect(&server, &QProcess::readyRead, this, [&] { log += server.readAll(); });
    server.start(prometheus,
                 {QStringLiteral("--config.file=") + config.fileName(),
                  QStringLiteral("--storage.tsdb.path=") + dir.filePath(QStringLiteral("data")),
                  QStringLiteral("--web.listen-address=127.0.0.1:%1").arg(webPort)});
    QVERIFY(server.waitForStarted());
    const auto stop = qScopeGuard([&server] {
        server.terminate();
        if (!server.waitForFinished(10000))
            server.kill();
        server.waitForFinished(5000);
    });
    const auto linkUp = [webPort] {
        const QByteArray answer =
            exchange(webPort, "GET /api/v1/query?query=kx740d_link_up HTTP/1.0\r\n\r\n")
                .value_or("");
        const QJsonObject data = QJsonDocument::fromJson(answer.mid(answer.indexOf("\r\n\r\n") + 4))
                                     .object()
                                     .value(QLatin1String("data"))
                                     .toObject();
        const QJsonArray result = data.value(QLatin1String("result")).toArray();
        if (result.size() != 1)
            return false;
        const QJsonObject series = result.first().toObject();
        return series.value(QLatin1String("metric"))
                       .toObject()
                       .value(QLatin1String("instrument")) == QLatin1String("sim") &&
               series.value(QLatin1String("value")).toArray().at(1) == QLatin1String("1");
    };
    QTRY_VERIFY2_WITH_TIMEOUT(linkUp(), log.right(3000).constData(), 60000);
}

QTEST_GUILESS_MAIN(TestMetrics)
#include "tst_metrics.moc"
