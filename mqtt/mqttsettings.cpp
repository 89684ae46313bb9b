#include "mqtt/mqttsettings.h"

#include <QUrl>

bool parseBrokerUrl(const QString &url, BrokerAddress *address, QString *error)
{
    if (url.trimmed().isEmpty()) {
        *error = MqttTexts::tr("请输入代理地址，例如 mqtt://主机:1883。");
        return false;
    }
    const QUrl u(url.trimmed(), QUrl::StrictMode);
    const QString scheme = u.scheme().toLower();
    if (!u.isValid() || (scheme != QLatin1String("mqtt") && scheme != QLatin1String("mqtts"))) {
        *error = MqttTexts::tr("代理地址 %1 无效：应为 mqtt://主机[:端口] 或 mqtts://主机[:端口]。")
                     .arg(url);
        return false;
    }
    if (u.host().isEmpty() || !u.userInfo().isEmpty() || (!u.path().isEmpty() && u.path() != "/") ||
        u.hasQuery() || u.hasFragment()) {
        *error = MqttTexts::tr("代理地址 %1 无效：只能包含主机和端口。").arg(url);
        return false;
    }
    const bool tls = scheme == QLatin1String("mqtts");
    const int port = u.port(tls ? 8883 : 1883);
    if (port < 1 || port > 65535) {
        *error = MqttTexts::tr("代理地址 %1 的端口无效。").arg(url);
        return false;
    }
    address->tls = tls;
    address->host = u.host();
    address->port = quint16(port);
    return true;
}

QString effectiveTopicPrefix(const QString &prefix, const QString &instrumentName)
{
    QString p = prefix.trimmed();
    while (p.endsWith(QLatin1Char('/')))
        p.chop(1);
    if (!p.isEmpty())
        return p;
    QString name = instrumentName.trimmed();
    for (QChar &c : name) {
        if (c == QLatin1Char('+') || c == QLatin1Char('#') || c == QLatin1Char('/') ||
            c.category() == QChar::Other_Control)
            c = QLatin1Char('_');
    }
    return QStringLiteral("kx740d/") + (name.isEmpty() ? QStringLiteral("kx740d") : name);
}
