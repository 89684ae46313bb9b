#pragma once

#include "app/windowcontext.h"
#include "link/portwatcher.h"
#include "measurement/transferguard.h"

class InstrumentConnection;
class InstrumentList;
class QButtonGroup;
class QLabel;

// The instrument's side of the window: the connect button and the port
// list, what the instrument reports about itself, its settings on the
// instrument panel (types, unit, frequency, power, modes, offsets, reset),
// and the download and erase of its stored records.
class InstrumentPage : public PageController
{
    Q_OBJECT

public:
    InstrumentPage(WindowContext &context, PortWatcher::Source portSource, int portScanMs);

    // A control configuration arrived since start-up; the settings window
    // then no longer asks for the configuration.
    bool configReceived() const { return m_ctrlConfigReceived; }
    // The button, the port list and the title for the connection state last
    // reported, and the note of a recording waiting for its instrument.
    void refreshConnectionLook();
    // Makes `unit` the shown unit and redraws everything that shows a
    // temperature; nothing happens when it is the shown unit already.
    void applyUnit(unit_type unit);
    // The offset boxes in the shown unit, from the offsets last reported.
    void updateOffsetBoxes();
    // The Device page's list of instruments, from the ports found and the
    // connections' states.
    void refreshInstrumentList();
    InstrumentList *instrumentList() const { return m_list; }
    // The label an instrument on `port` carries: the one kept in the
    // settings for its place, else one made from the port.
    QString labelForPort(const QString &port) const;
    // The list and the live rows follow the connection's state.
    void followConnection(InstrumentConnection *connection);
    // The instrument on `port` becomes the one the panel shows and sets.
    void selectInstrument(const QString &port);
    // The driver of the instrument chosen in the list (the first by default).
    DevKX740D &selectedDevice() const;
    // The connection chosen in the list (the first by default).
    InstrumentConnection *selectedConnection() const;

public slots:
    void updateCOMInfo(int arg);
    void on_pb_connect_clicked();
    // Selects the first port of the list and presses the connect button.
    void connectToFirstPort();
    void on_comboBox_T1_currentIndexChanged(int index);
    void on_comboBox_T2_currentIndexChanged(int index);
    void on_comboBox_T3_currentIndexChanged(int index);
    void on_comboBox_T4_currentIndexChanged(int index);
    void on_comboBox_unit_currentIndexChanged(int index);
    void on_comboBox_freq_currentIndexChanged(int index);
    void on_pb_auto_pwr_onoff_clicked();
    void on_pb_reset_clicked();
    void on_pb_hold_clicked();
    void on_doubleSpinBox_offset_1_editingFinished();
    void on_doubleSpinBox_offset_2_editingFinished();
    void on_doubleSpinBox_offset_3_editingFinished();
    void on_doubleSpinBox_offset_4_editingFinished();
    // The difference-mode, measuring-mode and Bluetooth groups.
    void handelButtonGroup(int id);
    void on_pb_read_flash_clicked();
    void on_pb_erase_flash_clicked();

    // The instrument driver's reports.
    void ctrl_setting(_T_CTRL_CONFIG ctrl_code);
    void ch_setting(_T_CH_CONFIG ch_code);
    void deviceInfo(QString dev_name, QString fw_ver);
    void flash_used_num_update(int mun);
    void progressBar_range_update(int max, int now);
    void trans_end();

private:
    void createInstrumentList();
    void switchInstrument(const QString &port, bool on);
    void connectAll();
    void connectInstrument(const QString &port);
    void editLabel(const QString &port, const QString &label);
    // The connection on `port` that is open or waits for it while recording.
    InstrumentConnection *connectionOn(const QString &port) const;
    // The ports the list shows: those found, then those of connections
    // whose port went away.
    QStringList listedPorts() const;
    void followReports(DevKX740D &device);
    void createButtonGroups();
    bool refuseTransfer();
    void openInstrumentPort(const QString &portName);
    void disconnectInstrument();
    void askToSwitchBluetoothOff();
    void offsetEdited(int channel);
    void fillPortList(const QStringList &ports);
    void handleDeviceChange(const QStringList &ports);

    PortWatcher *m_portWatcher = nullptr;
    InstrumentList *m_list = nullptr;
    // Null: the first instrument.
    InstrumentConnection *m_selected = nullptr;
    QButtonGroup *m_diffGroup = nullptr;
    QButtonGroup *m_measureGroup = nullptr;
    QButtonGroup *m_bleGroup = nullptr;
    // Beside the stop button while a recording waits for a lost instrument.
    QLabel *m_linkWaiting = nullptr;
    // The download or erase whose end has not arrived yet.
    TransferGuard m_transfer;
    bool m_ctrlConfigReceived = false;
    // True while the boxes are set to show a configuration the instrument
    // reported; their slots then send nothing.
    bool m_showingInstrumentConfig = false;
    // Connection state as last reported by the link and as last shown.
    bool m_reportedConnected = false;
    bool m_shownConnected = false;
    const QString m_titleBase;
};
