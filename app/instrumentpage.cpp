// The instrument panel: connection, the instrument's reports and settings,
// and its stored records.
#include "app/instrumentpage.h"

#include "app/alarmcontrol.h"
#include "app/archivebackup.h"
#include "app/archivepage.h"
#include "app/chartpage.h"
#include "app/instrumentconnection.h"
#include "app/instrumentlist.h"
#include "app/mainwindowlook.h"
#include "app/mqttcontrol.h"
#include "app/recordingpage.h"
#include "app/shellrules.h"
#include "app/systempage.h"
#include "app/tablepage.h"
#include "app/unitboxes.h"
#include "app/userdialogs.h"
#include "instrument/temperature.h"
#include "link/portdiscovery.h"
#include "link/serialhandle.h"
#include "link/serialthread.h"
#include "measurement/connectfailure.h"
#include "measurement/instrumentlabels.h"
#include "measurement/recordingrules.h"
#include "measurement/recordingsession.h"
#include "measurement/settingsrules.h"
#include "measurement/unitrules.h"
#include "ui_mainwindow.h"
#include "widgets/bash.h"
#include "widgets/dialog_wait.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QDateTime>
#include <QLabel>
#include <QMainWindow>
#include <QScopedValueRollback>

#include <array>

namespace {

using ChannelBoxes = std::array<QDoubleSpinBox *, kChannelCount>;

std::array<QComboBox *, kChannelCount> typeBoxes(Ui::MainWindow *ui)
{
    return {ui->comboBox_T1, ui->comboBox_T2, ui->comboBox_T3, ui->comboBox_T4};
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

InstrumentPage::InstrumentPage(WindowContext &context, PortWatcher::Source portSource,
                               int portScanMs)
    : PageController(context), m_titleBase(tr("KX740D "))
{
    m_linkWaiting = new QLabel(tr("与仪器的连接已断开：记录等待仪器重新连接后继续"),
                               ui->label_remain_time->parentWidget());
    m_linkWaiting->setObjectName(QStringLiteral("label_link_waiting"));
    m_linkWaiting->setWordWrap(true);
    m_linkWaiting->setStyleSheet(QStringLiteral("color: #d9480f;"));
    m_linkWaiting->hide();
    if (auto *row = qobject_cast<QBoxLayout *>(ui->label_remain_time->parentWidget()->layout()))
        row->insertWidget(row->indexOf(ui->label_remain_time) + 1, m_linkWaiting, 1);

    connect(m_ctx.serial, &SerialHandle::updateCOMInfo, this, &InstrumentPage::updateCOMInfo);
    connect(m_ctx.serial, &SerialHandle::codeDeal, &m_device, &DevKX740D::codeDeal);
    followReports(m_device);
    connect(&m_device, &DevKX740D::flash_used_num_update, this,
            &InstrumentPage::flash_used_num_update);
    connect(&m_device, &DevKX740D::progressBar_range_update, this,
            &InstrumentPage::progressBar_range_update);
    connect(&m_device, &DevKX740D::trans_end, this, &InstrumentPage::trans_end);
    // A download may send its blocks for long without a progress report.
    connect(&m_device, &DevKX740D::storedBlockReceived, this, [this] { m_transfer.activity(); });

    m_portWatcher = new PortWatcher(std::move(portSource), portScanMs, this);
    connect(m_portWatcher, &PortWatcher::portsChanged, this, &InstrumentPage::handleDeviceChange);
    ui->comboBox_COM->hide();
    fillPortList(m_portWatcher->ports());
    if (ui->comboBox_COM->count() > 1)
        ui->comboBox_COM->show();

    createButtonGroups();
    createInstrumentList();
    ui->progressBar_2->setRange(0, 80000);
    ui->progressBar_2->setValue(0);
    // Room for the longest count in the language in use, so the count is
    // never cut and the card keeps its layout as the count grows.
    ui->label_flash_used->ensurePolished();
    ui->label_flash_used->setMinimumWidth(
        ui->label_flash_used->fontMetrics().horizontalAdvance(flashUsedText(80000)));
    ui->pb_time_sync->hide();
    ui->label_dev_status->hide();
    ui->pb_hold->hide();
    m_ctx.window->setWindowTitle(m_titleBase);
    connectSlotsByObjectName(this, m_ctx.window);
}

void InstrumentPage::createButtonGroups()
{
    m_diffGroup = new QButtonGroup(this);
    m_diffGroup->addButton(ui->pb_diff_normal, 50);
    m_diffGroup->addButton(ui->pb_diff_T1, 51);
    m_diffGroup->addButton(ui->pb_diff_T2, 52);
    m_diffGroup->addButton(ui->pb_diff_T3, 53);
    m_diffGroup->addButton(ui->pb_diff_T4, 54);

    m_measureGroup = new QButtonGroup(this);
    m_measureGroup->addButton(ui->pb_meansure_normal, 70);
    m_measureGroup->addButton(ui->pb_meansure_max, 71);
    m_measureGroup->addButton(ui->pb_meansure_min, 72);
    m_measureGroup->addButton(ui->pb_meansure_avg, 73);

    m_bleGroup = new QButtonGroup(this);
    m_bleGroup->addButton(ui->pb_ble_off, 100);
    m_bleGroup->addButton(ui->pb_ble_on, 101);
    for (QButtonGroup *group : {m_diffGroup, m_measureGroup, m_bleGroup})
        connect(group, &QButtonGroup::idClicked, this, &InstrumentPage::handelButtonGroup);
}

void InstrumentPage::updateCOMInfo(int arg)
{
    m_reportedConnected = arg != 0;
    m_ctx.system->alarms()->setLinkUp(m_reportedConnected);
    if (!m_reportedConnected)
        m_transfer.abandon();
    if (m_reportedConnected == m_shownConnected)
        return;
    m_shownConnected = m_reportedConnected;
    refreshConnectionLook();
}

void InstrumentPage::refreshConnectionLook()
{
    using namespace MainWindowLook;
    QString suffix;
    if (m_shownConnected) {
        ui->pb_connect->setText(tr("断开连接"));
        ui->pb_connect->setNormalBgColor(kAccent);
        ui->pb_connect->setHoverBgColor(kAccentHover);
        ui->pb_connect->setHoverTextColor(Qt::white);
        suffix = tr(" 已连接设备");
    } else {
        ui->pb_connect->setText(tr("连接设备"));
        ui->pb_connect->setNormalBgColor(kDisconnected);
        ui->pb_connect->setHoverBgColor(kDisconnectedHover);
        ui->pb_connect->setHoverTextColor(kText);
        suffix = tr(" 未连接设备");
        // The last values are no longer live.
        if (m_ctx.dashboard)
            m_ctx.dashboard->clearReading();
    }
    // A recording whose instrument was lost goes on once it is back; the
    // window says so beside the stop button, as its title bar shows no title.
    const bool waiting = !m_shownConnected && m_device.isRecording();
    m_linkWaiting->setVisible(waiting);
    if (waiting)
        suffix = QLatin1Char(' ') + m_linkWaiting->text();
    ui->comboBox_COM->setVisible(portChoiceVisible(ui->comboBox_COM->count(), m_shownConnected));
    m_ctx.window->setWindowTitle(m_titleBase + suffix);
}

// The port chosen stays chosen while it is still there.
void InstrumentPage::fillPortList(const QStringList &ports)
{
    const QString chosen = ui->comboBox_COM->currentText();
    ui->comboBox_COM->clear();
    ui->comboBox_COM->addItems(ports);
    ui->comboBox_COM->setCurrentIndex(qMax(0, ports.indexOf(chosen)));
}

void InstrumentPage::handleDeviceChange(const QStringList &ports)
{
    fillPortList(ports);
    refreshConnectionLook();
    refreshInstrumentList();
}

// Below the instrument's card; built here, as the form's pages belong to
// more hands than this one.
void InstrumentPage::createInstrumentList()
{
    m_list = new InstrumentList(ui->page);
    ui->verticalLayout_12->insertWidget(ui->verticalLayout_12->indexOf(ui->widget) + 1, m_list);
    connect(m_list, &InstrumentList::connectSwitched, this, &InstrumentPage::switchInstrument);
    connect(m_list, &InstrumentList::connectAllClicked, this, &InstrumentPage::connectAll);
    connect(m_list, &InstrumentList::labelEdited, this, &InstrumentPage::editLabel);
    connect(m_list, &InstrumentList::selectedChanged, this, &InstrumentPage::selectInstrument);
}

// The panel shows the settings of the selected instrument only.
void InstrumentPage::followReports(DevKX740D &device)
{
    connect(&device, &DevKX740D::ctrl_setting, this, [this, &device](_T_CTRL_CONFIG config) {
        if (&device == &selectedDevice())
            ctrl_setting(config);
    });
    connect(&device, &DevKX740D::ch_setting, this, [this, &device](_T_CH_CONFIG config) {
        if (&device == &selectedDevice())
            ch_setting(config);
    });
    connect(&device, &DevKX740D::deviceInfo, this, [this, &device](QString name, QString firmware) {
        if (&device == &selectedDevice())
            deviceInfo(name, firmware);
    });
}

DevKX740D &InstrumentPage::selectedDevice() const
{
    return m_selected ? m_selected->device() : m_device;
}

InstrumentConnection *InstrumentPage::selectedConnection() const
{
    return m_selected ? m_selected : m_ctx.connections.first();
}

// The instrument panel shows and sets the chosen instrument; it asks the
// instrument for its settings, which it shows as they arrive.
void InstrumentPage::selectInstrument(const QString &port)
{
    InstrumentConnection *c = connectionOn(port);
    if (!c || !c->isLinked())
        return;
    m_selected = c == m_ctx.connections.first() ? nullptr : c;
    deviceInfo(c->name(), c->firmware());
    m_ctx.recording->showLimits();
    c->device().queryConfig37();
    c->device().queryConfig35();
    updateOffsetBoxes();
    refreshInstrumentList();
}

void InstrumentPage::followConnection(InstrumentConnection *connection)
{
    if (connection != m_ctx.connections.first()) {
        followReports(connection->device());
        // The first one's link is followed by updateCOMInfo().
        m_ctx.system->alarms()->watchInstrument(connection->device());
        connect(&connection->link(), &SerialHandle::updateCOMInfo, this,
                [this, connection](int open) {
                    m_ctx.system->alarms()->setLinkUp(open != 0, &connection->device());
                });
    }
    connect(connection, &InstrumentConnection::changed, this, [this, connection] {
        // A selected instrument that went hands the panel back to the first.
        if (m_selected && !m_selected->isLinked()) {
            m_selected = nullptr;
            deviceInfo(m_ctx.connections.first()->name(), m_ctx.connections.first()->firmware());
            if (m_ctx.recording)
                m_ctx.recording->showLimits();
        }
        refreshInstrumentList();
        if (AlarmControl *alarms = m_ctx.system->alarms()) {
            alarms->setInstrumentLabel(connection->label(), &connection->device());
            // Once a second instrument was connected, every alarm names its
            // instrument, a pulled one's included.
            alarms->setLabelsShown(m_ctx.connections.size() > 1);
        }
        if (m_ctx.recording)
            m_ctx.recording->showInstrumentRows();
    });
}

QStringList InstrumentPage::listedPorts() const
{
    QStringList ports = m_portWatcher->ports();
    for (const InstrumentConnection *c : qAsConst(m_ctx.connections))
        if (!c->port().isEmpty() && !ports.contains(c->port()) &&
            (c->isLinked() || c->device().isRecording()))
            ports << c->port();
    return ports;
}

InstrumentConnection *InstrumentPage::connectionOn(const QString &port) const
{
    for (InstrumentConnection *c : qAsConst(m_ctx.connections))
        if (c->port() == port && (c->isLinked() || c->device().isRecording()))
            return c;
    return nullptr;
}

QString InstrumentPage::labelForPort(const QString &port) const
{
    QStringList taken;
    for (const QString &other : listedPorts()) {
        const QString place = portPlace(other);
        const QString key = place.isEmpty() ? other : place;
        const QString kept = m_settings.instrumentLabels.value(key);
        const QString label =
            kept.isEmpty()
                ? defaultInstrumentLabel(other, place, taken + m_settings.instrumentLabels.values())
                : kept;
        if (other == port)
            return label;
        taken << label;
    }
    const QString place = portPlace(port);
    const QString kept = m_settings.instrumentLabels.value(place.isEmpty() ? port : place);
    return kept.isEmpty() ? defaultInstrumentLabel(port, place, taken) : kept;
}

void InstrumentPage::refreshInstrumentList()
{
    QVector<InstrumentRow> rows;
    for (const QString &port : listedPorts()) {
        InstrumentRow row;
        row.port = port;
        const InstrumentConnection *c = connectionOn(port);
        row.label = c ? c->label() : labelForPort(port);
        if (c) {
            row.selected = c->isLinked() && &c->device() == &selectedDevice();
            row.name = c->name();
            row.firmware = c->firmware();
            row.linked = c->isLinked();
            row.waiting = !row.linked && c->device().isRecording();
        }
        rows << row;
    }
    m_list->setRows(rows);
}

void InstrumentPage::switchInstrument(const QString &port, bool on)
{
    InstrumentConnection *c = connectionOn(port);
    if (on && !c) {
        connectInstrument(port);
    } else if (!on && c && !refuseWhileRecording()) {
        if (c == m_ctx.connections.first()) {
            disconnectInstrument();
        } else {
            // Ended on purpose: no alarm for the link going.
            m_ctx.system->alarms()->setWatching(false, &c->device());
            c->close();
        }
    }
    refreshInstrumentList();
}

void InstrumentPage::connectAll()
{
    for (const QString &port : listedPorts())
        if (!connectionOn(port))
            connectInstrument(port);
    refreshInstrumentList();
}

// The first instrument goes through the connect button as it always has;
// further ones get connections of their own, reused once disconnected.
void InstrumentPage::connectInstrument(const QString &port)
{
    if (refuseWhileRecording())
        return;
    InstrumentConnection *first = m_ctx.connections.first();
    if (!first->isLinked()) {
        ui->comboBox_COM->setCurrentIndex(qMax(0, ui->comboBox_COM->findText(port)));
        if (ui->comboBox_COM->currentText() == port)
            openInstrumentPort(port);
        return;
    }
    InstrumentConnection *c = nullptr;
    for (InstrumentConnection *other : qAsConst(m_ctx.connections))
        if (other != first && !other->isLinked() && !other->device().isRecording())
            c = other;
    if (!c) {
        c = new InstrumentConnection(QStringLiteral("port_%1").arg(m_ctx.connections.size() + 1),
                                     m_ctx.window);
        m_ctx.connections << c;
        followConnection(c);
    }
    c->setLabel(labelForPort(port));
    QString linkError;
    if (c->open(port, &linkError)) {
        // Up from now, not from the link's next report.
        m_ctx.system->alarms()->setLinkUp(true, &c->device());
        m_ctx.system->alarms()->setWatching(true, &c->device());
    } else {
        UserDialogs::information(nullptr, QString(), connectFailureText(port, linkError), m_okText);
    }
}

void InstrumentPage::editLabel(const QString &port, const QString &label)
{
    const QString was = labelForPort(port);
    if (label == was)
        return;
    QStringList others;
    for (const QString &other : listedPorts())
        if (other != port)
            others << labelForPort(other);
    QString refusal;
    switch (checkInstrumentLabel(label, others)) {
    case LabelCheck::Invalid:
        refusal = tr("标签只能由 1 到 32 个字母、数字、“_”或“-”组成。");
        break;
    case LabelCheck::Taken:
        refusal = tr("标签“%1”已被另一台仪器使用。").arg(label);
        break;
    case LabelCheck::Ok:
        break;
    }
    if (!refusal.isEmpty()) {
        UserDialogs::information(nullptr, QString(), refusal, m_okText);
    } else if (!refuseWhileRecording()) {
        // The measurements of a running recording are named at its stop.
        const QString place = portPlace(port);
        m_settings.instrumentLabels[place.isEmpty() ? port : place] = label;
        // Limits of its own go with the instrument to its new label.
        if (m_settings.instrumentLimits.contains(was))
            m_settings.instrumentLimits.insert(label, m_settings.instrumentLimits.take(was));
        m_ctx.system->saveSettings();
        if (InstrumentConnection *c = connectionOn(port))
            c->setLabel(label);
    }
    // A refused label is shown as it was.
    refreshInstrumentList();
}

void InstrumentPage::on_pb_connect_clicked()
{
    const QString portName = ui->comboBox_COM->currentText();
    // A recording whose instrument was lost may be connected again by hand.
    const bool reconnect = m_device.isRecording() && !m_ctx.serial->isOpen();
    if (!reconnect && refuseWhileRecording())
        return;
    switch (connectStep(m_ctx.serial->isOpen(), portName)) {
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
void InstrumentPage::disconnectInstrument()
{
    // Ended on purpose: no alarm for the link going.
    m_ctx.system->alarms()->setWatching(false);
    m_ctx.session->setPort(QString());
    m_ctx.serial->closePort();
    m_device.setLink(nullptr);
}

void InstrumentPage::connectToFirstPort()
{
    if (ui->comboBox_COM->count() > 0)
        ui->comboBox_COM->setCurrentIndex(0);
    ui->pb_connect->click();
}

// The button's look follows with the link's next state report.
void InstrumentPage::openInstrumentPort(const QString &portName)
{
    QString linkError;
    if (m_ctx.serial->openPort(portName, kInstrumentBaudRate, &linkError)) {
        InstrumentConnection *first = m_ctx.connections.first();
        first->setPort(portName);
        first->setLabel(labelForPort(portName));
        m_ctx.session->setPort(portName);
        m_ctx.system->alarms()->setWatching(true);
        m_device.setLink(m_ctx.serial);
        if (m_device.isRecording())
            m_device.notifyRecording(true);
        return;
    }
    QString text = connectFailureText(portName, linkError);
    // The recording goes on by itself once its instrument is back.
    if (m_device.isRecording())
        text = m_linkWaiting->text() + QStringLiteral("\n\n") + text;
    UserDialogs::information(nullptr, QString(), text, m_okText);
}

// Boxes set here to show what the instrument reports do not send that value
// back: with two settings made in quick succession, echoing the older
// configuration would undo the newer setting, the instrument would answer
// with the older one, and window and instrument would keep overturning each
// other's settings for good.
void InstrumentPage::ctrl_setting(_T_CTRL_CONFIG ctrl_code)
{
    m_ctrlConfigReceived = true;
    const QScopedValueRollback<bool> showing(m_showingInstrumentConfig, true);
    const CtrlSettingView view = ctrlSettingView(ctrl_code);
    ui->pb_hold->setChecked(view.hold);
    checkGroupButton(m_bleGroup, kBluetoothGroupFirstId, view.bluetoothButton);
    ui->pb_auto_pwr_onoff->setChecked(view.autoPowerOff);
    m_ctx.recording->showIntervalInBoxes(view.intervalSeconds);
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
void InstrumentPage::askToSwitchBluetoothOff()
{
    const int answer = UserDialogs::question(nullptr, bluetoothQuestionTitle(),
                                             bluetoothQuestionText(), {tr("是"), tr("取消")}, 1, 1);
    if (answer == 0)
        selectedDevice().setBluetooth(false);
    else
        disconnectInstrument();
}

void InstrumentPage::ch_setting(_T_CH_CONFIG ch_code)
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

void InstrumentPage::deviceInfo(QString dev_name, QString fw_ver)
{
    ui->label_dev_name->setText(deviceNameText(dev_name));
    ui->label_fw_ver->setText(firmwareVersionText(fw_ver));
}

void InstrumentPage::flash_used_num_update(int mun)
{
    ui->label_flash_used->setText(flashUsedText(mun));
    ui->progressBar_2->setValue(mun);
}

// Download progress is shown by the wait dialog, which takes the signal itself.
void InstrumentPage::progressBar_range_update(int max, int now)
{
    Q_UNUSED(max)
    Q_UNUSED(now)
    m_transfer.activity();
}

void InstrumentPage::on_pb_hold_clicked()
{
    selectedDevice().setHold(ui->pb_hold->isChecked());
}

void InstrumentPage::offsetEdited(int channel)
{
    const qint8 tenths = offsetTenthsFromBox(offsetBoxes(ui)[channel]->value(), m_unit);
    if (tenths != selectedDevice().channelOffset(channel + 1))
        selectedDevice().setChannelOffset(channel + 1, tenths);
}

void InstrumentPage::on_doubleSpinBox_offset_1_editingFinished()
{
    offsetEdited(0);
}

void InstrumentPage::on_doubleSpinBox_offset_2_editingFinished()
{
    offsetEdited(1);
}

void InstrumentPage::on_doubleSpinBox_offset_3_editingFinished()
{
    offsetEdited(2);
}

void InstrumentPage::on_doubleSpinBox_offset_4_editingFinished()
{
    offsetEdited(3);
}

void InstrumentPage::on_comboBox_T1_currentIndexChanged(int index)
{
    if (!m_showingInstrumentConfig)
        selectedDevice().setChannelType(1, index);
}

void InstrumentPage::on_comboBox_T2_currentIndexChanged(int index)
{
    if (!m_showingInstrumentConfig)
        selectedDevice().setChannelType(2, index);
}

void InstrumentPage::on_comboBox_T3_currentIndexChanged(int index)
{
    if (!m_showingInstrumentConfig)
        selectedDevice().setChannelType(3, index);
}

void InstrumentPage::on_comboBox_T4_currentIndexChanged(int index)
{
    if (!m_showingInstrumentConfig)
        selectedDevice().setChannelType(4, index);
}

void InstrumentPage::on_comboBox_unit_currentIndexChanged(int index)
{
    if (!m_showingInstrumentConfig)
        selectedDevice().setUnit(index);
    if (index >= 0 && index < kUnitItems)
        applyUnit(index);
}

void InstrumentPage::on_comboBox_freq_currentIndexChanged(int index)
{
    if (!m_showingInstrumentConfig)
        selectedDevice().setFrequency(index != 0);
}

void InstrumentPage::on_pb_auto_pwr_onoff_clicked()
{
    selectedDevice().setAutoPowerOff(ui->pb_auto_pwr_onoff->isChecked());
}

// Nothing is read back afterwards: the instrument reports its new settings
// if it chooses to.
void InstrumentPage::on_pb_reset_clicked()
{
    if (refuseWhileRecording())
        return;
    if (UserDialogs::question(nullptr, tr("恢复出厂设置"), resetQuestionText(),
                              {tr("是"), tr("否")}, 1, 1) == 0)
        selectedDevice().resetSettings();
}

void InstrumentPage::handelButtonGroup(int id)
{
    const GroupSetting setting = groupSetting(id);
    switch (setting.kind) {
    case GroupSetting::DifferenceMode:
        selectedDevice().setDifferenceMode(setting.value);
        break;
    case GroupSetting::MeasuringMode:
        selectedDevice().setMeasuringMode(setting.value);
        break;
    case GroupSetting::Bluetooth:
        selectedDevice().setBluetooth(setting.value != 0);
        break;
    case GroupSetting::None:
        break;
    }
}

void InstrumentPage::updateOffsetBoxes()
{
    const ChannelBoxes boxes = offsetBoxes(ui);
    for (int ch = 0; ch < kChannelCount; ++ch)
        applyOffsetBox(offsetBox(selectedDevice().channelOffset(ch + 1), m_unit), boxes[ch]);
}

// Download and erase need an identified instrument, no recording and no
// other transfer whose end is still to come; otherwise the user is told why.
bool InstrumentPage::refuseTransfer()
{
    if (refuseWhileRecording())
        return true;
    if (!m_ctx.serial->isOpen() || !m_device.isIdentified()) {
        UserDialogs::information(nullptr, QString(), tr("未连接设备，请先连接设备。"), m_okText);
        return true;
    }
    if (m_transfer.outstanding()) {
        UserDialogs::information(nullptr, QString(), tr("仪器正在传输数据，请等待传输结束后再试。"),
                                 m_okText);
        return true;
    }
    return false;
}

void InstrumentPage::on_pb_read_flash_clicked()
{
    if (refuseTransfer())
        return;
    const quint32 count = m_device.storedRecordCount();
    if (count == 0) {
        UserDialogs::information(nullptr, QString(), tr("仪器中没有存储的记录。"), m_okText);
        return;
    }
    const DownloadPlan plan = downloadPlan(count);
    Dialog_wait dialog(m_ctx.window);
    dialog.setWaitTime(plan.timeoutSeconds);
    dialog.setDownload(int(count));
    dialog.setWindowFlags(dialog.windowFlags() | Qt::FramelessWindowHint);
    connect(&m_device, &DevKX740D::progressBar_range_update, &dialog,
            &Dialog_wait::progressBar_range_update);
    connect(&m_device, &DevKX740D::trans_end, &dialog, &Dialog_wait::trans_end);
    connect(&dialog, &Dialog_wait::cancel, &m_device, &DevKX740D::stopTrans);
    m_transfer.start(TransferGuard::Download);
    m_device.readStoredBlocks(0, plan.blocks);
    WindowContext::runModal(dialog);
}

void InstrumentPage::on_pb_erase_flash_clicked()
{
    if (refuseTransfer())
        return;
    const int answer =
        UserDialogs::question(nullptr, tr("清除仪器存储"),
                              tr("仪器中存储的 %1 条记录将被清除且无法恢复，是否继续？")
                                  .arg(m_device.storedRecordCount()),
                              {tr("是"), tr("否")}, 1, 1);
    if (answer != 0)
        return;
    m_transfer.start(TransferGuard::Erase);
    m_device.eraseStoredRecords();
    Dialog_wait dialog(m_ctx.window);
    dialog.setWindowFlags(dialog.windowFlags() | Qt::FramelessWindowHint);
    connect(&m_device, &DevKX740D::trans_end, &dialog, &Dialog_wait::trans_end);
    WindowContext::runModal(dialog);
    m_device.queryStoredRecordCount();
}

// The driver reports the end of a download and of an erase alike; only the
// end of a download brings records.
void InstrumentPage::trans_end()
{
    if (m_transfer.finish() != TransferGuard::Download)
        return;
    const QVector<_T_EE_TEST_DATA> records = m_device.takeDownloadedRecords();
    if (records.isEmpty()) {
        // Records that arrived and were all dropped failed their checksums.
        UserDialogs::information(dialogParent(), QString(),
                                 m_device.downloadedBlockCount() > 0
                                     ? tr("读取的记录全部未通过校验，没有可用的记录。")
                                     : tr("仪器中没有存储的记录。"),
                                 m_okText);
        return;
    }
    m_ctx.archive->addMeasurement(
        measurementOfRecords(records, downloadedMeasurementName(QDateTime::currentDateTime())));
    // The instrument's memory may be erased next: the records are kept on
    // disk at once.
    m_ctx.archiveBackup->keepUnsavedArchive();
    m_ctx.showCurrent(false);
}

void InstrumentPage::applyUnit(unit_type unit)
{
    if (unit == m_ctx.unit)
        return;
    // A label the user renamed stays as it is.
    const bool automaticYLabel = ui->customPlot->yAxis->label() == m_ctx.chart->yLabelText();
    m_ctx.unit = unit;
    m_ctx.system->setUnit(unit);
    m_ctx.chart->showLimitLines();
    if (automaticYLabel)
        ui->customPlot->yAxis->setLabel(m_ctx.chart->yLabelText());
    m_ctx.dashboard->setUnit(unit);
    m_ctx.recording->showInstrumentRows();
    m_ctx.chart->replotCurrentMeasurement();
    m_ctx.table->showCurrentMeasurement();
    m_ctx.recording->updateLimitBoxes();
    updateOffsetBoxes();
}
