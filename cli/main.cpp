// kx740d-export: converts data files (.dat) to workbooks, PDF reports and CSV
// text without a window, with the program's own reading, chart and export
// code.
#include "chart/chartplot.h"
#include "export/dataoutput.h"
#include "resources/initresources.h"
#include "settings/settingsfile.h"
#include "stats/statisticscsv.h"
#include "store/datafile.h"
#include "store/measurementgroups.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTextStream>
#include <QTranslator>

#include <cmath>
#include <cstdio>

namespace {

// Context of the converter's translated texts.
struct ExportTool
{
    Q_DECLARE_TR_FUNCTIONS(ExportTool)
};

// Report drawing needs a platform; without a display the offscreen one does.
void chooseOffscreenWithoutDisplay()
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return;
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

// English texts unless the system speaks Chinese; the translation lies
// beside the program.
void installTranslator(QCoreApplication &app)
{
    if (QLocale::system().language() == QLocale::Chinese)
        return;
    auto *translator = new QTranslator(&app);
    if (translator->load(QCoreApplication::applicationDirPath() + QStringLiteral("/KX740D_EN.qm")))
        QCoreApplication::installTranslator(translator);
}

// "out.pdf" for a single file, "out_3.pdf" for measurement 3 of several.
QString numberedName(const QString &fileName, int number, bool several)
{
    if (!several)
        return fileName;
    const QFileInfo info(fileName);
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    const QString stem =
        suffix.isEmpty() ? fileName : fileName.left(fileName.size() - suffix.size());
    return stem + QStringLiteral("_%1").arg(number) + suffix;
}

// The export code's diagnostics are for the window program's log; here only
// warnings and worse reach standard error.
void quietDebug(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtDebugMsg || type == QtInfoMsg)
        return;
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

// The report's logo, company, tester and chart look: the program's defaults,
// replaced by what the settings file holds. Returns false after a message
// when an explicitly named file is missing or a file does not open; a damaged
// file is reported and leaves the defaults, and so is a logo that cannot be
// used, which leaves the default logo.
bool readReportSettings(const QString &path, bool named, AppSettings &settings, QTextStream &err)
{
    settings.logo = defaultLogo();
    settings.companyName = defaultCompanyName();
    settings.testerName = defaultTesterName();
    QString error;
    LogoRead logo = LogoRead::Whole;
    switch (readSettingsFile(path, settings, &error, &logo)) {
    case SettingsFileState::Read:
        if (logo == LogoRead::Dropped)
            err << droppedSettingsLogoText() << '\n';
        return true;
    case SettingsFileState::Missing:
        if (!named)
            return true;
        err << ExportTool::tr("找不到设置文件 %1。").arg(path) << '\n';
        return false;
    case SettingsFileState::Unreadable:
        err << ExportTool::tr("无法打开设置文件 %1：%2").arg(path, error) << '\n';
        return false;
    case SettingsFileState::Damaged:
        err << ExportTool::tr(
                   "%1 不是有效的设置文件，报告使用默认的标志、公司、测试人员和图表设置。")
                   .arg(path)
            << '\n';
        return true;
    }
    return true;
}

// A temperature or energy given on the command line: a finite number with
// '.' as decimal point, whatever the locale.
bool readNumber(const QString &text, double &value)
{
    bool ok = false;
    value = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(value);
}

struct StatisticsOptions
{
    QCommandLineOption stats;
    QCommandLineOption high;
    QCommandLineOption low;
    QCommandLineOption band;
    QCommandLineOption mktEnergy;
};

// The limits, band and activation energy of --stats. Returns false after a
// message when a value is not a number, a band's ends are reversed or the
// energy is not positive.
bool readStatisticsLimits(const QCommandLineParser &parser, const StatisticsOptions &o,
                          StatisticsLimits &limits, QTextStream &err)
{
    for (const QCommandLineOption *limit : {&o.high, &o.low}) {
        if (!parser.isSet(*limit))
            continue;
        double value = 0;
        if (!readNumber(parser.value(*limit), value)) {
            err << ExportTool::tr("--%1 的值无效：%2（应为摄氏温度）")
                       .arg(limit->names().first(), parser.value(*limit))
                << '\n';
            return false;
        }
        (limit == &o.high ? limits.high : limits.low) = value;
    }
    if (parser.isSet(o.band)) {
        const QStringList ends = parser.value(o.band).split(QLatin1Char(':'));
        double low = 0;
        double high = 0;
        if (ends.size() != 2 || !readNumber(ends[0], low) || !readNumber(ends[1], high) ||
            low > high) {
            err << ExportTool::tr("--band 的值无效：%1（应为 LO:HI，摄氏温度，LO 不大于 HI）")
                       .arg(parser.value(o.band))
                << '\n';
            return false;
        }
        limits.bandLow = low;
        limits.bandHigh = high;
    }
    if (parser.isSet(o.mktEnergy)) {
        double energy = 0;
        if (!readNumber(parser.value(o.mktEnergy), energy) || energy <= 0) {
            err << ExportTool::tr("--mkt-dh 的值无效：%1（应为大于 0 的活化能，单位 kJ/mol）")
                       .arg(parser.value(o.mktEnergy))
                << '\n';
            return false;
        }
        limits.mktActivation = mktActivationFromKiloJoules(energy);
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    chooseOffscreenWithoutDisplay();
    qInstallMessageHandler(quietDebug);
    // The report's chart is drawn by a widget.
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kx740d-export"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KX_VERSION));
    kxInitResources();
    installTranslator(app);
    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setCodec("UTF-8");
    err.setCodec("UTF-8");

    QCommandLineParser parser;
    parser.setApplicationDescription(
        ExportTool::tr("把数据文件转换为 Excel 工作簿、PDF 报告或 CSV 文本"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE.dat"), ExportTool::tr("数据文件"));
    const QCommandLineOption xlsx(QStringLiteral("xlsx"), ExportTool::tr("写入工作簿（所有测量）"),
                                  QStringLiteral("OUT.xlsx"));
    const QCommandLineOption pdf(QStringLiteral("pdf"),
                                 ExportTool::tr("写入 PDF 报告（每个测量一个）"),
                                 QStringLiteral("OUT.pdf"));
    const QCommandLineOption csv(QStringLiteral("csv"),
                                 ExportTool::tr("写入 CSV 文本（每个测量一个）"),
                                 QStringLiteral("OUT.csv"));
    const QCommandLineOption unitOption(QStringLiteral("unit"),
                                        ExportTool::tr("温度单位：C、F 或 K"),
                                        QStringLiteral("C|F|K"), QStringLiteral("C"));
    const QCommandLineOption measurementOption(
        QStringLiteral("measurement"),
        ExportTool::tr("只导出第 N 个测量（从 1 开始）；它属于多台仪器同时记录的一组时导出整组"),
        QStringLiteral("N"));
    const QCommandLineOption single(
        QStringLiteral("single"),
        ExportTool::tr("与 --measurement 一起：只导出这一个测量，不导出它所在的组"));
    const QCommandLineOption list(QStringLiteral("list"), ExportTool::tr("列出文件中的测量"));
    const QCommandLineOption configOption(
        QStringLiteral("config"),
        ExportTool::tr(
            "报告的标志、公司、测试人员和图表设置所在的设置文件（默认为工作目录中的 config.cfg）"),
        QStringLiteral("FILE"), QStringLiteral("config.cfg"));
    const StatisticsOptions statsOptions{
        {QStringLiteral("stats"),
         ExportTool::tr(
             "把每个测量各通道的统计（读数、最小值、最大值、平均值、标准差、平均动力学温度、"
             "超限时间）以 CSV 写到标准输出")},
        {QStringLiteral("high"), ExportTool::tr("与 --stats 一起：计算高于 T ℃ 的时间"),
         QStringLiteral("T")},
        {QStringLiteral("low"), ExportTool::tr("与 --stats 一起：计算低于 T ℃ 的时间"),
         QStringLiteral("T")},
        {QStringLiteral("band"),
         ExportTool::tr("与 --stats 一起：计算在 LO 到 HI ℃ 之间（含两端）的时间"),
         QStringLiteral("LO:HI")},
        {QStringLiteral("mkt-dh"),
         ExportTool::tr("与 --stats 一起：平均动力学温度的活化能 ΔH（kJ/mol，默认 83.144）"),
         QStringLiteral("KJ_PER_MOL")}};
    parser.addOptions({xlsx, pdf, csv, unitOption, measurementOption, single, list, configOption,
                       statsOptions.stats, statsOptions.high, statsOptions.low, statsOptions.band,
                       statsOptions.mktEnergy});
    parser.process(app);

    const QStringList files = parser.positionalArguments();
    if (files.size() != 1) {
        err << ExportTool::tr("请指定一个数据文件。") << '\n' << parser.helpText();
        return 1;
    }
    const QString unitText = parser.value(unitOption).toUpper();
    const QMap<QString, int> units{
        {QStringLiteral("C"), 0}, {QStringLiteral("F"), 1}, {QStringLiteral("K"), 2}};
    if (!units.contains(unitText)) {
        err << ExportTool::tr("未知的温度单位：%1（可用 C、F、K）").arg(parser.value(unitOption))
            << '\n';
        return 1;
    }
    const int unit = units.value(unitText);

    // The statistics go to standard output as CSV, so nothing else may.
    const bool stats = parser.isSet(statsOptions.stats);
    if (stats && (parser.isSet(list) || parser.isSet(xlsx) || parser.isSet(pdf) ||
                  parser.isSet(csv) || unit != 0)) {
        err << ExportTool::tr("--stats 只输出摄氏温度，不能与 --xlsx、--pdf、--csv、--list 或 "
                              "--unit F|K 一起使用。")
            << '\n';
        return 1;
    }
    if (!stats && (parser.isSet(statsOptions.high) || parser.isSet(statsOptions.low) ||
                   parser.isSet(statsOptions.band) || parser.isSet(statsOptions.mktEnergy))) {
        err << ExportTool::tr("--high、--low、--band 和 --mkt-dh 只能与 --stats 一起使用。")
            << '\n';
        return 1;
    }
    if (parser.isSet(single) && !parser.isSet(measurementOption)) {
        err << ExportTool::tr("--single 只能与 --measurement 一起使用。") << '\n';
        return 1;
    }
    StatisticsLimits limits;
    if (stats && !readStatisticsLimits(parser, statsOptions, limits, err))
        return 1;

    QFile file(files.first());
    if (!file.open(QIODevice::ReadOnly)) {
        err << ExportTool::tr("无法打开文件 %1：%2").arg(file.fileName(), file.errorString())
            << '\n';
        return 1;
    }
    Data_table_T archive;
    if (!dataFileFromFile(file, archive)) {
        err << ExportTool::tr("%1 不是有效的数据文件。").arg(file.fileName()) << '\n';
        return 1;
    }

    QList<int> chosen; // 0-based indexes of the measurements to export
    // What the reports and the workbook show: the chosen measurement's group
    // (alone with --single), or every measurement and group of the file.
    QVector<ExportSource> sources;
    QList<int> sourceNumbers; // 1-based number of each source's first measurement
    if (parser.isSet(measurementOption)) {
        bool ok = false;
        const int n = parser.value(measurementOption).toInt(&ok);
        if (!ok || n < 1 || n > archive.lists.size()) {
            err << ExportTool::tr("没有第 %1 个测量（文件中有 %2 个）。")
                       .arg(parser.value(measurementOption))
                       .arg(archive.lists.size())
                << '\n';
            return 1;
        }
        chosen << n - 1;
        if (parser.isSet(single)) {
            sources << singleSource(*archive.lists[n - 1]);
            sourceNumbers << n;
        } else {
            const MeasurementGroup group = groupOf(archive, n - 1);
            sources << exportSource(archive, n - 1);
            sourceNumbers << group.first + 1;
        }
    } else {
        for (int i = 0; i < archive.lists.size(); ++i)
            chosen << i;
        for (const MeasurementGroup &group : measurementGroups(archive))
            sourceNumbers << group.first + 1;
        sources = exportSources(archive);
    }

    if (parser.isSet(list)) {
        for (int i = 0; i < archive.lists.size(); ++i) {
            const Data_List_T *m = archive.lists[i];
            out << i + 1 << '\t' << m->name << '\t'
                << m->created.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) << '\t'
                << m->records.size() << '\n';
        }
    }
    if (stats) {
        out << statisticsCsvHeader() << '\n';
        for (const int i : chosen) {
            const Data_List_T &m = *archive.lists[i];
            for (const QString &line :
                 statisticsCsvLines(m.name, measurementStatistics(m, limits), limits))
                out << line << '\n';
        }
        return 0;
    }
    if (!parser.isSet(list) && !parser.isSet(xlsx) && !parser.isSet(pdf) && !parser.isSet(csv)) {
        err << ExportTool::tr("请至少指定 --xlsx、--pdf、--csv、--list 或 --stats 之一。") << '\n';
        return 1;
    }

    AppSettings settings;
    if ((parser.isSet(pdf) || parser.isSet(configOption)) &&
        !readReportSettings(parser.value(configOption), parser.isSet(configOption), settings, err))
        return 1;

    const auto wrote = [&](const QString &name, int records) {
        out << ExportTool::tr("已写入 %1（%2 条记录）").arg(name).arg(records) << '\n';
    };
    DataOutput output;
    output.setAlarmLimits(alarmLimits(settings));
    const auto failed = [&](const QString &name) {
        err << ExportTool::tr("无法写入 %1：%2").arg(name, output.errorString()) << '\n';
        return 1;
    };
    const auto recordsOf = [](const ExportSource &source) {
        int records = 0;
        for (const Data_List_T &m : source.measurements)
            records += m.records.size();
        return records;
    };
    if (parser.isSet(xlsx)) {
        if (!output.exportXls(sources, parser.value(xlsx), unit))
            return failed(parser.value(xlsx));
        int records = 0;
        for (const ExportSource &source : qAsConst(sources))
            records += recordsOf(source);
        wrote(parser.value(xlsx), records);
    }
    for (int s = 0; parser.isSet(pdf) && s < sources.size(); ++s) {
        const ExportSource &source = sources[s];
        const QString name = numberedName(parser.value(pdf), sourceNumbers[s], sources.size() > 1);
        // The window program's font, which the chart's legend takes.
        const QFont font(QStringLiteral("Consolas"));
        const QImage chart = source.isGroup()
                                 ? groupChartImage(source.measurements, source.labels, unit,
                                                   chartLook(settings), font)
                                 : recordsChartImage(source.measurements.first().records, unit,
                                                     chartLook(settings), font);
        const auto &colors = settings.channelColor;
        if (!output.exportPdf(source, name, unit, settings.logo, chart, settings.companyName,
                              settings.testerName, QString(), colors[0], colors[1], colors[2],
                              colors[3]))
            return failed(name);
        wrote(name, recordsOf(source));
    }
    const bool several = chosen.size() > 1;
    for (const int i : chosen) {
        const Data_List_T &m = *archive.lists[i];
        if (parser.isSet(csv)) {
            const QString name = numberedName(parser.value(csv), i + 1, several);
            if (!output.exportCsv(m, name, unit))
                return failed(name);
            wrote(name, m.records.size());
        }
    }
    return 0;
}
