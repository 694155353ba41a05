#include "scene/HostMath.h"

#include <decomp.h>

namespace scene {

Matrix3 toMatrix3(const gltf::Mat4& m) {
    return Matrix3(Point3(m[0], m[1], m[2]), Point3(m[4], m[5], m[6]), Point3(m[8], m[9], m[10]),
                   Point3(m[12], m[13], m[14]));
}

gltf::Mat4 toMat4(const Matrix3& matrix) {
    gltf::Mat4 m = gltf::identityMatrix();
    for (int row = 0; row < 4; ++row) {
        const Point3 values = matrix.GetRow(row);
        m[std::size_t(row * 4 + 0)] = values.x;
        m[std::size_t(row * 4 + 1)] = values.y;
        m[std::size_t(row * 4 + 2)] = values.z;
    }
    return m;
}

Quat toHostQuat(const gltf::Vec4& r) {
    return Quat(-r[0], -r[1], -r[2], r[3]);
}

gltf::Vec4 toGltfQuat(const Quat& q) {
    return {-q.x, -q.y, -q.z, q.w};
}

Matrix3 localMatrix(const gltf::Node& node) {
    if (node.hasMatrix) return toMatrix3(node.matrix);
    // Row vectors: scale first, then rotation, then translation.
    Matrix3 rotation(1);
    Quat q = toHostQuat(node.rotation);
    q.Normalize();
    q.MakeMatrix(rotation);
    return ScaleMatrix(toPoint3(node.scale)) * rotation * TransMatrix(toPoint3(node.translation));
}

void decomposeLocal(const Matrix3& matrix, gltf::Vec3& translation, gltf::Vec4& rotation,
                    gltf::Vec3& scale) {
    AffineParts parts;
    decomp_affine(matrix, &parts);
    translation = toVec3(parts.t);
    rotation = toGltfQuat(parts.q);
    scale = toVec3(parts.k * parts.f);
}

} // namespace scene
