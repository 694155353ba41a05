// Values across the glTF boundary. glTF uses column vectors with column-major storage and
// right-hand-rule quaternions; the host uses row vectors (p' = p * M) and quaternions that are
// the conjugate of glTF's for the same rotation. This is the only place that converts.
#pragma once

#include "gltf/GltfScene.h"

#include <matrix3.h>
#include <point3.h>
#include <quat.h>

namespace scene {

// The same transform in the other convention. glTF's column-major storage of M equals the host's
// row layout of M's transpose, so the numbers carry over in order (the last row is dropped).
Matrix3 toMatrix3(const gltf::Mat4& matrix);
gltf::Mat4 toMat4(const Matrix3& matrix);

// The host quaternion for a glTF rotation, and back: the conjugate either way.
Quat toHostQuat(const gltf::Vec4& rotation);
gltf::Vec4 toGltfQuat(const Quat& rotation);

inline Point3 toPoint3(const gltf::Vec3& v) {
    return Point3(v[0], v[1], v[2]);
}
inline gltf::Vec3 toVec3(const Point3& p) {
    return {p.x, p.y, p.z};
}

// A glTF node's local transform (its matrix, or translation * rotation * scale) as a host matrix.
Matrix3 localMatrix(const gltf::Node& node);

// Splits a local matrix into glTF translation, rotation and scale. A mirror becomes a negative
// x scale; shear (scale along axes other than the rotated ones) cannot be expressed and is lost.
void decomposeLocal(const Matrix3& matrix, gltf::Vec3& translation, gltf::Vec4& rotation,
                    gltf::Vec3& scale);

} // namespace scene
