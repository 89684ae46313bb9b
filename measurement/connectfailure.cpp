#include "measurement/connectfailure.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>

#include <cerrno>

#ifdef Q_OS_UNIX
#include <grp.h>
#include <sys/stat.h>
#endif

namespace {

class Text
{
    Q_DECLARE_TR_FUNCTIONS(ConnectFailure)
};

} // namespace

int linkErrorCode(const QString &linkError)
{
    static const QRegularExpression trailingNumber(QStringLiteral(":\\s*(\\d+)\\s*$"));
    const QRegularExpressionMatch m = trailingNumber.match(linkError);
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

QString accessGroup(const QString &path)
{
#ifdef Q_OS_UNIX
    struct stat st;
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return QString();
    // Joining the group helps only when the group may both read and write;
    // a terminal's group (tty) for instance may only write to it.
    if (st.st_gid == 0 || (st.st_mode & (S_IRGRP | S_IWGRP)) != (S_IRGRP | S_IWGRP))
        return QString();
    if (const struct group *g = ::getgrgid(st.st_gid))
        return QString::fromLocal8Bit(g->gr_name);
    return QString::number(st.st_gid);
#else
    Q_UNUSED(path)
    return QString();
#endif
}

QString connectFailureText(const QString &portName, const QString &linkError)
{
    QString text = Text::tr("无法打开串口 %1。").arg(portName);
    // The link's text is the serial layer's "IO Exception: <reason>" behind
    // a translated "IO异常": the reason is shown once, in its own words.
    const QString marker = QStringLiteral("IO Exception: ");
    const int reasonAt = linkError.indexOf(marker);
    const QString reason = reasonAt >= 0 ? linkError.mid(reasonAt + marker.size()) : linkError;
    if (!reason.isEmpty())
        text += QLatin1Char('\n') + reason;

    const int code = linkErrorCode(linkError);
    if (code == EACCES || code == EPERM) {
        const QString group = accessGroup(portDevicePath(portName));
        text += QStringLiteral("\n\n");
        if (group.isEmpty()) {
            text +=
                Text::tr("没有使用该串口的权限。请让系统管理员为当前用户开放该串口的读写权限。");
        } else {
            const QString command = QStringLiteral("sudo usermod -aG %1 $USER").arg(group);
            text += Text::tr("没有使用该串口的权限。该串口属于用户组 "
                             "%1，请将当前用户加入该组：在终端中运行\n"
                             "%2\n"
                             "然后注销并重新登录，使新的组成员身份生效。")
                        .arg(group, command);
        }
    } else if (code == EBUSY) {
        text += QStringLiteral("\n\n") + Text::tr("该串口正被其他程序使用，请关闭该程序后重试。");
    }
    return text;
}
