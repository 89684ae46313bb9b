#include "app/startup.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTranslator>
#include <QtTest>

namespace {

QByteArray be32(quint32 v)
{
    QByteArray b(4, '\0');
    b[0] = char(v >> 24);
    b[1] = char(v >> 16);
    b[2] = char(v >> 8);
    b[3] = char(v);
    return b;
}

// A string in the stream's form: 32-bit byte count, then UTF-16 big-endian.
QByteArray streamString(const QString &s)
{
    QByteArray b = be32(quint32(s.size() * 2));
    for (QChar c : s) {
        b.append(char(c.unicode() >> 8));
        b.append(char(c.unicode() & 0xff));
    }
    return b;
}

// The file holds one byte array: 32-bit length, then the content.
void writeOuter(const QString &path, const QByteArray &content)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(be32(quint32(content.size())));
    f.write(content);
}

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir.reset(new QTemporaryDir);
        QVERIFY(m_dir->isValid());
        m_file = m_dir->filePath(QStringLiteral("config.cfg"));
    }

    void missingFileMeansEnglish() { QCOMPARE(readStartupLanguage(m_file), kLanguageEnglish); }

    void emptyArrayMeansEnglish()
    {
        writeOuter(m_file, QByteArray());
        QCOMPARE(readStartupLanguage(m_file), kLanguageEnglish);
    }

    void languageReadFromHandAssembledBytes_data()
    {
        QTest::addColumn<quint32>("stored");
        QTest::addColumn<int>("expected");
        QTest::newRow("chinese") << 0u << 0;
        QTest::newRow("english") << 1u << 1;
        QTest::newRow("out of range") << 5u << 5;
        QTest::newRow("negative") << 0xffffffffu << -1;
    }

    void languageReadFromHandAssembledBytes()
    {
        QFETCH(quint32, stored);
        QFETCH(int, expected);
        // empty image flag, tester, company, data folder, language, then more
        // fields that the start-up read must not care about
        QByteArray content = be32(0) + streamString(QStringLiteral("张三")) +
                             streamString(QString()) + streamString(QStringLiteral("/data/")) +
                             be32(stored) + be32(60) + QByteArray(1, '\1');
        writeOuter(m_file, content);
        QCOMPARE(readStartupLanguage(m_file), expected);
    }

    void languageAfterARealLogo()
    {
        QByteArray content;
        QDataStream out(&content, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_5_12);
        QImage logo(120, 40, QImage::Format_ARGB32);
        logo.fill(Qt::red);
        out << logo << QStringLiteral("t") << QStringLiteral("c") << QStringLiteral("d")
            << qint32(0);
        writeOuter(m_file, content);
        QCOMPARE(readStartupLanguage(m_file), kLanguageChinese);
    }

    void arrayEndingBeforeLanguageMeansChinese()
    {
        writeOuter(m_file, be32(0) + streamString(QStringLiteral("tester")));
        QCOMPARE(readStartupLanguage(m_file), kLanguageChinese);
    }

    void truncatedFileIsSafe()
    {
        QFile f(m_file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(be32(1000000) + QByteArray(10, '\0'));
        f.close();
        // the outer array cannot be read, so nothing is taken from it
        QCOMPARE(readStartupLanguage(m_file), kLanguageEnglish);
    }

    void translatorsPerLanguage()
    {
        // The build places the .qm files beside the test program.
        QDir::setCurrent(QCoreApplication::applicationDirPath());

        QList<QTranslator *> none = installTranslators(*QCoreApplication::instance(), 5);
        QCOMPARE(none.size(), 0);

        QList<QTranslator *> english =
            installTranslators(*QCoreApplication::instance(), kLanguageEnglish);
        QCOMPARE(english.size(), 1);
        QVERIFY(!english.first()->isEmpty());
        QCOMPARE(QCoreApplication::translate("FormSetting", "设置"), QStringLiteral("Settings"));
        for (QTranslator *t : english)
            QCoreApplication::removeTranslator(t);

        QList<QTranslator *> chinese =
            installTranslators(*QCoreApplication::instance(), kLanguageChinese);
        QCOMPARE(chinese.size(), 2);
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "OK"), QStringLiteral("确定"));
        QCOMPARE(QCoreApplication::translate("FormSetting", "设置"), QStringLiteral("设置"));
        for (QTranslator *t : chinese)
            QCoreApplication::removeTranslator(t);
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "OK"), QStringLiteral("OK"));
    }

    // The program's command line works without a display: help and version
    // on standard output, a wrong option on standard error with status 2.
    void commandLineWithoutADisplay_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("stdoutHas");
        QTest::addColumn<QString>("stderrHas");
        QTest::newRow("help") << QStringList{"--help"} << 0 << "--simulate"
                              << "";
        QTest::newRow("version") << QStringList{"--version"} << 0 << "kx740d 0."
                                 << "";
        QTest::newRow("unknown") << QStringList{"--bogus"} << 2 << ""
                                 << "bogus";
        QTest::newRow("two files") << QStringList{"a.dat", "b.dat"} << 2 << ""
                                   << "FILE.dat";
    }

    void commandLineWithoutADisplay()
    {
        QFETCH(QStringList, arguments);
        QProcess program;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        program.setProcessEnvironment(env);
        program.start(QCoreApplication::applicationDirPath() + QStringLiteral("/kx740d"),
                      arguments);
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QTEST(program.exitCode(), "status");
        QFETCH(QString, stdoutHas);
        QVERIFY(QString::fromUtf8(program.readAllStandardOutput()).contains(stdoutHas));
        QFETCH(QString, stderrHas);
        QVERIFY(QString::fromUtf8(program.readAllStandardError()).contains(stderrHas));
    }

    void dataFileNamedOnTheCommandLine()
    {
        QCOMPARE(dataFileFromArguments({"kx740d", "--port", "/dev/pts/3", "a.dat", "--connect"}),
                 QStringLiteral("a.dat"));
        QCOMPARE(dataFileFromArguments({"kx740d", "--simulate"}), QString());
    }

    void simulatorOnlyWhenAsked()
    {
        QObject owner;
        QCOMPARE(startSimulatorIfAsked({QStringLiteral("kx740d")}, &owner), QString());
        QVERIFY(owner.children().isEmpty());
        const QString port =
            startSimulatorIfAsked({QStringLiteral("kx740d"), QStringLiteral("--simulate")}, &owner);
        QVERIFY(!port.isEmpty());
        QVERIFY(QFile::exists(port));
        QCOMPARE(owner.children().size(), 1);
    }

private:
    QScopedPointer<QTemporaryDir> m_dir;
    QString m_file;
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
