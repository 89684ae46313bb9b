#include "app/mainwindow.h"
#include "app/shellrules.h"
#include "app/startup.h"
#include "link/portdiscovery.h"
#include "resources/initresources.h"

#include <QApplication>
#include <QDebug>
#include <QFont>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    kxInitResources();

    QFont font(QStringLiteral("Consolas"));
    QApplication::setFont(font);

    const int language = readStartupLanguage(QStringLiteral("config.cfg"));
    qDebug() << "main load" << language;
    installTranslators(app, language);

    const QString simulatorPort = startSimulatorIfAsked(QCoreApplication::arguments(), &app);
    if (!simulatorPort.isEmpty()) {
        MainWindow::setPortSource([simulatorPort] {
            return findInstrumentPorts() + portsFromArguments(QCoreApplication::arguments()) +
                   QStringList{simulatorPort};
        });
    }

    MainWindow window;
    window.show();
    // Once the event loop runs, so a failure box has a window behind it.
    if (connectAtStartup(QCoreApplication::arguments()))
        QTimer::singleShot(0, &window, &MainWindow::connectToFirstPort);
    return app.exec();
}
