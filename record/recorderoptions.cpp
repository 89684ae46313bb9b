#include "record/recorderoptions.h"

#include "measurement/instrumentlabels.h"

#include "alarm/settingslimits.h"
#include "mqtt/mqttclientid.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QRegularExpression>
#include <QStandardPaths>

#include <cmath>
#include <limits>

namespace {
// Each simulator is a thread and a pseudo-terminal.
constexpr int kMaxSimulators = 64;
// The instrument accepts at most one day.
constexpr int kMaxIntervalSeconds = 86400;

bool readFirstLine(const QString &path, QString *text, QString *why)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *why = RecorderCommandLine::tr("无法读取密码文件 %1：%2").arg(path, file.errorString());
        return false;
    }
    QByteArray line = file.readLine(4096);
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    *text = QString::fromUtf8(line);
    return true;
}

// The path of the credential `name` that systemd handed to the service, or
// empty. The unit's default for a credential whose file is missing is a
// single newline: a credential of white space only is none.
QString credentialFile(const char *name)
{
    const QString dir = qEnvironmentVariable(kCredentialsDirectoryVariable);
    if (dir.isEmpty())
        return QString();
    QFile file(QDir(dir).filePath(QLatin1String(name)));
    if (!file.exists() || (file.open(QIODevice::ReadOnly) && file.read(4096).trimmed().isEmpty()))
        return QString();
    return file.fileName();
}

// A bare port name is a device in /dev, as the window takes the system's
// port names, unless the working folder holds a file of that name (a
// pseudo-terminal linked there): then that file, by its absolute path.
QString portFromCommandLine(const QString &port)
{
    if (port.isEmpty() || port.contains(QLatin1Char('/')) || !QFileInfo::exists(port))
        return port;
    return QFileInfo(port).absoluteFilePath();
}

// "[LABEL:]T1=100" in `unit`: the instrument's label (empty: every
// instrument), the channel (0 to 3) and the limit in degrees Celsius.
bool parseLimit(const QString &text, int unit, QString *label, int *channel, float *celsius)
{
    static const QRegularExpression form(
        QStringLiteral("^(?:([A-Za-z0-9_-]{1,32}):)?[tT]([1-4])=(.+)$"));
    const auto m = form.match(text.trimmed());
    bool ok = false;
    const double value = m.hasMatch() ? m.captured(3).trimmed().toDouble(&ok) : 0.0;
    if (!ok || !std::isfinite(value))
        return false;
    *label = m.captured(1);
    *channel = m.captured(2).toInt() - 1;
    *celsius = unitToCelsius(float(value), unit);
    return true;
}

struct Limit
{
    QString label;
    bool isHigh = true;
    int channel = 0;
    float celsius = 0;
};

void applyLimit(const Limit &limit, AlarmSettings *alarms)
{
    ChannelLimits &c = alarms->channels[limit.channel];
    (limit.isHigh ? c.hasHigh : c.hasLow) = true;
    (limit.isHigh ? c.high : c.low) = limit.celsius;
}

bool limitsInOrder(const AlarmSettings &alarms, const QString &label, QString *message)
{
    for (int ch = 0; ch < kChannelCount; ++ch) {
        const ChannelLimits &c = alarms.channels[ch];
        if (c.hasHigh && c.hasLow && c.low > c.high) {
            *message =
                label.isEmpty()
                    ? RecorderCommandLine::tr("T%1 的下限高于上限。").arg(ch + 1)
                    : RecorderCommandLine::tr("%1 的 T%2 的下限高于上限。").arg(label).arg(ch + 1);
            return false;
        }
    }
    return true;
}

// The alarm options into `o` (whose unit is set). False and `message` when
// one cannot be used.
bool parseAlarmOptions(const QCommandLineParser &parser, const QCommandLineOption &high,
                       const QCommandLineOption &low, const QCommandLineOption &settingsFile,
                       const QCommandLineOption &hysteresis, const QCommandLineOption &delay,
                       const QCommandLineOption &link, const QCommandLineOption &onAlarm,
                       RecorderOptions *o, QString *message)
{
    AlarmSettings &alarms = o->alarms;
    if (parser.isSet(settingsFile)) {
        const QString path = parser.value(settingsFile);
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            *message =
                RecorderCommandLine::tr("无法读取设置文件 %1：%2").arg(path, file.errorString());
            return false;
        }
        if (!alarmLimitsFromSettingsFile(file.readAll(), &alarms)) {
            *message = RecorderCommandLine::tr("%1 不是本程序的设置文件（config.cfg）。").arg(path);
            return false;
        }
    }
    QVector<Limit> limits;
    for (const bool isHigh : {true, false}) {
        for (const QString &text : parser.values(isHigh ? high : low)) {
            Limit limit;
            limit.isHigh = isHigh;
            if (!parseLimit(text, o->unit, &limit.label, &limit.channel, &limit.celsius)) {
                *message = RecorderCommandLine::tr("无效的报警限值：%1（例如 T1=100 或 "
                                                   "oven:T1=100）")
                               .arg(text);
                return false;
            }
            limits.append(limit);
        }
    }
    for (const Limit &limit : limits)
        if (limit.label.isEmpty())
            applyLimit(limit, &alarms);
    if (parser.isSet(hysteresis)) {
        bool ok = false;
        const double value = parser.value(hysteresis).toDouble(&ok);
        if (!ok || !(value >= 0 && value <= 1000)) {
            *message = RecorderCommandLine::tr("无效的回差：%1").arg(parser.value(hysteresis));
            return false;
        }
        // A difference: a Fahrenheit degree is 1/1.8 of a Celsius one.
        alarms.hysteresis = float(o->unit == UnitFahrenheit ? value / 1.8 : value);
    }
    const std::pair<const QCommandLineOption *, qint64 *> times[] = {{&delay, &alarms.delayMs},
                                                                     {&link, &alarms.linkLostMs}};
    for (const auto &t : times) {
        if (!parser.isSet(*t.first))
            continue;
        const int seconds = parseSeconds(parser.value(*t.first));
        if (seconds < 0) {
            *message = RecorderCommandLine::tr("无效的时间：--%1 %2")
                           .arg(t.first->names().constFirst(), parser.value(*t.first));
            return false;
        }
        *t.second = qint64(seconds) * 1000;
    }
    // An instrument's own limits go over those of every instrument.
    for (const Limit &limit : limits)
        if (!limit.label.isEmpty())
            o->instrumentAlarms.insert(limit.label, alarms);
    for (const Limit &limit : limits)
        if (!limit.label.isEmpty())
            applyLimit(limit, &o->instrumentAlarms[limit.label]);
    if (!limitsInOrder(alarms, QString(), message))
        return false;
    for (auto it = o->instrumentAlarms.cbegin(); it != o->instrumentAlarms.cend(); ++it)
        if (!limitsInOrder(it.value(), it.key(), message))
            return false;
    if (parser.isSet(onAlarm)) {
        const QString program = parser.value(onAlarm);
        o->alarmProgram = program.contains(QLatin1Char('/'))
                              ? QFileInfo(program).absoluteFilePath()
                              : QStandardPaths::findExecutable(program);
        if (o->alarmProgram.isEmpty() || !QFileInfo(o->alarmProgram).isExecutable() ||
            QFileInfo(o->alarmProgram).isDir()) {
            *message = RecorderCommandLine::tr("告警程序 %1 不存在或不可执行。").arg(program);
            return false;
        }
    }
    return true;
}

// Each --port [LABEL=]DEV into `o`. A label is what comes before the first
// "=" when that holds no "/" (a device path never starts so). A label or a
// port given twice is refused: the files and topics of two instruments
// would be the same.
bool parsePorts(const QStringList &texts, RecorderOptions *o, QString *message)
{
    for (const QString &text : texts) {
        InstrumentPort instrument;
        const int equals = text.indexOf(QLatin1Char('='));
        QString device = text;
        if (equals >= 0 && !text.leftRef(equals).contains(QLatin1Char('/'))) {
            instrument.label = text.left(equals);
            device = text.mid(equals + 1);
            if (checkInstrumentLabel(instrument.label, {}) != LabelCheck::Ok || device.isEmpty()) {
                *message = RecorderCommandLine::tr(
                               "无效的端口：%1（标签=设备，标签为 1 到 32 个字母、数字、_ 或 -）")
                               .arg(text);
                return false;
            }
        }
        instrument.port = portFromCommandLine(device);
        for (const InstrumentPort &other : qAsConst(o->ports)) {
            if (other.port == instrument.port) {
                *message = RecorderCommandLine::tr("端口 %1 给出了两次。").arg(device);
                return false;
            }
            if (!instrument.label.isEmpty() && other.label == instrument.label) {
                *message = RecorderCommandLine::tr("标签 %1 给出了两次；每台仪器需要自己的标签。")
                               .arg(instrument.label);
                return false;
            }
        }
        o->ports.append(instrument);
    }
    return true;
}

// --metrics [ADDRESS:]PORT; an IPv6 address may stand in brackets.
bool parseMetrics(const QString &text, RecorderOptions *o, QString *message)
{
    const int colon = text.lastIndexOf(QLatin1Char(':'));
    QString address = colon < 0 ? o->metricsAddress : text.left(colon);
    if (address.startsWith(QLatin1Char('[')) && address.endsWith(QLatin1Char(']')))
        address = address.mid(1, address.size() - 2);
    bool ok = false;
    const uint port = text.mid(colon + 1).toUInt(&ok);
    if (!ok || port == 0 || port > 65535 || QHostAddress(address).isNull()) {
        *message =
            RecorderCommandLine::tr("无效的指标地址：%1（[地址:]端口，例如 9740 或 0.0.0.0:9740）")
                .arg(text);
        return false;
    }
    o->metricsAddress = address;
    o->metricsPort = quint16(port);
    return true;
}

} // namespace

AlarmSettings alarmsOf(const RecorderOptions &options, const QString &label)
{
    return options.instrumentAlarms.value(label, options.alarms);
}

QString instrumentLabel(const QString &given, const QString &port, const QString &byPathFolder)
{
    if (!given.isEmpty())
        return given;
    // The window names an instrument it finds the same way, so one
    // instrument carries one label in both programs.
    return defaultInstrumentLabel(port, portPlace(port, byPathFolder), {});
}

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

bool readPasswordFile(const QString &path, QString *password, QString *why)
{
    QFile file(path);
    if (!file.exists()) {
        *why = RecorderCommandLine::tr("密码文件 %1 不存在。").arg(path);
        return false;
    }
    if (file.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther)) {
        *why = RecorderCommandLine::tr(
                   "密码文件 %1 可被其所有者以外的用户读取；请先执行 chmod 600 %1。")
                   .arg(path);
        return false;
    }
    return readFirstLine(path, password, why);
}

RecorderCommandLine::Result RecorderCommandLine::parse(const QStringList &args,
                                                       RecorderOptions *options, QString *message)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(tr("无人值守地记录仪器的读数，写入数据文件"));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, tr("显示此帮助"));
    const QCommandLineOption version(QStringLiteral("version"), tr("显示版本"));
    const QCommandLineOption port(
        QStringLiteral("port"),
        tr("仪器的端口（默认：找到的唯一一台仪器）；LABEL= 前缀给出它的标签（文件、测量、主题和"
           "指标中）；可重复，同时记录多台仪器"),
        QStringLiteral("[LABEL=]DEV"));
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
    const QCommandLineOption split(
        QStringLiteral("split"),
        tr("每天、每周或每月写一个数据文件（oven.dat → oven_2026-12-08.dat）"),
        QStringLiteral("day|week|month"));
    const QCommandLineOption simulate(QStringLiteral("simulate"),
                                      tr("启动内置的仪器模拟器并从中记录；--simulate=N "
                                         "或重复给出时启动 N 台（标签 sim1 … simN）"));
    const QCommandLineOption all(QStringLiteral("all"),
                                 tr("记录找到的每一台仪器，包括记录时才接上的仪器"));
    const QCommandLineOption listPorts(QStringLiteral("list-ports"),
                                       tr("列出找到的仪器端口，每行一个"));
    const QCommandLineOption quiet(QStringLiteral("quiet"), tr("只显示错误"));
    const QCommandLineOption mqtt(QStringLiteral("mqtt"),
                                  tr("把读数发布到此 MQTT 代理：mqtt://主机[:端口] 或 mqtts://…"),
                                  QStringLiteral("URL"));
    const QCommandLineOption mqttPrefix(QStringLiteral("mqtt-prefix"),
                                        tr("主题前缀（默认：kx740d/仪器名称）"),
                                        QStringLiteral("TOPIC"));
    const QCommandLineOption mqttUser(QStringLiteral("mqtt-user"), tr("代理的用户名"),
                                      QStringLiteral("NAME"));
    const QCommandLineOption mqttPasswordFile(
        QStringLiteral("mqtt-password-file"),
        tr("从此文件的第一行读取代理的密码（只有文件的所有者可以读取：chmod 600）；"
           "未给出时使用 systemd 凭据 %1，其次是环境变量 %2")
            .arg(QLatin1String(kMqttPasswordCredential), QLatin1String(kMqttPasswordVariable)),
        QStringLiteral("FILE"));
    const QCommandLineOption mqttCa(QStringLiteral("mqtt-ca"), tr("mqtts：签发代理证书的 CA 文件"),
                                    QStringLiteral("FILE"));
    const QCommandLineOption mqttCert(QStringLiteral("mqtt-cert"), tr("mqtts：客户端证书（PEM）"),
                                      QStringLiteral("FILE"));
    const QCommandLineOption mqttKey(
        QStringLiteral("mqtt-key"),
        tr("mqtts：客户端证书的私钥（PEM）；未给出时使用 systemd 凭据 %1（如有）")
            .arg(QLatin1String(kMqttKeyCredential)),
        QStringLiteral("FILE"));
    const QCommandLineOption mqttDiscovery(QStringLiteral("mqtt-discovery"),
                                           tr("发布 Home Assistant 自动发现信息"));
    const QCommandLineOption high(QStringLiteral("high"),
                                  tr("通道的报警上限，单位同 --unit，例如 T1=100；LABEL:T1=100 "
                                     "只用于该标签的仪器（可重复）"),
                                  QStringLiteral("[LABEL:]Tn=VALUE"));
    const QCommandLineOption low(QStringLiteral("low"),
                                 tr("通道的报警下限，单位同 --unit，例如 T4=-10；LABEL:T4=-10 "
                                    "只用于该标签的仪器（可重复）"),
                                 QStringLiteral("[LABEL:]Tn=VALUE"));
    const QCommandLineOption settingsFile(
        QStringLiteral("settings"),
        tr("使用窗口程序的设置文件中已开启的报警限值；--high 和 --low 优先"),
        QStringLiteral("config.cfg"));
    const QCommandLineOption hysteresis(
        QStringLiteral("hysteresis"),
        tr("回差：读数回到限值以内这么多后告警才解除，单位同 --unit（默认：0.5 ℃）"),
        QStringLiteral("DEGREES"));
    const QCommandLineOption alarmDelay(QStringLiteral("alarm-delay"),
                                        tr("条件持续这么久后才告警，例如 30s（默认：0）"),
                                        QStringLiteral("TIME"));
    const QCommandLineOption alarmLink(
        QStringLiteral("alarm-link"), tr("与仪器的连接断开这么久后告警；0 表示不告警（默认：30s）"),
        QStringLiteral("TIME"));
    const QCommandLineOption onAlarm(
        QStringLiteral("on-alarm"),
        tr("每次告警发生和解除时运行此程序（不经过 shell），详情在环境变量 KX740D_ALARM_* 中"),
        QStringLiteral("PROGRAM"));
    const QCommandLineOption metrics(
        QStringLiteral("metrics"),
        tr("在此端口以 HTTP 提供 Prometheus/OpenMetrics 指标（路径 /metrics）；"
           "默认只在本机 127.0.0.1 上，0.0.0.0:端口 或 [::]:端口 对外提供"),
        QStringLiteral("[ADDRESS:]PORT"));
    parser.addOptions({help,
                       version,
                       port,
                       out,
                       interval,
                       duration,
                       name,
                       unit,
                       csv,
                       simulate,
                       all,
                       listPorts,
                       quiet,
                       mqtt,
                       mqttPrefix,
                       mqttUser,
                       mqttPasswordFile,
                       mqttCa,
                       mqttCert,
                       mqttKey,
                       mqttDiscovery,
                       split,
                       high,
                       low,
                       settingsFile,
                       hysteresis,
                       alarmDelay,
                       alarmLink,
                       onAlarm,
                       metrics});

    // --simulate=N stands for N times --simulate.
    QStringList expanded;
    for (const QString &arg : args) {
        if (!arg.startsWith(QLatin1String("--simulate="))) {
            expanded << arg;
            continue;
        }
        bool ok = false;
        const int count = arg.mid(11).toInt(&ok);
        if (!ok || count < 1 || count > kMaxSimulators) {
            *message = tr("无效的模拟器数量：%1（1 到 %2）").arg(arg.mid(11)).arg(kMaxSimulators);
            return Error;
        }
        for (int i = 0; i < count; ++i)
            expanded << QStringLiteral("--simulate");
    }
    if (!parser.parse(expanded)) {
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
    if (!parsePorts(parser.values(port), &o, message))
        return Error;
    o.allPorts = parser.isSet(all);
    if (parser.isSet(metrics) && !parseMetrics(parser.value(metrics), &o, message))
        return Error;
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
    if (!parseAlarmOptions(parser, high, low, settingsFile, hysteresis, alarmDelay, alarmLink,
                           onAlarm, &o, message))
        return Error;
    o.csv = parser.value(csv);
    if (parser.isSet(split) && !parseSplitMode(parser.value(split), &o.split)) {
        *message = tr("无效的分割方式：%1（day、week 或 month）").arg(parser.value(split));
        return Error;
    }
    o.simulate = int(parser.optionNames().count(QStringLiteral("simulate")));
    if (o.simulate > kMaxSimulators) {
        *message = tr("无效的模拟器数量：%1（1 到 %2）").arg(o.simulate).arg(kMaxSimulators);
        return Error;
    }
    if (parser.isSet(quiet))
        o.status = StatusMode::Quiet;
    if (parser.isSet(mqtt)) {
        o.mqtt.enabled = true;
        o.mqtt.url = parser.value(mqtt);
        o.mqtt.prefix = parser.value(mqttPrefix);
        o.mqtt.user = parser.value(mqttUser);
        o.mqtt.caFile = parser.value(mqttCa);
        o.mqtt.certFile = parser.value(mqttCert);
        // The unit hands over a key credential whether or not the address
        // uses TLS; only mqtts takes it.
        const bool tls = o.mqtt.url.startsWith(QLatin1String("mqtts://"), Qt::CaseInsensitive);
        o.mqtt.keyFile = parser.isSet(mqttKey) ? parser.value(mqttKey)
                         : tls                 ? credentialFile(kMqttKeyCredential)
                                               : QString();
        o.mqtt.discovery = parser.isSet(mqttDiscovery);
        // Two recorders of instruments of one name need client ids of their
        // own; they never write the same file.
        o.mqtt.instance = publisherInstanceOfFile(o.out);
        // Before any recording: the publisher would refuse them only once
        // the instrument has answered.
        BrokerAddress address;
        if (!checkMqttSettings(o.mqtt, &address, message))
            return Error;
        const QString passwordCredential = credentialFile(kMqttPasswordCredential);
        if (parser.isSet(mqttPasswordFile)) {
            if (!readPasswordFile(parser.value(mqttPasswordFile), &o.mqtt.password, message))
                return Error;
        } else if (!passwordCredential.isEmpty()) {
            // No mode rule: systemd lets only the service's user read its
            // credentials, and may grant that through an ACL, which shows
            // as group bits in the mode.
            if (!readFirstLine(passwordCredential, &o.mqtt.password, message))
                return Error;
        } else {
            o.mqtt.password = qEnvironmentVariable(kMqttPasswordVariable);
        }
    } else {
        for (const QCommandLineOption *option : {&mqttPrefix, &mqttUser, &mqttPasswordFile, &mqttCa,
                                                 &mqttCert, &mqttKey, &mqttDiscovery}) {
            if (parser.isSet(*option)) {
                *message = tr("--%1 只能与 --mqtt 一起使用。").arg(option->names().constFirst());
                return Error;
            }
        }
    }
    *options = o;
    return Ok;
}
