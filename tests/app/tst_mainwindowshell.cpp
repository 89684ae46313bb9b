#include "app/instrumentpage.h"
#include "app/mainwindow.h"
#include "app/recordingpage.h"
#include "app/shellrules.h"
#include "app/startup.h"
#include "app/systempage.h"
#include "app/userdialogs.h"
#include "fuzz/pngbomb.h"
#include "link/serialhandle.h"
#include "resources/initresources.h"
#include "settings/settingsfile.h"
#include "tests/app/memoryprobe.h"
#include "tests/app/windowtest.h"
#include "ui_mainwindow.h"
#include "widgets/bash.h"
#include "widgets/formsetting.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

#include <cerrno>
#include <cstring>

class TestMainWindowShell : public WindowTest
{
    Q_OBJECT

private:
    void writeSettings(const AppSettings &s)
    {
        QFile f(QStringLiteral("config.cfg"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(encodeSettings(s));
    }

    AppSettings readSettingsBack()
    {
        QFile f(QStringLiteral("config.cfg"));
        AppSettings s;
        if (f.open(QIODevice::ReadOnly))
            decodeSettings(f.readAll(), s);
        return s;
    }

    // Standard output of a poppler tool, empty when it fails.
    static QString popplerOutput(const char *tool, const QStringList &arguments)
    {
        QProcess process;
        process.start(QString::fromLatin1(tool), arguments);
        if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit ||
            process.exitCode() != 0)
            return QString();
        return QString::fromUtf8(process.readAllStandardOutput());
    }

    static DialogAnswer pressButton(int index)
    {
        DialogAnswer a;
        a.button = index;
        return a;
    }

private slots:
    void initTestCase() { kxInitResources(); }

    void init() { QVERIFY(setUpWindowTest()); }
    void cleanup() { tearDownWindowTest(); }

    void startsWithDefaultsWithoutSettingsFile()
    {
        MainWindow w;
        Ui::MainWindow *ui = w.form();
        QCOMPARE(ui->comboBox_lang->currentIndex(), 1);
        QCOMPARE(w.settings().language, 1);
        for (QDoubleSpinBox *box : {ui->doubleSpinBox_hi_limit_T1, ui->doubleSpinBox_hi_limit_T4})
            QCOMPARE(box->value(), 100.0);
        for (QDoubleSpinBox *box : {ui->doubleSpinBox_low_limit_T1, ui->doubleSpinBox_low_limit_T4})
            QCOMPARE(box->value(), 0.0);
        QVERIFY(!ui->pb_limit_enable_T1->isChecked());
        QVERIFY(!ui->pb_limit_enable_T4->isChecked());
        QCOMPARE(ui->spinBox_contitime_hour->value(), 0);
        QCOMPARE(ui->spinBox_contitime_min->value(), 1);
        QCOMPARE(ui->spinBox_contitime_sec->value(), 0);
        QVERIFY(ui->pb_continue_enable->isChecked());
        QVERIFY(ui->pb_autobackup_enable->isChecked());
        QCOMPARE(w.settings().logo.size(), QImage(QStringLiteral(":/images/image 43x.png")).size());
        QVERIFY(!ui->label_logo->pixmap(Qt::ReturnByValue).isNull());
        QCOMPARE(w.settings().companyName, ui->lineEdit_conp_name->text());
        QVERIFY(!w.settings().companyName.isEmpty());
        QCOMPARE(w.settings().testerName, defaultTesterName());
        // Not beside the program, which an installed program cannot write.
        QCOMPARE(w.settings().dataDir,
                 QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) +
                     QStringLiteral("/KX740D"));
        QVERIFY(m_asked.isEmpty());
        QVERIFY(!QFile::exists(QStringLiteral("config.cfg")));
    }

    void storedValuesReachTheControls()
    {
        AppSettings s;
        s.language = 0;
        s.continuousSeconds = 3725;
        s.continuousEnabled = false;
        s.highLimit[2] = 250.5f;
        s.lowLimit[2] = -20.0f;
        s.limitEnabled[2] = true;
        s.autoBackupEnabled = false;
        s.showLegend = true;
        s.scatterShape = 7;
        s.lineStyle = 3;
        s.companyName = QStringLiteral("某公司");
        writeSettings(s);

        MainWindow w;
        Ui::MainWindow *ui = w.form();
        QCOMPARE(ui->comboBox_lang->currentIndex(), 0);
        QCOMPARE(ui->spinBox_contitime_hour->value(), 1);
        QCOMPARE(ui->spinBox_contitime_min->value(), 2);
        QCOMPARE(ui->spinBox_contitime_sec->value(), 5);
        QVERIFY(!ui->pb_continue_enable->isChecked());
        QCOMPARE(ui->doubleSpinBox_hi_limit_T3->value(), 250.5);
        QCOMPARE(ui->doubleSpinBox_low_limit_T3->value(), -20.0);
        QVERIFY(ui->pb_limit_enable_T3->isChecked());
        QVERIFY(!ui->pb_autobackup_enable->isChecked());
        QVERIFY(ui->checkBox_legend->isChecked());
        QVERIFY(!ui->checkBox_xasix->isChecked());
        QCOMPARE(ui->spinBox_ScatterShape->value(), 7);
        QCOMPARE(ui->spinBox_line_style->value(), 3);
        QCOMPARE(ui->lineEdit_conp_name->text(), QStringLiteral("某公司"));
        // the file held no logo: the stored empty image replaces the default
        QVERIFY(w.settings().logo.isNull());
        QVERIFY(m_asked.isEmpty());
    }

    void unknownLanguageLeavesTheChoiceEmptySilently()
    {
        AppSettings s;
        s.language = 5;
        writeSettings(s);
        MainWindow w;
        QCOMPARE(w.form()->comboBox_lang->currentIndex(), -1);
        QCOMPARE(w.settings().language, -1);
        QVERIFY(m_asked.isEmpty());
    }

    void tallLogoKeptWhole_data()
    {
        QTest::addColumn<bool>("fromFile");
        QTest::newRow("stored in the settings") << true;
        QTest::newRow("chosen by the user") << false;
    }

    void tallLogoKeptWhole()
    {
        QFETCH(bool, fromFile);
        QImage logo(300, 120, QImage::Format_RGB32);
        logo.fill(Qt::blue);
        const QString png = QDir::current().filePath(QStringLiteral("logo.png"));
        QVERIFY(logo.save(png));
        if (fromFile) {
            AppSettings s;
            s.logo = logo;
            writeSettings(s);
        }
        MainWindow w;
        if (!fromFile) {
            DialogAnswer chosen;
            chosen.accepted = true;
            chosen.text = png;
            m_answers << chosen;
            w.systemPage()->on_pb_seclet_logo_clicked();
            QCOMPARE(m_asked.size(), 1);
            QCOMPARE(m_asked[0].kind, DialogRequest::OpenFile);
            QCOMPARE(m_asked[0].filter, QStringLiteral("Image Files(*.jpg *.png)"));
        }
        QCOMPARE(w.settings().logo.size(), QSize(300, 120));
        QCOMPARE(w.form()->label_logo->pixmap(Qt::ReturnByValue).size(), QSize(125, 50));

        w.settingsWindow()->on_pb_win_close_clicked();
        QCOMPARE(readSettingsBack().logo.size(), QSize(300, 120));
    }

    void unusableStoredLogoGivesOneNoteAndTheDefault_data()
    {
        QTest::addColumn<QByteArray>("png");
        QTest::newRow("decompression bomb") << pngbomb::zeroPng(40000, 40000);
        QImage small(300, 120, QImage::Format_RGB32);
        small.fill(Qt::blue);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        small.save(&buffer, "PNG");
        QTest::newRow("damaged image") << pngbomb::damaged(bytes);
    }

    void unusableStoredLogoGivesOneNoteAndTheDefault()
    {
        QFETCH(QByteArray, png);
        AppSettings s;
        s.companyName = QStringLiteral("某公司");
        s.continuousSeconds = 3725;
        s.highLimit[3] = 250.5f;
        s.limitEnabled[3] = true;
        s.showLegend = true;
        s.lineStyle = 3;
        // The stream form of a null logo is its marker 0; put the PNG in
        // its place behind the marker 1.
        QByteArray content = encodeSettings(s).mid(4);
        QCOMPARE(content.left(4), QByteArray(4, '\0'));
        content = QByteArray::fromHex("00000001") + png + content.mid(4);
        QFile f(QStringLiteral("config.cfg"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        QDataStream out(&f);
        out << content;
        f.close();

        // What the window adds to what the process holds already (a
        // sanitizer keeps freed memory of earlier rows resident).
        QVERIFY(resetPeakResident());
        const std::size_t before = residentBytes();
        MainWindow w;
        QVERIFY2(peakResidentBytes() - before < 300u * 1024 * 1024,
                 qPrintable(QString::number((peakResidentBytes() - before) >> 20) + " MiB"));
        Ui::MainWindow *ui = w.form();
        QCOMPARE(ui->lineEdit_conp_name->text(), QStringLiteral("某公司"));
        QCOMPARE(ui->spinBox_contitime_min->value(), 2);
        QCOMPARE(ui->doubleSpinBox_hi_limit_T4->value(), 250.5);
        QVERIFY(ui->pb_limit_enable_T4->isChecked());
        QVERIFY(ui->checkBox_legend->isChecked());
        QCOMPARE(ui->spinBox_line_style->value(), 3);
        QCOMPARE(w.settings().logo, defaultLogo());
        QTRY_COMPARE(m_asked.size(), 1);
        QCOMPARE(m_asked[0].kind, DialogRequest::Information);
        QCOMPARE(m_asked[0].text, droppedSettingsLogoText());
        QTest::qWait(50);
        QCOMPARE(m_asked.size(), 1);
    }

    void pickedPhotographStoredAt1024()
    {
        QImage photo(3000, 2000, QImage::Format_RGB32);
        photo.fill(Qt::darkCyan);
        const QString png = QDir::current().filePath(QStringLiteral("photo.png"));
        QVERIFY(photo.save(png));
        MainWindow w;
        DialogAnswer chosen;
        chosen.accepted = true;
        chosen.text = png;
        m_answers << chosen;
        w.systemPage()->on_pb_seclet_logo_clicked();
        QCOMPARE(w.settings().logo.size(), QSize(1024, 683));
        w.settingsWindow()->on_pb_win_close_clicked();
        QCOMPARE(readSettingsBack().logo.size(), QSize(1024, 683));
    }

    void logoChoiceCancelledOrUnreadableKeepsTheLogo()
    {
        MainWindow w;
        const QSize before = w.settings().logo.size();
        w.systemPage()->on_pb_seclet_logo_clicked(); // cancelled
        QFile junk(QStringLiteral("junk.png"));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("not an image");
        junk.close();
        DialogAnswer chosen;
        chosen.accepted = true;
        chosen.text = QDir::current().filePath(QStringLiteral("junk.png"));
        m_answers << chosen;
        w.systemPage()->on_pb_seclet_logo_clicked();
        QCOMPARE(w.settings().logo.size(), before);
        QVERIFY(!before.isEmpty());
        QCOMPARE(m_asked.size(), 3);
        QCOMPARE(m_asked[2].kind, DialogRequest::Information);
        QCOMPARE(m_asked[2].text, unusableLogoFileText(chosen.text));
    }

    void languageChangeIsNotedAndSavedOnClose()
    {
        MainWindow w;
        w.form()->comboBox_lang->setCurrentIndex(0);
        QCOMPARE(m_asked.size(), 1);
        // In both languages: the one in use may be the one the user does not read.
        QCOMPARE(m_asked[0].title, QStringLiteral("信息 / Note"));
        QVERIFY(m_asked[0].text.contains(QStringLiteral("语言设置会在软件下次启动时生效")));
        QVERIFY(m_asked[0].text.contains(
            QStringLiteral("The language setting takes effect the next time the program starts.")));
        QCOMPARE(m_asked[0].buttons, QStringList{QStringLiteral("确定 / OK")});
        QVERIFY(!QFile::exists(QStringLiteral("config.cfg")));

        w.settingsWindow()->on_pb_win_close_clicked();
        QCOMPARE(readSettingsBack().language, 0);

        w.form()->comboBox_lang->setCurrentIndex(1);
        QCOMPARE(m_asked.size(), 2);
        QCOMPARE(m_asked[1].text, m_asked[0].text);
        w.settingsWindow()->on_pb_win_close_clicked();
        QCOMPARE(readSettingsBack().language, 1);
    }

    void namesAndSwitchesReachTheFile()
    {
        MainWindow w;
        w.form()->lineEdit_conp_name->setText(QStringLiteral("测温实验室"));
        w.systemPage()->on_lineEdit_conp_name_editingFinished();
        w.form()->lineEdit_teser_name->setText(QStringLiteral("王工"));
        w.systemPage()->on_lineEdit_teser_name_editingFinished();
        w.form()->pb_autobackup_enable->click();
        w.settingsWindow()->on_pb_win_close_clicked();
        const AppSettings back = readSettingsBack();
        QCOMPARE(back.companyName, QStringLiteral("测温实验室"));
        QCOMPARE(back.testerName, QStringLiteral("王工"));
        QCOMPARE(back.autoBackupEnabled, false);

        MainWindow again; // settings survive a restart
        QCOMPARE(again.form()->lineEdit_teser_name->text(), QStringLiteral("王工"));
        QVERIFY(!again.form()->pb_autobackup_enable->isChecked());
    }

    void foreignDataFolderCarriedBackUnchanged()
    {
        AppSettings s;
        s.dataDir = QStringLiteral("/srv/other copy/data/");
        writeSettings(s);
        MainWindow w;
        QCOMPARE(w.settings().dataDir, s.dataDir);
        w.settingsWindow()->on_pb_win_close_clicked();
        QCOMPARE(readSettingsBack().dataDir, s.dataDir);
    }

    void unwritableSettingsFileIsReported()
    {
        QVERIFY(QDir::current().mkdir(QStringLiteral("config.cfg")));
        MainWindow w;
        w.form()->lineEdit_conp_name->setText(QStringLiteral("X"));
        w.systemPage()->on_lineEdit_conp_name_editingFinished();
        w.settingsWindow()->on_pb_win_close_clicked();
        QCOMPARE(m_asked.size(), 1);
        QCOMPARE(m_asked[0].kind, DialogRequest::Information);
        QCOMPARE(m_asked[0].title, QString());
        QCOMPARE(m_asked[0].text, QStringLiteral("无法创建文件，请使用管理员权限运行程序。\n") +
                                      QString::fromLocal8Bit(std::strerror(EISDIR)));
        QCOMPARE(m_asked[0].buttons, QStringList{QStringLiteral("确定")});
        QCOMPARE(w.settings().companyName, QStringLiteral("X"));
    }

    void manualInTheSettingsLanguage_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("file");
        QTest::newRow("chinese") << 0 << QStringLiteral("KX740D_user_manual.pdf");
        QTest::newRow("english") << 1 << QStringLiteral("KX740D_user_manual_EN.pdf");
    }

    // The user's copy of the instrument's manual in the working directory.
    void manualInTheSettingsLanguage()
    {
        QFETCH(int, language);
        QFETCH(QString, file);
        AppSettings s;
        s.language = language;
        writeSettings(s);
        QFile manual(file);
        QVERIFY(manual.open(QIODevice::WriteOnly));
        manual.close();
        MainWindow w;
        w.form()->pb_open_user_datasheet->click();
        QCOMPARE(m_opened.urls,
                 QList<QUrl>{QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath())});
        QVERIFY(m_asked.isEmpty());
    }

    // xdg-open starts whatever becomes of the file; its exit status says
    // that no program took it, and the user is told where the file is.
    void fileTheDesktopCannotOpenSaysWhereItIs()
    {
        QFile opener(m_dir->filePath(QStringLiteral("xdg-open")));
        QVERIFY(opener.open(QIODevice::WriteOnly));
        opener.write("#!/bin/sh\nexit 3\n");
        opener.close();
        opener.setPermissions(opener.permissions() | QFileDevice::ExeOwner);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(m_dir->path()) + ':' + path);
        setDesktopOpener({});
        QFile manual(QStringLiteral("KX740D_user_manual_EN.pdf"));
        QVERIFY(manual.open(QIODevice::WriteOnly));
        manual.close();
        MainWindow w;
        w.form()->pb_open_user_datasheet->click(); // xdg-open is looked up here
        qputenv("PATH", path);
        QTRY_COMPARE_WITH_TIMEOUT(m_asked.size(), 1, 10000);
        QCOMPARE(m_asked[0].kind, DialogRequest::Information);
        QVERIFY(m_asked[0].text.endsWith(
            QDir::toNativeSeparators(QFileInfo(manual).absoluteFilePath())));
    }

    void missingManualSaysWhereToPutIt()
    {
        MainWindow w;
        w.form()->pb_open_user_datasheet->click();
        QVERIFY(m_opened.urls.isEmpty());
        QCOMPARE(m_asked.size(), 1);
        QCOMPARE(m_asked[0].kind, DialogRequest::Information);
        QCOMPARE(m_asked[0].title, QString());
        QCOMPARE(m_asked[0].buttons, QStringList{QStringLiteral("确定")});
        QVERIFY(m_asked[0].text.contains(QStringLiteral("KX740D_user_manual_EN.pdf")));
        QVERIFY(m_asked[0].text.contains(
            QDir::toNativeSeparators(QCoreApplication::applicationDirPath())));
    }

    void pcManualInTheSettingsLanguage_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("title");
        QTest::newRow("chinese") << 0 << QStringLiteral("KX740D_PC_manual.pdf")
                                 << QStringLiteral("KX740D PC 软件使用说明书");
        QTest::newRow("english") << 1 << QStringLiteral("KX740D_PC_manual_EN.pdf")
                                 << QStringLiteral("KX740D PC Software User Manual");
    }

    // The build prints the manuals beside the programs, this test among them;
    // poppler reads them back.
    void pcManualInTheSettingsLanguage()
    {
        QFETCH(int, language);
        QFETCH(QString, file);
        QFETCH(QString, title);
        AppSettings s;
        s.language = language;
        writeSettings(s);
        MainWindow w;
        w.form()->pushButton_15->click();
        QVERIFY(m_asked.isEmpty());
        const QString path = QDir(QCoreApplication::applicationDirPath()).filePath(file);
        QCOMPARE(m_opened.urls, QList<QUrl>{QUrl::fromLocalFile(path)});

        const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)$"),
                                       QRegularExpression::MultilineOption);
        const QRegularExpressionMatch match = pages.match(popplerOutput("pdfinfo", {path}));
        QVERIFY2(match.hasMatch(), "pdfinfo cannot read the manual");
        QVERIFY(match.captured(1).toInt() >= 2);
        // CJK fonts map some glyphs to compatibility characters (the radical
        // for 文); the normalized text reads as written.
        const QString firstPage =
            popplerOutput("pdftotext",
                          {QStringLiteral("-l"), QStringLiteral("1"), QStringLiteral("-enc"),
                           QStringLiteral("UTF-8"), path, QStringLiteral("-")})
                .normalized(QString::NormalizationForm_KC);
        QVERIFY2(firstPage.contains(title), qPrintable(firstPage.left(200)));
    }

    void menuAndPageNavigation()
    {
        MainWindow w;
        Ui::MainWindow *ui = w.form();
        QCOMPARE(ui->stackedWidget_menu->currentIndex(), 0);
        QVERIFY(ui->pb_menu_dev->isChecked());
        ui->pb_menu_unit->click();
        QCOMPARE(ui->stackedWidget_menu->currentIndex(), 1);
        QVERIFY(!ui->pb_menu_dev->isChecked());
        ui->pb_menu_graph->click();
        QCOMPARE(ui->stackedWidget_menu->currentIndex(), 10);
        QVERIFY(ui->pb_menu_graph->isChecked() && !ui->pb_menu_unit->isChecked());
        w.systemPage()->handelMenuButtonGroup(11);
        w.systemPage()->handelMenuButtonGroup(-1);
        QCOMPARE(ui->stackedWidget_menu->currentIndex(), 10);
        ui->pb_menu_dev->click();
        QCOMPARE(ui->stackedWidget_menu->currentIndex(), 0);

        ui->stackedWidget->setCurrentIndex(1);
        ui->pb_bash->click();
        QCOMPARE(ui->stackedWidget->currentIndex(), 0);
        ui->stackedWidget->setCurrentIndex(1);
        ui->pb_dev_info->click();
        QCOMPARE(ui->stackedWidget->currentIndex(), 0);
    }

    void settingsWindowHostsTheSettingsPanel()
    {
        MainWindow w;
        FormSetting *settings = w.settingsWindow();
        QVERIFY(settings->isHidden());
        w.form()->pb_sys_setting->click();
        QCOMPARE(w.form()->widget_setting->window(), settings);
        QVERIFY(settings->isVisible());
        QVERIFY(settings->testAttribute(Qt::WA_ShowModal));
        settings->on_pb_win_close_clicked();
        QVERIFY(settings->isHidden());
        QCOMPARE(w.form()->widget_setting->window(), settings); // the panel stays there

        w.form()->pb_debug->click();
        QVERIFY(settings->isVisible());
        w.form()->pb_debug->click();
        QVERIFY(settings->isHidden());
        QVERIFY(!settings->testAttribute(Qt::WA_ShowModal));
        w.form()->pb_debug->click();
        QVERIFY(settings->isVisible());
        settings->hide();
    }

    // Centred on the main window at its first opening as at every later one.
    void settingsWindowOpensCentred()
    {
        MainWindow w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        FormSetting *settings = w.settingsWindow();
        QRect opened[2];
        for (QRect &geometry : opened) {
            w.form()->pb_sys_setting->click();
            QVERIFY(QTest::qWaitForWindowExposed(settings));
            QTest::qWait(50);
            geometry = settings->frameGeometry();
            settings->on_pb_win_close_clicked();
        }
        QCOMPARE(opened[0], opened[1]);
    }

    void connectionLookFollowsTheLink()
    {
        MainWindow w;
        Ui::MainWindow *ui = w.form();
        QCOMPARE(w.windowTitle(), QStringLiteral("KX740D "));
        QCOMPARE(ui->pb_connect->text(), QStringLiteral("连接设备"));

        w.instrumentPage()->updateCOMInfo(0); // no change from the start state: nothing refreshed
        QCOMPARE(w.windowTitle(), QStringLiteral("KX740D "));

        w.instrumentPage()->updateCOMInfo(1);
        QCOMPARE(ui->pb_connect->text(), QStringLiteral("断开连接"));
        QCOMPARE(ui->pb_connect->getNormalBgColor(), QColor("#f97932"));
        QCOMPARE(ui->pb_connect->getHoverBgColor(), QColor("#ffaa7f"));
        QCOMPARE(w.windowTitle(), QStringLiteral("KX740D  已连接设备"));
        _T_PRINT_OUT_DATA reading;
        reading.value[0] = 23.5f;
        w.recordingPage()->live_data(reading);
        QCOMPARE(w.dashboard()->valueTexts().at(0), QStringLiteral("23.5"));

        // Disconnected: nothing looks live; the button is grey again.
        w.instrumentPage()->updateCOMInfo(0);
        QCOMPARE(ui->pb_connect->text(), QStringLiteral("连接设备"));
        QCOMPARE(ui->pb_connect->getNormalBgColor(), QColor("#999999"));
        QCOMPARE(ui->pb_connect->getHoverBgColor(), QColor("#e0e0e0"));
        QCOMPARE(w.windowTitle(), QStringLiteral("KX740D  未连接设备"));
        QCOMPARE(w.dashboard()->valueTexts(),
                 QStringList(QVector<QString>(4, QStringLiteral("--\\--")).toList()));
    }

    void linkStateReachesTheWindow()
    {
        QObject owner;
        const QString port =
            startSimulatorIfAsked({QStringLiteral("kx740d"), QStringLiteral("--simulate")}, &owner);
        QVERIFY(!port.isEmpty());
        MainWindow w;
        QVERIFY(w.serialHandle()->openPort(port, 115200));
        QTRY_COMPARE_WITH_TIMEOUT(w.windowTitle(), QStringLiteral("KX740D  已连接设备"), 2000);
        QCOMPARE(w.form()->pb_connect->text(), QStringLiteral("断开连接"));
        w.serialHandle()->closePort();
        QTRY_COMPARE_WITH_TIMEOUT(w.windowTitle(), QStringLiteral("KX740D  未连接设备"), 2000);
    }

    void portChoiceVisibility_data()
    {
        QTest::addColumn<QStringList>("ports");
        QTest::addColumn<bool>("visible");
        QTest::newRow("none") << QStringList() << false;
        QTest::newRow("one") << QStringList{QStringLiteral("ttyUSB0")} << false;
        QTest::newRow("two") << QStringList{QStringLiteral("ttyUSB0"), QStringLiteral("ttyUSB1")}
                             << true;
    }

    void portChoiceVisibility()
    {
        QFETCH(QStringList, ports);
        QFETCH(bool, visible);
        MainWindow::setPortSource([ports] { return ports; });
        MainWindow w;
        QComboBox *box = w.form()->comboBox_COM;
        QCOMPARE(box->count(), ports.size());
        QCOMPARE(!box->isHidden(), visible);
        w.instrumentPage()->updateCOMInfo(1);
        QVERIFY(box->isHidden()); // never while connected
        w.instrumentPage()->updateCOMInfo(0);
        QCOMPARE(!box->isHidden(), visible);
    }

    void pluggingAnInstrumentRefreshesTheList()
    {
        QStringList attached{QStringLiteral("ttyUSB0")};
        MainWindow::setPortSource([&attached] { return attached; });
        MainWindow w;
        QComboBox *box = w.form()->comboBox_COM;
        QVERIFY(box->isHidden());
        attached.prepend(QStringLiteral("ttyACM0"));
        QTRY_COMPARE_WITH_TIMEOUT(box->count(), 2, 2000);
        QVERIFY(!box->isHidden());
        // The port chosen stays chosen when another one comes.
        QCOMPARE(box->currentText(), QStringLiteral("ttyUSB0"));
        QCOMPARE(w.windowTitle(), QStringLiteral("KX740D  未连接设备"));
        attached.clear();
        QTRY_COMPARE_WITH_TIMEOUT(box->count(), 0, 2000);
        QVERIFY(box->isHidden());
    }

    void bordersResizeAndButtonsMaximise()
    {
        MainWindow w;
        w.setGeometry(100, 100, 1200, 760);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QRect start = w.geometry();
        // The press lands on whatever child covers the corner, as a real one would.
        const QPoint corner(w.width() - 2, w.height() - 2);
        QWidget *target = w.childAt(corner) ? w.childAt(corner) : &w;
        auto send = [&](QEvent::Type type, const QPoint &windowPos, Qt::MouseButton button,
                        Qt::MouseButtons buttons) {
            QMouseEvent e(type, target->mapFrom(&w, windowPos), windowPos, w.mapToGlobal(windowPos),
                          button, buttons, Qt::NoModifier);
            QCoreApplication::sendEvent(target, &e);
        };
        send(QEvent::MouseButtonPress, corner, Qt::LeftButton, Qt::LeftButton);
        send(QEvent::MouseMove, corner + QPoint(30, 20), Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, corner + QPoint(30, 20), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(w.geometry().topLeft(), start.topLeft());
        QCOMPARE(w.geometry().size(), start.size() + QSize(30, 20));

        w.form()->pb_win_max->click();
        QVERIFY(w.isMaximized());
        w.form()->pb_win_max->click();
        QVERIFY(!w.isMaximized());
        w.form()->pb_win_close->click();
        QVERIFY(!w.isVisible());
    }

    void statusTextWhileNoInstrumentAnswered()
    {
        MainWindow w;
        w.handleTimeOut();
        QCOMPARE(w.form()->label_dev_status->text(), QStringLiteral("状态：未就绪"));
    }

    void closePrompt_data()
    {
        QTest::addColumn<bool>("modified");
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("closes");
        QTest::newRow("nothing unsaved") << false << -1 << true;
        QTest::newRow("cancel") << true << 2 << false;
        QTest::newRow("escape") << true << -1 << false;
        QTest::newRow("no") << true << 1 << true;
        // the save dialog follows and is cancelled: nothing saved, nothing dropped
        QTest::newRow("yes") << true << 0 << false;
    }

    void closePrompt()
    {
        QFETCH(bool, modified);
        QFETCH(int, answer);
        QFETCH(bool, closes);
        MainWindow w;
        w.show();
        if (modified)
            w.document().markModified();
        m_answers << pressButton(answer);
        QCOMPARE(w.close(), closes);
        QCOMPARE(w.isVisible(), !closes);
        if (!modified) {
            QVERIFY(m_asked.isEmpty());
            return;
        }
        QCOMPARE(m_asked.size(), answer == 0 ? 2 : 1);
        QCOMPARE(m_asked[0].kind, DialogRequest::Question);
        QCOMPARE(m_asked[0].title, QStringLiteral("保存数据"));
        QCOMPARE(m_asked[0].text, QStringLiteral("是否保存现有列表数据？\n不保存目前数据将会丢失"));
        QCOMPARE(m_asked[0].buttons,
                 (QStringList{QStringLiteral("是"), QStringLiteral("否"), QStringLiteral("取消")}));
        QCOMPARE(m_asked[0].defaultButton, 2);
    }
};

QTEST_MAIN(TestMainWindowShell)
#include "tst_mainwindowshell.moc"
