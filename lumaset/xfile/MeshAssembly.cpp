#include "xfile/MeshAssembly.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

namespace {

bool hasValidCornerCount(const XFace& face) {
    return face.cornerCount == 3 || face.cornerCount == 4;
}

bool facesIndexWithin(const std::vector<XFace>& faces, std::size_t valueCount) {
    for (const XFace& face : faces) {
        if (!hasValidCornerCount(face)) return false;
        for (std::uint32_t corner = 0; corner < face.cornerCount; ++corner)
            if (face.indices[corner] >= valueCount) return false;
    }
    return true;
}

// A per-corner face list must describe the mesh's polygons one for one, corner for corner.
bool matchesFaces(const std::vector<XFace>& cornerFaces, const std::vector<XFace>& faces) {
    if (cornerFaces.size() != faces.size()) return false;
    for (std::size_t i = 0; i < faces.size(); ++i)
        if (cornerFaces[i].cornerCount != faces[i].cornerCount) return false;
    return true;
}

template <class Value>
bool keepStreamIfValid(std::vector<Value>& values, XFaceList& cornerFaces, const XFaceList& faces,
                       std::size_t positionCount) {
    if (cornerFaces.empty()) return true;
    // Corner faces that are the faces themselves (as a file's texture coordinates and colours
    // are) match them, and index within any list at least as long as the positions.
    if (cornerFaces.sharesStorageWith(faces) && values.size() >= positionCount) return true;
    if (matchesFaces(cornerFaces, faces) && facesIndexWithin(cornerFaces, values.size()))
        return true;
    values.clear();
    cornerFaces.clear();
    return false;
}

void offsetFaces(XFaceList& faces, std::uint32_t offset) {
    if (offset == 0 || faces.empty()) return;
    for (XFace& face : faces.edit())
        for (std::uint32_t corner = 0; corner < face.cornerCount; ++corner)
            face.indices[corner] += offset;
}

// Corner faces that send every corner of `faces` to the value at `index`.
XFaceList facesPointingAt(const XFaceList& faces, std::uint32_t index) {
    std::vector<XFace> pointing(faces.begin(), faces.end());
    for (XFace& face : pointing)
        for (std::uint32_t corner = 0; corner < face.cornerCount; ++corner)
            face.indices[corner] = index;
    return pointing;
}

template <class T> void appendVector(std::vector<T>& to, std::vector<T>&& from) {
    to.insert(to.end(), std::make_move_iterator(from.begin()), std::make_move_iterator(from.end()));
}

void appendFaces(XFaceList& to, XFaceList&& from) {
    if (to.empty()) {
        to = std::move(from);
        return;
    }
    std::vector<XFace>& faces = to.edit();
    faces.insert(faces.end(), from.cbegin(), from.cend());
}

// Joins one per-corner stream. A side that has polygons but no faces for this stream gets one
// `neutral` value that all its corners use.
template <class Value>
void appendCornerStream(std::vector<Value>& values, XFaceList& cornerFaces, const XFaceList& faces,
                        std::vector<Value>&& partValues, XFaceList&& partCornerFaces,
                        const XFaceList& partFaces, const Value& neutral) {
    const bool anySideHasStream = !cornerFaces.empty() || !partCornerFaces.empty();
    if (anySideHasStream && !faces.empty() && cornerFaces.empty()) {
        cornerFaces = facesPointingAt(faces, static_cast<std::uint32_t>(values.size()));
        values.push_back(neutral);
    }
    if (anySideHasStream && !partFaces.empty() && partCornerFaces.empty()) {
        partCornerFaces = facesPointingAt(partFaces, static_cast<std::uint32_t>(partValues.size()));
        partValues.push_back(neutral);
    }
    offsetFaces(partCornerFaces, static_cast<std::uint32_t>(values.size()));
    appendVector(values, std::move(partValues));
    appendFaces(cornerFaces, std::move(partCornerFaces));
}

XMaterial plainWhiteMaterial() {
    XMaterial material;
    material.diffuse = XColor{1.0f, 1.0f, 1.0f, 1.0f};
    material.ambient = XColor{0.2f, 0.2f, 0.2f, 1.0f};
    material.specular = XColor{0.0f, 0.0f, 0.0f, 0.0f};
    material.emissive = XColor{0.0f, 0.0f, 0.0f, 0.0f};
    material.power = 0.0f;
    return material;
}

// Gives a side that has polygons but no face materials one plain material for all its faces.
void completeFaceMaterials(XMesh& mesh) {
    if (mesh.faces.empty() || !mesh.faceMaterials.empty()) return;
    mesh.materials.assign(1, plainWhiteMaterial());
    mesh.faceMaterials.assign(mesh.faces.size(), 0);
}

} // namespace

bool dropBrokenStreams(XMesh& mesh) {
    if (!facesIndexWithin(mesh.faces, mesh.positions.size())) {
        mesh = XMesh();
        return false;
    }
    bool intact = true;
    const std::size_t positionCount = mesh.positions.size();
    intact &= keepStreamIfValid(mesh.normals, mesh.normalFaces, mesh.faces, positionCount);
    intact &= keepStreamIfValid(mesh.texCoords, mesh.texCoordFaces, mesh.faces, positionCount);
    intact &= keepStreamIfValid(mesh.colors, mesh.colorFaces, mesh.faces, positionCount);

    if (!mesh.faceMaterials.empty()) {
        bool materialsValid = mesh.faceMaterials.size() == mesh.faces.size();
        for (std::uint32_t index : mesh.faceMaterials)
            materialsValid = materialsValid && index < mesh.materials.size();
        if (!materialsValid) {
            mesh.faceMaterials.clear();
            intact = false;
        }
    }

    // Weights are ordered by vertex, so those out of range sit at the two ends.
    const auto vertexCount = static_cast<std::int64_t>(mesh.positions.size());
    for (XSkinWeights& bone : mesh.skinWeights) {
        auto& weights = bone.weights;
        if (weights.empty() ||
            (weights.begin()->first >= 0 && weights.rbegin()->first < vertexCount))
            continue;
        intact = false;
        weights.erase(weights.begin(), weights.lower_bound(0));
        if (vertexCount <= std::numeric_limits<std::int32_t>::max())
            weights.erase(weights.lower_bound(static_cast<std::int32_t>(vertexCount)),
                          weights.end());
    }
    return intact;
}

void appendMesh(XMesh& mesh, XMesh&& part) {
    if (mesh.positions.empty() && mesh.faces.empty()) {
        mesh = std::move(part);
        return;
    }
    const auto positionOffset = static_cast<std::uint32_t>(mesh.positions.size());

    // Normals cannot be made up: a side with polygons but no normal faces leaves the merged mesh
    // without any.
    const bool normalsMissing = (!mesh.faces.empty() && mesh.normalFaces.empty()) ||
                                (!part.faces.empty() && part.normalFaces.empty());
    if (normalsMissing && (!mesh.normalFaces.empty() || !part.normalFaces.empty())) {
        mesh.normals.clear();
        mesh.normalFaces.clear();
        part.normals.clear();
        part.normalFaces.clear();
    }
    offsetFaces(part.normalFaces, static_cast<std::uint32_t>(mesh.normals.size()));
    appendVector(mesh.normals, std::move(part.normals));
    appendFaces(mesh.normalFaces, std::move(part.normalFaces));

    appendCornerStream(mesh.texCoords, mesh.texCoordFaces, mesh.faces, std::move(part.texCoords),
                       std::move(part.texCoordFaces), part.faces, XVector2{0.0f, 0.0f});
    appendCornerStream(mesh.colors, mesh.colorFaces, mesh.faces, std::move(part.colors),
                       std::move(part.colorFaces), part.faces, XColor{1.0f, 1.0f, 1.0f, 1.0f});

    if (!mesh.faceMaterials.empty() || !part.faceMaterials.empty()) {
        completeFaceMaterials(mesh);
        completeFaceMaterials(part);
        const auto materialOffset = static_cast<std::uint32_t>(mesh.materials.size());
        for (std::uint32_t& index : part.faceMaterials)
            index += materialOffset;
        appendVector(mesh.faceMaterials, std::move(part.faceMaterials));
    }
    appendVector(mesh.materials, std::move(part.materials));

    for (XSkinWeights& bone : part.skinWeights) {
        XSkinWeights* joined = nullptr;
        for (XSkinWeights& existing : mesh.skinWeights)
            if (existing.boneName == bone.boneName) joined = &existing;
        if (!joined) {
            mesh.skinWeights.push_back(XSkinWeights());
            joined = &mesh.skinWeights.back();
            joined->boneName = bone.boneName;
            joined->offsetMatrix = bone.offsetMatrix;
        }
        for (const auto& [vertex, weight] : bone.weights)
            joined->weights[vertex + static_cast<std::int32_t>(positionOffset)] = weight;
    }

    offsetFaces(part.faces, positionOffset);
    appendFaces(mesh.faces, std::move(part.faces));
    appendVector(mesh.positions, std::move(part.positions));
}
