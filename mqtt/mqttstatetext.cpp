#include "mqtt/mqttstatetext.h"

#include <QCoreApplication>
#include <QStringList>

namespace {

QString withoutFinalStop(QString text)
{
    text = text.trimmed();
    while (text.endsWith(QLatin1Char('.')) || text.endsWith(QChar(0x3002)))
        text.chop(1);
    return text;
}

} // namespace

// The texts are the publisher's, whose state they tell.
QString mqttStateText(const MqttStateFacts &f)
{
    const QString reason = withoutFinalStop(f.reason);
    switch (f.state) {
    case MqttPublisher::State::Off:
        return QCoreApplication::translate("MqttPublisher", "已关闭");
    case MqttPublisher::State::Connecting:
        if (reason.isEmpty())
            return QCoreApplication::translate("MqttPublisher", "正在连接 %1…").arg(f.host);
        if (f.probe)
            return QCoreApplication::translate("MqttPublisher", "未能连接到 %1：%2。")
                .arg(f.host, reason);
        return QCoreApplication::translate("MqttPublisher", "未连接到 %1：%2。稍后自动重试。")
            .arg(f.host, reason);
    case MqttPublisher::State::Connected: {
        QStringList notes;
        if (!f.otherPublisher.isEmpty())
            notes << QCoreApplication::translate("MqttPublisher",
                                                 "另一个发布者 %1（主机 %2）也在使用主题前缀 %3。")
                         .arg(f.otherPublisher, f.otherHost, f.prefix);
        if (!f.refusedTopic.isEmpty())
            notes << QCoreApplication::translate("MqttPublisher", "代理拒绝了发往 %1 的消息：%2。")
                         .arg(f.refusedTopic, withoutFinalStop(f.refusedReason));
        if (notes.isEmpty())
            return QCoreApplication::translate("MqttPublisher", "已连接");
        return QCoreApplication::translate("MqttPublisher", "已连接；%1")
            .arg(notes.join(QLatin1Char(' ')));
    }
    case MqttPublisher::State::Refused:
        switch (f.refusal) {
        case MqttRefusal::Broker:
            return QCoreApplication::translate("MqttPublisher",
                                               "代理拒绝连接：%1；约每分钟重试一次。")
                .arg(reason);
        case MqttRefusal::Certificate:
            return QCoreApplication::translate("MqttPublisher",
                                               "无法验证代理的证书：%1；约每分钟重试一次。")
                .arg(reason);
        case MqttRefusal::TakenOver:
            return QCoreApplication::translate("MqttPublisher",
                                               "另一个客户端以相同的客户端 ID %1 "
                                               "连接到代理，代理断开了本连接；约每分钟重试一次。")
                .arg(f.clientId);
        case MqttRefusal::DroppedRepeatedly:
            return QCoreApplication::translate(
                       "MqttPublisher",
                       "代理一再在连接后立即断开本连接，可能另一个客户端在使用相同的客户端 ID "
                       "%1；约每分钟重试一次。")
                .arg(f.clientId);
        }
        break;
    }
    return QString();
}
