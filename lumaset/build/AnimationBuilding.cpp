#include "animsets/AnimationSetStore.h"
#include "build/AnimateMode.h"
#include "build/SceneBuilder.h"

#include "control.h"
#include "inode.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace {

// The frame length of 30 frames a second, for a host that reports no frame length.
const std::int64_t kFallbackTicksPerFrame = TIME_TICKSPERSEC / 30;

bool fitsHostTime(std::int64_t ticks) {
    return ticks >= std::numeric_limits<TimeValue>::min() &&
           ticks <= std::numeric_limits<TimeValue>::max();
}

std::int32_t clampedFrame(std::int64_t frame) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        frame, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// The frame that holds `ticks` (sets start on whole frames, at or after zero).
std::int32_t frameOf(std::int64_t ticks, std::int64_t ticksPerFrame) {
    return clampedFrame(ticks / ticksPerFrame);
}

// The first whole frame at or after `ticks`. A set ends there, so it spans every one of its keys:
// keys a fraction of a frame apart (files at 4800 ticks a second that count their keys 0, 1, 2,
// ...) stay inside their set instead of falling past its last frame.
std::int64_t frameAtOrAfter(std::int64_t ticks, std::int64_t ticksPerFrame) {
    return ticks >= 0 ? (ticks + ticksPerFrame - 1) / ticksPerFrame : ticks / ticksPerFrame;
}

// Calls set(time, value) for each key at startTicks + its time that the host can hold, and
// moves `lastTicks` up to the latest of them.
template <class Keys, class Set>
void writeKeys(const Keys& keys, std::int64_t startTicks, std::int64_t& lastTicks, Set set) {
    for (const auto& [time, value] : keys) {
        const std::int64_t ticks = startTicks + time;
        if (!fitsHostTime(ticks)) continue;
        lastTicks = std::max(lastTicks, ticks);
        set(static_cast<TimeValue>(ticks), value);
    }
}

} // namespace

std::int64_t SceneBuilder::WriteSetKeys(const SnapshotAnimationSet& set, std::int64_t startTicks) {
    KeyCreation animate;
    std::int64_t lastTicks = startTicks;
    for (const auto& [nodeName, track] : set) {
        const auto found = nodeMap.find(nodeName);
        if (found == nodeMap.end() || !found->second) continue;
        Control* transform = found->second->GetTMController();
        if (!transform) continue;
        // A kind of key whose sub-controller is missing is skipped; the others are still made.
        if (Control* position = transform->GetPositionController())
            writeKeys(track.positionKeys, startTicks, lastTicks, [&](TimeValue t, Point3 value) {
                position->SetValue(t, &value, 1, CTRL_ABSOLUTE);
            });
        if (Control* scale = transform->GetScaleController())
            writeKeys(track.scaleKeys, startTicks, lastTicks, [&](TimeValue t, Point3 factors) {
                ScaleValue value(factors, Quat(0.0f, 0.0f, 0.0f, 1.0f));
                scale->SetValue(t, &value, 1, CTRL_ABSOLUTE);
            });
        if (Control* rotation = transform->GetRotationController())
            writeKeys(track.rotationKeys, startTicks, lastTicks, [&](TimeValue t, Quat value) {
                rotation->SetValue(t, &value, 1, CTRL_ABSOLUTE);
            });
    }
    return lastTicks;
}

void SceneBuilder::BuildAnimationSets(const SceneSnapshot& snapshot) {
    std::int64_t ticksPerFrame = GetTicksPerFrame();
    if (ticksPerFrame <= 0) ticksPerFrame = kFallbackTicksPerFrame;
    std::int64_t startTicks = 0;
    std::vector<AnimationSetEntry> entries;
    entries.reserve(snapshot.animationSets.size());
    for (const auto& [setName, set] : snapshot.animationSets) {
        const std::int64_t endFrame = frameAtOrAfter(WriteSetKeys(set, startTicks), ticksPerFrame);
        entries.push_back(
            AnimationSetEntry{setName, frameOf(startTicks, ticksPerFrame), clampedFrame(endFrame)});
        // The next set begins on the frame after this one's end.
        startTicks = (endFrame + 1) * ticksPerFrame;
    }
    AnimationSetStore().SaveToScene(entries);
}
