#include "mesh.h"

#include <algorithm>

void Face::setEdgeVis(int edge, int visFlag) {
    if (edge < 0 || edge > 2) return;
    DWORD bit = DWORD(1) << edge;
    flags = visFlag ? (flags | bit) : (flags & ~bit);
}

void Face::setEdgeVisFlags(int va, int vb, int vc) {
    setEdgeVis(0, va);
    setEdgeVis(1, vb);
    setEdgeVis(2, vc);
}

Mesh::Mesh() : maps(2) {
    syncMembers();
}

Mesh::Mesh(const Mesh& other)
    : vertStore(other.vertStore), faceStore(other.faceStore), maps(other.maps),
      specifiedFlags(other.specifiedFlags), specifiedNormals(other.specifiedNormals) {
    for (int i = 0; i < NUM_HIDDENMAPS; ++i)
        hiddenMaps[i] = other.hiddenMaps[i];
    syncMembers(); // render normals are not copied: the copy builds its own
}

Mesh& Mesh::operator=(const Mesh& other) {
    if (this == &other) return *this;
    vertStore = other.vertStore;
    faceStore = other.faceStore;
    maps = other.maps;
    for (int i = 0; i < NUM_HIDDENMAPS; ++i)
        hiddenMaps[i] = other.hiddenMaps[i];
    specifiedFlags = other.specifiedFlags;
    specifiedNormals = other.specifiedNormals;
    faceNormals.clear();
    rVerts.clear();
    extraNormals.clear();
    syncMembers();
    return *this;
}

// The public members are views of the storage; every call that may move it ends here.
void Mesh::syncMembers() {
    numVerts = int(vertStore.size());
    verts = vertStore.empty() ? nullptr : vertStore.data();
    numFaces = int(faceStore.size());
    faces = faceStore.empty() ? nullptr : faceStore.data();
    MeshMap& colours = maps[0];
    numCVerts = int(colours.tv.size());
    vertCol = colours.tv.empty() ? nullptr : colours.tv.data();
    vcFace = colours.tf.empty() ? nullptr : colours.tf.data();
    MeshMap& uvs = maps[1];
    numTVerts = int(uvs.tv.size());
    tVerts = uvs.tv.empty() ? nullptr : uvs.tv.data();
    tvFace = uvs.tf.empty() ? nullptr : uvs.tf.data();
}

template <class T>
static void resizeArray(std::vector<T>& values, int ct, BOOL keep, const T& fresh) {
    if (!keep) values.clear();
    values.resize(size_t(ct), fresh);
}

BOOL Mesh::setNumVerts(int ct, BOOL keep, BOOL) {
    if (ct < 0) return FALSE;
    resizeArray(vertStore, ct, keep, Point3(0.0f, 0.0f, 0.0f));
    resizeArray(specifiedFlags, ct, keep, static_cast<unsigned char>(0));
    resizeArray(specifiedNormals, ct, keep, Point3(0.0f, 0.0f, 0.0f));
    syncMembers();
    return TRUE;
}

BOOL Mesh::setNumFaces(int ct, BOOL keep, BOOL) {
    if (ct < 0) return FALSE;
    resizeArray(faceStore, ct, keep, Face());
    resizeFacesOfSupportedMaps(ct, keep);
    syncMembers();
    return TRUE;
}

void Mesh::resizeFacesOfSupportedMaps(int ct, BOOL keep) {
    for (MeshMap& map : maps)
        if (map.supported) resizeArray(map.tf, ct, keep, TVFace());
    for (MeshMap& map : hiddenMaps)
        if (map.supported) resizeArray(map.tf, ct, keep, TVFace());
}

BOOL Mesh::setNumTVerts(int ct, BOOL keep) {
    if (ct < 0) return FALSE;
    setNumMapVerts(1, ct, keep);
    return TRUE;
}

BOOL Mesh::setNumTVFaces(int ct, BOOL keep, int oldCt) {
    if (ct < 0) return FALSE;
    // As the host does: asked to keep faces that were never made, it makes none.
    if (keep && !maps[1].supported) return TRUE;
    setNumMapFaces(1, ct, keep, oldCt);
    return TRUE;
}

BOOL Mesh::setNumVertCol(int ct, BOOL keep) {
    if (ct < 0) return FALSE;
    setNumMapVerts(0, ct, keep);
    return TRUE;
}

BOOL Mesh::setNumVCFaces(int ct, BOOL keep, int oldCt) {
    if (ct < 0) return FALSE;
    if (keep && !maps[0].supported) return TRUE;
    setNumMapFaces(0, ct, keep, oldCt);
    return TRUE;
}

bool Mesh::isChannel(int mp) {
    return mp >= -NUM_HIDDENMAPS && mp < MAX_MESHMAPS;
}

const MeshMap* Mesh::findMap(int mp) const {
    if (!isChannel(mp)) return nullptr;
    if (mp < 0) return &hiddenMaps[-1 - mp];
    return mp < int(maps.size()) ? &maps[size_t(mp)] : nullptr;
}

MeshMap& Mesh::Map(int mp) {
    if (mp < 0) return hiddenMaps[-1 - std::max(mp, -NUM_HIDDENMAPS)];
    mp = std::min(mp, MAX_MESHMAPS - 1);
    if (mp >= int(maps.size())) {
        maps.resize(size_t(mp) + 1);
        syncMembers();
    }
    return maps[size_t(mp)];
}

void Mesh::setNumMaps(int ct, BOOL keep) {
    ct = std::clamp(ct, 2, MAX_MESHMAPS);
    if (!keep) {
        maps.clear();
        maps.resize(2);
    }
    maps.resize(size_t(ct));
    syncMembers();
}

BOOL Mesh::mapSupport(int mp) const {
    const MeshMap* map = findMap(mp);
    return map && map->supported;
}

void Mesh::setMapSupport(int mp, BOOL support) {
    if (!isChannel(mp) || (support != 0) == (mapSupport(mp) != 0)) return;
    MeshMap& map = Map(mp);
    if (support) {
        map.supported = true;
        map.tf.assign(size_t(numFaces), TVFace());
        map.tv.clear();
    } else {
        map = MeshMap();
    }
    syncMembers();
}

void Mesh::setNumMapVerts(int mp, int ct, BOOL keep) {
    if (ct < 0 || !isChannel(mp)) return;
    resizeArray(Map(mp).tv, ct, keep, UVVert(0.0f, 0.0f, 0.0f));
    syncMembers();
}

int Mesh::getNumMapVerts(int mp) const {
    const MeshMap* map = findMap(mp);
    return map ? int(map->tv.size()) : 0;
}

void Mesh::setNumMapFaces(int mp, int ct, BOOL keep, int) {
    if (ct < 0 || !isChannel(mp)) return;
    MeshMap& map = Map(mp);
    if (ct == 0 && !keep) {
        map.tf.clear();
        map.supported = false;
    } else {
        resizeArray(map.tf, ct, keep, TVFace());
        map.supported = true;
    }
    syncMembers();
}

int Mesh::getNumMapFaces(int mp) const {
    const MeshMap* map = findMap(mp);
    return map ? int(map->tf.size()) : 0;
}

// Vertices may be set before the channel gets its faces (setNumTVerts before setNumTVFaces), so
// a channel's vertices are reachable as soon as it has some.
UVVert* Mesh::mapVerts(int mp) {
    const MeshMap* map = findMap(mp);
    if (!map || map->tv.empty()) return nullptr;
    return const_cast<UVVert*>(map->tv.data());
}

TVFace* Mesh::mapFaces(int mp) {
    const MeshMap* map = findMap(mp);
    if (!map || !map->supported || map->tf.empty()) return nullptr;
    return const_cast<TVFace*>(map->tf.data());
}

void Mesh::setMapVert(int mp, int i, const UVVert& xyz) {
    UVVert* values = mapVerts(mp);
    if (values && i >= 0 && i < getNumMapVerts(mp)) values[i] = xyz;
}

void Mesh::FreeAll() {
    vertStore.clear();
    faceStore.clear();
    maps.clear();
    maps.resize(2);
    for (MeshMap& map : hiddenMaps)
        map = MeshMap();
    faceNormals.clear();
    rVerts.clear();
    extraNormals.clear();
    specifiedFlags.clear();
    specifiedNormals.clear();
    syncMembers();
}

void Mesh::getBounds(Point3& minCorner, Point3& maxCorner) const {
    if (vertStore.empty()) {
        minCorner = maxCorner = Point3(0.0f, 0.0f, 0.0f);
        return;
    }
    minCorner = maxCorner = vertStore[0];
    for (const Point3& p : vertStore) {
        minCorner = Point3(std::min(minCorner.x, p.x), std::min(minCorner.y, p.y),
                           std::min(minCorner.z, p.z));
        maxCorner = Point3(std::max(maxCorner.x, p.x), std::max(maxCorner.y, p.y),
                           std::max(maxCorner.z, p.z));
    }
}
