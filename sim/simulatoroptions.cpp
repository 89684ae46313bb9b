#include "sim/simulatoroptions.h"

#include "instrument/commands.h"

#include <QCommandLineParser>

#include <cmath>

namespace {

bool toInt(const QString &text, int lowest, int highest, int *out)
{
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < lowest || v > highest)
        return false;
    *out = v;
    return true;
}

bool toDouble(const QString &text, double lowest, double highest, double *out)
{
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !std::isfinite(v) || v < lowest || v > highest)
        return false;
    *out = v;
    return true;
}

// Seconds as given on the command line to whole milliseconds.
bool secondsToMs(const QString &text, int *out)
{
    double seconds = 0;
    if (!toDouble(text, 0, 86400.0 * 7, &seconds))
        return false;
    *out = int(std::lround(seconds * 1000));
    return true;
}

} // namespace

SimulatorCommandLine::Result
SimulatorCommandLine::parse(const QStringList &args, SimulatorOptions *options, QString *message)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        tr("模拟 KX740D 测温仪：打开一个伪终端，在标准输出打印其路径，并在其上应答仪器协议，"
           "直到收到 SIGINT 或 SIGTERM。"));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  tr("显示本帮助。"));
    const QCommandLineOption records(QStringLiteral("records"),
                                     tr("仪器中存储的记录条数（0 到 80000）。"), tr("条数"),
                                     QString::number(options->storedRecords));
    const QCommandLineOption liveRate(QStringLiteral("live-rate"),
                                      tr("每秒发送的实时读数个数（0 表示不发送）。"), tr("次数"),
                                      QString::number(options->liveRate));
    const QCommandLineOption fast(QStringLiteral("fast"),
                                  tr("不按 115200 波特率限速，以伪终端能接收的最快速度发送。"));
    const QCommandLineOption baud(QStringLiteral("baud"), tr("限速时模拟的波特率。"), tr("波特率"),
                                  QString::number(options->bytesPerSecond * 10));
    const QCommandLineOption bluetooth(QStringLiteral("bluetooth"),
                                       tr("启动时（及恢复出厂设置后）蓝牙为开。"));
    const QCommandLineOption allChannels(QStringLiteral("all-channels"),
                                         tr("四个通道都接有热电偶（默认 T4 未接）。"));
    const QCommandLineOption corrupt(QStringLiteral("corrupt-rate"),
                                     tr("校验和被破坏的帧所占比例（0 到 1）。"), tr("比例"));
    const QCommandLineOption noise(QStringLiteral("noise-rate"),
                                   tr("帧前插入噪声字节的概率（0 到 1）。"), tr("比例"));
    const QCommandLineOption badRecords(QStringLiteral("bad-record-rate"),
                                        tr("校验和错误的存储记录所占比例（0 到 1）。"), tr("比例"));
    const QCommandLineOption disconnectAfter(QStringLiteral("disconnect-after"),
                                             tr("启动后经过这么多秒断开端口。"), tr("秒"));
    const QCommandLineOption reopenAfter(QStringLiteral("reopen-after"),
                                         tr("断开后经过这么多秒打开新的端口并打印其路径。"),
                                         tr("秒"));
    const QCommandLineOption eraseDelay(QStringLiteral("erase-delay"),
                                        tr("擦除所需的时间（毫秒）。"), tr("毫秒"),
                                        QString::number(options->eraseDelayMs));
    const QCommandLineOption statusInterval(
        QStringLiteral("status-interval"),
        tr("主动发送状态字节的间隔（毫秒，0 表示只在记录通知后发送）。"), tr("毫秒"),
        QString::number(options->statusIntervalMs));
    const QCommandLineOption seed(QStringLiteral("seed"), tr("故障注入和读数噪声的随机种子。"),
                                  tr("种子"), QString::number(options->seed));
    const QCommandLineOption link(QStringLiteral("link"),
                                  tr("在此路径创建指向当前端口的符号链接。"), tr("路径"));
    const QCommandLineOption name(
        QStringLiteral("name"),
        tr("仪器报告的名称（最多 20 字节），默认 %1。").arg(QString::fromUtf8(options->deviceName)),
        tr("名称"));
    parser.addOptions({help, records, liveRate, fast, baud, bluetooth, allChannels, corrupt, noise,
                       badRecords, disconnectAfter, reopenAfter, eraseDelay, statusInterval, seed,
                       link, name});

    if (!parser.parse(args)) {
        *message = parser.errorText();
        return Error;
    }
    if (parser.isSet(help)) {
        *message = parser.helpText();
        return HelpShown;
    }
    if (!parser.positionalArguments().isEmpty()) {
        *message = tr("多余的参数：%1").arg(parser.positionalArguments().join(QLatin1Char(' ')));
        return Error;
    }

    SimulatorOptions o = *options;
    const auto bad = [&](const QCommandLineOption &opt) {
        *message = tr("选项 --%1 的值无效：%2").arg(opt.names().constLast(), parser.value(opt));
        return Error;
    };
    if (parser.isSet(records) &&
        !toInt(parser.value(records), 0, kMaxStoredRecords, &o.storedRecords))
        return bad(records);
    if (parser.isSet(liveRate) && !toDouble(parser.value(liveRate), 0, 1000, &o.liveRate))
        return bad(liveRate);
    if (parser.isSet(fast))
        o.paced = false;
    if (parser.isSet(baud)) {
        int rate = 0;
        if (!toInt(parser.value(baud), 300, 100000000, &rate))
            return bad(baud);
        o.bytesPerSecond = rate / 10;
    }
    if (parser.isSet(bluetooth))
        o.bluetoothOn = true;
    if (parser.isSet(allChannels))
        o.allChannelsConnected = true;
    if (parser.isSet(corrupt) && !toDouble(parser.value(corrupt), 0, 1, &o.corruptFrameRate))
        return bad(corrupt);
    if (parser.isSet(noise) && !toDouble(parser.value(noise), 0, 1, &o.noiseRate))
        return bad(noise);
    if (parser.isSet(badRecords) && !toDouble(parser.value(badRecords), 0, 1, &o.badRecordRate))
        return bad(badRecords);
    if (parser.isSet(disconnectAfter) &&
        !secondsToMs(parser.value(disconnectAfter), &o.disconnectAfterMs))
        return bad(disconnectAfter);
    if (parser.isSet(reopenAfter) && !secondsToMs(parser.value(reopenAfter), &o.reopenAfterMs))
        return bad(reopenAfter);
    if (parser.isSet(eraseDelay) && !toInt(parser.value(eraseDelay), 0, 600000, &o.eraseDelayMs))
        return bad(eraseDelay);
    if (parser.isSet(statusInterval) &&
        !toInt(parser.value(statusInterval), 0, 86400000, &o.statusIntervalMs))
        return bad(statusInterval);
    if (parser.isSet(seed)) {
        bool ok = false;
        o.seed = parser.value(seed).toUInt(&ok);
        if (!ok)
            return bad(seed);
    }
    if (parser.isSet(link)) {
        o.linkPath = parser.value(link);
        if (o.linkPath.isEmpty())
            return bad(link);
    }
    if (parser.isSet(name)) {
        o.deviceName = parser.value(name).toUtf8();
        if (o.deviceName.isEmpty() || o.deviceName.size() > kDeviceNameSize ||
            o.deviceName.contains('\0'))
            return bad(name);
    }
    *options = o;
    return Ok;
}
