#include "capture/CaptureTime.h"

#include <algorithm>
#include <limits>

namespace {

constexpr std::int64_t kMinTicks = std::numeric_limits<TimeValue>::min();
constexpr std::int64_t kMaxTicks = std::numeric_limits<TimeValue>::max();

} // namespace

bool fitsTimeValue(std::int64_t ticks) {
    return ticks >= kMinTicks && ticks <= kMaxTicks;
}

bool isSampledCapture(std::int32_t samplingFps) {
    return samplingFps >= 1;
}

std::int64_t samplingStepTicks(std::int32_t ticksPerSecond, std::int32_t samplingFps) {
    if (samplingFps < 1) return 1;
    return std::max<std::int64_t>(1, std::int64_t(ticksPerSecond) / samplingFps);
}

SamplingPlan planSampling(TimeValue start, TimeValue end, std::int64_t stepTicks) {
    SamplingPlan plan;
    plan.stepTicks = std::max<std::int64_t>(1, stepTicks);
    // Relative times must fit a TimeValue too: nothing at or beyond start + 2^31.
    const std::int64_t limit = std::min<std::int64_t>(end, std::int64_t(start) + kMaxTicks + 1);
    const std::int64_t span = limit - std::int64_t(start);
    if (span <= 0) return plan;
    auto countFor = [span](std::int64_t step) { return (span + step - 1) / step; };
    if (countFor(plan.stepTicks) > kMaxSamplesPerTrack)
        plan.stepTicks = (span + kMaxSamplesPerTrack - 1) / kMaxSamplesPerTrack;
    plan.sampleCount = countFor(plan.stepTicks);
    return plan;
}
