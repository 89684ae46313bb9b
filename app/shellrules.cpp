#include "app/shellrules.h"

#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>

HoursMinutesSeconds splitSeconds(int totalSeconds)
{
    HoursMinutesSeconds t;
    t.hours = totalSeconds / 3600;
    t.minutes = (totalSeconds % 3600) / 60;
    t.seconds = totalSeconds % 60;
    return t;
}

bool portChoiceVisible(int portCount, bool connected)
{
    return !connected && portCount > 1;
}

QImage logoForDisplay(const QImage &logo)
{
    constexpr int kSide = 50;
    if (logo.height() <= kSide)
        return logo;
    return logo.scaled(kSide, kSide, Qt::KeepAspectRatioByExpanding, Qt::SmoothTransformation);
}

QString manualFileName(int language)
{
    return language == 0 ? QStringLiteral("KX740D_user_manual.pdf")
                         : QStringLiteral("KX740D_user_manual_EN.pdf");
}

QString pcManualFileName(int language)
{
    return language == 0 ? QStringLiteral("KX740D_PC_manual.pdf")
                         : QStringLiteral("KX740D_PC_manual_EN.pdf");
}

QStringList portsFromArguments(const QStringList &arguments)
{
    QStringList ports;
    const QString option = QStringLiteral("--port");
    const QString withValue = option + QLatin1Char('=');
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        if (a == option && i + 1 < arguments.size())
            ports << arguments.at(++i);
        else if (a.startsWith(withValue) && a.size() > withValue.size())
            ports << a.mid(withValue.size());
    }
    return ports;
}

bool connectAtStartup(const QStringList &arguments)
{
    return arguments.mid(1).contains(QStringLiteral("--connect"));
}

QPoint centredOn(const QRect &owner, const QSize &size, const QRect &screen)
{
    QPoint topLeft(owner.x() + (owner.width() - size.width()) / 2,
                   owner.y() + (owner.height() - size.height()) / 2);
    if (!screen.isValid())
        return topLeft;
    topLeft.setX(
        qBound(screen.left(), topLeft.x(), qMax(screen.left(), screen.right() + 1 - size.width())));
    topLeft.setY(
        qBound(screen.top(), topLeft.y(), qMax(screen.top(), screen.bottom() + 1 - size.height())));
    return topLeft;
}

QString defaultDataDir()
{
    QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty())
        documents = QDir::homePath();
    return QDir(documents).filePath(QStringLiteral("KX740D"));
}

QString withFilterSuffix(const QString &name, const QString &filter)
{
    static const QRegularExpression pattern(QStringLiteral("\\*(\\.[A-Za-z0-9]+)"));
    const QRegularExpressionMatch match = pattern.match(filter);
    if (name.isEmpty() || !match.hasMatch())
        return name;
    const QString suffix = match.captured(1);
    return name.endsWith(suffix, Qt::CaseInsensitive) ? name : name + suffix;
}
