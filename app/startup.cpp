#include "app/startup.h"

#include "app/archivepage.h"
#include "app/instrumentpage.h"
#include "app/logging.h"
#include "app/mainwindow.h"
#include "app/shellrules.h"
#include "link/portdiscovery.h"
#include "resources/initresources.h"
#include "settings/settingsfile.h"
#include "sim/instrumentsimulator.h"
#include "widgets/programfile.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDebug>
#include <QFile>
#include <QFont>
#include <QTextStream>
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
        qCDebug(lcApp) << "no settings file read";
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
        qCWarning(lcApp) << "simulator not started:" << simulator->errorString();
        delete simulator;
        return QString();
    }
    return simulator->portPath();
}

namespace {

class Text
{
    Q_DECLARE_TR_FUNCTIONS(CommandLine)
};

void describeCommandLine(QCommandLineParser &parser)
{
    parser.setApplicationDescription(Text::tr("KX740D 四通道温度计的桌面程序"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({QStringLiteral("simulate"), Text::tr("使用内置的模拟仪器")});
    parser.addOption({QStringLiteral("connect"), Text::tr("启动后连接端口列表中的第一个端口")});
    parser.addOption({QStringLiteral("port"), Text::tr("把该端口加入端口列表（可重复）"),
                      QStringLiteral("NAME")});
    parser.addPositionalArgument(QStringLiteral("FILE.dat"), Text::tr("启动时打开的数据文件"),
                                 QStringLiteral("[FILE.dat]"));
}

} // namespace

int handleCommandLine(QCoreApplication &app)
{
    QCoreApplication::setApplicationName(QStringLiteral("kx740d"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KX_VERSION));
    const QList<QTranslator *> translators =
        installTranslators(app, readStartupLanguage(QStringLiteral("config.cfg")));
    QCommandLineParser parser;
    describeCommandLine(parser);
    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setCodec("UTF-8");
    err.setCodec("UTF-8");
    int status = -1;
    if (!parser.parse(QCoreApplication::arguments())) {
        err << parser.errorText() << "\n\n" << parser.helpText();
        status = 2;
    } else if (parser.isSet(QStringLiteral("help"))) {
        out << parser.helpText();
        status = 0;
    } else if (parser.isSet(QStringLiteral("version"))) {
        out << QCoreApplication::applicationName() << ' ' << QCoreApplication::applicationVersion()
            << '\n';
        status = 0;
    } else if (parser.positionalArguments().size() > 1) {
        err << Text::tr("只能打开一个数据文件。") << "\n\n" << parser.helpText();
        status = 2;
    }
    for (QTranslator *translator : translators)
        QCoreApplication::removeTranslator(translator);
    return status;
}

QString dataFileFromArguments(const QStringList &arguments)
{
    QCommandLineParser parser;
    describeCommandLine(parser);
    if (!parser.parse(arguments) || parser.positionalArguments().isEmpty())
        return QString();
    return parser.positionalArguments().first();
}

int runProgram(QApplication &app, const std::function<void(MainWindow &)> &ready)
{
    kxInitResources();

    QFont font(QStringLiteral("Consolas"));
    QApplication::setFont(font);

    const int language = readStartupLanguage(QStringLiteral("config.cfg"));
    qCDebug(lcApp) << "interface language" << language;
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
    const QString dataFile = dataFileFromArguments(QCoreApplication::arguments());
    if (!dataFile.isEmpty())
        window.archivePage()->openArchive(dataFile);
    // Once the event loop runs, so a failure box has a window behind it.
    if (connectAtStartup(QCoreApplication::arguments()))
        QTimer::singleShot(0, window.instrumentPage(), &InstrumentPage::connectToFirstPort);
    if (ready)
        ready(window);
    return app.exec();
}
