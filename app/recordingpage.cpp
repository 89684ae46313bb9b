// Live readings and the recording of the main window.
#include "app/recordingpage.h"

#include "app/alarmcontrol.h"
#include "app/archivebackup.h"
#include "app/archivepage.h"
#include "app/chartpage.h"
#include "app/instrumentconnection.h"
#include "app/instrumentpage.h"
#include "app/instrumentrows.h"
#include "app/mqttcontrol.h"
#include "app/systempage.h"
#include "app/tablepage.h"
#include "app/unitboxes.h"
#include "app/userdialogs.h"
#include "instrument/temperature.h"
#include "link/serialhandle.h"
#include "measurement/recordingrules.h"
#include "measurement/recordingsession.h"
#include "measurement/settingsrules.h"
#include "measurement/unitrules.h"
#include "store/measurementgroups.h"
#include "store/recordingjournal.h"
#include "store/recordingstore.h"
#include "ui_mainwindow.h"
#include "widgets/bash.h"

#include <QDateTime>

#include <array>

namespace {

using ChannelBoxes = std::array<QDoubleSpinBox *, kChannelCount>;

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

} // namespace

RecordingPage::RecordingPage(WindowContext &context) : PageController(context)
{
    connect(&m_device, &DevKX740D::live_data, this, &RecordingPage::live_data);
    connect(&m_device, &DevKX740D::max_min_avg_info, this, &RecordingPage::max_min_avg_info);
    for (QSpinBox *box :
         {ui->spinBox_interval_sec, ui->spinBox_interval_min, ui->spinBox_interval_hour})
        connect(box, &QSpinBox::editingFinished, this, &RecordingPage::handelIntervalSetting);
    for (QSpinBox *box :
         {ui->spinBox_contitime_hour, ui->spinBox_contitime_min, ui->spinBox_contitime_sec})
        connect(box, &QSpinBox::editingFinished, this, &RecordingPage::handleRunningTimechange);
    connect(m_ctx.system->mqtt(), &MqttControl::brokerRefused, this, &RecordingPage::brokerRefused);
    // Beside the dashboard's layout, which holds the dashboard alone.
    m_rows = new InstrumentRows(m_ctx.dashboard->parentWidget());
    ui->verticalLayout_4->insertWidget(ui->verticalLayout_4->indexOf(ui->verticalLayout_3) + 1,
                                       m_rows);
    m_rows->hide();
    connectSlotsByObjectName(this, m_ctx.window);
}

void RecordingPage::showInstrumentRows()
{
    QList<InstrumentConnection *> shown;
    for (InstrumentConnection *c : qAsConst(m_ctx.connections))
        if (c->isLinked() || m_together.contains(c))
            shown << c;
    if (shown.size() < 2)
        shown.clear();
    m_rows->setUnit(m_unit);
    m_rows->setConnections(shown);
    m_rows->setVisible(!shown.isEmpty());
    m_ctx.dashboard->setVisible(shown.isEmpty());
}

void RecordingPage::followSession()
{
    RecordingSession *session = m_ctx.session;
    connect(session, &RecordingSession::remainingTime, this, &RecordingPage::showRemainingTime);
    connect(session, &RecordingSession::timeUp, this, &RecordingPage::recordingTimeUp);
    connect(session, &RecordingSession::instrumentStopped, this, &RecordingPage::recordingTimeUp);
}

// Shown whether or not a recording runs; the driver decides what is stored.
void RecordingPage::live_data(_T_PRINT_OUT_DATA s)
{
    m_ctx.dashboard->showReading(s);
    const auto readings = offsetReadings(ui);
    for (int ch = 0; ch < kChannelCount; ++ch)
        readings[ch]->setText(offsetPageReadingText(s.value[ch], s.status[ch], m_unit));
    ui->label_tmp_e->setText(ambientText(s.ambient, m_unit));
}

// Shown with the dashboard's next reading.
void RecordingPage::max_min_avg_info(QList<QList<QString>> info_sss)
{
    m_ctx.dashboard->setStatistics(info_sss);
}

void RecordingPage::on_pb_start_clicked(bool checked)
{
    if (!checked) {
        stopRecording();
        return;
    }
    // Any instrument connected records; the first one, if not, joins once it is.
    const QString refusal =
        startRefusalText(intervalBoxesSeconds(), !m_ctx.linkedConnections().isEmpty());
    if (!refusal.isEmpty()) {
        ui->pb_start->setChecked(false);
        UserDialogs::information(nullptr, QString(), refusal, m_okText);
        return;
    }
    startRecording();
}

void RecordingPage::showIntervalInBoxes(quint32 seconds)
{
    ui->spinBox_interval_hour->setValue(int(seconds / 3600));
    ui->spinBox_interval_min->setValue(int(seconds / 60 % 60));
    ui->spinBox_interval_sec->setValue(int(seconds % 60));
}

int RecordingPage::intervalBoxesSeconds() const
{
    return ui->spinBox_interval_hour->value() * 3600 + ui->spinBox_interval_min->value() * 60 +
           ui->spinBox_interval_sec->value();
}

void RecordingPage::startRecording()
{
    if (!resumeInterruptedRecording())
        m_ctx.session->start();
    startFurtherInstruments();
    m_ctx.chart->forgetLiveCount();
    ui->label_remain_time->clear();
    m_ctx.dashboard->setRecording(true);
    // The measurement the recording goes into must stay current.
    ui->treeWidget->setEnabled(false);
}

// Every further instrument connected records at the interval in the boxes,
// counting the first instrument's seconds, so readings of one interval
// carry the same time on every instrument.
void RecordingPage::startFurtherInstruments()
{
    m_together.clear();
    for (InstrumentConnection *c : m_ctx.linkedConnections())
        if (c != m_ctx.connections.first())
            m_together << c;
    const Data_List_T *current = currentMeasurement();
    m_recordingName = current && current->records.isEmpty()
                          ? current->name
                          : recordingMeasurementName(QDateTime::currentDateTime());
    const quint32 interval = quint32(intervalBoxesSeconds());
    for (InstrumentConnection *c : qAsConst(m_together)) {
        m_ctx.archiveBackup->setupInstrumentStore(*c);
        if (c->device().interval() != interval)
            c->device().setInterval(interval);
        c->session().start(c->label());
        c->device().setSecondCounter(m_device.secondCounter());
    }
}

// The first instrument's readings go where a single instrument's go, named
// for their instrument; the others' follow as measurements of their own.
void RecordingPage::stopFurtherInstruments(const QVector<_T_EE_TEST_DATA> &firstRecords)
{
    const QString firstName = instrumentMeasurementNameOf(*m_ctx.connections.first());
    Data_List_T *current = currentMeasurement();
    if (current && current->records.isEmpty() && !firstRecords.isEmpty()) {
        m_document->appendToCurrent(firstRecords);
        m_document->renameMeasurement(m_document->indexOf(current), firstName);
        m_ctx.showCurrent(true);
    } else if (!firstRecords.isEmpty()) {
        m_ctx.archive->addMeasurement(measurementOfRecords(firstRecords, firstName));
    }
    for (InstrumentConnection *c : qAsConst(m_together)) {
        const QVector<_T_EE_TEST_DATA> records = c->session().stop();
        if (!records.isEmpty())
            m_ctx.archive->addMeasurement(
                measurementOfRecords(records, instrumentMeasurementNameOf(*c)));
    }
}

QString RecordingPage::instrumentMeasurementNameOf(const InstrumentConnection &connection) const
{
    return instrumentMeasurementName(m_recordingName, connection.label());
}

// A recording a crash interrupted goes on when its instrument records into
// the measurement it was restored into; otherwise it is ended as it is.
bool RecordingPage::resumeInterruptedRecording()
{
    if (!m_ctx.store->found().interrupted)
        return false;
    Data_List_T *restored = m_resumable;
    m_resumable = nullptr;
    if (restored && restored == currentMeasurement() &&
        sameInstrument(m_ctx.store->found().header.instrument,
                       m_ctx.session->instrumentIdentity()) &&
        m_ctx.session->resume())
        return true;
    m_ctx.store->closeFound();
    return false;
}

// The readings stay in the driver until the next start.
void RecordingPage::stopRecording()
{
    const QVector<_T_EE_TEST_DATA> records = m_ctx.session->stop();
    ui->label_remain_time->clear();
    m_ctx.dashboard->setRecording(false);
    const QList<InstrumentConnection *> together = m_together;
    if (!together.isEmpty()) {
        stopFurtherInstruments(records);
        m_together.clear();
    } else if (!records.isEmpty()) {
        if (currentMeasurement()) {
            m_document->appendToCurrent(records);
            m_ctx.showCurrent(true);
        } else {
            m_ctx.archive->addMeasurement(measurementOfRecords(
                records, recordingMeasurementName(QDateTime::currentDateTime())));
        }
    }
    ui->treeWidget->setEnabled(true);
    m_ctx.instrument->refreshConnectionLook();
    // The readings are in the archive now. The journal is emptied only once
    // they are on disk with it, so a crash before a save loses none.
    if ((records.isEmpty() && together.isEmpty()) || m_ctx.archiveBackup->keepUnsavedArchive()) {
        m_ctx.store->noteWritten(m_ctx.session->recordingId(), m_ctx.session->lastSeq());
        m_ctx.store->release();
        for (InstrumentConnection *c : together) {
            c->store()->noteWritten(c->session().recordingId(), c->session().lastSeq());
            c->store()->release();
        }
    }
    showInstrumentRows();
}

void RecordingPage::handelIntervalSetting()
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

void RecordingPage::handleRunningTimechange()
{
    m_settings.continuousSeconds = continuousSecondsFromBoxes(ui->spinBox_contitime_hour->value(),
                                                              ui->spinBox_contitime_min->value(),
                                                              ui->spinBox_contitime_sec->value());
    m_ctx.session->setContinuousTime(m_settings.continuousEnabled, m_settings.continuousSeconds);
}

void RecordingPage::on_pb_continue_enable_clicked(bool checked)
{
    m_settings.continuousEnabled = checked;
    m_ctx.session->setContinuousTime(checked, m_settings.continuousSeconds);
}

void RecordingPage::showRemainingTime(quint64 seconds)
{
    ui->label_remain_time->setText(remainingTimeText(seconds));
}

void RecordingPage::recordingTimeUp()
{
    ui->pb_start->setChecked(false);
    stopRecording();
}

// Outside a recording the MQTT page's status line says it; during one, the
// readings still reach the data and the backup, but not the broker.
void RecordingPage::brokerRefused(const QString &text)
{
    if (m_device.isRecording())
        UserDialogs::information(nullptr, QString(), tr("MQTT：%1；记录继续。").arg(text),
                                 m_okText);
}

QString RecordingPage::limitsLabel() const
{
    const InstrumentConnection *c =
        m_ctx.instrument ? m_ctx.instrument->selectedConnection() : nullptr;
    return c && c != m_ctx.connections.first() ? c->label() : QString();
}

const ConfigLimits &RecordingPage::shownLimits() const
{
    const QString label = limitsLabel();
    return label.isEmpty() ? m_settings : m_settings.limitsFor(label);
}

// A further instrument's first edit gives it limits of its own, starting
// from the shared ones it had.
ConfigLimits &RecordingPage::editedLimits()
{
    const QString label = limitsLabel();
    if (label.isEmpty())
        return m_settings;
    if (!m_settings.instrumentLimits.contains(label))
        m_settings.instrumentLimits.insert(label, m_settings);
    return m_settings.instrumentLimits[label];
}

void RecordingPage::limitEdited(int channel, bool high)
{
    QDoubleSpinBox *box = high ? highLimitBoxes(ui)[channel] : lowLimitBoxes(ui)[channel];
    ConfigLimits &limits = editedLimits();
    const LimitEdit edit = high ? editHighLimit(box->value(), limits.lowLimit[channel], m_unit)
                                : editLowLimit(box->value(), limits.highLimit[channel], m_unit);
    (high ? limits.highLimit : limits.lowLimit)[channel] = edit.limit;
    if (edit.rewriteBox)
        box->setValue(edit.boxValue);
    limitsChanged();
    // The table marks readings beyond the first instrument's switched-on limits.
    if (&limits == &m_settings && m_settings.limitEnabled[channel])
        m_ctx.table->showCurrentMeasurement();
}

void RecordingPage::limitSwitched(int channel, bool on)
{
    ConfigLimits &limits = editedLimits();
    limits.limitEnabled[channel] = on;
    limitsChanged();
    if (&limits == &m_settings)
        m_ctx.table->showCurrentMeasurement();
}

void RecordingPage::limitsChanged()
{
    if (m_ctx.system->alarms())
        m_ctx.system->alarms()->setLimits(m_settings);
    m_ctx.chart->showLimitLines();
}

void RecordingPage::on_doubleSpinBox_hi_limit_T1_editingFinished()
{
    limitEdited(0, true);
}

void RecordingPage::on_doubleSpinBox_hi_limit_T2_editingFinished()
{
    limitEdited(1, true);
}

void RecordingPage::on_doubleSpinBox_hi_limit_T3_editingFinished()
{
    limitEdited(2, true);
}

void RecordingPage::on_doubleSpinBox_hi_limit_T4_editingFinished()
{
    limitEdited(3, true);
}

void RecordingPage::on_doubleSpinBox_low_limit_T1_editingFinished()
{
    limitEdited(0, false);
}

void RecordingPage::on_doubleSpinBox_low_limit_T2_editingFinished()
{
    limitEdited(1, false);
}

void RecordingPage::on_doubleSpinBox_low_limit_T3_editingFinished()
{
    limitEdited(2, false);
}

void RecordingPage::on_doubleSpinBox_low_limit_T4_editingFinished()
{
    limitEdited(3, false);
}

void RecordingPage::on_pb_limit_enable_T1_clicked(bool checked)
{
    limitSwitched(0, checked);
}

void RecordingPage::on_pb_limit_enable_T2_clicked(bool checked)
{
    limitSwitched(1, checked);
}

void RecordingPage::on_pb_limit_enable_T3_clicked(bool checked)
{
    limitSwitched(2, checked);
}

void RecordingPage::on_pb_limit_enable_T4_clicked(bool checked)
{
    limitSwitched(3, checked);
}

// The ranges follow the channels' thermocouple types as last reported.
void RecordingPage::updateLimitBoxes()
{
    const ChannelBoxes high = highLimitBoxes(ui);
    const ChannelBoxes low = lowLimitBoxes(ui);
    QLabel *const symbols[] = {ui->label_hi_limit, ui->label_hi_limit_2, ui->label_hi_limit_3,
                               ui->label_hi_limit_4};
    const ConfigLimits &limits = shownLimits();
    const DevKX740D &device = m_ctx.instrument ? m_ctx.instrument->selectedDevice() : m_device;
    for (int ch = 0; ch < kChannelCount; ++ch) {
        applyLimitBoxes(limitBoxes(device.channelType(ch + 1), limits.highLimit[ch],
                                   limits.lowLimit[ch], m_unit),
                        high[ch], low[ch]);
        symbols[ch]->setText(unitSymbol(m_unit));
    }
}

void RecordingPage::showLimits()
{
    QAbstractButton *enabled[] = {ui->pb_limit_enable_T1, ui->pb_limit_enable_T2,
                                  ui->pb_limit_enable_T3, ui->pb_limit_enable_T4};
    const ConfigLimits &limits = shownLimits();
    for (int ch = 0; ch < kChannelCount; ++ch)
        enabled[ch]->setChecked(limits.limitEnabled[ch]);
    updateLimitBoxes();
    limitsChanged();
}

void RecordingPage::handleTimeOut()
{
    if (m_device.isRecording()) {
        const int count = m_device.recordedCount();
        if (count != m_ctx.chart->shownRecordCount()) {
            m_ctx.chart->graphUpdate();
            m_document->markModified();
        }
        // Not tied to the chart's count: a replot between two readings
        // (unit change, x-axis mode) brings that up to date too.
        m_ctx.session->tick();
        for (InstrumentConnection *c : qAsConst(m_together))
            c->session().tick();
    }
    ui->label_dev_status->setText(m_device.isIdentified() ? tr("状态 ：就绪") : tr("状态：未就绪"));
}
