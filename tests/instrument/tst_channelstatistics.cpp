#include "instrument/channelstatistics.h"
#include "instrument/temperature.h"

#include <QtTest>

#include <cstring>
#include <random>

namespace {

struct Reading
{
    quint8 state;
    float value;
};

struct Folded
{
    float maxValue = 0;
    int maxState = 3;
    float minValue = 0;
    int minState = 3;
    float sum = 0;
    int count = 0;
};

// The statistics as defined for a whole recording: seed maximum and minimum
// with the first record, then fold every record (the first included).
// States 4 to 15 count as 3.
Folded foldWholeList(const QVector<Reading> &list)
{
    Folded f;
    if (list.isEmpty())
        return f;
    auto norm = [](int s) { return s > 3 ? 3 : s; };
    f.maxValue = f.minValue = list.first().value;
    f.maxState = f.minState = norm(list.first().state);
    for (const Reading &r : list) {
        const int s = norm(r.state);
        const float v = r.value;
        if (s == 0) {
            if (f.maxState == 0 || f.maxState == 2)
                f.maxValue = v > f.maxValue ? v : f.maxValue;
            else
                f.maxValue = v, f.maxState = 0;
        } else if (s == 2) {
            f.maxValue = v, f.maxState = 2;
        }
        if (s == 0) {
            if (f.minState == 0)
                f.minValue = v < f.minValue ? v : f.minValue;
            else if (f.minState == 2 || f.minState == 3)
                f.minValue = v, f.minState = 0;
        } else if (s == 1) {
            f.minValue = v, f.minState = 1;
        }
        if (s == 0) {
            f.sum += v;
            ++f.count;
        }
    }
    return f;
}

QStringList textsOf(const Folded &f, int unit)
{
    return {valueText(f.maxValue, f.maxState, unit), valueText(f.minValue, f.minState, unit),
            f.count ? valueText(f.sum / float(f.count), 0, unit) : QStringLiteral("--\\--")};
}

bool sameBits(float a, float b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

class TestChannelStatistics : public QObject
{
    Q_OBJECT

private slots:
    void overRangeKeepsMaximumAtOL();
    void noReadingsGiveNoTexts();
    void matchesFoldOverWholeList();
};

void TestChannelStatistics::overRangeKeepsMaximumAtOL()
{
    ChannelStatistics s;
    s.add(0, 20.0f);
    s.add(2, 30.0f);
    s.add(0, 25.0f);
    QCOMPARE(s.maximumText(0), QStringLiteral("OL"));
    QCOMPARE(s.minimumText(0), QStringLiteral("20.0"));
    QCOMPARE(s.averageText(0), QStringLiteral("22.5"));
    QCOMPARE(s.averageText(1), QStringLiteral("72.5"));
}

void TestChannelStatistics::noReadingsGiveNoTexts()
{
    ChannelStatistics s;
    for (int i = 0; i < 5; ++i)
        s.add(3, float(i));
    QCOMPARE(s.maximumText(0), QStringLiteral("--\\--"));
    QCOMPARE(s.minimumText(0), QStringLiteral("--\\--"));
    QCOMPARE(s.averageText(0), QStringLiteral("--\\--"));
    s.clear();
    QCOMPARE(s.count(), quint64(0));
    QCOMPARE(s.readings(), quint64(0));
}

// Four channels of random states (0 to 15, mostly values) and values, with
// -0.0 and repeated values among them; after every reading the incremental
// results and texts (in a unit that changes now and then) equal the fold over
// the whole list so far.
void TestChannelStatistics::matchesFoldOverWholeList()
{
    std::mt19937 rng(740);
    std::uniform_int_distribution<int> stateDraw(0, 29);
    std::uniform_real_distribution<float> valueDraw(-300.0f, 1900.0f);
    std::uniform_int_distribution<int> lengthDraw(1, 80);
    std::uniform_int_distribution<int> unitDraw(0, 3);
    std::uniform_int_distribution<int> specialDraw(0, 9);
    const float specials[] = {0.0f, -0.0f, 1000.0f, 1000.05f, 22.25f};

    for (int sequence = 0; sequence < 300; ++sequence) {
        RecordingStatistics stats;
        QVector<Reading> lists[kChannelCount];
        int unit = unitDraw(rng);
        const int length = lengthDraw(rng);
        for (int step = 0; step < length; ++step) {
            quint8 states[kChannelCount];
            float values[kChannelCount];
            for (int ch = 0; ch < kChannelCount; ++ch) {
                const int d = stateDraw(rng);
                states[ch] = quint8(d < 14 ? 0 : d - 14); // about half values, then 0 to 15
                values[ch] = specialDraw(rng) == 0 ? specials[step % 5] : valueDraw(rng);
                lists[ch].append({states[ch], values[ch]});
            }
            stats.add(states, values);
            if (step % 7 == 0)
                unit = unitDraw(rng);

            const QList<QList<QString>> texts = stats.texts(unit);
            for (int ch = 0; ch < kChannelCount; ++ch) {
                const Folded f = foldWholeList(lists[ch]);
                const ChannelStatistics &c = stats.channel(ch);
                const QString where = QStringLiteral("sequence %1 step %2 channel %3")
                                          .arg(sequence)
                                          .arg(step)
                                          .arg(ch);
                QVERIFY2(sameBits(c.maximum().value, f.maxValue), qPrintable(where));
                QVERIFY2(qMin(int(c.maximum().state), 3) == f.maxState, qPrintable(where));
                QVERIFY2(sameBits(c.minimum().value, f.minValue), qPrintable(where));
                QVERIFY2(qMin(int(c.minimum().state), 3) == f.minState, qPrintable(where));
                QVERIFY2(sameBits(c.sum(), f.sum), qPrintable(where));
                QVERIFY2(c.count() == quint64(f.count), qPrintable(where));
                const QStringList expected = textsOf(f, unit);
                QCOMPARE(texts.at(0).at(ch), expected.at(0));
                QCOMPARE(texts.at(1).at(ch), expected.at(1));
                QCOMPARE(texts.at(2).at(ch), expected.at(2));
            }
        }
    }
}

QTEST_GUILESS_MAIN(TestChannelStatistics)
#include "tst_channelstatistics.moc"
