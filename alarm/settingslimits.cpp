#include "alarm/settingslimits.h"

#include <QDataStream>
#include <QtEndian>

static_assert(kSettingsStreamVersion == QDataStream::Qt_5_12, "config.cfg's stream version");

QByteArray settingsFileContent(const QByteArray &fileBytes)
{
    QDataStream outer(fileBytes);
    outer.setVersion(kSettingsStreamVersion);
    QByteArray content;
    outer >> content;
    return content;
}

qint64 pngStreamEnd(const QByteArray &bytes, qint64 start)
{
    static const QByteArray signature("\x89PNG\r\n\x1a\n", 8);
    if (bytes.mid(int(start), signature.size()) != signature)
        return bytes.size();
    qint64 at = start + signature.size();
    while (at + 8 <= bytes.size()) {
        const quint32 length = qFromBigEndian<quint32>(bytes.constData() + at);
        // chunk: length, type, data, CRC
        const qint64 next = at + 12 + qint64(length);
        if (length > 0x7fffffffu || next > bytes.size())
            break;
        if (bytes.mid(int(at) + 4, 4) == "IEND")
            return next;
        at = next;
    }
    return bytes.size();
}

bool alarmLimitsFromSettingsFile(const QByteArray &fileBytes, AlarmSettings *settings)
{
    const QByteArray content = settingsFileContent(fileBytes);
    if (content.isEmpty())
        return false;
    QDataStream in(content);
    in.setVersion(kSettingsStreamVersion);
    qint32 logo = 0;
    in >> logo;
    if (logo != 0)
        in.device()->seek(pngStreamEnd(content, in.device()->pos()));
    SettingsFileHead head;
    in >> head;
    if (in.status() != QDataStream::Ok)
        return false;
    settings->setConfigLimits(head.highLimit, head.lowLimit, head.limitEnabled);
    return true;
}

bool ConfigLimits::operator==(const ConfigLimits &o) const
{
    return highLimit == o.highLimit && lowLimit == o.lowLimit && limitEnabled == o.limitEnabled;
}

QDataStream &operator>>(QDataStream &in, ConfigLimits &limits)
{
    for (int ch = 0; ch < kChannelCount; ++ch)
        in >> limits.highLimit[ch] >> limits.lowLimit[ch] >> limits.limitEnabled[ch];
    return in;
}

QDataStream &operator<<(QDataStream &out, const ConfigLimits &limits)
{
    for (int ch = 0; ch < kChannelCount; ++ch)
        out << limits.highLimit[ch] << limits.lowLimit[ch] << limits.limitEnabled[ch];
    return out;
}

QDataStream &operator>>(QDataStream &in, SettingsFileHead &head)
{
    return in >> head.testerName >> head.companyName >> head.dataDir >> head.language >>
           head.continuousSeconds >> head.continuousEnabled >> static_cast<ConfigLimits &>(head);
}

QDataStream &operator<<(QDataStream &out, const SettingsFileHead &head)
{
    return out << head.testerName << head.companyName << head.dataDir << head.language
               << head.continuousSeconds << head.continuousEnabled
               << static_cast<const ConfigLimits &>(head);
}
