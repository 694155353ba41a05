#include "capture/MaterialCapture.h"
#include "capture/ModifierSwitch.h"
#include "capture/SceneCapture.h"
#include "capture/StreamWelding.h"

#include "imtl.h"
#include "inode.h"
#include "triobj.h"

#include <algorithm>

namespace {

// The triangle object of an evaluated pipeline. A conversion that made a new object leaves it to
// its caller, so this deletes it again, also when the capture throws.
class TriangleObjectOf {
public:
    explicit TriangleObjectOf(Object* evaluated) : evaluated_(evaluated) {
        if (!evaluated || !evaluated->CanConvertToType(triObjectClassID)) return;
        Object* converted = evaluated->ConvertToType(0, triObjectClassID);
        if (!converted) return;
        if (converted->ClassID() == triObjectClassID) {
            triObject_ = static_cast<TriObject*>(converted);
        } else if (converted != evaluated) {
            converted->DeleteMe(); // not what was asked for: no mesh, and nothing left behind
        }
    }
    ~TriangleObjectOf() {
        if (triObject_ && triObject_ != evaluated_) triObject_->DeleteMe();
    }
    TriangleObjectOf(const TriangleObjectOf&) = delete;
    TriangleObjectOf& operator=(const TriangleObjectOf&) = delete;

    TriObject* get() const { return triObject_; }

private:
    Object* evaluated_;
    TriObject* triObject_ = nullptr;
};

// The render normal of one corner, as the host's renderer picks it after buildNormals: an
// explicit normal, the vertex' only normal, the one among several that shares a smoothing group
// with the face, or else the face normal.
Point3 cornerNormal(Mesh& mesh, int face, int corner) {
    RVertex& render = mesh.getRVert(int(mesh.faces[face].v[corner]));
    if (render.rFlags & SPECIFIED_NORMAL) return render.rn.getNormal();
    const int normalCount = int(render.rFlags & NORCT_MASK);
    const DWORD groups = mesh.faces[face].smGroup;
    if (normalCount == 0 || groups == 0) return mesh.getFaceNormal(face);
    if (normalCount == 1) return render.rn.getNormal();
    if (render.ern)
        for (int k = 0; k < normalCount; ++k)
            if (render.ern[k].getSmGroup() & groups) return render.ern[k].getNormal();
    return mesh.getFaceNormal(face);
}

// Whether every corner of every face names a vertex of the list it indexes.
bool faceIndicesFit(const TVFace* faces, int faceCount, int vertexCount) {
    if (!faces) return false;
    for (int f = 0; f < faceCount; ++f)
        for (DWORD index : faces[f].t)
            if (index >= DWORD(vertexCount)) return false;
    return true;
}

bool geometryFits(const Mesh& mesh) {
    if (mesh.numFaces < 0 || mesh.numVerts < 0) return false;
    if (mesh.numFaces > 0 && (!mesh.faces || !mesh.verts)) return false;
    for (int f = 0; f < mesh.numFaces; ++f)
        for (DWORD index : mesh.faces[f].v)
            if (index >= DWORD(mesh.numVerts)) return false;
    return true;
}

// A map channel the mesh carries in full: one map face per face, every index in range. A
// channel outside the mesh's range, or one it does not carry, counts as absent.
bool hasMapChannel(Mesh& mesh, std::int32_t channel) {
    if (channel < 0 || channel >= mesh.getNumMaps() || !mesh.mapSupport(channel)) return false;
    if (mesh.getNumMapFaces(channel) < mesh.numFaces) return false;
    return faceIndicesFit(mesh.mapFaces(channel), mesh.numFaces, mesh.getNumMapVerts(channel));
}

SnapshotTriangle cornersOf(const DWORD (&indices)[3]) {
    return SnapshotTriangle{
        {std::uint32_t(indices[0]), std::uint32_t(indices[1]), std::uint32_t(indices[2])}};
}

SnapshotTriangle ownCorners(int face) {
    const auto first = std::uint32_t(face) * 3;
    return SnapshotTriangle{{first, first + 1, first + 2}};
}

// Corner colours drawn from a material: its diffuse and opacity vertex-colour channels when the
// mesh carries them, its own diffuse colour and opacity otherwise.
class MaterialCornerColors {
public:
    MaterialCornerColors(Mesh& mesh, const SnapshotMaterial& material)
        : material_(material), diffuseMap_(channelOf(mesh, material.diffuseColorChannel)),
          opacityMap_(channelOf(mesh, material.opacityColorChannel)) {}

    void append(int face, std::vector<SnapshotColor>& colors) const {
        for (int k = 0; k < 3; ++k) {
            SnapshotColor color = material_.diffuse;
            if (diffuseMap_.values) {
                const UVVert& value = diffuseMap_.at(face, k);
                color.r = value.x;
                color.g = value.y;
                color.b = value.z;
            }
            if (opacityMap_.values) {
                const UVVert& value = opacityMap_.at(face, k);
                color.a = (value.z + value.y + value.x) * 0.33333334f;
            }
            colors.push_back(color);
        }
    }

private:
    struct Channel {
        const UVVert* values = nullptr; // null: the mesh does not carry the channel
        const TVFace* faces = nullptr;
        const UVVert& at(int face, int corner) const { return values[faces[face].t[corner]]; }
    };
    static Channel channelOf(Mesh& mesh, std::int32_t channel) {
        if (!hasMapChannel(mesh, channel)) return {};
        return {mesh.mapVerts(channel), mesh.mapFaces(channel)};
    }

    SnapshotMaterial material_;
    Channel diffuseMap_;
    Channel opacityMap_;
};

} // namespace

void SceneCapture::captureMesh(INode* node, SnapshotMesh& mesh) const {
    mesh = SnapshotMesh();
    if (!node->Renderable() || node->GetVisibility(0) == 0.0f) return;

    // Declared before the triangle object, so a converted object is deleted before the
    // deformers are switched back on (which invalidates the pipeline's result).
    SkinDeformersOff deformersOff(node);
    const Matrix3 vertexMatrix = node->GetObjectTM(0) * Inverse(node->GetNodeTM(0));
    Matrix3 normalMatrix = vertexMatrix;
    normalMatrix.NoTrans();

    const ObjectState& state = node->EvalWorldState(0, TRUE);
    TriangleObjectOf triangles(state.obj);
    if (!triangles.get()) return;
    Mesh& source = triangles.get()->GetMesh();
    if (!geometryFits(source)) return;
    source.buildNormals();

    const int faceCount = source.numFaces;
    const int vertexCount = source.numVerts;
    const bool hasTexCoords = source.numTVerts > 0 && source.tVerts &&
                              faceIndicesFit(source.tvFace, faceCount, source.numTVerts);
    Mtl* mtl = node->GetMtl();
    const bool multi = mtl && mtl->NumSubMtls() > 0;
    captureMaterials(node, mesh.materials);
    const bool materialColors =
        std::any_of(mesh.materials.begin(), mesh.materials.end(), [](const SnapshotMaterial& m) {
            return m.diffuseColorChannel != -1 || m.opacityColorChannel != -1;
        });
    const bool hasMeshColors = !materialColors && source.numCVerts > 0 && source.vertCol &&
                               faceIndicesFit(source.vcFace, faceCount, source.numCVerts);

    mesh.positions.reserve(std::size_t(vertexCount));
    for (int i = 0; i < vertexCount; ++i)
        mesh.positions.push_back(source.verts[i] * vertexMatrix);
    if (hasTexCoords) {
        mesh.texCoords.reserve(std::size_t(source.numTVerts));
        for (int i = 0; i < source.numTVerts; ++i)
            mesh.texCoords.push_back(
                SnapshotTexCoord{source.tVerts[i].x, 1.0f - source.tVerts[i].y});
    }
    if (hasMeshColors) {
        mesh.colors.reserve(std::size_t(source.numCVerts));
        for (int i = 0; i < source.numCVerts; ++i) {
            const VertColor& c = source.vertCol[i];
            mesh.colors.push_back(SnapshotColor{c.x, c.y, c.z, 1.0f});
        }
    }

    const auto faces = std::size_t(faceCount);
    mesh.faces.reserve(faces);
    mesh.normalFaces.reserve(faces);
    mesh.faceMaterials.reserve(faces);
    mesh.normals.reserve(faces * 3);
    if (hasTexCoords) mesh.texCoordFaces.reserve(faces);
    if (hasMeshColors || materialColors) mesh.colorFaces.reserve(faces);
    if (materialColors) mesh.colors.reserve(faces * 3);
    std::vector<MaterialCornerColors> cornerColors;
    if (materialColors)
        for (const SnapshotMaterial& material : mesh.materials)
            cornerColors.emplace_back(source, material);
    for (int f = 0; f < faceCount; ++f) {
        const Face& face = source.faces[f];
        mesh.faces.push_back(cornersOf(face.v));
        for (int k = 0; k < 3; ++k)
            mesh.normals.push_back(
                Normalize(VectorTransform(cornerNormal(source, f, k), normalMatrix)));
        mesh.normalFaces.push_back(ownCorners(f));
        if (hasTexCoords) mesh.texCoordFaces.push_back(cornersOf(source.tvFace[f].t));
        if (hasMeshColors) mesh.colorFaces.push_back(cornersOf(source.vcFace[f].t));

        const std::int32_t materialId = multi ? std::int32_t(face.getMatID()) : 0;
        mesh.faceMaterials.push_back(materialId);
        if (materialColors) {
            mesh.colorFaces.push_back(ownCorners(f));
            // Ids beyond the materials wrap, as the host renders such faces.
            cornerColors[std::size_t(materialId) % cornerColors.size()].append(f, mesh.colors);
        }
    }

    captureSkin(node, mesh);

    weldPositions(mesh);
    weldStream(mesh.normals, mesh.normalFaces);
    weldStream(mesh.texCoords, mesh.texCoordFaces);
    weldStream(mesh.colors, mesh.colorFaces);
}
