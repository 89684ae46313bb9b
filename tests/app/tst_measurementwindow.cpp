#include "app/instrumentpage.h"
#include "app/mainwindow.h"
#include "app/systempage.h"
#include "app/userdialogs.h"
#include "link/serialhandle.h"
#include "resources/initresources.h"
#include "sim/instrumentsimulator.h"
#include "tests/app/fakerecording.h"
#include "tests/app/windowtest.h"
#include "ui_mainwindow.h"
#include "widgets/bash.h"
#include "widgets/formsetting.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// The main window's measurement side. The end-to-end cases run against the
// simulated instrument on a pseudo-terminal through the real serial layer and
// link; expected command payloads are those of the protocol's tables.
class TestMeasurementWindow : public WindowTest
{
    Q_OBJECT

private:
    QList<QByteArray> m_commands; // payloads the simulator received
    QDateTime m_now;              // the driver's clock

    static DialogAnswer press(int index)
    {
        DialogAnswer a;
        a.button = index;
        return a;
    }
    static QByteArray hex(const char *text) { return QByteArray::fromHex(text); }

    std::unique_ptr<InstrumentSimulator> startSimulator(SimulatorOptions options = {})
    {
        options.paced = false;
        options.liveRate = 10;
        auto sim = std::make_unique<InstrumentSimulator>(options);
        if (!sim->start())
            return nullptr;
        connect(sim.get(), &InstrumentSimulator::commandReceived, this,
                [this](const QByteArray &payload) { m_commands << payload; });
        m_ports = QStringList{sim->portPath()};
        return sim;
    }

    // Clicks connect and waits for the instrument's name and for the answers
    // to the whole handshake.
    static bool connectByClick(MainWindow &w)
    {
        w.form()->pb_connect->click();
        return QTest::qWaitFor([&] {
                   return w.form()->label_dev_name->text() == QStringLiteral("设备名称：KX740D");
               }) &&
               settle(w);
    }

    // The instrument answers in order: once the stored-record count asked
    // for now is back, the configurations it sent back after every earlier
    // setting have been shown too.
    static bool settle(MainWindow &w)
    {
        w.form()->label_flash_used->clear();
        w.systemPage()->handelMenuButtonGroup(0);
        return QTest::qWaitFor([&] { return !w.form()->label_flash_used->text().isEmpty(); });
    }

    bool received(const QByteArray &payload)
    {
        return QTest::qWaitFor([&] { return m_commands.contains(payload); });
    }

    // Answers as the instrument sends them, so the driver keeps their state.
    static void receive(MainWindow &w, char type, const QByteArray &body)
    {
        w.device().codeDeal(QByteArray(1, type) + body);
    }
    static void receiveReading(MainWindow &w, float t1, quint8 t3Status = 0)
    {
        _T_PRINT_OUT_DATA r;
        r.value[0] = t1;
        r.status[2] = t3Status;
        r.ambient = 20.0f;
        receive(w, 1, printOutToBytes(r));
    }

    void useTestClock(MainWindow &w)
    {
        m_now = QDateTime(QDate(2026, 3, 4), QTime(10, 0, 0));
        w.device().setClock([this] { return m_now; });
        w.device().handleTimeOut();
    }
    void nextSecond(MainWindow &w)
    {
        m_now = m_now.addSecs(1);
        w.device().handleTimeOut();
    }

    template <typename Box, typename Value> static void edit(Box *box, Value value)
    {
        box->setValue(value);
        emit box->editingFinished();
    }

    bool onlyGuardBoxesAsked(int count) const
    {
        if (m_asked.size() != count)
            return false;
        for (const DialogRequest &r : m_asked)
            if (r.kind != DialogRequest::Information || !r.title.isEmpty() ||
                r.text != QStringLiteral("数据记录中，请停止记录后尝试") ||
                r.buttons != QStringList{QStringLiteral("确定")})
                return false;
        return true;
    }

private slots:
    void initTestCase() { kxInitResources(); }

    void init()
    {
        m_commands.clear();
        QVERIFY(setUpWindowTest());
    }

    void cleanup() { tearDownWindowTest(); }

    // ---- Connection ----

    void connectShowsTheInstrumentAndDisconnectForgetsIt()
    {
        SimulatorOptions options;
        options.storedRecords = 1234;
        auto sim = startSimulator(options);
        QVERIFY(sim);
        MainWindow w;
        Ui::MainWindow *ui = w.form();
        QVERIFY(connectByClick(w));
        QCOMPARE(ui->label_fw_ver->text(), QStringLiteral("固件版本：1.5"));
        QTRY_COMPARE(ui->label_flash_used->text(), QStringLiteral("1234/80000组"));
        QCOMPARE(ui->progressBar_2->value(), 1234);
        QTRY_COMPARE(w.windowTitle(), QStringLiteral("KX740D  已连接设备"));
        w.handleTimeOut();
        QCOMPARE(ui->label_dev_status->text(), QStringLiteral("状态 ：就绪"));
        // live values; T4 has no thermocouple in the simulator
        QTRY_VERIFY(w.dashboard()->valueTexts().at(0).toDouble() != 0);
        QCOMPARE(w.dashboard()->valueTexts().at(3), QStringLiteral("--\\--"));
        QVERIFY(m_asked.isEmpty());

        ui->pb_connect->click();
        QTRY_COMPARE(w.windowTitle(), QStringLiteral("KX740D  未连接设备"));
        w.handleTimeOut();
        QCOMPARE(ui->label_dev_status->text(), QStringLiteral("状态：未就绪"));
        // --connect at start-up: the first port of the list, whatever is chosen
        w.form()->comboBox_COM->addItem(QDir::current().filePath(QStringLiteral("ttyOther")));
        w.form()->comboBox_COM->setCurrentIndex(1);
        w.instrumentPage()->connectToFirstPort();
        QTRY_COMPARE(w.windowTitle(), QStringLiteral("KX740D  已连接设备"));
        QVERIFY(m_asked.isEmpty());

        w.instrumentPage()->flash_used_num_update(0);
        QCOMPARE(ui->label_flash_used->text(), QStringLiteral("0/80000组"));
        QCOMPARE(ui->progressBar_2->value(), 0);
    }

    void connectFailureIsExplained()
    {
        std::unique_ptr<MainWindow> w(new MainWindow);
        w->form()->pb_connect->click(); // no port at all: nothing happens
        QVERIFY(m_asked.isEmpty());

        const QString missing = QDir::current().filePath(QStringLiteral("ttyGone"));
        m_ports = QStringList{missing};
        w.reset(new MainWindow);
        w->form()->pb_connect->click();
        QCOMPARE(m_asked.size(), 1);
        QCOMPARE(m_asked[0].title, QString());
        QCOMPARE(m_asked[0].buttons, QStringList{QStringLiteral("确定")});
        const QStringList lines = m_asked[0].text.split(QLatin1Char('\n'));
        QCOMPARE(lines.value(0), QStringLiteral("无法打开串口 %1。").arg(missing));
        QVERIFY2(!lines.value(1).isEmpty(), qPrintable(m_asked[0].text)); // the link's text

        // while recording: the lost instrument may be connected again by
        // hand (here it still fails), everything else is refused
        m_asked.clear();
        w->device().setRecording(true);
        w->form()->pb_connect->click();
        QCOMPARE(m_asked.size(), 1);
        // It says the recording waits and goes on by itself, then why.
        QCOMPARE(m_asked[0].text.section(QLatin1Char('\n'), 0, 0),
                 QStringLiteral("与仪器的连接已断开：记录等待仪器重新连接后继续"));
        QCOMPARE(m_asked[0].text.section(QLatin1Char('\n'), 2, 2),
                 QStringLiteral("无法打开串口 %1。").arg(missing));
        QVERIFY(!m_asked[0].text.contains(QStringLiteral("IO Exception")));
        m_asked.clear();
        w->form()->pb_reset->click();
        w->form()->pb_sys_setting->click();
        QVERIFY(onlyGuardBoxesAsked(2));
        QVERIFY(w->settingsWindow()->isHidden());
    }

    void bluetoothQuestionOnConnect_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("是") << 0;
        QTest::newRow("取消") << 1;
    }

    void bluetoothQuestionOnConnect()
    {
        QFETCH(int, answer);
        SimulatorOptions options;
        options.bluetoothOn = true;
        auto sim = startSimulator(options);
        QVERIFY(sim);
        m_answers << press(answer);
        MainWindow w;
        w.form()->pb_connect->click();
        QTRY_COMPARE(m_asked.size(), 1);
        QCOMPARE(m_asked[0].title, QStringLiteral("提示"));
        QCOMPARE(m_asked[0].text, QStringLiteral("连接PC软件后将关闭蓝牙\n是否继续？"));
        QCOMPARE(m_asked[0].buttons, (QStringList{QStringLiteral("是"), QStringLiteral("取消")}));
        QCOMPARE(m_asked[0].defaultButton, 1);
        QCOMPARE(m_asked[0].escapeButton, 1);
        if (answer == 0) {
            QVERIFY(received(hex("430004 00000000000000000000000000")));
            QTRY_VERIFY(w.form()->pb_ble_off->isChecked());
            QVERIFY(w.serialHandle()->isOpen());
        } else {
            QTRY_VERIFY(!w.serialHandle()->isOpen());
            QVERIFY(w.form()->pb_ble_on->isChecked());
        }
        QCOMPARE(m_asked.size(), 1);
    }

    // Cancel disconnects for good: a recording must not reopen the port
    // and have the instrument ask again.
    void bluetoothCancelDuringARecordingStaysDisconnected()
    {
        IdlePort port;
        QVERIFY(port.open());
        m_ports = QStringList{port.path()};
        MainWindow w;
        w.form()->pb_connect->click();
        QVERIFY(w.serialHandle()->isOpen());
        w.form()->spinBox_interval_sec->setValue(1);
        w.form()->pb_start->click();
        QVERIFY(w.device().isRecording());
        _T_CTRL_CONFIG c;
        setCtrlInterval(c, 1);
        c.bluetooth = 1;
        receive(w, 6, ctrlConfigToBytes(c));
        QCOMPARE(m_asked.size(), 1);
        QTRY_VERIFY(!w.serialHandle()->isOpen());
        QTest::qWait(1500); // three times the recording's reopening pace
        QVERIFY(!w.serialHandle()->isOpen());
        QVERIFY(w.device().isRecording());
    }

    // ---- Settings ----

    void settingsReachTheInstrument()
    {
        auto sim = startSimulator();
        QVERIFY(sim);
        MainWindow w;
        Ui::MainWindow *ui = w.form();
        QVERIFY(connectByClick(w));
        ui->comboBox_T1->setCurrentIndex(6);
        QVERIFY(received(hex("4400010600000000000000")));
        // one at a time, as a user does: each is answered with the whole
        // configuration, which the window shows again
        ui->comboBox_freq->setCurrentIndex(1);
        QVERIFY(settle(w));
        ui->pb_meansure_max->click();
        QVERIFY(settle(w));
        ui->pb_diff_T2->click();
        QVERIFY(settle(w));
        ui->pb_auto_pwr_onoff->click(); // on from the factory
        QVERIFY(settle(w));
        const _T_CTRL_CONFIG c = sim->controlConfig();
        QCOMPARE(c.frequency, quint8(1));
        QCOMPARE(c.measuringMode, quint8(1));
        QCOMPARE(c.differenceMode, quint8(2));
        QCOMPARE(c.autoPowerOff, quint8(0));
        QCOMPARE(sim->channelConfig().type[0], quint8(6));

        m_answers << press(1) << press(0);
        ui->pb_reset->click(); // "否"
        QCOMPARE(m_asked[0].text,
                 QStringLiteral("确实要复位仪表上的设置吗，此动作不会删除FLASH数据?"));
        QCOMPARE(m_asked[0].buttons, (QStringList{QStringLiteral("是"), QStringLiteral("否")}));
        ui->pb_reset->click(); // "是"
        QVERIFY(received(hex("3B")));
        QCOMPARE(m_commands.count(hex("3B")), 1);
        QTRY_COMPARE(ui->comboBox_T1->currentIndex(), 0); // factory settings shown
    }

    void settingsWindowAsksUntilConfigurationArrived()
    {
        auto sim = startSimulator();
        QVERIFY(sim);
        MainWindow w;
        QVERIFY(w.serialHandle()->openPort(m_ports[0], 115200)); // no handshake
        w.form()->pb_sys_setting->click();
        QVERIFY(received(hex("35")));
        QCOMPARE(m_commands.indexOf(hex("37")), m_commands.indexOf(hex("35")) - 1);
        QTRY_COMPARE(w.form()->spinBox_interval_sec->value(), 1);
        w.settingsWindow()->on_pb_win_close_clicked();

        m_commands.clear();
        w.form()->pb_sys_setting->click();
        QVERIFY(w.settingsWindow()->isVisible());
        w.form()->pb_menu_unit->click();
        w.form()->pb_menu_dev->click(); // the device page asks for the count
        QVERIFY(received(hex("33")));
        QCOMPARE(m_commands, QList<QByteArray>{hex("33")});
        w.settingsWindow()->hide();
    }

    void unitFromTheInstrumentRedrawsOnce()
    {
        auto sim = startSimulator();
        QVERIFY(sim);
        MainWindow w;
        Ui::MainWindow *ui = w.form();
        QVERIFY(connectByClick(w));
        _T_CTRL_CONFIG c = sim->controlConfig();
        c.unit = 1;
        receive(w, 6, ctrlConfigToBytes(c));
        QCOMPARE(ui->comboBox_unit->currentIndex(), 1);
        QCOMPARE(w.dashboard()->unit(), 1);
        QVERIFY(settle(w));
        // shown, not sent back: an echo of an older configuration would undo
        // a newer setting and start an endless exchange
        QVERIFY(!m_commands.contains(hex("430080 00000000000000000000 010000")));
        QCOMPARE(ui->label_hi_limit_3->text(), QStringLiteral("℉"));
        QCOMPARE(ui->doubleSpinBox_hi_limit_T1->minimum(), -328.0);
        QCOMPARE(ui->doubleSpinBox_low_limit_T1->maximum(), 2501.0);
        QCOMPARE(ui->doubleSpinBox_hi_limit_T1->value(), 212.0);
        QCOMPARE(ui->doubleSpinBox_offset_2->maximum(), 9.0);

        // the same configuration again: no redraw, nothing sent
        QVERIFY(settle(w));
        ui->doubleSpinBox_hi_limit_T1->setValue(500);
        m_commands.clear();
        receive(w, 6, ctrlConfigToBytes(c));
        QCOMPARE(ui->doubleSpinBox_hi_limit_T1->value(), 500.0);
        QVERIFY(settle(w));
        QCOMPARE(m_commands, QList<QByteArray>{hex("33")});
    }

    void quickSettingsSettleWithoutAnEndlessExchange()
    {
        auto sim = startSimulator();
        QVERIFY(sim);
        MainWindow w;
        QVERIFY(connectByClick(w));
        // two settings before the first answer is in
        w.form()->comboBox_unit->setCurrentIndex(1);
        w.form()->comboBox_unit->setCurrentIndex(2);
        QTRY_COMPARE(sim->controlConfig().unit, quint8(2));
        QVERIFY(settle(w));
        m_commands.clear();
        QTest::qWait(500);
        QVERIFY2(m_commands.isEmpty(), qPrintable(QString::number(m_commands.size())));
        QCOMPARE(w.form()->comboBox_unit->currentIndex(), 2);
        QCOMPARE(sim->controlConfig().unit, quint8(2));
    }

    void unitChosenAndChannelConfiguration()
    {
        MainWindow w;
        Ui::MainWindow *ui = w.form();
        ui->comboBox_unit->setCurrentIndex(2); // "K": redrawn at once
        QCOMPARE(w.dashboard()->unit(), 2);
        QCOMPARE(ui->label_hi_limit->text(), QStringLiteral("K"));
        QCOMPARE(ui->doubleSpinBox_hi_limit_T2->minimum(), 73.0);
        QCOMPARE(ui->doubleSpinBox_hi_limit_T2->maximum(), 1645.0);

        ui->comboBox_T3->setCurrentIndex(4);
        _T_CH_CONFIG ch;
        ch.type[0] = 0x09; // low three bits: 1 (J)
        ch.type[1] = TypeT;
        ch.type[2] = TypeB; // not offered: the box stays
        ch.offset[0] = 5;
        ch.offset[3] = -50;
        receive(w, 7, chConfigToBytes(ch));
        QCOMPARE(ui->comboBox_T1->currentIndex(), 1);
        QCOMPARE(ui->comboBox_T2->currentIndex(), 2);
        QCOMPARE(ui->comboBox_T3->currentIndex(), 4);
        QCOMPARE(ui->doubleSpinBox_offset_1->value(), 0.5);
        QCOMPARE(ui->doubleSpinBox_hi_limit_T2->maximum(), 1645.0); // until the next redraw
        w.applyUnit(1);
        QCOMPARE(ui->doubleSpinBox_offset_1->value(), 0.9);
        QCOMPARE(ui->doubleSpinBox_offset_4->value(), -9.0);
        w.applyUnit(2);
        QCOMPARE(ui->doubleSpinBox_low_limit_T2->minimum(), 23.0);
        QCOMPARE(ui->doubleSpinBox_low_limit_T2->maximum(), 673.0);

        _T_CTRL_CONFIG c; // a unit byte beyond the box is shown as Celsius
        c.unit = 3;
        setCtrlInterval(c, 3725);
        receive(w, 6, ctrlConfigToBytes(c));
        QCOMPARE(w.shownUnit(), 3);
        QCOMPARE(ui->comboBox_unit->currentIndex(), 2);
        QCOMPARE(ui->label_hi_limit->text(), QStringLiteral("℃"));
        QCOMPARE(ui->spinBox_interval_hour->value(), 1);
        QCOMPARE(ui->spinBox_interval_min->value(), 2);
        QCOMPARE(ui->spinBox_interval_sec->value(), 5);
    }

    // ---- Recording ----

    void recordingEndToEnd()
    {
        auto sim = startSimulator();
        QVERIFY(sim);
        MainWindow w;
        Ui::MainWindow *ui = w.form();
        useTestClock(w);
        // The status timer (the first timer the window makes) is run by hand
        // below, however slowly the readings arrive.
        QTimer *statusTimer = w.findChild<QTimer *>(QString(), Qt::FindDirectChildrenOnly);
        QVERIFY(statusTimer);
        statusTimer->stop();
        QVERIFY(connectByClick(w));
        ui->pb_hold->click();
        QTRY_COMPARE(sim->controlConfig().hold, quint8(1));

        ui->pb_start->click();
        QVERIFY(received(hex("4501")));
        QTRY_COMPARE(sim->controlConfig().hold, quint8(0));
        QVERIFY(!ui->treeWidget->isEnabled());
        for (int k = 1; k <= 5; ++k) {
            nextSecond(w);
            QTRY_COMPARE(w.device().recordedCount(), k);
        }
        QCOMPARE(ui->label_remain_time->text(), QStringLiteral("剩余时间：\n0 时 0 分 55 秒"));
        QTRY_VERIFY(w.dashboard()->maxTexts().at(0).toDouble() != 0); // recorded statistics
        QVERIFY(!w.isModified());
        w.handleTimeOut();
        QVERIFY(w.isModified());

        ui->pb_start->click();
        QVERIFY(received(hex("4500")));
        QVERIFY(ui->treeWidget->isEnabled());
        QCOMPARE(w.archive().lists.size(), 1);
        const QVector<_T_EE_TEST_DATA> &records = w.currentMeasurement()->records;
        QCOMPARE(records.size(), 5);
        QCOMPARE(records[0].second, quint8(1));
        QCOMPARE(records[4].second, quint8(5));
        // The empty start-up measurement dates from its first reading.
        QCOMPARE(w.currentMeasurement()->created, QDateTime(QDate(2026, 3, 4), QTime(10, 0, 1)));
        ui->pb_connect->click();
        QTRY_VERIFY(!w.serialHandle()->isOpen());
    }

    void recordingSurvivesLosingTheInstrument()
    {
        auto sim = startSimulator();
        QVERIFY(sim);
        MainWindow w;
        useTestClock(w);
        QVERIFY(connectByClick(w));
        w.form()->pb_start->click();
        nextSecond(w);
        QTRY_COMPARE(w.device().recordedCount(), 1);
        QTRY_COMPARE(w.windowTitle(), QStringLiteral("KX740D  已连接设备"));
        sim->disconnectPort();
        QTRY_COMPARE(w.windowTitle(),
                     QStringLiteral("KX740D  与仪器的连接已断开：记录等待仪器重新连接后继续"));
        QLabel *waiting = w.findChild<QLabel *>(QStringLiteral("label_link_waiting"));
        QVERIFY(waiting && !waiting->isHidden());
        nextSecond(w);
        nextSecond(w);
        w.handleTimeOut();
        QVERIFY(w.device().isRecording());
        QCOMPARE(w.form()->label_remain_time->text(),
                 QStringLiteral("剩余时间：\n0 时 0 分 57 秒"));
        w.form()->pb_start->click();
        QCOMPARE(w.currentMeasurement()->records.size(), 1);
        QCOMPARE(w.windowTitle(), QStringLiteral("KX740D  未连接设备"));
        QVERIFY(waiting->isHidden());
    }

    void continuousTimeEndsTheRecording()
    {
        IdlePort port;
        MainWindow w;
        QVERIFY(port.attach(w));
        Ui::MainWindow *ui = w.form();
        useTestClock(w);
        ui->spinBox_interval_sec->setValue(1);
        ui->spinBox_contitime_hour->setValue(1);
        ui->spinBox_contitime_min->setValue(2);
        edit(ui->spinBox_contitime_sec, 5);
        ui->pb_start->click();
        emit w.device().continueTime(0);
        QCOMPARE(ui->label_remain_time->text(), QStringLiteral("剩余时间：\n1 时 2 分 5 秒"));
        nextSecond(w);
        QCOMPARE(ui->label_remain_time->text(), QStringLiteral("剩余时间：\n1 时 2 分 4 秒"));
        // The count may run ahead of the clock by a second: what is left of
        // the time is waited out.
        emit w.device().continueTime(3725);
        QTRY_VERIFY_WITH_TIMEOUT(!ui->pb_start->isChecked(), 3000);
        QVERIFY(!w.device().isRecording());

        ui->pb_continue_enable->click(); // off: no count, no label, no end
        ui->pb_start->click();
        for (int k = 0; k < 3; ++k)
            nextSecond(w);
        QVERIFY(ui->label_remain_time->text().isEmpty());
        QVERIFY(w.device().isRecording());
    }

    // The instrument would end the recording; the boxes keep its interval.
    void zeroIntervalRefusedWhileRecording()
    {
        IdlePort port;
        MainWindow w;
        FakeRecording recording(w, port, QDateTime(QDate(2026, 3, 4), QTime(10, 0, 0)));
        QVERIFY(recording.attached());
        recording.start();
        QVERIFY(w.device().isRecording());
        m_asked.clear();
        edit(w.form()->spinBox_interval_sec, 0);
        QVERIFY(onlyGuardBoxesAsked(1));
        QCOMPARE(w.form()->spinBox_interval_sec->value(), 1);
        QVERIFY(w.device().isRecording());
    }

    // Either would run a recording that stores nothing; each is told.
    void startRefusedWithoutInstrumentOrInterval()
    {
        IdlePort port;
        MainWindow w;
        w.form()->spinBox_interval_sec->setValue(1);
        w.form()->pb_start->click();
        QVERIFY(port.attach(w));
        w.form()->spinBox_interval_sec->setValue(0);
        w.form()->pb_start->click();
        QVERIFY(!w.device().isRecording());
        QVERIFY(!w.form()->pb_start->isChecked());
        QCOMPARE(m_asked.size(), 2);
        QCOMPARE(m_asked[0].text, QStringLiteral("未连接设备，无法记录数据。请先连接设备。"));
        QCOMPARE(m_asked[1].text,
                 QStringLiteral("存储间隔为0秒，不会存储任何数据。请先设置存储间隔。"));
    }

    void stoppedRecordingWithoutCurrentMeasurement()
    {
        IdlePort port;
        MainWindow w;
        QVERIFY(port.attach(w));
        useTestClock(w);
        w.form()->spinBox_interval_sec->setValue(1);
        w.form()->pb_start->click(); // nothing recorded: nothing changes
        w.form()->pb_start->click();
        QCOMPARE(w.archive().lists.size(), 1);
        QVERIFY(!w.isModified());

        _T_CTRL_CONFIG c;
        setCtrlInterval(c, 1);
        receive(w, 6, ctrlConfigToBytes(c));
        w.setCurrentMeasurement(nullptr);
        w.form()->pb_start->click();
        for (int k = 0; k < 3; ++k) {
            nextSecond(w);
            receiveReading(w, 25.0f + k);
        }
        const QDateTime before = QDateTime::currentDateTime().addMSecs(-1);
        w.form()->pb_start->click();
        QCOMPARE(w.archive().lists.size(), 2);
        QCOMPARE(w.currentMeasurement(), w.archive().lists.last());
        QCOMPARE(w.currentMeasurement()->records.size(), 3);
        QCOMPARE(w.currentMeasurement()->records[2].value[0], 27.0f);
        const QDateTime named = QDateTime::fromString(w.currentMeasurement()->name,
                                                      QStringLiteral("yyyyMMdd hh_mm_ss_zzz"));
        QVERIFY2(named >= before && named <= QDateTime::currentDateTime(),
                 qPrintable(w.currentMeasurement()->name));
        QVERIFY(w.isModified());
    }

    void liveReadingsOnTheOffsetPage()
    {
        MainWindow w;
        Ui::MainWindow *ui = w.form();
        receiveReading(w, 25.0f, statusByte(TypeK, StateAboveRange));
        QCOMPARE(ui->pb_offset_1->text(), QStringLiteral("25.0"));
        QCOMPARE(ui->pb_offset_3->text(), QStringLiteral("--\\--"));
        QCOMPARE(ui->label_tmp_e->text(), QStringLiteral("20.0"));
        w.applyUnit(1);
        receiveReading(w, 25.0f);
        QCOMPARE(ui->pb_offset_1->text(), QStringLiteral("77.0"));
        QCOMPARE(ui->label_tmp_e->text(), QStringLiteral("68.0"));
    }

    void limitsPulledBackInTheShownUnit()
    {
        MainWindow w;
        Ui::MainWindow *ui = w.form();
        edit(ui->doubleSpinBox_low_limit_T1, 80);
        edit(ui->doubleSpinBox_hi_limit_T1, 50);
        QCOMPARE(w.settings().highLimit[0], 80.0f);
        QCOMPARE(ui->doubleSpinBox_hi_limit_T1->value(), 80.0);
        w.applyUnit(1);
        edit(ui->doubleSpinBox_low_limit_T1, 200); // above 176 ℉ = 80 ℃
        QCOMPARE(w.settings().lowLimit[0], 80.0f);
        QCOMPARE(ui->doubleSpinBox_low_limit_T1->value(), 176.0);
        ui->pb_limit_enable_T2->click();
        QVERIFY(w.settings().limitEnabled[1]);
    }

    void intervalAndOffsetsReachTheInstrument()
    {
        auto sim = startSimulator();
        QVERIFY(sim);
        MainWindow w;
        Ui::MainWindow *ui = w.form();
        QVERIFY(connectByClick(w));
        ui->spinBox_interval_hour->setValue(24);
        edit(ui->spinBox_interval_min, 59);
        // 24 h 59 min is sent as one day, 86400 s
        QVERIFY(received(hex("430020 0000000000 00015180 00000000")));
        QTRY_COMPARE(ui->spinBox_interval_min->value(), 0); // as the instrument has it
        edit(ui->spinBox_interval_hour, 0);
        QVERIFY(received(hex("430020 0000000000 00000000 00000000")));
        QVERIFY(settle(w));
        ui->comboBox_unit->setCurrentIndex(1);
        QVERIFY(settle(w));

        m_commands.clear();
        emit ui->spinBox_interval_sec->editingFinished(); // unchanged: nothing
        edit(ui->doubleSpinBox_offset_1, 0.9);
        edit(ui->doubleSpinBox_offset_4, -9.0);
        QVERIFY(received(hex("440080 00000000 000000CE")));            // T4 -50 tenths
        QCOMPARE(m_commands.first(), hex("440010 00000000 05000000")); // T1 5 tenths
        QVERIFY(settle(w));
        m_commands.clear();
        emit ui->doubleSpinBox_offset_1->editingFinished(); // unchanged: nothing
        QVERIFY(settle(w));
        QCOMPARE(m_commands, QList<QByteArray>{hex("33")});
    }
};

QTEST_MAIN(TestMeasurementWindow)
#include "tst_measurementwindow.moc"
