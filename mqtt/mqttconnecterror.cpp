#include "mqtt/mqttconnecterror.h"

#include "mqtt/mqttsettings.h"

#include <mosquitto.h>
#include <mqtt_protocol.h>
#include <netdb.h>

#include <cerrno>
#include <cstring>

QString connectErrorText(int mosquittoError, int systemError)
{
    if (mosquittoError == MOSQ_ERR_EAI) {
        switch (systemError) {
        case EAI_NONAME:
#ifdef EAI_NODATA
        case EAI_NODATA:
#endif
        case EAI_FAIL:
            return MqttTexts::tr("找不到该主机");
        case EAI_AGAIN:
            return MqttTexts::tr("域名服务器暂时无法查到该主机");
        default:
            return QString::fromLocal8Bit(gai_strerror(systemError));
        }
    }
    if (mosquittoError == MOSQ_ERR_ERRNO) {
        switch (systemError) {
        case ECONNREFUSED:
            return MqttTexts::tr("连接被拒绝（该端口上没有运行代理，或被防火墙拒绝）");
        case EHOSTUNREACH:
        case ENETUNREACH:
        case ENETDOWN:
            return MqttTexts::tr("无法到达该主机");
        case ETIMEDOUT:
            return MqttTexts::tr("连接超时");
        case 0:
        case ECONNRESET:
        case EPIPE:
            return MqttTexts::tr("连接中断");
        default:
            return QString::fromLocal8Bit(std::strerror(systemError));
        }
    }
    switch (mosquittoError) {
    case MOSQ_ERR_CONN_LOST:
        return MqttTexts::tr("连接中断");
    case MOSQ_ERR_KEEPALIVE:
        return MqttTexts::tr("代理不再应答");
    default:
        return QString::fromUtf8(mosquitto_strerror(mosquittoError));
    }
}

QString disconnectErrorText(int code, bool answered)
{
    if (code >= MQTT_RC_UNSPECIFIED)
        return QString::fromUtf8(mosquitto_reason_string(code));
    if (code == MOSQ_ERR_KEEPALIVE && !answered)
        return MqttTexts::tr("代理没有应答");
    // The callback gets no errno: a connection that ended by itself is lost.
    return connectErrorText(code, 0);
}
