#include "app/startup.h"

#include "app/mainwindow.h"
#include "app/shellrules.h"
#include "link/portdiscovery.h"
#include "resources/initresources.h"
#include "settings/settingsfile.h"
#include "sim/instrumentsimulator.h"
#include "widgets/programfile.h"

#include <QApplication>
#include <QDebug>
#include <QFile>
#include <QFont>
#include <QTimer>
#include <QTranslator>

#include <exception>

int readStartupLanguage(const QString &settingsFile)
{
    int language = kLanguageEnglish;
    try {
        QFile file(settingsFile);
        if (file.open(QIODevice::ReadOnly)) {
            AppSettings settings;
            if (decodeSettings(file.readAll(), settings))
                language = settings.language;
        }
    } catch (const std::exception &) {
        qDebug() << "file load fail";
    }
    return language;
}

QList<QTranslator *> installTranslators(QCoreApplication &app, int language)
{
    auto *chinese = new QTranslator(&app);
    auto *english = new QTranslator(&app);
    chinese->load(programFilePath(QStringLiteral("ZH.qm")));
    english->load(programFilePath(QStringLiteral("KX740D_EN.qm")));

    QList<QTranslator *> installed;
    if (language == kLanguageEnglish) {
        installed << english;
    } else if (language == kLanguageChinese) {
        auto *toolkit = new QTranslator(&app);
        toolkit->load(programFilePath(QStringLiteral("widgets_zh_cn.qm")));
        installed << chinese << toolkit;
    }
    for (QTranslator *translator : qAsConst(installed))
        app.installTranslator(translator);
    return installed;
}

QString startSimulatorIfAsked(const QStringList &arguments, QObject *owner)
{
    if (!arguments.contains(QStringLiteral("--simulate")))
        return QString();
    auto *simulator = new InstrumentSimulator(SimulatorOptions(), owner);
    if (!simulator->start()) {
        qDebug() << "simulator not started:" << simulator->errorString();
        delete simulator;
        return QString();
    }
    return simulator->portPath();
}

int runProgram(QApplication &app, const std::function<void(MainWindow &)> &ready)
{
    kxInitResources();

    QFont font(QStringLiteral("Consolas"));
    QApplication::setFont(font);

    const int language = readStartupLanguage(QStringLiteral("config.cfg"));
    qDebug() << "main load" << language;
    installTranslators(app, language);

    // The simulator stops before the application object goes, while its
    // thread can still hand the simulator's timers back to this one.
    QObject simulatorOwner;
    const QString simulatorPort =
        startSimulatorIfAsked(QCoreApplication::arguments(), &simulatorOwner);
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
    if (ready)
        ready(window);
    return app.exec();
}
