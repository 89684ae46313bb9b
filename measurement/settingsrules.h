#pragma once

#include "instrument/records.h"

#include <QString>

// Rules of the connection and instrument-settings page: what the connect
// button does, which setting a button of the settings groups stands for, how
// a received control or channel configuration maps onto the controls, the
// stored-record download plan and the page's texts.

// ---- Connecting ----

// The instrument's line speed.
constexpr int kInstrumentBaudRate = 115200;

enum class ConnectStep
{
    Disconnect, // the port is open: close it and forget the instrument
    Open,       // open the selected port at 115200 baud
    Nothing,    // no usable port name
};
// On Windows only names containing "COM" are opened; elsewhere any non-empty
// name from the port list (a device name or a path such as /dev/pts/3).
ConnectStep connectStep(bool portOpen, const QString &portName);

// ---- Settings groups ----

// Ids of the exclusive button groups; a group's k-th button stands for value k.
constexpr int kDifferenceGroupFirstId = 50; // pb_diff_normal, pb_diff_T1 .. pb_diff_T4
constexpr int kMeasuringGroupFirstId = 70;  // pb_meansure_normal, _max, _min, _avg
constexpr int kBluetoothGroupFirstId = 100; // pb_ble_off, pb_ble_on

// Buttons per group and items of the settings combo boxes.
constexpr int kBluetoothButtons = 2;
constexpr int kFrequencyItems = 2; // "50Hz", "60HZ"
constexpr int kTypeBoxItems = 7;   // "K" .. "N"; code 7 (B) is not offered
constexpr int kUnitItems = 3;      // "℃", "℉", "K"

// The driver operation a clicked group button asks for.
struct GroupSetting
{
    enum Kind
    {
        None, // not a settings-group id
        DifferenceMode,
        MeasuringMode,
        Bluetooth, // value 0 off, 1 on
    };
    Kind kind = None;
    int value = 0;
};
GroupSetting groupSetting(int id);

// ---- Received configurations ----

// What the controls show for a control configuration. A position of -1
// leaves that control as it is (a byte outside the control's items).
struct CtrlSettingView
{
    bool hold = false;
    int bluetoothButton = -1;
    bool autoPowerOff = false;
    quint32 intervalSeconds = 0; // split into the three interval boxes
    int measuringButton = -1;
    int differenceButton = -1;
    int frequencyIndex = -1;
    // The unit byte. Within the unit box's items it becomes the box's index
    // (whose change sends the unit back and shows it); beyond them it is
    // shown directly and every conversion treats it as Celsius.
    int unit = 0;
    bool unitInBox = true;
    // Bluetooth is on: ask whether to switch it off ("是") or disconnect
    // ("取消").
    bool askBluetooth = false;
};
CtrlSettingView ctrlSettingView(const _T_CTRL_CONFIG &cfg);

// Index of a channel's type box for a type byte of a channel configuration
// (low three bits), or -1 for code 7 (B), which the boxes do not offer and
// which leaves the box as it is.
int typeBoxIndex(quint8 typeByte);

// ---- Stored records ----

// Blocks of 32 records to ask for and the wait dialog's time-out in seconds
// (one second per six blocks, rounded down, at least 10 s so that a short
// download does not outlast its dialog): 1234 records are 39 blocks and
// 10 s, 80000 records 2500 blocks and 416 s. More than 80000 records ask for more
// blocks than the instrument serves, so the driver sends nothing and the
// dialog ends by its time-out.
struct DownloadPlan
{
    int blocks = 0;
    int timeoutSeconds = 0;
};
DownloadPlan downloadPlan(quint32 storedRecords);

// ---- Texts ----

QString deviceNameText(const QString &deviceName);    // "设备名称：" + name
QString firmwareVersionText(const QString &firmware); // "固件版本：" + version
QString flashUsedText(int storedRecords);             // "1234/80000组"
QString recordingGuardText();                         // shown while a recording runs
QString bluetoothQuestionTitle();
QString bluetoothQuestionText();
QString resetQuestionText();
