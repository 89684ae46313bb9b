#include "measurement/settingsrules.h"

#include "instrument/commands.h"

#include <QCoreApplication>

#include <algorithm>

namespace {

class Text
{
    Q_DECLARE_TR_FUNCTIONS(SettingsRules)
};

// Position `value` in a group or combo box of `count` entries, or -1.
int positionIn(int value, int count)
{
    return value < count ? value : -1;
}

// Blocks the wait dialog allows per second of its time-out.
constexpr int kBlocksPerSecond = 6;
constexpr int kMinDownloadWaitSeconds = 10;

} // namespace

ConnectStep connectStep(bool portOpen, const QString &portName)
{
    if (portOpen)
        return ConnectStep::Disconnect;
#ifdef Q_OS_WIN
    const bool usable = portName.contains(QLatin1String("COM"), Qt::CaseSensitive);
#else
    const bool usable = !portName.isEmpty();
#endif
    return usable ? ConnectStep::Open : ConnectStep::Nothing;
}

GroupSetting groupSetting(int id)
{
    GroupSetting s;
    if (id >= kDifferenceGroupFirstId && id < kDifferenceGroupFirstId + kDifferenceModeCount) {
        s.kind = GroupSetting::DifferenceMode;
        s.value = id - kDifferenceGroupFirstId;
    } else if (id >= kMeasuringGroupFirstId && id < kMeasuringGroupFirstId + kMeasuringModeCount) {
        s.kind = GroupSetting::MeasuringMode;
        s.value = id - kMeasuringGroupFirstId;
    } else if (id >= kBluetoothGroupFirstId && id < kBluetoothGroupFirstId + kBluetoothButtons) {
        s.kind = GroupSetting::Bluetooth;
        s.value = id - kBluetoothGroupFirstId;
    }
    return s;
}

CtrlSettingView ctrlSettingView(const _T_CTRL_CONFIG &cfg)
{
    CtrlSettingView v;
    v.hold = cfg.hold != 0;
    v.bluetoothButton = positionIn(cfg.bluetooth, kBluetoothButtons);
    v.autoPowerOff = cfg.autoPowerOff != 0;
    v.intervalSeconds = ctrlInterval(cfg);
    v.measuringButton = positionIn(cfg.measuringMode, kMeasuringModeCount);
    v.differenceButton = positionIn(cfg.differenceMode, kDifferenceModeCount);
    v.frequencyIndex = positionIn(cfg.frequency, kFrequencyItems);
    v.unit = cfg.unit;
    v.unitInBox = cfg.unit < kUnitItems;
    v.askBluetooth = cfg.bluetooth != 0;
    return v;
}

int typeBoxIndex(quint8 typeByte)
{
    return positionIn(typeByte & 7, kTypeBoxItems);
}

DownloadPlan downloadPlan(quint32 storedRecords)
{
    const quint64 blocks = (quint64(storedRecords) + kRecordsPerBlock - 1) / kRecordsPerBlock;
    DownloadPlan plan;
    plan.blocks = int(blocks);
    plan.timeoutSeconds = std::max(kMinDownloadWaitSeconds, int(blocks / kBlocksPerSecond));
    return plan;
}

QString deviceNameText(const QString &deviceName)
{
    return Text::tr("设备名称：") + deviceName;
}

QString firmwareVersionText(const QString &firmware)
{
    return Text::tr("固件版本：") + firmware;
}

QString flashUsedText(int storedRecords)
{
    return QString::number(storedRecords) + Text::tr("/80000组");
}

QString recordingGuardText()
{
    return Text::tr("数据记录中，请停止记录后尝试");
}

QString bluetoothQuestionTitle()
{
    return Text::tr("提示");
}

QString bluetoothQuestionText()
{
    return Text::tr("连接PC软件后将关闭蓝牙\n是否继续？");
}

QString resetQuestionText()
{
    return Text::tr("确实要复位仪表上的设置吗，此动作不会删除FLASH数据?");
}
