// Compaction followed by vertex unification, as the X file writer runs them on every mesh, on a
// skinned mesh of 1,000,000 triangles.
#include "model/MeshIndexProcessing.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

constexpr std::uint32_t kPatchColumns = 32;
constexpr std::uint32_t kPatchRows = 25;
constexpr std::uint32_t kQuadsPerPatchSide =
    25; // 32 x 25 patches of 25 x 25 quads: 1,000,000 triangles
constexpr std::uint32_t kBoneCount = 40;
constexpr std::uint32_t kBonesPerVertex = 4;

float height(float x, float y) {
    return std::sin(x * 0.05f) * std::cos(y * 0.07f) * 4.0f;
}

// A terrain-like surface exported the way a modeller's mesh arrives: welded per stream, but cut
// into patches (UV islands) whose border vertices are stored once per patch. Positions, normals
// and skin weights of a border vertex are equal in every copy, so compaction merges them; each
// patch maps its own texture space, so unification splits the border corners again.
XMesh exportedSkinnedMesh() {
    constexpr std::uint32_t side = kQuadsPerPatchSide + 1;
    XMesh mesh;
    mesh.skinWeights.resize(kBoneCount);
    for (std::uint32_t b = 0; b < kBoneCount; ++b)
        mesh.skinWeights[b].boneName = "Bone" + std::to_string(b);

    for (std::uint32_t pr = 0; pr < kPatchRows; ++pr)
        for (std::uint32_t pc = 0; pc < kPatchColumns; ++pc) {
            const auto base = static_cast<std::uint32_t>(mesh.positions.size());
            for (std::uint32_t j = 0; j < side; ++j)
                for (std::uint32_t i = 0; i < side; ++i) {
                    const float x = float(pc * kQuadsPerPatchSide + i);
                    const float y = float(pr * kQuadsPerPatchSide + j);
                    const float h = height(x, y);
                    const float dx = height(x + 1, y) - height(x - 1, y);
                    const float dy = height(x, y + 1) - height(x, y - 1);
                    const float length = std::sqrt(dx * dx + dy * dy + 4.0f);
                    const auto vertex = static_cast<std::int32_t>(mesh.positions.size());
                    mesh.positions.push_back({x, y, h});
                    mesh.normals.push_back({-dx / length, -dy / length, 2.0f / length});
                    mesh.texCoords.push_back(
                        {float(i) / kQuadsPerPatchSide, float(j) / kQuadsPerPatchSide});
                    const auto gridVertex = static_cast<std::uint32_t>(x) * 7919u +
                                            static_cast<std::uint32_t>(y) * 104729u;
                    for (std::uint32_t k = 0; k < kBonesPerVertex; ++k)
                        mesh.skinWeights[(gridVertex + k * 11u) % kBoneCount].weights[vertex] =
                            0.4f - 0.1f * float(k);
                }
            for (std::uint32_t j = 0; j < kQuadsPerPatchSide; ++j)
                for (std::uint32_t i = 0; i < kQuadsPerPatchSide; ++i) {
                    const std::uint32_t a = base + j * side + i, b = a + 1, c = a + side + 1,
                                        d = a + side;
                    for (const XFace& face : {XFace{3, {a, b, c, 0}}, XFace{3, {a, c, d, 0}}}) {
                        mesh.faces.push_back(face);
                        mesh.normalFaces.push_back(face);
                        mesh.texCoordFaces.push_back(face);
                        mesh.faceMaterials.push_back(0);
                    }
                }
        }
    mesh.materials.resize(1);
    return mesh;
}

const XMesh& sourceMesh() {
    static const XMesh mesh = exportedSkinnedMesh();
    return mesh;
}

void runOnFreshCopies(benchmark::State& state, bool compact, bool unify) {
    const XMesh& source = sourceMesh();
    for (auto _ : state) {
        state.PauseTiming();
        // The face lists of the copy share the source's storage: a list is copied, inside the
        // timing, when the processing first changes it, as it is in the writer's private copy.
        XMesh mesh = source;
        state.ResumeTiming();
        if (compact) benchmark::DoNotOptimize(compactMesh(mesh));
        if (unify) benchmark::DoNotOptimize(unifyVertices(mesh));
        state.PauseTiming();
        state.counters["vertices"] = double(mesh.positions.size());
        { XMesh released = std::move(mesh); } // freeing the copy is not part of the work
        state.ResumeTiming();
    }
    state.counters["triangles"] = double(source.faces.size());
}

void BM_CompactThenUnify(benchmark::State& state) {
    runOnFreshCopies(state, true, true);
}
void BM_Compact(benchmark::State& state) {
    runOnFreshCopies(state, true, false);
}
void BM_UnifyCompacted(benchmark::State& state) {
    XMesh compacted = sourceMesh();
    compactMesh(compacted);
    for (auto _ : state) {
        state.PauseTiming();
        XMesh mesh = compacted;
        state.ResumeTiming();
        benchmark::DoNotOptimize(unifyVertices(mesh));
        state.PauseTiming();
        { XMesh released = std::move(mesh); }
        state.ResumeTiming();
    }
}

} // namespace

BENCHMARK(BM_CompactThenUnify)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Compact)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_UnifyCompacted)->Unit(benchmark::kMillisecond)->Iterations(5);
