#include "app/desktopopener.h"

#include <QCoreApplication>
#include <QProcess>

namespace {

void runXdgOpen(const QString &path, const std::function<void()> &failed)
{
    // Not owned by a window: closing the window must not end an xdg-open
    // that waits for its viewer. The process deletes itself when it ends;
    // one still running when the program ends is killed alone, its viewer
    // stays.
    auto *process = new QProcess(QCoreApplication::instance());
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    QObject::connect(process, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished),
                     [process, failed](int code, QProcess::ExitStatus status) {
                         if (status != QProcess::NormalExit || code != 0)
                             failed();
                         process->deleteLater();
                     });
    QObject::connect(process, &QProcess::errorOccurred,
                     [process, failed](QProcess::ProcessError error) {
                         // Other errors end in finished().
                         if (error != QProcess::FailedToStart)
                             return;
                         failed();
                         process->deleteLater();
                     });
    process->start(QStringLiteral("xdg-open"), {path});
}

DesktopOpener &currentOpener()
{
    static DesktopOpener opener = runXdgOpen;
    return opener;
}

} // namespace

void setDesktopOpener(DesktopOpener opener)
{
    currentOpener() = opener ? std::move(opener) : DesktopOpener(runXdgOpen);
}

void openWithDesktopProgram(const QString &path, const std::function<void()> &failed)
{
    currentOpener()(path, failed);
}
