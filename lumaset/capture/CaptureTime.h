// Tick arithmetic of the capture. Frame numbers and key times come from scene files that others
// made, so products and differences of ticks are formed in 64 bits and only times that fit the
// host's 32-bit TimeValue are ever handed on.
#pragma once

#include "host/FrameTicks.h"
#include "maxtypes.h"

#include <cstdint>

bool fitsTimeValue(std::int64_t ticks);

// Whether a sampling rate asks for sampled capture at all (below 1: keyed capture).
bool isSampledCapture(std::int32_t samplingFps);

// Ticks between samples: ticksPerSecond / samplingFps, at least 1 (a rate above the time base
// samples every tick). Only for rates of 1 and above.
std::int64_t samplingStepTicks(std::int32_t ticksPerSecond, std::int32_t samplingFps);

// The most samples a track takes over one set. A longer range is sampled evenly over its whole
// length with a wider step, so that memory stays bounded whatever range a scene stores.
inline constexpr std::int64_t kMaxSamplesPerTrack = 100000;

// The times of a sampled track: start, start + step, ... while below end and while the time
// relative to start still fits a TimeValue; the step widened when there would be more than
// kMaxSamplesPerTrack samples. sampleCount is 0 when start >= end.
struct SamplingPlan {
    std::int64_t stepTicks = 1;
    std::int64_t sampleCount = 0;
};
SamplingPlan planSampling(TimeValue start, TimeValue end, std::int64_t stepTicks);
