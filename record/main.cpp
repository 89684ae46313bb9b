// kx740d-record: records the instrument's readings without a window and
// appends them as a measurement to a data file; see README, "Headless
// recording".
#include "link/portdiscovery.h"
#include "record/metricsserver.h"
#include "record/recorder.h"
#include "record/recorderoptions.h"
#include "record/stopsignals.h"

#include <QCoreApplication>
#include <QLocale>
#include <QTextStream>
#include <QTimer>
#include <QTranslator>

#include <cstdio>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// The link's and driver's diagnostics are for the window program's log.
void quietDebug(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtDebugMsg || type == QtInfoMsg)
        return;
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

} // namespace

int main(int argc, char *argv[])
{
    qInstallMessageHandler(quietDebug);
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kx740d-record"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KX_VERSION));
    QTranslator english;
    if (QLocale::system().language() != QLocale::Chinese &&
        english.load(QStringLiteral("KX740D_EN"), QCoreApplication::applicationDirPath()))
        QCoreApplication::installTranslator(&english);
    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setCodec("UTF-8");
    err.setCodec("UTF-8");

    RecorderOptions options;
    options.status = ::isatty(STDOUT_FILENO) ? StatusMode::Terminal : StatusMode::Lines;
    winsize size{};
    if (options.status == StatusMode::Terminal && ::ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 &&
        size.ws_col > 1)
        options.statusWidth = size.ws_col - 1;
    QString message;
    switch (RecorderCommandLine::parse(QCoreApplication::arguments(), &options, &message)) {
    case RecorderCommandLine::Help:
    case RecorderCommandLine::Version:
        out << message << Qt::endl;
        return ExitDone;
    case RecorderCommandLine::Error:
        err << message << Qt::endl;
        return ExitUsage;
    case RecorderCommandLine::ListPorts:
        for (const QString &port : findInstrumentPorts())
            out << port << '\n';
        out.flush();
        return ExitDone;
    case RecorderCommandLine::Ok:
        break;
    }

    StopSignals stopSignals;
    Recorder recorder(options, out, err);
    // Before anything is recorded: a port that cannot be had ends the run
    // with the status of what may pass (it may be free at the next start).
    MetricsServer metrics([&recorder] { return recorder.metrics(); });
    if (options.metricsPort != 0) {
        const QHostAddress address(options.metricsAddress);
        if (!metrics.listen(address, options.metricsPort)) {
            err << MetricsServer::tr("无法在 %1 端口 %2 上提供指标：%3")
                       .arg(address.toString())
                       .arg(options.metricsPort)
                       .arg(metrics.errorString())
                << Qt::endl;
            return ExitFailure;
        }
    }
    QObject::connect(&stopSignals, &StopSignals::stopRequested, &recorder, &Recorder::stop);
    QObject::connect(&recorder, &Recorder::finished, &app, &QCoreApplication::exit);
    QTimer::singleShot(0, &recorder, &Recorder::start);
    return app.exec();
}
