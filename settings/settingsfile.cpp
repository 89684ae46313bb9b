#include "settings/settingsfile.h"

#include "alarm/settingslimits.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QFile>
#include <QFileInfo>

namespace {

constexpr QDataStream::Version kStreamVersion = QDataStream::Qt_5_12; // stream version 18

// A colour in the stream is its spec byte, then alpha, three components and a
// pad word (quint16 each). The stream casts that first byte into QColor::Spec as
// it stands, so a damaged file would leave a colour holding no valid spec at
// all; such a colour is skipped unread and comes back invalid.
constexpr int kColorStreamSize = 1 + 5 * 2;

const char kTesterContext[] = "AppSettings";
const char *const kDefaultTester = QT_TRANSLATE_NOOP("AppSettings", "KX740D 测试员");

// The default tester name in each language of the program: the Chinese text
// and its English translation, which is also what earlier versions stored
// in every language. A file holding either still has the untouched default.
bool isDefaultTesterName(const QString &name)
{
    return name == QString::fromUtf8(kDefaultTester) || name == QLatin1String("KX740D tester");
}

QColor readColor(QDataStream &in)
{
    char spec = 0;
    if (in.device()->peek(&spec, 1) == 1 && quint8(spec) > QColor::ExtendedRgb) {
        in.skipRawData(kColorStreamSize);
        return QColor();
    }
    QColor c;
    in >> c;
    return c;
}

// The stream's image form at this version: a 32-bit marker, 0 for a null
// image, else any other value followed by the image as a PNG file. The PNG
// carries no length of its own; it ends with its IEND chunk. The stream's own
// operator decodes whatever size the PNG declares, so the PNG's bytes are
// found by walking its chunks and decoded with limits instead. Bytes that are
// no PNG, or a PNG without its end, leave no way to find the next field: they
// are taken as the image and the fields after it read past the end.
QImage readLogo(QDataStream &in, const QByteArray &content, LogoRead *how)
{
    qint32 marker = 0;
    in >> marker;
    if (marker == 0 || in.status() != QDataStream::Ok) {
        *how = LogoRead::Whole;
        return QImage();
    }
    const qint64 start = in.device()->pos();
    const qint64 end = pngStreamEnd(content, start);
    in.device()->seek(end);
    return readImageWithLimits(content.mid(int(start), int(end - start)), how);
}

} // namespace

std::array<QColor, kChannelCount> AppSettings::defaultChannelColors()
{
    return {{QColor(Qt::darkRed), QColor(Qt::darkGreen), QColor(Qt::darkBlue),
             QColor(Qt::darkMagenta)}};
}

QByteArray encodeSettings(const AppSettings &s)
{
    QByteArray content;
    {
        QDataStream out(&content, QIODevice::WriteOnly);
        out.setVersion(kStreamVersion);
        out << s.logo << static_cast<const SettingsFileHead &>(s) << s.autoBackupEnabled
            << s.showXAxis << s.showYAxis << s.showLegend;
        for (const QColor &c : s.channelColor)
            out << c;
        out << s.scatterShape << s.lineStyle;
        // Written only when there are any, so a window that never had more
        // than one instrument writes the file byte for byte as before.
        if (!s.instrumentLabels.isEmpty() || !s.instrumentLimits.isEmpty())
            out << s.instrumentLabels;
        if (!s.instrumentLimits.isEmpty())
            out << s.instrumentLimits;
    }
    QByteArray file;
    QDataStream out(&file, QIODevice::WriteOnly);
    out.setVersion(kStreamVersion);
    out << content;
    return file;
}

bool decodeSettings(const QByteArray &fileBytes, AppSettings &settings, LogoRead *logo)
{
    const QByteArray content = settingsFileContent(fileBytes);
    if (content.isEmpty())
        return false;

    // A short file runs the stream past its end; every read after that point
    // yields the type's empty value, which is what an older file means.
    QDataStream in(content);
    in.setVersion(kStreamVersion);
    AppSettings s;
    LogoRead logoRead = LogoRead::Whole;
    s.logo = readLogo(in, content, &logoRead);
    if (logoRead == LogoRead::Dropped)
        s.logo = settings.logo;
    if (logo)
        *logo = logoRead;
    in >> static_cast<SettingsFileHead &>(s);
    if (isDefaultTesterName(s.testerName))
        s.testerName = defaultTesterName();
    in >> s.autoBackupEnabled >> s.showXAxis >> s.showYAxis >> s.showLegend;
    const auto defaults = AppSettings::defaultChannelColors();
    for (int ch = 0; ch < kChannelCount; ++ch) {
        s.channelColor[ch] = readColor(in);
        if (!s.channelColor[ch].isValid())
            s.channelColor[ch] = defaults[ch];
    }
    in >> s.scatterShape >> s.lineStyle >> s.instrumentLabels >> s.instrumentLimits;
    settings = s;
    return true;
}

const ConfigLimits &AppSettings::limitsFor(const QString &label) const
{
    const auto own = instrumentLimits.constFind(label);
    return own != instrumentLimits.constEnd() ? *own : *this;
}

AlarmSettings alarmLimits(const ConfigLimits &limits)
{
    AlarmSettings alarms;
    alarms.setConfigLimits(limits.highLimit, limits.lowLimit, limits.limitEnabled);
    return alarms;
}

QImage defaultLogo()
{
    return QImage(QStringLiteral(":/images/image 43x.png"));
}

QString defaultCompanyName()
{
    return QStringLiteral("KX740D");
}

QString defaultTesterName()
{
    return QCoreApplication::translate(kTesterContext, kDefaultTester);
}

SettingsFileState readSettingsFile(const QString &path, AppSettings &settings, QString *errorString,
                                   LogoRead *logo)
{
    if (!QFileInfo::exists(path))
        return SettingsFileState::Missing;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (errorString)
            *errorString = file.errorString();
        return SettingsFileState::Unreadable;
    }
    return decodeSettings(file.readAll(), settings, logo) ? SettingsFileState::Read
                                                          : SettingsFileState::Damaged;
}
