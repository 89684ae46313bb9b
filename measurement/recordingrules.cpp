#include "measurement/recordingrules.h"

#include "instrument/records.h"
#include "instrument/temperature.h"

#include <QCoreApplication>

#include <algorithm>

namespace {

class Text
{
    Q_DECLARE_TR_FUNCTIONS(RecordingRules)
};

} // namespace

std::optional<quint32> intervalToSend(int hours, int minutes, int seconds, quint32 currentInterval)
{
    const qint64 total = qint64(hours) * 3600 + qint64(minutes) * 60 + seconds;
    if (total == qint64(currentInterval))
        return std::nullopt;
    return quint32(std::clamp<qint64>(total, 0, kMaxRecordingSeconds));
}

QString startRefusalText(int intervalSeconds, bool instrumentConnected)
{
    if (!instrumentConnected)
        return Text::tr("未连接设备，无法记录数据。请先连接设备。");
    if (intervalSeconds == 0)
        return Text::tr("存储间隔为0秒，不会存储任何数据。请先设置存储间隔。");
    return QString();
}

int continuousSecondsFromBoxes(int hours, int minutes, int seconds)
{
    const qint64 total = qint64(hours) * 3600 + qint64(minutes) * 60 + seconds;
    return int(std::min<qint64>(total, kMaxRecordingSeconds));
}

bool continuousTimeReached(uint64_t count, int continuousSeconds)
{
    return continuousSeconds <= 0 || count >= uint64_t(continuousSeconds);
}

QString remainingTimeText(uint64_t remainingSeconds)
{
    const QChar blank(QLatin1Char(' '));
    return Text::tr("剩余时间：") + QLatin1Char('\n') + QString::number(remainingSeconds / 3600) +
           blank + Text::tr("时") + blank + QString::number(remainingSeconds % 3600 / 60) + blank +
           Text::tr("分") + blank + QString::number(remainingSeconds % 60) + blank + Text::tr("秒");
}

QString recordingMeasurementName(const QDateTime &stopTime)
{
    return stopTime.toString(QStringLiteral("yyyyMMdd hh_mm_ss_zzz"));
}

QString offsetPageReadingText(float celsius, quint8 status, int unit)
{
    if (statusState(status) != StateValue)
        return noReadingText();
    return QString::number(double(celsiusToUnit(celsius, unit)), 'f', 1);
}

QString ambientText(float celsius, int unit)
{
    return QString::number(double(celsiusToUnit(celsius, unit)), 'f', 1);
}
