#include "build/SceneBuilder.h"

#include "mesh.h"

#include <climits>
#include <cstddef>
#include <vector>

namespace {

bool cornersWithin(const SnapshotTriangle& triangle, std::size_t valueCount) {
    for (std::uint32_t index : triangle.indices)
        if (index >= valueCount) return false;
    return true;
}

// A per-corner stream is used only when its face list pairs with the mesh's faces and every
// kept face's corners are within its values.
bool streamFits(const std::vector<SnapshotTriangle>& cornerFaces, std::size_t faceCount,
                const std::vector<std::size_t>& keptFaces, std::size_t valueCount) {
    if (valueCount == 0 || cornerFaces.size() != faceCount) return false;
    for (std::size_t k : keptFaces)
        if (!cornersWithin(cornerFaces[k], valueCount)) return false;
    return true;
}

TVFace toTVFace(const SnapshotTriangle& triangle) {
    return TVFace(triangle.indices[0], triangle.indices[1], triangle.indices[2]);
}

bool fitsInt(std::size_t count) {
    return count <= static_cast<std::size_t>(INT_MAX);
}

} // namespace

void SceneBuilder::FillMesh(Mesh& mesh, const SnapshotMesh& snapshotMesh) const {
    const SnapshotMesh& s = snapshotMesh;
    const std::size_t faceCount = s.faces.size();
    if (!fitsInt(s.positions.size()) || !fitsInt(s.texCoords.size()) || !fitsInt(s.colors.size()) ||
        !fitsInt(faceCount))
        return; // beyond what a host mesh can index: left empty

    std::vector<std::size_t> keptFaces;
    keptFaces.reserve(faceCount);
    for (std::size_t k = 0; k < faceCount; ++k)
        if (cornersWithin(s.faces[k], s.positions.size())) keptFaces.push_back(k);

    const int positionCount = static_cast<int>(s.positions.size());
    const int texCoordCount = streamFits(s.texCoordFaces, faceCount, keptFaces, s.texCoords.size())
                                  ? static_cast<int>(s.texCoords.size())
                                  : 0;
    const int colorCount = streamFits(s.colorFaces, faceCount, keptFaces, s.colors.size())
                               ? static_cast<int>(s.colors.size())
                               : 0;
    const int keptCount = static_cast<int>(keptFaces.size());

    mesh.setNumVerts(positionCount, FALSE, TRUE);
    for (int i = 0; i < positionCount; ++i)
        mesh.setVert(i, s.positions[static_cast<std::size_t>(i)]);

    mesh.setNumTVerts(texCoordCount);
    for (int i = 0; i < texCoordCount; ++i) {
        const SnapshotTexCoord& t = s.texCoords[static_cast<std::size_t>(i)];
        mesh.setTVert(i, t.u, 1.0f - t.v, 0.0f); // back to the host's upward v axis
    }

    mesh.setNumVertCol(colorCount);
    if (colorCount > 0) {
        mesh.setMapSupport(0, TRUE);
        mesh.setMapSupport(2, TRUE);
        mesh.setNumMapVerts(0, colorCount);
        mesh.setNumMapVerts(2, colorCount);
        for (int i = 0; i < colorCount; ++i) {
            const SnapshotColor& c = s.colors[static_cast<std::size_t>(i)];
            mesh.mapVerts(0)[i] = Point3(c.r, c.g, c.b); // also the vertex colours
            mesh.mapVerts(2)[i] = Point3(c.a, c.a, c.a); // alpha as grey
        }
    }

    mesh.setNumFaces(keptCount);
    if (texCoordCount > 0) mesh.setNumTVFaces(keptCount);
    if (colorCount > 0) {
        mesh.setNumVCFaces(keptCount);
        mesh.setNumMapFaces(0, keptCount);
        mesh.setNumMapFaces(2, keptCount);
    }

    const bool hasMaterials = !s.materials.empty();
    for (int j = 0; j < keptCount; ++j) {
        const std::size_t k = keptFaces[static_cast<std::size_t>(j)];
        Face& face = mesh.faces[j];
        const auto& corners = s.faces[k].indices;
        face.setVerts(static_cast<int>(corners[0]), static_cast<int>(corners[1]),
                      static_cast<int>(corners[2]));
        // A face whose first corner shares its normal with another corner is flat; faces the
        // normal list does not reach get no smoothing group either.
        if (k < s.normalFaces.size()) {
            const auto& normals = s.normalFaces[k].indices;
            if (normals[0] != normals[1] && normals[0] != normals[2]) face.setSmGroup(1);
        }
        if (texCoordCount > 0) mesh.tvFace[j] = toTVFace(s.texCoordFaces[k]);
        if (colorCount > 0) {
            mesh.mapFaces(0)[j] = toTVFace(s.colorFaces[k]);
            mesh.mapFaces(2)[j] = toTVFace(s.colorFaces[k]);
        }
        if (hasMaterials) {
            std::int32_t id = 0;
            if (k < s.faceMaterials.size())
                id = s.faceMaterials[k];
            else if (!s.faceMaterials.empty())
                id = s.faceMaterials.back();
            face.setMatID(static_cast<MtlID>(static_cast<std::uint32_t>(id) & 0xFFFFu));
        }
    }
}
