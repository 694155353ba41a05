#include "capture/StreamWelding.h"

#include "model/FirstAppearanceIndex.h"

#include <algorithm>
#include <array>
#include <utility>

namespace {

template <std::size_t N> using Components = std::array<float, N>;

Components<3> componentsOf(const Point3& p) {
    return {p.x, p.y, p.z};
}
Components<2> componentsOf(const SnapshotTexCoord& t) {
    return {t.u, t.v};
}
Components<4> componentsOf(const SnapshotColor& c) {
    return {c.r, c.g, c.b, c.a};
}

template <std::size_t N> std::uint64_t hashOf(const Components<N>& components) {
    std::uint64_t hash = N;
    for (float value : components)
        hash = combineHash(hash, canonicalFloatBits(value));
    return hash;
}

template <std::size_t N> bool sameComponents(const Components<N>& a, const Components<N>& b) {
    for (std::size_t i = 0; i < N; ++i)
        if (!sameFloat(a[i], b[i])) return false;
    return true;
}

void renumber(std::vector<SnapshotTriangle>& triangles, const std::vector<std::uint32_t>& remap) {
    for (SnapshotTriangle& triangle : triangles)
        for (std::uint32_t& index : triangle.indices)
            index = remap[index];
}

// Numbers the values by first appearance among those `sameGroup` calls equal, keeps the first of
// each group in `values` and returns the remapping.
template <class Value, class Hash, class SameGroup>
std::vector<std::uint32_t> weldValues(std::vector<Value>& values, Hash&& hashOfIndex,
                                      SameGroup&& sameGroup) {
    std::vector<std::uint32_t> remap(values.size());
    std::vector<std::uint32_t> firstOfGroup; // old index of each new value
    // Streams made per corner repeat most values; the index grows when they do not.
    FirstAppearanceIndex index(values.size() / 4);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const auto candidate = std::uint32_t(firstOfGroup.size());
        const std::uint32_t group =
            index.findOrAdd(hashOfIndex(i), candidate,
                            [&](std::uint32_t entry) { return sameGroup(firstOfGroup[entry], i); });
        if (group == candidate) firstOfGroup.push_back(std::uint32_t(i));
        remap[i] = group;
    }
    std::vector<Value> welded;
    welded.reserve(firstOfGroup.size());
    for (std::uint32_t old : firstOfGroup)
        welded.push_back(values[old]);
    values = std::move(welded);
    return remap;
}

template <class Value>
std::vector<std::uint32_t> weldPlain(std::vector<Value>& values,
                                     std::vector<SnapshotTriangle>& triangles) {
    auto remap = weldValues(
        values, [&](std::size_t i) { return hashOf(componentsOf(values[i])); },
        [&](std::size_t a, std::size_t b) {
            return sameComponents(componentsOf(values[a]), componentsOf(values[b]));
        });
    renumber(triangles, remap);
    return remap;
}

// The skin weights of each position as (bone entry, weight) pairs in bone entry order, all
// positions' lists laid end to end.
struct WeightsByVertex {
    std::vector<std::uint32_t> begin; // position i's pairs are begin[i] .. begin[i + 1]
    std::vector<std::pair<std::uint32_t, float>> pairs;

    bool same(std::size_t a, std::size_t b) const {
        const std::uint32_t countA = begin[a + 1] - begin[a];
        if (countA != begin[b + 1] - begin[b]) return false;
        for (std::uint32_t k = 0; k < countA; ++k) {
            const auto& pa = pairs[begin[a] + k];
            const auto& pb = pairs[begin[b] + k];
            if (pa.first != pb.first || !sameFloat(pa.second, pb.second)) return false;
        }
        return true;
    }
    std::uint64_t hash(std::size_t i, std::uint64_t seed) const {
        for (std::uint32_t k = begin[i]; k < begin[i + 1]; ++k)
            seed =
                combineHash(combineHash(seed, pairs[k].first), canonicalFloatBits(pairs[k].second));
        return seed;
    }
};

WeightsByVertex weightsByVertex(const SnapshotMesh& mesh) {
    const std::size_t vertexCount = mesh.positions.size();
    WeightsByVertex table;
    table.begin.assign(vertexCount + 1, 0);
    auto inRange = [&](std::int32_t v) { return v >= 0 && std::size_t(v) < vertexCount; };
    for (const SnapshotSkinWeights& bone : mesh.skinWeights)
        for (const auto& [vertex, weight] : bone.weights)
            if (inRange(vertex)) ++table.begin[std::size_t(vertex) + 1];
    for (std::size_t i = 0; i < vertexCount; ++i)
        table.begin[i + 1] += table.begin[i];
    table.pairs.resize(table.begin[vertexCount]);
    std::vector<std::uint32_t> next(table.begin.begin(), table.begin.end() - 1);
    for (std::size_t b = 0; b < mesh.skinWeights.size(); ++b)
        for (const auto& [vertex, weight] : mesh.skinWeights[b].weights)
            if (inRange(vertex))
                table.pairs[next[std::size_t(vertex)]++] = {std::uint32_t(b), weight};
    return table;
}

} // namespace

std::vector<std::uint32_t> weldStream(std::vector<Point3>& values,
                                      std::vector<SnapshotTriangle>& triangles) {
    return weldPlain(values, triangles);
}

std::vector<std::uint32_t> weldStream(std::vector<SnapshotTexCoord>& values,
                                      std::vector<SnapshotTriangle>& triangles) {
    return weldPlain(values, triangles);
}

std::vector<std::uint32_t> weldStream(std::vector<SnapshotColor>& values,
                                      std::vector<SnapshotTriangle>& triangles) {
    return weldPlain(values, triangles);
}

void weldPositions(SnapshotMesh& mesh) {
    if (mesh.skinWeights.empty()) {
        weldStream(mesh.positions, mesh.faces);
        return;
    }
    const WeightsByVertex weights = weightsByVertex(mesh);
    const std::vector<Point3>& positions = mesh.positions;
    const auto remap = weldValues(
        mesh.positions,
        [&](std::size_t i) { return weights.hash(i, hashOf(componentsOf(positions[i]))); },
        [&](std::size_t a, std::size_t b) {
            return sameComponents(componentsOf(positions[a]), componentsOf(positions[b])) &&
                   weights.same(a, b);
        });
    renumber(mesh.faces, remap);

    // Vertices that merged carry the same weights, so no weight is lost or invented here.
    for (SnapshotSkinWeights& bone : mesh.skinWeights) {
        std::vector<BoneVertexWeights::value_type> renumbered;
        renumbered.reserve(bone.weights.size());
        for (const auto& [vertex, weight] : bone.weights)
            if (vertex >= 0 && std::size_t(vertex) < remap.size())
                renumbered.emplace_back(std::int32_t(remap[std::size_t(vertex)]), weight);
        bone.weights.assignPairs(std::move(renumbered));
    }
}
