// kx740d-sim: a simulated KX740D on a pseudo-terminal. Prints the port path
// on one line of standard output and serves the instrument protocol there
// until SIGINT or SIGTERM.

#include "sim/instrumentsimulator.h"
#include "sim/simulatoroptions.h"

#include <QCoreApplication>
#include <QLocale>
#include <QSocketNotifier>
#include <QTranslator>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {

int g_signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char c = 1;
    // Nothing to do if the pipe is full: a quit is already pending.
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &c, 1);
}

void printLine(const QString &text, FILE *to)
{
    std::fputs(text.toLocal8Bit().constData(), to);
    std::fputc('\n', to);
    std::fflush(to);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kx740d-sim"));

    // The texts are written in Chinese; other users get the English catalogue.
    QTranslator english;
    if (QLocale::system().language() != QLocale::Chinese &&
        english.load(QStringLiteral("KX740D_EN"), QCoreApplication::applicationDirPath()))
        QCoreApplication::installTranslator(&english);

    SimulatorOptions options;
    options.ownThread = false; // the event loop here serves the instrument only
    QString message;
    switch (SimulatorCommandLine::parse(QCoreApplication::arguments(), &options, &message)) {
    case SimulatorCommandLine::HelpShown:
        printLine(message, stdout);
        return 0;
    case SimulatorCommandLine::Error:
        printLine(message, stderr);
        return 2;
    case SimulatorCommandLine::Ok:
        break;
    }

    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        std::perror("pipe2");
        return 1;
    }
    QSocketNotifier quitNotifier(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&quitNotifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    struct sigaction sa = {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);

    InstrumentSimulator simulator(options);
    QObject::connect(&simulator, &InstrumentSimulator::portOpened,
                     [](const QString &path) { printLine(path, stdout); });
    QObject::connect(&simulator, &InstrumentSimulator::portClosed, [] {
        printLine(QCoreApplication::translate("kx740d-sim", "端口已断开"), stderr);
    });
    if (!simulator.start()) {
        printLine(simulator.errorString(), stderr);
        return 1;
    }
    printLine(simulator.portPath(), stdout);

    const int rc = QCoreApplication::exec();
    simulator.stop();
    return rc;
}
