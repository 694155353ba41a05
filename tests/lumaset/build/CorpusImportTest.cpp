// Every X file of the shared corpus imports through the import command, with the nodes, faces,
// bones and animation sets its manifest gives.
#include "ImportTestSupport.h"

#include "iskin.h"
#include "maxapi.h"
#include "modstack.h"
#include "triobj.h"

#include <SceneKit.h>

using namespace importtest;

namespace {

struct CorpusCase {
    const char* file;
    std::size_t nodes;
    std::size_t triangles; // quads count twice, an n-gon n - 2 times
    std::size_t bones;
    std::size_t sets;
};

// From the manifest: a top-level Mesh becomes a node of its own (sphere0.x, tiger.x); heli.x has
// 26 triangles, 346 quads, one 5-gon and four 20-gons: 26 + 692 + 3 + 72; tiger.x 596 triangles
// and 3 quads.
const CorpusCase kCorpus[] = {
    {"airplane 2.x", 9, 596, 0, 0},      {"Cube.x", 1, 12, 0, 0},
    {"cube_on_plane.x", 1, 1073, 0, 0},  {"heli.x", 10, 793, 0, 0},
    {"kid.x", 18, 588, 13, 1},           {"lobby_skybox.x", 1, 12, 0, 0},
    {"ninja.X", 17, 724, 0, 1},          {"sphere0.x", 1, 108, 0, 0},
    {"test_cube_binary.x", 2, 12, 1, 0}, {"test_cube_compressed.x", 2, 12, 1, 0},
    {"test_cube_text.x", 2, 12, 1, 0},   {"tiger.x", 1, 602, 0, 0},
    {"tiny.x", 48, 6841, 35, 1},
};

std::size_t skinBoneCount(INode* node) {
    if (!node->GetObjectRef() || node->GetObjectRef()->SuperClassID() != GEN_DERIVOB_CLASS_ID)
        return 0;
    auto* derived = static_cast<IDerivedObject*>(node->GetObjectRef());
    std::size_t bones = 0;
    for (int i = 0; i < derived->NumModifiers(); ++i)
        if (auto* skin = static_cast<ISkin*>(derived->GetModifier(i)->GetInterface(I_SKIN)))
            bones += std::size_t(skin->GetNumBones());
    return bones;
}

class CorpusImport : public ImportTest {};

TEST_F(CorpusImport, EveryCorpusFileImportsWithTheManifestsCounts) {
    const std::filesystem::path corpus = std::filesystem::path(LUMASET_CORPUS_DIR) / "x";
    if (!std::filesystem::is_directory(corpus)) GTEST_SKIP() << "no X file corpus at " << corpus;
    for (const CorpusCase& c : kCorpus) {
        SCOPED_TRACE(c.file);
        hostcore::resetScene();
        importWithDialog(corpus / c.file);
        std::size_t triangles = 0, bones = 0;
        const std::vector<INode*> nodes = hostcore::allNodes();
        for (INode* node : nodes) {
            bones += skinBoneCount(node);
            if (TriObject* object = scenekit::baseTriObject(node))
                triangles += std::size_t(object->GetMesh().getNumFaces());
        }
        EXPECT_EQ(nodes.size(), c.nodes);
        EXPECT_EQ(triangles, c.triangles);
        EXPECT_EQ(bones, c.bones);
        EXPECT_EQ(scenekit::storedAnimationSets().size(), c.sets);
    }
}

} // namespace
