#include "build/ImportedModelCheck.h"

#include <algorithm>
#include <cstddef>
#include <list>
#include <utility>
#include <vector>

namespace {

bool cornersWithin(const XFace& face, std::size_t valueCount) {
    for (std::uint32_t corner = 0; corner < face.cornerCount; ++corner)
        if (face.indices[corner] >= valueCount) return false;
    return true;
}

bool faceIsUsable(const XFace& face, std::size_t positionCount) {
    return (face.cornerCount == 3 || face.cornerCount == 4) && cornersWithin(face, positionCount);
}

// Keeps entry k of `list` for every kept face k that the list reaches.
template <class T> void keepEntries(std::vector<T>& list, const std::vector<bool>& keep) {
    std::size_t written = 0;
    for (std::size_t k = 0; k < list.size() && k < keep.size(); ++k)
        if (keep[k]) list[written++] = list[k];
    list.resize(written);
}

void keepEntries(XFaceList& list, const std::vector<bool>& keep) {
    if (!list.empty()) keepEntries(list.edit(), keep);
}

// True when `cornerFaces` pairs with `faces` face by face, corner counts included, and every
// index is within `valueCount`.
bool streamFits(const std::vector<XFace>& cornerFaces, const std::vector<XFace>& faces,
                std::size_t valueCount) {
    if (cornerFaces.size() != faces.size()) return false;
    for (std::size_t k = 0; k < faces.size(); ++k)
        if (cornerFaces[k].cornerCount != faces[k].cornerCount ||
            !cornersWithin(cornerFaces[k], valueCount))
            return false;
    return true;
}

template <class Value>
void dropStreamUnlessItFits(XFaceList& cornerFaces, std::vector<Value>& values,
                            const XFaceList& faces) {
    if (cornerFaces.empty() && values.empty()) return;
    if (!streamFits(cornerFaces, faces, values.size())) {
        cornerFaces.clear();
        values.clear();
    }
}

XFace flatFaceLike(const XFace& face) {
    return XFace{face.cornerCount, {0, 0, 0, 0}};
}

void repairNormalFaces(XMesh& mesh) {
    if (mesh.normals.empty()) {
        mesh.normalFaces.clear();
        return;
    }
    if (mesh.normalFaces.empty())
        return; // no normals given per face: the mesh is flat everywhere, as it was
    const XFaceList& faces = mesh.faces;
    const XFaceList& normalFaces = mesh.normalFaces;
    const auto fits = [&](std::size_t k) {
        return normalFaces[k].cornerCount == faces[k].cornerCount &&
               cornersWithin(normalFaces[k], mesh.normals.size());
    };
    // Read first, so that normal faces that need no repair are not copied.
    const std::size_t kept = std::min(normalFaces.size(), faces.size());
    bool allFit = kept == faces.size() && normalFaces.size() == faces.size();
    for (std::size_t k = 0; k < kept && allFit; ++k)
        allFit = fits(k);
    if (allFit) return;
    mesh.normalFaces.resize(kept);
    for (std::size_t k = 0; k < kept; ++k)
        if (!fits(k)) mesh.normalFaces[k] = flatFaceLike(faces[k]);
    for (std::size_t k = kept; k < faces.size(); ++k)
        mesh.normalFaces.push_back(flatFaceLike(faces[k]));
}

void completeFaceMaterials(XMesh& mesh) {
    if (mesh.faceMaterials.empty() && mesh.materials.empty()) return;
    const std::uint32_t last = mesh.faceMaterials.empty() ? 0 : mesh.faceMaterials.back();
    mesh.faceMaterials.resize(mesh.faces.size(), last);
}

} // namespace

void checkImportedMesh(XMesh& mesh) {
    const std::size_t faceCount = mesh.faces.size();
    // Length mismatches are judged against the faces as the file gave them.
    const bool texCoordsAligned = mesh.texCoordFaces.size() == faceCount;
    const bool colorsAligned = mesh.colorFaces.size() == faceCount;

    std::vector<bool> keep(faceCount);
    bool dropsFaces = false;
    for (std::size_t k = 0; k < faceCount; ++k) {
        keep[k] = faceIsUsable(std::as_const(mesh.faces)[k], mesh.positions.size());
        dropsFaces = dropsFaces || !keep[k];
    }
    if (dropsFaces) {
        keepEntries(mesh.faces, keep);
        keepEntries(mesh.normalFaces, keep);
        keepEntries(mesh.texCoordFaces, keep);
        keepEntries(mesh.colorFaces, keep);
        keepEntries(mesh.faceMaterials, keep);
    }
    if (!texCoordsAligned) {
        mesh.texCoordFaces.clear();
        mesh.texCoords.clear();
    }
    if (!colorsAligned) {
        mesh.colorFaces.clear();
        mesh.colors.clear();
    }
    dropStreamUnlessItFits(mesh.texCoordFaces, mesh.texCoords, mesh.faces);
    dropStreamUnlessItFits(mesh.colorFaces, mesh.colors, mesh.faces);
    repairNormalFaces(mesh);
    completeFaceMaterials(mesh);
}

void checkImportedScene(XScene& scene) {
    std::vector<std::list<XFrame>*> pending{&scene.frames};
    while (!pending.empty()) {
        std::list<XFrame>* frames = pending.back();
        pending.pop_back();
        for (XFrame& frame : *frames) {
            checkImportedMesh(frame.mesh);
            if (!frame.children.empty()) pending.push_back(&frame.children);
        }
    }
}
