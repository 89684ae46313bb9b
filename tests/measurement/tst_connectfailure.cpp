#include "measurement/connectfailure.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A group other than the super-user's that this process may give its files:
// one of its own groups, or as super-user any group of the system.
gid_t givableGroup()
{
    gid_t groups[64];
    const int n = ::getgroups(64, groups);
    for (int i = 0; i < n; ++i) {
        if (groups[i] != 0)
            return groups[i];
    }
    if (::getegid() != 0)
        return ::getegid();
    gid_t found = 0;
    if (::geteuid() == 0) {
        ::setgrent();
        while (const struct group *g = ::getgrent()) {
            if (g->gr_gid != 0) {
                found = g->gr_gid;
                break;
            }
        }
        ::endgrent();
    }
    return found;
}

const QString kOpenError =
    QStringLiteral("IO异常IO Exception: Unknown error opening the serial port: ");

} // namespace

class TestConnectFailure : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString m_port;
    QString m_groupName;
    gid_t m_gid = 0;

    bool setMode(mode_t mode) { return ::chmod(QFile::encodeName(m_port), mode) == 0; }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_port = m_dir.filePath(QStringLiteral("ttyUSB7"));
        QFile f(m_port);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.close();
        m_gid = givableGroup();
        if (m_gid == 0)
            return; // the group tests skip
        QCOMPARE(::chown(QFile::encodeName(m_port), uid_t(-1), m_gid), 0);
        const struct group *g = ::getgrgid(m_gid);
        m_groupName = g ? QString::fromLocal8Bit(g->gr_name) : QString::number(m_gid);
    }

    void errorNumberIsReadFromTheEndOfTheLinkText()
    {
        QCOMPARE(linkErrorCode(kOpenError + QString::number(EACCES)), EACCES);
        QCOMPARE(linkErrorCode(kOpenError + QString::number(EBUSY)), EBUSY);
        QCOMPARE(linkErrorCode(QStringLiteral(
                     "IO异常IO Exception: Specified port, ttyUSB9, does not exist.")),
                 0);
        QCOMPARE(linkErrorCode(QString()), 0);
    }

    void portNamesLieUnderDev()
    {
        QCOMPARE(portDevicePath(QStringLiteral("ttyUSB0")), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(portDevicePath(QStringLiteral("/dev/pts/3")), QStringLiteral("/dev/pts/3"));
    }

    void accessGroupIsTheOwningGroupWhenItMayReadAndWrite()
    {
        if (m_gid == 0)
            QSKIP("no group other than the super-user's to give a file");
        QVERIFY(setMode(0660));
        QCOMPARE(accessGroup(m_port), m_groupName);
        QVERIFY(setMode(0620)); // a terminal's group may only write
        QCOMPARE(accessGroup(m_port), QString());
        QVERIFY(setMode(0600));
        QCOMPARE(accessGroup(m_port), QString());
        QCOMPARE(accessGroup(m_dir.filePath(QStringLiteral("missing"))), QString());
    }

    void permissionErrorNamesTheGroupAndTheCommand()
    {
        if (m_gid == 0)
            QSKIP("no group other than the super-user's to give a file");
        QVERIFY(setMode(0660));
        const QString error = kOpenError + QString::number(EACCES);
        const QString text = connectFailureText(m_port, error);
        QVERIFY2(text.startsWith(QStringLiteral("无法打开串口 ") + m_port), qPrintable(text));
        QVERIFY2(text.contains(
                     QStringLiteral("\nUnknown error opening the serial port: %1\n").arg(EACCES)),
                 qPrintable(text));
        QVERIFY2(!text.contains(QStringLiteral("IO Exception")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("用户组 ") + m_groupName), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("\nsudo usermod -aG %1 $USER\n").arg(m_groupName)),
                 qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("重新登录")), qPrintable(text));

        // EPERM is a permission error as well.
        QVERIFY(connectFailureText(m_port, kOpenError + QString::number(EPERM))
                    .contains(QStringLiteral("usermod")));
    }

    void permissionErrorWithoutAHelpfulGroupAsksForAccess()
    {
        if (m_gid == 0)
            QSKIP("no group other than the super-user's to give a file");
        QVERIFY(setMode(0600));
        const QString text = connectFailureText(m_port, kOpenError + QString::number(EACCES));
        QVERIFY2(!text.contains(QStringLiteral("usermod")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("没有使用该串口的权限")), qPrintable(text));
    }

    void otherFailuresShowTheLinkText()
    {
        const QString missing =
            QStringLiteral("IO异常IO Exception: Specified port, ttyUSB9, does not exist.");
        QCOMPARE(
            connectFailureText(QStringLiteral("ttyUSB9"), missing),
            QStringLiteral("无法打开串口 ttyUSB9。\nSpecified port, ttyUSB9, does not exist."));

        const QString busy = kOpenError + QString::number(EBUSY);
        const QString text = connectFailureText(QStringLiteral("ttyUSB0"), busy);
        QVERIFY2(text.startsWith(QStringLiteral("无法打开串口 ttyUSB0。\nUnknown error opening the "
                                                "serial port: %1\n\n")
                                     .arg(EBUSY)),
                 qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("其他程序")), qPrintable(text));
        QVERIFY(!text.contains(QStringLiteral("usermod")));

        QCOMPARE(connectFailureText(QStringLiteral("ttyUSB0"), QString()),
                 QStringLiteral("无法打开串口 ttyUSB0。"));
    }
};

QTEST_MAIN(TestConnectFailure)
#include "tst_connectfailure.moc"
