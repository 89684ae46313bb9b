#pragma once

#include <QList>
#include <QString>

#include <functional>

class MainWindow;
class QApplication;
class QCoreApplication;
class QObject;
class QStringList;
class QTranslator;

// The settings file's interface language: 0 Chinese, 1 English, any other
// value leaves the program's own (Chinese) texts untranslated.
constexpr int kLanguageChinese = 0;
constexpr int kLanguageEnglish = 1;

// Reads only the language from the start of the settings file (logo, tester
// name, company name, data folder, language). A missing or empty file gives
// English; a file that ends before the language field gives 0 (Chinese),
// which is what the stream's empty value for an integer is.
int readStartupLanguage(const QString &settingsFile);

// Loads and installs the translators for `language` on `app`: English from
// "KX740D_EN.qm"; Chinese from "ZH.qm" plus the toolkit's own texts from
// "widgets_zh_cn.qm"; none for other values. Returns the installed
// translators, owned by `app`.
QList<QTranslator *> installTranslators(QCoreApplication &app, int language);

// With "--simulate" among the arguments, starts a simulated instrument on a
// pseudo-terminal owned by `owner` and returns its port, which is then
// offered like an attached instrument. Returns an empty string otherwise, or
// when the simulator cannot start (the reason goes to the debug log).
QString startSimulatorIfAsked(const QStringList &arguments, QObject *owner);

// The program's command line: --help, --version, --simulate, --connect,
// --port NAME (repeatable) and an optional data file to open. Called before
// any window exists (also without a display): prints the help or the
// version to standard output and returns 0, prints an unknown option or a
// missing value with the usage to standard error and returns 2, and returns
// -1 when the program is to start. Texts in the language of "config.cfg".
int handleCommandLine(QCoreApplication &app);

// The data file named on the command line, or an empty string.
QString dataFileFromArguments(const QStringList &arguments);

// The whole start-up of the program on `app`, then its event loop: resources,
// font, the language from "config.cfg" in the working directory and its
// translators, the simulator and its port with "--simulate", the main window,
// the data file named on the command line, and with "--connect" a
// connection to the first port once the loop runs.
// `ready`, when given, is called with the shown window just before the loop
// starts (after the connection has been scheduled), so a driver can script
// the real program. Returns the event loop's exit code.
int runProgram(QApplication &app, const std::function<void(MainWindow &)> &ready = {});
