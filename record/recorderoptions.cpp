#include "record/recorderoptions.h"

#include <QCommandLineParser>
#include <QRegularExpression>

#include <limits>

namespace {
// The instrument accepts at most one day.
constexpr int kMaxIntervalSeconds = 86400;
} // namespace

int parseSeconds(const QString &text)
{
    static const QRegularExpression whole(QStringLiteral("^(\\d+[smh])*(\\d+)?$"));
    static const QRegularExpression part(QStringLiteral("(\\d+)([smh]?)"));
    const QString t = text.trimmed().toLower();
    if (t.isEmpty() || !whole.match(t).hasMatch())
        return -1;
    qint64 total = 0;
    auto it = part.globalMatch(t);
    while (it.hasNext()) {
        const auto m = it.next();
        const QString unit = m.captured(2);
        const qint64 factor = unit == QLatin1String("h")   ? 3600
                              : unit == QLatin1String("m") ? 60
                                                           : 1;
        total += m.captured(1).toLongLong() * factor;
        if (m.captured(1).size() > 9 || total > std::numeric_limits<int>::max())
            return -1;
    }
    return int(total);
}

RecorderCommandLine::Result RecorderCommandLine::parse(const QStringList &args,
                                                       RecorderOptions *options, QString *message)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(tr("无人值守地记录仪器的读数，写入数据文件"));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, tr("显示此帮助"));
    const QCommandLineOption version(QStringLiteral("version"), tr("显示版本"));
    const QCommandLineOption port(QStringLiteral("port"),
                                  tr("仪器的端口（默认：找到的唯一一台仪器）"),
                                  QStringLiteral("DEV"));
    const QCommandLineOption out(QStringLiteral("out"), tr("数据文件；测量追加到其中（必需）"),
                                 QStringLiteral("FILE.dat"));
    const QCommandLineOption interval(QStringLiteral("interval"),
                                      tr("存储间隔，例如 1s、5m、1h（默认：仪器的设置）"),
                                      QStringLiteral("TIME"));
    const QCommandLineOption duration(QStringLiteral("duration"),
                                      tr("记录时长，例如 8h（默认：直到停止）"),
                                      QStringLiteral("TIME"));
    const QCommandLineOption name(QStringLiteral("name"), tr("测量名称（默认：开始时间）"),
                                  QStringLiteral("NAME"));
    const QCommandLineOption unit(QStringLiteral("unit"), tr("CSV 和状态显示的温度单位：C、F 或 K"),
                                  QStringLiteral("C|F|K"), QStringLiteral("C"));
    const QCommandLineOption csv(QStringLiteral("csv"), tr("每个存储的读数追加一行到此 CSV 文件"),
                                 QStringLiteral("FILE.csv"));
    const QCommandLineOption simulate(QStringLiteral("simulate"),
                                      tr("启动内置的仪器模拟器并从中记录"));
    const QCommandLineOption listPorts(QStringLiteral("list-ports"),
                                       tr("列出找到的仪器端口，每行一个"));
    const QCommandLineOption quiet(QStringLiteral("quiet"), tr("只显示错误"));
    parser.addOptions({help, version, port, out, interval, duration, name, unit, csv, simulate,
                       listPorts, quiet});

    if (!parser.parse(args)) {
        *message = parser.errorText();
        return Error;
    }
    if (parser.isSet(help)) {
        *message = parser.helpText();
        return Help;
    }
    if (parser.isSet(version)) {
        *message = QCoreApplication::applicationName() + QLatin1Char(' ') +
                   QCoreApplication::applicationVersion();
        return Version;
    }
    if (!parser.positionalArguments().isEmpty()) {
        *message = tr("多余的参数：%1").arg(parser.positionalArguments().join(QLatin1Char(' ')));
        return Error;
    }
    if (parser.isSet(listPorts))
        return ListPorts;

    RecorderOptions o = *options;
    o.out = parser.value(out);
    if (o.out.isEmpty()) {
        *message = tr("请用 --out 指定输出的数据文件。");
        return Error;
    }
    o.port = parser.value(port);
    if (parser.isSet(interval)) {
        const int seconds = parseSeconds(parser.value(interval));
        if (seconds <= 0 || seconds > kMaxIntervalSeconds) {
            *message = tr("无效的存储间隔：%1（1 秒到 24 小时）").arg(parser.value(interval));
            return Error;
        }
        o.intervalSeconds = quint32(seconds);
    }
    if (parser.isSet(duration)) {
        o.durationSeconds = parseSeconds(parser.value(duration));
        if (o.durationSeconds <= 0) {
            *message = tr("无效的记录时长：%1").arg(parser.value(duration));
            return Error;
        }
    }
    o.name = parser.value(name);
    const QString unitText = parser.value(unit).toUpper();
    if (unitText == QLatin1String("C"))
        o.unit = UnitCelsius;
    else if (unitText == QLatin1String("F"))
        o.unit = UnitFahrenheit;
    else if (unitText == QLatin1String("K"))
        o.unit = UnitKelvin;
    else {
        *message = tr("无效的温度单位：%1（C、F 或 K）").arg(parser.value(unit));
        return Error;
    }
    o.csv = parser.value(csv);
    o.simulate = parser.isSet(simulate);
    if (parser.isSet(quiet))
        o.status = StatusMode::Quiet;
    *options = o;
    return Ok;
}
