#include "widgets/dashboardrules.h"

#include "instrument/temperature.h"

namespace {

// Above this a value is shown without its decimal, as valueText() does.
constexpr float kNoDecimalAbove = 1000.0f;

constexpr int kStatisticsLists = 3;

// Measuring modes of the instrument (byte 48 of a live reading).
constexpr int kModeNormal = 0;
constexpr int kModeMaximum = 1;
constexpr int kModeMinimum = 2;
constexpr int kModeAverage = 3;

bool validDifferenceMode(int differenceMode)
{
    return differenceMode >= 1 && differenceMode <= kChannelCount;
}

void applyStatistics(DashboardTexts &texts, int channel, const _T_PRINT_OUT_DATA &reading,
                     bool recording, int differenceMode, unit_type unit)
{
    const int mode = reading.mode;
    if (mode != kModeNormal && !recording && differenceMode == kNoDifference) {
        const QString text =
            valueText(reading.modeValue[channel], reading.modeState[channel], unit);
        texts.maxTexts[channel] = mode == kModeMaximum ? text : QString();
        texts.minTexts[channel] = mode == kModeMinimum ? text : QString();
        texts.avgTexts[channel] = mode == kModeAverage ? text : QString();
    } else if (!recording || differenceMode != kNoDifference) {
        texts.maxTexts[channel].clear();
        texts.minTexts[channel].clear();
        texts.avgTexts[channel].clear();
    }
    // Recording without a difference mode: the recorded statistics stay.
}

} // namespace

int differenceModeAfterClick(int differenceMode, int tile, bool on)
{
    if (on)
        return tile;
    return differenceMode == tile ? kNoDifference : differenceMode;
}

QString channelName(int differenceMode, int channel)
{
    const QString own = QStringLiteral("T%1").arg(channel + 1);
    if (!validDifferenceMode(differenceMode) || differenceMode == channel + 1)
        return own;
    return QStringLiteral("T%1-").arg(differenceMode) + own;
}

int combinedState(int referenceState, int otherState)
{
    switch (referenceState) {
    case StateValue:
        return otherState == StateValue ? StateValue : StateNoReading;
    case StateBelowRange:
        return otherState == StateAboveRange ? StateBelowRange : StateNoReading;
    case StateAboveRange:
        return otherState == StateBelowRange ? StateAboveRange : StateNoReading;
    default:
        return StateNoReading;
    }
}

QString differenceText(float deltaCelsius, int state, unit_type unit)
{
    if (state != StateValue)
        return valueText(deltaCelsius, state, unit);
    // The zero point is the converted 0 degrees Celsius in the same single
    // precision, so equal readings give exactly 0.0 (never "-0.0").
    const float delta = celsiusToUnit(deltaCelsius, unit) - celsiusToUnit(0.0f, unit);
    return QString::number(double(delta), 'f', delta > kNoDecimalAbove ? 0 : 1);
}

QString maxLineText(const QString &text)
{
    return QStringLiteral("MAX ") + text;
}

QString minLineText(const QString &text)
{
    return QStringLiteral("MIN ") + text;
}

QString avgLineText(const QString &text)
{
    return QStringLiteral("AVG ") + text;
}

void applyReading(DashboardTexts &texts, const _T_PRINT_OUT_DATA &reading, bool recording,
                  int differenceMode, unit_type unit)
{
    for (int i = 0; i < kChannelCount; ++i) {
        texts.typeTexts[i] = typeLetter(statusTypeCode(reading.status[i]));
        applyStatistics(texts, i, reading, recording, differenceMode, unit);
    }

    if (!validDifferenceMode(differenceMode)) {
        for (int i = 0; i < kChannelCount; ++i)
            texts.valueTexts[i] = valueText(reading.value[i], statusState(reading.status[i]), unit);
        return;
    }

    const int ref = differenceMode - 1;
    const float refValue = reading.value[ref];
    const int refState = statusState(reading.status[ref]);
    for (int i = 0; i < kChannelCount; ++i) {
        if (i == ref) {
            texts.valueTexts[i] = valueText(refValue, refState, unit);
            continue;
        }
        const int state = combinedState(refState, statusState(reading.status[i]));
        texts.valueTexts[i] = differenceText(refValue - reading.value[i], state, unit);
    }
}

bool statisticsUsable(const QList<QList<QString>> &info)
{
    if (info.size() < kStatisticsLists)
        return false;
    for (int i = 0; i < kStatisticsLists; ++i) {
        if (info.at(i).size() < kChannelCount)
            return false;
    }
    return true;
}
