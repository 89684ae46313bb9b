#include "mqtt/mqttpayload.h"

#include "instrument/temperature.h"

#include <cmath>

namespace {

void appendString(QByteArray &out, const QString &text)
{
    out += '"';
    for (const char c : text.toUtf8()) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            static const char hex[] = "0123456789abcdef";
            out += "\\u00";
            out += hex[u >> 4];
            out += hex[u & 0x0F];
        } else {
            out += c;
        }
    }
    out += '"';
}

void appendNumber(QByteArray &out, float celsius, int unit)
{
    const double value = std::round(double(celsiusToUnit(celsius, unit)) * 10.0) / 10.0;
    if (std::isfinite(value))
        out += QByteArray::number(value, 'f', 1);
    else
        out += "null";
}

const char *stateName(int state)
{
    switch (state) {
    case StateValue:
        return "ok";
    case StateBelowRange:
        return "-OL";
    case StateAboveRange:
        return "OL";
    default:
        return "open";
    }
}

void appendHead(QByteArray &out, const QDateTime &time, int unit)
{
    out += "{\"time\":";
    if (time.isValid())
        appendString(out, isoTimeWithOffset(time));
    else
        out += "null";
    out += ",\"unit\":";
    appendString(out, payloadUnit(unit));
}

void appendValues(QByteArray &out, const _T_PRINT_OUT_DATA &reading, int unit)
{
    out += ",\"ambient\":";
    appendNumber(out, reading.ambient, unit);
    out += ",\"channels\":[";
    for (int ch = 0; ch < kChannelCount; ++ch) {
        const int state = statusState(reading.status[ch]);
        const QString type = typeLetter(statusTypeCode(reading.status[ch]));
        if (ch > 0)
            out += ',';
        out += "{\"name\":\"T";
        out += char('1' + ch);
        out += "\",\"type\":";
        if (type.isEmpty())
            out += "null";
        else
            appendString(out, type);
        out += ",\"value\":";
        if (state == StateValue)
            appendNumber(out, reading.value[ch], unit);
        else
            out += "null";
        out += ",\"state\":\"";
        out += stateName(state);
        out += "\"}";
    }
    out += "]}";
}

} // namespace

QString payloadUnit(int unit)
{
    return unitToken(unit);
}

QByteArray livePayload(const _T_PRINT_OUT_DATA &reading, const QDateTime &time, int unit,
                       bool recording)
{
    QByteArray out;
    out.reserve(384);
    appendHead(out, time, unit);
    out += recording ? ",\"recording\":true" : ",\"recording\":false";
    appendValues(out, reading, unit);
    return out;
}

QByteArray recordPayload(const _T_PRINT_OUT_DATA &reading, const QDateTime &time, int unit,
                         const QString &recordingId, quint64 seq)
{
    QByteArray out;
    out.reserve(448);
    appendHead(out, time, unit);
    out += ",\"recording_id\":";
    appendString(out, recordingId);
    out += ",\"seq\":";
    out += QByteArray::number(seq);
    appendValues(out, reading, unit);
    return out;
}
