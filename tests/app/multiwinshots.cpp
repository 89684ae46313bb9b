// Draws the screenshots of several instruments in one window: the Device
// page of the settings window with three simulated instruments connected,
// and the live page with their three rows.
// Usage: multiwinshots <language 0|1> <device.png> <live.png>

#include "app/instrumentconnection.h"
#include "app/instrumentlist.h"
#include "app/instrumentpage.h"
#include "app/mainwindow.h"
#include "app/startup.h"
#include "app/systempage.h"
#include "resources/initresources.h"
#include "sim/instrumentsimulator.h"
#include "widgets/formsetting.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 4)
        return 2;
    kxInitResources();
    installTranslators(app, QString::fromLocal8Bit(argv[1]).toInt());
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());

    std::vector<std::unique_ptr<InstrumentSimulator>> sims;
    QStringList ports;
    for (int i = 1; i <= 3; ++i) {
        SimulatorOptions options;
        options.linkPath = dir.filePath(QStringLiteral("ttyUSB%1").arg(i - 1));
        options.deviceName = QByteArrayLiteral("OVEN-") + QByteArray::number(i);
        sims.push_back(std::make_unique<InstrumentSimulator>(options));
        if (!sims.back()->start())
            return 1;
        ports << options.linkPath;
    }
    MainWindow::setPortSource([ports] { return ports; });
    MainWindow w;
    w.resize(1400, 860);
    w.show();
    InstrumentList *list = w.instrumentPage()->instrumentList();
    const QString labels[] = {QStringLiteral("oven_top"), QStringLiteral("oven_middle"),
                              QStringLiteral("oven_door")};
    for (int row = 0; row < list->rowCount(); ++row) {
        list->labelEdit(row)->setText(labels[row]);
        list->labelEdit(row)->setModified(true);
        emit list->labelEdit(row)->editingFinished();
    }
    list->connectAllButton()->click();
    const bool ready = QTest::qWaitFor(
        [&] {
            int live = 0;
            for (InstrumentConnection *c : w.instruments())
                live += c->isLinked() && c->device().isIdentified() && c->hasReading();
            return live == 3;
        },
        15000);
    if (!ready)
        return 1;
    QTest::qWait(1500);
    w.grab().save(QString::fromLocal8Bit(argv[3]));
    w.systemPage()->on_pb_sys_setting_clicked();
    QTest::qWait(800);
    w.settingsWindow()->grab().save(QString::fromLocal8Bit(argv[2]));
    return 0;
}
