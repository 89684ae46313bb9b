// End-to-end run of the real program on a real X server: exactly the start-up
// of kx740d (runProgram, with --simulate --connect), then a user's way through
// it by mouse clicks on the real widgets: connect, record, stop, save, export
// a workbook and a report. Screenshots of the screen are taken on the way.
//
//   e2e_driver --simulate --connect --language en|zh --shots DIR
//
// Runs in a fresh temporary working directory holding only config.cfg; the
// translations and the style sheet are found beside the executable. With
// KX_SCREENSHOT_DIR set, the window alone is also saved there as
// e2e-<step>-<en|zh>.png, and the settings window's MQTT page as
// mqtt-page-<en|zh>.png.

#include "app/desktopopener.h"
#include "app/mainwindow.h"
#include "app/startup.h"
#include "app/userdialogs.h"
#include "chart/chartplot.h"
#include "instrument/temperature.h"
#include "mqtt/mqttconnecterror.h"
#include "settings/settingsfile.h"
#include "store/datafile.h"
#include "tests/mqtt/testbroker.h"
#include "ui_mainwindow.h"
#include "widgets/bash.h"
#include "widgets/formsetting.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <qcustomplot.h>

#include <cmath>
#include <cstring>

namespace {

// The texts the window shows in each language.
struct LanguageTexts
{
    QString title;
    QString disconnectButton;
    QString recordingGuard;
};

const LanguageTexts kEnglish{QStringLiteral("KX740D  device connected"),
                             QStringLiteral("Disconnect"),
                             QStringLiteral("Recording in progress. Please stop the recording "
                                            "and try again.")};
const LanguageTexts kChinese{QStringLiteral("KX740D  已连接设备"), QStringLiteral("断开连接"),
                             QStringLiteral("数据记录中，请停止记录后尝试")};

// Readings to record before stopping; at the 1 s interval a few seconds.
constexpr int kReadings = 8;
// Generous waits: connecting runs a handshake over a paced pseudo-terminal,
// and a loaded machine may be slow to start the X server's clients.
constexpr int kConnectTimeoutMs = 15000;
constexpr int kRecordTimeoutMs = 20000;
constexpr int kExportTimeoutMs = 15000;

// Waits for `expr` at most `timeoutMs`, handling events, and fails with the
// condition's text. Unlike QTRY_*, a failure costs only the timeout itself,
// so the whole run stays within the suite's time limit.
#define E2E_WAIT(expr, timeoutMs)                                                                  \
    QVERIFY2(QTest::qWaitFor([&] { return bool(expr); }, timeoutMs), "timed out waiting "          \
                                                                     "for " #expr)

QString optionValue(const QStringList &args, const QString &name)
{
    const int i = args.indexOf(name);
    return i >= 0 && i + 1 < args.size() ? args.at(i + 1) : QString();
}

QByteArray fileHead(const QString &path, int bytes)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(bytes) : QByteArray();
}

} // namespace

// Records the files the program hands to the desktop instead of opening them.
class OpenedFiles : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};

class EndToEnd : public QObject
{
    Q_OBJECT

public:
    // `shotsDir` and `docsDir` (may be empty) are absolute paths.
    EndToEnd(const QString &language, const QString &workDir, const QString &shotsDir,
             const QString &docsDir)
        : m_language(language), m_workDir(workDir), m_shotsDir(shotsDir), m_docsDir(docsDir),
          m_texts(language == QLatin1String("en") ? kEnglish : kChinese)
    {
    }

    // Every dialog is recorded and answered from the queue; an empty queue
    // answers as a closed dialog does.
    DialogAnswer answer(const DialogRequest &request)
    {
        m_asked << request;
        return m_answers.isEmpty() ? DialogAnswer() : m_answers.takeFirst();
    }

    void setWindow(MainWindow *window) { m_window = window; }

private:
    const QString m_language;
    const QString m_workDir;
    const QString m_shotsDir;
    const QString m_docsDir;
    const LanguageTexts m_texts;
    MainWindow *m_window = nullptr;
    QList<DialogRequest> m_asked;
    QList<DialogAnswer> m_answers;
    OpenedFiles m_opened;
    // The measurement as it was when the recording stopped.
    QVector<_T_EE_TEST_DATA> m_recorded;
    // Each step builds on the one before; after a failure the rest are
    // skipped rather than left to run into their timeouts.
    bool m_stepFailed = false;
    QDateTime m_recordingStarted;

    Ui::MainWindow *ui() const { return m_window->form(); }
    QString workFile(const QString &name) const { return QDir(m_workDir).filePath(name); }

    static DialogAnswer saveAs(const QString &path, const QString &filter = QString())
    {
        DialogAnswer a;
        a.accepted = true;
        a.text = path;
        a.selectedFilter = filter;
        return a;
    }

    // The whole screen into the output folder, and with KX_SCREENSHOT_DIR
    // the window `shown` (the main window unless given) alone into that
    // folder, as `docName` (e2e-<step>-<language>.png unless given). A real X
    // server drew the window, so the picture has to show more than a single
    // colour.
    void screenshot(const QString &step, QWidget *shown = nullptr,
                    const QString &docName = QString())
    {
        if (!shown)
            shown = m_window;
        // Let pending repaints reach the X server before its picture is read.
        QCoreApplication::processEvents();
        QTest::qWait(300);
        QScreen *screen = shown->screen();
        QVERIFY(screen);
        const QPixmap full = screen->grabWindow(0);
        QVERIFY(!full.isNull());
        const QString name = QStringLiteral("e2e-%1-%2.png").arg(step, m_language);
        QVERIFY(full.save(QDir(m_shotsDir).filePath(name)));

        const QRect frame = shown->frameGeometry().intersected(screen->geometry());
        QVERIFY(!frame.isEmpty());
        const QImage window = full.copy(frame).toImage();
        QSet<QRgb> colours;
        for (int y = 0; y < window.height() && colours.size() < 16; y += 7)
            for (int x = 0; x < window.width() && colours.size() < 16; x += 7)
                colours.insert(window.pixel(x, y));
        QVERIFY2(colours.size() >= 16, "the screen does not show the window");

        if (!m_docsDir.isEmpty())
            QVERIFY(window.save(QDir(m_docsDir).filePath(docName.isEmpty() ? name : docName), "PNG",
                                9));
    }

    int requestsOfKind(DialogRequest::Kind kind) const
    {
        int n = 0;
        for (const DialogRequest &r : m_asked)
            n += r.kind == kind;
        return n;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_window);
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
        QCOMPARE(QDir::current().absolutePath(), QDir(m_workDir).absolutePath());
        setDesktopOpener([this](const QString &path, const std::function<void()> &) {
            m_opened.open(QUrl::fromLocalFile(path));
        });
    }

    void init()
    {
        if (m_stepFailed)
            QSKIP("an earlier step failed");
    }

    void cleanup() { m_stepFailed = m_stepFailed || QTest::currentTestFailed(); }

    void cleanupTestCase()
    {
        setDesktopOpener({});
        if (m_stepFailed)
            return;
        // Exactly what the way through asked: the refused save while
        // recording, one save dialog and two export dialogs; no failure box.
        QCOMPARE(requestsOfKind(DialogRequest::Information), 1);
        QCOMPARE(requestsOfKind(DialogRequest::SaveFile), 3);
        QCOMPARE(m_asked.size(), 4);
    }

    void connectsToTheSimulatedInstrument()
    {
        // On a timeout the comparison below shows the title that was reached.
        const bool titled = QTest::qWaitFor(
            [&] { return m_window->windowTitle() == m_texts.title; }, kConnectTimeoutMs);
        Q_UNUSED(titled)
        QCOMPARE(m_window->windowTitle(), m_texts.title);
        QCOMPARE(ui()->pb_connect->text(), m_texts.disconnectButton);
        // The handshake brought the instrument's name and its live readings:
        // T1 to T3 carry thermocouples, T4 has none.
        E2E_WAIT(!ui()->label_dev_name->text().isEmpty(), kConnectTimeoutMs);
        Bash *bash = m_window->dashboard();
        E2E_WAIT(bash->valueTexts().size() == 4, kConnectTimeoutMs);
        E2E_WAIT(
            [&] {
                bool ok = false;
                bash->valueTexts().at(0).toDouble(&ok);
                return ok;
            }(),
            kConnectTimeoutMs);
        screenshot(QStringLiteral("connected"));
    }

    void intervalIsOneSecond()
    {
        // A simulated instrument starts at 1 s; any other interval is set
        // through the boxes as a user would.
        if (m_window->device().interval() != 1) {
            const QList<QSpinBox *> boxes{ui()->spinBox_interval_hour, ui()->spinBox_interval_min,
                                          ui()->spinBox_interval_sec};
            const QList<int> values{0, 0, 1};
            for (int i = 0; i < boxes.size(); ++i) {
                boxes[i]->setFocus();
                boxes[i]->selectAll();
                QTest::keyClicks(boxes[i], QString::number(values[i]));
                QTest::keyClick(boxes[i], Qt::Key_Return);
            }
        }
        E2E_WAIT(m_window->device().interval() == 1u, kConnectTimeoutMs);
        QCOMPARE(ui()->spinBox_interval_sec->value(), 1);
        QCOMPARE(ui()->spinBox_interval_min->value(), 0);
        QCOMPARE(ui()->spinBox_interval_hour->value(), 0);
    }

    void recordsLiveReadings()
    {
        QVERIFY(ui()->pb_start->isCheckable());
        m_recordingStarted = QDateTime::currentDateTime();
        QTest::mouseClick(ui()->pb_start, Qt::LeftButton);
        QVERIFY(ui()->pb_start->isChecked());
        QVERIFY(m_window->device().isRecording());

        // The chart grows with the readings while recording.
        QCPGraph *t1 = m_window->chart().plot()->graph(0);
        QVERIFY(t1);
        E2E_WAIT(m_window->device().recordedCount() >= 2, kRecordTimeoutMs);
        E2E_WAIT(t1->dataCount() >= 2, kRecordTimeoutMs);
        const int earlier = t1->dataCount();
        E2E_WAIT(m_window->device().recordedCount() >= kReadings, kRecordTimeoutMs);
        E2E_WAIT(t1->dataCount() >= kReadings && t1->dataCount() > earlier, kRecordTimeoutMs);
        screenshot(QStringLiteral("recording"));

        // Files are not touched while a recording runs.
        QTest::mouseClick(ui()->pb_save_file, Qt::LeftButton);
        QCOMPARE(requestsOfKind(DialogRequest::SaveFile), 0);
        QCOMPARE(m_asked.size(), 1);
        QCOMPARE(m_asked.last().kind, DialogRequest::Information);
        QCOMPARE(m_asked.last().text, m_texts.recordingGuard);
    }

    void stopsIntoTheMeasurement()
    {
        QVERIFY(m_window->device().isRecording());
        QTest::mouseClick(ui()->pb_start, Qt::LeftButton);
        QVERIFY(!ui()->pb_start->isChecked());
        QVERIFY(!m_window->device().isRecording());
        const QDateTime stopped = QDateTime::currentDateTime();

        Data_List_T *measurement = m_window->currentMeasurement();
        QVERIFY(measurement);
        const int recorded = m_window->device().recordedCount();
        QVERIFY(recorded >= kReadings);
        QCOMPARE(measurement->records.size(), recorded);
        QVERIFY(m_window->isModified());
        // Readings are stamped with the computer's clock on arrival, in
        // order and within the recording (whole seconds, hence the margin;
        // a reading that arrives late may share its second with the next),
        // and T1 holds a real temperature in every reading.
        const QDateTime from = m_recordingStarted.addSecs(-1);
        const QDateTime to = stopped.addSecs(1);
        QDateTime previous = from;
        for (const _T_EE_TEST_DATA &r : measurement->records) {
            const QDateTime t = dateTimeFromRecord(r);
            QVERIFY(t.isValid());
            QVERIFY2(t >= previous && t <= to, qPrintable(t.toString(Qt::ISODate)));
            previous = t;
            QVERIFY(std::isfinite(r.value[0]));
            QVERIFY(r.value[0] > -50.0f && r.value[0] < 1400.0f);
        }
        m_recorded = measurement->records;
    }

    void savesTheDataFile()
    {
        QVERIFY(!m_recorded.isEmpty());
        const QString path = workFile(QStringLiteral("e2e.dat"));
        m_answers << saveAs(path);
        QTest::mouseClick(ui()->pb_save_file, Qt::LeftButton);
        QCOMPARE(m_asked.last().kind, DialogRequest::SaveFile);
        QVERIFY(!m_window->isModified());

        // The file read back holds the recorded measurement record for record.
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        Data_table_T archive;
        QVERIFY(dataFileFromBytes(file.readAll(), archive));
        bool found = false;
        for (const Data_List_T *list : qAsConst(archive.lists)) {
            if (list->records.size() != m_recorded.size())
                continue;
            found = std::memcmp(list->records.constData(), m_recorded.constData(),
                                size_t(m_recorded.size()) * sizeof(_T_EE_TEST_DATA)) == 0;
            if (found)
                break;
        }
        QVERIFY2(found, "the recorded measurement is not in the data file");
    }

    void exportsAWorkbook()
    {
        const QString path = workFile(QStringLiteral("e2e.xlsx"));
        m_answers << saveAs(path, QStringLiteral("(*.xlsx)"));
        const int opened = m_opened.urls.size();
        QTest::mouseClick(ui()->pb_save_file_as, Qt::LeftButton);
        E2E_WAIT(m_opened.urls.size() == opened + 1, kExportTimeoutMs);
        QCOMPARE(m_opened.urls.last(), QUrl::fromLocalFile(path));
        // A workbook is a zip archive whose directory names its parts.
        QCOMPARE(fileHead(path, 2), QByteArray("PK"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.contains("xl/workbook.xml"));
        QVERIFY(bytes.contains("xl/worksheets/sheet1.xml"));
    }

    void exportsAReport()
    {
        const QString path = workFile(QStringLiteral("e2e.pdf"));
        m_answers << saveAs(path, QStringLiteral("(*.pdf)"));
        const int opened = m_opened.urls.size();
        QTest::mouseClick(ui()->pb_save_file_as, Qt::LeftButton);
        E2E_WAIT(m_opened.urls.size() == opened + 1, kExportTimeoutMs);
        QCOMPARE(m_opened.urls.last(), QUrl::fromLocalFile(path));
        QCOMPARE(fileHead(path, 5), QByteArray("%PDF-"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.size() > 1000);
        QVERIFY(file.readAll().right(32).contains("%%EOF"));
        screenshot(QStringLiteral("exported"));
    }

    // The MQTT page of the settings window after a connection test against
    // a local port where no broker runs (the usual one when it is free).
    void testsABrokerThatIsNotThere()
    {
        QTest::mouseClick(ui()->pb_sys_setting, Qt::LeftButton);
        FormSetting *settings = m_window->settingsWindow();
        E2E_WAIT(settings->isVisible(), kConnectTimeoutMs);
        auto *tabs = settings->findChild<QTabWidget *>(QStringLiteral("tabWidget"));
        QVERIFY(tabs);
        QTabBar *bar = tabs->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(1).center());
        QCOMPARE(tabs->currentIndex(), 1);

        const quint16 port = loopbackPortAccepts(1883) ? freeLoopbackPort() : 1883;
        auto *url = settings->findChild<QLineEdit *>(QStringLiteral("lineEdit_mqtt_url"));
        QVERIFY(url);
        QTest::keyClicks(url, QStringLiteral("mqtt://127.0.0.1:%1").arg(port));
        auto *status = settings->findChild<QLabel *>(QStringLiteral("label_mqtt_status"));
        QVERIFY(status);
        QTest::mouseClick(
            settings->findChild<QPushButton *>(QStringLiteral("pushButton_mqtt_test")),
            Qt::LeftButton);
        E2E_WAIT(status->text().contains(connectErrorText(MOSQ_ERR_ERRNO, ECONNREFUSED)),
                 kConnectTimeoutMs);
        url->clearFocus();
        screenshot(QStringLiteral("mqtt"), settings,
                   QStringLiteral("mqtt-page-%1.png").arg(m_language));
        settings->on_pb_win_close_clicked();
        QVERIFY(!settings->isVisible());
        // The clear button of the line edit fades in with an animation of its
        // own that deletes itself when it ends (160 ms); the event loop lets
        // it end before the program does.
        QTest::qWait(300);
    }
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const QString language = optionValue(args, QStringLiteral("--language"));
    const QString shots = optionValue(args, QStringLiteral("--shots"));
    if ((language != QLatin1String("en") && language != QLatin1String("zh")) || shots.isEmpty() ||
        !args.contains(QStringLiteral("--simulate"))) {
        qCritical("usage: e2e_driver --simulate [--connect] --language en|zh --shots DIR");
        return 2;
    }
    if (!QDir().mkpath(shots)) {
        qCritical("cannot create %s", qPrintable(shots));
        return 2;
    }
    // Both folders are named relative to where the driver was started.
    const QString shotsDir = QFileInfo(shots).absoluteFilePath();
    const QString docs = qEnvironmentVariable("KX_SCREENSHOT_DIR");
    const QString docsDir = docs.isEmpty() ? QString() : QFileInfo(docs).absoluteFilePath();
    if (!docsDir.isEmpty() && !QDir().mkpath(docsDir)) {
        qCritical("cannot create %s", qPrintable(docsDir));
        return 2;
    }

    QTemporaryDir work;
    if (!work.isValid() || !QDir::setCurrent(work.path())) {
        qCritical("no temporary working directory");
        return 2;
    }
    AppSettings settings;
    settings.language = language == QLatin1String("en") ? kLanguageEnglish : kLanguageChinese;
    settings.dataDir = QDir(work.path()).filePath(QStringLiteral("data"));
    QFile config(QStringLiteral("config.cfg"));
    if (!config.open(QIODevice::WriteOnly) || config.write(encodeSettings(settings)) < 0) {
        qCritical("cannot write config.cfg");
        return 2;
    }
    config.close();

    EndToEnd run(language, work.path(), shotsDir, docsDir);
    UserDialogs::setResponder([&run](const DialogRequest &r) { return run.answer(r); });
    // The test functions run inside the program's own event loop, once the
    // window is up and the connection has been started.
    const int result = runProgram(app, [&](MainWindow &window) {
        run.setWindow(&window);
        QTimer::singleShot(0, &app, [&] {
            const int failures = QTest::qExec(&run, QStringList{args.first()});
            QCoreApplication::exit(failures == 0 ? 0 : 1);
        });
    });
    UserDialogs::setResponder({});
    return result;
}

#include "e2e_driver.moc"
