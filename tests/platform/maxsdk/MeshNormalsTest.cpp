#include <cmath>

#include "HostTestSupport.h"
#include "mesh.h"

namespace {

// A unit cube, 8 shared corners, two triangles per side. Side s gets smoothing group `groupOf(s)`.
template <class GroupOf> void buildCube(Mesh& mesh, GroupOf groupOf) {
    mesh.setNumVerts(8);
    for (int i = 0; i < 8; ++i)
        mesh.setVert(i, float(i & 1), float((i >> 1) & 1), float((i >> 2) & 1));
    // Corners counter-clockwise seen from outside.
    const int sides[6][4] = {{0, 2, 3, 1}, {4, 5, 7, 6}, {0, 1, 5, 4},
                             {2, 6, 7, 3}, {0, 4, 6, 2}, {1, 3, 7, 5}};
    mesh.setNumFaces(12);
    for (int s = 0; s < 6; ++s) {
        const int* q = sides[s];
        mesh.faces[2 * s].setVerts(q[0], q[1], q[2]);
        mesh.faces[2 * s + 1].setVerts(q[0], q[2], q[3]);
        mesh.faces[2 * s].setSmGroup(groupOf(s));
        mesh.faces[2 * s + 1].setSmGroup(groupOf(s));
    }
}

// Render normal of corner k of face f, read the way the exporter reads it.
Point3 cornerNormal(Mesh& mesh, int f, int k) {
    RVertex& rv = mesh.getRVert(int(mesh.faces[f].v[k]));
    DWORD count = rv.rFlags & NORCT_MASK;
    DWORD groups = mesh.faces[f].smGroup;
    if (rv.rFlags & SPECIFIED_NORMAL) return rv.rn.getNormal();
    if (count == 0 || groups == 0) return mesh.getFaceNormal(f);
    if (count == 1) return rv.rn.getNormal();
    for (DWORD i = 0; i < count; ++i)
        if (rv.ern[i].getSmGroup() & groups) return rv.ern[i].getNormal();
    return mesh.getFaceNormal(f);
}

TEST(MeshNormalsTest, CubeWithOneGroupPerSideHasThreeFlatNormalsPerCorner) {
    Mesh mesh;
    buildCube(mesh, [](int side) { return DWORD(1) << side; });
    mesh.buildNormals();
    EXPECT_TRUE(pointNear(mesh.getFaceNormal(0), Point3(0.0f, 0.0f, -1.0f))); // bottom side
    EXPECT_TRUE(pointNear(mesh.getFaceNormal(2), Point3(0.0f, 0.0f, 1.0f)));
    for (int v = 0; v < 8; ++v)
        EXPECT_EQ(mesh.getRVert(v).rFlags & NORCT_MASK, 3u) << "corner " << v;
    // Every corner of every face gets its side's own normal.
    for (int f = 0; f < 12; ++f)
        for (int k = 0; k < 3; ++k)
            EXPECT_TRUE(pointNear(cornerNormal(mesh, f, k), mesh.getFaceNormal(f)));
}

TEST(MeshNormalsTest, OneGroupOverAClosedShapeGivesOneSharedSmoothNormal) {
    Mesh mesh;
    buildCube(mesh, [](int) { return DWORD(1); });
    mesh.buildNormals();
    const float third = 1.0f / std::sqrt(3.0f);
    for (int v = 0; v < 8; ++v) {
        ASSERT_EQ(mesh.getRVert(v).rFlags & NORCT_MASK, 1u);
        // Each corner touches three sides; its normal points away from the centre.
        Point3 outward((v & 1) ? third : -third, ((v >> 1) & 1) ? third : -third,
                       ((v >> 2) & 1) ? third : -third);
        const Point3& n = mesh.getNormal(v);
        EXPECT_NEAR(n.x * n.x + n.y * n.y + n.z * n.z, 1.0f, 1e-5f);
        EXPECT_GT(n.x * outward.x + n.y * outward.y + n.z * outward.z, 0.9f) << "corner " << v;
    }
}

TEST(MeshNormalsTest, SmoothNormalsOfAnOctahedronPointAlongTheAxes) {
    Mesh mesh;
    mesh.setNumVerts(6);
    const Point3 axes[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
    for (int i = 0; i < 6; ++i)
        mesh.setVert(i, axes[i]);
    const int faces[8][3] = {{0, 2, 4}, {2, 1, 4}, {1, 3, 4}, {3, 0, 4},
                             {2, 0, 5}, {1, 2, 5}, {3, 1, 5}, {0, 3, 5}};
    mesh.setNumFaces(8);
    for (int f = 0; f < 8; ++f) {
        mesh.faces[f].setVerts(faces[f][0], faces[f][1], faces[f][2]);
        mesh.faces[f].setSmGroup(1);
    }
    mesh.buildNormals();
    for (int v = 0; v < 6; ++v) {
        EXPECT_EQ(mesh.getRVert(v).rFlags & NORCT_MASK, 1u);
        EXPECT_TRUE(pointNear(mesh.getNormal(v), axes[v])) << "vertex " << v;
    }
}

TEST(MeshNormalsTest, LargerFacesWeighMore) {
    Mesh mesh;
    mesh.setNumVerts(5);
    mesh.setVert(0, 0, 0, 0);
    mesh.setVert(1, 2, 0, 0);
    mesh.setVert(2, 0, 2, 0); // face 0: area 2, facing +Z
    mesh.setVert(3, 0, 0, 1);
    mesh.setVert(4, 1, 0, 0); // face 1: area 1/2, facing +Y
    mesh.setNumFaces(2);
    mesh.faces[0].setVerts(0, 1, 2);
    mesh.faces[1].setVerts(0, 3, 4);
    mesh.faces[0].setSmGroup(1);
    mesh.faces[1].setSmGroup(1);
    mesh.buildNormals();
    const float length = std::sqrt(17.0f); // weights 4 and 1 (twice the areas)
    EXPECT_TRUE(pointNear(mesh.getNormal(0), Point3(0.0f, 1.0f / length, 4.0f / length)));
}

TEST(MeshNormalsTest, GroupZeroMaterialSplitsAndSpecifiedNormals) {
    Mesh mesh;
    mesh.setNumVerts(4);
    mesh.setVert(0, 0, 0, 0);
    mesh.setVert(1, 1, 0, 0);
    mesh.setVert(2, 1, 1, 0);
    mesh.setVert(3, 0, 1, 0);
    mesh.setNumFaces(2);
    mesh.faces[0].setVerts(0, 1, 2);
    mesh.faces[1].setVerts(0, 2, 3);

    mesh.buildNormals(); // both faces in no group
    for (int v = 0; v < 4; ++v)
        EXPECT_EQ(mesh.getRVert(v).rFlags & NORCT_MASK, 0u);
    EXPECT_TRUE(pointNear(cornerNormal(mesh, 1, 0), Point3(0.0f, 0.0f, 1.0f)));

    mesh.faces[0].setSmGroup(2);
    mesh.faces[1].setSmGroup(2);
    mesh.faces[1].setMatID(1); // same group, other material: kept apart
    mesh.buildNormals();
    EXPECT_EQ(mesh.getRVert(0).rFlags & NORCT_MASK, 2u);
    EXPECT_EQ(mesh.getRVert(1).rFlags & NORCT_MASK, 1u);
    mesh.buildRenderNormals(); // without the material condition they merge
    EXPECT_EQ(mesh.getRVert(0).rFlags & NORCT_MASK, 1u);

    hostcore::setSpecifiedNormal(mesh, 2, Point3(0.0f, 3.0f, 4.0f));
    mesh.buildNormals();
    EXPECT_EQ(mesh.getRVert(2).rFlags, DWORD(SPECIFIED_NORMAL | 1));
    EXPECT_TRUE(pointNear(cornerNormal(mesh, 0, 2), Point3(0.0f, 0.6f, 0.8f)));
    EXPECT_FALSE(mesh.getRVert(1).rFlags & SPECIFIED_NORMAL);
}

TEST(MeshNormalsTest, OldChannelNamesAreTheMapChannels) {
    Mesh mesh;
    mesh.setNumVerts(3);
    mesh.setNumFaces(1);
    EXPECT_FALSE(mesh.mapSupport(1)); // a new mesh has no texture faces
    EXPECT_GE(mesh.getNumMaps(), 2);

    mesh.setNumTVerts(2);
    mesh.setNumTVFaces(1);
    mesh.tVerts[1] = UVVert(0.25f, 0.5f, 0.0f);
    mesh.tvFace[0].setTVerts(1, 0, 1);
    EXPECT_TRUE(mesh.mapSupport(1));
    EXPECT_TRUE(pointNear(mesh.mapVerts(1)[1], Point3(0.25f, 0.5f, 0.0f)));
    EXPECT_EQ(mesh.mapFaces(1)[0].t[0], 1u);

    mesh.setMapSupport(0);
    mesh.setNumMapVerts(0, 3);
    mesh.mapVerts(0)[2] = VertColor(1.0f, 0.5f, 0.0f);
    EXPECT_EQ(mesh.numCVerts, 3);
    EXPECT_TRUE(pointNear(mesh.vertCol[2], Point3(1.0f, 0.5f, 0.0f)));
    EXPECT_NE(mesh.vcFace, nullptr);

    mesh.setMapSupport(5); // faces for every mesh face, no vertices
    EXPECT_TRUE(mesh.mapSupport(5));
    EXPECT_EQ(mesh.getNumMapFaces(5), 1);
    EXPECT_EQ(mesh.getNumMapVerts(5), 0);
    EXPECT_GE(mesh.getNumMaps(), 6);

    mesh.setNumFaces(4, TRUE); // supported channels follow the face count
    EXPECT_EQ(mesh.getNumMapFaces(1), 4);
    EXPECT_EQ(mesh.getNumMapFaces(5), 4);
    EXPECT_EQ(mesh.tvFace[0].t[0], 1u);

    mesh.setMapSupport(5, FALSE);
    EXPECT_FALSE(mesh.mapSupport(5));
    EXPECT_EQ(mesh.mapVerts(MAX_MESHMAPS), nullptr); // out of range: nothing
    EXPECT_FALSE(mesh.mapSupport(-3));
    EXPECT_FALSE(mesh.setNumVerts(-1));
    EXPECT_EQ(mesh.getNumVerts(), 3);
}

TEST(MeshNormalsTest, FaceMaterialIdsAndEdgesShareTheFlagsWord) {
    Face face;
    face.setEdgeVisFlags(EDGE_VIS, EDGE_INVIS, EDGE_VIS);
    face.setMatID(MtlID(65537)); // 16 bits: 1
    EXPECT_EQ(face.getMatID(), 1);
    EXPECT_EQ(face.flags, (DWORD(1) << 16) | EDGE_A | EDGE_C);
    face.setMatID(7);
    EXPECT_EQ(face.flags & 0xFFFF, DWORD(EDGE_A | EDGE_C));
}

} // namespace
