// Draws the screenshots of comparing measurements: three furnace runs
// aligned where T1 first rises through 100 ℃ with the statistics panel open,
// and a recording made with two instruments shown from its group node.
// Usage: overlayshots <language 0|1> <overlay.png> <group.png>; run in
// build/bin.

#include "app/chartpage.h"
#include "app/mainwindow.h"
#include "app/startup.h"
#include "chart/overlayrules.h"
#include "resources/initresources.h"
#include "store/measurementgroups.h"
#include "ui_mainwindow.h"

#include <QApplication>
#include <QComboBox>
#include <QDockWidget>
#include <QDoubleSpinBox>
#include <QTimer>

#include <cmath>

namespace {

// A furnace run from `start`: T1 heats towards `top` after `delay` seconds,
// T2 follows it, T3 the cooling water, T4 the room. One reading a second.
QVector<_T_EE_TEST_DATA> furnaceRun(const QDateTime &start, int delay, double top, int seconds)
{
    QVector<_T_EE_TEST_DATA> records(seconds);
    for (int k = 0; k < seconds; ++k) {
        const QDateTime t = start.addSecs(k);
        _T_EE_TEST_DATA &r = records[k];
        r.year = quint8(t.date().year() - 2000);
        r.month = quint8(t.date().month());
        r.day = quint8(t.date().day());
        r.hour = quint8(t.time().hour());
        r.minute = quint8(t.time().minute());
        r.second = quint8(t.time().second());
        const double heating = k < delay ? 0 : 1 - std::exp(-(k - delay) / 400.0);
        r.value[0] = float(22 + (top - 22) * heating + 1.5 * std::sin(k / 20.0));
        r.value[1] = float(22 + (top - 60) * heating * heating);
        r.value[2] = float(15 + 6 * heating);
        r.value[3] = float(21 + 0.6 * std::sin(k / 200.0));
    }
    return records;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 4)
        return 2;
    kxInitResources();
    installTranslators(app, QString::fromLocal8Bit(argv[1]).toInt());
    MainWindow::setPortSource([] { return QStringList(); });
    MainWindow w;
    w.resize(1500, 900);
    w.show();
    w.form()->checkBox_legend->setChecked(true);
    w.form()->checkBox_xasix->setChecked(true);
    w.form()->checkBox_yasix->setChecked(true);

    Document &d = w.document();
    d.replace(Data_table_T(), QString());
    const QDate day(2026, 12, 7);
    d.addMeasurement(measurementOfRecords(furnaceRun(QDateTime(day, QTime(8, 0)), 120, 240, 3600),
                                          QStringLiteral("Run 1")));
    d.addMeasurement(
        measurementOfRecords(furnaceRun(QDateTime(day.addDays(1), QTime(9, 15)), 480, 260, 3600),
                             QStringLiteral("Run 2")));
    d.addMeasurement(
        measurementOfRecords(furnaceRun(QDateTime(day.addDays(2), QTime(7, 40)), 300, 225, 3600),
                             QStringLiteral("Run 3")));
    const QDateTime kiln(day.addDays(3), QTime(10, 0));
    d.addMeasurement(measurementOfRecords(
        furnaceRun(kiln, 60, 300, 2400),
        instrumentMeasurementName(QStringLiteral("Kiln"), QStringLiteral("oven"))));
    d.addMeasurement(measurementOfRecords(
        furnaceRun(kiln.addSecs(4), 90, 180, 2400),
        instrumentMeasurementName(QStringLiteral("Kiln"), QStringLiteral("door"))));

    QTreeWidget *tree = w.form()->treeWidget;
    tree->setCurrentItem(tree->topLevelItem(0));
    tree->clearSelection();
    for (int row = 0; row < 3; ++row)
        tree->topLevelItem(row)->setSelected(true);
    w.findChild<QDoubleSpinBox *>(QStringLiteral("overlay_temperature"))->setValue(100);
    w.findChild<QComboBox *>(QStringLiteral("overlay_alignment"))
        ->setCurrentIndex(int(OverlayAlignment::Crossing));
    w.chartPage()->statisticsDock()->show();

    QTimer::singleShot(400, [&] {
        w.grab().save(QString::fromLocal8Bit(argv[2]));
        w.chartPage()->statisticsDock()->hide();
        QTreeWidgetItem *group = tree->topLevelItem(3);
        tree->setCurrentItem(group);
        tree->clearSelection();
        group->setSelected(true);
        QTimer::singleShot(400, [&] {
            w.grab().save(QString::fromLocal8Bit(argv[3]));
            app.quit();
        });
    });
    return app.exec();
}
