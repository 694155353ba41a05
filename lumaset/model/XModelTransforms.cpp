#include "model/XModelTransforms.h"

#include <cmath>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr float kRadiansPerDegree = 0.017453292f;

XMatrix multiply(const XMatrix& a, const XMatrix& b) {
    XMatrix product;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
                sum += a.at(r, k) * b.at(k, c);
            product.at(r, c) = sum;
        }
    return product;
}

// The rotation matrix of a unit quaternion, rows from top. It is the transpose of the standard
// matrix of (x, y, z, w), which is why a key standing for the same frame rotation has w negated.
XMatrix rotationMatrixOf(const XQuaternion& q) {
    const float x = q.x, y = q.y, z = q.z, w = q.w;
    XMatrix m;
    // clang-format off
    m.m = {1 - 2 * (y * y + z * z), 2 * (x * y + z * w),     2 * (x * z - y * w),     0,
           2 * (x * y - z * w),     1 - 2 * (x * x + z * z), 2 * (y * z + x * w),     0,
           2 * (x * z + y * w),     2 * (y * z - x * w),     1 - 2 * (x * x + y * y), 0,
           0,                       0,                       0,                       1};
    // clang-format on
    return m;
}

// The unit quaternion whose rotationMatrixOf is `r` (a rotation). Works from the largest of w, x,
// y, z so that no small divisor loses precision.
XQuaternion quaternionOf(const XMatrix& r) {
    const float m00 = r.at(0, 0), m11 = r.at(1, 1), m22 = r.at(2, 2);
    const float trace = m00 + m11 + m22;
    XQuaternion q;
    if (trace > 0.0f) {
        const float s = std::sqrt(trace + 1.0f) * 2.0f; // 4w
        q.w = 0.25f * s;
        q.x = (r.at(1, 2) - r.at(2, 1)) / s;
        q.y = (r.at(2, 0) - r.at(0, 2)) / s;
        q.z = (r.at(0, 1) - r.at(1, 0)) / s;
    } else if (m00 >= m11 && m00 >= m22) {
        const float s = std::sqrt(1.0f + m00 - m11 - m22) * 2.0f; // 4x
        q.x = 0.25f * s;
        q.w = (r.at(1, 2) - r.at(2, 1)) / s;
        q.y = (r.at(0, 1) + r.at(1, 0)) / s;
        q.z = (r.at(2, 0) + r.at(0, 2)) / s;
    } else if (m11 >= m22) {
        const float s = std::sqrt(1.0f + m11 - m00 - m22) * 2.0f; // 4y
        q.y = 0.25f * s;
        q.w = (r.at(2, 0) - r.at(0, 2)) / s;
        q.x = (r.at(0, 1) + r.at(1, 0)) / s;
        q.z = (r.at(1, 2) + r.at(2, 1)) / s;
    } else {
        const float s = std::sqrt(1.0f + m22 - m00 - m11) * 2.0f; // 4z
        q.z = 0.25f * s;
        q.w = (r.at(0, 1) - r.at(1, 0)) / s;
        q.x = (r.at(2, 0) + r.at(0, 2)) / s;
        q.y = (r.at(1, 2) + r.at(2, 1)) / s;
    }
    return q;
}

// Hamilton product a (x) b.
XQuaternion hamilton(const XQuaternion& a, const XQuaternion& b) {
    return {a.w * b.x + b.w * a.x + (a.y * b.z - a.z * b.y),
            a.w * b.y + b.w * a.y + (a.z * b.x - a.x * b.z),
            a.w * b.z + b.w * a.z + (a.x * b.y - a.y * b.x),
            a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
}

XVector3 transformPoint(const XVector3& p, const XMatrix& m) {
    return {p.x * m.at(0, 0) + p.y * m.at(1, 0) + p.z * m.at(2, 0) + m.at(3, 0),
            p.x * m.at(0, 1) + p.y * m.at(1, 1) + p.z * m.at(2, 1) + m.at(3, 1),
            p.x * m.at(0, 2) + p.y * m.at(1, 2) + p.z * m.at(2, 2) + m.at(3, 2)};
}

float determinant3(const XMatrix& m) {
    return m.at(0, 0) * (m.at(1, 1) * m.at(2, 2) - m.at(1, 2) * m.at(2, 1)) -
           m.at(0, 1) * (m.at(1, 0) * m.at(2, 2) - m.at(1, 2) * m.at(2, 0)) +
           m.at(0, 2) * (m.at(1, 0) * m.at(2, 1) - m.at(1, 1) * m.at(2, 0));
}

// F M F: negates every element with exactly one of row and column equal to 2, then makes the
// matrix affine as the decomposing path does.
XMatrix mirrorDirectly(const XMatrix& matrix) {
    XMatrix mirrored = matrix;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            if ((r == 2) != (c == 2)) mirrored.at(r, c) = -mirrored.at(r, c);
    mirrored.at(0, 3) = mirrored.at(1, 3) = mirrored.at(2, 3) = 0.0f;
    mirrored.at(3, 3) = 1.0f;
    return mirrored;
}

void reverseWinding(XFaceList& faces) {
    if (faces.empty()) return;
    for (XFace& face : faces.edit()) {
        auto& i = face.indices;
        // Corner 0 stays first and the others run backwards: (0, 2, 1) or (0, 3, 2, 1).
        std::swap(i[1], i[face.cornerCount == 4 ? 3 : 2]);
    }
}

void mirrorMesh(XMesh& mesh) {
    for (XVector3& position : mesh.positions)
        position.z = -position.z;
    for (XVector3& normal : mesh.normals)
        normal.z = -normal.z;
    for (XSkinWeights& bone : mesh.skinWeights)
        bone.offsetMatrix = mirrorMatrix(bone.offsetMatrix);
    changeEveryFaceList(mesh, reverseWinding);
}

// Calls visit(frame) for every frame, depth first, without recursion: files may nest deeply.
template <class Visit> void forEachFrame(XScene& scene, Visit&& visit) {
    std::vector<XFrame*> pending;
    for (auto it = scene.frames.rbegin(); it != scene.frames.rend(); ++it)
        pending.push_back(&*it);
    while (!pending.empty()) {
        XFrame* frame = pending.back();
        pending.pop_back();
        visit(*frame);
        for (auto it = frame->children.rbegin(); it != frame->children.rend(); ++it)
            pending.push_back(&*it);
    }
}

// Calls adjust(animation) once for every animation, in every set, that targets a top-level frame.
template <class Adjust> void forEachTopFrameAnimation(XScene& scene, Adjust&& adjust) {
    std::set<std::string> topFrameNames;
    for (const XFrame& frame : scene.frames)
        topFrameNames.insert(frame.name);
    for (auto& [setName, set] : scene.animationSets)
        for (const std::string& name : topFrameNames) {
            auto found = set.find(name);
            if (found != set.end()) adjust(found->second);
        }
}

// Animation keys replace the frame's transform: at every time the local matrix is
// scale x rotation x translation from the keys, or the matrix key. Multiplying that product on the
// right by A means translation p -> p A, rotation key k -> k followed by A, matrix K -> K A.
void applyToKeys(XAnimation& animation, const XMatrix& applied,
                 const XQuaternion* appliedRotation) {
    for (auto& [time, position] : animation.positionKeys)
        position = transformPoint(position, applied);
    if (appliedRotation != nullptr)
        for (auto& [time, rotation] : animation.rotationKeys)
            rotation = hamilton(rotation, *appliedRotation);
    for (auto& [time, matrix] : animation.matrixKeys)
        matrix = multiply(matrix, applied);
}

} // namespace

XMatrix mirrorMatrix(const XMatrix& matrix) {
    float scale[3];
    for (int r = 0; r < 3; ++r) {
        // Summed in double: squares of very small or very large floats leave the float range.
        double lengthSquared = 0.0;
        for (int c = 0; c < 3; ++c)
            lengthSquared += double(matrix.at(r, c)) * double(matrix.at(r, c));
        scale[r] = static_cast<float>(std::sqrt(lengthSquared));
        if (!(scale[r] > 0.0f) || !std::isfinite(scale[r]))
            return mirrorDirectly(matrix); // no rotation can be separated from a zero-length axis
    }
    if (determinant3(matrix) < 0.0f) scale[2] = -scale[2];

    XMatrix rotation;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c)
            rotation.at(r, c) = matrix.at(r, c) / scale[r];
    rotation.at(3, 0) = rotation.at(3, 1) = rotation.at(3, 2) = 0.0f;
    rotation.at(3, 3) = 1.0f;

    XQuaternion q = quaternionOf(rotation);
    q.z = -q.z;
    q.w = -q.w;
    XMatrix mirrored = rotationMatrixOf(q);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 4; ++c)
            mirrored.at(r, c) *= scale[r];
    mirrored.at(3, 0) = matrix.at(3, 0);
    mirrored.at(3, 1) = matrix.at(3, 1);
    mirrored.at(3, 2) = -matrix.at(3, 2);
    return mirrored;
}

void mirrorHandedness(XScene& scene) {
    forEachFrame(scene, [](XFrame& frame) {
        frame.transform = mirrorMatrix(frame.transform);
        mirrorMesh(frame.mesh);
    });
    for (auto& [setName, set] : scene.animationSets)
        for (auto& [target, animation] : set) {
            for (auto& [time, matrix] : animation.matrixKeys)
                matrix = mirrorMatrix(matrix);
            for (auto& [time, position] : animation.positionKeys)
                position.z = -position.z;
            for (auto& [time, rotation] : animation.rotationKeys) {
                rotation.z = -rotation.z;
                rotation.w = -rotation.w;
            }
        }
}

void scaleTopFrames(XScene& scene, float sx, float sy, float sz) {
    XMatrix scaling;
    scaling.at(0, 0) = sx;
    scaling.at(1, 1) = sy;
    scaling.at(2, 2) = sz;
    for (XFrame& frame : scene.frames)
        frame.transform = multiply(frame.transform, scaling);
    forEachTopFrameAnimation(scene, [&](XAnimation& animation) {
        applyToKeys(animation, scaling, nullptr);
        for (auto& [time, scale] : animation.scaleKeys)
            scale = {scale.x * sx, scale.y * sy, scale.z * sz};
    });
}

void rotateTopFrames(XScene& scene, float xDegrees, float yDegrees, float zDegrees) {
    const float yaw = yDegrees * kRadiansPerDegree;
    const float pitch = xDegrees * kRadiansPerDegree;
    const float roll = zDegrees * kRadiansPerDegree;
    const float cy = std::cos(yaw / 2), sy = std::sin(yaw / 2);
    const float cp = std::cos(pitch / 2), sp = std::sin(pitch / 2);
    const float cr = std::cos(roll / 2), sr = std::sin(roll / 2);
    const XQuaternion q{cy * sp * cr + sy * cp * sr, sy * cp * cr - cy * sp * sr,
                        cy * cp * sr - sy * sp * cr, cy * cp * cr + sy * sp * sr};
    const XMatrix rotation = rotationMatrixOf(q);
    // In key form (the standard matrix of a key is the frame rotation) R is q with w negated.
    const XQuaternion rotationKey{q.x, q.y, q.z, -q.w};

    for (XFrame& frame : scene.frames)
        frame.transform = multiply(frame.transform, rotation);
    forEachTopFrameAnimation(
        scene, [&](XAnimation& animation) { applyToKeys(animation, rotation, &rotationKey); });
}
