// What an export of a large skinned mesh asks of the host core: evaluating the pipeline (a copy
// of the mesh through a skin modifier) and building render normals, on a 1,000,000-triangle
// cylinder skinned to a chain of four bones.
#include <benchmark/benchmark.h>

#include "SceneKit.h"

namespace {

struct LargeSkinnedScene {
    INode* cylinder;
    Modifier* skin;

    LargeSkinnedScene() {
        hostcore::resetScene();
        // 1000 sides x 499 rings x 2 + 2000 cap triangles = 1,000,000 triangles.
        cylinder = scenekit::makeCylinder("Tube", 1.0f, 8.0f, 1000, 499);
        std::vector<INode*> bones = scenekit::makeBoneChain("Bone", 4, 2.0f);
        scenekit::keyRotation(bones[2], 0, Quat(0.0f, 0.0f, 0.0f, 1.0f));
        scenekit::keyRotation(bones[2], 160, scenekit::rotationAbout(0, 0.5f));
        skin = scenekit::skinTo(cylinder, bones);
    }
};

LargeSkinnedScene& scene() {
    static LargeSkinnedScene* instance = new LargeSkinnedScene;
    return *instance;
}

void BM_EvalSkinnedMillionTriangles(benchmark::State& state) {
    LargeSkinnedScene& s = scene();
    for (auto _ : state) {
        const ObjectState& os = s.cylinder->EvalWorldState(160);
        benchmark::DoNotOptimize(os.obj);
    }
}
BENCHMARK(BM_EvalSkinnedMillionTriangles)->Unit(benchmark::kMillisecond);

void BM_BuildNormalsMillionTriangles(benchmark::State& state) {
    Mesh& mesh = scenekit::baseMesh(scene().cylinder);
    for (auto _ : state) {
        mesh.buildNormals();
        benchmark::DoNotOptimize(mesh.getRVert(0).rFlags);
    }
}
BENCHMARK(BM_BuildNormalsMillionTriangles)->Unit(benchmark::kMillisecond);

} // namespace
