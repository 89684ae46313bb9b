#include "sim/temperaturecurves.h"

#include <cmath>

namespace {

constexpr double kTwoPi = 6.283185307179586;

struct Curve
{
    double level;     // degrees Celsius
    double slowSwing; // amplitude of the slow swing
    double slowPeriod;
    double fastSwing; // amplitude of a quicker ripple on top
    double fastPeriod;
    double phase;
    double noise; // amplitude of the measurement noise
};

// T1 room air, T2 warm water bath, T3 oven, T4 freezer.
constexpr Curve kChannels[4] = {
    {23.5, 1.5, 600, 0.3, 67, 0.0, 0.05},
    {65.0, 12.0, 1800, 2.0, 173, 1.0, 0.1},
    {182.0, 25.0, 2400, 4.0, 311, 2.0, 0.2},
    {-18.5, 1.2, 900, 0.4, 97, 3.0, 0.05},
};
constexpr Curve kAmbient = {24.0, 0.8, 3600, 0.1, 240, 0.5, 0.02};

quint64 splitMix(quint64 x)
{
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

double shape(const Curve &c, double t)
{
    return c.level + c.slowSwing * std::sin(kTwoPi * t / c.slowPeriod + c.phase) +
           c.fastSwing * std::sin(kTwoPi * t / c.fastPeriod + 2 * c.phase);
}

} // namespace

double TemperatureCurves::noise(int stream, double seconds) const
{
    const auto slot = qint64(std::floor(seconds * 4));
    const quint64 h = splitMix(splitMix(quint64(m_seed) << 8 | quint64(stream)) ^ quint64(slot));
    return double(h >> 11) / double(1ULL << 52) - 1.0;
}

float TemperatureCurves::channel(int channel, double seconds) const
{
    const Curve &c = kChannels[qBound(0, channel, 3)];
    return float(shape(c, seconds) + c.noise * noise(channel, seconds));
}

float TemperatureCurves::ambient(double seconds) const
{
    return float(shape(kAmbient, seconds) + kAmbient.noise * noise(4, seconds));
}
