#pragma once

#include "app/windowcontext.h"

class InstrumentConnection;
class InstrumentRows;

// Live readings and recording: the dashboard's readings, the start and stop
// of a recording with its interval and continuous time, the limits that
// mark readings and raise alarms, and the once-a-second refresh of the live
// table and chart while a recording runs.
class RecordingPage : public PageController
{
    Q_OBJECT

public:
    explicit RecordingPage(WindowContext &context);

    // Connects the recording session's reports once the session exists.
    void followSession();
    // The measurement an interrupted recording was restored into, which the
    // next Start goes on with.
    void setResumable(Data_List_T *measurement) { m_resumable = measurement; }
    void stopRecording();
    void showIntervalInBoxes(quint32 seconds);
    // Ranges and values of the limit boxes in the shown unit; the ranges
    // follow the channels' thermocouple types as last reported.
    void updateLimitBoxes();
    // The limit switches and boxes from the settings record, for the
    // instrument chosen in the Device list.
    void showLimits();
    // With several instruments connected the page shows a row of tiles per
    // instrument instead of the one instrument's dashboard.
    void showInstrumentRows();
    InstrumentRows *instrumentRows() const { return m_rows; }

public slots:
    // Once a second: the live view while recording, the session's clock.
    void handleTimeOut();
    void on_pb_start_clicked(bool checked);
    void handelIntervalSetting();
    void handleRunningTimechange();
    void on_pb_continue_enable_clicked(bool checked);
    void on_doubleSpinBox_hi_limit_T1_editingFinished();
    void on_doubleSpinBox_hi_limit_T2_editingFinished();
    void on_doubleSpinBox_hi_limit_T3_editingFinished();
    void on_doubleSpinBox_hi_limit_T4_editingFinished();
    void on_doubleSpinBox_low_limit_T1_editingFinished();
    void on_doubleSpinBox_low_limit_T2_editingFinished();
    void on_doubleSpinBox_low_limit_T3_editingFinished();
    void on_doubleSpinBox_low_limit_T4_editingFinished();
    void on_pb_limit_enable_T1_clicked(bool checked);
    void on_pb_limit_enable_T2_clicked(bool checked);
    void on_pb_limit_enable_T3_clicked(bool checked);
    void on_pb_limit_enable_T4_clicked(bool checked);

    // The instrument driver's reports.
    void live_data(_T_PRINT_OUT_DATA s);
    void max_min_avg_info(QList<QList<QString>> info_sss);

private:
    void startRecording();
    bool resumeInterruptedRecording();
    void showRemainingTime(quint64 seconds);
    void recordingTimeUp();
    // While recording: the broker refused the readings; the recording goes on.
    void brokerRefused(const QString &text);
    int intervalBoxesSeconds() const;
    // The limits the page shows and edits: those of the instrument chosen in
    // the Device list. The first instrument's are the shared ones of
    // config.cfg; a further one's are kept for its label (limitsLabel(),
    // empty for the first).
    QString limitsLabel() const;
    const ConfigLimits &shownLimits() const;
    ConfigLimits &editedLimits();
    // Channel index 0..3.
    void limitEdited(int channel, bool high);
    void limitSwitched(int channel, bool on);
    // The limits changed: the alarms and the chart's limit lines follow.
    void limitsChanged();

    // The further instruments recording with the first one, and the name
    // their measurements share.
    void startFurtherInstruments();
    void stopFurtherInstruments(const QVector<_T_EE_TEST_DATA> &firstRecords);
    QString instrumentMeasurementNameOf(const InstrumentConnection &connection) const;

    Data_List_T *m_resumable = nullptr;
    InstrumentRows *m_rows = nullptr;
    QList<InstrumentConnection *> m_together;
    QString m_recordingName;
};
