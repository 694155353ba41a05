#include "host/FrameTicks.h"

#include <cstdint>

TimeValue frameToTicks(int frame, int ticksPerFrame) {
    const std::int64_t ticks = std::int64_t{frame} * ticksPerFrame;
    const std::int64_t highest = TIME_PosInfinity;
    const std::int64_t lowest = std::int64_t{TIME_NegInfinity} + 1;
    if (ticks > highest) return TIME_PosInfinity;
    if (ticks < lowest) return static_cast<TimeValue>(lowest);
    return static_cast<TimeValue>(ticks);
}
