#include "model/MeshIndexProcessing.h"

#include "model/FirstAppearanceIndex.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace {

using RemapTable = std::vector<std::uint32_t>;

bool facesAreValid(const std::vector<XFace>& faces, std::size_t valueCount) {
    for (const XFace& face : faces) {
        if (face.cornerCount != 3 && face.cornerCount != 4) return false;
        for (std::uint32_t corner = 0; corner < face.cornerCount; ++corner)
            if (face.indices[corner] >= valueCount) return false;
    }
    return true;
}

// A per-corner list must describe the same polygons as faces, corner by corner. `faces` are known
// to index within `positionCount` values.
bool cornerListIsValid(const XFaceList& list, const XFaceList& faces, std::size_t valueCount,
                       std::size_t positionCount) {
    if (list.empty()) return true;
    // A list that is the faces themselves matches them, and indexes within any list at least as
    // long as the positions; a shorter list is checked as any other.
    if (list.sharesStorageWith(faces) && valueCount >= positionCount) return true;
    if (list.size() != faces.size() || !facesAreValid(list, valueCount)) return false;
    for (std::size_t i = 0; i < faces.size(); ++i)
        if (list[i].cornerCount != faces[i].cornerCount) return false;
    return true;
}

std::uint64_t hashValue(const XVector2& v) {
    return combineHash(combineHash(0, canonicalFloatBits(v.u)), canonicalFloatBits(v.v));
}
std::uint64_t hashValue(const XVector3& v) {
    std::uint64_t h = combineHash(0, canonicalFloatBits(v.x));
    h = combineHash(h, canonicalFloatBits(v.y));
    return combineHash(h, canonicalFloatBits(v.z));
}
std::uint64_t hashValue(const XColor& c) {
    std::uint64_t h = combineHash(0, canonicalFloatBits(c.r));
    h = combineHash(h, canonicalFloatBits(c.g));
    h = combineHash(h, canonicalFloatBits(c.b));
    return combineHash(h, canonicalFloatBits(c.a));
}

bool sameValue(const XVector2& a, const XVector2& b) {
    return sameFloat(a.u, b.u) && sameFloat(a.v, b.v);
}
bool sameValue(const XVector3& a, const XVector3& b) {
    return sameFloat(a.x, b.x) && sameFloat(a.y, b.y) && sameFloat(a.z, b.z);
}
bool sameValue(const XColor& a, const XColor& b) {
    return sameFloat(a.r, b.r) && sameFloat(a.g, b.g) && sameFloat(a.b, b.b) && sameFloat(a.a, b.a);
}

// Working storage for compacting a mesh's lists one after the other. The tables of a large mesh run
// to megabytes, and memory already used costs no page faults the next time.
struct CompactionScratch {
    FirstAppearanceIndex index{0};
    RemapTable remap;
    std::vector<std::uint32_t> firstOldIndex; // per distinct value, where it first appeared
};

// Merges values in place, in order of first appearance, and returns the old-to-new table (held in
// `scratch` until the next compaction), or an empty table when no two values merged (every value
// keeps its index).
// `hashOf(i)` hashes the value at old index i; `same(a, b)` says whether old indices a and b hold
// one value (equal values must hash alike). Each distinct value moves to its new index, which
// never exceeds its first old index, so the moves can go in place in ascending order.
template <class Value, class HashOf, class Same>
const RemapTable& compactValuesBy(std::vector<Value>& values, HashOf hashOf, Same same,
                                  CompactionScratch& scratch) {
    RemapTable& remap = scratch.remap;
    remap.resize(values.size());
    std::vector<std::uint32_t>& firstOldIndex = scratch.firstOldIndex;
    firstOldIndex.clear();
    FirstAppearanceIndex& index = scratch.index;
    index.reset(values.size());
    // Hashes are taken kAhead values early and their slots prefetched, so that the lookups do
    // not wait for memory one after the other.
    constexpr std::size_t kAhead = 16;
    std::uint64_t hashesAhead[kAhead];
    const auto hashAhead = [&](std::size_t i) {
        if (i >= values.size()) return;
        hashesAhead[i % kAhead] = hashOf(static_cast<std::uint32_t>(i));
        index.prefetch(hashesAhead[i % kAhead]);
    };
    for (std::size_t i = 0; i < kAhead; ++i)
        hashAhead(i);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const auto old = static_cast<std::uint32_t>(i);
        const auto newEntry = static_cast<std::uint32_t>(firstOldIndex.size());
        const std::uint64_t hash = hashesAhead[i % kAhead];
        hashAhead(i + kAhead);
        const std::uint32_t found = index.findOrAdd(
            hash, newEntry, [&](std::uint32_t entry) { return same(firstOldIndex[entry], old); });
        if (found == newEntry) firstOldIndex.push_back(old);
        remap[i] = found;
    }
    if (firstOldIndex.size() == values.size()) {
        remap.clear();
        return remap;
    }
    for (std::size_t k = 0; k < firstOldIndex.size(); ++k)
        values[k] = values[firstOldIndex[k]];
    values.resize(firstOldIndex.size());
    return remap;
}

template <class Value>
const RemapTable& compactValues(std::vector<Value>& values, CompactionScratch& scratch) {
    return compactValuesBy(
        values, [&](std::uint32_t i) { return hashValue(values[i]); },
        [&](std::uint32_t a, std::uint32_t b) { return sameValue(values[a], values[b]); }, scratch);
}

// Each vertex's skin weights as (bone, weight) pairs, ascending by bone: one flat list with an
// offset per vertex. Weights at vertices outside the mesh are not gathered.
struct VertexSkin {
    std::vector<std::uint32_t> offsets; // vertex v owns entries[offsets[v] .. offsets[v + 1])
    std::vector<std::pair<std::uint32_t, float>> entries;
};

VertexSkin gatherVertexSkin(const std::vector<XSkinWeights>& bones, std::size_t vertexCount) {
    VertexSkin skin;
    skin.offsets.assign(vertexCount + 1, 0);
    const auto inMesh = [&](std::int32_t vertex) {
        return vertex >= 0 && static_cast<std::size_t>(vertex) < vertexCount;
    };
    for (const XSkinWeights& bone : bones)
        for (const auto& [vertex, weight] : bone.weights)
            if (inMesh(vertex)) ++skin.offsets[static_cast<std::size_t>(vertex) + 1];
    for (std::size_t v = 0; v < vertexCount; ++v)
        skin.offsets[v + 1] += skin.offsets[v];
    skin.entries.resize(skin.offsets[vertexCount]);
    std::vector<std::uint32_t> next(skin.offsets.begin(), skin.offsets.end() - 1);
    for (std::size_t b = 0; b < bones.size(); ++b)
        for (const auto& [vertex, weight] : bones[b].weights)
            if (inMesh(vertex))
                skin.entries[next[static_cast<std::size_t>(vertex)]++] = {
                    static_cast<std::uint32_t>(b), weight};
    return skin;
}

// Merges equal positions whose skin weights are equal as well: bone for bone, weight for weight
// (compared as the values are). Coincident vertices bound to different bones, as on a seam, stay
// apart, so no corner takes weights it never had.
const RemapTable& compactSkinnedPositions(std::vector<XVector3>& positions,
                                          const std::vector<XSkinWeights>& bones,
                                          CompactionScratch& scratch) {
    const VertexSkin skin = gatherVertexSkin(bones, positions.size());
    const auto hashOf = [&](std::uint32_t v) {
        std::uint64_t h = hashValue(positions[v]);
        for (std::uint32_t at = skin.offsets[v]; at < skin.offsets[v + 1]; ++at) {
            h = combineHash(h, skin.entries[at].first);
            h = combineHash(h, canonicalFloatBits(skin.entries[at].second));
        }
        return h;
    };
    const auto same = [&](std::uint32_t a, std::uint32_t b) {
        if (!sameValue(positions[a], positions[b])) return false;
        const std::uint32_t count = skin.offsets[a + 1] - skin.offsets[a];
        if (count != skin.offsets[b + 1] - skin.offsets[b]) return false;
        for (std::uint32_t k = 0; k < count; ++k) {
            const auto& x = skin.entries[skin.offsets[a] + k];
            const auto& y = skin.entries[skin.offsets[b] + k];
            if (x.first != y.first || !sameFloat(x.second, y.second)) return false;
        }
        return true;
    };
    return compactValuesBy(positions, hashOf, same, scratch);
}

XFace remappedFace(XFace face, const RemapTable& remap) {
    for (std::uint32_t corner = 0; corner < face.cornerCount; ++corner)
        face.indices[corner] = remap[face.indices[corner]];
    return face;
}

// An empty table changes nothing, and leaves shared storage shared.
void remapFaces(XFaceList& faces, const RemapTable& remap) {
    if (remap.empty() || faces.empty()) return;
    for (XFace& face : faces)
        face = remappedFace(face, remap);
}

// Weights at vertices outside `vertexCount` are dropped; an empty table keeps the others as
// they are.
void remapSkinWeights(std::vector<XSkinWeights>& skinWeights, const RemapTable& remap,
                      std::size_t vertexCount) {
    if (remap.empty()) {
        // Weights are ordered by vertex, so those out of range sit at the two ends.
        for (XSkinWeights& bone : skinWeights) {
            bone.weights.erase(bone.weights.begin(), bone.weights.lower_bound(0));
            if (vertexCount <= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
                bone.weights.erase(bone.weights.lower_bound(static_cast<std::int32_t>(vertexCount)),
                                   bone.weights.end());
        }
        return;
    }
    for (XSkinWeights& bone : skinWeights) {
        // Pairs in ascending old-vertex order: of old vertices merged into one, the last wins.
        std::vector<BoneVertexWeights::value_type> pairs;
        pairs.reserve(bone.weights.size());
        for (const auto& [vertex, weight] : bone.weights)
            if (vertex >= 0 && static_cast<std::size_t>(vertex) < remap.size())
                pairs.emplace_back(
                    static_cast<std::int32_t>(remap[static_cast<std::size_t>(vertex)]), weight);
        bone.weights.assignPairs(std::move(pairs));
    }
}

template <class Value>
void compactList(std::vector<Value>& values, XFaceList& faces, CompactionScratch& scratch) {
    if (values.empty()) return;
    remapFaces(faces, compactValues(values, scratch));
}

struct CornerKey {
    std::uint32_t position;
    std::uint32_t normal;
    std::uint32_t texCoord;
    std::uint32_t color;
};

std::uint64_t hashCorner(const CornerKey& key) {
    std::uint64_t h = combineHash(0, key.position);
    h = combineHash(h, key.normal);
    h = combineHash(h, key.texCoord);
    return combineHash(h, key.color);
}

// For every old position, the new vertices made from it, ascending: the position fan-out, laid
// out as one array with an offset per old position.
struct PositionFanOut {
    std::vector<std::uint32_t> offsets; // old position p owns vertices[offsets[p] .. offsets[p+1])
    std::vector<std::uint32_t> vertices;
};

PositionFanOut buildFanOut(const std::vector<CornerKey>& keys, std::size_t oldPositionCount) {
    PositionFanOut fanOut;
    fanOut.offsets.assign(oldPositionCount + 1, 0);
    for (const CornerKey& key : keys)
        ++fanOut.offsets[key.position + 1];
    for (std::size_t p = 0; p < oldPositionCount; ++p)
        fanOut.offsets[p + 1] += fanOut.offsets[p];
    fanOut.vertices.resize(keys.size());
    std::vector<std::uint32_t> next(fanOut.offsets.begin(), fanOut.offsets.end() - 1);
    for (std::size_t k = 0; k < keys.size(); ++k)
        fanOut.vertices[next[keys[k].position]++] = static_cast<std::uint32_t>(k);
    return fanOut;
}

template <class Value, class Member>
std::vector<Value> gatherValues(const std::vector<Value>& oldValues,
                                const std::vector<CornerKey>& keys, Member member) {
    std::vector<Value> values(keys.size());
    for (std::size_t k = 0; k < keys.size(); ++k)
        values[k] = oldValues[keys[k].*member];
    return values;
}

// Appends the face or its two triangles: quad (a, b, c, d) gives (c, d, a), then (a, b, c).
void appendSplit(std::vector<XFace>& out, const XFace& face) {
    if (face.cornerCount != 4) {
        out.push_back(face);
        return;
    }
    const auto& i = face.indices;
    out.push_back(XFace{3, {i[2], i[3], i[0], 0}});
    out.push_back(XFace{3, {i[0], i[1], i[2], 0}});
}

void splitQuads(XFaceList& faces, std::size_t quadCount) {
    if (faces.empty()) return;
    std::vector<XFace> split;
    split.reserve(faces.size() + quadCount);
    for (const XFace& face : std::as_const(faces))
        appendSplit(split, face);
    faces = std::move(split);
}

} // namespace

bool meshIndicesAreValid(const XMesh& mesh) {
    const std::size_t positionCount = mesh.positions.size();
    return facesAreValid(mesh.faces, positionCount) &&
           cornerListIsValid(mesh.normalFaces, mesh.faces, mesh.normals.size(), positionCount) &&
           cornerListIsValid(mesh.texCoordFaces, mesh.faces, mesh.texCoords.size(),
                             positionCount) &&
           cornerListIsValid(mesh.colorFaces, mesh.faces, mesh.colors.size(), positionCount) &&
           (mesh.faceMaterials.empty() || mesh.faceMaterials.size() == mesh.faces.size());
}

bool compactMesh(XMesh& mesh) {
    if (!meshIndicesAreValid(mesh)) return false;
    CompactionScratch scratch;
    compactList(mesh.texCoords, mesh.texCoordFaces, scratch);
    compactList(mesh.colors, mesh.colorFaces, scratch);
    if (!mesh.positions.empty()) {
        const RemapTable& remap =
            mesh.skinWeights.empty()
                ? compactValues(mesh.positions, scratch)
                : compactSkinnedPositions(mesh.positions, mesh.skinWeights, scratch);
        remapFaces(mesh.faces, remap);
        remapSkinWeights(mesh.skinWeights, remap, mesh.positions.size());
    }
    compactList(mesh.normals, mesh.normalFaces, scratch);
    return true;
}

bool unifyVertices(XMesh& mesh) {
    if (!meshIndicesAreValid(mesh)) return false;
    if (mesh.faces.empty()) return true;
    const bool normalTakesPart = !mesh.skinWeights.empty() && !mesh.normalFaces.empty();
    const bool hasTexCoords = !mesh.texCoordFaces.empty();
    const bool hasColors = !mesh.colorFaces.empty();
    if (!hasTexCoords && !hasColors && !normalTakesPart) return true;

    std::size_t cornerCount = 0;
    for (const XFace& face : std::as_const(mesh.faces))
        cornerCount += face.cornerCount;
    std::vector<CornerKey> keys;
    keys.reserve(std::min(cornerCount, mesh.positions.size() * 2));
    FirstAppearanceIndex index(mesh.positions.size()); // most positions make one vertex
    // The old lists are only read, and may share storage; the new faces are one fresh list that
    // the texture coordinate and colour faces then share.
    const XMesh& old = mesh;
    std::vector<XFace> unified(old.faces.begin(), old.faces.end());
    for (std::size_t i = 0; i < unified.size(); ++i) {
        XFace& face = unified[i];
        for (std::uint32_t corner = 0; corner < face.cornerCount; ++corner) {
            const CornerKey key{face.indices[corner],
                                normalTakesPart ? old.normalFaces[i].indices[corner] : 0,
                                hasTexCoords ? old.texCoordFaces[i].indices[corner] : 0,
                                hasColors ? old.colorFaces[i].indices[corner] : 0};
            const auto newVertex = static_cast<std::uint32_t>(keys.size());
            const std::uint32_t vertex =
                index.findOrAdd(hashCorner(key), newVertex, [&](std::uint32_t entry) {
                    const CornerKey& other = keys[entry];
                    return other.position == key.position && other.normal == key.normal &&
                           other.texCoord == key.texCoord && other.color == key.color;
                });
            if (vertex == newVertex) keys.push_back(key);
            face.indices[corner] = vertex;
        }
    }
    mesh.faces = std::move(unified);
    if (hasTexCoords) mesh.texCoordFaces = mesh.faces;
    if (hasColors) mesh.colorFaces = mesh.faces;

    if (!mesh.skinWeights.empty()) {
        const PositionFanOut fanOut = buildFanOut(keys, mesh.positions.size());
        for (XSkinWeights& bone : mesh.skinWeights) {
            std::vector<BoneVertexWeights::value_type> pairs;
            pairs.reserve(bone.weights.size());
            for (const auto& [oldVertex, weight] : bone.weights) {
                if (oldVertex < 0 || static_cast<std::size_t>(oldVertex) >= mesh.positions.size())
                    continue;
                const auto p = static_cast<std::size_t>(oldVertex);
                for (std::uint32_t at = fanOut.offsets[p]; at < fanOut.offsets[p + 1]; ++at)
                    pairs.emplace_back(static_cast<std::int32_t>(fanOut.vertices[at]), weight);
            }
            bone.weights.assignPairs(std::move(pairs));
        }
    }

    mesh.positions = gatherValues(mesh.positions, keys, &CornerKey::position);
    if (hasTexCoords) mesh.texCoords = gatherValues(mesh.texCoords, keys, &CornerKey::texCoord);
    if (hasColors) mesh.colors = gatherValues(mesh.colors, keys, &CornerKey::color);
    return true;
}

bool triangulateMesh(XMesh& mesh) {
    if (!meshIndicesAreValid(mesh)) return false;
    const auto quadCount = static_cast<std::size_t>(std::count_if(
        mesh.faces.cbegin(), mesh.faces.cend(), [](const XFace& f) { return f.cornerCount == 4; }));
    if (quadCount == 0) return true;
    if (!mesh.faceMaterials.empty()) {
        std::vector<std::uint32_t> materials;
        materials.reserve(mesh.faces.size() + quadCount);
        for (std::size_t i = 0; i < mesh.faces.size(); ++i) {
            materials.push_back(mesh.faceMaterials[i]);
            if (std::as_const(mesh.faces)[i].cornerCount == 4)
                materials.push_back(mesh.faceMaterials[i]);
        }
        mesh.faceMaterials = std::move(materials);
    }
    changeEveryFaceList(mesh, [&](XFaceList& faces) { splitQuads(faces, quadCount); });
    return true;
}

void prepareImportedScene(XScene& scene) {
    // Depth first with an explicit stack: a file may nest frames deeper than the call stack allows.
    std::vector<XFrame*> pending;
    for (auto it = scene.frames.rbegin(); it != scene.frames.rend(); ++it)
        pending.push_back(&*it);
    while (!pending.empty()) {
        XFrame* frame = pending.back();
        pending.pop_back();
        triangulateMesh(frame->mesh);
        for (auto it = frame->children.rbegin(); it != frame->children.rend(); ++it)
            pending.push_back(&*it);
    }
}
