// Render normals from smoothing groups. Around each vertex, faces are taken in face order; a
// face joins the first normal of that vertex whose accumulated groups share a bit with its own
// (and, for buildNormals, whose material id is its own), otherwise it starts a new normal. A
// normal is the sum of its faces' unnormalised cross products, so larger faces weigh more.
#include <cmath>

#include "CoreAccess.h"
#include "hostcore.h"
#include "mesh.h"

namespace {

Point3 unitOrZero(const Point3& v) {
    float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    if (!(length > 0.0f) || !std::isfinite(length)) return Point3(0.0f, 0.0f, 0.0f);
    return Point3(v.x / length, v.y / length, v.z / length);
}

Point3 cross(const Point3& a, const Point3& b) {
    return Point3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

// One normal under construction; the normals of a vertex form a list through `next`.
struct Accumulator {
    Point3 sum;
    DWORD groups;
    MtlID materialId;
    int next;
};

constexpr int kMaxNormalsPerVertex = NORCT_MASK;

} // namespace

void Mesh::buildFaceNormals() {
    faceNormals.assign(size_t(numFaces), Point3(0.0f, 0.0f, 0.0f));
    for (int f = 0; f < numFaces; ++f) {
        const Face& face = faces[f];
        if (face.v[0] >= DWORD(numVerts) || face.v[1] >= DWORD(numVerts) ||
            face.v[2] >= DWORD(numVerts))
            continue; // a broken face has no direction
        const Point3& a = verts[face.v[0]];
        const Point3& b = verts[face.v[1]];
        const Point3& c = verts[face.v[2]];
        faceNormals[size_t(f)] = unitOrZero(cross(b - a, c - b));
    }
}

void Mesh::buildNormals() {
    buildNormalsImpl(true);
}

void Mesh::buildRenderNormals() {
    buildNormalsImpl(false);
}

void Mesh::buildNormalsImpl(bool splitByMaterial) {
    buildFaceNormals();

    std::vector<int> firstOfVertex(size_t(numVerts), -1);
    std::vector<int> countOfVertex(size_t(numVerts), 0);
    std::vector<Accumulator> pool;
    pool.reserve(size_t(numVerts) + size_t(numVerts) / 2);

    for (int f = 0; f < numFaces; ++f) {
        const Face& face = faces[f];
        if (face.smGroup == 0) continue;
        if (face.v[0] >= DWORD(numVerts) || face.v[1] >= DWORD(numVerts) ||
            face.v[2] >= DWORD(numVerts))
            continue;
        const Point3& a = verts[face.v[0]];
        const Point3& b = verts[face.v[1]];
        const Point3& c = verts[face.v[2]];
        Point3 weighted = cross(b - a, c - b); // length = twice the area
        MtlID materialId = face.getMatID();
        for (int corner = 0; corner < 3; ++corner) {
            size_t v = face.v[corner];
            int joined = -1, last = -1;
            for (int k = firstOfVertex[v]; k >= 0; k = pool[size_t(k)].next) {
                const Accumulator& candidate = pool[size_t(k)];
                last = k;
                if ((candidate.groups & face.smGroup) &&
                    (!splitByMaterial || candidate.materialId == materialId)) {
                    joined = k;
                    break;
                }
            }
            if (joined < 0 && countOfVertex[v] >= kMaxNormalsPerVertex) joined = last;
            if (joined >= 0) {
                Accumulator& target = pool[size_t(joined)];
                target.sum = target.sum + weighted;
                target.groups |= face.smGroup;
                continue;
            }
            pool.push_back({weighted, face.smGroup, materialId, -1});
            int added = int(pool.size()) - 1;
            if (last >= 0)
                pool[size_t(last)].next = added;
            else
                firstOfVertex[v] = added;
            ++countOfVertex[v];
        }
    }

    rVerts.assign(size_t(numVerts), RVertex());
    size_t extraCount = 0;
    for (int v = 0; v < numVerts; ++v)
        if (countOfVertex[size_t(v)] > 1) extraCount += size_t(countOfVertex[size_t(v)]);
    extraNormals.assign(extraCount, RNormal());

    size_t nextExtra = 0;
    for (int v = 0; v < numVerts; ++v) {
        RVertex& rv = rVerts[size_t(v)];
        if (specifiedFlags[size_t(v)]) {
            rv.rFlags = SPECIFIED_NORMAL | 1;
            rv.rn.setNormal(specifiedNormals[size_t(v)]);
            continue;
        }
        int count = countOfVertex[size_t(v)];
        rv.rFlags = DWORD(count);
        if (count == 0) continue;
        RNormal* target = &rv.rn;
        if (count > 1) {
            rv.ern = &extraNormals[nextExtra];
            nextExtra += size_t(count);
            target = rv.ern;
        }
        for (int k = firstOfVertex[size_t(v)]; k >= 0; k = pool[size_t(k)].next, ++target) {
            const Accumulator& acc = pool[size_t(k)];
            target->setNormal(unitOrZero(acc.sum));
            target->setSmGroup(acc.groups);
            target->setMtlIndex(acc.materialId);
        }
        if (count > 1) rv.rn = rv.ern[0];
    }
}

namespace hostcore {

void setSpecifiedNormal(Mesh& mesh, int i, const Point3& normal) {
    if (i < 0 || i >= mesh.numVerts) return;
    detail::CoreAccess::specifiedFlags(mesh)[size_t(i)] = 1;
    detail::CoreAccess::specifiedNormals(mesh)[size_t(i)] = unitOrZero(normal);
}

void clearSpecifiedNormal(Mesh& mesh, int i) {
    if (i >= 0 && i < mesh.numVerts) detail::CoreAccess::specifiedFlags(mesh)[size_t(i)] = 0;
}

void clearSpecifiedNormals(Mesh& mesh) {
    detail::CoreAccess::specifiedFlags(mesh).assign(size_t(mesh.numVerts), 0);
}

bool hasSpecifiedNormal(const Mesh& mesh, int i) {
    return i >= 0 && i < mesh.numVerts && detail::CoreAccess::specifiedFlags(mesh)[size_t(i)] != 0;
}

} // namespace hostcore
