#pragma once

#include <QtGlobal>

// The temperatures the simulated thermocouples see, as smooth functions of
// time: each channel sits at its own level (a room, a warm liquid, an oven,
// a freezer) with slow swings and a little measurement noise. The same time
// always gives the same value, so stored records and live readings come from
// one continuous history. Time is in seconds from the simulator's start and
// may be negative (records stored before it started).
class TemperatureCurves
{
public:
    explicit TemperatureCurves(quint32 seed = 1) : m_seed(seed) {}

    // Degrees Celsius at channel `channel` (0 to 3).
    float channel(int channel, double seconds) const;
    // Degrees Celsius of the instrument's cold junction (its own ambient).
    float ambient(double seconds) const;

private:
    // Uniform in [-1, 1], fixed for one stream and one quarter second.
    double noise(int stream, double seconds) const;

    quint32 m_seed;
};
