#include "app/startup.h"

#include "app/settingsfile.h"
#include "sim/instrumentsimulator.h"
#include "widgets/programfile.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFile>
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
