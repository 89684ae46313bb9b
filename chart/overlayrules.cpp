#include "chart/overlayrules.h"

#include "chart/chartseries.h"

#include <cmath>

namespace {

bool recordSeconds(const _T_EE_TEST_DATA &r, double *seconds)
{
    return epochSeconds(r.year, r.month, r.day, r.hour, r.minute, r.second, seconds);
}

bool channelValue(const _T_EE_TEST_DATA &r, int channel, double *value)
{
    if (r.state[channel] != 0 || !std::isfinite(r.value[channel]))
        return false;
    *value = r.value[channel];
    return true;
}

} // namespace

AlignedOrigin alignmentOrigin(const QVector<_T_EE_TEST_DATA> &records, const AlignmentRule &rule)
{
    if (rule.mode == OverlayAlignment::Clock)
        return {0, true};
    AlignedOrigin start{0, false};
    bool haveStart = false;
    bool havePrevious = false;
    double previousTime = 0;
    double previousValue = 0;
    const int channel = qBound(0, rule.channel, kChannelCount - 1);
    for (const _T_EE_TEST_DATA &r : records) {
        double time;
        if (!recordSeconds(r, &time))
            continue;
        if (!haveStart) {
            start = {time, rule.mode == OverlayAlignment::Start};
            haveStart = true;
            if (rule.mode == OverlayAlignment::Start)
                return start;
        }
        double value;
        if (!channelValue(r, channel, &value))
            continue;
        if (havePrevious) {
            const bool crossed = rule.rising
                                     ? previousValue < rule.celsius && value >= rule.celsius
                                     : previousValue > rule.celsius && value <= rule.celsius;
            if (crossed) {
                const double share = (rule.celsius - previousValue) / (value - previousValue);
                return {previousTime + share * (time - previousTime), true};
            }
        }
        havePrevious = true;
        previousTime = time;
        previousValue = value;
    }
    return start;
}

QPen overlayPen(int measurement, int channel, const QColor (&channelColors)[4], double width)
{
    QColor color;
    if (measurement == 0) {
        color = channelColors[channel];
    } else {
        // Hues a golden angle apart never repeat; the brightness steps keep
        // neighbours apart where the hues of two curves come close.
        const int curve = measurement * kChannelCount + channel;
        const int hue = int(std::fmod(curve * 137.508, 360.0));
        color = QColor::fromHsv(hue, 230, 110 + 40 * (curve % 3));
    }
    QPen pen(color, width);
    // Dash patterns in pen widths; the first five are Qt's own styles.
    static const Qt::PenStyle styles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine,
                                          Qt::DashDotDotLine};
    static const QVector<qreal> patterns[] = {
        {8, 4}, {1, 4}, {8, 3, 1, 3, 1, 3}, {12, 3, 3, 3}, {3, 3}};
    const int style = measurement % kMaxOverlaid;
    if (style < 5)
        pen.setStyle(styles[style]);
    else
        pen.setDashPattern(patterns[style - 5]);
    return pen;
}

QString elapsedText(double seconds)
{
    const qint64 whole = qint64(std::llround(std::abs(seconds)));
    return QStringLiteral("%1%2:%3:%4")
        .arg(seconds < 0 && whole > 0 ? QLatin1Char('-') : QLatin1Char('+'))
        .arg(whole / 3600, 2, 10, QLatin1Char('0'))
        .arg(whole / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(whole % 60, 2, 10, QLatin1Char('0'));
}
