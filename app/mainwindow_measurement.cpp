// The main window's side of the instrument: the driver's reports, the
// connection, the instrument's settings and recordings.
#include "app/mainwindow.h"

#include "app/alarmcontrol.h"
#include "app/mqttcontrol.h"
#include "app/unitboxes.h"
#include "app/userdialogs.h"
#include "instrument/temperature.h"
#include "link/serialhandle.h"
#include "link/serialthread.h"
#include "measurement/connectfailure.h"
#include "measurement/recordingrules.h"
#include "measurement/recordingsession.h"
#include "measurement/settingsrules.h"
#include "measurement/unitrules.h"
#include "store/recordingstore.h"
#include "ui_mainwindow.h"
#include "widgets/bash.h"

#include <QButtonGroup>
#include <QDateTime>
#include <QFileInfo>
#include <QScopedValueRollback>

#include <array>

namespace {

using ChannelBoxes = std::array<QDoubleSpinBox *, kChannelCount>;

std::array<QComboBox *, kChannelCount> typeBoxes(Ui::MainWindow *ui)
{
    return {ui->comboBox_T1, ui->comboBox_T2, ui->comboBox_T3, ui->comboBox_T4};
}

ChannelBoxes highLimitBoxes(Ui::MainWindow *ui)
{
    return {ui->doubleSpinBox_hi_limit_T1, ui->doubleSpinBox_hi_limit_T2,
            ui->doubleSpinBox_hi_limit_T3, ui->doubleSpinBox_hi_limit_T4};
}

ChannelBoxes lowLimitBoxes(Ui::MainWindow *ui)
{
    return {ui->doubleSpinBox_low_limit_T1, ui->doubleSpinBox_low_limit_T2,
            ui->doubleSpinBox_low_limit_T3, ui->doubleSpinBox_low_limit_T4};
}

std::array<QAbstractButton *, kChannelCount> offsetReadings(Ui::MainWindow *ui)
{
    return {ui->pb_offset_1, ui->pb_offset_2, ui->pb_offset_3, ui->pb_offset_4};
}

ChannelBoxes offsetBoxes(Ui::MainWindow *ui)
{
    return {ui->doubleSpinBox_offset_1, ui->doubleSpinBox_offset_2, ui->doubleSpinBox_offset_3,
            ui->doubleSpinBox_offset_4};
}

// Selects the button standing for `position` in a group whose first button
// has `firstId`; a position of -1 (a value the group does not offer) leaves
// the group as it is.
void checkGroupButton(QButtonGroup *group, int firstId, int position)
{
    if (position < 0)
        return;
    if (QAbstractButton *button = group->button(firstId + position))
        button->setChecked(true);
}

} // namespace

void MainWindow::wireMeasurement()
{
    connect(m_serialHandle, &SerialHandle::codeDeal, &m_device, &DevKX740D::codeDeal);
    connect(&m_device, &DevKX740D::live_data, this, &MainWindow::live_data);
    connect(&m_device, &DevKX740D::max_min_avg_info, this, &MainWindow::max_min_avg_info);
    connect(&m_device, &DevKX740D::ctrl_setting, this, &MainWindow::ctrl_setting);
    connect(&m_device, &DevKX740D::ch_setting, this, &MainWindow::ch_setting);
    connect(&m_device, &DevKX740D::deviceInfo, this, &MainWindow::deviceInfo);
    connect(&m_device, &DevKX740D::flash_used_num_update, this, &MainWindow::flash_used_num_update);
    connect(&m_device, &DevKX740D::progressBar_range_update, this,
            &MainWindow::progressBar_range_update);
    connect(&m_device, &DevKX740D::trans_end, this, &MainWindow::trans_end);
    // A download may send its blocks for long without a progress report.
    connect(&m_device, &DevKX740D::storedBlockReceived, this, [this] { m_transfer.activity(); });

    for (QSpinBox *box :
         {ui->spinBox_interval_sec, ui->spinBox_interval_min, ui->spinBox_interval_hour})
        connect(box, &QSpinBox::editingFinished, this, &MainWindow::handelIntervalSetting);
    for (QSpinBox *box :
         {ui->spinBox_contitime_hour, ui->spinBox_contitime_min, ui->spinBox_contitime_sec})
        connect(box, &QSpinBox::editingFinished, this, &MainWindow::handleRunningTimechange);
}

bool MainWindow::refuseWhileRecording()
{
    if (!m_device.isRecording())
        return false;
    UserDialogs::information(nullptr, QString(), recordingGuardText(), m_okText);
    return true;
}

// Shown whether or not a recording runs; the driver decides what is stored.
void MainWindow::live_data(_T_PRINT_OUT_DATA s)
{
    m_bash->showReading(s);
    const auto readings = offsetReadings(ui);
    for (int ch = 0; ch < kChannelCount; ++ch)
        readings[ch]->setText(offsetPageReadingText(s.value[ch], s.status[ch], m_unit));
    ui->label_tmp_e->setText(ambientText(s.ambient, m_unit));
}

// Shown with the dashboard's next reading.
void MainWindow::max_min_avg_info(QList<QList<QString>> info_sss)
{
    m_bash->setStatistics(info_sss);
}

void MainWindow::on_pb_connect_clicked()
{
    const QString portName = ui->comboBox_COM->currentText();
    // A recording whose instrument was lost may be connected again by hand.
    const bool reconnect = m_device.isRecording() && !m_serialHandle->isOpen();
    if (!reconnect && refuseWhileRecording())
        return;
    switch (connectStep(m_serialHandle->isOpen(), portName)) {
    case ConnectStep::Disconnect:
        disconnectInstrument();
        break;
    case ConnectStep::Open:
        openInstrumentPort(portName);
        break;
    case ConnectStep::Nothing:
        break;
    }
}

// A running recording does not reopen a port the user closed: it waits
// until the instrument is connected again by hand.
void MainWindow::disconnectInstrument()
{
    // Ended on purpose: no alarm for the link going.
    m_alarms->setWatching(false);
    m_session->setPort(QString());
    m_serialHandle->closePort();
    m_device.setLink(nullptr);
}

void MainWindow::connectToFirstPort()
{
    if (ui->comboBox_COM->count() > 0)
        ui->comboBox_COM->setCurrentIndex(0);
    ui->pb_connect->click();
}

// The button's look follows with the link's next state report.
void MainWindow::openInstrumentPort(const QString &portName)
{
    QString linkError;
    if (m_serialHandle->openPort(portName, kInstrumentBaudRate, &linkError)) {
        m_session->setPort(portName);
        m_alarms->setWatching(true);
        m_device.setLink(m_serialHandle);
        if (m_device.isRecording())
            m_device.notifyRecording(true);
        return;
    }
    UserDialogs::information(nullptr, QString(), connectFailureText(portName, linkError), m_okText);
}

// Boxes set here to show what the instrument reports do not send that value
// back: with two settings made in quick succession, echoing the older
// configuration would undo the newer setting, the instrument would answer
// with the older one, and window and instrument would keep overturning each
// other's settings for good.
void MainWindow::ctrl_setting(_T_CTRL_CONFIG ctrl_code)
{
    m_ctrlConfigReceived = true;
    const QScopedValueRollback<bool> showing(m_showingInstrumentConfig, true);
    const CtrlSettingView view = ctrlSettingView(ctrl_code);
    ui->pb_hold->setChecked(view.hold);
    checkGroupButton(m_bleGroup, kBluetoothGroupFirstId, view.bluetoothButton);
    ui->pb_auto_pwr_onoff->setChecked(view.autoPowerOff);
    showIntervalInBoxes(view.intervalSeconds);
    checkGroupButton(m_measureGroup, kMeasuringGroupFirstId, view.measuringButton);
    if (view.unitInBox)
        ui->comboBox_unit->setCurrentIndex(view.unit);
    else
        applyUnit(view.unit);
    checkGroupButton(m_diffGroup, kDifferenceGroupFirstId, view.differenceButton);
    if (view.frequencyIndex >= 0)
        ui->comboBox_freq->setCurrentIndex(view.frequencyIndex);
    if (view.askBluetooth)
        askToSwitchBluetoothOff();
}

// Bluetooth and the computer link are not used together: the user either
// lets the instrument switch Bluetooth off or disconnects again. The look
// follows with the link's next state report.
void MainWindow::askToSwitchBluetoothOff()
{
    const int answer = UserDialogs::question(nullptr, bluetoothQuestionTitle(),
                                             bluetoothQuestionText(), {tr("是"), tr("取消")}, 1, 1);
    if (answer == 0)
        m_device.setBluetooth(false);
    else
        disconnectInstrument();
}

void MainWindow::ch_setting(_T_CH_CONFIG ch_code)
{
    const QScopedValueRollback<bool> showing(m_showingInstrumentConfig, true);
    const auto boxes = typeBoxes(ui);
    for (int ch = 0; ch < kChannelCount; ++ch) {
        const int index = typeBoxIndex(ch_code.type[ch]);
        if (index >= 0)
            boxes[ch]->setCurrentIndex(index);
    }
    updateOffsetBoxes();
}

void MainWindow::deviceInfo(QString dev_name, QString fw_ver)
{
    ui->label_dev_name->setText(deviceNameText(dev_name));
    ui->label_fw_ver->setText(firmwareVersionText(fw_ver));
}

void MainWindow::flash_used_num_update(int mun)
{
    ui->label_flash_used->setText(flashUsedText(mun));
    ui->progressBar_2->setValue(mun);
}

// Download progress is shown by the wait dialog, which takes the signal itself.
void MainWindow::progressBar_range_update(int max, int now)
{
    Q_UNUSED(max)
    Q_UNUSED(now)
    m_transfer.activity();
}

// ---- Recording ----

void MainWindow::on_pb_start_clicked(bool checked)
{
    if (!checked) {
        stopRecording();
        return;
    }
    const QString refusal = startRefusalText(intervalBoxesSeconds(), m_serialHandle->isOpen());
    if (!refusal.isEmpty()) {
        ui->pb_start->setChecked(false);
        UserDialogs::information(nullptr, QString(), refusal, m_okText);
        return;
    }
    startRecording();
}

void MainWindow::showIntervalInBoxes(quint32 seconds)
{
    ui->spinBox_interval_hour->setValue(int(seconds / 3600));
    ui->spinBox_interval_min->setValue(int(seconds / 60 % 60));
    ui->spinBox_interval_sec->setValue(int(seconds % 60));
}

int MainWindow::intervalBoxesSeconds() const
{
    return ui->spinBox_interval_hour->value() * 3600 + ui->spinBox_interval_min->value() * 60 +
           ui->spinBox_interval_sec->value();
}

void MainWindow::startRecording()
{
    if (!resumeInterruptedRecording())
        m_session->start();
    m_shownRecordCount = 0;
    ui->label_remain_time->clear();
    m_bash->setRecording(true);
    // The measurement the recording goes into must stay current.
    ui->treeWidget->setEnabled(false);
}

// A recording a crash interrupted goes on when its instrument records into
// the measurement it was restored into; otherwise it is ended as it is.
bool MainWindow::resumeInterruptedRecording()
{
    if (!m_store->found().interrupted)
        return false;
    Data_List_T *restored = m_resumable;
    m_resumable = nullptr;
    if (restored && restored == currentMeasurement() &&
        sameInstrument(m_store->found().header.instrument, m_session->instrumentIdentity()) &&
        m_session->resume())
        return true;
    m_store->closeFound();
    return false;
}

// The readings stay in the driver until the next start.
void MainWindow::stopRecording()
{
    const QVector<_T_EE_TEST_DATA> records = m_session->stop();
    ui->label_remain_time->clear();
    m_bash->setRecording(false);
    if (!records.isEmpty()) {
        if (currentMeasurement()) {
            m_document->appendToCurrent(records);
            updatePaging();
            showCurrentMeasurement();
            replotCurrentMeasurement();
        } else {
            addMeasurement(measurementOfRecords(
                records, recordingMeasurementName(QDateTime::currentDateTime())));
        }
    }
    ui->treeWidget->setEnabled(true);
    refreshConnectionLook();
    // The readings are in the archive now. The journal is emptied only once
    // they are on disk with it, so a crash before a save loses none.
    if (records.isEmpty() || keepUnsavedArchive()) {
        m_store->noteWritten(m_session->recordingId(), m_session->lastSeq());
        m_store->release();
    }
}

void MainWindow::on_pb_hold_clicked()
{
    m_device.setHold(ui->pb_hold->isChecked());
}

void MainWindow::handelIntervalSetting()
{
    const std::optional<quint32> seconds =
        intervalToSend(ui->spinBox_interval_hour->value(), ui->spinBox_interval_min->value(),
                       ui->spinBox_interval_sec->value(), m_device.interval());
    // The instrument ends a recording when its interval becomes 0 s.
    if (seconds == 0u && m_device.isRecording()) {
        showIntervalInBoxes(m_device.interval());
        refuseWhileRecording();
        return;
    }
    if (seconds)
        m_device.setInterval(*seconds);
}

void MainWindow::handleRunningTimechange()
{
    m_settings.continuousSeconds = continuousSecondsFromBoxes(ui->spinBox_contitime_hour->value(),
                                                              ui->spinBox_contitime_min->value(),
                                                              ui->spinBox_contitime_sec->value());
    m_session->setContinuousTime(m_settings.continuousEnabled, m_settings.continuousSeconds);
}

void MainWindow::on_pb_continue_enable_clicked(bool checked)
{
    m_settings.continuousEnabled = checked;
    m_session->setContinuousTime(checked, m_settings.continuousSeconds);
}

// Counted by the driver once a second while recording with the continuous
// time switched on, from 0 at each start.
void MainWindow::continueTime(uint64_t cnt)
{
    m_session->continueTime(cnt);
}

void MainWindow::showRemainingTime(quint64 seconds)
{
    ui->label_remain_time->setText(remainingTimeText(seconds));
}

void MainWindow::recordingTimeUp()
{
    ui->pb_start->setChecked(false);
    stopRecording();
}

// Once per recording: the recording goes on with its readings in memory.
void MainWindow::backupFailed()
{
    UserDialogs::information(nullptr, QString(), tr("无法创建文件，请使用管理员权限运行程序。"),
                             m_okText);
}

// Outside a recording the MQTT page's status line says it; during one, the
// readings still reach the data and the backup, but not the broker.
void MainWindow::brokerRefused(const QString &text)
{
    if (m_device.isRecording())
        UserDialogs::information(nullptr, QString(), tr("MQTT：%1；记录继续。").arg(text),
                                 m_okText);
}

// ---- Limits and offsets ----

void MainWindow::limitEdited(int channel, bool high)
{
    QDoubleSpinBox *box = high ? highLimitBoxes(ui)[channel] : lowLimitBoxes(ui)[channel];
    const LimitEdit edit = high ? editHighLimit(box->value(), m_settings.lowLimit[channel], m_unit)
                                : editLowLimit(box->value(), m_settings.highLimit[channel], m_unit);
    (high ? m_settings.highLimit : m_settings.lowLimit)[channel] = edit.limit;
    if (edit.rewriteBox)
        box->setValue(edit.boxValue);
    limitsChanged();
    // The table marks readings beyond switched-on limits.
    if (m_settings.limitEnabled[channel])
        showCurrentMeasurement();
}

void MainWindow::limitSwitched(int channel, bool on)
{
    m_settings.limitEnabled[channel] = on;
    limitsChanged();
    showCurrentMeasurement();
}

void MainWindow::limitsChanged()
{
    if (m_alarms)
        m_alarms->setLimits(m_settings);
    showLimitLines();
}

void MainWindow::showLimitLines()
{
    QVector<QPair<int, float>> lines;
    for (int ch = 0; m_limitLinesShown && ch < kChannelCount; ++ch) {
        if (m_settings.limitEnabled[ch])
            lines << qMakePair(ch, m_settings.highLimit[ch])
                  << qMakePair(ch, m_settings.lowLimit[ch]);
    }
    m_chart.setLimitLines(lines, m_unit);
}

void MainWindow::offsetEdited(int channel)
{
    const qint8 tenths = offsetTenthsFromBox(offsetBoxes(ui)[channel]->value(), m_unit);
    if (tenths != m_device.channelOffset(channel + 1))
        m_device.setChannelOffset(channel + 1, tenths);
}

void MainWindow::on_doubleSpinBox_hi_limit_T1_editingFinished()
{
    limitEdited(0, true);
}

void MainWindow::on_doubleSpinBox_hi_limit_T2_editingFinished()
{
    limitEdited(1, true);
}

void MainWindow::on_doubleSpinBox_hi_limit_T3_editingFinished()
{
    limitEdited(2, true);
}

void MainWindow::on_doubleSpinBox_hi_limit_T4_editingFinished()
{
    limitEdited(3, true);
}

void MainWindow::on_doubleSpinBox_low_limit_T1_editingFinished()
{
    limitEdited(0, false);
}

void MainWindow::on_doubleSpinBox_low_limit_T2_editingFinished()
{
    limitEdited(1, false);
}

void MainWindow::on_doubleSpinBox_low_limit_T3_editingFinished()
{
    limitEdited(2, false);
}

void MainWindow::on_doubleSpinBox_low_limit_T4_editingFinished()
{
    limitEdited(3, false);
}

void MainWindow::on_pb_limit_enable_T1_clicked(bool checked)
{
    limitSwitched(0, checked);
}

void MainWindow::on_pb_limit_enable_T2_clicked(bool checked)
{
    limitSwitched(1, checked);
}

void MainWindow::on_pb_limit_enable_T3_clicked(bool checked)
{
    limitSwitched(2, checked);
}

void MainWindow::on_pb_limit_enable_T4_clicked(bool checked)
{
    limitSwitched(3, checked);
}

void MainWindow::on_doubleSpinBox_offset_1_editingFinished()
{
    offsetEdited(0);
}

void MainWindow::on_doubleSpinBox_offset_2_editingFinished()
{
    offsetEdited(1);
}

void MainWindow::on_doubleSpinBox_offset_3_editingFinished()
{
    offsetEdited(2);
}

void MainWindow::on_doubleSpinBox_offset_4_editingFinished()
{
    offsetEdited(3);
}

void MainWindow::on_comboBox_T1_currentIndexChanged(int index)
{
    if (!m_showingInstrumentConfig)
        m_device.setChannelType(1, index);
}

void MainWindow::on_comboBox_T2_currentIndexChanged(int index)
{
    if (!m_showingInstrumentConfig)
        m_device.setChannelType(2, index);
}

void MainWindow::on_comboBox_T3_currentIndexChanged(int index)
{
    if (!m_showingInstrumentConfig)
        m_device.setChannelType(3, index);
}

void MainWindow::on_comboBox_T4_currentIndexChanged(int index)
{
    if (!m_showingInstrumentConfig)
        m_device.setChannelType(4, index);
}

void MainWindow::on_comboBox_unit_currentIndexChanged(int index)
{
    if (!m_showingInstrumentConfig)
        m_device.setUnit(index);
    if (index >= 0 && index < kUnitItems)
        applyUnit(index);
}

void MainWindow::on_comboBox_freq_currentIndexChanged(int index)
{
    if (!m_showingInstrumentConfig)
        m_device.setFrequency(index != 0);
}

void MainWindow::on_pb_auto_pwr_onoff_clicked()
{
    m_device.setAutoPowerOff(ui->pb_auto_pwr_onoff->isChecked());
}

// Nothing is read back afterwards: the instrument reports its new settings
// if it chooses to.
void MainWindow::on_pb_reset_clicked()
{
    if (refuseWhileRecording())
        return;
    if (UserDialogs::question(nullptr, tr("恢复出厂设置"), resetQuestionText(),
                              {tr("是"), tr("否")}, 1, 1) == 0)
        m_device.resetSettings();
}

void MainWindow::handelButtonGroup(int id)
{
    const GroupSetting setting = groupSetting(id);
    switch (setting.kind) {
    case GroupSetting::DifferenceMode:
        m_device.setDifferenceMode(setting.value);
        break;
    case GroupSetting::MeasuringMode:
        m_device.setMeasuringMode(setting.value);
        break;
    case GroupSetting::Bluetooth:
        m_device.setBluetooth(setting.value != 0);
        break;
    case GroupSetting::None:
        break;
    }
}

void MainWindow::applyUnit(unit_type unit)
{
    if (unit == m_unit)
        return;
    // A label the user renamed stays as it is.
    const bool automaticYLabel = ui->customPlot->yAxis->label() == yLabelText();
    m_unit = unit;
    if (m_mqtt)
        m_mqtt->setUnit(unit);
    if (m_alarms)
        m_alarms->setUnit(unit);
    showLimitLines();
    if (automaticYLabel)
        ui->customPlot->yAxis->setLabel(yLabelText());
    m_bash->setUnit(unit);
    replotCurrentMeasurement();
    showCurrentMeasurement();
    updateLimitAndOffsetBoxes();
}

void MainWindow::updateLimitAndOffsetBoxes()
{
    updateLimitBoxes();
    updateOffsetBoxes();
}

// The ranges follow the channels' thermocouple types as last reported.
void MainWindow::updateLimitBoxes()
{
    const ChannelBoxes high = highLimitBoxes(ui);
    const ChannelBoxes low = lowLimitBoxes(ui);
    QLabel *const symbols[] = {ui->label_hi_limit, ui->label_hi_limit_2, ui->label_hi_limit_3,
                               ui->label_hi_limit_4};
    for (int ch = 0; ch < kChannelCount; ++ch) {
        applyLimitBoxes(limitBoxes(m_device.channelType(ch + 1), m_settings.highLimit[ch],
                                   m_settings.lowLimit[ch], m_unit),
                        high[ch], low[ch]);
        symbols[ch]->setText(unitSymbol(m_unit));
    }
}

void MainWindow::updateOffsetBoxes()
{
    const ChannelBoxes boxes = offsetBoxes(ui);
    for (int ch = 0; ch < kChannelCount; ++ch)
        applyOffsetBox(offsetBox(m_device.channelOffset(ch + 1), m_unit), boxes[ch]);
}
