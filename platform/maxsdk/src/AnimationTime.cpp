#include "interval.h"

#include <cstdint>

namespace {
int ticksPerFrame = TIME_TICKSPERSEC / 30;
}

int GetTicksPerFrame() {
    return ticksPerFrame;
}

void SetTicksPerFrame(int ticks) {
    if (ticks > 0 && ticks <= TIME_TICKSPERSEC) ticksPerFrame = ticks;
}

int GetFrameRate() {
    return TIME_TICKSPERSEC / ticksPerFrame;
}

void SetFrameRate(int rate) {
    if (rate > 0 && rate <= TIME_TICKSPERSEC) ticksPerFrame = TIME_TICKSPERSEC / rate;
}

TimeValue Interval::Duration() const {
    std::int64_t duration = std::int64_t(end) - std::int64_t(start) + 1;
    return duration > TIME_PosInfinity ? TIME_PosInfinity : TimeValue(duration);
}

Interval Interval::operator&(const Interval& i) const {
    TimeValue s = start > i.start ? start : i.start;
    TimeValue e = end < i.end ? end : i.end;
    if (Empty() || i.Empty() || s > e) return NEVER;
    Interval result;
    result.start = s;
    result.end = e;
    return result;
}
