// Draws the README's chart screenshots: a quarter of an hour of recording on
// a simulated clock, shown on the chart tab and on the table tab.
// With a fourth argument the stopped recording is also exported as a PDF
// report through the save-as dialog.
// A fifth argument records that many seconds instead of 900.
// Usage: chartshots <language 0|1> <chart.png> <table.png> [report.pdf
// [seconds]]; run in build/bin.

#include "app/desktopopener.h"
#include "app/mainwindow.h"
#include "app/startup.h"
#include "resources/initresources.h"
#include "tests/app/fakerecording.h"
#include "ui_mainwindow.h"

#include "app/userdialogs.h"

#include <QApplication>
#include <QFont>
#include <QTimer>

#include <cmath>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 4 || argc > 6)
        return 2;
    kxInitResources();
    QApplication::setFont(QFont(QStringLiteral("Consolas")));
    installTranslators(app, QString::fromLocal8Bit(argv[1]).toInt());
    MainWindow::setPortSource([] { return QStringList(); });

    IdlePort port;
    MainWindow w;
    w.resize(1400, 860);
    w.show();

    FakeRecording recording(w, port, QDateTime(QDate(2026, 12, 7), QTime(9, 30, 0)));
    w.form()->checkBox_legend->setChecked(true);
    w.form()->checkBox_xasix->setChecked(true);
    w.form()->checkBox_yasix->setChecked(true);
    recording.start();
    // An oven warming up, its door, a cooling plate and the room; T3's probe
    // is pulled out for half a minute.
    const int seconds = argc > 5 ? QString::fromLocal8Bit(argv[5]).toInt() : 900;
    for (int k = 0; k < seconds; ++k) {
        _T_PRINT_OUT_DATA r;
        r.value[0] = float(22 + 160 * (1 - std::exp(-k / 240.0)) + 2 * std::sin(k / 15.0));
        r.value[1] = float(22 + 90 * (1 - std::exp(-k / 400.0)));
        r.value[2] = float(18 - 12 * (1 - std::exp(-k / 300.0)));
        r.value[3] = float(21.5 + 0.8 * std::sin(k / 90.0));
        if (k > 500 && k < 530)
            r.status[2] = 0x20;
        recording.record(r);
    }
    w.handleTimeOut();

    QTimer::singleShot(300, [&] {
        w.grab().save(QString::fromLocal8Bit(argv[2]));
        w.form()->pb_switch->click();
        QTimer::singleShot(300, [&] {
            w.grab().save(QString::fromLocal8Bit(argv[3]));
            w.form()->pb_switch->click();
            w.form()->pb_start->click();
            if (argc == 4) {
                app.quit();
                return;
            }
            // The report is opened when written; that ends the run.
            setDesktopOpener(
                [](const QString &, const std::function<void()> &) { QCoreApplication::quit(); });
            UserDialogs::setResponder([&](const DialogRequest &) {
                DialogAnswer answer;
                answer.accepted = true;
                answer.text = QString::fromLocal8Bit(argv[4]);
                answer.selectedFilter = QStringLiteral("PDF 报告 (*.pdf)");
                return answer;
            });
            w.form()->pb_save_file_as->click();
        });
    });
    return app.exec();
}
