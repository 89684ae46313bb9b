#include "mqtt/mqttsettings.h"

#include <QFileInfo>
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

bool checkTopicPrefix(const QString &prefix, QString *error)
{
    const QString p = prefix.trimmed();
    if (p.contains(QLatin1Char('+')) || p.contains(QLatin1Char('#'))) {
        *error = MqttTexts::tr("主题前缀 %1 无效：不能包含 + 或 #。").arg(p);
        return false;
    }
    if (p.startsWith(QLatin1Char('$'))) {
        *error = MqttTexts::tr("主题前缀 %1 无效：不能以 $ 开头（那是代理自己的主题）。").arg(p);
        return false;
    }
    for (const QChar c : p) {
        if (c.category() == QChar::Other_Control) {
            *error = MqttTexts::tr("主题前缀 %1 无效：不能包含控制字符。").arg(p);
            return false;
        }
    }
    return true;
}

bool checkMqttSettings(const MqttSettings &settings, BrokerAddress *address, QString *error)
{
    if (!parseBrokerUrl(settings.url, address, error) || !checkTopicPrefix(settings.prefix, error))
        return false;
    const QString files[] = {settings.caFile, settings.certFile, settings.keyFile};
    for (const QString &file : files) {
        if (file.isEmpty())
            continue;
        // Silently left out, a CA file given for a plain address would
        // look like a checked connection.
        if (!address->tls) {
            *error = MqttTexts::tr("证书文件只用于 mqtts:// 地址；%1 是未加密的地址。")
                         .arg(settings.url.trimmed());
            return false;
        }
        const QFileInfo info(file);
        if (!info.isFile() || !info.isReadable()) {
            *error = MqttTexts::tr("无法读取文件 %1。").arg(file);
            return false;
        }
    }
    if (settings.certFile.isEmpty() != settings.keyFile.isEmpty()) {
        *error = MqttTexts::tr("客户端证书和私钥必须同时给出。");
        return false;
    }
    return true;
}
