#include "model/SceneConversion.h"

#include "decomp.h"

#include <algorithm>
#include <list>
#include <utility>
#include <vector>

namespace {

XFace toXFace(const SnapshotTriangle& triangle) {
    const auto& i = triangle.indices;
    return XFace{3, {i[0], i[1], i[2], 0}};
}

SnapshotTriangle toTriangle(const XFace& face) {
    const auto& i = face.indices;
    return SnapshotTriangle{{i[0], i[1], i[2]}};
}

template <class To, class From, class Convert>
std::vector<To> convertAll(const std::vector<From>& from, Convert convert) {
    std::vector<To> to;
    to.reserve(from.size());
    for (const From& value : from)
        to.push_back(convert(value));
    return to;
}

// Converts `from`; a non-const `from` is consumed, its storage released at once, so that a large
// mesh never exists whole in both forms.
template <class To, class From, class Convert>
std::vector<To> convertAll(std::vector<From>& from, Convert convert) {
    std::vector<To> to = convertAll<To>(std::as_const(from), convert);
    std::vector<From>().swap(from);
    return to;
}

template <class To, class Convert>
std::vector<To> convertAll(const XFaceList& from, Convert convert) {
    return convertAll<To>(from.view(), convert);
}

template <class To, class Convert> std::vector<To> convertAll(XFaceList& from, Convert convert) {
    std::vector<To> to = convertAll<To>(from.view(), convert);
    from.clear();
    return to;
}

XVector3 toXVector(const Point3& p) {
    return {p.x, p.y, p.z};
}
Point3 toPoint3(const XVector3& v) {
    return Point3(v.x, v.y, v.z);
}
XColor toXColor(const SnapshotColor& c) {
    return {c.r, c.g, c.b, c.a};
}
SnapshotColor toSnapshotColor(const XColor& c) {
    return {c.r, c.g, c.b, c.a};
}
XQuaternion toXQuaternion(const Quat& q) {
    return {q.x, q.y, q.z, q.w};
}
Quat toQuat(const XQuaternion& q) {
    return Quat(q.x, q.y, q.z, q.w);
}

// Lets go of a list of a mesh whose data is being taken; a mesh read as it stands keeps it.
void releaseTaken(std::vector<SnapshotTriangle>& list) {
    std::vector<SnapshotTriangle>().swap(list);
}
void releaseTaken(const std::vector<SnapshotTriangle>&) {}

// `SnapshotMeshType` is const SnapshotMesh to read the mesh as it stands, SnapshotMesh to take
// its data.
template <class SnapshotMeshType> XMesh toXMesh(SnapshotMeshType& mesh) {
    XMesh x;
    // A per-corner list equal to the faces shares the converted faces instead of a copy.
    const auto sameAsFaces = [&](const std::vector<SnapshotTriangle>& list) {
        return !list.empty() && list == mesh.faces;
    };
    const auto cornerFaces = [&](auto& list, bool isFaces) -> XFaceList {
        if (!isFaces) return convertAll<XFace>(list, toXFace);
        releaseTaken(list);
        return x.faces;
    };
    const bool normalsAreFaces = sameAsFaces(mesh.normalFaces);
    const bool texCoordsAreFaces = sameAsFaces(mesh.texCoordFaces);
    const bool colorsAreFaces = sameAsFaces(mesh.colorFaces);
    x.faces = convertAll<XFace>(mesh.faces, toXFace);
    x.positions = convertAll<XVector3>(mesh.positions, toXVector);
    x.normalFaces = cornerFaces(mesh.normalFaces, normalsAreFaces);
    x.normals = convertAll<XVector3>(mesh.normals, toXVector);
    x.faceMaterials = convertAll<std::uint32_t>(
        mesh.faceMaterials, [](std::int32_t id) { return static_cast<std::uint32_t>(id); });
    x.texCoordFaces = cornerFaces(mesh.texCoordFaces, texCoordsAreFaces);
    x.texCoords = convertAll<XVector2>(mesh.texCoords, [](const SnapshotTexCoord& t) {
        return XVector2{t.u, t.v};
    });
    x.colorFaces = cornerFaces(mesh.colorFaces, colorsAreFaces);
    x.colors = convertAll<XColor>(mesh.colors, toXColor);
    for (auto& bone : mesh.skinWeights) // copied, or moved from a mesh being taken
        x.skinWeights.push_back(XSkinWeights{toXName(bone.boneName), toXMatrix(bone.offsetMatrix),
                                             std::move(bone.weights)});
    for (const SnapshotMaterial& material : mesh.materials) {
        XMaterial& m = x.materials.emplace_back();
        m.textureFilename = material.textureFilename;
        m.diffuse = toXColor(material.diffuse);
        m.ambient = toXColor(material.ambient);
        m.specular = toXColor(material.specular);
        m.emissive = XColor{0, 0, 0, 0};
        m.power = material.power;
    }
    return x;
}

// `XMeshType` is const XMesh to read the mesh as it stands, XMesh to take its data.
template <class XMeshType> SnapshotMesh toSnapshotMesh(XMeshType& x) {
    SnapshotMesh mesh;
    mesh.faces = convertAll<SnapshotTriangle>(x.faces, toTriangle);
    mesh.positions = convertAll<Point3>(x.positions, toPoint3);
    mesh.normalFaces = convertAll<SnapshotTriangle>(x.normalFaces, toTriangle);
    mesh.normals = convertAll<Point3>(x.normals, toPoint3);
    mesh.texCoordFaces = convertAll<SnapshotTriangle>(x.texCoordFaces, toTriangle);
    mesh.texCoords = convertAll<SnapshotTexCoord>(x.texCoords, [](const XVector2& t) {
        return SnapshotTexCoord{t.u, t.v};
    });
    mesh.colorFaces = convertAll<SnapshotTriangle>(x.colorFaces, toTriangle);
    mesh.colors = convertAll<SnapshotColor>(x.colors, toSnapshotColor);
    for (auto& bone : x.skinWeights) // copied, or moved from a mesh being taken
        mesh.skinWeights.push_back(SnapshotSkinWeights{bone.boneName, toMatrix3(bone.offsetMatrix),
                                                       std::move(bone.weights)});
    // Material numbers above the signed range wrap, exactly as the host's own ids would.
    mesh.faceMaterials = convertAll<std::int32_t>(
        x.faceMaterials, [](std::uint32_t id) { return static_cast<std::int32_t>(id); });
    for (const XMaterial& material : x.materials) {
        SnapshotMaterial& m = mesh.materials.emplace_back();
        m.diffuse = toSnapshotColor(material.diffuse);
        m.ambient = toSnapshotColor(material.ambient);
        m.specular = toSnapshotColor(material.specular);
        m.power = material.power;
        m.textureFilename = material.textureFilename;
    }
    return mesh;
}

void convertOwnData(const SnapshotNode& node, XFrame& frame) {
    frame.name = toXName(node.name);
    frame.transform = toXMatrix(node.localTransform);
    frame.mesh = toXMesh(node.mesh);
}

// Takes the node's mesh, leaving it empty.
void convertOwnData(SnapshotNode& node, XFrame& frame) {
    frame.name = toXName(node.name);
    frame.transform = toXMatrix(node.localTransform);
    frame.mesh = toXMesh(node.mesh);
    node.mesh = SnapshotMesh();
}

void convertOwnData(const XFrame& frame, SnapshotNode& node) {
    node.name = frame.name;
    node.localTransform = toMatrix3(frame.transform);
    node.mesh = toSnapshotMesh(frame.mesh);
}

// Takes the frame's mesh, leaving it empty.
void convertOwnData(XFrame& frame, SnapshotNode& node) {
    node.name = frame.name;
    node.localTransform = toMatrix3(frame.transform);
    node.mesh = toSnapshotMesh(frame.mesh);
    frame.mesh = XMesh();
}

// Converts a forest of nodes into a list of frames and back, level by level from a work list:
// trees may nest deeper than the call stack allows.
// `NodeList` is const std::vector<SnapshotNode>, or std::vector<SnapshotNode> to take the meshes.
template <class NodeList> void convertNodes(NodeList& nodes, std::list<XFrame>& frames) {
    std::vector<std::pair<NodeList*, std::list<XFrame>*>> pending{{&nodes, &frames}};
    while (!pending.empty()) {
        const auto [from, to] = pending.back();
        pending.pop_back();
        for (auto& node : *from) {
            XFrame& frame = to->emplace_back();
            convertOwnData(node, frame);
            if (!node.children.empty()) pending.emplace_back(&node.children, &frame.children);
        }
    }
}

// `FrameList` is const std::list<XFrame>, or std::list<XFrame> to take the meshes.
template <class FrameList> void convertFrames(FrameList& frames, std::vector<SnapshotNode>& nodes) {
    std::vector<std::pair<FrameList*, std::vector<SnapshotNode>*>> pending{{&frames, &nodes}};
    while (!pending.empty()) {
        const auto [from, to] = pending.back();
        pending.pop_back();
        // Sized once, before any pointer into the list is kept.
        to->resize(from->size());
        std::size_t i = 0;
        for (auto& frame : *from) {
            SnapshotNode& node = (*to)[i++];
            convertOwnData(frame, node);
            if (!frame.children.empty()) pending.emplace_back(&frame.children, &node.children);
        }
    }
}

void addTrackKeys(XAnimation& animation, const SnapshotTrack& track) {
    for (const auto& [time, position] : track.positionKeys)
        animation.positionKeys[time] = toXVector(position);
    for (const auto& [time, scale] : track.scaleKeys)
        animation.scaleKeys[time] = toXVector(scale);
    for (const auto& [time, rotation] : track.rotationKeys)
        animation.rotationKeys[time] = toXQuaternion(rotation);
    for (const auto& [time, matrix] : track.matrixKeys)
        animation.matrixKeys[time] = toXMatrix(matrix);
}

void addAnimationKeys(SnapshotTrack& track, const XAnimation& animation) {
    for (const auto& [time, position] : animation.positionKeys)
        track.positionKeys[time] = toPoint3(position);
    for (const auto& [time, scale] : animation.scaleKeys)
        track.scaleKeys[time] = toPoint3(scale);
    for (const auto& [time, rotation] : animation.rotationKeys)
        track.rotationKeys[time] = toQuat(rotation);
    for (const auto& [time, matrix] : animation.matrixKeys) {
        AffineParts parts;
        decomp_affine(toMatrix3(matrix), &parts);
        // The stretch rotation has no place among the keys and is dropped. The mirror sign is
        // kept in the factors: with F = f I, K F Q T equals ScaleMatrix(k f) Q T.
        track.positionKeys[time] = parts.t;
        track.scaleKeys[time] = parts.k * parts.f;
        track.rotationKeys[time] = parts.q;
    }
}

} // namespace

XMatrix toXMatrix(const Matrix3& matrix) {
    XMatrix x;
    for (int r = 0; r < 4; ++r) {
        const Point3 row = matrix.GetRow(r);
        x.at(r, 0) = row.x;
        x.at(r, 1) = row.y;
        x.at(r, 2) = row.z;
        x.at(r, 3) = r == 3 ? 1.0f : 0.0f;
    }
    return x;
}

Matrix3 toMatrix3(const XMatrix& matrix) {
    Matrix3 host(TRUE);
    for (int r = 0; r < 4; ++r)
        host.SetRow(r, Point3(matrix.at(r, 0), matrix.at(r, 1), matrix.at(r, 2)));
    return host;
}

std::string toXName(std::string name) {
    std::replace(name.begin(), name.end(), ' ', '_');
    return name;
}

namespace {

template <class SnapshotType> std::unique_ptr<XScene> toXScene(SnapshotType& snapshot) {
    auto scene = std::make_unique<XScene>();
    convertNodes(snapshot.nodes, scene->frames);
    for (const auto& [setName, set] : snapshot.animationSets) {
        XAnimationSet& xSet = scene->animationSets[setName];
        // Tracks whose names differ only by spaces and underscores meet in one animation; the
        // later track in name order wins at equal times.
        for (const auto& [nodeName, track] : set)
            addTrackKeys(xSet[toXName(nodeName)], track);
    }
    return scene;
}

} // namespace

std::unique_ptr<XScene> snapshotToXScene(const SceneSnapshot& snapshot) {
    return toXScene(snapshot);
}

std::unique_ptr<XScene> snapshotToXScene(SceneSnapshot&& snapshot) {
    return toXScene(snapshot);
}

namespace {

template <class XSceneType> std::unique_ptr<SceneSnapshot> toSnapshot(XSceneType& scene) {
    auto snapshot = std::make_unique<SceneSnapshot>();
    convertFrames(scene.frames, snapshot->nodes);
    for (const auto& [setName, set] : scene.animationSets) {
        SnapshotAnimationSet& snapshotSet = snapshot->findOrAddSet(setName);
        for (const auto& [target, animation] : set)
            addAnimationKeys(findOrAddTrack(snapshotSet, target), animation);
    }
    return snapshot;
}

} // namespace

std::unique_ptr<SceneSnapshot> xSceneToSnapshot(const XScene& scene) {
    return toSnapshot(scene);
}

std::unique_ptr<SceneSnapshot> xSceneToSnapshot(XScene&& scene) {
    return toSnapshot(scene);
}
