#include "build/ObjectTransform.h"

namespace {
// Degrees to radians as a 32-bit float, the factor the option dialogs' angles go through.
const float kRadiansPerDegree = 0.017453292f;
} // namespace

ObjectTransform makeObjectTransform(const float (&scale)[3], const float (&rotationDegrees)[3]) {
    ObjectTransform transform;
    transform.scale = Point3(scale[0], scale[1], scale[2]);
    Matrix3 scaling(TRUE);
    scaling.SetScale(transform.scale);
    Matrix3 rotation(TRUE);
    rotation.SetRotate(rotationDegrees[1] * kRadiansPerDegree,  // yaw
                       rotationDegrees[0] * kRadiansPerDegree,  // pitch
                       rotationDegrees[2] * kRadiansPerDegree); // roll
    transform.matrix = scaling * rotation;
    transform.rotation = Quat(rotation);
    return transform;
}

void adjustTopLevelTrack(SnapshotTrack& track, const ObjectTransform& transform) {
    const bool hasKeys =
        !track.positionKeys.empty() || !track.scaleKeys.empty() || !track.rotationKeys.empty();
    if (!hasKeys) return;
    if (track.scaleKeys.empty())
        track.scaleKeys[0] = transform.scale;
    else
        for (auto& [time, factors] : track.scaleKeys)
            factors = factors * transform.scale;
    if (track.rotationKeys.empty())
        track.rotationKeys[0] = transform.rotation;
    else
        for (auto& [time, rotation] : track.rotationKeys)
            rotation *= transform.rotation;
    // The node's translation at time 0 went through the matrix with the rest of its transform;
    // its keyed translations must too, or the node would move in the untransformed space.
    for (auto& [time, position] : track.positionKeys)
        position = transform.matrix.VectorTransform(position);
}
