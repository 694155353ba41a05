// Mesh: the triangle mesh of a TriObject, in the host's storage. Vertices and faces, map channels
// (channel 0 vertex colours, channel 1 texture coordinates, 2..99 further channels, -1 and -2
// hidden), and the render normals that buildNormals derives from the smoothing groups.
#pragma once

#include <vector>

#include "maxtypes.h"
#include "point3.h"

typedef Point3 UVVert;
typedef Point3 VertColor;

#define EDGE_A 1
#define EDGE_B 2
#define EDGE_C 4
#define EDGE_ALL 7
#define FACE_HIDDEN 8
#define HAS_TVERTS 16
#define FACE_WORK 32
#define FACE_MATID_SHIFT 16
#define FACE_MATID_MASK 0xFFFF

#define EDGE_INVIS 0
#define EDGE_VIS 1

#define MAX_MESHMAPS 100
#define NUM_HIDDENMAPS 2
#define MAP_SHADING -1
#define MAP_ALPHA -2

// Render vertex flags: the low byte counts the vertex's normals; SPECIFIED_NORMAL marks an
// explicit normal that replaces the smoothing-group ones.
#define NORCT_MASK 0xff
#define SPECIFIED_NORMAL 0x4000

// A triangle: three vertex indices (counter-clockwise seen from the front), smoothing-group bits
// (0 = not smoothed) and a flags word with edge visibility in its low bits and the material id
// in its upper 16 bits.
class Face {
public:
    DWORD v[3];
    DWORD smGroup = 0;
    DWORD flags = 0;

    Face() : v{0, 0, 0} {}
    void setVerts(int a, int b, int c) {
        v[0] = DWORD(a);
        v[1] = DWORD(b);
        v[2] = DWORD(c);
    }
    void setVerts(const DWORD* vrt) {
        v[0] = vrt[0];
        v[1] = vrt[1];
        v[2] = vrt[2];
    }
    DWORD getVert(int index) const { return v[index]; }
    DWORD* getAllVerts() { return v; }
    void setSmGroup(DWORD i) { smGroup = i; }
    DWORD getSmGroup() const { return smGroup; }
    void setMatID(MtlID id) { flags = (flags & 0xFFFF) | (DWORD(id) << FACE_MATID_SHIFT); }
    MtlID getMatID() const { return MtlID((flags >> FACE_MATID_SHIFT) & FACE_MATID_MASK); }
    void setEdgeVis(int edge, int visFlag);
    void setEdgeVisFlags(int va, int vb, int vc);
    int getEdgeVis(int edge) const { return (flags & (DWORD(1) << edge)) != 0; }
    void Hide() { flags |= FACE_HIDDEN; }
    void Show() { flags &= ~DWORD(FACE_HIDDEN); }
    int Hidden() const { return (flags & FACE_HIDDEN) != 0; }
};

// A map face: for each corner, the index of its vertex in the channel's own vertex list.
class TVFace {
public:
    DWORD t[3];
    TVFace() : t{0, 0, 0} {}
    TVFace(DWORD a, DWORD b, DWORD c) : t{a, b, c} {}
    void setTVerts(int a, int b, int c) {
        t[0] = DWORD(a);
        t[1] = DWORD(b);
        t[2] = DWORD(c);
    }
    DWORD getTVert(int index) const { return t[index]; }
};

// One render normal of a vertex: the unit normal, the smoothing groups merged into it and the
// material id of its faces.
class RNormal {
public:
    RNormal() : normal(0.0f, 0.0f, 0.0f) {}
    Point3& getNormal() { return normal; }
    const Point3& getNormal() const { return normal; }
    void setNormal(const Point3& n) { normal = n; }
    DWORD getSmGroup() const { return smGroup; }
    void setSmGroup(DWORD g) { smGroup = g; }
    MtlID getMtlIndex() const { return mtlIndex; }
    void setMtlIndex(MtlID id) { mtlIndex = id; }

private:
    Point3 normal;
    DWORD smGroup = 0;
    MtlID mtlIndex = 0;
};

// A render vertex: `rFlags & NORCT_MASK` normals. With one (or a specified one) it is `rn`; with
// more they are `ern[0..count-1]`, owned by the mesh.
class RVertex {
public:
    DWORD rFlags = 0;
    RNormal rn;
    RNormal* ern = nullptr;
};

// One map channel: its vertices and one map face per mesh face. A channel is supported while it
// has its face array.
class MeshMap {
public:
    std::vector<UVVert> tv;
    std::vector<TVFace> tf;
    bool supported = false;
};

class Mesh {
public:
    Mesh();
    Mesh(const Mesh& other);
    Mesh& operator=(const Mesh& other);
    ~Mesh() = default;

    // Geometry. The pointers stay valid until the next call that resizes the array.
    int numVerts = 0;
    Point3* verts = nullptr;
    int numFaces = 0;
    Face* faces = nullptr;
    // Map channel 1 (texture coordinates) and 0 (vertex colours) under their old names; they
    // are the same storage as mapVerts(1)/mapFaces(1) and mapVerts(0)/mapFaces(0).
    int numTVerts = 0;
    UVVert* tVerts = nullptr;
    TVFace* tvFace = nullptr;
    int numCVerts = 0;
    VertColor* vertCol = nullptr;
    TVFace* vcFace = nullptr;

    // Resizing. With `keep` the existing entries stay (new ones are zero), otherwise everything
    // goes. The face arrays of supported map channels follow setNumFaces. A negative count
    // fails (FALSE) and changes nothing.
    BOOL setNumVerts(int ct, BOOL keep = FALSE, BOOL synchSel = TRUE);
    int getNumVerts() const { return numVerts; }
    BOOL setNumFaces(int ct, BOOL keep = FALSE, BOOL synchSel = TRUE);
    int getNumFaces() const { return numFaces; }
    void setVert(int i, const Point3& xyz) { verts[i] = xyz; }
    void setVert(int i, float x, float y, float z) { verts[i] = Point3(x, y, z); }
    Point3& getVert(int i) { return verts[i]; }
    Point3* getVertPtr(int i) { return verts + i; }

    // Channel 1 and channel 0 under their old names.
    BOOL setNumTVerts(int ct, BOOL keep = FALSE);
    int getNumTVerts() const { return numTVerts; }
    BOOL setNumTVFaces(int ct, BOOL keep = FALSE, int oldCt = 0);
    void setTVert(int i, const UVVert& xyz) { tVerts[i] = xyz; }
    void setTVert(int i, float x, float y, float z) { tVerts[i] = UVVert(x, y, z); }
    UVVert& getTVert(int i) { return tVerts[i]; }
    BOOL setNumVertCol(int ct, BOOL keep = FALSE);
    int getNumVertCol() const { return numCVerts; }
    BOOL setNumVCFaces(int ct, BOOL keep = FALSE, int oldCt = 0);

    // Map channels, `mp` from -NUM_HIDDENMAPS to MAX_MESHMAPS-1. Calls with a channel outside
    // that range do nothing (queries answer 0 or NULL).
    void setNumMaps(int ct, BOOL keep = FALSE);
    int getNumMaps() const { return int(maps.size()); }
    BOOL mapSupport(int mp) const;
    // On: gives the channel numFaces map faces and no vertices. Off: frees both.
    void setMapSupport(int mp, BOOL support = TRUE);
    void setNumMapVerts(int mp, int ct, BOOL keep = FALSE);
    int getNumMapVerts(int mp) const;
    void setNumMapFaces(int mp, int ct, BOOL keep = FALSE, int oldCt = 0);
    int getNumMapFaces(int mp) const;
    UVVert* mapVerts(int mp);
    TVFace* mapFaces(int mp);
    void setMapVert(int mp, int i, const UVVert& xyz);
    MeshMap& Map(int mp);

    // Normals. buildNormals computes the face normals and the render vertices; call it after
    // building or changing the mesh. Render normals are averaged over faces that share a
    // smoothing group and a material id, each face weighted by its area; a vertex of group-0
    // faces only has no normal (count 0).
    void buildNormals();
    // As buildNormals, without the material-id condition.
    void buildRenderNormals();
    void buildFaceNormals();
    Point3& getFaceNormal(int i) { return faceNormals[size_t(i)]; }
    void setFaceNormal(int i, const Point3& xyz) { faceNormals[size_t(i)] = xyz; }
    RVertex& getRVert(int i) { return rVerts[size_t(i)]; }
    RVertex* getRVertPtr(int i) { return &rVerts[size_t(i)]; }
    // Render normal of a vertex with a single normal.
    Point3& getNormal(int i) { return rVerts[size_t(i)].rn.getNormal(); }

    void FreeAll();
    // Axis-aligned bounds of the vertices (both zero for an empty mesh).
    void getBounds(Point3& minCorner, Point3& maxCorner) const;

private:
    friend class hostcore::detail::CoreAccess;
    static bool isChannel(int mp);
    const MeshMap* findMap(int mp) const; // NULL for a channel not held
    void syncMembers();
    void resizeFacesOfSupportedMaps(int ct, BOOL keep);
    void buildNormalsImpl(bool splitByMaterial);

    std::vector<Point3> vertStore;
    std::vector<Face> faceStore;
    std::vector<MeshMap> maps;          // channels 0.. ; at least 2
    MeshMap hiddenMaps[NUM_HIDDENMAPS]; // MAP_SHADING, MAP_ALPHA
    std::vector<Point3> faceNormals;
    std::vector<RVertex> rVerts;
    std::vector<RNormal> extraNormals; // storage behind RVertex::ern
    std::vector<unsigned char> specifiedFlags;
    std::vector<Point3> specifiedNormals;
};
