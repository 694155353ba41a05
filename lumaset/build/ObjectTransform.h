// The user's object scale and rotation as one transform, applied after the transform of each
// top-level node and to the keys of its tracks.
#pragma once

#include "model/SceneSnapshot.h"

struct ObjectTransform {
    Point3 scale;   // the object scale factors
    Matrix3 matrix; // scale first, then the rotation (row vectors)
    Quat rotation;  // the rotation part alone
};

// Scale (x, y, z) and rotation angles in degrees: x is the pitch, y the yaw, z the roll, as the
// host's yaw-pitch-roll matrix takes them.
ObjectTransform makeObjectTransform(const float (&scale)[3], const float (&rotationDegrees)[3]);

// Carries the keys of a top-level node's track into the transformed space, so the node moves
// at every key as its transform moves at time 0: scale keys are multiplied by the object scale
// component by component, rotation keys q become q x rotation, position keys are carried
// through the matrix (exact for a uniform scale). A track with keys but without scale or
// rotation keys gets the object scale or rotation as a key at time 0; a track without keys
// stays without.
void adjustTopLevelTrack(SnapshotTrack& track, const ObjectTransform& transform);
