#include "mqtt/mqttretry.h"

#include <algorithm>

namespace {
constexpr int kFirstDelayMs = 1000;
constexpr int kLongestDelayMs = 30000;
constexpr int kRefusedDelayMs = 60000;
} // namespace

int reconnectDelayMs(int failures, bool refused, double jitter)
{
    int delay = kLongestDelayMs;
    if (refused)
        delay = kRefusedDelayMs;
    else if (failures <= 5) // 16 s after the fifth; doubling once more passes the longest
        delay = kFirstDelayMs << std::max(0, failures - 1);
    jitter = std::clamp(jitter, 0.0, 1.0);
    return delay - int(delay * jitter / 4);
}
