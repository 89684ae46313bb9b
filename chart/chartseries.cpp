#include "chart/chartseries.h"

#include "instrument/temperature.h"

#include <QDateTime>
#include <QtMath>

#include <algorithm>
#include <cmath>

bool epochSeconds(int year, int month, int day, int hour, int minute, int second, double *seconds)
{
    // Turning a local time into epoch seconds consults the time zone and is
    // slow; a recording spends thousands of readings in the same hour, so the
    // start of the last hour is kept. Offsets change on whole hours.
    struct HourStart
    {
        int year = -1, month = -1, day = -1, hour = -1;
        qint64 seconds = 0;
    };
    thread_local HourStart cache;

    if (minute < 0 || minute > 59 || second < 0 || second > 59)
        return false;
    if (year != cache.year || month != cache.month || day != cache.day || hour != cache.hour) {
        const QDate date(2000 + year, month, day);
        const QTime time(hour, 0, 0);
        if (!date.isValid() || !time.isValid())
            return false;
        cache = {year, month, day, hour, QDateTime(date, time, Qt::LocalTime).toSecsSinceEpoch()};
    }
    *seconds = double(cache.seconds + minute * 60 + second);
    return true;
}

namespace {

// The step of rank size / 2 among the positive steps between timed readings,
// or NaN without any. Steps are whole seconds nearly always: counted per
// second up to an hour, only the others are sorted.
double medianStep(const QVector<double> &seconds)
{
    constexpr int kCounted = 3600;
    std::vector<qint64> counts(kCounted + 1, 0);
    std::vector<double> others;
    qint64 total = 0;
    double previous = qQNaN();
    for (const double t : seconds) {
        if (std::isnan(t))
            continue;
        if (t > previous) {
            const double step = t - previous;
            if (step <= kCounted && step == std::floor(step))
                ++counts[size_t(step)];
            else
                others.push_back(step);
            ++total;
        }
        previous = t;
    }
    std::sort(others.begin(), others.end());
    qint64 rank = total / 2;
    auto other = others.cbegin();
    for (int step = 1; step <= kCounted; ++step) {
        for (; other != others.cend() && *other < step; ++other) {
            if (rank-- == 0)
                return *other;
        }
        if (rank < counts[size_t(step)])
            return step;
        rank -= counts[size_t(step)];
    }
    return rank < qint64(others.cend() - other) ? other[rank] : qQNaN();
}

} // namespace

QVector<int> lineBreaks(const QVector<double> &seconds)
{
    QVector<int> breaks;
    const double widest = 2 * medianStep(seconds);
    if (std::isnan(widest))
        return breaks;
    double previous = qQNaN();
    for (int i = 0; i < seconds.size(); ++i) {
        const double t = seconds.at(i);
        if (std::isnan(t))
            continue;
        if (t - previous > widest)
            breaks.append(i);
        previous = t;
    }
    return breaks;
}

namespace {

template <typename Reading, typename HasValue, typename Value, typename Stamp>
ChartSeries buildSeries(const Reading &list, bool dateTimeKeys, HasValue hasValue, Value value,
                        Stamp stamp)
{
    // Breaks follow the time of every reading, whatever the channel holds.
    QVector<double> seconds(list.size(), qQNaN());
    int position = 0;
    for (const auto &item : list)
        stamp(item, &seconds[position++]);
    const QVector<int> breaks = lineBreaks(seconds);
    auto nextBreak = breaks.cbegin();

    ChartSeries series;
    series.keys.reserve(list.size());
    series.values.reserve(list.size());
    position = 0;
    bool breakDue = false;
    for (const auto &item : list) {
        if (nextBreak != breaks.cend() && *nextBreak == position) {
            breakDue = true;
            ++nextBreak;
        }
        const double time = seconds.at(position);
        const double key = dateTimeKeys ? time : position;
        // A time stamp that names no real date has no place on a time axis.
        if (hasValue(item) && !std::isnan(key)) {
            if (!series.keys.isEmpty()) {
                if (key < series.keys.constLast())
                    series.sorted = false;
                if (breakDue) {
                    series.keys.append((series.keys.constLast() + key) / 2);
                    series.values.append(qQNaN());
                }
            }
            breakDue = false;
            series.keys.append(key);
            series.values.append(value(item));
        }
        ++position;
    }
    return series;
}

} // namespace

ChartSeries liveSeries(const QList<RecordedReading> &readings, int channel, int unit,
                       bool dateTimeKeys)
{
    if (channel < 0 || channel >= kChannelCount)
        return {};
    return buildSeries(
        readings, dateTimeKeys,
        [channel](const RecordedReading &r) { return r.first.status[channel] < 16; },
        [channel, unit](const RecordedReading &r) {
            return double(celsiusToUnit(r.first.value[channel], unit));
        },
        [](const RecordedReading &r, double *key) {
            const _T_TIME &t = r.second;
            return epochSeconds(t.year, t.month, t.day, t.hour, t.minute, t.second, key);
        });
}

ChartSeries storedSeries(const QVector<_T_EE_TEST_DATA> &records, int channel, int unit,
                         bool dateTimeKeys)
{
    if (channel < 0 || channel >= kChannelCount)
        return {};
    return buildSeries(
        records, dateTimeKeys,
        [channel](const _T_EE_TEST_DATA &r) { return r.state[channel] == 0; },
        [channel, unit](const _T_EE_TEST_DATA &r) {
            return double(celsiusToUnit(r.value[channel], unit));
        },
        [](const _T_EE_TEST_DATA &r, double *key) {
            return epochSeconds(r.year, r.month, r.day, r.hour, r.minute, r.second, key);
        });
}

QCPRange rangeWithMargin(const QCPRange &fitted)
{
    const double below = std::max(std::fabs(fitted.lower) / 10.0, 1.0);
    const double above = std::max(std::fabs(fitted.upper) / 10.0, 1.0);
    return QCPRange(fitted.lower - below, fitted.upper + above);
}

QCPGraph::LineStyle lineStyleFromSpinBox(int value)
{
    return QCPGraph::LineStyle(qBound(0, value, 4) + 1);
}

QCPGraph::LineStyle lineStyleAtSetup(int storedValue)
{
    return QCPGraph::LineStyle(qBound(0, storedValue, 5));
}

QCPScatterStyle::ScatterShape scatterShapeFromSpinBox(int value)
{
    return QCPScatterStyle::ScatterShape(qBound(0, value, 13) + 1);
}

QCPScatterStyle::ScatterShape scatterShapeAtSetup(int storedValue)
{
    // Modulo of a negative number stays negative in C++.
    const int v = ((storedValue % 14) + 14) % 14;
    return QCPScatterStyle::ScatterShape(v + 1);
}

QPoint tipPosition(const QPoint &cursor, const QSize &tip, const QSize &chart)
{
    constexpr int kDistance = 30;
    int x = cursor.x() + kDistance;
    if (x + tip.width() > chart.width())
        x = cursor.x() - kDistance - tip.width();
    int y = cursor.y() + kDistance;
    if (y + tip.height() > chart.height())
        y = cursor.y() - kDistance - tip.height();
    x = qMax(0, qMin(x, chart.width() - tip.width()));
    y = qMax(0, qMin(y, chart.height() - tip.height()));
    return QPoint(x, y);
}

QString tipRecordText(int position, double seconds, bool dateTimeKeys, bool withDate)
{
    if (!dateTimeKeys)
        return QString::number(qint64(position) + 1);
    return QDateTime::fromSecsSinceEpoch(qint64(seconds))
        .toString(withDate ? QStringLiteral("MM-dd hh:mm:ss") : QStringLiteral("hh:mm:ss"));
}

bool spansDays(double first, double last)
{
    return QDateTime::fromSecsSinceEpoch(qint64(first)).date() !=
           QDateTime::fromSecsSinceEpoch(qint64(last)).date();
}

QString tipLine(int channel, const QString &value, const QString &record)
{
    return QStringLiteral("T%1: %2 (%3)").arg(channel).arg(value, record);
}

QString tipValueText(const _T_EE_TEST_DATA &record, int channel, int unit)
{
    const int state = record.state[channel];
    const float celsius = record.value[channel];
    if (state == 0 && std::isnan(celsius))
        return noReadingText();
    const QString text = valueText(celsius, state, unit);
    return state == 0 ? text + QLatin1Char(' ') + unitSymbol(unit) : text;
}

int scatterSkip(int visiblePoints, double pixelWidth, double markerSize)
{
    if (pixelWidth <= 0 || visiblePoints * markerSize <= pixelWidth)
        return 0;
    return int(std::ceil(visiblePoints * markerSize / pixelWidth)) - 1;
}

Qt::Orientations dragOrientations(bool xAxisLineSelected, bool yAxisLineSelected)
{
    if (xAxisLineSelected)
        return Qt::Horizontal;
    if (yAxisLineSelected)
        return Qt::Vertical;
    return Qt::Horizontal | Qt::Vertical;
}

namespace {

bool finitePoint(const QPointF &p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

// Pixel rows (or columns) a square-capped pen of width 2 * half covers when
// it is drawn without smoothing from `low` to `high`: those whose centre lies
// in (low - half, high + half], the raster engine's rule.
QPair<int, int> coveredPixels(double low, double high, double half)
{
    return qMakePair(int(std::floor(low - half - 0.5)) + 1, int(std::floor(high + half - 0.5)));
}

} // namespace

PolylinePieces densePolylinePieces(const QVector<QPointF> &points, double penWidth)
{
    const double half = qMax(penWidth, 1.0) / 2;
    PolylinePieces pieces;
    // The run being gathered: one pixel column, its x and y extent.
    bool inRun = false;
    double column = 0, xLow = 0, xHigh = 0, yLow = 0, yHigh = 0;
    const auto flush = [&] {
        if (!inRun)
            return;
        const auto xs = coveredPixels(xLow, xHigh, half);
        const auto ys = coveredPixels(yLow, yHigh, half);
        pieces.spans.append(QRect(QPoint(xs.first, ys.first), QPoint(xs.second, ys.second)));
        inRun = false;
    };

    bool havePrevious = false;
    QPointF previous;
    for (const QPointF &p : points) {
        if (!finitePoint(p)) {
            flush();
            havePrevious = false;
            continue;
        }
        if (havePrevious) {
            if (std::abs(p.x() - previous.x()) <= 1.0) {
                const double col = std::floor(p.x());
                if (inRun && col == column) {
                    xLow = qMin(xLow, p.x());
                    xHigh = qMax(xHigh, p.x());
                    yLow = qMin(yLow, p.y());
                    yHigh = qMax(yHigh, p.y());
                } else {
                    flush();
                    // The new column's run starts with the step from the
                    // previous point, so the vertical connection is drawn.
                    inRun = true;
                    column = col;
                    xLow = xHigh = p.x();
                    if (std::floor(previous.x()) == col) {
                        xLow = qMin(xLow, previous.x());
                        xHigh = qMax(xHigh, previous.x());
                    }
                    yLow = qMin(previous.y(), p.y());
                    yHigh = qMax(previous.y(), p.y());
                }
            } else {
                flush();
                pieces.lines.append(QLineF(previous, p));
            }
        }
        previous = p;
        havePrevious = true;
    }
    flush();
    return pieces;
}

QVector<QRect> mergedColumns(const QVector<QRect> &spans)
{
    if (spans.isEmpty())
        return spans;
    int left = spans.first().left();
    int right = spans.first().right();
    for (const QRect &r : spans) {
        left = qMin(left, r.left());
        right = qMax(right, r.right());
    }
    // Spans far apart (a line with a few dense stretches) are left as they are.
    const qint64 width = qint64(right) - left + 1;
    if (width > 16 * qint64(spans.size()) + 64)
        return spans;
    struct Run
    {
        int top = 0;
        int bottom = -1;
    };
    QVector<Run> runs(static_cast<int>(width));
    QVector<QRect> out;
    for (const QRect &r : spans) {
        for (int x = r.left(); x <= r.right(); ++x) {
            Run &run = runs[x - left];
            if (run.bottom < run.top) {
                run = {r.top(), r.bottom()};
            } else if (r.top() <= run.bottom + 1 && r.bottom() >= run.top - 1) {
                run = {qMin(run.top, r.top()), qMax(run.bottom, r.bottom())};
            } else {
                out.append(QRect(QPoint(x, run.top), QPoint(x, run.bottom)));
                run = {r.top(), r.bottom()};
            }
        }
    }
    // Neighbouring columns with the same run as one rectangle.
    for (int i = 0; i < runs.size();) {
        const Run run = runs.at(i);
        int j = i + 1;
        if (run.bottom >= run.top) {
            while (j < runs.size() && runs.at(j).top == run.top && runs.at(j).bottom == run.bottom)
                ++j;
            out.append(QRect(QPoint(left + i, run.top), QPoint(left + j - 1, run.bottom)));
        }
        i = j;
    }
    return out;
}
